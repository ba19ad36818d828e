// Full screen on the OpenGL device under Xvfb: an 800 x 600 back buffer whose corners and middle
// are marked, presented in its window and after a full-screen toggle on a 1024 x 768 display
// (the picture fills it) and a 1280 x 720 one (black bars at the sides). The window's pictures
// go under screenshots/ in the build folder. Skipped, with a message, where Xvfb is not
// installed.
#include "VirtualDisplay.h"

#include "GLTestDevice.h"
#include "platform/device_debug.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/image_codec.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

using namespace plat;

namespace
{
constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr D3DCOLOR kGrey = D3DCOLOR_XRGB(128, 128, 128);
constexpr D3DCOLOR kRed = D3DCOLOR_XRGB(255, 0, 0);
constexpr D3DCOLOR kGreen = D3DCOLOR_XRGB(0, 255, 0);
constexpr D3DCOLOR kBlue = D3DCOLOR_XRGB(0, 0, 255);
constexpr D3DCOLOR kBlack = D3DCOLOR_XRGB(0, 0, 0);

// Grey, a red square in the top-left corner, a green one in the bottom-right corner and a blue
// one in the middle, each 100 pixels wide.
void DrawMarks(IDirect3DDevice9* device, double, float, void*)
{
    device->Clear(0, nullptr, D3DCLEAR_TARGET, kGrey, 1.0f, 0);
    const D3DRECT red{0, 0, 100, 100}, green{700, 500, 800, 600}, blue{350, 250, 450, 350};
    device->Clear(1, &red, D3DCLEAR_TARGET, kRed, 1.0f, 0);
    device->Clear(1, &green, D3DCLEAR_TARGET, kGreen, 1.0f, 0);
    device->Clear(1, &blue, D3DCLEAR_TARGET, kBlue, 1.0f, 0);
}

struct Picture
{
    std::vector<D3DCOLOR> pixels;
    UINT width = 0;
    UINT height = 0;
    D3DCOLOR At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x] | 0xFF000000u; }
};

bool Save(const Picture& picture, const std::string& name)
{
    std::vector<unsigned char> png;
    if (!detail::EncodePng(picture.pixels, picture.width, picture.height, png))
        return false;
    std::ofstream file(testsupport::ScreenshotPath(name), std::ios::binary);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return static_cast<bool>(file);
}

// A frame as the program's loop runs it: the window's messages first (resizes among them).
void Frame()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DXUTRender3DEnvironment();
}

Picture WindowPicture()
{
    Picture picture;
    IDirect3DDevice9* device = DXUTGetD3D9Device();
    if (device)
        device->ReadWindowPicture(picture.pixels, picture.width, picture.height);
    return picture;
}
} // namespace

TEST(GLFullScreen, TheWindowedPictureFillsTheScreenWithItsAspectKept)
{
    if (!testsupport::XvfbInstalled())
        GTEST_SKIP() << "Xvfb is not installed (package xvfb): the OpenGL device is not tested here";
    struct Case
    {
        const char* display;
        int width, height; // the display, pixels
        int left, right;   // the picture's columns on it; the rows are all of them
    };
    for (const Case& c : {Case{"1024x768x24", 1024, 768, 0, 1024}, Case{"1280x720x24", 1280, 720, 160, 1120}})
    {
        SCOPED_TRACE(c.display);
        testsupport::VirtualDisplay display;
        ASSERT_TRUE(display.Start(c.display)) << "Xvfb did not start";
        headless::Reset();
        testsupport::ScopedEnv env;
        testsupport::UseOpenGLOn(display, env);
        DXUTInit(false, false, false, true);
        DXUTSetCallbackFrameRender(&DrawMarks);
        ASSERT_TRUE(SUCCEEDED(DXUTCreateDevice(D3DADAPTER_DEFAULT, true, kWidth, kHeight)));
        IDirect3DDevice9* device = DXUTGetD3D9Device();

        // Windowed: the window shows the back buffer pixel for pixel, as it always did.
        Frame();
        std::vector<D3DCOLOR> back;
        ASSERT_TRUE(device->ReadBackBuffer(back));
        Picture windowed = WindowPicture();
        ASSERT_EQ(windowed.width, static_cast<UINT>(kWidth));
        ASSERT_EQ(windowed.height, static_cast<UINT>(kHeight));
        EXPECT_EQ(windowed.pixels, back);

        DXUTToggleFullScreen();
        for (int i = 0; i < 3; ++i)
            Frame();
        EXPECT_FALSE(DXUTIsWindowed());
        EXPECT_EQ(device->GetBackBufferDesc().Width, static_cast<UINT>(kWidth))
            << "the back buffer keeps its size";
        EXPECT_EQ(device->GetBackBufferDesc().Height, static_cast<UINT>(kHeight));
        const Picture full = WindowPicture();
        ASSERT_EQ(full.width, static_cast<UINT>(c.width)) << "the window covers the display";
        ASSERT_EQ(full.height, static_cast<UINT>(c.height));
        EXPECT_TRUE(Save(full, std::string("fullscreen_") + std::to_string(c.width) + "x" +
                                   std::to_string(c.height) + ".png"));

        // Back-buffer point (x, y) shows at the window pixel the scale takes it to.
        const double scale = static_cast<double>(c.right - c.left) / kWidth;
        auto at = [&](double x, double y)
        { return full.At(c.left + static_cast<int>(x * scale), static_cast<int>(y * scale)); };
        EXPECT_EQ(at(2, 2), kRed);
        EXPECT_EQ(at(97, 97), kRed);
        EXPECT_EQ(at(103, 103), kGrey);
        EXPECT_EQ(at(400, 300), kBlue);
        EXPECT_EQ(at(353, 253), kBlue);
        EXPECT_EQ(at(447, 347), kBlue);
        EXPECT_EQ(at(703, 503), kGreen);
        EXPECT_EQ(at(798, 598), kGreen);
        EXPECT_EQ(at(697, 497), kGrey);
        for (int y : {0, c.height / 2, c.height - 1})
        {
            EXPECT_NE(full.At(c.left, y), kBlack) << "the picture starts at its first column";
            EXPECT_NE(full.At(c.right - 1, y), kBlack) << "and ends at its last";
            if (c.left > 0)
            {
                EXPECT_EQ(full.At(0, y), kBlack) << "the left bar";
                EXPECT_EQ(full.At(c.left - 1, y), kBlack);
                EXPECT_EQ(full.At(c.right, y), kBlack) << "the right bar";
                EXPECT_EQ(full.At(c.width - 1, y), kBlack);
            }
        }

        // Windowed again: the window and its picture as before the toggle.
        DXUTToggleFullScreen();
        for (int i = 0; i < 3; ++i)
            Frame();
        EXPECT_TRUE(DXUTIsWindowed());
        windowed = WindowPicture();
        ASSERT_EQ(windowed.width, static_cast<UINT>(kWidth));
        ASSERT_EQ(windowed.height, static_cast<UINT>(kHeight));
        EXPECT_EQ(windowed.pixels, back);
        EXPECT_EQ(devicedebug::Statistics(device).glErrors, 0u) << "OpenGL reported errors";

        DXUTShutdown();
        env.Set("DORVO_HEADLESS", "1");
        headless::Reset();
    }
}
