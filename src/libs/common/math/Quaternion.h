// Quaternion with w first: element 0 is w, elements 1 to 3 the vector part. Rotations are
// unit quaternions; the products and Rotate do not renormalise. The default is the ZERO
// quaternion (0, 0, 0, 0), not the identity. Names are references into the object's own
// array, so copies go value by value (see Vector3) and the type is never copied bitwise.
#pragma once

#include "common/math/Matrix3.h"
#include "common/math/Matrix4.h"
#include "common/math/Vector3.h"

#include <iosfwd>

namespace math
{
class Quaternion
{
public:
    float& w;
    float& x;
    float& y;
    float& z;
    float q[4];

    constexpr Quaternion() : w(q[0]), x(q[1]), y(q[2]), z(q[3]), q{0.0f, 0.0f, 0.0f, 0.0f} {}
    constexpr Quaternion(float aw, float ax, float ay, float az)
        : w(q[0]), x(q[1]), y(q[2]), z(q[3]), q{aw, ax, ay, az}
    {
    }
    constexpr Quaternion(const Quaternion& o) : w(q[0]), x(q[1]), y(q[2]), z(q[3]), q{o.w, o.x, o.y, o.z} {}
    // The rotation whose rows are xAxis and zAxis (see SetFromDirections).
    Quaternion(const Vector3& xAxis, const Vector3& zAxis);
    Quaternion& operator=(const Quaternion& o)
    {
        w = o.w;
        x = o.x;
        y = o.y;
        z = o.z;
        return *this;
    }

    float& operator[](int i) { return q[i]; }
    float operator[](int i) const { return q[i]; }

    void Set(float aw, float ax, float ay, float az)
    {
        w = aw;
        x = ax;
        y = ay;
        z = az;
    }
    // (1, 0, 0, 0).
    void SetIdentity() { Set(1.0f, 0.0f, 0.0f, 0.0f); }

    float LengthSquared() const;
    // (w, -x, -y, -z), not divided by the squared norm.
    Quaternion GetConjugate() const { return Quaternion(w, -x, -y, -z); }

    // In place. Below a squared norm of 1e-7 all four components become 0.
    Quaternion& Normalize();
    Quaternion GetNormalized() const;

    // The vector part of (q * v) * conjugate: v turned by a unit q (a non-unit q also
    // scales v by its squared norm).
    Vector3 Rotate(const Vector3& v) const;

    // Angle in radians; the axis need not be unit. A zero axis gives the identity.
    void SetFromAxisAngle(const Vector3& axis, float angle);
    // Rows x = xAxis normalised, z = zAxis normalised, y = z cross x. The axes are not made
    // perpendicular: callers pass perpendicular ones.
    void SetFromDirections(const Vector3& xAxis, const Vector3& zAxis);
    // An orthonormal basis from the direction (x row) and the world up (0, 1, 0). Looking
    // straight up or down leaves y and z rows zero and the result degenerate.
    void SetFromDirection(const Vector3& direction);

    // The rotation matrix; any non-zero multiple of a unit quaternion gives the same one.
    // The zero quaternion is not tested for (a division by zero).
    Matrix3 ToMatrix3() const;
    Matrix4 ToMatrix4() const;
    Vector3 GetXAxis() const { return ToMatrix3().GetRow(0); }
    Vector3 GetYAxis() const { return ToMatrix3().GetRow(1); }
    Vector3 GetZAxis() const { return ToMatrix3().GetRow(2); }
};

// The quaternion of a rotation matrix whose rows are the rotated axes; not renormalised.
Quaternion QuaternionFromMatrix(const Matrix3& m);

// Hamilton product a * b.
Quaternion operator*(const Quaternion& a, const Quaternion& b);
// q times the pure quaternion (0, v).
Quaternion operator*(const Quaternion& q, const Vector3& v);
Quaternion operator+(const Quaternion& a, const Quaternion& b);
// Component-wise; the physics freeze test compares successive orientations with it.
Quaternion operator-(const Quaternion& a, const Quaternion& b);
Quaternion operator*(const Quaternion& a, float s);
Quaternion operator*(float s, const Quaternion& a);

// Writes "( w, x, y, z )" with the stream's current float formatting and no line end.
std::ostream& operator<<(std::ostream& out, const Quaternion& q);
} // namespace math
