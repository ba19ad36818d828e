// Scene graphs on the headless device: the tree Build makes (shapes and depths, technique
// sharing, batch matching, partitions), its dump, the node operations (culling, partitions,
// water visibility), who owns the operations, the pooled nodes given back, a node the allocator
// cannot give, and the measured times. Drawing through the graph is in RendererTest.
#include "SceneGraphTestWorld.h"

#include "LogCapture.h"
#include "common/MemMgr/AllocatorRegistry.h"
#include "common/MemMgr/ObjectAllocator.h"
#include "engine/gfx/scene/CDefaultSceneGraphMgrImp.h"
#include "engine/gfx/scene/DefaultNodeOps.h"
#include "engine/gfx/scene/SceneNodes.h"
#include "engine/gfx/water/CWaterManager.h"
#include "engine/gfx/water/WaterVisibilityNodeOps.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <typeinfo>

using namespace dorvo::gfx;
using gfxtest::kNoLight;
using gfxtest::kNoLightTechnique;
using gfxtest::kPasses;
using gfxtest::TestGfxUnit;

namespace
{
class SceneGraphTest : public gfxtest::SceneGraphWorld
{
};

// Nodes under a node, of one kind, in order.
std::vector<ACSceneNode*> ChildrenOfKind(const ACSceneNode* node, ACSceneNode::ENodeType kind)
{
    std::vector<ACSceneNode*> found;
    for (ACSceneNode* child : node->GetChildren())
        if (child->GetType() == kind)
            found.push_back(child);
    return found;
}

// Every node of the tree by kind, counted by walking it.
void CountByWalking(const ACSceneNode* node, std::array<unsigned, 6>& counts)
{
    if (!node)
        return;
    ++counts[node->GetType()];
    for (const ACSceneNode* child : node->GetChildren())
        CountByWalking(child, counts);
}

// The counters of the graph agree with its tree.
void ExpectCountersMatchTree(const CSceneGraphMgr& graph)
{
    std::array<unsigned, 6> counts{};
    CountByWalking(graph.GetImplementation().GetRoot(), counts);
    EXPECT_EQ(graph.GetTransformationNodeCount(), counts[ACSceneNode::TRANSFORMATION]);
    EXPECT_EQ(graph.GetGeometryNodeCount(), counts[ACSceneNode::GEOMETRY]);
    EXPECT_EQ(graph.GetEffectNodeCount(), counts[ACSceneNode::EFFECT]);
    EXPECT_EQ(graph.GetBatchNodeCount(), counts[ACSceneNode::BATCH]);
    EXPECT_EQ(graph.GetSPINodeCount(), counts[ACSceneNode::SPI]);
    unsigned all = 0;
    for (unsigned c : counts)
        all += c;
    EXPECT_EQ(graph.GetNodeCount(), all);
}

// Pooled node blocks in use, over every node class's size.
std::uint32_t NodesInUse()
{
    std::set<std::size_t> sizes = {sizeof(CGeometryNode), sizeof(CTransformationNode), sizeof(CEffectNode),
                                   sizeof(CBatchNode), sizeof(CSPINode)};
    std::uint32_t inUse = 0;
    for (std::size_t size : sizes)
        if (const MemMgr::CObjectAllocator* pool = MemMgr::AllocatorRegistry::GetAllocator(size))
            inUse += pool->GetObjectsInUse();
    return inUse;
}

std::vector<SSpacePartition> TwoPartitions()
{
    // x from -5 to -1 and from 1 to 5.
    SSpacePartition left, right;
    left.box = math::AABB(math::Vector3(-5, -5, -5), math::Vector3(-1, 5, 5));
    left.sphere = math::Sphere(math::Vector3(-3, 0, 0), 2.0f);
    right.box = math::AABB(math::Vector3(1, -5, -5), math::Vector3(5, 5, 5));
    right.sphere = math::Sphere(math::Vector3(3, 0, 0), 2.0f);
    return {left, right};
}
} // namespace

