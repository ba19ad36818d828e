#include "LogCapture.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace plat;

namespace
{
// Records every callback in order, with the numbers a callback was handed.
struct Recorder
{
    std::vector<std::string> log;
    std::vector<double> times;
    std::vector<float> elapsed;
    std::vector<std::pair<UINT, UINT>> resetSizes;
    std::vector<UINT> messages;
    bool stopProcessing = false;
    bool failReset = false;
    int presentsSeenAtRender = -1;
};

LRESULT MsgProc(HWND, UINT message, WPARAM, LPARAM, bool* noFurther, void* ctx)
{
    auto* r = static_cast<Recorder*>(ctx);
    r->messages.push_back(message);
    if (message == WM_DESTROY)
        r->log.push_back("destroy");
    *noFurther = r->stopProcessing;
    return 0;
}

void FrameMove(IDirect3DDevice9* device, double time, float elapsed, void* ctx)
{
    auto* r = static_cast<Recorder*>(ctx);
    r->log.push_back(device ? "move" : "move without device");
    r->times.push_back(time);
    r->elapsed.push_back(elapsed);
}

void FrameRender(IDirect3DDevice9* device, double, float, void* ctx)
{
    auto* r = static_cast<Recorder*>(ctx);
    r->log.push_back("render");
    r->presentsSeenAtRender = headless::PresentCount();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(10, 20, 30), 1.0f, 0);
}

void PrePresent(IDirect3DDevice9* device, void* ctx)
{
    auto* r = static_cast<Recorder*>(ctx);
    std::vector<D3DCOLOR> pixels;
    device->ReadBackBuffer(pixels);
    r->log.push_back(!pixels.empty() && pixels.front() == D3DCOLOR_XRGB(10, 20, 30) ? "pre-present(cleared)"
                                                                                    : "pre-present");
}

void DeviceLost(void* ctx)
{
    static_cast<Recorder*>(ctx)->log.push_back("lost");
}

HRESULT DeviceReset(IDirect3DDevice9*, const D3DSURFACE_DESC* desc, void* ctx)
{
    auto* r = static_cast<Recorder*>(ctx);
    r->log.push_back("reset");
    r->resetSizes.emplace_back(desc->Width, desc->Height);
    return r->failReset ? E_FAIL : S_OK;
}

class FrameDriverTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        headless::Reset();
        testclock::SetAutoAdvance(0);
        testclock::Set(1.0);
        DXUTSetCallbackMsgProc(&MsgProc, &rec);
        DXUTSetCallbackFrameMove(&FrameMove, &rec);
        DXUTSetCallbackFrameRender(&FrameRender, &rec);
        DXUTSetCallbackDeviceLost(&DeviceLost, &rec);
        DXUTSetCallbackDeviceReset(&DeviceReset, &rec);
        DXUTSetCallbackPrePresent(&PrePresent, &rec);
    }

    void TearDown() override { headless::Reset(); }

    // What the engine's loop does with the queue between frames.
    static void DispatchAll()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message != WM_QUIT)
        {
            if (TranslateAcceleratorW(DXUTGetHWND(), nullptr, &msg) == 0)
            {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }

    void CreateWindowed(bool handleAltEnter = true)
    {
        DXUTInit(false, false, false, handleAltEnter);
        DXUTSetCursorSettings(false, true);
        ASSERT_TRUE(SUCCEEDED(DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 800, 600)));
        rec.log.clear();
    }

    Recorder rec;
};
} // namespace

TEST_F(FrameDriverTest, CreateDeviceResetsOnceWithTheBackBufferSize)
{
    DXUTInit(false, false, false, true);
    ASSERT_TRUE(SUCCEEDED(DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 800, 600)));
    EXPECT_EQ(rec.log, (std::vector<std::string>{"reset"}));
    EXPECT_EQ(rec.resetSizes, (std::vector<std::pair<UINT, UINT>>{{800, 600}}));
    EXPECT_EQ(headless::BackBufferWidth(), 800u);
    EXPECT_EQ(headless::BackBufferHeight(), 600u);
    EXPECT_TRUE(headless::HasWindow());
    EXPECT_NE(DXUTGetHWND(), nullptr);
    EXPECT_NE(DXUTGetHINSTANCE(), nullptr);
    EXPECT_NE(DXUTGetD3D9Device(), nullptr);
    EXPECT_TRUE(DXUTIsWindowed());
}

