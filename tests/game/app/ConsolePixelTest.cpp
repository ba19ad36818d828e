// The real program on a virtual X display (Xvfb) with Mesa's software renderer, driven from
// inside its frames: two overlapping sprites of two 2D components, F1, then the grave accent,
// "commands" and Enter, then the grave accent again. The pictures go under screenshots/ in the
// test build folder and are checked at their pixels. Skipped where Xvfb is not installed.
#include "game/app/CQUORB.h"
#include "game/app/CQUORBApp.h"

#include "FrameScriptedApp.h"

#include "GLTestDevice.h"
#include "PngPicture.h"
#include "TestSupport.h"
#include "VirtualDisplay.h"
#include "common/InputEvent.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/RunApplication.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/CEngineLoader.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/input_feed.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr int kWidth = 800;
constexpr int kHeight = 600;

// What the player does, by frame.
std::map<int, std::function<void()>>& g_script = gametest::TheFrameScript().steps;
int& g_frames = gametest::TheFrameScript().frames;
int& g_lastFrame = gametest::TheFrameScript().lastFrame;
plat::DWORD g_keyTime = 100;
std::vector<std::unique_ptr<dorvo::gfx::CSprite>> g_sprites;

// The key down, the text it types (none for 0), the key up.
void Key(std::uint32_t code, char typed = 0)
{
    plat::inputfeed::FocusChange(true);
    plat::inputfeed::KeyChange(code, true, g_keyTime);
    const char text[2] = {typed, 0};
    plat::inputfeed::Text(text, g_keyTime);
    plat::inputfeed::KeyChange(code, false, g_keyTime + 5);
    g_keyTime += 40;
}

std::uint32_t CodeOf(char c)
{
    for (std::uint32_t code = 2; code <= 57; ++code)
        if (dorvo::input::ScanCodeToChar(dorvo::input::InputEvent{code, 1, 0, 0}, 0) == c)
            return code;
    return 0;
}

void Shot(const std::string& name)
{
    dorvo::gfx::CDorvoGfx::Instance().TakeScreenShot(testsupport::ScreenshotPath(name));
}

// A 64 x 64 block of one colour on its own 2D object.
void Block(float r, float g, float b, int x, int y, int depth)
{
    Gob* gob = GobManager::Instance().CreateGob("2DArchetype");
    ASSERT_NE(gob, nullptr);
    auto* comp =
        dynamic_cast<dorvo::gfx::Gfx2DComp*>(gob->GetComponent(dorvo::gfx::Gfx2DComp::StaticTypeID()));
    ASSERT_NE(comp, nullptr);
    auto block = std::make_unique<dorvo::gfx::CSprite>("hud/WhiteBlock.png");
    const int center[2] = {0, 0};
    block->AddGridAnimation("Base", 32, 32, 1, 0, 0, 50, center, false);
    block->SetScale(2.0f, 2.0f, 1.0f);
    block->SetColor(r, g, b);
    block->SetPosition(x, y);
    block->SetDepth(depth);
    ASSERT_TRUE(comp->AddUnit("Block", block.get(), ""));
    g_sprites.push_back(std::move(block));
}

struct Picture : testsupport::PngPicture
{
    bool Light(int x, int y) const { return Min(x, y) >= 150; }
    bool Dark(int x, int y) const { return Max(x, y) <= 90; }
    int Min(int x, int y) const { return std::min({At(x, y, 0), At(x, y, 1), At(x, y, 2)}); }
    int Max(int x, int y) const { return std::max({At(x, y, 0), At(x, y, 1), At(x, y, 2)}); }
};

Picture Load(const std::string& path)
{
    return testsupport::LoadPng<Picture>(path);
}
} // namespace

