// Textures of the game objects in the room: the wood and metal looks a widget takes with its
// weight, the magnetic field's positive and negative looks, the target before and after it is
// hit, the accelerator's belt both ways round (its effect scrolls it along u), and the star
// object's and the location objective's skins. Material textures repeat without seams.
#include "ArtCatalog.h"
#include "Font.h"
#include "Noise.h"
#include "Style.h"

#include <cmath>

namespace texgen
{
namespace
{
using namespace palette;

constexpr float kPi = 3.14159265f;
constexpr int kSize = 256;

// Four planks across, each with its own tone, grain and a dark joint under it.
Image Wood()
{
    const Color light = Rgb(0xE0B27A);
    const Color dark = Rgb(0xA66F3D);
    return PerPixel(kSize, kSize,
                    [&](float x, float y)
                    {
                        const int plank = static_cast<int>(y) / 64;
                        const float v = y - plank * 64.0f;
                        const float tone = HashUnit(plank, 0, 51u) * 0.25f - 0.12f;
                        const float offset = HashUnit(plank, 1, 51u) * 256.0f;
                        const float warp = Fbm((x + offset) / 64.0f, y / 16.0f, 4, 16, 3, 52u);
                        const float grain =
                            0.5f + 0.5f * std::sin((v / 64.0f * 7.0f + warp * 2.2f) * 2.0f * kPi);
                        const float streak = Fbm((x + offset) / 128.0f, y / 2.0f, 2, 128, 2, 53u);
                        Color c = Mix(dark, light, 0.35f + 0.45f * grain * (0.6f + 0.4f * streak));
                        c = Shade(c, tone);
                        if (v < 2.0f)
                            c = Shade(c, -0.45f);
                        else if (v < 3.0f)
                            c = Shade(c, 0.15f);
                        return c;
                    });
}

// Brushed steel in four panels with seams and a rivet in each corner.
Image Metal()
{
    Image img = PerPixel(kSize, kSize,
                         [](float x, float y)
                         {
                             const float brush = Fbm(x / 128.0f, y / 2.0f, 2, 128, 3, 61u);
                             const float cloud = Fbm(x / 64.0f, y / 64.0f, 4, 4, 3, 62u);
                             Color c =
                                 Mix(Rgb(0x8E97A3), Rgb(0xC3CAD3), 0.35f + 0.4f * brush + 0.25f * cloud);
                             return c;
                         });
    for (int i = 0; i <= 2; ++i)
    {
        const float p = i * 128.0f;
        img.Fill(RoundRect(p - 1.5f, -1.0f, p + 1.5f, kSize + 1.0f, 0.0f), Rgb(0x5E6672));
        img.Fill(RoundRect(-1.0f, p - 1.5f, kSize + 1.0f, p + 1.5f, 0.0f), Rgb(0x5E6672));
        img.Fill(RoundRect(p + 1.5f, -1.0f, p + 2.5f, kSize + 1.0f, 0.0f), WithAlpha(kWhite, 0.5f));
        img.Fill(RoundRect(-1.0f, p + 1.5f, kSize + 1.0f, p + 2.5f, 0.0f), WithAlpha(kWhite, 0.5f));
    }
    for (int gy = 0; gy < 2; ++gy)
        for (int gx = 0; gx < 2; ++gx)
            for (int corner = 0; corner < 4; ++corner)
            {
                const float cx = gx * 128.0f + ((corner & 1) ? 116.0f : 12.0f);
                const float cy = gy * 128.0f + ((corner & 2) ? 116.0f : 12.0f);
                img.Shadow(Circle(cx, cy, 4.5f), 1.0f, 1.5f, 1.5f, WithAlpha(kInk, 0.5f));
                img.Fill(Circle(cx, cy, 4.5f),
                         Radial(cx - 1.5f, cy - 1.5f, 6.0f, Rgb(0xF0F3F6), Rgb(0x7D8793)));
            }
    return img;
}

// The field around a charged widget: glowing bands with its sign repeated over them, partly
// see-through so the widget shows inside.
Image MagneticField(const Color& tint, bool positive)
{
    Image img = PerPixel(kSize, kSize,
                         [&](float x, float y)
                         {
                             const float band = 0.5f + 0.5f * std::sin((y / kSize * 6.0f) * 2.0f * kPi);
                             const float shimmer = Fbm(x / 64.0f, y / 64.0f, 4, 4, 3, positive ? 71u : 72u);
                             const float glow = 0.25f + 0.45f * band * band + 0.2f * shimmer;
                             return WithAlpha(Mix(tint, kWhite, band * 0.35f), Clamp01(glow));
                         });
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
        {
            const float cx = col * 64.0f + ((row % 2) ? 64.0f : 32.0f);
            const float cy = row * 64.0f + 32.0f;
            for (int wrap = -1; wrap <= 0; ++wrap)
            {
                const float x = cx + wrap * kSize;
                const Shape sign = positive ? PlusSign(x, cy, 10.0f, 3.2f) : MinusSign(x, cy, 10.0f, 3.2f);
                img.Fill(Offset(sign, 2.0f), WithAlpha(Shade(tint, -0.4f), 0.8f));
                img.Fill(sign, WithAlpha(kWhite, 0.95f));
            }
        }
    return img;
}

// A bullseye filling the square; the rings use the given colours from the outside in.
Image Bullseye(const Color& ring, const Color& gap, const Color& centre, bool check)
{
    Image img(kSize, kSize);
    img.Clear(gap);
    const float c = kSize * 0.5f;
    const float radii[5] = {128.0f, 100.0f, 74.0f, 48.0f, 22.0f};
    for (int i = 0; i < 5; ++i)
    {
        const Color fill = (i % 2 == 0) ? ring : gap;
        img.Fill(Circle(c, c, radii[i]), Radial(c - radii[i] * 0.3f, c - radii[i] * 0.4f, radii[i] * 1.6f,
                                                Shade(fill, 0.15f), Shade(fill, -0.12f)));
        img.Fill(Outline(Circle(c, c, radii[i]), 3.0f), WithAlpha(kInk, 0.6f));
    }
    img.Fill(Circle(c, c, 22.0f), Radial(c - 6.0f, c - 8.0f, 30.0f, Shade(centre, 0.4f), centre));
    if (check)
    {
        const Shape mark = Union(Capsule(c - 40.0f, c + 2.0f, c - 12.0f, c + 30.0f, 11.0f),
                                 Capsule(c - 12.0f, c + 30.0f, c + 44.0f, c - 34.0f, 11.0f));
        img.Shadow(Offset(mark, 5.0f), 0.0f, 4.0f, 4.0f, WithAlpha(kInk, 0.45f));
        img.Fill(Offset(mark, 5.0f), kInk);
        img.Fill(mark, Linear(0.0f, c - 40.0f, kWhite, 0.0f, c + 40.0f, Rgb(0xDDF5DD)));
    }
    return img;
}

// The accelerator's belt: yellow chevrons pointing along +u (or, reversed, along -u) on dark
// rubber, between rails. The game shows the belt whose chevrons point the way it runs.
Image AcceleratorBelt(bool reversed)
{
    Image img = PerPixel(kSize, kSize,
                         [](float x, float y)
                         {
                             const float rubber = Fbm(x / 32.0f, y / 32.0f, 8, 8, 3, 81u);
                             return Shade(Rgb(0x2B303B), (rubber - 0.5f) * 0.2f);
                         });
    for (int i = 0; i < 4; ++i)
        for (int wrap = -1; wrap <= 1; ++wrap)
        {
            const float x = i * 64.0f + 20.0f + wrap * kSize;
            // Reversed, the chevron is mirrored within its own 46 texels.
            auto at = [&](float dx, float y) { return Vec2{reversed ? x + 46.0f - dx : x + dx, y}; };
            const Shape chevron = Polygon({at(0.0f, 48.0f), at(18.0f, 48.0f), at(46.0f, 128.0f),
                                           at(18.0f, 208.0f), at(0.0f, 208.0f), at(28.0f, 128.0f)});
            img.Shadow(chevron, 2.0f, 3.0f, 3.0f, WithAlpha(Rgb(0x000000), 0.5f));
            img.Fill(chevron, Linear(0.0f, 48.0f, Rgb(0xFFE27A), 0.0f, 208.0f, Rgb(0xF5A623)));
        }
    for (int side = 0; side < 2; ++side)
    {
        const float y0 = side == 0 ? -1.0f : 224.0f;
        const float y1 = side == 0 ? 32.0f : 257.0f;
        img.Fill(RoundRect(-1.0f, y0, kSize + 1.0f, y1, 0.0f),
                 Linear(0.0f, y0, Rgb(0xC9D0D8), 0.0f, y1, Rgb(0x7E8894)));
        img.Fill(RoundRect(-1.0f, side == 0 ? 30.0f : 224.0f, kSize + 1.0f, side == 0 ? 32.0f : 226.0f, 0.0f),
                 Rgb(0x1A1D24));
    }
    return img;
}

// The star object's skin, wrapped round a sphere: deep blue with a gold band and stars.
Image QuorbSkin()
{
    Image img = PerPixel(kSize, kSize,
                         [](float x, float y)
                         {
                             const float v = y / kSize;
                             const float light = 0.5f + 0.5f * std::cos((v - 0.35f) * kPi);
                             const float swirl = Fbm(x / 64.0f, y / 64.0f, 4, 4, 3, 91u);
                             return Mix(Shade(kQuorb, -0.35f), Shade(kQuorb, 0.25f),
                                        Clamp01(light * 0.8f + swirl * 0.3f));
                         });
    img.Fill(RoundRect(-1.0f, 120.0f, kSize + 1.0f, 136.0f, 0.0f),
             Linear(0.0f, 120.0f, Shade(kGold, 0.4f), 0.0f, 136.0f, Shade(kGold, -0.2f)));
    img.Fill(RoundRect(-1.0f, 118.0f, kSize + 1.0f, 120.0f, 0.0f), kInk);
    img.Fill(RoundRect(-1.0f, 136.0f, kSize + 1.0f, 138.0f, 0.0f), kInk);
    Random rnd(92u);
    for (int i = 0; i < 10; ++i)
    {
        const float sx = rnd.Range(16.0f, 240.0f);
        const float sy = i % 2 == 0 ? rnd.Range(50.0f, 100.0f) : rnd.Range(160.0f, 210.0f);
        const float r = rnd.Range(6.0f, 10.0f);
        const Shape star = Polygon({{sx, sy - r},
                                    {sx + r * 0.25f, sy - r * 0.25f},
                                    {sx + r, sy},
                                    {sx + r * 0.25f, sy + r * 0.25f},
                                    {sx, sy + r},
                                    {sx - r * 0.25f, sy + r * 0.25f},
                                    {sx - r, sy},
                                    {sx - r * 0.25f, sy - r * 0.25f}});
        img.Fill(star, WithAlpha(kWhite, 0.9f));
    }
    return img;
}

// The location zone: a red, half see-through sphere skin with soft rings.
Image LocationZone()
{
    return PerPixel(kSize, kSize,
                    [](float x, float y)
                    {
                        const float ring = 0.5f + 0.5f * std::sin((y / kSize * 8.0f) * 2.0f * kPi);
                        const float swirl = Fbm(x / 64.0f, y / 64.0f, 4, 4, 3, 101u);
                        const Color c = Mix(Rgb(0xE8392E), Rgb(0xFF9A8A), ring * 0.6f + swirl * 0.2f);
                        return WithAlpha(c, 0.45f + 0.25f * ring);
                    });
}
} // namespace

void AddObjectArt(std::vector<ArtFile>& out)
{
    out.push_back({"common/wood_diffuse.png", kSize, kSize, Wood});
    out.push_back({"common/metal1_diffuse.png", kSize, kSize, Metal});
    out.push_back({"widgets/magnet/positive_magnetic_field_diffuse.png", kSize, kSize,
                   [] { return MagneticField(Rgb(0xF0503C), true); }});
    out.push_back({"widgets/magnet/negative_magnetic_field_diffuse.png", kSize, kSize,
                   [] { return MagneticField(Rgb(0x3C7CF0), false); }});
    out.push_back(
        {"widgets/target/target_diff.png", kSize, kSize, [] { return Bullseye(kRed, kWhite, kRed, false); }});
    out.push_back({"widgets/target/target_complete_diff.png", kSize, kSize,
                   [] { return Bullseye(kGreen, kWhite, kGold, true); }});
    out.push_back(
        {"widgets/accelerator/accelerator_diffuse.png", kSize, kSize, [] { return AcceleratorBelt(false); }});
    out.push_back({"widgets/accelerator/accelerator_reversed_diffuse.png", kSize, kSize,
                   [] { return AcceleratorBelt(true); }});
    out.push_back({"widgets/quorb/quorb_diffuse.png", kSize, kSize, QuorbSkin});
    out.push_back({"widgets/location/location_diffuse.png", kSize, kSize, LocationZone});
}

} // namespace texgen
