#include "platform/device_base.h"

#include "platform/log.h"

#include <algorithm>
#include <cstring>
#include <new>

// Calls on a device that has shut down change nothing.
#define PLAT_DEVICE_ALIVE_OR_RETURN(value)                                                                   \
    do                                                                                                       \
    {                                                                                                        \
        if (m_shutDown)                                                                                      \
            return value;                                                                                    \
    } while (false)

namespace plat::detail
{
using devicedebug::ResourceInfo;
using devicedebug::ResourceKind;

namespace
{
constexpr UINT kMaxBufferBytes = 256u << 20;
constexpr UINT kMaxDeclarationElements = 64;

UINT FullMipChain(UINT width, UINT height)
{
    UINT levels = 1;
    for (UINT size = std::max(width, height); size > 1; size >>= 1)
        ++levels;
    return levels;
}

bool RectInside(const RECT& r, UINT width, UINT height)
{
    return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom &&
           static_cast<UINT>(r.right) <= width && static_cast<UINT>(r.bottom) <= height;
}

RECT WholeRect(UINT width, UINT height)
{
    RECT r;
    r.right = static_cast<std::int32_t>(width);
    r.bottom = static_cast<std::int32_t>(height);
    return r;
}

template <typename T> HRESULT HandOut(T* object, T** out)
{
    object->AddRef();
    *out = object;
    return S_OK;
}
} // namespace

// ---- Render states ------------------------------------------------------------------------------

void RenderStateTable::SetDefaults(bool autoDepth)
{
    values.fill(0);
    values[D3DRS_ZENABLE] = autoDepth ? D3DZB_TRUE : D3DZB_FALSE;
    values[D3DRS_FILLMODE] = D3DFILL_SOLID;
    values[D3DRS_ZWRITEENABLE] = 1;
    values[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    values[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    values[D3DRS_CULLMODE] = D3DCULL_CCW;
    values[D3DRS_ALPHABLENDENABLE] = 0;
    values[D3DRS_CLIPPLANEENABLE] = 0;
    values[D3DRS_MULTISAMPLEANTIALIAS] = 1;
}

bool RenderStateTable::IsKnown(D3DRENDERSTATETYPE state)
{
    switch (state)
    {
    case D3DRS_ZENABLE:
    case D3DRS_FILLMODE:
    case D3DRS_ZWRITEENABLE:
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND:
    case D3DRS_CULLMODE:
    case D3DRS_ALPHABLENDENABLE:
    case D3DRS_CLIPPLANEENABLE:
    case D3DRS_MULTISAMPLEANTIALIAS:
        return true;
    }
    return false;
}

bool RenderStateTable::IsValidValue(D3DRENDERSTATETYPE state, DWORD value)
{
    switch (state)
    {
    case D3DRS_ZENABLE:
        return value == D3DZB_FALSE || value == D3DZB_TRUE;
    case D3DRS_FILLMODE:
        return value >= D3DFILL_POINT && value <= D3DFILL_SOLID;
    case D3DRS_CULLMODE:
        return value >= D3DCULL_NONE && value <= D3DCULL_CCW;
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND:
        return value >= D3DBLEND_ZERO && value <= D3DBLEND_INVDESTCOLOR;
    case D3DRS_CLIPPLANEENABLE:
        return value < (1u << kMaxClipPlanes);
    default:
        return IsKnown(state);
    }
}

// ---- DeviceBase: life -----------------------------------------------------------------------------

DeviceBase::DeviceBase(const D3DPRESENT_PARAMETERS& params, const D3DCAPS9& caps, ComPtr<Direct3DObject> d3d)
    : m_link(std::make_shared<DeviceLink>()), m_params(params), m_caps(caps), m_d3d(std::move(d3d))
{
    m_link->device = this;
    if (m_params.BackBufferFormat != D3DFMT_A8R8G8B8)
        m_params.BackBufferFormat = D3DFMT_X8R8G8B8;
}

DeviceBase::~DeviceBase()
{
    // The backend's destructor has shut the device down (it needs the backend to do so).
    m_link->device = nullptr;
}

void DeviceBase::Initialise()
{
    ResourceInfo info =
        NewInfo(ResourceKind::Texture, D3DPOOL_DEFAULT, D3DUSAGE_RENDERTARGET, m_params.BackBufferFormat);
    info.implicit = true;
    info.width = m_params.BackBufferWidth;
    info.height = m_params.BackBufferHeight;
    info.levels = 1;
    m_backBuffer =
        ComPtr<Texture>::Adopt(new Texture(m_link, info, KeepsTexturePixels(D3DUSAGE_RENDERTARGET)));
    OnResourceCreated(*m_backBuffer.Get());
    if (m_params.EnableAutoDepthStencil)
    {
        ResourceInfo depth =
            NewInfo(ResourceKind::DepthStencilSurface, D3DPOOL_DEFAULT, D3DUSAGE_DEPTHSTENCIL, D3DFMT_D24S8);
        depth.implicit = true;
        depth.width = m_params.BackBufferWidth;
        depth.height = m_params.BackBufferHeight;
        m_autoDepth = ComPtr<DepthSurface>::Adopt(new DepthSurface(m_link, depth));
        OnResourceCreated(*m_autoDepth.Get());
    }
    ResetState();
}

void DeviceBase::Shutdown()
{
    if (m_shutDown)
        return;
    m_colourTarget = nullptr;
    m_colourTargetTexture.Reset();
    m_depthTarget.Reset();
    for (auto& t : m_textures)
        t.Reset();
    m_declaration.Reset();
    for (auto& s : m_streams)
        s = StreamBinding();
    m_indices.Reset();
    m_backBuffer.Reset();
    m_autoDepth.Reset();
    // Whatever the program still holds loses its backend objects now; releasing it later
    // only frees memory.
    for (ResourceCore* resource : m_live)
        BackendDestroy(*resource);
    m_live.clear();
    BackendShutdown();
    m_shutDown = true;
    m_link->device = nullptr;
}

ULONG DeviceBase::Release()
{
    const ULONG count = --m_count;
    if (count == 0)
    {
        Shutdown();
        delete this;
    }
    return count;
}

void DeviceBase::ResetState()
{
    m_states.SetDefaults(m_autoDepth.Get() != nullptr);
    for (auto& t : m_textures)
        t.Reset();
    m_stageSamplers.fill(StageSampler());
    m_declaration.Reset();
    for (auto& s : m_streams)
        s = StreamBinding();
    m_indices.Reset();
    for (auto& plane : m_clipPlanes)
        plane.fill(0.0f);
    ++m_clipPlaneVersion;
    m_colourTargetTexture = m_backBuffer;
    m_colourTarget = m_backBuffer ? m_backBuffer->Level(0).surface.get() : nullptr;
    m_depthTarget = m_autoDepth;
    m_viewport = D3DVIEWPORT9();
    m_viewport.Width = m_params.BackBufferWidth;
    m_viewport.Height = m_params.BackBufferHeight;
    m_passProgram = 0;
    m_passTag.clear();
}

ResourceInfo DeviceBase::NewInfo(ResourceKind kind, D3DPOOL pool, DWORD usage, D3DFORMAT format) const
{
    ResourceInfo info;
    info.kind = kind;
    info.pool = pool;
    info.usage = usage;
    info.format = format;
    info.creation = m_link->made + 1;
    return info;
}

void DeviceBase::OnResourceCreated(ResourceCore& resource)
{
    m_live.insert(&resource);
    BackendCreate(resource);
}

void DeviceBase::OnResourceDestroyed(ResourceCore& resource)
{
    if (m_live.erase(&resource))
        BackendDestroy(resource);
}

void DeviceBase::OnTextureWritten(Texture& texture, UINT level, const RECT& rect)
{
    if (!m_shutDown)
        BackendTextureWritten(texture, level, rect);
}

bool DeviceBase::OnTextureReadBack(Texture& texture, UINT level, std::vector<std::uint32_t>& pixels)
{
    return !m_shutDown && BackendReadTexture(texture, level, pixels);
}

void DeviceBase::OnBufferWritten(BufferCore& buffer, UINT offset, UINT size, bool discard)
{
    if (!m_shutDown)
        BackendBufferWritten(buffer, offset, size, discard);
}

bool DeviceBase::Owns(ResourceCore* resource) const
{
    return resource && resource->Link() == m_link;
}

TextureSurface* DeviceBase::OwnColourSurface(IDirect3DSurface9* surface) const
{
    auto* s = dynamic_cast<TextureSurface*>(surface);
    return s && Owns(&s->GetTexture()) ? s : nullptr;
}

DepthSurface* DeviceBase::OwnDepthSurface(IDirect3DSurface9* surface) const
{
    auto* s = dynamic_cast<DepthSurface*>(surface);
    return s && Owns(s) ? s : nullptr;
}

void DeviceBase::Log(devicedebug::LoggedCall call)
{
    if (m_logging)
        m_log.push_back(std::move(call));
}

void DeviceBase::SetPassProgram(unsigned program, const std::string& tag)
{
    m_passProgram = program;
    m_passTag = tag;
}

void DeviceBase::SetStageSampler(DWORD stage, const StageSampler& sampler)
{
    if (stage < kMaxTextureStages)
        m_stageSamplers[stage] = sampler;
}

bool DeviceBase::ReadSurface(TextureSurface& surface, std::vector<std::uint32_t>& pixels)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(false);
    Texture& texture = surface.GetTexture();
    if (texture.KeepsPixels())
        pixels = texture.Level(surface.Level()).pixels;
    else if (!BackendReadTexture(texture, surface.Level(), pixels))
        return false;
    if (!texture.HasAlpha())
        for (std::uint32_t& p : pixels)
            p |= 0xFF000000u;
    return true;
}

// ---- DeviceBase: frame --------------------------------------------------------------------------

HRESULT DeviceBase::GetDirect3D(IDirect3D9** d3d)
{
    if (!d3d || !m_d3d)
        return D3DERR_INVALIDCALL;
    *d3d = m_d3d.Get();
    m_d3d->AddRef();
    return S_OK;
}

HRESULT DeviceBase::GetDeviceCaps(D3DCAPS9* caps)
{
    if (!caps)
        return D3DERR_INVALIDCALL;
    *caps = m_caps;
    return S_OK;
}

HRESULT DeviceBase::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                          DWORD stencil)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    flags &= D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL;
    if ((count > 0 && !rects) || ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !m_depthTarget) ||
        !(z >= 0.0f && z <= 1.0f))
        return D3DERR_INVALIDCALL;
    if (flags == 0)
        return S_OK;
    const D3DRECT view = {static_cast<std::int32_t>(m_viewport.X), static_cast<std::int32_t>(m_viewport.Y),
                          static_cast<std::int32_t>(m_viewport.X + m_viewport.Width),
                          static_cast<std::int32_t>(m_viewport.Y + m_viewport.Height)};
    const DWORD n = (count == 0) ? 1 : count;
    for (DWORD i = 0; i < n; ++i)
    {
        D3DRECT r = view;
        if (count > 0)
        {
            r.x1 = std::max(r.x1, rects[i].x1);
            r.y1 = std::max(r.y1, rects[i].y1);
            r.x2 = std::min(r.x2, rects[i].x2);
            r.y2 = std::min(r.y2, rects[i].y2);
        }
        if (r.x1 >= r.x2 || r.y1 >= r.y2)
            continue;
        if (m_logging)
        {
            devicedebug::LoggedCall call;
            call.kind = devicedebug::CallKind::Clear;
            call.rect = {r.x1, r.y1, r.x2, r.y2};
            call.flags = flags;
            call.color = color;
            call.target = m_colourTarget->GetTexture().Creation();
            Log(std::move(call));
        }
        BackendClear(r, flags, color, z, stencil);
    }
    return S_OK;
}

