#include "game/menus/SaveRoomMenu.h"

#include "common/InterpolationMgr.h"
#include "engine/gfx/CButton.h"
#include "engine/gfx/CDorvoGfx.h"
#include "engine/gfx/CTextSprite.h"
#include "engine/gfx/EditBox.h"
#include "engine/gfx/Gfx2DComp.h"
#include "game/CQUORB.h"
#include "game/CRoom.h"
#include "game/ValidateFileBaseName.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"
#include "game/menus/MenuSend.h"
#include "game/menus/MenuText.h"
#include "platform/files.h"
#include "statemachine/Message.h"

#include <algorithm>

namespace QUORB
{
const std::string DefaultRoomName = "MyRoom";

const char* const SaveRoomMenu::kEmptyNameText = "Please type a name.";
const char* const SaveRoomMenu::kBadNameText = "Use only letters, digits, spaces, - and _.";
const char* const SaveRoomMenu::kLongNameText = "Use at most 16 characters.";
const char* const SaveRoomMenu::kReservedNameText = "That name is reserved.";
const char* const SaveRoomMenu::kCampaignNameText = "That name belongs to a campaign room.";
const char* const SaveRoomMenu::kTakenNameText = "A room with that name already exists.";
const char* const SaveRoomMenu::kSaveFailedText = "The room could not be saved.";
const char* const SaveRoomMenu::kSavedText = "Room Saved.";

namespace
{
const char* const kBackdropName = "SkinColorBackground";
const char* const kSaveButtonName = "SaveButton";
const char* const kCancelButtonName = "CancelButton";
const char* const kEditBoxName = "EditBox";
// The room the game starts in and every new room is made from; it is never saved over.
const char* const kEmptyRoomBase = "EmptyRoom";
const char* const kEmptyRoomFile = "EmptyRoom.xml";
const float kVeilAlpha = 0.5f;

bool EqualsIgnoringCase(const std::string& a, const std::string& b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&lower](char x, char y) { return lower(x) == lower(y); });
}

bool ListedIgnoringCase(const std::vector<std::string>& names, const std::string& name)
{
    return std::any_of(names.begin(), names.end(),
                       [&name](const std::string& listed) { return EqualsIgnoringCase(listed, name); });
}

std::unique_ptr<dorvo::gfx::CButton> MakeButton(StateMachineComponent* owner, const char* name, int x)
{
    auto button = g_menuHud.CreateBarButton(name);
    button->SetPosition(x, 150);
    button->SetScale(0.5f, 0.8f, 1.0f);
    button->SetDepth(8);
    button->SetPointInsideFunct(new RectPointInsideFunct(button.get(), 100, 56));
    button->SetButtonPressedFunct(new SMButtonPressedFunct(owner, name));
    return button;
}
} // namespace

