// The render queue drawing through scene graphs on the headless device's call log: one flush
// per batch that has visible units, passes into the post-processor's scene targets, wireframe
// units, the counters through the facade's frame, the stable depth sort in both modes, the
// frame's cheap paths (buffers bound once, one bounds test per unit and frame), an effect that
// is not loaded, and an absent graph in the facade's frame.
#include "SceneGraphTestWorld.h"

#include "LogCapture.h"
#include "common/Singleton.h"
#include "engine/gfx/postprocess/CPostProcessor.h"

#include <gtest/gtest.h>

using namespace dorvo::gfx;
using gfxtest::kNoLight;
using gfxtest::kNoLightTechnique;
using gfxtest::kPasses;
using gfxtest::TestGfxUnit;
using plat::devicedebug::CallKind;

namespace
{
class RendererTest : public gfxtest::SceneGraphWorld
{
protected:
    void TearDown() override
    {
        if (common::Singleton<CPostProcessor>::Exists())
            CPostProcessor::Instance().RestoreBackBuffer();
        SceneGraphWorld::TearDown();
    }

    std::vector<plat::devicedebug::LoggedCall> Draws() const { return gfxtest::CallsOf(CallKind::Draw); }

    CRenderer& renderer = CRenderer::Instance();
};

std::vector<std::string> Names(const std::vector<plat::devicedebug::LoggedCall>& calls)
{
    std::vector<std::string> names;
    for (const auto& call : calls)
        names.push_back(call.name);
    return names;
}
} // namespace

TEST_F(RendererTest, EachBatchWithVisibleUnitsFlushesOnce)
{
    CSceneGraphMgr graph;
    Unit("A1.x", -1.0f, kNoLight, kNoLightTechnique, "a");
    Unit("B.x", 2.0f, kNoLight, kNoLightTechnique, "b");
    Unit("A2.x", 1.0f, kNoLight, kNoLightTechnique, "a");
    Unit("C.x", 50.0f, kNoLight, kNoLightTechnique, "c"); // its batch has nothing in view
    renderer.ResetCounters();
    BuildAndDraw(graph);
    EXPECT_EQ(graph.GetBatchNodeCount(), 3u);
    EXPECT_EQ(renderer.GetFlushCount(), 2u);
    EXPECT_EQ(Draws().size(), 3u);
    EXPECT_EQ(renderer.GetObjectsDrawn(), 3u);
    EXPECT_EQ(renderer.GetTrianglesDrawn(), 6u);
    EXPECT_TRUE(renderer.IsQueueEmpty());
    // Every draw had the batch's texture bound.
    for (const auto& call : Draws())
        EXPECT_EQ(call.textureCount, 1u);
}

TEST_F(RendererTest, PassesGoIntoTheSceneTargetsOnlyWithPostProcessingAndNotSinglePass)
{
    struct Case
    {
        const char* technique;
        bool postProcessing, singlePass;
        std::vector<std::string> draws;
        bool intoSceneTargets;
        int lines;
    };
    const Case cases[] = {
        {"One", false, false, {"Passes.fx/One/0"}, false, 0},
        {"Three", false, false, {"Passes.fx/Three/0"}, false, 0},
        {"Three", true, false, {"Passes.fx/Three/0", "Passes.fx/Three/1", "Passes.fx/Three/2"}, true, 0},
        {"Three", true, true, {"Passes.fx/Three/0"}, false, 0},
        {"Five", false, false, {"Passes.fx/Five/0"}, false, 0},
        {"Five",
         true,
         false,
         {"Passes.fx/Five/0", "Passes.fx/Five/1", "Passes.fx/Five/2", "Passes.fx/Five/3"},
         true,
         1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.technique << (c.postProcessing ? " post-processing" : "")
                                        << (c.singlePass ? " single-pass" : ""));
        units.clear();
        CSceneGraphMgr graph;
        Unit("Box.x", 0.0f, kPasses, c.technique);
        gfx.SetRenderFlags(CDorvoGfx::kDefaultRenderFlags |
                           (c.postProcessing ? std::uint32_t{CDorvoGfx::RF_POST_PROCESSING} : 0u));
        renderer.SetSinglePass(c.singlePass);
        renderer.ResetCounters();
        testsupport::LogCapture logged;
        BuildAndDraw(graph);
        Draw(graph); // a second frame says nothing new
        const std::string said = logged.Text();
        CPostProcessor::Instance().RestoreBackBuffer();

        const auto draws = Draws();
        EXPECT_EQ(Names(draws), c.draws);
        for (std::size_t i = 0; i < draws.size(); ++i)
        {
            const unsigned sceneTarget = plat::devicedebug::CreationNumber(
                CPostProcessor::Instance().GetSceneTarget(static_cast<unsigned>(i)));
            if (c.intoSceneTargets)
            {
                EXPECT_EQ(draws[i].target, sceneTarget) << "pass " << i;
            }
            else
            {
                EXPECT_NE(draws[i].target, sceneTarget) << "pass " << i;
            }
        }
        EXPECT_EQ(renderer.GetTrianglesDrawn(), 2u * 2u * c.draws.size());
        EXPECT_EQ(renderer.GetObjectsDrawn(), 2u);
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), c.lines) << said;
        if (c.lines)
        {
            EXPECT_NE(said.find("technique \"Five\": it has 5 passes; only the first 4 are drawn"),
                      std::string::npos)
                << said;
        }
    }
}

