// The Tutorial's drawbridge face on the real OpenGL device under a virtual X display (Xvfb,
// Mesa's software renderer), looked at in the game's own screenshots: the drawbridge's negative
// charge glows blue around it, and a magnet laid on the face shows its positive field, a red disc
// well wider than the horseshoe; both show through the face's building grid. The pictures go
// under screenshots/ in the test build folder ("magnet_*.png"). Skipped where Xvfb is not
// installed.
#include "MenuTestWorld.h"
#include "ScriptedPlacement.h"
#include "TutorialSolutions.h"

#include "GLTestDevice.h"
#include "PngPicture.h"
#include "TestSupport.h"
#include "VirtualDisplay.h"
#include "game/app/CQUORB.h"
#include "game/menus/BaseMenu.h"
#include "platform/headless.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{
constexpr int kOpen = QUORB::BaseMenu::STATE_Open;
constexpr std::uint32_t kSpace = 57;
constexpr unsigned kFace = 3;

struct Picture : testsupport::PngPicture
{
    // The mean colour of the 5 x 5 pixels around the screen point of a world point.
    void Mean(const math::Vector3& world, double rgb[3]) const
    {
        int cx = 0;
        int cy = 0;
        gametest::GameTestWorld::ScreenPixelOf(world, cx, cy);
        rgb[0] = rgb[1] = rgb[2] = 0.0;
        int count = 0;
        for (int y = cy - 2; y <= cy + 2; ++y)
            for (int x = cx - 2; x <= cx + 2; ++x)
                if (x >= 0 && y >= 0 && x < width && y < height)
                {
                    for (int c = 0; c < 3; ++c)
                        rgb[c] += At(x, y, c);
                    ++count;
                }
        for (int c = 0; c < 3 && count > 0; ++c)
            rgb[c] /= count;
    }
    // How much redder than blue (positive) or bluer than red (negative) the place looks.
    double RedOverBlue(const math::Vector3& world) const
    {
        double rgb[3];
        Mean(world, rgb);
        return rgb[0] - rgb[2];
    }
};

class MagnetFieldPixelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!testsupport::XvfbInstalled())
            GTEST_SKIP() << "Xvfb is not installed (package xvfb): the game is not run on a display here";
        ASSERT_TRUE(m_display.Start("1024x768x24")) << "Xvfb did not start";
        plat::headless::Reset();
        testsupport::UseOpenGLOn(m_display, m_env);
        gametest::MenuTestSetup setup;
        setup.copyRooms = true;
        setup.fullScreen = true;
        m_world = std::make_unique<gametest::MenuTestWorld>(setup);
        ASSERT_TRUE(m_world->Booted());
        m_world->Step(2);
        m_world->Console(std::string("loadprofile ") + tutorial::kProfileFile);
        m_world->Console(std::string("loadroom ") + tutorial::kRoomFile + " true");
        m_world->Step(2);
    }

    void TearDown() override
    {
        m_world.reset();
        m_env.Set("DORVO_HEADLESS", "1");
        plat::headless::Reset();
    }

    bool Wait(const char* menu, int state, double seconds)
    {
        return m_world->RunUntil([&]() { return m_world->MenuState(menu) == state; }, seconds);
    }

    Picture Shot(const std::string& name)
    {
        const std::string path = testsupport::ScreenshotPath("magnet_" + name + ".png");
        m_world->Console("takescrshot " + path);
        m_world->Step();
        return testsupport::LoadPng<Picture>(path);
    }

    testsupport::VirtualDisplay m_display;
    testsupport::ScopedEnv m_env;
    std::unique_ptr<gametest::MenuTestWorld> m_world;
};
} // namespace

TEST_F(MagnetFieldPixelTest, TheBridgesChargeAndTheMagnetsFieldShowThroughTheGrid)
{
    ASSERT_TRUE(gametest::TurnToFace(*m_world, kFace));
    ASSERT_TRUE(Wait("PuzzleLookAtMenu", kOpen, 3.0));
    ASSERT_TRUE(m_world->Click("PuzzleLookAtMenu", "StartPuzzleButton"));
    ASSERT_TRUE(Wait("StartPuzzleMenu", kOpen, 3.0));
    ASSERT_TRUE(gametest::WaitForGlide(*m_world));
    m_world->MoveCursor(700, 60);
    m_world->RunFor(0.3);
    auto at = [](float u, float v) { return tutorial::FacePoint(kFace, u, v); };
    // The drawbridge runs from (-4.5, 4.5) up to its hinge at (1.5, 7.7). Its glow is a band
    // half a unit wide along each side; the mean over points of a line along the bridge, at a
    // distance from its middle line across it (+ above, - below).
    auto alongBridge = [&](const Picture& picture, float across)
    {
        const float du = 6.0f / 6.8f;
        const float dv = 3.2f / 6.8f;
        double sum = 0.0;
        for (int i = 0; i <= 8; ++i)
        {
            const float t = 1.5f + 0.5f * i; // along the bridge, clear of its ends
            sum += picture.RedOverBlue(at(-4.5f + du * t - dv * across, 4.5f + dv * t + du * across));
        }
        return sum / 9.0;
    };
    const math::Vector3 wall = at(-7.0f, 1.0f);
    // The magnet's place, clear of the bridge: the field disc (3 units round at the default
    // strength) covers points two units out, well past the horseshoe's half unit.
    const math::Vector3 magnet = at(6.0f, 6.0f);
    const math::Vector3 fieldLeft = at(4.0f, 6.0f);
    const math::Vector3 fieldBelow = at(6.0f, 4.0f);
    const Picture before = Shot("before");

    for (const float side : {0.75f, -0.75f})
        EXPECT_LT(alongBridge(before, side), alongBridge(before, side * 2.5f) - 20.0)
            << "blue beside the bridge, on the " << (side > 0.0f ? "upper" : "lower") << " side";

    ASSERT_TRUE(m_world->Click("WidgetChoiceBarMenu", "MagnetButton"));
    m_world->PressAt(magnet);
    m_world->ReleaseAt(magnet);
    m_world->Key(kSpace);
    m_world->MoveCursor(700, 60);
    m_world->RunFor(0.3);
    const Picture after = Shot("after");
    for (const math::Vector3& field : {fieldLeft, fieldBelow})
        EXPECT_GT(after.RedOverBlue(field), before.RedOverBlue(field) + 40.0) << "red where the field is";
    EXPECT_NEAR(after.RedOverBlue(wall), before.RedOverBlue(wall), 5.0) << "the wall away from it as it was";
}
