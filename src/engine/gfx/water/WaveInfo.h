// The values waving water is drawn with: two waves (frequency, amplitude, phase and direction on
// the water plane, x and z), the bump map's height, scroll and tiling, the Fresnel mix between
// reflection and refraction, the shallow and deep colours (channels 0 to 1) and the main wave.
#pragma once

namespace dorvo
{
namespace gfx
{
struct WaveInfo
{
    float freq1 = 0.0f;
    float amp1 = 0.0f;
    float phase1 = 0.0f;
    float x1 = 0.0f;
    float z1 = 0.0f;
    float freq2 = 0.0f;
    float amp2 = 0.0f;
    float phase2 = 0.0f;
    float x2 = 0.0f;
    float z2 = 0.0f;
    float bumpHeight = 0.0f;
    float refUVDistortion = 0.0f;
    float waterBlendWeight = 0.0f;
    float hdrMultiplier = 0.0f;
    float textScaleX = 0.0f;
    float textScaleZ = 0.0f;
    float bumpSpeedX = 0.0f;
    float bumpSpeedZ = 0.0f;
    float fresnelBias = 0.0f;
    float fresnelPower = 0.0f;
    float shallowColor[4] = {}; // red, green, blue, alpha
    float deepColor[4] = {};
    float ampMain = 0.0f;
    float freqMain = 0.0f;
};
} // namespace gfx
} // namespace dorvo
