// The segment of a platform, bar or accelerator between its two end nodes. The connection
// object is the widget itself; this component names its two node objects, places, turns and
// stretches the widget between them, and while physics moves a free widget makes the nodes ride
// on its ends. Nodes and connections are never restored from XML: the widget creation and the
// puzzle's rebuild set them up.
#pragma once

#include "common/math/Vector3.h"
#include "engine/ComponentBase.h"
#include "engine/phy/CollisionFunctorData.h"

#include <cstdint>
#include <memory>

class Gob;

namespace dorvo
{
namespace phy
{
class LengthConstraint;
}
} // namespace dorvo

namespace QUORB
{
class ConnectionComp : public ComponentBase<ConnectionComp>
{
public:
    static const char* const kTypeName; // "ConnectionComp"

    // Bounds of the SQUARED distance between the two end nodes (world units squared): a
    // connection is between sqrt(6) and 6 units long.
    static constexpr float kMinLength = 6.0f;
    static constexpr float kMaxLength = 36.0f;

    ConnectionComp();
    ~ConnectionComp() override;

    // One empty <Component name="ConnectionComp">; false for a null or non-element parent.
    bool Serialize(TiXmlNode* parent) override;
    // Reads nothing; true for an element.
    bool Deserialize(const TiXmlNode* node) override;
    // The nodes ride on the ends of the object's moving body (see the source); nothing for an
    // object without a PhysicsComp, an Immovable body or a missing node.
    void Update(float dt) override;

    // The end nodes by object id; an id of no live object leaves that end empty.
    void SetNodes(std::uint32_t idA, std::uint32_t idB);
    // The end node objects, or null (unset, or the object is gone).
    Gob* GetNodeA() const;
    Gob* GetNodeB() const;
    std::uint32_t GetNodeAID() const { return m_nodeAID; }
    std::uint32_t GetNodeBID() const { return m_nodeBID; }

    // Squared lengths, 6 and 36: take the square root for a length.
    static float GetMinLength() { return kMinLength; }
    static float GetMaxLength() { return kMaxLength; }

    // Places the object half way between its nodes, turns its long axis (x on faces 0 and 2, z
    // on faces 1 and 3) from node A to node B facing out of the focused face, and sets that
    // axis's scale to the nodes' distance; each part only when asked. With refile the position is
    // set once more with the oct tree told. Nothing unless both nodes exist; without a focused
    // face the orientation stays as it is.
    void UpdateFromNodes(bool position, bool orientation, bool scale, bool refile);

    // Both end nodes join the nodes around them (NodeDataComp::SnapToNearestNode), node A first;
    // an end that is not set is passed over.
    void SnapNodes();
    // At the start of play: both nodes re-filed where they stand, the widget placed between them
    // (oct tree told), the joints of both ends' groups built (NodeDataComp::BuildConstraint) and
    // the nodes of both ends' groups no longer collide with the widget (IgnoreNodesAtEnds).
    // Nothing unless both nodes exist.
    void PrepareForPlay();
    // The nodes at the widget's ends ride on its ends, or it on theirs (a hard node, a master
    // widget's node): their spheres sit inside its box, so touching them would prop the widget up
    // where it stood, and a widget held at one end, or broken free, would never swing or fall.
    void IgnoreNodesAtEnds();

    // Drags the whole widget by the offset (world units). Ends held by a hard node or by an
    // unmodifiable widget's node stay: with both ends free the two end groups move together
    // (MoveEnds), with one free the widget turns and stretches about the held end
    // (NodeDataComp::MoveTo), with none nothing moves. A widget missing a node just moves.
    void MoveBy(const math::Vector3& offset);
    // Moves the end groups a and b (group masters, or nodes on their own) by the offset: whole
    // when the widget joins nothing else, else by the drag's length search for both together
    // (NodeDataComp::FindDragFraction; the widget's own length cannot change and is not
    // tested), or not at all. Their connections follow.
    void MoveEnds(Gob* a, Gob* b, const math::Vector3& offset);

    // The hit handler of soft-node widgets, registered as "NodeCollisionFunc" for the begin of
    // a contact: a star object ("QUORB" template) whose contact impulse, squared, exceeds
    // NODE_BREAK_FORCE breaks the widget's end on the contact's side out of its group
    // (NodeDataComp::BreakFromGroup) and plays "QUORBSound/Collision/NodeBreak". False when the
    // other object is no star object. `owner` is the widget's object id.
    static bool BreakNode(dorvo::phy::CollisionFunctorData data, unsigned int owner);
    // Registers BreakNode on the widget's CollisionComp; a widget without one is named in
    // the log and false is returned.
    static bool AddBreakHandler(Gob* widget);
    static const char* const kBreakHandlerName; // "NodeCollisionFunc"
    static const char* const kBreakSound;       // "QUORBSound/Collision/NodeBreak"

    // Carried by every connection and never bound or enabled.
    dorvo::phy::LengthConstraint& GetLengthConstraint() const { return *m_lengthConstraint; }

    // The object's ConnectionComp, or null.
    static ConnectionComp* Of(Gob* gob);

private:
    // Held by id and looked up on use, so a node destroyed first leaves no dangling pointer.
    std::uint32_t m_nodeAID = 0;
    std::uint32_t m_nodeBID = 0;
    std::unique_ptr<dorvo::phy::LengthConstraint> m_lengthConstraint;
};
} // namespace QUORB
