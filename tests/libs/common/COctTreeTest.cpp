#include "common/COctTree.h"
#include "common/IOctTreeObject.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <vector>

using common::COctTree;
using common::SOctNode;
using math::AABB;
using math::Vector3;
using ::testing::UnorderedElementsAre;

namespace
{
AABB Box(float x0, float y0, float z0, float x1, float y1, float z1)
{
    return AABB(Vector3(x0, y0, z0), Vector3(x1, y1, z1));
}

AABB Cube(float lo, float hi)
{
    return Box(lo, lo, lo, hi, hi, hi);
}

bool SameBox(const AABB& a, const AABB& b)
{
    for (int i = 0; i < 3; ++i)
    {
        if (a.min[i] != b.min[i] || a.max[i] != b.max[i])
        {
            return false;
        }
    }
    return true;
}

// Stands in for a position component: a key, a box, and a record of being refused.
class FakeObject : public common::IOctTreeObject
{
public:
    FakeObject(std::uint32_t key, const AABB& box) : m_Key(key), m_Box(box) {}
    std::uint32_t GetOctTreeKey() const override { return m_Key; }
    AABB GetOctTreeBox() const override { return m_Box; }
    void OnOutsideWorld() override { ++m_OutsideCount; }

    std::uint32_t m_Key;
    AABB m_Box;
    int m_OutsideCount = 0;
};

void CountNodes(const SOctNode& node, int& nodes, int& leaves)
{
    ++nodes;
    if (node.IsLeaf())
    {
        ++leaves;
    }
    for (int i = 0; i < SOctNode::kChildCount; ++i)
    {
        if (node.GetChild(i))
        {
            CountNodes(*node.GetChild(i), nodes, leaves);
        }
    }
}

// World 0..16 on each axis, depth 2: children of the root are 8 wide, leaves 4 wide.
class SmallTree : public ::testing::Test
{
protected:
    SmallTree() : tree(2, Cube(0.0f, 16.0f)) { tree.Rebuild(); }

    AABB NodeBoxOf(std::uint32_t key) const
    {
        const SOctNode* node = tree.FindNode(key);
        return node ? node->m_Box : Cube(-1.0f, -1.0f);
    }

    COctTree tree;
};
} // namespace

TEST(COctTree, GameDepthBuildsEveryNodeAtOnce)
{
    COctTree tree(4, Box(-90.0f, -90.0f, -90.0f, 150.0f, 630.0f, 150.0f));
    EXPECT_EQ(tree.GetRoot(), nullptr);
    tree.Rebuild();
    ASSERT_NE(tree.GetRoot(), nullptr);
    int nodes = 0;
    int leaves = 0;
    CountNodes(*tree.GetRoot(), nodes, leaves);
    EXPECT_EQ(nodes, 4681);
    EXPECT_EQ(leaves, 4096);
    EXPECT_EQ(tree.GetRoot()->m_pParent, nullptr);

    // Leaves are 15 x 45 x 15; the last one reaches the world box's upper corner.
    const SOctNode* last = tree.GetRoot();
    while (!last->IsLeaf())
    {
        EXPECT_EQ(last->GetChild(7)->m_pParent, last);
        last = last->GetChild(7);
    }
    EXPECT_TRUE(SameBox(last->m_Box, Box(135.0f, 585.0f, 135.0f, 150.0f, 630.0f, 150.0f)));
}

TEST(COctTree, DefaultTreeAndGlobalTree)
{
    COctTree tree;
    EXPECT_EQ(tree.GetDepth(), 4);
    EXPECT_TRUE(SameBox(tree.GetWorldBox(), Cube(-100.0f, 100.0f)));
    EXPECT_EQ(&COctTree::Global(), &COctTree::Global());
}

