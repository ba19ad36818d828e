// A menu's state by its game-object name (MenuTable's), as the game, the menus and the tests
// read it.
#pragma once

#include <string>

namespace QUORB
{
// The current state of the named menu's active machine (0 init, 1 closed, 2 opening, 3 open,
// 4 closing); -1 when the menu is not built or has no machine, and -1 with an assertion for a
// name that is no menu of MenuTable.
int GetMenuState(const std::string& name);
} // namespace QUORB
