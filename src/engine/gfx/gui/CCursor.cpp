#include "engine/gfx/gui/CCursor.h"

#include "common/InputEvent.h"
#include "engine/CPicker.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/gui/GuiAnimationNames.h"
#include "platform/frame_driver.h"
#include "platform/win32.h"

#include <algorithm>

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

// Adds without running past the int range: a flood of deltas stops at the edge.
int AddDelta(int value, int delta)
{
    const long long sum = static_cast<long long>(value) + delta;
    return static_cast<int>(std::clamp<long long>(sum, INT32_MIN, INT32_MAX));
}
} // namespace

// The strip's pivot (0, 0) replaces the centre given: the arrow's tip is the texture's top left.
CCursor::CCursor(const std::string& textureFile, int /*centerX*/, int /*centerY*/, int frameWidth,
                 int frameHeight, int frameCount)
    : CBaseGUI(textureFile)
{
    SetPosition(0, 0);
    const int center[2] = {0, 0};
    AddGridAnimation(g_PointerAnimation, frameWidth, frameHeight, frameCount, 0, 0, kFrameMs, center, false);
    SetDepth(kDepth);
}

void CCursor::Update(int ms)
{
    FollowPointer();
    CBaseGUI::Update(ms);
}

void CCursor::FollowPointer()
{
    const CGFXCore& core = CGFXCore::Instance();
    if (core.IsFullScreen())
    {
        const int right = std::max(0, static_cast<int>(core.GetScreenWidth()) - 1);
        const int bottom = std::max(0, static_cast<int>(core.GetScreenHeight()) - 1);
        SetPosition(std::clamp(m_positionX, 0, right), std::clamp(m_positionY, 0, bottom));
    }
    else
    {
        plat::POINT point;
        if (plat::GetCursorPos(&point) && plat::ScreenToClient(plat::DXUTGetHWND(), &point))
            SetPosition(point.x, point.y);
    }
}

void CCursor::PlaceAtPointer(int screenX, int screenY)
{
    if (CGFXCore::Instance().IsFullScreen())
        return;
    plat::POINT point;
    point.x = screenX;
    point.y = screenY;
    if (plat::ScreenToClient(plat::DXUTGetHWND(), &point))
        SetPosition(point.x, point.y);
}

bool CCursor::HandleInput(const input::InputEvent* event, float)
{
    if (!m_active || !event)
        return false;
    switch (event->code)
    {
    case input::MOUSE_X:
        if (!(m_axisLock && m_alt))
            SetPosition(AddDelta(m_positionX, event->value), m_positionY);
        break;
    case input::MOUSE_Y:
        if (!(m_axisLock && m_shift))
            SetPosition(m_positionX, AddDelta(m_positionY, event->value));
        break;
    case input::KEY_LSHIFT:
    case input::KEY_RSHIFT:
        m_shift = event->value != 0;
        break;
    case input::KEY_LMENU:
    case input::KEY_RMENU:
        m_alt = event->value != 0;
        break;
    default:
        break;
    }
    return false;
}

void CCursor::Render(double time, float dt)
{
    if (m_active)
        CSprite::Render(time, dt);
}

void CCursor::SetPosition(int x, int y)
{
    CBaseGUI::SetPosition(x, y);
    m_cursorPoint.Set(static_cast<float>(x), static_cast<float>(y), 0.0f);
}

void CCursor::SetActive(bool active)
{
    m_active = active;
    SetVisible(active, false);
}

math::Vector3 CCursor::GetScreenPoint() const
{
    return math::Vector3(static_cast<float>(m_positionX + m_offsetX),
                         static_cast<float>(m_positionY + m_offsetY), 0.0f);
}
} // namespace gfx
} // namespace dorvo
