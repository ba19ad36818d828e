// Files the menus layer's menu classes in the game's menu table under their game-object names,
// a class for each of the table's 28 names. The program entry and the menu test world call it
// once, before the game starts.
#pragma once

#include "game/app/MenuTable.h"

#include <string>

class StateMachine;
class StateMachineComponent;

namespace QUORB
{
void RegisterMenuTypes();

// Files Menu (constructed from its state-machine component) under a menu's game-object name;
// false for a name that is no menu.
template <class Menu> bool RegisterMenuType(const std::string& name)
{
    return MenuTable::SetCreator(
        name, [](StateMachineComponent* component) -> StateMachine* { return new Menu(component); });
}
} // namespace QUORB