TEST_F(SmallTree, ChildIndexIsFourXPlusTwoYPlusZ)
{
    const SOctNode* root = tree.GetRoot();
    for (int x = 0; x < 2; ++x)
    {
        for (int y = 0; y < 2; ++y)
        {
            for (int z = 0; z < 2; ++z)
            {
                const SOctNode* child = root->GetChild(SOctNode::ChildIndex(x, y, z));
                SCOPED_TRACE(SOctNode::ChildIndex(x, y, z));
                EXPECT_TRUE(SameBox(child->m_Box, Box(8.0f * x, 8.0f * y, 8.0f * z, 8.0f * x + 8.0f,
                                                      8.0f * y + 8.0f, 8.0f * z + 8.0f)));
            }
        }
    }
}

TEST_F(SmallTree, FilesEachBoxInTheDeepestNodeThatHoldsIt)
{
    struct Case
    {
        const char* what;
        AABB box;
        AABB node;
    };
    const Case cases[] = {
        {"equals the world box", Cube(0.0f, 16.0f), Cube(0.0f, 16.0f)},
        {"straddles the root's centre planes", Cube(7.0f, 9.0f), Cube(0.0f, 16.0f)},
        {"straddles one centre plane only", Box(7.0f, 1.0f, 1.0f, 9.0f, 2.0f, 2.0f), Cube(0.0f, 16.0f)},
        {"touches the centre from above", Cube(8.0f, 9.0f), Cube(8.0f, 12.0f)},
        {"touches the centre from below", Cube(7.0f, 8.0f), Cube(4.0f, 8.0f)},
        {"point at the centre goes down child 0", Cube(8.0f, 8.0f), Cube(4.0f, 8.0f)},
        {"upper x, lower y and z", Box(8.0f, 1.0f, 1.0f, 9.0f, 2.0f, 2.0f),
         Box(8.0f, 0.0f, 0.0f, 12.0f, 4.0f, 4.0f)},
        {"straddles a plane inside child 0", Cube(3.0f, 5.0f), Cube(0.0f, 8.0f)},
        {"touches the world's upper faces", Cube(15.0f, 16.0f), Cube(12.0f, 16.0f)},
    };
    std::uint32_t key = 1;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        FakeObject object(key, c.box);
        tree.Add(&object);
        EXPECT_EQ(object.m_OutsideCount, 0);
        EXPECT_TRUE(SameBox(NodeBoxOf(key), c.node));
        ASSERT_NE(tree.FindNode(key), nullptr);
        EXPECT_EQ(tree.FindNode(key)->m_Objects.at(key), &object);
        tree.Remove(&object);
        EXPECT_EQ(tree.FindNode(key), nullptr);
        ++key;
    }
    EXPECT_EQ(tree.GetObjectCount(), 0u);
}

TEST_F(SmallTree, BoxOutsideTheWorldIsRefusedAndReported)
{
    const AABB outside[] = {Cube(17.0f, 18.0f), Cube(15.0f, 17.0f), Box(1.0f, -0.5f, 1.0f, 2.0f, 1.0f, 2.0f)};
    for (const AABB& box : outside)
    {
        FakeObject object(1, box);
        tree.Add(&object);
        EXPECT_EQ(object.m_OutsideCount, 1);
        EXPECT_EQ(tree.FindNode(1), nullptr);
    }
    EXPECT_EQ(tree.GetObjectCount(), 0u);
}

TEST_F(SmallTree, BoxWithANaNCoordinateCountsAsOutside)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    FakeObject broken(1, Box(1.0f, nan, 1.0f, 2.0f, 2.0f, 2.0f));
    tree.Add(&broken);
    EXPECT_EQ(broken.m_OutsideCount, 1);
    EXPECT_EQ(tree.FindNode(1), nullptr);

    // A filed object whose box turns NaN is taken out and reported by the next update.
    FakeObject moving(2, Cube(1.0f, 2.0f));
    tree.Add(&moving);
    moving.m_Box.max.x = nan;
    tree.Update(&moving);
    EXPECT_EQ(moving.m_OutsideCount, 1);
    EXPECT_EQ(tree.FindNode(2), nullptr);
    EXPECT_EQ(tree.GetObjectCount(), 0u);
}

