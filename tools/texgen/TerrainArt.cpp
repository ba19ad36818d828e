// The terrain's data and looks: a 129 x 129 height map (one grey channel) with a flat plain, one
// round hill and one round valley; three seamless base textures (grass, rock, sand) that the
// terrain effect tiles; and a blend map over the whole terrain whose red, green and blue
// channels weigh grass, rock and sand.
//
// Height values (0..255): the plain is exactly 96 everywhere outside the hill and the valley,
// the hill rises to 237 at cell (42, 46) and the valley sinks to 19 at cell (88, 84) (column,
// row). Both are smooth cosine bumps that reach the plain at radius 30 and 26 cells.
#include "ArtCatalog.h"
#include "Noise.h"
#include "Style.h"

#include <algorithm>
#include <cmath>

namespace texgen
{
namespace
{
constexpr float kPi = 3.14159265f;
constexpr int kCells = 129;
constexpr float kPlain = 96.0f / 255.0f;

struct Bump
{
    float x;
    float y;
    float radius;
    float height; // added to the plain at the centre, 0..1 of the full range
};

const Bump kHill{42.0f, 46.0f, 30.0f, 141.0f / 255.0f};
const Bump kValley{88.0f, 84.0f, 26.0f, -77.0f / 255.0f};

float BumpAt(const Bump& b, float x, float y)
{
    const float t = std::sqrt((x - b.x) * (x - b.x) + (y - b.y) * (y - b.y)) / b.radius;
    return t < 1.0f ? b.height * 0.5f * (1.0f + std::cos(kPi * t)) : 0.0f;
}

// Height 0..1 at a point given in cells (column x, row y).
float HeightAt(float x, float y)
{
    return kPlain + BumpAt(kHill, x, y) + BumpAt(kValley, x, y);
}

Image HeightMap()
{
    Image img(kCells, kCells);
    for (int y = 0; y < kCells; ++y)
        for (int x = 0; x < kCells; ++x)
        {
            const float h = HeightAt(static_cast<float>(x), static_cast<float>(y));
            img.Set(x, y, {h, h, h, 1.0f});
        }
    return img;
}

// Seamless textures are drawn per pixel from noise with a period of the image's width.
template <typename F> Image PerPixel(int size, F colourAt)
{
    Image img(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            img.Set(x, y, colourAt(static_cast<float>(x), static_cast<float>(y)));
    return img;
}

Image Grass()
{
    const Color dark = Rgb(0x3F7A2A);
    const Color mid = Rgb(0x5E9E38);
    const Color light = Rgb(0x8BC34A);
    return PerPixel(256,
                    [&](float x, float y)
                    {
                        const float patches = Fbm(x / 64.0f, y / 64.0f, 4, 4, 4, 11u);
                        const float blades = HashUnit(static_cast<int>(x), static_cast<int>(y) / 2, 12u);
                        const float fine = Fbm(x / 8.0f, y / 8.0f, 32, 32, 2, 13u);
                        Color c = Mix(dark, mid, SmoothStep(0.25f, 0.7f, patches));
                        c = Mix(c, light, SmoothStep(0.55f, 0.95f, fine) * 0.6f);
                        if (blades > 0.93f)
                            c = Shade(c, 0.18f);
                        else if (blades < 0.06f)
                            c = Shade(c, -0.2f);
                        return c;
                    });
}

Image Rock()
{
    const Color dark = Rgb(0x6B625A);
    const Color mid = Rgb(0x8F867C);
    const Color light = Rgb(0xB5ADA2);
    return PerPixel(256,
                    [&](float x, float y)
                    {
                        const float body = Fbm(x / 48.0f, y / 48.0f, 5, 5, 5, 21u);
                        const float ridge =
                            1.0f - std::fabs(2.0f * Fbm(x / 32.0f, y / 32.0f, 8, 8, 4, 22u) - 1.0f);
                        const float grain = HashUnit(static_cast<int>(x), static_cast<int>(y), 23u);
                        Color c = Mix(dark, light, Clamp01(body * 1.3f - 0.15f));
                        c = Mix(c, mid, 0.3f);
                        // Cracks where the ridge noise peaks.
                        c = Shade(c, -0.35f * SmoothStep(0.88f, 0.97f, ridge));
                        return Shade(c, (grain - 0.5f) * 0.12f);
                    });
}

Image Sand()
{
    const Color base = Rgb(0xD9C08C);
    const Color shadow = Rgb(0xBFA06A);
    const Color light = Rgb(0xEDDDB5);
    return PerPixel(256,
                    [&](float x, float y)
                    {
                        const float warp = Fbm(x / 64.0f, y / 64.0f, 4, 4, 3, 31u);
                        // Wind ripples: eight across the tile so they meet themselves at the edges.
                        const float ripple =
                            0.5f + 0.5f * std::sin((y / 256.0f * 8.0f + warp * 1.5f) * 2.0f * kPi);
                        const float grain = HashUnit(static_cast<int>(x), static_cast<int>(y), 32u);
                        Color c = Mix(shadow, base, SmoothStep(0.1f, 0.6f, ripple));
                        c = Mix(c, light, SmoothStep(0.75f, 1.0f, ripple) * 0.6f);
                        return Shade(c, (grain - 0.5f) * 0.1f);
                    });
}

Image BlendMap()
{
    const int size = 256;
    const float toCells = static_cast<float>(kCells - 1) / static_cast<float>(size - 1);
    return PerPixel(size,
                    [&](float px, float py)
                    {
                        const float x = px * toCells;
                        const float y = py * toCells;
                        const float h = HeightAt(x, y);
                        const float gx = HeightAt(x + 0.5f, y) - HeightAt(x - 0.5f, y);
                        const float gy = HeightAt(x, y + 0.5f) - HeightAt(x, y - 0.5f);
                        const float slope = std::sqrt(gx * gx + gy * gy);
                        const float wobble = (Fbm(px / 32.0f, py / 32.0f, 8, 8, 3, 41u) - 0.5f) * 0.08f;
                        const float rock = Clamp01(SmoothStep(0.010f, 0.024f, slope + wobble * 0.1f) +
                                                   SmoothStep(0.78f, 0.9f, h + wobble));
                        const float sand = SmoothStep(kPlain - 0.04f, kPlain - 0.16f, h + wobble);
                        const float grass = std::max(0.0f, 1.0f - rock - sand);
                        const float sum = grass + rock + sand;
                        return Color{grass / sum, rock / sum, sand / sum, 1.0f};
                    });
}
} // namespace

void AddTerrainArt(std::vector<ArtFile>& out)
{
    out.push_back({"terrain/height_map.png", kCells, kCells, HeightMap, true});
    out.push_back({"terrain/grass_diffuse.png", 256, 256, Grass});
    out.push_back({"terrain/rock_diffuse.png", 256, 256, Rock});
    out.push_back({"terrain/sand_diffuse.png", 256, 256, Sand});
    out.push_back({"terrain/blend_map.png", 256, 256, BlendMap});
}

} // namespace texgen
