#include "game/menus/CreateProfileMenu.h"

#include "common/InterpolationMgr.h"
#include "engine/gfx/CButton.h"
#include "engine/gfx/CDorvoGfx.h"
#include "engine/gfx/CTextSprite.h"
#include "engine/gfx/EditBox.h"
#include "engine/gfx/Gfx2DComp.h"
#include "game/CCamera.h"
#include "game/CQUORB.h"
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
const std::string DefaultProfileName = "MyProfile";

const char* const CreateProfileMenu::kEmptyNameText = "Please type a name.";
const char* const CreateProfileMenu::kBadNameText = "Use only letters, digits, spaces, - and _.";
const char* const CreateProfileMenu::kLongNameText = "Use at most 16 characters.";
const char* const CreateProfileMenu::kReservedNameText = "That name is reserved.";
const char* const CreateProfileMenu::kTakenNameText = "A profile with that name already exists.";
const char* const CreateProfileMenu::kSaveFailedText = "The profile could not be saved.";
const char* const CreateProfileMenu::kCreatedText = "New profile created.";

namespace
{
const char* const kBackdropName = "SkinColorBackground";
const char* const kCreateButtonName = "CreateButton";
const char* const kEditBoxName = "EditBox";
// The template every new profile is made from; its base name is no player's.
const char* const kTemplateBaseName = "Blank";
const float kVeilAlpha = 0.5f;

bool EqualsIgnoringCase(const std::string& a, const std::string& b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&lower](char x, char y) { return lower(x) == lower(y); });
}

} // namespace

CreateProfileMenu::CreateProfileMenu(StateMachineComponent* owner) : LinearMoveMenu(owner)
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (comp)
        comp->SetCompDepth(-2);
    m_openTime = 0.3f;
    m_closeTime = 0.3f;
    m_draggable = false;
    m_closeOnMouseUp = false;
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

    auto button = g_menuHud.CreateBarButton(kCreateButtonName);
    button->SetPosition(130, 150);
    button->SetScale(0.5f, 0.8f, 1.0f);
    button->SetDepth(8);
    button->SetPointInsideFunct(new RectPointInsideFunct(button.get(), 100, 56));
    button->SetButtonPressedFunct(new SMButtonPressedFunct(owner, kCreateButtonName));
    AddUnit(std::move(button), "Background");
    AddUnit(MakeMenuText("CreateText", "Create", 4, 14, 15, 200, 8), kCreateButtonName);
    AddUnit(MakeMenuText("TitleText", "Create Profile", 5, 10, 10, 350, 8), "Background");

    // The box writes into its text sprite, which is filed under the box once the box is in.
    auto boxText = MakeMenuText("TE1Text", "", 4, 20, 10, 256, 9);
    const MenuHudDescriptor& look = g_menuHud.m_menuBackground;
    auto box = std::make_unique<dorvo::gfx::EditBox>(
        look.textureFile, look.unpressed, boxText.get(), new SMTextSubmitFunct(owner, kEditBoxName), nullptr,
        50, 80, kEditBoxName, static_cast<unsigned>(kMaxFileBaseNameLength), DefaultProfileName);
    box->SetScale(0.5f, 0.07f, 1.0f);
    box->SetDepth(8);
    // The box puts its text one step above its own depth when it is made; the text lies above
    // the box as it stands now.
    boxText->SetDepth(9);
    box->SetPointInsideFunct(new RectPointInsideFunct(box.get(), 256, 40));
    if (AddUnit(std::move(box), "Background"))
        AddUnit(std::move(boxText), kEditBoxName);
}

CreateProfileMenu::~CreateProfileMenu()
{
    if (dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp())
    {
        const auto found = comp->GetUnits().find(kBackdropName);
        if (found != comp->GetUnits().end() && found->second == m_pBackdrop.get())
            comp->RemoveUnit(kBackdropName);
    }
}

const char* CreateProfileMenu::RefusalOf(const std::string& name)
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
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    const auto* box =
        comp ? dynamic_cast<const dorvo::gfx::EditBox*>(comp->GetButton(kEditBoxName)) : nullptr;
    CQUORB* game = CQUORB::Get();
    if (!box || !game)
        return;
    // Copied: the messages below reach other menus, and nothing of this menu is read after them.
    const std::string name = box->GetText();
    if (const char* refusal = RefusalOf(name))
    {
        SendTextToMenu("MessageWindowMenu", MSG_SendTextMessage, refusal);
        return;
    }
    if (!game->CreateProfile(name + ".xml"))
    {
        SendTextToMenu("MessageWindowMenu", MSG_SendTextMessage, kSaveFailedText);
        return;
    }
    const bool firstStart = m_customData.GetType() == MSG_DATA_INT && m_customData.GetInt() == 1;
    SendMsgToSelf(MSG_CloseMenu, MSG_SCOPE_SUBSTATE, 0);
    if (firstStart)
    {
        SendToMenu("MainMenu", MSG_OpenMenu);
        SendToMenu("HelpMenu", MSG_OpenMenu);
    }
    SendTextToMenu("ProfileMenu", MSG_SetCustomData, name);
    SendToMenu("ProfileMenu", MSG_ResetMenu);
    SendTextToMenu("MessageWindowMenu", MSG_SendTextMessage, kCreatedText);
}

void CreateProfileMenu::OpenTransition(float duration)
{
    if (CQUORB* game = CQUORB::Get())
        game->SetCameraFlags(CCamera::kOrbitFlag);
    SendToMenu("PuzzleLookAtMenu", MSG_CloseMenu);
    SendToMenu("PuzzleInfoMenu", MSG_CloseMenu);
    LinearMoveMenu::OpenTransition(duration);
    FadeBackdrop(0.0f, kVeilAlpha, duration);
}

void CreateProfileMenu::CloseTransition(float duration)
{
    LinearMoveMenu::CloseTransition(duration);
    FadeBackdrop(kVeilAlpha, 0.0f, duration);
}

void CreateProfileMenu::FadeBackdrop(float from, float to, float duration)
{
    if (m_pBackdrop)
        m_pBackdrop->SetInterpolation(
            dorvo::gfx::CSprite::IP_Alpha,
            common::CInterpolationMgr::Instance().AddFloat(from, to, duration, common::INTERP_REMOVE));
}
} // namespace QUORB
