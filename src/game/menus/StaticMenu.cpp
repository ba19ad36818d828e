#include "game/menus/StaticMenu.h"

namespace QUORB
{
StaticMenu::StaticMenu(StateMachineComponent* owner) : BaseMenu(owner)
{
    m_openTime = 0.0f;
    m_closeTime = 0.0f;
}

void StaticMenu::OpenTransition(float) {}

void StaticMenu::CloseTransition(float) {}
} // namespace QUORB
