// What a device lets tests and tools see of itself: the registry of every resource it made,
// an ordered log of the calls that draw (off until a test turns it on), and counters. Both
// devices keep them; the headless one is where tests read them (headless.h has shortcuts for
// the frame driver's device).
#pragma once

#include "platform/d3dx9.h"

#include <string>
#include <vector>

namespace plat::devicedebug
{
enum class ResourceKind
{
    Texture,
    DepthStencilSurface,
    VertexBuffer,
    IndexBuffer,
    VertexDeclaration,
};

const char* KindName(ResourceKind kind);

struct ResourceInfo
{
    ResourceKind kind = ResourceKind::Texture;
    bool pooled = true; // false for vertex declarations, which live outside the pools
    D3DPOOL pool = D3DPOOL_DEFAULT;
    DWORD usage = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    UINT width = 0; // pixels (textures, surfaces)
    UINT height = 0;
    UINT levels = 0;       // textures
    UINT size = 0;         // bytes (buffers)
    unsigned creation = 0; // 1 for the first resource the device made
    ULONG count = 0;       // references held, the device's own included
    bool live = true;
    // The device's back buffer and its automatic depth surface, which it keeps itself.
    bool implicit = false;
    std::string file; // textures loaded from a file: the name as given
};

enum class CallKind
{
    BeginScene,
    EndScene,
    Clear,
    Draw,
    StretchRect,
    SpriteBegin,
    SpriteDraw,
    SpriteEnd,
    DrawText,
    Line,
    SaveSurface,
    Present,
    EffectLost,  // an effect's OnLostDevice
    EffectReset, // an effect's OnResetDevice
    SetStreamSource,
    SetIndices,
};

const char* CallName(CallKind kind);

struct LoggedCall
{
    CallKind kind = CallKind::Draw;
    // SpriteDraw: the texture's file; DrawText: the face asked for; SaveSurface: the file;
    // Draw: the effect pass drawing as "<effect file name>/<technique>/<pass index>" (for
    // example "Water2.fx/RenderPlanarWater/0"), empty for the device's own program, "batch"
    // for the sprite and line batches; EffectLost, EffectReset: the effect's file name.
    std::string name;
    std::wstring text; // DrawText
    // Clear: the rectangle filled; StretchRect: the source rectangle; SpriteDraw: the source
    // rectangle; DrawText: the rectangle given.
    RECT rect;
    // StretchRect: the destination rectangle; DrawText: the rectangle after the call.
    RECT rectOut;
    D3DXMATRIX matrix;  // SpriteDraw: the transform; Line: the matrix
    D3DCOLOR color = 0; // Clear, SpriteDraw, DrawText, Line
    // Clear: the flags; DrawText: the format; SpriteBegin: its flags; StretchRect: the filter;
    // SetStreamSource: the stride; Draw (of an effect pass or the device's own program): the fill
    // mode.
    DWORD flags = 0;
    // DrawText: the font's height; SpriteBegin: nesting depth 1; SetStreamSource: the stream.
    std::int32_t size = 0;
    // Creation numbers: Clear and Draw the colour target; StretchRect the destination and
    // (source) the source; SaveSurface the surface's texture; SetStreamSource and SetIndices
    // (source) the buffer, 0 for none.
    unsigned target = 0;
    unsigned source = 0;
    D3DPRIMITIVETYPE primitiveType = D3DPT_TRIANGLELIST; // Draw
    UINT primitiveCount = 0;                             // Draw
    UINT vertexCount = 0;                                // Draw
    UINT textureCount = 0;                               // Draw: textures bound
    std::int32_t result = 0;                             // DrawText: the height returned
    std::vector<D3DXVECTOR4> points; // Line: the points after the matrix and the w division
};

struct DeviceStatistics
{
    unsigned draws = 0;    // draw calls reaching the backend (one per sprite or line batch)
    unsigned glErrors = 0; // OpenGL errors seen by the checks of debug builds
    unsigned presents = 0;
    unsigned effectPrograms = 0; // OpenGL programs linked for effect passes
    unsigned uniformUploads = 0; // OpenGL uniform calls that carried effect values
    unsigned resets = 0;         // successful Reset calls
};

// All resources the device made, in creation order, released ones included (the last
// DeviceLink::kReleasedKept of them).
std::vector<ResourceInfo> Resources(IDirect3DDevice9* device);
// DEFAULT-pool resources alive that the device does not keep itself.
unsigned LiveDefaultResources(IDirect3DDevice9* device);

void SetCallLogging(IDirect3DDevice9* device, bool on);
const std::vector<LoggedCall>& CallLog(IDirect3DDevice9* device);
void ClearCallLog(IDirect3DDevice9* device);

DeviceStatistics Statistics(IDirect3DDevice9* device);
void ResetStatistics(IDirect3DDevice9* device);

// The creation number of the resource behind a surface or texture of the device (0 for null).
unsigned CreationNumber(IDirect3DResource9* resource);
// The file a texture was loaded from, empty otherwise.
std::string TextureFile(IDirect3DBaseTexture9* texture);
} // namespace plat::devicedebug
