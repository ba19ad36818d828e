// Planar water drawn by the engine on OpenGL under Xvfb with Mesa's software renderer: a sheet of
// still water with a red box above it and a blue box below, seen from above. The map dumps show
// only the box of their own half (the red one mirrored), the water shows both, and "togglewater"
// changes what lies under the water line and back. Screenshots and dumps go under screenshots/
// in the test build folder. Skipped, with a message, where Xvfb is not installed.
#include "PixelTestFixture.h"
#include "VirtualDisplay.h"

#include "engine/Gob.h"
#include "engine/POVComp.h"
#include "platform/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace
{
constexpr unsigned kWidth = 800;
constexpr unsigned kHeight = 600;

struct Picture : testsupport::PngPicture
{
    bool Red(int x, int y) const
    {
        return At(x, y, 0) > 120 && At(x, y, 0) > 2 * At(x, y, 2) && At(x, y, 1) < 90;
    }
    // Dimmer red, as the mirror image shows it: red leads the other two by half again.
    bool Reddish(int x, int y) const
    {
        return At(x, y, 0) >= 30 && 2 * At(x, y, 0) > 3 * std::max(At(x, y, 1), At(x, y, 2));
    }
    bool Blue(int x, int y) const
    {
        return At(x, y, 2) > 120 && At(x, y, 2) > 2 * At(x, y, 0) && At(x, y, 1) < 130;
    }
    // Pixels of the colour in a region (clipped).
    template <typename Test> int Count(Test test, int x0, int y0, int x1, int y1) const
    {
        int count = 0;
        for (int y = std::max(0, y0); y < std::min(height, y1); ++y)
            for (int x = std::max(0, x0); x < std::min(width, x1); ++x)
                count += test(x, y) ? 1 : 0;
        return count;
    }
    int Reds(int x0, int y0, int x1, int y1) const
    {
        return Count([&](int x, int y) { return Red(x, y); }, x0, y0, x1, y1);
    }
    int Reddishes(int x0, int y0, int x1, int y1) const
    {
        return Count([&](int x, int y) { return Reddish(x, y); }, x0, y0, x1, y1);
    }
    int Blues(int x0, int y0, int x1, int y1) const
    {
        return Count([&](int x, int y) { return Blue(x, y); }, x0, y0, x1, y1);
    }
};

// The largest difference of one channel over a region, clipped.
int LargestDifference(const Picture& a, const Picture& b, int x0, int y0, int x1, int y1)
{
    int largest = 0;
    for (int y = std::max(0, y0); y < std::min(a.height, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(a.width, x1); ++x)
            for (int c = 0; c < 3; ++c)
                largest = std::max(largest, std::abs(a.At(x, y, c) - b.At(x, y, c)));
    return largest;
}

class WaterPixelTest : public gfxtest::ScenePixelTestFixture
{
protected:
    WaterPixelTest() : ScenePixelTestFixture(kWidth, kHeight) {}

    void SetUp() override
    {
        ScenePixelTestFixture::SetUp();
        if (!Ready())
            return;
        ASSERT_NO_FATAL_FAILURE(StartScene());
        plat::DXUTSetCallbackFrameRender(&WaterPixelTest::FrameRender, this);

        // Water at y = 0 across the view; the red box above it, the blue one below.
        const std::string data = testsupport::RepoPath("tests/data/gfx/");
        std::ofstream("water.xml")
            << "<Scene><Template file=\"" << data << "TestRoom.xml\"/><Template file=\"" << data
            << "WaterRoom.xml\"/><Template file=\"" << data << "WaterProps.xml\"/>"
            << "<Object archetype=\"StillWater\" name=\"Water\" position=\"0 0 8\" scale=\"40 1 40\"/>"
            << "<Object archetype=\"RedBox\" name=\"Red\" position=\"0 2 8\" scale=\"2 2 2\"/>"
            << "<Object archetype=\"BlueBox\" name=\"Blue\" position=\"3 -2.5 6\" scale=\"2 2 2\"/>"
            << "<Camera eye=\"0 6 -10\" lookAt=\"0 -1 10\" fov=\"45\"/></Scene>";
        ASSERT_TRUE(scene.Load("water.xml")) << scene.Error();
        ASSERT_TRUE(scene.Build(kWidth, kHeight)) << scene.Error();
        gfx.SetRenderFlags(CDorvoGfxFlags());
    }

    static std::uint32_t CDorvoGfxFlags()
    {
        using dorvo::gfx::CDorvoGfx;
        return CDorvoGfx::RF_VIEWPORT0 | CDorvoGfx::RF_MODELS | CDorvoGfx::RF_WATER;
    }

    void TearDown() override
    {
        ExpectNoGLErrors();
        plat::DXUTSetCallbackFrameRender(nullptr, nullptr);
        StopScene();
    }

    static void FrameRender(plat::IDirect3DDevice9*, double, float, void* context)
    {
        auto* self = static_cast<WaterPixelTest*>(context);
        self->scene.ApplyCamera();
        self->gfx.RenderFrame(1.0, 0.0f);
    }

    Picture Shot(const std::string& name)
    {
        const std::string path = TakeShot(name);
        Picture picture = testsupport::LoadPng<Picture>(path);
        EXPECT_EQ(picture.width, static_cast<int>(kWidth)) << path;
        return picture;
    }

    // A dump from the working folder, kept under screenshots/ too.
    static Picture Dump(const std::string& file, const std::string& keptAs)
    {
        std::error_code ignored;
        std::filesystem::copy_file(file, testsupport::ScreenshotPath(keptAs),
                                   std::filesystem::copy_options::overwrite_existing, ignored);
        return testsupport::LoadPng<Picture>(file);
    }
};
} // namespace

// The dumps at back-buffer size: the reflection holds the red box alone, where its mirror image
// in the water lands on the screen; the refraction the blue box alone. The water in the picture
// shows both.
TEST_F(WaterPixelTest, MapsHoldTheirOwnHalvesAndTheWaterShowsBoth)
{
    Console("dumpwatermaps true");
    const Picture picture = Shot("WaterScene.png");
    const Picture reflection = Dump("RefMap.png", "WaterRefMap.png");
    const Picture refraction = Dump("RefracMap.png", "WaterRefracMap.png");
    ASSERT_EQ(reflection.width, static_cast<int>(kWidth));
    ASSERT_EQ(reflection.height, static_cast<int>(kHeight));
    ASSERT_EQ(refraction.width, static_cast<int>(kWidth));
    ASSERT_EQ(refraction.height, static_cast<int>(kHeight));

    int mirrorX = 0, mirrorY = 0, blueX = 0, blueY = 0, redX = 0, redY = 0;
    ToScreen(math::Vector3(0.0f, -2.0f, 8.0f), mirrorX, mirrorY); // the red box's mirror image
    ToScreen(math::Vector3(3.0f, -2.5f, 6.0f), blueX, blueY);
    ToScreen(math::Vector3(0.0f, 2.0f, 8.0f), redX, redY);
    const int r = 25;

    EXPECT_GT(reflection.Reddishes(mirrorX - r, mirrorY - r, mirrorX + r, mirrorY + r), 400);
    EXPECT_EQ(reflection.Reddishes(redX - r, redY - r, redX + r, redY + r), 0)
        << "the box itself is not there";
    EXPECT_EQ(reflection.Blues(0, 0, reflection.width, reflection.height), 0);
    EXPECT_GT(refraction.Blues(blueX - r, blueY - r, blueX + r, blueY + r), 400);
    EXPECT_EQ(refraction.Reddishes(0, 0, refraction.width, refraction.height), 0);

    // The picture: the red box itself, its mirror image and the blue box through the water.
    EXPECT_GT(picture.Reds(redX - r, redY - r, redX + r, redY + r), 400);
    EXPECT_GT(picture.Reddishes(mirrorX - r, mirrorY - r, mirrorX + r, mirrorY + r), 400);
    EXPECT_GT(picture.Blues(blueX - r, blueY - r, blueX + r, blueY + r), 100);
}

// "togglewater": the region under the water line changes and no map is written; toggling again
// restores the picture.
TEST_F(WaterPixelTest, ToggleWaterChangesTheWaterRegionAndBack)
{
    Console("dumpwatermaps true");
    const Picture on = Shot("WaterOn.png");
    Console("togglewater");
    std::remove("RefMap.png");
    const Picture off = Shot("WaterOff.png");
    EXPECT_FALSE(plat::FileExists("RefMap.png")) << "no map is drawn with water off";
    Console("togglewater");
    const Picture again = Shot("WaterOnAgain.png");

    // Below the horizon of the water (the lower half of the view) against the red box above.
    int lineX = 0, lineY = 0;
    ToScreen(math::Vector3(0.0f, 0.0f, 8.0f), lineX, lineY);
    EXPECT_GT(LargestDifference(on, off, 0, lineY + 20, on.width, on.height), 60);
    EXPECT_LE(LargestDifference(on, again, 0, 0, on.width, on.height), 1);
}
