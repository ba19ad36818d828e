#include "game/menus/BackButtonMenu.h"

#include "common/InterpolationMgr.h"
#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/CQUORB.h"
#include "game/app/MenuSend.h"
#include "game/app/MenuState.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"
#include "statemachine/Message.h"

#include <iterator>
#include <memory>

namespace QUORB
{
const char* const BackButtonMenu::kBackButton = "BackButton";
const char* const BackButtonMenu::kSaveButton = "SaveButton";
const char* const BackButtonMenu::kNewRoomButton = "NewRoomButton";

namespace
{
struct Tool
{
    const char* button;
    const char* icon;
    const char* image;
    const char* tip;
    int x; // pixels from the row's left
};
const Tool kTools[] = {
    {BackButtonMenu::kBackButton, "BackIcon", "hud/BackIcon.png", "Back", 0},
    {BackButtonMenu::kSaveButton, "SaveIcon", "hud/SaveIcon.png", "Save the room", 50},
    {BackButtonMenu::kNewRoomButton, "NewRoomIcon", "hud/NewRoomIcon.png", "Create a new room", 100},
};

// The front-end panels the back button closes, in the order it looks for a busy one.
const char* const kFrontEndMenus[] = {MenuTable::kRoomSelectionMenu, MenuTable::kProfileMenu,
                                      MenuTable::kOptionsMenu, MenuTable::kCreditsMenu};

const Tool* FindTool(const std::string& name)
{
    for (const Tool& tool : kTools)
        if (name == tool.button)
            return &tool;
    return nullptr;
}
} // namespace

BackButtonMenu::BackButtonMenu(StateMachineComponent* owner) : StaticMenu(owner)
{
    for (const Tool& tool : kTools)
    {
        std::unique_ptr<dorvo::gfx::CButton> button = g_menuHud.CreateBarButton(tool.button);
        button->SetPosition(tool.x, 0);
        button->SetScale(0.2f, 0.6f, 1.0f);
        button->SetAlpha(kDimmedAlpha, false);
        button->SetTipText(tool.tip);
        button->SetPointInsideFunct(new RectPointInsideFunct(button.get(), 40, 36));
        button->SetButtonPressedFunct(new SMButtonPressedFunct(owner, tool.button));
        button->SetHeldOverFunct(new SMHeldOverFunct(owner, button.get(), true, kHoverDelay));
        button->SetNotOverFunct(new SMHeldOverFunct(owner, button.get(), false, kHoverDelay));

        dorvo::gfx::SpriteAnimation frame;
        frame.frameWidth = 64;
        frame.frameHeight = 64;
        frame.frameCount = 1;
        frame.frameTime = 50;
        frame.paused = true;
        auto icon = std::make_unique<dorvo::gfx::CSprite>(tool.image);
        icon->SetName(tool.icon);
        icon->AddAnimation("Base", frame, true);
        icon->SetPosition(2, 3);
        icon->SetScale(0.5f, 0.5f, 1.0f);
        icon->SetAlpha(kDimmedAlpha, false);

        if (AddUnit(std::move(button)))
            AddUnit(std::move(icon), tool.button);
    }
}

bool BackButtonMenu::IsBusy(const std::string& menu)
{
    return GetMenuState(menu) > STATE_Closed;
}

void BackButtonMenu::OnButtonPressed(const std::string& name)
{
    if (name == kBackButton)
        StepBack();
    else if (name == kSaveButton)
        OpenSaveRoomMenu(SAVE_THEN_NOTHING);
    else if (name == kNewRoomButton)
        OpenSaveRoomMenu(SAVE_THEN_NEW_ROOM);
}

void BackButtonMenu::StepBack()
{
    CQUORB* game = CQUORB::Get();
    // 1 to 4: a front-end panel is up; it goes and the main menu comes back, and so does this
    // row. Leaving the room list also leaves create-puzzle mode.
    for (std::size_t i = 0; i < std::size(kFrontEndMenus); ++i)
    {
        if (!IsBusy(kFrontEndMenus[i]))
            continue;
        SendToMenuFrom(*this, kFrontEndMenus[i], MSG_CloseMenu);
        SendToMenuFrom(*this, MenuTable::kMainMenu, MSG_OpenMenu);
        if (i == 0 && game && game->IsCreatePuzzleMode())
            game->ToggleCM();
        SendMsgToSelf(MSG_CloseMenu, MSG_SCOPE_SUBSTATE);
        return;
    }
    if (!game)
        return;
    // 5: inside a puzzle (tested before create-puzzle mode: an author leaves his puzzle first).
    if (game->IsEditorMode())
        game->LeavePuzzle(true);
    // 6: looking at a room being built: the room may be saved before the room list comes.
    else if (game->IsCreatePuzzleMode())
        OpenSaveRoomMenu(SAVE_THEN_ROOM_LIST);
    // 7: looking at a face: back to the room list.
    else
        SendToMenuFrom(*this, MenuTable::kRoomSelectionMenu, MSG_OpenMenu);
}

void BackButtonMenu::OpenSaveRoomMenu(SaveThen then)
{
    // Opened first: the dialog reads what follows only when it is left.
    SendToMenuFrom(*this, MenuTable::kSaveRoomMenu, MSG_OpenMenu);
    SendToMenuFrom(*this, MenuTable::kSaveRoomMenu, MSG_SetCustomData, then);
}

void BackButtonMenu::OnHeldOver(const std::string& name)
{
    Fade(name, kDimmedAlpha, kLitAlpha);
}

void BackButtonMenu::OnMovedOff(const std::string& name)
{
    Fade(name, kLitAlpha, kDimmedAlpha);
}

void BackButtonMenu::Fade(const std::string& name, float from, float to)
{
    const Tool* tool = FindTool(name);
    dorvo::gfx::Gfx2DComp* gui = GetGfx2DComp();
    if (!tool || !gui)
        return;
    // One record drives the button and its icon; an earlier fade of theirs is no longer read.
    const int id =
        common::CInterpolationMgr::Instance().AddFloat(from, to, kFadeSeconds, common::INTERP_REMOVE);
    for (const char* unit : {tool->button, tool->icon})
        if (dorvo::gfx::CSprite* sprite = gui->GetSprite(unit))
            sprite->SetInterpolation(dorvo::gfx::CSprite::IP_Alpha, id);
}

void BackButtonMenu::Reset()
{
    const CQUORB* game = CQUORB::Get();
    dorvo::gfx::Gfx2DComp* gui = GetGfx2DComp();
    if (!gui)
        return;
    // A closed row shows nothing: a reset it hears while closed must not bring up two stray
    // buttons.
    const bool up = GetState() > STATE_Closed;
    const bool shown = up && game && !IsBusy(MenuTable::kRoomSelectionMenu) && game->IsCreatePuzzleMode() &&
                       !game->IsEditorMode();
    for (const char* tool : {kSaveButton, kNewRoomButton})
        if (dorvo::gfx::CButton* button = gui->GetButton(tool))
            button->SetVisible(shown, true);
    if (dorvo::gfx::CButton* back = gui->GetButton(kBackButton))
        back->SetAlpha(kDimmedAlpha, true);
}
} // namespace QUORB
