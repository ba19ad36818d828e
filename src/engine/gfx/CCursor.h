// The mouse cursor the game draws in place of the system's: a sprite whose absolute position
// is the point the player aims at. The game moves it with the mouse; the default picker picks
// under it on a left click.
#pragma once

#include "common/math/Vector3.h"
#include "engine/gfx/CSprite.h"

namespace dorvo
{
namespace gfx
{
class CCursor : public CSprite
{
public:
    CCursor() = default;

    using CSprite::SetPosition;
    // Also sets the cursor point.
    void SetPosition(int x, int y) override;

    // (x, y, 0) of the last SetPosition, pixels.
    const math::Vector3& GetCursorPoint() const { return m_cursorPoint; }
    // Position plus parent offset, whole pixels, z 0: the point the picker casts through.
    math::Vector3 GetScreenPoint() const;

private:
    math::Vector3 m_cursorPoint;
};
} // namespace gfx
} // namespace dorvo
