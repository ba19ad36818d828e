// The "Save Room" dialog: a name box with "Save" and "Cancel" that drops in over a veiled screen.
// The back row is its only opener and tells it in its custom data what follows once the dialog
// is left, saved or not: nothing (0), the room list (1) or a new empty room (2); a room left for
// the list unsaved is shown again as its files hold it. A name that is
// not plain, reserved, a campaign room's or another room's is refused with a message and nothing
// is written; "Room Saved." is said only when the room was written. The veil takes the presses
// beside the panel, and the buttons act only while the dialog is fully open.
#pragma once

#include "game/menus/VeiledDialog.h"

#include <functional>
#include <string>
#include <vector>

namespace QUORB
{
// What the name box starts with and falls back to when left empty.
extern const std::string DefaultRoomName; // "MyRoom"

class SaveRoomMenu : public VeiledDialog
{
public:
    // What follows once the dialog is left (its custom data); any other value acts as nothing.
    enum Then
    {
        THEN_NOTHING = 0,
        THEN_ROOM_LIST = 1,
        THEN_NEW_ROOM = 2,
    };

    // The texts the dialog answers with in the message window, besides the name rule's and
    // kReservedNameText (VeiledDialog).
    static const char* const kCampaignNameText; // "That name belongs to a campaign room."
    static const char* const kTakenNameText;    // "A room with that name already exists."
    static const char* const kSaveFailedText;   // "The room could not be saved."
    static const char* const kSavedText;        // "Room Saved."

    // The rooms a typed name is checked against.
    struct KnownRooms
    {
        std::string currentRoom;                // the loaded room's file name; may be saved over
        std::vector<std::string> campaignRooms; // the game's own rooms (file names)
        std::vector<std::string> playerRooms;   // the player's rooms (file names)
        bool madeByUs = false;                  // the QUORBTeam flag ("toggleus")
        // Whether the room folder holds a file of that name (in any case); null: none does.
        std::function<bool(const std::string&)> roomFileExists;
    };

    // Builds the whole dialog.
    explicit SaveRoomMenu(StateMachineComponent* owner);

    // Why the typed name cannot be the room's (name + ".xml"), as the text to show; null when it
    // can. In order: the plain-name rule; "EmptyRoom" (the start and new-room template, in any
    // case); a campaign room's name while the QUORBTeam flag is clear; any other known room or
    // room file, ignoring case. The current room's own file name passes the last rule.
    static const char* RefusalOf(const std::string& name, const KnownRooms& rooms);
    // The game's rooms as they are now (empty without a game).
    static KnownRooms GameRooms();

protected:
    // "SaveButton" and "CancelButton", only while the dialog is fully open; the veil's press and
    // anything else does nothing.
    void OnButtonPressed(const std::string& name) override;
    // The name box filled in from the current room, the panel in and the veil up.
    void OpenTransition(float duration) override;

private:
    // A refusal or a failed save keeps the dialog open; a save closes it, says so and goes on.
    void Save();
    // The dialog slides out, "Room Saved." after a save, and what the custom data asks for
    // follows. Left unsaved for the room list, a changed room is read again from its files.
    void Leave(bool saved);
};
} // namespace QUORB
