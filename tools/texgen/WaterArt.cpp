// The still water's normal map: a 128 x 128 tileable field of gentle ripples, the sum of a few
// sine waves whose periods divide the tile, so the map repeats without seams. Each pixel holds
// the tangent-space normal (x along u, y along v, z up) as (n + 1) / 2 in red, green and blue.
#include "ArtCatalog.h"

#include <cmath>

namespace texgen
{
namespace
{
constexpr int kSize = 128;
constexpr float kTwoPi = 6.28318531f;
constexpr float kStrength = 0.35f; // how steep the ripples are

struct Wave
{
    float alongU; // whole waves across the tile
    float alongV;
    float height;
};
const Wave kWaves[] = {{3, 1, 0.6f}, {-2, 4, 0.45f}, {5, -3, 0.3f}, {1, 7, 0.2f}};

Image WaterNormals()
{
    Image img(kSize, kSize);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
        {
            const float u = static_cast<float>(x) / kSize;
            const float v = static_cast<float>(y) / kSize;
            float dx = 0.0f, dy = 0.0f;
            for (const Wave& w : kWaves)
            {
                const float slope =
                    w.height * std::cos(kTwoPi * (w.alongU * u + w.alongV * v)) * kTwoPi * kStrength / 8.0f;
                dx += slope * w.alongU;
                dy += slope * w.alongV;
            }
            const float length = std::sqrt(dx * dx + dy * dy + 1.0f);
            img.Set(x, y,
                    {(-dx / length + 1.0f) * 0.5f, (-dy / length + 1.0f) * 0.5f,
                     (1.0f / length + 1.0f) * 0.5f, 1.0f});
        }
    return img;
}
} // namespace

void AddWaterArt(std::vector<ArtFile>& out)
{
    out.push_back({"water/water_normals.png", kSize, kSize, WaterNormals});
}
} // namespace texgen
