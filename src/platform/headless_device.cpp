// The headless memory device: every surface is memory, clears and stretch-copies really
// change it, draws are only counted and logged. Text is measured with fixed metrics so
// layouts can be worked out by hand.
#include "platform/headless_device.h"

#include <algorithm>
#include <cmath>

namespace plat::detail
{
namespace
{
std::uint32_t Channel(std::uint32_t pixel, int shift)
{
    return (pixel >> shift) & 0xFFu;
}

class HeadlessDevice final : public DeviceBase
{
public:
    HeadlessDevice(const D3DPRESENT_PARAMETERS& params, const D3DCAPS9& caps, ComPtr<Direct3DObject> d3d,
                   std::function<void()> onPresent)
        : DeviceBase(params, caps, std::move(d3d)), m_onPresent(std::move(onPresent))
    {
    }

    ~HeadlessDevice() override { Shutdown(); }

    bool UsesFixedFontMetrics() const override { return true; }

protected:
    void BackendCreate(ResourceCore&) override {}
    void BackendDestroy(ResourceCore&) override {}
    void BackendTextureWritten(Texture&, UINT, const RECT&) override {}
    bool BackendReadTexture(Texture&, UINT, std::vector<std::uint32_t>&) override { return false; }
    void BackendBufferWritten(BufferCore&, UINT, UINT, bool) override {}

    void BackendClear(const D3DRECT& r, DWORD flags, D3DCOLOR color, float, DWORD) override
    {
        if (!(flags & D3DCLEAR_TARGET))
            return;
        TextureSurface& target = ColourTarget();
        TextureLevel& level = target.GetTexture().Level(target.Level());
        for (std::int32_t y = r.y1; y < r.y2; ++y)
            std::fill_n(level.pixels.begin() + static_cast<std::ptrdiff_t>(y) * level.width + r.x1,
                        r.x2 - r.x1, color);
    }

    void BackendStretch(TextureSurface& source, const RECT& sr, TextureSurface& dest, const RECT& dr,
                        D3DTEXTUREFILTERTYPE filter) override
    {
        const TextureLevel& src = source.GetTexture().Level(source.Level());
        TextureLevel& dst = dest.GetTexture().Level(dest.Level());
        StretchPixels(src.pixels, src.width, sr, dst.pixels, dst.width, dr, filter == D3DTEXF_LINEAR);
    }

    void BackendDraw(const DrawCall&) override {}
    void BackendDrawBatch(const BatchDraw&) override {}

    void BackendPresent() override
    {
        if (m_onPresent)
            m_onPresent();
    }

    void BackendReset() override {}
    void BackendShutdown() override {}
    bool KeepsTexturePixels(DWORD) const override { return true; }

private:
    std::function<void()> m_onPresent;
};
} // namespace

void StretchPixels(const std::vector<std::uint32_t>& src, UINT srcWidth, const RECT& sr,
                   std::vector<std::uint32_t>& dst, UINT dstWidth, const RECT& dr, bool linear)
{
    const int sw = sr.right - sr.left, sh = sr.bottom - sr.top;
    const int dw = dr.right - dr.left, dh = dr.bottom - dr.top;
    const double sx = static_cast<double>(sw) / dw, sy = static_cast<double>(sh) / dh;
    auto at = [&](int x, int y)
    {
        x = std::clamp(x, static_cast<int>(sr.left), static_cast<int>(sr.right) - 1);
        y = std::clamp(y, static_cast<int>(sr.top), static_cast<int>(sr.bottom) - 1);
        return src[static_cast<std::size_t>(y) * srcWidth + static_cast<std::size_t>(x)];
    };
    for (int y = 0; y < dh; ++y)
    {
        for (int x = 0; x < dw; ++x)
        {
            // The destination pixel's centre, in source pixels.
            const double u = sr.left + (x + 0.5) * sx;
            const double v = sr.top + (y + 0.5) * sy;
            std::uint32_t out;
            if (!linear)
                out = at(static_cast<int>(std::floor(u)), static_cast<int>(std::floor(v)));
            else
            {
                const double fu = u - 0.5, fv = v - 0.5;
                const int x0 = static_cast<int>(std::floor(fu)), y0 = static_cast<int>(std::floor(fv));
                const double ax = fu - x0, ay = fv - y0;
                const std::uint32_t p00 = at(x0, y0), p10 = at(x0 + 1, y0), p01 = at(x0, y0 + 1),
                                    p11 = at(x0 + 1, y0 + 1);
                out = 0;
                for (int shift = 0; shift < 32; shift += 8)
                {
                    const double top = Channel(p00, shift) * (1 - ax) + Channel(p10, shift) * ax;
                    const double bottom = Channel(p01, shift) * (1 - ax) + Channel(p11, shift) * ax;
                    const auto c = static_cast<std::uint32_t>(top * (1 - ay) + bottom * ay + 0.5);
                    out |= std::min(c, 255u) << shift;
                }
            }
            dst[static_cast<std::size_t>(dr.top + y) * dstWidth + static_cast<std::size_t>(dr.left + x)] =
                out;
        }
    }
}

ComPtr<DeviceBase> MakeHeadlessDevice(const D3DPRESENT_PARAMETERS& params, const D3DCAPS9& caps,
                                      ComPtr<Direct3DObject> d3d, std::function<void()> onPresent)
{
    auto device =
        ComPtr<DeviceBase>::Adopt(new HeadlessDevice(params, caps, std::move(d3d), std::move(onPresent)));
    device->Initialise();
    return device;
}
} // namespace plat::detail
