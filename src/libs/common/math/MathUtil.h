// The float rules every comparison, normalisation and division in the program goes through.
// Comparisons use an absolute tolerance of 1e-7; values beyond +-1e6 (and NaN, infinity) are
// treated as corrupt by the physics engine. Angles are radians everywhere.
#pragma once

#include <cmath>

namespace math
{
// Tolerance of IsZero and FloatEqual (single precision, about 1.0000000117e-7).
constexpr float kEpsilon = 1e-7f;
// Largest magnitude a component may have before it counts as corrupt (exclusive).
constexpr float kValidFloatBound = 1e6f;
constexpr float kPi = 3.1415927f;

inline bool IsZero(float a)
{
    return std::fabs(a) < kEpsilon;
}

inline bool FloatEqual(float a, float b)
{
    // The difference is rounded to float first, so two nearly equal large values compare
    // the same way however the compiler holds intermediates.
    const float difference = a - b;
    return std::fabs(difference) < kEpsilon;
}

// False for NaN and the infinities as well: every comparison with NaN fails.
inline bool IsValidFloat(float a)
{
    return a > -kValidFloatBound && a < kValidFloatBound;
}

inline float DegToRad(float degrees)
{
    return degrees * kPi / 180.0f;
}
} // namespace math
