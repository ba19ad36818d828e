// Three-component float vector, the basic value of positions, directions and velocities.
// The components can be reached by name (x, y, z) and by index: the names are references
// bound to the object's own array. Copies therefore go value by value through those
// references (a bitwise copy would leave the copy's names pointing into the source), and
// a Vector3 is never uploaded to a GPU buffer as it is: copy its floats out first.
#pragma once

#include "common/math/MathUtil.h"

#include <iosfwd>

namespace math
{
class Vector3
{
public:
    float& x;
    float& y;
    float& z;
    float v[3];

    constexpr Vector3() : x(v[0]), y(v[1]), z(v[2]), v{0.0f, 0.0f, 0.0f} {}
    constexpr Vector3(float ax, float ay, float az) : x(v[0]), y(v[1]), z(v[2]), v{ax, ay, az} {}
    constexpr Vector3(const Vector3& other) : x(v[0]), y(v[1]), z(v[2]), v{other.x, other.y, other.z} {}
    Vector3& operator=(const Vector3& other)
    {
        x = other.x;
        y = other.y;
        z = other.z;
        return *this;
    }

    void Set(float ax, float ay, float az)
    {
        x = ax;
        y = ay;
        z = az;
    }

    float& operator[](int i) { return v[i]; }
    float operator[](int i) const { return v[i]; }

    // Sums are formed in double and rounded once to float.
    float LengthSquared() const
    {
        return static_cast<float>(static_cast<double>(x) * x + static_cast<double>(y) * y +
                                  static_cast<double>(z) * z);
    }
    float Length() const { return std::sqrt(LengthSquared()); }

    float Dot(Vector3 other) const { return x * other.x + y * other.y + z * other.z; }

    Vector3 Cross(const Vector3& b) const
    {
        return Vector3(y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x);
    }

    // In place. A vector whose squared length is below 1e-7 (length below about 3.16e-4)
    // becomes (0, 0, 0) rather than being divided: a zero result marks an undefined direction.
    Vector3& Normalize()
    {
        const float lengthSquared = LengthSquared();
        if (IsZero(lengthSquared))
        {
            Set(0.0f, 0.0f, 0.0f);
            return *this;
        }
        const float scale = static_cast<float>(1.0 / std::sqrt(static_cast<double>(lengthSquared)));
        x *= scale;
        y *= scale;
        z *= scale;
        return *this;
    }

    Vector3 GetNormalized() const
    {
        Vector3 result(*this);
        result.Normalize();
        return result;
    }

    Vector3& operator+=(const Vector3& b)
    {
        x += b.x;
        y += b.y;
        z += b.z;
        return *this;
    }
    Vector3& operator-=(const Vector3& b)
    {
        x -= b.x;
        y -= b.y;
        z -= b.z;
        return *this;
    }
    Vector3& operator*=(float s)
    {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
    Vector3& operator/=(float s)
    {
        x /= s;
        y /= s;
        z /= s;
        return *this;
    }
};

inline Vector3 operator+(const Vector3& a, const Vector3& b)
{
    return Vector3(a.x + b.x, a.y + b.y, a.z + b.z);
}
inline Vector3 operator-(const Vector3& a, const Vector3& b)
{
    return Vector3(a.x - b.x, a.y - b.y, a.z - b.z);
}
inline Vector3 operator-(const Vector3& a)
{
    return Vector3(a.x * -1.0f, a.y * -1.0f, a.z * -1.0f);
}
inline Vector3 operator*(const Vector3& a, float s)
{
    return Vector3(a.x * s, a.y * s, a.z * s);
}
inline Vector3 operator*(float s, const Vector3& a)
{
    return a * s;
}
inline Vector3 operator/(const Vector3& a, float s)
{
    return Vector3(a.x / s, a.y / s, a.z / s);
}

// Component by component with FloatEqual (tolerance 1e-7), never an exact float compare.
inline bool operator==(const Vector3& a, const Vector3& b)
{
    return FloatEqual(a.x, b.x) && FloatEqual(a.y, b.y) && FloatEqual(a.z, b.z);
}
inline bool operator!=(const Vector3& a, const Vector3& b)
{
    return !(a == b);
}

inline float Dot(const Vector3& a, const Vector3& b)
{
    return a.Dot(b);
}
inline Vector3 Cross(const Vector3& a, const Vector3& b)
{
    return a.Cross(b);
}
inline float DistanceSquared(const Vector3& a, const Vector3& b)
{
    return (a - b).LengthSquared();
}
inline float Distance(const Vector3& a, const Vector3& b)
{
    return (a - b).Length();
}
// Component-wise product (per-axis scaling).
inline Vector3 ComponentProduct(const Vector3& a, const Vector3& b)
{
    return Vector3(a.x * b.x, a.y * b.y, a.z * b.z);
}

// The world up direction (0, 1, 0). Constant-initialised, so statics in other files may use it.
inline constexpr Vector3 g_UpVector(0.0f, 1.0f, 0.0f);

// Writes "(x, y, z)" with the stream's current float formatting and no line end.
std::ostream& operator<<(std::ostream& out, const Vector3& v);
} // namespace math
