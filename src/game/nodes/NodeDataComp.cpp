#include "game/nodes/NodeDataComp.h"

#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/phy/PointConstraint.h"
#include "game/app/CQUORB.h"
#include "game/nodes/ConnectionComp.h"
#include "game/room/FindComp.h"
#include "game/widgets/IWidgetData.h"
#include "game/widgets/WidgetDataComp.h"

#include <tinyxml.h>

#include <algorithm>
#include <cmath>

namespace QUORB
{
const char* const NodeDataComp::kTypeName = "NodeDataComp";

NodeDataComp::NodeDataComp() : m_pointConstraint(std::make_unique<dorvo::phy::PointConstraint>()) {}

NodeDataComp::~NodeDataComp() = default;

bool NodeDataComp::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlElement element("Component");
    element.SetAttribute("name", kTypeName);
    return parent->InsertEndChild(element) != nullptr;
}

bool NodeDataComp::Deserialize(const TiXmlNode* node)
{
    return node != nullptr && node->ToElement() != nullptr;
}

bool NodeDataComp::AddMember(std::uint32_t id)
{
    if (std::find(m_members.begin(), m_members.end(), id) != m_members.end())
        return false;
    m_members.push_back(id);
    return true;
}

bool NodeDataComp::RemoveMember(std::uint32_t id)
{
    const auto found = std::find(m_members.begin(), m_members.end(), id);
    if (found == m_members.end())
        return false;
    m_members.erase(found);
    return true;
}

Gob* NodeDataComp::GetConnectionGob() const
{
    return m_connectionID != 0 ? GobManager::Instance().GetGob(m_connectionID) : nullptr;
}

ConnectionComp* NodeDataComp::GetConnection() const
{
    return FindComp<ConnectionComp>(GetConnectionGob());
}

NodeDataComp* NodeDataComp::GetOtherEnd() const
{
    const ConnectionComp* connection = GetConnection();
    const Gob* self = GetOwner();
    if (connection == nullptr || self == nullptr)
        return nullptr;
    if (connection->GetNodeAID() == self->GetID())
        return FindComp<NodeDataComp>(connection->GetNodeB());
    if (connection->GetNodeBID() == self->GetID())
        return FindComp<NodeDataComp>(connection->GetNodeA());
    return nullptr;
}

void NodeDataComp::GetOtherEnds(std::vector<NodeDataComp*>& out) const
{
    if (NodeDataComp* end = GetOtherEnd())
        out.push_back(end);
    GobManager& gobs = GobManager::Instance();
    for (std::uint32_t id : m_members)
        if (const NodeDataComp* member = Of(gobs.GetGob(id)))
            if (NodeDataComp* end = member->GetOtherEnd())
                out.push_back(end);
}

bool NodeDataComp::IsOnUnmodifiableWidget() const
{
    const WidgetDataComp* dataComp = WidgetDataComp::Of(GetConnectionGob());
    const IWidgetData* data = dataComp != nullptr ? dataComp->GetData() : nullptr;
    return data != nullptr && !data->IsModifiable();
}

math::Vector3 NodeDataComp::GetPosition() const
{
    const POVComp* pov = GetPOVComp();
    return pov != nullptr ? pov->GetPosition() : math::Vector3();
}

bool NodeDataComp::IsOnSameConnection(Gob* other) const
{
    const NodeDataComp* otherNode = FindComp<NodeDataComp>(other);
    const Gob* mine = GetConnectionGob();
    const Gob* theirs = otherNode != nullptr ? otherNode->GetConnectionGob() : nullptr;
    return mine != nullptr && theirs != nullptr && mine->GetID() == theirs->GetID();
}

void NodeDataComp::MoveOnto(Gob* other)
{
    const POVComp* target = ::GetPOVComp(other);
    POVComp* pov = GetPOVComp();
    if (target == nullptr || pov == nullptr)
        return;
    pov->SetPosition(target->GetPosition(), false);
    if (ConnectionComp* connection = GetConnection())
        connection->UpdateFromNodes(true, true, true, false);
}

void NodeDataComp::PlaceGroupAt(const math::Vector3& position)
{
    auto place = [&position](NodeDataComp& node)
    {
        if (POVComp* pov = node.GetPOVComp())
            pov->SetPosition(position, false);
        if (ConnectionComp* connection = node.GetConnection())
            connection->UpdateFromNodes(true, true, true, false);
    };
    place(*this);
    GobManager& gobs = GobManager::Instance();
    for (std::uint32_t id : m_members)
        if (NodeDataComp* member = Of(gobs.GetGob(id)))
            place(*member);
}

void NodeDataComp::MoveTo(const math::Vector3& offset)
{
    const CQUORB* game = CQUORB::Get();
    if (GetPOVComp() == nullptr || (IsHard() && (game == nullptr || !game->IsCreatePuzzleMode())))
        return;
    const math::Vector3 start = GetPosition();
    math::Vector3 target = start + offset;
    std::vector<NodeDataComp*> ends;
    GetOtherEnds(ends);
    if (ends.size() == 1)
    {
        // One connection: the node goes no farther than the bound, on the line from the other end
        // towards the cursor.
        const math::Vector3 end = ends.front()->GetPosition();
        const float lengthSquared = DistanceSquared(target, end);
        const bool tooLong = lengthSquared > ConnectionComp::GetMaxLength();
        if (tooLong || lengthSquared < ConnectionComp::GetMinLength())
        {
            math::Vector3 cursor;
            math::Vector3 towards =
                game != nullptr && game->GetCursorFacePoint(cursor) ? cursor - end : math::Vector3();
            // With the cursor on the other end (or off the face) the drag itself gives the line;
            // without either the node stays rather than sit on the other end.
            if (math::IsZero(towards.LengthSquared()))
                towards = target - end;
            if (math::IsZero(towards.LengthSquared()))
                return;
            const float bound =
                std::sqrt(tooLong ? ConnectionComp::GetMaxLength() : ConnectionComp::GetMinLength());
            target = end + towards.GetNormalized() * bound;
        }
    }
    else
    {
        std::vector<DragGroup> groups(1);
        groups.front().start = start;
        for (const NodeDataComp* end : ends)
            groups.front().ends.push_back(end->GetPosition());
        float fraction = 0.0f;
        if (!FindDragFraction(groups, offset, fraction))
            return;
        target = start + offset * fraction;
    }
    PlaceGroupAt(target);
}

bool NodeDataComp::FindDragFraction(const std::vector<DragGroup>& groups, const math::Vector3& offset,
                                    float& fraction)
{
    float low = 0.0f;
    const float high = 2.0f;
    float width = 2.0f;
    while (width >= 0.0625f)
    {
        const float mid = low + width * 0.5f;
        bool tooShort = false;
        for (const DragGroup& group : groups)
        {
            const math::Vector3 probe = group.start + offset * mid;
            for (const math::Vector3& end : group.ends)
            {
                const float lengthSquared = DistanceSquared(probe, end);
                if (lengthSquared > ConnectionComp::GetMaxLength())
                    return false;
                if (lengthSquared < ConnectionComp::GetMinLength())
                {
                    tooShort = true;
                    break;
                }
            }
            if (tooShort)
                break;
        }
        if (!tooShort)
        {
            fraction = mid;
            return true;
        }
        low = mid;
        width = high - mid;
    }
    return false;
}

NodeDataComp* NodeDataComp::Of(Gob* gob)
{
    return FindComp<NodeDataComp>(gob);
}
} // namespace QUORB