TEST_F(RendererTest, WireframeUnitsAreDrawnInLinesAndTheFillModeComesBack)
{
    for (bool coreWireframe : {false, true})
    {
        SCOPED_TRACE(coreWireframe ? "the core in wireframe" : "the core solid");
        units.clear();
        gfx.SetWireframe(coreWireframe);
        CSceneGraphMgr graph;
        TestGfxUnit& lines = Unit("Lines.x", -1.0f);
        lines.wireframe = true;
        lines.depth = 0.2f; // drawn first
        Unit("Solid.x", 1.0f).depth = 0.4f;
        BuildAndDraw(graph);
        const auto draws = Draws();
        ASSERT_EQ(draws.size(), 2u);
        const plat::DWORD coreMode = coreWireframe ? plat::D3DFILL_WIREFRAME : plat::D3DFILL_SOLID;
        EXPECT_EQ(draws[0].flags, static_cast<plat::DWORD>(plat::D3DFILL_WIREFRAME));
        EXPECT_EQ(draws[1].flags, coreMode);
        plat::DWORD now = 0;
        ASSERT_TRUE(plat::SUCCEEDED(device->GetRenderState(plat::D3DRS_FILLMODE, &now)));
        EXPECT_EQ(now, coreMode);
    }
    gfx.SetWireframe(false);
}

TEST_F(RendererTest, TheSortIsStableInBothModesAndOtherModesKeepTheQueueOrder)
{
    // Five units of one batch, each with buffers of its own so the bindings tell them apart.
    std::vector<std::unique_ptr<D3DRenderBuffers>> buffers;
    const float depths[5] = {0.5f, 0.2f, 0.5f, 0.9f, 0.2f};
    std::vector<unsigned> vertexBuffers;
    for (int i = 0; i < 5; ++i)
    {
        buffers.push_back(std::make_unique<D3DRenderBuffers>());
        ASSERT_TRUE(fxscene::MakeUnitQuad(*buffers.back()));
        TestGfxUnit& unit = Unit("Unit" + std::to_string(i) + ".x", 0.0f);
        unit.record.buffers = buffers.back().get();
        unit.depth = depths[i];
        vertexBuffers.push_back(plat::devicedebug::CreationNumber(buffers.back()->vertexBuffer));
    }
    struct Case
    {
        std::int32_t mode;
        std::vector<int> order;
    };
    const Case cases[] = {{CRenderer::SORT_FrontToBack, {1, 4, 0, 2, 3}},
                          {CRenderer::SORT_BackToFront, {3, 0, 2, 1, 4}},
                          {7, {0, 1, 2, 3, 4}}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode);
        CSceneGraphMgr graph;
        renderer.SetSortMode(c.mode);
        BuildAndDraw(graph);
        std::vector<int> order;
        for (const auto& call : gfxtest::CallsOf(CallKind::SetStreamSource))
            for (int i = 0; i < 5; ++i)
                if (call.source == vertexBuffers[i])
                    order.push_back(i);
        EXPECT_EQ(order, c.order);
    }
    units.clear();
}

