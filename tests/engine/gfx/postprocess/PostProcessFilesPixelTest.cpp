// Every family of the post-processing files on the real OpenGL device under Xvfb with Mesa's
// software renderer, at the game's 800 x 600: a picture of the test's own put straight into the
// scene targets, effects queued by id or by "qpp" name, the chain run onto the back buffer and
// read back. The 3-, 5- and 9-tap blurs spread a line by growing widths along their own axis
// only; the 2x and 4x down filters leave each block's mean in their corner of the picture and
// the up filters bring a smooth picture back; both saved targets give back exactly what was
// saved, also when an up filter saved it; the combines add what they name; the luminance chain
// ends in the scene's mean log luminance, follows it from frame to frame by the frame's time,
// and tone mapping darkens a bright scene and brightens a dark one; "rt1" and "rt2" show scene
// targets 1 and 2; the 2 x 2 antialias shades stair-steps without moving them; every "qpp"
// name runs without a line on standard error. Pictures under screenshots/ in the build folder;
// skipped, with a message, without Xvfb.
#include "PixelTestFixture.h"
#include "VirtualDisplay.h"

#include "LogCapture.h"
#include "PostProcessTestWorld.h"
#include "engine/gfx/postprocess/CPostProcessor.h"
#include "engine/gfx/postprocess/PostProcessIds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using dorvo::gfx::CGFXCore;
using dorvo::gfx::CPostProcessor;