TEST_F(SceneGraphTest, BuildMakesTheShapeAndDepthOfEachCase)
{
    struct Case
    {
        const char* what;
        int units;
        bool partitions;
        float x;
        unsigned depth, nodes, spi;
    };
    const Case cases[] = {
        {"no units: the identity root alone", 0, false, 0.0f, 1, 1, 0},
        {"one unit: root, effect, batch, geometry, transformation", 1, false, 0.0f, 5, 5, 0},
        {"one unit inside a partition", 1, true, -3.0f, 6, 7, 2},
        {"one unit in neither: a loose node", 1, true, 0.0f, 6, 8, 3},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        units.clear();
        CSceneGraphMgr graph;
        if (c.partitions)
            graph.SetSpacePartitions(TwoPartitions());
        for (int i = 0; i < c.units; ++i)
            Unit("Box.x", c.x);
        BuildAndDraw(graph);
        EXPECT_EQ(graph.GetDepth(), c.depth);
        EXPECT_EQ(graph.GetNodeCount(), c.nodes);
        EXPECT_EQ(graph.GetSPINodeCount(), c.spi);
        ExpectCountersMatchTree(graph);
        EXPECT_EQ(gfxtest::CallsOf(plat::devicedebug::CallKind::Draw).size(),
                  static_cast<std::size_t>(c.units));
        // The root is an identity transformation.
        const ACSceneNode* root = graph.GetImplementation().GetRoot();
        ASSERT_NE(root, nullptr);
        ASSERT_EQ(root->GetType(), ACSceneNode::TRANSFORMATION);
        const math::Matrix4 identity;
        EXPECT_TRUE(std::equal(identity.m, identity.m + 16,
                               static_cast<const CTransformationNode*>(root)->GetMatrix().m));
    }
}

TEST_F(SceneGraphTest, EffectNodesAreKeyedByTechniqueAndTheFirstUnitsFileIsDrawn)
{
    CSceneGraphMgr graph;
    Unit("First.x", -1.0f, kNoLight, kNoLightTechnique);
    Unit("Second.x", 1.0f, kPasses, kNoLightTechnique); // same technique, another file
    Unit("Third.x", 0.0f, kPasses, "One");
    BuildAndDraw(graph);
    EXPECT_EQ(graph.GetEffectNodeCount(), 2u);
    const auto effects = ChildrenOfKind(graph.GetImplementation().GetRoot(), ACSceneNode::EFFECT);
    ASSERT_EQ(effects.size(), 2u);
    EXPECT_EQ(static_cast<CEffectNode*>(effects[0])->GetFXFile(), kNoLight);
    EXPECT_EQ(static_cast<CEffectNode*>(effects[1])->GetTechnique(), "One");
    std::vector<std::string> drawn;
    for (const auto& call : gfxtest::CallsOf(plat::devicedebug::CallKind::Draw))
        drawn.push_back(call.name);
    EXPECT_EQ(drawn, (std::vector<std::string>{"TextureMappingNoLight.fx/TextureMappingNoLight/0",
                                               "TextureMappingNoLight.fx/TextureMappingNoLight/0",
                                               "Passes.fx/One/0"}));
}

