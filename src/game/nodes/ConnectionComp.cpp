#include "game/nodes/ConnectionComp.h"

#include "common/math/Quaternion.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/SoundSystem.h"
#include "engine/phy/CollisionComp.h"
#include "engine/phy/LengthConstraint.h"
#include "engine/phy/PhysicsComp.h"
#include "game/app/CQUORB.h"
#include "game/app/StartupGlobals.h"
#include "game/nodes/NodeDataComp.h"
#include "game/room/FindComp.h"
#include "platform/log.h"

#include <tinyxml.h>

#include <algorithm>
#include <vector>

namespace QUORB
{
namespace
{
// The focused face index and its normal; false without a focused face.
bool FocusedFace(int& face, math::Vector3& normal)
{
    const CQUORB* game = CQUORB::Get();
    if (game == nullptr)
        return false;
    face = game->GetFocusedFace();
    return face >= 0 && face <= 3 && game->GetFocusedFaceNormal(normal);
}

// The long axis of a widget is its x axis on the front and back faces, its z axis on the sides.
bool LongAxisIsX(int face)
{
    return face == 0 || face == 2;
}

// The master of an end's group, or the end itself.
NodeDataComp* GroupOf(NodeDataComp* end)
{
    NodeDataComp* master = end->GetMaster();
    return master != nullptr ? master : end;
}

// An end stays put while its master is a hard node or a node of a widget the player may not
// change; an end without a (live) master is free.
bool IsHeld(const NodeDataComp& end)
{
    const NodeDataComp* master = end.GetMaster();
    return master != nullptr && (master->IsHard() || master->IsOnUnmodifiableWidget());
}
} // namespace

const char* const ConnectionComp::kTypeName = "ConnectionComp";
const char* const ConnectionComp::kBreakHandlerName = "NodeCollisionFunc";
const char* const ConnectionComp::kBreakSound = "QUORBSound/Collision/NodeBreak";

ConnectionComp::ConnectionComp() : m_lengthConstraint(std::make_unique<dorvo::phy::LengthConstraint>()) {}

ConnectionComp::~ConnectionComp() = default;

bool ConnectionComp::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlElement element("Component");
    element.SetAttribute("name", kTypeName);
    return parent->InsertEndChild(element) != nullptr;
}

bool ConnectionComp::Deserialize(const TiXmlNode* node)
{
    return node != nullptr && node->ToElement() != nullptr;
}

void ConnectionComp::SetNodes(std::uint32_t idA, std::uint32_t idB)
{
    GobManager& manager = GobManager::Instance();
    m_nodeAID = manager.GetGob(idA) != nullptr ? idA : 0;
    m_nodeBID = manager.GetGob(idB) != nullptr ? idB : 0;
}

Gob* ConnectionComp::GetNodeA() const
{
    return m_nodeAID != 0 ? GobManager::Instance().GetGob(m_nodeAID) : nullptr;
}

Gob* ConnectionComp::GetNodeB() const
{
    return m_nodeBID != 0 ? GobManager::Instance().GetGob(m_nodeBID) : nullptr;
}

void ConnectionComp::UpdateFromNodes(bool position, bool orientation, bool scale, bool refile)
{
    POVComp* nodeA = ::GetPOVComp(GetNodeA());
    POVComp* nodeB = ::GetPOVComp(GetNodeB());
    POVComp* pov = GetPOVComp();
    if (nodeA == nullptr || nodeB == nullptr || pov == nullptr)
        return;
    const math::Vector3 a = nodeA->GetPosition();
    const math::Vector3 d = nodeB->GetPosition() - a;
    int face = -1;
    math::Vector3 normal;
    const bool focused = FocusedFace(face, normal);

    if (position)
        pov->SetPosition(a + d * 0.5f, false);
    // Two nodes on one spot give no direction: the widget keeps its turn.
    if (orientation && focused && d.LengthSquared() > 0.0f)
    {
        math::Quaternion turned;
        switch (face)
        {
        case 0:
            turned.SetFromDirections(d, -normal);
            break;
        case 1:
            turned.SetFromDirections(-normal, d);
            break;
        case 2:
            turned.SetFromDirections(d, normal);
            break;
        default:
            turned.SetFromDirections(normal, d);
            break;
        }
        pov->SetOrientation(turned, false);
    }
    // The model is one unit long along its long axis.
    if (scale && focused)
    {
        math::Vector3 stretched = pov->GetScale();
        (LongAxisIsX(face) ? stretched.x : stretched.z) = d.Length();
        pov->SetScale(stretched, false);
    }
    if (refile)
        pov->SetPosition(pov->GetPosition(), true);
}