namespace
{
constexpr int kWidth = 800;
constexpr int kHeight = 600;

using Picture = std::vector<plat::D3DCOLOR>;

plat::D3DCOLOR Rgb(int r, int g, int b)
{
    return 0xFF000000u | (static_cast<plat::D3DCOLOR>(r) << 16) | (static_cast<plat::D3DCOLOR>(g) << 8) |
           static_cast<plat::D3DCOLOR>(b);
}

plat::D3DCOLOR Grey(int v)
{
    return Rgb(v, v, v);
}

int Channel(plat::D3DCOLOR c, int channel) // 0 red, 1 green, 2 blue
{
    return static_cast<int>((c >> (16 - 8 * channel)) & 0xFF);
}

Picture Make(const std::function<plat::D3DCOLOR(int, int)>& colour)
{
    Picture picture(static_cast<std::size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            picture[static_cast<std::size_t>(y) * kWidth + x] = colour(x, y);
    return picture;
}

plat::D3DCOLOR Pixel(const Picture& p, int x, int y)
{
    return p[static_cast<std::size_t>(y) * kWidth + x];
}

// A picture without two neighbours alike: every channel its own mix of the place.
Picture Speckled()
{
    return Make(
        [](int x, int y)
        {
            const unsigned h =
                static_cast<unsigned>(x) * 2654435761u ^ static_cast<unsigned>(y) * 40503u * 7919u;
            return Rgb(static_cast<int>(h >> 24), static_cast<int>((h >> 16) & 0xFF),
                       static_cast<int>((h >> 8) & 0xFF));
        });
}

// Slow waves of colour: what a down and an up filter bring back nearly unchanged.
Picture Smooth()
{
    return Make(
        [](int x, int y)
        {
            const double a = std::sin(x / 60.0) * std::cos(y / 45.0);
            const double b = std::cos(x / 80.0 + y / 70.0);
            return Rgb(static_cast<int>(128 + 100 * a), static_cast<int>(128 + 90 * b),
                       static_cast<int>(128 - 80 * a));
        });
}

// Two greys in a checkerboard of single pixels.
Picture Checker(int a, int b)
{
    return Make([=](int x, int y) { return Grey((x + y) % 2 ? a : b); });
}

// The largest difference of one channel over the rectangle [x0, x1) x [y0, y1) (-1 for two sizes).
int LargestDifference(const Picture& a, const Picture& b, int x0 = 0, int y0 = 0, int x1 = kWidth,
                      int y1 = kHeight)
{
    if (a.size() != b.size())
        return -1;
    int largest = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            for (int c = 0; c < 3; ++c)
                largest =
                    std::max(largest, std::abs(Channel(Pixel(a, x, y), c) - Channel(Pixel(b, x, y), c)));
    return largest;
}

double MeanRed(const Picture& p, int x0 = 0, int y0 = 0, int x1 = kWidth, int y1 = kHeight)
{
    double sum = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            sum += Channel(Pixel(p, x, y), 0);
    return sum / (static_cast<double>(x1 - x0) * (y1 - y0));
}

class PostProcessFilesPixelTest : public gfxtest::PixelTestFixture
{
protected:
    PostProcessFilesPixelTest() : PixelTestFixture(kWidth, kHeight) {}

    void SetUp() override
    {
        PixelTestFixture::SetUp();
        if (!Ready())
            return;
        SetWindowConfig("textures/");
        config.fxPath = testsupport::RepoPath("data/fx") + "/";
        ASSERT_TRUE(gfx.Init(config));
        ASSERT_TRUE(TakeDevice());
        gfx.SetRenderFlags(gfx.GetRenderFlags() | dorvo::gfx::CDorvoGfx::RF_POST_PROCESSING);
    }

    void TearDown() override
    {
        ExpectNoGLErrors();
        CPostProcessor::Instance().ClearQueue();
        gfx.SetRenderFlags(dorvo::gfx::CDorvoGfx::kDefaultRenderFlags);
        StopDevice();
    }

    // The picture into scene target `index`, through a texture of its own.
    void SetScene(unsigned index, const Picture& picture)
    {
        plat::IDirect3DTexture9* texture = nullptr;
        ASSERT_TRUE(plat::SUCCEEDED(device->CreateTexture(kWidth, kHeight, 1, 0, plat::D3DFMT_A8R8G8B8,
                                                          plat::D3DPOOL_MANAGED, &texture, nullptr)));
        plat::D3DLOCKED_RECT locked{};
        ASSERT_TRUE(plat::SUCCEEDED(texture->LockRect(0, &locked, nullptr, 0)));
        for (int y = 0; y < kHeight; ++y)
            std::copy_n(
                &picture[static_cast<std::size_t>(y) * kWidth], kWidth,
                reinterpret_cast<plat::D3DCOLOR*>(static_cast<char*>(locked.pBits) + y * locked.Pitch));
        texture->UnlockRect(0);
        plat::IDirect3DSurface9* source = nullptr;
        plat::IDirect3DSurface9* target = nullptr;
        texture->GetSurfaceLevel(0, &source);
        CPostProcessor::Instance().GetSceneTarget(index)->GetSurfaceLevel(0, &target);
        EXPECT_TRUE(
            plat::SUCCEEDED(device->StretchRect(source, nullptr, target, nullptr, plat::D3DTEXF_POINT)));
        target->Release();
        source->Release();
        texture->Release();
    }

    // The chain of the queued ids (each for this frame only) over the scene targets as they
    // are, as the frame runs it, with the frame's time and its length; the picture, saved under
    // screenshots/ when named.
    Picture Chain(const std::vector<unsigned>& ids, const std::string& screenshot = "", float dt = 0.033f)
    {
        for (unsigned id : ids)
            gfx.QueuePostProcess(id, true);
        return RunQueue(screenshot, dt);
    }

    Picture RunQueue(const std::string& screenshot = "", float dt = 0.033f)
    {
        CGFXCore& core = CGFXCore::Instance();
        time += dt;
        core.SetFrameTime(time, dt);
        core.BeginFrame();
        core.SetViewport(0);
        core.SetVertexDeclaration(dorvo::gfx::VD_ScreenQuad);
        CPostProcessor::Instance().RunChain();
        core.EndScene();
        Picture picture;
        EXPECT_TRUE(device->ReadBackBuffer(picture));
        if (!screenshot.empty())
        {
            EXPECT_TRUE(testsupport::SaveBackBuffer(device, "PostProcessFiles" + screenshot + ".png"));
        }
        device->Present(nullptr, nullptr, nullptr, nullptr);
        return picture;
    }

    static unsigned Id(const std::string& name)
    {
        unsigned id = 0;
        EXPECT_TRUE(dorvo::gfx::PostProcessIdOfName(name, id)) << name;
        return id;
    }

    double time = 1.0;
};

// The spread of a line of light across row or column `at`: the width (standard deviation, in
// pixels) of its profile and the light it holds (255 for the line itself).
struct Spread
{
    double width = 0, light = 0;
};

Spread SpreadOf(const Picture& p, bool alongX, int at, int centre)
{
    double sum = 0, mean = 0, second = 0;
    for (int d = -20; d <= 20; ++d)
    {
        const int v = Channel(alongX ? Pixel(p, centre + d, at) : Pixel(p, at, centre + d), 0);
        sum += v;
        mean += v * d;
        second += v * d * d;
    }
    mean /= sum;
    return {std::sqrt(second / sum - mean * mean), sum};
}
} // namespace

// Each blur spreads a line of one pixel along its own axis by its own width, keeps its light,
// and leaves a line along that axis as it was.
TEST_F(PostProcessFilesPixelTest, BlursOfThreeFiveAndNineTapsSpreadALineByGrowingWidths)
{
    const Picture across = Make([](int x, int) { return Grey(x == 400 ? 255 : 0); }); // a column
    const Picture along = Make([](int, int y) { return Grey(y == 300 ? 255 : 0); });  // a row
    struct Case
    {
        const char* name;
        bool horizontal;
        double width; // what the taps and their weights give a line of one pixel
    };
    const Case cases[] = {
        {"hbloom3", true, 1.118},  {"vbloom3", false, 1.118},  {"hbloom5", true, 1.541},
        {"vbloom5", false, 1.541}, {"hgaussian", true, 1.689}, {"vgaussian", false, 1.689},
        {"hbloom", true, 2.558},   {"vbloom", false, 2.558},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        SetScene(0, c.horizontal ? across : along);
        const Picture spread = Chain({Id(c.name)}, std::string("Blur_") + c.name);
        const Spread s = SpreadOf(spread, c.horizontal, c.horizontal ? 300 : 400, c.horizontal ? 400 : 300);
        EXPECT_NEAR(s.width, c.width, 0.12);
        EXPECT_NEAR(s.light, 255.0, 6.0) << "the weights add up to one";
        SetScene(0, c.horizontal ? along : across);
        EXPECT_LE(LargestDifference(Chain({Id(c.name)}), c.horizontal ? along : across), 1)
            << "nothing spreads across its axis";
    }
}

// The down filters leave each block's mean in their corner of the picture and black beside it;
// after the up filter of the same factor a smooth picture is back within two levels (bar the
// pixels along the picture's edges, where the filters reach past the picture).
TEST_F(PostProcessFilesPixelTest, DownFiltersKeepEachBlocksMeanAndUpFiltersBringTheSizeBack)
{
    const Picture speckled = Speckled();
    const Picture smooth = Smooth();
    struct Case
    {
        const char* down;
        const char* up;
        int factor;
    };
    for (const Case& c : {Case{"downfilter2x", "upfilter2x", 2}, Case{"downfilter4x", "upfilter4x", 4}})
    {
        SCOPED_TRACE(c.down);
        SetScene(0, speckled);
        const Picture down = Chain({Id(c.down)}, std::string("Down_") + c.down);
        const int w = kWidth / c.factor, h = kHeight / c.factor;
        int worst = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int ch = 0; ch < 3; ++ch)
                {
                    int sum = 0;
                    for (int j = 0; j < c.factor; ++j)
                        for (int i = 0; i < c.factor; ++i)
                            sum += Channel(Pixel(speckled, x * c.factor + i, y * c.factor + j), ch);
                    const double mean = static_cast<double>(sum) / (c.factor * c.factor);
                    worst = std::max(
                        worst, static_cast<int>(std::ceil(std::abs(Channel(Pixel(down, x, y), ch) - mean))));
                }
        EXPECT_LE(worst, 2) << "each output pixel the mean of its block";
        EXPECT_EQ(LargestDifference(down, Make([](int, int) { return Grey(0); }), w, 0, kWidth, kHeight), 0);
        EXPECT_EQ(LargestDifference(down, Make([](int, int) { return Grey(0); }), 0, h, w, kHeight), 0);

        SetScene(0, smooth);
        const Picture back = Chain({Id(c.down), Id(c.up)}, std::string("DownUp_") + c.down);
        EXPECT_LE(LargestDifference(back, smooth, c.factor, c.factor, kWidth - c.factor, kHeight - c.factor),
                  2);
    }
}