SaveRoomMenu::SaveRoomMenu(StateMachineComponent* owner) : LinearMoveMenu(owner)
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (comp)
        comp->SetCompDepth(-2);
    m_openTime = 0.3f;
    m_closeTime = 0.3f;
    m_closeOnMouseUp = false;
    m_draggable = false;
    m_closedPosition = math::Vector3(200.0f, -500.0f, 0.0f);
    m_openPosition = math::Vector3(200.0f, 100.0f, 0.0f);

    dorvo::gfx::CDorvoGfx& gfx = dorvo::gfx::CDorvoGfx::Instance();
    const int width = static_cast<int>(gfx.GetScreenWidth());
    const int height = static_cast<int>(gfx.GetScreenHeight());

    // The veil stays where it is while the panel slides, so it lies at the top level. Without
    // its state names it is drawn like a plain sprite: in the skin's sprite colour, else black.
    m_pBackdrop = g_menuHud.CreateWhiteBlockButton(kBackdropName);
    m_pBackdrop->SetRenameCurrent(false);
    if (dorvo::gfx::SpriteAnimation* record = m_pBackdrop->GetCurrentAnimation())
        record->name.clear();
    m_pBackdrop->SetColor(0.0f, 0.0f, 0.0f);
    m_pBackdrop->SetAlpha(kVeilAlpha, false);
    m_pBackdrop->SetScale(static_cast<float>(width) / 30.0f, static_cast<float>(height) / 30.0f, 1.0f);
    m_pBackdrop->SetDepth(6);
    m_pBackdrop->SetPosition(0, 0);
    m_pBackdrop->SetPointInsideFunct(new RectPointInsideFunct(m_pBackdrop.get(), width, height));
    m_pBackdrop->SetButtonPressedFunct(new SMButtonPressedFunct(owner, kBackdropName));
    if (comp)
        comp->AddUnit(kBackdropName, m_pBackdrop.get(), "");

    auto background = g_menuHud.CreateBackground("Background");
    const int pivot[2] = {0, 0};
    background->AddGridAnimation("Base", 512, 512, 1, 0, 0, 50, pivot, false);
    background->SetScale(0.7f, 0.5f, 1.0f);
    background->SetDepth(7);
    background->SetPosition(0, 0);
    m_refSprite = AddUnit(std::move(background));

    if (AddUnit(MakeButton(owner, kSaveButtonName, 65), "Background"))
        AddUnit(MakeMenuText("SaveText", "Save", 4, 14, 15, 200, 8), kSaveButtonName);
    if (AddUnit(MakeButton(owner, kCancelButtonName, 185), "Background"))
        AddUnit(MakeMenuText("CancelText", "Cancel", 4, 14, 15, 200, 8), kCancelButtonName);
    AddUnit(MakeMenuText("TitleText", "Save Room", 5, 45, 10, 300, 8), "Background");

    // The box writes into its text sprite, which is filed under the box once the box is in.
    auto boxText = MakeMenuText("TE1Text", "", 4, 20, 10, 256, 9);
    const MenuHudDescriptor& look = g_menuHud.m_menuBackground;
    auto box = std::make_unique<dorvo::gfx::EditBox>(
        look.textureFile, look.unpressed, boxText.get(), new SMTextSubmitFunct(owner, kEditBoxName), nullptr,
        50, 80, kEditBoxName, static_cast<unsigned>(kMaxFileBaseNameLength), DefaultRoomName);
    box->SetScale(0.5f, 0.07f, 1.0f);
    box->SetDepth(7);
    // The box gave its text a depth of its own when it took it; the text goes over the panel.
    boxText->SetDepth(9);
    box->SetPointInsideFunct(new RectPointInsideFunct(box.get(), 256, 40));
    if (AddUnit(std::move(box), "Background"))
        AddUnit(std::move(boxText), kEditBoxName);
}

SaveRoomMenu::~SaveRoomMenu()
{
    if (dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp())
    {
        const auto found = comp->GetUnits().find(kBackdropName);
        if (found != comp->GetUnits().end() && found->second == m_pBackdrop.get())
            comp->RemoveUnit(kBackdropName);
    }
}

const char* SaveRoomMenu::RefusalOf(const std::string& name, const KnownRooms& rooms)
{
    switch (ValidateFileBaseName(name))
    {
    case FileBaseNameFault::Empty:
        return kEmptyNameText;
    case FileBaseNameFault::TooLong:
        return kLongNameText;
    case FileBaseNameFault::BadCharacter:
        return kBadNameText;
    case FileBaseNameFault::None:
        break;
    }
    if (EqualsIgnoringCase(name, kEmptyRoomBase))
        return kReservedNameText;
    const std::string file = name + ".xml";
    if (!rooms.madeByUs && ListedIgnoringCase(rooms.campaignRooms, file))
        return kCampaignNameText;
    // Only the exact name: a spelling in another case would file a second entry for the one file.
    if (file == rooms.currentRoom)
        return nullptr;
    if (ListedIgnoringCase(rooms.campaignRooms, file) || ListedIgnoringCase(rooms.playerRooms, file) ||
        (rooms.roomFileExists && rooms.roomFileExists(file)))
        return kTakenNameText;
    return nullptr;
}

