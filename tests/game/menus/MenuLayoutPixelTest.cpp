// Menu pictures drawn by the game in the menu test world on the OpenGL device, under a virtual X
// display (Xvfb) with Mesa's software renderer: the name typed into the create-profile and
// save-room boxes reads dark through the whole of the box's focus pulse, and a tip over the
// editor's "Test" and "Clear" buttons hides what lies under its box. The pictures go under
// screenshots/ in the test build folder ("layout_*.png"). Skipped where Xvfb is not installed.
#include "PuzzleMenuWorld.h"

#include "GLTestDevice.h"
#include "PngPicture.h"
#include "TestSupport.h"
#include "VirtualDisplay.h"

#include "engine/gfx/sprites/CTextSprite.h"
#include "platform/headless.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

namespace
{
using puzzlemenutest::PuzzleMenuWorld;

struct Picture : testsupport::PngPicture
{
    int Sum(int x, int y) const { return At(x, y, 0) + At(x, y, 1) + At(x, y, 2); }
    // Pixels of the rectangle (right and bottom exclusive) dark enough for ink on a light box.
    int Ink(int left, int top, int right, int bottom) const
    {
        int ink = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                ink += Sum(x, y) < 3 * 110 ? 1 : 0;
        return ink;
    }
    // The spread of the channel sums over the rectangle: 0 for one flat colour.
    int Spread(int left, int top, int right, int bottom) const
    {
        int lowest = 3 * 255;
        int highest = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
            {
                lowest = std::min(lowest, Sum(x, y));
                highest = std::max(highest, Sum(x, y));
            }
        return highest - lowest;
    }
};

// The OpenGL device on a virtual display for the worlds made while it lives; back to the
// headless backend the other tests of the program expect after it.
class MenuLayoutPixelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!testsupport::XvfbInstalled())
            GTEST_SKIP() << "Xvfb is not installed (package xvfb): the game is not drawn on a display here";
        ASSERT_TRUE(m_display.Start("1024x768x24")) << "Xvfb did not start";
        plat::headless::Reset();
        m_env = std::make_unique<testsupport::ScopedEnv>();
        testsupport::UseOpenGLOn(m_display, *m_env);
    }

    void TearDown() override
    {
        if (!m_env)
            return;
        m_env.reset();
        plat::headless::Reset();
    }

    // The game's screenshot of the next frame.
    static Picture Shot(gametest::MenuTestWorld& world, const std::string& name)
    {
        const std::string path = testsupport::ScreenshotPath(name);
        world.Console("takescrshot " + path);
        world.Step();
        return testsupport::LoadPng<Picture>(path);
    }

    static gametest::MenuTestSetup FullScreenSetup()
    {
        gametest::MenuTestSetup setup;
        // The pointer moves by the mouse's motion, as in full screen: the virtual display has no
        // pointer of its own to follow.
        setup.fullScreen = true;
        return setup;
    }

    testsupport::VirtualDisplay m_display;
    std::unique_ptr<testsupport::ScopedEnv> m_env;
};
} // namespace

TEST_F(MenuLayoutPixelTest, TheTypedNameReadsDarkThroughTheWholeFocusPulse)
{
    for (const char* dialog : {"CreateProfileMenu", "SaveRoomMenu"})
    {
        SCOPED_TRACE(dialog);
        gametest::MenuTestWorld world(FullScreenSetup());
        ASSERT_TRUE(world.Booted());
        world.Step(2);
        world.Console("setgameskin DefaultSkin");
        ASSERT_TRUE(world.Send(dialog, MSG_OpenMenu));
        world.RunFor(0.6);
        ASSERT_TRUE(world.Click(dialog, "EditBox"));
        world.TypeText("Ada");
        // The pointer off the box (a move keeps the focus).
        world.MoveCursor(600, 500);
        ASSERT_NE(world.Unit(dialog, "TE1Text").text.find("Ada"), std::string::npos);
        const gametest::UnitView title = world.Unit(dialog, "TitleText");
        // The text's colour rises from black and falls back once a second; the caret blinks
        // twice a second. Pictures a fifth of a second apart over a whole rise and fall.
        for (int shot = 0; shot < 11; ++shot)
        {
            SCOPED_TRACE("picture " + std::to_string(shot));
            const std::string name = std::string("layout_") + dialog + "_" + std::to_string(shot) + ".png";
            const Picture picture = Shot(world, name);
            ASSERT_EQ(picture.width, 800);
            const gametest::UnitView text = world.Unit(dialog, "TE1Text");
            EXPECT_GT(picture.Ink(text.x, text.y, text.x + text.width, text.y + text.height), 60)
                << "the typed name in dark ink";
            EXPECT_GT(picture.Ink(title.x, title.y, title.x + title.width, title.y + title.height), 200)
                << "the title, the label's own ink";
            world.RunFor(0.2 - 1.0 / 30.0);
        }
    }
}

TEST_F(MenuLayoutPixelTest, ATipOverTheEditorsTestAndClearButtonsHidesThem)
{
    PuzzleMenuWorld play(puzzletest::PuzzleText{}, FullScreenSetup());
    ASSERT_TRUE(play.Ready());
    gametest::MenuTestWorld& world = *play.world;
    play.Console("setgameskin DefaultSkin");
    play.Console("togglecm");
    play.Enter();
    world.RunFor(1.0);
    ASSERT_EQ(world.Unit("StartPuzzleMenu", "StartButtonText").text, "Test");
    // The last buttons of the bar lie beside "Clear": their tips come down over both buttons.
    ASSERT_TRUE(world.Hover("WidgetChoiceBarMenu", "TimeLimitButton", 0.7));
    ASSERT_EQ(world.MenuState("ToolTipMenu"), puzzlemenutest::kOpen);
    const Picture picture = Shot(world, "layout_tip_over_test.png");
    ASSERT_EQ(picture.width, 800);
    const gametest::UnitView text = world.Unit("ToolTipMenu", "ToolTipText");
    const gametest::UnitView clear = world.Unit("StartPuzzleMenu", "ClearButton");
    ASSERT_LT(text.x, clear.x + clear.width) << "the tip lies over the small button";
    ASSERT_GT(text.x + text.width, clear.x + clear.width);
    // Below the text the box's margin runs across the room, "Clear" and "Test" in one flat
    // colour: nothing under the box shows through it.
    const int top = text.y + text.height + 2;
    EXPECT_LT(picture.Spread(text.x + 4, top, std::min(text.x + text.width - 12, 790), top + 5), 12);
    EXPECT_GT(picture.Ink(text.x, text.y, text.x + text.width, text.y + text.height), 100)
        << "the tip's text";
}
