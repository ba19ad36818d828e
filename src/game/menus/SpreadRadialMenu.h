// The three-button fan filed as "Submenu": "Radial" opens it from its second button, which it
// names as the reference sprite, and the fan spreads outward from the centre through that button,
// "Button 0" on the line, the others turning symmetrically to both sides. Without a reference it
// spreads to the right. It hears no held-over events and opens no sub-menu of its own.
#pragma once

#include "game/menus/RadialMenu.h"

namespace QUORB
{
class SpreadRadialMenu : public RadialMenu
{
public:
    static constexpr std::size_t kButtonCount = 3;
    static constexpr float kHeldOverSeconds = 0.33f;
    static const char* const kNotEnabledLine; // "Button 1 not enabled"

    explicit SpreadRadialMenu(StateMachineComponent* owner);

protected:
    // "Button 1" says on the console that it is not enabled; nothing runs.
    void OnButtonPressed(const std::string& name) override;
    void OnHeldOver(const std::string& name) override;
    // From the start point (the radius along the line to the reference sprite) the buttons
    // spread in pairs, one to each side, the outer pairs further and later; with an odd count
    // "Button 0" stays on the line.
    void OpenTransition(float duration) override;
    // Every button turns back onto the line to the start point in the duration.
    void CloseTransition(float duration) override;

private:
    // The unit direction from the centre to the start point.
    math::Vector3 StartDirection() const;
};
} // namespace QUORB
