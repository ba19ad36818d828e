// The manipulator's tables, its input, the selection and the deletion of the selection.
#include "game/manipulator/WidgetManipulator.h"

#include "common/ConsoleInterface.h"
#include "common/InputEvent.h"
#include "common/math/CRay.h"
#include "common/math/Quad.h"
#include "engine/CDorvoApp.h"
#include "engine/CPicker.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/StateMachineComponent.h"
#include "engine/gfx/gui/CCursor.h"
#include "game/app/CQUORB.h"
#include "game/app/MenuSend.h"
#include "game/app/MenuState.h"
#include "game/manipulator/ManipulatorLogic.h"
#include "game/manipulator/WidgetManipulatorHelpers.h"
#include "game/nodes/ConnectionComp.h"
#include "game/nodes/NodeDataComp.h"
#include "game/room/CPuzzle.h"
#include "game/widgets/IWidgetData.h"
#include "game/widgets/WidgetDataComp.h"
#include "platform/log.h"

#include <algorithm>

namespace QUORB
{
using namespace manipulator;

const char* const WidgetManipulator::kArchetypeName = "Manipulator";
const char* const WidgetManipulator::kPickedEffect = "PickedEffect.fx";
const char* const WidgetManipulator::kPickedTechnique = "PickedEffect";

namespace
{
// The kinds a press can pick: widgets and nodes, and in create-puzzle mode also star objects and
// objectives.
bool IsPickableKind(const std::string& kind)
{
    return kind == "Widget" || kind == "Node" ||
           (IsCreatePuzzleMode() && (kind == "QUORB" || kind == "Objective"));
}

// The kind filter, then the lock filter, of a press.
Gob* FilterPick(Gob* picked)
{
    if (picked == nullptr || !IsPickableKind(picked->GetTemplateName()))
        return nullptr;
    const std::string& kind = picked->GetTemplateName();
    return WidgetManipulator::IsLockedForPlayer(picked, kind == "Widget", kind == "Node") ? nullptr : picked;
}
} // namespace

WidgetManipulator::WidgetManipulator() = default;

WidgetManipulator::~WidgetManipulator() = default;

void WidgetManipulator::Init()
{
    if (!m_createFunctors.empty())
        return;
    GobManager& manager = GobManager::Instance();
    Gob* gob = manager.FindController(kArchetypeName) ? manager.CreateGob(kArchetypeName) : nullptr;
    auto* machines =
        gob ? dynamic_cast<StateMachineComponent*>(gob->GetComponent(StateMachineComponent::StaticTypeID()))
            : nullptr;
    if (machines)
    {
        m_manipulatorGobID = gob->GetID();
        machines->AddStateMachine(new ManipulatorLogic(machines, this));
    }
    else
    {
        DORVO_LOG("WidgetManipulator::Init: no \"%s\" object with a state-machine component could be made; "
                  "the editor cannot manipulate widgets",
                  kArchetypeName);
        if (gob)
            manager.KillGob(gob);
    }

    // The tables, row by row: create, then drag, then release, then adjust.
    typedef WidgetManipulator M;
    const struct
    {
        const char* type;
        void (M::*create)(Gob*&, math::Vector3, math::Quaternion, math::Vector3, const math::Vector3*);
        void (M::*drag)();
        void (M::*release)();
        void (M::*adjust)();
    } rows[] = {
        {"Platform", &M::CreatePlatform, &M::DragPlatform, &M::ReleaseSoftNodeWidget, nullptr},
        {"Bar", &M::CreateBar, &M::DragBar, &M::ReleaseSoftNodeWidget, nullptr},
        {"BarAlt", &M::CreateBar, &M::DragBar, &M::ReleaseSoftNodeWidget, nullptr},
        {"Cloth", &M::CreateNothing, &M::DragNothing, &M::ReleaseNothing, nullptr},
        {"Rope", &M::CreateNothing, &M::DragNothing, &M::ReleaseNothing, nullptr},
        {"GravitySwitch", &M::CreateGravitySwitch, &M::DragGravitySwitch, &M::ReleaseGravitySwitch,
         &M::AdjustGravitySwitch},
        {"Magnet", &M::CreateMagnet, &M::DragMagnet, &M::ReleaseMagnet, &M::AdjustMagnet},
        {"Accelerator", &M::CreateAccelerator, &M::DragAccelerator, &M::ReleaseSoftNodeWidget, nullptr},
        {"HardNode", &M::CreateHardNode, &M::DragNothing, &M::ReleaseHardNode, nullptr},
        {"QUORBBall", &M::CreateQuorbBall, &M::DragNothing, &M::ReleaseQuorb, nullptr},
        {"QUORBBox", &M::CreateQuorbBox, &M::DragNothing, &M::ReleaseQuorb, nullptr},
        {"LocationObjective", &M::CreateLocationObjective, &M::DragNothing, &M::ReleaseLocationObjective,
         nullptr},
        {"TargetObjective", &M::CreateTargetObjective, &M::DragNothing, &M::ReleaseTargetObjective, nullptr},
        {"WaterObjective", &M::CreateWaterObjective, &M::DragWaterObjective, &M::ReleaseWaterObjective,
         nullptr},
        {"TimerObjective", &M::CreateTimerObjective, &M::DragNothing, &M::ReleaseTimerObjective, nullptr},
        {"SquashObjective", &M::CreateSquashObjective, &M::DragNothing, &M::ReleaseSquashObjective, nullptr},
        {"DestructionObjective", &M::CreateDestructionObjective, &M::DragNothing,
         &M::ReleaseDestructionObjective, nullptr},
        {"SoftNode", nullptr, nullptr, &M::ReleaseSoftNode, nullptr},
    };
    for (const auto& row : rows)
        if (row.create)
            m_createFunctors.emplace(row.type, CreateFunctor(this, row.create));
    for (const auto& row : rows)
        if (row.drag)
            m_dragFunctors.emplace(row.type, StepFunctor(this, row.drag));
    for (const auto& row : rows)
        if (row.release)
            m_releaseFunctors.emplace(row.type, StepFunctor(this, row.release));
    for (const auto& row : rows)
        if (row.adjust)
            m_adjustFunctors.emplace(row.type, StepFunctor(this, row.adjust));
}

void WidgetManipulator::Update(float) {}

Gob* WidgetManipulator::Live(std::uint32_t id)
{
    Gob* gob = id != 0 ? GobManager::Instance().GetGob(id) : nullptr;
    return gob != nullptr && !gob->IsKilled() ? gob : nullptr;
}

Gob* WidgetManipulator::GetManipulatorGob() const
{
    return Live(m_manipulatorGobID);
}

ManipulatorLogic* WidgetManipulator::GetLogic() const
{
    Gob* gob = GetManipulatorGob();
    auto* machines =
        gob ? dynamic_cast<StateMachineComponent*>(gob->GetComponent(StateMachineComponent::StaticTypeID()))
            : nullptr;
    return machines ? dynamic_cast<ManipulatorLogic*>(machines->GetActiveStateMachine()) : nullptr;
}

Gob* WidgetManipulator::GetSelectedGob() const
{
    return Live(m_selectedID);
}

std::vector<Gob*> WidgetManipulator::GetSelectionList() const
{
    std::vector<Gob*> list;
    for (std::uint32_t id : m_selectionList)
        if (Gob* gob = Live(id))
            list.push_back(gob);
    return list;
}

Gob* WidgetManipulator::GetHoverGob() const
{
    return Live(m_hoverID);
}

Gob* WidgetManipulator::GetPressNode() const
{
    return Live(m_pressNodeID);
}

bool WidgetManipulator::IsSelected(std::uint32_t id) const
{
    return id != 0 && (id == m_selectedID || std::find(m_selectionList.begin(), m_selectionList.end(), id) !=
                                                 m_selectionList.end());
}

bool WidgetManipulator::CanEdit() const
{
    CQUORB* game = Game();
    return game != nullptr && game->GetRoom() != nullptr && game->GetFocusedPuzzle() != nullptr &&
           game->GetCursor() != nullptr;
}

// ---- input ----

bool WidgetManipulator::OnInput(const dorvo::input::InputEvent& event, float)
{
    const CQUORB* game = Game();
    if (game == nullptr || !game->IsEditorMode())
        return false;
    if (event.value == 1 || event.value == 0)
    {
        const bool press = event.value == 1;
        switch (event.code)
        {
        case dorvo::input::KEY_BACK:
        case dorvo::input::KEY_DELETE:
            if (press)
            {
                m_deleteRequested = true;
                m_deletePressUnseen = true;
                m_deleteReleasePending = false;
            }
            else if (m_deletePressUnseen)
                m_deleteReleasePending = true; // a tap: the machine still has to see it
            else
                m_deleteRequested = false;
            break;
        case dorvo::input::KEY_LCONTROL:
        case dorvo::input::KEY_RCONTROL:
            m_ctrlDown = press;
            break;
        case dorvo::input::KEY_SPACE:
            if (press)
            {
                ClearCurrentWidgetType();
                DeselectAll();
            }
            break;
        case dorvo::input::MOUSE_BUTTON_0:
            if (press)
                OnLeftButtonDown();
            else
                OnLeftButtonUp();
            break;
        case dorvo::input::MOUSE_BUTTON_1:
            if (press)
                OnRightButtonDown();
            else
                OnRightButtonUp();
            break;
        default:
            break;
        }
    }
    if (event.code == dorvo::input::MOUSE_X)
        OnMouseMoveX();
    else if (event.code == dorvo::input::MOUSE_Y)
        OnMouseMoveY();
    return false;
}

bool WidgetManipulator::PickAtCursor(Gob*& out, math::Vector3& screenPoint) const
{
    out = nullptr;
    CQUORB* game = Game();
    const dorvo::gfx::CCursor* cursor = game != nullptr ? game->GetCursor() : nullptr;
    dorvo::CPicker* picker = g_pApp != nullptr ? g_pApp->GetPicker() : nullptr;
    if (cursor == nullptr)
        return false;
    const math::Vector3 point = cursor->GetScreenPoint();
    screenPoint.Set(point.x, point.y, 0.0f);
    if (picker == nullptr || !picker->IsEnabled())
        return false;
    picker->Pick(screenPoint, false);
    out = Live(picker->GetPickedID());
    return true;
}

bool WidgetManipulator::IsLockedForPlayer(Gob* gob, bool isWidget, bool isNode)
{
    if (gob == nullptr || IsCreatePuzzleMode())
        return false;
    auto notModifiable = [](Gob* widget)
    {
        const WidgetDataComp* comp = WidgetDataComp::Of(widget);
        const IWidgetData* data = comp != nullptr ? comp->GetData() : nullptr;
        return data != nullptr && !data->IsModifiable();
    };
    if (isWidget)
        return notModifiable(gob);
    if (isNode)
    {
        const NodeDataComp* node = NodeDataComp::Of(gob);
        Gob* owner = node != nullptr ? Live(node->GetConnectionID()) : nullptr;
        return owner == nullptr || notModifiable(owner);
    }
    return false;
}

void WidgetManipulator::OnLeftButtonDown()
{
    // A second press before the machine saw the first one's release: that release happens now.
    if (m_leftReleasePending)
    {
        m_leftReleasePending = false;
        ReleaseLeft();
    }
    if (m_leftDown || !CanEdit())
        return;
    const bool paused = IsPhysicsPaused();
    const std::uint32_t previous = m_selectedID;
    if (paused)
        RemoveHighlight(Live(previous));
    // Whatever an earlier press grabbed (during simulation too) is let go first.
    ClearSnapHighlights();
    m_pressNodeID = 0;
    m_createdThisPress = false;

    Gob* picked = nullptr;
    PickAtCursor(picked, m_pressScreenPos);
    if (picked != nullptr)
        common::ConsoleInterface::ShowLine("Gob clump: " + picked->GetTemplateName());
    if (picked != nullptr && picked->GetTemplateName() == "ConstructionQuad")
    {
        m_pressFacePoint = g_pApp->GetPicker()->GetPickPoint();
        m_lastDragPoint = m_pressFacePoint;
    }
    else
    {
        math::Vector3 point;
        if (ScreenToFacePlane(m_pressScreenPos, point))
        {
            m_pressFacePoint = point;
            m_lastDragPoint = point;
        }
    }

    if (picked != nullptr && !IsPickableKind(picked->GetTemplateName()))
        picked = nullptr;
    if (picked != nullptr && picked->GetTemplateName() == "Node")
        m_pressNodeID = picked->GetID();
    picked = FilterPick(picked);
    const std::uint32_t pickedID = picked != nullptr ? picked->GetID() : 0;

    // Selection.
    Gob* primary = Live(m_selectedID);
    if (m_ctrlDown)
    {
        if (picked != nullptr && primary == nullptr)
            m_selectedID = pickedID;
        else if (picked != nullptr && picked->GetArchetypeName() == primary->GetArchetypeName())
        {
            if (pickedID == m_selectedID)
            {
                m_selectedID = 0;
                if (!m_selectionList.empty())
                {
                    m_selectedID = m_selectionList.back();
                    m_selectionList.pop_back();
                }
            }
            else
            {
                const auto listed = std::find(m_selectionList.begin(), m_selectionList.end(), pickedID);
                if (listed != m_selectionList.end())
                {
                    m_selectionList.erase(listed);
                    RemoveHighlight(picked);
                }
                else
                    m_selectionList.push_back(pickedID);
            }
        }
    }
    else if (!IsSelected(pickedID))
    {
        m_selectedID = pickedID;
        for (std::uint32_t id : m_selectionList)
            RemoveHighlight(Live(id));
        m_selectionList.clear();
    }

    // The property bar follows the primary.
    primary = Live(m_selectedID);
    const std::string pickedKind = picked != nullptr ? picked->GetTemplateName() : std::string();
    if (primary != nullptr && paused &&
        (pickedKind == "Widget" || pickedKind == "QUORB" || pickedKind == "Objective"))
    {
        SendToMenu(MenuTable::kWidgetPropertyBarMenu, MSG_ResetMenu);
        if (GetMenuState(MenuTable::kWidgetPropertyBarMenu) <= 1)
            SendToMenu(MenuTable::kWidgetPropertyBarMenu, MSG_OpenMenuEx);
        if (m_selectedID != previous)
            SendToMenu(MenuTable::kPropValueMenu, MSG_CloseMenu);
    }
    else if (primary == nullptr && m_currentWidgetType.empty())
        SendToMenu(MenuTable::kWidgetPropertyBarMenu, MSG_CloseMenu);

    if (primary != nullptr && paused)
        HighlightPicked(primary);
    for (std::uint32_t id : m_selectionList)
        HighlightPicked(Live(id));

    if (pickedKind == "Widget")
        AddWidgetDragNodes(picked);
    else if (pickedKind == "Node")
        AddDragNode(picked);

    m_leftPressTimer.Restart();
    m_leftDown = true;
    m_leftPressUnseen = true;
}

void WidgetManipulator::OnLeftButtonUp()
{
    if (!m_leftDown)
        return;
    if (m_leftPressUnseen)
    {
        m_leftReleasePending = true;
        return;
    }
    ReleaseLeft();
}

void WidgetManipulator::ReleaseLeft()
{
    m_leftPressTimer.Stop();
    m_dragVector.Set(0.0f, 0.0f, 0.0f);
    m_leftDown = false;
}

void WidgetManipulator::OnLogicUpdate()
{
    if (m_leftReleasePending && !m_leftPressUnseen)
    {
        m_leftReleasePending = false;
        ReleaseLeft();
    }
    if (m_deleteReleasePending && !m_deletePressUnseen)
    {
        m_deleteReleasePending = false;
        m_deleteRequested = false;
    }
    // This update sees the presses that came before it.
    m_leftPressUnseen = false;
    m_deletePressUnseen = false;
}

void WidgetManipulator::OnRightButtonDown()
{
    if (m_rightDown || !CanEdit())
        return;
    // While an object is being created the selection is the new object (and the chain it
    // stretches): a right press leaves it alone, so the new object is still filed or deleted.
    if (!m_creating)
    {
        Gob* picked = nullptr;
        PickAtCursor(picked, m_pressScreenPos);
        picked = FilterPick(picked);
        const std::uint32_t pickedID = picked != nullptr ? picked->GetID() : 0;
        if (pickedID == 0 || pickedID != m_selectedID)
        {
            const bool listed = pickedID != 0 && std::find(m_selectionList.begin(), m_selectionList.end(),
                                                           pickedID) != m_selectionList.end();
            if (!listed && m_selectionList.empty())
            {
                if (IsPhysicsPaused())
                {
                    RemoveHighlight(Live(m_selectedID));
                    HighlightPicked(picked);
                }
                m_selectedID = pickedID;
            }
        }
    }
    m_rightPressTimer.Restart();
    m_rightDown = true;
}

void WidgetManipulator::OnRightButtonUp()
{
    if (!m_rightDown)
        return;
    dorvo::CPicker* picker = g_pApp != nullptr ? g_pApp->GetPicker() : nullptr;
    Gob* released = nullptr;
    if (picker != nullptr && picker->IsEnabled())
    {
        picker->Pick(m_pressScreenPos + m_dragVector, false);
        released = Live(picker->GetPickedID());
    }
    if (released != nullptr && IsSelected(released->GetID()) && Live(m_selectedID) != nullptr &&
        !m_radialOpen)
        m_deleteRequested = true;
    m_rightPressTimer.Stop();
    m_dragVector.Set(0.0f, 0.0f, 0.0f);
    m_rightDown = false;
}

void WidgetManipulator::UpdateDragVector()
{
    // Motion after a release held back for the machine is not part of that press's drag.
    const bool leftHeld = m_leftDown && !m_leftReleasePending;
    if (!leftHeld && !m_rightDown)
        return;
    CQUORB* game = Game();
    const dorvo::gfx::CCursor* cursor = game != nullptr ? game->GetCursor() : nullptr;
    if (cursor == nullptr)
        return;
    const math::Vector3 point = cursor->GetScreenPoint();
    m_dragVector = math::Vector3(point.x, point.y, 0.0f) - m_pressScreenPos;
}

void WidgetManipulator::OnMouseMoveX()
{
    UpdateDragVector();
}

void WidgetManipulator::OnMouseMoveY()
{
    UpdateDragVector();
}

// ---- the face ----

bool WidgetManipulator::ScreenToFacePlane(const math::Vector3& screenPoint, math::Vector3& out)
{
    CQUORB* game = Game();
    math::Quad face;
    if (!game || !game->GetFocusedFaceQuad(face))
        return false;
    dorvo::CPicker* picker = g_pApp ? g_pApp->GetPicker() : nullptr;
    if (!picker || !picker->BuildRay(screenPoint))
        return false;
    const math::CRay& ray = picker->GetRay();
    float t = 0.0f;
    if (!ray.IntersectQuad(face, t))
        return false;
    out = ray.origin + ray.direction * t;
    return true;
}

// ---- type and selection ----

void WidgetManipulator::SetCurrentWidgetType(const std::string& type)
{
    m_currentWidgetType = type;
    SendToMenu(MenuTable::kMouseWidgetSelMenu, type.empty() ? MSG_CloseMenu : MSG_OpenMenu);
}

void WidgetManipulator::ClearCurrentWidgetType()
{
    m_currentWidgetType.clear();
    SendToMenu(MenuTable::kWidgetChoiceBarMenu, MSG_ResetMenu);
    for (const char* menu :
         {MenuTable::kMouseWidgetSelMenu, MenuTable::kWidgetPropertyBarMenu, MenuTable::kPropValueMenu})
        SendToMenu(menu, MSG_CloseMenu);
}

void WidgetManipulator::DropCurrentWidgetType()
{
    // The badge beside the cursor and the bar's checked button go with the type: neither may
    // promise a creation that the next press no longer makes. Without a type they show none.
    if (m_currentWidgetType.empty())
        return;
    m_currentWidgetType.clear();
    SendToMenu(MenuTable::kWidgetChoiceBarMenu, MSG_ResetMenu);
    SendToMenu(MenuTable::kMouseWidgetSelMenu, MSG_CloseMenu);
}

void WidgetManipulator::DiscardUnfinishedCreation()
{
    if (!m_creating)
        return;
    m_creating = false;
    DeleteGob(Live(m_selectedID));
    for (std::uint32_t id : m_selectionList)
        DeleteGob(Live(id));
}

void WidgetManipulator::DropSelection()
{
    RemoveHighlight(Live(m_selectedID));
    for (std::uint32_t id : m_selectionList)
        RemoveHighlight(Live(id));
    RemoveHighlight(Live(m_hoverID));
    ClearSnapHighlights();
    m_selectedID = 0;
    m_hoverID = 0;
    m_pressNodeID = 0;
    m_selectionList.clear();
}

void WidgetManipulator::Reset()
{
    DiscardUnfinishedCreation();
    DropSelection();
    // Released buttons and no delete request: the machine leaves Creating, Moving and Adjusting
    // at its next update even when the editor was switched off with a button held.
    m_leftDown = false;
    m_rightDown = false;
    m_deleteRequested = false;
    m_leftPressUnseen = false;
    m_leftReleasePending = false;
    m_deletePressUnseen = false;
    m_deleteReleasePending = false;
    m_ctrlDown = false;
    m_leftPressTimer.Stop();
    m_rightPressTimer.Stop();
    m_dragVector.Set(0.0f, 0.0f, 0.0f);
    DropCurrentWidgetType();
    SendToMenu(MenuTable::kWidgetPropertyBarMenu, MSG_CloseMenu);
}

void WidgetManipulator::ClearSelection()
{
    DiscardUnfinishedCreation();
    DropSelection();
    DropCurrentWidgetType();
}

void WidgetManipulator::DeselectAll()
{
    if (m_creating)
        return;
    SendToMenu(MenuTable::kWidgetPropertyBarMenu, MSG_CloseMenu);
    RemoveHighlight(Live(m_selectedID));
    for (std::uint32_t id : m_selectionList)
        RemoveHighlight(Live(id));
    m_selectedID = 0;
    m_selectionList.clear();
}

void WidgetManipulator::ShowEditorMessage(const std::string& text)
{
    SendTextToMenu(MenuTable::kMessageWindowMenu, MSG_SendTextMessage, text);
    ClearCurrentWidgetType();
    PlaySound("QUORBSound/Editor/EditorError");
    m_refusalShown = true;
}

std::uint32_t WidgetManipulator::CreateWidgetAtPos(const std::string& type, const math::Vector3& position,
                                                   const math::Quaternion& orientation,
                                                   const math::Vector3& scale)
{
    const auto found = m_createFunctors.find(type);
    if (found == m_createFunctors.end())
        return 0;
    Gob* gob = nullptr;
    m_buildingDescribed = true;
    found->second(gob, position, orientation, scale, nullptr);
    m_buildingDescribed = false;
    if (gob == nullptr)
        return 0;
    // The described size, also for the objects whose create operation keeps the template's.
    if (POVComp* pov = GetPOVComp(gob))
        pov->SetScale(scale, true);
    return gob->GetID();
}

// ---- deleting the selection ----

void WidgetManipulator::DeleteSelected()
{
    DeleteGob(Live(m_selectedID));
    for (std::uint32_t id : m_selectionList)
        DeleteGob(Live(id));
    m_selectedID = 0;
    m_hoverID = 0;
    m_pressNodeID = 0;
    m_selectionList.clear();
    m_deleteRequested = false;
    ClearSnapHighlights();
    SendToMenu(MenuTable::kWidgetPropertyBarMenu, MSG_CloseMenu);
    PlaySound("QUORBSound/Editor/DeleteWidget");
}
} // namespace QUORB