// What is saved comes back exactly: a saved target keeps the picture it got while later effects
// change the result, the two saved targets are apart, and the up filters that save keep what
// they drew.
TEST_F(PostProcessFilesPixelTest, EverySavedPictureComesBackExactly)
{
    const Picture speckled = Speckled();
    SetScene(0, speckled);
    const Picture edges = Chain({Id("edgedetection")});
    ASSERT_GT(LargestDifference(edges, speckled), 100) << "the edges are another picture";
    const Picture up2 = Chain({Id("downfilter2x"), Id("upfilter2x")});
    const Picture up4 = Chain({Id("downfilter4x"), Id("upfilter4x")});
    struct Case
    {
        const char* what;
        std::vector<const char*> names;
        const Picture& wanted;
    };
    const Case cases[] = {
        {"SaveTo0", {"saveto0", "edgedetection", "getsaved0"}, speckled},
        {"SaveTo1", {"saveto1", "edgedetection", "getsaved1"}, speckled},
        {"BothKept0", {"saveto0", "edgedetection", "saveto1", "getsaved0"}, speckled},
        {"BothKept1", {"saveto0", "edgedetection", "saveto1", "getsaved1"}, edges},
        {"UpFilter2xSaveTo0", {"downfilter2x", "upfilter2xsaveto0", "edgedetection", "getsaved0"}, up2},
        {"UpFilter2xSaveTo1", {"downfilter2x", "upfilter2xsaveto1", "edgedetection", "getsaved1"}, up2},
        {"UpFilter4xSaveTo0", {"downfilter4x", "upfilter4xsaveto0", "edgedetection", "getsaved0"}, up4},
        {"UpFilter4xSaveTo1", {"downfilter4x", "upfilter4xsaveto1", "edgedetection", "getsaved1"}, up4},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        std::vector<unsigned> ids;
        for (const char* name : c.names)
            ids.push_back(Id(name));
        EXPECT_EQ(LargestDifference(Chain(ids, std::string("Saved_") + c.what), c.wanted), 0);
    }
}