TEST_F(SceneGraphTest, BatchesMatchByTheFileNamesOfTextureZeroOrThree)
{
    struct Case
    {
        const char *firstT0, *firstT3, *secondT0, *secondT3;
        unsigned batches;
    };
    const Case cases[] = {
        {"a", nullptr, "a", nullptr, 1},     // texture 0 alike
        {"a", "b", "a", "c", 1},             // texture 0 alike, 3 not
        {"a", "b", "c", "b", 1},             // texture 3 alike
        {"a", nullptr, "c", nullptr, 2},     // nothing alike
        {"a", "b", nullptr, nullptr, 1},     // neither texture: the first batch
        {nullptr, nullptr, "a", nullptr, 2}, // an empty stage of the batch matches nothing
        {"a", nullptr, nullptr, "a", 2},     // same file, other stage
        {nullptr, "d", nullptr, "d", 1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.firstT0 ? c.firstT0 : "-") + (c.firstT3 ? c.firstT3 : "-") + " then " +
                     (c.secondT0 ? c.secondT0 : "-") + (c.secondT3 ? c.secondT3 : "-"));
        units.clear();
        CSceneGraphMgr graph;
        Unit("One.x", 0.0f, kNoLight, kNoLightTechnique, c.firstT0, c.firstT3);
        Unit("Two.x", 0.0f, kNoLight, kNoLightTechnique, c.secondT0, c.secondT3);
        graph.Build(List());
        EXPECT_EQ(graph.GetBatchNodeCount(), c.batches);
        // The batch keeps the first unit's textures.
        const ACSceneNode* effect = graph.GetImplementation().GetRoot()->GetChildren().front();
        const auto* batch = static_cast<const CBatchNode*>(effect->GetChildren().front());
        EXPECT_EQ(batch->GetTexture(0), units[0]->GetTexture(0));
        EXPECT_EQ(batch->GetTexture(3), units[0]->GetTexture(3));
    }
}

TEST_F(SceneGraphTest, UnitsGoIntoTheFirstPartitionEnclosingThemElseOneLooseNode)
{
    CSceneGraphMgr graph;
    graph.SetSpacePartitions(TwoPartitions());
    Unit("Left.x", -3.0f);
    Unit("Right.x", 3.0f);
    Unit("Far.x", 20.0f);
    Unit("Farther.x", 25.0f);
    Unit("Straddling.x", -1.0f); // its sphere crosses the left box's face
    Unit("OtherLeft.x", -3.0f, kPasses, "One");
    graph.Build(List());
    ExpectCountersMatchTree(graph);

    const auto effects = ChildrenOfKind(graph.GetImplementation().GetRoot(), ACSceneNode::EFFECT);
    ASSERT_EQ(effects.size(), 2u);
    const auto spis = ChildrenOfKind(effects[0], ACSceneNode::SPI);
    ASSERT_EQ(spis.size(), 3u);
    EXPECT_EQ(effects[0]->GetChildCount(), 3u); // partitions hold the batches
    const auto* left = static_cast<CSPINode*>(spis[0]);
    const auto* right = static_cast<CSPINode*>(spis[1]);
    const auto* loose = static_cast<CSPINode*>(spis[2]);
    EXPECT_FALSE(left->IsLoose());
    EXPECT_EQ(left->GetBox().min.x, -5.0f);
    EXPECT_FALSE(right->IsLoose());
    EXPECT_TRUE(loose->IsLoose());
    auto geometryUnder = [](const ACSceneNode* spi)
    {
        std::vector<std::string> meshes;
        for (const ACSceneNode* batch : spi->GetChildren())
            for (const ACSceneNode* geometry : batch->GetChildren())
                meshes.push_back(static_cast<const CGeometryNode*>(geometry)->GetUnit()->GetMeshName());
        return meshes;
    };
    EXPECT_EQ(geometryUnder(left), std::vector<std::string>{"Left.x"});
    EXPECT_EQ(geometryUnder(right), std::vector<std::string>{"Right.x"});
    EXPECT_EQ(geometryUnder(loose), (std::vector<std::string>{"Far.x", "Farther.x", "Straddling.x"}));
    // The loose node starts from the first unit it took.
    EXPECT_EQ(loose->GetSphere().center.x, 20.0f);
    // A new effect node gets its own partitions, in order.
    const auto otherSpis = ChildrenOfKind(effects[1], ACSceneNode::SPI);
    ASSERT_EQ(otherSpis.size(), 2u);
    EXPECT_EQ(geometryUnder(otherSpis[0]), std::vector<std::string>{"OtherLeft.x"});
    EXPECT_EQ(otherSpis[1]->GetChildCount(), 0u);
}

