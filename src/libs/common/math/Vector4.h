// Four-component float vector, the operand of the 4x4 transform: a point is (x, y, z, 1),
// a direction (x, y, z, 0). Names are references into the object's own array, so copies go
// value by value (see Vector3) and the type is never uploaded to a GPU buffer as it is.
#pragma once

#include "common/math/Vector3.h"

#include <iosfwd>

namespace math
{
class Vector4
{
public:
    float& x;
    float& y;
    float& z;
    float& w;
    float v[4];

    constexpr Vector4() : x(v[0]), y(v[1]), z(v[2]), w(v[3]), v{0.0f, 0.0f, 0.0f, 0.0f} {}
    constexpr Vector4(float ax, float ay, float az, float aw)
        : x(v[0]), y(v[1]), z(v[2]), w(v[3]), v{ax, ay, az, aw}
    {
    }
    // A point: w = 1.
    constexpr explicit Vector4(const Vector3& p) : x(v[0]), y(v[1]), z(v[2]), w(v[3]), v{p.x, p.y, p.z, 1.0f}
    {
    }
    constexpr Vector4(const Vector3& p, float aw) : x(v[0]), y(v[1]), z(v[2]), w(v[3]), v{p.x, p.y, p.z, aw}
    {
    }
    constexpr Vector4(const Vector4& o) : x(v[0]), y(v[1]), z(v[2]), w(v[3]), v{o.x, o.y, o.z, o.w} {}
    Vector4& operator=(const Vector4& o)
    {
        x = o.x;
        y = o.y;
        z = o.z;
        w = o.w;
        return *this;
    }

    float& operator[](int i) { return v[i]; }
    float operator[](int i) const { return v[i]; }

    // The x, y, z part, without dividing by w.
    Vector3 GetVector3() const { return Vector3(x, y, z); }
};

// Writes "(x, y, z, w)" with the stream's current float formatting and no line end.
std::ostream& operator<<(std::ostream& out, const Vector4& v);
} // namespace math
