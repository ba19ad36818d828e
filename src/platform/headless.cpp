// The headless window backend and memory device: everything a window and a device keep,
// nothing drawn or shown. Clears really change the memory back buffer, so a test can read
// back what a frame drew.
#include "platform/headless.h"

#include "platform/d3d9.h"
#include "platform/frame_driver.h"
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
};

HeadlessSettings& Settings()
{
    static HeadlessSettings settings;
    return settings;
}

class HeadlessDevice : public IDirect3DDevice9
{
public:
    explicit HeadlessDevice(const D3DPRESENT_PARAMETERS& params) { Resize(params); }

    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float, DWORD) override
    {
        if (!(flags & D3DCLEAR_TARGET))
            return S_OK;
        const auto w = static_cast<std::int32_t>(m_desc.Width);
        const auto h = static_cast<std::int32_t>(m_desc.Height);
        if (count == 0 || !rects)
        {
            std::fill(m_pixels.begin(), m_pixels.end(), color);
            return S_OK;
        }
        for (DWORD i = 0; i < count; ++i)
        {
            const D3DRECT& r = rects[i];
            for (std::int32_t y = std::max(0, r.y1); y < std::min(h, r.y2); ++y)
                for (std::int32_t x = std::max(0, r.x1); x < std::min(w, r.x2); ++x)
                    m_pixels[static_cast<size_t>(y) * m_desc.Width + static_cast<size_t>(x)] = color;
        }
        return S_OK;
    }

    HRESULT BeginScene() override { return S_OK; }
    HRESULT EndScene() override { return S_OK; }

    HRESULT Present(const RECT*, const RECT*, HWND, const void*) override
    {
        ++Settings().presents;
        return S_OK;
    }

    HRESULT Reset(D3DPRESENT_PARAMETERS* params) override
    {
        if (!params)
            return D3DERR_INVALIDCALL;
        Resize(*params);
        return S_OK;
    }

    HRESULT GetDeviceCaps(D3DCAPS9* caps) override
    {
        if (!caps)
            return D3DERR_INVALIDCALL;
        caps->VertexShaderVersion = D3DVS_VERSION(3, 0);
        caps->PixelShaderVersion = D3DPS_VERSION(3, 0);
        caps->MaxTextureWidth = 8192;
        caps->MaxTextureHeight = 8192;
        return S_OK;
    }

    D3DSURFACE_DESC GetBackBufferDesc() const override { return m_desc; }

    bool ReadBackBuffer(std::vector<D3DCOLOR>& pixels) override
    {
        pixels = m_pixels;
        return true;
    }

private:
    void Resize(const D3DPRESENT_PARAMETERS& params)
    {
        m_desc.Format = params.BackBufferFormat;
        m_desc.Width = params.BackBufferWidth;
        m_desc.Height = params.BackBufferHeight;
        m_pixels.assign(static_cast<size_t>(m_desc.Width) * m_desc.Height, 0u);
    }

    D3DSURFACE_DESC m_desc;
    std::vector<D3DCOLOR> m_pixels;
};

class HeadlessBackend : public detail::WindowBackend
{
public:
    bool IsHeadless() const override { return true; }

    bool CreateMainWindow(const std::wstring& title, int width, int height, bool windowed,
                          std::string&) override
    {
        m_window = true;
        m_title = title;
        m_width = width;
        m_height = height;
        m_fullScreen = !windowed;
        return true;
    }

    bool HasWindow() const override { return m_window; }
    void DestroyMainWindow() override { m_window = false; }
    void SetTitle(const std::wstring& title) override { m_title = title; }
    std::wstring Title() const override { return m_title; }

    std::unique_ptr<IDirect3DDevice9> CreateDevice(const D3DPRESENT_PARAMETERS& params,
                                                   std::string& error) override
    {
        HeadlessSettings& s = Settings();
        if (s.failNextDevice)
        {
            s.failNextDevice = false;
            error = s.failReason;
            return nullptr;
        }
        s.presents = 0;
        return std::make_unique<HeadlessDevice>(params);
    }

    bool SetFullScreen(bool fullScreen, int& width, int& height) override
    {
        if (fullScreen && (width <= 0 || height <= 0))
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
    void ShowMessageBox(const std::string&, const std::string&) override {}

    bool FullScreen() const { return m_fullScreen; }
    bool Clipped() const { return m_clipped; }

private:
    bool m_window = false;
    std::wstring m_title;
    int m_width = 0;
    int m_height = 0;
    bool m_fullScreen = false;
    bool m_clipped = false;
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

void SetDesktopSize(int width, int height)
{
    Settings().desktopWidth = width;
    Settings().desktopHeight = height;
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

int PresentCount()
{
    return Settings().presents;
}

void Reset()
{
    DXUTShutdown();
    detail::ResetMessages();
    Settings() = HeadlessSettings();
}
} // namespace headless
} // namespace plat
