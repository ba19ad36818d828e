#include "platform/d3dx_sprite.h"

#include <algorithm>
#include <cstring>

namespace plat::detail
{
namespace
{
// The states a batch changes, and what it sets them to.
constexpr D3DRENDERSTATETYPE kChangedStates[] = {D3DRS_ALPHABLENDENABLE, D3DRS_SRCBLEND, D3DRS_DESTBLEND,
                                                 D3DRS_ZENABLE,          D3DRS_CULLMODE, D3DRS_FILLMODE,
                                                 D3DRS_CLIPPLANEENABLE};

BatchVertex Corner(const D3DXMATRIX& m, float x, float y, float z, float u, float v, D3DCOLOR color,
                   float slot)
{
    BatchVertex out;
    out.x = x * m.m[0][0] + y * m.m[1][0] + z * m.m[2][0] + m.m[3][0];
    out.y = x * m.m[0][1] + y * m.m[1][1] + z * m.m[2][1] + m.m[3][1];
    out.z = x * m.m[0][2] + y * m.m[1][2] + z * m.m[2][2] + m.m[3][2];
    out.w = 1.0f;
    out.u = u;
    out.v = v;
    out.color = color;
    out.slot = slot;
    return out;
}
} // namespace

SpriteBatch::SpriteBatch(DeviceBase& device) : m_device(&device)
{
    m_pending.reserve(256);
}

ULONG SpriteBatch::Release()
{
    const ULONG count = --m_count;
    if (count == 0)
        delete this;
    return count;
}

bool SpriteBatch::MakeBuffers()
{
    if (m_vertices && m_indices)
        return true;
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    if (FAILED(m_device->CreateVertexBuffer(kMaxQuads * 4 * sizeof(BatchVertex),
                                            D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT, &vb,
                                            nullptr)))
        return false;
    m_vertices = ComPtr<IDirect3DVertexBuffer9>::Adopt(vb);
    if (FAILED(m_device->CreateIndexBuffer(kMaxQuads * 6 * sizeof(std::uint16_t), D3DUSAGE_WRITEONLY,
                                           D3DFMT_INDEX16, D3DPOOL_DEFAULT, &ib, nullptr)))
    {
        m_vertices.Reset();
        return false;
    }
    m_indices = ComPtr<IDirect3DIndexBuffer9>::Adopt(ib);
    void* data = nullptr;
    if (SUCCEEDED(ib->Lock(0, 0, &data, 0)))
    {
        auto* index = static_cast<std::uint16_t*>(data);
        for (UINT q = 0; q < kMaxQuads; ++q)
        {
            const auto v = static_cast<std::uint16_t>(4 * q);
            const std::uint16_t quad[6] = {v,
                                           static_cast<std::uint16_t>(v + 1),
                                           static_cast<std::uint16_t>(v + 2),
                                           static_cast<std::uint16_t>(v + 2),
                                           static_cast<std::uint16_t>(v + 1),
                                           static_cast<std::uint16_t>(v + 3)};
            std::copy(quad, quad + 6, index + 6 * q);
        }
        ib->Unlock();
    }
    return true;
}

HRESULT SpriteBatch::Begin(DWORD flags)
{
    if (m_begun || m_device->IsShutDown())
        return D3DERR_INVALIDCALL;
    m_saved.clear();
    for (D3DRENDERSTATETYPE state : kChangedStates)
    {
        DWORD value = 0;
        m_device->GetRenderState(state, &value);
        m_saved.push_back({state, value});
    }
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, (flags & D3DXSPRITE_ALPHABLEND) ? 1 : 0);
    m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    m_device->SetRenderState(D3DRS_CLIPPLANEENABLE, 0);
    m_begun = true;
    if (m_device->IsLogging())
    {
        devicedebug::LoggedCall call;
        call.kind = devicedebug::CallKind::SpriteBegin;
        call.flags = flags;
        m_device->Log(std::move(call));
    }
    return S_OK;
}

HRESULT SpriteBatch::SetTransform(const D3DXMATRIX* transform)
{
    if (!transform)
        return D3DERR_INVALIDCALL;
    m_transform = *transform;
    return S_OK;
}

HRESULT SpriteBatch::GetTransform(D3DXMATRIX* transform)
{
    if (!transform)
        return D3DERR_INVALIDCALL;
    *transform = m_transform;
    return S_OK;
}

HRESULT SpriteBatch::Draw(IDirect3DTexture9* texture, const RECT* sourceRect, const D3DXVECTOR3* center,
                          const D3DXVECTOR3* position, D3DCOLOR color)
{
    Texture* t = AsTexture(texture);
    if (!m_begun || !t || t->Device() != m_device.Get())
        return D3DERR_INVALIDCALL;
    const TextureLevel& top = t->Level(0);
    RECT r;
    r.right = static_cast<std::int32_t>(top.width);
    r.bottom = static_cast<std::int32_t>(top.height);
    if (sourceRect)
        r = *sourceRect;
    if (r.right <= r.left || r.bottom <= r.top)
        return D3DERR_INVALIDCALL;
    if (m_device->IsLogging())
    {
        devicedebug::LoggedCall call;
        call.kind = devicedebug::CallKind::SpriteDraw;
        call.name = t->Info().file;
        call.rect = r;
        call.matrix = m_transform;
        call.color = color;
        m_device->Log(std::move(call));
    }
    const D3DXVECTOR3 c = center ? *center : D3DXVECTOR3();
    const D3DXVECTOR3 p = position ? *position : D3DXVECTOR3();
    const float x0 = p.x - c.x, y0 = p.y - c.y;
    return DrawQuad(*t, static_cast<float>(r.left), static_cast<float>(r.top), static_cast<float>(r.right),
                    static_cast<float>(r.bottom), x0, y0, x0 + static_cast<float>(r.right - r.left),
                    y0 + static_cast<float>(r.bottom - r.top), color);
}

