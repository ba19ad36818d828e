// Icons of the editor's property bar (violet badges) and of the values it offers (teal badges):
// friction, weight, charge, strength, direction, scale and the number of star objects.
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
const Color kSteelDark = Rgb(0x5E687A);
const Color kNeutral = Rgb(0xA3ABB7);

// ---------------------------------------------------------------------------------------------
// Shared pieces

// Three rising bars; the first `lit` are white, the rest are dimmed slots.
void Bars(Image& img, int lit, const Color& family)
{
    const Shape bars[3] = {RoundRect(14.0f, 35.0f, 23.0f, 48.0f, 2.0f),
                           RoundRect(27.5f, 26.0f, 36.5f, 48.0f, 2.0f),
                           RoundRect(41.0f, 16.0f, 50.0f, 48.0f, 2.0f)};
    for (int i = 0; i < 3; ++i)
        Pictogram(img, bars[i], i < lit ? kWhite : Shade(family, -0.25f), 2.2f);
}

Shape WeightShape(float cx, float top, float bottom, float halfTop, float halfBottom)
{
    return Polygon(
        {{cx - halfTop, top}, {cx + halfTop, top}, {cx + halfBottom, bottom}, {cx - halfBottom, bottom}});
}

void Weight(Image& img, float scale)
{
    const float cx = 32.0f;
    const float top = 32.0f - 11.0f * scale;
    const float bottom = 32.0f + 16.0f * scale;
    Pictogram(img, Outline(Circle(cx, top - 3.5f * scale, 5.5f * scale), 3.4f * scale), Rgb(0x8792A3), 2.2f);
    const Shape body = WeightShape(cx, top, bottom, 12.0f * scale, 18.0f * scale);
    Pictogram(img, body, kSteelDark);
    img.Fill(WeightShape(cx, top + 2.5f * scale, top + 6.0f * scale, 10.5f * scale, 11.5f * scale),
             WithAlpha(kWhite, 0.4f));
    Pictogram(img, Font::SansBold().Centred(64, 64, "kg", 15.0f * scale, cx, 32.0f + 5.0f * scale), kWhite,
              1.4f);
}

// A ball with a sign on it, for the charges.
void ChargedBall(Image& img, float cx, float cy, float r, const Color& base, const Shape* sign)
{
    Ball(img, cx, cy, r, base, 2.5f);
    if (sign != nullptr)
    {
        img.Fill(Offset(*sign, 1.4f), WithAlpha(kInk, 0.8f));
        img.Fill(*sign, kWhite);
    }
}

Shape Arrow(float angle)
{
    return ArrowShape(32.0f, 32.0f, 38.0f, 31.0f, 12.0f, 15.5f, angle);
}

// Corner brackets of a fixed frame, so the three scale icons compare sizes.
void Frame(Image& img)
{
    const float lo = 11.0f;
    const float hi = 53.0f;
    const float len = 8.0f;
    Shape corners = Union(Capsule(lo, lo, lo + len, lo, 1.4f), Capsule(lo, lo, lo, lo + len, 1.4f));
    corners = Union(corners, Union(Capsule(hi, lo, hi - len, lo, 1.4f), Capsule(hi, lo, hi, lo + len, 1.4f)));
    corners = Union(corners, Union(Capsule(lo, hi, lo + len, hi, 1.4f), Capsule(lo, hi, lo, hi - len, 1.4f)));
    corners = Union(corners, Union(Capsule(hi, hi, hi - len, hi, 1.4f), Capsule(hi, hi, hi, hi - len, 1.4f)));
    Pictogram(img, corners, kWhite, 1.6f);
}

void ScaledDisc(Image& img, float r)
{
    Frame(img);
    Pictogram(img, Circle(32.0f, 32.0f, r), kWhite);
    img.Fill(Ellipse(32.0f - r * 0.3f, 32.0f - r * 0.4f, r * 0.35f, r * 0.22f),
             WithAlpha(Shade(kTeal, 0.6f), 0.6f));
}

// ---------------------------------------------------------------------------------------------
// Properties

