// A small standalone body record, not part of the physics step: the game camera creates one,
// shares it with the engine camera and writes the eye point into its position. The moving
// bodies of the game are PhysicsComp; nothing steps a CRigidBody. Held by boost::shared_ptr.
#pragma once

#include "common/math/Matrix3.h"
#include "common/math/Quaternion.h"
#include "common/math/Vector3.h"

#include <boost/shared_ptr.hpp>

namespace dorvo
{
namespace phy
{
class CCollisionHull;

class CRigidBody
{
public:
    // Mass and inertia 0, every vector (0, 0, 0), orientation the identity, no hull.
    CRigidBody();

    // World units; the camera reads its eye from here, the owner writes through it.
    math::Vector3& GetPosition() { return m_position; }
    const math::Vector3& GetPosition() const { return m_position; }

    // Diagonal body-space inertia and its inverse; a term that IsZero has inverse 0.
    void SetInertia(float ixx, float iyy, float izz);

    float GetMass() const { return m_mass; }
    float GetInverseMass() const { return m_inverseMass; }
    const math::Matrix3& GetInertia() const { return m_inertia; }
    const math::Matrix3& GetInverseInertia() const { return m_inverseInertia; }
    const math::Quaternion& GetOrientation() const { return m_orientation; }
    const math::Vector3& GetVelocity() const { return m_velocity; }
    const math::Vector3& GetAngularVelocity() const { return m_angularVelocity; }
    const boost::shared_ptr<CCollisionHull>& GetHull() const { return m_pHull; }

private:
    float m_mass = 0.0f;
    float m_inverseMass = 0.0f;
    math::Matrix3 m_inertia;
    math::Matrix3 m_inverseInertia;
    math::Vector3 m_position;
    math::Quaternion m_orientation;
    math::Vector3 m_velocity;        // world units per second
    math::Vector3 m_angularVelocity; // radians per second
    boost::shared_ptr<CCollisionHull> m_pHull;
};
} // namespace phy
} // namespace dorvo
