// Node groups: snapping, attaching and detaching in the editor, the members' joints when a puzzle
// plays, and breaking a node out of its group when the star object hits its widget.
#include "game/nodes/NodeDataComp.h"

#include "common/COctTree.h"
#include "common/SOctNode.h"
#include "common/math/AABB.h"
#include "common/math/Quaternion.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/gfx/mesh/GfxModelComp.h"
#include "engine/phy/PhysicsComp.h"
#include "engine/phy/PointConstraint.h"
#include "game/app/StartupGlobals.h"
#include "game/nodes/ConnectionComp.h"
#include "game/room/FindComp.h"
#include "platform/log.h"

#include <algorithm>
#include <limits>

namespace QUORB
{
namespace
{
void SetModelVisible(Gob* gob, bool visible)
{
    if (gob == nullptr)
        return;
    if (auto* model = FindComp<dorvo::gfx::GfxModelComp>(gob))
        model->SetVisible(visible);
    else
        DORVO_LOG("NodeDataComp: archetype \"%s\": the node has no GfxModelComp; it cannot be %s",
                  gob->GetArchetypeName().c_str(), visible ? "shown" : "hidden");
}

// The body of a node's connection; a connection without one is named and skipped.
dorvo::phy::PhysicsComp* BodyOf(Gob* widget)
{
    dorvo::phy::PhysicsComp* body = dorvo::phy::GetPhysicsComp(widget);
    if (body == nullptr && widget != nullptr)
        DORVO_LOG(
            "NodeDataComp: archetype \"%s\": the widget has no PhysicsComp; its node's joint is skipped",
            widget->GetArchetypeName().c_str());
    return body;
}

// The ids of every object filed in the oct tree near enough to lie within `reach` of `centre`,
// ascending, without `self`. Every oct-tree node overlapping the reach box is read, so an object
// filed in a neighbouring branch is seen as well as one filed above or below this node.
std::vector<std::uint32_t> IdsNear(const math::Vector3& centre, float reach, std::uint32_t self)
{
    const math::Vector3 extent(reach, reach, reach);
    std::vector<const common::SOctNode*> regions;
    common::COctTree::Global().CollectNodesOverlapping(math::AABB(centre - extent, centre + extent), regions);
    std::vector<std::uint32_t> ids;
    for (const common::SOctNode* region : regions)
        for (std::uint32_t key : region->m_Keys)
            if (key != self)
                ids.push_back(key);
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

// Whether the node ends the same connection as one of the nodes listed.
bool SharesConnection(const NodeDataComp& node, const std::vector<Gob*>& nodes)
{
    for (Gob* other : nodes)
        if (node.IsOnSameConnection(other))
            return true;
    return false;
}
} // namespace

Gob* NodeDataComp::GetMasterGob() const
{
    return m_masterID != 0 ? GobManager::Instance().GetGob(m_masterID) : nullptr;
}

NodeDataComp* NodeDataComp::GetMaster() const
{
    return Of(GetMasterGob());
}

float NodeDataComp::GetSnapRadius() const
{
    const POVComp* pov = GetPOVComp();
    return pov != nullptr ? 0.8f * (2.0f * pov->GetScale().y) : 0.0f;
}

void NodeDataComp::AttachToMaster(Gob* master)
{
    Gob* self = GetOwner();
    NodeDataComp* group = Of(master);
    if (group == nullptr || self == nullptr || master == self)
        return;
    m_masterID = master->GetID();
    group->AddMember(self->GetID());
    SetModelVisible(self, false);
    SetModelVisible(master, true);
}

void NodeDataComp::DetachAll()
{
    GobManager& gobs = GobManager::Instance();
    while (!m_members.empty())
    {
        const std::uint32_t id = m_members.front();
        m_members.erase(m_members.begin());
        if (NodeDataComp* member = Of(gobs.GetGob(id)))
        {
            member->m_masterID = 0;
            SetModelVisible(member->GetOwner(), true);
            member->m_pointConstraint->Disable();
        }
    }
    if (m_masterID == 0)
        return;
    if (NodeDataComp* master = GetMaster())
        master->RemoveMember(GetOwner() != nullptr ? GetOwner()->GetID() : 0);
    else
        // The master is gone: this node stands alone again and must not stay hidden.
        SetModelVisible(GetOwner(), true);
    m_pointConstraint->Disable();
    m_masterID = 0;
}

Gob* NodeDataComp::FindNearestNode(std::vector<Gob*>& found, bool hard)
{
    Gob* self = GetOwner();
    if (self == nullptr || GetPOVComp() == nullptr)
        return nullptr;
    const math::Vector3 here = GetPosition();
    const float reach = GetSnapRadius();
    GobManager& gobs = GobManager::Instance();
    Gob* best = nullptr;
    float bestDistance = std::numeric_limits<float>::infinity();
    for (std::uint32_t id : IdsNear(here, reach, self->GetID()))
    {
        Gob* gob = gobs.GetGob(id);
        const NodeDataComp* node = Of(gob);
        if (node == nullptr || gob->GetTemplateName() != "Node" || gob->IsKilled())
            continue;
        const float distance = Distance(here, node->GetPosition());
        if (!(distance < reach))
            continue;
        if (hard)
        {
            found.push_back(gob);
            continue;
        }
        if (gob == self || IsOnSameConnection(gob))
            continue;
        found.push_back(gob);
        if (node->IsOnUnmodifiableWidget())
        {
            best = gob;
            bestDistance = distance;
            continue;
        }
        const bool hardNode = gob->GetArchetypeName() == "HardNode";
        if ((distance < bestDistance || hardNode) && node->m_masterID == 0)
        {
            best = gob;
            bestDistance = distance;
            if (hardNode)
                break;
        }
    }
    return hard ? self : best;
}

bool NodeDataComp::HasNearbyNode()
{
    std::vector<Gob*> scratch;
    return FindNearestNode(scratch, m_connectionID == 0) != nullptr;
}

void NodeDataComp::GatherOnto(Gob* master, const std::vector<Gob*>& found, bool withJoints)
{
    // The two ends of one widget never join one group: the widget would shrink to nothing.
    std::vector<Gob*> gathered{master};
    for (Gob* gob : found)
    {
        NodeDataComp* node = Of(gob);
        if (node == nullptr || std::find(gathered.begin(), gathered.end(), gob) != gathered.end() ||
            SharesConnection(*node, gathered))
            continue;
        node->DetachAll();
        node->MoveOnto(master);
        node->AttachToMaster(master);
        if (withJoints)
            node->BuildConstraint();
        gathered.push_back(gob);
    }
}

void NodeDataComp::SnapToNearestNode()
{
    const bool hard = m_connectionID == 0;
    std::vector<Gob*> found;
    Gob* master = FindNearestNode(found, hard);
    if (master == nullptr)
        return;
    DetachAll();
    if (!hard)
    {
        MoveOnto(master);
        AttachToMaster(master);
    }
    GatherOnto(master, found, false);
}

void NodeDataComp::BuildConstraint()
{
    const NodeDataComp* master = GetMaster();
    Gob* widget = GetConnectionGob();
    if (master == nullptr || widget == nullptr)
        return;
    dorvo::phy::PhysicsComp* body = BodyOf(widget);
    const POVComp* widgetPov = ::GetPOVComp(widget);
    if (body == nullptr || widgetPov == nullptr)
        return;
    // Anchors are turned into each body's own frame by the inverse of its orientation.
    auto local = [](const POVComp& pov, const math::Vector3& point)
    { return pov.GetOrientation().GetConjugate().Rotate(point - pov.GetPosition()); };
    const math::Vector3 masterPosition = master->GetPosition();
    if (master->IsHard())
    {
        m_pointConstraint->SetWorld(body, local(*widgetPov, masterPosition), masterPosition, kJointTolerance,
                                    kJointCorrectionTime, 0.0f);
    }
    else
    {
        Gob* masterWidget = master->GetConnectionGob();
        dorvo::phy::PhysicsComp* masterBody = BodyOf(masterWidget);
        const POVComp* masterPov = ::GetPOVComp(masterWidget);
        if (masterBody == nullptr || masterPov == nullptr)
            return;
        const math::Vector3 here = GetPosition();
        const auto breakDistance = static_cast<float>(StartupGlobals::Number("NODE_BREAK_DISTANCE"));
        m_pointConstraint->Set(masterBody, body, local(*masterPov, here), local(*widgetPov, here),
                               kJointTolerance, kJointCorrectionTime, breakDistance);
    }
    m_pointConstraint->Enable();
}

void NodeDataComp::BreakFromGroup()
{
    Gob* self = GetOwner();
    if (m_masterID != 0)
    {
        NodeDataComp* master = GetMaster();
        if (master != nullptr && master->IsHard())
            return; // a node held by a hard node cannot be knocked off
        SetModelVisible(self, true);
        if (master != nullptr && self != nullptr)
            master->RemoveMember(self->GetID());
        m_masterID = 0;
        m_pointConstraint->Break();
        return;
    }
    // A master: its group dissolves and re-forms without it. Every member is freed (a hard
    // member too, which would otherwise name a master that no longer lists it); the members stay
    // hidden, as they are about to join the new master.
    GobManager& gobs = GobManager::Instance();
    for (std::uint32_t id : m_members)
        if (NodeDataComp* member = Of(gobs.GetGob(id)))
        {
            member->m_masterID = 0;
            member->m_pointConstraint->Disable();
        }
    m_members.clear();
    std::vector<Gob*> found;
    if (Gob* master = FindNearestNode(found, m_connectionID == 0))
        GatherOnto(master, found, true);
}
} // namespace QUORB
