// The editor's circular menu, filed as "Radial": eight round buttons that fan out on a circle of
// radius 80 around the point where it opens and fold back when it closes. Its buttons choose the
// platform or the gravity switch to build, run and reset the puzzle, and leave it for the room
// list; resting on the second button opens the three-button fan "Submenu" outward from it. No
// road of the game opens it: the console's "menu Radial open" does (at the point the last
// broadcast MSG_MouseHeld placed it, else at (0, 0)).
#pragma once

#include "game/menus/RadialMenu.h"

namespace QUORB
{
class DemoRadial : public RadialMenu
{
public:
    static constexpr std::size_t kButtonCount = 8;
    static constexpr float kHeldOverSeconds = 0.33f;

    explicit DemoRadial(StateMachineComponent* owner);

protected:
    // "Button 0" and "Button 1" choose the widget type to build ("Platform", "GravitySwitch"),
    // "Button 2" runs "play", "Button 3" "reloadfocusedpuzzle", "Button 4" leaves for the room
    // list (out of the editor first when it is on); the others do nothing.
    void OnButtonPressed(const std::string& name) override;
    // The sub-menu closing of every radial menu; then "Button 1" opens "Submenu" from itself.
    void OnHeldOver(const std::string& name) override;
};
} // namespace QUORB
