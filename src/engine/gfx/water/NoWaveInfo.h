// The values still (unwaved) water is drawn with: how far the normal map bends the reflection,
// the Fresnel mix between reflection and refraction, and the two directions the normal map
// scrolls in (on the water plane, x and z).
#pragma once

namespace dorvo
{
namespace gfx
{
struct NoWaveInfo
{
    float bumpScale = 0.0f;
    float refUVDistortion = 0.0f; // texture units the reflection moves at full bump
    float fresnelBias = 0.0f;
    float fresnelPower = 0.0f;
    float dir1X = 0.0f;
    float dir1Z = 0.0f;
    float dir2X = 0.0f;
    float dir2Z = 0.0f;
};
} // namespace gfx
} // namespace dorvo
