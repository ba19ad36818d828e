// The pause panel that Escape brings down over the room while the main menu is closed: a panel
// with "Save & Quit" (the profile and the settings saved, then the program ends) and "Back"
// (the panel slides away), dropping in from above while the whole screen is veiled in the
// skin's colour. The veil is a top-level unit of the menu's own, so it does not slide; it takes
// every click that misses the panel's buttons and does nothing with it.
#pragma once

#include "game/menus/LinearMoveMenu.h"

#include <memory>

namespace dorvo
{
namespace gfx
{
class CButton;
}
} // namespace dorvo

namespace QUORB
{
class EscapeMenu : public LinearMoveMenu
{
public:
    static const char* const kVeilName; // "SkinColorBackground"
    static constexpr float kSlideSeconds = 0.3f;
    static constexpr float kVeilAlpha = 0.5f;
    // The panel can come down over the create-profile and save-room dialogs, which lie in the
    // same place on depths 6 to 9: the veil lies above them all and the panel, its buttons and
    // texts above the veil, still below the cursor (12). Within the panel a child is drawn after
    // its parent at the same depth.
    static constexpr int kVeilDepth = 10;
    static constexpr int kPanelDepth = 11;

    explicit EscapeMenu(StateMachineComponent* owner);
    // Takes the veil out of the 2D component when it is still there.
    ~EscapeMenu() override;

protected:
    void OnButtonPressed(const std::string& name) override;
    void OpenTransition(float duration) override;
    void CloseTransition(float duration) override;

private:
    void FadeVeil(float from, float to, float duration);

    std::unique_ptr<dorvo::gfx::CButton> m_pVeil; // filed at the top level of the 2D component
};
} // namespace QUORB
