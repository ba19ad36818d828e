// The shared look of the game's art: one palette and the few recurring pieces drawn the same way
// everywhere (the glossy ball, the round icon badge, outlined pictograms and glyphs, the light
// grey faces that the GUI skins tint).
#pragma once

#include "ArtCatalog.h"
#include "Raster.h"

#include <functional>
#include <string>

namespace texgen
{
namespace palette
{
// Outlines and dark details: a deep navy rather than black, softer at small sizes.
const Color kInk = Rgb(0x1E2640);
const Color kWhite = Rgb(0xFFFFFF);
// The light, nearly grey faces of skinned GUI parts.
const Color kFaceTop = Rgb(0xFBFBFB);
const Color kFaceBottom = Rgb(0xDCDDE0);
const Color kFaceEdge = Rgb(0x8C919A);
const Color kFaceDetail = Rgb(0x5D636E);
// The star of the game and its accents.
const Color kQuorb = Rgb(0x4B6BF2);
const Color kGold = Rgb(0xFFC23B);
// Badge colours by family: objectives, widgets, star objects, properties, values, menus.
const Color kCoral = Rgb(0xEC5B44);
const Color kAzure = Rgb(0x3A8DE4);
const Color kSun = Rgb(0xF4A93A);
const Color kViolet = Rgb(0x8D5AD8);
const Color kTeal = Rgb(0x22A597);
const Color kGreen = Rgb(0x4CAF50);
const Color kRed = Rgb(0xE53935);
const Color kBlue = Rgb(0x2F7FE0);
const Color kSteel = Rgb(0x9AA3AE);
} // namespace palette

// A shaded ball with outline and highlight, the way the QUORB and every ball pictogram look.
void Ball(Image& img, float cx, float cy, float r, const Color& base, float outline = 2.5f);

// The 64 x 64 round icon badge in the given family colour, ready for a pictogram.
Image Badge(const Color& base);

// A pictogram piece: a soft shadow, an ink outline of `outline` pixels around the shape, then
// the shape filled with `fill` (lightly shaded from top to bottom).
void Pictogram(Image& img, const Shape& s, const Color& fill = palette::kWhite, float outline = 2.5f);
void Pictogram(Image& img, const Mask& m, const Color& fill = palette::kWhite, float outline = 2.5f);

// A glyph of DejaVu Sans Bold drawn as a pictogram, its ink centred on (cx, cy).
void GlyphPictogram(Image& img, const std::string& text, float px, float cx, float cy,
                    const Color& fill = palette::kWhite, float outline = 2.5f);

// A face of a GUI part: light vertical gradient, an edge line and a soft top highlight.
void SkinFace(Image& img, const Shape& body, float top, float bottom, float edge, float gloss);

// A solid arrow pointing up with its tip at (cx, top) and its tail at (cx, bottom).
Shape ArrowUp(float cx, float top, float bottom, float headWidth, float shaftWidth, float headLength);
Shape ArrowShape(float cx, float cy, float length, float headWidth, float shaftWidth, float headLength,
                 float radians);

// A plus and a minus sign of arm length `half` and stroke radius `r`, centred on (cx, cy).
Shape PlusSign(float cx, float cy, float half, float r);
Shape MinusSign(float cx, float cy, float half, float r);

// An image drawn pixel by pixel: colourAt(x, y) gets the pixel's column and row. Seamless
// textures are drawn this way from noise whose period is the image's size.
template <typename F> Image PerPixel(int width, int height, F colourAt)
{
    Image img(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.Set(x, y, colourAt(static_cast<float>(x), static_cast<float>(y)));
    return img;
}

// A 64 x 64 icon: the round badge in the family colour with the pictogram drawn on it.
ArtFile IconFile(const std::string& name, const Color& family, std::function<void(Image&)> pictogram);

} // namespace texgen
