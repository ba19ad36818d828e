#include "engine/phy/ClothParticle.h"

#include "common/math/MathUtil.h"

namespace dorvo
{
namespace phy
{
void ClothParticle::SetMass(float m)
{
    mass = m;
    inverseMass = math::IsZero(m) ? 0.0f : 1.0f / m;
}

void ClothParticle::Integrate(float dt)
{
    if (firstStep)
    {
        previousPosition = position;
        if (!pinned)
        {
            velocity += force * (inverseMass * dt);
            position += velocity * dt;
        }
        firstStep = false;
        return;
    }
    if (pinned)
        return;
    const math::Vector3 acceleration = force * inverseMass;
    const math::Vector3 next =
        position + (position - previousPosition) * kVerletKeep + acceleration * (dt * dt);
    previousPosition = position;
    position = next;
    // The Verlet step carries no velocity of its own; without this the damping would read the
    // first step's velocity for ever, a constant force.
    if (!math::IsZero(dt))
        velocity = (position - previousPosition) / dt;
}
} // namespace phy
} // namespace dorvo
