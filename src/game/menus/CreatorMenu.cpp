#include "game/menus/CreatorMenu.h"

#include "engine/gfx/gui/CheckButton.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/CQUORB.h"
#include "game/manipulator/WidgetManipulator.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"
#include "game/menus/PuzzleMenuCalls.h"
#include "game/room/CPuzzle.h"

#include <memory>

namespace QUORB
{
const CreatorMenu::WidgetType CreatorMenu::kTypes[kTypeCount] = {
    {"PlatformButton", "hud/PlatIcon.png", "PlatformIcon", "PlatformOverlay", 1,
     "Toggle Platform widget. Click to disable.", "Toggle Platform widget. Click to enable."},
    {"BarButton", "hud/BarIcon.png", "BarIcon", "BarOverlay", 4, "Toggle Bar widget. Click to disable.",
     "Toggle Bar widget. Click to enable."},
    {"AccButton", "hud/AccIcon.png", "AccIcon", "AccOverlay", 16,
     "Toggle Accelerator widget. Click to disable.", "Toggle Accelerator widget. Click to enable."},
    {"GravSwitchButton", "hud/GravIcon.png", "GSwitchIcon", "GSwitchOverlay", 2,
     "Toggle Gravity Switch widget. Click to disable.", "Toggle Gravity Switch widget. Click to enable."},
    {"MagnetButton", "hud/MagnetIcon.png", "MagnetIcon", "MagnetOverlay", 8,
     "Toggle Magnet widget. Click to disable.", "Toggle Magnet widget. Click to enable."},
};
const char* const CreatorMenu::kGroupPrefix = "WidgetType";
const char* const CreatorMenu::kLastTypeText = "You need to enable at least 1 type of widget.";

namespace
{
const char* const kCrossImage = "hud/cross.png";
constexpr int kRowPitch = 40;         // pixels between the toggles
constexpr float kToggleScale = 0.35f; // of the 128-pixel radial face
constexpr float kToggleRadius = 20.0f;

// A toggle drawn as a plain button whatever its checked flag: the checked look is not drawn, so
// the cross alone says that a type is off. It still lights up under the pointer and when pressed.
class TypeToggle final : public dorvo::gfx::CheckButton
{
public:
    using dorvo::gfx::CheckButton::CheckButton;
    void UpdateAnimation() override { dorvo::gfx::CButton::UpdateAnimation(); }
};

// An icon-sized sprite with one still 64 x 64 frame.
std::unique_ptr<dorvo::gfx::CSprite> MakeIcon(const char* name, const char* image)
{
    auto sprite = std::make_unique<dorvo::gfx::CSprite>(image);
    sprite->SetName(name);
    const int pivot[2] = {0, 0};
    sprite->AddGridAnimation("Base", 64, 64, 1, 0, 0, 50, pivot, false);
    sprite->SetPosition(2, 3);
    sprite->SetScale(0.5f, 0.5f, 1.0f);
    return sprite;
}
} // namespace

CreatorMenu::CreatorMenu(StateMachineComponent* owner) : LinearMoveMenu(owner)
{
    m_openTime = 0.3f;
    m_closeTime = 0.3f;
    m_closeOnMouseUp = false;
    m_closedPosition = math::Vector3(810.0f, 100.0f, 0.0f);
    m_openPosition = math::Vector3(755.0f, 100.0f, 0.0f);

    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    const MenuHudDescriptor& look = g_menuHud.m_coloredRadial;
    for (std::size_t i = 0; i < kTypeCount; ++i)
    {
        const WidgetType& type = kTypes[i];
        const int position[2] = {0, kRowPitch * static_cast<int>(i)};
        const int anchor[2] = {0, 0};
        auto toggle = std::make_unique<TypeToggle>(
            look.textureFile, type.toggle, look.unpressed, position, anchor, nullptr, nullptr, nullptr,
            nullptr, new SMButtonPressedFunct(owner, type.toggle), new SMUnCheckFunct(owner, type.toggle));
        toggle->SetScale(kToggleScale, kToggleScale, 1.0f);
        toggle->SetPointInsideFunct(new CirclePointInsideFunct(toggle.get(), kToggleRadius));
        toggle->SetEnabled(true);
        toggle->SetTipText(type.onTip);
        dorvo::gfx::CheckButton* filed = AddUnit(std::move(toggle));
        if (!filed)
            continue;
        if (i == 0)
            m_refSprite = filed;
        if (comp)
            comp->AddToGroup(kGroupPrefix + std::to_string(i), filed);
        AddUnit(MakeIcon(type.icon, type.iconImage), type.toggle);
        if (dorvo::gfx::CSprite* cross = AddUnit(MakeIcon(type.cross, kCrossImage), type.toggle))
            cross->SetVisible(false, false);
    }
}

std::size_t CreatorMenu::FindType(const std::string& toggle)
{
    for (std::size_t i = 0; i < kTypeCount; ++i)
        if (toggle == kTypes[i].toggle)
            return i;
    return kTypeCount;
}

void CreatorMenu::ShowType(std::size_t row, bool on)
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (!comp)
        return;
    if (dorvo::gfx::CButton* toggle = comp->GetButton(kTypes[row].toggle))
        toggle->SetTipText(on ? kTypes[row].onTip : kTypes[row].offTip);
    if (dorvo::gfx::CSprite* cross = comp->GetSprite(kTypes[row].cross))
        cross->SetVisible(!on, false);
}

void CreatorMenu::OnOpened()
{
    const CPuzzle* puzzle = GetFocusedPuzzleOfGame();
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (!puzzle || !comp)
        return;
    const int mask = puzzle->GetAvailableWidgets();
    for (std::size_t i = 0; i < kTypeCount; ++i)
    {
        const bool on = (mask & kTypes[i].bit) != 0;
        if (auto* toggle = dynamic_cast<dorvo::gfx::CheckButton*>(comp->GetButton(kTypes[i].toggle)))
            toggle->SetChecked(on);
        ShowType(i, on);
    }
}

void CreatorMenu::OnButtonPressed(const std::string& name)
{
    const std::size_t row = FindType(name);
    CPuzzle* puzzle = GetFocusedPuzzleOfGame();
    if (row == kTypeCount || !puzzle)
        return;
    ShowType(row, true);
    puzzle->SetAvailableWidgets(puzzle->GetAvailableWidgets() | kTypes[row].bit);
}

void CreatorMenu::OnButtonUnPressed(const std::string& name)
{
    const std::size_t row = FindType(name);
    CPuzzle* puzzle = GetFocusedPuzzleOfGame();
    if (row == kTypeCount || !puzzle)
        return;
    const int bit = kTypes[row].bit;
    puzzle->SetAvailableWidgets(puzzle->GetAvailableWidgets() & ~bit);
    if ((puzzle->GetAvailableWidgets() & kTypeBits) != 0)
    {
        ShowType(row, false);
        return;
    }
    // The last type stays on; the toggle itself stays unchecked, so its next click switches the
    // type on again, which it already is.
    if (CQUORB* game = CQUORB::Get())
        if (WidgetManipulator* manipulator = game->GetWidgetManipulator())
            manipulator->ShowEditorMessage(kLastTypeText);
    if (CPuzzle* still = GetFocusedPuzzleOfGame())
        still->SetAvailableWidgets(still->GetAvailableWidgets() | bit);
}
} // namespace QUORB
