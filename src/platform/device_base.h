// What both devices share: the checks every call makes, the state the device model keeps
// (render states, viewport, clip planes, textures, declaration, streams, indices, targets),
// the resource registry, the call log and the counters. A backend (OpenGL or headless)
// derives from it and does the work behind the hooks: making and filling its objects,
// clearing, copying, drawing and presenting.
#pragma once

#include "platform/device_resources.h"
#include "platform/fx_model.h"

#include <array>
#include <memory>
#include <string>
#include <unordered_set>

namespace plat::detail
{
// The Direct3D object: the adapters and what each device may be made with.
class Direct3DObject final : public IDirect3D9
{
public:
    // One adapter per description.
    Direct3DObject(std::vector<std::string> adapterDescriptions, const D3DCAPS9& caps,
                   std::vector<D3DFORMAT> unsupported);

    ULONG AddRef() override { return ++m_count; }
    ULONG Release() override;
    UINT GetAdapterCount() override { return static_cast<UINT>(m_adapters.size()); }
    HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER9* identifier) override;
    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE type, D3DFORMAT checkFormat) override;
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS9* caps) override;

private:
    std::vector<std::string> m_adapters;
    D3DCAPS9 m_caps;
    std::vector<D3DFORMAT> m_unsupported;
    ULONG m_count = 1;
};

// The render states the device knows, with their values after creation and reset.
struct RenderStateTable
{
    std::array<DWORD, 256> values{};
    // The states the device knows and their defaults; autoDepth gives D3DRS_ZENABLE true.
    void SetDefaults(bool autoDepth);
    static bool IsKnown(D3DRENDERSTATETYPE state);
    static bool IsValidValue(D3DRENDERSTATETYPE state, DWORD value);
};

struct StreamBinding
{
    ComPtr<VertexBuffer> buffer;
    UINT offset = 0; // bytes
    UINT stride = 0; // bytes
};

// A draw through the public interface: stream 0 (or the vertices in memory) with the current
// declaration, indexed or not.
struct DrawCall
{
    D3DPRIMITIVETYPE type = D3DPT_TRIANGLELIST;
    UINT primitiveCount = 0;
    UINT vertexCount = 0; // vertices the primitives read (non-indexed) or span (indexed)
    bool indexed = false;
    int baseVertex = 0;
    UINT startIndex = 0;
    UINT indexCount = 0;
    const void* userVertices = nullptr; // DrawPrimitiveUP
    UINT userStride = 0;
};

// One vertex of the sprite, glyph and line batches.
struct BatchVertex
{
    float x = 0, y = 0, z = 0, w = 1; // pixel space: render-target pixels; else clip space
    float u = 0, v = 0;
    D3DCOLOR color = 0xFFFFFFFFu;
    float slot = 0; // which of the batch's textures; -1 for none (white)
};
static_assert(sizeof(BatchVertex) == 32, "the batch programs read 32-byte vertices");

// A draw of the D3DX batches, which keeps the public state as it is.
struct BatchDraw
{
    D3DPRIMITIVETYPE type = D3DPT_TRIANGLELIST;
    bool pixelSpace = true;
    VertexBuffer* vertices = nullptr;
    IndexBuffer* indices = nullptr; // null: vertices in order
    UINT firstVertex = 0;
    UINT vertexCount = 0;
    UINT firstIndex = 0;
    UINT indexCount = 0;
    UINT primitiveCount = 0;
    std::array<Texture*, kMaxTextureStages> textures{};
    UINT textureCount = 0;
};

// How a texture stage samples in an effect's program (the effect's sampler_state). Unset, the
// texture's own filtering (linear, mipmapped where it has levels) and wrapping hold.
struct StageSampler
{
    bool set = false;
    FxFilter minFilter = FxFilter::Point;
    FxFilter magFilter = FxFilter::Point;
    FxFilter mipFilter = FxFilter::None;
    FxAddress addressU = FxAddress::Wrap;
    FxAddress addressV = FxAddress::Wrap;
    FxAddress addressW = FxAddress::Wrap;

    bool operator==(const StageSampler& o) const
    {
        return set == o.set && minFilter == o.minFilter && magFilter == o.magFilter &&
               mipFilter == o.mipFilter && addressU == o.addressU && addressV == o.addressV &&
               addressW == o.addressW;
    }
    bool operator!=(const StageSampler& o) const { return !(*this == o); }
};

class EffectPrograms;

class DeviceBase : public IDirect3DDevice9
{
public:
    DeviceBase(const D3DPRESENT_PARAMETERS& params, const D3DCAPS9& caps, ComPtr<Direct3DObject> d3d);
    ~DeviceBase() override;