TEST_F(FrameDriverTest, EachFrameMovesThenRendersThenPresentsWithTimeSinceStart)
{
    CreateWindowed();
    for (int frame = 0; frame < 3; ++frame)
    {
        testclock::Advance(0.25);
        EXPECT_TRUE(SUCCEEDED(DXUTRender3DEnvironment()));
        EXPECT_EQ(rec.presentsSeenAtRender, frame) << "render must come before that frame's present";
    }
    EXPECT_EQ(rec.log,
              (std::vector<std::string>{"move", "render", "pre-present(cleared)", "move", "render",
                                        "pre-present(cleared)", "move", "render", "pre-present(cleared)"}));
    EXPECT_EQ(headless::PresentCount(), 3);
    EXPECT_EQ(rec.times, (std::vector<double>{0.25, 0.5, 0.75}));
    EXPECT_EQ(rec.elapsed, (std::vector<float>{0.25f, 0.25f, 0.25f}));
}

TEST_F(FrameDriverTest, FramesPerSecondIsMeasuredOverAFullSecond)
{
    CreateWindowed();
    EXPECT_EQ(DXUTGetFPS(), 0.0f);
    for (int frame = 0; frame < 30; ++frame)
    {
        testclock::Advance(1.0 / 30.0);
        DXUTRender3DEnvironment();
    }
    testclock::Advance(0.001); // rounding of 30 thirtieths must not leave the second unfinished
    DXUTRender3DEnvironment();
    EXPECT_NEAR(DXUTGetFPS(), 31.0f / 1.001f, 0.01f);
}

// Full screen is the windowed picture filling the display: the window covers the desktop, the
// back buffer keeps its size (presenting scales it), and the window's own resizes in full screen
// leave it alone.
TEST_F(FrameDriverTest, AltEnterTogglesFullScreenThroughLostAndResetKeepingTheBackBuffer)
{
    CreateWindowed();
    headless::SetDesktopSize(1280, 1024);
    headless::InjectMessage(WM_SYSKEYDOWN, VK_RETURN, 1 << 29);
    DispatchAll();
    EXPECT_EQ(rec.messages, (std::vector<UINT>{WM_SYSKEYDOWN})) << "the application sees Alt+Enter first";
    EXPECT_TRUE(rec.log.empty()) << "the toggle waits for the next frame";

    DXUTRender3DEnvironment();
    EXPECT_EQ(rec.log, (std::vector<std::string>{"lost", "reset", "move", "render", "pre-present(cleared)"}));
    EXPECT_TRUE(headless::IsFullScreen());
    EXPECT_FALSE(DXUTIsWindowed());
    EXPECT_EQ(headless::WindowWidth(), 1280);
    EXPECT_EQ(headless::WindowHeight(), 1024);
    EXPECT_EQ(rec.resetSizes.back(), (std::pair<UINT, UINT>{800, 600}));
    EXPECT_EQ(headless::BackBufferWidth(), 800u);
    EXPECT_TRUE(headless::IsCursorClipped());

    rec.log.clear();
    headless::InjectMessage(WM_SIZE, 0, MAKELPARAM(1280, 1024));
    DispatchAll();
    DXUTRender3DEnvironment();
    EXPECT_EQ(rec.log, (std::vector<std::string>{"move", "render", "pre-present(cleared)"}))
        << "the full-screen window's size is not the back buffer's";

    rec.log.clear();
    headless::InjectMessage(WM_SYSKEYDOWN, VK_RETURN, 1 << 29);
    DispatchAll();
    DXUTRender3DEnvironment();
    EXPECT_EQ(rec.log, (std::vector<std::string>{"lost", "reset", "move", "render", "pre-present(cleared)"}));
    EXPECT_FALSE(headless::IsFullScreen());
    EXPECT_FALSE(headless::IsCursorClipped());
    EXPECT_EQ(headless::WindowWidth(), 800);
    EXPECT_EQ(headless::WindowHeight(), 600);
    EXPECT_EQ(rec.resetSizes.back(), (std::pair<UINT, UINT>{800, 600}));
}

