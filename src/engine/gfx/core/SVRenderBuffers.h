// A mesh's shadow set in system memory: 24-byte vertices (position and normal), one for each
// distinct position, and a 16-bit triangle list over them. The record owns both arrays; copying
// it copies them.
#pragma once

#include "engine/gfx/core/SUnitVertex.h"

#include <cstdint>
#include <vector>

namespace dorvo
{
namespace gfx
{
struct SVRenderBuffers
{
    std::vector<SShadowVertex> vertices;
    std::vector<std::uint16_t> indices;

    unsigned VertexCount() const { return static_cast<unsigned>(vertices.size()); }
    unsigned IndexCount() const { return static_cast<unsigned>(indices.size()); }
    // Empties both arrays and gives their memory back.
    void Clear()
    {
        std::vector<SShadowVertex>().swap(vertices);
        std::vector<std::uint16_t>().swap(indices);
    }
};
} // namespace gfx
} // namespace dorvo