HRESULT DeviceBase::BeginScene()
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    if (m_inScene)
        return D3DERR_INVALIDCALL;
    m_inScene = true;
    devicedebug::LoggedCall call;
    call.kind = devicedebug::CallKind::BeginScene;
    Log(std::move(call));
    return S_OK;
}

HRESULT DeviceBase::EndScene()
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    if (!m_inScene)
        return D3DERR_INVALIDCALL;
    m_inScene = false;
    devicedebug::LoggedCall call;
    call.kind = devicedebug::CallKind::EndScene;
    Log(std::move(call));
    return S_OK;
}

HRESULT DeviceBase::Present(const RECT* sourceRect, const RECT* destRect, HWND, const void* dirtyRegion)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_DEVICELOST);
    if (sourceRect || destRect || dirtyRegion)
        return D3DERR_INVALIDCALL;
    ++m_stats.presents;
    devicedebug::LoggedCall call;
    call.kind = devicedebug::CallKind::Present;
    Log(std::move(call));
    BackendPresent();
    return S_OK;
}

HRESULT DeviceBase::Reset(D3DPRESENT_PARAMETERS* params)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    if (!params || params->BackBufferWidth == 0 || params->BackBufferHeight == 0 ||
        params->BackBufferWidth > m_caps.MaxTextureWidth ||
        params->BackBufferHeight > m_caps.MaxTextureHeight)
        return D3DERR_INVALIDCALL;
    // What the device holds goes first, so that only the program's own survivors are named.
    ResetState();
    m_colourTarget = nullptr;
    m_colourTargetTexture.Reset();
    m_depthTarget.Reset();
    std::vector<const ResourceCore*> survivors(m_live.begin(), m_live.end());
    std::sort(survivors.begin(), survivors.end(),
              [](const ResourceCore* a, const ResourceCore* b) { return a->Creation() < b->Creation(); });
    for (const ResourceCore* resource : survivors)
    {
        const ResourceInfo& info = resource->Info();
        if (!info.live || !info.pooled || info.pool != D3DPOOL_DEFAULT || info.implicit)
            continue;
        if (info.kind == ResourceKind::VertexBuffer || info.kind == ResourceKind::IndexBuffer)
            DORVO_LOG("IDirect3DDevice9::Reset: DEFAULT-pool %s of %u bytes (creation %u): it is still "
                      "alive; the device is reset all the same",
                      devicedebug::KindName(info.kind), info.size, info.creation);
        else
            DORVO_LOG("IDirect3DDevice9::Reset: DEFAULT-pool %s of %u x %u (creation %u): it is still alive; "
                      "the device is reset all the same",
                      devicedebug::KindName(info.kind), info.width, info.height, info.creation);
    }
    m_params = *params;
    if (m_params.BackBufferFormat != D3DFMT_A8R8G8B8)
        m_params.BackBufferFormat = D3DFMT_X8R8G8B8;
    m_backBuffer->Info().format = m_params.BackBufferFormat;
    m_backBuffer->Resize(m_params.BackBufferWidth, m_params.BackBufferHeight);
    if (m_autoDepth)
        m_autoDepth->Resize(m_params.BackBufferWidth, m_params.BackBufferHeight);
    BackendReset();
    ResetState();
    m_inScene = false;
    ++m_stats.resets;
    return S_OK;
}

