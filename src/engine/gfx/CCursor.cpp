#include "engine/gfx/CCursor.h"

#include "engine/CPicker.h"

namespace dorvo
{
namespace gfx
{
namespace
{
math::Vector3 CursorScreenPoint(const CCursor& cursor)
{
    return cursor.GetScreenPoint();
}

// The picker sits in the layer below and cannot see this class, so it reads the cursor through
// this hook. Installed whenever this file is linked, which it is as soon as a cursor can exist.
[[maybe_unused]] const bool s_cursorHookInstalled = (CPicker::SetCursorPointHook(&CursorScreenPoint), true);
} // namespace

void CCursor::SetPosition(int x, int y)
{
    CSprite::SetPosition(x, y);
    m_cursorPoint.Set(static_cast<float>(x), static_cast<float>(y), 0.0f);
}

math::Vector3 CCursor::GetScreenPoint() const
{
    return math::Vector3(static_cast<float>(m_positionX + m_offsetX),
                         static_cast<float>(m_positionY + m_offsetY), 0.0f);
}
} // namespace gfx
} // namespace dorvo
