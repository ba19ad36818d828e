// Post-processing on the real OpenGL device under Xvfb with Mesa's software renderer: a white
// cube (the hand-written test cube, "TextureMappingNoLight.fx") drawn through a scene graph into
// the scene targets as the frame does (all four bound and cleared, the renderer selecting
// target 0 for pass 0), then the chain with the committed effects onto the back buffer. The
// game's Low, Medium and High presets give three different pictures (Low exactly the picture
// without post-processing, Medium darker along the cube's silhouette); the console commands
// act; the underwater waves last one frame; a resize keeps post-processing drawing at the new
// size. Pictures under screenshots/ in the build folder; skipped with a message without Xvfb.
#include "PixelTestFixture.h"
#include "VirtualDisplay.h"

#include "engine/gfx/core/D3DRenderBuffers.h"

#include "GfxTestWorld.h"
#include "LogCapture.h"
#include "PostProcessTestWorld.h"
#include "TestGfxUnit.h"
#include "common/ConsoleInterface.h"
#include "common/math/MathUtil.h"
#include "engine/gfx/core/D3DRenderBuffers.h"
#include "engine/gfx/mesh/CMeshHierarchy.h"
#include "engine/gfx/mesh/CMeshManager.h"
#include "engine/gfx/postprocess/CPostProcessor.h"
#include "engine/gfx/scene/CSceneGraphMgr.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>

using namespace dorvo::gfx;

namespace
{
constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr plat::D3DCOLOR kWhite = 0xFFFFFFFFu;

using Picture = std::vector<plat::D3DCOLOR>;

int Channel(plat::D3DCOLOR c, int shift)
{
    return static_cast<int>((c >> shift) & 0xFF);
}

int Brightness(plat::D3DCOLOR c)
{
    return Channel(c, 16) + Channel(c, 8) + Channel(c, 0);
}

// Pixels differing by more than the tolerance in some channel.
int Differing(const Picture& a, const Picture& b, int tolerance = 1)
{
    if (a.size() != b.size())
        return -1;
    int count = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        for (int shift : {0, 8, 16})
            if (std::abs(Channel(a[i], shift) - Channel(b[i], shift)) > tolerance)
            {
                ++count;
                break;
            }
    return count;
}

class PostProcessPixelTest : public gfxtest::PixelTestFixture
{
protected:
    PostProcessPixelTest() : PixelTestFixture(kWidth, kHeight) {}

    void SetUp() override
    {
        PixelTestFixture::SetUp();
        if (!Ready())
            return;
        std::filesystem::create_directories("meshes");
        std::filesystem::copy_file(testsupport::RepoPath("tests/data/meshes/Cube.x"), "meshes/Cube.x");
        ASSERT_TRUE(gfxtest::WritePng("textures/White.png", 8, 8, [](unsigned, unsigned) { return kWhite; }));
        SetWindowConfig("textures/");
        config.meshPath = "meshes/";
        config.fxPath = testsupport::RepoPath("data/fx") + "/";
        config.fxFiles = {"TextureMappingNoLight.fx"};
        config.postProcessFxFiles = {"EdgeDetection.fx", "EdgeCombine.fx"};
        testsupport::LogCapture logged;
        const bool started = gfx.Init(config);
        initErrors = logged.Text();
        ASSERT_TRUE(started);
        ASSERT_TRUE(TakeDevice());

        CMeshManager::SMeshInfo* mesh = CMeshManager::Instance().GetMesh("Cube.x");
        ASSERT_TRUE(mesh && mesh->hierarchy);
        unit = std::make_unique<gfxtest::TestGfxUnit>("Cube.x", "TextureMappingNoLight.fx",
                                                      "TextureMappingNoLight");
        unit->record.buffers = &mesh->hierarchy->GetDeviceBuffers();
        unit->LoadTexture("White.png", 0);
        unit->sphere = math::Sphere(math::Vector3(0, 0, 0), 0.87f);
        graph.Build({unit.get()});
    }

    void TearDown() override
    {
        ExpectNoGLErrors();
        graph.Clear();
        unit.reset();
        gfx.SetRenderFlags(CDorvoGfx::kDefaultRenderFlags);
        StopDevice();
    }

    // The camera 3 units in front of the cube's face, for the back buffer's size now.
    void PlaceCamera()
    {
        CGFXCore& core = CGFXCore::Instance();
        SViewportRecord& record = core.GetViewportRecord(0);
        const math::Vector3 eye(0, 0, -3), at(0, 0, 0), up(0, 1, 0);
        const float fov = math::kPi / 4.0f;
        const float aspect =
            static_cast<float>(core.GetScreenWidth()) / static_cast<float>(core.GetScreenHeight());
        record.eye = eye;
        record.lookAt = at;
        record.view = math::Matrix4::LookAtLH(eye, at, up);
        record.projection = math::Matrix4::PerspectiveFovLH(fov, aspect, 0.1f, 100.0f);
        record.frustum.SetView(eye, at, up, 100.0f, 0.1f);
        record.frustum.SetSpread(std::tan(fov / 2.0f) * aspect, std::tan(fov / 2.0f));
    }