void Friction(Image& img)
{
    // A block sliding over rough ground.
    std::vector<Vec2> ground = {{10.0f, 50.0f}};
    for (int i = 0; i <= 8; ++i)
        ground.push_back({10.0f + i * 5.5f, (i % 2 == 0) ? 42.0f : 38.0f});
    ground.push_back({54.0f, 42.0f});
    ground.push_back({54.0f, 50.0f});
    Pictogram(img, Polygon(ground), kWhite, 2.2f);
    Pictogram(img, RoundRect(24.0f, 19.0f, 46.0f, 35.0f, 3.0f), kGold);
    for (int i = 0; i < 3; ++i)
    {
        const float y = 22.0f + i * 5.5f;
        const Shape line = Capsule(10.0f + i * 2.0f, y, 18.0f, y, 1.3f);
        img.Fill(Offset(line, 1.2f), kInk);
        img.Fill(line, kWhite);
    }
}

void WeightProperty(Image& img)
{
    Weight(img, 1.0f);
}

void Charge(Image& img)
{
    const Shape plus = PlusSign(22.5f, 29.0f, 5.5f, 2.0f);
    const Shape minus = MinusSign(41.5f, 36.0f, 5.5f, 2.0f);
    ChargedBall(img, 41.5f, 36.0f, 11.5f, kBlue, &minus);
    ChargedBall(img, 22.5f, 29.0f, 11.5f, kRed, &plus);
}

void Strength(Image& img)
{
    Bars(img, 3, kViolet);
}

void Direction(Image& img)
{
    Shape cross = ArrowShape(32.0f, 21.5f, 21.0f, 15.0f, 6.0f, 8.0f, 0.0f);
    for (int i = 1; i < 4; ++i)
        cross = Union(cross, Rotate(ArrowShape(32.0f, 21.5f, 21.0f, 15.0f, 6.0f, 8.0f, 0.0f), 32.0f, 32.0f,
                                    i * kPi * 0.5f));
    Pictogram(img, Union(cross, Circle(32.0f, 32.0f, 5.0f)), kWhite);
}

void ScaleProperty(Image& img)
{
    Pictogram(img, Outline(RoundRect(17.0f, 13.0f, 51.0f, 47.0f, 3.0f), 3.0f), kWhite, 1.8f);
    Pictogram(img, RoundRect(12.0f, 35.0f, 29.0f, 52.0f, 2.5f), kGold);
    Pictogram(img, ArrowShape(38.5f, 25.5f, 17.0f, 12.0f, 4.5f, 6.5f, kPi * 0.25f), kWhite, 2.0f);
}

void NumQuorb(Image& img)
{
    Ball(img, 25.0f, 37.0f, 12.0f, kQuorb, 2.4f);
    GlyphPictogram(img, "#", 30.0f, 43.0f, 23.0f);
}

// ---------------------------------------------------------------------------------------------
// Values

void Feather(Image& img)
{
    const Shape vane = Rotate(Ellipse(32.0f, 28.0f, 8.5f, 19.0f), 32.0f, 32.0f, 0.6f);
    const Shape quill = Capsule(19.5f, 50.0f, 42.0f, 16.0f, 1.3f);
    Pictogram(img, Union(vane, quill), kWhite);
    img.Fill(Intersect(Capsule(22.0f, 46.0f, 42.0f, 16.0f, 0.8f), Offset(vane, -1.0f)),
             WithAlpha(kTeal, 0.8f));
    for (int i = 0; i < 3; ++i)
    {
        const float t = 0.3f + i * 0.18f;
        const float x = 22.0f + (42.0f - 22.0f) * t;
        const float y = 46.0f + (16.0f - 46.0f) * t;
        img.Fill(Capsule(x, y, x + 6.0f, y + 4.0f, 0.6f), WithAlpha(kTeal, 0.7f));
    }
}

void Anvil(Image& img)
{
    const Shape anvil = Polygon({{10.0f, 21.0f},
                                 {50.0f, 21.0f},
                                 {50.0f, 29.0f},
                                 {41.0f, 32.0f},
                                 {39.0f, 40.0f},
                                 {46.0f, 47.0f},
                                 {18.0f, 47.0f},
                                 {25.0f, 40.0f},
                                 {23.0f, 32.0f},
                                 {17.0f, 30.0f}});
    Pictogram(img, anvil, kSteelDark);
    img.Fill(Polygon({{12.5f, 23.0f}, {48.0f, 23.0f}, {48.0f, 25.5f}, {14.0f, 25.5f}}),
             WithAlpha(kWhite, 0.45f));
}

void ChargeNegative(Image& img)
{
    const Shape minus = MinusSign(32.0f, 32.0f, 8.0f, 2.6f);
    ChargedBall(img, 32.0f, 32.0f, 15.0f, kBlue, &minus);
}

