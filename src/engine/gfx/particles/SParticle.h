// One particle of a particle system: where it is and how it moves, its colour, how long it has
// left, two values its affectors may keep, and the two corner vectors that shape its quad. The
// corner vectors are in billboard space: x along the quad's right axis, y along its up axis, z
// along the line from the eye to the particle.
#pragma once

#include "common/math/Vector3.h"

namespace dorvo
{
namespace gfx
{
struct SParticle
{
    math::Vector3 position;     // in the system's own space
    math::Vector3 velocity;     // units per second
    math::Vector3 acceleration; // cleared before the affectors run, every update
    float red = 1.0f;           // 0 to 1
    float green = 1.0f;
    float blue = 1.0f;
    float alpha = 1.0f;
    float life = 0.0f; // seconds left; the particle dies when this drops below 0
    float affectorValue1 = 0.0f;
    float affectorValue2 = 0.0f;
    math::Vector3 corner1; // billboard space
    math::Vector3 corner2;
};
} // namespace gfx
} // namespace dorvo
