#include "engine/phy/PointConstraint.h"

#include "common/math/MathUtil.h"
#include "engine/phy/PhysicsComp.h"

#include <algorithm>

namespace dorvo
{
namespace phy
{
namespace
{
// The velocity of a body's point at `offset` from its centre (world axes).
math::Vector3 PointVelocity(const PhysicsComp& body, const math::Vector3& offset)
{
    return body.velocity + body.angularVelocity.Cross(offset);
}

// How hard the point at `offset` resists an impulse along n: 1/m + n.((I^-1 (r x n)) x r).
float EffectiveInverseMass(const PhysicsComp& body, const math::Vector3& offset, const math::Vector3& n)
{
    const math::Vector3 turn = body.GetWorldInvInertia().Transform(offset.Cross(n));
    return body.GetInvMass() + n.Dot(turn.Cross(offset));
}
} // namespace

PointConstraint::~PointConstraint()
{
    Unbind();
}

void PointConstraint::Set(PhysicsComp* bodyA, PhysicsComp* bodyB, const math::Vector3& anchorA,
                          const math::Vector3& anchorB, float tolerance, float correctionTime,
                          float breakDistance)
{
    Bind(bodyA, bodyB);
    m_anchorA = anchorA;
    m_anchorB = anchorB;
    m_worldPoint.Set(0.0f, 0.0f, 0.0f);
    m_tolerance = tolerance;
    m_correctionTime = correctionTime;
    m_breakDistance = breakDistance;
}

void PointConstraint::SetWorld(PhysicsComp* body, const math::Vector3& anchor,
                               const math::Vector3& worldPoint, float tolerance, float correctionTime,
                               float breakDistance)
{
    Bind(body, nullptr);
    m_anchorA = anchor;
    m_anchorB.Set(0.0f, 0.0f, 0.0f);
    m_worldPoint = worldPoint;
    m_tolerance = tolerance;
    m_correctionTime = correctionTime;
    m_breakDistance = breakDistance;
}

void PointConstraint::Bind(PhysicsComp* bodyA, PhysicsComp* bodyB)
{
    Unbind();
    // A joint needs its first body; without it there is nothing to hold.
    if (bodyA == nullptr)
        return;
    m_bodyA = bodyA;
    m_bodyB = bodyB;
    m_bodyA->AddConstraint(this);
    if (m_bodyB != nullptr)
        m_bodyB->AddConstraint(this);
}

void PointConstraint::Unbind()
{
    if (m_bodyA != nullptr)
        m_bodyA->RemoveConstraint(this);
    if (m_bodyB != nullptr)
        m_bodyB->RemoveConstraint(this);
    m_bodyA = nullptr;
    m_bodyB = nullptr;
    // Nothing measured for the old bodies may act later.
    m_offsetA.Set(0.0f, 0.0f, 0.0f);
    m_offsetB.Set(0.0f, 0.0f, 0.0f);
    m_bias.Set(0.0f, 0.0f, 0.0f);
}

void PointConstraint::DetachBody(PhysicsComp* body)
{
    if (body != nullptr && (body == m_bodyA || body == m_bodyB))
        Unbind();
}

void PointConstraint::Prepare(float dt)
{
    if (m_bodyA == nullptr)
        return;
    m_offsetA = m_bodyA->orientation.Rotate(m_anchorA);
    const math::Vector3 a = m_bodyA->position + m_offsetA;
    math::Vector3 b = m_worldPoint;
    if (m_bodyB != nullptr)
    {
        m_offsetB = m_bodyB->orientation.Rotate(m_anchorB);
        b = m_bodyB->position + m_offsetB;
    }
    else
    {
        m_offsetB.Set(0.0f, 0.0f, 0.0f);
    }
    m_midpoint = (b + a) * 0.5f;

    const math::Vector3 d = a - b;
    const float s = d.Length();
    // s > 0 as well: a negative tolerance would otherwise divide zero by zero.
    if (s <= m_tolerance || s <= 0.0f)
    {
        m_bias.Set(0.0f, 0.0f, 0.0f);
    }
    else
    {
        // The game corrects over "no time" (0), which means the step; a step of 0 still must
        // not divide by zero.
        const float t = std::max(std::max(m_correctionTime, dt), kMinValue);
        m_bias = d * ((s - m_tolerance) / (t * s));
    }

    if (!math::IsZero(m_breakDistance) && s > m_breakDistance)
        Break();
}

bool PointConstraint::Solve(float)
{
    if (m_bodyA == nullptr)
        return false;
    if (m_bodyA->frozen && m_bodyB != nullptr && m_bodyB->frozen)
        return false;

    math::Vector3 relative = PointVelocity(*m_bodyA, m_offsetA);
    if (m_bodyB != nullptr)
        relative -= PointVelocity(*m_bodyB, m_offsetB);
    math::Vector3 u = m_bias + relative;
    float speed = u.Length();
    if (speed < kMinSpeed)
        return false;
    if (speed > kMaxSpeed)
    {
        u *= kMaxSpeed / speed;
        speed = kMaxSpeed;
    }
    const math::Vector3 n = u / speed;

    float k = EffectiveInverseMass(*m_bodyA, m_offsetA, n);
    if (m_bodyB != nullptr)
        k += EffectiveInverseMass(*m_bodyB, m_offsetB, n);
    if (k < kMinValue)
        return false;

    const math::Vector3 impulse = n * (-speed / k);
    if (!m_bodyA->immovable)
        m_bodyA->ApplyImpulseAtPoint(impulse, m_midpoint);
    if (m_bodyB != nullptr && !m_bodyB->immovable)
        m_bodyB->ApplyImpulseAtPoint(-impulse, m_midpoint);
    return true;
}
} // namespace phy
} // namespace dorvo
