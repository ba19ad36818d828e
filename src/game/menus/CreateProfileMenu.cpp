#include "game/menus/CreateProfileMenu.h"

#include "engine/gfx/gui/EditBox.h"
#include "game/app/CQUORB.h"
#include "game/app/MenuSend.h"
#include "game/camera/CCamera.h"
#include "game/files/IsSafeFileName.h"
#include "game/menus/MenuCallbacks.h"
#include "platform/files.h"
#include "statemachine/Message.h"

#include <algorithm>

namespace QUORB
{
const std::string DefaultProfileName = "MyProfile";

const char* const CreateProfileMenu::kTakenNameText = "A profile with that name already exists.";
const char* const CreateProfileMenu::kSaveFailedText = "The profile could not be saved.";
const char* const CreateProfileMenu::kCreatedText = "New profile created.";

namespace
{
const char* const kCreateButtonName = "CreateButton";
// The template every new profile is made from; its base name is no player's.
const char* const kTemplateBaseName = "Blank";
} // namespace

CreateProfileMenu::CreateProfileMenu(StateMachineComponent* owner) : VeiledDialog(owner)
{
    AddPanel();
    AddBarButton(kCreateButtonName, 130, "CreateText", "Create");
    AddTitle("Create Profile", 10, 350);
    AddNameBox(DefaultProfileName);
    // Enter in the name box is the player's "Create": a name typed and entered gets its answer
    // (a refusal or the new profile) as a click would.
    if (dorvo::gfx::EditBox* box = GetNameBox())
        box->SetEnterFunct(new SMButtonPressedFunct(GetComponent(), kCreateButtonName));
}

const char* CreateProfileMenu::RefusalOf(const std::string& name)
{
    if (const char* refusal = NameRuleRefusal(name))
        return refusal;
    if (EqualsIgnoringCase(name, kTemplateBaseName))
        return kReservedNameText;
    const std::string fileName = name + ".xml";
    const CQUORB* game = CQUORB::Get();
    const std::vector<std::string> none;
    const std::vector<std::string>& listed = game ? game->GetProfileFiles() : none;
    if (std::any_of(listed.begin(), listed.end(),
                    [&fileName](const std::string& file) { return EqualsIgnoringCase(file, fileName); }) ||
        plat::FileExists(CQUORB::GetProfilePath() + fileName))
        return kTakenNameText;
    return nullptr;
}

void CreateProfileMenu::OnButtonPressed(const std::string& name)
{
    // While the panel slides in or out a press would act on a panel the player has not seen
    // or has already left (and a second one during the slide out would create the profile again).
    if (name == kCreateButtonName && GetState() == STATE_Open)
        Create();
}

void CreateProfileMenu::Create()
{
    dorvo::gfx::EditBox* box = GetNameBox();
    CQUORB* game = CQUORB::Get();
    if (!box || !game)
        return;
    // Copied: the messages below reach other menus, and nothing of this menu is read after them.
    const std::string name = box->GetText();
    if (const char* refusal = RefusalOf(name))
    {
        // The name stays in the box, which takes the keys again: the player mends it and enters
        // it once more without a click.
        if (!box->IsFocused())
            box->OnClick();
        SendTextToMenu(MenuTable::kMessageWindowMenu, MSG_SendTextMessage, refusal);
        return;
    }
    if (!game->CreateProfile(name + ".xml"))
    {
        SendTextToMenu(MenuTable::kMessageWindowMenu, MSG_SendTextMessage, kSaveFailedText);
        return;
    }
    const bool firstStart = m_customData.GetType() == MSG_DATA_INT && m_customData.GetInt() == 1;
    SendMsgToSelf(MSG_CloseMenu, MSG_SCOPE_SUBSTATE, 0);
    if (firstStart)
    {
        SendToMenu(MenuTable::kMainMenu, MSG_OpenMenu);
        SendToMenu(MenuTable::kHelpMenu, MSG_OpenMenu);
    }
    SendTextToMenu(MenuTable::kProfileMenu, MSG_SetCustomData, name);
    SendToMenu(MenuTable::kProfileMenu, MSG_ResetMenu);
    SendTextToMenu(MenuTable::kMessageWindowMenu, MSG_SendTextMessage, kCreatedText);
}

void CreateProfileMenu::OpenTransition(float duration)
{
    if (CQUORB* game = CQUORB::Get())
        game->SetCameraFlags(CCamera::kOrbitFlag);
    SendToMenu(MenuTable::kPuzzleLookAtMenu, MSG_CloseMenu);
    SendToMenu(MenuTable::kPuzzleInfoMenu, MSG_CloseMenu);
    VeiledDialog::OpenTransition(duration);
}
} // namespace QUORB
