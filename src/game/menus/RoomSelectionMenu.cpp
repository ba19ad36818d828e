#include "game/menus/RoomSelectionMenu.h"

#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/gui/ScrollBar.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/CQUORB.h"
#include "game/app/MenuSend.h"
#include "game/menus/ListScrollBar.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"
#include "game/menus/MenuText.h"
#include "game/room/CRoom.h"
#include "statemachine/Message.h"

#include <memory>

namespace QUORB
{
const char* const RoomSelectionMenu::kScrollList = "RoomButtons";
const char* const RoomSelectionMenu::kCampaignText = "MainText";
const char* const RoomSelectionMenu::kPlayerText = "UserText";
const char* const RoomSelectionMenu::kScrollBar = "RoomScrollBar";

namespace
{
} // namespace

RoomSelectionMenu::RoomSelectionMenu(StateMachineComponent* owner) : SidePanelMenu(owner) {}

std::string RoomSelectionMenu::ButtonName(const std::string& fileName, bool playerMade)
{
    return std::string("Button") + (playerMade ? "U" : "C") + ":" + fileName;
}

std::string RoomSelectionMenu::RoomLabel(const std::string& fileName)
{
    return fileName.substr(0, fileName.find('.'));
}

void RoomSelectionMenu::Init()
{
    if (!AddSidePanel(144.0f, 1.0f))
        return;
    AddUnit(MakeMenuText("TitleText", "Select A Room", 5, 80, 20, 450), kPanelName);

    CQUORB* game = CQUORB::Get();
    dorvo::gfx::Gfx2DComp* gui = GetGfx2DComp();
    for (const bool playerMade : {false, true})
    {
        auto* header =
            AddUnit(MakeMenuText(playerMade ? kPlayerText : kCampaignText,
                                 playerMade ? "Player-Made Rooms" : "Campaign Rooms", 4, 20, 5, 250),
                    kPanelName);
        if (header && gui)
            gui->EditScrollList(header, kScrollList, "");
        if (!game)
            continue;
        const QUORBSettings& settings = game->GetSettings();
        for (const std::string& room : playerMade ? settings.m_roomsMadeByPlayer : settings.m_roomsMadeByUs)
            AddRoomButton(room, playerMade);
    }

    AddUnit(MakeListScrollBar(kScrollBar, kScrollList), kPanelName);
}

bool RoomSelectionMenu::AddRoomButton(const std::string& fileName, bool playerMade)
{
    dorvo::gfx::Gfx2DComp* gui = GetGfx2DComp();
    if (fileName.empty() || !gui)
        return false;
    const std::string name = ButtonName(fileName, playerMade);
    std::unique_ptr<dorvo::gfx::CButton> button = g_menuHud.CreateBarButton(name);
    button->SetHeldOverFunct(new SMHeldOverFunct(GetComponent(), button.get(), true, kHeldOverSeconds));
    button->SetButtonPressedFunct(new SMButtonPressedFunct(GetComponent(), name));
    button->SetScale(1.0f, 0.5f, 1.0f);
    button->SetPointInsideFunct(new RectPointInsideFunct(button.get(), 200, 27));
    // A room listed twice in one section keeps its first button.
    dorvo::gfx::CButton* filed = AddUnit(std::move(button), kPanelName);
    if (!filed)
        return false;
    AddUnit(MakeMenuText(playerMade ? "TextU" : "TextC", RoomLabel(fileName), 4, 20, 5, 250), name);
    gui->EditScrollList(filed, kScrollList, playerMade ? "" : kPlayerText);
    filed->SetVisible(false, true);
    return true;
}

void RoomSelectionMenu::Reset()
{
    const CQUORB* game = CQUORB::Get();
    if (m_customData.GetType() != MSG_DATA_STRING || !game)
        return;
    AddRoomButton(m_customData.GetString(), !game->IsMadeByUs());
}

void RoomSelectionMenu::OpenTransition(float duration)
{
    SidePanelMenu::OpenTransition(duration);
    if (CQUORB* game = CQUORB::Get())
        game->SetCameraFlags(kOrbitFlag);
    SendToMenuFrom(*this, MenuTable::kPuzzleLookAtMenu, MSG_CloseMenu);
    SendToMenuFrom(*this, MenuTable::kPuzzleInfoMenu, MSG_CloseMenu);
    SendToMenuFrom(*this, MenuTable::kRadial, MSG_CloseMenu);
}

void RoomSelectionMenu::OnHeldOver(const std::string& name)
{
    const std::size_t colon = name.find(':');
    CQUORB* game = CQUORB::Get();
    if (colon == std::string::npos || !game)
        return;
    game->LoadRoom(name.substr(colon + 1), true);
}

void RoomSelectionMenu::OnButtonPressed(const std::string& name)
{
    CQUORB* game = CQUORB::Get();
    // A press that comes before the pointer has rested on its button enters the room the button
    // names, not the one loaded behind the panel. A locked room, or one whose file cannot be
    // read, is not entered: the list stays.
    const std::size_t colon = name.find(':');
    if (game && colon != std::string::npos)
    {
        const std::string fileName = name.substr(colon + 1);
        game->LoadRoom(fileName, true);
        const CRoom* room = game->GetRoom();
        if (!room || room->GetRoomName() != fileName)
            return;
    }
    if (game)
        game->ClearCameraFlags(kOrbitFlag);
    SendMsgToSelf(MSG_CloseMenu, MSG_SCOPE_SUBSTATE);
    // A room is entered on its front face, wherever the circling camera happened to look: the
    // campaign's rooms begin their lessons there.
    if (CRoom* room = game ? game->GetRoom() : nullptr)
        room->FocusFace(0);
}

void RoomSelectionMenu::OnClosed()
{
    const CQUORB* game = CQUORB::Get();
    if (game && game->IsCreatePuzzleMode())
        SendToMenuFrom(*this, MenuTable::kBackMenu, MSG_ResetMenu);
}
} // namespace QUORB
