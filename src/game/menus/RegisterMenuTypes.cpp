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
    RegisterMenuType<EscapeMenu>("EscapeMenu");
    RegisterMenuType<KeshSplashMenu>("KeshSplashMenu");
    RegisterMenuType<GameSplashMenu>("GameSplashMenu");
    RegisterMenuType<VoskelSplash>("VoskelSplashMenu");
    RegisterMenuType<MainMenu>("MainMenu");
    RegisterMenuType<HelpMenu>("HelpMenu");
    RegisterMenuType<MessageWindowMenu>("MessageWindowMenu");
    RegisterMenuType<PuzzleLookAtMenu>("PuzzleLookAtMenu");
    RegisterMenuType<BackButtonMenu>("BackMenu");
    RegisterMenuType<RoomSelectionMenu>("RoomSelectionMenu");
    RegisterMenuType<PuzzleInfoMenu>("PuzzleInfoMenu");
    RegisterMenuType<StartPuzzleMenu>("StartPuzzleMenu");
    RegisterMenuType<BudgetMenu>("BudgetMenu");
    RegisterMenuType<TimerObjMenu>("TimerObjMenu");
    RegisterMenuType<ScoreMenu>("ScoreMenu");
    RegisterMenuType<OptionsMenu>("OptionsMenu");
    RegisterMenuType<CreditsMenu>("CreditsMenu");
    RegisterMenuType<CreateProfileMenu>("CreateProfileMenu");
    RegisterMenuType<ProfileMenu>("ProfileMenu");
    RegisterMenuType<DemoRadial>("Radial");
    RegisterMenuType<SpreadRadialMenu>("Submenu");
    RegisterMenuType<CreatorMenu>("CreatorMenu");
    RegisterMenuType<SaveRoomMenu>("SaveRoomMenu");
    RegisterMenuType<WidgetChoiceMenu>("WidgetChoiceBarMenu");
    RegisterMenuType<MouseWidgetSelMenu>("MouseWidgetSelMenu");
    RegisterMenuType<ToolTipMenu>("ToolTipMenu");
    RegisterMenuType<WidgetPropertyMenu>("WidgetPropertyBarMenu");
    RegisterMenuType<PropValueMenu>("PropValueMenu");
}
} // namespace QUORB
