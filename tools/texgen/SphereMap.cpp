#include "SphereMap.h"

#include <cmath>

namespace texgen
{
namespace
{
constexpr float kPi = 3.14159265f;

float Dot(const Dir3& a, const Dir3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Bilinear sample of the picture's premultiplied colour at a point in its pixels; clear outside.
Color SamplePremultiplied(const Image& picture, float x, float y)
{
    const float fx = x - 0.5f;
    const float fy = y - 0.5f;
    const int x0 = static_cast<int>(std::floor(fx));
    const int y0 = static_cast<int>(std::floor(fy));
    const float tx = fx - x0;
    const float ty = fy - y0;
    Color sum{0.0f, 0.0f, 0.0f, 0.0f};
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i)
        {
            const int px = x0 + i;
            const int py = y0 + j;
            if (px < 0 || py < 0 || px >= picture.Width() || py >= picture.Height())
                continue;
            const float w = (i ? tx : 1.0f - tx) * (j ? ty : 1.0f - ty);
            const Color c = picture.Get(px, py);
            sum.r += c.r * c.a * w;
            sum.g += c.g * c.a * w;
            sum.b += c.b * c.a * w;
            sum.a += c.a * w;
        }
    return sum;
}
} // namespace

Dir3 SphereDirection(float u, float v)
{
    const float longitude = 2.0f * kPi * u;
    const float polar = kPi * v;
    return {-std::sin(polar) * std::cos(longitude), std::cos(polar), -std::sin(polar) * std::sin(longitude)};
}

void PasteOnSphere(Image& map, const Image& picture, float u, float v, float across)
{
    const Dir3 centre = SphereDirection(u, v);
    // Seen from outside, growing u runs to the right; the picture's up is the way to the top pole.
    const float longitude = 2.0f * kPi * u;
    const Dir3 right{std::sin(longitude), 0.0f, -std::cos(longitude)};
    const Dir3 up{centre.y * -centre.x, 1.0f - centre.y * centre.y, centre.y * -centre.z};
    // At a pole every way is down; the picture then stands along the seam.
    const float upLength = std::fmax(std::sqrt(Dot(up, up)), 1e-6f);
    const Dir3 upUnit{up.x / upLength, up.y / upLength, up.z / upLength};
    const float reach = std::tan(0.5f * across); // half the picture on the tangent plane

    Image layer(map.Width(), map.Height());
    for (int y = 0; y < map.Height(); ++y)
        for (int x = 0; x < map.Width(); ++x)
        {
            Color sum{0.0f, 0.0f, 0.0f, 0.0f};
            for (int s = 0; s < 4; ++s)
            {
                const float su = (x + 0.25f + 0.5f * (s & 1)) / map.Width();
                const float sv = (y + 0.25f + 0.5f * (s >> 1)) / map.Height();
                const Dir3 d = SphereDirection(su, sv);
                const float facing = Dot(d, centre);
                if (facing <= 0.1f)
                    continue;
                // Central projection onto the plane touching the sphere at the centre.
                const float a = Dot(d, right) / facing / reach;
                const float b = Dot(d, upUnit) / facing / reach;
                if (std::fabs(a) > 1.0f || std::fabs(b) > 1.0f)
                    continue;
                const Color c = SamplePremultiplied(picture, (0.5f + 0.5f * a) * picture.Width(),
                                                    (0.5f - 0.5f * b) * picture.Height());
                sum.r += c.r * 0.25f;
                sum.g += c.g * 0.25f;
                sum.b += c.b * 0.25f;
                sum.a += c.a * 0.25f;
            }
            if (sum.a > 0.0f)
                layer.Set(x, y, {sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a});
        }
    map.Draw(layer);
}

} // namespace texgen
