#include "Style.h"

#include "Font.h"

#include <cmath>

namespace texgen
{

void Ball(Image& img, float cx, float cy, float r, const Color& base, float outline)
{
    if (outline > 0.0f)
        img.Fill(Circle(cx, cy, r + outline), palette::kInk);
    img.Fill(Circle(cx, cy, r),
             Radial(cx - r * 0.35f, cy - r * 0.4f, r * 1.55f, Shade(base, 0.55f), Shade(base, -0.35f)));
    // Reflected light along the lower rim.
    img.Fill(Intersect(Outline(Circle(cx, cy, r - r * 0.12f), r * 0.1f),
                       HalfPlane(cx - r, cy + r * 0.2f, cx + r, cy + r * 0.2f)),
             Shade(base, 0.25f), 0.45f);
    img.Fill(Ellipse(cx - r * 0.32f, cy - r * 0.42f, r * 0.34f, r * 0.22f),
             WithAlpha(palette::kWhite, 0.85f));
}

Image Badge(const Color& base)
{
    Image img(64, 64);
    const float c = 32.0f;
    const float r = 28.5f;
    img.Fill(Circle(c, c, r), Radial(c - 9.0f, c - 12.0f, 40.0f, Shade(base, 0.3f), Shade(base, -0.28f)));
    // A darker ring inside the rim gives the badge a pressed-in edge.
    img.Fill(Outline(Circle(c, c, r - 2.5f), 2.0f), Shade(base, -0.35f), 0.35f);
    // Gloss on the upper half.
    img.Fill(
        Intersect(Ellipse(c, 18.5f, 19.5f, 11.0f), Circle(c, c, r - 2.0f)),
        Linear(0.0f, 8.0f, WithAlpha(palette::kWhite, 0.55f), 0.0f, 29.0f, WithAlpha(palette::kWhite, 0.0f)));
    img.Fill(Outline(Circle(c, c, r), 3.0f), palette::kInk);
    return img;
}

void Pictogram(Image& img, const Shape& s, const Color& fill, float outline)
{
    img.Shadow(Offset(s, outline), 0.0f, 1.5f, 1.5f, WithAlpha(palette::kInk, 0.35f));
    img.Fill(Offset(s, outline), palette::kInk);
    img.Fill(s, Linear(0.0f, s.bounds.y0, fill, 0.0f, s.bounds.y1, Shade(fill, -0.12f)));
}

void Pictogram(Image& img, const Mask& m, const Color& fill, float outline)
{
    const Mask rim = Dilate(m, outline);
    img.Shadow(rim, 0, 1, 1.5f, WithAlpha(palette::kInk, 0.35f));
    img.Fill(rim, palette::kInk);
    float top = 1e9f;
    float bottom = -1e9f;
    for (int y = 0; y < m.Height(); ++y)
        for (int x = 0; x < m.Width(); ++x)
            if (m.At(x, y) > 0.0f)
            {
                top = std::fmin(top, static_cast<float>(y));
                bottom = std::fmax(bottom, static_cast<float>(y + 1));
            }
    img.Fill(m, Linear(0.0f, top, fill, 0.0f, bottom, Shade(fill, -0.12f)));
}

void GlyphPictogram(Image& img, const std::string& text, float px, float cx, float cy, const Color& fill,
                    float outline)
{
    Pictogram(img, Font::SansBold().Centred(img.Width(), img.Height(), text, px, cx, cy), fill, outline);
}

void SkinFace(Image& img, const Shape& body, float top, float bottom, float edge, float gloss)
{
    img.Fill(body, LinearStops(0.0f, top, 0.0f, bottom,
                               {{0.0f, palette::kFaceTop},
                                {0.55f, Mix(palette::kFaceTop, palette::kFaceBottom, 0.45f)},
                                {1.0f, palette::kFaceBottom}}));
    if (gloss > 0.0f)
    {
        const Shape upper =
            Intersect(Offset(body, -edge - 1.5f),
                      HalfPlane(1e4f, top + (bottom - top) * 0.48f, -1e4f, top + (bottom - top) * 0.48f));
        img.Fill(upper, Linear(0.0f, top, WithAlpha(palette::kWhite, gloss), 0.0f,
                               top + (bottom - top) * 0.5f, WithAlpha(palette::kWhite, gloss * 0.15f)));
    }
    // A faint inner line just inside the edge catches the light.
    img.Fill(Outline(Offset(body, -edge - 0.75f), 1.0f), WithAlpha(palette::kWhite, 0.8f));
    img.Fill(Outline(Offset(body, -edge * 0.5f), edge), palette::kFaceEdge);
}

Shape ArrowUp(float cx, float top, float bottom, float headWidth, float shaftWidth, float headLength)
{
    const float hw = headWidth * 0.5f;
    const float sw = shaftWidth * 0.5f;
    const float neck = top + headLength;
    return Polygon({{cx, top},
                    {cx + hw, neck},
                    {cx + sw, neck},
                    {cx + sw, bottom},
                    {cx - sw, bottom},
                    {cx - sw, neck},
                    {cx - hw, neck}});
}

Shape ArrowShape(float cx, float cy, float length, float headWidth, float shaftWidth, float headLength,
                 float radians)
{
    const Shape up = ArrowUp(cx, cy - length * 0.5f, cy + length * 0.5f, headWidth, shaftWidth, headLength);
    return Rotate(up, cx, cy, radians);
}

Shape PlusSign(float cx, float cy, float half, float r)
{
    return Union(Capsule(cx - half, cy, cx + half, cy, r), Capsule(cx, cy - half, cx, cy + half, r));
}

Shape MinusSign(float cx, float cy, float half, float r)
{
    return Capsule(cx - half, cy, cx + half, cy, r);
}

ArtFile IconFile(const std::string& name, const Color& family, std::function<void(Image&)> pictogram)
{
    return {name, 64, 64,
            [family, pictogram]
            {
                Image img = Badge(family);
                pictogram(img);
                return img;
            }};
}

} // namespace texgen
