#include "game/menus/WidgetPropertyMenu.h"

#include "engine/Gob.h"
#include "engine/gfx/gui/CheckButton.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/MenuState.h"
#include "game/menus/ButtonRow.h"
#include "game/menus/EditorBarUnits.h"
#include "game/menus/EditorMenuCalls.h"
#include "game/menus/PuzzleMenuCalls.h"

namespace QUORB
{
const WidgetPropertyMenu::Property WidgetPropertyMenu::kProperties[kPropertyCount] = {
    {"FrictionButton", "hud/FrictionIcon.png", "FrictionIcon", "Friction"},
    {"WeightButton", "hud/WeightIcon.png", "WeightIcon", "Weight"},
    {"ChargeButton", "hud/ChargeIcon.png", "ChargeIcon", "Magnetic charge"},
    {"StrengthButton", "hud/StrengthIcon.png", "StrengthIcon", "Strength"},
    {"DirectionButton", "hud/DirectionIcon.png", "DirectionIcon", "Direction"},
    {"ScaleButton", "hud/ScaleIcon.png", "ScaleIcon", "Scale"},
    {"NumQuorbIcon", "hud/NumQuorbIcon.png", "NumQuorbIcon", "Number of QUORB allowed"},
    {"TimerIcon", "hud/TimeLimitIcon.png", "TimerIcon", "Time interval"},
};
const char* const WidgetPropertyMenu::kGroup = "WidgetProp";

namespace
{
constexpr int kIconX = 3; // pixels on the button
constexpr int kIconY = 4;
constexpr float kIconScale = 0.5f;
} // namespace

WidgetPropertyMenu::WidgetPropertyMenu(StateMachineComponent* owner) : LinearMoveMenu(owner)
{
    m_openTime = 0.3f;
    m_closeTime = 0.2f;
    m_closedPosition = math::Vector3(static_cast<float>(kClosedX), static_cast<float>(kOpenY), 0.0f);
    m_closeOnMouseUp = false;

    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    for (const Property& property : kProperties)
    {
        auto made = MakeEditorCheckButton(GetComponent(), property.button, property.tip, true);
        // A property stays chosen until another one is.
        made->SetMayUncheck(false);
        dorvo::gfx::CheckButton* button = AddUnit(std::move(made));
        if (!button)
            continue;
        if (comp)
            comp->AddToGroup(kGroup, button);
        // The button is a child of "Base" and its icon a child of the button, so a lookup by the
        // shared name finds the button first.
        AddUnit(MakeEditorIcon(property.iconTexture, property.icon, kIconX, kIconY, kIconScale),
                property.button);
        // The slide needs a reference before any layout: a first selection may lay nothing out.
        if (!m_refSprite)
            m_refSprite = button;
    }
}

bool WidgetPropertyMenu::CodesFor(const Gob& gob, std::vector<int>& codes)
{
    const std::string& archetype = gob.GetArchetypeName();
    if (archetype == "Platform")
        codes = {0, 1, 2};
    else if (archetype == "Bar" || archetype == "BarAlt")
        codes = {1, 2};
    else if (archetype == "GravitySwitch")
        codes = {4};
    else if (archetype == "Magnet")
        codes = {2, 3};
    else if (archetype == "Accelerator")
        codes = {2, 3, 4};
    else if (gob.GetTemplateName() == "QUORB")
        codes = {0, 1, 2};
    else if (archetype == "LocationObjective")
        codes = {5, 6};
    else if (archetype == "TargetObjective")
        codes = {5};
    else if (archetype == "WaterObjective" || archetype == "WaterEndObjective" ||
             archetype == "TimerObjective")
        codes = {7};
    else
        return false; // squash and destruction objectives, and anything else
    return true;
}

int WidgetPropertyMenu::CodeOfButton(const std::string& name)
{
    for (std::size_t code = 0; code < kPropertyCount; ++code)
        if (name == kProperties[code].button)
            return static_cast<int>(code);
    return -1;
}

void WidgetPropertyMenu::OnButtonPressed(const std::string& name)
{
    const int code = CodeOfButton(name);
    if (code >= 0)
        SendIntToMenu(MenuTable::kPropValueMenu, MSG_SetCustomData, code);
    SendToMenu(MenuTable::kPropValueMenu, MSG_ResetMenu);
    const int state = GetMenuState(MenuTable::kPropValueMenu);
    if (state == STATE_Init || state == STATE_Closed)
        SendToMenu(MenuTable::kPropValueMenu, MSG_OpenMenuEx);
}

void WidgetPropertyMenu::OpenTransition(float duration)
{
    m_openPosition = math::Vector3(IsGameInCreatePuzzleMode() ? 0.0f : static_cast<float>(kOpenX),
                                   static_cast<float>(kOpenY), 0.0f);
    LinearMoveMenu::OpenTransition(duration);
}

void WidgetPropertyMenu::OnClosed()
{
    UncheckAllAndCloseEditor();
}

void WidgetPropertyMenu::Reset()
{
    Gob* selected = GetEditorSelectedGob();
    if (!selected)
        return;
    std::vector<int> codes;
    const bool layout = CodesFor(*selected, codes);
    UncheckAllAndCloseEditor();
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (!layout || !comp)
        return;
    LayOutButtonRow(*comp, kProperties, codes, IsGameInCreatePuzzleMode() ? 0 : kOpenX, m_refSprite);
}

void WidgetPropertyMenu::UncheckAllAndCloseEditor()
{
    if (dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp())
        for (const Property& property : kProperties)
            if (auto* button = dynamic_cast<dorvo::gfx::CheckButton*>(comp->GetButton(property.button)))
                button->SetChecked(false);
    SendToMenu(MenuTable::kPropValueMenu, MSG_CloseMenu);
}
} // namespace QUORB
