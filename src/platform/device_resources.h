// The resources both devices share: textures with their level surfaces, depth surfaces,
// vertex and index buffers, vertex declarations. Each keeps what the device model says about
// it (size, format, pool, usage, lock state, a copy of its contents where one is kept) and a
// backend handle the device fills (an OpenGL object name; nothing headless). The device
// (DeviceBase) makes them and is told when they change or go.
#pragma once

#include "platform/com_ptr.h"
#include "platform/d3d9.h"
#include "platform/device_debug.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace plat::detail
{
class DeviceBase;

// Shared by a device and everything it made, so a resource can outlive its device.
struct DeviceLink
{
    // Released resources whose records are kept for tests and tools to read; older ones are
    // dropped, so a game that makes and releases textures with every room keeps a bounded
    // registry.
    static constexpr std::size_t kReleasedKept = 256;

    DeviceBase* device = nullptr; // null once the device is gone
    // Every resource alive and the last kReleasedKept released, by creation number. A record
    // stays where it is while it is kept, so a resource holds a pointer to its own.
    std::map<unsigned, devicedebug::ResourceInfo> registry;
    unsigned made = 0;             // the last creation number given
    std::deque<unsigned> released; // creation numbers of the released records kept, oldest first

    // Files a resource's record under its creation number (a number already given gets the next
    // free one) and returns it.
    devicedebug::ResourceInfo& File(const devicedebug::ResourceInfo& info);
    // The resource of that record is gone: it is kept among the last released.
    void Released(unsigned creation);
};

// What the backend attaches to a resource: OpenGL object names, 0 when none.
struct BackendHandle
{
    unsigned name = 0;
    unsigned extra = 0;
};

// Counting and registry bookkeeping common to every resource.
class ResourceCore
{
public:
    ResourceCore(std::shared_ptr<DeviceLink> link, const devicedebug::ResourceInfo& info);
    virtual ~ResourceCore();

    ResourceCore(const ResourceCore&) = delete;
    ResourceCore& operator=(const ResourceCore&) = delete;

    DeviceBase* Device() const { return m_link->device; }
    const std::shared_ptr<DeviceLink>& Link() const { return m_link; }
    devicedebug::ResourceInfo& Info() { return *m_info; }
    const devicedebug::ResourceInfo& Info() const { return *m_info; }
    unsigned Creation() const { return Info().creation; }

    BackendHandle handle;

protected:
    ULONG AddRefCore();
    // Deletes this at 0 (after telling the device).
    ULONG ReleaseCore();
    HRESULT GetDeviceCore(IDirect3DDevice9** device);

private:
    std::shared_ptr<DeviceLink> m_link;
    devicedebug::ResourceInfo* m_info; // the record in the link's registry
    ULONG m_count = 1;
};

class Texture;

// A colour surface: one level of a texture (the back buffer is a texture of its own).
class TextureSurface final : public IDirect3DSurface9
{
public:
    TextureSurface(Texture& texture, UINT level) : m_texture(texture), m_level(level) {}

    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice9** device) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;

    Texture& GetTexture() const { return m_texture; }
    UINT Level() const { return m_level; }
    UINT Width() const;
    UINT Height() const;

private:
    Texture& m_texture;
    UINT m_level;
};

struct TextureLevel
{
    UINT width = 0;
    UINT height = 0;
    // A8R8G8B8 words, top row first; empty where the device keeps the pixels itself (render
    // targets on OpenGL).
    std::vector<std::uint32_t> pixels;
    std::unique_ptr<TextureSurface> surface;
    bool locked = false;
    DWORD lockFlags = 0;
    RECT lockRect;
    std::vector<std::uint32_t> readBack; // a render target's pixels while it is locked
};

class Texture final : public ResourceCore, public IDirect3DTexture9
{
public:
    Texture(std::shared_ptr<DeviceLink> link, const devicedebug::ResourceInfo& info, bool keepPixels);

    ULONG AddRef() override { return AddRefCore(); }
    ULONG Release() override { return ReleaseCore(); }
    HRESULT GetDevice(IDirect3DDevice9** device) override { return GetDeviceCore(device); }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return static_cast<DWORD>(m_levels.size()); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    bool IsRenderTarget() const { return (Info().usage & D3DUSAGE_RENDERTARGET) != 0; }
    bool HasAlpha() const { return Info().format == D3DFMT_A8R8G8B8; }
    bool KeepsPixels() const { return m_keepPixels; }
    UINT LevelCount() const { return static_cast<UINT>(m_levels.size()); }
    TextureLevel& Level(UINT level) { return m_levels[level]; }
    const TextureLevel& Level(UINT level) const { return m_levels[level]; }
    // The back buffer: the device resizes it at a reset.
    void Resize(UINT width, UINT height);

private:
    std::vector<TextureLevel> m_levels;
    bool m_keepPixels;
};

