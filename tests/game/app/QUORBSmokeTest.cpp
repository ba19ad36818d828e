// The program on a real window and OpenGL device: a virtual X display (Xvfb) with Mesa's
// software renderer. The real application and game run a few seconds of frames, F1 saves a
// screenshot, closing the window ends the run. Skipped where Xvfb is not installed.
#include "game/app/CQUORB.h"
#include "game/app/CQUORBApp.h"

#include "TestSupport.h"
#include "VirtualDisplay.h"
#include "engine/RunApplication.h"
#include "game/app/CEngineLoader.h"
#include "platform/files.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <stb_image.h>

#include <string>
#include <vector>

namespace
{
constexpr int kF1AtFrame = 60;    // two seconds in
constexpr int kCloseAtFrame = 90; // three seconds in
int g_frames = 0;

class PlayerGame : public QUORB::CQUORB
{
public:
    void Update(double time, float elapsed) override
    {
        QUORB::CQUORB::Update(time, elapsed);
        ++g_frames;
        if (g_frames == kF1AtFrame)
            plat::PostMessageW(plat::DXUTGetHWND(), plat::WM_KEYDOWN, plat::VK_F1, 0);
        if (g_frames == kCloseAtFrame)
            plat::PostMessageW(plat::DXUTGetHWND(), plat::WM_CLOSE, 0, 0);
    }
};

class PlayerApp : public QUORB::CQUORBApp
{
public:
    dorvo::CDorvoGame* CreateGame() override { return new PlayerGame(); }
};
} // namespace

TEST(QUORBSmokeTest, RunsAWindowForAFewSecondsAndF1SavesAScreenshotOfIt)
{
    if (!testsupport::XvfbInstalled())
        GTEST_SKIP() << "Xvfb is not installed (package xvfb): the program is not run on a display here";
    testsupport::VirtualDisplay display;
    ASSERT_TRUE(display.Start("1024x768x24")) << "Xvfb did not start";
    plat::headless::Reset();
    testsupport::ScopedEnv env;
    testsupport::UseOpenGLOn(display, env);
    testsupport::TempWorkDir dir;
    plat::testclock::Set(1.0);
    plat::testclock::SetAutoAdvance(0.0005);

    QUORB::CEngineLoader loader;
    const int code =
        dorvo::RunApplication(std::make_unique<PlayerApp>(), loader,
                              testsupport::RepoPath("data/files/xmlfiles/dorvo_engine_config.xml"));
    plat::testclock::SetAutoAdvance(0.0);

    EXPECT_EQ(code, 0);
    EXPECT_EQ(g_frames, kCloseAtFrame);
    const std::vector<std::string> shots = plat::ListFiles("DorvoScrshot_*.png");
    ASSERT_EQ(shots.size(), 1u);
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load(shots[0].c_str(), &width, &height, &channels, 3);
    ASSERT_NE(pixels, nullptr) << shots[0] << " is not a PNG";
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    // The frame clears to opaque black and nothing is drawn over the centre (the console window
    // is closed): the shot holds the finished frame, not an empty or already presented buffer.
    const int centre = (height / 2 * width + width / 2) * 3;
    EXPECT_EQ(pixels[centre + 0], 0);
    EXPECT_EQ(pixels[centre + 1], 0);
    EXPECT_EQ(pixels[centre + 2], 0);
    stbi_image_free(pixels);
    env.Set("DORVO_HEADLESS", "1");
    plat::headless::Reset();
}
