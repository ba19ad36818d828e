// ID3DXLine on either device: a one-pixel strip through points taken into clip space by a
// matrix. The strip goes to the device in clip space, so OpenGL clips it where it crosses
// behind the eye, which dividing by w first would get wrong.
#include "platform/d3dx9.h"

#include "platform/device_base.h"

#include <algorithm>
#include <cstring>

namespace plat
{
namespace
{
class Line final : public ID3DXLine
{
public:
    explicit Line(detail::DeviceBase& device) : m_device(&device) {}

    ULONG AddRef() override { return ++m_count; }
    ULONG Release() override
    {
        const ULONG count = --m_count;
        if (count == 0)
            delete this;
        return count;
    }

    HRESULT DrawTransform(const D3DXVECTOR3* points, DWORD count, const D3DXMATRIX* transform,
                          D3DCOLOR color) override
    {
        if (!points || count < 2 || !transform || m_device->IsShutDown())
            return D3DERR_INVALIDCALL;
        const D3DXMATRIX& m = *transform;
        m_strip.resize(count);
        for (DWORD i = 0; i < count; ++i)
        {
            const D3DXVECTOR3& p = points[i];
            detail::BatchVertex& v = m_strip[i];
            v.x = p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0];
            v.y = p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1];
            v.z = p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2];
            v.w = p.x * m.m[0][3] + p.y * m.m[1][3] + p.z * m.m[2][3] + m.m[3][3];
            v.color = color;
            v.slot = -1.0f;
        }
        if (m_device->IsLogging())
        {
            devicedebug::LoggedCall call;
            call.kind = devicedebug::CallKind::Line;
            call.matrix = m;
            call.color = color;
            for (const detail::BatchVertex& v : m_strip)
            {
                const float w = v.w != 0.0f ? v.w : 1.0f;
                call.points.push_back({v.x / w, v.y / w, v.z / w, v.w});
            }
            m_device->Log(std::move(call));
        }
        if (!MakeBuffer())
            return D3DERR_OUTOFVIDEOMEMORY;
        // Long strips go in pieces that share their end points.
        for (DWORD first = 0; first + 1 < count; first += kMaxPoints - 1)
        {
            const DWORD n = std::min<DWORD>(kMaxPoints, count - first);
            void* data = nullptr;
            if (FAILED(m_buffer->Lock(0, n * sizeof(detail::BatchVertex), &data, D3DLOCK_DISCARD)))
                return D3DERR_INVALIDCALL;
            std::memcpy(data, m_strip.data() + first, n * sizeof(detail::BatchVertex));
            m_buffer->Unlock();
            detail::BatchDraw draw;
            draw.type = D3DPT_LINESTRIP;
            draw.pixelSpace = false;
            draw.vertices = static_cast<detail::VertexBuffer*>(m_buffer.Get());
            draw.vertexCount = n;
            draw.primitiveCount = n - 1;
            const HRESULT hr = m_device->DrawBatch(draw);
            if (FAILED(hr))
                return hr;
        }
        return S_OK;
    }

    HRESULT OnLostDevice() override
    {
        m_buffer.Reset();
        return S_OK;
    }

    HRESULT OnResetDevice() override { return MakeBuffer() ? S_OK : D3DERR_OUTOFVIDEOMEMORY; }

private:
    ~Line() = default;

    bool MakeBuffer()
    {
        if (m_buffer)
            return true;
        IDirect3DVertexBuffer9* vb = nullptr;
        if (FAILED(m_device->CreateVertexBuffer(kMaxPoints * sizeof(detail::BatchVertex),
                                                D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT,
                                                &vb, nullptr)))
            return false;
        m_buffer = detail::ComPtr<IDirect3DVertexBuffer9>::Adopt(vb);
        return true;
    }

    static constexpr DWORD kMaxPoints = 1024;

    ULONG m_count = 1;
    detail::ComPtr<detail::DeviceBase> m_device;
    detail::ComPtr<IDirect3DVertexBuffer9> m_buffer;
    std::vector<detail::BatchVertex> m_strip;
};
} // namespace

HRESULT D3DXCreateLine(IDirect3DDevice9* device, ID3DXLine** line)
{
    if (line)
        *line = nullptr;
    detail::DeviceBase* d = detail::AsDevice(device);
    if (!d || !line || d->IsShutDown())
        return D3DERR_INVALIDCALL;
    auto* made = new Line(*d);
    if (FAILED(made->OnResetDevice()))
    {
        made->Release();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    *line = made;
    return S_OK;
}
} // namespace plat
