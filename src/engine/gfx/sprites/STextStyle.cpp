#include "engine/gfx/sprites/STextStyle.h"

namespace dorvo
{
namespace gfx
{
STextStyle::STextStyle(unsigned font, const float color[4], unsigned flags)
    : fontIndex(font), formatFlags(flags)
{
    if (color)
    {
        red = color[0];
        green = color[1];
        blue = color[2];
        alpha = color[3];
    }
}

void STextStyle::SetShadow(const float color[4], int offsetX, int offsetY)
{
    hasShadow = true;
    if (color)
    {
        shadowRed = color[0];
        shadowGreen = color[1];
        shadowBlue = color[2];
        shadowAlpha = color[3];
    }
    shadowOffsetX = offsetX;
    shadowOffsetY = offsetY;
}
} // namespace gfx
} // namespace dorvo
