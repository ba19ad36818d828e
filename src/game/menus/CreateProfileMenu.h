// The "Create Profile" panel: a name box and a "Create" button that drop in over a veiled
// screen. It is the player's only way to a first profile (the splash chain opens it with custom
// data 1, and it then opens the main menu and the help tab after the creation) and the profile
// menu's "New" (custom data 0). It has no cancel button. Enter in the name box does what "Create"
// does. A name that is empty, not a plain file name, reserved or taken is refused with a message
// and nothing is written; the messages show above the veil.
#pragma once

#include "game/menus/VeiledDialog.h"

#include <string>

namespace QUORB
{
// What the name box starts with and falls back to when left empty.
extern const std::string DefaultProfileName; // "MyProfile"

class CreateProfileMenu : public VeiledDialog
{
public:
    // The texts the panel answers a refused or failed creation with, in the message window,
    // besides the name rule's and kReservedNameText (VeiledDialog).
    static const char* const kTakenNameText;  // "A profile with that name already exists."
    static const char* const kSaveFailedText; // "The profile could not be saved."
    static const char* const kCreatedText;    // "New profile created."

    // Builds the whole panel.
    explicit CreateProfileMenu(StateMachineComponent* owner);

    // Why the typed name cannot become a new profile's file (name + ".xml"), as the text to show;
    // null when it can. Reserved: "Blank", the template. Taken, ignoring case as file lookups do:
    // a name in the game's profile-file list or a file in the profile folder.
    static const char* RefusalOf(const std::string& name);

protected:
    // "CreateButton", only while the panel is fully open: a refusal keeps it open; a creation
    // closes it, opens the main menu and the help tab after a first start, adds the profile
    // menu's row and says so in the message window.
    void OnButtonPressed(const std::string& name) override;
    // Camera flag 4, the puzzle look-at and info menus closed, the panel in and the veil up.
    void OpenTransition(float duration) override;

private:
    void Create();
};
} // namespace QUORB