    // Makes the back buffer and the automatic depth surface; called by the backend's factory
    // once the backend is ready.
    void Initialise();
    // Lets go of every backend object (the window system's context goes next); afterwards the
    // device refuses every call. The frame driver calls it before it drops its reference.
    void Shutdown();
    bool IsShutDown() const { return m_shutDown; }

    // ---- IUnknown ----
    ULONG AddRef() override { return ++m_count; }
    ULONG Release() override;

    // ---- IDirect3DDevice9 ----
    HRESULT GetDirect3D(IDirect3D9** d3d) override;
    HRESULT GetDeviceCaps(D3DCAPS9* caps) override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                  DWORD stencil) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindow,
                    const void* dirtyRegion) override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* params) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, HANDLE* shared) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer9** buffer, HANDLE* shared) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer9** buffer, HANDLE* shared) override;
    HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                      D3DMULTISAMPLE_TYPE multiSample, DWORD multiSampleQuality, BOOL discard,
                                      IDirect3DSurface9** surface, HANDLE* shared) override;
    HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                    IDirect3DVertexDeclaration9** declaration) override;
    HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                          IDirect3DSurface9** surface) override;
    HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override;
    HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override;
    HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) override;
    HRESULT StretchRect(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* dest,
                        const RECT* destRect, D3DTEXTUREFILTERTYPE filter) override;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT SetClipPlane(DWORD index, const float* plane) override;
    HRESULT GetClipPlane(DWORD index, float* plane) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override;
    HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) override;
    HRESULT GetVertexDeclaration(IDirect3DVertexDeclaration9** declaration) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override;
    HRESULT GetStreamSource(UINT stream, IDirect3DVertexBuffer9** buffer, UINT* offset,
                            UINT* stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* indices) override;
    HRESULT GetIndices(IDirect3DIndexBuffer9** indices) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, int baseVertexIndex, UINT minIndex, UINT numVertices,
                                 UINT startIndex, UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices,
                            UINT stride) override;
    D3DSURFACE_DESC GetBackBufferDesc() override;
    bool ReadBackBuffer(std::vector<D3DCOLOR>& pixels) override;
    bool ReadWindowPicture(std::vector<D3DCOLOR>& pixels, UINT& width, UINT& height) override;

    // ---- For the D3DX objects and the backends ----
    // The batches draw with the current render states and target but leave the public state
    // (declaration, streams, textures) alone.
    HRESULT DrawBatch(const BatchDraw& draw);
    // Whether this device measures text with fixed metrics (headless) instead of its font files.
    virtual bool UsesFixedFontMetrics() const { return false; }
    // The pixels of a colour surface, A8R8G8B8 top row first.
    bool ReadSurface(TextureSurface& surface, std::vector<std::uint32_t>& pixels);
    // Which program draws, for the effects: 0 (and an empty tag) for the device's own. The
    // call log names the tag in its draws.
    void SetPassProgram(unsigned program, const std::string& tag);
    const std::string& PassTag() const { return m_passTag; }
    // The sampling of a texture stage for effect programs; a reset unsets every stage.
    void SetStageSampler(DWORD stage, const StageSampler& sampler);
    const StageSampler& GetStageSampler(DWORD stage) const { return m_stageSamplers[stage]; }
    // What this device makes of an effect's passes: the OpenGL device compiles a program for
    // each (null, with the compiler's text in error, when one fails); the headless device
    // builds nothing.
    virtual std::unique_ptr<EffectPrograms> BuildEffectPrograms(const FxEffectDesc& effect,
                                                                std::string& error);

    // Resources tell the device about themselves.
    void OnResourceCreated(ResourceCore& resource);
    void OnResourceDestroyed(ResourceCore& resource);
    void OnTextureWritten(Texture& texture, UINT level, const RECT& rect);
    bool OnTextureReadBack(Texture& texture, UINT level, std::vector<std::uint32_t>& pixels);
    void OnBufferWritten(BufferCore& buffer, UINT offset, UINT size, bool discard);

    // Registry, log, counters.
    const std::shared_ptr<DeviceLink>& Link() const { return m_link; }
    bool IsLogging() const { return m_logging; }
    void SetLogging(bool on) { m_logging = on; }
    void Log(devicedebug::LoggedCall call);
    std::vector<devicedebug::LoggedCall>& CallLog() { return m_log; }
    devicedebug::DeviceStatistics& Statistics() { return m_stats; }
    const D3DCAPS9& Caps() const { return m_caps; }
    // As made or last reset; the back-buffer format is A8R8G8B8 or X8R8G8B8.
    const D3DPRESENT_PARAMETERS& PresentParameters() const { return m_params; }

