#include "common/math/Quaternion.h"

#include <cmath>
#include <ostream>

namespace math
{
Quaternion::Quaternion(const Vector3& xAxis, const Vector3& zAxis)
    : w(q[0]), x(q[1]), y(q[2]), z(q[3]), q{0.0f, 0.0f, 0.0f, 0.0f}
{
    SetFromDirections(xAxis, zAxis);
}

float Quaternion::LengthSquared() const
{
    return static_cast<float>(static_cast<double>(w) * w + static_cast<double>(x) * x +
                              static_cast<double>(y) * y + static_cast<double>(z) * z);
}

Quaternion& Quaternion::Normalize()
{
    const float sum = LengthSquared();
    if (IsZero(sum))
    {
        Set(0.0f, 0.0f, 0.0f, 0.0f);
        return *this;
    }
    const float scale = static_cast<float>(1.0 / std::sqrt(static_cast<double>(sum)));
    w *= scale;
    x *= scale;
    y *= scale;
    z *= scale;
    return *this;
}

Quaternion Quaternion::GetNormalized() const
{
    Quaternion result(*this);
    result.Normalize();
    return result;
}

Vector3 Quaternion::Rotate(const Vector3& v) const
{
    const Quaternion turned = (*this * v) * GetConjugate();
    return Vector3(turned.x, turned.y, turned.z);
}

void Quaternion::SetFromAxisAngle(const Vector3& axis, float angle)
{
    const float lengthSquared = axis.LengthSquared();
    if (IsZero(lengthSquared))
    {
        SetIdentity();
        return;
    }
    const float halfAngle = angle * 0.5f;
    const float factor = std::sin(halfAngle) / std::sqrt(lengthSquared);
    Set(std::cos(halfAngle), axis.x * factor, axis.y * factor, axis.z * factor);
}

void Quaternion::SetFromDirections(const Vector3& xAxis, const Vector3& zAxis)
{
    const Vector3 xRow = xAxis.GetNormalized();
    const Vector3 zRow = zAxis.GetNormalized();
    const Vector3 yRow = zRow.Cross(xRow);
    *this = QuaternionFromMatrix(Matrix3(xRow, yRow, zRow));
}

void Quaternion::SetFromDirection(const Vector3& direction)
{
    const Vector3 xRow = direction.GetNormalized();
    const Vector3 zRow = xRow.Cross(g_UpVector).GetNormalized();
    const Vector3 yRow = zRow.Cross(xRow);
    *this = QuaternionFromMatrix(Matrix3(xRow, yRow, zRow));
}

Matrix3 Quaternion::ToMatrix3() const
{
    const float s = 2.0f / (w * w + x * x + y * y + z * z);
    const float xs = x * s;
    const float ys = y * s;
    const float zs = z * s;
    const float wx = w * xs;
    const float wy = w * ys;
    const float wz = w * zs;
    const float xx = x * xs;
    const float xy = x * ys;
    const float xz = x * zs;
    const float yy = y * ys;
    const float yz = y * zs;
    const float zz = z * zs;
    return Matrix3(1.0f - (yy + zz), xy + wz, xz - wy, xy - wz, 1.0f - (xx + zz), yz + wx, xz + wy, yz - wx,
                   1.0f - (xx + yy));
}

Matrix4 Quaternion::ToMatrix4() const
{
    const Matrix3 r = ToMatrix3();
    return Matrix4(r.m[0], r.m[1], r.m[2], 0.0f, r.m[3], r.m[4], r.m[5], 0.0f, r.m[6], r.m[7], r.m[8], 0.0f,
                   0.0f, 0.0f, 0.0f, 1.0f);
}

Quaternion QuaternionFromMatrix(const Matrix3& m)
{
    Quaternion result;
    const float trace = m[0][0] + m[1][1] + m[2][2];
    if (trace > 0.0f)
    {
        const float r = std::sqrt(trace + 1.0f);
        const float f = 0.5f / r;
        result.Set(r * 0.5f, (m[1][2] - m[2][1]) * f, (m[2][0] - m[0][2]) * f, (m[0][1] - m[1][0]) * f);
        return result;
    }

    // The largest diagonal element keeps the square root well away from zero.
    int i = m[1][1] > m[0][0] ? 1 : 0;
    if (m[2][2] > m[i][i])
    {
        i = 2;
    }
    const int j = (i + 1) % 3;
    const int k = (j + 1) % 3;
    const float r = std::sqrt(m[i][i] - m[j][j] - m[k][k] + 1.0f);
    const float f = 0.5f / r;
    float* vectorPart = &result.q[1];
    vectorPart[i] = r * 0.5f;
    result.w = (m[j][k] - m[k][j]) * f;
    vectorPart[j] = (m[i][j] + m[j][i]) * f;
    vectorPart[k] = (m[i][k] + m[k][i]) * f;
    return result;
}

Quaternion operator*(const Quaternion& a, const Quaternion& b)
{
    return Quaternion(
        a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z, a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
        a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x, a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w);
}

Quaternion operator*(const Quaternion& q, const Vector3& v)
{
    return Quaternion(-(q.x * v.x + q.y * v.y + q.z * v.z), q.w * v.x + q.y * v.z - q.z * v.y,
                      q.w * v.y + q.z * v.x - q.x * v.z, q.w * v.z + q.x * v.y - q.y * v.x);
}

Quaternion operator+(const Quaternion& a, const Quaternion& b)
{
    return Quaternion(a.w + b.w, a.x + b.x, a.y + b.y, a.z + b.z);
}

Quaternion operator-(const Quaternion& a, const Quaternion& b)
{
    return Quaternion(a.w - b.w, a.x - b.x, a.y - b.y, a.z - b.z);
}

Quaternion operator*(const Quaternion& a, float s)
{
    return Quaternion(a.w * s, a.x * s, a.y * s, a.z * s);
}

Quaternion operator*(float s, const Quaternion& a)
{
    return a * s;
}

std::ostream& operator<<(std::ostream& out, const Quaternion& q)
{
    return out << "( " << q.w << ", " << q.x << ", " << q.y << ", " << q.z << " )";
}
} // namespace math
