#include "engine/phy/CRigidBody.h"

#include "common/math/MathUtil.h"
#include "engine/CDorvoCamera.h"

namespace dorvo
{
namespace phy
{
namespace
{
const math::Vector3& ReadBodyPosition(const CRigidBody& body)
{
    return body.GetPosition();
}

// The engine camera sits in the layer below and cannot see this class, so it reads a followed
// body's position through this hook. Installed whenever this file is linked, which it is as
// soon as any body can be constructed.
[[maybe_unused]] const bool s_bodyHookInstalled =
    (CDorvoCamera::SetBodyPositionHook(&ReadBodyPosition), true);

float InverseOrZero(float value)
{
    return math::IsZero(value) ? 0.0f : 1.0f / value;
}
} // namespace

CRigidBody::CRigidBody()
{
    m_orientation.SetIdentity();
    SetInertia(0.0f, 0.0f, 0.0f);
}

void CRigidBody::SetInertia(float ixx, float iyy, float izz)
{
    m_inertia.SetZero();
    m_inverseInertia.SetZero();
    m_inertia[0][0] = ixx;
    m_inertia[1][1] = iyy;
    m_inertia[2][2] = izz;
    m_inverseInertia[0][0] = InverseOrZero(ixx);
    m_inverseInertia[1][1] = InverseOrZero(iyy);
    m_inverseInertia[2][2] = InverseOrZero(izz);
}
} // namespace phy
} // namespace dorvo
