// What the manipulator's states do: creating where the player presses and filing the new object
// when the button is let go, moving and adjusting the selection, the release operations, the
// hover and pick highlights, the snap highlights of grabbed nodes and deleting one object.
#include "game/manipulator/WidgetManipulator.h"

#include "common/ConsoleInterface.h"
#include "common/math/MathUtil.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/gfx/mesh/GfxModelComp.h"
#include "engine/phy/CollisionFunctorData.h"
#include "engine/phy/PhysicsComp.h"
#include "game/app/CQUORB.h"
#include "game/app/MenuSend.h"
#include "game/app/MenuState.h"
#include "game/manipulator/WidgetManipulatorHelpers.h"
#include "game/nodes/ConnectionComp.h"
#include "game/nodes/GobIDComp.h"
#include "game/nodes/NodeDataComp.h"
#include "game/objectives/CWaterControl.h"
#include "game/objectives/ObjectiveComp.h"
#include "game/room/CPuzzle.h"
#include "game/room/FindComp.h"

#include <algorithm>
#include <cmath>

namespace QUORB
{
using namespace manipulator;

namespace
{
bool IsStretchedWidgetType(const std::string& type)
{
    return type == "Platform" || type == "Bar" || type == "BarAlt" || type == "Accelerator";
}

bool IsPlacedAtPressType(const std::string& type)
{
    return type == "HardNode" || type == "QUORBBall" || type == "QUORBBox" || type == "LocationObjective" ||
           type == "TargetObjective" || type == "WaterObjective" || type == "TimerObjective" ||
           type == "SquashObjective" || type == "DestructionObjective";
}

void SetImmovable(Gob* gob)
{
    if (dorvo::phy::PhysicsComp* physics = dorvo::phy::GetPhysicsComp(gob))
    {
        physics->immovable = true;
        physics->savedImmovable = true;
    }
}

CWaterControl* WaterControlOf(Gob* gob)
{
    ObjectiveComp* comp = ObjectiveComp::Of(gob);
    return comp != nullptr ? comp->AsWaterControl() : nullptr;
}

// The property bar opened for the new or picked object, the value menu closed.
void OpenPropertyBar()
{
    SendToMenu(MenuTable::kWidgetPropertyBarMenu, MSG_ResetMenu);
    if (GetMenuState(MenuTable::kWidgetPropertyBarMenu) <= 1)
        SendToMenu(MenuTable::kWidgetPropertyBarMenu, MSG_OpenMenuEx);
    SendToMenu(MenuTable::kPropValueMenu, MSG_CloseMenu);
}
} // namespace

// ---- creating ----

void WidgetManipulator::ComputeCreationPlacement(math::Vector3& position, math::Quaternion& orientation,
                                                 math::Vector3& scale, math::Vector3& stretch) const
{
    const math::Vector3 up(0.0f, 1.0f, 0.0f);
    const math::Vector3 n = FaceNormal();
    const int face = FocusedFace();
    const std::string& type = m_currentWidgetType;
    stretch = m_cursorFacePoint - m_pressFacePoint;
    if (IsStretchedWidgetType(type))
    {
        // A click without a drag gives the shortest widget, standing up.
        if (math::IsZero(stretch.LengthSquared()))
            stretch = up * std::sqrt(ConnectionComp::GetMinLength());
        position = m_pressFacePoint + stretch * 0.5f;
        switch (face)
        {
        case 0:
            orientation.SetFromDirections(stretch, -n);
            break;
        case 1:
            orientation.SetFromDirections(-n, stretch);
            break;
        case 2:
            orientation.SetFromDirections(stretch, n);
            break;
        case 3:
            orientation.SetFromDirections(n, stretch);
            break;
        default:
            break;
        }
        if (LongAxisIsX(face))
            scale.x = stretch.Length();
        else if (LongAxisIsZ(face))
            scale.z = stretch.Length();
    }
    else if (type == "GravitySwitch" || type == "Magnet")
    {
        position = m_pressFacePoint;
        orientation.SetFromDirections(up, -n);
    }
    else if (IsPlacedAtPressType(type))
    {
        position = m_pressFacePoint;
        orientation.SetFromDirection(n);
    }
}

void WidgetManipulator::InvokeCreateFunctor(const std::string& type, Gob*& out, const math::Vector3& position,
                                            const math::Quaternion& orientation, const math::Vector3& scale,
                                            const math::Vector3* direction)
{
    const auto found = m_createFunctors.find(type);
    if (found != m_createFunctors.end())
        found->second(out, position, orientation, scale, direction);
}

void WidgetManipulator::CreateByType()
{
    m_createdThisPress = true;
    m_prevCursorFacePoint = m_cursorFacePoint;
    if (!ScreenToFacePlane(m_pressScreenPos + m_dragVector, m_cursorFacePoint))
        return;
    CPuzzle* puzzle = FocusedPuzzle();
    const std::string type = m_currentWidgetType;
    if (puzzle == nullptr)
        return;
    // A puzzle file holds no more objects than its reader takes back.
    if (puzzle->LiveObjectCount() >= CPuzzle::kMaxObjects)
    {
        ShowEditorMessage("A puzzle holds at most " + std::to_string(CPuzzle::kMaxObjects) + " objects.");
        return;
    }
    const int paid = puzzle->SpendBudget(type);
    // A widget started on a node starts at the node's centre.
    if (const POVComp* node = GetPOVComp(Live(m_pressNodeID)))
        m_pressFacePoint = node->GetPosition();

    math::Vector3 position;
    math::Quaternion orientation(0.0f, 0.0f, 0.0f, 0.0f);
    math::Vector3 scale;
    math::Vector3 stretch;
    ComputeCreationPlacement(position, orientation, scale, stretch);
    Gob* gob = nullptr;
    m_refusalShown = false;
    InvokeCreateFunctor(type, gob, position, orientation, scale, &stretch);
    if (gob == nullptr)
    {
        // A refusal has been shown already; anything else made nothing of the type.
        if (!m_refusalShown)
            common::ConsoleInterface::ShowLine("Error: Bad widget creation type");
        // Nothing was placed, so nothing is paid for.
        puzzle->RefundBudget(paid);
        return;
    }
    KeepPaid(puzzle, gob, paid);
    SetImmovable(gob);

    // The new object is the whole selection: the chain it may stretch into joins the list.
    RemoveHighlight(Live(m_selectedID));
    for (std::uint32_t id : m_selectionList)
        RemoveHighlight(Live(id));
    m_selectionList.clear();
    m_selectedID = gob->GetID();
    if (gob->GetTemplateName() == "Widget")
        AddWidgetDragNodes(gob);
    m_creating = true;
}

void WidgetManipulator::UpdateCreating()
{
    if (!m_creating)
        return;
    m_prevCursorFacePoint = m_cursorFacePoint;
    if (!ScreenToFacePlane(m_pressScreenPos + m_dragVector, m_cursorFacePoint))
        return;
    Gob* primary = Live(m_selectedID);
    if (primary == nullptr)
        return;
    const auto found = m_dragFunctors.find(primary->GetArchetypeName());
    if (found == m_dragFunctors.end())
        return;
    found->second();
    UpdateSnapHighlights();
}

void WidgetManipulator::FinishCreating()
{
    // Only an object this creation made is filed: when the entry made nothing the primary may be
    // the node the press picked, which is no widget of the puzzle's.
    const bool created = m_creating;
    m_creating = false;
    Gob* primary = Live(m_selectedID);
    if (!created || primary == nullptr)
        return;
    if (m_deleteRequested)
    {
        // Not filed: the deleting state that follows deletes it with its refund.
        ClearCurrentWidgetType();
        return;
    }
    FinishManipulation();
    CQUORB* game = Game();
    const std::string kind = primary->GetTemplateName();
    if (game != nullptr)
    {
        if (kind == "Widget" || kind == "Node")
            game->AddWidgetToFocusedPuzzle(primary->GetID());
        else if (kind == "QUORB")
            game->AddQuorbToFocusedPuzzle(primary->GetID());
        else if (kind == "Objective")
            game->AddObjectiveToFocusedPuzzle(primary->GetID());
        for (std::uint32_t id : m_selectionList)
            if (Live(id) != nullptr)
                game->AddWidgetToFocusedPuzzle(id);
    }
    HighlightPicked(primary);
    for (std::uint32_t id : m_selectionList)
        HighlightPicked(Live(id));
    if (kind != "Node")
        OpenPropertyBar();
}

// ---- moving and adjusting ----

void WidgetManipulator::UpdateMoving()
{
    Gob* primary = Live(m_selectedID);
    if (primary == nullptr || !ScreenToFacePlane(m_pressScreenPos + m_dragVector, m_manipulationPoint))
        return;
    const math::Vector3 delta = m_manipulationPoint - m_lastDragPoint;
    if (math::IsZero(delta.LengthSquared()))
        return;
    const std::string& kind = primary->GetTemplateName();
    const std::string& archetype = primary->GetArchetypeName();
    // A widget between two nodes moves by its nodes; a magnet or gravity switch, a widget of its
    // own, moves as the objects below do.
    if (kind == "Node")
        MoveNodeBy(primary, delta);
    else if (kind == "Widget" && ConnectionComp::Of(primary) != nullptr)
        MoveWidgetBy(primary, delta);
    else if (archetype == "WaterObjective" || archetype == "WaterEndObjective")
        MoveWaterPair(primary, delta);
    else
    {
        std::vector<Gob*> moved{primary};
        for (Gob* listed : GetSelectionList())
            moved.push_back(listed);
        for (Gob* gob : moved)
            if (POVComp* pov = GetPOVComp(gob))
                pov->SetPosition(pov->GetPosition() + delta, false);
    }
    m_lastDragPoint = m_manipulationPoint;
    UpdateSnapHighlights();
}

// The pair is moved with the oct tree told: no release operation re-files the end marker, and a
// stale filing would hide it from the picker.
void WidgetManipulator::MoveWaterPair(Gob* moved, const math::Vector3& delta)
{
    POVComp* pov = GetPOVComp(moved);
    if (pov == nullptr)
        return;
    pov->SetPosition(pov->GetPosition() + delta, true);
    const GobIDComp* link = GobIDComp::Of(moved);
    Gob* linked = link != nullptr ? link->GetLinkedGob() : nullptr;
    if (POVComp* linkedPov = GetPOVComp(linked))
        linkedPov->SetPosition(linkedPov->GetPosition() + math::Vector3(delta.x, 0.0f, delta.z), true);
    const float height = pov->GetPosition().y;
    if (CWaterControl* water = WaterControlOf(moved))
    {
        if (CQUORB* game = Game())
            game->SetWaterLevel(height);
        if (CPuzzle* puzzle = FocusedPuzzle())
            puzzle->SetWaterLevel(height);
        water->SetBeginWaterLevel(height);
    }
    else if (CWaterControl* water = WaterControlOf(linked))
        water->SetEndWaterLevel(height);
}

void WidgetManipulator::UpdateAdjusting()
{
    Gob* primary = Live(m_selectedID);
    if (primary == nullptr || !ScreenToFacePlane(m_pressScreenPos + m_dragVector, m_manipulationPoint))
        return;
    const auto found = m_adjustFunctors.find(primary->GetArchetypeName());
    if (found != m_adjustFunctors.end())
        found->second();
}

void WidgetManipulator::FinishManipulation()
{
    Gob* primary = Live(m_selectedID);
    if (primary == nullptr)
        return;
    const auto found = m_releaseFunctors.find(primary->GetArchetypeName());
    if (found == m_releaseFunctors.end())
        return;
    found->second();
    ClearSnapHighlights();
}

// ---- hover ----

void WidgetManipulator::UpdateHover()
{
    if (!CanEdit())
        return;
    Gob* under = nullptr;
    math::Vector3 screen;
    PickAtCursor(under, screen);
    Gob* candidate = nullptr;
    if (under != nullptr)
    {
        const std::string& kind = under->GetTemplateName();
        const bool pickable = kind == "Widget" || kind == "Node" ||
                              (IsCreatePuzzleMode() && (kind == "QUORB" || kind == "Objective"));
        if (pickable && !under->IsKilled())
            candidate = under;
        // A locked node still shows where a new widget may start.
        if (candidate != nullptr && IsLockedForPlayer(candidate, kind == "Widget", kind == "Node"))
        {
            const std::string& type = m_currentWidgetType;
            const bool startsWidget = type == "Platform" || type == "Bar" || type == "Accelerator";
            if (!(kind == "Node" && startsWidget))
                candidate = nullptr;
        }
    }
    const std::uint32_t candidateID = candidate != nullptr ? candidate->GetID() : 0;
    if (candidateID != m_hoverID)
    {
        if (Gob* hovered = Live(m_hoverID))
        {
            const bool keep = IsSelected(m_hoverID) && (!m_rightDown || !m_selectionList.empty());
            if (!keep)
                RemoveHighlight(hovered);
        }
        if (candidate != nullptr && (!m_rightDown || candidateID == m_selectedID))
            HighlightPicked(candidate);
    }
    m_hoverID = candidateID;
}

// ---- highlights ----

void WidgetManipulator::HighlightPicked(Gob* gob)
{
    auto* model = FindComp<dorvo::gfx::GfxModelComp>(gob);
    if (model == nullptr || model->GetFXFile() == kPickedEffect || model->GetTechnique() == kPickedTechnique)
        return;
    // A gravity switch's glow keeps the switch's own names saved: saving the glow's instead would
    // let the glow's restore and this highlight's removal both bring the glow back for good.
    if (model->GetTechnique() != kGlowTechnique)
    {
        model->SetSavedFXFile(model->GetFXFile());
        model->SetSavedTechnique(model->GetTechnique());
    }
    model->SetFXFile(kPickedEffect);
    model->SetTechnique(kPickedTechnique);
}

void WidgetManipulator::RemoveHighlight(Gob* gob)
{
    auto* model = FindComp<dorvo::gfx::GfxModelComp>(gob);
    if (model == nullptr)
        return;
    if (!model->GetSavedFXFile().empty())
        model->RestoreSavedEffect();
    if (!model->GetSavedTechnique().empty())
        model->RestoreSavedTechnique();
}

void WidgetManipulator::UpdateSnapHighlights()
{
    if (m_deleteRequested)
        return;
    for (DragNode& entry : m_dragNodes)
    {
        Gob* target = FindSnapTarget(Live(entry.node));
        const std::uint32_t targetID = target != nullptr ? target->GetID() : 0;
        if (targetID != entry.snapTarget)
        {
            RemoveHighlight(Live(entry.snapTarget));
            HighlightPicked(target);
        }
        entry.snapTarget = targetID;
    }
}

void WidgetManipulator::ClearSnapHighlights()
{
    for (const DragNode& entry : m_dragNodes)
        RemoveHighlight(Live(entry.snapTarget));
    m_dragNodes.clear();
}

// ---- grabbed nodes ----

void WidgetManipulator::AddDragNode(Gob* gob)
{
    if (gob != nullptr)
        m_dragNodes.push_back(DragNode{gob->GetID(), 0});
}

void WidgetManipulator::AddWidgetDragNodes(Gob* widget)
{
    const ConnectionComp* connection = ConnectionComp::Of(widget);
    Gob* a = connection != nullptr ? connection->GetNodeA() : nullptr;
    Gob* b = connection != nullptr ? connection->GetNodeB() : nullptr;
    if (a != nullptr && b != nullptr)
    {
        AddDragNode(a);
        AddDragNode(b);
    }
}

void WidgetManipulator::RemoveDragNode(Gob* gob)
{
    if (gob == nullptr)
        return;
    const std::uint32_t id = gob->GetID();
    const auto found = std::find_if(m_dragNodes.begin(), m_dragNodes.end(),
                                    [id](const DragNode& entry) { return entry.node == id; });
    if (found != m_dragNodes.end())
        m_dragNodes.erase(found);
}

void WidgetManipulator::RemoveWidgetDragNodes(Gob* widget)
{
    const ConnectionComp* connection = ConnectionComp::Of(widget);
    Gob* a = connection != nullptr ? connection->GetNodeA() : nullptr;
    Gob* b = connection != nullptr ? connection->GetNodeB() : nullptr;
    if (a != nullptr && b != nullptr)
    {
        RemoveDragNode(a);
        RemoveDragNode(b);
    }
}

// ---- deleting one object ----

void WidgetManipulator::DeleteGob(Gob* gob)
{
    // An object killed already (the other end of a widget deleted a moment ago) is gone, and so
    // is its refund.
    if (gob == nullptr || gob->IsKilled())
        return;
    GobManager& gobs = GobManager::Instance();
    CQUORB* game = Game();
    CPuzzle* puzzle = FocusedPuzzle();
    const std::string kind = gob->GetTemplateName();
    const std::uint32_t id = gob->GetID();
    if (kind == "Widget")
    {
        if (game != nullptr)
            game->RemoveWidgetFromFocusedPuzzle(id);
        if (puzzle != nullptr)
            puzzle->RefundBudget(PaidFor(gob));
        gobs.KillGob(gob);
        if (const ConnectionComp* connection = ConnectionComp::Of(gob))
        {
            Gob* a = connection->GetNodeA();
            Gob* b = connection->GetNodeB();
            for (Gob* node : {a, b})
                if (node != nullptr)
                    gobs.KillGob(node);
            if (a != nullptr && b != nullptr)
            {
                DetachNodeGroup(a);
                DetachNodeGroup(b);
            }
        }
    }
    else if (kind == "Node")
    {
        const NodeDataComp* node = NodeDataComp::Of(gob);
        if (Gob* owner = node != nullptr ? Live(node->GetConnectionID()) : nullptr)
        {
            DeleteGob(owner);
            return;
        }
        if (game != nullptr)
            game->RemoveWidgetFromFocusedPuzzle(id);
        gobs.KillGob(gob);
        DetachNodeGroup(gob);
    }
    else if (kind == "QUORB")
    {
        if (game != nullptr)
            game->RemoveQuorbFromFocusedPuzzle(id);
        gobs.KillGob(gob);
    }
    else if (kind == "Objective")
    {
        const ObjectiveComp* objective = ObjectiveComp::Of(gob);
        const GobIDComp* link = GobIDComp::Of(gob);
        Gob* linked = link != nullptr ? Live(link->GetLinkedID()) : nullptr;
        // An objective goes with its end marker, and the marker with its objective.
        Gob* objectiveGob = objective != nullptr && objective->GetObjective() != nullptr ? gob : linked;
        if (objectiveGob == nullptr)
        {
            if (game != nullptr)
                game->RemoveObjectiveFromFocusedPuzzle(id);
            gobs.KillGob(gob);
            return;
        }
        const std::string archetype = objectiveGob->GetArchetypeName();
        if (game != nullptr)
            game->RemoveObjectiveFromFocusedPuzzle(objectiveGob->GetID());
        gobs.KillGob(gob);
        if (linked != nullptr && (archetype == "WaterObjective" || objectiveGob == linked))
            gobs.KillGob(linked);
        if (archetype == "WaterObjective")
        {
            if (game != nullptr)
                game->RestoreWaterLevel();
            if (puzzle != nullptr)
                puzzle->SetHasWater(false);
        }
        else if (archetype == "TimerObjective")
            SendToMenu(MenuTable::kTimerObjMenu, MSG_CloseMenu);
    }
}

// ---- release operations ----

void WidgetManipulator::ReleaseSoftNodeWidget()
{
    std::vector<Gob*> widgets{Live(m_selectedID)};
    for (Gob* listed : GetSelectionList())
        widgets.push_back(listed);
    for (Gob* widget : widgets)
    {
        ConnectionComp* connection = ConnectionComp::Of(widget);
        if (connection == nullptr)
            continue;
        SnapWidgetNodes(widget);
        Refile(connection->GetNodeA());
        Refile(connection->GetNodeB());
        connection->UpdateFromNodes(true, true, true, true);
    }
}

void WidgetManipulator::ReleaseSoftNode()
{
    Gob* node = Live(m_selectedID);
    if (node == nullptr)
        return;
    SnapNodeToNearest(node);
    Refile(node);
    const NodeDataComp* data = NodeDataComp::Of(node);
    if (ConnectionComp* owner = ConnectionComp::Of(data != nullptr ? Live(data->GetConnectionID()) : nullptr))
        owner->UpdateFromNodes(true, true, true, true);
}

void WidgetManipulator::ReleaseHardNode()
{
    Gob* node = Live(m_selectedID);
    if (node == nullptr)
        return;
    SnapNodeToNearest(node);
    Refile(node);
}

void WidgetManipulator::ReleaseGravitySwitch()
{
    Refile(Live(m_selectedID));
}

void WidgetManipulator::ReleaseMagnet()
{
    Gob* magnet = Live(m_selectedID);
    const POVComp* pov = GetPOVComp(magnet);
    if (pov == nullptr)
        return;
    Refile(magnet);
    const GobIDComp* link = GobIDComp::Of(magnet);
    if (POVComp* field = GetPOVComp(link != nullptr ? link->GetLinkedGob() : nullptr))
        field->SetPosition(pov->GetPosition(), true);
}

void WidgetManipulator::ReleaseQuorb()
{
    Refile(Live(m_selectedID));
    for (Gob* listed : GetSelectionList())
        Refile(listed);
}

void WidgetManipulator::ReleaseLocationObjective()
{
    Refile(Live(m_selectedID));
}

void WidgetManipulator::ReleaseTargetObjective()
{
    ReleaseQuorb();
}

void WidgetManipulator::ReleaseWaterObjective()
{
    Refile(Live(m_selectedID));
}

void WidgetManipulator::ReleaseTimerObjective()
{
    Refile(Live(m_selectedID));
}

void WidgetManipulator::ReleaseSquashObjective()
{
    ReleaseQuorb();
}

void WidgetManipulator::ReleaseDestructionObjective()
{
    Refile(Live(m_selectedID));
}

void WidgetManipulator::ReleaseNothing() {}

void WidgetManipulator::DragNothing() {}

void WidgetManipulator::DragWaterObjective()
{
    Gob* objective = Live(m_selectedID);
    const GobIDComp* link = GobIDComp::Of(objective);
    POVComp* marker = GetPOVComp(link != nullptr ? link->GetLinkedGob() : nullptr);
    if (marker == nullptr)
        return;
    const math::Vector3 at = marker->GetPosition();
    marker->SetPosition(math::Vector3(at.x, m_cursorFacePoint.y, at.z), true);
    if (CWaterControl* water = WaterControlOf(objective))
        water->SetEndWaterLevel(m_cursorFacePoint.y);
}

// ---- the node groups' and node dragging's operations, one place each ----

void WidgetManipulator::SnapNodeToNearest(Gob* node)
{
    if (NodeDataComp* data = NodeDataComp::Of(node))
        data->SnapToNearestNode();
}

void WidgetManipulator::SnapWidgetNodes(Gob* widget)
{
    if (ConnectionComp* connection = ConnectionComp::Of(widget))
        connection->SnapNodes();
}

void WidgetManipulator::DetachNodeGroup(Gob* node)
{
    if (NodeDataComp* data = NodeDataComp::Of(node))
        data->DetachAll();
}

// A hard node gathers what lies around it: it shows itself as the target while anything is in
// reach.
Gob* WidgetManipulator::FindSnapTarget(Gob* node) const
{
    NodeDataComp* data = NodeDataComp::Of(node);
    if (data == nullptr)
        return nullptr;
    std::vector<Gob*> found;
    Gob* target = data->FindNearestNode(found, data->IsHard());
    return target == node && found.empty() ? nullptr : target;
}

void WidgetManipulator::MoveNodeBy(Gob* node, const math::Vector3& offset)
{
    if (NodeDataComp* data = NodeDataComp::Of(node))
        data->MoveTo(offset);
    else
        ReportMissing(node, "NodeDataComp", "moving it");
}

void WidgetManipulator::MoveWidgetBy(Gob* widget, const math::Vector3& offset)
{
    if (ConnectionComp* connection = ConnectionComp::Of(widget))
        connection->MoveBy(offset);
}

bool WidgetManipulator::BreakNodeOnHit(const dorvo::phy::CollisionFunctorData& data, unsigned int ownerID)
{
    return ConnectionComp::BreakNode(data, ownerID);
}
} // namespace QUORB
