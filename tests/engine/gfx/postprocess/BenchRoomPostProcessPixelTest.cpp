// Post-processing in the bench room (tests/data/gfx/BenchRoom.xml: the shell, 60 props and a sheet
// of still water across the floor), drawn by the facade's whole frame on OpenGL under Xvfb with
// Mesa's software renderer. The game's presets give three different pictures (Low is the picture
// without post-processing; Medium darkens a prop's silhouette and nothing flat); the console's
// post-processing commands act on the picture; with the eye below the water the picture waves,
// and stops from the first frame after the eye rises; after a resize the next screenshot has the
// new size; "setwireframe true" shows the room in lines at every quality. Screenshots under
// screenshots/ in the test build folder. Skipped, with a message, where Xvfb is not installed.
#include "PixelTestFixture.h"
#include "VirtualDisplay.h"

#include "PostProcessTestWorld.h"
#include "engine/gfx/postprocess/CPostProcessor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

using dorvo::gfx::CDorvoGfx;
using dorvo::gfx::CPostProcessor;

namespace
{
constexpr unsigned kWidth = 800;
constexpr unsigned kHeight = 600;

struct Picture : testsupport::PngPicture
{
    int Luma(int x, int y) const { return At(x, y, 0) + At(x, y, 1) + At(x, y, 2); }
};

// The largest difference of one channel over the whole picture (-1 for pictures of two sizes).
int LargestDifference(const Picture& a, const Picture& b)
{
    if (a.width != b.width || a.height != b.height)
        return -1;
    int largest = 0;
    for (std::size_t i = 0; i < a.rgb.size(); ++i)
        largest = std::max(largest, std::abs(a.rgb[i] - b.rgb[i]));
    return largest;
}

// Pixels in which some channel differs by more than `tolerance` levels.
int Differing(const Picture& a, const Picture& b, int tolerance = 1)
{
    if (a.width != b.width || a.height != b.height)
        return -1;
    int count = 0;
    for (std::size_t i = 0; i < a.rgb.size(); i += 3)
        for (std::size_t c = 0; c < 3; ++c)
            if (std::abs(a.rgb[i + c] - b.rgb[i + c]) > tolerance)
            {
                ++count;
                break;
            }
    return count;
}

// A rectangle of the picture, (x0, y0) inside, (x1, y1) outside.
struct Region
{
    int x0, y0, x1, y1;
};

// The mean of the channels' sum over a region, the pixels of `hole` left out.
double MeanLuma(const Picture& p, const Region& r, const Region& hole = {0, 0, 0, 0})
{
    double sum = 0;
    int count = 0;
    for (int y = std::max(0, r.y0); y < std::min(p.height, r.y1); ++y)
        for (int x = std::max(0, r.x0); x < std::min(p.width, r.x1); ++x)
        {
            if (x >= hole.x0 && x < hole.x1 && y >= hole.y0 && y < hole.y1)
                continue;
            sum += p.Luma(x, y);
            ++count;
        }
    return count ? sum / count : 0.0;
}

// A pixel whose eight neighbours all have its colour.
bool Flat(const Picture& p, int x, int y)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            for (int c = 0; c < 3; ++c)
                if (p.At(x + dx, y + dy, c) != p.At(x, y, c))
                    return false;
    return true;
}

class BenchRoomPostProcessPixelTest : public gfxtest::ScenePixelTestFixture
{
protected:
    BenchRoomPostProcessPixelTest() : ScenePixelTestFixture(kWidth, kHeight) {}

    void SetUp() override
    {
        ScenePixelTestFixture::SetUp();
        if (!Ready())
            return;
        ASSERT_NO_FATAL_FAILURE(StartScene());
        plat::DXUTSetCallbackFrameRender(&BenchRoomPostProcessPixelTest::FrameRender, this);
        plat::DXUTSetCallbackDeviceLost([](void*) { CDorvoGfx::Instance().OnLostDevice(); });
        plat::DXUTSetCallbackDeviceReset(
            [](plat::IDirect3DDevice9*, const plat::D3DSURFACE_DESC*, void*)
            {
                CDorvoGfx::Instance().OnResetDevice();
                return plat::S_OK;
            });
        ASSERT_TRUE(scene.Load(testsupport::RepoPath("tests/data/gfx/BenchRoom.xml"))) << scene.Error();
        ASSERT_TRUE(scene.Build(kWidth, kHeight)) << scene.Error();
        gfx.SetRenderFlags(CDorvoGfx::kDefaultRenderFlags);
        CPostProcessor::Instance().ClearQueue();
    }

    void TearDown() override
    {
        ExpectNoGLErrors();
        plat::DXUTSetCallbackFrameRender(nullptr, nullptr);
        plat::DXUTSetCallbackDeviceLost(nullptr, nullptr);
        plat::DXUTSetCallbackDeviceReset(nullptr, nullptr);
        CPostProcessor::Instance().ClearQueue();
        gfx.SetRenderFlags(CDorvoGfx::kDefaultRenderFlags);
        StopScene();
    }