TEST(COctTree, AddBeforeRebuildAndRemoveOfUnfiledDoNothing)
{
    COctTree tree(2, Cube(0.0f, 16.0f));
    FakeObject inside(1, Cube(1.0f, 2.0f));
    FakeObject outside(2, Cube(20.0f, 21.0f));
    tree.Add(&inside);
    tree.Add(&outside);
    tree.Update(&inside);
    tree.Remove(&inside);
    tree.Add(nullptr);
    tree.Remove(nullptr);
    EXPECT_EQ(outside.m_OutsideCount, 0);
    EXPECT_EQ(tree.GetObjectCount(), 0u);

    tree.Rebuild();
    tree.Remove(&inside);
    tree.Update(&inside); // never added: stays unfiled
    EXPECT_EQ(tree.GetObjectCount(), 0u);
}

TEST_F(SmallTree, SecondAddReFilesWithoutAStaleEntry)
{
    FakeObject object(5, Cube(1.0f, 2.0f));
    tree.Add(&object);
    const SOctNode* first = tree.FindNode(5);
    object.m_Box = Cube(13.0f, 14.0f);
    tree.Add(&object);
    EXPECT_TRUE(SameBox(NodeBoxOf(5), Cube(12.0f, 16.0f)));
    EXPECT_EQ(first->m_Objects.count(5), 0u);
    EXPECT_EQ(tree.GetObjectCount(), 1u);
}

TEST_F(SmallTree, AnotherObjectUnderTheSameKeyIsNotRemovedByTheFirst)
{
    FakeObject first(5, Cube(1.0f, 2.0f));
    FakeObject second(5, Cube(13.0f, 14.0f));
    tree.Add(&first);
    tree.Add(&second);
    tree.Remove(&first);
    tree.Update(&first);
    ASSERT_NE(tree.FindNode(5), nullptr);
    EXPECT_EQ(tree.FindNode(5)->m_Objects.at(5), &second);
    EXPECT_EQ(tree.GetObjectCount(), 1u);
}

TEST_F(SmallTree, AnObjectIsFoundWhereItIsFiledAfterEveryWayOfLeavingItsNode)
{
    // The tree keeps each object's node with the object; these are the ways an object leaves
    // its node without the tree being asked about that object.
    {
        SCOPED_TRACE("rebuilt");
        COctTree other(2, Cube(0.0f, 16.0f));
        other.Rebuild();
        FakeObject object(1, Cube(1.0f, 2.0f));
        other.Add(&object);
        other.Rebuild(); // the old nodes are gone
        object.m_Box = Cube(13.0f, 14.0f);
        other.Update(&object);
        other.Remove(&object);
        EXPECT_EQ(other.FindNode(1), nullptr);
        EXPECT_EQ(other.GetObjectCount(), 0u);
    }
    {
        SCOPED_TRACE("filed in two trees");
        COctTree other(1, Cube(0.0f, 16.0f));
        other.Rebuild();
        FakeObject object(2, Cube(1.0f, 2.0f));
        tree.Add(&object);
        other.Add(&object);
        object.m_Box = Cube(13.0f, 14.0f);
        tree.Update(&object);
        EXPECT_TRUE(SameBox(NodeBoxOf(2), Cube(12.0f, 16.0f)));
        other.Update(&object);
        ASSERT_NE(other.FindNode(2), nullptr);
        EXPECT_TRUE(SameBox(other.FindNode(2)->m_Box, Cube(8.0f, 16.0f)));
        other.Remove(&object);
        EXPECT_EQ(other.FindNode(2), nullptr);
        EXPECT_TRUE(SameBox(NodeBoxOf(2), Cube(12.0f, 16.0f))) << "the other tree's removal";
        tree.Remove(&object);
    }
    {
        SCOPED_TRACE("a copy of a filed object");
        FakeObject object(3, Cube(1.0f, 2.0f));
        tree.Add(&object);
        FakeObject copy(object);
        copy.m_Box = Cube(13.0f, 14.0f);
        tree.Update(&copy);
        tree.Remove(&copy);
        ASSERT_NE(tree.FindNode(3), nullptr);
        EXPECT_EQ(tree.FindNode(3)->m_Objects.at(3), &object);
        tree.Remove(&object);
        EXPECT_EQ(tree.GetObjectCount(), 0u);
    }
}

