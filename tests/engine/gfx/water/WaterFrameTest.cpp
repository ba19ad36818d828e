// The water in the facade's frame on the headless device: graph 1 built from the water list, the
// visibility walk, the underwater effect, the two maps (targets, clears, clip planes, culling,
// the mirrored view and light, the single-pass flag, what is restored) and their dumps.
#include "WaterTestWorld.h"

#include "LogCapture.h"
#include "common/ConsoleInterface.h"
#include "engine/gfx/core/CFXManager.h"
#include "engine/gfx/core/CLightsManager.h"
#include "engine/gfx/core/CRenderer.h"
#include "engine/gfx/postprocess/CPostProcessor.h"
#include "engine/gfx/scene/ACSceneGraphMgrImp.h"
#include "engine/gfx/scene/CSceneGraphMgr.h"
#include "platform/device_debug.h"

#include <algorithm>
#include <cmath>

using dorvo::gfx::CDorvoGfx;
using dorvo::gfx::CGFXCore;
using plat::devicedebug::CallKind;

namespace
{
// What the device and the renderer hold at one walk of a graph.
struct SSnapshot
{
    unsigned target = 0; // creation number of render target 0
    plat::DWORD clipEnable = 0;
    plat::DWORD cullMode = 0;
    float clipPlane[4] = {};
    bool singlePass = false;
    math::Matrix4 view;
    math::Matrix4 projection;
    plat::D3DVECTOR lightDirection{};
};

unsigned Number(plat::IDirect3DResource9* resource)
{
    return plat::devicedebug::CreationNumber(resource);
}

// A graph that draws nothing and keeps a snapshot at every walk (the frame's builds are ignored).
class ProbeGraph : public dorvo::gfx::ACSceneGraphMgrImp
{
public:
    explicit ProbeGraph(std::vector<SSnapshot>* out) : ACSceneGraphMgrImp("Probe"), m_out(out) {}
    void Build(const std::vector<dorvo::gfx::IGfxUnit*>&) override {}
    void Traverse() override
    {
        CGFXCore& core = CGFXCore::Instance();
        SSnapshot shot;
        plat::IDirect3DSurface9* target = nullptr;
        core.GetRenderTarget(0, &target);
        shot.target = Number(target);
        if (target)
            target->Release();
        core.GetDevice()->GetRenderState(plat::D3DRS_CLIPPLANEENABLE, &shot.clipEnable);
        core.GetDevice()->GetRenderState(plat::D3DRS_CULLMODE, &shot.cullMode);
        core.GetClipPlane(1, shot.clipPlane);
        shot.singlePass = dorvo::gfx::CRenderer::Instance().IsSinglePass();
        shot.view = core.GetView();
        shot.projection = core.GetProjection();
        shot.lightDirection = dorvo::gfx::CLightsManager::Instance().GetLight().Direction;
        m_out->push_back(shot);
    }

private:
    std::vector<SSnapshot>* m_out;
};

// The clip distance of a world point in a snapshot's pass: kept when >= 0.
float ClipDistance(const SSnapshot& shot, const math::Vector3& point)
{
    const math::Vector4 clip = (shot.projection * shot.view).Transform(math::Vector4(point));
    return shot.clipPlane[0] * clip.x + shot.clipPlane[1] * clip.y + shot.clipPlane[2] * clip.z +
           shot.clipPlane[3] * clip.w;
}

class WaterFrameTest : public gfxtest::WaterWorld
{
protected:
    void SetUp() override
    {
        gfxtest::WaterWorld::SetUp();
        gfx.SetRenderFlags(CDorvoGfx::RF_VIEWPORT0 | CDorvoGfx::RF_MODELS | CDorvoGfx::RF_WATER);
    }

    // One frame with the call log and the step trace on.
    void Frame()
    {
        steps.clear();
        plat::headless::ClearCallLog();
        plat::headless::SetCallLogging(true);
        gfx.SetStepTrace(&steps);
        scene.ApplyCamera();
        gfx.RenderFrame(1.0, 1.0f / 30.0f);
        gfx.SetStepTrace(nullptr);
        plat::headless::SetCallLogging(false);
    }

    void Camera(const math::Vector3& eye, const math::Vector3& lookAt)
    {
        scene.Camera().SetPosition(eye.x, eye.y, eye.z);
        scene.Camera().SetLookAt(lookAt);
    }

