// A sliding menu whose transitions do nothing: it keeps the open and close times of 1 s and so
// opens and closes on time without moving. No menu of the game is one yet.
#pragma once

#include "game/menus/LinearMoveMenu.h"

namespace QUORB
{
class LinearExpandMenu : public LinearMoveMenu
{
public:
    explicit LinearExpandMenu(StateMachineComponent* owner);

protected:
    void OpenTransition(float duration) override;
    void CloseTransition(float duration) override;
};
} // namespace QUORB