TEST_F(SmallTree, UpdateMovesOnlyWhenTheBoxNoLongerFitsOrFitsDeeper)
{
    FakeObject object(1, Cube(1.0f, 2.0f));
    tree.Add(&object);
    const SOctNode* leaf = tree.FindNode(1);

    object.m_Box = Cube(2.0f, 3.0f); // still inside the same leaf
    tree.Update(&object);
    EXPECT_EQ(tree.FindNode(1), leaf);

    object.m_Box = Cube(3.0f, 5.0f); // straddles child 0's planes: up to child 0
    tree.Update(&object);
    EXPECT_TRUE(SameBox(NodeBoxOf(1), Cube(0.0f, 8.0f)));
    EXPECT_EQ(leaf->m_Objects.count(1), 0u);

    object.m_Box = Cube(5.0f, 6.0f); // fits a child of its node again: down
    tree.Update(&object);
    EXPECT_TRUE(SameBox(NodeBoxOf(1), Cube(4.0f, 8.0f)));
    EXPECT_EQ(object.m_OutsideCount, 0);
    EXPECT_EQ(tree.GetObjectCount(), 1u);
}

TEST_F(SmallTree, UpdateOutOfTheWorldUnfilesAndReports)
{
    FakeObject object(1, Cube(14.0f, 15.0f));
    tree.Add(&object);
    object.m_Box = Cube(15.5f, 16.5f);
    tree.Update(&object);
    EXPECT_EQ(object.m_OutsideCount, 1);
    EXPECT_EQ(tree.FindNode(1), nullptr);
    EXPECT_EQ(tree.GetObjectCount(), 0u);
    tree.Update(&object); // no longer filed: nothing more happens
    EXPECT_EQ(object.m_OutsideCount, 1);
}

TEST_F(SmallTree, NeighboursAreBelowInAndAboveTheNodeButNeverTheObjectItself)
{
    FakeObject a(1, Cube(1.0f, 2.0f));                        // leaf (0..4)
    FakeObject b(2, Cube(0.5f, 1.5f));                        // same leaf
    FakeObject c(3, Cube(7.0f, 9.0f));                        // root
    FakeObject d(4, Cube(3.0f, 5.0f));                        // child 0 (0..8)
    FakeObject e(5, Cube(12.5f, 13.0f));                      // leaf in the far octant
    FakeObject f(6, Cube(5.0f, 6.0f));                        // child 0's leaf (4..8)
    FakeObject g(7, Box(0.5f, 0.5f, 0.5f, 1.0f, 1.0f, 1.0f)); // same leaf as a
    for (FakeObject* o : {&a, &b, &c, &d, &e, &f, &g})
    {
        tree.Add(o);
    }

    std::vector<std::uint32_t> out;
    tree.GetNeighbours(1, out);
    EXPECT_THAT(out, UnorderedElementsAre(2u, 7u, 4u, 3u));

    out.clear();
    tree.GetNeighbours(4, out);
    EXPECT_THAT(out, UnorderedElementsAre(1u, 2u, 7u, 6u, 3u));
    EXPECT_EQ(out.back(), 3u); // the enclosing nodes come after the subtree

    out.clear();
    tree.GetNeighbours(3, out);
    EXPECT_THAT(out, UnorderedElementsAre(1u, 2u, 4u, 5u, 6u, 7u));

    // Appends: a second call doubles the entries; an unknown key adds nothing.
    out.clear();
    tree.GetNeighbours(5, out);
    EXPECT_THAT(out, UnorderedElementsAre(3u));
    tree.GetNeighbours(5, out);
    tree.GetNeighbours(99, out);
    EXPECT_THAT(out, UnorderedElementsAre(3u, 3u));
}

