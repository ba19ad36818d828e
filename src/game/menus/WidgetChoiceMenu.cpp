#include "game/menus/WidgetChoiceMenu.h"

#include "engine/gfx/gui/CheckButton.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/menus/EditorBarUnits.h"
#include "game/menus/EditorMenuCalls.h"
#include "game/menus/PuzzleMenuCalls.h"
#include "game/room/CPuzzle.h"

#include <memory>

namespace QUORB
{
const WidgetChoiceMenu::Entry WidgetChoiceMenu::kEntries[kEntryCount] = {
    {"PlatformButton", "hud/PlatIcon.png", "PlatformIcon", "Platform", 0x1,
     "Platform: Simple building block for complex structure\nCost: 1", true},
    {"BarButton", "hud/BarIcon.png", "BarIcon", "Bar", 0x4, "Bar: Holds platforms up\nCost: 1", true},
    {"AccButton", "hud/AccIcon.png", "AccIcon", "Accelerator", 0x10,
     "Accelerator: Speeds up any QUORB on it\nCost: 1", true},
    {"GravSwitchButton", "hud/GravIcon.png", "GSwitchIcon", "GravitySwitch", 0x2,
     "Gravity Switch: Changes gravity to the desired direction\nCost: 1", true},
    {"MagnetButton", "hud/MagnetIcon.png", "MagnetIcon", "Magnet", 0x8,
     "Magnet: Pulls or propels objects with magnetic charge\nCost: 1", true},
    {"QUORBBallButton", "hud/QUORBBallIcon.png", "QUORBBallIcon", "QUORBBall", 0,
     "QUORB: The star of the show", true},
    {"QUORBBoxButton", "hud/QUORBBoxIcon.png", "QUORBBoxIcon", "QUORBBox", 0,
     "QUORB: The star of the show (Not available)", false},
    {"HardNodeButton", "hud/HardNodeIcon.png", "HardeNodeIcon", "HardNode", 0,
     "Anchor: Provides a spot for widgets to attach to without falling", true},
    {"GetToLocationButton", "hud/GetToLocationIcon.png", "GetToLocationIcon", "LocationObjective", 0,
     "Location: the QUORB must reach this ring and stay in it for 3 seconds", true},
    {"TargetButton", "hud/TargetIcon.png", "TargetIcon", "TargetObjective", 0,
     "Target: the QUORB must pass through this ring", true},
    {"WaterControlButton", "hud/WaterControlIcon.png", "WaterControlIcon", "WaterObjective", 0,
     "Water: during the run the water rises or falls to its marker", true},
    {"TimeLimitButton", "hud/TimeLimitIcon.png", "TimeLimitIcon", "TimerObjective", 0,
     "Time limit: the other goals must be met before the time shown runs out", true},
    {"SquashQuorbiButton", "hud/SquashQuorbiIcon.png", "SquashQuorbiIcon", "SquashObjective", 0,
     "Squash the QUORB (not available yet)", false},
};

const std::uint32_t WidgetChoiceMenu::kHotKeys[kEntryCount] = {44, 45, 46, 47, 48, 49, 50,
                                                               30, 31, 32, 33, 34, 35};
const char* const WidgetChoiceMenu::kGroup = "WidgetChoice";

namespace
{
constexpr int kIconX = 2; // pixels on the button
constexpr int kIconY = 3;
constexpr float kIconScale = 0.5f;
} // namespace

WidgetChoiceMenu::WidgetChoiceMenu(StateMachineComponent* owner) : LinearMoveMenu(owner)
{
    m_openTime = 0.3f;
    m_closeTime = 0.3f;
    m_closedPosition = math::Vector3(static_cast<float>(kClosedX), static_cast<float>(kOpenY), 0.0f);
    m_closeOnMouseUp = false;

    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    for (const Entry& entry : kEntries)
    {
        dorvo::gfx::CheckButton* button =
            AddUnit(MakeEditorCheckButton(GetComponent(), entry.button, entry.tip, true));
        if (!button)
            continue;
        if (comp)
            comp->AddToGroup(kGroup, button);
        AddUnit(MakeEditorIcon(entry.iconTexture, entry.icon, kIconX, kIconY, kIconScale), entry.button);
        button->SetEnabled(entry.enabled);
        // The slide needs a reference from the start: an opening that shows no button lays
        // nothing out.
        if (!m_refSprite)
            m_refSprite = button;
    }
}

const char* WidgetChoiceMenu::TypeOfButton(const std::string& name)
{
    for (const Entry& entry : kEntries)
        if (name == entry.button)
            return entry.type;
    return nullptr;
}

void WidgetChoiceMenu::OnButtonPressed(const std::string& name)
{
    // The uncheck of the button checked before has already cleared the type (and reset this
    // bar) inside the base's radio-group step; the press sets the new one.
    if (const char* type = TypeOfButton(name))
        SetCurrentWidgetTypeOfGame(type);
    DeselectAllInEditor();
}

void WidgetChoiceMenu::OpenTransition(float duration)
{
    const bool createPuzzle = IsGameInCreatePuzzleMode();
    m_openPosition =
        math::Vector3(createPuzzle ? 0.0f : static_cast<float>(kOpenX), static_cast<float>(kOpenY), 0.0f);
    Layout();
    LinearMoveMenu::OpenTransition(duration);
}

void WidgetChoiceMenu::Layout()
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (!comp)
        return;
    const bool createPuzzle = IsGameInCreatePuzzleMode();
    // Outside create-puzzle mode the puzzle's mask decides; without a focused puzzle nothing is
    // offered.
    const CPuzzle* puzzle = GetFocusedPuzzleOfGame();
    const unsigned available = puzzle ? static_cast<unsigned>(puzzle->GetAvailableWidgets()) : 0u;
    int x = 0;
    std::size_t place = 0;
    bool first = true;
    for (const Entry& entry : kEntries)
    {
        dorvo::gfx::CButton* button = comp->GetButton(entry.button);
        if (!button)
            continue;
        if (!createPuzzle && (available & entry.availableBit) == 0)
        {
            button->SetVisible(false, true);
            continue;
        }
        button->SetPosition(x, 0);
        button->GetHotKeys().clear();
        button->AddHotKey(kHotKeys[place]);
        button->SetVisible(true, true);
        if (first)
            m_refSprite = button;
        first = false;
        x += kEditorButtonSpacing;
        ++place;
    }
}

void WidgetChoiceMenu::OnClosed()
{
    UncheckAll();
}

void WidgetChoiceMenu::Reset()
{
    UncheckAll();
}

void WidgetChoiceMenu::OnButtonUnPressed(const std::string&)
{
    ClearCurrentWidgetTypeOfGame();
    DeselectAllInEditor();
}

void WidgetChoiceMenu::UncheckAll()
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (!comp)
        return;
    for (const Entry& entry : kEntries)
        if (auto* button = dynamic_cast<dorvo::gfx::CheckButton*>(comp->GetButton(entry.button)))
            button->SetChecked(false);
}
} // namespace QUORB
