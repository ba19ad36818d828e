// The Direct3D 9 device as the engine sees it: the Direct3D object, the device, and its
// resources (textures with their surfaces, depth surfaces, vertex and index buffers, vertex
// declarations). Two implementations behind these interfaces: OpenGL 3.3 core (gl_device.cpp)
// and the headless memory device (headless_device.cpp).
//
// Every object is reference-counted: AddRef and Release return the new count and the object
// goes at 0. A surface of a texture shares the texture's count. A resource released after its
// device is gone is harmless. A wrong call (null argument, index or range out of bounds, an
// unknown state or value) returns D3DERR_INVALIDCALL and changes nothing.
#pragma once

#include "platform/d3d9caps.h"
#include "platform/d3d9types.h"
#include "platform/win32.h"

#include <vector>

namespace plat
{
using ULONG = std::uint32_t;

class IUnknown
{
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

class IDirect3DDevice9;

class IDirect3DResource9 : public IUnknown
{
public:
    // The device that made the resource, add-referenced; null once the device is gone.
    virtual HRESULT GetDevice(IDirect3DDevice9** device) = 0;
    virtual D3DRESOURCETYPE GetType() = 0;
};

class IDirect3DSurface9 : public IDirect3DResource9
{
public:
    virtual HRESULT GetDesc(D3DSURFACE_DESC* desc) = 0;
    // Only colour surfaces lock. A null rect locks the whole surface.
    virtual HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
    virtual HRESULT UnlockRect() = 0;
};

class IDirect3DBaseTexture9 : public IDirect3DResource9
{
public:
    virtual DWORD GetLevelCount() = 0;
};

class IDirect3DTexture9 : public IDirect3DBaseTexture9
{
public:
    virtual HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) = 0;
    // The level's surface, add-referenced (it shares the texture's count).
    virtual HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) = 0;
    // Packed A8R8G8B8 words (byte 0 blue, 1 green, 2 red, 3 alpha), Pitch bytes a row. Render
    // targets lock read-only. Writes reach the device at UnlockRect.
    virtual HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
    virtual HRESULT UnlockRect(UINT level) = 0;
};

class IDirect3DVertexBuffer9 : public IDirect3DResource9
{
public:
    // offset and size in bytes; size 0 means to the end. The memory stays valid until Unlock,
    // which hands what was written to the device. D3DLOCK_DISCARD: the old contents are
    // dropped; D3DLOCK_READONLY: nothing is handed over.
    virtual HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) = 0;
    virtual HRESULT Unlock() = 0;
    virtual HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) = 0;
};

class IDirect3DIndexBuffer9 : public IDirect3DResource9
{
public:
    virtual HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) = 0;
    virtual HRESULT Unlock() = 0;
    virtual HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) = 0;
};

class IDirect3DVertexDeclaration9 : public IUnknown
{
public:
    // elements null: *count = the number of elements including the end marker.
    virtual HRESULT GetDeclaration(D3DVERTEXELEMENT9* elements, UINT* count) = 0;
};

class IDirect3D9 : public IUnknown
{
public:
    virtual UINT GetAdapterCount() = 0;
    virtual HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER9* identifier) = 0;
    // S_OK when a resource of the type and format can be made (and used as usage says).
    virtual HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat,
                                      DWORD usage, D3DRESOURCETYPE type, D3DFORMAT checkFormat) = 0;
    virtual HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS9* caps) = 0;
};

class IDirect3DDevice9 : public IUnknown
{
public:
    virtual HRESULT GetDirect3D(IDirect3D9** d3d) = 0;
    virtual HRESULT GetDeviceCaps(D3DCAPS9* caps) = 0;

