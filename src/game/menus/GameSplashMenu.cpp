#include "game/menus/GameSplashMenu.h"

#include "common/ConsoleInterface.h"
#include "common/FunctionFlags.h"
#include "common/InterpolationMgr.h"
#include "engine/CDorvoApp.h"
#include "engine/CDorvoGame.h"
#include "engine/SoundSystem.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/gui/CCursor.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/CQUORB.h"
#include "game/app/MenuSend.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"
#include "statemachine/Message.h"

#include <algorithm>
#include <memory>

namespace QUORB
{
const char* const GameSplashMenu::kMusic = "QUORBSound/Music/PuzzleMusic";

namespace
{
const char* const kBackground = "Background";
const char* const kLogo = "Logo";
constexpr int kLogoSize = 512; // pixels, one square frame
constexpr int kLogoFrameMs = 50;
} // namespace

GameSplashMenu::GameSplashMenu(StateMachineComponent* owner) : StaticMenu(owner)
{
    m_openTime = kOpenSeconds;
    m_closeTime = kCloseSeconds;
}

void GameSplashMenu::Init()
{
    BuildUnits("hud/QUORBTitle.png", 150);
}

void GameSplashMenu::BuildUnits(const std::string& image, int rise)
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (!comp)
        return;
    comp->SetCompDepth(-1);
    const int width = static_cast<int>(dorvo::gfx::GetScreenWidth());
    const int height = static_cast<int>(dorvo::gfx::GetScreenHeight());

    // The white block's 32 x 32 frame scaled by a thirtieth of the screen reaches a little past
    // the right and bottom edges.
    std::unique_ptr<dorvo::gfx::CButton> background = g_menuHud.CreateWhiteBlockButton(kBackground);
    background->SetColor(0.0f, 0.0f, 0.0f);
    background->SetScale(static_cast<float>(width) / 30.0f, static_cast<float>(height) / 30.0f, 1.0f);
    background->SetPosition(0, 0);
    background->SetPointInsideFunct(new RectPointInsideFunct(background.get(), width, height));
    background->SetButtonPressedFunct(new SMButtonPressedFunct(GetComponent(), kBackground));
    if (!AddUnit(std::move(background)))
        return;

    auto logo = std::make_unique<dorvo::gfx::CSprite>(image);
    logo->SetName(kLogo);
    const int pivot[2] = {0, 0};
    logo->AddGridAnimation("Base", kLogoSize, kLogoSize, 1, 0, 0, kLogoFrameMs, pivot, false);
    logo->SetAlpha(0.0f, false);
    logo->SetPosition(width / 2 - kLogoSize / 2, height / 2 - rise);
    AddUnit(std::move(logo), kBackground);
}

void GameSplashMenu::FadeLogo(float from, float to, float duration)
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    dorvo::gfx::CSprite* logo = comp ? comp->GetSprite(kLogo) : nullptr;
    if (!logo)
        return;
    logo->SetInterpolation(dorvo::gfx::CSprite::IP_Alpha, common::CInterpolationMgr::Instance().AddFloat(
                                                              from, to, duration, common::INTERP_REMOVE));
}

void GameSplashMenu::OnButtonPressed(const std::string& name)
{
    // The forced close runs OnClosed on its way into the closed state; calling it here as well
    // would end the chain twice (the profile loaded twice, the music started twice).
    if (name == kBackground)
        SendMsgToSelf(MSG_CloseMenuForced, MSG_SCOPE_SUBSTATE, 0);
}

void GameSplashMenu::OpenTransition(float duration)
{
    FadeLogo(0.0f, 1.0f, duration);
    SendDelayedMsgToSelf(duration + kShowSeconds, MSG_CloseMenu, MSG_SCOPE_NONE, 0);
}

void GameSplashMenu::CloseTransition(float duration)
{
    FadeLogo(1.0f, 0.0f, duration);
}

void GameSplashMenu::OnClosed()
{
    dorvo::CDorvoGame* engineGame = g_pApp ? g_pApp->GetGame() : nullptr;
    if (dorvo::gfx::CCursor* cursor = engineGame ? engineGame->GetCursor() : nullptr)
        cursor->SetActive(true);
    common::ConsoleInterface::Instance().WriteToConsole("setgameskin DefaultSkin", common::FF_Execute, false);

    CQUORB* game = CQUORB::Get();
    const std::string lastUsed = game ? game->GetSettings().LastUsedProfile : std::string();
    const std::vector<std::string> noFiles;
    const std::vector<std::string>& files = game ? game->GetProfileFiles() : noFiles;
    const auto found = std::find(files.begin(), files.end(), lastUsed);
    if (game && found != files.end())
    {
        game->LoadProfile(*found);
        SendToMenu(MenuTable::kMainMenu, MSG_OpenMenu);
        SendToMenu(MenuTable::kHelpMenu, MSG_OpenMenu);
    }
    else
    {
        SendIntToMenu(MenuTable::kCreateProfileMenu, MSG_SetCustomData, 1);
        SendToMenu(MenuTable::kCreateProfileMenu, MSG_OpenMenu);
    }
    dorvo::SoundSystem::Instance().PlayEvent(kMusic, nullptr, nullptr);
}
} // namespace QUORB
