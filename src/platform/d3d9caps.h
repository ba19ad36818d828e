// What a device and its adapter report about themselves: the caps record the device-acceptance
// test reads, the adapter identifier, the device types. Both devices report passing values
// (the OpenGL one from its context, the headless one from what a test set).
#pragma once

#include "platform/d3d9types.h"

namespace plat
{
enum D3DDEVTYPE : std::uint32_t
{
    D3DDEVTYPE_HAL = 1,
    D3DDEVTYPE_REF = 2,
};

// Shader model numbers as the caps report them.
constexpr DWORD D3DVS_VERSION(DWORD major, DWORD minor)
{
    return 0xFFFE0000u | (major << 8) | minor;
}
constexpr DWORD D3DPS_VERSION(DWORD major, DWORD minor)
{
    return 0xFFFF0000u | (major << 8) | minor;
}

// DevCaps
constexpr DWORD D3DDEVCAPS_DRAWPRIMTLVERTEX = 0x400;
constexpr DWORD D3DDEVCAPS_HWTRANSFORMANDLIGHT = 0x10000;
constexpr DWORD D3DDEVCAPS_HWRASTERIZATION = 0x80000;
// PrimitiveMiscCaps
constexpr DWORD D3DPMISCCAPS_CULLNONE = 0x10;
constexpr DWORD D3DPMISCCAPS_CULLCW = 0x20;
constexpr DWORD D3DPMISCCAPS_CULLCCW = 0x40;
// RasterCaps
constexpr DWORD D3DPRASTERCAPS_FOGVERTEX = 0x80;
// ShadeCaps
constexpr DWORD D3DPSHADECAPS_COLORGOURAUDRGB = 0x8;
// TextureCaps
constexpr DWORD D3DPTEXTURECAPS_ALPHA = 0x4;
constexpr DWORD D3DPTEXTURECAPS_CUBEMAP = 0x800;
constexpr DWORD D3DPTEXTURECAPS_MIPMAP = 0x4000;
// TextureOpCaps
constexpr DWORD D3DTEXOPCAPS_DISABLE = 0x1;
constexpr DWORD D3DTEXOPCAPS_SELECTARG1 = 0x2;
constexpr DWORD D3DTEXOPCAPS_SELECTARG2 = 0x4;
constexpr DWORD D3DTEXOPCAPS_MODULATE = 0x8;
constexpr DWORD D3DTEXOPCAPS_ADD = 0x40;
constexpr DWORD D3DTEXOPCAPS_SUBTRACT = 0x200;

struct D3DCAPS9
{
    D3DDEVTYPE DeviceType = D3DDEVTYPE_HAL;
    UINT AdapterOrdinal = 0;
    UINT PresentationIntervals = 0; // D3DPRESENT_INTERVAL_ bits
    DWORD DevCaps = 0;
    DWORD PrimitiveMiscCaps = 0;
    DWORD RasterCaps = 0;
    DWORD ShadeCaps = 0;
    DWORD TextureCaps = 0;
    DWORD MaxTextureWidth = 0; // pixels
    DWORD MaxTextureHeight = 0;
    DWORD TextureOpCaps = 0;
    DWORD MaxActiveLights = 0;
    DWORD MaxUserClipPlanes = 0;
    DWORD MaxSimultaneousTextures = 0;
    DWORD NumSimultaneousRTs = 0;
    DWORD VertexShaderVersion = 0;
    DWORD PixelShaderVersion = 0;
};

// A caps record with every bit the engine tests set, shader model 3.0, eight lights and the
// given largest texture: what both devices report unless a test says otherwise.
D3DCAPS9 PassingCaps(DWORD maxTextureSize);

struct D3DADAPTER_IDENTIFIER9
{
    char Driver[512] = {};
    char Description[512] = {};
    char DeviceName[32] = {};
    DWORD VendorId = 0;
    DWORD DeviceId = 0;
};
} // namespace plat