    // ---- Frame ----
    // Fills the listed rectangles (the whole viewport when count is 0 or rects is null), always
    // limited to the viewport, with the colour, depth (0..1) and stencil value the flags name.
    virtual HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                          DWORD stencil) = 0;
    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    // Shows the back buffer. The arguments exist for the engine's calls and must be null.
    virtual HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindow,
                            const void* dirtyRegion) = 0;
    // Gives the back buffer the size of params; the frame driver calls it between lost and
    // reset. DEFAULT-pool resources still alive are named in the log, one line each.
    virtual HRESULT Reset(D3DPRESENT_PARAMETERS* params) = 0;

    // ---- Resources ----
    // levels 0 means the full mip chain. Render targets have one level in the DEFAULT pool.
    virtual HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                  D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* shared) = 0;
    virtual HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                       IDirect3DVertexBuffer9** buffer, HANDLE* shared) = 0;
    virtual HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DIndexBuffer9** buffer, HANDLE* shared) = 0;
    virtual HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                              D3DMULTISAMPLE_TYPE multiSample, DWORD multiSampleQuality,
                                              BOOL discard, IDirect3DSurface9** surface, HANDLE* shared) = 0;
    virtual HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                            IDirect3DVertexDeclaration9** declaration) = 0;

    // ---- Targets ----
    virtual HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                                  IDirect3DSurface9** surface) = 0;
    // Index 0 only. Setting a target resets the viewport to the whole surface.
    virtual HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) = 0;
    virtual HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) = 0;
    // Null: no depth buffer.
    virtual HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) = 0;
    virtual HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) = 0;
    // Copies one colour surface into a render-target surface, scaled; null rectangles mean the
    // whole surfaces. NONE and POINT take the nearest pixel, LINEAR filters.
    virtual HRESULT StretchRect(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* dest,
                                const RECT* destRect, D3DTEXTUREFILTERTYPE filter) = 0;

    // ---- State ----
    virtual HRESULT SetViewport(const D3DVIEWPORT9* viewport) = 0;
    virtual HRESULT GetViewport(D3DVIEWPORT9* viewport) = 0;
    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
    virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) = 0;
    // A user clip plane (a, b, c, d) in clip space: points with a x + b y + c z + d w >= 0 stay.
    virtual HRESULT SetClipPlane(DWORD index, const float* plane) = 0;
    virtual HRESULT GetClipPlane(DWORD index, float* plane) = 0;
    virtual HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) = 0;
    virtual HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) = 0;
    virtual HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) = 0;
    virtual HRESULT GetVertexDeclaration(IDirect3DVertexDeclaration9** declaration) = 0;
    // offset and stride in bytes; the stride need not match the declaration's extent.
    virtual HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset,
                                    UINT stride) = 0;
    virtual HRESULT GetStreamSource(UINT stream, IDirect3DVertexBuffer9** buffer, UINT* offset,
                                    UINT* stride) = 0;
    virtual HRESULT SetIndices(IDirect3DIndexBuffer9* indices) = 0;
    virtual HRESULT GetIndices(IDirect3DIndexBuffer9** indices) = 0;

    // ---- Drawing ----
    // Indices from the index buffer (from startIndex), each plus baseVertexIndex, into stream 0.
    virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, int baseVertexIndex, UINT minIndex,
                                         UINT numVertices, UINT startIndex, UINT primitiveCount) = 0;
    // Vertices from memory, stride bytes apart; stream 0 is unset afterwards.
    virtual HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices,
                                    UINT stride) = 0;

    // Our own: the back buffer's size and format.
    virtual D3DSURFACE_DESC GetBackBufferDesc() = 0;
    // Our own: the back buffer as A8R8G8B8 pixels, top row first, Width x Height of them.
    // False when the pixels cannot be read.
    virtual bool ReadBackBuffer(std::vector<D3DCOLOR>& pixels) = 0;
    // Our own: the picture Present puts into the main window, at the window's size in pixels:
    // the back buffer scaled with its aspect kept, black bars beside it (platform/presentation.h);
    // A8R8G8B8, top row first. False, nothing written, where no window shows the device
    // (headless).
    virtual bool ReadWindowPicture(std::vector<D3DCOLOR>& pixels, UINT& width, UINT& height) = 0;
};
} // namespace plat
