// The vertex particles are drawn with: 28 bytes, laid out as the particle declaration of the
// device core says (position, a three-float texture coordinate, colour). The third texture
// coordinate is the index of the particle's system within its draw run, which picks the
// system's matrix from the effect's matrix array.
#pragma once

#include <cstdint>

namespace dorvo
{
namespace gfx
{
struct SParticleVertex
{
    float x, y, z;       // the system's own space
    float u, v;          // 0 to 1 across the quad
    float runIndex;      // a whole number: the system's place in its run
    std::uint32_t color; // ARGB, 8 bits a channel
};

constexpr unsigned kParticleVertexStride = 28; // bytes
static_assert(sizeof(SParticleVertex) == kParticleVertexStride, "the particle vertex is 28 bytes");
} // namespace gfx
} // namespace dorvo
