#include "engine/CDorvoCamera.h"

#include "common/InterpolationMgr.h"
#include "common/math/MathUtil.h"
#include "common/math/Matrix4.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace dorvo
{
namespace
{
CDorvoCamera::BodyPositionHook s_bodyPositionHook = nullptr;

constexpr math::Vector3 kWorldUp(0.0f, 1.0f, 0.0f);
// Used in place of the world up when the camera looks straight up or down, where the world up
// gives no sideways axis.
constexpr math::Vector3 kPoleUp(0.0f, 0.0f, 1.0f);
} // namespace

void CDorvoCamera::SetBodyPositionHook(BodyPositionHook hook)
{
    s_bodyPositionHook = hook;
}

CDorvoCamera::CDorvoCamera(boost::shared_ptr<phy::CRigidBody> body) : m_pBody(std::move(body))
{
    UpdateSphericalCoords();
}

CDorvoCamera::~CDorvoCamera() = default;

void CDorvoCamera::Update(float /*elapsed*/)
{
    if (!IsInterpolating())
        return;
    bool done = false;
    math::Vector3 value;
    if (!common::CInterpolationMgr::Instance().GetVector3(m_interpolationId, done, value))
        return;
    m_lookAt = value;
    if (done)
        m_flags &= ~kInterpolatingFlag;
}

const math::Vector3& CDorvoCamera::GetEyePosition() const
{
    if (m_followBody && m_pBody && s_bodyPositionHook)
        return s_bodyPositionHook(*m_pBody);
    return m_eye;
}

math::Matrix4& CDorvoCamera::ComputeViewMatrix(math::Matrix4& out) const
{
    const math::Vector3& eye = GetEyePosition();
    const math::Vector3 direction = (m_lookAt - eye).GetNormalized();
    const bool lookingAlongUp = math::FloatEqual(std::fabs(direction.Dot(kWorldUp)), 1.0f);
    out = math::Matrix4::LookAtLH(eye, m_lookAt, lookingAlongUp ? kPoleUp : kWorldUp);
    return out;
}

math::Matrix4& CDorvoCamera::ComputeProjectionMatrix(math::Matrix4& out) const
{
    out = math::Matrix4::PerspectiveFovLH(m_fieldOfView, m_aspect, m_near, m_far);
    return out;
}

const math::Vector3& CDorvoCamera::GetUpVector() const
{
    return math::g_UpVector;
}

void CDorvoCamera::SetPosition(float x, float y, float z)
{
    m_eye.Set(x, y, z);
}

void CDorvoCamera::SetLookAt(float x, float y, float z)
{
    m_lookAt.Set(x, y, z);
}

void CDorvoCamera::SetLookAt(const math::Vector3& lookAt)
{
    m_lookAt = lookAt;
}

void CDorvoCamera::Translate(const math::Vector3& offset)
{
    m_eye += offset;
    m_lookAt += offset;
    UpdateSphericalCoords();
}

void CDorvoCamera::MoveRelative(float x, float y, float z)
{
    // Normalize leaves a vector of squared length below 1e-7 at zero, so a camera without a
    // view direction (or looking straight up or down, for the sideways axis) does not move
    // along the undefined axes.
    const math::Vector3 forward = (m_lookAt - m_eye).GetNormalized();
    const math::Vector3 right = math::Cross(kWorldUp, forward).GetNormalized();
    const math::Vector3 up = math::Cross(forward, right);
    const math::Vector3 offset = right * x + up * y + forward * z;
    m_eye += offset;
    m_lookAt += offset;
}

void CDorvoCamera::MoveRelative(const math::Vector3& offset)
{
    MoveRelative(offset.x, offset.y, offset.z);
}

std::int32_t CDorvoCamera::InterpolateLookAt(float x, float y, float z, float seconds)
{
    return InterpolateLookAt(math::Vector3(x, y, z), seconds);
}

std::int32_t CDorvoCamera::InterpolateLookAt(const math::Vector3& target, float seconds)
{
    if (math::IsZero((target - m_lookAt).Length()))
        return kNoInterpolation;
    m_flags |= kInterpolatingFlag;
    m_interpolationId =
        common::CInterpolationMgr::Instance().AddVector3(m_lookAt, target, seconds, common::INTERP_REMOVE);
    return m_interpolationId;
}

void CDorvoCamera::UpdateSphericalCoords()
{
    const math::Vector3 d = m_lookAt - m_eye;
    m_distance = d.Length();
    if (math::IsZero(m_distance))
    {
        // No direction to measure: level and facing +x rather than NaN.
        m_pitch = 0.0f;
        m_yaw = 0.0f;
        return;
    }
    m_yaw = std::atan2(d.z, d.x);
    // Rounding may carry the ratio a hair past 1 when looking straight up or down.
    m_pitch = std::asin(std::clamp(d.y / m_distance, -1.0f, 1.0f));
}

void CDorvoCamera::SetProjection(float fieldOfView, float aspect, float nearDistance, float farDistance)
{
    m_fieldOfView = fieldOfView;
    m_aspect = aspect;
    m_near = nearDistance;
    m_far = farDistance;
}
} // namespace dorvo
