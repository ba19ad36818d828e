// A menu whose units fade in on opening and out on closing: every direct child of "Base" gets
// an alpha interpolation from 0 to 1 (or back) over the transition's time; deeper units follow
// their parent's alpha. The times are the menu class's to set (0 from StaticMenu otherwise).
#pragma once

#include "game/menus/StaticMenu.h"

namespace QUORB
{
class FadeMenu : public StaticMenu
{
public:
    explicit FadeMenu(StateMachineComponent* owner);

protected:
    void OpenTransition(float duration) override;
    void CloseTransition(float duration) override;

private:
    void Fade(float from, float to, float duration);
};
} // namespace QUORB