// ---- DeviceBase: resources ----------------------------------------------------------------------

HRESULT DeviceBase::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                  D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* shared)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    const bool renderTarget = (usage & D3DUSAGE_RENDERTARGET) != 0;
    const UINT full = FullMipChain(width, height);
    if (!texture || shared || width == 0 || height == 0 || width > m_caps.MaxTextureWidth ||
        height > m_caps.MaxTextureHeight || (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8) ||
        (usage & ~(D3DUSAGE_RENDERTARGET | D3DUSAGE_DYNAMIC)) != 0 || pool > D3DPOOL_SYSTEMMEM ||
        (renderTarget && (pool != D3DPOOL_DEFAULT || levels > 1)) || levels > full)
        return D3DERR_INVALIDCALL;
    ResourceInfo info = NewInfo(ResourceKind::Texture, pool, usage, format);
    info.width = width;
    info.height = height;
    info.levels = renderTarget ? 1 : (levels == 0 ? full : levels);
    try
    {
        auto* t = new Texture(m_link, info, KeepsTexturePixels(usage));
        OnResourceCreated(*t);
        *texture = t;
    }
    catch (const std::bad_alloc&)
    {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT DeviceBase::CreateVertexBuffer(UINT length, DWORD usage, DWORD, D3DPOOL pool,
                                       IDirect3DVertexBuffer9** buffer, HANDLE* shared)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    if (!buffer || shared || length == 0 || length > kMaxBufferBytes || pool > D3DPOOL_SYSTEMMEM ||
        (usage & ~(D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC)) != 0)
        return D3DERR_INVALIDCALL;
    ResourceInfo info = NewInfo(ResourceKind::VertexBuffer, pool, usage, D3DFMT_VERTEXDATA);
    info.size = length;
    try
    {
        auto* b = new VertexBuffer(m_link, info);
        OnResourceCreated(*b);
        *buffer = b;
    }
    catch (const std::bad_alloc&)
    {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT DeviceBase::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DIndexBuffer9** buffer, HANDLE* shared)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    if (!buffer || shared || length == 0 || length > kMaxBufferBytes || pool > D3DPOOL_SYSTEMMEM ||
        (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32) ||
        (usage & ~(D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC)) != 0)
        return D3DERR_INVALIDCALL;
    ResourceInfo info = NewInfo(ResourceKind::IndexBuffer, pool, usage, format);
    info.size = length;
    try
    {
        auto* b = new IndexBuffer(m_link, info);
        OnResourceCreated(*b);
        *buffer = b;
    }
    catch (const std::bad_alloc&)
    {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT DeviceBase::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE,
                                              DWORD, BOOL, IDirect3DSurface9** surface, HANDLE* shared)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    if (!surface || shared || width == 0 || height == 0 || width > m_caps.MaxTextureWidth ||
        height > m_caps.MaxTextureHeight || format != D3DFMT_D24S8)
        return D3DERR_INVALIDCALL;
    ResourceInfo info =
        NewInfo(ResourceKind::DepthStencilSurface, D3DPOOL_DEFAULT, D3DUSAGE_DEPTHSTENCIL, format);
    info.width = width;
    info.height = height;
    auto* s = new DepthSurface(m_link, info);
    OnResourceCreated(*s);
    *surface = s;
    return S_OK;
}