TEST_F(FrameDriverTest, AltEnterIsLeftAloneWhenNotHandledOrWhenTheApplicationTakesIt)
{
    struct Case
    {
        const char* name;
        bool handleAltEnter;
        bool stopProcessing;
    };
    for (const Case& c : {Case{"DXUTInit without Alt+Enter", false, false},
                          Case{"message procedure stops processing", true, true}})
    {
        SCOPED_TRACE(c.name);
        headless::Reset();
        SetUp();
        CreateWindowed(c.handleAltEnter);
        rec.stopProcessing = c.stopProcessing;
        headless::InjectMessage(WM_SYSKEYDOWN, VK_RETURN, 1 << 29);
        DispatchAll();
        DXUTRender3DEnvironment();
        EXPECT_EQ(rec.log, (std::vector<std::string>{"move", "render", "pre-present(cleared)"}));
        EXPECT_FALSE(headless::IsFullScreen());
    }
}

TEST_F(FrameDriverTest, ResizeResetsTheDeviceWithTheNewClientSize)
{
    CreateWindowed();
    headless::InjectMessage(WM_SIZE, 0, MAKELPARAM(800, 600)); // unchanged: nothing to do
    DispatchAll();
    DXUTRender3DEnvironment();
    EXPECT_EQ(rec.log, (std::vector<std::string>{"move", "render", "pre-present(cleared)"}));

    rec.log.clear();
    headless::InjectMessage(WM_SIZE, 0, MAKELPARAM(1024, 700));
    headless::InjectMessage(WM_SIZE, 0, MAKELPARAM(0, 0)); // minimised: keeps the last size
    DispatchAll();
    DXUTRender3DEnvironment();
    EXPECT_EQ(rec.log, (std::vector<std::string>{"lost", "reset", "move", "render", "pre-present(cleared)"}));
    EXPECT_EQ(rec.resetSizes.back(), (std::pair<UINT, UINT>{1024, 700}));
    EXPECT_EQ(headless::BackBufferWidth(), 1024u);
    EXPECT_EQ(DXUTGetD3D9BackBufferSurfaceDesc()->Height, 700u);
}

// A program whose picture has a size of its own keeps it in a window of any size: a resize
// resets nothing, and full screen and back bring the window back at the size it was given.
TEST_F(FrameDriverTest, AWindowThatKeepsItsBackBufferIsResizedWithoutAReset)
{
    DXUTSetResizeSettings(true);
    CreateWindowed();
    headless::InjectMessage(WM_SIZE, 0, MAKELPARAM(1000, 700));
    DispatchAll();
    DXUTRender3DEnvironment();
    EXPECT_EQ(rec.log, (std::vector<std::string>{"move", "render", "pre-present(cleared)"}));
    EXPECT_EQ(headless::BackBufferWidth(), 800u);
    EXPECT_EQ(DXUTGetD3D9BackBufferSurfaceDesc()->Height, 600u);

    rec.log.clear();
    DXUTToggleFullScreen();
    DXUTRender3DEnvironment();
    DXUTToggleFullScreen();
    DXUTRender3DEnvironment();
    EXPECT_EQ(rec.log, (std::vector<std::string>{"lost", "reset", "move", "render", "pre-present(cleared)",
                                                 "lost", "reset", "move", "render", "pre-present(cleared)"}));
    EXPECT_EQ(rec.resetSizes.back(), (std::pair<UINT, UINT>{800, 600}));
    EXPECT_EQ(headless::WindowWidth(), 1000) << "the window comes back at the size it was given";
    EXPECT_EQ(headless::WindowHeight(), 700);

    DXUTShutdown();
    headless::Reset();
    CreateWindowed();
    rec.log.clear();
    headless::InjectMessage(WM_SIZE, 0, MAKELPARAM(1000, 700));
    DispatchAll();
    DXUTRender3DEnvironment();
    EXPECT_EQ(headless::BackBufferWidth(), 1000u) << "shutting down brings the default back";
}