    bool Stepped(const std::string& step) const { return std::count(steps.begin(), steps.end(), step) > 0; }

    // The draws' targets and names, in order.
    static std::vector<unsigned> DrawTargets()
    {
        std::vector<unsigned> targets;
        for (const auto& call : plat::headless::CallLog())
            if (call.kind == CallKind::Draw)
                targets.push_back(call.target);
        return targets;
    }
    static std::vector<std::string> Names(CallKind kind)
    {
        std::vector<std::string> names;
        for (const auto& call : plat::headless::CallLog())
            if (call.kind == kind)
                names.push_back(call.name);
        return names;
    }
    static unsigned Count(const std::vector<std::string>& names, const std::string& name)
    {
        return static_cast<unsigned>(std::count(names.begin(), names.end(), name));
    }

    static void Run(const std::string& line)
    {
        common::ConsoleInterface::Instance().WriteToConsole(line, common::FF_Execute, true);
    }

    unsigned ReflectionNumber() const
    {
        plat::IDirect3DSurface9* surface = Manager().GetReflectionSurface();
        const unsigned number = Number(surface);
        surface->Release();
        return number;
    }
    unsigned RefractionNumber() const
    {
        plat::IDirect3DSurface9* surface = Manager().GetRefractionSurface();
        const unsigned number = Number(surface);
        surface->Release();
        return number;
    }

    std::vector<std::string> steps;
};
} // namespace

// Graph 1 holds the water list's units, and is emptied once the list is.
TEST_F(WaterFrameTest, GraphOneIsBuiltFromTheWaterListOrCleared)
{
    Gob* gob = MakeWater("StillWater", 0.0f);
    Frame();
    EXPECT_EQ(gfx.GetSceneGraph(CDorvoGfx::SG_WATER)->GetGeometryNodeCount(), 1u);
    EXPECT_EQ(Count(Names(CallKind::Draw), "Water2.fx/RenderPlanarWater/0"), 1u);
    GobManager::Instance().KillGob(gob);
    GobManager::Instance().ProcessKillList();
    Frame();
    EXPECT_EQ(gfx.GetSceneGraph(CDorvoGfx::SG_WATER)->GetGeometryNodeCount(), 0u);
    EXPECT_EQ(Count(Names(CallKind::Draw), "Water2.fx/RenderPlanarWater/0"), 0u);
}