TEST_F(SceneGraphTest, DumpWritesOneIndentedLinePerNodeWithItsDetail)
{
    CSceneGraphMgr graph;
    TestGfxUnit& unit = Unit("Box.x", 2.0f, kNoLight, kNoLightTechnique, "a", "b");
    unit.world[3][1] = 0.5f;
    graph.Build(List());
    std::ostringstream out;
    graph.Dump(out);
    EXPECT_EQ(out.str(), "Node ID: TRANSFORMATION>>>>>Matrix of form [row1, row2, row3, row4]: "
                         "[ (1,0,0,0)(0,1,0,0)(0,0,1,0)(0,0,0,1) ]\n"
                         "\tNode ID: EFFECT>>>>>Effect File Name: TextureMappingNoLight.fx\n"
                         "\t\tNode ID: BATCH>>>>>Texture #0 File Name: a.png\nTexture #3 File Name: b.png\n\n"
                         "\t\t\tNode ID: GEOMETRY>>>>>.X File Name: Box.x\n"
                         "\t\t\t\tNode ID: TRANSFORMATION>>>>>Matrix of form [row1, row2, row3, row4]: "
                         "[ (1,0,0,0)(0,1,0,0)(0,0,1,0)(2,0.5,0,1) ]\n");

    SSpacePartition partition;
    partition.sphere = math::Sphere(math::Vector3(1, 2, 3.5f), 4.0f);
    partition.box = math::AABB(math::Vector3(-10, -10, -10), math::Vector3(10, 10, 10));
    graph.SetSpacePartitions({partition});
    graph.Build(List());
    const ACSceneNode* spi =
        graph.GetImplementation().GetRoot()->GetChildren().front()->GetChildren().front();
    std::ostringstream part;
    graph.GetImplementation().Dump(part, spi);
    const std::string text = part.str();
    EXPECT_EQ(text.substr(0, text.find("\tNode ID: BATCH")),
              "Node ID: SPI>>>>>WorldSpaceBS's Center: [1, 2, 3.5\nWorldSpaceBS's Radius: 4\n\n");
    // A dump started lower begins at no indent.
    EXPECT_NE(text.find("\n\t\tNode ID: GEOMETRY"), std::string::npos);
    EXPECT_STREQ(ACSceneNode::TypeName(42), "");
}

TEST_F(SceneGraphTest, DefaultGeometryOperationCullsByBoundsFlagsAndTheFramesEarlierResult)
{
    struct Case
    {
        const char* what;
        std::uint32_t type;
        bool inside, always, reuse, secondary, flagBefore;
        bool queued;
        int tests;
        bool flagAfter;
    };
    const Case cases[] = {
        {"sphere inside", 0, true, false, false, false, false, true, 1, true},
        {"sphere outside", 0, false, false, false, false, true, false, 1, false},
        {"box inside", 1, true, false, false, false, false, true, 1, true},
        {"box outside", 1, false, false, false, false, true, false, 1, false},
        {"no bounds", 2, true, false, false, false, true, false, 0, false},
        {"no bounds, always visible", 2, true, true, false, false, false, true, 0, false},
        {"always visible beats every flag", 0, false, true, true, true, false, true, 0, false},
        {"reused: invisible before", 0, true, false, true, false, false, false, 0, false},
        {"reused: visible before", 0, false, false, true, false, true, true, 0, true},
        {"secondary: not seen by the main viewport", 0, true, false, false, true, false, false, 1, false},
        {"secondary: seen by the main viewport", 0, true, false, false, true, true, true, 1, true},
        {"secondary: outside its own frustum", 0, false, false, false, true, true, false, 1, false},
    };
    CRenderer& renderer = CRenderer::Instance();
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        units.clear();
        TestGfxUnit& unit = Unit("Box.x", c.inside ? 0.0f : 50.0f);
        unit.boundingType = c.type;
        unit.alwaysVisible = c.always;
        core.SetVisibilityValid(c.reuse);
        core.SetSecondViewport(c.secondary);
        std::unique_ptr<CGeometryNode> node(new CGeometryNode(&unit));
        node->SetVisibleAtLastTest(c.flagBefore);
        CDefaultGeometryNodeOp op;
        EXPECT_EQ(op(*node), c.queued);
        EXPECT_EQ(renderer.GetQueue().size(), c.queued ? 1u : 0u);
        EXPECT_EQ(unit.prepares, c.queued ? 1 : 0);
        EXPECT_EQ(unit.boundsTests, c.tests);
        EXPECT_EQ(node->IsVisibleAtLastTest(), c.flagAfter);
        renderer.ClearQueue();
    }
}

