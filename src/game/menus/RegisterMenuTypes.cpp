#include "game/menus/RegisterMenuTypes.h"

#include "game/menus/BackButtonMenu.h"
#include "game/menus/BudgetMenu.h"
#include "game/menus/CreateProfileMenu.h"
#include "game/menus/CreatorMenu.h"
#include "game/menus/CreditsMenu.h"
#include "game/menus/DemoRadial.h"
#include "game/menus/EscapeMenu.h"
#include "game/menus/GameSplashMenu.h"
#include "game/menus/HelpMenu.h"
#include "game/menus/KeshSplashMenu.h"
#include "game/menus/MainMenu.h"
#include "game/menus/MessageWindowMenu.h"
#include "game/menus/MouseWidgetSelMenu.h"
#include "game/menus/OptionsMenu.h"
#include "game/menus/ProfileMenu.h"
#include "game/menus/PropValueMenu.h"
#include "game/menus/PuzzleInfoMenu.h"
#include "game/menus/PuzzleLookAtMenu.h"
#include "game/menus/RoomSelectionMenu.h"
#include "game/menus/SaveRoomMenu.h"
#include "game/menus/ScoreMenu.h"
#include "game/menus/SpreadRadialMenu.h"
#include "game/menus/StartPuzzleMenu.h"
#include "game/menus/TimerObjMenu.h"
#include "game/menus/ToolTipMenu.h"
#include "game/menus/VoskelSplash.h"
#include "game/menus/WidgetChoiceMenu.h"
#include "game/menus/WidgetPropertyMenu.h"

namespace QUORB
{
void RegisterMenuTypes()
{
    // Every name of the menu table has its class here; a name added to the table needs one too,
    // or the game builds a placeholder under it.
    RegisterMenuType<EscapeMenu>(MenuTable::kEscapeMenu);
    RegisterMenuType<KeshSplashMenu>(MenuTable::kKeshSplashMenu);
    RegisterMenuType<GameSplashMenu>(MenuTable::kGameSplashMenu);
    RegisterMenuType<VoskelSplash>(MenuTable::kVoskelSplashMenu);
    RegisterMenuType<MainMenu>(MenuTable::kMainMenu);
    RegisterMenuType<HelpMenu>(MenuTable::kHelpMenu);
    RegisterMenuType<MessageWindowMenu>(MenuTable::kMessageWindowMenu);
    RegisterMenuType<PuzzleLookAtMenu>(MenuTable::kPuzzleLookAtMenu);
    RegisterMenuType<BackButtonMenu>(MenuTable::kBackMenu);
    RegisterMenuType<RoomSelectionMenu>(MenuTable::kRoomSelectionMenu);
    RegisterMenuType<PuzzleInfoMenu>(MenuTable::kPuzzleInfoMenu);
    RegisterMenuType<StartPuzzleMenu>(MenuTable::kStartPuzzleMenu);
    RegisterMenuType<BudgetMenu>(MenuTable::kBudgetMenu);
    RegisterMenuType<TimerObjMenu>(MenuTable::kTimerObjMenu);
    RegisterMenuType<ScoreMenu>(MenuTable::kScoreMenu);
    RegisterMenuType<OptionsMenu>(MenuTable::kOptionsMenu);
    RegisterMenuType<CreditsMenu>(MenuTable::kCreditsMenu);
    RegisterMenuType<CreateProfileMenu>(MenuTable::kCreateProfileMenu);
    RegisterMenuType<ProfileMenu>(MenuTable::kProfileMenu);
    RegisterMenuType<DemoRadial>(MenuTable::kRadial);
    RegisterMenuType<SpreadRadialMenu>(MenuTable::kSubmenu);
    RegisterMenuType<CreatorMenu>(MenuTable::kCreatorMenu);
    RegisterMenuType<SaveRoomMenu>(MenuTable::kSaveRoomMenu);
    RegisterMenuType<WidgetChoiceMenu>(MenuTable::kWidgetChoiceBarMenu);
    RegisterMenuType<MouseWidgetSelMenu>(MenuTable::kMouseWidgetSelMenu);
    RegisterMenuType<ToolTipMenu>(MenuTable::kToolTipMenu);
    RegisterMenuType<WidgetPropertyMenu>(MenuTable::kWidgetPropertyBarMenu);
    RegisterMenuType<PropValueMenu>(MenuTable::kPropValueMenu);
}
} // namespace QUORB
