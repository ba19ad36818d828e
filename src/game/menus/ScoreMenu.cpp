#include "game/menus/ScoreMenu.h"

#include "common/InterpolationMgr.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/CQUORB.h"
#include "game/app/MenuState.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"
#include "game/menus/MenuText.h"
#include "game/menus/PuzzleMenuCalls.h"
#include "game/room/CPuzzle.h"
#include "statemachine/Message.h"

#include <initializer_list>
#include <sstream>

namespace QUORB
{
namespace
{
const char* const kVeil = "BlackBackground";
const char* const kPanel = "Background";
const char* const kSucceedText = "SucceedText";
const char* const kFailText = "FailText";
const char* const kScoreText = "ScoreText";
const char* const kBudgetText = "BudgetText";
const char* const kInitScoreText = "Score:";
const char* const kInitBudgetText = "Budget:";

// The units that fade on their own besides the children of "Base".
const char* const kFadedUnits[] = {"PuzzleText", "RoomText",  kSucceedText,   kFailText,
                                   kScoreText,   kBudgetText, "PuzzleButton", "RoomButton"};

std::string Decimal(int value)
{
    std::ostringstream text;
    text << value;
    return text.str();
}
} // namespace

ScoreMenu::ScoreMenu(StateMachineComponent* owner) : FadeMenu(owner), m_veil(*this) {}

void ScoreMenu::Init()
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (!comp)
        return;
    // Offered input before the other menus: the panel and the veil take every click while shown.
    comp->SetCompDepth(-1);
    m_openTime = kFadeSeconds;
    m_closeTime = kFadeSeconds;
    const int width = static_cast<int>(dorvo::gfx::GetScreenWidth());
    const int height = static_cast<int>(dorvo::gfx::GetScreenHeight());

    auto panel = std::make_unique<dorvo::gfx::CSprite>(g_menuHud.m_menuBackground.textureFile);
    panel->SetName(kPanel);
    panel->AddAnimation("Base", g_menuHud.m_menuBackground.unpressed, true);
    panel->SetScale(1.15f, 0.5f, 1.0f);
    panel->SetAlpha(kPanelAlpha, false);
    panel->SetPosition(static_cast<int>(width / 2 - panel->GetWidth() / 2.0f),
                       static_cast<int>(height / 2 - panel->GetHeight() / 2.0f));

    StateMachineComponent* owner = GetComponent();
    // Its own colour, so that a skin does not tint the veil; shown only as the menu fades in.
    m_veil.Make(kVeil, "Background", MenuVeil::Look::OwnBlack, kVeilDepth, 0.0f);

    auto puzzleButton = g_menuHud.CreateBarButton("PuzzleButton");
    puzzleButton->SetPointInsideFunct(new RectPointInsideFunct(puzzleButton.get(), 200, 55));
    puzzleButton->SetButtonPressedFunct(new SMButtonPressedFunct(owner, "PuzzleButton"));
    puzzleButton->SetPosition(50, 160);
    auto roomButton = g_menuHud.CreateBarButton("RoomButton");
    roomButton->SetPointInsideFunct(new RectPointInsideFunct(roomButton.get(), 200, 55));
    roomButton->SetButtonPressedFunct(new SMButtonPressedFunct(owner, "RoomButton"));
    roomButton->SetPosition(300, 160);

    auto succeed = MakeMenuText(kSucceedText, "Puzzle Completed!", 5, 60, 20, 470);
    auto fail = MakeMenuText(kFailText, "Puzzle Failed!", 5, 30, 20, 450);
    auto puzzleText = MakeMenuText("PuzzleText", "Back To Puzzle", 4, 20, 20, 250);
    auto roomText = MakeMenuText("RoomText", "Back To Room", 4, 20, 20, 250);
    auto scoreText = MakeMenuText(kScoreText, kInitScoreText, 4, 40, 90, 250);
    auto budgetText = MakeMenuText(kBudgetText, kInitBudgetText, 4, 40, 120, 250);

    for (dorvo::gfx::CSprite* unit : std::initializer_list<dorvo::gfx::CSprite*>{
             panel.get(), puzzleButton.get(), roomButton.get(), succeed.get(), fail.get(), puzzleText.get(),
             roomText.get(), scoreText.get(), budgetText.get()})
        unit->SetDepth(kPanelDepth);
    for (dorvo::gfx::CSprite* unit : std::initializer_list<dorvo::gfx::CSprite*>{
             panel.get(), puzzleButton.get(), roomButton.get(), succeed.get(), fail.get(), puzzleText.get(),
             roomText.get()})
        unit->SetAlpha(0.0f, false);