HRESULT DeviceBase::CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                            IDirect3DVertexDeclaration9** declaration)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    if (!elements || !declaration)
        return D3DERR_INVALIDCALL;
    std::vector<D3DVERTEXELEMENT9> list;
    bool seen[kAttribCount] = {};
    for (UINT i = 0;; ++i)
    {
        if (i == kMaxDeclarationElements)
            return D3DERR_INVALIDCALL; // no end marker
        const D3DVERTEXELEMENT9& e = elements[i];
        if (e.Stream == 0xFF)
            break;
        const AttributeLocation location = VertexDeclaration::LocationOf(e);
        if (e.Stream >= kMaxStreams || VertexDeclaration::TypeSize(e.Type) == 0 ||
            e.Method != D3DDECLMETHOD_DEFAULT || location == kAttribCount || seen[location])
            return D3DERR_INVALIDCALL;
        seen[location] = true;
        list.push_back(e);
    }
    if (list.empty())
        return D3DERR_INVALIDCALL;
    ResourceInfo info = NewInfo(ResourceKind::VertexDeclaration, D3DPOOL_MANAGED, 0, D3DFMT_UNKNOWN);
    info.pooled = false;
    info.size = static_cast<UINT>(list.size());
    auto* d = new VertexDeclaration(m_link, info, std::move(list));
    OnResourceCreated(*d);
    *declaration = d;
    return S_OK;
}

