// The game's menus by game-object name, in the order the menu factory builds them, each with
// the creator of its state machine. Every entry makes a PlaceholderMenu until the menus layer
// files its own class under the same name (RegisterMenuTypes, called by the program entry before
// start-up), so the game never includes the menus.
#pragma once

#include <cstddef>
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

    // The game-object name of menu i (0 to 27) in build order ("Radial" first,
    // "MessageWindowMenu" last); "" past the end.
    static const char* GetName(std::size_t index);
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
