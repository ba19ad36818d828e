// The three splash screens shown at start-up over a black screen: the maker's mark (a JPEG on
// black), the team's mark and the game's title with its ball. Each is a 512 x 512 frame that the
// menus centre horizontally; the title's art keeps to its top 440 rows, which is what fits on an
// 800 x 600 screen where the title is placed 150 pixels above the middle.
#include "ArtCatalog.h"
#include "Font.h"
#include "Style.h"

#include <algorithm>
#include <cmath>

namespace texgen
{
namespace
{
using namespace palette;

constexpr float kPi = 3.14159265f;

Shape RegularPolygon(float cx, float cy, float r, int sides, float turn)
{
    std::vector<Vec2> pts;
    for (int i = 0; i < sides; ++i)
    {
        const float a = turn + i * 2.0f * kPi / sides;
        pts.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return Polygon(pts);
}

// Lettering centred on (cx, cy), no wider than maxWidth.
Mask Lettering(const Font& font, const std::string& text, float px, float cx, float cy, float tracking,
               float maxWidth, int size = 512)
{
    const Box ink = font.InkBox(text, px, tracking);
    const float width = ink.x1 - ink.x0;
    const float fit = width > maxWidth ? maxWidth / width : 1.0f;
    return font.Centred(size, size, text, px * fit, cx, cy, tracking * fit);
}

// A thin rule on each side of a centred word.
void SideRules(Image& img, const Mask& word, float cy, float gap, float length, const Color& c)
{
    int left = img.Width();
    int right = 0;
    for (int y = 0; y < word.Height(); ++y)
        for (int x = 0; x < word.Width(); ++x)
            if (word.At(x, y) > 0.1f)
            {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    img.Fill(Capsule(left - gap - length, cy, left - gap, cy, 1.5f), c);
    img.Fill(Capsule(right + gap, cy, right + gap + length, cy, 1.5f), c);
}

// The maker's mark: a glowing hexagon with a "K" and the name under it.
Image KeshLogo()
{
    Image img(512, 512);
    img.Clear(Rgb(0x000000));
    const float cx = 256.0f;
    const float cy = 196.0f;
    const Color orange = Rgb(0xFF8A1E);
    const Color magenta = Rgb(0xE23A7E);
    img.Fill(Blur(Rasterise(RegularPolygon(cx, cy, 112.0f, 6, kPi / 6.0f), 512, 512), 28.0f),
             WithAlpha(orange, 0.45f));
    const Shape hex = RegularPolygon(cx, cy, 96.0f, 6, kPi / 6.0f);
    img.Fill(Offset(hex, 6.0f), Rgb(0x2A1208));
    img.Fill(hex, Linear(cx - 70.0f, cy - 90.0f, orange, cx + 70.0f, cy + 90.0f, magenta));
    img.Fill(Outline(Offset(hex, -10.0f), 3.0f), WithAlpha(kWhite, 0.35f));
    img.Fill(Intersect(Offset(hex, -4.0f), RoundRect(0.0f, 0.0f, 512.0f, cy - 10.0f, 0.0f)),
             Linear(0.0f, cy - 96.0f, WithAlpha(kWhite, 0.3f), 0.0f, cy, WithAlpha(kWhite, 0.0f)));
    const Mask k = Font::SansBold().Centred(512, 512, "K", 128.0f, cx + 2.0f, cy + 2.0f);
    img.Shadow(k, 3, 5, 4.0f, WithAlpha(Rgb(0x3A0A1A), 0.7f));
    img.Fill(k, Linear(0.0f, cy - 50.0f, kWhite, 0.0f, cy + 50.0f, Rgb(0xFFE3C8)));

    const Mask name = Lettering(Font::SansBold(), "KESH", 74.0f, cx, 372.0f, 22.0f, 420.0f);
    img.Fill(name, Linear(0.0f, 340.0f, kWhite, 0.0f, 400.0f, Rgb(0xD9D9D9)));
    const Mask games = Lettering(Font::SansBold(), "GAMES", 22.0f, cx, 425.0f, 12.0f, 300.0f);
    img.Fill(games, orange);
    SideRules(img, games, 425.0f, 16.0f, 70.0f, WithAlpha(orange, 0.8f));
    return img;
}

// The team's mark: a "V" inside a ring, with the name in two lines.
Image VoskelOrigins()
{
    Image img(512, 512);
    const float cx = 256.0f;
    const float cy = 200.0f;
    const Color teal = Rgb(0x35C9B8);
    const Color deep = Rgb(0x167A8C);
    img.Fill(Blur(Rasterise(Circle(cx, cy, 100.0f), 512, 512), 24.0f), WithAlpha(teal, 0.35f));
    const Shape ring = Outline(Circle(cx, cy, 88.0f), 14.0f);
    img.Fill(Offset(ring, 3.0f), kInk);
    img.Fill(ring, Linear(cx, cy - 95.0f, Shade(teal, 0.35f), cx, cy + 95.0f, deep));
    img.Fill(Circle(cx, cy, 78.0f), Radial(cx, cy - 30.0f, 100.0f, Rgb(0x173B52), Rgb(0x0C1828)));
    // The "V": two strokes meeting low, the right one ending in a leaf for "origins".
    const Shape v = Union(Capsule(cx - 44.0f, cy - 40.0f, cx, cy + 44.0f, 11.0f),
                          Capsule(cx, cy + 44.0f, cx + 40.0f, cy - 30.0f, 11.0f));
    const Shape leaf = Rotate(Ellipse(cx + 50.0f, cy - 48.0f, 11.0f, 22.0f), cx + 50.0f, cy - 48.0f, 0.7f);
    img.Fill(Offset(Union(v, leaf), 3.0f), kInk);
    img.Fill(v, Linear(0.0f, cy - 50.0f, kWhite, 0.0f, cy + 50.0f, Rgb(0xCFEFF0)));
    img.Fill(leaf, Linear(cx + 30.0f, cy - 70.0f, Shade(teal, 0.5f), cx + 70.0f, cy - 25.0f, teal));
    img.Fill(Capsule(cx + 42.0f, cy - 34.0f, cx + 57.0f, cy - 61.0f, 1.3f), WithAlpha(deep, 0.9f));
    Ball(img, cx - 44.0f, cy - 40.0f, 6.0f, Rgb(0xFFC23B), 0.0f);

    const Mask name = Lettering(Font::SansBold(), "VOSKEL", 66.0f, cx, 358.0f, 16.0f, 440.0f);
    img.Fill(Dilate(name, 4.0f), WithAlpha(kInk, 0.9f));
    img.Fill(name, Linear(0.0f, 330.0f, kWhite, 0.0f, 385.0f, Rgb(0xCFE8EA)));
    const Mask origins = Lettering(Font::SansBold(), "ORIGINS", 26.0f, cx, 412.0f, 15.0f, 320.0f);
    img.Fill(Dilate(origins, 3.0f), WithAlpha(kInk, 0.9f));
    img.Fill(origins, teal);
    SideRules(img, origins, 412.0f, 18.0f, 60.0f, teal);
    return img;
}

// The title: the star ball with a ring, the name in the decorative face and a strap line.
Image QuorbTitle()
{
    Image img(512, 512);
    const float cx = 256.0f;
    const float ballY = 128.0f;
    const float ballR = 84.0f;
    // The glow fades out inside the frame: cut off at its top edge it would draw a line across
    // the screen.
    img.Fill(Blur(Rasterise(Ellipse(cx, ballY + 12.0f, 165.0f, 92.0f), 512, 512), 40.0f),
             WithAlpha(kQuorb, 0.35f));

    // The ring passes behind the ball at the top and in front of it at the bottom.
    const float tilt = -0.22f;
    const Shape ring = Rotate(Outline(Ellipse(cx, ballY, 150.0f, 36.0f), 9.0f), cx, ballY, tilt);
    const Shape ringBack = Intersect(ring, Rotate(HalfPlane(1e4f, ballY, -1e4f, ballY), cx, ballY, tilt));
    const Shape ringFront = Intersect(ring, Rotate(HalfPlane(-1e4f, ballY, 1e4f, ballY), cx, ballY, tilt));
    const Paint gold =
        Linear(0.0f, ballY - 40.0f, Shade(kGold, 0.45f), 0.0f, ballY + 40.0f, Shade(kGold, -0.2f));
    img.Fill(Offset(ringBack, 2.5f), kInk);
    img.Fill(ringBack, gold);
    Ball(img, cx, ballY, ballR, kQuorb, 5.0f);
    img.Fill(Offset(ringFront, 2.5f), kInk);
    img.Fill(ringFront, gold);
    // A sparkle on the ball.
    const float sx = cx + 48.0f;
    const float sy = ballY - 52.0f;
    const float r = 20.0f;
    const Shape star = Polygon({{sx, sy - r},
                                {sx + r * 0.22f, sy - r * 0.22f},
                                {sx + r, sy},
                                {sx + r * 0.22f, sy + r * 0.22f},
                                {sx, sy + r},
                                {sx - r * 0.22f, sy + r * 0.22f},
                                {sx - r, sy},
                                {sx - r * 0.22f, sy - r * 0.22f}});
    img.Fill(Blur(Rasterise(star, 512, 512), 6.0f), WithAlpha(kWhite, 0.8f));
    img.Fill(star, kWhite);

    const Mask title = Lettering(Font::Display(), "Q.U.O.R.B.", 132.0f, cx, 300.0f, 2.0f, 470.0f);
    const Mask inner = Dilate(title, 5.0f);
    const Mask outer = Dilate(title, 9.0f);
    img.Shadow(outer, 0, 7, 6.0f, WithAlpha(Rgb(0x000000), 0.5f));
    img.Fill(outer, kWhite);
    img.Fill(inner, kInk);
    img.Fill(title, LinearStops(0.0f, 255.0f, 0.0f, 345.0f,
                                {{0.0f, Rgb(0xFFF1A6)}, {0.45f, Rgb(0xFFC83D)}, {1.0f, Rgb(0xFF8A1A)}}));
    // A gloss on the upper half of the letters.
    Mask upper = title;
    upper.Multiply(Rasterise(RoundRect(0.0f, 0.0f, 512.0f, 292.0f, 0.0f), 512, 512));
    img.Fill(upper, WithAlpha(kWhite, 0.35f));

    const Mask strap = Lettering(Font::SansBold(), "A PHYSICS PUZZLE GAME", 21.0f, cx, 398.0f, 5.0f, 400.0f);
    img.Fill(Dilate(strap, 3.5f), kInk);
    img.Fill(strap, kWhite);
    return img;
}
} // namespace

void AddSplashArt(std::vector<ArtFile>& out)
{
    out.push_back({"hud/KeshLogo.jpg", 512, 512, KeshLogo});
    out.push_back({"hud/VoskelOrigins.png", 512, 512, VoskelOrigins});
    out.push_back({"hud/QUORBTitle.png", 512, 512, QuorbTitle});
}

} // namespace texgen
