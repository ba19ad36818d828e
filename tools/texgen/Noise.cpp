#include "Noise.h"

#include <cmath>

namespace texgen
{

uint32_t Hash(int x, int y, uint32_t seed)
{
    uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

float HashUnit(int x, int y, uint32_t seed)
{
    return static_cast<float>(Hash(x, y, seed) >> 8) / 16777215.0f;
}

namespace
{
int Wrap(int v, int period)
{
    const int m = v % period;
    return m < 0 ? m + period : m;
}

float Fade(float t)
{
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}
} // namespace

float ValueNoise(float x, float y, int periodX, int periodY, uint32_t seed)
{
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const float tx = Fade(x - fx);
    const float ty = Fade(y - fy);
    const int x0 = Wrap(ix, periodX);
    const int x1 = Wrap(ix + 1, periodX);
    const int y0 = Wrap(iy, periodY);
    const int y1 = Wrap(iy + 1, periodY);
    const float a = HashUnit(x0, y0, seed);
    const float b = HashUnit(x1, y0, seed);
    const float c = HashUnit(x0, y1, seed);
    const float d = HashUnit(x1, y1, seed);
    const float top = a + (b - a) * tx;
    const float bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float Fbm(float x, float y, int periodX, int periodY, int octaves, uint32_t seed)
{
    float sum = 0.0f;
    float weight = 0.5f;
    float total = 0.0f;
    for (int o = 0; o < octaves; ++o)
    {
        sum += ValueNoise(x, y, periodX, periodY, seed + static_cast<uint32_t>(o) * 101u) * weight;
        total += weight;
        x *= 2.0f;
        y *= 2.0f;
        periodX *= 2;
        periodY *= 2;
        weight *= 0.5f;
    }
    return sum / total;
}

float Random::Next()
{
    m_state = m_state * 6364136223846793005ull + 1442695040888963407ull;
    const uint32_t xorshifted = static_cast<uint32_t>(((m_state >> 18u) ^ m_state) >> 27u);
    const uint32_t rot = static_cast<uint32_t>(m_state >> 59u);
    const uint32_t v = (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
    return static_cast<float>(v >> 8) / 16777216.0f;
}

} // namespace texgen