// ---- DeviceBase: targets ------------------------------------------------------------------------

HRESULT DeviceBase::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                                  IDirect3DSurface9** surface)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    if (!surface || swapChain != 0 || index != 0 || type != D3DBACKBUFFER_TYPE_MONO)
        return D3DERR_INVALIDCALL;
    return HandOut<IDirect3DSurface9>(m_backBuffer->Level(0).surface.get(), surface);
}

HRESULT DeviceBase::SetRenderTarget(DWORD index, IDirect3DSurface9* surface)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    TextureSurface* target = OwnColourSurface(surface);
    if (index != 0 || !target || !target->GetTexture().IsRenderTarget())
        return D3DERR_INVALIDCALL;
    m_colourTargetTexture = &target->GetTexture();
    m_colourTarget = target;
    m_viewport = D3DVIEWPORT9();
    m_viewport.Width = target->Width();
    m_viewport.Height = target->Height();
    return S_OK;
}

HRESULT DeviceBase::GetRenderTarget(DWORD index, IDirect3DSurface9** surface)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    if (index != 0 || !surface || !m_colourTarget)
        return D3DERR_INVALIDCALL;
    return HandOut<IDirect3DSurface9>(m_colourTarget, surface);
}

HRESULT DeviceBase::SetDepthStencilSurface(IDirect3DSurface9* surface)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    DepthSurface* depth = OwnDepthSurface(surface);
    if (surface && !depth)
        return D3DERR_INVALIDCALL;
    m_depthTarget = depth;
    return S_OK;
}

HRESULT DeviceBase::GetDepthStencilSurface(IDirect3DSurface9** surface)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    if (!surface)
        return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (!m_depthTarget)
        return D3DERR_NOTFOUND;
    return HandOut<IDirect3DSurface9>(m_depthTarget.Get(), surface);
}

