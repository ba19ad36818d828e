// The frame driver: callbacks, the main window's procedure, device creation and one frame.
#include "platform/frame_driver.h"

#include "platform/log.h"
#include "platform/window_backend.h"

#include <memory>
#include <string>

namespace plat
{
namespace
{
template <typename F> struct Callback
{
    F fn = nullptr;
    void* context = nullptr;
};

struct FrameDriver
{
    Callback<LPDXUTCALLBACKMSGPROC> msgProc;
    Callback<LPDXUTCALLBACKFRAMEMOVE> frameMove;
    Callback<LPDXUTCALLBACKFRAMERENDER> frameRender;
    Callback<LPDXUTCALLBACKDEVICELOST> deviceLost;
    Callback<LPDXUTCALLBACKDEVICERESET> deviceReset;
    Callback<LPDXUTCALLBACKPREPRESENT> prePresent;

    bool handleDefaultHotkeys = true;
    bool showMsgBoxOnError = true;
    bool handleAltEnter = true;
    bool showCursorWhenFullScreen = true;
    bool clipCursorWhenFullScreen = false;
    bool keepBackBufferSize = false;

    std::wstring title = L"Direct3D Window";
    detail::ComPtr<detail::DeviceBase> device;
    detail::ComPtr<IDirect3D9> d3d;
    DXUTDeviceSettings settings;
    D3DPRESENT_PARAMETERS pp;
    D3DSURFACE_DESC desc;
    // True between a successful device-reset callback and the next device-lost callback.
    bool deviceObjectsReset = false;
    bool toggleRequested = false;
    bool resizeRequested = false;
    int resizeWidth = 0;
    int resizeHeight = 0;
    int windowedWidth = 0; // client size to return to when leaving full screen
    int windowedHeight = 0;

