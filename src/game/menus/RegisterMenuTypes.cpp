#include "game/menus/RegisterMenuTypes.h"

namespace QUORB
{
void RegisterMenuTypes()
{
    // Each menu class goes here under its game-object name as it is built, for example
    // RegisterMenuType<BackButtonMenu>("BackMenu"). None is built yet: every name keeps the
    // game's placeholder.
}
} // namespace QUORB
