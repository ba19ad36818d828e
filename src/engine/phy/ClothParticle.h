// One mass point of a cloth, in the cloth's grid frame (its object's local frame). The first
// step is an explicit Euler step; every later one a Verlet step that keeps 0.95 of the last
// move. A pinned particle takes forces like any other but never moves. The cloth owns its
// particles in its particle array.
#pragma once

#include "common/math/Vector3.h"

namespace dorvo
{
namespace phy
{
class ClothParticle
{
public:
    // The share of the last step's move a Verlet step keeps.
    static constexpr float kVerletKeep = 0.95f;

    // Kilograms; a mass that IsZero gets the inverse 0, so the particle never moves.
    void SetMass(float m);
    // Holds the particle where it is.
    void Pin() { pinned = true; }
    // One step of dt seconds under the accumulated force. After every step the velocity is the
    // step's move over dt, so the springs' damping sees how the particle moves now.
    void Integrate(float dt);

    math::Vector3 position;         // grid frame, world units
    math::Vector3 velocity;         // world units per second
    math::Vector3 force;            // accumulator of the step, newtons, grid frame
    float mass = 0.0f;              // kilograms
    float inverseMass = 0.0f;       // 0 for a particle that never moves
    bool pinned = false;            // held in place
    math::Vector3 previousPosition; // before the last step
    bool firstStep = true;          // the next step is the Euler step
};
} // namespace phy
} // namespace dorvo
