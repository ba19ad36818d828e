#include "platform/device_resources.h"

#include "platform/device_base.h"

#include <algorithm>
#include <cstring>

namespace plat::detail
{
namespace
{
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
} // namespace

// ---- DeviceLink -------------------------------------------------------------------------------

devicedebug::ResourceInfo& DeviceLink::File(const devicedebug::ResourceInfo& info)
{
    const unsigned creation = info.creation > made ? info.creation : made + 1;
    made = creation;
    devicedebug::ResourceInfo& record = registry[creation];
    record = info;
    record.creation = creation;
    return record;
}

void DeviceLink::Released(unsigned creation)
{
    released.push_back(creation);
    while (released.size() > kReleasedKept)
    {
        registry.erase(released.front());
        released.pop_front();
    }
}

// ---- ResourceCore ---------------------------------------------------------------------------

ResourceCore::ResourceCore(std::shared_ptr<DeviceLink> link, const devicedebug::ResourceInfo& info)
    : m_link(std::move(link)), m_info(&m_link->File(info))
{
    Info().count = 1;
    Info().live = true;
}

ResourceCore::~ResourceCore()
{
    // The derived parts are gone; the record may be dropped from now on.
    m_link->Released(Info().creation);
}

ULONG ResourceCore::AddRefCore()
{
    Info().count = ++m_count;
    return m_count;
}

ULONG ResourceCore::ReleaseCore()
{
    if (m_count == 0)
        return 0;
    const ULONG count = --m_count;
    Info().count = count;
    if (count == 0)
    {
        Info().live = false;
        if (DeviceBase* device = Device())
            device->OnResourceDestroyed(*this);
        delete this;
    }
    return count;
}

HRESULT ResourceCore::GetDeviceCore(IDirect3DDevice9** device)
{
    if (!device)
        return D3DERR_INVALIDCALL;
    *device = Device();
    if (!*device)
        return D3DERR_INVALIDCALL;
    (*device)->AddRef();
    return S_OK;
}

// ---- TextureSurface ---------------------------------------------------------------------------

ULONG TextureSurface::AddRef()
{
    return m_texture.AddRef();
}

ULONG TextureSurface::Release()
{
    return m_texture.Release();
}

HRESULT TextureSurface::GetDevice(IDirect3DDevice9** device)
{
    return m_texture.GetDevice(device);
}

HRESULT TextureSurface::GetDesc(D3DSURFACE_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    m_texture.GetLevelDesc(m_level, desc);
    desc->Type = D3DRTYPE_SURFACE;
    return S_OK;
}

HRESULT TextureSurface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    return m_texture.LockRect(m_level, locked, rect, flags);
}

HRESULT TextureSurface::UnlockRect()
{
    return m_texture.UnlockRect(m_level);
}

UINT TextureSurface::Width() const
{
    return m_texture.Level(m_level).width;
}

UINT TextureSurface::Height() const
{
    return m_texture.Level(m_level).height;
}

// ---- Texture ----------------------------------------------------------------------------------

Texture::Texture(std::shared_ptr<DeviceLink> link, const devicedebug::ResourceInfo& info, bool keepPixels)
    : ResourceCore(std::move(link), info), m_keepPixels(keepPixels)
{
    Resize(info.width, info.height);
}

void Texture::Resize(UINT width, UINT height)
{
    Info().width = width;
    Info().height = height;
    const UINT levels = std::max(1u, Info().levels);
    m_levels.resize(levels);
    for (UINT i = 0; i < levels; ++i)
    {
        TextureLevel& l = m_levels[i];
        l.width = std::max(1u, width >> i);
        l.height = std::max(1u, height >> i);
        if (m_keepPixels)
            l.pixels.assign(static_cast<std::size_t>(l.width) * l.height, 0u);
        if (!l.surface)
            l.surface = std::make_unique<TextureSurface>(*this, i);
        l.locked = false;
    }
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc)
{
    if (!desc || level >= m_levels.size())
        return D3DERR_INVALIDCALL;
    const devicedebug::ResourceInfo& info = Info();
    desc->Format = info.format;
    desc->Type = D3DRTYPE_TEXTURE;
    desc->Usage = info.usage;
    desc->Pool = info.pool;
    desc->MultiSampleType = D3DMULTISAMPLE_NONE;
    desc->MultiSampleQuality = 0;
    desc->Width = m_levels[level].width;
    desc->Height = m_levels[level].height;
    return S_OK;
}

