// The hit tests of menu buttons: whether the game's cursor is over a sprite, by a rectangle
// from the sprite's screen position or by a circle about the sprite's middle. Both read the
// cursor themselves (the point a button hands in is not used) and answer false when the game
// has no cursor. The sprite is not owned: it is the button that holds the test.
#pragma once

#include "engine/gfx/gui/PointInsideFunct.h"

namespace dorvo
{
namespace gfx
{
class CSprite;
}
} // namespace dorvo

namespace QUORB
{
// Inside when sx < cx < sx + width and sy < cy < sy + height: every edge is outside.
class RectPointInsideFunct : public dorvo::gfx::PointInsideFunct
{
public:
    RectPointInsideFunct(dorvo::gfx::CSprite* sprite, int width, int height);
    RectPointInsideFunct(dorvo::gfx::CSprite* sprite, const int size[2]);
    bool operator()(const plat::POINT& point) override;

    dorvo::gfx::CSprite* GetSprite() const { return m_pSprite; }
    int GetWidth() const { return m_width; } // pixels
    int GetHeight() const { return m_height; }

private:
    dorvo::gfx::CSprite* m_pSprite;
    int m_width;
    int m_height;
};

// Inside when the cursor is no farther than the radius from the sprite's middle (its screen
// position plus half its scaled size, truncated): a cursor on the circle is inside.
class CirclePointInsideFunct : public dorvo::gfx::PointInsideFunct
{
public:
    CirclePointInsideFunct(dorvo::gfx::CSprite* sprite, float radius);
    bool operator()(const plat::POINT& point) override;

    dorvo::gfx::CSprite* GetSprite() const { return m_pSprite; }
    float GetRadius() const { return m_radius; } // pixels
    // The middle the distance is taken from, screen pixels.
    void GetCentre(int& x, int& y) const;

private:
    dorvo::gfx::CSprite* m_pSprite;
    float m_radius;
};

// The game cursor's screen position (position plus parent offset); false when the game has
// no cursor.
bool GetGameCursorPoint(int& x, int& y);
} // namespace QUORB
