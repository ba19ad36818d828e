#include "game/menus/RoomSelectionMenu.h"

#include "common/Singleton.h"
#include "engine/gfx/CButton.h"
#include "engine/gfx/CSprite.h"
#include "engine/gfx/CTextSprite.h"
#include "engine/gfx/Gfx2DComp.h"
#include "engine/gfx/ScrollBar.h"
#include "game/CQUORB.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"
#include "game/menus/MenuText.h"
#include "statemachine/Database.h"
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
constexpr const char* kBackground = "Background";
constexpr const char* kSlider = "hud/Slider.png";

// The scroll bar: its parts as the slider image cuts them, and where the list runs, all in the
// panel's pixels. The bar's points are given as the bar's own (up part (6, 8), down part (6, 350))
// moved to where the bar stands, (400, 80): the scroll bar reads them in its parent's frame.
constexpr int kBarX = 400;
constexpr int kBarY = 80;
constexpr float kScrollStep = 0.1f;  // of the overflow, one arrow press
constexpr float kScrollSpeed = 0.5f; // of the scroll range a second
constexpr float kRowSpacing = 3.0f;  // pixels
constexpr int kFirstRowX = 150;
constexpr int kFirstRowY = 90;
constexpr int kLastRowY = 370;

plat::POINT Point(int x, int y)
{
    plat::POINT point;
    point.x = x;
    point.y = y;
    return point;
}

dorvo::gfx::SpriteAnimation Frame(int width, int height, int sourceX, int sourceY)
{
    dorvo::gfx::SpriteAnimation frame;
    frame.frameWidth = width;
    frame.frameHeight = height;
    frame.frameCount = 1;
    frame.sourceX = sourceX;
    frame.sourceY = sourceY;
    frame.frameTime = 200;
    frame.paused = true;
    return frame;
}

// One part of the scroll bar: a button on a frame of the slider image with a rectangle hit test.
dorvo::gfx::CButton* SliderPart(int width, int height, int sourceX, int sourceY, int hitWidth, int hitHeight)
{
    const int origin[2] = {0, 0};
    auto* part = new dorvo::gfx::CButton(kSlider, Frame(width, height, sourceX, sourceY), origin, origin);
    part->SetPointInsideFunct(new RectPointInsideFunct(part, hitWidth, hitHeight));
    return part;
}

void SendTo(StateMachine& from, const char* menu, MessageName name)
{
    if (const std::uint32_t id = common::Singleton<Database>::Instance()->FindIdByName(menu))
        from.SendMsg(name, id);
}
} // namespace

RoomSelectionMenu::RoomSelectionMenu(StateMachineComponent* owner) : LinearMoveMenu(owner) {}

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
    m_openTime = kOpenSeconds;
    m_closeTime = kCloseSeconds;
    m_closedPosition = math::Vector3(-600.0f, 44.0f, 0.0f);
    m_openPosition = math::Vector3(144.0f, 44.0f, 0.0f);

    std::unique_ptr<dorvo::gfx::CSprite> background = g_menuHud.CreateBackground(kBackground);
    background->SetAlpha(0.5f, false);
    m_refSprite = AddUnit(std::move(background));
    if (!m_refSprite)
        return;
    AddUnit(MakeMenuText("TitleText", "Select A Room", 5, 80, 20, 450), kBackground);

    CQUORB* game = CQUORB::Get();
    dorvo::gfx::Gfx2DComp* gui = GetGfx2DComp();
    for (const bool playerMade : {false, true})
    {
        auto* header =
            AddUnit(MakeMenuText(playerMade ? kPlayerText : kCampaignText,
                                 playerMade ? "Player-Made Rooms" : "Campaign Rooms", 4, 20, 5, 250),
                    kBackground);
        if (header && gui)
            gui->EditScrollList(header, kScrollList, "");
        if (!game)
            continue;
        const QUORBSettings& settings = game->GetSettings();
        for (const std::string& room : playerMade ? settings.m_roomsMadeByPlayer : settings.m_roomsMadeByUs)
            AddRoomButton(room, playerMade);
    }

    auto bar = std::make_unique<dorvo::gfx::ScrollBar>(
        kScrollBar, kSlider, SliderPart(34, 36, 47, 6, 30, 30), SliderPart(34, 36, 47, 46, 30, 30),
        SliderPart(36, 55, 88, 6, 30, 50), Frame(44, 502, 5, 5), kScrollStep, 0.0f, kScrollSpeed,
        Point(kFirstRowX, kFirstRowY), Point(kFirstRowX, kLastRowY), Point(kBarX + 6, kBarY + 8),
        Point(kBarX + 6, kBarY + 350), kScrollList, kRowSpacing);
    bar->SetPointInsideFunct(new RectPointInsideFunct(bar.get(), 38, 350));
    AddUnit(std::move(bar), kBackground);
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
    dorvo::gfx::CButton* filed = AddUnit(std::move(button), kBackground);
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
    LinearMoveMenu::OpenTransition(duration);
    if (CQUORB* game = CQUORB::Get())
        game->SetCameraFlags(kOrbitFlag);
    SendTo(*this, "PuzzleLookAtMenu", MSG_CloseMenu);
    SendTo(*this, "PuzzleInfoMenu", MSG_CloseMenu);
    SendTo(*this, "Radial", MSG_CloseMenu);
}

void RoomSelectionMenu::OnHeldOver(const std::string& name)
{
    const std::size_t colon = name.find(':');
    CQUORB* game = CQUORB::Get();
    if (colon == std::string::npos || !game)
        return;
    game->LoadRoom(name.substr(colon + 1), true);
}

void RoomSelectionMenu::OnButtonPressed(const std::string&)
{
    CQUORB* game = CQUORB::Get();
    if (game)
        game->ClearCameraFlags(kOrbitFlag);
    SendMsgToSelf(MSG_CloseMenu, MSG_SCOPE_SUBSTATE);
    if (game)
        game->AutoFocusToPuzzle(true);
}

void RoomSelectionMenu::OnClosed()
{
    const CQUORB* game = CQUORB::Get();
    if (game && game->IsCreatePuzzleMode())
        SendTo(*this, "BackMenu", MSG_ResetMenu);
}
} // namespace QUORB