TEST_F(SceneGraphTest, PartitionAndWaterOperationsTestTheCurrentViewport)
{
    // Partitions: a loose node always, an empty partition never, else by its box.
    CDefaultSPINodeOp spiOp;
    TestGfxUnit& unit = Unit("Box.x", 50.0f);
    CSPINode loose(unit);
    EXPECT_TRUE(spiOp(loose));
    SSpacePartition inView;
    inView.box = math::AABB(math::Vector3(-1, -1, -1), math::Vector3(1, 1, 1));
    SSpacePartition outOfView;
    outOfView.box = math::AABB(math::Vector3(40, -1, -1), math::Vector3(60, 1, 1));
    CSPINode empty(inView), seen(inView), unseen(outOfView);
    CGeometryNode child(&unit);
    seen.AddChild(&child);
    unseen.AddChild(&child);
    EXPECT_FALSE(spiOp(empty));
    EXPECT_TRUE(spiOp(seen));
    EXPECT_FALSE(spiOp(unseen));
    seen.ClearChildren();
    unseen.ClearChildren();

    // Water: the mark set by a unit in view, whatever the frame's flags; nothing queued.
    struct Case
    {
        std::uint32_t type;
        float x;
        bool visible;
    };
    const Case cases[] = {{0, 0.0f, true}, {1, 0.0f, true}, {0, 50.0f, false}, {2, 0.0f, false}};
    CWaterVisibilityTestGeometryNodeOp waterOp;
    core.SetVisibilityValid(true);
    core.SetSecondViewport(true);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " at x " << c.x);
        CWaterManager::Instance().SetWaterVisible(false);
        TestGfxUnit& water = Unit("Water.x", c.x);
        water.boundingType = c.type;
        CGeometryNode node(&water);
        EXPECT_EQ(waterOp(node), c.visible);
        EXPECT_EQ(CWaterManager::Instance().IsWaterVisible(), c.visible);
        EXPECT_TRUE(CRenderer::Instance().IsQueueEmpty());
        EXPECT_EQ(water.prepares, 0);
    }
    CWaterManager::Instance().SetWaterVisible(false);
}

TEST_F(SceneGraphTest, TheWaterWalkSelectsNoEffectAndDrawsNothing)
{
    CSceneGraphMgr graph;
    Unit("Water.x", 0.0f, kNoLight, kNoLightTechnique, "a");
    graph.Build(List());
    EXPECT_TRUE(graph.SetGeometryNodeOp(std::make_unique<CWaterVisibilityTestGeometryNodeOp>()));
    EXPECT_TRUE(graph.SetEffectNodeOp(std::make_unique<CWaterVisibilityTestEffectNodeOp>()));
    EXPECT_TRUE(graph.SetBatchNodeOp(std::make_unique<CWaterVisibilityTestBatchNodeOp>()));
    fx.SelectEffect(kPasses);
    CWaterManager::Instance().SetWaterVisible(false);
    Draw(graph);
    EXPECT_TRUE(CWaterManager::Instance().IsWaterVisible());
    EXPECT_EQ(fx.GetCurrentEffect(), fx.GetEffect(kPasses));
    EXPECT_TRUE(gfxtest::CallsOf(plat::devicedebug::CallKind::Draw).empty());

    // The defaults back: the unit is drawn again.
    graph.SetGeometryNodeOp(std::make_unique<CDefaultGeometryNodeOp>());
    graph.SetEffectNodeOp(std::make_unique<CDefaultEffectNodeOp>());
    graph.SetBatchNodeOp(std::make_unique<CDefaultBatchNodeOp>());
    Draw(graph);
    EXPECT_EQ(gfxtest::CallsOf(plat::devicedebug::CallKind::Draw).size(), 1u);
    CWaterManager::Instance().SetWaterVisible(false);
}

