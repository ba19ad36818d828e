// The focused puzzle's budget while the player works on it. In play, a panel in the bottom-left
// corner: "Budget", "Total: " and the puzzle's total as it was at opening, "Left: " and what is
// left of it, followed every frame. In create-puzzle mode, a panel in the top-right corner with
// the total as a bare number and two buttons that step it by one within 0 to 100. The panel is
// chosen at each opening; the budget left is the game's, the menu changes only the total.
#pragma once

#include "game/menus/StaticMenu.h"

namespace QUORB
{
class BudgetMenu : public StaticMenu
{
public:
    static constexpr int kLowestTotal = 0;
    static constexpr int kHighestTotal = 100;

    explicit BudgetMenu(StateMachineComponent* owner);

protected:
    // "IncButton" and "DecButton": the total one up or down, clamped, shown on the editor panel.
    void OnButtonPressed(const std::string& name) override;
    void OnOpened() override;
    void UpdateOpen() override;

private:
    void SetText(const std::string& unit, const std::string& text);
    void ShowPanel(const std::string& panel, bool show);
};
} // namespace QUORB
