// A node: an end of a platform, bar or accelerator (soft node), or a fixed anchor placed on its
// own (hard node, which ends no connection). It names the connection it ends and the node group
// it belongs to: a member names its master, a master lists its members, and while physics runs
// the point constraint joins a member's connection body to its master's (or pins it to the world
// when the master is a hard node). Members are hidden and sit at their master's position.
//
// Groups form by snapping (a released node joins the nearest suitable node within its reach and
// pulls every other node in reach along), dissolve with DetachAll, become joints when a puzzle
// plays (BuildConstraint) and lose a node when the star object hits a widget hard enough
// (BreakFromGroup). MoveTo is the editor's drag of a node and its group.
#pragma once

#include "common/math/Vector3.h"
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
    // The other ends of this node and its group: its own connection's, then each member's
    // connection's, in member order (only those that exist).
    void GetOtherEnds(std::vector<NodeDataComp*>& out) const;
    // Whether the other node's connection and this node's both exist and are the same object.
    bool IsOnSameConnection(Gob* other) const;
    // This node to the other object's position (oct tree not told), then its connection follows
    // (UpdateFromNodes(true, true, true, false)).
    void MoveOnto(Gob* other);

    // A node that ends no connection.
    bool IsHard() const { return m_connectionID == 0; }
    // The live master object and its component, or null (a master, a node on its own, or a
    // master that is gone).
    Gob* GetMasterGob() const;
    NodeDataComp* GetMaster() const;
    // Whether this node's connection is a widget the player may not change (its widget data says
    // so); false for a hard node or a widget without data.
    bool IsOnUnmodifiableWidget() const;
    // World units: 0.8 of the node's height (twice its y scale).
    float GetSnapRadius() const;
    math::Vector3 GetPosition() const;

    // ---- groups ----
    // This node joins the master's group: the master lists it, this node's model is hidden and
    // the master's shown. Nothing for a null master, this node itself, or one without a
    // NodeDataComp.
    void AttachToMaster(Gob* master);
    // Dissolves this node's own group (each member freed, shown and its joint disabled) and
    // leaves its own master (joint disabled; this node's visibility unchanged).
    void DetachAll();
    // The node this one would join, or null; every node within reach goes to `found` (appended)
    // in id order. Reach: below the snap radius, template "Node", not killed. A hard node is the
    // master of everything around it and answers itself. A soft node passes over its own
    // connection's nodes and chooses, in id order: a node of an unmodifiable widget whenever it
    // meets one; else a node without a master that is closer than the choice so far; a
    // "HardNode" without a master always, and the search stops there.
    Gob* FindNearestNode(std::vector<Gob*>& found, bool hard);
    // Whether FindNearestNode finds a master; always true for a hard node.
    bool HasNearbyNode();
    // Merges this node and every node in its reach into one group around the node it finds;
    // nothing changes when it finds none.
    void SnapToNearestNode();
    // A member's joint for play, built from where the nodes stand now and enabled: to the world
    // at the master's position, unbreakable, when the master is a hard node; else between the
    // master's connection body and this node's, breaking at NODE_BREAK_DISTANCE. Nothing for a
    // node without a live master; a connection without a body is named in the log and
    // skipped.
    void BuildConstraint();
    // A hard hit knocks this node out of its group during play: a member of a hard master stays;
    // another member is shown, leaves its master and its joint breaks at the end of the step. A
    // master loses all its members, which re-form at once around the nearest of them with new
    // joints.
    void BreakFromGroup();

    // ---- dragging ----
    // Drags this node (a master or a node on its own) and its members by the offset (world
    // units), keeping each of its connections between sqrt(6) and 6 long: with one connection
    // the node lands on the bound towards the cursor's point on the focused face; with more the
    // offset is lengthened (up to 1.96875 times) until none is too short, and the move is refused
    // when one would be too long. Hard nodes move only in create-puzzle mode. The connections
    // follow (UpdateFromNodes(true, true, true, false)).
    void MoveTo(const math::Vector3& offset);
    // This node and its members to the position; each one's connection follows.
    void PlaceGroupAt(const math::Vector3& position);

    // One group moving in a drag: where it starts and the other ends it must stay within the
    // length bounds of.
    struct DragGroup
    {
        math::Vector3 start;
        std::vector<math::Vector3> ends;
    };
    // The drag's length search: fractions of the offset 1, 1.5, 1.75, ... 1.96875 are tried in
    // turn while some group would leave a connection shorter than sqrt(6); the first at which
    // none is too short goes to `fraction`. False when a probe finds one longer than 6 or no
    // probe is long enough.
    static bool FindDragFraction(const std::vector<DragGroup>& groups, const math::Vector3& offset,
                                 float& fraction);

    // Joint values: tolerance in world units, correction time in seconds.
    static constexpr float kJointTolerance = 0.001f;
    static constexpr float kJointCorrectionTime = 0.0f;

    // The object's NodeDataComp, or null.
    static NodeDataComp* Of(Gob* gob);

private:
    // Every node found, but the master and a second end of a widget already in the group, leaves
    // its own group, moves onto the master and joins it (with its joint when asked).
    static void GatherOnto(Gob* master, const std::vector<Gob*>& found, bool withJoints);

    std::uint32_t m_connectionID = 0;
    std::uint32_t m_masterID = 0;
    std::vector<std::uint32_t> m_members;
    std::unique_ptr<dorvo::phy::PointConstraint> m_pointConstraint;
};
} // namespace QUORB
