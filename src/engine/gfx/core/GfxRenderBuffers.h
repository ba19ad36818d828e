// A unit's geometry in system memory: 96-byte vertices and a 16-bit triangle list (every three
// indices one triangle). The record owns both arrays; copying it copies them. Device copies are
// D3DRenderBuffers, filled from this through the device core.
#pragma once

#include "engine/gfx/core/SUnitVertex.h"

#include <cstdint>
#include <vector>

namespace dorvo
{
namespace gfx
{
struct GfxRenderBuffers
{
    std::vector<SUnitVertex> vertices;
    std::vector<std::uint16_t> indices;

    unsigned VertexCount() const { return static_cast<unsigned>(vertices.size()); }
    unsigned IndexCount() const { return static_cast<unsigned>(indices.size()); }
    // Empties both arrays and gives their memory back.
    void Clear()
    {
        std::vector<SUnitVertex>().swap(vertices);
        std::vector<std::uint16_t>().swap(indices);
    }
};
} // namespace gfx
} // namespace dorvo