HRESULT DeviceBase::StretchRect(IDirect3DSurface9* source, const RECT* sourceRect, IDirect3DSurface9* dest,
                                const RECT* destRect, D3DTEXTUREFILTERTYPE filter)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    TextureSurface* src = OwnColourSurface(source);
    TextureSurface* dst = OwnColourSurface(dest);
    if (!src || !dst || src == dst || !dst->GetTexture().IsRenderTarget() || filter > D3DTEXF_LINEAR)
        return D3DERR_INVALIDCALL;
    const RECT sr = sourceRect ? *sourceRect : WholeRect(src->Width(), src->Height());
    const RECT dr = destRect ? *destRect : WholeRect(dst->Width(), dst->Height());
    if (!RectInside(sr, src->Width(), src->Height()) || !RectInside(dr, dst->Width(), dst->Height()))
        return D3DERR_INVALIDCALL;
    if (m_logging)
    {
        devicedebug::LoggedCall call;
        call.kind = devicedebug::CallKind::StretchRect;
        call.rect = sr;
        call.rectOut = dr;
        call.flags = filter;
        call.source = src->GetTexture().Creation();
        call.target = dst->GetTexture().Creation();
        Log(std::move(call));
    }
    BackendStretch(*src, sr, *dst, dr, filter);
    return S_OK;
}

// ---- DeviceBase: state --------------------------------------------------------------------------

HRESULT DeviceBase::SetViewport(const D3DVIEWPORT9* viewport)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    if (!viewport || !m_colourTarget)
        return D3DERR_INVALIDCALL;
    const D3DVIEWPORT9& v = *viewport;
    const std::uint64_t right = std::uint64_t{v.X} + v.Width, bottom = std::uint64_t{v.Y} + v.Height;
    if (v.Width == 0 || v.Height == 0 || right > m_colourTarget->Width() ||
        bottom > m_colourTarget->Height() || !(v.MinZ >= 0.0f && v.MinZ <= v.MaxZ && v.MaxZ <= 1.0f))
        return D3DERR_INVALIDCALL;
    m_viewport = v;
    return S_OK;
}

HRESULT DeviceBase::GetViewport(D3DVIEWPORT9* viewport)
{
    if (!viewport)
        return D3DERR_INVALIDCALL;
    *viewport = m_viewport;
    return S_OK;
}

HRESULT DeviceBase::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    if (!RenderStateTable::IsKnown(state) || !RenderStateTable::IsValidValue(state, value))
        return D3DERR_INVALIDCALL;
    if (state == D3DRS_CLIPPLANEENABLE && m_states.values[state] != value)
        ++m_clipPlaneVersion;
    m_states.values[state] = value;
    return S_OK;
}

HRESULT DeviceBase::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value)
{
    if (!value || !RenderStateTable::IsKnown(state))
        return D3DERR_INVALIDCALL;
    *value = m_states.values[state];
    return S_OK;
}

HRESULT DeviceBase::SetClipPlane(DWORD index, const float* plane)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    if (index >= kMaxClipPlanes || !plane)
        return D3DERR_INVALIDCALL;
    std::copy(plane, plane + 4, m_clipPlanes[index].begin());
    ++m_clipPlaneVersion;
    return S_OK;
}

HRESULT DeviceBase::GetClipPlane(DWORD index, float* plane)
{
    if (index >= kMaxClipPlanes || !plane)
        return D3DERR_INVALIDCALL;
    std::copy(m_clipPlanes[index].begin(), m_clipPlanes[index].end(), plane);
    return S_OK;
}

HRESULT DeviceBase::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    Texture* t = AsTexture(texture);
    if (stage >= kMaxTextureStages || (texture && !Owns(t)))
        return D3DERR_INVALIDCALL;
    m_textures[stage] = t;
    return S_OK;
}

HRESULT DeviceBase::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture)
{
    if (stage >= kMaxTextureStages || !texture)
        return D3DERR_INVALIDCALL;
    *texture = m_textures[stage].Get();
    if (*texture)
        (*texture)->AddRef();
    return S_OK;
}

HRESULT DeviceBase::SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    auto* d = dynamic_cast<VertexDeclaration*>(declaration);
    if (declaration && !Owns(d))
        return D3DERR_INVALIDCALL;
    m_declaration = d;
    return S_OK;
}

