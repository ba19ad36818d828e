// The headless window backend and its test hooks: everything a window keeps, nothing shown.
// The memory device itself is in headless_device.cpp.
#include "platform/headless.h"

#include "platform/d3d9.h"
#include "platform/frame_driver.h"
#include "platform/headless_device.h"
#include "platform/window_backend.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace plat
{
namespace
{
struct HeadlessSettings
{
    bool failNextDevice = false;
    std::string failReason;
    int desktopWidth = 1920;
    int desktopHeight = 1080;
    int presents = 0;
    D3DCAPS9 caps = PassingCaps(8192);
    std::vector<std::string> adapters = {"Dorvo headless device"};
    std::vector<D3DFORMAT> unsupported;
    POINT cursor;        // screen pixels
    POINT clientOrigin;  // the window's client area on the screen
    int clientWidth = 0; // 0: the window's own size
    int clientHeight = 0;
};

HeadlessSettings& Settings()
{
    static HeadlessSettings settings;
    return settings;
}

class HeadlessBackend : public detail::WindowBackend
{
public:
    bool IsHeadless() const override { return true; }

    bool CreateMainWindow(const std::wstring& title, int width, int height, bool windowed,
                          std::string&) override
    {
        m_window = true;
        m_title = title;
        m_width = windowed ? width : Settings().desktopWidth;
        m_height = windowed ? height : Settings().desktopHeight;
        m_fullScreen = !windowed;
        return true;
    }

    bool HasWindow() const override { return m_window; }
    void DestroyMainWindow() override { m_window = false; }
    void SetTitle(const std::wstring& title) override { m_title = title; }
    std::wstring Title() const override { return m_title; }

    detail::ComPtr<detail::DeviceBase> CreateDevice(const D3DPRESENT_PARAMETERS& params,
                                                    std::string& error) override
    {
        HeadlessSettings& s = Settings();
        if (s.failNextDevice)
        {
            s.failNextDevice = false;
            error = s.failReason;
            return {};
        }
        s.presents = 0;
        auto d3d = detail::ComPtr<detail::Direct3DObject>::Adopt(
            new detail::Direct3DObject(s.adapters, s.caps, s.unsupported));
        return detail::MakeHeadlessDevice(params, s.caps, std::move(d3d), [] { ++Settings().presents; });
    }

    bool SetFullScreen(bool fullScreen, int& width, int& height) override
    {
        if (fullScreen)
        {
            width = Settings().desktopWidth;
            height = Settings().desktopHeight;
        }
        m_fullScreen = fullScreen;
        m_width = width;
        m_height = height;
        return true;
    }

    void Pump() override {}
    void SetCursorVisible(bool) override {}
    void SetCursorClipped(bool clipped) override { m_clipped = clipped; }
    bool GetCursorScreenPosition(POINT& point) override
    {
        if (!m_window)
            return false;
        point = Settings().cursor;
        return true;
    }
    bool GetClientArea(POINT& origin, int& width, int& height) override
    {
        if (!m_window)
            return false;
        origin = Settings().clientOrigin;
        width = Settings().clientWidth > 0 ? Settings().clientWidth : m_width;
        height = Settings().clientHeight > 0 ? Settings().clientHeight : m_height;
        return true;
    }
    void ShowMessageBox(const std::string&, const std::string&) override {}
    void CancelTextComposition() override { ++m_compositionCancels; }

    bool FullScreen() const { return m_fullScreen; }
    int CompositionCancels() const { return m_compositionCancels; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool Clipped() const { return m_clipped; }

private:
    bool m_window = false;
    std::wstring m_title;
    int m_width = 0;
    int m_height = 0;
    bool m_fullScreen = false;
    bool m_clipped = false;
    int m_compositionCancels = 0;
};

HeadlessBackend* ActiveHeadless()
{
    if (!detail::HasBackend() || !detail::Backend().IsHeadless())
        return nullptr;
    return static_cast<HeadlessBackend*>(&detail::Backend());
}
} // namespace

namespace detail
{
std::unique_ptr<WindowBackend> MakeHeadlessBackend()
{
    return std::make_unique<HeadlessBackend>();
}
} // namespace detail

namespace headless
{
bool IsActive()
{
    return detail::HeadlessRequested();
}

void InjectMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = HasWindow() ? detail::MainWindowHandle() : nullptr;
    PostMessageW(window, message, wParam, lParam);
}

void FailNextDeviceCreation(const std::string& reason)
{
    Settings().failNextDevice = true;
    Settings().failReason = reason;
}

bool HasWindow()
{
    HeadlessBackend* b = ActiveHeadless();
    return b && b->HasWindow();
}

std::wstring WindowTitle()
{
    HeadlessBackend* b = ActiveHeadless();
    return b ? b->Title() : std::wstring();
}

bool IsFullScreen()
{
    HeadlessBackend* b = ActiveHeadless();
    return b && b->FullScreen();
}

bool IsCursorVisible()
{
    return detail::SystemCursorVisible();
}

bool IsCursorClipped()
{
    HeadlessBackend* b = ActiveHeadless();
    return b && b->Clipped();
}

int TextCompositionCancels()
{
    HeadlessBackend* b = ActiveHeadless();
    return b ? b->CompositionCancels() : 0;
}

void SetDesktopSize(int width, int height)
{
    Settings().desktopWidth = width;
    Settings().desktopHeight = height;
}

int WindowWidth()
{
    HeadlessBackend* b = ActiveHeadless();
    return b && b->HasWindow() ? b->Width() : 0;
}

int WindowHeight()
{
    HeadlessBackend* b = ActiveHeadless();
    return b && b->HasWindow() ? b->Height() : 0;
}

UINT BackBufferWidth()
{
    IDirect3DDevice9* d = DXUTGetD3D9Device();
    return d ? d->GetBackBufferDesc().Width : 0;
}

UINT BackBufferHeight()
{
    IDirect3DDevice9* d = DXUTGetD3D9Device();
    return d ? d->GetBackBufferDesc().Height : 0;
}

void SetCursorScreenPosition(int x, int y)
{
    Settings().cursor.x = x;
    Settings().cursor.y = y;
}

void SetClientArea(int left, int top, int width, int height)
{
    Settings().clientOrigin.x = left;
    Settings().clientOrigin.y = top;
    Settings().clientWidth = width;
    Settings().clientHeight = height;
}

int PresentCount()
{
    return Settings().presents;
}

void SetCaps(const D3DCAPS9& caps)
{
    Settings().caps = caps;
}

void SetAdapters(const std::vector<std::string>& descriptions)
{
    Settings().adapters = descriptions;
}

void SetUnsupportedFormats(const std::vector<D3DFORMAT>& formats)
{
    Settings().unsupported = formats;
}

std::vector<devicedebug::ResourceInfo> Resources()
{
    return devicedebug::Resources(DXUTGetD3D9Device());
}

unsigned LiveDefaultResources()
{
    return devicedebug::LiveDefaultResources(DXUTGetD3D9Device());
}

void SetCallLogging(bool on)
{
    devicedebug::SetCallLogging(DXUTGetD3D9Device(), on);
}

const std::vector<devicedebug::LoggedCall>& CallLog()
{
    return devicedebug::CallLog(DXUTGetD3D9Device());
}

void ClearCallLog()
{
    devicedebug::ClearCallLog(DXUTGetD3D9Device());
}

void Reset()
{
    DXUTShutdown();
    detail::ResetMessages();
    Settings() = HeadlessSettings();
}
} // namespace headless
} // namespace plat
