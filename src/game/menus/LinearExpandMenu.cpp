#include "game/menus/LinearExpandMenu.h"

namespace QUORB
{
LinearExpandMenu::LinearExpandMenu(StateMachineComponent* owner) : LinearMoveMenu(owner) {}

void LinearExpandMenu::OpenTransition(float) {}

void LinearExpandMenu::CloseTransition(float) {}
} // namespace QUORB
