// What a particle system runs on every live particle, every update, in the order they were
// added: moves, ages, fades or pushes it. The acceleration is cleared before the first one
// runs; the particle dies when its life is below 0 after the last.
#pragma once

namespace dorvo
{
namespace gfx
{
struct SParticle;

class IParticleAffector
{
public:
    virtual ~IParticleAffector() = default;
    // dt: seconds since the last update.
    virtual void Affect(SParticle& particle, float dt) = 0;
};
} // namespace gfx
} // namespace dorvo
