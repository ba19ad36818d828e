#include "game/menus/HelpMenu.h"

#include "common/InterpolationMgr.h"
#include "engine/gfx/gui/CheckButton.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"

#include <memory>

namespace QUORB
{
namespace
{
struct HelpEntry
{
    const char* button;
    const char* iconImage;
    const char* icon;
    const char* tip;
};

// The controls of the game, what the player may do with the mouse and the keys: one to a line,
// each short enough to stand on one or two lines of the tip box (175 pixels wide), so that the
// list stays within the screen's height and reads at a glance.
const char* const kControlsTip = "Click: place a widget\n"
                                 "Drag: stretch it\n"
                                 "Click on one: select\n"
                                 "Ctrl: select several\n"
                                 "Drag one: move it\n"
                                 "Hold, then drag: turn a magnet or switch\n"
                                 "Right click, Delete, Backspace: delete\n"
                                 "Space: choose nothing\n"
                                 "Z X C V ...: widgets\n"
                                 "Left/Right: turn room (outside a puzzle)\n"
                                 "Escape: Save & Quit\n"
                                 "F1: screenshot\n"
                                 "` key: console\n"
                                 "Alt+Enter: full screen";

// The tab's buttons, top to bottom.
const HelpEntry kEntries[] = {
    {"HelpButton", "hud/HelpIcon.png", "HelpIcon", "Help"},
    {"ControlsButton", "hud/ControlsIcon.png", "ControlsIcon", kControlsTip},
};
const char* const kHelpButton = "HelpButton";
const char* const kControlsButton = "ControlsButton";
constexpr float kHoverSeconds = 0.05f;

const HelpEntry* FindEntry(const std::string& name)
{
    for (const HelpEntry& entry : kEntries)
        if (name == entry.button)
            return &entry;
    return nullptr;
}
} // namespace

HelpMenu::HelpMenu(StateMachineComponent* owner) : LinearMoveMenu(owner)
{
    m_openTime = 0.3f;
    m_closeTime = 0.2f;
    m_closeOnMouseUp = false;
    m_closedPosition = math::Vector3(-10.0f, 40.0f, 0.0f);
    m_openPosition = math::Vector3(0.0f, 40.0f, 0.0f);

    const MenuHudDescriptor& look = g_menuHud.m_barMenuButtons;
    int row = 0;
    for (const HelpEntry& entry : kEntries)
    {
        const int position[2] = {0, 40 + 40 * row};
        auto button = std::make_unique<dorvo::gfx::CheckButton>(
            look.textureFile, entry.button, look.unpressed, position, look.anchor, nullptr, nullptr, nullptr,
            nullptr, new SMButtonPressedFunct(GetComponent(), entry.button),
            new SMUnCheckFunct(GetComponent(), entry.button));
        button->SetName(entry.button);
        button->SetPointInsideFunct(new RectPointInsideFunct(button.get(), 40, 36));
        button->SetHeldOverFunct(new SMHeldOverFunct(GetComponent(), button.get(), true, kHoverSeconds));
        button->SetNotOverFunct(new SMHeldOverFunct(GetComponent(), button.get(), false, kHoverSeconds));
        button->SetScale(0.2f, 0.6f, 1.0f);
        button->SetAlpha(kDimAlpha, false);
        button->SetTipText(entry.tip);
        dorvo::gfx::CheckButton* filed = AddUnit(std::move(button));
        ++row;
        if (!filed)
            continue;
        if (row == 1)
            m_refSprite = filed;

        auto icon = std::make_unique<dorvo::gfx::CSprite>(entry.iconImage);
        icon->SetName(entry.icon);
        const int pivot[2] = {0, 0};
        icon->AddGridAnimation("Base", 64, 64, 1, 0, 0, 50, pivot, false);
        icon->SetScale(0.5f, 0.5f, 1.0f);
        icon->SetAlpha(kDimAlpha, false);
        icon->SetPosition(3, 4);
        AddUnit(std::move(icon), entry.button);
    }
    MoveControls(kControlsHiddenX);
}

void HelpMenu::MoveControls(int x)
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (dorvo::gfx::CSprite* controls = comp ? comp->GetSprite(kControlsButton) : nullptr)
        controls->SetPosition(x, controls->GetPositionY());
}

void HelpMenu::OnButtonPressed(const std::string& name)
{
    // The help button has just been checked; anything else is not to stay checked.
    if (name == kHelpButton)
    {
        MoveControls(kControlsShownX);
        return;
    }
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (auto* check = comp ? dynamic_cast<dorvo::gfx::CheckButton*>(comp->GetButton(name)) : nullptr)
        check->SetChecked(false);
}

void HelpMenu::UpdateOpen()
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (auto* controls =
            comp ? dynamic_cast<dorvo::gfx::CheckButton*>(comp->GetButton(kControlsButton)) : nullptr)
        controls->SetChecked(false);
}

void HelpMenu::OnButtonUnPressed(const std::string& name)
{
    if (name == kHelpButton)
        MoveControls(kControlsHiddenX);
}

void HelpMenu::OnHeldOver(const std::string& name)
{
    Highlight(name, kDimAlpha, kLitAlpha);
}

void HelpMenu::OnMovedOff(const std::string& name)
{
    Highlight(name, kLitAlpha, kDimAlpha);
}

void HelpMenu::Highlight(const std::string& name, float from, float to)
{
    const HelpEntry* entry = FindEntry(name);
    dorvo::gfx::Gfx2DComp* comp = entry ? GetGfx2DComp() : nullptr;
    if (!comp)
        return;
    common::CInterpolationMgr& manager = common::CInterpolationMgr::Instance();
    // A record each: one that removes itself once read at its end would leave the second
    // reader short of the end value.
    for (const char* unit : {entry->button, entry->icon})
        if (dorvo::gfx::CSprite* sprite = comp->GetSprite(unit))
            sprite->SetInterpolation(dorvo::gfx::CSprite::IP_Alpha,
                                     manager.AddFloat(from, to, kHighlightSeconds, common::INTERP_REMOVE));
}
} // namespace QUORB
