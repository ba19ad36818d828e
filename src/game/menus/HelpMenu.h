// The help tab at the left edge of the screen: a check button "HelpButton" with the help icon
// and below it a "ControlsButton" with the controls icon, kept off the screen (x -500) except
// while the help button is checked. The controls button has no action of its own and never
// stays checked: its tip lists the game's controls. Resting the pointer on a button brightens it
// and its icon; leaving dims them.
#pragma once

#include "game/menus/LinearMoveMenu.h"

namespace QUORB
{
class HelpMenu : public LinearMoveMenu
{
public:
    static constexpr int kControlsShownX = 0; // pixels
    static constexpr int kControlsHiddenX = -500;
    static constexpr float kDimAlpha = 0.5f;
    static constexpr float kLitAlpha = 1.0f;
    static constexpr float kHighlightSeconds = 0.3f;

    explicit HelpMenu(StateMachineComponent* owner);

protected:
    void OnButtonPressed(const std::string& name) override;
    void OnHeldOver(const std::string& name) override;
    void OnMovedOff(const std::string& name) override;
    void OnButtonUnPressed(const std::string& name) override;
    // A check button sets its flag again once its click callback is over, so the controls
    // button is unchecked here, at the update after its click, before it is drawn.
    void UpdateOpen() override;

private:
    void MoveControls(int x);
    // The entry's button and icon fade together between the two alphas.
    void Highlight(const std::string& name, float from, float to);
};
} // namespace QUORB
