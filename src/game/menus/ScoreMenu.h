// The result panel that ends a puzzle run. The focused puzzle opens it when an objective fails or
// a met one ends the run: the screen is veiled, and a panel fades in with "Puzzle Completed!" or
// "Puzzle Failed!", the score (computed once per opening) and the budget left, and two ways on,
// "Back To Puzzle" (the same puzzle again) and "Back To Room" (leave the puzzle). The veil is a
// screen-wide button at the top level of the menu's 2D component, owned by the menu; it catches
// clicks and does nothing with them.
#pragma once

#include "game/menus/FadeMenu.h"
#include "game/menus/MenuVeil.h"

namespace QUORB
{
class ScoreMenu : public FadeMenu
{
public:
    static constexpr float kFadeSeconds = 0.5f;
    static constexpr float kVeilAlpha = 0.5f;
    static constexpr float kPanelAlpha = 0.9f;
    static constexpr int kPanelDepth = 4;
    static constexpr int kVeilDepth = 3;
    static constexpr int kSunkDepth = -1; // behind the panel

    explicit ScoreMenu(StateMachineComponent* owner);

protected:
    // "Back To Puzzle" and "Back To Room", heard only while the menu is open.
    void OnButtonPressed(const std::string& name) override;
    // Fades the panel and the veil in, puts the result line in front and fills in the numbers.
    void OpenTransition(float duration) override;
    void CloseTransition(float duration) override;
    // Closes "StartPuzzleMenu".
    void OnOpened() override;
    // The times and every unit.
    void Init() override;

private:
    void FillInResult();
    void FadeUnits(float from, float to, float duration);

    MenuVeil m_veil;
};
} // namespace QUORB