void ConnectionComp::Update(float)
{
    const auto* body = FindComp<dorvo::phy::PhysicsComp>(GetOwner());
    if (body == nullptr || body->immovable)
        return;
    POVComp* nodeA = ::GetPOVComp(GetNodeA());
    POVComp* nodeB = ::GetPOVComp(GetNodeB());
    POVComp* pov = GetPOVComp();
    int face = -1;
    math::Vector3 normal;
    // Without a focused face there is no long axis: the nodes stay where they are.
    if (nodeA == nullptr || nodeB == nullptr || pov == nullptr || !FocusedFace(face, normal))
        return;
    const bool alongX = LongAxisIsX(face);
    const math::Vector3 axis =
        (alongX ? body->orientation.GetXAxis() : body->orientation.GetZAxis()).GetNormalized();
    const float half = 0.5f * (alongX ? pov->GetScale().x : pov->GetScale().z);
    nodeA->SetPosition(body->position - axis * half, true);
    nodeB->SetPosition(body->position + axis * half, true);
}

void ConnectionComp::SnapNodes()
{
    for (Gob* node : {GetNodeA(), GetNodeB()})
        if (NodeDataComp* end = NodeDataComp::Of(node))
            end->SnapToNearestNode();
}

void ConnectionComp::PrepareForPlay()
{
    Gob* nodes[2] = {GetNodeA(), GetNodeB()};
    if (nodes[0] == nullptr || nodes[1] == nullptr)
        return;
    for (Gob* node : nodes)
        if (POVComp* pov = ::GetPOVComp(node))
            pov->SetPosition(pov->GetPosition(), true);
    UpdateFromNodes(true, true, true, true);
    for (Gob* node : nodes)
        if (NodeDataComp* end = NodeDataComp::Of(node))
            end->BuildConstraint();
    IgnoreNodesAtEnds();
}

void ConnectionComp::IgnoreNodesAtEnds()
{
    auto* own = FindComp<dorvo::phy::CollisionComp>(GetOwner());
    if (own == nullptr)
        return;
    GobManager& gobs = GobManager::Instance();
    auto ignore = [own](Gob* node)
    {
        if (auto* collision = FindComp<dorvo::phy::CollisionComp>(node))
            own->IgnoreCollisionWith(collision);
    };
    for (Gob* node : {GetNodeA(), GetNodeB()})
    {
        const NodeDataComp* end = NodeDataComp::Of(node);
        if (end == nullptr)
            continue;
        // The group at this end: its master (the end itself when it has none) and every member.
        Gob* master = end->GetMasterID() != 0 ? gobs.GetGob(end->GetMasterID()) : node;
        ignore(master);
        if (const NodeDataComp* group = NodeDataComp::Of(master))
            for (std::uint32_t member : group->GetMembers())
                ignore(gobs.GetGob(member));
        ignore(node);
    }
}

void ConnectionComp::MoveBy(const math::Vector3& offset)
{
    NodeDataComp* a = NodeDataComp::Of(GetNodeA());
    NodeDataComp* b = NodeDataComp::Of(GetNodeB());
    if (a == nullptr || b == nullptr)
    {
        if (POVComp* pov = GetPOVComp())
            pov->SetPosition(pov->GetPosition() + offset, false);
        return;
    }
    const bool freeA = !IsHeld(*a);
    const bool freeB = !IsHeld(*b);
    if (freeA && freeB)
        MoveEnds(GroupOf(a)->GetOwner(), GroupOf(b)->GetOwner(), offset);
    else if (freeA || freeB)
        GroupOf(freeA ? a : b)->MoveTo(offset);
    else
        return;
    UpdateFromNodes(true, true, true, false);
}

