// The real program in full screen and in resized windows on a virtual X display (Xvfb,
// 1024 x 768) with Mesa's software renderer, driven from inside its frames: two marks of the 2D
// layer in opposite corners of the 800 x 600 back buffer, Alt+Enter or a new window size, then
// the window's picture beside the back buffer (and an F1 screenshot). The pictures go under
// screenshots/ in the test build folder. Skipped where Xvfb is not installed.
#include "FrameScriptedApp.h"

#include "GLTestDevice.h"
#include "PngPicture.h"
#include "TestSupport.h"
#include "VirtualDisplay.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/RunApplication.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/CEngineLoader.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/image_codec.h"
#include "platform/win32.h"
#include "platform/window_backend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

std::vector<std::unique_ptr<dorvo::gfx::CSprite>> g_sprites;

// A 64 x 64 block of one colour on its own 2D object, above every menu.
void Block(float r, float g, float b, int x, int y)
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
    block->SetDepth(11);
    ASSERT_TRUE(comp->AddUnit("Block", block.get(), ""));
    g_sprites.push_back(std::move(block));
}

struct Picture
{
    std::vector<plat::D3DCOLOR> pixels;
    plat::UINT width = 0;
    plat::UINT height = 0;
    int Channel(int x, int y, int shift) const
    {
        return static_cast<int>((pixels[static_cast<std::size_t>(y) * width + x] >> shift) & 0xFF);
    }
    bool Is(int x, int y, int r, int g, int b) const
    {
        return std::abs(Channel(x, y, 16) - r) <= 8 && std::abs(Channel(x, y, 8) - g) <= 8 &&
               std::abs(Channel(x, y, 0) - b) <= 8;
    }
};

Picture g_window;
Picture g_back;
bool g_windowed = true;
// Where the middle of the window lands in the back buffer.
plat::POINT g_middle;

void Save(const Picture& picture, const std::string& name)
{
    std::vector<unsigned char> png;
    if (!plat::detail::EncodePng(picture.pixels, picture.width, picture.height, png))
        return;
    std::ofstream file(testsupport::ScreenshotPath(name), std::ios::binary);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
}

// The window's picture and the back buffer of the frame the last present showed.
void Capture()
{
    plat::IDirect3DDevice9* device = plat::DXUTGetD3D9Device();
    ASSERT_NE(device, nullptr);
    g_windowed = plat::DXUTIsWindowed();
    ASSERT_TRUE(device->ReadWindowPicture(g_window.pixels, g_window.width, g_window.height));
    ASSERT_TRUE(device->ReadBackBuffer(g_back.pixels));
    g_back.width = device->GetBackBufferDesc().Width;
    g_back.height = device->GetBackBufferDesc().Height;
    plat::POINT origin;
    int width = 0, height = 0;
    ASSERT_TRUE(plat::detail::Backend().GetClientArea(origin, width, height));
    g_middle.x = origin.x + width / 2;
    g_middle.y = origin.y + height / 2;
    ASSERT_TRUE(plat::ScreenToClient(plat::DXUTGetHWND(), &g_middle));
}

// Runs the program for `lastFrame` frames of `script` on a fresh 1024 x 768 display.
int RunOnDisplay(gametest::FrameScript& script)
{
    testsupport::VirtualDisplay display;
    if (!display.Start("1024x768x24"))
        return -1;
    plat::headless::Reset();
    testsupport::ScopedEnv env;
    testsupport::UseOpenGLOn(display, env);
    testsupport::MakeGameRunFolder("files/xmlfiles");
    gametest::TheFrameScript() = script;
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
    script.frames = gametest::TheFrameScript().frames;
    return code;
}
} // namespace

TEST(FullScreenPixelTest, AfterAltEnterTheWindowedPictureFillsTheScreen)
{
    if (!testsupport::XvfbInstalled())
        GTEST_SKIP() << "Xvfb is not installed (package xvfb): the program is not run on a display here";
    gametest::FrameScript script;
    script.steps[3] = []
    {
        Block(1.0f, 0.0f, 0.0f, 0, 0);
        Block(0.0f, 0.0f, 1.0f, kWidth - 64, kHeight - 64);
    };
    script.steps[8] = []
    { plat::PostMessageW(plat::DXUTGetHWND(), plat::WM_SYSKEYDOWN, plat::VK_RETURN, 1 << 29); };
    script.steps[20] = [] { plat::PostMessageW(plat::DXUTGetHWND(), plat::WM_KEYDOWN, plat::VK_F1, 0); };
    script.steps[22] = [] { Capture(); };
    script.lastFrame = 24;
    const int code = RunOnDisplay(script);
    ASSERT_NE(code, -1) << "Xvfb did not start";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(script.frames, script.lastFrame);

    EXPECT_FALSE(g_windowed);
    ASSERT_EQ(g_window.width, static_cast<plat::UINT>(kScreenWidth)) << "the window covers the screen";
    ASSERT_EQ(g_window.height, static_cast<plat::UINT>(kScreenHeight));
    ASSERT_EQ(g_back.width, static_cast<plat::UINT>(kWidth)) << "the back buffer keeps its size";
    ASSERT_EQ(g_back.height, static_cast<plat::UINT>(kHeight));
    Save(g_window, "fullscreen_game_window.png");
    Save(g_back, "fullscreen_game_back_buffer.png");

    // The marks of the 2D layer sit in the screen's corners, 1.28 times their size.
    for (int d : {2, 40, 79})
    {
        EXPECT_TRUE(g_window.Is(d, d, 255, 0, 0)) << "red at " << d;
        EXPECT_TRUE(g_window.Is(kScreenWidth - 1 - d, kScreenHeight - 1 - d, 0, 0, 255)) << "blue at " << d;
    }
    EXPECT_FALSE(g_window.Is(86, 86, 255, 0, 0)) << "the red mark ends at 82";
    EXPECT_FALSE(g_window.Is(kScreenWidth - 87, kScreenHeight - 87, 0, 0, 255));

    // Everywhere else the screen shows the back buffer's pixel scaled: sampled in the middle of
    // each 1.28-pixel cell, away from the edges that filtering blends.
    int agree = 0, samples = 0;
    for (int y = 10; y < kHeight; y += 20)
        for (int x = 10; x < kWidth; x += 20)
        {
            const int sx = static_cast<int>((x + 0.5) * 1.28), sy = static_cast<int>((y + 0.5) * 1.28);
            const plat::D3DCOLOR back = g_back.pixels[static_cast<std::size_t>(y) * kWidth + x];
            ++samples;
            agree += g_window.Is(sx, sy, static_cast<int>((back >> 16) & 0xFF),
                                 static_cast<int>((back >> 8) & 0xFF), static_cast<int>(back & 0xFF))
                         ? 1
                         : 0;
        }
    EXPECT_GE(agree * 100, samples * 90) << agree << " of " << samples << " samples agree";

    // F1 saves the back buffer, not the screen.
    const testsupport::PngPicture f1 = testsupport::LoadPng("DorvoScrshot_0.png");
    EXPECT_EQ(f1.width, kWidth) << "F1 wrote no DorvoScrshot_0.png";
    EXPECT_EQ(f1.height, kHeight);
    std::filesystem::copy_file("DorvoScrshot_0.png", testsupport::ScreenshotPath("fullscreen_game_f1.png"),
                               std::filesystem::copy_options::overwrite_existing);
}

