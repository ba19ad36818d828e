#include "common/CBSPTree.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

using common::CBSPTree;
using common::SBSPNode;
using math::Plane;
using math::Triangle;
using math::Vector3;

namespace
{
std::vector<Triangle> Cube()
{
    const Vector3 faces[6][4] = {
        {{1, -1, -1}, {1, 1, -1}, {1, 1, 1}, {1, -1, 1}},
        {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}},
        {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}},
        {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}},
        {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}},
        {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}},
    };
    std::vector<Triangle> triangles;
    for (const auto& f : faces)
    {
        triangles.emplace_back(f[0], f[1], f[2]);
        triangles.emplace_back(f[0], f[2], f[3]);
    }
    return triangles;
}

// An n x n grid of squares in the plane y = 0 over x, z in [0, n]; 2 n^2 triangles.
std::vector<Triangle> Grid(int n)
{
    std::vector<Triangle> triangles;
    for (int i = 0; i < n; ++i)
    {
        for (int j = 0; j < n; ++j)
        {
            const Vector3 a(float(i), 0, float(j));
            const Vector3 b(float(i + 1), 0, float(j));
            const Vector3 c(float(i + 1), 0, float(j + 1));
            const Vector3 d(float(i), 0, float(j + 1));
            triangles.emplace_back(a, d, c);
            triangles.emplace_back(a, c, b);
        }
    }
    return triangles;
}

double Area(const Triangle& t)
{
    return 0.5 * (t.v1 - t.v0).Cross(t.v2 - t.v0).Length();
}

double TotalArea(const std::vector<Triangle>& triangles)
{
    double sum = 0.0;
    for (const Triangle& t : triangles)
    {
        sum += Area(t);
    }
    return sum;
}

int AxisOf(const Plane& plane)
{
    for (int axis = 0; axis < 3; ++axis)
    {
        if (plane.normal[axis] == 1.0f)
        {
            return axis;
        }
    }
    return -1;
}

// What a build produced, gathered by one walk in build order (node, front subtree, back
// subtree), checking on the way that every piece lies on its side of every splitter above it.
struct TreeShape
{
    unsigned nodes = 0;
    int levels = 0;
    std::vector<int> innerAxes; // in build order
    std::vector<Triangle> leafTriangles;
};

void Walk(const SBSPNode* node, int level, std::vector<std::pair<const Plane*, int>>& path, TreeShape& shape)
{
    if (node == nullptr)
    {
        return;
    }
    ++shape.nodes;
    shape.levels = std::max(shape.levels, level);
    if (node->front == nullptr && node->back == nullptr)
    {
        EXPECT_FALSE(node->triangles.empty()) << "a leaf without triangles";
        for (const Triangle& t : node->triangles)
        {
            for (const auto& [plane, side] : path)
            {
                for (int i = 0; i < 3; ++i)
                {
                    const float s = plane->SignedDistance(t[i]);
                    if (side == 0)
                    {
                        EXPECT_GE(s, -1e-5f) << "front piece behind a splitter";
                    }
                    else
                    {
                        EXPECT_LE(s, 1e-5f) << "back piece in front of a splitter";
                    }
                }
            }
            shape.leafTriangles.push_back(t);
        }
        return;
    }
    EXPECT_TRUE(node->triangles.empty()) << "an inner node holding triangles";
    shape.innerAxes.push_back(AxisOf(node->plane));
    path.emplace_back(&node->plane, 0);
    Walk(node->front, level + 1, path, shape);
    path.back().second = 1;
    Walk(node->back, level + 1, path, shape);
    path.pop_back();
}

TreeShape ShapeOf(const CBSPTree& tree)
{
    TreeShape shape;
    std::vector<std::pair<const Plane*, int>> path;
    Walk(tree.GetRoot(), 1, path, shape);
    return shape;
}
} // namespace

