#include "game/menus/KeshSplashMenu.h"

#include "engine/CDorvoApp.h"
#include "engine/CDorvoGame.h"
#include "engine/gfx/gui/CCursor.h"
#include "game/app/MenuSend.h"

namespace QUORB
{
KeshSplashMenu::KeshSplashMenu(StateMachineComponent* owner) : GameSplashMenu(owner) {}

void KeshSplashMenu::Init()
{
    BuildUnits("hud/KeshLogo.jpg", 256);
}

void KeshSplashMenu::OpenTransition(float duration)
{
    GameSplashMenu::OpenTransition(duration);
    dorvo::CDorvoGame* game = g_pApp ? g_pApp->GetGame() : nullptr;
    if (dorvo::gfx::CCursor* cursor = game ? game->GetCursor() : nullptr)
        cursor->SetActive(false);
}

void KeshSplashMenu::OnClosed()
{
    SendToMenu(MenuTable::kVoskelSplashMenu, MSG_OpenMenu);
}
} // namespace QUORB