class DepthSurface final : public ResourceCore, public IDirect3DSurface9
{
public:
    DepthSurface(std::shared_ptr<DeviceLink> link, const devicedebug::ResourceInfo& info)
        : ResourceCore(std::move(link), info)
    {
    }

    ULONG AddRef() override { return AddRefCore(); }
    ULONG Release() override { return ReleaseCore(); }
    HRESULT GetDevice(IDirect3DDevice9** device) override { return GetDeviceCore(device); }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT*, const RECT*, DWORD) override { return D3DERR_INVALIDCALL; }
    HRESULT UnlockRect() override { return D3DERR_INVALIDCALL; }

    UINT Width() const { return Info().width; }
    UINT Height() const { return Info().height; }
    void Resize(UINT width, UINT height);
};

// The memory of a vertex or index buffer, always kept; Unlock hands the written range over.
class BufferCore : public ResourceCore
{
public:
    BufferCore(std::shared_ptr<DeviceLink> link, const devicedebug::ResourceInfo& info);

    UINT Size() const { return Info().size; }
    const std::uint8_t* Data() const { return m_data.data(); }
    std::uint8_t* Data() { return m_data.data(); }
    bool IsLocked() const { return m_locked; }

protected:
    HRESULT LockCore(UINT offset, UINT size, void** data, DWORD flags);
    HRESULT UnlockCore();

private:
    std::vector<std::uint8_t> m_data;
    bool m_locked = false;
    UINT m_lockOffset = 0;
    UINT m_lockSize = 0;
    DWORD m_lockFlags = 0;
};

class VertexBuffer final : public BufferCore, public IDirect3DVertexBuffer9
{
public:
    using BufferCore::BufferCore;
    ULONG AddRef() override { return AddRefCore(); }
    ULONG Release() override { return ReleaseCore(); }
    HRESULT GetDevice(IDirect3DDevice9** device) override { return GetDeviceCore(device); }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override
    {
        return LockCore(offset, size, data, flags);
    }
    HRESULT Unlock() override { return UnlockCore(); }
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;
};

class IndexBuffer final : public BufferCore, public IDirect3DIndexBuffer9
{
public:
    using BufferCore::BufferCore;
    ULONG AddRef() override { return AddRefCore(); }
    ULONG Release() override { return ReleaseCore(); }
    HRESULT GetDevice(IDirect3DDevice9** device) override { return GetDeviceCore(device); }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override
    {
        return LockCore(offset, size, data, flags);
    }
    HRESULT Unlock() override { return UnlockCore(); }
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;

    UINT IndexSize() const { return Info().format == D3DFMT_INDEX32 ? 4u : 2u; }
    UINT IndexCount() const { return Size() / IndexSize(); }
    // The smallest and largest of count indices from start.
    void IndexRange(UINT start, UINT count, std::uint32_t& smallest, std::uint32_t& largest) const;
};

class VertexDeclaration final : public ResourceCore, public IDirect3DVertexDeclaration9
{
public:
    VertexDeclaration(std::shared_ptr<DeviceLink> link, const devicedebug::ResourceInfo& info,
                      std::vector<D3DVERTEXELEMENT9> elements);

    ULONG AddRef() override { return AddRefCore(); }
    ULONG Release() override { return ReleaseCore(); }
    HRESULT GetDeclaration(D3DVERTEXELEMENT9* elements, UINT* count) override;

    // Without the end marker.
    const std::vector<D3DVERTEXELEMENT9>& Elements() const { return m_elements; }
    bool IsPreTransformed() const { return m_preTransformed; }
    // The attribute location of an element, kAttribCount for none.
    static AttributeLocation LocationOf(const D3DVERTEXELEMENT9& element);
    // Bytes an element's type takes; 0 for an unknown type.
    static UINT TypeSize(std::uint8_t type);

private:
    std::vector<D3DVERTEXELEMENT9> m_elements;
    bool m_preTransformed = false;
};
} // namespace plat::detail
