// The engine's vertex as every unit's vertex array holds it (96 bytes; the general vertex
// declaration reads its first 60) and the shadow vertex (its first 24 bytes). Both are plain
// bytes: arrays of them are copied whole into vertex buffers. A vertex starts all zero.
#pragma once

#include <cstdint>

namespace dorvo
{
namespace gfx
{
struct SUnitVertex
{
    float position[3] = {}; // model units
    float normal[3] = {};
    float uv[2] = {};
    float tangent[3] = {};
    float binormal[3] = {};
    std::uint32_t color = 0;           // D3DCOLOR; meshes leave it 0
    std::int32_t influenceCount = 0;   // bones that move the vertex, 0 to 4
    std::uint32_t boneIndices[4] = {}; // palette slots of those bones
    float weights[4] = {};
};

struct SShadowVertex
{
    float position[3] = {}; // model units
    float normal[3] = {};
};

constexpr unsigned kShadowVertexStride = 24; // bytes

static_assert(sizeof(SUnitVertex) == 96, "the unit vertex is 96 bytes");
static_assert(sizeof(SShadowVertex) == kShadowVertexStride, "the shadow vertex is 24 bytes");
} // namespace gfx
} // namespace dorvo