    // One frame as the facade's viewport pass runs it: with post-processing on, the scene
    // targets bound and cleared, the scene, then the chain onto the back buffer.
    Picture Frame(const std::string& screenshot = "", double time = 1.0)
    {
        PlaceCamera();
        CGFXCore& core = CGFXCore::Instance();
        const bool post = (gfx.GetRenderFlags() & CDorvoGfx::RF_POST_PROCESSING) != 0;
        core.SetFrameTime(time, 0.033f);
        core.BeginFrame();
        core.SetViewport(0);
        if (post)
        {
            for (unsigned i = 0; i < CPostProcessor::kSceneTargetCount; ++i)
                CPostProcessor::Instance().BindSceneTarget(i);
            CPostProcessor::Instance().SelectSceneTarget(0);
        }
        graph.Traverse();
        if (post)
        {
            core.SetVertexDeclaration(VD_ScreenQuad);
            CPostProcessor::Instance().RunChain();
        }
        core.EndScene();
        Picture picture;
        EXPECT_TRUE(device->ReadBackBuffer(picture));
        if (!screenshot.empty())
        {
            EXPECT_TRUE(testsupport::SaveBackBuffer(device, screenshot));
        }
        device->Present(nullptr, nullptr, nullptr, nullptr);
        return picture;
    }

    void PostProcessing(bool on)
    {
        const std::uint32_t flags =
            gfx.GetRenderFlags() & ~static_cast<std::uint32_t>(CDorvoGfx::RF_POST_PROCESSING);
        gfx.SetRenderFlags(on ? flags | CDorvoGfx::RF_POST_PROCESSING : flags);
    }

    // The cube's columns on the middle row of a picture without post-processing.
    static std::pair<int, int> CubeSpan(const Picture& picture)
    {
        int left = -1, right = -1;
        for (int x = 0; x < kWidth; ++x)
            if (Brightness(picture[static_cast<std::size_t>(kHeight / 2) * kWidth + x]) > 600)
            {
                if (left < 0)
                    left = x;
                right = x;
            }
        return {left, right};
    }

    // Mean brightness of the band of the middle rows just outside the cube on both sides.
    static double RingBrightness(const Picture& picture, std::pair<int, int> span)
    {
        double sum = 0;
        int count = 0;
        for (int y = kHeight / 2 - 20; y <= kHeight / 2 + 20; ++y)
            for (int d = 1; d <= 12; ++d)
                for (int x : {span.first - d, span.second + d})
                {
                    sum += Brightness(picture[static_cast<std::size_t>(y) * kWidth + x]);
                    ++count;
                }
        return sum / count;
    }

    std::unique_ptr<gfxtest::TestGfxUnit> unit;
    CSceneGraphMgr graph;
    std::string initErrors;
};
} // namespace

TEST_F(PostProcessPixelTest, EveryPostProcessingFileCompilesAndLinks)
{
    const std::string logStart = "Runtime Log Begin\n";
    if (initErrors.rfind(logStart, 0) == 0)
        initErrors.erase(0, logStart.size());
    EXPECT_TRUE(initErrors.empty()) << initErrors;
    ASSERT_NE(CPostProcessor::Instance().GetFinalEffect(), nullptr);
    for (const std::string& file : pptest::CommittedPostProcessFiles())
    {
        if (file == "PPScene.fx")
            continue;
        SCOPED_TRACE(file);
        testsupport::LogCapture logged;
        EXPECT_TRUE(CPostProcessor::Instance().LoadPostProcess(file));
        const std::string err = logged.Text();
        EXPECT_TRUE(err.empty()) << err;
    }
}

