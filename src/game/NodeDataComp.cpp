#include "game/NodeDataComp.h"

#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/phy/PointConstraint.h"
#include "game/ConnectionComp.h"
#include "game/FindComp.h"

#include <tinyxml.h>

#include <algorithm>

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

NodeDataComp* NodeDataComp::Of(Gob* gob)
{
    return FindComp<NodeDataComp>(gob);
}
} // namespace QUORB