    m_veil.File();
    AddUnit(std::move(panel));
    AddUnit(std::move(puzzleButton), kPanel);
    AddUnit(std::move(roomButton), kPanel);
    AddUnit(std::move(succeed), kPanel);
    AddUnit(std::move(fail), kPanel);
    AddUnit(std::move(puzzleText), "PuzzleButton");
    AddUnit(std::move(roomText), "RoomButton");
    AddUnit(std::move(scoreText), kPanel);
    AddUnit(std::move(budgetText), kPanel);
}

void ScoreMenu::FillInResult()
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (!comp)
        return;
    dorvo::gfx::CSprite* succeed = comp->GetSprite(kSucceedText);
    dorvo::gfx::CSprite* fail = comp->GetSprite(kFailText);
    dorvo::gfx::CTextSprite* score = comp->GetTextSprite(kScoreText);
    dorvo::gfx::CTextSprite* budget = comp->GetTextSprite(kBudgetText);
    if (!succeed || !fail || !score || !budget)
        return;
    CPuzzle* puzzle = GetFocusedPuzzleOfGame();
    if (!puzzle)
    {
        // Opened by hand with no puzzle in focus: no outcome and no score to show.
        succeed->SetDepth(kSunkDepth);
        fail->SetDepth(kSunkDepth);
        score->SetText(kInitScoreText);
        budget->SetText(kInitBudgetText);
        return;
    }
    const bool failed = puzzle->IsFailed();
    succeed->SetDepth(failed ? kSunkDepth : kPanelDepth);
    fail->SetDepth(failed ? kPanelDepth : kSunkDepth);
    puzzle->ComputeScore();
    score->SetText("Score: " + Decimal(puzzle->GetScore()));
    budget->SetText("Remaining Budget: " + Decimal(puzzle->GetBudgetLeft()));
}

void ScoreMenu::FadeUnits(float from, float to, float duration)
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (!comp)
        return;
    common::CInterpolationMgr& manager = common::CInterpolationMgr::Instance();
    for (const char* name : kFadedUnits)
        if (dorvo::gfx::CSprite* sprite = comp->GetSprite(name))
            sprite->SetInterpolation(dorvo::gfx::CSprite::IP_Alpha,
                                     manager.AddFloat(from, to, duration, common::INTERP_REMOVE));
}

void ScoreMenu::OpenTransition(float duration)
{
    FadeMenu::OpenTransition(duration);
    FillInResult();
    FadeUnits(0.0f, 1.0f, duration);
    m_veil.Fade(0.0f, kVeilAlpha, duration);
}

void ScoreMenu::CloseTransition(float duration)
{
    FadeMenu::CloseTransition(duration);
    m_veil.Fade(kVeilAlpha, 0.0f, duration);
    FadeUnits(1.0f, 0.0f, duration);
}

void ScoreMenu::OnOpened()
{
    SendToMenu(MenuTable::kStartPuzzleMenu, MSG_CloseMenu);
}

void ScoreMenu::OnButtonPressed(const std::string& name)
{
    // While the panel fades in the player has not seen it yet; while it fades out a second press
    // of a double click would act again, and leaving the puzzle twice switches editor mode back on.
    if (GetState() != STATE_Open)
        return;
    if (name == "PuzzleButton")
    {
        RunConsoleLine("resetfocusedpuzzle");
        // Still fading out after this menu's opening closed it, it would not hear the open and
        // the player would be left without "Start": it finishes its close at once first.
        if (GetMenuState(MenuTable::kStartPuzzleMenu) == STATE_Closing)
            SendToMenu(MenuTable::kStartPuzzleMenu, MSG_CloseMenuForced);
        SendToMenu(MenuTable::kStartPuzzleMenu, MSG_OpenMenu);
        SendToMenu(MenuTable::kStartPuzzleMenu, MSG_ResetMenu);
        SendToMenu(MenuTable::kBackMenu, MSG_OpenMenu);
        SendToMenu(MenuTable::kBackMenu, MSG_ResetMenu);
        SendMsgToSelf(MSG_CloseMenu, MSG_SCOPE_SUBSTATE, 0);
    }
    else if (name == "RoomButton")
    {
        SendToMenu(MenuTable::kBackMenu, MSG_OpenMenu);
        if (CQUORB* game = CQUORB::Get())
            game->LeavePuzzle(false);
    }
}
} // namespace QUORB