TEST_F(FrameDriverTest, FramesAreSkippedWhileTheDeviceCannotBeReset)
{
    CreateWindowed();
    rec.failReset = true;
    DXUTToggleFullScreen();
    EXPECT_EQ(DXUTRender3DEnvironment(), D3DERR_DEVICELOST);
    EXPECT_EQ(DXUTRender3DEnvironment(), D3DERR_DEVICELOST);
    EXPECT_EQ(rec.log, (std::vector<std::string>{"lost", "reset", "reset"}));
    rec.failReset = false;
    rec.log.clear();
    DXUTRender3DEnvironment();
    EXPECT_EQ(rec.log, (std::vector<std::string>{"reset", "move", "render", "pre-present(cleared)"}))
        << "lost is not called again for a device whose reset never succeeded";
}

TEST_F(FrameDriverTest, InjectedDeviceFailureIsReportedAndLeavesNothingBehind)
{
    DXUTInit(false, false, false, true);
    headless::FailNextDeviceCreation("OpenGL 3.3 core is not available");
    testsupport::LogCapture logged;
    HRESULT hr = DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 800, 600);
    std::string err = logged.Text();
    EXPECT_TRUE(FAILED(hr));
    EXPECT_NE(err.find("OpenGL 3.3 core is not available"), std::string::npos) << err;
    EXPECT_TRUE(rec.log.empty());
    EXPECT_FALSE(headless::HasWindow());
    EXPECT_EQ(DXUTGetHWND(), nullptr);
    EXPECT_EQ(DXUTGetD3D9Device(), nullptr);
    EXPECT_EQ(DXUTGetExitCode(), 1);
    EXPECT_TRUE(SUCCEEDED(DXUTRender3DEnvironment()));
    EXPECT_TRUE(rec.log.empty()) << "no frame runs without a device";

    // The failure is injected once: the next attempt works.
    EXPECT_TRUE(SUCCEEDED(DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 800, 600)));
}

namespace
{
bool RefuseDevice(D3DCAPS9*, D3DFORMAT, D3DFORMAT, bool, void*)
{
    return false;
}

bool AcceptWindowedShaderModel3(D3DCAPS9* caps, D3DFORMAT, D3DFORMAT, bool windowed, void*)
{
    return windowed && caps->PixelShaderVersion >= D3DPS_VERSION(2, 0);
}

bool MakeItSmaller(DXUTDeviceSettings* settings, const D3DCAPS9*, void* ctx)
{
    *static_cast<int*>(ctx) += 1;
    settings->pp.BackBufferWidth = 320;
    settings->pp.BackBufferHeight = 200;
    return true;
}
} // namespace

TEST_F(FrameDriverTest, DeviceCallbacksCanRefuseOrChangeTheSettings)
{
    DXUTInit(false, false, false, true);
    testsupport::LogCapture logged;
    EXPECT_TRUE(FAILED(DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 800, 600, &RefuseDevice)));
    std::string err = logged.Text();
    EXPECT_NE(err.find("no device is acceptable"), std::string::npos) << err;
    EXPECT_FALSE(headless::HasWindow());

    int calls = 0;
    ASSERT_TRUE(SUCCEEDED(DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 800, 600, &AcceptWindowedShaderModel3,
                                           &MakeItSmaller, &calls)));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(rec.resetSizes.back(), (std::pair<UINT, UINT>{320, 200}));
}

TEST_F(FrameDriverTest, CreateWindowSetsTheTitleOfTheWindowTheDeviceMade)
{
    DXUTInit(false, false, false, true);
    ASSERT_TRUE(SUCCEEDED(DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 800, 600)));
    EXPECT_EQ(headless::WindowTitle(), L"Direct3D Window");
    EXPECT_TRUE(SUCCEEDED(
        DXUTCreateWindow(L"Dorvo Engine QUORB", nullptr, nullptr, nullptr, CW_USEDEFAULT, CW_USEDEFAULT)));
    EXPECT_EQ(headless::WindowTitle(), L"Dorvo Engine QUORB");
    EXPECT_EQ(headless::BackBufferWidth(), 800u) << "setting the title must not touch the device";
    EXPECT_TRUE(SetWindowTextW(DXUTGetHWND(), L"Renamed"));
    EXPECT_EQ(headless::WindowTitle(), L"Renamed");
}

