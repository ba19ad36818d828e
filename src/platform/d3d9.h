// The Direct3D 9 device as the engine sees it. The frame driver creates one and hands it to
// every frame callback. So far it carries what a frame needs (clear, scene brackets,
// present, reset) and a read-back of the back buffer for screenshots. Two implementations:
// OpenGL 3.3 core (gl_device.cpp) and the headless memory device (headless.cpp).
#pragma once

#include "platform/d3d9types.h"
#include "platform/win32.h"

#include <vector>

namespace plat
{
using D3DCOLOR = DWORD; // 0xAARRGGBB

constexpr D3DCOLOR D3DCOLOR_ARGB(DWORD a, DWORD r, DWORD g, DWORD b)
{
    return ((a & 0xFF) << 24) | ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
}
constexpr D3DCOLOR D3DCOLOR_XRGB(DWORD r, DWORD g, DWORD b)
{
    return D3DCOLOR_ARGB(0xFF, r, g, b);
}

enum D3DFORMAT : std::uint32_t
{
    D3DFMT_UNKNOWN = 0,
    D3DFMT_A8R8G8B8 = 21,
    D3DFMT_X8R8G8B8 = 22,
    D3DFMT_D24S8 = 75,
};

constexpr UINT D3DADAPTER_DEFAULT = 0;

constexpr DWORD D3DCLEAR_TARGET = 0x1;
constexpr DWORD D3DCLEAR_ZBUFFER = 0x2;
constexpr DWORD D3DCLEAR_STENCIL = 0x4;

constexpr UINT D3DPRESENT_INTERVAL_DEFAULT = 0x0;
constexpr UINT D3DPRESENT_INTERVAL_IMMEDIATE = 0x80000000u; // no vertical sync

constexpr HRESULT D3DERR_DEVICELOST = static_cast<HRESULT>(0x88760868u);
constexpr HRESULT D3DERR_NOTAVAILABLE = static_cast<HRESULT>(0x8876086Au);
constexpr HRESULT D3DERR_INVALIDCALL = static_cast<HRESULT>(0x8876086Cu);

// Shader model numbers as the caps report them.
constexpr DWORD D3DVS_VERSION(DWORD major, DWORD minor)
{
    return 0xFFFE0000u | (major << 8) | minor;
}
constexpr DWORD D3DPS_VERSION(DWORD major, DWORD minor)
{
    return 0xFFFF0000u | (major << 8) | minor;
}

// A rectangle in back-buffer pixels, (x1, y1) inclusive top left, (x2, y2) exclusive.
struct D3DRECT
{
    std::int32_t x1 = 0;
    std::int32_t y1 = 0;
    std::int32_t x2 = 0;
    std::int32_t y2 = 0;
};

struct D3DSURFACE_DESC
{
    D3DFORMAT Format = D3DFMT_X8R8G8B8;
    UINT Width = 0; // pixels
    UINT Height = 0;
};

struct D3DPRESENT_PARAMETERS
{
    UINT BackBufferWidth = 0; // pixels
    UINT BackBufferHeight = 0;
    D3DFORMAT BackBufferFormat = D3DFMT_X8R8G8B8;
    HWND hDeviceWindow = nullptr;
    BOOL Windowed = 1;
    BOOL EnableAutoDepthStencil = 1;
    D3DFORMAT AutoDepthStencilFormat = D3DFMT_D24S8;
    UINT PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
};

struct D3DCAPS9
{
    DWORD VertexShaderVersion = 0;
    DWORD PixelShaderVersion = 0;
    DWORD MaxTextureWidth = 0; // pixels
    DWORD MaxTextureHeight = 0;
};

class IDirect3DDevice9
{
public:
    virtual ~IDirect3DDevice9() = default;

    // Fills the listed rectangles (all of the back buffer when count is 0 or rects is null)
    // with the colour, depth (0..1) and stencil value the flags name.
    virtual HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                          DWORD stencil) = 0;
    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    // Shows the back buffer. The arguments exist for the engine's calls and must be null.
    virtual HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindow,
                            const void* dirtyRegion) = 0;
    // Gives the back buffer the size of params; the frame driver calls it between lost and
    // reset.
    virtual HRESULT Reset(D3DPRESENT_PARAMETERS* params) = 0;
    virtual HRESULT GetDeviceCaps(D3DCAPS9* caps) = 0;

    // Our own: the back buffer's size and format.
    virtual D3DSURFACE_DESC GetBackBufferDesc() const = 0;
    // Our own: the back buffer as A8R8G8B8 pixels, top row first, Width x Height of them.
    // False when the pixels cannot be read.
    virtual bool ReadBackBuffer(std::vector<D3DCOLOR>& pixels) = 0;
};
} // namespace plat