int SpriteBatch::SlotOf(Texture& texture)
{
    for (UINT i = 0; i < m_textureCount; ++i)
        if (m_textures[i].Get() == &texture)
            return static_cast<int>(i);
    if (m_textureCount == kMaxTextureStages)
        Flush();
    m_textures[m_textureCount] = &texture;
    return static_cast<int>(m_textureCount++);
}

HRESULT SpriteBatch::DrawQuad(Texture& texture, float left, float top, float right, float bottom, float x0,
                              float y0, float x1, float y1, D3DCOLOR color)
{
    if (!m_begun)
        return D3DERR_INVALIDCALL;
    if (m_pending.size() >= kMaxQuads * 4)
        Flush();
    const float slot = static_cast<float>(SlotOf(texture));
    const TextureLevel& level = texture.Level(0);
    const float tw = static_cast<float>(level.width), th = static_cast<float>(level.height);
    const float u0 = left / tw, v0 = top / th, u1 = right / tw, v1 = bottom / th;
    m_pending.push_back(Corner(m_transform, x0, y0, 0, u0, v0, color, slot));
    m_pending.push_back(Corner(m_transform, x1, y0, 0, u1, v0, color, slot));
    m_pending.push_back(Corner(m_transform, x0, y1, 0, u0, v1, color, slot));
    m_pending.push_back(Corner(m_transform, x1, y1, 0, u1, v1, color, slot));
    return S_OK;
}

HRESULT SpriteBatch::Flush()
{
    if (!m_begun)
        return D3DERR_INVALIDCALL;
    HRESULT hr = S_OK;
    if (!m_pending.empty())
    {
        const auto quads = static_cast<UINT>(m_pending.size() / 4);
        void* data = nullptr;
        if (!MakeBuffers() ||
            FAILED(m_vertices->Lock(0, quads * 4 * sizeof(BatchVertex), &data, D3DLOCK_DISCARD)))
            hr = D3DERR_INVALIDCALL;
        else
        {
            std::memcpy(data, m_pending.data(), m_pending.size() * sizeof(BatchVertex));
            m_vertices->Unlock();
            BatchDraw draw;
            draw.type = D3DPT_TRIANGLELIST;
            draw.pixelSpace = true;
            draw.vertices = static_cast<VertexBuffer*>(m_vertices.Get());
            draw.indices = static_cast<IndexBuffer*>(m_indices.Get());
            draw.vertexCount = quads * 4;
            draw.indexCount = quads * 6;
            draw.primitiveCount = quads * 2;
            for (UINT i = 0; i < m_textureCount; ++i)
                draw.textures[i] = m_textures[i].Get();
            draw.textureCount = m_textureCount;
            hr = m_device->DrawBatch(draw);
        }
    }
    m_pending.clear();
    for (UINT i = 0; i < m_textureCount; ++i)
        m_textures[i].Reset();
    m_textureCount = 0;
    return hr;
}

HRESULT SpriteBatch::End()
{
    if (!m_begun)
        return D3DERR_INVALIDCALL;
    const HRESULT hr = Flush();
    for (const SavedState& s : m_saved)
        m_device->SetRenderState(s.state, s.value);
    m_begun = false;
    if (m_device->IsLogging())
    {
        devicedebug::LoggedCall call;
        call.kind = devicedebug::CallKind::SpriteEnd;
        m_device->Log(std::move(call));
    }
    return hr;
}

HRESULT SpriteBatch::OnLostDevice()
{
    if (m_begun)
        End();
    m_vertices.Reset();
    m_indices.Reset();
    return S_OK;
}

HRESULT SpriteBatch::OnResetDevice()
{
    return MakeBuffers() ? S_OK : D3DERR_INVALIDCALL;
}

SpriteBatch* AsSpriteBatch(ID3DXSprite* sprite)
{
    return dynamic_cast<SpriteBatch*>(sprite);
}
} // namespace plat::detail

namespace plat
{
HRESULT D3DXCreateSprite(IDirect3DDevice9* device, ID3DXSprite** sprite)
{
    if (sprite)
        *sprite = nullptr;
    detail::DeviceBase* d = detail::AsDevice(device);
    if (!d || !sprite || d->IsShutDown())
        return D3DERR_INVALIDCALL;
    auto* batch = new detail::SpriteBatch(*d);
    if (FAILED(batch->OnResetDevice()))
    {
        batch->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *sprite = batch;
    return S_OK;
}
} // namespace plat
