#include "game/menus/PuzzleLookAtMenu.h"

#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/CQUORB.h"
#include "game/app/MenuSend.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"
#include "game/menus/MenuText.h"
#include "game/room/CPuzzle.h"
#include "statemachine/Message.h"

namespace QUORB
{
const char* const PuzzleLookAtMenu::kStartButton = "StartPuzzleButton";
const char* const PuzzleLookAtMenu::kStartText = "StartPuzzleText";
const char* const PuzzleLookAtMenu::kLeftArrow = "LeftArrow";
const char* const PuzzleLookAtMenu::kRightArrow = "RightArrow";

namespace
{
constexpr int kDepth = -1;
constexpr unsigned kLabelFont = 4;
constexpr int kLabelBoxWidth = 200;
// The turning arrows: the double-headed arrow of "hud/Arrow.png" at half size, tinted green.
constexpr const char* kArrowImage = "hud/Arrow.png";
constexpr int kArrowFrameWidth = 220;
constexpr int kArrowFrameHeight = 120;
constexpr int kArrowSourceY = 128;
constexpr float kArrowScale = 0.5f;
constexpr int kArrowHitWidth = 100;
constexpr int kArrowHitHeight = 50;

std::unique_ptr<dorvo::gfx::CButton> MakeArrow(StateMachineComponent* owner, const char* name, int x)
{
    dorvo::gfx::SpriteAnimation frame;
    frame.frameWidth = kArrowFrameWidth;
    frame.frameHeight = kArrowFrameHeight;
    frame.frameCount = 1;
    frame.sourceY = kArrowSourceY;
    frame.frameTime = 200;
    frame.paused = true;
    const int position[2] = {0, 0};
    const int anchor[2] = {128, 64};
    auto arrow = std::make_unique<dorvo::gfx::CButton>(kArrowImage, frame, position, anchor);
    arrow->SetName(name);
    arrow->SetScale(kArrowScale, kArrowScale, 1.0f);
    arrow->SetColor(160.0f / 255.0f, 225.0f / 255.0f, 165.0f / 255.0f);
    arrow->SetButtonPressedFunct(new SMButtonPressedFunct(owner, name));
    arrow->SetPointInsideFunct(new RectPointInsideFunct(arrow.get(), kArrowHitWidth, kArrowHitHeight));
    arrow->SetPosition(x, 0);
    arrow->SetDepth(kDepth);
    return arrow;
}
} // namespace

PuzzleLookAtMenu::PuzzleLookAtMenu(StateMachineComponent* owner) : StaticMenu(owner)
{
    m_openTime = kTransitionSeconds;
    m_closeTime = kTransitionSeconds;
    m_closeOnMouseUp = false;
    const double width = dorvo::gfx::GetScreenWidth();
    const double height = dorvo::gfx::GetScreenHeight();
    m_position =
        math::Vector3(static_cast<float>(width * 0.5 - 110.0), static_cast<float>(height * 0.5), 0.0f);

    std::unique_ptr<dorvo::gfx::CButton> button = g_menuHud.CreateBarButton(kStartButton);
    button->SetButtonPressedFunct(new SMButtonPressedFunct(owner, kStartButton));
    button->SetHeldOverFunct(new SMHeldOverFunct(owner, button.get(), true, kHeldOverSeconds));
    button->SetDepth(kDepth);

    auto label = MakeMenuText(kStartText, "", kLabelFont, 40, 20, kLabelBoxWidth, kDepth);

    AddUnit(std::move(button));
    AddUnit(std::move(label), kStartButton);
    AddUnit(MakeArrow(owner, kLeftArrow, -135));
    AddUnit(MakeArrow(owner, kRightArrow, 230));
}

const char* PuzzleLookAtMenu::Label(bool createPuzzleMode, const CPuzzle* puzzle)
{
    if (!puzzle)
        return "Cannot Enter";
    if (createPuzzleMode)
        return puzzle->IsEmpty() ? "Create Puzzle" : "Edit Puzzle";
    return puzzle->IsEmpty() ? "Cannot Enter" : "Play Puzzle";
}

void PuzzleLookAtMenu::OnOpened()
{
    const CQUORB* game = CQUORB::Get();
    dorvo::gfx::Gfx2DComp* gui = GetGfx2DComp();
    dorvo::gfx::CTextSprite* label = gui ? gui->GetTextSprite(kStartText) : nullptr;
    if (label)
        label->SetText(Label(game && game->IsCreatePuzzleMode(), game ? game->GetFocusedPuzzle() : nullptr));
}

void PuzzleLookAtMenu::OnButtonPressed(const std::string& name)
{
    CQUORB* game = CQUORB::Get();
    if (!game)
        return;
    if (name == kStartButton)
        EnterPuzzle();
    else if (name == kLeftArrow)
        game->AutoFocusToPuzzle(false);
    else if (name == kRightArrow)
        game->AutoFocusToPuzzle(true);
}

void PuzzleLookAtMenu::EnterPuzzle()
{
    // Entering closed the menu: the second press of a double click, heard during the close, would
    // switch editor mode back off and open the puzzle's menus again.
    if (GetState() == STATE_Closing)
        return;
    CQUORB* game = CQUORB::Get();
    const CPuzzle* puzzle = game->GetFocusedPuzzle();
    const bool createMode = game->IsCreatePuzzleMode();
    // Without a puzzle there is nothing to play or to build, in either mode.
    if (!puzzle || (!createMode && puzzle->IsEmpty()))
        return;
    game->ToggleEditor();
    SendMsgToSelf(MSG_CloseMenu, MSG_SCOPE_SUBSTATE);
    SendToMenuFrom(*this, MenuTable::kWidgetChoiceBarMenu, MSG_OpenMenuEx);
    SendToMenuFrom(*this, MenuTable::kStartPuzzleMenu, MSG_OpenMenu);
    SendToMenuFrom(*this, MenuTable::kBudgetMenu, MSG_OpenMenu);
    SendToMenuFrom(*this, MenuTable::kTimerObjMenu, MSG_OpenMenu);
    SendToMenuFrom(*this, MenuTable::kPuzzleInfoMenu, MSG_CloseMenu);
    if (createMode)
    {
        SendToMenuFrom(*this, MenuTable::kCreatorMenu, MSG_OpenMenu);
        SendToMenuFrom(*this, MenuTable::kBackMenu, MSG_ResetMenu);
    }
}
} // namespace QUORB