TEST(CBSPTree, FewTrianglesMakeOneLeafAndZeroAreaOnesAreDropped)
{
    const std::vector<Triangle> cube = Cube();
    const Triangle point(Vector3(1, 1, 1), Vector3(1, 1, 1), Vector3(1, 1, 1));
    const Triangle line(Vector3(0, 0, 0), Vector3(1, 1, 1), Vector3(2, 2, 2));
    const int axisBefore = CBSPTree::GetNextSplitAxis();

    CBSPTree tree;
    tree.Build({cube[0], point, cube[1], line, cube[2]});
    ASSERT_NE(tree.GetRoot(), nullptr);
    EXPECT_EQ(tree.GetNodeCount(), 1u);
    EXPECT_EQ(tree.GetRoot()->front, nullptr);
    EXPECT_EQ(tree.GetRoot()->back, nullptr);
    ASSERT_EQ(tree.GetRoot()->triangles.size(), 3u);
    EXPECT_EQ(tree.GetRoot()->triangles[1].v1, cube[1].v1); // kept in input order
    EXPECT_EQ(CBSPTree::GetNextSplitAxis(), axisBefore);    // a leaf chooses no plane

    // Rebuilding from the tree's own leaf list reads it before the old tree is freed.
    tree.Build(tree.GetRoot()->triangles);
    ASSERT_NE(tree.GetRoot(), nullptr);
    EXPECT_EQ(tree.GetRoot()->triangles.size(), 3u);
}

TEST(CBSPTree, NothingUsableLeavesTheTreeEmpty)
{
    const Triangle point(Vector3(1, 1, 1), Vector3(1, 1, 1), Vector3(1, 1, 1));
    const Triangle line(Vector3(0, 0, 0), Vector3(1, 1, 1), Vector3(2, 2, 2));
    CBSPTree tree;
    tree.Build({});
    EXPECT_EQ(tree.GetRoot(), nullptr);
    EXPECT_EQ(tree.GetNodeCount(), 0u);

    tree.Build(Cube());
    ASSERT_GT(tree.GetNodeCount(), 1u);
    tree.Build({point, line, point, line}); // a rebuild replaces the old contents
    EXPECT_EQ(tree.GetRoot(), nullptr);
    EXPECT_EQ(tree.GetNodeCount(), 0u);
}

TEST(CBSPTree, MeshesArePartitionedWithoutLosingArea)
{
    struct Mesh
    {
        const char* name;
        std::vector<Triangle> triangles;
    };
    const Mesh meshes[] = {{"cube", Cube()}, {"grid 4", Grid(4)}, {"grid 30", Grid(30)}};
    for (const Mesh& mesh : meshes)
    {
        SCOPED_TRACE(mesh.name);
        CBSPTree tree;
        tree.Build(mesh.triangles);
        const TreeShape shape = ShapeOf(tree);
        EXPECT_EQ(shape.nodes, tree.GetNodeCount());
        EXPECT_LE(shape.levels, 6);
        EXPECT_LE(tree.GetNodeCount(), 63u);
        // Every triangle, or every piece of it, ends in exactly one leaf.
        EXPECT_NEAR(TotalArea(shape.leafTriangles), TotalArea(mesh.triangles), 1e-3);
        for (const Triangle& t : shape.leafTriangles)
        {
            EXPECT_GT(t.normal.LengthSquared(), 0.5f) << "a piece lost its normal";
        }
    }
}

TEST(CBSPTree, LargeMeshesStopAtTheDepthLimit)
{
    CBSPTree tree;
    tree.Build(Grid(30)); // 1800 triangles
    const TreeShape shape = ShapeOf(tree);
    EXPECT_EQ(shape.levels, 6);
    EXPECT_GT(shape.leafTriangles.size() / (tree.GetNodeCount() - shape.innerAxes.size()), 4u);
}

TEST(CBSPTree, SplitAxesFollowTheSharedCounterInBuildOrder)
{
    const std::vector<Triangle> cube = Cube();
    CBSPTree first;
    CBSPTree second;
    const int axisBefore = CBSPTree::GetNextSplitAxis();
    first.Build(cube);
    const TreeShape shape = ShapeOf(first);
    ASSERT_FALSE(shape.innerAxes.empty());
    for (std::size_t i = 0; i < shape.innerAxes.size(); ++i)
    {
        EXPECT_EQ(shape.innerAxes[i], int((axisBefore + i) % 3)) << "inner node " << i;
    }
    const int axisAfter = CBSPTree::GetNextSplitAxis();
    EXPECT_EQ(axisAfter, int((axisBefore + shape.innerAxes.size()) % 3));

    // The same mesh again starts where the counter stopped, so its root may split elsewhere.
    second.Build(cube);
    EXPECT_EQ(AxisOf(second.GetRoot()->plane), axisAfter);
    if (axisAfter != axisBefore)
    {
        EXPECT_NE(AxisOf(second.GetRoot()->plane), AxisOf(first.GetRoot()->plane));
    }
    // The split plane passes through the centre of the mesh's bounds.
    EXPECT_FLOAT_EQ(second.GetRoot()->plane.GetDistance(), 0.0f);
}

