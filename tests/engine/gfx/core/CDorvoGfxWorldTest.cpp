// The facade's world steps on the headless device: what the gather takes from the oct tree, the
// order of a scene pass, transparent units back to front, the backdrop, and the fill mode the
// console sets.
#include "engine/gfx/core/CDorvoGfx.h"

#include "ModelTestWorld.h"
#include "common/ConsoleInterface.h"
#include "engine/gfx/core/CRenderer.h"
#include "engine/gfx/scene/CSceneGraphMgr.h"
#include "platform/device_debug.h"

#include <algorithm>

using dorvo::gfx::CDorvoGfx;
using dorvo::gfx::CGfxUnit;
using dorvo::gfx::IGfxUnit;

namespace
{
class WorldFrameTest : public gfxtest::ModelWorld
{
protected:
    // Only the main viewport and the models: no sprites, particles or water in the log.
    void SetUp() override
    {
        gfxtest::ModelWorld::SetUp();
        gfx.SetRenderFlags(CDorvoGfx::RF_VIEWPORT0 | CDorvoGfx::RF_MODELS);
    }

    // One frame with the call log on; the draws' primitive counts in order.
    std::vector<unsigned> Frame()
    {
        plat::headless::ClearCallLog();
        plat::headless::SetCallLogging(true);
        scene.ApplyCamera();
        gfx.RenderFrame(1.0, 1.0f / 30.0f);
        plat::headless::SetCallLogging(false);
        std::vector<unsigned> draws;
        for (const auto& call : plat::headless::CallLog())
            if (call.kind == plat::devicedebug::CallKind::Draw)
                draws.push_back(call.primitiveCount);
        return draws;
    }

    // A model of one archetype made anew with another mesh (the same effect and textures).
    Gob* MakeWithMesh(const std::string& archetype, const std::string& mesh, const math::Vector3& position)
    {
        Gob* gob = Make(archetype, position);
        dorvo::gfx::GfxModelComp* model = Model(gob);
        model->SetXFile(mesh);
        model->Initialize(gob);
        return gob;
    }
};

// A backdrop that turns culling around while it draws, as a sky seen from inside would.
class FlippingBackdrop : public CGfxUnit
{
public:
    explicit FlippingBackdrop(int* prepared) : m_prepared(prepared) {}
    void PrepareMatrices() override
    {
        CGfxUnit::PrepareMatrices();
        ++*m_prepared;
        dorvo::gfx::CGFXCore::Instance().SetRenderState(plat::D3DRS_CULLMODE, plat::D3DCULL_CW);
    }

private:
    int* m_prepared;
};
} // namespace

// Every case of the gather: inside the view, behind the eye, across the edge of the frustum's
// box, hidden, without a unit, and transparent. Each list comes in object id order.
TEST_F(WorldFrameTest, GatherTakesWhatTheFrustumBoxMayShow)
{
    struct Case
    {
        const char* what;
        const char* archetype;
        math::Vector3 position;
        enum
        {
            Opaque,
            Transparent,
            None
        } expected;
    };
    const Case cases[] = {
        {"inside", "RedBox", {0.0f, 1.0f, 10.0f}, Case::Opaque},
        {"behind the eye", "RedBox", {0.0f, 1.0f, -40.0f}, Case::None},
        {"across the box's edge", "RedBox", {0.0f, 1.0f, -11.8f}, Case::Opaque},
        {"hidden", "Cylinder", {2.0f, 1.0f, 10.0f}, Case::None},
        {"no unit", "Sphere", {-2.0f, 1.0f, 10.0f}, Case::None},
        {"transparent", "GlowSphere", {0.0f, 4.0f, 10.0f}, Case::Transparent},
        {"to the right", "RedBox", {8.0f, 1.0f, 10.0f}, Case::Opaque},
    };
    std::vector<IGfxUnit*> opaque, transparent;
    std::vector<Gob*> gobs;
    for (const Case& c : cases)
        gobs.push_back(Make(c.archetype, c.position));
    Model(gobs[3])->SetVisible(false);
    Model(gobs[4])->SetXFile("");
    Model(gobs[4])->Initialize(gobs[4]);
    ASSERT_EQ(Unit(gobs[4]), nullptr);

    dorvo::gfx::CGFXCore::Instance().SetViewport(0);
    scene.ApplyCamera();
    gfx.GatherVisibleUnits(opaque, transparent);
    std::vector<IGfxUnit*> expectedOpaque, expectedTransparent;
    for (std::size_t i = 0; i < std::size(cases); ++i)
    {
        SCOPED_TRACE(cases[i].what);
        IGfxUnit* unit = Unit(gobs[i]);
        const bool inOpaque = std::count(opaque.begin(), opaque.end(), unit) == 1;
        const bool inTransparent = std::count(transparent.begin(), transparent.end(), unit) == 1;
        EXPECT_EQ(inOpaque, cases[i].expected == Case::Opaque);
        EXPECT_EQ(inTransparent, cases[i].expected == Case::Transparent);
        if (cases[i].expected == Case::Opaque)
            expectedOpaque.push_back(unit);
        if (cases[i].expected == Case::Transparent)
            expectedTransparent.push_back(unit);
    }
    EXPECT_EQ(opaque, expectedOpaque);
    EXPECT_EQ(transparent, expectedTransparent);

    // The frame builds the graphs from the same lists.
    Frame();
    EXPECT_EQ(gfx.GetGatheredCount(), expectedOpaque.size() + expectedTransparent.size());
    EXPECT_EQ(gfx.GetSceneGraph(CDorvoGfx::SG_OPAQUE)->GetGeometryNodeCount(), expectedOpaque.size());
    EXPECT_EQ(gfx.GetSceneGraph(CDorvoGfx::SG_TRANSPARENT)->GetGeometryNodeCount(),
              expectedTransparent.size());
}