TEST_F(FrameDriverTest, WindowMadeFirstIsUsedByTheDevice)
{
    DXUTInit(false, false, false, true);
    ASSERT_TRUE(SUCCEEDED(DXUTCreateWindow(L"First")));
    HWND window = DXUTGetHWND();
    ASSERT_TRUE(SUCCEEDED(DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 800, 600)));
    EXPECT_EQ(DXUTGetHWND(), window);
    EXPECT_EQ(headless::WindowTitle(), L"First");
    EXPECT_EQ(rec.resetSizes.back(), (std::pair<UINT, UINT>{800, 600}));
}

TEST_F(FrameDriverTest, DefaultHotkeysCloseTheWindowOnEscape)
{
    for (bool hotkeys : {false, true})
    {
        SCOPED_TRACE(hotkeys ? "with default hot keys" : "without default hot keys");
        headless::Reset();
        SetUp();
        DXUTInit(false, hotkeys, false, true);
        ASSERT_TRUE(SUCCEEDED(DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 800, 600)));
        headless::InjectMessage(WM_KEYDOWN, VK_ESCAPE, 1);
        DispatchAll();
        EXPECT_EQ(rec.log.back() == "destroy", hotkeys);
    }
}

TEST_F(FrameDriverTest, FullScreenDeviceHidesTheCursorOnSetCursorWhenAsked)
{
    DXUTInit(false, false, false, true);
    DXUTSetCursorSettings(false, true);
    ASSERT_TRUE(SUCCEEDED(DXUTCreateDevice(D3DADAPTER_DEFAULT, false, 1024, 768)));
    EXPECT_TRUE(headless::IsFullScreen());
    EXPECT_EQ(headless::WindowWidth(), 1920) << "the window covers the desktop";
    EXPECT_EQ(rec.resetSizes.back(), (std::pair<UINT, UINT>{1024, 768}));
    EXPECT_TRUE(headless::IsCursorClipped());
    EXPECT_TRUE(headless::IsCursorVisible());
    EXPECT_EQ(SendMessageW(DXUTGetHWND(), WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 1);
    EXPECT_FALSE(headless::IsCursorVisible());

    // Back to windowed: a window that shows the back buffer at its own size.
    DXUTToggleFullScreen();
    DXUTRender3DEnvironment();
    EXPECT_EQ(rec.resetSizes.back(), (std::pair<UINT, UINT>{1024, 768}));
    EXPECT_EQ(headless::WindowWidth(), 1024);
    EXPECT_EQ(headless::WindowHeight(), 768);
}

TEST_F(FrameDriverTest, ShutdownLosesTheDeviceAndClearsTheCallbacks)
{
    CreateWindowed();
    DXUTShutdown(3);
    EXPECT_EQ(rec.log, (std::vector<std::string>{"lost"}));
    EXPECT_EQ(DXUTGetExitCode(), 3);
    EXPECT_FALSE(headless::HasWindow());
    EXPECT_EQ(DXUTGetD3D9Device(), nullptr);

    rec.log.clear();
    DXUTInit(false, false, false, true);
    ASSERT_TRUE(SUCCEEDED(DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 64, 64)));
    DXUTRender3DEnvironment();
    EXPECT_TRUE(rec.log.empty()) << "callbacks of the previous run must be gone";
}

TEST(HeadlessDevice, ClearFillsTheRectanglesOnly)
{
    headless::Reset();
    DXUTInit(false, false, false, true);
    ASSERT_TRUE(SUCCEEDED(DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 4, 3)));
    IDirect3DDevice9* device = DXUTGetD3D9Device();
    const D3DCOLOR red = D3DCOLOR_XRGB(255, 0, 0), blue = D3DCOLOR_XRGB(0, 0, 255);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, red, 1.0f, 0);
    D3DRECT rects[2] = {{1, 0, 3, 1}, {3, 2, 9, 9}}; // the second runs off the edge
    device->Clear(2, rects, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, blue, 1.0f, 0);
    device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(1, 2, 3), 1.0f, 0); // no colour
    std::vector<D3DCOLOR> pixels;
    ASSERT_TRUE(device->ReadBackBuffer(pixels));
    EXPECT_EQ(pixels, (std::vector<D3DCOLOR>{red, blue, blue, red, red, red, red, red, red, red, red, blue}));
    headless::Reset();
}