HRESULT Texture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface)
{
    if (!surface || level >= m_levels.size())
        return D3DERR_INVALIDCALL;
    *surface = m_levels[level].surface.get();
    AddRef();
    return S_OK;
}

HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    if (!locked || level >= m_levels.size())
        return D3DERR_INVALIDCALL;
    TextureLevel& l = m_levels[level];
    const RECT r = rect ? *rect : WholeRect(l.width, l.height);
    if (l.locked || !RectInside(r, l.width, l.height))
        return D3DERR_INVALIDCALL;
    const bool readOnly = (flags & D3DLOCK_READONLY) != 0;
    if (IsRenderTarget() && !readOnly)
        return D3DERR_INVALIDCALL; // what is drawn into a target is only read back
    std::uint32_t* base = nullptr;
    if (m_keepPixels)
        base = l.pixels.data();
    else
    {
        // The device keeps the pixels (a render target): read them back.
        DeviceBase* device = Device();
        if (!device || !device->OnTextureReadBack(*this, level, l.readBack))
            return D3DERR_INVALIDCALL;
        base = l.readBack.data();
    }
    l.locked = true;
    l.lockFlags = flags;
    l.lockRect = r;
    locked->Pitch = static_cast<std::int32_t>(l.width * 4);
    locked->pBits = base + static_cast<std::size_t>(r.top) * l.width + static_cast<std::size_t>(r.left);
    return S_OK;
}

HRESULT Texture::UnlockRect(UINT level)
{
    if (level >= m_levels.size() || !m_levels[level].locked)
        return D3DERR_INVALIDCALL;
    TextureLevel& l = m_levels[level];
    l.locked = false;
    l.readBack.clear();
    l.readBack.shrink_to_fit();
    if (!(l.lockFlags & D3DLOCK_READONLY) && m_keepPixels)
    {
        if (DeviceBase* device = Device())
            device->OnTextureWritten(*this, level, l.lockRect);
    }
    return S_OK;
}

// ---- DepthSurface -----------------------------------------------------------------------------

HRESULT DepthSurface::GetDesc(D3DSURFACE_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    const devicedebug::ResourceInfo& info = Info();
    desc->Format = info.format;
    desc->Type = D3DRTYPE_SURFACE;
    desc->Usage = info.usage;
    desc->Pool = info.pool;
    desc->MultiSampleType = D3DMULTISAMPLE_NONE;
    desc->MultiSampleQuality = 0;
    desc->Width = info.width;
    desc->Height = info.height;
    return S_OK;
}

void DepthSurface::Resize(UINT width, UINT height)
{
    Info().width = width;
    Info().height = height;
}

// ---- Buffers ----------------------------------------------------------------------------------

BufferCore::BufferCore(std::shared_ptr<DeviceLink> link, const devicedebug::ResourceInfo& info)
    : ResourceCore(std::move(link), info), m_data(info.size, 0)
{
}

HRESULT BufferCore::LockCore(UINT offset, UINT size, void** data, DWORD flags)
{
    const UINT total = Size();
    if (!data || m_locked || offset > total)
        return D3DERR_INVALIDCALL;
    if (size == 0)
        size = total - offset;
    if (size > total - offset)
        return D3DERR_INVALIDCALL;
    m_locked = true;
    m_lockOffset = offset;
    m_lockSize = size;
    m_lockFlags = flags;
    *data = m_data.data() + offset;
    return S_OK;
}

