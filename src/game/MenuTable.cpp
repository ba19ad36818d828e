#include "game/MenuTable.h"

#include "game/PlaceholderMenu.h"
#include "game/PlaceholderScoreMenu.h"

namespace QUORB
{
namespace
{
const char* const kMenuNames[MenuTable::kMenuCount] = {
    "Radial",       "Submenu",           "PuzzleLookAtMenu",  "WidgetChoiceBarMenu", "WidgetPropertyBarMenu",
    "EscapeMenu",   "KeshSplashMenu",    "GameSplashMenu",    "VoskelSplashMenu",    "StartPuzzleMenu",
    "BackMenu",     "RoomSelectionMenu", "ScoreMenu",         "MouseWidgetSelMenu",  "MainMenu",
    "OptionsMenu",  "CreditsMenu",       "ToolTipMenu",       "PropValueMenu",       "SaveRoomMenu",
    "HelpMenu",     "CreatorMenu",       "CreateProfileMenu", "PuzzleInfoMenu",      "BudgetMenu",
    "TimerObjMenu", "ProfileMenu",       "MessageWindowMenu",
};

MenuTable::Creator s_creators[MenuTable::kMenuCount] = {};

int IndexOf(const std::string& name)
{
    for (std::size_t i = 0; i < MenuTable::kMenuCount; ++i)
        if (name == kMenuNames[i])
            return static_cast<int>(i);
    return -1;
}
} // namespace

const char* MenuTable::GetName(std::size_t index)
{
    return index < kMenuCount ? kMenuNames[index] : "";
}

bool MenuTable::SetCreator(const std::string& name, Creator creator)
{
    const int index = IndexOf(name);
    if (index < 0 || creator == nullptr)
        return false;
    s_creators[index] = creator;
    return true;
}

StateMachine* MenuTable::Create(const std::string& name, StateMachineComponent* component)
{
    const int index = IndexOf(name);
    if (index < 0)
        return nullptr;
    if (s_creators[index] != nullptr)
        return s_creators[index](component);
    // The score menu's stand-in scores the puzzle when it opens.
    if (name == "ScoreMenu")
        return new PlaceholderScoreMenu(component);
    return new PlaceholderMenu(component);
}

void MenuTable::ResetCreators()
{
    for (Creator& creator : s_creators)
        creator = nullptr;
}
} // namespace QUORB
