#include "game/app/MenuTable.h"

#include "common/Assert.h"
#include "common/Singleton.h"
#include "game/app/PlaceholderMenu.h"
#include "game/app/PlaceholderScoreMenu.h"
#include "statemachine/Database.h"

namespace QUORB
{
namespace
{
const char* const kMenuNames[MenuTable::kMenuCount] = {
    MenuTable::kRadial,
    MenuTable::kSubmenu,
    MenuTable::kPuzzleLookAtMenu,
    MenuTable::kWidgetChoiceBarMenu,
    MenuTable::kWidgetPropertyBarMenu,
    MenuTable::kEscapeMenu,
    MenuTable::kKeshSplashMenu,
    MenuTable::kGameSplashMenu,
    MenuTable::kVoskelSplashMenu,
    MenuTable::kStartPuzzleMenu,
    MenuTable::kBackMenu,
    MenuTable::kRoomSelectionMenu,
    MenuTable::kScoreMenu,
    MenuTable::kMouseWidgetSelMenu,
    MenuTable::kMainMenu,
    MenuTable::kOptionsMenu,
    MenuTable::kCreditsMenu,
    MenuTable::kToolTipMenu,
    MenuTable::kPropValueMenu,
    MenuTable::kSaveRoomMenu,
    MenuTable::kHelpMenu,
    MenuTable::kCreatorMenu,
    MenuTable::kCreateProfileMenu,
    MenuTable::kPuzzleInfoMenu,
    MenuTable::kBudgetMenu,
    MenuTable::kTimerObjMenu,
    MenuTable::kProfileMenu,
    MenuTable::kMessageWindowMenu,
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

bool MenuTable::IsMenu(const std::string& name)
{
    return IndexOf(name) >= 0;
}

std::uint32_t MenuTable::FindId(const std::string& name, const char* caller)
{
    if (!IsMenu(name))
    {
        // A mistyped or computed name would otherwise be a menu that silently never answers.
        constexpr std::size_t kShown = 64;
        const std::string text = std::string(caller) + " - \"" + name.substr(0, kShown) +
                                 (name.size() > kShown ? "..." : "") + "\" is no menu of the menu table.";
        DORVO_ASSERT(IsMenu(name), text.c_str());
        return 0;
    }
    return common::Singleton<Database>::Instance()->FindIdByName(name);
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
    if (name == kScoreMenu)
        return new PlaceholderScoreMenu(component);
    return new PlaceholderMenu(component);
}

void MenuTable::ResetCreators()
{
    for (Creator& creator : s_creators)
        creator = nullptr;
}
} // namespace QUORB
