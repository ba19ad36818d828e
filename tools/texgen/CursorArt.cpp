// The six mouse pointers: plain arrows in the two colours their names give, some with a
// pentagon charm at the tail. The tip is the image's top-left pixel, where the game puts the
// pointer's hot spot; the game draws them at 0.7 scale.
#include "ArtCatalog.h"
#include "Style.h"

#include <cmath>

namespace texgen
{
namespace
{
constexpr float kTip = 1.6f; // the tip sits here so its outline covers pixel (0, 0)

Shape ArrowBody()
{
    // The classic pointer: left edge straight down, a notch, and a tail to the lower right.
    return PolygonAt({{0.0f, 0.0f},
                      {0.0f, 17.0f},
                      {4.0f, 13.2f},
                      {7.0f, 20.0f},
                      {9.6f, 18.9f},
                      {6.7f, 12.2f},
                      {12.0f, 12.0f}},
                     2.5f, kTip, kTip);
}

Shape Pentagon(float cx, float cy, float r)
{
    std::vector<Vec2> pts;
    for (int i = 0; i < 5; ++i)
    {
        const float a = -1.5707964f + i * 1.2566371f;
        pts.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return Polygon(pts);
}

Image Pointer(const Color& body, const Color& rim, bool pentagon)
{
    Image img(64, 64);
    const Shape arrow = ArrowBody();
    img.Shadow(Offset(arrow, 3.0f), 2.0f, 2.5f, 2.5f, WithAlpha(palette::kInk, 0.4f));
    img.Fill(Offset(arrow, 3.4f), palette::kInk);
    img.Fill(Offset(arrow, 2.5f), Linear(0.0f, 0.0f, Shade(rim, 0.15f), 20.0f, 50.0f, Shade(rim, -0.2f)));
    img.Fill(Offset(arrow, 0.7f), palette::kInk, 0.85f);
    img.Fill(arrow, Linear(4.0f, 6.0f, Shade(body, 0.45f), 18.0f, 44.0f, Shade(body, -0.15f)));
    // A gloss along the left edge, the way light catches a raised pointer.
    img.Fill(
        Intersect(Offset(arrow, -1.6f), Capsule(kTip + 2.5f, kTip + 4.0f, kTip + 2.5f, kTip + 34.0f, 2.6f)),
        WithAlpha(palette::kWhite, 0.75f));
    if (pentagon)
    {
        const Shape charm = Pentagon(44.0f, 50.0f, 8.5f);
        img.Shadow(charm, 1.5f, 2.0f, 2.0f, WithAlpha(palette::kInk, 0.4f));
        img.Fill(Offset(charm, 2.4f), palette::kInk);
        img.Fill(charm, Radial(41.0f, 46.0f, 12.0f, Shade(rim, 0.5f), Shade(rim, -0.15f)));
        img.Fill(Pentagon(44.0f, 50.5f, 3.6f), Shade(body, 0.2f));
    }
    return img;
}
} // namespace

void AddCursorArt(std::vector<ArtFile>& out)
{
    const Color blue = Rgb(0x3C7CF5);
    const Color red = Rgb(0xE0323F);
    const Color green = Rgb(0x3DBB55);
    const Color orange = Rgb(0xFF8C1A);
    const Color pink = Rgb(0xF25CA8);
    const Color aqua = Rgb(0x2CD3D8);
    const Color grey = Rgb(0xA7ADB6);
    out.push_back({"hud/BlueRedCursor.png", 64, 64, [=] { return Pointer(blue, red, false); }});
    out.push_back({"hud/BlueRedPentCursor.png", 64, 64, [=] { return Pointer(blue, red, true); }});
    out.push_back({"hud/GreenOrangeCursor.png", 64, 64, [=] { return Pointer(green, orange, false); }});
    out.push_back({"hud/GreenPinkCursor.png", 64, 64, [=] { return Pointer(green, pink, false); }});
    out.push_back({"hud/CursorPinkAquaPent.png", 64, 64, [=] { return Pointer(pink, aqua, true); }});
    out.push_back({"hud/CursorGreyGreen.png", 64, 64, [=] { return Pointer(grey, green, false); }});
}

} // namespace texgen