TEST_F(SmallTree, RebuildDropsEveryFiledObject)
{
    FakeObject object(1, Cube(1.0f, 2.0f));
    tree.Add(&object);
    tree.SetWorldBox(Cube(0.0f, 32.0f));
    tree.SetDepth(1);
    tree.Rebuild();
    EXPECT_EQ(tree.GetObjectCount(), 0u);
    EXPECT_EQ(tree.FindNode(1), nullptr);
    EXPECT_TRUE(SameBox(tree.GetRoot()->m_Box, Cube(0.0f, 32.0f)));
    EXPECT_TRUE(tree.GetRoot()->GetChild(0)->IsLeaf());
    std::vector<std::uint32_t> out;
    tree.GetNeighbours(1, out);
    EXPECT_TRUE(out.empty());
}

TEST_F(SmallTree, WalksVisitOnlyNodesThatPassInPreOrder)
{
    std::vector<const SOctNode*> nodes;
    tree.CollectNodesOverlapping(Cube(1.0f, 2.0f), nodes);
    ASSERT_EQ(nodes.size(), 3u); // root, child 0, its leaf 0
    EXPECT_EQ(nodes[0], tree.GetRoot());
    EXPECT_EQ(nodes[1], tree.GetRoot()->GetChild(0));
    EXPECT_EQ(nodes[2], tree.GetRoot()->GetChild(0)->GetChild(0));

    // Touching counts as overlapping: the box at the centre point meets every child there.
    nodes.clear();
    tree.CollectNodesOverlapping(Cube(8.0f, 8.0f), nodes);
    EXPECT_EQ(nodes.size(), 1u + 8u + 8u);

    nodes.clear();
    tree.CollectNodesOverlapping(Cube(20.0f, 21.0f), nodes);
    EXPECT_TRUE(nodes.empty());

    // A test that refuses a node keeps the walk out of its subtree: only the lower x half.
    nodes.clear();
    tree.CollectNodes([](const SOctNode& node) { return node.m_Box.min.x < 8.0f; }, nodes);
    EXPECT_EQ(nodes.size(), 1u + 4u + 32u);
}

namespace
{
// Every node's key array holds exactly its object map's keys, and its branch count is the
// number of objects in it and below it.
std::size_t CheckBookkeeping(const SOctNode& node)
{
    std::vector<std::uint32_t> keys;
    for (const auto& entry : node.m_Objects)
    {
        keys.push_back(entry.first);
    }
    EXPECT_THAT(node.m_Keys, ::testing::UnorderedElementsAreArray(keys));
    std::size_t below = node.m_Objects.size();
    for (int i = 0; i < SOctNode::kChildCount; ++i)
    {
        if (node.GetChild(i))
        {
            below += CheckBookkeeping(*node.GetChild(i));
        }
    }
    EXPECT_EQ(node.m_SubtreeCount, below);
    return below;
}
} // namespace

TEST_F(SmallTree, KeyArraysAndBranchCountsFollowAddingMovingRefilingAndRemoving)
{
    FakeObject a(1, Cube(1.0f, 2.0f));    // a leaf
    FakeObject b(2, Cube(7.0f, 9.0f));    // the root
    FakeObject c(3, Cube(12.5f, 13.0f));  // a leaf in the far octant
    FakeObject twin(3, Cube(1.0f, 1.5f)); // a second object under c's key
    for (FakeObject* o : {&a, &b, &c})
    {
        tree.Add(o);
    }
    EXPECT_EQ(CheckBookkeeping(*tree.GetRoot()), 3u);

    a.m_Box = Cube(3.0f, 5.0f); // grows across a leaf boundary: child 0
    tree.Update(&a);
    EXPECT_EQ(CheckBookkeeping(*tree.GetRoot()), 3u);

    tree.Add(&twin); // takes over key 3
    EXPECT_EQ(CheckBookkeeping(*tree.GetRoot()), 3u);
    tree.Remove(&c); // no longer filed under its key: nothing changes
    EXPECT_EQ(CheckBookkeeping(*tree.GetRoot()), 3u);

    tree.Remove(&a);
    tree.Remove(&twin);
    EXPECT_EQ(CheckBookkeeping(*tree.GetRoot()), 1u);
    std::vector<std::uint32_t> out;
    tree.GetNeighbours(2, out);
    EXPECT_TRUE(out.empty());
}
