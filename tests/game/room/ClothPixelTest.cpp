// The game's own cloth drawn by the real program on a virtual X display (Xvfb) with Mesa's
// software renderer: "creategob Cloth" over the empty room brings the archetype of the game's
// template set, which hangs from its corners and shows its woven texture through "ClothMembrane"
// of "Membrane.fx", with nothing said on standard error. The pictures go under screenshots/ in
// the test build folder ("cloth_game_*.png"). Skipped where Xvfb is not installed.
#include "game/app/CQUORB.h"
#include "game/app/CQUORBApp.h"

#include "FrameScriptedApp.h"

#include "GLTestDevice.h"
#include "LogCapture.h"
#include "PngPicture.h"
#include "TestSupport.h"
#include "VirtualDisplay.h"
#include "common/ConsoleInterface.h"
#include "engine/RunApplication.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/phy/DynamicsEngine.h"
#include "game/app/CEngineLoader.h"
#include "game/app/MenuTable.h"
#include "game/camera/CCamera.h"
#include "platform/headless.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace
{
void Shot(const std::string& name)
{
    dorvo::gfx::CDorvoGfx::Instance().TakeScreenShot(testsupport::ScreenshotPath(name));
}

struct Picture : testsupport::PngPicture
{
    // Pixels in the cloth's colours: its coral and gold threads (red well above blue and green)
    // and its teal stripe (green and blue well above red). The room around is grey and blue.
    int Warm() const
    {
        return Count([](int r, int g, int b) { return r > b + 60 && r > g + 20; });
    }
    int Teal() const
    {
        return Count([](int r, int g, int b) { return g > r + 40 && b > r + 20; });
    }
    // Pixels that differ from the other picture's by more than a little.
    int Changed(const Picture& other) const
    {
        int changed = 0;
        for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
            changed += std::abs(rgb[i] - other.rgb[i]) + std::abs(rgb[i + 1] - other.rgb[i + 1]) +
                                   std::abs(rgb[i + 2] - other.rgb[i + 2]) >
                               60
                           ? 1
                           : 0;
        return changed;
    }

    template <class F> int Count(F is) const
    {
        int count = 0;
        for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
            count += is(rgb[i], rgb[i + 1], rgb[i + 2]) ? 1 : 0;
        return count;
    }
};
} // namespace

TEST(ClothPixelTest, TheGamesClothArchetypeDrawsItsWovenCloth)
{
    if (!testsupport::XvfbInstalled())
        GTEST_SKIP() << "Xvfb is not installed (package xvfb): the program is not run on a display here";
    testsupport::VirtualDisplay display;
    ASSERT_TRUE(display.Start("1024x768x24")) << "Xvfb did not start";
    plat::headless::Reset();
    testsupport::ScopedEnv env;
    testsupport::UseOpenGLOn(display, env);
    namespace fs = std::filesystem;
    testsupport::MakeGameRunFolder("files");
    // Every menu a quiet placeholder: the room is in view with nothing over it.
    QUORB::MenuTable::ResetCreators();

    // The cloth is made at the room's centre, under the eye, spreading 9 units along x and z:
    // the camera looks down at its middle (first without it), and physics runs so that it falls
    // into its hang from its pinned corners.
    gametest::FrameScript& script = gametest::TheFrameScript();
    script.steps[20] = [] { QUORB::CQUORB::Get()->GetGameCamera()->SetLookAt(4.5f, -1.0f, 4.5f); };
    script.steps[22] = [] { Shot("cloth_game_room.png"); };
    script.steps[23] = []
    {
        common::ConsoleInterface::Instance().WriteToConsole("creategob Cloth", common::FF_Execute, false);
        dorvo::phy::DynamicsEngine::Instance().paused = false;
    };
    script.steps[24] = [] { Shot("cloth_game_flat.png"); };
    script.steps[90] = [] { Shot("cloth_game_hanging.png"); };
    script.lastFrame = 91;

    plat::testclock::Set(1.0);
    plat::testclock::SetAutoAdvance(0.0005);
    testsupport::LogCapture logged;
    QUORB::CEngineLoader loader;
    const int code =
        dorvo::RunApplication(std::make_unique<gametest::FrameScriptedApp>(), loader,
                              testsupport::RepoPath("data/files/xmlfiles/dorvo_engine_config.xml"));
    const std::string said = logged.Text();
    plat::testclock::SetAutoAdvance(0.0);
    QUORB::MenuTable::ResetCreators();
    fs::remove("InitGame.lua");
    fs::remove("Startup.lua");
    fs::remove_all("files");
    env.Set("DORVO_HEADLESS", "1");
    plat::headless::Reset();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(script.frames, script.lastFrame);
    EXPECT_EQ(said.find("is not loaded"), std::string::npos) << said;
    EXPECT_EQ(said.find("Cloth"), std::string::npos) << said;

    const Picture room = testsupport::LoadPng<Picture>(testsupport::ScreenshotPath("cloth_game_room.png"));
    const Picture flat = testsupport::LoadPng<Picture>(testsupport::ScreenshotPath("cloth_game_flat.png"));
    const Picture hanging =
        testsupport::LoadPng<Picture>(testsupport::ScreenshotPath("cloth_game_hanging.png"));
    ASSERT_EQ(room.width, 800);
    ASSERT_EQ(flat.width, 800);
    ASSERT_EQ(hanging.width, 800);
    EXPECT_LT(room.Warm(), 2000) << "the room alone has little of the cloth's colours";
    for (const Picture* picture : {&flat, &hanging})
    {
        SCOPED_TRACE(picture == &flat ? "flat" : "hanging");
        EXPECT_GT(picture->Warm(), 20000)
            << "the cloth's coral and gold threads over a good part of the view";
        EXPECT_GT(picture->Teal(), 2000) << "and its teal stripe";
    }
    EXPECT_GT(hanging.Changed(flat), 5000) << "the drawn cloth follows its falling points";
}
