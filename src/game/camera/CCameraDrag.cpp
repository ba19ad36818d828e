#include "game/camera/CCameraDrag.h"

#include "common/math/MathUtil.h"
#include "common/math/Vector3.h"
#include "engine/gfx/gui/CCursor.h"
#include "game/app/CQUORB.h"
#include "game/camera/CCamera.h"

#include <cmath>

namespace QUORB
{
namespace
{
// The game cursor's screen point; `fallback` (no movement) without a game or a cursor.
math::Vector3 CursorPoint(const math::Vector3& fallback)
{
    CQUORB* game = CQUORB::Get();
    const dorvo::gfx::CCursor* cursor = game != nullptr ? game->GetCursor() : nullptr;
    if (cursor == nullptr)
        return fallback;
    const math::Vector3 point = cursor->GetScreenPoint();
    return math::Vector3(point.x, point.y, 0.0f);
}

// The camera's forward, right and up directions. The reference up is the world's, or (0, 0, 1)
// while the camera looks straight up or down.
void CameraAxes(math::Vector3& forward, math::Vector3& right, math::Vector3& up)
{
    forward = math::Vector3(0.0f, 0.0f, 1.0f);
    CQUORB* game = CQUORB::Get();
    if (const CCamera* camera = game != nullptr ? game->GetGameCamera() : nullptr)
        forward = (camera->GetLookAt() - camera->GetEyePosition()).GetNormalized();
    math::Vector3 reference(0.0f, 1.0f, 0.0f);
    if (math::FloatEqual(std::fabs(forward.Dot(reference)), 1.0f))
        reference = math::Vector3(0.0f, 0.0f, 1.0f);
    right = math::Cross(reference, forward).GetNormalized();
    up = math::Cross(forward, right);
}
} // namespace

void GetDragRotation(const math::Vector3& previous, float factor, math::Vector3& axis, float& angle,
                     bool invertHorizontal, bool invertVertical)
{
    const math::Vector3 cursor = CursorPoint(previous);
    const float h = invertHorizontal ? cursor.x - previous.x : previous.x - cursor.x;
    const float v = invertVertical ? previous.y - cursor.y : cursor.y - previous.y;
    const float length = std::sqrt(h * h + v * v);
    math::Vector3 forward;
    math::Vector3 right;
    math::Vector3 up;
    CameraAxes(forward, right, up);
    // A horizontal drag turns about the camera's up, a vertical one about its right, so that the
    // look-at follows the cursor. The sign s below flips axis and angle together: the rotation
    // stays the same, the angle's sign follows the drag's leading direction.
    axis = up * -h + right * v;
    if (math::IsZero(length))
    {
        angle = 0.0f;
        return;
    }
    const float lead = std::fabs(h) > std::fabs(v) ? h : v;
    const float s = lead >= 0.0f ? -1.0f : 1.0f;
    angle = s * length * factor;
    axis = axis * s;
}

void GetDragPan(const math::Vector3& previous, float factor, math::Vector3& out)
{
    const math::Vector3 cursor = CursorPoint(previous);
    const math::Vector3 d = cursor - previous;
    math::Vector3 forward;
    math::Vector3 right;
    math::Vector3 up;
    CameraAxes(forward, right, up);
    // Screen y grows downward.
    const math::Vector3 w = (right * d.x + up * -d.y).GetNormalized();
    out = w * (d.Length() * factor);
}
} // namespace QUORB