namespace
{
struct DeviceChoice
{
    DWORD maxTexture = 0;
    HRESULT blending = E_FAIL;
    HRESULT unsupported = S_OK;
    UINT adapterToUse = 99;
};

bool RecordCaps(D3DCAPS9* caps, D3DFORMAT adapterFormat, D3DFORMAT backBufferFormat, bool, void* ctx)
{
    auto* choice = static_cast<DeviceChoice*>(ctx);
    choice->maxTexture = caps->MaxTextureWidth;
    IDirect3D9* d3d = DXUTGetD3DObject();
    choice->blending =
        d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, adapterFormat, D3DUSAGE_QUERY_POSTPIXELSHADER_BLENDING,
                               D3DRTYPE_TEXTURE, backBufferFormat);
    choice->unsupported =
        d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, adapterFormat, 0, D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8);
    return true;
}

// Picks the adapter described "NVIDIA NVPerfHUD" with the reference type, as the game does.
bool PickPerfHud(DXUTDeviceSettings* settings, const D3DCAPS9*, void* ctx)
{
    auto* choice = static_cast<DeviceChoice*>(ctx);
    IDirect3D9* d3d = DXUTGetD3DObject();
    for (UINT i = 0; i < d3d->GetAdapterCount(); ++i)
    {
        D3DADAPTER_IDENTIFIER9 id;
        d3d->GetAdapterIdentifier(i, 0, &id);
        if (std::string(id.Description) == "NVIDIA NVPerfHUD")
        {
            settings->AdapterOrdinal = i;
            settings->DeviceType = D3DDEVTYPE_REF;
        }
    }
    if (choice->adapterToUse != 99)
        settings->AdapterOrdinal = choice->adapterToUse;
    settings->pp.BackBufferFormat = D3DFMT_A8R8G8B8;
    settings->pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return true;
}
} // namespace

TEST_F(FrameDriverTest, CallbacksSeeTheDevicesCapsAndAdaptersAndTheChoiceIsKept)
{
    headless::SetCaps(PassingCaps(512));
    headless::SetAdapters({"Plain adapter", "NVIDIA NVPerfHUD"});
    headless::SetUnsupportedFormats({D3DFMT_A8R8G8B8});
    DXUTInit(false, false, false, true);
    DeviceChoice choice;
    ASSERT_TRUE(
        SUCCEEDED(DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 320, 200, &RecordCaps, &PickPerfHud, &choice)));
    EXPECT_EQ(choice.maxTexture, 512u);
    EXPECT_EQ(choice.blending, S_OK);
    EXPECT_EQ(choice.unsupported, D3DERR_NOTAVAILABLE);
    const DXUTDeviceSettings settings = DXUTGetDeviceSettings();
    EXPECT_EQ(settings.AdapterOrdinal, 1u);
    EXPECT_EQ(settings.DeviceType, D3DDEVTYPE_REF);
    EXPECT_EQ(settings.pp.BackBufferFormat, D3DFMT_A8R8G8B8);
    EXPECT_EQ(settings.pp.BackBufferWidth, 320u);
    EXPECT_EQ(DXUTGetD3D9Device()->GetBackBufferDesc().Format, D3DFMT_A8R8G8B8);
    D3DADAPTER_IDENTIFIER9 id;
    ASSERT_TRUE(SUCCEEDED(DXUTGetD3DObject()->GetAdapterIdentifier(1, 0, &id)));
    EXPECT_STREQ(id.Description, "NVIDIA NVPerfHUD");
    EXPECT_EQ(DXUTGetD3DObject()->GetAdapterIdentifier(2, 0, &id), D3DERR_INVALIDCALL);

    // An adapter that does not exist is refused like any other failure.
    choice.adapterToUse = 7;
    testsupport::LogCapture logged;
    EXPECT_TRUE(
        FAILED(DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 320, 200, &RecordCaps, &PickPerfHud, &choice)));
    const std::string err = logged.Text();
    EXPECT_NE(err.find("adapter 7 does not exist"), std::string::npos) << err;
    EXPECT_EQ(DXUTGetD3D9Device(), nullptr);
    EXPECT_EQ(DXUTGetD3DObject(), nullptr);
}
