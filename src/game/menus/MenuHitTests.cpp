#include "game/menus/MenuHitTests.h"

#include "engine/CDorvoApp.h"
#include "engine/CDorvoGame.h"
#include "engine/gfx/gui/CCursor.h"
#include "engine/gfx/sprites/CSprite.h"

#include <cmath>

namespace QUORB
{
bool GetGameCursorPoint(int& x, int& y)
{
    dorvo::CDorvoGame* game = g_pApp ? g_pApp->GetGame() : nullptr;
    const dorvo::gfx::CCursor* cursor = game ? game->GetCursor() : nullptr;
    if (!cursor)
        return false;
    x = cursor->GetAbsoluteX();
    y = cursor->GetAbsoluteY();
    return true;
}

RectPointInsideFunct::RectPointInsideFunct(dorvo::gfx::CSprite* sprite, int width, int height)
    : m_pSprite(sprite), m_width(width), m_height(height)
{
}

RectPointInsideFunct::RectPointInsideFunct(dorvo::gfx::CSprite* sprite, const int size[2])
    : RectPointInsideFunct(sprite, size[0], size[1])
{
}

bool RectPointInsideFunct::operator()(const plat::POINT&)
{
    int cx = 0;
    int cy = 0;
    if (!m_pSprite || !GetGameCursorPoint(cx, cy))
        return false;
    const int sx = m_pSprite->GetAbsoluteX();
    const int sy = m_pSprite->GetAbsoluteY();
    return sx < cx && cx < sx + m_width && sy < cy && cy < sy + m_height;
}

CirclePointInsideFunct::CirclePointInsideFunct(dorvo::gfx::CSprite* sprite, float radius)
    : m_pSprite(sprite), m_radius(radius)
{
}

void CirclePointInsideFunct::GetCentre(int& x, int& y) const
{
    x = m_pSprite ? m_pSprite->GetAbsoluteX() + static_cast<int>(m_pSprite->GetWidth() * 0.5f) : 0;
    y = m_pSprite ? m_pSprite->GetAbsoluteY() + static_cast<int>(m_pSprite->GetHeight() * 0.5f) : 0;
}

bool CirclePointInsideFunct::operator()(const plat::POINT&)
{
    int cx = 0;
    int cy = 0;
    if (!m_pSprite || !GetGameCursorPoint(cx, cy))
        return false;
    int centreX = 0;
    int centreY = 0;
    GetCentre(centreX, centreY);
    const int dx = cx - centreX;
    const int dy = cy - centreY;
    const float distance =
        static_cast<float>(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
    return m_radius >= distance;
}
} // namespace QUORB
