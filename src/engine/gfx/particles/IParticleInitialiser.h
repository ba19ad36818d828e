// What a particle system runs on every particle it emits, in the order they were added: sets
// the new particle up (position, velocity, colour, life, corners). The system resets the slot
// to a fresh SParticle first, so an initialiser sets only what it cares about.
#pragma once

namespace dorvo
{
namespace gfx
{
struct SParticle;

class IParticleInitialiser
{
public:
    virtual ~IParticleInitialiser() = default;
    // time: seconds since the emission (0 for every particle the system emits).
    virtual void Initialise(SParticle& particle, float time) = 0;
};
} // namespace gfx
} // namespace dorvo
