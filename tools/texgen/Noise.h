// Deterministic noise for the generator: integer hashing, a seeded random sequence and smooth
// value noise that tiles, so material textures repeat without seams.
#pragma once

#include <cstdint>

namespace texgen
{

uint32_t Hash(int x, int y, uint32_t seed);
// 0..1 from the lattice point (x, y).
float HashUnit(int x, int y, uint32_t seed);

// Smooth value noise, 0..1, on a lattice of unit cells that repeats every periodX cells across
// and periodY cells down.
float ValueNoise(float x, float y, int periodX, int periodY, uint32_t seed);
// Octaves of value noise, each at twice the frequency and half the weight; about 0..1.
float Fbm(float x, float y, int periodX, int periodY, int octaves, uint32_t seed);

// A seeded sequence (PCG-style) for placing details; never seeded from the clock.
class Random
{
public:
    explicit Random(uint32_t seed) : m_state(seed * 2654435761u + 1u) {}
    float Next(); // 0..1
    float Range(float lo, float hi) { return lo + (hi - lo) * Next(); }

private:
    uint64_t m_state;
};

} // namespace texgen
