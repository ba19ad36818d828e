// Every menu of the game seen on the screen: the driver plays the game on the OpenGL device under
// a virtual X display (Xvfb, Mesa's software renderer) and photographs each of the 28 menus in
// its own situation (screenshots/menus/ in the test build folder; scripts/menu-screenshots runs
// this test). A person looks at the pictures; this test checks only that each is a whole 800 x
// 600 frame, not one flat colour, and that inside the menu's area it differs from the frame
// before the menu opened. Skipped where Xvfb is not installed.
//
// One more picture shows a puzzle being played, as the README shows it
// (scripts/refresh-screenshot copies it to docs/images/puzzle.png): the Tutorial's left face in
// the middle of its run, screenshots/puzzle_played.png.
#include "MenuShotDriver.h"
#include "MenuTestWorld.h"
#include "ScriptedPlacement.h"
#include "TutorialSolutions.h"

#include "GLTestDevice.h"
#include "PngPicture.h"
#include "VirtualDisplay.h"
#include "common/InputEvent.h"
#include "game/menus/BaseMenu.h"
#include "platform/headless.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using menushots::MenuShot;
using menushots::ShotArea;

namespace
{
// Into the run of the Tutorial's left face: the ball has crossed the held bridge and flies
// towards the target.
constexpr double kRunSeconds = 3.0;

struct Picture : testsupport::PngPicture
{
    int Sum(int x, int y) const { return At(x, y, 0) + At(x, y, 1) + At(x, y, 2); }
    // Whether the pixel differs clearly from the other picture's, in any channel.
    bool Differs(const Picture& other, int x, int y) const
    {
        for (int c = 0; c < 3; ++c)
            if (std::abs(At(x, y, c) - other.At(x, y, c)) > 24)
                return true;
        return false;
    }
};

// Empty for a picture never taken ("").
Picture Load(const std::string& path)
{
    return path.empty() ? Picture() : testsupport::LoadPng<Picture>(path);
}

// The share of the picture's pixels that stand out from its first one.
double ShareUnlikeTheFirstPixel(const Picture& picture)
{
    const Picture& p = picture;
    std::size_t unlike = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            unlike += std::abs(p.Sum(x, y) - p.Sum(0, 0)) > 24 ? 1 : 0;
    return static_cast<double>(unlike) / (static_cast<double>(p.width) * p.height);
}

// The share of the area's pixels that differ from the other picture's.
double ShareChanged(const Picture& picture, const Picture& before, const ShotArea& area)
{
    std::size_t changed = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            changed += picture.Differs(before, x, y) ? 1 : 0;
    return static_cast<double>(changed) /
           (static_cast<double>(area.right - area.left) * (area.bottom - area.top));
}
} // namespace

TEST(MenuScreenshotsTest, EachMenuIsPhotographedInItsOwnSituation)
{
    menushots::MenuShotDriver driver;
    std::string why;
    if (!driver.Start(why))
    {
        if (!testsupport::XvfbInstalled())
            GTEST_SKIP() << why;
        FAIL() << why;
    }
    const std::vector<MenuShot> shots = driver.Run();
    EXPECT_EQ(driver.Problems(), std::vector<std::string>()) << "on the way through the game";
    ASSERT_EQ(shots.size(), 28u);
    for (const MenuShot& shot : shots)
    {
        SCOPED_TRACE(shot.menu);
        const Picture picture = Load(shot.file);
        ASSERT_EQ(picture.width, menushots::kWidth) << "no whole frame in \"" << shot.file << "\"";
        ASSERT_EQ(picture.height, menushots::kHeight);
        EXPECT_GT(ShareUnlikeTheFirstPixel(picture), 0.01) << "one flat colour";
        const Picture before = Load(shot.beforeFile);
        ASSERT_EQ(before.width, menushots::kWidth) << "no frame from before the menu opened";
        ASSERT_EQ(before.height, menushots::kHeight);
        ASSERT_FALSE(shot.area.Empty()) << "the menu covered nothing";
        EXPECT_GT(ShareChanged(picture, before, shot.area), 0.05)
            << "the menu's area (" << shot.area.left << ", " << shot.area.top << ") to (" << shot.area.right
            << ", " << shot.area.bottom << ") as it was before the menu opened";
    }
}