HRESULT BufferCore::UnlockCore()
{
    if (!m_locked)
        return D3DERR_INVALIDCALL;
    m_locked = false;
    if (!(m_lockFlags & D3DLOCK_READONLY) && m_lockSize > 0)
    {
        if (DeviceBase* device = Device())
            device->OnBufferWritten(*this, m_lockOffset, m_lockSize, (m_lockFlags & D3DLOCK_DISCARD) != 0);
    }
    return S_OK;
}

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    desc->Format = D3DFMT_VERTEXDATA;
    desc->Type = D3DRTYPE_VERTEXBUFFER;
    desc->Usage = Info().usage;
    desc->Pool = Info().pool;
    desc->Size = Info().size;
    desc->FVF = 0;
    return S_OK;
}

HRESULT IndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc)
{
    if (!desc)
        return D3DERR_INVALIDCALL;
    desc->Format = Info().format;
    desc->Type = D3DRTYPE_INDEXBUFFER;
    desc->Usage = Info().usage;
    desc->Pool = Info().pool;
    desc->Size = Info().size;
    return S_OK;
}

void IndexBuffer::IndexRange(UINT start, UINT count, std::uint32_t& smallest, std::uint32_t& largest) const
{
    smallest = 0xFFFFFFFFu;
    largest = 0;
    auto scan = [&](const auto* p)
    {
        for (UINT i = 0; i < count; ++i)
        {
            const std::uint32_t index = p[start + i];
            smallest = std::min(smallest, index);
            largest = std::max(largest, index);
        }
    };
    if (IndexSize() == 2)
        scan(reinterpret_cast<const std::uint16_t*>(Data()));
    else
        scan(reinterpret_cast<const std::uint32_t*>(Data()));
    if (count == 0)
        smallest = 0;
}

// ---- VertexDeclaration ------------------------------------------------------------------------

VertexDeclaration::VertexDeclaration(std::shared_ptr<DeviceLink> link, const devicedebug::ResourceInfo& info,
                                     std::vector<D3DVERTEXELEMENT9> elements)
    : ResourceCore(std::move(link), info), m_elements(std::move(elements))
{
    for (const D3DVERTEXELEMENT9& e : m_elements)
        if (e.Usage == D3DDECLUSAGE_POSITIONT)
            m_preTransformed = true;
}

HRESULT VertexDeclaration::GetDeclaration(D3DVERTEXELEMENT9* elements, UINT* count)
{
    if (!count)
        return D3DERR_INVALIDCALL;
    const UINT needed = static_cast<UINT>(m_elements.size() + 1);
    if (elements)
    {
        std::copy(m_elements.begin(), m_elements.end(), elements);
        elements[m_elements.size()] = D3DDECL_END();
    }
    *count = needed;
    return S_OK;
}

AttributeLocation VertexDeclaration::LocationOf(const D3DVERTEXELEMENT9& element)
{
    switch (element.Usage)
    {
    case D3DDECLUSAGE_POSITION:
    case D3DDECLUSAGE_POSITIONT:
        return element.UsageIndex == 0 ? kAttribPosition : kAttribCount;
    case D3DDECLUSAGE_NORMAL:
        return element.UsageIndex == 0 ? kAttribNormal : kAttribCount;
    case D3DDECLUSAGE_TEXCOORD:
        return element.UsageIndex == 0   ? kAttribTexCoord0
               : element.UsageIndex == 1 ? kAttribTexCoord1
                                         : kAttribCount;
    case D3DDECLUSAGE_TANGENT:
        return element.UsageIndex == 0 ? kAttribTangent : kAttribCount;
    case D3DDECLUSAGE_BINORMAL:
        return element.UsageIndex == 0 ? kAttribBinormal : kAttribCount;
    case D3DDECLUSAGE_COLOR:
        return element.UsageIndex == 0 ? kAttribColor : kAttribCount;
    default:
        return kAttribCount;
    }
}

UINT VertexDeclaration::TypeSize(std::uint8_t type)
{
    switch (type)
    {
    case D3DDECLTYPE_FLOAT1:
        return 4;
    case D3DDECLTYPE_FLOAT2:
        return 8;
    case D3DDECLTYPE_FLOAT3:
        return 12;
    case D3DDECLTYPE_FLOAT4:
        return 16;
    case D3DDECLTYPE_D3DCOLOR:
        return 4;
    default:
        return 0;
    }
}
} // namespace plat::detail