TEST_F(PostProcessPixelTest, LowMediumAndHighGiveThreeDifferentPictures)
{
    const Picture off = Frame("PostProcessOff.png");
    const std::pair<int, int> span = CubeSpan(off);
    ASSERT_GT(span.first, 20);
    ASSERT_LT(span.second, kWidth - 20);

    pptest::ApplyPreset("Low");
    const Picture low = Frame("PostProcessLow.png");
    pptest::ApplyPreset("Medium");
    const Picture medium = Frame("PostProcessMedium.png");
    pptest::ApplyPreset("High");
    const Picture high = Frame("PostProcessHigh.png");

    EXPECT_EQ(Differing(low, off, 0), 0) << "Low is post-processing off";
    EXPECT_GT(Differing(medium, low), 100);
    EXPECT_GT(Differing(high, medium), 100);
    EXPECT_GT(Differing(high, low), 100);

    // Medium: the cube's silhouette columns are darker, its middle and the background are not.
    const auto at = [](const Picture& p, int x, int y)
    { return p[static_cast<std::size_t>(y) * kWidth + x]; };
    for (int y : {kHeight / 2 - 30, kHeight / 2, kHeight / 2 + 30})
    {
        SCOPED_TRACE(y);
        EXPECT_LT(Brightness(at(medium, span.first, y)), Brightness(at(off, span.first, y)) - 150);
        EXPECT_LT(Brightness(at(medium, span.second, y)), Brightness(at(off, span.second, y)) - 150);
        EXPECT_EQ(at(medium, kWidth / 2, y), at(off, kWidth / 2, y));
        EXPECT_EQ(at(medium, 5, y), at(off, 5, y));
    }
    // High: the glow reaches past the silhouette.
    EXPECT_GT(RingBrightness(high, span), RingBrightness(medium, span) + 5.0);
}

TEST_F(PostProcessPixelTest, TheConsoleCommandsActOnThePicture)
{
    const Picture off = Frame();
    const std::pair<int, int> span = CubeSpan(off);
    PostProcessing(true);
    pptest::ApplyPreset("Medium");
    EXPECT_GT(Differing(Frame(), off), 100);

    Console("clearpp");
    EXPECT_EQ(Differing(Frame("PostProcessCleared.png"), off), 0) << "PPScene.fx alone";
    Console("qpp Bloom false");
    EXPECT_TRUE(CPostProcessor::Instance().GetQueue().empty());
    EXPECT_EQ(Differing(Frame(), off), 0);

    Console("qpp bloom false");
    const Picture bloom = Frame("PostProcessBloom.png");
    EXPECT_GT(RingBrightness(bloom, span), RingBrightness(off, span) + 5.0);
    EXPECT_GT(RingBrightness(Frame(), span), RingBrightness(off, span) + 5.0) << "kept from frame to frame";

    Console("clearpp");
    Console("qpp bloom true");
    EXPECT_GT(RingBrightness(Frame(), span), RingBrightness(off, span) + 5.0);
    EXPECT_EQ(Differing(Frame(), off), 0) << "one frame only";

    Console("togglepp");
    EXPECT_EQ(gfx.GetRenderFlags() & CDorvoGfx::RF_POST_PROCESSING, 0u);
    Console("qpp bloom false");
    EXPECT_EQ(Differing(Frame(), off, 0), 0) << "queued, but post-processing is off";
    Console("togglepp");
    EXPECT_GT(RingBrightness(Frame(), span), RingBrightness(off, span) + 5.0);
    Console("qpp edgedetection false");
    Console("removelastpp");
    Frame();
    EXPECT_EQ(CPostProcessor::Instance().GetQueue().size(), 9u) << "the edges ran once and went";
}

TEST_F(PostProcessPixelTest, TheUnderwaterWavesLastOneFrame)
{
    PostProcessing(true);
    const Picture still = Frame("PostProcessStill.png", 2.0);
    gfx.QueuePostProcess(41, true);
    const Picture wavy = Frame("PostProcessWavy.png", 2.0);
    EXPECT_GT(Differing(wavy, still), 50);
    EXPECT_EQ(Differing(Frame("", 2.5), still, 0), 0) << "gone from the next frame";
    // The waves move with the time.
    gfx.QueuePostProcess(41, true);
    EXPECT_GT(Differing(Frame("", 3.0), wavy), 50);
}

TEST_F(PostProcessPixelTest, AResizeWithPostProcessingOnDrawsAtTheNewSize)
{
    plat::DXUTSetCallbackDeviceLost([](void*) { CDorvoGfx::Instance().OnLostDevice(); });
    plat::DXUTSetCallbackDeviceReset(
        [](plat::IDirect3DDevice9*, const plat::D3DSURFACE_DESC*, void*)
        {
            CDorvoGfx::Instance().OnResetDevice();
            return plat::S_OK;
        });
    pptest::ApplyPreset("Medium");
    Frame();
    plat::SendMessageW(plat::DXUTGetHWND(), plat::WM_SIZE, 0, plat::MAKELPARAM(400, 300));
    plat::DXUTRender3DEnvironment(); // lost, reset at 400 x 300, then a frame
    device = plat::DXUTGetD3D9Device();
    ASSERT_EQ(device->GetBackBufferDesc().Width, 400u);

    const Picture resized = Frame("PostProcessResized.png");
    ASSERT_EQ(resized.size(), 400u * 300u);
    int bright = 0;
    for (plat::D3DCOLOR c : resized)
        if (Brightness(c) > 600)
            ++bright;
    EXPECT_GT(bright, 5000) << "the cube is drawn";
    plat::D3DSURFACE_DESC desc{};
    CPostProcessor::Instance().GetSceneTarget(0)->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 400u);
}
