// What one draw of a unit needs, refreshed by the unit before it is queued and copied by the
// renderer when it draws: the four matrices, the effect file and technique, the material, the
// tile factor and texture scroll, the six texture slots, the terrain, sky and water extras and
// the device buffers. A plain record: it owns nothing and points at what its unit owns, so it
// is valid while the unit is.
#pragma once

#include "common/math/Matrix4.h"
#include "engine/gfx/water/NoWaveInfo.h"
#include "platform/d3d9.h"

#include <array>
#include <string>

namespace dorvo
{
namespace gfx
{
struct D3DRenderBuffers;
struct SMaterial;

struct SRenderRecord
{
    static constexpr unsigned kTextureSlots = 6; // T0 to T5

    const std::string* fxFile = nullptr;    // the effect's file name ("TextureMapping.fx")
    const std::string* technique = nullptr; // null or empty: a technique no table knows
    math::Matrix4 world;
    math::Matrix4 view;
    math::Matrix4 projection;
    math::Matrix4 worldViewProjection; // world, then view, then projection
    // Null: the effect keeps the material values it has.
    const SMaterial* material = nullptr;
    float tileFactor = 1.0f;                                        // texture repeats across the surface
    std::array<float, 2> uvAnimation{};                             // texture scroll, u and v per second
    std::array<plat::IDirect3DTexture9*, kTextureSlots> textures{}; // not held; null: none
    plat::IDirect3DTexture9* terrainBlend = nullptr;                // terrain units
    plat::IDirect3DTexture9* skyTexture = nullptr;                  // sky dome clouds
    NoWaveInfo water;                                               // water units
    const D3DRenderBuffers* buffers = nullptr;                      // what to draw
};
} // namespace gfx
} // namespace dorvo
