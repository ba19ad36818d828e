// A BSP tree over the triangles of one mesh, so that a ray is tested only against the few
// triangles near its path (math::CRay::IntersectBSPTree). The tree owns its nodes; readers walk
// them directly from GetRoot. Split axes cycle x, y, z through one counter shared by every
// build in the process, so a node's axis depends on how many nodes were built before it.
#pragma once

#include "common/math/Plane.h"
#include "common/math/Triangle.h"

#include <cstddef>
#include <vector>

namespace common
{
struct SBSPNode
{
    math::Plane plane;                     // the splitter; meaningless in a leaf
    std::vector<math::Triangle> triangles; // only leaves hold triangles
    SBSPNode* front = nullptr;             // null in a leaf, or when that side received nothing
    SBSPNode* back = nullptr;
};

class CBSPTree
{
public:
    // A node with fewer triangles than this becomes a leaf.
    static constexpr std::size_t kLeafThreshold = 4;
    // Nodes at this depth (the root is depth 0) become leaves: at most six levels, 63 nodes.
    static constexpr int kMaxDepth = 5;

    CBSPTree() = default;
    CBSPTree(const CBSPTree&) = delete;
    CBSPTree& operator=(const CBSPTree&) = delete;
    virtual ~CBSPTree();

    // Replaces the contents with a partition of the triangles; zero-area triangles are
    // dropped, and nothing left leaves the tree empty (null root).
    void Build(const std::vector<math::Triangle>& triangles);
    // Deletes the node and its subtree, children first, counting each node off. The caller
    // clears whatever pointer led to it.
    void DeleteNode(SBSPNode* node);

    const SBSPNode* GetRoot() const { return m_root; }
    unsigned GetNodeCount() const { return m_nodeCount; }

    // 0 front (or on the plane), 1 behind, 2 straddling. A vertex within 2^-23 of the plane
    // counts as on it.
    static int ClassifyTriangle(const math::Plane& plane, const math::Triangle& triangle);
    // Cuts a straddling triangle along the plane and appends one or two pieces to each side,
    // keeping the triangle's winding and normal.
    static void SplitTriangle(const math::Plane& plane, const math::Triangle& triangle,
                              std::vector<math::Triangle>& front, std::vector<math::Triangle>& back);
    // The axis the next split will use: 0 x, 1 y, 2 z.
    static int GetNextSplitAxis();

private:
    SBSPNode* BuildNode(const std::vector<math::Triangle>& triangles, int depth);
    // The axis plane through the centre of the triangles' bounds; advances the shared counter.
    static math::Plane ChooseSplitPlane(const std::vector<math::Triangle>& triangles);

    SBSPNode* m_root = nullptr;
    unsigned m_nodeCount = 0;
};
} // namespace common
