// A menu without motion: open and close times of 0, so it opens and closes inside the enter
// event of its opening and closing states, and its transitions move nothing.
#pragma once

#include "game/menus/BaseMenu.h"

namespace QUORB
{
class StaticMenu : public BaseMenu
{
public:
    explicit StaticMenu(StateMachineComponent* owner);

protected:
    void OpenTransition(float duration) override;
    void CloseTransition(float duration) override;
};
} // namespace QUORB
