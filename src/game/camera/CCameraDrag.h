// The game camera's mouse drags: a cursor movement turned into a rotation of the view about the
// eye or into a pan of the camera. Both measure the movement from a point the caller keeps (the
// cursor's position at the last call) to the game cursor's screen position now, and both read
// the game camera's eye and look-at. Without a game or a cursor the movement is zero.
#pragma once

namespace math
{
class Vector3;
}

namespace QUORB
{
// The rotation the drag since `previous` (pixels, z 0) asks for: the world axis perpendicular to
// the drag, of length equal to the drag in pixels, and an angle of that length times the factor
// (radians per pixel; the camera passes 0.01). Turned about the axis by the angle, the look-at
// follows the cursor: right turns the view right, down turns it down; each inversion flag turns
// its sense the other way. A zero drag gives the angle 0.
void GetDragRotation(const math::Vector3& previous, float factor, math::Vector3& axis, float& angle,
                     bool invertHorizontal, bool invertVertical);

// The world translation the drag since `previous` asks for: along the camera's right for the
// cursor's x movement and its up for the cursor's upward movement, of length drag times the
// factor (world units per pixel; the camera passes 0.0125). A zero drag gives (0, 0, 0).
void GetDragPan(const math::Vector3& previous, float factor, math::Vector3& out);
} // namespace QUORB