void ConnectionComp::MoveEnds(Gob* a, Gob* b, const math::Vector3& offset)
{
    NodeDataComp* groups[2] = {NodeDataComp::Of(a), NodeDataComp::Of(b)};
    if (groups[0] == nullptr || groups[1] == nullptr)
        return;
    std::vector<NodeDataComp*> ends[2];
    groups[0]->GetOtherEnds(ends[0]);
    groups[1]->GetOtherEnds(ends[1]);
    float fraction = 1.0f;
    if (ends[0].size() != 1 || ends[1].size() != 1)
    {
        // An end in either moving group moves with it, so the connection to it keeps its length.
        auto moving = [&groups](NodeDataComp* end)
        {
            const NodeDataComp* group = GroupOf(end);
            return group == groups[0] || group == groups[1];
        };
        std::vector<NodeDataComp::DragGroup> search(2);
        for (int i = 0; i < 2; ++i)
        {
            search[i].start = groups[i]->GetPosition();
            for (NodeDataComp* end : ends[i])
                if (!moving(end))
                    search[i].ends.push_back(end->GetPosition());
        }
        if (!NodeDataComp::FindDragFraction(search, offset, fraction))
            return;
    }
    const math::Vector3 targets[2] = {groups[0]->GetPosition() + offset * fraction,
                                      groups[1]->GetPosition() + offset * fraction};
    groups[0]->PlaceGroupAt(targets[0]);
    groups[1]->PlaceGroupAt(targets[1]);
}

bool ConnectionComp::BreakNode(dorvo::phy::CollisionFunctorData data, unsigned int owner)
{
    GobManager& gobs = GobManager::Instance();
    const Gob* other = gobs.GetGob(owner == data.gobIdA ? data.gobIdB : data.gobIdA);
    if (other == nullptr || other->GetTemplateName() != "QUORB")
        return false;
    // The threshold is a squared impulse.
    const double breakForce = StartupGlobals::Number("NODE_BREAK_FORCE");
    if (!(static_cast<double>(data.impulse.LengthSquared()) > breakForce))
        return true;
    Gob* widget = gobs.GetGob(owner);
    const ConnectionComp* connection = Of(widget);
    const POVComp* pov = ::GetPOVComp(widget);
    if (connection != nullptr && pov != nullptr)
    {
        int face = -1;
        math::Vector3 normal;
        math::Vector3 axis;
        if (FocusedFace(face, normal))
            axis = LongAxisIsX(face) ? pov->GetOrientation().GetXAxis() : pov->GetOrientation().GetZAxis();
        const bool sideA = axis.Dot(data.contactPoint - pov->GetPosition()) < 0.0f;
        if (NodeDataComp* end = NodeDataComp::Of(sideA ? connection->GetNodeA() : connection->GetNodeB()))
            end->BreakFromGroup();
    }
    dorvo::SoundSystem::Instance().PlayEvent(kBreakSound, nullptr, nullptr);
    return true;
}

bool ConnectionComp::AddBreakHandler(Gob* widget)
{
    auto* collision = FindComp<dorvo::phy::CollisionComp>(widget);
    if (collision == nullptr)
    {
        if (widget != nullptr)
            DORVO_LOG("ConnectionComp::AddBreakHandler: archetype \"%s\": the widget has no CollisionComp; "
                      "no hit breaks its nodes",
                      widget->GetArchetypeName().c_str());
        return false;
    }
    collision->AddCollisionBeginFunctor(kBreakHandlerName, dorvo::phy::CollisionFunctor(&BreakNode));
    return true;
}

ConnectionComp* ConnectionComp::Of(Gob* gob)
{
    return FindComp<ConnectionComp>(gob);
}
} // namespace QUORB
