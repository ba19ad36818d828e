// The mouse cursor the game draws in place of the system's: a container sprite whose absolute
// position is the point the player aims at. In full screen the mouse's deltas move it, kept on
// the back buffer (with axis lock, Shift holds it to horizontal moves and Alt to vertical ones);
// in a window it follows the system cursor. The default picker picks under it on a left click.
#pragma once

#include "common/math/Vector3.h"
#include "engine/gfx/gui/CBaseGUI.h"

namespace dorvo
{
namespace gfx
{
class CCursor : public CBaseGUI
{
public:
    static constexpr int kDepth = 12;
    static constexpr int kFrameMs = 50;

    // No texture, no animation (tests, the picker's checks).
    CCursor() = default;
    // The texture with the strip "Pointer_Animation" of frameCount frames from its top left
    // (50 ms a frame, no loop, pivot (0, 0)) shown, at (0, 0), depth 12. The centre given first
    // is replaced by the strip's. Pixels.
    CCursor(const std::string& textureFile, int centerX, int centerY, int frameWidth, int frameHeight,
            int frameCount);

    // FollowPointer, then the container's update.
    void Update(int ms) override;
    // In full screen the position is kept on the back buffer; in a window it becomes the system
    // cursor's (in back-buffer pixels).
    void FollowPointer();
    // In a window, the cursor to where the system pointer was on the screen when a mouse button
    // changed (the input's MOUSE_POSITION event), so that a click lands where it was made even when
    // moves follow it before the next frame. In full screen the mouse's deltas place the cursor.
    void PlaceAtPointer(int screenX, int screenY);
    // Mouse deltas move the cursor, Shift and Alt are followed; only while active. Never takes the
    // event.
    bool HandleInput(const input::InputEvent* event, float dt) override;
    // The cursor's own sprite, only while active; its GUI children are not drawn.
    void Render(double time, float dt) override;

    using CBaseGUI::SetPosition;
    // Also sets the cursor point.
    void SetPosition(int x, int y) override;

    // Shows the cursor and lets it move, or hides and stops it.
    void SetActive(bool active);
    bool IsActive() const { return m_active; }
    // The game's cursor locks its axes with Shift and Alt.
    void SetAxisLock(bool enabled) { m_axisLock = enabled; }
    bool GetAxisLock() const { return m_axisLock; }
    bool IsShiftHeld() const { return m_shift; }
    bool IsAltHeld() const { return m_alt; }

    // (x, y, 0) of the last SetPosition, pixels.
    const math::Vector3& GetCursorPoint() const { return m_cursorPoint; }
    // Position plus parent offset, whole pixels, z 0: the point the picker casts through.
    math::Vector3 GetScreenPoint() const;

private:
    bool m_active = true;
    bool m_axisLock = false;
    bool m_shift = false;
    bool m_alt = false;
    math::Vector3 m_cursorPoint;
};
} // namespace gfx
} // namespace dorvo