SaveRoomMenu::KnownRooms SaveRoomMenu::GameRooms()
{
    KnownRooms rooms;
    CQUORB* game = CQUORB::Get();
    if (!game)
        return rooms;
    if (const CRoom* room = game->GetRoom())
        rooms.currentRoom = room->GetRoomName();
    // The room map keeps our rooms even while their files are missing.
    const QUORBSettings& settings = game->GetSettings();
    for (const auto& entry : settings.m_roomMap)
        rooms.campaignRooms.push_back(entry.first);
    rooms.campaignRooms.insert(rooms.campaignRooms.end(), settings.m_roomsMadeByUs.begin(),
                               settings.m_roomsMadeByUs.end());
    rooms.playerRooms = settings.m_roomsMadeByPlayer;
    rooms.madeByUs = game->IsMadeByUs();
    const std::string folder = CQUORB::GetRoomPath();
    rooms.roomFileExists = [folder](const std::string& file) { return plat::FileExists(folder + file); };
    return rooms;
}

void SaveRoomMenu::OnButtonPressed(const std::string& name)
{
    // While the panel slides in the player has not seen it yet; while it slides out a second
    // press would save again or run the follow-up twice.
    if (GetState() != STATE_Open)
        return;
    if (name == kSaveButtonName)
        Save();
    else if (name == kCancelButtonName)
        Leave(false);
}

void SaveRoomMenu::Save()
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    const auto* box =
        comp ? dynamic_cast<const dorvo::gfx::EditBox*>(comp->GetButton(kEditBoxName)) : nullptr;
    CQUORB* game = CQUORB::Get();
    if (!box || !game)
        return;
    // Copied: the messages below reach other menus, and nothing of this menu is read after them.
    const std::string name = box->GetText();
    if (const char* refusal = RefusalOf(name, GameRooms()))
    {
        SendTextToMenu("MessageWindowMenu", MSG_SendTextMessage, refusal);
        return;
    }
    if (!game->SaveRoom(name + ".xml"))
    {
        SendTextToMenu("MessageWindowMenu", MSG_SendTextMessage, kSaveFailedText);
        return;
    }
    Leave(true);
}

void SaveRoomMenu::Leave(bool saved)
{
    const int then = m_customData.GetType() == MSG_DATA_INT ? m_customData.GetInt() : THEN_NOTHING;
    SendMsgToSelf(MSG_CloseMenu, MSG_SCOPE_SUBSTATE, 0);
    if (saved)
        SendTextToMenu("MessageWindowMenu", MSG_SendTextMessage, kSavedText);
    if (then == THEN_ROOM_LIST)
    {
        SendToMenu("RoomSelectionMenu", MSG_OpenMenu);
        SendToMenu("BackMenu", MSG_ResetMenu);
    }
    else if (then == THEN_NEW_ROOM)
    {
        if (CQUORB* game = CQUORB::Get())
            game->LoadEmptyRoom();
    }
}

void SaveRoomMenu::OpenTransition(float duration)
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    auto* box = comp ? dynamic_cast<dorvo::gfx::EditBox*>(comp->GetButton(kEditBoxName)) : nullptr;
    const CQUORB* game = CQUORB::Get();
    const CRoom* room = game ? game->GetRoom() : nullptr;
    if (box && room && !room->GetRoomName().empty() && room->GetRoomName() != kEmptyRoomFile)
    {
        const std::string& file = room->GetRoomName();
        box->SetText(file.substr(0, file.find('.')));
        box->RefreshText();
    }
    LinearMoveMenu::OpenTransition(duration);
    FadeBackdrop(0.0f, kVeilAlpha, duration);
}

void SaveRoomMenu::CloseTransition(float duration)
{
    LinearMoveMenu::CloseTransition(duration);
    FadeBackdrop(kVeilAlpha, 0.0f, duration);
}

void SaveRoomMenu::FadeBackdrop(float from, float to, float duration)
{
    if (m_pBackdrop)
        m_pBackdrop->SetInterpolation(
            dorvo::gfx::CSprite::IP_Alpha,
            common::CInterpolationMgr::Instance().AddFloat(from, to, duration, common::INTERP_REMOVE));
}
} // namespace QUORB