    // Every frame at the same time, so nothing moves between two pictures but what the test
    // changes (the underwater waves are given their own times).
    static void FrameRender(plat::IDirect3DDevice9*, double, float, void* context)
    {
        auto* self = static_cast<BenchRoomPostProcessPixelTest*>(context);
        self->scene.Frame(self->time, 0.0f);
    }

    // One frame through the frame driver, its screenshot saved under that name and read back.
    Picture Shot(const std::string& name)
    {
        return testsupport::LoadPng<Picture>(TakeShot("BenchRoom" + name + ".png"));
    }

    void PostProcessing(bool on)
    {
        const std::uint32_t flags =
            gfx.GetRenderFlags() & ~static_cast<std::uint32_t>(CDorvoGfx::RF_POST_PROCESSING);
        gfx.SetRenderFlags(on ? flags | CDorvoGfx::RF_POST_PROCESSING : flags);
    }

    // The square of half-side `r` pixels around a world point's place on the screen.
    Region Around(const math::Vector3& point, int r) const
    {
        int x = 0, y = 0;
        ToScreen(point, x, y);
        return {x - r, y - r, x + r, y + r};
    }

    double time = 1.0;
};
} // namespace

// Low is the picture without post-processing; Medium darkens the blue cylinder's silhouette on
// the middle rows and leaves every flat part of the picture as it was; High differs from both.
TEST_F(BenchRoomPostProcessPixelTest, ThePresetsGiveThreeDifferentPictures)
{
    const Picture off = Shot("Off");
    pptest::ApplyPreset("Low");
    const Picture low = Shot("Low");
    pptest::ApplyPreset("Medium");
    const Picture medium = Shot("Medium");
    pptest::ApplyPreset("High");
    const Picture high = Shot("High");
    ASSERT_EQ(off.width, static_cast<int>(kWidth));

    EXPECT_EQ(LargestDifference(low, off), 0) << "Low is post-processing off";
    EXPECT_GT(Differing(medium, low), 10000);
    EXPECT_GT(Differing(high, medium), 10000);
    EXPECT_GT(Differing(high, low), 10000);

    // The cylinder in the middle of the wall: on every row where it shows wide and blue (its
    // white stripes left out), the four pixels across each side of its silhouette (two of the
    // wall, two of the cylinder) are darker with Medium, by 30% or more over all those rows.
    const Region cylinder = Around(math::Vector3(0, 1, 22), 60);
    const auto band = [](const Picture& p, int x0, int y)
    { return p.Luma(x0, y) + p.Luma(x0 + 1, y) + p.Luma(x0 + 2, y) + p.Luma(x0 + 3, y); };
    int rows = 0;
    double offSum = 0, mediumSum = 0;
    for (int y = cylinder.y0; y < cylinder.y1; ++y)
    {
        int left = -1, right = -1;
        for (int x = cylinder.x0; x < cylinder.x1; ++x)
            if (off.At(x, y, 2) > off.At(x, y, 0) + 60)
            {
                if (left < 0)
                    left = x;
                right = x;
            }
        if (right - left < 40)
            continue;
        ++rows;
        for (int x0 : {left - 2, right - 1})
        {
            EXPECT_LT(band(medium, x0, y), band(off, x0, y)) << x0 << ", " << y;
            offSum += band(off, x0, y);
            mediumSum += band(medium, x0, y);
        }
    }
    EXPECT_LT(mediumSum, 0.7 * offSum);
    EXPECT_GT(rows, 30) << "the cylinder is where the camera should see it";
    // Where the scene is flat (a pixel and its eight neighbours alike) Medium finds no edge.
    int flat = 0, changed = 0;
    for (int y = 1; y + 1 < off.height; ++y)
        for (int x = 1; x + 1 < off.width; ++x)
            if (Flat(off, x, y))
            {
                ++flat;
                for (int c = 0; c < 3; ++c)
                    if (std::abs(medium.At(x, y, c) - off.At(x, y, c)) > 1)
                    {
                        ++changed;
                        break;
                    }
            }
    EXPECT_GT(flat, 5000);
    EXPECT_EQ(changed, 0) << "of " << flat << " flat pixels";
}

