// The first splash screen, the maker's mark. It hides the game's cursor as it opens (the end
// of the chain shows it again) and opens the team's splash when it closes.
#pragma once

#include "game/menus/GameSplashMenu.h"

namespace QUORB
{
class KeshSplashMenu : public GameSplashMenu
{
public:
    explicit KeshSplashMenu(StateMachineComponent* owner);

protected:
    void OpenTransition(float duration) override;
    void OnClosed() override;
    void Init() override;
};
} // namespace QUORB
