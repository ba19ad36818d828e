// The GUI's frames: bar buttons, panels, the slider, the tool-tip and message boxes, the round
// button, the look-at arrow and the "off" cross. The skins tint these faces by multiplying, so
// they are drawn light and nearly grey; only details that must stay legible are darker. Every
// frame keeps to the rectangles the menus cut from it, and a sprite draws a frame one pixel
// short on the right and bottom, so edges stay inside that margin.
#include "ArtCatalog.h"
#include "Style.h"

#include <cmath>

namespace texgen
{
namespace
{
// The bar button: a pill filling the top-left 200 x 55 pixels (the menus' hit rectangle); the
// rest stays clear so scaled buttons placed side by side never overlap.
Image BarMenuButtons()
{
    Image img(256, 128);
    SkinFace(img, RoundRect(1.0f, 1.0f, 199.0f, 54.0f, 26.5f), 1.0f, 54.0f, 2.5f, 0.7f);
    return img;
}

// The menu panel: rounded corners on the 502 x 502 hit area, a soft shadow in the margin.
Image MenuBackground()
{
    Image img(512, 512);
    const Shape panel = RoundRect(1.5f, 1.5f, 500.5f, 500.5f, 30.0f);
    img.Shadow(panel, 4.0f, 5.0f, 4.0f, WithAlpha(palette::kInk, 0.35f));
    SkinFace(img, panel, 1.5f, 500.5f, 4.0f, 0.0f);
    // A broad soft light across the top third keeps large panels from looking flat.
    img.Fill(Intersect(Offset(panel, -6.0f), RoundRect(0.0f, 0.0f, 512.0f, 170.0f, 0.0f)),
             Linear(0.0f, 6.0f, WithAlpha(palette::kWhite, 0.55f), 0.0f, 170.0f,
                    WithAlpha(palette::kWhite, 0.0f)));
    return img;
}

Shape Triangle(float ax, float ay, float bx, float by, float cx, float cy)
{
    return Polygon({{ax, ay}, {bx, by}, {cx, cy}});
}

// The scroll bar's parts, each in the rectangle the menus cut: the track 44 x 502 at (5, 5), the
// down part 34 x 36 at (47, 6), the up part 34 x 36 at (47, 46), the thumb 36 x 55 at (88, 6).
Image Slider()
{
    Image img(128, 512);
    const Shape track = RoundRect(6.0f, 6.0f, 46.0f, 505.0f, 18.0f);
    img.Fill(track, LinearStops(6.0f, 0.0f, 46.0f, 0.0f,
                                {{0.0f, Rgb(0xD3D5D9)}, {0.35f, Rgb(0xF7F7F8)}, {1.0f, Rgb(0xDDDEE1)}}));
    img.Fill(Outline(Offset(track, -1.0f), 2.0f), palette::kFaceEdge);
    // The groove the thumb runs in.
    const Shape groove = RoundRect(20.0f, 22.0f, 32.0f, 489.0f, 6.0f);
    img.Fill(groove, Linear(20.0f, 0.0f, Rgb(0xAEB2B9), 32.0f, 0.0f, Rgb(0xC9CCD1)));
    img.Fill(Subtract(groove, Translate(groove, 1.5f, 1.5f)), WithAlpha(palette::kFaceDetail, 0.6f));

    const Shape down = RoundRect(48.5f, 7.0f, 79.5f, 40.5f, 9.0f);
    SkinFace(img, down, 7.0f, 40.5f, 2.0f, 0.6f);
    img.Fill(Offset(Triangle(57.0f, 20.0f, 71.0f, 20.0f, 64.0f, 29.0f), 1.5f), palette::kFaceDetail);

    const Shape up = RoundRect(48.5f, 47.0f, 79.5f, 80.5f, 9.0f);
    SkinFace(img, up, 47.0f, 80.5f, 2.0f, 0.6f);
    img.Fill(Offset(Triangle(57.0f, 68.0f, 64.0f, 59.0f, 71.0f, 68.0f), 1.5f), palette::kFaceDetail);

    const Shape thumb = RoundRect(89.5f, 7.0f, 121.5f, 59.5f, 10.0f);
    SkinFace(img, thumb, 7.0f, 59.5f, 2.0f, 0.6f);
    for (int i = 0; i < 3; ++i)
    {
        const float y = 25.0f + 8.0f * i;
        img.Fill(Capsule(98.0f, y + 1.2f, 113.0f, y + 1.2f, 1.2f), WithAlpha(palette::kWhite, 0.9f));
        img.Fill(Capsule(98.0f, y, 113.0f, y, 1.2f), palette::kFaceEdge);
    }
    return img;
}

Image WhiteBlock()
{
    Image img(32, 32);
    img.Clear(palette::kWhite);
    return img;
}

// Stretched around the tip's text, so the corners stay small.
Image ToolTipBack()
{
    Image img(64, 64);
    SkinFace(img, RoundRect(1.0f, 1.0f, 62.0f, 62.0f, 9.0f), 1.0f, 62.0f, 1.5f, 0.0f);
    return img;
}

// The round button: a disc of radius 61 on the 128 x 128 frame with a faint sunburst.
Image ColoredRadial()
{
    Image img(128, 128);
    const float c = 64.0f;
    const Shape disc = Circle(c, c, 61.0f);
    img.Fill(disc, Radial(c - 14.0f, c - 20.0f, 86.0f, Rgb(0xFFFFFF), Rgb(0xC9CCD2)));
    for (int i = 0; i < 16; i += 2)
    {
        const float a0 = i * 0.39269908f;
        const float a1 = (i + 1) * 0.39269908f;
        const Shape wedge = Polygon({{c, c},
                                     {c + 90.0f * std::cos(a0), c + 90.0f * std::sin(a0)},
                                     {c + 90.0f * std::cos(a1), c + 90.0f * std::sin(a1)}});
        img.Fill(Intersect(wedge, Circle(c, c, 55.0f)), WithAlpha(palette::kFaceDetail, 0.05f));
    }
    img.Fill(Outline(Circle(c, c, 55.5f), 1.5f), WithAlpha(palette::kWhite, 0.9f));
    img.Fill(Outline(Circle(c, c, 57.5f), 2.5f), WithAlpha(palette::kFaceEdge, 0.35f));
    img.Fill(
        Intersect(Ellipse(c, 36.0f, 40.0f, 24.0f), Circle(c, c, 56.0f)),
        Linear(0.0f, 12.0f, WithAlpha(palette::kWhite, 0.7f), 0.0f, 58.0f, WithAlpha(palette::kWhite, 0.0f)));
    img.Fill(Outline(Circle(c, c, 60.0f), 3.0f), palette::kFaceEdge);
    return img;
}

// The message box: a wide pill on the 510 x 60 hit area.
Image Message()
{
    Image img(512, 64);
    SkinFace(img, RoundRect(1.5f, 1.5f, 508.5f, 58.5f, 20.0f), 1.5f, 58.5f, 2.5f, 0.55f);
    return img;
}

// The look-at arrow: one double-headed arrow in the 220 x 120 frame at (0, 128), used
// unmirrored by both turning buttons; the rest of the image stays clear.
Image Arrow()
{
    Image img(256, 256);
    const Shape arrow = Polygon({{8.0f, 187.0f},
                                 {64.0f, 137.0f},
                                 {64.0f, 170.0f},
                                 {152.0f, 170.0f},
                                 {152.0f, 137.0f},
                                 {208.0f, 187.0f},
                                 {152.0f, 237.0f},
                                 {152.0f, 204.0f},
                                 {64.0f, 204.0f},
                                 {64.0f, 237.0f}});
    img.Shadow(Offset(arrow, 3.0f), 1.5f, 2.0f, 2.0f, WithAlpha(palette::kInk, 0.35f));
    img.Fill(Offset(arrow, 3.5f), palette::kFaceDetail);
    img.Fill(arrow, Linear(0.0f, 137.0f, palette::kFaceTop, 0.0f, 237.0f, Rgb(0xCED1D6)));
    img.Fill(Intersect(Offset(arrow, -3.0f), RoundRect(0.0f, 128.0f, 256.0f, 185.0f, 0.0f)),
             Linear(0.0f, 140.0f, WithAlpha(palette::kWhite, 0.8f), 0.0f, 186.0f,
                    WithAlpha(palette::kWhite, 0.1f)));
    return img;
}

// The "off" mark laid over a widget icon: a red cross on a clear background.
Image Cross()
{
    Image img(64, 64);
    const Shape cross =
        Union(Capsule(15.0f, 15.0f, 49.0f, 49.0f, 6.5f), Capsule(49.0f, 15.0f, 15.0f, 49.0f, 6.5f));
    img.Shadow(Offset(cross, 2.5f), 1.0f, 2.0f, 2.0f, WithAlpha(palette::kInk, 0.45f));
    img.Fill(Offset(cross, 2.5f), Rgb(0x5E0B10));
    img.Fill(cross, Linear(0.0f, 10.0f, Rgb(0xFF6257), 0.0f, 54.0f, Rgb(0xC21F1F)));
    img.Fill(Intersect(Offset(cross, -2.0f), RoundRect(0.0f, 0.0f, 64.0f, 30.0f, 0.0f)),
             WithAlpha(palette::kWhite, 0.3f));
    return img;
}
} // namespace

void AddHudFrameArt(std::vector<ArtFile>& out)
{
    out.push_back({"hud/BarMenuButtons.png", 256, 128, BarMenuButtons});
    out.push_back({"hud/MenuBackground.png", 512, 512, MenuBackground});
    out.push_back({"hud/Slider.png", 128, 512, Slider});
    out.push_back({"hud/WhiteBlock.png", 32, 32, WhiteBlock});
    out.push_back({"hud/ToolTipBack.png", 64, 64, ToolTipBack});
    out.push_back({"hud/ColoredRadial.png", 128, 128, ColoredRadial});
    out.push_back({"hud/Message.png", 512, 64, Message});
    out.push_back({"hud/Arrow.png", 256, 256, Arrow});
    out.push_back({"hud/cross.png", 64, 64, Cross});
}

} // namespace texgen