// The combines add the previous result to the picture they name, by their strength: on a dim
// grey, scene target 0 plus three quarters, a saved target plus all of it (and saved back), or
// plus one and a half after the trip down and up.
TEST_F(PostProcessFilesPixelTest, CombinesAddThePreviousResultToTheirPicture)
{
    SetScene(0, Make([](int, int) { return Grey(50); }));
    struct Case
    {
        const char* what;
        std::vector<unsigned> ids;
        double grey;
    };
    const Case cases[] = {
        {"Combine", {6}, 50 + 0.75 * 50},
        {"Saved0Combine", {19, 39}, 50 + 1.5 * 50},
        {"Saved0CombineSaveTo0", {19, 23}, 100},
        {"Saved0CombineSaveTo0Back", {19, 23, 42, 21}, 100},
        {"Saved1CombineSaveTo1Back", {20, 24, 42, 22}, 100},
        {"Saved0Combine4x", {19, 0, 40}, 50 + 1.5 * 50},
        {"Combine4x", {0, 7}, 50 + 1.5 * 50},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        const Picture p = Chain(c.ids, "Combine_" + std::string(c.what));
        EXPECT_LE(
            LargestDifference(p, Make([&](int, int) { return Grey(static_cast<int>(std::lround(c.grey))); }),
                              0, 0, kWidth - 4, kHeight - 4),
            1);
    }
}

