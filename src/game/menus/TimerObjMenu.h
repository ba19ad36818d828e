// The remaining time of the focused puzzle's time limit, written in white over the time-limit
// objective's object and following its screen point every frame. The text is hidden in every
// frame in which there is no focused puzzle with a time limit or the game is not in editor mode,
// so the menu may stay open for a puzzle without one.
#pragma once

#include "game/menus/StaticMenu.h"

#include <string>

namespace QUORB
{
class TimerObjMenu : public StaticMenu
{
public:
    static constexpr int kPivotX = 27; // pixels of the text placed on the objective's point
    static constexpr int kPivotY = 10;

    explicit TimerObjMenu(StateMachineComponent* owner);

    // Seconds as the display writes them: two decimals, at least three digits before the point
    // ("005.50", "042.50", "130.00"); a negative time is 0.
    static std::string FormatTimeLeft(float seconds);

protected:
    void Init() override;
    void UpdateOpen() override;
};
} // namespace QUORB