// The two map passes: target, depth and clear of each, the clip plane each keeps (the eye's
// half reflected, the far half refracted, both reaching 0.5 past the water line), one pass
// each; then everything restored. With the eye above the water the reflection is mirrored: its
// view through the plane, clockwise culling and the light mirrored as a direction (the plane
// lies at y = -2, so a point transform would move it). With the eye below, nothing is mirrored:
// the eye's own view, counter-clockwise culling and the light as it is, and the reflection map
// keeps what lies under the water.
TEST_F(WaterFrameTest, TheMapsPassesInOrderWithTheirPlanesViewsAndLight)
{
    const float h = -2.0f;
    MakeWater("StillWater", h);
    Make("RedBox", math::Vector3(0.0f, 1.0f, 10.0f));
    std::vector<SSnapshot> shots;
    gfx.SetSceneGraph(CDorvoGfx::SG_TRANSPARENT,
                      std::make_unique<dorvo::gfx::CSceneGraphMgr>(std::make_unique<ProbeGraph>(&shots)));
    const plat::D3DVECTOR light = dorvo::gfx::CLightsManager::Instance().GetLight().Direction;
    math::Plane plane;
    plane.normal = math::Vector3(0.0f, 1.0f, 0.0f);
    plane.d = -h;

    struct Eye
    {
        const char* name;
        float y;
        bool mirrored;
    };
    const Eye eyes[] = {{"eye above the water", h + 3.0f, true}, {"eye below the water", h - 1.0f, false}};
    for (const Eye& eye : eyes)
    {
        SCOPED_TRACE(eye.name);
        shots.clear();
        Camera(math::Vector3(0.0f, eye.y, -12.0f), math::Vector3(0.0f, eye.y, 24.0f));
        Frame();

        const auto at = [&](const std::string& step)
        { return std::find(steps.begin(), steps.end(), step) - steps.begin(); };
        ASSERT_TRUE(Stepped("water maps"));
        EXPECT_LT(at("water test"), at("water maps"));
        EXPECT_LT(at("water maps"), at("reflection map"));
        EXPECT_LT(at("reflection map"), at("refraction map"));
        EXPECT_LT(at("refraction map"), at("scene"));

        ASSERT_EQ(shots.size(), 3u) << "reflection, refraction, then the scene";
        const SSnapshot& reflection = shots[0];
        const SSnapshot& refraction = shots[1];
        const SSnapshot& main = shots[2];
        EXPECT_EQ(reflection.target, ReflectionNumber());
        EXPECT_EQ(refraction.target, RefractionNumber());
        EXPECT_NE(main.target, reflection.target);
        EXPECT_EQ(reflection.clipEnable, 2u);
        EXPECT_EQ(refraction.clipEnable, 2u);
        EXPECT_EQ(main.clipEnable, 0u);
        EXPECT_EQ(reflection.cullMode,
                  static_cast<plat::DWORD>(eye.mirrored ? plat::D3DCULL_CW : plat::D3DCULL_CCW));
        EXPECT_EQ(refraction.cullMode, static_cast<plat::DWORD>(plat::D3DCULL_CCW));
        EXPECT_EQ(main.cullMode, static_cast<plat::DWORD>(plat::D3DCULL_CCW));
        EXPECT_TRUE(reflection.singlePass);
        EXPECT_TRUE(refraction.singlePass);
        EXPECT_FALSE(main.singlePass);

        // Views: above, the mirror in y = h, then the eye's view; below, the eye's view. The
        // refraction and the scene are never mirrored.
        const math::Matrix4 expected = eye.mirrored ? main.view * math::Matrix4::Reflect(plane) : main.view;
        for (int i = 0; i < 16; ++i)
        {
            EXPECT_NEAR(reflection.view.m[i], expected.m[i], 1e-4f) << i;
            EXPECT_NEAR(refraction.view.m[i], main.view.m[i], 1e-6f) << i;
        }

        // What each plane keeps, measured in its own pass, by the point's distance from the
        // water line towards the eye's side.
        struct Point
        {
            float towardsEye;
            bool inReflection;
            bool inRefraction;
        };
        const Point points[] = {
            {3.0f, true, false}, {0.3f, true, true}, {-0.3f, true, true}, {-3.0f, false, true}};
        for (const Point& p : points)
        {
            const float y = h + (eye.mirrored ? p.towardsEye : -p.towardsEye);
            SCOPED_TRACE(y);
            const math::Vector3 world(1.0f, y, 12.0f);
            EXPECT_EQ(ClipDistance(reflection, world) >= 0.0f, p.inReflection);
            EXPECT_EQ(ClipDistance(refraction, world) >= 0.0f, p.inRefraction);
        }

        // The light: above, mirrored (y negated) and of unit length while reflecting; below, as
        // it is. The refraction and the scene have it as it was.
        if (eye.mirrored)
        {
            const float length = std::sqrt(light.x * light.x + light.y * light.y + light.z * light.z);
            EXPECT_NEAR(reflection.lightDirection.x, light.x / length, 1e-5f);
            EXPECT_NEAR(reflection.lightDirection.y, -light.y / length, 1e-5f);
            EXPECT_NEAR(reflection.lightDirection.z, light.z / length, 1e-5f);
        }
        else
        {
            EXPECT_EQ(reflection.lightDirection.x, light.x);
            EXPECT_EQ(reflection.lightDirection.y, light.y);
            EXPECT_EQ(reflection.lightDirection.z, light.z);
        }
        EXPECT_EQ(refraction.lightDirection.y, light.y);
        EXPECT_EQ(main.lightDirection.y, light.y);

        // Each map cleared whole (target, depth and stencil) to opaque black, the red box drawn
        // into each once, the water itself into neither.
        unsigned clears = 0;
        for (const auto& call : plat::headless::CallLog())
            if (call.kind == CallKind::Clear &&
                (call.target == reflection.target || call.target == refraction.target))
            {
                ++clears;
                EXPECT_EQ(call.flags, 7u);
                EXPECT_EQ(call.color, 0xFF000000u);
            }
        EXPECT_EQ(clears, 2u);
        const std::vector<unsigned> targets = DrawTargets();
        EXPECT_EQ(std::count(targets.begin(), targets.end(), reflection.target), 1);
        EXPECT_EQ(std::count(targets.begin(), targets.end(), refraction.target), 1);

        // Restored after the frame: no clip plane, counter-clockwise culling, the renderer back
        // to passes, the viewport of the record.
        plat::DWORD value = 1;
        device->GetRenderState(plat::D3DRS_CLIPPLANEENABLE, &value);
        EXPECT_EQ(value, 0u);
        EXPECT_FALSE(dorvo::gfx::CRenderer::Instance().IsSinglePass());
        EXPECT_FALSE(Manager().IsWaterVisible()) << "the mark is cleared at the end of the frame";
    }
}

