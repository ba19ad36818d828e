// The device core: owner of the device and of what is global to it. It makes the device through
// the frame driver with its own acceptance test and settings, keeps the presentation settings,
// the four vertex declarations every pass draws with, the back-buffer size, the fill mode, the
// four viewport records with their cameras, the current view and projection and the frame time,
// and writes the shared effect values (camera, light, fog, time). The rest of graphics reaches
// the device through its thin wrappers. The core holds one reference to the device and to the
// Direct3D object, and owns its declarations; the facade makes it and creates the device once.
#pragma once

#include "common/math/CFrustum.h"
#include "common/math/Matrix4.h"
#include "common/math/Vector3.h"
#include "engine/gfx/core/FXHandleTable.h"
#include "platform/d3dx9.h"

#include <array>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace math
{
class AABB;
class Sphere;
} // namespace math

namespace plat
{
struct DXUTDeviceSettings;
}

namespace dorvo
{
class CDorvoCamera;

namespace gfx
{
struct D3DRenderBuffers;
struct GfxRenderBuffers;
struct SVRenderBuffers;
class ISharedEffectParameters;
struct SRenderRecord;

struct SViewportRecord
{
    math::Vector3 eye;    // world units
    math::Vector3 lookAt; // world units
    math::CFrustum frustum;
    math::Matrix4 view;
    math::Matrix4 projection;
    plat::D3DVIEWPORT9 viewport{0, 0, 0, 0, 0.0f, 0.0f};
    // The camera's projection the frustum's spreads were last computed from; 0 until a camera
    // was handed over.
    float fieldOfView = 0.0f; // radians, vertical
    float aspect = 0.0f;      // width / height
};

// The four declarations the core makes, in their order.
enum EVertexDeclaration : unsigned
{
    VD_General,    // the engine's 96-byte vertex: position, normal, uv, tangent, binormal, colour
    VD_Shadow,     // position and normal
    VD_ScreenQuad, // pre-transformed position and two texture coordinates
    VD_Particle,   // position, a three-float texture coordinate and colour
    VD_Count
};

class CGFXCore
{
public:
    static constexpr unsigned kViewportCount = 4;

    // The one device core of the program, made on first use.
    static CGFXCore& Instance();

    // No device, time 0, visibility optimisation on, records zeroed, none current, 800 x 600
    // windowed with solid fill and multisample antialiasing. Lends the picker its unproject
    // service while it lives.
    CGFXCore();
    // Releases the declarations, the device and the Direct3D object.
    virtual ~CGFXCore();

    CGFXCore(const CGFXCore&) = delete;
    CGFXCore& operator=(const CGFXCore&) = delete;

    // ---- Device lifetime ----
    // Settings for the device, set before CreateDevice.
    void SetFullScreen(bool fullScreen) { m_fullScreen = fullScreen; }
    void SetBackBufferSize(unsigned width, unsigned height); // pixels
    void SetMultisampleAntialias(bool on) { m_multisampleAntialias = on; }
    void SetFillMode(plat::D3DFILLMODE fillMode) { m_fillMode = fillMode; }
    bool IsFullScreen() const { return m_fullScreen; }
    bool GetMultisampleAntialias() const { return m_multisampleAntialias; }
    plat::D3DFILLMODE GetFillMode() const { return m_fillMode; }

    // Makes the device (and the main window when there is none) through the frame driver at the
    // stored size, with TestDevice and ModifyDeviceSettings. On failure the user is shown the
    // error box and the result is false. A device held from before is let go first.
    bool CreateDevice();
    // The frame driver's acceptance test (context: the core): true for a device that meets the
    // game's minimum, counted in GetAcceptedDeviceCount.
    static bool TestDevice(plat::D3DCAPS9* caps, plat::D3DFORMAT adapterFormat,
                           plat::D3DFORMAT backBufferFormat, bool windowed, void* context);
    // The frame driver's settings callback: the performance tool's adapter with the reference
    // device when there is one, else adapter 0 with the hardware device; A8R8G8B8, discard,
    // D24S8 depth, no vertical sync. Always true.
    static bool ModifyDeviceSettings(plat::DXUTDeviceSettings* settings, const plat::D3DCAPS9* caps,
                                     void* context);
    unsigned GetAcceptedDeviceCount() const { return m_acceptedDevices; }

    // Around a device reset. The frame driver resets the device itself; the core only lets go
    // of its declarations and makes them again, then reads the new back-buffer size and the
    // device's viewport into record 0.
    void OnLostDevice();
    void OnResetDevice();
    // Lets go of the declarations, the device and the Direct3D object.
    void Release();

