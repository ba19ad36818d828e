// A plain triple of floats for the scratch values of the contact solver and the pair tests,
// which compute with a few dozen vectors for every contact of every sweep. math::Vector3 reaches
// its components through references to its own array (its data model), so every value of it is
// three pointers and three floats; these are the three floats alone, and the operations
// below are Vector3's own, with the same products and sums in the same order, so that results
// agree to the bit. Stored state (bodies, hulls, contacts) stays in Vector3.
#pragma once

#include "common/math/Matrix3.h"
#include "common/math/Vector3.h"

#include <cmath>

namespace dorvo
{
namespace phy
{
struct Float3
{
    float x;
    float y;
    float z;
};

inline Float3 F3(const math::Vector3& v)
{
    return Float3{v.v[0], v.v[1], v.v[2]};
}

inline math::Vector3 ToVector3(const Float3& v)
{
    return math::Vector3(v.x, v.y, v.z);
}

inline Float3 operator+(const Float3& a, const Float3& b)
{
    return Float3{a.x + b.x, a.y + b.y, a.z + b.z};
}

inline Float3 operator-(const Float3& a, const Float3& b)
{
    return Float3{a.x - b.x, a.y - b.y, a.z - b.z};
}

// As Vector3's: each component times -1.
inline Float3 operator-(const Float3& a)
{
    return Float3{a.x * -1.0f, a.y * -1.0f, a.z * -1.0f};
}

inline Float3 operator*(const Float3& a, float s)
{
    return Float3{a.x * s, a.y * s, a.z * s};
}

inline Float3 operator/(const Float3& a, float s)
{
    return Float3{a.x / s, a.y / s, a.z / s};
}

inline float Dot(const Float3& a, const Float3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

inline Float3 Cross(const Float3& a, const Float3& b)
{
    return Float3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Summed in double and rounded once, as Vector3::LengthSquared.
inline float LengthSquared(const Float3& a)
{
    return static_cast<float>(static_cast<double>(a.x) * a.x + static_cast<double>(a.y) * a.y +
                              static_cast<double>(a.z) * a.z);
}

inline float Length(const Float3& a)
{
    return std::sqrt(LengthSquared(a));
}

// As Vector3::GetNormalized: (0, 0, 0) for a squared length below 1e-7, else each component times
// 1 / sqrt of it, taken in double and rounded once.
inline Float3 Normalized(const Float3& a)
{
    const float squared = LengthSquared(a);
    if (math::IsZero(squared))
        return Float3{0.0f, 0.0f, 0.0f};
    const float scale = static_cast<float>(1.0 / std::sqrt(static_cast<double>(squared)));
    return Float3{a.x * scale, a.y * scale, a.z * scale};
}

// math::Matrix3::Transform: the row vector times the matrix.
inline Float3 Transform(const math::Matrix3& matrix, const Float3& v)
{
    const float* m = matrix.m;
    return Float3{v.x * m[0] + v.y * m[3] + v.z * m[6], v.x * m[1] + v.y * m[4] + v.z * m[7],
                  v.x * m[2] + v.y * m[5] + v.z * m[8]};
}
} // namespace phy
} // namespace dorvo
