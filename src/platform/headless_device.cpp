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
    auto row = [](UINT width, int y, int x)
    { return static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x); };
    if (sw == dw && sh == dh)
    {
        // Unscaled: every destination centre falls on a source centre, so both filters copy.
        for (int y = 0; y < dh; ++y)
            std::copy_n(src.begin() + static_cast<std::ptrdiff_t>(row(srcWidth, sr.top + y, sr.left)), dw,
                        dst.begin() + static_cast<std::ptrdiff_t>(row(dstWidth, dr.top + y, dr.left)));
        return;
    }
    const double sx = static_cast<double>(sw) / dw, sy = static_cast<double>(sh) / dh;
    // Where each destination column and row reads (the pixel's centre, in source pixels), worked
    // out once: the two neighbours clamped to the source rectangle and the weight of the second.
    struct Tap
    {
        int first, second;
        double weight;
    };
    auto taps = [linear](int count, int low, int high, double scale)
    {
        std::vector<Tap> out(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
        {
            const double centre = low + (i + 0.5) * scale;
            Tap& t = out[static_cast<std::size_t>(i)];
            if (!linear)
            {
                t.first = t.second = std::clamp(static_cast<int>(std::floor(centre)), low, high - 1);
                t.weight = 0.0;
                continue;
            }
            const double f = centre - 0.5;
            const int i0 = static_cast<int>(std::floor(f));
            t.weight = f - i0;
            t.first = std::clamp(i0, low, high - 1);
            t.second = std::clamp(i0 + 1, low, high - 1);
        }
        return out;
    };
    const std::vector<Tap> columns = taps(dw, sr.left, sr.right, sx);
    const std::vector<Tap> rows = taps(dh, sr.top, sr.bottom, sy);
    for (int y = 0; y < dh; ++y)
    {
        const Tap& ty = rows[static_cast<std::size_t>(y)];
        const std::uint32_t* top = src.data() + row(srcWidth, ty.first, 0);
        const std::uint32_t* bottom = src.data() + row(srcWidth, ty.second, 0);
        std::uint32_t* out = dst.data() + row(dstWidth, dr.top + y, dr.left);
        for (int x = 0; x < dw; ++x)
        {
            const Tap& tx = columns[static_cast<std::size_t>(x)];
            if (!linear)
            {
                out[x] = top[tx.first];
                continue;
            }
            const double ax = tx.weight, ay = ty.weight;
            const std::uint32_t p00 = top[tx.first], p10 = top[tx.second], p01 = bottom[tx.first],
                                p11 = bottom[tx.second];
            std::uint32_t pixel = 0;
            for (int shift = 0; shift < 32; shift += 8)
            {
                const double upper = Channel(p00, shift) * (1 - ax) + Channel(p10, shift) * ax;
                const double lower = Channel(p01, shift) * (1 - ax) + Channel(p11, shift) * ax;
                const auto c = static_cast<std::uint32_t>(upper * (1 - ay) + lower * ay + 0.5);
                pixel |= std::min(c, 255u) << shift;
            }
            out[x] = pixel;
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