// A window resized by the player shows the whole 800 x 600 picture, scaled with its aspect kept
// and bars on the sides left over, as full screen does: nothing is cut off and nothing is left
// in a corner, and the pointer maps into the picture it sees. One program run a size.
struct WindowSize
{
    int width, height;
    int left, top; // where the picture starts in the window
    double scale;
    const char* picture;
};

class ResizedWindowPixelTest : public ::testing::TestWithParam<WindowSize>
{
};

TEST_P(ResizedWindowPixelTest, ShowsTheWholePictureScaled)
{
    if (!testsupport::XvfbInstalled())
        GTEST_SKIP() << "Xvfb is not installed (package xvfb): the program is not run on a display here";
    const WindowSize& c = GetParam();
    gametest::FrameScript script;
    script.steps[3] = []
    {
        Block(1.0f, 0.0f, 0.0f, 0, 0);
        Block(0.0f, 0.0f, 1.0f, kWidth - 64, kHeight - 64);
    };
    script.steps[8] = [c]
    {
        int w = c.width, h = c.height;
        plat::detail::Backend().SetFullScreen(false, w, h);
    };
    script.steps[20] = [] { Capture(); };
    script.lastFrame = 22;
    g_window = Picture();
    const int code = RunOnDisplay(script);
    ASSERT_NE(code, -1) << "Xvfb did not start";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(script.frames, script.lastFrame);

    EXPECT_TRUE(g_windowed);
    ASSERT_EQ(g_window.width, static_cast<plat::UINT>(c.width)) << "the window took its new size";
    ASSERT_EQ(g_window.height, static_cast<plat::UINT>(c.height));
    EXPECT_EQ(g_back.width, static_cast<plat::UINT>(kWidth)) << "the back buffer keeps its size";
    EXPECT_EQ(g_back.height, static_cast<plat::UINT>(kHeight));
    Save(g_window, c.picture);

    // The marks in the picture's corners, at their scaled size; the bars beside it are black.
    const int mark = static_cast<int>(64 * c.scale);
    const int right = c.left + static_cast<int>(kWidth * c.scale) - 1;
    const int bottom = c.top + static_cast<int>(kHeight * c.scale) - 1;
    for (int d : {2, mark / 2, mark - 4})
    {
        EXPECT_TRUE(g_window.Is(c.left + d, c.top + d, 255, 0, 0)) << "red at " << d;
        EXPECT_TRUE(g_window.Is(right - d, bottom - d, 0, 0, 255)) << "blue at " << d;
    }
    EXPECT_FALSE(g_window.Is(c.left + mark + 4, c.top + mark + 4, 255, 0, 0));
    if (c.left > 2)
    {
        EXPECT_TRUE(g_window.Is(c.left / 2, c.height / 2, 0, 0, 0)) << "the left bar";
        EXPECT_TRUE(g_window.Is(c.width - 1 - c.left / 2, c.height / 2, 0, 0, 0)) << "the right bar";
    }
    EXPECT_NEAR(g_middle.x, kWidth / 2, 2) << "the window's middle is the picture's";
    EXPECT_NEAR(g_middle.y, kHeight / 2, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ResizedWindowPixelTest,
    ::testing::Values(WindowSize{1000, 700, 33, 0, 700.0 / 600.0, "resized_window_1000x700.png"},
                      WindowSize{640, 480, 0, 0, 0.8, "resized_window_640x480.png"},
                      WindowSize{800, 400, 133, 0, 400.0 / 600.0, "resized_window_800x400.png"}),
    [](const ::testing::TestParamInfo<WindowSize>& info)
    { return std::to_string(info.param.width) + "x" + std::to_string(info.param.height); });
