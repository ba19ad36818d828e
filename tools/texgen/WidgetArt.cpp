// The widgets' own looks, drawn for the meshes that carry them: the platform (a box whose long
// axis the scale stretches, so nothing fine runs along u), the bar (a rod: u round it, v along
// it), the gravity switch and the magnet (projected from the front over the unit square, their
// sides taking the colour at the silhouette, so these two are opaque to the edges), the hard and
// soft nodes and the QUORB ball (sphere maps), and the QUORB box's side.
#include "ArtCatalog.h"
#include "Font.h"
#include "Noise.h"
#include "SphereMap.h"
#include "Style.h"

#include <cmath>

namespace texgen
{
namespace
{
using namespace palette;

constexpr float kPi = 3.14159265f;
constexpr float kSize = 256.0f;

// A pale maple plank in two boards, a darker rim along its edges. Grain varies across the plank
// only slowly along it, so stretching a long platform keeps it looking like wood.
Image Platform()
{
    const Color light = Rgb(0xF6DDAF);
    const Color dark = Rgb(0xE0B57A);
    Image img = PerPixel(256, 256,
                         [&](float x, float y)
                         {
                             const float warp = Fbm(x / 256.0f, y / 24.0f, 1, 11, 3, 401u);
                             const float grain =
                                 0.5f + 0.5f * std::sin((y / 10.0f + warp * 3.0f) * 2.0f * kPi);
                             const float board = HashUnit(y < 128.0f ? 0 : 1, 0, 402u);
                             return Shade(Mix(dark, light, 0.45f + 0.45f * grain), (board - 0.5f) * 0.08f);
                         });
    // The groove between the two boards.
    img.Fill(RoundRect(-1.0f, 126.0f, kSize + 1.0f, 129.0f, 0.0f), Rgb(0xA8733E));
    img.Fill(RoundRect(-1.0f, 129.0f, kSize + 1.0f, 131.0f, 0.0f), WithAlpha(kWhite, 0.45f));
    // The rim: wide along the long edges, narrow at the ends, lit from above.
    const Shape face = RoundRect(8.0f, 18.0f, kSize - 8.0f, kSize - 18.0f, 4.0f);
    const Shape rim = Subtract(RoundRect(-1.0f, -1.0f, kSize + 1.0f, kSize + 1.0f, 0.0f), face);
    img.Fill(rim, LinearStops(0.0f, 0.0f, 0.0f, kSize,
                              {{0.0f, Rgb(0xD9A566)}, {0.5f, Rgb(0xC28A4C)}, {1.0f, Rgb(0xA9733C)}}));
    img.Fill(Outline(face, 2.5f), Rgb(0x7A4E26));
    img.Fill(Outline(Offset(face, -2.5f), 1.5f), WithAlpha(kWhite, 0.5f));
    img.Fill(Outline(RoundRect(0.0f, 0.0f, kSize, kSize, 0.0f), 3.0f), Rgb(0x7A4E26));
    return img;
}

// A fluted steel rod: eight ridges round it, brushed along its length.
Image Bar()
{
    return PerPixel(256, 256,
                    [](float x, float y)
                    {
                        const float phase = (x + 0.5f) / 32.0f; // eight flutes a turn
                        const float ridge = 0.5f + 0.5f * std::cos(phase * 2.0f * kPi);
                        const float groove = SmoothStep(0.12f, 0.0f, ridge);
                        const float brush = Fbm(x / 2.0f, y / 128.0f, 128, 2, 3, 411u);
                        Color c = Mix(Rgb(0x8A94A0), Rgb(0xDCE2E9), 0.25f + 0.55f * ridge + 0.2f * brush);
                        return Mix(c, Rgb(0x4E5661), groove * 0.6f);
                    });
}

// The gravity switch's face: a green badge, a dark rim band out to the corners, and a bold white
// arrow pointing to +u, the way gravity will turn.
Image GravitySwitch()
{
    const float c = kSize * 0.5f;
    Image img(256, 256);
    img.Clear(Rgb(0x1E2640));
    img.Fill(Outline(Circle(c, c, 122.0f), 3.0f), Rgb(0x3A4566));
    img.Fill(Circle(c, c, 106.0f), Radial(c - 34.0f, c - 42.0f, 150.0f, Rgb(0x8ADB8D), Rgb(0x2E8B3E)));
    img.Fill(Outline(Circle(c, c, 102.0f), 2.0f), WithAlpha(kWhite, 0.45f));
    // Faint rings, like a dial.
    for (const float r : {84.0f, 62.0f})
        img.Fill(Outline(Circle(c, c, r), 2.0f), WithAlpha(Rgb(0x1E5E2A), 0.25f));
    const Shape arrow = ArrowShape(c + 2.0f, c, 168.0f, 120.0f, 46.0f, 70.0f, 0.5f * kPi);
    img.Shadow(Offset(arrow, 6.0f), 0.0f, 5.0f, 5.0f, WithAlpha(kInk, 0.45f));
    img.Fill(Offset(arrow, 6.0f), kInk);
    img.Fill(arrow, Linear(0.0f, c - 60.0f, kWhite, 0.0f, c + 60.0f, Rgb(0xDDE8E0)));
    // Gloss over the upper half of the face.
    img.Fill(Intersect(Ellipse(c, c - 52.0f, 80.0f, 42.0f), Circle(c, c, 100.0f)),
             Linear(0.0f, c - 96.0f, WithAlpha(kWhite, 0.35f), 0.0f, c - 12.0f, WithAlpha(kWhite, 0.0f)));
    return img;
}

// The magnet's face over the unit square: the horseshoe's arc round the centre (outer radius
// 128 pixels, inner 51), its arms running to the right edge; red body, silver pole tips from
// u = 0.8 marked N and S. Outside the silhouette the side's darker colour, for the walls.
Image Magnet()
{
    const float c = kSize * 0.5f;
    const float outer = 128.0f;
    const float inner = 0.2f * kSize;
    const float tipStart = 0.8f * kSize;
    // The outline as the mesh has it: round the outer curve, back along the inner one.
    constexpr int kSteps = 64;
    std::vector<Vec2> outline{{kSize + 2.0f, c - outer}};
    for (int k = 0; k <= kSteps; ++k)
    {
        const float a = kPi * (0.5f + static_cast<float>(k) / kSteps);
        outline.push_back({c + outer * std::cos(a), c - outer * std::sin(a)});
    }
    outline.push_back({kSize + 2.0f, c + outer});
    outline.push_back({kSize + 2.0f, c + inner});
    for (int k = kSteps; k >= 0; --k)
    {
        const float a = kPi * (0.5f + static_cast<float>(k) / kSteps);
        outline.push_back({c + inner * std::cos(a), c - inner * std::sin(a)});
    }
    outline.push_back({kSize + 2.0f, c - inner});
    const Shape body = Polygon(outline);
    const Shape tips = Intersect(body, HalfPlane(tipStart, kSize, tipStart, 0.0f));

    Image img(256, 256);
    img.Clear(Rgb(0x8E2A22));
    img.Fill(RoundRect(tipStart, -1.0f, kSize + 1.0f, kSize + 1.0f, 0.0f), Rgb(0x5E6672));
    const Shape face = Offset(body, -6.0f);
    img.Fill(Outline(face, 3.0f), Rgb(0x5A1510));
    img.Fill(face, Radial(c - 50.0f, c - 70.0f, 220.0f, Rgb(0xFF7A68), Rgb(0xC62C22)));
    // A highlight following the bend and the upper arm.
    img.Fill(Intersect(Intersect(Outline(Circle(c, c, 100.0f), 8.0f), HalfPlane(c, 0.0f, c, kSize)),
                       HalfPlane(kSize, c + 30.0f, 0.0f, c + 30.0f)),
             WithAlpha(kWhite, 0.35f));
    img.Fill(RoundRect(c, 14.0f, tipStart - 4.0f, 22.0f, 4.0f), WithAlpha(kWhite, 0.3f));
    // The pole tips.
    const Shape tipFace = Intersect(face, HalfPlane(tipStart + 3.0f, kSize, tipStart + 3.0f, 0.0f));
    img.Fill(Intersect(tips, RoundRect(tipStart - 3.0f, -1.0f, tipStart + 3.0f, kSize + 1.0f, 0.0f)), kInk);
    img.Fill(tipFace, Linear(tipStart, 0.0f, Rgb(0xF2F5F8), kSize, 0.0f, Rgb(0xA9B2BD)));
    img.Fill(Intersect(tipFace, HalfPlane(kSize, 30.0f, 0.0f, 30.0f)), WithAlpha(kWhite, 0.5f));
    const float tipX = 0.5f * (tipStart + kSize);
    GlyphPictogram(img, "N", 40.0f, tipX, 0.5f * (c - inner), Rgb(0xFF5A4A), 3.0f);
    GlyphPictogram(img, "S", 40.0f, tipX, kSize - 0.5f * (c - inner), Rgb(0x5AA0FF), 3.0f);
    return img;
}

// A round head on a sphere map, shaded as if lit from the top left: rivets and studs.
Image Stud(int size, const Color& base)
{
    Image stud(size, size);
    const float c = size * 0.5f;
    const float r = size * 0.36f;
    stud.Fill(Circle(c + size * 0.04f, c + size * 0.06f, r + size * 0.06f), WithAlpha(kInk, 0.45f));
    stud.Fill(Circle(c, c, r),
              Radial(c - r * 0.4f, c - r * 0.45f, r * 1.6f, Shade(base, 0.6f), Shade(base, -0.35f)));
    return stud;
}

// The hard node: dark steel with a welded seam round the middle and rows of rivets.
Image HardNode()
{
    Image img = PerPixel(128, 64,
                         [](float x, float y)
                         {
                             const float brush = Fbm(x / 4.0f, y / 16.0f, 32, 4, 3, 421u);
                             const float cloud = Fbm(x / 32.0f, y / 16.0f, 4, 4, 3, 422u);
                             Color c = Mix(Rgb(0x3E4551), Rgb(0x6A7381), 0.3f * brush + 0.55f * cloud);
                             // The weld round the middle: a light bead between two dark lines.
                             const float seam = std::fabs(y + 0.5f - 32.0f);
                             c = Mix(Rgb(0x8C95A2), c, SmoothStep(1.5f, 2.5f, seam));
                             return Mix(Rgb(0x262B33), c, SmoothStep(0.4f, 1.2f, std::fabs(seam - 2.8f)));
                         });
    const Image rivet = Stud(24, Rgb(0x8C95A2));
    for (int i = 0; i < 6; ++i)
        for (const float v : {0.36f, 0.64f})
            PasteOnSphere(img, rivet, (i + (v < 0.5f ? 0.25f : 0.75f)) / 6.0f, v, 0.42f);
    // A ring of steel round each pole.
    for (const float y : {7.0f, 57.0f})
        img.Fill(RoundRect(-1.0f, y - 1.5f, 129.0f, y + 1.5f, 0.0f), WithAlpha(Rgb(0x252A31), 0.8f));
    return img;
}

// The soft node: light, nearly white rubber with a faint seam round the middle.
Image SoftNode()
{
    return PerPixel(128, 64,
                    [](float x, float y)
                    {
                        const float cloud = Fbm(x / 16.0f, y / 16.0f, 8, 4, 3, 431u);
                        Color c = Mix(Rgb(0xD9DDE3), Rgb(0xF7F8FA), 0.35f + 0.65f * cloud);
                        const float seam = std::fabs(y + 0.5f - 32.0f);
                        c = Mix(Rgb(0xA9C3E0), c, SmoothStep(0.8f, 2.2f, seam));
                        for (const float band : {14.0f, 50.0f})
                            c = Mix(Shade(c, -0.06f), c, SmoothStep(0.5f, 1.5f, std::fabs(y + 0.5f - band)));
                        return c;
                    });
}

// A four-pointed sparkle in a square picture, outlined in ink.
Image SparklePicture(int size)
{
    Image img(size, size);
    const float c = size * 0.5f;
    const float r = size * 0.42f;
    const Shape star = Polygon({{c, c - r},
                                {c + r * 0.22f, c - r * 0.22f},
                                {c + r, c},
                                {c + r * 0.22f, c + r * 0.22f},
                                {c, c + r},
                                {c - r * 0.22f, c + r * 0.22f},
                                {c - r, c},
                                {c - r * 0.22f, c - r * 0.22f}});
    img.Fill(Offset(star, size * 0.05f), WithAlpha(kInk, 0.7f));
    img.Fill(star, Radial(c, c, r, kWhite, Rgb(0xE6ECFF)));
    return img;
}

// The QUORB ball, as on its icon: bright blue with a gold band round the middle and white
// sparkles, the largest at u = 0.5, the side the ball shows the room.
Image QuorbBall()
{
    Image img = PerPixel(256, 128,
                         [](float x, float y)
                         {
                             const float swirl = Fbm(x / 32.0f, y / 32.0f, 8, 4, 4, 441u);
                             const Dir3 d = SphereDirection((x + 0.5f) / 256.0f, (y + 0.5f) / 128.0f);
                             // Slightly lighter towards the top, like the icon's ball.
                             const float top = 0.5f + 0.5f * d.y;
                             return Mix(Shade(kQuorb, -0.2f), Shade(kQuorb, 0.28f),
                                        0.25f + 0.45f * top + 0.3f * swirl);
                         });
    img.Fill(RoundRect(-1.0f, 58.0f, 257.0f, 70.0f, 0.0f),
             LinearStops(0.0f, 58.0f, 0.0f, 70.0f,
                         {{0.0f, Shade(kGold, 0.45f)}, {0.5f, kGold}, {1.0f, Shade(kGold, -0.25f)}}));
    img.Fill(RoundRect(-1.0f, 56.0f, 257.0f, 58.0f, 0.0f), kInk);
    img.Fill(RoundRect(-1.0f, 70.0f, 257.0f, 72.0f, 0.0f), kInk);
    const Image big = SparklePicture(64);
    const Image small = SparklePicture(32);
    PasteOnSphere(img, big, 0.5f, 0.3f, 0.8f);
    PasteOnSphere(img, small, 0.59f, 0.19f, 0.4f);
    PasteOnSphere(img, small, 0.0f, 0.3f, 0.45f);
    PasteOnSphere(img, small, 0.25f, 0.72f, 0.45f);
    PasteOnSphere(img, small, 0.75f, 0.7f, 0.45f);
    return img;
}

// The QUORB box's side: a blue panel in a darker frame with gold corners, and the QUORB mark in
// the middle (the ball with its gold ring, as on the title).
Image QuorbBox()
{
    const float c = kSize * 0.5f;
    Image img(256, 256);
    img.Clear(Shade(kQuorb, -0.45f));
    const Shape panel = RoundRect(18.0f, 18.0f, kSize - 18.0f, kSize - 18.0f, 10.0f);
    img.Fill(Offset(panel, 3.0f), kInk);
    img.Fill(panel, Linear(0.0f, 18.0f, Shade(kQuorb, 0.3f), 0.0f, kSize - 18.0f, Shade(kQuorb, -0.1f)));
    img.Fill(Outline(Offset(panel, -3.0f), 1.5f), WithAlpha(kWhite, 0.4f));
    for (int corner = 0; corner < 4; ++corner)
    {
        const float sx = (corner & 1) ? -1.0f : 1.0f;
        const float sy = (corner & 2) ? -1.0f : 1.0f;
        const float x = (corner & 1) ? kSize - 6.0f : 6.0f;
        const float y = (corner & 2) ? kSize - 6.0f : 6.0f;
        const Shape bracket = Polygon({{x, y},
                                       {x + sx * 44.0f, y},
                                       {x + sx * 44.0f, y + sy * 10.0f},
                                       {x + sx * 10.0f, y + sy * 10.0f},
                                       {x + sx * 10.0f, y + sy * 44.0f},
                                       {x, y + sy * 44.0f}});
        img.Fill(Offset(bracket, 2.5f), kInk);
        img.Fill(bracket, Linear(0.0f, y, Shade(kGold, 0.35f), 0.0f, y + sy * 44.0f, Shade(kGold, -0.2f)));
    }
    // The mark: a light plate, then the half of the ring behind the ball, the ball, the front half.
    img.Fill(Circle(c, c, 80.0f), kInk);
    img.Fill(Circle(c, c, 76.0f), Radial(c - 20.0f, c - 30.0f, 110.0f, Rgb(0xFFFFFF), Rgb(0xC9D4F5)));
    const Shape ring = Rotate(Outline(Ellipse(c, c, 66.0f, 20.0f), 7.0f), c, c, -0.3f);
    const Shape ringInk = Rotate(Outline(Ellipse(c, c, 66.0f, 20.0f), 12.0f), c, c, -0.3f);
    const Shape behind = Rotate(HalfPlane(1e4f, c, -1e4f, c), c, c, -0.3f); // the upper half
    const Shape front = Rotate(HalfPlane(-1e4f, c, 1e4f, c), c, c, -0.3f);
    img.Fill(Intersect(ringInk, behind), kInk);
    img.Fill(Intersect(ring, behind), Shade(kGold, -0.1f));
    Ball(img, c, c, 40.0f, kQuorb, 4.0f);
    img.Fill(Intersect(ringInk, front), kInk);
    img.Fill(Intersect(ring, front), Linear(0.0f, c, Shade(kGold, 0.3f), 0.0f, c + 30.0f, kGold));
    const Image sparkle = SparklePicture(34);
    img.Draw(sparkle, static_cast<int>(c) + 14, static_cast<int>(c) - 50);
    return img;
}
} // namespace

void AddWidgetArt(std::vector<ArtFile>& out)
{
    out.push_back({"widgets/platform/platform_diffuse.png", 256, 256, Platform});
    out.push_back({"widgets/bar/bar_diffuse.png", 256, 256, Bar});
    out.push_back({"widgets/gravityswitch/gravity_switch_diffuse.png", 256, 256, GravitySwitch});
    out.push_back({"widgets/magnet/magnet_diffuse.png", 256, 256, Magnet});
    out.push_back({"widgets/node/hard_node_diffuse.png", 128, 64, HardNode});
    out.push_back({"widgets/node/soft_node_diffuse.png", 128, 64, SoftNode});
    out.push_back({"widgets/quorb/quorb_ball_diffuse.png", 256, 128, QuorbBall});
    out.push_back({"widgets/quorb/quorb_box_diffuse.png", 256, 256, QuorbBox});
}

} // namespace texgen
