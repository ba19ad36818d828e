#include "game/menus/SaveRoomMenu.h"

#include "engine/gfx/gui/EditBox.h"
#include "game/app/CQUORB.h"
#include "game/app/MenuSend.h"
#include "game/files/IsSafeFileName.h"
#include "game/room/CRoom.h"
#include "platform/files.h"
#include "statemachine/Message.h"

#include <algorithm>

namespace QUORB
{
const std::string DefaultRoomName = "MyRoom";

const char* const SaveRoomMenu::kCampaignNameText = "That name belongs to a campaign room.";
const char* const SaveRoomMenu::kTakenNameText = "A room with that name already exists.";
const char* const SaveRoomMenu::kSaveFailedText = "The room could not be saved.";
const char* const SaveRoomMenu::kSavedText = "Room Saved.";

namespace
{
const char* const kSaveButtonName = "SaveButton";
const char* const kCancelButtonName = "CancelButton";
// The room the game starts in and every new room is made from; it is never saved over.
const char* const kEmptyRoomBase = "EmptyRoom";
const char* const kEmptyRoomFile = "EmptyRoom.xml";

bool ListedIgnoringCase(const std::vector<std::string>& names, const std::string& name)
{
    return std::any_of(names.begin(), names.end(),
                       [&name](const std::string& listed) { return EqualsIgnoringCase(listed, name); });
}
} // namespace

SaveRoomMenu::SaveRoomMenu(StateMachineComponent* owner) : VeiledDialog(owner)
{
    AddPanel();
    AddBarButton(kSaveButtonName, 65, "SaveText", "Save");
    AddBarButton(kCancelButtonName, 185, "CancelText", "Cancel");
    AddTitle("Save Room", 45, 300);
    AddNameBox(DefaultRoomName);
}

const char* SaveRoomMenu::RefusalOf(const std::string& name, const KnownRooms& rooms)
{
    if (const char* refusal = NameRuleRefusal(name))
        return refusal;
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
    const dorvo::gfx::EditBox* box = GetNameBox();
    CQUORB* game = CQUORB::Get();
    if (!box || !game)
        return;
    // Copied: the messages below reach other menus, and nothing of this menu is read after them.
    const std::string name = box->GetText();
    if (const char* refusal = RefusalOf(name, GameRooms()))
    {
        SendTextToMenu(MenuTable::kMessageWindowMenu, MSG_SendTextMessage, refusal);
        return;
    }
    if (!game->SaveRoom(name + ".xml"))
    {
        SendTextToMenu(MenuTable::kMessageWindowMenu, MSG_SendTextMessage, kSaveFailedText);
        return;
    }
    Leave(true);
}

void SaveRoomMenu::Leave(bool saved)
{
    const int then = m_customData.GetType() == MSG_DATA_INT ? m_customData.GetInt() : THEN_NOTHING;
    SendMsgToSelf(MSG_CloseMenu, MSG_SCOPE_SUBSTATE, 0);
    if (saved)
        SendTextToMenu(MenuTable::kMessageWindowMenu, MSG_SendTextMessage, kSavedText);
    if (then == THEN_ROOM_LIST)
    {
        // A room left unsaved is shown as its files hold it: the changes just declined would
        // otherwise stay in the editor and in play until the game restarts.
        CQUORB* game = CQUORB::Get();
        const CRoom* room = game ? game->GetRoom() : nullptr;
        if (!saved && room && !room->GetRoomName().empty() && room->IsModified())
            game->LoadRoom(room->GetRoomName(), true);
        SendToMenu(MenuTable::kRoomSelectionMenu, MSG_OpenMenu);
        SendToMenu(MenuTable::kBackMenu, MSG_ResetMenu);
    }
    else if (then == THEN_NEW_ROOM)
    {
        if (CQUORB* game = CQUORB::Get())
            game->LoadEmptyRoom();
    }
}

void SaveRoomMenu::OpenTransition(float duration)
{
    dorvo::gfx::EditBox* box = GetNameBox();
    const CQUORB* game = CQUORB::Get();
    const CRoom* room = game ? game->GetRoom() : nullptr;
    if (box && room && !room->GetRoomName().empty() && room->GetRoomName() != kEmptyRoomFile)
    {
        const std::string& file = room->GetRoomName();
        box->SetText(file.substr(0, file.find('.')));
        box->RefreshText();
    }
    VeiledDialog::OpenTransition(duration);
}
} // namespace QUORB