TEST_F(RendererTest, SharedBuffersAreBoundOnceAndAnOffScreenUnitIsTestedOncePerFrame)
{
    CSceneGraphMgr graph;
    Unit("Left.x", -1.0f);
    Unit("Right.x", 1.0f); // the same quad
    TestGfxUnit& away = Unit("Away.x", 50.0f);
    BuildAndDraw(graph);
    EXPECT_EQ(Draws().size(), 2u);
    EXPECT_EQ(gfxtest::CallsOf(CallKind::SetStreamSource).size(), 1u);
    EXPECT_EQ(gfxtest::CallsOf(CallKind::SetIndices).size(), 1u);
    EXPECT_EQ(away.boundsTests, 1);

    // Later walks of the frame (the scene pass marked the results valid) test nothing again.
    core.SetVisibilityValid(true);
    Draw(graph);
    Draw(graph);
    EXPECT_EQ(away.boundsTests, 1);
    EXPECT_EQ(Draws().size(), 2u);
    for (const auto& unit : units)
        if (unit.get() != &away)
        {
            EXPECT_EQ(unit->boundsTests, 1);
        }

    // Units in a partition out of view are not tested at all.
    core.SetVisibilityValid(false);
    SSpacePartition far;
    far.box = math::AABB(math::Vector3(40, -5, -5), math::Vector3(60, 5, 5));
    graph.SetSpacePartitions({far});
    graph.Build(List()); // sorting into partitions reads the spheres
    away.boundsTests = 0;
    Draw(graph);
    EXPECT_EQ(away.boundsTests, 0);
    EXPECT_EQ(Draws().size(), 2u);
}

TEST_F(RendererTest, UnitsOfAnEffectThatIsNotLoadedAreSkippedWithOneLine)
{
    CSceneGraphMgr graph;
    TestGfxUnit& lost = Unit("Lost.x", 0.0f, "Missing.fx", "Gone");
    Unit("Fine.x", 1.0f);
    renderer.ResetCounters();
    testsupport::LogCapture logged;
    BuildAndDraw(graph);
    Draw(graph);
    const std::string said = logged.Text();
    EXPECT_EQ(said, "CRenderer::Flush: Missing.fx: the effect is not loaded; its units are not drawn\n");
    EXPECT_EQ(Names(Draws()), std::vector<std::string>{"TextureMappingNoLight.fx/TextureMappingNoLight/0"});
    EXPECT_EQ(renderer.GetObjectsDrawn(), 2u); // the loaded one, in both frames
    EXPECT_TRUE(renderer.IsQueueEmpty());
    EXPECT_EQ(lost.prepares, 2); // it was seen and queued, just not drawn
}

// The frame builds the opaque and transparent graphs from the objects it gathers, so the
// hand-built units go through the terrain graph, which the frame only draws.
TEST_F(RendererTest, TheFacadesFrameDrawsItsGraphsZeroesTheCountersAndSkipsAnAbsentOne)
{
    std::vector<std::string> trace;
    gfx.SetStepTrace(&trace);
    Unit("Opaque1.x", -1.0f);
    Unit("Opaque2.x", 1.0f);
    // The frame builds the terrain graph from the facade's terrain list.
    ASSERT_NE(gfx.GetSceneGraph(CDorvoGfx::SG_TERRAIN), nullptr);
    for (IGfxUnit* unit : List())
        gfx.AddTerrainUnit(unit);
    for (int frame = 0; frame < 2; ++frame)
    {
        gfx.RenderFrame(frame, 0.033f);
        EXPECT_EQ(renderer.GetObjectsDrawn(), 2u);
        EXPECT_EQ(renderer.GetTrianglesDrawn(), 4u);
    }

    // Without the opaque graph the frame goes on and the others still draw.
    gfx.SetSceneGraph(CDorvoGfx::SG_OPAQUE, nullptr);
    EXPECT_EQ(gfx.GetSceneGraph(CDorvoGfx::SG_OPAQUE), nullptr);
    gfx.RemoveTerrainUnit(units[1].get());
    trace.clear();
    gfx.RenderFrame(3.0, 0.033f);
    EXPECT_EQ(renderer.GetObjectsDrawn(), 1u);
    EXPECT_NE(std::find(trace.begin(), trace.end(), "opaque graph"), trace.end());
    EXPECT_NE(std::find(trace.begin(), trace.end(), "end frame"), trace.end());
    gfx.RemoveTerrainUnit(units[0].get());
    gfx.RenderFrame(4.0, 0.033f);
    EXPECT_EQ(renderer.GetObjectsDrawn(), 0u);
    EXPECT_EQ(gfx.GetSceneGraph(CDorvoGfx::SG_TERRAIN)->GetNodeCount(), 0u)
        << "an empty list clears the graph";
    gfx.SetStepTrace(nullptr);
}