// A scene pass: the backdrop first (culling set back to counter-clockwise after it), then the
// terrain, opaque and water graphs, then the transparent graph.
TEST_F(WorldFrameTest, ScenePassOrderAndTheBackdrop)
{
    Make("RedBox", math::Vector3(0.0f, 1.0f, 10.0f));
    Make("GlowSphere", math::Vector3(0.0f, 4.0f, 10.0f));
    int prepared = 0;
    auto backdrop = std::make_unique<FlippingBackdrop>(&prepared);
    dorvo::gfx::GfxModelComp* sky = Model(Make("Sphere", math::Vector3(0.0f, 0.0f, 5.0f)));
    ASSERT_TRUE(backdrop->Build(sky, nullptr, nullptr, false));
    sky->SetVisible(false); // drawn as the backdrop only
    gfx.SetBackdropUnit(std::move(backdrop));
    gfx.SetRenderFlags(gfx.GetRenderFlags() | CDorvoGfx::RF_TERRAIN | CDorvoGfx::RF_WATER);

    std::vector<std::string> steps;
    gfx.SetStepTrace(&steps);
    const std::vector<unsigned> draws = Frame();
    gfx.SetStepTrace(nullptr);
    std::vector<std::string> pass;
    for (const std::string& step : steps)
        if (step == "backdrop" || step.find("graph") != std::string::npos)
            pass.push_back(step);
    EXPECT_EQ(pass, (std::vector<std::string>{"water and terrain graphs", "backdrop", "terrain graph",
                                              "opaque graph", "water graph", "transparent graph"}));
    EXPECT_EQ(prepared, 1);
    EXPECT_EQ(draws, (std::vector<unsigned>{720u, 12u, 720u})) << "backdrop, box, transparent sphere";
    plat::DWORD cull = 0;
    device->GetRenderState(plat::D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, static_cast<plat::DWORD>(plat::D3DCULL_CCW));

    gfx.SetBackdropUnit(nullptr);
    EXPECT_EQ(gfx.GetBackdropUnit(), nullptr);
}

// Transparent units of one batch are drawn from the farthest to the nearest, whatever their
// order of creation.
TEST_F(WorldFrameTest, TransparentUnitsDrawBackToFront)
{
    // Both with the glowing cylinder's effect and texture: one batch, told apart by their meshes.
    MakeWithMesh("GlowCylinder", "Sphere.x", math::Vector3(0.0f, 1.0f, 2.0f));
    MakeWithMesh("GlowCylinder", "Cylinder.x", math::Vector3(1.0f, 1.0f, 20.0f));
    MakeWithMesh("GlowCylinder", "Box.x", math::Vector3(-1.0f, 1.0f, 10.0f));
    EXPECT_EQ(Frame(), (std::vector<unsigned>{128u, 12u, 720u}));
}

// "setwireframe" sets the fill mode the frame draws with; false brings back solid.
TEST_F(WorldFrameTest, WireframeCommandSetsTheFillMode)
{
    Make("RedBox", math::Vector3(0.0f, 1.0f, 10.0f));
    common::ConsoleInterface& console = common::ConsoleInterface::Instance();
    struct Case
    {
        const char* line;
        plat::DWORD fill;
    };
    for (const Case& c : {Case{"setwireframe true", plat::D3DFILL_WIREFRAME},
                          Case{"setwireframe false", plat::D3DFILL_SOLID}})
    {
        SCOPED_TRACE(c.line);
        console.WriteToConsole(c.line, common::FF_Execute, true);
        EXPECT_EQ(gfx.IsWireframe(), c.fill == plat::D3DFILL_WIREFRAME);
        EXPECT_EQ(Frame(), std::vector<unsigned>{12u});
        plat::DWORD fill = 0;
        device->GetRenderState(plat::D3DRS_FILLMODE, &fill);
        EXPECT_EQ(fill, c.fill);
    }
}
