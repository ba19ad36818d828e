// A menu's state by its game-object name, as other menus and the tests read it.
#pragma once

#include <string>

namespace QUORB
{
// The current state of the active machine of the named object (for a menu 0 init, 1 closed,
// 2 opening, 3 open, 4 closing); -1 when no object has the name or it has no machine.
int GetMenuState(const std::string& name);
} // namespace QUORB