TEST(RendererFacade, AReleaseLetsGoOfTheFiveGraphsAndTheNextStartMakesThemAgain)
{
    plat::headless::Reset();
    plat::DXUTInit(false, false, false, true);
    testsupport::TempWorkDir dir;
    dorvo::SEngineConfigInfo config;
    config.fxPath = testsupport::RepoPath("data/fx") + "/";
    CDorvoGfx& gfx = CDorvoGfx::Instance();
    ASSERT_TRUE(gfx.Init(config));
    gfx.SetSceneGraph(CDorvoGfx::SG_WATER, nullptr);
    gfx.Release();
    for (unsigned i = 0; i < CDorvoGfx::SG_COUNT; ++i)
        EXPECT_EQ(gfx.GetSceneGraph(i), nullptr);
    ASSERT_TRUE(gfx.Init(config));
    for (unsigned i = 0; i < CDorvoGfx::SG_COUNT; ++i)
    {
        ASSERT_NE(gfx.GetSceneGraph(i), nullptr);
        EXPECT_EQ(gfx.GetSceneGraph(i)->GetName(), "DefaultSceneGraphImp");
    }
    EXPECT_EQ(gfx.GetSceneGraph(CDorvoGfx::SG_COUNT), nullptr);
    gfx.Release();
    plat::headless::Reset();
}

TEST_F(RendererTest, SceneTargetsFollowTheDeviceAndAreReleasedWithTheFacade)
{
    CPostProcessor& post = CPostProcessor::Instance();
    for (unsigned i = 0; i < CPostProcessor::kSceneTargetCount; ++i)
    {
        ASSERT_NE(post.GetSceneTarget(i), nullptr);
        ASSERT_NE(post.GetSceneDepth(i), nullptr);
        plat::D3DSURFACE_DESC desc;
        ASSERT_TRUE(plat::SUCCEEDED(post.GetSceneDepth(i)->GetDesc(&desc)));
        EXPECT_EQ(desc.Format, plat::D3DFMT_D24S8);
        EXPECT_EQ(desc.Width, core.GetScreenWidth());
    }
    EXPECT_EQ(post.GetSceneTarget(4), nullptr);
    gfx.OnLostDevice();
    EXPECT_EQ(post.GetSceneTarget(0), nullptr);
    EXPECT_EQ(plat::devicedebug::LiveDefaultResources(device), 0u);
    gfx.OnResetDevice();
    EXPECT_NE(post.GetSceneTarget(3), nullptr);

    // Binding clears the target; selecting keeps what it holds.
    plat::headless::ClearCallLog();
    plat::headless::SetCallLogging(true);
    core.BeginFrame();
    post.BindSceneTarget(2);
    post.SelectSceneTarget(1);
    post.SelectSceneTarget(9); // nothing
    post.RestoreBackBuffer();
    core.EndScene();
    plat::headless::SetCallLogging(false);
    const auto clears = gfxtest::CallsOf(CallKind::Clear);
    ASSERT_GE(clears.size(), 2u);
    EXPECT_EQ(clears.back().target, plat::devicedebug::CreationNumber(post.GetSceneTarget(2)));
    EXPECT_EQ(clears.back().flags, static_cast<plat::DWORD>(plat::D3DCLEAR_TARGET | plat::D3DCLEAR_ZBUFFER |
                                                            plat::D3DCLEAR_STENCIL));
}
