// The second splash screen, the team's mark (filed as "VoskelSplashMenu"); it opens the title
// splash when it closes.
#pragma once

#include "game/menus/GameSplashMenu.h"

namespace QUORB
{
class VoskelSplash : public GameSplashMenu
{
public:
    explicit VoskelSplash(StateMachineComponent* owner);

protected:
    void OnClosed() override;
    void Init() override;
};
} // namespace QUORB