// "bloom3" runs its 24 steps: a white square glows at three sizes, near and far, and stays white.
TEST_F(PostProcessFilesPixelTest, Bloom3GlowsNearAndFar)
{
    const auto inside = [](int x, int y, int r) { return std::abs(x - 400) < r && std::abs(y - 300) < r; };
    SetScene(0, Make([&](int x, int y) { return Grey(inside(x, y, 20) ? 255 : 0); }));
    testsupport::LogCapture logged;
    Console("qpp bloom3 true");
    EXPECT_EQ(CPostProcessor::Instance().GetQueue().size(), 24u);
    const Picture glow = RunQueue("Bloom3");
    const std::string err = logged.Text();
    EXPECT_TRUE(err.empty()) << err;
    const auto ring = [&](int from, int to)
    {
        double sum = 0;
        int count = 0;
        for (int y = 300 - to; y < 300 + to; ++y)
            for (int x = 400 - to; x < 400 + to; ++x)
                if (!inside(x, y, from))
                {
                    sum += Channel(Pixel(glow, x, y), 0);
                    ++count;
                }
        return sum / count;
    };
    EXPECT_EQ(Channel(Pixel(glow, 400, 300), 0), 255);
    EXPECT_GT(ring(20, 30), 40.0) << "near";
    EXPECT_GT(ring(40, 70), 4.0) << "far";
    EXPECT_GT(ring(20, 30), ring(40, 70)) << "fading outwards";
}

// The luminance chain ends in the scene's mean log luminance (of 200 and 50 side by side their
// geometric mean 100, not 125), by 4 x 4 or by 2 x 2 steps alike; tone mapping brings a bright
// scene down and a dark one up towards the key, keeping each picture's detail, and both tone
// maps agree.
TEST_F(PostProcessFilesPixelTest, TheLuminanceChainGivesTheMeanAndToneMappingBringsScenesToTheKey)
{
    const std::vector<unsigned> toOnePixel = {29, 30, 38, 31};
    const std::vector<unsigned> byHalves = {29, 30, 37, 37, 31};
    const auto then = [](std::vector<unsigned> ids, std::vector<unsigned> more)
    {
        ids.insert(ids.end(), more.begin(), more.end());
        return ids;
    };
    const Picture halves = Make([](int x, int) { return Grey(x < kWidth / 2 ? 200 : 50); });
    SetScene(0, halves);
    const Picture mean = Chain(then(toOnePixel, {34}), "LumMean");
    EXPECT_EQ(LargestDifference(mean, Make([&](int, int) { return Pixel(mean, 0, 0); })), 0)
        << "one luminance over the screen";
    EXPECT_NEAR(Channel(Pixel(mean, 0, 0), 0), 100, 5);
    EXPECT_LE(LargestDifference(Chain(then(byHalves, {34}), "LumMeanByHalves"), mean), 3);

    struct Case
    {
        const char* what;
        int low, high;          // the checker's two greys
        double lowest, highest; // the tone-mapped mean, relative to the scene's
    };
    const Case cases[] = {{"Bright", 210, 250, 0.4, 0.6}, {"Dark", 10, 30, 3.0, 4.2}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        const Picture scene = Checker(c.low, c.high);
        SetScene(0, scene);
        const Picture mapped = Chain(then(toOnePixel, {34, 5}), std::string("ToneMap_") + c.what);
        const double ratio = MeanRed(mapped) / MeanRed(scene);
        EXPECT_GT(ratio, c.lowest);
        EXPECT_LT(ratio, c.highest);
        // The checker's contrast is kept: its two greys are scaled alike.
        const double gain =
            static_cast<double>(Channel(Pixel(mapped, 1, 0), 0)) / Channel(Pixel(scene, 1, 0), 0);
        EXPECT_NEAR(Channel(Pixel(mapped, 0, 0), 0), Channel(Pixel(scene, 0, 0), 0) * gain, 2.0);
        const Picture mapped2 = Chain(then(toOnePixel, {36}), std::string("ToneMap2_") + c.what);
        EXPECT_LE(LargestDifference(mapped2, mapped), 1) << "ToneMap2 reads the pixel itself";
    }
}

