// The game's menus by game-object name, in the order the menu factory builds them, each with
// the creator of its state machine. Every entry makes a PlaceholderMenu until the menus layer
// files its own class under the same name (RegisterMenuTypes, called by the program entry before
// start-up), so the game never includes the menus.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class StateMachine;
class StateMachineComponent;

namespace QUORB
{
class MenuTable
{
public:
    // Makes the menu's machine for the component that will hold it.
    using Creator = StateMachine* (*)(StateMachineComponent* component);

    static constexpr std::size_t kMenuCount = 28;

    // The menus' game-object names, in build order. Code names a menu only through these.
    static constexpr const char* kRadial = "Radial";
    static constexpr const char* kSubmenu = "Submenu";
    static constexpr const char* kPuzzleLookAtMenu = "PuzzleLookAtMenu";
    static constexpr const char* kWidgetChoiceBarMenu = "WidgetChoiceBarMenu";
    static constexpr const char* kWidgetPropertyBarMenu = "WidgetPropertyBarMenu";
    static constexpr const char* kEscapeMenu = "EscapeMenu";
    static constexpr const char* kKeshSplashMenu = "KeshSplashMenu";
    static constexpr const char* kGameSplashMenu = "GameSplashMenu";
    static constexpr const char* kVoskelSplashMenu = "VoskelSplashMenu";
    static constexpr const char* kStartPuzzleMenu = "StartPuzzleMenu";
    static constexpr const char* kBackMenu = "BackMenu";
    static constexpr const char* kRoomSelectionMenu = "RoomSelectionMenu";
    static constexpr const char* kScoreMenu = "ScoreMenu";
    static constexpr const char* kMouseWidgetSelMenu = "MouseWidgetSelMenu";
    static constexpr const char* kMainMenu = "MainMenu";
    static constexpr const char* kOptionsMenu = "OptionsMenu";
    static constexpr const char* kCreditsMenu = "CreditsMenu";
    static constexpr const char* kToolTipMenu = "ToolTipMenu";
    static constexpr const char* kPropValueMenu = "PropValueMenu";
    static constexpr const char* kSaveRoomMenu = "SaveRoomMenu";
    static constexpr const char* kHelpMenu = "HelpMenu";
    static constexpr const char* kCreatorMenu = "CreatorMenu";
    static constexpr const char* kCreateProfileMenu = "CreateProfileMenu";
    static constexpr const char* kPuzzleInfoMenu = "PuzzleInfoMenu";
    static constexpr const char* kBudgetMenu = "BudgetMenu";
    static constexpr const char* kTimerObjMenu = "TimerObjMenu";
    static constexpr const char* kProfileMenu = "ProfileMenu";
    static constexpr const char* kMessageWindowMenu = "MessageWindowMenu";

    // The game-object name of menu i (0 to 27) in build order ("Radial" first,
    // "MessageWindowMenu" last); "" past the end.
    static const char* GetName(std::size_t index);
    // Whether the name is one of the table's (exact case).
    static bool IsMenu(const std::string& name);
    // The object id of the built menu of that name; 0 when it is not built (yet), and 0 with an
    // assertion for a name that is no menu of the table (`caller` names the asking function).
    static std::uint32_t FindId(const std::string& name, const char* caller);
    // Files a creator under a menu's name; false, nothing filed, for a name that is no menu or a
    // null creator.
    static bool SetCreator(const std::string& name, Creator creator);
    // The menu's machine from its filed creator, a PlaceholderMenu when none is filed; null for
    // a name that is no menu.
    static StateMachine* Create(const std::string& name, StateMachineComponent* component);
    // Every menu back to the placeholder (tests).
    static void ResetCreators();
};
} // namespace QUORB