protected:
    // ---- Backend hooks ----
    virtual void BackendCreate(ResourceCore& resource) = 0;
    virtual void BackendDestroy(ResourceCore& resource) = 0;
    virtual void BackendTextureWritten(Texture& texture, UINT level, const RECT& rect) = 0;
    // A level of a texture that keeps no pixels of its own (a render target).
    virtual bool BackendReadTexture(Texture& texture, UINT level, std::vector<std::uint32_t>& pixels) = 0;
    virtual void BackendBufferWritten(BufferCore& buffer, UINT offset, UINT size, bool discard) = 0;
    // rect is inside the target and the viewport; depth is null when none is bound.
    virtual void BackendClear(const D3DRECT& rect, DWORD flags, D3DCOLOR color, float z, DWORD stencil) = 0;
    virtual void BackendStretch(TextureSurface& source, const RECT& sourceRect, TextureSurface& dest,
                                const RECT& destRect, D3DTEXTUREFILTERTYPE filter) = 0;
    virtual void BackendDraw(const DrawCall& draw) = 0;
    virtual void BackendDrawBatch(const BatchDraw& draw) = 0;
    virtual void BackendPresent() = 0;
    // What BackendPresent shows in the window; false without a window.
    virtual bool BackendReadWindowPicture(std::vector<D3DCOLOR>&, UINT&, UINT&) { return false; }
    // After the back buffer and its depth surface took their new size.
    virtual void BackendReset() = 0;
    virtual void BackendShutdown() = 0;
    virtual bool KeepsTexturePixels(DWORD usage) const = 0;

    // ---- State the backends read ----
    TextureSurface& ColourTarget() const { return *m_colourTarget; }
    DepthSurface* DepthTarget() const { return m_depthTarget.Get(); }
    Texture& BackBufferTexture() const { return *m_backBuffer; }
    DepthSurface* AutoDepth() const { return m_autoDepth.Get(); }
    const D3DVIEWPORT9& CurrentViewport() const { return m_viewport; }
    const RenderStateTable& RenderStates() const { return m_states; }
    DWORD RenderState(D3DRENDERSTATETYPE state) const { return m_states.values[state]; }
    const float* ClipPlane(DWORD index) const { return m_clipPlanes[index].data(); }
    Texture* BoundTexture(DWORD stage) const { return m_textures[stage].Get(); }
    VertexDeclaration* Declaration() const { return m_declaration.Get(); }
    const StreamBinding& Stream(UINT index) const { return m_streams[index]; }
    IndexBuffer* Indices() const { return m_indices.Get(); }
    unsigned PassProgram() const { return m_passProgram; }
    // Bumped whenever a clip plane or the enable mask changes.
    unsigned ClipPlaneVersion() const { return m_clipPlaneVersion; }

private:
    bool Owns(ResourceCore* resource) const;
    TextureSurface* OwnColourSurface(IDirect3DSurface9* surface) const;
    DepthSurface* OwnDepthSurface(IDirect3DSurface9* surface) const;
    void ResetState();
    HRESULT CheckDraw(D3DPRIMITIVETYPE type, UINT primitiveCount) const;
    HRESULT Draw(const DrawCall& draw);
    devicedebug::ResourceInfo NewInfo(devicedebug::ResourceKind kind, D3DPOOL pool, DWORD usage,
                                      D3DFORMAT format) const;

    ULONG m_count = 1;
    bool m_shutDown = false;
    std::shared_ptr<DeviceLink> m_link;
    std::unordered_set<ResourceCore*> m_live;
    D3DPRESENT_PARAMETERS m_params;
    D3DCAPS9 m_caps;
    ComPtr<Direct3DObject> m_d3d;

    ComPtr<Texture> m_backBuffer;
    ComPtr<DepthSurface> m_autoDepth;

    // The state of the device model.
    RenderStateTable m_states;
    D3DVIEWPORT9 m_viewport;
    std::array<std::array<float, 4>, kMaxClipPlanes> m_clipPlanes{};
    unsigned m_clipPlaneVersion = 1;
    std::array<ComPtr<Texture>, kMaxTextureStages> m_textures;
    std::array<StageSampler, kMaxTextureStages> m_stageSamplers{};
    ComPtr<VertexDeclaration> m_declaration;
    std::array<StreamBinding, kMaxStreams> m_streams;
    ComPtr<IndexBuffer> m_indices;
    ComPtr<Texture> m_colourTargetTexture; // holds the target's texture alive
    TextureSurface* m_colourTarget = nullptr;
    ComPtr<DepthSurface> m_depthTarget;
    bool m_inScene = false;
    unsigned m_passProgram = 0;
    std::string m_passTag;

    bool m_logging = false;
    std::vector<devicedebug::LoggedCall> m_log;
    devicedebug::DeviceStatistics m_stats;
};

// The device behind a public pointer, or null when it is not one of ours.
DeviceBase* AsDevice(IDirect3DDevice9* device);
Texture* AsTexture(IDirect3DBaseTexture9* texture);
} // namespace plat::detail
