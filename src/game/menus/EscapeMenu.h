// The pause panel that Escape brings down over the room while the main menu is closed: a panel
// with "Save & Quit" (the profile and the settings saved, then the program ends; when they could
// not be saved the panel stays, the message window says so, and a second press quits anyway)
// and "Back" (the panel slides away), dropping in from above while the whole screen is veiled in the
// skin's colour. The veil is a top-level unit of the menu's own, so it does not slide; it takes
// every click that misses the panel's buttons and does nothing with it.
#pragma once

#include "game/menus/VeiledDialog.h"

namespace QUORB
{
class EscapeMenu : public VeiledDialog
{
public:
    // The panel can come down over the create-profile and save-room dialogs, which lie in the
    // same place on depths 6 to 9: the veil lies above them all and the panel, its buttons and
    // texts above the veil, still below the cursor (12). Within the panel a child is drawn after
    // its parent at the same depth.
    static constexpr int kVeilDepth = 10;
    static constexpr int kPanelDepth = 11;

    static const char* const kSaveFailedText; // "Not saved! Press again to quit anyway."

    explicit EscapeMenu(StateMachineComponent* owner);

protected:
    void OnButtonPressed(const std::string& name) override;
    // Each time the panel comes down a failed save is warned about again.
    void OpenTransition(float duration) override;

private:
    bool m_quitUnsaved = false; // the player was told the save failed; the next press quits
};
} // namespace QUORB
