// Plain records and constants of the Direct3D 9 model that the engine keeps: colours,
// vectors, lights, formats, pools, render states, vertex declarations, viewports and surface
// descriptions. Only the members and values the engine uses are declared; numbers the engine's
// data or code rely on keep Direct3D 9's values.
#pragma once

#include "platform/win32.h"

#include <cstdint>

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

struct D3DCOLORVALUE
{
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
};

struct D3DVECTOR
{
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

enum D3DLIGHTTYPE : std::uint32_t
{
    D3DLIGHT_POINT = 1,
    D3DLIGHT_SPOT = 2,
    D3DLIGHT_DIRECTIONAL = 3,
};

struct D3DLIGHT9
{
    D3DLIGHTTYPE Type = D3DLIGHT_POINT;
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Ambient;
    D3DVECTOR Position;
    D3DVECTOR Direction;
    float Range = 0.0f;
    float Falloff = 0.0f;
    float Attenuation0 = 0.0f;
    float Attenuation1 = 0.0f;
    float Attenuation2 = 0.0f;
    float Theta = 0.0f; // inner cone, radians
    float Phi = 0.0f;   // outer cone, radians
};

// ---- Formats, pools, usage ------------------------------------------------------------------

enum D3DFORMAT : std::uint32_t
{
    D3DFMT_UNKNOWN = 0,
    D3DFMT_A8R8G8B8 = 21, // 32-bit words 0xAARRGGBB: bytes B, G, R, A in memory
    D3DFMT_X8R8G8B8 = 22, // the same layout, alpha read as 255
    D3DFMT_D24S8 = 75,
    D3DFMT_VERTEXDATA = 100,
    D3DFMT_INDEX16 = 101,
    D3DFMT_INDEX32 = 102,
};

enum D3DPOOL : std::uint32_t
{
    D3DPOOL_DEFAULT = 0,   // lives on the device: released before a reset, made again after
    D3DPOOL_MANAGED = 1,   // kept by the device across resets
    D3DPOOL_SYSTEMMEM = 2, // memory only, kept across resets
};

constexpr DWORD D3DUSAGE_RENDERTARGET = 0x1;
constexpr DWORD D3DUSAGE_DEPTHSTENCIL = 0x2;
constexpr DWORD D3DUSAGE_WRITEONLY = 0x8;
constexpr DWORD D3DUSAGE_DYNAMIC = 0x200;
constexpr DWORD D3DUSAGE_QUERY_POSTPIXELSHADER_BLENDING = 0x80000;

enum D3DRESOURCETYPE : std::uint32_t
{
    D3DRTYPE_SURFACE = 1,
    D3DRTYPE_TEXTURE = 3,
    D3DRTYPE_VERTEXBUFFER = 6,
    D3DRTYPE_INDEXBUFFER = 7,
};

enum D3DMULTISAMPLE_TYPE : std::uint32_t
{
    D3DMULTISAMPLE_NONE = 0,
};

constexpr DWORD D3DLOCK_READONLY = 0x10;
constexpr DWORD D3DLOCK_NOOVERWRITE = 0x1000;
constexpr DWORD D3DLOCK_DISCARD = 0x2000;

// ---- Render states ----------------------------------------------------------------------------

enum D3DRENDERSTATETYPE : std::uint32_t
{
    D3DRS_ZENABLE = 7,
    D3DRS_FILLMODE = 8,
    D3DRS_ZWRITEENABLE = 14,
    D3DRS_SRCBLEND = 19,
    D3DRS_DESTBLEND = 20,
    D3DRS_CULLMODE = 22,
    D3DRS_ALPHABLENDENABLE = 27,
    D3DRS_CLIPPLANEENABLE = 152, // bit i enables user clip plane i (0 to 5)
    D3DRS_MULTISAMPLEANTIALIAS = 161,
};

enum D3DFILLMODE : std::uint32_t
{
    D3DFILL_POINT = 1,
    D3DFILL_WIREFRAME = 2,
    D3DFILL_SOLID = 3,
};

// Which faces are culled, by their winding as seen on the screen.
enum D3DCULL : std::uint32_t
{
    D3DCULL_NONE = 1,
    D3DCULL_CW = 2,
    D3DCULL_CCW = 3,
};

enum D3DBLEND : std::uint32_t
{
    D3DBLEND_ZERO = 1,
    D3DBLEND_ONE = 2,
    D3DBLEND_SRCCOLOR = 3,
    D3DBLEND_INVSRCCOLOR = 4,
    D3DBLEND_SRCALPHA = 5,
    D3DBLEND_INVSRCALPHA = 6,
    D3DBLEND_DESTALPHA = 7,
    D3DBLEND_INVDESTALPHA = 8,
    D3DBLEND_DESTCOLOR = 9,
    D3DBLEND_INVDESTCOLOR = 10,
};

enum D3DZBUFFERTYPE : std::uint32_t
{
    D3DZB_FALSE = 0,
    D3DZB_TRUE = 1,
};

constexpr DWORD D3DCLIPPLANE0 = 0x1;
constexpr DWORD D3DCLIPPLANE1 = 0x2;
constexpr DWORD D3DCLIPPLANE2 = 0x4;
constexpr DWORD D3DCLIPPLANE3 = 0x8;
constexpr DWORD D3DCLIPPLANE4 = 0x10;
constexpr DWORD D3DCLIPPLANE5 = 0x20;
constexpr DWORD kMaxClipPlanes = 6;
constexpr DWORD kMaxTextureStages = 16;
constexpr DWORD kMaxStreams = 4;

// ---- Drawing ------------------------------------------------------------------------------------

enum D3DPRIMITIVETYPE : std::uint32_t
{
    D3DPT_POINTLIST = 1,
    D3DPT_LINELIST = 2,
    D3DPT_LINESTRIP = 3,
    D3DPT_TRIANGLELIST = 4,
    D3DPT_TRIANGLESTRIP = 5,
    D3DPT_TRIANGLEFAN = 6,
};

// The vertices a draw of count primitives of the type reads; 0 for an unknown type.
constexpr UINT VertexCountOf(D3DPRIMITIVETYPE type, UINT count)
{
    switch (type)
    {
    case D3DPT_POINTLIST:
        return count;
    case D3DPT_LINELIST:
        return count * 2;
    case D3DPT_LINESTRIP:
        return count == 0 ? 0 : count + 1;
    case D3DPT_TRIANGLELIST:
        return count * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        return count == 0 ? 0 : count + 2;
    }
    return 0;
}

enum D3DTEXTUREFILTERTYPE : std::uint32_t
{
    D3DTEXF_NONE = 0,
    D3DTEXF_POINT = 1,
    D3DTEXF_LINEAR = 2,
};

enum D3DBACKBUFFER_TYPE : std::uint32_t
{
    D3DBACKBUFFER_TYPE_MONO = 0,
};

constexpr DWORD D3DCLEAR_TARGET = 0x1;
constexpr DWORD D3DCLEAR_ZBUFFER = 0x2;
constexpr DWORD D3DCLEAR_STENCIL = 0x4;

// A rectangle in pixels, (x1, y1) inclusive top left, (x2, y2) exclusive.
struct D3DRECT
{
    std::int32_t x1 = 0;
    std::int32_t y1 = 0;
    std::int32_t x2 = 0;
    std::int32_t y2 = 0;
};

// The part of the render target drawn into: pixels from the top left, and the depth range
// the projection's 0..1 lands in (usually 0..1).
struct D3DVIEWPORT9
{
    DWORD X = 0;
    DWORD Y = 0;
    DWORD Width = 0;
    DWORD Height = 0;
    float MinZ = 0.0f;
    float MaxZ = 1.0f;
};

// ---- Vertex declarations ----------------------------------------------------------------------

enum D3DDECLTYPE : std::uint8_t
{
    D3DDECLTYPE_FLOAT1 = 0,
    D3DDECLTYPE_FLOAT2 = 1,
    D3DDECLTYPE_FLOAT3 = 2,
    D3DDECLTYPE_FLOAT4 = 3,
    D3DDECLTYPE_D3DCOLOR = 4, // four bytes B, G, R, A, read as normalised r, g, b, a
    D3DDECLTYPE_UNUSED = 17,
};

enum D3DDECLMETHOD : std::uint8_t
{
    D3DDECLMETHOD_DEFAULT = 0,
};

enum D3DDECLUSAGE : std::uint8_t
{
    D3DDECLUSAGE_POSITION = 0,
    D3DDECLUSAGE_NORMAL = 3,
    D3DDECLUSAGE_TEXCOORD = 5,
    D3DDECLUSAGE_TANGENT = 6,
    D3DDECLUSAGE_BINORMAL = 7,
    D3DDECLUSAGE_POSITIONT = 9, // pre-transformed: x, y in render-target pixels, z depth, rhw
    D3DDECLUSAGE_COLOR = 10,
};

struct D3DVERTEXELEMENT9
{
    std::uint16_t Stream = 0;
    std::uint16_t Offset = 0; // bytes from the start of the vertex
    std::uint8_t Type = D3DDECLTYPE_FLOAT3;
    std::uint8_t Method = D3DDECLMETHOD_DEFAULT;
    std::uint8_t Usage = D3DDECLUSAGE_POSITION;
    std::uint8_t UsageIndex = 0;
};

// The element that ends every declaration.
constexpr D3DVERTEXELEMENT9 D3DDECL_END()
{
    return D3DVERTEXELEMENT9{0xFF, 0, D3DDECLTYPE_UNUSED, 0, 0, 0};
}

// The attribute location each element usage reaches in every OpenGL program, the device's
// own and the effects'.
enum AttributeLocation : std::uint32_t
{
    kAttribPosition = 0, // POSITION and POSITIONT
    kAttribNormal = 1,
    kAttribTexCoord0 = 2,
    kAttribTangent = 3,
    kAttribBinormal = 4,
    kAttribColor = 5,
    kAttribTexCoord1 = 6,
    kAttribCount = 7,
};

// ---- Surfaces and buffers ---------------------------------------------------------------------

struct D3DSURFACE_DESC
{
    D3DFORMAT Format = D3DFMT_X8R8G8B8;
    D3DRESOURCETYPE Type = D3DRTYPE_SURFACE;
    DWORD Usage = 0;
    D3DPOOL Pool = D3DPOOL_DEFAULT;
    D3DMULTISAMPLE_TYPE MultiSampleType = D3DMULTISAMPLE_NONE;
    DWORD MultiSampleQuality = 0;
    UINT Width = 0; // pixels
    UINT Height = 0;
};

// A locked rectangle: rows of Pitch bytes, the first row at pBits.
struct D3DLOCKED_RECT
{
    std::int32_t Pitch = 0;
    void* pBits = nullptr;
};

struct D3DVERTEXBUFFER_DESC
{
    D3DFORMAT Format = D3DFMT_VERTEXDATA;
    D3DRESOURCETYPE Type = D3DRTYPE_VERTEXBUFFER;
    DWORD Usage = 0;
    D3DPOOL Pool = D3DPOOL_DEFAULT;
    UINT Size = 0; // bytes
    DWORD FVF = 0;
};

struct D3DINDEXBUFFER_DESC
{
    D3DFORMAT Format = D3DFMT_INDEX16;
    D3DRESOURCETYPE Type = D3DRTYPE_INDEXBUFFER;
    DWORD Usage = 0;
    D3DPOOL Pool = D3DPOOL_DEFAULT;
    UINT Size = 0; // bytes
};

// ---- Presentation -----------------------------------------------------------------------------

enum D3DSWAPEFFECT : std::uint32_t
{
    D3DSWAPEFFECT_DISCARD = 1,
    D3DSWAPEFFECT_FLIP = 2,
    D3DSWAPEFFECT_COPY = 3,
};

constexpr UINT D3DPRESENT_INTERVAL_DEFAULT = 0x0;
constexpr UINT D3DPRESENT_INTERVAL_ONE = 0x1;
constexpr UINT D3DPRESENT_INTERVAL_IMMEDIATE = 0x80000000u; // no vertical sync

struct D3DPRESENT_PARAMETERS
{
    UINT BackBufferWidth = 0; // pixels
    UINT BackBufferHeight = 0;
    D3DFORMAT BackBufferFormat = D3DFMT_X8R8G8B8;
    UINT BackBufferCount = 1;
    D3DMULTISAMPLE_TYPE MultiSampleType = D3DMULTISAMPLE_NONE;
    DWORD MultiSampleQuality = 0;
    D3DSWAPEFFECT SwapEffect = D3DSWAPEFFECT_DISCARD;
    HWND hDeviceWindow = nullptr;
    BOOL Windowed = 1;
    BOOL EnableAutoDepthStencil = 1;
    D3DFORMAT AutoDepthStencilFormat = D3DFMT_D24S8;
    DWORD Flags = 0;
    UINT FullScreen_RefreshRateInHz = 0;
    UINT PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
};

constexpr UINT D3DADAPTER_DEFAULT = 0;

constexpr HRESULT D3DERR_NOTFOUND = static_cast<HRESULT>(0x88760866u);
constexpr HRESULT D3DERR_DEVICELOST = static_cast<HRESULT>(0x88760868u);
constexpr HRESULT D3DERR_NOTAVAILABLE = static_cast<HRESULT>(0x8876086Au);
constexpr HRESULT D3DERR_OUTOFVIDEOMEMORY = static_cast<HRESULT>(0x8876017Cu);
constexpr HRESULT D3DERR_INVALIDCALL = static_cast<HRESULT>(0x8876086Cu);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
} // namespace plat