// With post-processing on, the maps still take one pass each straight into their targets: no
// scene target is selected until the scene itself is drawn.
TEST_F(WaterFrameTest, MapsDrawOnePassIntoTheirTargetsWithPostProcessingOn)
{
    MakeWater("StillWater", 0.0f);
    Make("RedBox", math::Vector3(0.0f, 2.0f, 10.0f));
    Make("WoodBox", math::Vector3(3.0f, 2.0f, 10.0f));
    gfx.SetRenderFlags(gfx.GetRenderFlags() | CDorvoGfx::RF_POST_PROCESSING);
    Frame();
    const unsigned scene0 = Number(dorvo::gfx::CPostProcessor::Instance().GetSceneTarget(0));
    const std::vector<unsigned> targets = DrawTargets();
    ASSERT_GE(targets.size(), 4u);
    EXPECT_EQ(std::vector<unsigned>(targets.begin(), targets.begin() + 4),
              (std::vector<unsigned>{ReflectionNumber(), ReflectionNumber(), RefractionNumber(),
                                     RefractionNumber()}));
    EXPECT_EQ(std::count(targets.begin(), targets.end(), scene0), 3) << "two boxes and the water";
}

// Water off: no test, no walk, no maps, nothing queued even with the eye below; water out of
// view: the test runs but no maps are drawn.
TEST_F(WaterFrameTest, NoMapsWithWaterOffOrOutOfView)
{
    MakeWater("StillWater", 0.0f);
    Run("togglewater");
    gfx.SetRenderFlags(gfx.GetRenderFlags() | CDorvoGfx::RF_POST_PROCESSING);
    Camera(math::Vector3(0.0f, -1.0f, -12.0f), math::Vector3(0.0f, -1.0f, 24.0f));
    Frame();
    EXPECT_FALSE(Stepped("water test"));
    EXPECT_FALSE(Stepped("water maps"));
    EXPECT_EQ(Count(Names(CallKind::Draw), "Wavy.fx/PostProcess/0"), 0u);
    EXPECT_TRUE(dorvo::gfx::CPostProcessor::Instance().GetQueue().empty());
    Run("togglewater");

    // Looking up from above the water: the sheet lies outside the view.
    Camera(math::Vector3(0.0f, 5.0f, -12.0f), math::Vector3(0.0f, 60.0f, -10.0f));
    Frame();
    EXPECT_TRUE(Stepped("water test"));
    EXPECT_FALSE(Stepped("water maps"));
}

// The eye below the plane queues the waves for that frame only, and only while post-processing
// runs: with it off the queue stays as it was, and nothing is left to run once it returns.
TEST_F(WaterFrameTest, UnderwaterWavesForOneFrameAndNeverPileUp)
{
    MakeWater("StillWater", 0.0f);
    const auto& queue = dorvo::gfx::CPostProcessor::Instance().GetQueue();
    Camera(math::Vector3(0.0f, -1.0f, -12.0f), math::Vector3(0.0f, -1.0f, 24.0f));
    for (int i = 0; i < 3; ++i)
        Frame();
    EXPECT_TRUE(queue.empty()) << "post-processing is off";
    EXPECT_TRUE(Stepped("water maps"));

    gfx.SetRenderFlags(gfx.GetRenderFlags() | CDorvoGfx::RF_POST_PROCESSING);
    Camera(math::Vector3(0.0f, 1.0f, -12.0f), math::Vector3(0.0f, 1.0f, 24.0f));
    Frame();
    EXPECT_EQ(Count(Names(CallKind::Draw), "Wavy.fx/PostProcess/0"), 0u) << "nothing piled up";

    Camera(math::Vector3(0.0f, -1.0f, -12.0f), math::Vector3(0.0f, -1.0f, 24.0f));
    Frame();
    EXPECT_EQ(Count(Names(CallKind::Draw), "Wavy.fx/PostProcess/0"), 1u);
    EXPECT_TRUE(queue.empty());
    Camera(math::Vector3(0.0f, 1.0f, -12.0f), math::Vector3(0.0f, 1.0f, 24.0f));
    Frame();
    EXPECT_EQ(Count(Names(CallKind::Draw), "Wavy.fx/PostProcess/0"), 0u);
}