namespace
{
// A geometry operation that counts its calls and its destructions.
class CountingGeometryOp : public IGeometryNodeOp
{
public:
    static int destroyed;
    ~CountingGeometryOp() override { ++destroyed; }
    CountingGeometryOp* Clone() const override { return new CountingGeometryOp; }
    bool operator()(CGeometryNode&) override
    {
        ++calls;
        return true;
    }
    int calls = 0;
};
int CountingGeometryOp::destroyed = 0;
} // namespace

TEST_F(SceneGraphTest, InstalledOperationsAreOwnedOnceAndNullIsRefused)
{
    CountingGeometryOp::destroyed = 0;
    auto graph = std::make_unique<CSceneGraphMgr>();
    EXPECT_EQ(graph->GetName(), "DefaultSceneGraphImp");
    Unit("Box.x");
    graph->Build(List());

    auto first = std::make_unique<CountingGeometryOp>();
    CountingGeometryOp* firstOp = first.get();
    EXPECT_TRUE(graph->SetGeometryNodeOp(std::move(first)));
    EXPECT_EQ(CountingGeometryOp::destroyed, 0);
    EXPECT_TRUE(graph->SetGeometryNodeOp(std::make_unique<CountingGeometryOp>()));
    EXPECT_EQ(CountingGeometryOp::destroyed, 1); // the first, once

    // Null is refused; the installed one stays and is walked.
    EXPECT_FALSE(graph->SetGeometryNodeOp(nullptr));
    EXPECT_FALSE(graph->SetTransformationNodeOp(nullptr));
    EXPECT_FALSE(graph->SetEffectNodeOp(nullptr));
    EXPECT_FALSE(graph->SetBatchNodeOp(nullptr));
    EXPECT_FALSE(graph->SetSPINodeOp(nullptr));
    auto* installed =
        static_cast<CountingGeometryOp*>(graph->GetImplementation().GetVisitor().GetGeometryNodeOp());
    ASSERT_NE(installed, nullptr);
    EXPECT_NE(installed, firstOp);
    graph->Traverse();
    EXPECT_EQ(installed->calls, 1);
    EXPECT_NE(graph->GetImplementation().GetVisitor().GetEffectNodeOp(), nullptr);

    graph.reset();
    EXPECT_EQ(CountingGeometryOp::destroyed, 2);

    // Clones are fresh objects of their own class.
    std::vector<std::unique_ptr<common::ICloneable>> ops;
    ops.emplace_back(new CDefaultGeometryNodeOp);
    ops.emplace_back(new CDefaultTransformationNodeOp);
    ops.emplace_back(new CDefaultEffectNodeOp);
    ops.emplace_back(new CDefaultBatchNodeOp);
    ops.emplace_back(new CDefaultSPINodeOp);
    ops.emplace_back(new CWaterVisibilityTestGeometryNodeOp);
    ops.emplace_back(new CWaterVisibilityTestEffectNodeOp);
    ops.emplace_back(new CWaterVisibilityTestBatchNodeOp);
    for (const auto& op : ops)
    {
        std::unique_ptr<common::ICloneable> clone(op->Clone());
        ASSERT_NE(clone, nullptr);
        EXPECT_NE(clone.get(), op.get());
        EXPECT_EQ(typeid(*clone), typeid(*op));
    }
}