    int exitCode = 0;
    double frequency = 1.0;
    std::int64_t start = 0;
    std::int64_t last = 0;
    std::int64_t fpsStart = 0;
    int fpsFrames = 0;
    float fps = 0.0f;
};

FrameDriver& Driver()
{
    static FrameDriver driver;
    return driver;
}

std::int64_t Counter()
{
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return c.QuadPart;
}

HRESULT FailDeviceCreation(const std::string& reason)
{
    FrameDriver& d = Driver();
    d.exitCode = 1;
    const std::string text =
        "DXUTCreateDevice: could not create the device: " + reason + "; there is no device";
    if (d.showMsgBoxOnError)
        MessageBoxW(DXUTGetHWND(), ToWide(text).c_str(), L"Error", MB_OK | MB_ICONERROR); // logs it too
    else
        WriteLogLine(text);
    return D3DERR_NOTAVAILABLE;
}

bool EnsureWindow(int width, int height, bool windowed, std::string& error)
{
    detail::WindowBackend& backend = detail::Backend();
    if (backend.HasWindow())
        return true;
    if (!backend.CreateMainWindow(Driver().title, width, height, windowed, error))
        return false;
    SetWindowProc(detail::MainWindowHandle(), &detail::FrameDriverWindowProc);
    return true;
}

// Lets go of the device: its backend objects go while the window's context still exists.
void DropDevice()
{
    FrameDriver& d = Driver();
    if (d.device)
        d.device->Shutdown();
    d.device.Reset();
    d.d3d.Reset();
}

void DropWindow()
{
    if (!detail::HasBackend())
        return;
    detail::Backend().DestroyMainWindow();
    SetWindowProc(detail::MainWindowHandle(), nullptr);
}

void CallDeviceLost()
{
    FrameDriver& d = Driver();
    if (!d.deviceObjectsReset)
        return;
    d.deviceObjectsReset = false;
    if (d.deviceLost.fn)
        d.deviceLost.fn(d.deviceLost.context);
}

bool CallDeviceReset()
{
    FrameDriver& d = Driver();
    d.desc = d.device->GetBackBufferDesc();
    HRESULT hr = d.deviceReset.fn ? d.deviceReset.fn(d.device.Get(), &d.desc, d.deviceReset.context) : S_OK;
    d.deviceObjectsReset = SUCCEEDED(hr);
    return d.deviceObjectsReset;
}

// Applies a pending full-screen toggle or resize: device lost, new back buffer, device reset.
void HandlePendingReset()
{
    FrameDriver& d = Driver();
    if (!d.toggleRequested && !d.resizeRequested && d.deviceObjectsReset)
        return;
    CallDeviceLost();
    if (d.toggleRequested)
    {
        // Full screen shows the windowed picture scaled to the display: the back buffer keeps
        // the size it has in the window, and presenting fits it to the screen.
        const bool toFullScreen = d.pp.Windowed != 0;
        int w = toFullScreen ? 0 : d.windowedWidth;
        int h = toFullScreen ? 0 : d.windowedHeight;
        if (detail::Backend().SetFullScreen(toFullScreen, w, h))
        {
            d.pp.Windowed = toFullScreen ? 0 : 1;
            if (!toFullScreen && !d.keepBackBufferSize)
            {
                d.pp.BackBufferWidth = static_cast<UINT>(w);
                d.pp.BackBufferHeight = static_cast<UINT>(h);
            }
            detail::Backend().SetCursorClipped(toFullScreen && d.clipCursorWhenFullScreen);
        }
    }
    else if (d.resizeRequested)
    {
        d.pp.BackBufferWidth = static_cast<UINT>(d.resizeWidth);
        d.pp.BackBufferHeight = static_cast<UINT>(d.resizeHeight);
    }
    d.toggleRequested = false;
    d.resizeRequested = false;
    if (FAILED(d.device->Reset(&d.pp)))
    {
        d.exitCode = 1;
        return;
    }
    d.settings.pp = d.pp;
    CallDeviceReset();
}

void CountFrame(std::int64_t now)
{
    FrameDriver& d = Driver();
    ++d.fpsFrames;
    double span = static_cast<double>(now - d.fpsStart) / d.frequency;
    if (span >= 1.0)
    {
        d.fps = static_cast<float>(d.fpsFrames / span);
        d.fpsFrames = 0;
        d.fpsStart = now;
    }
}
} // namespace

void DXUTSetCallbackMsgProc(LPDXUTCALLBACKMSGPROC callback, void* userContext)
{
    Driver().msgProc = {callback, userContext};
}

void DXUTSetCallbackFrameMove(LPDXUTCALLBACKFRAMEMOVE callback, void* userContext)
{
    Driver().frameMove = {callback, userContext};
}

void DXUTSetCallbackFrameRender(LPDXUTCALLBACKFRAMERENDER callback, void* userContext)
{
    Driver().frameRender = {callback, userContext};
}

void DXUTSetCallbackDeviceLost(LPDXUTCALLBACKDEVICELOST callback, void* userContext)
{
    Driver().deviceLost = {callback, userContext};
}

void DXUTSetCallbackDeviceReset(LPDXUTCALLBACKDEVICERESET callback, void* userContext)
{
    Driver().deviceReset = {callback, userContext};
}

void DXUTSetCallbackPrePresent(LPDXUTCALLBACKPREPRESENT callback, void* userContext)
{
    Driver().prePresent = {callback, userContext};
}

HRESULT DXUTInit(bool, bool handleDefaultHotkeys, bool showMsgBoxOnError, bool handleAltEnter)
{
    FrameDriver& d = Driver();
    d.handleDefaultHotkeys = handleDefaultHotkeys;
    d.showMsgBoxOnError = showMsgBoxOnError;
    d.handleAltEnter = handleAltEnter;
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    d.frequency = static_cast<double>(f.QuadPart);
    return S_OK;
}

void DXUTSetCursorSettings(bool showCursorWhenFullScreen, bool clipCursorWhenFullScreen)
{
    Driver().showCursorWhenFullScreen = showCursorWhenFullScreen;
    Driver().clipCursorWhenFullScreen = clipCursorWhenFullScreen;
}

void DXUTSetResizeSettings(bool keepBackBufferSize)
{
    Driver().keepBackBufferSize = keepBackBufferSize;
}

HRESULT DXUTCreateWindow(const wchar_t* title, HINSTANCE, HICON, HMENU, int, int)
{
    FrameDriver& d = Driver();
    d.title = title ? title : L"";
    detail::WindowBackend& backend = detail::Backend();
    if (backend.HasWindow())
    {
        backend.SetTitle(d.title);
        return S_OK;
    }
    std::string error;
    if (!EnsureWindow(640, 480, true, error))
    {
        DORVO_LOG("DXUTCreateWindow: could not create the window: %s; there is no window", error.c_str());
        return E_FAIL;
    }
    return S_OK;
}

HRESULT DXUTCreateDevice(UINT adapterOrdinal, bool windowed, int width, int height,
                         LPDXUTCALLBACKISDEVICEACCEPTABLE isDeviceAcceptable,
                         LPDXUTCALLBACKMODIFYDEVICESETTINGS modifyDeviceSettings, void* userContext)
{
    FrameDriver& d = Driver();
    if (d.device)
    {
        CallDeviceLost();
        DropDevice();
    }
    if (width <= 0 || height <= 0)
    {
        width = 640;
        height = 480;
    }
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    d.frequency = static_cast<double>(f.QuadPart);

    DXUTDeviceSettings settings;
    settings.AdapterOrdinal = adapterOrdinal;
    settings.pp.BackBufferWidth = static_cast<UINT>(width);
    settings.pp.BackBufferHeight = static_cast<UINT>(height);
    settings.pp.hDeviceWindow = detail::MainWindowHandle();
    settings.pp.Windowed = windowed ? 1 : 0;

    // The device is made first: its caps and adapters come from it (the OpenGL context).
    detail::WindowBackend& backend = detail::Backend();
    bool madeWindow = !backend.HasWindow();
    std::string error;
    if (!EnsureWindow(width, height, windowed, error))
        return FailDeviceCreation(error);
    int w = width, h = height;
    if (!madeWindow && !backend.SetFullScreen(!windowed, w, h))
        return FailDeviceCreation("the window cannot take the requested size");
    // A window's back buffer is its client area, unless it keeps the size asked for; full
    // screen keeps the size asked for and presenting scales it to the display.
    if (windowed && !d.keepBackBufferSize)
    {
        settings.pp.BackBufferWidth = static_cast<UINT>(w);
        settings.pp.BackBufferHeight = static_cast<UINT>(h);
    }
    d.device = backend.CreateDevice(settings.pp, error);
    auto fail = [&](const std::string& reason)
    {
        DropDevice();
        if (madeWindow)
            DropWindow();
        return FailDeviceCreation(reason);
    };
    if (!d.device)
        return fail(error);
    {
        IDirect3D9* d3d = nullptr;
        d.device->GetDirect3D(&d3d);
        d.d3d = detail::ComPtr<IDirect3D9>::Adopt(d3d);
    }
    D3DCAPS9 caps;
    d.device->GetDeviceCaps(&caps);
    if (!d.d3d || adapterOrdinal >= d.d3d->GetAdapterCount())
        return fail("adapter " + std::to_string(adapterOrdinal) + " does not exist");
    settings.pp = d.device->PresentParameters();
    if (d.keepBackBufferSize)
    {
        settings.pp.BackBufferWidth = static_cast<UINT>(width);
        settings.pp.BackBufferHeight = static_cast<UINT>(height);
    }
    if (isDeviceAcceptable && !isDeviceAcceptable(&caps, settings.AdapterFormat, settings.pp.BackBufferFormat,
                                                  windowed, userContext))
        return fail("no device is acceptable to the application");
    const D3DPRESENT_PARAMETERS made = settings.pp;
    if (modifyDeviceSettings && !modifyDeviceSettings(&settings, &caps, userContext))
        return fail("the application refused the device settings");
    if (settings.AdapterOrdinal >= d.d3d->GetAdapterCount())
        return fail("adapter " + std::to_string(settings.AdapterOrdinal) + " does not exist");
    if (settings.pp.BackBufferWidth == 0 || settings.pp.BackBufferHeight == 0)
        return fail("the back buffer has no size");
    windowed = settings.pp.Windowed != 0;
    if (settings.pp.BackBufferWidth != made.BackBufferWidth ||
        settings.pp.BackBufferHeight != made.BackBufferHeight || settings.pp.Windowed != made.Windowed)
    {
        w = static_cast<int>(settings.pp.BackBufferWidth);
        h = static_cast<int>(settings.pp.BackBufferHeight);
        if (!backend.SetFullScreen(!windowed, w, h))
            return fail("the window cannot take the requested size");
        if (windowed && !d.keepBackBufferSize)
        {
            settings.pp.BackBufferWidth = static_cast<UINT>(w);
            settings.pp.BackBufferHeight = static_cast<UINT>(h);
        }
    }
    settings.pp.hDeviceWindow = detail::MainWindowHandle();
    if (FAILED(d.device->Reset(&settings.pp)))
        return fail("the device cannot take the requested settings");
    settings.pp = d.device->PresentParameters();
    d.settings = settings;
    d.pp = settings.pp;
    // Full screen or not, the window to return to shows the back buffer at its own size.
    d.windowedWidth = static_cast<int>(d.pp.BackBufferWidth);
    d.windowedHeight = static_cast<int>(d.pp.BackBufferHeight);
    POINT origin;
    if (windowed && d.keepBackBufferSize)
        backend.GetClientArea(origin, d.windowedWidth, d.windowedHeight);
    d.toggleRequested = false;
    d.resizeRequested = false;
    backend.SetCursorClipped(!windowed && d.clipCursorWhenFullScreen);

    d.start = d.last = d.fpsStart = Counter();
    d.fpsFrames = 0;
    d.fps = 0.0f;
    if (!CallDeviceReset())
        return fail("the device-reset callback failed");
    return S_OK;
}

HRESULT DXUTRender3DEnvironment()
{
    FrameDriver& d = Driver();
    if (!d.device)
        return S_OK;
    HandlePendingReset();
    if (!d.deviceObjectsReset)
        return D3DERR_DEVICELOST; // frames are skipped until a reset succeeds

    std::int64_t now = Counter();
    double time = static_cast<double>(now - d.start) / d.frequency;
    float elapsed = static_cast<float>(static_cast<double>(now - d.last) / d.frequency);
    d.last = now;
    CountFrame(now);

    IDirect3DDevice9* device = d.device.Get();
    if (d.frameMove.fn)
        d.frameMove.fn(device, time, elapsed, d.frameMove.context);
    if (d.frameRender.fn)
        d.frameRender.fn(device, time, elapsed, d.frameRender.context);
    if (d.prePresent.fn)
        d.prePresent.fn(device, d.prePresent.context);
    return device->Present(nullptr, nullptr, nullptr, nullptr);
}

HRESULT DXUTToggleFullScreen()
{
    FrameDriver& d = Driver();
    if (!d.device)
        return E_FAIL;
    d.toggleRequested = !d.toggleRequested; // two toggles before a frame cancel out
    return S_OK;
}

void DXUTShutdown(int exitCode)
{
    FrameDriver& d = Driver();
    if (d.device)
    {
        CallDeviceLost();
        DropDevice();
    }
    DropWindow();
    detail::DestroyBackend();
    detail::ResetFrameDriver();
    Driver().exitCode = exitCode;
}

int DXUTGetExitCode()
{
    return Driver().exitCode;
}

float DXUTGetFPS()
{
    return Driver().fps;
}

HWND DXUTGetHWND()
{
    return detail::HasBackend() && detail::Backend().HasWindow() ? detail::MainWindowHandle() : nullptr;
}

HINSTANCE DXUTGetHINSTANCE()
{
    static char instance;
    return reinterpret_cast<HINSTANCE>(&instance);
}

IDirect3DDevice9* DXUTGetD3D9Device()
{
    return Driver().device.Get();
}

IDirect3D9* DXUTGetD3DObject()
{
    return Driver().d3d.Get();
}

DXUTDeviceSettings DXUTGetDeviceSettings()
{
    return Driver().settings;
}

const D3DSURFACE_DESC* DXUTGetD3D9BackBufferSurfaceDesc()
{
    return Driver().device ? &Driver().desc : nullptr;
}

bool DXUTIsWindowed()
{
    return !Driver().device || Driver().pp.Windowed != 0;
}

namespace detail
{
LRESULT FrameDriverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    FrameDriver& d = Driver();
    if (d.msgProc.fn)
    {
        bool noFurtherProcessing = false;
        LRESULT result =
            d.msgProc.fn(window, message, wParam, lParam, &noFurtherProcessing, d.msgProc.context);
        if (noFurtherProcessing)
            return result;
    }
    switch (message)
    {
    case WM_SIZE:
    {
        int w = LOWORD(static_cast<std::uintptr_t>(lParam));
        int h = HIWORD(static_cast<std::uintptr_t>(lParam));
        // A minimised window (0 x 0) keeps its back buffer; full screen owns its size.
        if (d.device && d.pp.Windowed && !d.toggleRequested && w > 0 && h > 0)
        {
            d.windowedWidth = w;
            d.windowedHeight = h;
            d.resizeRequested = !d.keepBackBufferSize && (static_cast<UINT>(w) != d.desc.Width ||
                                                          static_cast<UINT>(h) != d.desc.Height);
            d.resizeWidth = w;
            d.resizeHeight = h;
        }
        return 0;
    }
    case WM_SYSKEYDOWN:
        if (d.handleAltEnter && wParam == VK_RETURN)
        {
            DXUTToggleFullScreen();
            return 0;
        }
        break;
    case WM_KEYDOWN:
        if (d.handleDefaultHotkeys && wParam == VK_ESCAPE)
        {
            SendMessageW(window, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    case WM_SETCURSOR:
        if (d.device && !d.pp.Windowed && !d.showCursorWhenFullScreen)
        {
            SetCursor(nullptr);
            return 1;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void ResetFrameDriver()
{
    Driver() = FrameDriver();
}
} // namespace detail
} // namespace plat