// The working folder lies four levels below the repository (the test's own run folder), so the
// configured data folders resolve as in the game's run folder; the start-up script is put
// there as the build puts it into the game's.
TEST(ConsolePixelTest, TheConsoleSlidesOverTheSceneShowsItsOutputAndLeavesThePictureAsItWas)
{
    if (!testsupport::XvfbInstalled())
        GTEST_SKIP() << "Xvfb is not installed (package xvfb): the program is not run on a display here";
    testsupport::VirtualDisplay display;
    ASSERT_TRUE(display.Start("1024x768x24")) << "Xvfb did not start";
    plat::headless::Reset();
    testsupport::ScopedEnv env;
    testsupport::UseOpenGLOn(display, env);
    testsupport::MakeGameRunFolder("files/xmlfiles");

    // The console over a black scene: the room's models are not drawn here.
    g_script[1] = []
    {
        dorvo::gfx::CDorvoGfx& gfx = dorvo::gfx::CDorvoGfx::Instance();
        gfx.SetRenderFlags(gfx.GetRenderFlags() & ~dorvo::gfx::CDorvoGfx::RF_MODELS);
    };
    // The lower object id draws its block above the other's: the depth, not the order the
    // components are collected in, decides.
    g_script[3] = []
    {
        Block(1.0f, 0.0f, 0.0f, 100, 100, 7);
        Block(0.0f, 0.0f, 1.0f, 132, 132, 6);
    };
    g_script[10] = [] { plat::PostMessageW(plat::DXUTGetHWND(), plat::WM_KEYDOWN, plat::VK_F1, 0); };
    g_script[11] = [] { Shot("console_closed.png"); };
    g_script[12] = [] { Key(dorvo::input::KEY_GRAVE); };
    g_script[18] = [] { Shot("console_sliding.png"); };
    int frame = 40;
    for (char c : std::string("commands"))
        g_script[frame++] = [c] { Key(CodeOf(c), c); };
    g_script[frame++] = [] { Key(dorvo::input::KEY_RETURN); };
    frame += 2;
    g_script[frame] = [] { Shot("console_open.png"); };
    frame += 2;
    g_script[frame] = [] { Key(dorvo::input::KEY_GRAVE); };
    frame += 40;
    g_script[frame] = [] { Shot("console_closed_again.png"); };
    g_lastFrame = frame + 3;

    plat::testclock::Set(1.0);
    plat::testclock::SetAutoAdvance(0.0005);
    QUORB::CEngineLoader loader;
    const int code =
        dorvo::RunApplication(std::make_unique<gametest::FrameScriptedApp>(), loader,
                              testsupport::RepoPath("data/files/xmlfiles/dorvo_engine_config.xml"));
    plat::testclock::SetAutoAdvance(0.0);
    g_sprites.clear();
    std::filesystem::remove("InitGame.lua");
    std::filesystem::remove("Startup.lua");
    std::filesystem::remove_all("files");
    env.Set("DORVO_HEADLESS", "1");
    plat::headless::Reset();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(g_frames, g_lastFrame);

    // F1: the numbered shot of the whole back buffer.
    const Picture f1 = Load("DorvoScrshot_0.png");
    ASSERT_EQ(f1.width, kWidth) << "F1 wrote no DorvoScrshot_0.png";
    EXPECT_EQ(f1.height, kHeight);
    std::filesystem::copy_file("DorvoScrshot_0.png", testsupport::ScreenshotPath("console_f1.png"),
                               std::filesystem::copy_options::overwrite_existing);

    const Picture closed = Load(testsupport::ScreenshotPath("console_closed.png"));
    ASSERT_EQ(closed.width, kWidth);
    EXPECT_EQ(closed.rgb, f1.rgb) << "the same frame";
    // Red only, blue only, and red over blue where they overlap.
    EXPECT_GE(closed.At(110, 110, 0), 250);
    EXPECT_GE(closed.At(190, 190, 2), 250);
    EXPECT_LE(closed.At(190, 190, 0), 5);
    EXPECT_GE(closed.At(150, 150, 0), 250) << "the deeper block draws last";
    EXPECT_LE(closed.At(150, 150, 2), 5);
    EXPECT_TRUE(closed.Dark(380, 280));
    int cursor = 0; // the game's cursor, where the pointer is: the middle of the centred window
    for (int y = 300; y < 340; ++y)
        for (int x = 400; x < 430; ++x)
            cursor += closed.Dark(x, y) ? 0 : 1;
    EXPECT_GT(cursor, 50) << "the game's cursor";
    EXPECT_TRUE(closed.Dark(400, 5)) << "no panel at the top";

    const Picture sliding = Load(testsupport::ScreenshotPath("console_sliding.png"));
    ASSERT_EQ(sliding.width, kWidth);
    EXPECT_TRUE(sliding.Light(400, 2)) << "the panel is coming down";
    EXPECT_TRUE(sliding.Dark(400, 511)) << "but not all the way yet";

    // Open: the panel over rows 0 to 511 across the whole width, the strip below it, the black
    // scene under that; the bottom history line holds dark text.
    const Picture open = Load(testsupport::ScreenshotPath("console_open.png"));
    ASSERT_EQ(open.width, kWidth);
    // Sampled where no help line reaches (the game's commands fill the lines far to the right).
    for (int x : {0, 1, 400, 798, 799})
        for (int y : {0, 30, 150, 300, 480, 510, 511})
            EXPECT_FALSE(open.Dark(x, y)) << "panel at " << x << ", " << y;
    for (int x : {2, 400, 797})
        for (int y : {516, 528, 538})
            EXPECT_TRUE(open.Light(x, y)) << "strip at " << x << ", " << y;
    EXPECT_TRUE(open.Dark(400, 560)) << "the scene below the strip";
    int blockPixels = 0; // neither block shows through the panel (its text is dark, not red or blue)
    for (int y = 100; y < 200; ++y)
        for (int x = 100; x < 200; ++x)
        {
            const bool red = open.At(x, y, 0) >= 200 && open.At(x, y, 2) <= 60;
            const bool blue = open.At(x, y, 2) >= 200 && open.At(x, y, 0) <= 60;
            blockPixels += red || blue ? 1 : 0;
        }
    EXPECT_EQ(blockPixels, 0) << "the panel covers the blocks";
    int ink = 0;
    for (int y = 487; y < 506; ++y)
        for (int x = 7; x < 200; ++x)
            ink += open.Dark(x, y) ? 1 : 0;
    EXPECT_GT(ink, 40) << "\">commands\" in the bottom history line";
    int inkAbove = 0;
    for (int y = 287; y < 306; ++y) // history line 10
        for (int x = 7; x < 200; ++x)
            inkAbove += open.Dark(x, y) ? 1 : 0;
    EXPECT_GT(inkAbove, 40) << "older output at the top";

    const Picture again = Load(testsupport::ScreenshotPath("console_closed_again.png"));
    ASSERT_EQ(again.width, kWidth);
    EXPECT_EQ(again.rgb, closed.rgb) << "closing gives the first picture back";
}
