// A force attached to a body: once per physics step it adds its share to the body's force and
// torque accumulators. Forces are made by type name through the creators the dynamics engine
// keeps ("Gravity", "DragForce", and the game's "Buoyancy"), so templates list a body's forces
// by name. The PhysicsComp that created a force owns it.
#pragma once

#include "engine/Serializable.h"

namespace math
{
class Vector3;
class Quaternion;
} // namespace math

namespace dorvo
{
namespace phy
{
class PhysicsComp;

class Force : public Serializable
{
public:
    ~Force() override;

    // Adds this force's contribution to `force` (newtons, world axes) and `torque`; the rest is
    // the body's state at the start of the step. dt in seconds, usually 1/30.
    virtual void Apply(float dt, math::Vector3& force, math::Vector3& torque, const math::Vector3& position,
                       const math::Quaternion& orientation, const math::Vector3& velocity,
                       const math::Vector3& angularVelocity, float mass) = 0;

    // Called once for each force when its body initialises, after all its forces exist.
    virtual void Attach(PhysicsComp* body);
};
} // namespace phy
} // namespace dorvo
