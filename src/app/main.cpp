// Program entry: the game reads no command line; everything happens in QUORB::WinMain.
#include "game/WinMain.h"

int main()
{
    return QUORB::WinMain();
}
