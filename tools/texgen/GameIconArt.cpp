// Icons of the things a puzzle is made of and of the menu actions: objectives on coral badges,
// widgets on blue, star objects on gold, help on amber, room and budget actions on green. Each
// is a round 64 x 64 badge with a white, ink-outlined pictogram, drawn at 32 pixels in the bars.
#include "ArtCatalog.h"
#include "Font.h"
#include "Style.h"

#include <cmath>

namespace texgen
{
namespace
{
using namespace palette;

constexpr float kPi = 3.14159265f;

// The region under a horizontal wave y = baseY + amp sin(freq x).
Shape UnderWave(float baseY, float amp, float freq)
{
    const float norm = 1.0f / std::sqrt(1.0f + amp * amp * freq * freq);
    return {[=](float x, float y) { return (baseY + amp * std::sin(freq * x) - y) * norm; }, Box{}};
}

Shape Wedge(float cx, float cy, float a0, float a1, float r)
{
    return Polygon({{cx, cy},
                    {cx + r * std::cos(a0), cy + r * std::sin(a0)},
                    {cx + r * std::cos((a0 + a1) * 0.5f) * 1.2f, cy + r * std::sin((a0 + a1) * 0.5f) * 1.2f},
                    {cx + r * std::cos(a1), cy + r * std::sin(a1)}});
}

void Sparkle(Image& img, float cx, float cy, float r)
{
    const Shape star = Polygon({{cx, cy - r},
                                {cx + r * 0.25f, cy - r * 0.25f},
                                {cx + r, cy},
                                {cx + r * 0.25f, cy + r * 0.25f},
                                {cx, cy + r},
                                {cx - r * 0.25f, cy + r * 0.25f},
                                {cx - r, cy},
                                {cx - r * 0.25f, cy - r * 0.25f}});
    img.Fill(Offset(star, 1.2f), WithAlpha(kInk, 0.6f));
    img.Fill(star, kWhite);
}

// ---------------------------------------------------------------------------------------------
// Objectives

void GetToLocation(Image& img)
{
    // A dashed zone with the star object resting in it.
    Shape dashes =
        Intersect(Outline(Circle(32.0f, 32.0f, 18.5f), 4.5f), Wedge(32.0f, 32.0f, 0.0f, 0.42f, 30.0f));
    for (int i = 1; i < 10; ++i)
    {
        const float a = i * 2.0f * kPi / 10.0f;
        dashes = Union(dashes, Intersect(Outline(Circle(32.0f, 32.0f, 18.5f), 4.5f),
                                         Wedge(32.0f, 32.0f, a, a + 0.42f, 30.0f)));
    }
    Pictogram(img, dashes, kWhite, 2.0f);
    Ball(img, 32.0f, 32.0f, 8.5f, kQuorb, 2.2f);
}

void Target(Image& img)
{
    Pictogram(img, Circle(32.0f, 32.0f, 19.0f), kWhite);
    img.Fill(Outline(Circle(32.0f, 32.0f, 12.5f), 5.0f), kRed);
    img.Fill(Circle(32.0f, 32.0f, 4.8f), kRed);
}

void WaterControl(Image& img)
{
    const Shape water = Intersect(RoundRect(12.0f, 26.0f, 52.0f, 51.0f, 8.0f), UnderWave(38.5f, 2.2f, 0.55f));
    Pictogram(img, water, Rgb(0x8FD8FF));
    img.Fill(Intersect(Offset(water, -2.5f), Outline(UnderWave(38.5f, 2.2f, 0.55f), 2.0f)),
             WithAlpha(kWhite, 0.9f));
    // The level moves up and down.
    const Shape up = ArrowUp(32.0f, 7.0f, 21.0f, 15.0f, 5.5f, 7.5f);
    const Shape both = Union(up, Rotate(up, 32.0f, 20.0f, kPi));
    Pictogram(img, both, kWhite, 2.2f);
}

void TimeLimit(Image& img)
{
    // An alarm clock: two bells behind a round face.
    for (int side = -1; side <= 1; side += 2)
    {
        Pictogram(img,
                  Rotate(Ellipse(32.0f + side * 12.5f, 15.5f, 7.0f, 5.0f), 32.0f + side * 12.5f, 15.5f,
                         side * 0.6f),
                  kGold, 2.2f);
    }
    Pictogram(img, Circle(32.0f, 34.0f, 16.5f), kWhite);
    for (int i = 0; i < 12; ++i)
    {
        const float a = i * kPi / 6.0f;
        const float r0 = (i % 3 == 0) ? 10.5f : 12.0f;
        img.Fill(Capsule(32.0f + r0 * std::cos(a), 34.0f + r0 * std::sin(a), 32.0f + 13.2f * std::cos(a),
                         34.0f + 13.2f * std::sin(a), i % 3 == 0 ? 1.2f : 0.8f),
                 kInk);
    }
    img.Fill(Capsule(32.0f, 34.0f, 32.0f, 24.0f, 1.8f), kInk);
    img.Fill(Capsule(32.0f, 34.0f, 39.5f, 38.0f, 1.8f), kInk);
    img.Fill(Circle(32.0f, 34.0f, 2.6f), kCoral);
}

void SquashQuorbi(Image& img)
{
    // A heavy block pressing the star object flat.
    const Shape squashed = Ellipse(32.0f, 43.5f, 15.0f, 6.5f);
    img.Fill(Offset(squashed, 2.2f), kInk);
    img.Fill(squashed, Radial(27.0f, 40.0f, 18.0f, Shade(kQuorb, 0.5f), Shade(kQuorb, -0.3f)));
    img.Fill(Ellipse(26.0f, 41.0f, 5.0f, 1.8f), WithAlpha(kWhite, 0.85f));
    // A heavy weight with a handle.
    Pictogram(img, Outline(Circle(32.0f, 13.5f, 4.5f), 3.0f), Rgb(0x8792A3), 2.2f);
    const Shape weight = Polygon({{21.0f, 17.0f}, {43.0f, 17.0f}, {48.0f, 36.0f}, {16.0f, 36.0f}});
    Pictogram(img, weight, Rgb(0x6E7889));
    img.Fill(Polygon({{23.5f, 19.5f}, {40.5f, 19.5f}, {41.5f, 23.0f}, {22.5f, 23.0f}}),
             WithAlpha(kWhite, 0.45f));
    Pictogram(img, Font::SansBold().Centred(64, 64, "t", 13.0f, 32.0f, 29.0f), kWhite, 1.5f);
    for (int side = -1; side <= 1; side += 2)
    {
        img.Fill(Offset(Capsule(32.0f + side * 20.0f, 40.0f, 32.0f + side * 24.0f, 38.0f, 1.3f), 1.2f), kInk);
        img.Fill(Capsule(32.0f + side * 20.0f, 40.0f, 32.0f + side * 24.0f, 38.0f, 1.3f), kWhite);
        img.Fill(Offset(Capsule(32.0f + side * 20.0f, 46.0f, 32.0f + side * 24.5f, 47.5f, 1.3f), 1.2f), kInk);
        img.Fill(Capsule(32.0f + side * 20.0f, 46.0f, 32.0f + side * 24.5f, 47.5f, 1.3f), kWhite);
    }
}

// ---------------------------------------------------------------------------------------------
// Widgets

void Platform(Image& img)
{
    const Shape top = Polygon({{11.0f, 28.0f}, {39.0f, 19.0f}, {53.0f, 27.0f}, {25.0f, 36.0f}});
    const Shape left = Polygon({{11.0f, 28.0f}, {25.0f, 36.0f}, {25.0f, 44.0f}, {11.0f, 36.0f}});
    const Shape right = Polygon({{25.0f, 36.0f}, {53.0f, 27.0f}, {53.0f, 35.0f}, {25.0f, 44.0f}});
    const Shape all = Union(top, Union(left, right));
    img.Shadow(Offset(all, 2.5f), 0.0f, 1.5f, 1.5f, WithAlpha(kInk, 0.35f));
    img.Fill(Offset(all, 2.5f), kInk);
    img.Fill(top, Linear(11.0f, 19.0f, Rgb(0xF6DDAF), 53.0f, 36.0f, Rgb(0xE6BE82)));
    img.Fill(left, Rgb(0xC28F52));
    img.Fill(right, Rgb(0xA97740));
    img.Fill(Capsule(18.0f, 28.0f, 38.0f, 22.0f, 0.7f), WithAlpha(Rgb(0xB98A50), 0.8f));
    img.Fill(Capsule(24.0f, 31.0f, 45.0f, 24.5f, 0.7f), WithAlpha(Rgb(0xB98A50), 0.8f));
    img.Fill(Capsule(25.0f, 36.0f, 53.0f, 27.0f, 0.7f), WithAlpha(kWhite, 0.6f));
}

void BarWidget(Image& img)
{
    Pictogram(img, Capsule(18.0f, 46.0f, 46.0f, 18.0f, 4.5f), Rgb(0xD8DEE6));
    img.Fill(Capsule(20.0f, 42.0f, 42.0f, 20.0f, 1.2f), WithAlpha(kWhite, 0.9f));
    Ball(img, 17.0f, 47.0f, 6.0f, kGold, 2.2f);
    Ball(img, 47.0f, 17.0f, 6.0f, kGold, 2.2f);
}

void Accelerator(Image& img)
{
    const Shape one =
        Union(Capsule(17.0f, 19.0f, 29.0f, 32.0f, 4.2f), Capsule(29.0f, 32.0f, 17.0f, 45.0f, 4.2f));
    const Shape two = Translate(one, 15.0f, 0.0f);
    Pictogram(img, Union(one, two), kWhite);
    img.Fill(Union(one, two), Linear(14.0f, 0.0f, Rgb(0xFFE08A), 48.0f, 0.0f, kWhite), 0.8f);
}

void Gravity(Image& img)
{
    Ball(img, 32.0f, 16.0f, 7.5f, kGold, 2.2f);
    Pictogram(img, ArrowShape(32.0f, 38.5f, 26.0f, 27.0f, 10.0f, 12.5f, kPi), kWhite);
}

Shape Horseshoe()
{
    const Shape bend =
        Intersect(Outline(Circle(32.0f, 31.0f, 12.5f), 9.0f), HalfPlane(0.0f, 31.0f, 64.0f, 31.0f));
    return Union(bend, Union(RoundRect(15.0f, 13.0f, 24.0f, 31.5f, 1.5f),
                             RoundRect(40.0f, 13.0f, 49.0f, 31.5f, 1.5f)));
}

void Magnet(Image& img)
{
    const Shape shoe = Horseshoe();
    Pictogram(img, shoe, Rgb(0xF04B3E));
    img.Fill(RoundRect(15.0f, 13.0f, 24.0f, 21.0f, 1.5f),
             Linear(0.0f, 13.0f, kWhite, 0.0f, 21.0f, Rgb(0xC9CFD8)));
    img.Fill(RoundRect(40.0f, 13.0f, 49.0f, 21.0f, 1.5f),
             Linear(0.0f, 13.0f, kWhite, 0.0f, 21.0f, Rgb(0xC9CFD8)));
    img.Fill(Capsule(15.0f, 21.0f, 24.0f, 21.0f, 0.8f), kInk);
    img.Fill(Capsule(40.0f, 21.0f, 49.0f, 21.0f, 0.8f), kInk);
    img.Fill(Intersect(Outline(Circle(32.0f, 31.0f, 14.5f), 1.5f), HalfPlane(0.0f, 33.0f, 64.0f, 33.0f)),
             WithAlpha(kWhite, 0.6f));
}

// ---------------------------------------------------------------------------------------------
// Star objects

void QuorbBall(Image& img)
{
    Ball(img, 31.0f, 33.0f, 16.0f, kQuorb, 2.5f);
    Sparkle(img, 46.0f, 17.0f, 7.0f);
}

void QuorbBox(Image& img)
{
    const Shape top = Polygon({{32.0f, 13.0f}, {49.0f, 21.5f}, {32.0f, 30.0f}, {15.0f, 21.5f}});
    const Shape left = Polygon({{15.0f, 21.5f}, {32.0f, 30.0f}, {32.0f, 50.0f}, {15.0f, 41.5f}});
    const Shape right = Polygon({{32.0f, 30.0f}, {49.0f, 21.5f}, {49.0f, 41.5f}, {32.0f, 50.0f}});
    const Shape all = Union(top, Union(left, right));
    img.Shadow(Offset(all, 2.5f), 0.0f, 1.5f, 1.5f, WithAlpha(kInk, 0.35f));
    img.Fill(Offset(all, 2.5f), kInk);
    img.Fill(top, Shade(kQuorb, 0.45f));
    img.Fill(left, kQuorb);
    img.Fill(right, Shade(kQuorb, -0.3f));
    img.Fill(Capsule(32.0f, 30.0f, 32.0f, 50.0f, 0.6f), WithAlpha(kWhite, 0.5f));
    Sparkle(img, 32.0f, 21.5f, 5.0f);
}

void HardNode(Image& img)
{
    // An anchor: ring, shank, stock and curved arms.
    const Shape ring = Outline(Circle(32.0f, 14.5f, 4.2f), 3.4f);
    const Shape shank = Capsule(32.0f, 19.0f, 32.0f, 47.0f, 3.0f);
    const Shape stock = Capsule(23.0f, 25.0f, 41.0f, 25.0f, 2.6f);
    const Shape arms =
        Intersect(Outline(Circle(32.0f, 32.0f, 16.0f), 5.0f), HalfPlane(0.0f, 36.0f, 64.0f, 36.0f));
    const Shape flukes = Union(Polygon({{10.0f, 33.0f}, {21.0f, 38.0f}, {13.5f, 43.0f}}),
                               Polygon({{54.0f, 33.0f}, {50.5f, 43.0f}, {43.0f, 38.0f}}));
    Pictogram(img, Union(Union(ring, shank), Union(stock, Union(arms, flukes))), Rgb(0xDDE3EA));
}

// ---------------------------------------------------------------------------------------------
// Help and menu actions

void Help(Image& img)
{
    GlyphPictogram(img, "?", 44.0f, 32.0f, 32.5f);
}

void Controls(Image& img)
{
    const Shape body = RoundRect(20.0f, 11.0f, 44.0f, 53.0f, 12.0f);
    Pictogram(img, body, kWhite);
    img.Fill(Intersect(body, RoundRect(20.0f, 11.0f, 32.0f, 28.0f, 0.0f)), WithAlpha(kSun, 0.45f));
    img.Fill(Capsule(32.0f, 11.0f, 32.0f, 28.0f, 1.0f), kInk);
    img.Fill(Capsule(20.0f, 28.0f, 44.0f, 28.0f, 1.0f), kInk);
    img.Fill(Offset(RoundRect(30.0f, 16.0f, 34.0f, 24.0f, 2.0f), 1.0f), kInk);
    img.Fill(RoundRect(30.0f, 16.0f, 34.0f, 24.0f, 2.0f), Rgb(0xC9CFD8));
}

void Back(Image& img)
{
    // A return arrow: the head points left, the tail curls round underneath.
    const Shape curl =
        Intersect(Outline(Circle(35.0f, 32.0f, 11.0f), 7.0f), HalfPlane(35.0f, 64.0f, 35.0f, 0.0f));
    const Shape top = RoundRect(24.0f, 17.5f, 35.5f, 24.5f, 0.5f);
    const Shape tail = RoundRect(19.0f, 39.5f, 35.5f, 46.5f, 3.0f);
    const Shape head = Polygon({{9.0f, 21.0f}, {26.0f, 9.0f}, {26.0f, 33.0f}});
    Pictogram(img, Union(Union(curl, top), Union(tail, head)), kWhite);
}

void Save(Image& img)
{
    const Shape disk =
        Polygon({{15.0f, 15.0f}, {44.0f, 15.0f}, {49.0f, 20.0f}, {49.0f, 49.0f}, {15.0f, 49.0f}});
    img.Shadow(Offset(disk, 2.5f), 0.0f, 1.5f, 1.5f, WithAlpha(kInk, 0.35f));
    img.Fill(Offset(disk, 2.5f), kInk);
    img.Fill(disk, Linear(0.0f, 15.0f, Rgb(0x4A5C8F), 0.0f, 49.0f, Rgb(0x2E3B63)));
    img.Fill(RoundRect(22.0f, 15.0f, 41.0f, 27.0f, 1.0f),
             Linear(0.0f, 15.0f, kWhite, 0.0f, 27.0f, Rgb(0xC5CCD6)));
    img.Fill(RoundRect(34.0f, 17.5f, 38.0f, 25.0f, 1.0f), Rgb(0x2E3B63));
    img.Fill(RoundRect(20.0f, 32.0f, 44.0f, 49.0f, 2.0f), kWhite);
    img.Fill(Capsule(24.0f, 37.5f, 40.0f, 37.5f, 0.8f), WithAlpha(kInk, 0.35f));
    img.Fill(Capsule(24.0f, 42.5f, 40.0f, 42.5f, 0.8f), WithAlpha(kInk, 0.35f));
}

void NewRoom(Image& img)
{
    const Shape house = Polygon({{31.0f, 10.0f},
                                 {51.0f, 27.0f},
                                 {46.0f, 27.0f},
                                 {46.0f, 47.0f},
                                 {16.0f, 47.0f},
                                 {16.0f, 27.0f},
                                 {11.0f, 27.0f}});
    Pictogram(img, house, kWhite);
    img.Fill(RoundRect(26.5f, 34.0f, 35.5f, 47.0f, 2.0f), Shade(kGreen, -0.2f));
    img.Fill(Offset(Circle(46.0f, 45.0f, 9.5f), 2.2f), kInk);
    img.Fill(Circle(46.0f, 45.0f, 9.5f),
             Radial(43.0f, 41.0f, 12.0f, Shade(kGold, 0.4f), Shade(kGold, -0.15f)));
    img.Fill(Offset(PlusSign(46.0f, 45.0f, 5.0f, 1.7f), 1.0f), kInk);
    img.Fill(PlusSign(46.0f, 45.0f, 5.0f, 1.7f), kWhite);
}

void Increment(Image& img)
{
    Pictogram(img, PlusSign(32.0f, 32.0f, 15.0f, 5.0f), kWhite);
}

void Decrement(Image& img)
{
    Pictogram(img, MinusSign(32.0f, 32.0f, 15.0f, 5.0f), kWhite);
}
} // namespace

void AddGameIconArt(std::vector<ArtFile>& out)
{
    out.push_back(IconFile("hud/GetToLocationIcon.png", kCoral, GetToLocation));
    out.push_back(IconFile("hud/TargetIcon.png", kCoral, Target));
    out.push_back(IconFile("hud/WaterControlIcon.png", kCoral, WaterControl));
    out.push_back(IconFile("hud/TimeLimitIcon.png", kCoral, TimeLimit));
    out.push_back(IconFile("hud/SquashQuorbiIcon.png", kCoral, SquashQuorbi));
    out.push_back(IconFile("hud/PlatIcon.png", kAzure, Platform));
    out.push_back(IconFile("hud/BarIcon.png", kAzure, BarWidget));
    out.push_back(IconFile("hud/AccIcon.png", kAzure, Accelerator));
    out.push_back(IconFile("hud/GravIcon.png", kAzure, Gravity));
    out.push_back(IconFile("hud/MagnetIcon.png", kAzure, Magnet));
    out.push_back(IconFile("hud/QUORBBallIcon.png", kSun, QuorbBall));
    out.push_back(IconFile("hud/QUORBBoxIcon.png", kSun, QuorbBox));
    out.push_back(IconFile("hud/HardNodeIcon.png", kSun, HardNode));
    out.push_back(IconFile("hud/HelpIcon.png", kSun, Help));
    out.push_back(IconFile("hud/ControlsIcon.png", kSun, Controls));
    out.push_back(IconFile("hud/BackIcon.png", kGreen, Back));
    out.push_back(IconFile("hud/SaveIcon.png", kGreen, Save));
    out.push_back(IconFile("hud/NewRoomIcon.png", kGreen, NewRoom));
    out.push_back(IconFile("hud/IncrementIcon.png", kGreen, Increment));
    out.push_back(IconFile("hud/DecrementIcon.png", kGreen, Decrement));
}

} // namespace texgen
