// Program entry: the game reads no command line; the menus layer files its menu classes, then
// everything happens in QUORB::WinMain.
#include "game/app/WinMain.h"
#include "game/menus/RegisterMenuTypes.h"

int main()
{
    QUORB::RegisterMenuTypes();
    return QUORB::WinMain();
}