HRESULT DeviceBase::GetVertexDeclaration(IDirect3DVertexDeclaration9** declaration)
{
    if (!declaration)
        return D3DERR_INVALIDCALL;
    *declaration = m_declaration.Get();
    if (*declaration)
        (*declaration)->AddRef();
    return S_OK;
}

HRESULT DeviceBase::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    auto* b = dynamic_cast<VertexBuffer*>(buffer);
    if (stream >= kMaxStreams || (buffer && (!Owns(b) || offset >= b->Size())))
        return D3DERR_INVALIDCALL;
    m_streams[stream].buffer = b;
    m_streams[stream].offset = b ? offset : 0;
    m_streams[stream].stride = b ? stride : 0;
    if (m_logging)
    {
        devicedebug::LoggedCall call;
        call.kind = devicedebug::CallKind::SetStreamSource;
        call.source = b ? b->Creation() : 0;
        call.flags = m_streams[stream].stride;
        call.size = static_cast<std::int32_t>(stream);
        Log(std::move(call));
    }
    return S_OK;
}

HRESULT DeviceBase::GetStreamSource(UINT stream, IDirect3DVertexBuffer9** buffer, UINT* offset, UINT* stride)
{
    if (stream >= kMaxStreams || !buffer || !offset || !stride)
        return D3DERR_INVALIDCALL;
    *buffer = m_streams[stream].buffer.Get();
    if (*buffer)
        (*buffer)->AddRef();
    *offset = m_streams[stream].offset;
    *stride = m_streams[stream].stride;
    return S_OK;
}

HRESULT DeviceBase::SetIndices(IDirect3DIndexBuffer9* indices)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    auto* b = dynamic_cast<IndexBuffer*>(indices);
    if (indices && !Owns(b))
        return D3DERR_INVALIDCALL;
    m_indices = b;
    if (m_logging)
    {
        devicedebug::LoggedCall call;
        call.kind = devicedebug::CallKind::SetIndices;
        call.source = b ? b->Creation() : 0;
        Log(std::move(call));
    }
    return S_OK;
}

HRESULT DeviceBase::GetIndices(IDirect3DIndexBuffer9** indices)
{
    if (!indices)
        return D3DERR_INVALIDCALL;
    *indices = m_indices.Get();
    if (*indices)
        (*indices)->AddRef();
    return S_OK;
}

// ---- DeviceBase: drawing ------------------------------------------------------------------------

HRESULT DeviceBase::CheckDraw(D3DPRIMITIVETYPE type, UINT primitiveCount) const
{
    if (!m_inScene || VertexCountOf(type, primitiveCount) == 0 || !m_declaration)
        return D3DERR_INVALIDCALL;
    return S_OK;
}

HRESULT DeviceBase::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, int baseVertexIndex, UINT, UINT,
                                         UINT startIndex, UINT primitiveCount)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    if (FAILED(CheckDraw(type, primitiveCount)) || !m_indices)
        return D3DERR_INVALIDCALL;
    const UINT indexCount = VertexCountOf(type, primitiveCount);
    if (startIndex > m_indices->IndexCount() || indexCount > m_indices->IndexCount() - startIndex)
        return D3DERR_INVALIDCALL;
    // Every vertex the indices reach must lie inside every stream the declaration reads, so
    // nothing is read past a buffer.
    std::uint32_t smallest = 0, largest = 0;
    m_indices->IndexRange(startIndex, indexCount, smallest, largest);
    const std::int64_t first = std::int64_t{baseVertexIndex} + smallest;
    const std::int64_t last = std::int64_t{baseVertexIndex} + largest;
    if (first < 0)
        return D3DERR_INVALIDCALL;
    for (const D3DVERTEXELEMENT9& e : m_declaration->Elements())
    {
        const StreamBinding& s = m_streams[e.Stream];
        if (!s.buffer)
            return D3DERR_INVALIDCALL;
        const std::int64_t end =
            std::int64_t{s.offset} + last * s.stride + e.Offset + VertexDeclaration::TypeSize(e.Type);
        if (end > s.buffer->Size())
            return D3DERR_INVALIDCALL;
    }
    DrawCall draw;
    draw.type = type;
    draw.primitiveCount = primitiveCount;
    draw.vertexCount = static_cast<UINT>(last - first + 1);
    draw.indexed = true;
    draw.baseVertex = baseVertexIndex;
    draw.startIndex = startIndex;
    draw.indexCount = indexCount;
    return Draw(draw);
}

