// A node: an end of a platform, bar or accelerator (soft node), or a fixed anchor placed on its
// own (hard node, which ends no connection). It names the connection it ends and the node group
// it belongs to: a member names its master, a master lists its members, and while physics runs
// the point constraint joins a member's connection body to its master's.
#pragma once

#include "engine/ComponentBase.h"

#include <cstdint>
#include <memory>
#include <vector>

class Gob;

namespace dorvo
{
namespace phy
{
class PointConstraint;
}
} // namespace dorvo

namespace QUORB
{
class ConnectionComp;

class NodeDataComp : public ComponentBase<NodeDataComp>
{
public:
    static const char* const kTypeName; // "NodeDataComp"

    // No connection, no master, no members.
    NodeDataComp();
    ~NodeDataComp() override;

    // One empty <Component name="NodeDataComp">; false for a null or non-element parent.
    bool Serialize(TiXmlNode* parent) override;
    // Reads nothing; true for an element.
    bool Deserialize(const TiXmlNode* node) override;

    // The connection object this node ends; 0 for a hard node.
    std::uint32_t GetConnectionID() const { return m_connectionID; }
    void SetConnectionID(std::uint32_t id) { m_connectionID = id; }
    // The group master this node is attached to; 0 for a master or a node on its own.
    std::uint32_t GetMasterID() const { return m_masterID; }
    void SetMasterID(std::uint32_t id) { m_masterID = id; }
    // The nodes attached to this one, in the order they were added; never an id twice.
    const std::vector<std::uint32_t>& GetMembers() const { return m_members; }
    // False when the id is listed already.
    bool AddMember(std::uint32_t id);
    // False when the id is not listed.
    bool RemoveMember(std::uint32_t id);
    void ClearMembers() { m_members.clear(); }
    dorvo::phy::PointConstraint& GetPointConstraint() const { return *m_pointConstraint; }

    // The live connection object and its component, or null (a hard node, or gone).
    Gob* GetConnectionGob() const;
    ConnectionComp* GetConnection() const;
    // The node component at the other end of this node's connection; null for a hard node or
    // when the connection names neither end as this node.
    NodeDataComp* GetOtherEnd() const;
    // Whether the other node's connection and this node's both exist and are the same object.
    bool IsOnSameConnection(Gob* other) const;
    // This node to the other object's position (oct tree not told), then its connection follows
    // (UpdateFromNodes(true, true, true, false)).
    void MoveOnto(Gob* other);

    // The object's NodeDataComp, or null.
    static NodeDataComp* Of(Gob* gob);

private:
    std::uint32_t m_connectionID = 0;
    std::uint32_t m_masterID = 0;
    std::vector<std::uint32_t> m_members;
    std::unique_ptr<dorvo::phy::PointConstraint> m_pointConstraint;
};
} // namespace QUORB
