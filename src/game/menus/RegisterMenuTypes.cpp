#include "game/menus/RegisterMenuTypes.h"

#include "game/menus/BackButtonMenu.h"
#include "game/menus/PuzzleInfoMenu.h"
#include "game/menus/PuzzleLookAtMenu.h"
#include "game/menus/RoomSelectionMenu.h"

namespace QUORB
{
void RegisterMenuTypes()
{
    // Each menu class goes here under its game-object name as it is built; names without a
    // class keep the game's placeholder.
    RegisterMenuType<PuzzleLookAtMenu>("PuzzleLookAtMenu");
    RegisterMenuType<BackButtonMenu>("BackMenu");
    RegisterMenuType<RoomSelectionMenu>("RoomSelectionMenu");
    RegisterMenuType<PuzzleInfoMenu>("PuzzleInfoMenu");
}
} // namespace QUORB
