#include "common/CBSPTreeMgr.h"

#include "common/CBSPTree.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using common::CBSPTree;
using common::CBSPTreeMgr;

namespace
{
// Counts its own destruction, to see who deletes a tree and when.
class CountedTree : public CBSPTree
{
public:
    explicit CountedTree(int& deleted) : m_deleted(deleted) {}
    ~CountedTree() override { ++m_deleted; }

private:
    int& m_deleted;
};
} // namespace

TEST(CBSPTreeMgr, LooksTreesUpByName)
{
    CBSPTreeMgr manager;
    EXPECT_EQ(manager.GetTree("Terrain01"), nullptr);

    auto terrain = std::make_unique<CBSPTree>();
    terrain->Build({math::Triangle(math::Vector3(0, 0, 0), math::Vector3(1, 0, 0), math::Vector3(0, 0, 1))});
    CBSPTree* const built = terrain.get();
    EXPECT_EQ(manager.AddTree("Terrain01", std::move(terrain)), built);
    CBSPTree* const water = manager.AddTree("Water", std::make_unique<CBSPTree>());

    EXPECT_EQ(manager.GetTree("Terrain01"), built);
    EXPECT_EQ(manager.GetTree("Water"), water);
    EXPECT_NE(water, built);
    EXPECT_EQ(manager.GetTree("terrain01"), nullptr); // names are exact
    EXPECT_EQ(manager.GetTree(""), nullptr);
    EXPECT_EQ(built->GetNodeCount(), 1u);
}

TEST(CBSPTreeMgr, OwnsItsTreesAndKeepsTheFirstUnderAName)
{
    testsupport::AssertCapture capture;
    int firstDeleted = 0;
    int secondDeleted = 0;
    {
        CBSPTreeMgr manager;
        CBSPTree* const first = manager.AddTree("Rock", std::make_unique<CountedTree>(firstDeleted));
        // A second tree under a taken name is refused: units already point into the first.
        EXPECT_EQ(manager.AddTree("Rock", std::make_unique<CountedTree>(secondDeleted)), first);
        EXPECT_EQ(secondDeleted, 1);
        EXPECT_EQ(manager.GetTree("Rock"), first);
        EXPECT_EQ(manager.AddTree("Empty", nullptr), nullptr);
        EXPECT_EQ(manager.GetTree("Empty"), nullptr);
        EXPECT_EQ(firstDeleted, 0);
    }
    EXPECT_EQ(firstDeleted, 1); // deleted with the manager, through the virtual destructor
    EXPECT_EQ(capture.Texts(), (std::vector<std::string>{
                                   "CBSPTreeMgr::AddTree - a tree is already registered under that name.",
                                   "CBSPTreeMgr::AddTree - no tree given."}));
}

TEST(CBSPTreeMgr, InstanceIsOneManager)
{
    CBSPTreeMgr& manager = CBSPTreeMgr::Instance();
    EXPECT_EQ(&manager, &CBSPTreeMgr::Instance());
    CBSPTree* const tree = manager.AddTree("CBSPTreeMgrTest.Instance", std::make_unique<CBSPTree>());
    EXPECT_EQ(CBSPTreeMgr::Instance().GetTree("CBSPTreeMgrTest.Instance"), tree);
}
