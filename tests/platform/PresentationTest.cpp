#include "platform/presentation.h"

#include <gtest/gtest.h>

using plat::POINT;
using plat::RECT;
using plat::UINT;

namespace
{
POINT Point(int x, int y)
{
    POINT p;
    p.x = x;
    p.y = y;
    return p;
}
} // namespace

// The 800 x 600 picture in windows of several shapes: filling one of its aspect, with bars at the
// sides of a wider one and above and below a taller one; no rectangle without a size.
TEST(Presentation, TheBackBufferFillsAsMuchOfTheWindowAsItsAspectAllows)
{
    struct Case
    {
        const char* name;
        UINT backWidth, backHeight;
        int windowWidth, windowHeight;
        RECT expected;
    };
    const Case cases[] = {
        {"same size", 800, 600, 800, 600, {0, 0, 800, 600}},
        {"same aspect, larger", 800, 600, 1024, 768, {0, 0, 1024, 768}},
        {"wider window: bars at the sides", 800, 600, 1280, 720, {160, 0, 1120, 720}},
        {"taller window: bars above and below", 800, 600, 800, 800, {0, 100, 800, 700}},
        {"an odd width is rounded", 800, 600, 1366, 768, {171, 0, 1195, 768}},
        {"no back buffer", 0, 600, 1024, 768, {0, 0, 0, 0}},
        {"a minimised window", 800, 600, 0, 0, {0, 0, 0, 0}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const RECT r =
            plat::detail::PresentationRect(c.backWidth, c.backHeight, c.windowWidth, c.windowHeight);
        EXPECT_EQ(r.left, c.expected.left);
        EXPECT_EQ(r.top, c.expected.top);
        EXPECT_EQ(r.right, c.expected.right);
        EXPECT_EQ(r.bottom, c.expected.bottom);
    }
}

// Window pixels go back to the back-buffer pixels drawn there; the bars lie outside it.
TEST(Presentation, WindowPixelsMapBackToTheBackBufferPixelsShownThere)
{
    struct Case
    {
        const char* name;
        int windowWidth, windowHeight;
        POINT window, expected;
    };
    const Case cases[] = {
        {"same size", 800, 600, Point(123, 456), Point(123, 456)},
        {"full screen 1024 x 768, top left", 1024, 768, Point(0, 0), Point(0, 0)},
        {"full screen 1024 x 768, middle", 1024, 768, Point(512, 384), Point(400, 300)},
        {"full screen 1024 x 768, bottom right", 1024, 768, Point(1023, 767), Point(799, 599)},
        {"bars at the sides, the picture's first column", 1280, 720, Point(160, 0), Point(0, 0)},
        {"bars at the sides, the picture's last pixel", 1280, 720, Point(1119, 719), Point(799, 599)},
        {"on the left bar", 1280, 720, Point(100, 360), Point(-50, 300)},
        {"on the right bar", 1280, 720, Point(1200, 360), Point(866, 300)},
        {"bars above and below, on the top one", 800, 800, Point(400, 50), Point(400, -50)},
        {"a window without a size changes nothing", 0, 0, Point(7, 9), Point(7, 9)},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const POINT p = plat::detail::WindowToBackBuffer(c.window, 800, 600, c.windowWidth, c.windowHeight);
        EXPECT_EQ(p.x, c.expected.x);
        EXPECT_EQ(p.y, c.expected.y);
    }
}
