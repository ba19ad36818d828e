// The objective markers in the room. Each round marker is a ring the star object passes through
// and a disc behind it, both textured by one image projected from the front over the unit
// square: the ring takes the band from 80 to 100 percent of the radius, so that band is opaque
// in the objective's colour; inside, a see-through tint carries the objective's pictogram; the
// corners are clear. The water level's marker (a bar with an arrowhead over it) is opaque blue.
#include "ArtCatalog.h"
#include "Style.h"

#include <cmath>
#include <functional>

namespace texgen
{
namespace
{
using namespace palette;

constexpr float kPi = 3.14159265f;
constexpr float kSize = 256.0f;
constexpr float kC = 128.0f;            // the centre
constexpr float kRingInner = 102.4f;    // 80 percent of the radius
constexpr float kPictureRadius = 96.0f; // pictograms keep inside this

// The region under a horizontal wave y = baseY + amp sin(freq x + phase).
Shape UnderWave(float baseY, float amp, float freq, float phase)
{
    const float norm = 1.0f / std::sqrt(1.0f + amp * amp * freq * freq);
    return {[=](float x, float y) { return (baseY + amp * std::sin(freq * x + phase) - y) * norm; }, Box{}};
}

// A pictogram the size of a marker: ink outline and soft shadow scaled up from the icons'.
void Picture(Image& img, const Shape& s, const Color& fill)
{
    Pictogram(img, s, fill, 6.0f);
}

Image Marker(const Color& family, const std::function<void(Image&)>& pictogram)
{
    Image img(256, 256);
    // The see-through middle: lighter towards the ring.
    img.Fill(Circle(kC, kC, kRingInner + 2.0f),
             Radial(kC, kC, kRingInner, WithAlpha(Mix(family, kWhite, 0.6f), 0.35f),
                    WithAlpha(Mix(family, kWhite, 0.3f), 0.6f)));
    pictogram(img);
    // The ring, opaque out to the image's edge where its rim is sampled.
    const Shape ring = Subtract(Circle(kC, kC, 128.5f), Circle(kC, kC, kRingInner));
    img.Fill(ring, Linear(kC - 90.0f, kC - 90.0f, Shade(family, 0.3f), kC + 90.0f, kC + 90.0f,
                          Shade(family, -0.25f)));
    img.Fill(Outline(Circle(kC, kC, kRingInner + 1.5f), 3.0f), kInk);
    img.Fill(Outline(Circle(kC, kC, 126.5f), 4.0f), Shade(family, -0.5f));
    img.Fill(Outline(Circle(kC, kC, 115.0f), 5.0f), WithAlpha(kWhite, 0.3f));
    // Gloss on the ring's upper left.
    img.Fill(Intersect(Outline(Circle(kC, kC, 115.0f), 12.0f),
                       HalfPlane(kC + 60.0f, kC - 120.0f, kC - 120.0f, kC + 60.0f)),
             WithAlpha(kWhite, 0.25f));
    return img;
}

// A drop falling on waves.
void Water(Image& img)
{
    const float cy = 112.0f;
    const float r = 36.0f;
    const float tipY = cy - 84.0f + 18.0f;
    const float d = cy - tipY;
    const float along = std::acos(r / d); // between the centre-to-tip line and the touching radius
    const Shape drop =
        Union(Circle(kC, cy, r), Polygon({{kC, tipY},
                                          {kC + r * std::sin(along), cy - r * std::cos(along)},
                                          {kC - r * std::sin(along), cy - r * std::cos(along)}}));
    Picture(img, drop, Rgb(0x8FD8FF));
    img.Fill(Rotate(Ellipse(kC - 14.0f, cy - 4.0f, 7.0f, 14.0f), kC - 14.0f, cy - 4.0f, 0.35f),
             WithAlpha(kWhite, 0.85f));
    const Shape inside = Circle(kC, kC, kPictureRadius - 6.0f);
    // Two rows of waves, the nearer drawn over the farther.
    Picture(img, Intersect(inside, UnderWave(168.0f, 6.0f, 0.11f, 0.0f)), Rgb(0x4FB3F5));
    Picture(img, Intersect(inside, UnderWave(194.0f, 6.0f, 0.11f, 1.6f)), Rgb(0x2F86D8));
}

// An alarm clock.
void Timer(Image& img)
{
    const float cy = 136.0f;
    for (int side = -1; side <= 1; side += 2)
    {
        const float bx = kC + side * 50.0f;
        Picture(img, Rotate(Ellipse(bx, 64.0f, 28.0f, 18.0f), bx, 64.0f, side * 0.6f), kGold);
    }
    for (int side = -1; side <= 1; side += 2)
        Picture(img, Capsule(kC + side * 40.0f, cy + 50.0f, kC + side * 54.0f, cy + 66.0f, 6.0f),
                Rgb(0xC9CFD8));
    Picture(img, Circle(kC, cy, 64.0f), kWhite);
    for (int i = 0; i < 12; ++i)
    {
        const float a = i * kPi / 6.0f;
        const float r0 = (i % 3 == 0) ? 42.0f : 48.0f;
        img.Fill(Capsule(kC + r0 * std::cos(a), cy + r0 * std::sin(a), kC + 54.0f * std::cos(a),
                         cy + 54.0f * std::sin(a), i % 3 == 0 ? 4.5f : 3.0f),
                 kInk);
    }
    img.Fill(Capsule(kC, cy, kC, cy - 40.0f, 6.0f), kInk);
    img.Fill(Capsule(kC, cy, kC + 30.0f, cy + 16.0f, 6.0f), kInk);
    img.Fill(Circle(kC, cy, 9.0f), kInk);
    img.Fill(Circle(kC, cy, 6.0f), Rgb(0xEC5B44));
}

// The star object squashed flat under a heavy weight.
void Squash(Image& img)
{
    // The weight: a handle and a trapezoid block.
    Picture(img, Outline(Circle(kC, 54.0f, 14.0f), 11.0f), Rgb(0x8792A3));
    Picture(img,
            Polygon({{kC - 44.0f, 70.0f}, {kC + 44.0f, 70.0f}, {kC + 62.0f, 140.0f}, {kC - 62.0f, 140.0f}}),
            Rgb(0x6E7889));
    img.Fill(Polygon({{kC - 36.0f, 78.0f}, {kC + 36.0f, 78.0f}, {kC + 39.0f, 90.0f}, {kC - 39.0f, 90.0f}}),
             WithAlpha(kWhite, 0.45f));
    // The flattened ball.
    const Shape flat = Ellipse(kC, 170.0f, 70.0f, 24.0f);
    img.Fill(Offset(flat, 6.0f), kInk);
    img.Fill(flat, Radial(kC - 22.0f, 160.0f, 90.0f, Shade(kQuorb, 0.5f), Shade(kQuorb, -0.3f)));
    img.Fill(Ellipse(kC - 26.0f, 162.0f, 22.0f, 7.0f), WithAlpha(kWhite, 0.85f));
    // Strain lines either side.
    for (int side = -1; side <= 1; side += 2)
        for (const float dy : {-14.0f, 12.0f})
        {
            const Shape line =
                Capsule(kC + side * 82.0f, 170.0f + dy, kC + side * 94.0f, 170.0f + dy * 1.5f, 3.5f);
            img.Fill(Offset(line, 3.0f), kInk);
            img.Fill(line, kWhite);
        }
}

// A burst with flying fragments.
void Destruction(Image& img)
{
    auto star = [](float outer, float inner, float turn)
    {
        std::vector<Vec2> points;
        for (int i = 0; i < 24; ++i)
        {
            const float a = turn + i * kPi / 12.0f;
            const float r = (i % 2 == 0) ? outer * (i % 4 == 0 ? 1.0f : 0.82f) : inner;
            points.push_back({kC + r * std::cos(a), kC + r * std::sin(a)});
        }
        return Polygon(points);
    };
    // Fragments flung out between the spikes, then the burst in three layers.
    for (int i = 0; i < 4; ++i)
    {
        const float a = 0.585f + i * 0.5f * kPi;
        const float x = kC + 84.0f * std::cos(a);
        const float y = kC + 84.0f * std::sin(a);
        const Shape bit = Rotate(Polygon({{x - 9.0f, y - 6.0f}, {x + 8.0f, y - 8.0f}, {x + 6.0f, y + 8.0f}}),
                                 x, y, i * 1.3f);
        Pictogram(img, bit, Rgb(0x9A6A3E), 4.0f);
    }
    Picture(img, star(84.0f, 46.0f, -0.2f), Rgb(0xF25C2A));
    img.Fill(star(64.0f, 36.0f, 0.06f),
             Linear(0.0f, kC - 64.0f, Rgb(0xFFC45A), 0.0f, kC + 64.0f, Rgb(0xFF9A2E)));
    img.Fill(star(40.0f, 24.0f, -0.1f), Rgb(0xFFF1A8));
    img.Fill(Circle(kC, kC, 14.0f), kWhite);
}

// The water level's marker: blue, the bar across the middle rows edged in white, the arrowhead
// above it (from v = 0.2 to 0.46, 0.24 wide) with a white edge. Opaque, because the marker's
// sides take the colours along the edges of its shapes.
Image WaterEnd()
{
    const float s = 128.0f;
    Image img(128, 128);
    img.Fill(RoundRect(-1.0f, -1.0f, s + 1.0f, s + 1.0f, 0.0f),
             Linear(0.0f, 0.0f, Rgb(0x3A8DE4), 0.0f, s, Rgb(0x1F5FB8)));
    // The bar: y from -0.025 to 0.025 of the unit square around the middle.
    const float barTop = s * 0.475f;
    const float barBottom = s * 0.525f;
    img.Fill(RoundRect(-1.0f, barTop - 1.0f, s + 1.0f, barBottom + 1.0f, 0.0f), kWhite);
    img.Fill(RoundRect(-1.0f, barTop + 1.0f, s + 1.0f, barBottom - 1.0f, 0.0f), Rgb(0x8FD8FF));
    // The arrowhead, pointing down at the level.
    const Shape head = Polygon({{s * 0.5f, s * 0.46f}, {s * 0.62f, s * 0.2f}, {s * 0.38f, s * 0.2f}});
    img.Fill(Offset(head, 1.0f), kWhite);
    img.Fill(Offset(head, -2.0f), Linear(0.0f, s * 0.2f, Rgb(0x8FD8FF), 0.0f, s * 0.46f, Rgb(0x3A8DE4)));
    return img;
}
} // namespace

void AddObjectiveArt(std::vector<ArtFile>& out)
{
    out.push_back({"widgets/water/water_diffuse.png", 256, 256, [] { return Marker(Rgb(0x2F7FE0), Water); }});
    out.push_back({"widgets/water/water_end_diffuse.png", 128, 128, WaterEnd});
    out.push_back({"widgets/timer/timer_diffuse.png", 256, 256, [] { return Marker(Rgb(0xF2C230), Timer); }});
    out.push_back({"widgets/squash/squash_diffuse.png", 256, 256, [] { return Marker(kViolet, Squash); }});
    out.push_back({"widgets/destruction/destruction_diffuse.png", 256, 256,
                   [] { return Marker(Rgb(0xF07A24), Destruction); }});
}

} // namespace texgen