    // Not add-referenced; null before CreateDevice.
    plat::IDirect3DDevice9* GetDevice() const { return m_pDevice; }
    plat::IDirect3D9* GetDirect3D() const { return m_pD3D; }
    plat::IDirect3DVertexDeclaration9* GetDeclaration(EVertexDeclaration which) const;
    const plat::D3DPRESENT_PARAMETERS& GetPresentParameters() const { return m_presentParameters; }
    // The back buffer's size in pixels, as asked before creation and as found at every reset.
    unsigned GetScreenWidth() const { return m_backBufferWidth; }
    unsigned GetScreenHeight() const { return m_backBufferHeight; }

    // ---- Frame ----
    // Seconds since start and since the last frame; written by the facade every frame.
    void SetFrameTime(double time, float dt);
    double GetFrameTime() const { return m_frameTime; }
    float GetFrameDt() const { return m_frameDt; }

    // Default render states, the general declaration, BeginScene, the clear to opaque black,
    // then the shared fog, time and shadow values.
    void BeginFrame();
    // Record index (0 to 3) becomes current; its view, projection and viewport go to the device
    // and the shared values. An index out of range is reported and changes nothing.
    void SetViewport(unsigned index);
    // Store the matrix and write the shared camera values. A new view also makes the next
    // traversal test visibility again.
    void SetView(const math::Matrix4& view);
    void SetProjection(const math::Matrix4& projection);
    const math::Matrix4& GetView() const { return m_view; }
    const math::Matrix4& GetProjection() const { return m_projection; }
    // The light's shared values (a directional light's direction goes to "g_LightPos").
    void SetLight(const plat::D3DLIGHT9& light);
    // Ends the scene; the next geometry binding sets the streams again.
    void EndScene();

    // The camera's matrices, eye, look-at, near and far into record index, and its frustum
    // rebuilt; the frustum's spreads only when the field of view or the aspect changed.
    void SetViewCamera(const CDorvoCamera& camera, unsigned index);

    // Index 0 to 3; an index out of range is reported and gives record 0.
    SViewportRecord& GetViewportRecord(unsigned index);
    const SViewportRecord& GetViewportRecord(unsigned index) const;
    // Null until SetViewport (or CreateDevice, which makes record 0 current).
    const SViewportRecord* GetCurrentViewport() const { return m_pCurrentViewport; }
    // 0 to 3; 0 while none is current.
    unsigned GetCurrentViewportIndex() const;

    // The world point under a screen point (x, y in back-buffer pixels, z the viewport depth)
    // with the current viewport, projection and view and an identity world. False, world
    // unchanged, without a current viewport or when it has no area. A flat depth range is
    // read as the near plane.
    bool Unproject(const math::Vector3& screen, math::Vector3& world) const;

    // Scene-graph visibility optimisation (on by default): with it, a scene pass marks its
    // visibility results valid until the view changes.
    void SetVisibilityOptimization(bool on) { m_visibilityOptimization = on; }
    bool GetVisibilityOptimization() const { return m_visibilityOptimization; }
    void SetVisibilityValid(bool valid) { m_visibilityValid = valid; }
    bool IsVisibilityValid() const { return m_visibilityValid; }
    // Set by the facade while the pass of viewport record 1 runs.
    void SetSecondViewport(bool on) { m_secondViewport = on; }
    bool IsSecondViewport() const { return m_secondViewport; }

    // Where the shared effect values go (the effect manager installs itself); null: nowhere.
    void SetSharedParameterTarget(ISharedEffectParameters* target) { m_pSharedParameters = target; }
    ISharedEffectParameters* GetSharedParameterTarget() const { return m_pSharedParameters; }

    // ---- Geometry ----
    // A new geometry id, from 1 up, program-wide.
    static unsigned NewGeometryId();
    // Stream 0 and the indices from the record, unless its id is bound already in this scene.
    void BindGeometryBuffer(const D3DRenderBuffers& buffers, unsigned stride);
    unsigned GetLastGeometryId() const { return m_lastGeometryId; }
    // Over the positions that open count vertices kUnitVertexStride bytes apart. The box holds
    // the least and greatest coordinates, an axis whose two are equal widened by 0.01 on each
    // side; the sphere (taken before widening) is centred in the box with the half diagonal as
    // radius. False, out unchanged, for no vertices.
    static bool ComputeBoundingSphere(const void* vertices, unsigned count, math::Sphere& sphere);
    static bool ComputeBoundingBox(const void* vertices, unsigned count, math::AABB& box);

