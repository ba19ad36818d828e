#include "game/menus/RegisterMenuTypes.h"

#include "game/menus/BudgetMenu.h"
#include "game/menus/ScoreMenu.h"
#include "game/menus/StartPuzzleMenu.h"
#include "game/menus/TimerObjMenu.h"

namespace QUORB
{
void RegisterMenuTypes()
{
    // Each menu class goes here under its game-object name as it is built, for example
    // RegisterMenuType<BackButtonMenu>("BackMenu"). Names without a class keep the game's
    // placeholder.
    RegisterMenuType<StartPuzzleMenu>("StartPuzzleMenu");
    RegisterMenuType<BudgetMenu>("BudgetMenu");
    RegisterMenuType<TimerObjMenu>("TimerObjMenu");
    RegisterMenuType<ScoreMenu>("ScoreMenu");
}
} // namespace QUORB