// "clearpp" leaves PPScene.fx alone, which is the picture without post-processing; "qpp Bloom
// false" names nothing (the names are case-sensitive); "qpp bloom false" brightens the wall round
// the white metal node and goes on doing so; "qpp bloom true" for one frame only.
TEST_F(BenchRoomPostProcessPixelTest, TheCommandsActOnThePicture)
{
    const Picture off = Shot("CommandsOff");
    pptest::ApplyPreset("Medium");
    EXPECT_GT(Differing(Shot("CommandsMedium"), off), 10000);

    Console("clearpp");
    const Picture cleared = Shot("Cleared");
    EXPECT_LE(LargestDifference(cleared, off), 1);
    Console("qpp Bloom false");
    EXPECT_TRUE(CPostProcessor::Instance().GetQueue().empty());
    EXPECT_EQ(LargestDifference(Shot("BloomMisnamed"), cleared), 0);

    // The ring round the node, its own pixels left out.
    const math::Vector3 node(7, 1, 22);
    const auto ring = [&](const Picture& p) { return MeanLuma(p, Around(node, 70), Around(node, 40)); };
    Console("qpp bloom false");
    const Picture bloom = Shot("Bloom");
    EXPECT_GT(ring(bloom), ring(off) + 5.0);
    EXPECT_GT(ring(Shot("BloomKept")), ring(off) + 5.0) << "kept from frame to frame";

    Console("clearpp");
    Console("qpp bloom true");
    EXPECT_GT(ring(Shot("BloomOnce")), ring(off) + 5.0);
    EXPECT_LE(LargestDifference(Shot("BloomGone"), off), 1) << "one frame only";
}

// With the eye below the water the picture waves (the underwater effect, queued by the frame for
// that frame) and the queue stays empty; the first frame after the eye rises is the still
// picture again.
TEST_F(BenchRoomPostProcessPixelTest, BelowTheWaterThePictureWavesUntilTheEyeRises)
{
    const Picture above = Shot("AboveStill");
    scene.Camera().SetPosition(0.0f, -9.5f, -10.0f);
    scene.Camera().SetLookAt(0.0f, -9.5f, 24.0f);
    // The still picture and the waving one at the same time (the water's ripples move with it).
    for (double t : {2.0, 2.5})
    {
        SCOPED_TRACE(t);
        time = t;
        PostProcessing(false);
        const Picture still = Shot("BelowStill");
        PostProcessing(true);
        const Picture wavy = Shot("BelowWavy");
        EXPECT_GT(Differing(wavy, still, 8), 10000) << "waving as long as the eye is below";
        EXPECT_TRUE(CPostProcessor::Instance().GetQueue().empty()) << "queued one frame at a time";
    }

    time = 1.0;
    scene.Camera().SetPosition(0.0f, 1.0f, -10.0f);
    scene.Camera().SetLookAt(0.0f, 1.0f, 24.0f);
    EXPECT_LE(LargestDifference(Shot("AboveAgain"), above), 1) << "gone from the next frame";
}

// A resize with Medium on: the next screenshot is 400 x 300 and shows the room.
TEST_F(BenchRoomPostProcessPixelTest, AResizeWithPostProcessingOnGivesTheNewSize)
{
    pptest::ApplyPreset("Medium");
    ASSERT_EQ(Shot("BeforeResize").width, static_cast<int>(kWidth));
    plat::SendMessageW(plat::DXUTGetHWND(), plat::WM_SIZE, 0, plat::MAKELPARAM(400, 300));
    const Picture resized = Shot("Resized"); // lost, reset at 400 x 300, then the frame
    ASSERT_EQ(resized.width, 400);
    ASSERT_EQ(resized.height, 300);
    int lit = 0;
    for (int y = 0; y < resized.height; ++y)
        for (int x = 0; x < resized.width; ++x)
            lit += resized.Luma(x, y) > 150 ? 1 : 0;
    EXPECT_GT(lit, 400 * 300 / 2) << "not black";
}

// "setwireframe true" draws the room in lines at every quality: with post-processing (Medium,
// High) the picture is the lines without it, not a black screen nor lines darkened by the
// outlines; with "setwireframe false" the quality's effects are back.
TEST_F(BenchRoomPostProcessPixelTest, WireframeShowsTheRoomInLinesAtEveryQuality)
{
    pptest::ApplyPreset("High");
    const Picture high = Shot("WireframeHighSolid");
    Console("setwireframe true");
    pptest::ApplyPreset("Low");
    const Picture lines = Shot("WireframeLow");
    int lit = 0;
    for (int y = 0; y < lines.height; ++y)
        for (int x = 0; x < lines.width; ++x)
            lit += lines.Luma(x, y) > 90 ? 1 : 0;
    EXPECT_GT(lit, 5000) << "lines to see";
    EXPECT_LT(lit, static_cast<int>(kWidth * kHeight) / 4) << "lines, not surfaces";
    for (const char* quality : {"Medium", "High"})
    {
        SCOPED_TRACE(quality);
        pptest::ApplyPreset(quality);
        EXPECT_LE(LargestDifference(Shot(std::string("Wireframe") + quality), lines), 1);
    }
    Console("setwireframe false");
    EXPECT_LE(LargestDifference(Shot("WireframeHighAgain"), high), 1);
}
