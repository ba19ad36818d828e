// The spatial index of the game world. Every position component is filed by its world box in
// the deepest node whose box holds that box entirely; the collision broad phase, the picker,
// the game's node joining and the renderer ask it what lies near what. The tree is fully
// subdivided to a fixed depth by Rebuild and never split or merged afterwards, so filing and
// re-filing never allocate nodes. It owns its nodes, not the filed objects.
#pragma once

#include "common/SOctNode.h"
#include "common/math/AABB.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

namespace common
{
class IOctTreeObject;

class COctTree
{
public:
    // Depth 4 over the box (-100, -100, -100) to (100, 100, 100), no nodes until Rebuild.
    COctTree();
    COctTree(int depth, const math::AABB& worldBox);
    virtual ~COctTree();

    COctTree(const COctTree&) = delete;
    COctTree& operator=(const COctTree&) = delete;

    // The one tree of the game world, created on first use and never destroyed, so components
    // that die while the program's statics are torn down still find it.
    static COctTree& Global();

    // Subdivision levels below the root; 4 gives 4,681 nodes. Takes effect at the next Rebuild.
    void SetDepth(int depth) { m_Depth = depth; }
    int GetDepth() const { return m_Depth; }
    // World units. Takes effect at the next Rebuild.
    void SetWorldBox(const math::AABB& box) { m_WorldBox = box; }
    const math::AABB& GetWorldBox() const { return m_WorldBox; }

    // Null until the first Rebuild.
    const SOctNode* GetRoot() const { return m_pRoot.get(); }

    // Drops every node and every filed object, then builds all levels over the world box.
    // Filed objects are not re-filed: this is meant for start-up, before the first object.
    void Rebuild();

    // Files the object by its current box. An object whose key is filed already is taken out
    // of its old node first. When the box does not lie inside the world box (a NaN coordinate
    // counts as outside), the object is not filed and is told so
    // (IOctTreeObject::OnOutsideWorld). Before Rebuild it does nothing.
    void Add(IOctTreeObject* object);
    // Re-files an object whose box may have changed; only when it no longer fits its node or
    // now fits a child. An object that is not filed stays unfiled.
    void Update(IOctTreeObject* object);
    // Takes the object out of the tree; nothing happens when it is not filed.
    void Remove(IOctTreeObject* object);

    // Appends the keys of the objects that may touch the one filed under `key`: every object
    // below its node, then those in its node and in each enclosing node up to the root, never
    // `key` itself. `out` is not cleared; an unknown key appends nothing.
    void GetNeighbours(std::uint32_t key, std::vector<std::uint32_t>& out) const;

    // The node that holds the key, or null.
    const SOctNode* FindNode(std::uint32_t key) const;
    // Number of filed objects.
    std::size_t GetObjectCount() const { return m_Index.size(); }
    // Counts every change of where objects are filed (filing, taking out, rebuilding): while it
    // stays the same, FindNode answers as before, so callers may keep its answers.
    std::uint64_t GetChangeCount() const { return m_Changes; }

    // Pre-order walk from the root, children in index order: appends every node that passes
    // `test`, and descends only into nodes that pass. The picker passes a ray-box test.
    void CollectNodes(const std::function<bool(const SOctNode&)>& test,
                      std::vector<const SOctNode*>& out) const;
    // The nodes whose box overlaps `box` (touching counts), in the same order; the renderer's
    // frame pre-pass passes the view frustum's box.
    void CollectNodesOverlapping(const math::AABB& box, std::vector<const SOctNode*>& out) const;

private:
    void BuildChildren(SOctNode& node, int levels);
    bool InsertIntoNode(SOctNode& node, IOctTreeObject* object, const math::AABB& box);
    void AddToNode(SOctNode& node, IOctTreeObject* object);
    // The node that holds exactly this object under its key, or null.
    SOctNode* FindFiledNode(const IOctTreeObject* object) const;
    // Notes in the object where it is filed now (null: nowhere).
    void NoteFiled(IOctTreeObject* object, SOctNode* node) const;
    // A number no tree has had: every object's note of an earlier epoch is then unknown.
    static std::uint64_t NewEpoch();

    int m_Depth;
    std::unique_ptr<SOctNode> m_pRoot;
    std::unordered_map<std::uint32_t, SOctNode*> m_Index; // key -> the node that holds it
    math::AABB m_WorldBox;
    std::uint64_t m_Changes = 0;
    // The objects' notes of this epoch are exact; it is renewed whenever an object leaves the
    // tree without the tree being told of that object (its key filed anew by another, Rebuild).
    std::uint64_t m_Epoch;
};
} // namespace common