HRESULT DeviceBase::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices,
                                    UINT stride)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    if (FAILED(CheckDraw(type, primitiveCount)) || !vertices || stride == 0)
        return D3DERR_INVALIDCALL;
    for (const D3DVERTEXELEMENT9& e : m_declaration->Elements())
        if (e.Stream != 0 || e.Offset + VertexDeclaration::TypeSize(e.Type) > stride)
            return D3DERR_INVALIDCALL;
    DrawCall draw;
    draw.type = type;
    draw.primitiveCount = primitiveCount;
    draw.vertexCount = VertexCountOf(type, primitiveCount);
    draw.userVertices = vertices;
    draw.userStride = stride;
    const HRESULT hr = Draw(draw);
    m_streams[0] = StreamBinding();
    return hr;
}

HRESULT DeviceBase::Draw(const DrawCall& draw)
{
    ++m_stats.draws;
    if (m_logging)
    {
        devicedebug::LoggedCall call;
        call.kind = devicedebug::CallKind::Draw;
        call.name = m_passTag;
        call.target = m_colourTarget->GetTexture().Creation();
        call.flags = m_states.values[D3DRS_FILLMODE];
        call.primitiveType = draw.type;
        call.primitiveCount = draw.primitiveCount;
        call.vertexCount = draw.vertexCount;
        for (const auto& t : m_textures)
            call.textureCount += t ? 1 : 0;
        Log(std::move(call));
    }
    BackendDraw(draw);
    return S_OK;
}

HRESULT DeviceBase::DrawBatch(const BatchDraw& draw)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(D3DERR_INVALIDCALL);
    if (!m_inScene || !draw.vertices || !Owns(draw.vertices) || draw.textureCount > kMaxTextureStages)
        return D3DERR_INVALIDCALL;
    const std::uint64_t vertexEnd =
        (std::uint64_t{draw.firstVertex} + draw.vertexCount) * sizeof(BatchVertex);
    if (vertexEnd > draw.vertices->Size())
        return D3DERR_INVALIDCALL;
    if (draw.indices)
    {
        if (!Owns(draw.indices) ||
            std::uint64_t{draw.firstIndex} + draw.indexCount > draw.indices->IndexCount())
            return D3DERR_INVALIDCALL;
        std::uint32_t smallest = 0, largest = 0;
        draw.indices->IndexRange(draw.firstIndex, draw.indexCount, smallest, largest);
        if (largest >= draw.vertexCount)
            return D3DERR_INVALIDCALL;
    }
    for (UINT i = 0; i < draw.textureCount; ++i)
        if (!draw.textures[i] || !Owns(draw.textures[i]))
            return D3DERR_INVALIDCALL;
    ++m_stats.draws;
    if (m_logging)
    {
        devicedebug::LoggedCall call;
        call.kind = devicedebug::CallKind::Draw;
        call.name = "batch";
        call.target = m_colourTarget->GetTexture().Creation();
        call.primitiveType = draw.type;
        call.primitiveCount = draw.primitiveCount;
        call.vertexCount = draw.vertexCount;
        call.textureCount = draw.textureCount;
        Log(std::move(call));
    }
    BackendDrawBatch(draw);
    return S_OK;
}

D3DSURFACE_DESC DeviceBase::GetBackBufferDesc()
{
    D3DSURFACE_DESC desc;
    desc.Format = m_params.BackBufferFormat;
    desc.Usage = D3DUSAGE_RENDERTARGET;
    desc.Width = m_params.BackBufferWidth;
    desc.Height = m_params.BackBufferHeight;
    return desc;
}

bool DeviceBase::ReadBackBuffer(std::vector<D3DCOLOR>& pixels)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(false);
    return ReadSurface(*m_backBuffer->Level(0).surface, pixels);
}

bool DeviceBase::ReadWindowPicture(std::vector<D3DCOLOR>& pixels, UINT& width, UINT& height)
{
    PLAT_DEVICE_ALIVE_OR_RETURN(false);
    return BackendReadWindowPicture(pixels, width, height);
}

DeviceBase* AsDevice(IDirect3DDevice9* device)
{
    return dynamic_cast<DeviceBase*>(device);
}

Texture* AsTexture(IDirect3DBaseTexture9* texture)
{
    return dynamic_cast<Texture*>(texture);
}
} // namespace plat::detail
