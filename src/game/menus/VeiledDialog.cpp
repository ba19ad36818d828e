#include "game/menus/VeiledDialog.h"

#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/gui/EditBox.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/files/ValidateFileBaseName.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"
#include "game/menus/MenuText.h"

namespace QUORB
{
const char* const VeiledDialog::kVeilName = "SkinColorBackground";
const char* const VeiledDialog::kPanelName = "Background";
const char* const VeiledDialog::kNameBox = "EditBox";
const char* const VeiledDialog::kEmptyNameText = "Please type a name.";
const char* const VeiledDialog::kBadNameText = "Use only letters, digits, spaces, - and _.";
const char* const VeiledDialog::kLongNameText = "Use at most 16 characters.";
const char* const VeiledDialog::kReservedNameText = "That name is reserved.";

namespace
{
// The standard dialog's depths: the panel above the veil, its units above the panel and the name
// box's text above the box.
constexpr int kPanelDepth = 7;
constexpr int kUnitDepth = 8;
constexpr int kNameTextDepth = 9;
} // namespace

VeiledDialog::VeiledDialog(StateMachineComponent* owner, int veilDepth) : LinearMoveMenu(owner), m_veil(*this)
{
    if (dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp())
        comp->SetCompDepth(-2);
    m_openTime = kSlideSeconds;
    m_closeTime = kSlideSeconds;
    m_closeOnMouseUp = false;
    m_draggable = false;
    m_closedPosition = math::Vector3(200.0f, -500.0f, 0.0f);
    m_openPosition = math::Vector3(200.0f, 100.0f, 0.0f);
    m_veil.Make(kVeilName, kVeilName, MenuVeil::Look::PlainSprite, veilDepth, kVeilAlpha);
    m_veil.File();
}

dorvo::gfx::CSprite* VeiledDialog::AddPanel()
{
    auto panel = g_menuHud.CreateBackground(kPanelName);
    const int pivot[2] = {0, 0};
    panel->AddGridAnimation("Base", 512, 512, 1, 0, 0, 50, pivot, false);
    panel->SetScale(0.7f, 0.5f, 1.0f);
    panel->SetDepth(kPanelDepth);
    panel->SetPosition(0, 0);
    m_refSprite = AddUnit(std::move(panel));
    return m_refSprite;
}

void VeiledDialog::AddBarButton(const std::string& name, int x, const std::string& labelName,
                                const std::string& label)
{
    auto button = g_menuHud.CreateBarButton(name);
    button->SetPosition(x, 150);
    button->SetScale(0.5f, 0.8f, 1.0f);
    button->SetDepth(kUnitDepth);
    button->SetPointInsideFunct(new RectPointInsideFunct(button.get(), 100, 56));
    button->SetButtonPressedFunct(new SMButtonPressedFunct(GetComponent(), name));
    if (AddUnit(std::move(button), kPanelName))
        AddUnit(MakeMenuText(labelName, label, 4, 14, 15, 200, kUnitDepth), name);
}

void VeiledDialog::AddTitle(const std::string& title, int x, int boxWidth)
{
    AddUnit(MakeMenuText("TitleText", title, 5, x, 10, boxWidth, kUnitDepth), kPanelName);
}

void VeiledDialog::AddNameBox(const std::string& defaultText)
{
    // The box writes into its text sprite, which is filed under the box once the box is in.
    auto text = MakeMenuText("TE1Text", "", 4, 20, 10, 256, kNameTextDepth);
    const MenuHudDescriptor& look = g_menuHud.m_menuBackground;
    auto box = std::make_unique<dorvo::gfx::EditBox>(
        look.textureFile, look.unpressed, text.get(), new SMTextSubmitFunct(GetComponent(), kNameBox),
        nullptr, 50, 80, kNameBox, static_cast<unsigned>(kMaxFileBaseNameLength), defaultText);
    box->SetScale(0.5f, 0.07f, 1.0f);
    box->SetDepth(kUnitDepth);
    // The box puts its text one step above its own depth when it is made; the text lies above
    // the box as it stands now.
    text->SetDepth(kNameTextDepth);
    box->SetPointInsideFunct(new RectPointInsideFunct(box.get(), 256, 40));
    if (AddUnit(std::move(box), kPanelName))
        AddUnit(std::move(text), kNameBox);
}

dorvo::gfx::EditBox* VeiledDialog::GetNameBox() const
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    return comp ? dynamic_cast<dorvo::gfx::EditBox*>(comp->GetButton(kNameBox)) : nullptr;
}

const char* VeiledDialog::NameRuleRefusal(const std::string& name)
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
    return nullptr;
}

void VeiledDialog::OpenTransition(float duration)
{
    LinearMoveMenu::OpenTransition(duration);
    m_veil.Fade(0.0f, kVeilAlpha, duration);
}

void VeiledDialog::CloseTransition(float duration)
{
    LinearMoveMenu::CloseTransition(duration);
    m_veil.Fade(kVeilAlpha, 0.0f, duration);
}
} // namespace QUORB
