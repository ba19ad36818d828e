// The real OpenGL device on a virtual X display (Xvfb) with Mesa's software renderer. Skipped
// where Xvfb is not installed.
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/win32.h"

#include "LogCapture.h"
#include "VirtualDisplay.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace plat;

namespace
{
constexpr D3DCOLOR kClearColour = D3DCOLOR_XRGB(51, 102, 204);
constexpr D3DCOLOR kCornerColour = D3DCOLOR_XRGB(255, 0, 0);

// Mesa reads its settings once, when its driver first loads, and the driver then stays loaded
// for the process; a test that changes them needs a process that has made no context yet.
bool g_contextMade = false;

struct Frame
{
    std::vector<D3DCOLOR> pixels;
    bool read = false;
};

void RenderFrame(IDirect3DDevice9* device, double, float, void*)
{
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColour, 1.0f, 0);
    D3DRECT corner = {0, 0, 8, 4}; // top left, in top-down pixels
    device->Clear(1, &corner, D3DCLEAR_TARGET, kCornerColour, 1.0f, 0);
}

void ReadFrame(IDirect3DDevice9* device, void* ctx)
{
    auto* f = static_cast<Frame*>(ctx);
    f->read = device->ReadBackBuffer(f->pixels);
}

class GLDeviceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!testsupport::XvfbInstalled())
            GTEST_SKIP() << "Xvfb is not installed (package xvfb): the OpenGL device is not tested here";
        ASSERT_TRUE(display.Start("320x240x24")) << "Xvfb did not start";
        headless::Reset();
        testsupport::UseOpenGLOn(display, env);
    }

    void TearDown() override
    {
        DXUTShutdown();
        env.Set("DORVO_HEADLESS", "1");
        headless::Reset();
    }

    testsupport::VirtualDisplay display;
    testsupport::ScopedEnv env;
};
} // namespace

TEST_F(GLDeviceTest, ClearsToAColourAndReadsItBackTopDown)
{
    Frame frame;
    DXUTInit(false, false, false, true);
    DXUTSetCallbackFrameRender(&RenderFrame);
    DXUTSetCallbackPrePresent(&ReadFrame, &frame);
    testsupport::LogCapture logged;
    HRESULT hr = DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 64, 48);
    std::string err = logged.Text();
    ASSERT_TRUE(SUCCEEDED(hr)) << err;
    g_contextMade = true;
    ASSERT_NE(DXUTGetHWND(), nullptr);
    D3DSURFACE_DESC desc = DXUTGetD3D9Device()->GetBackBufferDesc();
    ASSERT_EQ(desc.Width, 64u);
    ASSERT_EQ(desc.Height, 48u);

    EXPECT_TRUE(SUCCEEDED(DXUTRender3DEnvironment()));
    ASSERT_TRUE(frame.read);
    ASSERT_EQ(frame.pixels.size(), 64u * 48u);
    auto rgb = [&](int x, int y)
    { return frame.pixels[static_cast<size_t>(y) * 64 + static_cast<size_t>(x)] & 0xFFFFFF; };
    EXPECT_EQ(rgb(0, 0), kCornerColour & 0xFFFFFF);
    EXPECT_EQ(rgb(7, 3), kCornerColour & 0xFFFFFF);
    EXPECT_EQ(rgb(8, 3), kClearColour & 0xFFFFFF);
    EXPECT_EQ(rgb(0, 4), kClearColour & 0xFFFFFF);
    EXPECT_EQ(rgb(63, 47), kClearColour & 0xFFFFFF);
    EXPECT_EQ(rgb(32, 24), kClearColour & 0xFFFFFF);
}

TEST_F(GLDeviceTest, AContextBelowOpenGL33IsReportedNotCrashed)
{
    if (g_contextMade)
        GTEST_SKIP() << "Mesa has already loaded its driver in this process: run this test alone";
    env.Set("MESA_GL_VERSION_OVERRIDE", "2.1");
    DXUTInit(false, false, false, true);
    testsupport::LogCapture logged;
    HRESULT hr = DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 64, 48);
    std::string err = logged.Text();
    EXPECT_TRUE(FAILED(hr));
    EXPECT_NE(err.find("OpenGL 3.3 core is not available"), std::string::npos) << err;
    EXPECT_EQ(DXUTGetHWND(), nullptr);
    EXPECT_EQ(DXUTGetD3D9Device(), nullptr);
}

TEST(GLDeviceNoDisplay, MissingDisplayIsReportedNotCrashed)
{
    testsupport::ScopedEnv env;
    headless::Reset();
    env.Set("DORVO_HEADLESS", nullptr);
    env.Set("DISPLAY", ":999");
    env.Set("SDL_VIDEODRIVER", "x11");
    DXUTInit(false, false, false, true);
    testsupport::LogCapture logged;
    HRESULT hr = DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 64, 48);
    std::string err = logged.Text();
    EXPECT_TRUE(FAILED(hr));
    EXPECT_NE(err.find("DXUTCreateDevice: could not create the device: no display"), std::string::npos)
        << err;
    DXUTShutdown();
    env.Set("DORVO_HEADLESS", "1");
    headless::Reset();
}
