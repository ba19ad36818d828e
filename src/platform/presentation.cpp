#include "platform/presentation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace plat::detail
{
namespace
{
std::int32_t ToPixel(double value)
{
    return static_cast<std::int32_t>(std::clamp(std::floor(value), double{INT32_MIN}, double{INT32_MAX}));
}
} // namespace

RECT PresentationRect(UINT backWidth, UINT backHeight, int windowWidth, int windowHeight)
{
    RECT rect;
    if (backWidth == 0 || backHeight == 0 || windowWidth <= 0 || windowHeight <= 0)
        return rect;
    const auto bw = static_cast<std::int64_t>(backWidth), bh = static_cast<std::int64_t>(backHeight);
    const auto ww = static_cast<std::int64_t>(windowWidth), wh = static_cast<std::int64_t>(windowHeight);
    std::int64_t width = ww, height = wh;
    if (ww * bh > wh * bw)
        width = (wh * bw + bh / 2) / bh; // a wider window: bars left and right
    else if (ww * bh < wh * bw)
        height = (ww * bh + bw / 2) / bw; // a taller one: bars above and below
    rect.left = static_cast<std::int32_t>((ww - width) / 2);
    rect.top = static_cast<std::int32_t>((wh - height) / 2);
    rect.right = rect.left + static_cast<std::int32_t>(width);
    rect.bottom = rect.top + static_cast<std::int32_t>(height);
    return rect;
}

POINT WindowToBackBuffer(const POINT& window, UINT backWidth, UINT backHeight, int windowWidth,
                         int windowHeight)
{
    const RECT rect = PresentationRect(backWidth, backHeight, windowWidth, windowHeight);
    const double width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0.0 || height <= 0.0)
        return window;
    POINT point;
    point.x = ToPixel((static_cast<double>(window.x) - rect.left) * (backWidth / width));
    point.y = ToPixel((static_cast<double>(window.y) - rect.top) * (backHeight / height));
    return point;
}
} // namespace plat::detail
