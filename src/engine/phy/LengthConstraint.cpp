#include "engine/phy/LengthConstraint.h"

#include "common/math/MathUtil.h"
#include "common/math/Vector3.h"
#include "engine/POVComp.h"
#include "engine/phy/PhysicsComp.h"

#include <algorithm>

namespace dorvo
{
namespace phy
{
LengthConstraint::~LengthConstraint()
{
    Disable();
    SetBody(nullptr);
}

void LengthConstraint::SetBody(PhysicsComp* body)
{
    if (body == m_body)
        return;
    if (m_body != nullptr)
        m_body->RemoveConstraint(this);
    m_body = body;
    if (m_body != nullptr)
        m_body->AddConstraint(this);
}

void LengthConstraint::DetachBody(PhysicsComp* body)
{
    if (body != nullptr && body == m_body)
        SetBody(nullptr);
}

bool LengthConstraint::Solve(float dt)
{
    // A rest length of 0 has no ratio to move towards.
    if (m_body == nullptr || math::IsZero(restLength))
        return false;
    POVComp* pov = m_body->GetPOVComp();
    if (pov == nullptr)
        return false;
    const math::Vector3 axis = m_body->orientation.Rotate(math::Vector3(1.0f, 0.0f, 0.0f));
    if (math::IsZero(axis.LengthSquared()))
        return false; // a damaged orientation has no bar direction

    math::Vector3 scale = pov->GetScale();
    const float length = scale.x;
    const math::Vector3 half = axis * (length * 0.5f);
    const math::Vector3 move = axis * ((restLength - length) / restLength * stiffness * 0.5f);
    const math::Vector3 end0 = m_body->position - half - move;
    const math::Vector3 end1 = m_body->position + half + move;

    // The bar is what its moved ends say it is.
    const float newLength = (end1 - end0).Length();
    const math::Vector3 centre = (end0 + end1) * 0.5f;
    scale.x = newLength;
    pov->SetScale(scale, false);
    lastLengthRatio = newLength / restLength;

    const float t = std::max(dt, kMinValue);
    const math::Vector3 change = (centre - m_body->position) / t - m_body->velocity;
    if (change.Length() < kMinSpeed || m_body->GetInvMass() < kMinValue)
        return false;
    m_body->ApplyImpulse(change * m_body->GetMass());
    return true;
}
} // namespace phy
} // namespace dorvo