// The Tutorial's left face played through the menus and the mouse as its solution says: the
// magnet chosen on the widget bar and laid under the drawbridge's free end, "Start", and the
// picture taken while the ball, over the held bridge, flies towards the target.
TEST(MenuScreenshotsTest, APuzzleIsPhotographedBeingPlayed)
{
    if (!testsupport::XvfbInstalled())
        GTEST_SKIP() << "Xvfb is not installed (package xvfb): the game is not run on a display here";
    testsupport::VirtualDisplay display;
    testsupport::ScopedEnv env;
    ASSERT_TRUE(display.Start("1024x768x24")) << "Xvfb did not start";
    plat::headless::Reset();
    testsupport::UseOpenGLOn(display, env);
    {
        gametest::MenuTestSetup setup;
        setup.copyRooms = true;
        // The pointer moves by the mouse's motion: the virtual display has no pointer to follow.
        setup.fullScreen = true;
        gametest::MenuTestWorld world(setup);
        ASSERT_TRUE(world.Booted());
        const auto open = [&world](const char* menu, double seconds) {
            return world.RunUntil([&]() { return world.MenuState(menu) == QUORB::BaseMenu::STATE_Open; },
                                  seconds);
        };
        world.Step(2);
        world.Console(std::string("loadprofile ") + tutorial::kProfileFile);
        world.Console(std::string("loadroom ") + tutorial::kRoomFile + " true");
        world.Step(2);
        ASSERT_TRUE(gametest::TurnToFace(world, 3));
        ASSERT_TRUE(open("PuzzleLookAtMenu", 3.0));
        ASSERT_TRUE(world.Click("PuzzleLookAtMenu", "StartPuzzleButton"));
        ASSERT_TRUE(open("StartPuzzleMenu", 3.0));
        ASSERT_TRUE(open("WidgetChoiceBarMenu", 1.0));
        ASSERT_TRUE(gametest::WaitForGlide(world));
        world.RunFor(0.3);

        const tutorial::Placement magnet = tutorial::Face3().placements[0];
        ASSERT_TRUE(world.Click("WidgetChoiceBarMenu", "MagnetButton"));
        world.PressAt(magnet.from);
        for (int step = 1; step <= gametest::kDragSteps; ++step)
            world.PointAt(magnet.from +
                          (magnet.to - magnet.from) * (static_cast<float>(step) / gametest::kDragSteps));
        world.ReleaseAt(magnet.to);
        world.Key(dorvo::input::KEY_SPACE);
        ASSERT_TRUE(world.Click("StartPuzzleMenu", "StartButton"));
        world.MoveCursor(700, 90);
        world.RunFor(kRunSeconds);
        // Still running: no score panel on its way in.
        const int score = world.MenuState("ScoreMenu");
        ASSERT_TRUE(score == QUORB::BaseMenu::STATE_Init || score == QUORB::BaseMenu::STATE_Closed) << score;
        const std::string path = testsupport::ScreenshotPath("puzzle_played.png");
        world.Console("takescrshot " + path);
        world.Step();
        const Picture picture = Load(path);
        ASSERT_EQ(picture.width, menushots::kWidth) << "no whole frame in \"" << path << "\"";
        ASSERT_EQ(picture.height, menushots::kHeight);
        EXPECT_GT(ShareUnlikeTheFirstPixel(picture), 0.2) << "the room and the puzzle drawn";
    }
    // Back to the headless backend the other tests of the program expect.
    env.Set("DORVO_HEADLESS", "1");
    plat::headless::Reset();
}
