// The front end's main panel: it slides in from the left over the room with six buttons: the
// room selection ("Play"), the profiles, the editor (create-puzzle mode inverted, then the room
// selection), the options, the credits, and "Exit", which saves the profile and the settings
// and ends the program (when they could not be saved the menu stays, the message window says so,
// and a second press quits anyway). Each of the first five opens its menu with the back row beside it and
// slides the main menu out. Every opening closes the puzzle menus and the radial menu over the
// room and queues the welcome text in the message window.
#pragma once

#include "game/menus/SidePanelMenu.h"

namespace QUORB
{
class MainMenu : public SidePanelMenu
{
public:
    static const char* const kWelcomeText;    // "Welcome to Q.U.O.R.B."
    static const char* const kSaveFailedText; // "Not saved! Press again to quit anyway."

    explicit MainMenu(StateMachineComponent* owner);

protected:
    void OnButtonPressed(const std::string& name) override;
    // The buttons' hover messages are taken and dropped.
    void OnHeldOver(const std::string& name) override;
    void OpenTransition(float duration) override;
    void Init() override;

private:
    bool m_quitUnsaved = false; // the player was told the save failed; the next "Exit" quits
};
} // namespace QUORB
