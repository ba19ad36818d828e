// The credits page's three drawn portraits, 128 x 128, shown in their own colours (the skins do
// not tint them): friendly cartoon busts in rounded frames, each with its own hair, face and
// clothes so the three read apart at a glance.
#include "ArtCatalog.h"
#include "Style.h"

#include <cmath>

namespace texgen
{
namespace
{
using namespace palette;

enum class Hair
{
    ShortWithBeard,
    QuiffWithGlasses,
    Long
};

struct Person
{
    Color backdrop;
    Color skin;
    Color hair;
    Color shirt;
    Color eyes;
    Hair style;
};

// An ink-outlined piece.
void Piece(Image& img, const Shape& s, const Paint& fill, float outline = 2.2f)
{
    img.Fill(Offset(s, outline), kInk);
    img.Fill(s, fill);
}

void Piece(Image& img, const Shape& s, const Color& fill, float outline = 2.2f)
{
    Piece(img, s, Solid(fill), outline);
}

Paint Lit(const Color& c, float top, float bottom)
{
    return Linear(0.0f, top, Shade(c, 0.18f), 0.0f, bottom, Shade(c, -0.12f));
}

Image Portrait(const Person& p)
{
    Image img(128, 128);
    const Shape frame = RoundRect(3.0f, 3.0f, 125.0f, 125.0f, 18.0f);
    img.Fill(frame, Radial(64.0f, 40.0f, 110.0f, Shade(p.backdrop, 0.45f), p.backdrop));
    // Soft rays behind the head.
    for (int i = 0; i < 12; i += 2)
    {
        const float a0 = i * 0.5235988f;
        const float a1 = (i + 1) * 0.5235988f;
        img.Fill(Intersect(Polygon({{64.0f, 60.0f},
                                    {64.0f + 140.0f * std::cos(a0), 60.0f + 140.0f * std::sin(a0)},
                                    {64.0f + 140.0f * std::cos(a1), 60.0f + 140.0f * std::sin(a1)}}),
                           frame),
                 WithAlpha(kWhite, 0.12f));
    }

    Image bust(128, 128);
    const float hx = 64.0f;
    const float hy = 58.0f;
    if (p.style == Hair::Long)
        Piece(bust, Union(RoundRect(34.0f, 34.0f, 94.0f, 108.0f, 22.0f), Circle(hx, hy - 6.0f, 31.0f)),
              Lit(p.hair, 30.0f, 108.0f));
    // Shoulders and shirt.
    const Shape shirt = RoundRect(20.0f, 96.0f, 108.0f, 160.0f, 32.0f);
    Piece(bust, shirt, Lit(p.shirt, 96.0f, 128.0f));
    Piece(bust, RoundRect(55.0f, 76.0f, 73.0f, 102.0f, 6.0f), Shade(p.skin, -0.12f));
    if (p.style == Hair::QuiffWithGlasses)
    {
        Piece(bust, Polygon({{48.0f, 97.0f}, {64.0f, 104.0f}, {56.0f, 112.0f}}), kWhite, 1.6f);
        Piece(bust, Polygon({{80.0f, 97.0f}, {64.0f, 104.0f}, {72.0f, 112.0f}}), kWhite, 1.6f);
    }
    else
    {
        bust.Fill(
            Intersect(Outline(Circle(64.0f, 96.0f, 10.0f), 3.0f), HalfPlane(0.0f, 96.0f, 128.0f, 96.0f)),
            Shade(p.shirt, -0.3f));
    }
    // Ears, then the face.
    Piece(bust, Circle(hx - 26.0f, hy + 2.0f, 6.5f), Shade(p.skin, -0.06f));
    Piece(bust, Circle(hx + 26.0f, hy + 2.0f, 6.5f), Shade(p.skin, -0.06f));
    if (p.style == Hair::Long)
    {
        bust.Fill(Circle(hx - 27.0f, hy + 11.0f, 2.6f), kGold);
        bust.Fill(Circle(hx + 27.0f, hy + 11.0f, 2.6f), kGold);
    }
    const Shape head = Ellipse(hx, hy, 25.0f, 29.0f);
    Piece(bust, head, Radial(hx - 8.0f, hy - 12.0f, 40.0f, Shade(p.skin, 0.15f), Shade(p.skin, -0.1f)));
    bust.Fill(Ellipse(hx - 14.0f, hy + 10.0f, 6.0f, 3.5f), WithAlpha(Rgb(0xFF7A7A), 0.35f));
    bust.Fill(Ellipse(hx + 14.0f, hy + 10.0f, 6.0f, 3.5f), WithAlpha(Rgb(0xFF7A7A), 0.35f));

    // Hair on top.
    switch (p.style)
    {
    case Hair::ShortWithBeard:
    {
        const Shape cap =
            Intersect(Ellipse(hx, hy - 4.0f, 27.0f, 30.0f), HalfPlane(128.0f, hy - 15.0f, 0.0f, hy - 19.0f));
        Piece(bust, cap, Lit(p.hair, 26.0f, 50.0f));
        const Shape jaw = Subtract(
            Intersect(Ellipse(hx, hy + 4.0f, 25.5f, 26.5f), HalfPlane(0.0f, hy - 2.0f, 128.0f, hy - 2.0f)),
            Ellipse(hx, hy + 1.0f, 19.5f, 11.5f));
        const Shape burns = Union(Capsule(hx - 21.5f, hy - 6.0f, hx - 19.0f, hy + 12.0f, 4.0f),
                                  Capsule(hx + 21.5f, hy - 6.0f, hx + 19.0f, hy + 12.0f, 4.0f));
        const Shape beard = Subtract(Union(jaw, burns), Ellipse(hx, hy + 16.0f, 11.5f, 6.5f));
        Piece(bust, beard, Lit(p.hair, hy, hy + 34.0f), 1.8f);
        break;
    }
    case Hair::QuiffWithGlasses:
    {
        const Shape top =
            Intersect(Ellipse(hx, hy - 6.0f, 27.0f, 28.0f), HalfPlane(128.0f, hy - 10.0f, 0.0f, hy - 16.0f));
        const Shape quiff =
            Rotate(Ellipse(hx + 6.0f, hy - 31.0f, 17.0f, 9.0f), hx + 6.0f, hy - 31.0f, -0.35f);
        Piece(bust, Union(top, quiff), Lit(p.hair, 20.0f, 50.0f));
        break;
    }
    case Hair::Long:
    {
        const Shape fringe =
            Intersect(Ellipse(hx, hy - 5.0f, 27.0f, 29.0f),
                      Union(HalfPlane(128.0f, hy - 16.0f, 0.0f, hy - 16.0f),
                            Rotate(HalfPlane(128.0f, hy - 11.0f, 0.0f, hy - 11.0f), hx, hy, -0.45f)));
        Piece(bust, fringe, Lit(p.hair, 26.0f, 60.0f));
        break;
    }
    }

    // Eyes, brows, nose and a smile.
    for (int side = -1; side <= 1; side += 2)
    {
        const float ex = hx + side * 10.0f;
        const float ey = hy + 1.0f;
        bust.Fill(Offset(Ellipse(ex, ey, 4.8f, 5.8f), 1.2f), kInk);
        bust.Fill(Ellipse(ex, ey, 4.8f, 5.8f), kWhite);
        bust.Fill(Circle(ex + 0.8f, ey + 0.8f, 3.0f), p.eyes);
        bust.Fill(Circle(ex + 0.8f, ey + 0.8f, 1.5f), kInk);
        bust.Fill(Circle(ex - 0.4f, ey - 0.8f, 1.0f), kWhite);
        // Brows rise toward the middle of the face.
        bust.Fill(Capsule(ex - 4.5f, ey - 10.5f - side, ex + 4.5f, ey - 10.5f + side, 1.6f),
                  Shade(p.hair, -0.2f));
    }
    bust.Fill(
        Intersect(Outline(Circle(hx, hy + 4.0f, 4.0f), 1.8f), HalfPlane(0.0f, hy + 6.0f, 128.0f, hy + 6.0f)),
        Shade(p.skin, -0.35f));
    const Shape smile = Intersect(Outline(Circle(hx, hy + 8.0f, 10.0f), 2.4f),
                                  HalfPlane(0.0f, hy + 13.0f, 128.0f, hy + 13.0f));
    bust.Fill(smile, Rgb(0x8A2F2F));

    if (p.style == Hair::QuiffWithGlasses)
    {
        for (int side = -1; side <= 1; side += 2)
        {
            bust.Fill(Outline(RoundRect(hx + side * 10.0f - 8.0f, hy - 6.0f, hx + side * 10.0f + 8.0f,
                                        hy + 8.0f, 4.0f),
                              2.6f),
                      kInk);
            bust.Fill(
                RoundRect(hx + side * 10.0f - 6.5f, hy - 4.5f, hx + side * 10.0f - 2.0f, hy - 1.0f, 1.5f),
                WithAlpha(kWhite, 0.5f));
        }
        bust.Fill(Capsule(hx - 2.0f, hy - 1.0f, hx + 2.0f, hy - 1.0f, 1.3f), kInk);
    }

    bust.Clip(Rasterise(Offset(frame, -3.0f), 128, 128));
    img.Draw(bust);
    img.Fill(Outline(frame, 3.0f), kInk);
    img.Fill(Outline(Offset(frame, -3.0f), 1.5f), WithAlpha(kWhite, 0.5f));
    return img;
}
} // namespace

void AddPortraitArt(std::vector<ArtFile>& out)
{
    const Person drumo{Rgb(0x7CC47F), Rgb(0xC98B5E), Rgb(0x4A2E1E),
                       Rgb(0x3E9E5A), Rgb(0x5B3A24), Hair::ShortWithBeard};
    const Person tavik{Rgb(0x7FB2EA), Rgb(0xF2C9A0), Rgb(0xD9652B),
                       Rgb(0x2F6FD0), Rgb(0x3E7FB8), Hair::QuiffWithGlasses};
    const Person selno{Rgb(0xE7A2C9), Rgb(0xE0A878), Rgb(0x22202E), Rgb(0x8D5AD8), Rgb(0x3A2A1E), Hair::Long};
    out.push_back({"hud/Drumo.png", 128, 128, [drumo] { return Portrait(drumo); }});
    out.push_back({"hud/Tavik.png", 128, 128, [tavik] { return Portrait(tavik); }});
    out.push_back({"hud/Selno.png", 128, 128, [selno] { return Portrait(selno); }});
}

} // namespace texgen
