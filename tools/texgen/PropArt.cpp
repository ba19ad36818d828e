// Props that rooms and tests scatter about: a wooden crate (each side of the box carries the
// whole image), a painted drum (u runs round the cylinder, v down it; the caps show the image
// squeezed into a disc), a beach ball (a sphere map), a robot arm (u round its eight sides, v
// from the tip down to the shoulder, with the elbow joint at the middle) and the woven cloth of
// the hanging cloth (the whole image once across the cloth, repeating without a seam both ways).
// What wraps round a mesh repeats without a seam in u.
#include "ArtCatalog.h"
#include "Noise.h"
#include "Style.h"

#include <algorithm>
#include <cmath>

namespace texgen
{
namespace
{
using namespace palette;

constexpr float kPi = 3.14159265f;

// Wood grain running along the direction (dx, dy): rings across it, warped by noise.
Paint Grain(float dx, float dy, const Color& light, const Color& dark, uint32_t seed)
{
    return [=](float x, float y)
    {
        const float along = x * dx + y * dy;
        const float across = -x * dy + y * dx;
        const float warp = Fbm(along / 96.0f, across / 24.0f, 64, 64, 3, seed);
        const float rings = 0.5f + 0.5f * std::sin((across / 9.0f + warp * 1.1f) * 2.0f * kPi);
        const float streak = Fbm(along / 96.0f, across / 2.0f, 64, 256, 2, seed + 1u);
        return Mix(dark, light, 0.35f + 0.5f * rings * (0.55f + 0.45f * streak));
    };
}

// The crate side: vertical planks behind a frame of four boards and a diagonal brace, nailed.
Image Crate()
{
    constexpr float kSize = 256.0f;
    constexpr float kBoard = 30.0f;
    const Color light = Rgb(0xE8BE86);
    const Color dark = Rgb(0xA8713F);
    const Color joint = Rgb(0x5A3A1E);
    Image img(256, 256);
    img.Fill(RoundRect(-1.0f, -1.0f, kSize + 1.0f, kSize + 1.0f, 0.0f),
             Grain(0.0f, 1.0f, Shade(light, -0.12f), Shade(dark, -0.15f), 301u));
    for (int i = 1; i < 4; ++i)
    {
        const float x = i * kSize / 4.0f;
        img.Fill(RoundRect(x - 1.5f, -1.0f, x + 1.5f, kSize + 1.0f, 0.0f), joint);
    }
    const float inner0 = kBoard;
    const float inner1 = kSize - kBoard;
    // The brace runs between the inner corners, under the frame.
    const Shape brace = Intersect(Polygon({{inner0 - 8.0f, inner1 - 14.0f},
                                           {inner1 - 14.0f, inner0 - 8.0f},
                                           {inner1 + 8.0f, inner0 + 14.0f},
                                           {inner0 + 14.0f, inner1 + 8.0f}}),
                                  RoundRect(inner0, inner0, inner1, inner1, 0.0f));
    img.Shadow(brace, 3.0f, 4.0f, 4.0f, WithAlpha(joint, 0.6f));
    img.Fill(brace, Grain(0.7071f, -0.7071f, light, dark, 311u));
    img.Fill(Outline(brace, 2.5f), joint);

    const Shape top = RoundRect(0.0f, 0.0f, kSize, kBoard, 0.0f);
    const Shape bottom = RoundRect(0.0f, kSize - kBoard, kSize, kSize, 0.0f);
    const Shape left = RoundRect(0.0f, kBoard, kBoard, kSize - kBoard, 0.0f);
    const Shape right = RoundRect(kSize - kBoard, kBoard, kSize, kSize - kBoard, 0.0f);
    img.Shadow(Union(Union(top, bottom), Union(left, right)), 3.0f, 4.0f, 4.0f, WithAlpha(joint, 0.6f));
    const Paint across = Grain(1.0f, 0.0f, light, dark, 321u);
    const Paint upright = Grain(0.0f, 1.0f, light, dark, 331u);
    for (const Shape& board : {top, bottom})
        img.Fill(board, across);
    for (const Shape& board : {left, right})
        img.Fill(board, upright);
    for (const Shape& board : {top, bottom, left, right})
    {
        img.Fill(Outline(board, 3.0f), joint);
        // A lit top edge and a shaded bottom one on each board.
        img.Fill(Intersect(Offset(board, -1.5f),
                           HalfPlane(1e4f, board.bounds.y0 + 4.0f, -1e4f, board.bounds.y0 + 4.0f)),
                 WithAlpha(kWhite, 0.3f));
    }
    // Nails where the boards cross and at the ends of the brace.
    const float h = kBoard * 0.5f;
    const Vec2 nails[] = {{h, h},
                          {kSize - h, h},
                          {h, kSize - h},
                          {kSize - h, kSize - h},
                          {inner0 + 16.0f, inner1 - 16.0f},
                          {inner1 - 16.0f, inner0 + 16.0f}};
    for (const Vec2& n : nails)
        for (int k = -1; k <= 1; k += 2)
        {
            const float nx = n.x + k * 7.0f;
            img.Fill(Circle(nx, n.y, 3.6f), joint);
            img.Fill(Circle(nx, n.y, 2.6f),
                     Radial(nx - 1.0f, n.y - 1.0f, 3.5f, Rgb(0xD5D9DE), Rgb(0x5F6670)));
        }
    return img;
}

// A painted steel drum: rolled rims at the ends, two ribs round it, a white stripe round the
// middle and a welded seam down one side (at u = 0, where the wrap meets itself).
Image Barrel()
{
    constexpr float kSize = 256.0f;
    const Color paint = Rgb(0x2E8FD8);
    Image img =
        PerPixel(256, 256,
                 [&](float x, float y)
                 {
                     const float wear = Fbm(x / 32.0f, y / 32.0f, 8, 8, 4, 341u);
                     const float streak = Fbm(x / 4.0f, y / 64.0f, 64, 4, 2, 342u);
                     const float chips = Fbm(x / 8.0f, y / 8.0f, 32, 32, 3, 343u);
                     Color c = Shade(paint, (wear - 0.5f) * 0.16f + (streak - 0.5f) * 0.06f);
                     // Chips where the paint wore through to the metal.
                     return Mix(c, Rgb(0x9AA3AE), SmoothStep(0.7f, 0.76f, chips * wear * 1.6f) * 0.6f);
                 });
    for (const float x : {0.0f, kSize})
        img.Fill(RoundRect(x - 1.5f, -1.0f, x + 1.5f, kSize + 1.0f, 0.0f),
                 WithAlpha(Shade(paint, -0.45f), 0.6f));
    img.Fill(RoundRect(-1.0f, 120.0f, kSize + 1.0f, 136.0f, 0.0f),
             Linear(0.0f, 120.0f, Rgb(0xFAFAFA), 0.0f, 136.0f, Rgb(0xDADDE2)));
    // Rims at the ends and two ribs; each lit from above, shaded below.
    const float bands[][2] = {{-1.0f, 12.0f}, {80.0f, 92.0f}, {164.0f, 176.0f}, {244.0f, 257.0f}};
    for (const auto& band : bands)
    {
        img.Fill(RoundRect(-1.0f, band[0] - 2.0f, kSize + 1.0f, band[1] + 2.0f, 0.0f), WithAlpha(kInk, 0.5f));
        img.Fill(
            RoundRect(-1.0f, band[0], kSize + 1.0f, band[1], 0.0f),
            LinearStops(
                0.0f, band[0], 0.0f, band[1],
                {{0.0f, Shade(paint, 0.45f)}, {0.45f, Shade(paint, 0.1f)}, {1.0f, Shade(paint, -0.4f)}}));
    }
    return img;
}

// A beach ball: six gores (red, white, yellow, white, blue, white) meeting at white caps on the
// poles, each cap with a small button.
Image BeachBall()
{
    const Color gores[6] = {kRed, Rgb(0xFBFBF8), Rgb(0xFFCC33), Rgb(0xFBFBF8), kBlue, Rgb(0xFBFBF8)};
    constexpr float kWidth = 256.0f;
    constexpr float kHeight = 128.0f;
    return PerPixel(256, 128,
                    [&](float x, float y)
                    {
                        const float cx = x + 0.5f;
                        const float cy = y + 0.5f;
                        const float gore = cx / (kWidth / 6.0f);
                        const int index = static_cast<int>(gore) % 6;
                        // Distance to the nearest seam, in pixels; a soft dark line there.
                        const float seam = std::fabs(gore - std::round(gore)) * (kWidth / 6.0f);
                        Color c = gores[index];
                        const float sheen = Fbm(x / 32.0f, y / 32.0f, 8, 4, 3, 351u);
                        c = Shade(c, (sheen - 0.5f) * 0.06f);
                        c = Mix(Shade(c, -0.3f), c, SmoothStep(0.3f, 1.3f, seam));
                        // Caps: white discs round the poles, edged in grey, a red button in each.
                        const float pole = std::min(cy, kHeight - cy);
                        c = Mix(Rgb(0xB8BCC4), c, SmoothStep(10.5f, 11.5f, pole));
                        c = Mix(Rgb(0xFBFBF8), c, SmoothStep(9.0f, 10.0f, pole));
                        c = Mix(Shade(kRed, -0.1f), c, SmoothStep(3.5f, 4.5f, pole));
                        return c;
                    });
}

// The robot arm: orange plates, the elbow joint as a dark ribbed band across the middle, a grey
// grip at the tip (v = 0) and a steel collar at the shoulder (v = 1). Seams every two sides.
Image RobotArm()
{
    constexpr float kWidth = 128.0f;
    constexpr float kHeight = 256.0f;
    const Color plate = Rgb(0xF4A93A);
    const Color steel = Rgb(0x5D6571);
    Image img = PerPixel(128, 256,
                         [&](float x, float y)
                         {
                             const float wear = Fbm(x / 16.0f, y / 32.0f, 8, 8, 3, 361u);
                             return Shade(plate, (wear - 0.5f) * 0.12f);
                         });
    for (int i = 0; i <= 4; ++i)
    {
        const float x = i * kWidth / 4.0f;
        img.Fill(RoundRect(x - 1.0f, -1.0f, x + 1.0f, kHeight + 1.0f, 0.0f), Shade(plate, -0.4f));
    }
    // Black and yellow warning stripes on the upper arm, eight a turn so they meet at the seam.
    const Shape stripes = {[](float x, float y)
                           {
                               const float t = (x + y) / 16.0f;
                               return (std::fabs(t - std::floor(t) - 0.5f) - 0.25f) * 16.0f * 0.7071f;
                           },
                           Box{-1.0f, 156.0f, kWidth + 1.0f, 172.0f}};
    img.Fill(RoundRect(-1.0f, 156.0f, kWidth + 1.0f, 172.0f, 0.0f), Rgb(0xFFD54A));
    img.Fill(Intersect(stripes, RoundRect(-1.0f, 156.0f, kWidth + 1.0f, 172.0f, 0.0f)), Rgb(0x23252B));
    auto band = [&](float y0, float y1, const Color& top, const Color& bottom)
    {
        img.Fill(RoundRect(-1.0f, y0 - 2.0f, kWidth + 1.0f, y1 + 2.0f, 0.0f), WithAlpha(kInk, 0.6f));
        img.Fill(RoundRect(-1.0f, y0, kWidth + 1.0f, y1, 0.0f), Linear(0.0f, y0, top, 0.0f, y1, bottom));
    };
    // The elbow: a dark band with three ribs.
    band(106.0f, 150.0f, Shade(steel, 0.15f), Shade(steel, -0.25f));
    for (int r = 0; r < 3; ++r)
    {
        const float y = 115.0f + r * 13.0f;
        img.Fill(RoundRect(-1.0f, y, kWidth + 1.0f, y + 3.0f, 0.0f), Rgb(0xA8B0BA));
        img.Fill(RoundRect(-1.0f, y + 3.0f, kWidth + 1.0f, y + 5.0f, 0.0f), Shade(steel, -0.45f));
    }
    band(-1.0f, 16.0f, Rgb(0x8A929C), Rgb(0x3E444D)); // the grip
    for (int r = 0; r < 2; ++r)
        img.Fill(RoundRect(-1.0f, 4.0f + r * 5.0f, kWidth + 1.0f, 6.0f + r * 5.0f, 0.0f), Rgb(0x2A2E35));
    band(240.0f, kHeight + 1.0f, Rgb(0xB5BDC6), Shade(steel, -0.1f)); // the shoulder collar
    // Bolts on each side next to the joint and the collar.
    for (int i = 0; i < 8; ++i)
        for (const float y : {96.0f, 180.0f, 230.0f})
        {
            const float x = (i + 0.5f) * kWidth / 8.0f;
            img.Fill(Circle(x, y, 3.4f), WithAlpha(kInk, 0.7f));
            img.Fill(Circle(x, y, 2.5f), Radial(x - 0.8f, y - 0.8f, 3.2f, Rgb(0xEEF1F4), Rgb(0x6B7480)));
        }
    return img;
}
// The colour of the threads at a place across the cloth: a tartan sett, coral with a gold and a
// teal stripe and thin dark lines, mirrored about the middle so it repeats without a seam.
Color Sett(float t)
{
    const float d = std::fabs(std::fmod(t, 256.0f) - 128.0f); // 0 at the middle, 128 at the edges
    if (d > 116.0f)
        return Rgb(0xFFC23B); // gold
    if (d > 112.0f || (d > 60.0f && d < 63.0f))
        return Rgb(0x1E2640); // dark lines
    if (d < 18.0f)
        return Rgb(0x22A597); // teal
    return Rgb(0xEC5B44);     // coral
}

// A plain weave of 4-pixel threads: warp (down) and weft (across) take turns on top, each
// rounded in the light, in the colours of the sett.
Image WovenCloth()
{
    return PerPixel(256, 256,
                    [](float x, float y)
                    {
                        const int column = static_cast<int>(x) / 4;
                        const int row = static_cast<int>(y) / 4;
                        const bool warpOnTop = ((column + row) & 1) == 0;
                        const float across = (warpOnTop ? std::fmod(x, 4.0f) : std::fmod(y, 4.0f)) + 0.5f;
                        const float round = std::sin(kPi * across / 4.0f);
                        const Color thread = warpOnTop ? Sett(x) : Sett(y);
                        const float fuzz = Fbm(x / 8.0f, y / 8.0f, 32, 32, 2, 351u) - 0.5f;
                        return Shade(thread, (round - 0.85f) * 0.5f + fuzz * 0.08f);
                    });
}
} // namespace

void AddPropArt(std::vector<ArtFile>& out)
{
    out.push_back({"props/box_diffuse.png", 256, 256, Crate});
    out.push_back({"props/cylinder_diffuse.png", 256, 256, Barrel});
    out.push_back({"props/sphere_diffuse.png", 256, 128, BeachBall});
    out.push_back({"props/arm_diffuse.png", 128, 256, RobotArm});
    out.push_back({"props/cloth_diffuse.png", 256, 256, WovenCloth});
}

} // namespace texgen
