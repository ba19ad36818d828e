#include "game/menus/StartPuzzleMenu.h"

#include "common/InterpolationMgr.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"
#include "game/menus/MenuText.h"
#include "game/menus/PuzzleMenuCalls.h"

#include <memory>

namespace QUORB
{
namespace
{
const char* const kStartButton = "StartButton";
const char* const kClearButton = "ClearButton";
const char* const kStartText = "StartButtonText";
const char* const kClearText = "ClearButtonText";

std::unique_ptr<dorvo::gfx::CButton> MakeRoundButton(StateMachineComponent* owner, const char* unitName,
                                                     const char* ownName, int anchor, float radius)
{
    const int position[2] = {0, 0};
    const int anchorPair[2] = {anchor, anchor};
    auto button = std::make_unique<dorvo::gfx::CButton>(
        g_menuHud.m_coloredRadial.textureFile, g_menuHud.m_coloredRadial.unpressed, position, anchorPair);
    button->SetName(unitName);
    button->SetButtonPressedFunct(new SMButtonPressedFunct(owner, ownName));
    button->SetPointInsideFunct(new CirclePointInsideFunct(button.get(), radius));
    return button;
}
} // namespace

StartPuzzleMenu::StartPuzzleMenu(StateMachineComponent* owner) : FadeMenu(owner)
{
    m_openTime = kOpenSeconds;
    m_closeTime = kCloseSeconds;
    const int width = static_cast<int>(dorvo::gfx::GetScreenWidth());
    const int height = static_cast<int>(dorvo::gfx::GetScreenHeight());

    auto start = MakeRoundButton(owner, kStartButton, "Start", 64, kStartRadius);
    start->SetPosition(width - 110, height - 120);
    auto clear = MakeRoundButton(owner, kClearButton, "Clear", 32, kClearRadius);
    clear->SetPosition(width - 150, height - 55);
    clear->SetScale(0.5f, 0.5f, 1.0f);

    AddUnit(std::move(start));
    AddUnit(std::move(clear));
    AddUnit(MakeMenuText(kStartText, "", 4, 20, 50, 64), kStartButton);
    AddUnit(MakeMenuText(kClearText, "", 4, 10, 20, 64), kClearButton);
    // The small button overlaps the big one's rim, and its label runs past its own: both are
    // drawn in front of the big button, so the label stays whole.
    if (dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp())
        if (dorvo::gfx::CSprite* small = comp->GetSprite(kClearButton))
            small->SetDepth(dorvo::gfx::CSprite::kDefaultDepth + 1);
}

void StartPuzzleMenu::SetText(const std::string& unit, const std::string& text)
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (dorvo::gfx::CTextSprite* label = comp ? comp->GetTextSprite(unit) : nullptr)
        label->SetText(text);
}

void StartPuzzleMenu::OpenTransition(float duration)
{
    // Set at every opening, so a menu closed while it read "Stop" comes back ready.
    const bool creating = IsGameInCreatePuzzleMode();
    SetText(kStartText, creating ? "Test" : "Start");
    SetText(kClearText, creating ? "Clear" : "Reset");
    FadeMenu::OpenTransition(duration);
}

void StartPuzzleMenu::OnButtonPressed(const std::string& name)
{
    if (name == "Start")
    {
        if (IsPhysicsPaused())
            StartRun();
        else
            StopRun();
    }
    else if (name == "Clear")
    {
        // During a run the button is faded out and does nothing.
        if (IsPhysicsPaused())
            RunConsoleLine("reloadfocusedpuzzle");
    }
}

void StartPuzzleMenu::StartRun()
{
    RunConsoleLine("play");
    SetText(kStartText, "Stop");
    SendToMenu(MenuTable::kWidgetChoiceBarMenu, MSG_CloseMenu);
    SendToMenu(MenuTable::kWidgetPropertyBarMenu, MSG_CloseMenu);
    SendToMenu(MenuTable::kBudgetMenu, MSG_CloseMenu);
    if (IsGameInCreatePuzzleMode())
        SendToMenu(MenuTable::kCreatorMenu, MSG_CloseMenu);
    SendToMenu(MenuTable::kBackMenu, MSG_CloseMenu);
    FadeClearButton(1.0f, 0.0f);
}

void StartPuzzleMenu::StopRun()
{
    RunConsoleLine("resetfocusedpuzzle");
    Reset();
    SendToMenu(MenuTable::kBackMenu, MSG_OpenMenu);
    SendToMenu(MenuTable::kBackMenu, MSG_ResetMenu);
}

void StartPuzzleMenu::Reset()
{
    const bool creating = IsGameInCreatePuzzleMode();
    SendToMenu(MenuTable::kWidgetChoiceBarMenu, MSG_OpenMenuEx);
    SendToMenu(MenuTable::kBudgetMenu, MSG_OpenMenu);
    SendToMenu(MenuTable::kWidgetPropertyBarMenu, MSG_CloseMenu);
    if (creating)
        SendToMenu(MenuTable::kCreatorMenu, MSG_OpenMenu);
    SetText(kStartText, creating ? "Test" : "Start");
    FadeClearButton(0.0f, 1.0f);
}

void StartPuzzleMenu::FadeClearButton(float from, float to)
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (!comp)
        return;
    common::CInterpolationMgr& manager = common::CInterpolationMgr::Instance();
    // One record each: a record removes itself once read at its end.
    for (const char* name : {kClearButton, kClearText})
        if (dorvo::gfx::CSprite* sprite = comp->GetSprite(name))
            sprite->SetInterpolation(dorvo::gfx::CSprite::IP_Alpha,
                                     manager.AddFloat(from, to, kClearFadeSeconds, common::INTERP_REMOVE));
}
} // namespace QUORB
