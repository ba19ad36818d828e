#include "game/menus/ListScrollBar.h"

#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/gui/ScrollBar.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"

namespace QUORB
{
namespace
{
// All in the panel's pixels. The bar's points are given as the bar's own (up part (6, 8), down
// part (6, 350)) moved to where the bar stands: the scroll bar reads them in its parent's frame.
// The rows fill the band from y 90 to 370, six of them at once.
constexpr int kBarX = 400;
constexpr int kBarY = 80;
constexpr float kScrollStep = 0.1f;  // of the overflow, one arrow press
constexpr float kScrollSpeed = 0.5f; // of the scroll range a second
constexpr float kRowSpacing = 3.0f;  // pixels
constexpr int kFirstRowX = 150;
constexpr int kFirstRowY = 90;
constexpr int kLastRowY = 370;

plat::POINT Point(int x, int y)
{
    plat::POINT point;
    point.x = x;
    point.y = y;
    return point;
}

// A still frame of the slider image.
dorvo::gfx::SpriteAnimation Frame(int width, int height, int sourceX, int sourceY)
{
    dorvo::gfx::SpriteAnimation frame;
    frame.frameWidth = width;
    frame.frameHeight = height;
    frame.frameCount = 1;
    frame.sourceX = sourceX;
    frame.sourceY = sourceY;
    frame.frameTime = 200;
    frame.paused = true;
    return frame;
}

// One part of the bar: a button on a frame of the slider image, hit by a rectangle from its top
// left. The bar takes it as its child.
dorvo::gfx::CButton* Part(int width, int height, int sourceX, int sourceY, int hitWidth, int hitHeight)
{
    const int origin[2] = {0, 0};
    auto* part = new dorvo::gfx::CButton(g_menuHud.m_slider.textureFile,
                                         Frame(width, height, sourceX, sourceY), origin, origin);
    part->SetPointInsideFunct(new RectPointInsideFunct(part, hitWidth, hitHeight));
    return part;
}
} // namespace

std::unique_ptr<dorvo::gfx::ScrollBar> MakeListScrollBar(const std::string& name, const std::string& listName)
{
    auto bar = std::make_unique<dorvo::gfx::ScrollBar>(
        name, g_menuHud.m_slider.textureFile, Part(34, 36, 47, 6, 30, 30), Part(34, 36, 47, 46, 30, 30),
        Part(36, 55, 88, 6, 30, 50), Frame(44, 502, 5, 5), kScrollStep, 0.0f, kScrollSpeed,
        Point(kFirstRowX, kFirstRowY), Point(kFirstRowX, kLastRowY), Point(kBarX + 6, kBarY + 8),
        Point(kBarX + 6, kBarY + 350), listName, kRowSpacing);
    bar->SetPointInsideFunct(new RectPointInsideFunct(bar.get(), 38, 350));
    return bar;
}
} // namespace QUORB