TEST(CBSPTree, ClassifyTriangleAgainstAPlane)
{
    const Plane plane(Vector3(0, 1, 0), Vector3(0, 0, 0)); // y = 0
    const float inBand = 1e-7f;                            // within 2^-23: on the plane
    struct Case
    {
        const char* name;
        float y0, y1, y2;
        int expected;
    };
    const Case cases[] = {
        {"all in front", 1, 2, 3, 0},        {"all behind", -1, -2, -3, 1},
        {"straddling", 1, -1, 2, 2},         {"all on the plane", 0, 0, 0, 0},
        {"front and on", 1, 0, 0, 0},        {"behind and on", 0, -1, 0, 1},
        {"one on, straddling", 1, 0, -1, 2}, {"inside the band", 1, -inBand, inBand, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const Triangle t(Vector3(0, c.y0, 0), Vector3(1, c.y1, 0), Vector3(0, c.y2, 1));
        EXPECT_EQ(CBSPTree::ClassifyTriangle(plane, t), c.expected);
    }
}

TEST(CBSPTree, SplitTriangleKeepsAreaWindingAndSides)
{
    const Plane plane(Vector3(1, 0, 0), Vector3(0, 0, 0)); // x = 0, front is +x
    struct Case
    {
        const char* name;
        Vector3 a, b, c;
        std::size_t front, back;
    };
    const Case cases[] = {
        {"one on the plane, front first", {2, 0, 0}, {0, 2, 0}, {-2, 0, 1}, 1, 1},
        {"one on the plane, listed first", {0, 2, 0}, {-2, 0, 1}, {2, 0, 0}, 1, 1},
        {"one on the plane, back first", {-2, 0, 1}, {0, 2, 0}, {2, 0, 0}, 1, 1},
        {"two in front", {2, 0, 0}, {1, 2, 0}, {-2, 0, 1}, 2, 1},
        {"two behind", {2, 0, 0}, {-1, 2, 0}, {-2, 0, 1}, 1, 2},
        {"two behind, back first", {-1, 2, 0}, {-2, 0, 1}, {2, 0, 0}, 1, 2},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const Triangle source(c.a, c.b, c.c);
        std::vector<Triangle> front;
        std::vector<Triangle> back;
        CBSPTree::SplitTriangle(plane, source, front, back);
        ASSERT_EQ(front.size(), c.front);
        ASSERT_EQ(back.size(), c.back);
        EXPECT_NEAR(TotalArea(front) + TotalArea(back), Area(source), 1e-5);
        for (const Triangle& piece : front)
        {
            for (int i = 0; i < 3; ++i)
            {
                EXPECT_GE(plane.SignedDistance(piece[i]), -1e-6f);
            }
        }
        for (const Triangle& piece : back)
        {
            for (int i = 0; i < 3; ++i)
            {
                EXPECT_LE(plane.SignedDistance(piece[i]), 1e-6f);
            }
        }
        std::vector<Triangle> pieces = front;
        pieces.insert(pieces.end(), back.begin(), back.end());
        for (const Triangle& piece : pieces)
        {
            // Same winding: the piece's own normal points the source's way.
            EXPECT_GT((piece.v1 - piece.v0).Cross(piece.v2 - piece.v0).Dot(source.normal), 0.0f);
            EXPECT_EQ(piece.normal, source.normal);
        }
    }
}

TEST(CBSPTree, DeleteNodeCountsNodesOff)
{
    CBSPTree tree;
    tree.Build(Cube());
    ASSERT_GT(tree.GetNodeCount(), 1u);
    tree.DeleteNode(const_cast<SBSPNode*>(tree.GetRoot()));
    EXPECT_EQ(tree.GetNodeCount(), 0u);
    EXPECT_EQ(tree.GetRoot(), nullptr);
}
