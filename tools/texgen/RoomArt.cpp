// The room and its stand-ins: the shell's wall panel (walls, floor and ceiling repeat it once
// every 8 units), the building area laid over each face (a see-through grid, drawn blended so
// the wall and the widgets show through it), and the magenta checker of a mesh that failed to
// load, which nobody should mistake for art.
#include "ArtCatalog.h"
#include "Noise.h"
#include "Style.h"

#include <algorithm>
#include <cmath>

namespace texgen
{
namespace
{
using namespace palette;

// A checker that cannot pass for a texture: 8 x 8 squares of magenta and black.
Image Invalid()
{
    return PerPixel(64, 64,
                    [](float x, float y)
                    {
                        const bool odd = ((static_cast<int>(x) / 8) + (static_cast<int>(y) / 8)) % 2 != 0;
                        return odd ? Rgb(0x000000) : Rgb(0xFF00FF);
                    });
}

// The room's wall panel: one tile is 8 x 8 units, made of four 4-unit panels in a warm light grey.
// Each panel has a groove at its edge, a bevel lit from the top left, an inset line and a screw
// in each corner; low contrast, so puzzles read clearly in front of it. Everything repeats with
// the tile.
constexpr int kShellSize = 512;
constexpr float kPanel = 256.0f;

Color ShellPixel(float x, float y)
{
    const float cx = x + 0.5f;
    const float cy = y + 0.5f;
    const float px = std::fmod(cx, kPanel);
    const float py = std::fmod(cy, kPanel);
    const int panel = static_cast<int>(cx / kPanel) + 2 * static_cast<int>(cy / kPanel);

    const float mottle = Fbm(x / 128.0f, y / 128.0f, 4, 4, 4, 201u);
    const float fine = Fbm(x / 16.0f, y / 16.0f, 32, 32, 2, 202u);
    Color c = Shade(Rgb(0xDAD4CA), (mottle - 0.5f) * 0.09f + (fine - 0.5f) * 0.03f);
    // Neighbouring panels differ a touch, like separately made plates.
    c = Shade(c, (HashUnit(panel, 0, 203u) - 0.5f) * 0.05f);

    // Bevel: light along the top and left edges, shade along the bottom and right.
    auto ramp = [](float d) { return 1.0f - SmoothStep(3.0f, 12.0f, d); };
    const float light = 0.16f * (ramp(px) + ramp(py)) - 0.14f * (ramp(kPanel - px) + ramp(kPanel - py));
    c = Shade(c, light);

    // The groove between panels.
    const float edge = std::min(std::min(px, kPanel - px), std::min(py, kPanel - py));
    c = Mix(Rgb(0x8F887E), c, SmoothStep(1.0f, 3.0f, edge));

    // An inset line 30 pixels in: a dark line with a light one below and right of it.
    const float inset = std::max(std::fabs(px - kPanel * 0.5f), std::fabs(py - kPanel * 0.5f));
    const float line = kPanel * 0.5f - 30.0f;
    c = Shade(c, -0.10f * (1.0f - SmoothStep(0.5f, 1.5f, std::fabs(inset - line))));
    c = Shade(c, 0.10f * (1.0f - SmoothStep(0.5f, 1.5f, std::fabs(inset - line + 1.8f))));

    // Screws in the corners.
    for (int corner = 0; corner < 4; ++corner)
    {
        const float sx = (corner & 1) ? kPanel - 15.0f : 15.0f;
        const float sy = (corner & 2) ? kPanel - 15.0f : 15.0f;
        const float d = std::sqrt((px - sx) * (px - sx) + (py - sy) * (py - sy));
        if (d < 7.0f)
        {
            const float lit = Clamp01(0.5f - ((px - sx) + (py - sy)) / 10.0f);
            Color screw = Mix(Rgb(0x9C958B), Rgb(0xF1ECE4), lit);
            // The slot.
            const float slot = std::fabs((px - sx) - (py - sy)) * 0.7071f;
            screw = Mix(Rgb(0x7A746B), screw, SmoothStep(0.6f, 1.4f, slot));
            const float rim = 1.0f - SmoothStep(4.3f, 5.3f, d);
            c = Mix(Mix(c, Rgb(0x8F887E), 1.0f - SmoothStep(5.0f, 6.5f, d)), screw, rim);
        }
    }
    return c;
}

Image RoomShell()
{
    return PerPixel(kShellSize, kShellSize, ShellPixel);
}

// The building area of a room face: 22 x 16 units shown over the whole image, so an 11 x 8 grid
// of 2-unit cells, with marks where the lines cross and a brighter border. Clear elsewhere.
Image ConstructionQuad()
{
    constexpr float kSize = 512.0f;
    constexpr int kColumns = 11;
    constexpr int kRows = 8;
    Image img(512, 512);
    const Color line = WithAlpha(Rgb(0x9FD0FF), 0.42f);
    const Color mark = WithAlpha(Rgb(0xD9EEFF), 0.8f);
    for (int i = 1; i < kColumns; ++i)
    {
        const float x = kSize * i / kColumns;
        img.Fill(RoundRect(x - 1.0f, 0.0f, x + 1.0f, kSize, 0.0f), line);
    }
    for (int j = 1; j < kRows; ++j)
    {
        const float y = kSize * j / kRows;
        img.Fill(RoundRect(0.0f, y - 1.0f, kSize, y + 1.0f, 0.0f), line);
    }
    for (int i = 1; i < kColumns; ++i)
        for (int j = 1; j < kRows; ++j)
        {
            const float x = kSize * i / kColumns;
            const float y = kSize * j / kRows;
            img.Fill(Union(RoundRect(x - 1.5f, y - 7.0f, x + 1.5f, y + 7.0f, 0.0f),
                           RoundRect(x - 7.0f, y - 1.5f, x + 7.0f, y + 1.5f, 0.0f)),
                     mark);
        }
    // The border: a band at the edge with a light line inside it and brackets at the corners.
    const Shape frame = Subtract(RoundRect(-1.0f, -1.0f, kSize + 1.0f, kSize + 1.0f, 0.0f),
                                 RoundRect(6.0f, 6.0f, kSize - 6.0f, kSize - 6.0f, 0.0f));
    img.Fill(frame, WithAlpha(Rgb(0x3A8DE4), 0.78f));
    img.Fill(Outline(RoundRect(9.0f, 9.0f, kSize - 9.0f, kSize - 9.0f, 0.0f), 2.0f), WithAlpha(kWhite, 0.7f));
    for (int corner = 0; corner < 4; ++corner)
    {
        const float sx = (corner & 1) ? -1.0f : 1.0f;
        const float sy = (corner & 2) ? -1.0f : 1.0f;
        const float x = (corner & 1) ? kSize - 6.0f : 6.0f;
        const float y = (corner & 2) ? kSize - 6.0f : 6.0f;
        const Shape bracket =
            Union(Capsule(x, y, x + sx * 40.0f, y, 3.5f), Capsule(x, y, x, y + sy * 40.0f, 3.5f));
        img.Fill(bracket, WithAlpha(kWhite, 0.9f));
    }
    return img;
}
} // namespace

void AddRoomArt(std::vector<ArtFile>& out)
{
    out.push_back({"common/invalid_diffuse.png", 64, 64, Invalid});
    out.push_back({"room/room_shell_diffuse.png", kShellSize, kShellSize, RoomShell});
    out.push_back({"room/construction_quad_diffuse.png", 512, 512, ConstructionQuad});
}

} // namespace texgen