    // ---- Mesh geometry (CGFXCoreGeometry.cpp) ----
    // Every vertex's normal: the mean of the distinct directions of the triangles around it
    // (a direction counts once however many triangles share it; not renormalised, so a corner
    // of two faces at a right angle has length about 0.707). Triangles without area count for
    // nothing; a vertex in no triangle gets (0, 0, 0).
    static void ComputeVertexNormals(GfxRenderBuffers& mesh);
    // Every vertex's tangent (the direction of growing u, made perpendicular to the normal and
    // unit length, or (0, 0, 0) when there is none) and binormal (normal x tangent), from the
    // normals, positions and texture coordinates. Triangles whose texture coordinates span no
    // area add nothing.
    static void ComputeTangentFrames(GfxRenderBuffers& mesh);
    // Heights from 0 to 1 sampled on a columns x rows grid from the green channel of an image
    // in the texture folder, each the mean of the 3 x 3 pixels around its sample point, written
    // row by row with a row stride of columns. The grid is cut to the image's size; cells beyond
    // it are left as they were. An image that cannot be read gives heights 0 and one line
    // naming the file; a grid without columns or rows writes nothing. heights must hold
    // columns x rows values. False when no image was read.
    bool ReadHeightMap(const std::string& fileName, std::vector<float>& heights, unsigned columns,
                       unsigned rows);
    // The record's vertex buffer (vertexCount x stride bytes) and index buffer (indexCount 16-bit
    // indices), dynamic and write-only in the default pool; what it held before is let go. False,
    // with null buffers and the counts kept, when either cannot be made or a count is 0.
    bool CreateRenderBuffers(D3DRenderBuffers& buffers);
    // Both buffers locked with discard and filled whole from the arrays, which hold the
    // record's counts (and its stride: 96 for unit vertices, 24 for shadow vertices).
    bool FillRenderBuffers(D3DRenderBuffers& buffers, const GfxRenderBuffers& source);
    bool FillRenderBuffers(D3DRenderBuffers& buffers, const SVRenderBuffers& source);

    // ---- Thin wrappers: the device call of the same name, its result returned; without a
    // device D3DERR_INVALIDCALL. ----
    plat::HRESULT Clear(plat::DWORD flags, plat::D3DCOLOR color, float z, plat::DWORD stencil);
    plat::HRESULT Present(const plat::RECT* sourceRect, const plat::RECT* destRect, plat::HWND window,
                          const void* dirtyRegion);
    plat::HRESULT SetRenderState(plat::D3DRENDERSTATETYPE state, plat::DWORD value);
    plat::HRESULT SetRenderTarget(plat::DWORD index, plat::IDirect3DSurface9* surface);
    plat::HRESULT GetRenderTarget(plat::DWORD index, plat::IDirect3DSurface9** surface);
    plat::HRESULT SetDepthStencilSurface(plat::IDirect3DSurface9* surface);
    plat::HRESULT GetDepthStencilSurface(plat::IDirect3DSurface9** surface);
    plat::HRESULT CreateDepthStencilSurface(plat::UINT width, plat::UINT height, plat::D3DFORMAT format,
                                            plat::D3DMULTISAMPLE_TYPE multiSample, plat::DWORD quality,
                                            plat::BOOL discard, plat::IDirect3DSurface9** surface);
    // One level, render-target usage, the default pool.
    plat::HRESULT CreateRenderTargetTexture(plat::UINT width, plat::UINT height, plat::D3DFORMAT format,
                                            plat::IDirect3DTexture9** texture);
    plat::HRESULT CreateVertexBuffer(plat::UINT length, plat::DWORD usage, plat::DWORD fvf,
                                     plat::D3DPOOL pool, plat::IDirect3DVertexBuffer9** buffer);
    plat::HRESULT CreateIndexBuffer(plat::UINT length, plat::DWORD usage, plat::D3DFORMAT format,
                                    plat::D3DPOOL pool, plat::IDirect3DIndexBuffer9** buffer);
    plat::HRESULT SetStreamSource(plat::UINT stream, plat::IDirect3DVertexBuffer9* buffer, plat::UINT offset,
                                  plat::UINT stride);
    plat::HRESULT SetIndices(plat::IDirect3DIndexBuffer9* indices);
    plat::HRESULT DrawIndexedPrimitive(plat::D3DPRIMITIVETYPE type, int baseVertex, plat::UINT minIndex,
                                       plat::UINT vertexCount, plat::UINT startIndex,
                                       plat::UINT primitiveCount);
    plat::HRESULT DrawPrimitiveUP(plat::D3DPRIMITIVETYPE type, plat::UINT primitiveCount,
                                  const void* vertices, plat::UINT stride);
    plat::HRESULT ApplyViewport(const plat::D3DVIEWPORT9& viewport);
    plat::HRESULT SetVertexDeclaration(plat::IDirect3DVertexDeclaration9* declaration);
    plat::HRESULT SetVertexDeclaration(EVertexDeclaration which);
    plat::HRESULT StretchRect(plat::IDirect3DSurface9* source, const plat::RECT* sourceRect,
                              plat::IDirect3DSurface9* dest, const plat::RECT* destRect,
                              plat::D3DTEXTUREFILTERTYPE filter);
    plat::HRESULT GetBackBuffer(plat::UINT swapChain, plat::UINT index, plat::IDirect3DSurface9** surface);
    plat::HRESULT SetClipPlane(plat::DWORD index, const float* plane);
    plat::HRESULT GetClipPlane(plat::DWORD index, float* plane);
    // The whole buffer (offset 0, size 0).
    plat::HRESULT LockWhole(plat::IDirect3DVertexBuffer9* buffer, plat::DWORD flags, void** data);
    plat::HRESULT LockWhole(plat::IDirect3DIndexBuffer9* buffer, plat::DWORD flags, void** data);
    plat::HRESULT Unlock(plat::IDirect3DVertexBuffer9* buffer);
    plat::HRESULT Unlock(plat::IDirect3DIndexBuffer9* buffer);
    plat::HRESULT GetSurfaceLevel(plat::IDirect3DTexture9* texture, plat::UINT level,
                                  plat::IDirect3DSurface9** surface);
    plat::HRESULT CreateSprite(plat::ID3DXSprite** sprite);
    plat::HRESULT CreateFont(const plat::D3DXFONT_DESCW& desc, plat::ID3DXFont** font);
    plat::HRESULT CreateLine(plat::ID3DXLine** line);
    // The name as given (no folder added).
    plat::HRESULT CreateTextureFromFile(const std::string& fileName, plat::IDirect3DTexture9** texture);
    plat::HRESULT SaveSurface(const std::string& fileName, plat::D3DXIMAGE_FILEFORMAT format,
                              plat::IDirect3DSurface9* surface);

