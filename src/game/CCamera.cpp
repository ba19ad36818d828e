#include "game/CCamera.h"

#include "common/math/Matrix4.h"
#include "engine/phy/CRigidBody.h"

#include <boost/make_shared.hpp>

#include <cmath>

namespace QUORB
{
CCamera::CCamera()
    : dorvo::CDorvoCamera(boost::make_shared<dorvo::phy::CRigidBody>()), m_orbitLookAt(0.0f, 0.0f, 20.0f),
      m_upVector(0.0f, 1.0f, 0.0f), m_turnTargetUp(0.0f, 1.0f, 0.0f)
{
    m_waterBaseOrientation.SetIdentity();
    SetLookAt(0.0f, 0.0f, 20.0f);
    SetPosition(0.0f, 2.0f, 0.0f);
    SetProjection(0.7853982f, 1.33f, 0.1f, 250.0f);
}

CCamera::~CCamera() = default;

void CCamera::Update(float elapsed)
{
    dorvo::CDorvoCamera::Update(elapsed);
}

math::Matrix4& CCamera::ComputeViewMatrix(math::Matrix4& out) const
{
    out = math::Matrix4::LookAtLH(GetEyePosition(), GetLookAt(), m_upVector);
    return out;
}

bool CCamera::OnInput(const dorvo::input::InputEvent&, bool)
{
    return false;
}

void CCamera::SetUpVector(const math::Vector3& up)
{
    const float length = std::sqrt(up.x * up.x + up.y * up.y + up.z * up.z);
    if (length > 0.0f)
        m_upVector = math::Vector3(up.x / length, up.y / length, up.z / length);
    else
        m_upVector = math::Vector3(0.0f, 0.0f, 0.0f);
}

void CCamera::InterpolateUp(const math::Vector3& up, float seconds, const math::Vector3&, float*)
{
    m_turnTargetUp = up;
    m_turnSeconds = seconds;
}
} // namespace QUORB
