// Stretching a new platform, bar or accelerator while its button is held: the drag operations of
// the creating state. The widget runs from the press point to the cursor; once the stretch grows
// long it becomes a chain of segments, each a whole widget (connection, two soft nodes, charge
// field) whose first node hangs on the previous segment's last. Every segment beyond the first
// costs one budget unit and gives it back when the chain shrinks again. The chain is the
// selection: the first segment heads the list, the far one is the primary.
#include "game/manipulator/WidgetManipulator.h"

#include "common/math/MathUtil.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/phy/PhysicsComp.h"
#include "game/app/CQUORB.h"
#include "game/manipulator/WidgetManipulatorHelpers.h"
#include "game/nodes/ConnectionComp.h"
#include "game/nodes/GobIDComp.h"
#include "game/nodes/NodeDataComp.h"
#include "game/room/CPuzzle.h"
#include "game/widgets/CAcceleratorData.h"
#include "game/widgets/WidgetDataComp.h"

#include <algorithm>
#include <cmath>

namespace QUORB
{
using namespace manipulator;

namespace
{
// The widget's turn for a long axis along d on the face (x along d on the front and back, z on
// the sides, facing out of the room); false without a focused face.
bool SegmentTurn(int face, const math::Vector3& d, const math::Vector3& n, math::Quaternion& out)
{
    switch (face)
    {
    case 0:
        out.SetFromDirections(d, -n);
        return true;
    case 1:
        out.SetFromDirections(-n, d);
        return true;
    case 2:
        out.SetFromDirections(d, n);
        return true;
    case 3:
        out.SetFromDirections(n, d);
        return true;
    default:
        return false;
    }
}

void PlaceNode(Gob* node, const math::Vector3& at)
{
    if (POVComp* pov = GetPOVComp(node))
        pov->SetPosition(at, false);
}
} // namespace

void WidgetManipulator::DragPlatform()
{
    StretchNewWidget("Platform");
}

void WidgetManipulator::DragBar()
{
    const int face = FocusedFace();
    if (LongAxisIsX(face))
        StretchNewWidget("Bar");
    else if (LongAxisIsZ(face))
        StretchNewWidget("BarAlt");
}

void WidgetManipulator::DragAccelerator()
{
    StretchNewWidget("Accelerator");
    const int face = FocusedFace();
    std::vector<Gob*> segments = GetSelectionList();
    segments.push_back(GetSelectedGob());
    for (Gob* segment : segments)
    {
        const POVComp* pov = GetPOVComp(segment);
        const WidgetDataComp* comp = WidgetDataComp::Of(segment);
        CAcceleratorData* data = comp != nullptr ? comp->AsAcceleratorData() : nullptr;
        if (pov == nullptr || data == nullptr)
            continue;
        // Each segment pushes along its own length.
        if (LongAxisIsX(face))
            data->direction = pov->GetOrientation().GetXAxis();
        else if (LongAxisIsZ(face))
            data->direction = pov->GetOrientation().GetZAxis();
    }
}

void WidgetManipulator::StretchNewWidget(const std::string& type)
{
    CPuzzle* puzzle = FocusedPuzzle();
    Gob* first = Live(m_selectedID);
    if (puzzle == nullptr || first == nullptr)
        return;
    const math::Vector3 start = m_pressFacePoint;
    const math::Vector3 v = m_cursorFacePoint - start;
    const float length = v.Length();
    const math::Vector3 d =
        math::IsZero(v.LengthSquared()) ? math::Vector3(0.0f, 1.0f, 0.0f) : v.GetNormalized();
    const float unit = std::sqrt(ConnectionComp::GetMinLength());
    const std::size_t present = 1 + m_selectionList.size();
    const std::size_t wanted =
        std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(0.5f * length / unit)));

    // Growing: one unit for each segment, given back when no segment could be built.
    for (std::size_t i = present; i < wanted; ++i)
    {
        const int paid = puzzle->SpendBudget(type);
        math::Vector3 position;
        math::Quaternion orientation(0.0f, 0.0f, 0.0f, 0.0f);
        math::Vector3 scale;
        math::Vector3 stretch;
        ComputeCreationPlacement(position, orientation, scale, stretch);
        Gob* segment = nullptr;
        InvokeCreateFunctor(type, segment, position, orientation, scale, &stretch);
        if (segment == nullptr)
        {
            puzzle->RefundBudget(paid);
            continue;
        }
        KeepPaid(puzzle, segment, paid);
        if (dorvo::phy::PhysicsComp* physics = dorvo::phy::GetPhysicsComp(segment))
        {
            physics->immovable = true;
            physics->savedImmovable = true;
        }
        // The new segment's first node hangs on the far node of the chain so far.
        const ConnectionComp* previous = ConnectionComp::Of(Live(m_selectedID));
        const ConnectionComp* added = ConnectionComp::Of(segment);
        if (previous != nullptr && added != nullptr)
            if (NodeDataComp* nodeA = NodeDataComp::Of(added->GetNodeA()))
                nodeA->AttachToMaster(previous->GetNodeB());
        m_selectionList.push_back(m_selectedID);
        m_selectedID = segment->GetID();
        AddWidgetDragNodes(segment);
    }

    // Shrinking: the far segments go again, one unit back each.
    for (std::size_t i = wanted; i < present && !m_selectionList.empty(); ++i)
    {
        Gob* removed = Live(m_selectedID);
        const ConnectionComp* connection = ConnectionComp::Of(removed);
        Gob* nodeA = connection != nullptr ? connection->GetNodeA() : nullptr;
        Gob* nodeB = connection != nullptr ? connection->GetNodeB() : nullptr;
        if (removed != nullptr)
        {
            const int paid = PaidFor(removed);
            if (CQUORB* game = Game())
                game->RemoveWidgetFromFocusedPuzzle(removed->GetID());
            // Its charge field goes in the same frame (the owner's link would take it one later).
            GobManager& gobs = GobManager::Instance();
            const GobIDComp* link = GobIDComp::Of(removed);
            gobs.KillGob(link != nullptr ? link->GetLinkedGob() : nullptr);
            gobs.KillGob(removed);
            for (Gob* node : {nodeA, nodeB})
            {
                if (node == nullptr)
                    continue;
                gobs.KillGob(node);
                // Off the previous segment's far node, and nothing left naming it.
                if (NodeDataComp* data = NodeDataComp::Of(node))
                    data->DetachAll();
                DropDragNode(node);
            }
            puzzle->RefundBudget(paid);
        }
        m_selectedID = m_selectionList.back();
        m_selectionList.pop_back();
    }

    // Layout: the segments share the stretch evenly; a single one is never shorter than the
    // shortest connection.
    std::vector<std::uint32_t> chain = m_selectionList;
    chain.push_back(m_selectedID);
    const std::size_t count = chain.size();
    const float s = count == 1 ? std::max(length, unit) : length / static_cast<float>(count);
    const int face = FocusedFace();
    const math::Vector3 n = FaceNormal();
    math::Quaternion turn;
    const bool turned = SegmentTurn(face, d, n, turn);
    math::Quaternion fieldTurn;
    fieldTurn.SetFromDirections(d, -n);
    for (std::size_t i = 0; i < count; ++i)
    {
        Gob* segment = Live(chain[i]);
        POVComp* pov = GetPOVComp(segment);
        if (pov == nullptr)
            continue;
        const math::Vector3 a = start + d * (static_cast<float>(i) * s);
        const math::Vector3 b = start + d * (static_cast<float>(i + 1) * s);
        const math::Vector3 middle = (a + b) * 0.5f;
        pov->SetPosition(middle, false);
        if (turned)
            pov->SetOrientation(turn, false);
        math::Vector3 scale = pov->GetScale();
        if (LongAxisIsX(face))
            scale.x = s;
        else if (LongAxisIsZ(face))
            scale.z = s;
        pov->SetScale(scale, false);
        if (const ConnectionComp* connection = ConnectionComp::Of(segment))
        {
            PlaceNode(connection->GetNodeA(), a);
            PlaceNode(connection->GetNodeB(), b);
        }
        const GobIDComp* link = GobIDComp::Of(segment);
        if (POVComp* field = GetPOVComp(link != nullptr ? link->GetLinkedGob() : nullptr))
        {
            field->SetPosition(middle, false);
            field->SetOrientation(fieldTurn, false);
            field->SetScale(LongAxisIsZ(face) ? math::Vector3(scale.z, scale.y, scale.x) : scale, false);
        }
    }
}

void WidgetManipulator::DropDragNode(Gob* node)
{
    if (node == nullptr)
        return;
    const std::uint32_t id = node->GetID();
    const auto found = std::find_if(m_dragNodes.begin(), m_dragNodes.end(),
                                    [id](const DragNode& entry) { return entry.node == id; });
    if (found == m_dragNodes.end())
        return;
    // The place it would have snapped to loses its highlight, unless another grabbed node
    // still shows it.
    const std::uint32_t target = found->snapTarget;
    RemoveDragNode(node);
    const bool shownElsewhere =
        std::any_of(m_dragNodes.begin(), m_dragNodes.end(),
                    [target](const DragNode& entry) { return entry.snapTarget == target; });
    if (target != 0 && !shownElsewhere)
        RemoveHighlight(Live(target));
}
} // namespace QUORB
