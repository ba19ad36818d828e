// The sprite batch behind ID3DXSprite, on either device. Sprites are transformed on the CPU
// into one streaming vertex buffer; consecutive draws share one device draw with up to 16
// textures bound (each vertex names its texture), so a screen of sprites costs a few draws.
// Fonts put their glyphs through it too.
#pragma once

#include "platform/d3dx9.h"
#include "platform/device_base.h"

#include <array>
#include <vector>

namespace plat::detail
{
class SpriteBatch final : public ID3DXSprite
{
public:
    explicit SpriteBatch(DeviceBase& device);

    ULONG AddRef() override { return ++m_count; }
    ULONG Release() override;
    HRESULT Begin(DWORD flags) override;
    HRESULT SetTransform(const D3DXMATRIX* transform) override;
    HRESULT GetTransform(D3DXMATRIX* transform) override;
    HRESULT Draw(IDirect3DTexture9* texture, const RECT* sourceRect, const D3DXVECTOR3* center,
                 const D3DXVECTOR3* position, D3DCOLOR color) override;
    HRESULT Flush() override;
    HRESULT End() override;
    HRESULT OnLostDevice() override;
    HRESULT OnResetDevice() override;

    bool IsBegun() const { return m_begun; }
    // A textured quad: texels (left, top) to (right, bottom) of the texture, placed from
    // (x0, y0) to (x1, y1) before the transform, in Direct3D's pixels (centres on whole numbers).
    HRESULT DrawQuad(Texture& texture, float left, float top, float right, float bottom, float x0, float y0,
                     float x1, float y1, D3DCOLOR color);
    DeviceBase* Device() const { return m_device.Get(); }

private:
    ~SpriteBatch() = default;
    bool MakeBuffers();
    int SlotOf(Texture& texture);

    static constexpr UINT kMaxQuads = 4096;

    ULONG m_count = 1;
    ComPtr<DeviceBase> m_device;
    ComPtr<IDirect3DVertexBuffer9> m_vertices;
    ComPtr<IDirect3DIndexBuffer9> m_indices;
    std::vector<BatchVertex> m_pending;
    std::array<ComPtr<Texture>, kMaxTextureStages> m_textures;
    UINT m_textureCount = 0;
    D3DXMATRIX m_transform;
    bool m_begun = false;
    struct SavedState
    {
        D3DRENDERSTATETYPE state;
        DWORD value;
    };
    std::vector<SavedState> m_saved;
};

// The batch behind a sprite pointer of ours, or null.
SpriteBatch* AsSpriteBatch(ID3DXSprite* sprite);
} // namespace plat::detail
