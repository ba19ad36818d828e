// How a text sprite writes: the font (an index into the facade's table of seven), the colour,
// the DrawText format flags and an optional drop shadow. The default is font 0, opaque black,
// no flags, no shadow.
#pragma once

namespace dorvo
{
namespace gfx
{
struct STextStyle
{
    STextStyle() = default;
    // colour: r, g, b, a in 0..1.
    STextStyle(unsigned fontIndex, const float color[4], unsigned formatFlags = 0);

    // colour: r, g, b, a in 0..1; offset in pixels, drawn before (under) the text.
    void SetShadow(const float color[4], int offsetX, int offsetY);
    void ClearShadow() { hasShadow = false; }

    unsigned fontIndex = 0;
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;
    float alpha = 1.0f;
    unsigned formatFlags = 0; // DT_ flags
    bool hasShadow = false;
    float shadowRed = 0.0f;
    float shadowGreen = 0.0f;
    float shadowBlue = 0.0f;
    float shadowAlpha = 1.0f;
    int shadowOffsetX = 0; // pixels
    int shadowOffsetY = 0;
};
} // namespace gfx
} // namespace dorvo
