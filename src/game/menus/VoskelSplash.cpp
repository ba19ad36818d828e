#include "game/menus/VoskelSplash.h"

#include "game/app/MenuSend.h"

namespace QUORB
{
VoskelSplash::VoskelSplash(StateMachineComponent* owner) : GameSplashMenu(owner) {}

void VoskelSplash::Init()
{
    BuildUnits("hud/VoskelOrigins.png", 300);
}

void VoskelSplash::OnClosed()
{
    SendToMenu(MenuTable::kGameSplashMenu, MSG_OpenMenu);
}
} // namespace QUORB