// "dumpwatermaps" sets and clears both flags; each map is saved only while its own flag is set.
TEST_F(WaterFrameTest, DumpsOnlyWithTheirFlags)
{
    MakeWater("StillWater", 0.0f);
    Run("dumpwatermaps true");
    EXPECT_EQ(gfx.GetRenderFlags() & 0x180u, 0x180u);
    Frame();
    EXPECT_EQ(Names(CallKind::SaveSurface), (std::vector<std::string>{"RefMap.png", "RefracMap.png"}));

    gfx.SetRenderFlags(gfx.GetRenderFlags() & ~0x100u);
    Frame();
    EXPECT_EQ(Names(CallKind::SaveSurface), std::vector<std::string>{"RefMap.png"});
    gfx.SetRenderFlags((gfx.GetRenderFlags() & ~0x80u) | 0x100u);
    Frame();
    EXPECT_EQ(Names(CallKind::SaveSurface), std::vector<std::string>{"RefracMap.png"});

    Run("dumpwatermaps false");
    EXPECT_EQ(gfx.GetRenderFlags() & 0x180u, 0u);
    Frame();
    EXPECT_TRUE(Names(CallKind::SaveSurface).empty());
}

// Once water has been drawn (its effect given both maps) and post-processing has run, a resize
// finds nothing of the default pool alive at the device's reset: the maps are not kept by the
// water's effect. After the reset the water is drawn with the new maps.
TEST_F(WaterFrameTest, AResizeAfterWaterWasDrawnLeavesNothingAliveAtTheReset)
{
    MakeWater("StillWater", 0.0f);
    Make("RedBox", math::Vector3(0.0f, 2.0f, 10.0f));
    gfx.SetRenderFlags(gfx.GetRenderFlags() | CDorvoGfx::RF_POST_PROCESSING);
    gfx.QueuePostProcess(42, false);
    Frame();
    ASSERT_EQ(Count(Names(CallKind::Draw), "Water2.fx/RenderPlanarWater/0"), 1u);

    plat::DXUTSetCallbackDeviceLost([](void*) { CDorvoGfx::Instance().OnLostDevice(); });
    plat::DXUTSetCallbackDeviceReset(
        [](plat::IDirect3DDevice9*, const plat::D3DSURFACE_DESC*, void*)
        {
            CDorvoGfx::Instance().OnResetDevice();
            return plat::S_OK;
        });
    plat::headless::InjectMessage(plat::WM_SIZE, 0, plat::MAKELPARAM(1024, 768));
    plat::MSG msg;
    while (plat::PeekMessageW(&msg, nullptr, 0, 0, plat::PM_REMOVE))
        plat::DispatchMessageW(&msg);
    testsupport::LogCapture logged;
    plat::DXUTRender3DEnvironment();
    const std::string reset = logged.Text();
    plat::DXUTSetCallbackDeviceLost(nullptr);
    plat::DXUTSetCallbackDeviceReset(nullptr);
    ASSERT_EQ(plat::headless::BackBufferWidth(), 1024u);
    EXPECT_EQ(reset.find("still alive"), std::string::npos) << reset;

    Frame();
    EXPECT_EQ(Count(Names(CallKind::Draw), "Water2.fx/RenderPlanarWater/0"), 1u);
    plat::IDirect3DBaseTexture9* bound = nullptr;
    dorvo::gfx::CFXManager& effects = dorvo::gfx::CFXManager::Instance();
    ASSERT_NE(effects.GetEffect("Water2.fx"), nullptr);
    effects.GetEffect("Water2.fx")->GetTexture((*effects.GetHandles("Water2.fx"))[32], &bound);
    EXPECT_EQ(bound, Manager().GetReflectionTexture()) << "the new map";
    if (bound)
        bound->Release();
}