    // ---- Effects (CGFXCoreEffects.cpp) ----
    plat::HRESULT CreateEffectPool(plat::ID3DXEffectPool** pool);
    // The effect from the named file (as given, no folder added) on the core's device, into
    // the pool when one is given; no include handler. On failure *effect is null and the
    // compiler's text goes into errors when asked for.
    plat::HRESULT LoadEffect(const std::string& fileName, const plat::D3DXMACRO* defines, plat::DWORD flags,
                             plat::ID3DXEffectPool* pool, plat::ID3DXEffect** effect,
                             std::string* errors = nullptr);
    // A unit's draw on an effect, by the effect's handle table. Object parameters: world,
    // world x view, the record's world-view-projection, the inverse transpose of world and,
    // when the record has one, the material. Technique textures: the slots the record's
    // technique reads. Technique parameters: the tile factor, then what the technique alone
    // has. Nothing happens without an effect; a slot beyond the table is skipped and reported
    // once per technique and slot.
    void BindObjectParameters(const SRenderRecord& record, plat::ID3DXEffect* effect,
                              const FXHandleTable& handles);
    void BindTechniqueTextures(const SRenderRecord& record, plat::ID3DXEffect* effect,
                               const FXHandleTable& handles);
    void BindTechniqueParameters(const SRenderRecord& record, plat::ID3DXEffect* effect,
                                 const FXHandleTable& handles);

private:
    void CreateDeclarations();
    void ReleaseDeclarations();
    void ReadBackBufferSize();
    void ReadDeviceViewport();
    void WriteViewProjection();

    plat::IDirect3DDevice9* m_pDevice = nullptr;
    plat::IDirect3D9* m_pD3D = nullptr;
    std::array<plat::IDirect3DVertexDeclaration9*, VD_Count> m_declarations{};
    plat::D3DPRESENT_PARAMETERS m_presentParameters;
    bool m_multisampleAntialias = true;
    plat::D3DFILLMODE m_fillMode = plat::D3DFILL_SOLID;
    bool m_fullScreen = false;
    unsigned m_backBufferWidth = 800; // pixels
    unsigned m_backBufferHeight = 600;
    math::Matrix4 m_view;
    math::Matrix4 m_projection;
    double m_frameTime = 0.0; // seconds
    float m_frameDt = 0.0f;   // seconds
    bool m_visibilityOptimization = true;
    bool m_visibilityValid = false;
    std::array<SViewportRecord, kViewportCount> m_viewports;
    SViewportRecord* m_pCurrentViewport = nullptr;
    bool m_secondViewport = false;
    unsigned m_lastGeometryId = 0; // 0: none bound in this scene

    unsigned m_acceptedDevices = 0;
    ISharedEffectParameters* m_pSharedParameters = nullptr;

    // The handle of a table's slot; null, reported once per technique and slot, past its end.
    plat::D3DXHANDLE BindingHandle(const FXHandleTable& handles, unsigned index,
                                   const std::string& technique);
    std::set<std::pair<std::string, unsigned>> m_reportedBindings; // technique, slot
};

// The back buffer's size in pixels, from the device core (menus place their units by it).
unsigned GetScreenWidth();
unsigned GetScreenHeight();
} // namespace gfx
} // namespace dorvo