void ChargeNeutral(Image& img)
{
    ChargedBall(img, 32.0f, 32.0f, 15.0f, kNeutral, nullptr);
    GlyphPictogram(img, "0", 18.0f, 32.0f, 32.0f, kWhite, 1.4f);
}

void ChargePositive(Image& img)
{
    const Shape plus = PlusSign(32.0f, 32.0f, 8.0f, 2.6f);
    ChargedBall(img, 32.0f, 32.0f, 15.0f, kRed, &plus);
}

void MultiQuorb(Image& img)
{
    Ball(img, 32.0f, 21.0f, 9.0f, kQuorb, 2.2f);
    Ball(img, 21.0f, 39.0f, 9.0f, kQuorb, 2.2f);
    Ball(img, 43.0f, 39.0f, 9.0f, kQuorb, 2.2f);
}

void DirectionToggle(Image& img)
{
    const Shape right = ArrowShape(32.0f, 23.0f, 30.0f, 17.0f, 6.5f, 9.5f, kPi * 0.5f);
    const Shape left = ArrowShape(32.0f, 41.0f, 30.0f, 17.0f, 6.5f, 9.5f, -kPi * 0.5f);
    Pictogram(img, right, kWhite, 2.2f);
    Pictogram(img, left, Shade(kGold, 0.2f), 2.2f);
}
} // namespace

void AddEditorIconArt(std::vector<ArtFile>& out)
{
    out.push_back(IconFile("hud/FrictionIcon.png", kViolet, Friction));
    out.push_back(IconFile("hud/WeightIcon.png", kViolet, WeightProperty));
    out.push_back(IconFile("hud/ChargeIcon.png", kViolet, Charge));
    out.push_back(IconFile("hud/StrengthIcon.png", kViolet, Strength));
    out.push_back(IconFile("hud/DirectionIcon.png", kViolet, Direction));
    out.push_back(IconFile("hud/ScaleIcon.png", kViolet, ScaleProperty));
    out.push_back(IconFile("hud/NumQuorbIcon.png", kViolet, NumQuorb));

    out.push_back(IconFile("hud/StrengthLowIcon.png", kTeal, [](Image& img) { Bars(img, 1, kTeal); }));
    out.push_back(IconFile("hud/StrengthMediumIcon.png", kTeal, [](Image& img) { Bars(img, 2, kTeal); }));
    out.push_back(IconFile("hud/StrengthHighIcon.png", kTeal, [](Image& img) { Bars(img, 3, kTeal); }));
    out.push_back(IconFile("hud/WeightLightIcon.png", kTeal, Feather));
    out.push_back(IconFile("hud/WeightHeavyIcon.png", kTeal, Anvil));
    out.push_back(IconFile("hud/ChargeNegativeIcon.png", kTeal, ChargeNegative));
    out.push_back(IconFile("hud/ChargeNeutralIcon.png", kTeal, ChargeNeutral));
    out.push_back(IconFile("hud/ChargePositiveIcon.png", kTeal, ChargePositive));
    out.push_back(
        IconFile("hud/DirectionUpIcon.png", kTeal, [](Image& img) { Pictogram(img, Arrow(0.0f)); }));
    out.push_back(
        IconFile("hud/DirectionDownIcon.png", kTeal, [](Image& img) { Pictogram(img, Arrow(kPi)); }));
    out.push_back(
        IconFile("hud/DirectionLeftIcon.png", kTeal, [](Image& img) { Pictogram(img, Arrow(-kPi * 0.5f)); }));
    out.push_back(
        IconFile("hud/DirectionRightIcon.png", kTeal, [](Image& img) { Pictogram(img, Arrow(kPi * 0.5f)); }));
    out.push_back(IconFile("hud/ScaleFirstIcon.png", kTeal, [](Image& img) { ScaledDisc(img, 7.0f); }));
    out.push_back(IconFile("hud/ScaleSecondIcon.png", kTeal, [](Image& img) { ScaledDisc(img, 11.5f); }));
    out.push_back(IconFile("hud/ScaleThirdIcon.png", kTeal, [](Image& img) { ScaledDisc(img, 16.0f); }));
    out.push_back(
        IconFile("hud/OneQuorbIcon.png", kTeal, [](Image& img) { Ball(img, 32.0f, 32.0f, 14.0f, kQuorb); }));
    out.push_back(IconFile("hud/MultiQuorbIcon.png", kTeal, MultiQuorb));
    out.push_back(IconFile("hud/DirectionToggleIcon.png", kTeal, DirectionToggle));
}

} // namespace texgen
