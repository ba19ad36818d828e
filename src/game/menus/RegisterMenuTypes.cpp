#include "game/menus/RegisterMenuTypes.h"

#include "game/MenuTable.h"

namespace QUORB
{
void RegisterMenuTypes()
{
    // No menu of the menus layer exists yet: every name keeps the game's placeholder.
}
} // namespace QUORB