// The eye's luminance follows the scene's by the frame's time: after long in the dark, a bright
// frame of a tenth of a second moves it 14% of the way, the next as much of what is left, and a
// long frame all the way.
TEST_F(PostProcessFilesPixelTest, TheEyesLuminanceFollowsTheSceneByTheFramesTime)
{
    const std::vector<unsigned> adapted = {29, 30, 38, 31, 33, 34};
    SetScene(0, Make([](int, int) { return Grey(20); }));
    const int dark = Channel(Pixel(Chain(adapted, "", 100.0f), 0, 0), 0);
    EXPECT_NEAR(dark, 20, 2);
    SetScene(0, Make([](int, int) { return Grey(220); }));
    const double k = 1.0 - std::exp(-1.5 * 0.1); // the file's rate over a tenth of a second
    const int first = Channel(Pixel(Chain(adapted, "EyeFirstTenth", 0.1f), 0, 0), 0);
    EXPECT_NEAR(first, dark + (220 - dark) * k, 3);
    const int second = Channel(Pixel(Chain(adapted, "", 0.1f), 0, 0), 0);
    EXPECT_NEAR(second, first + (220 - first) * k, 3);
    EXPECT_NEAR(Channel(Pixel(Chain(adapted, "EyeAdapted", 100.0f), 0, 0), 0), 220, 3);
}

// "rt1" and "rt2" show scene targets 1 and 2 as they are, whatever target 0 holds.
TEST_F(PostProcessFilesPixelTest, RenderTargetCopiesShowTheirSceneTarget)
{
    const Picture speckled = Speckled();
    const Picture smooth = Smooth();
    SetScene(0, Make([](int, int) { return Grey(128); }));
    SetScene(1, speckled);
    SetScene(2, smooth);
    EXPECT_EQ(LargestDifference(Chain({Id("rt1")}, "RT1"), speckled), 0);
    EXPECT_EQ(LargestDifference(Chain({Id("rt2")}, "RT2"), smooth), 0);
}

// A steep edge of white on black drawn in stair-steps: the antialias gives the steps in-between
// shades, leaves everything three pixels from the edge as it was, and does not move the edge.
TEST_F(PostProcessFilesPixelTest, TheAntialiasShadesStairStepsWithoutMovingThem)
{
    const auto edge = [](int y) { return 400.0 + (y - 300) * 0.4; };
    const Picture steps = Make([&](int x, int y) { return Grey(x > edge(y) ? 255 : 0); });
    SetScene(0, steps);
    const Picture smooth = Chain({Id("aa2x2")}, "AA2x2");
    int shaded = 0, changedFar = 0;
    double worstShift = 0, shift = 0;
    for (int y = 1; y + 1 < kHeight; ++y)
    {
        double before = 0, after = 0;
        for (int x = 0; x < kWidth; ++x)
        {
            const int v = Channel(Pixel(smooth, x, y), 0);
            shaded += v > 10 && v < 245 ? 1 : 0;
            if (std::abs(x - edge(y)) > 3 && v != Channel(Pixel(steps, x, y), 0))
                ++changedFar;
            before += Channel(Pixel(steps, x, y), 0) / 255.0;
            after += v / 255.0;
        }
        worstShift = std::max(worstShift, std::abs(after - before));
        shift += after - before;
    }
    EXPECT_GT(shaded, kHeight) << "at least one in-between shade a row";
    EXPECT_EQ(changedFar, 0);
    // A row's light moves by less than half a pixel (its neighbours' steps lie elsewhere), and
    // over all the rows by nothing: a one-sided 2 x 2 mean would move every row half a pixel.
    EXPECT_LT(worstShift, 0.5);
    EXPECT_LT(std::abs(shift) / (kHeight - 2), 0.05);
}

// Every name "qpp" knows runs (this frame only) without a line on standard error.
TEST_F(PostProcessFilesPixelTest, EveryQppNameRunsWithoutALine)
{
    const Picture smooth = Smooth();
    for (unsigned i = 0; i < 4; ++i)
        SetScene(i, smooth);
    for (const std::string& name : pptest::QppNames())
    {
        SCOPED_TRACE(name);
        testsupport::LogCapture logged;
        Console("qpp " + name + " true");
        RunQueue("Qpp_" + name);
        const std::string err = logged.Text();
        EXPECT_TRUE(err.empty()) << err;
        EXPECT_TRUE(CPostProcessor::Instance().GetQueue().empty());
    }
}