TEST_F(SceneGraphTest, NodesComeFromThePoolAndGoBackOnClearBuildAndDestruction)
{
    const std::uint32_t before = NodesInUse();
    {
        CSceneGraphMgr graph;
        graph.SetSpacePartitions(TwoPartitions());
        for (float x : {-3.0f, 3.0f, 20.0f, 0.0f})
            Unit("Box.x", x, kNoLight, kNoLightTechnique, "a");
        graph.Build(List());
        EXPECT_EQ(NodesInUse() - before, graph.GetNodeCount());
        graph.Build(List()); // the old tree goes
        EXPECT_EQ(NodesInUse() - before, graph.GetNodeCount());
        graph.Clear();
        EXPECT_EQ(NodesInUse(), before);
        EXPECT_EQ(graph.GetNodeCount(), 0u);
        EXPECT_EQ(graph.GetDepth(), 0u);
        graph.Build(List());
        EXPECT_GT(NodesInUse(), before);
    }
    EXPECT_EQ(NodesInUse(), before);
}

TEST_F(SceneGraphTest, AUnitWhoseNodeCannotBeHadIsLeftOutAndTheTreeStaysWhole)
{
    // Allocations of one Build of two units of different techniques: the root, then the
    // effect, batch, geometry and transformation nodes of each.
    const std::uint32_t before = NodesInUse();
    for (unsigned failing = 0; failing < 9; ++failing)
    {
        SCOPED_TRACE(testing::Message() << "allocation " << failing + 1 << " fails");
        units.clear();
        Unit("First.x", -1.0f, kNoLight, kNoLightTechnique, "a");
        Unit("Second.x", 1.0f, kPasses, "One");
        CSceneGraphMgr graph;
        MemMgr::AllocatorRegistry::FailAllocations(failing, 1);
        testsupport::LogCapture logged;
        graph.Build(List());
        const std::string said = logged.Text();
        MemMgr::AllocatorRegistry::FailAllocations(0, 0);

        ExpectCountersMatchTree(graph);
        const unsigned leftOut = failing == 0 ? 2 : 1;
        EXPECT_EQ(graph.GetGeometryNodeCount(), 2u - leftOut);
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), static_cast<long>(leftOut)) << said;
        const char* missing = failing >= 1 && failing <= 4 ? "First.x" : "Second.x";
        EXPECT_NE(said.find(std::string("mesh \"") + missing + "\": no memory for its scene node"),
                  std::string::npos)
            << said;
        EXPECT_EQ(graph.GetDepth(), failing == 0 ? 0u : 5u);
        EXPECT_EQ(NodesInUse() - before, graph.GetNodeCount()); // nothing half-made is kept

        Draw(graph);
        EXPECT_EQ(gfxtest::CallsOf(plat::devicedebug::CallKind::Draw).size(), 2u - leftOut);
        // The next frame has memory again.
        graph.Build(List());
        EXPECT_EQ(graph.GetGeometryNodeCount(), 2u);
    }
    EXPECT_EQ(NodesInUse(), before);
}

TEST_F(SceneGraphTest, BuildAndTraverseAreTimed)
{
    CSceneGraphMgr graph;
    EXPECT_EQ(graph.GetBuildTime(), 0.0f);
    EXPECT_EQ(graph.GetTraverseTime(), 0.0f);
    Unit("Box.x");
    const bool wasEnabled = plat::testclock::IsEnabled();
    plat::testclock::Enable(true);
    plat::testclock::SetAutoAdvance(0.001); // every reading of the counter a millisecond on
    graph.Build(List());
    graph.Traverse();
    CRenderer::Instance().ClearQueue();
    plat::testclock::SetAutoAdvance(0.0);
    plat::testclock::Enable(wasEnabled);
    EXPECT_GT(graph.GetBuildTime(), 0.0f);
    EXPECT_LT(graph.GetBuildTime(), 0.1f);
    EXPECT_GT(graph.GetTraverseTime(), 0.0f);
    EXPECT_LT(graph.GetTraverseTime(), 0.1f);
}
