#include "common/math/Matrix4.h"

#include "common/math/MathUtil.h"
#include "common/math/Plane.h"

#include <cmath>
#include <ostream>

namespace math
{
Matrix4::Matrix4()
    : m{1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f}
{
}

Matrix4::Matrix4(float m0, float m1, float m2, float m3, float m4, float m5, float m6, float m7, float m8,
                 float m9, float m10, float m11, float m12, float m13, float m14, float m15)
    : m{m0, m1, m2, m3, m4, m5, m6, m7, m8, m9, m10, m11, m12, m13, m14, m15}
{
}

void Matrix4::SetIdentity()
{
    *this = Matrix4();
}

void Matrix4::SetZero()
{
    for (float& e : m)
    {
        e = 0.0f;
    }
}

void Matrix4::SetTranslation(const Vector3& t)
{
    SetIdentity();
    m[12] = t.x;
    m[13] = t.y;
    m[14] = t.z;
}

void Matrix4::SetScale(const Vector3& s)
{
    SetIdentity();
    m[0] = s.x;
    m[5] = s.y;
    m[10] = s.z;
}

void Matrix4::SetRotationAxis(float axisX, float axisY, float axisZ, float angle)
{
    const Vector3 axis = Vector3(axisX, axisY, axisZ).GetNormalized();
    const float x = axis.x;
    const float y = axis.y;
    const float z = axis.z;
    const float s = std::sin(angle);
    const float c = std::cos(angle);
    const float t = 1.0f - c;

    SetIdentity();
    m[0] = t * x * x + c;
    m[1] = t * x * y + s * z;
    m[2] = t * x * z - s * y;
    m[4] = t * x * y - s * z;
    m[5] = t * y * y + c;
    m[6] = t * y * z + s * x;
    m[8] = t * x * z + s * y;
    m[9] = t * y * z - s * x;
    m[10] = t * z * z + c;
}

Matrix3 Matrix4::GetMatrix3() const
{
    return Matrix3(m[0], m[1], m[2], m[4], m[5], m[6], m[8], m[9], m[10]);
}

Matrix4 Matrix4::GetTranspose() const
{
    Matrix4 result;
    for (int r = 0; r < 4; ++r)
    {
        for (int c = 0; c < 4; ++c)
        {
            result.m[4 * c + r] = m[4 * r + c];
        }
    }
    return result;
}

Matrix4 Matrix4::GetInverse() const
{
    // Cofactor expansion by 2x2 sub-determinants of the upper and lower row pairs.
    const float s0 = m[0] * m[5] - m[4] * m[1];
    const float s1 = m[0] * m[6] - m[4] * m[2];
    const float s2 = m[0] * m[7] - m[4] * m[3];
    const float s3 = m[1] * m[6] - m[5] * m[2];
    const float s4 = m[1] * m[7] - m[5] * m[3];
    const float s5 = m[2] * m[7] - m[6] * m[3];
    const float c5 = m[10] * m[15] - m[14] * m[11];
    const float c4 = m[9] * m[15] - m[13] * m[11];
    const float c3 = m[9] * m[14] - m[13] * m[10];
    const float c2 = m[8] * m[15] - m[12] * m[11];
    const float c1 = m[8] * m[14] - m[12] * m[10];
    const float c0 = m[8] * m[13] - m[12] * m[9];
    const float inv = 1.0f / (s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0);

    Matrix4 r;
    r.m[0] = (m[5] * c5 - m[6] * c4 + m[7] * c3) * inv;
    r.m[1] = (-m[1] * c5 + m[2] * c4 - m[3] * c3) * inv;
    r.m[2] = (m[13] * s5 - m[14] * s4 + m[15] * s3) * inv;
    r.m[3] = (-m[9] * s5 + m[10] * s4 - m[11] * s3) * inv;
    r.m[4] = (-m[4] * c5 + m[6] * c2 - m[7] * c1) * inv;
    r.m[5] = (m[0] * c5 - m[2] * c2 + m[3] * c1) * inv;
    r.m[6] = (-m[12] * s5 + m[14] * s2 - m[15] * s1) * inv;
    r.m[7] = (m[8] * s5 - m[10] * s2 + m[11] * s1) * inv;
    r.m[8] = (m[4] * c4 - m[5] * c2 + m[7] * c0) * inv;
    r.m[9] = (-m[0] * c4 + m[1] * c2 - m[3] * c0) * inv;
    r.m[10] = (m[12] * s4 - m[13] * s2 + m[15] * s0) * inv;
    r.m[11] = (-m[8] * s4 + m[9] * s2 - m[11] * s0) * inv;
    r.m[12] = (-m[4] * c3 + m[5] * c1 - m[6] * c0) * inv;
    r.m[13] = (m[0] * c3 - m[1] * c1 + m[2] * c0) * inv;
    r.m[14] = (-m[12] * s3 + m[13] * s1 - m[14] * s0) * inv;
    r.m[15] = (m[8] * s3 - m[9] * s1 + m[10] * s0) * inv;
    return r;
}

Vector4 Matrix4::Transform(const Vector4& v) const
{
    return Vector4(v.x * m[0] + v.y * m[4] + v.z * m[8] + v.w * m[12],
                   v.x * m[1] + v.y * m[5] + v.z * m[9] + v.w * m[13],
                   v.x * m[2] + v.y * m[6] + v.z * m[10] + v.w * m[14],
                   v.x * m[3] + v.y * m[7] + v.z * m[11] + v.w * m[15]);
}

Vector3 Matrix4::TransformPoint(const Vector3& p) const
{
    return Transform(Vector4(p)).GetVector3();
}

Vector3 Matrix4::TransformDirection(const Vector3& d) const
{
    return Transform(Vector4(d, 0.0f)).GetVector3();
}

Matrix4 Matrix4::LookAtLH(const Vector3& eye, const Vector3& at, const Vector3& up)
{
    const Vector3 zAxis = (at - eye).GetNormalized();
    const Vector3 xAxis = up.Cross(zAxis).GetNormalized();
    const Vector3 yAxis = zAxis.Cross(xAxis);
    return Matrix4(xAxis.x, yAxis.x, zAxis.x, 0.0f, xAxis.y, yAxis.y, zAxis.y, 0.0f, xAxis.z, yAxis.z,
                   zAxis.z, 0.0f, -xAxis.Dot(eye), -yAxis.Dot(eye), -zAxis.Dot(eye), 1.0f);
}

Matrix4 Matrix4::PerspectiveFovLH(float fieldOfViewY, float aspect, float nearDistance, float farDistance)
{
    const float yScale = 1.0f / std::tan(fieldOfViewY * 0.5f);
    const float xScale = yScale / aspect;
    const float depth = farDistance / (farDistance - nearDistance);
    return Matrix4(xScale, 0.0f, 0.0f, 0.0f, 0.0f, yScale, 0.0f, 0.0f, 0.0f, 0.0f, depth, 1.0f, 0.0f, 0.0f,
                   -nearDistance * depth, 0.0f);
}

Vector3 Matrix4::TransformCoord(const Vector3& p) const
{
    const Vector4 h = Transform(Vector4(p.x, p.y, p.z, 1.0f));
    return Vector3(h.x / h.w, h.y / h.w, h.z / h.w);
}

Matrix4 Matrix4::Reflect(const Plane& plane)
{
    const float length = plane.normal.Length();
    if (IsZero(length))
        return Matrix4();
    const float a = plane.normal.x / length, b = plane.normal.y / length, c = plane.normal.z / length;
    const float d = plane.d / length;
    return Matrix4(1.0f - 2.0f * a * a, -2.0f * a * b, -2.0f * a * c, 0.0f, -2.0f * a * b,
                   1.0f - 2.0f * b * b, -2.0f * b * c, 0.0f, -2.0f * a * c, -2.0f * b * c,
                   1.0f - 2.0f * c * c, 0.0f, -2.0f * a * d, -2.0f * b * d, -2.0f * c * d, 1.0f);
}

Matrix4 Matrix4::RotationYawPitchRoll(float yaw, float pitch, float roll)
{
    const float cy = std::cos(yaw), sy = std::sin(yaw);
    const float cp = std::cos(pitch), sp = std::sin(pitch);
    const float cr = std::cos(roll), sr = std::sin(roll);
    const Matrix4 rollZ(cr, sr, 0, 0, -sr, cr, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    const Matrix4 pitchX(1, 0, 0, 0, 0, cp, sp, 0, 0, -sp, cp, 0, 0, 0, 0, 1);
    const Matrix4 yawY(cy, 0, -sy, 0, 0, 1, 0, 0, sy, 0, cy, 0, 0, 0, 0, 1);
    // The right operand acts first: roll, then pitch, then yaw.
    return yawY * (pitchX * rollZ);
}

Matrix4 operator*(const Matrix4& a, const Matrix4& b)
{
    // Built in a fresh matrix, so either operand may also receive the result.
    Matrix4 result;
    result.SetZero();
    for (int i = 0; i < 4; ++i)
    {
        for (int j = 0; j < 4; ++j)
        {
            for (int k = 0; k < 4; ++k)
            {
                result.m[4 * i + j] += b.m[4 * i + k] * a.m[4 * k + j];
            }
        }
    }
    return result;
}

Vector3 Unproject(const Vector3& screen, float viewportX, float viewportY, float viewportWidth,
                  float viewportHeight, float minZ, float maxZ, const Matrix4& projection,
                  const Matrix4& view, const Matrix4& world)
{
    // Row vectors: world acts first, then view, then projection.
    const Matrix4 inverse = (projection * (view * world)).GetInverse();
    const Vector4 clip((screen.x - viewportX) * 2.0f / viewportWidth - 1.0f,
                       1.0f - (screen.y - viewportY) * 2.0f / viewportHeight,
                       (screen.z - minZ) / (maxZ - minZ), 1.0f);
    const Vector4 p = inverse.Transform(clip);
    return Vector3(p.x / p.w, p.y / p.w, p.z / p.w);
}

Vector3 Project(const Vector3& world, float viewportX, float viewportY, float viewportWidth,
                float viewportHeight, float minZ, float maxZ, const Matrix4& projection, const Matrix4& view,
                const Matrix4& worldMatrix)
{
    const Vector3 ndc = (projection * (view * worldMatrix)).TransformCoord(world);
    return Vector3(viewportX + (1.0f + ndc.x) * viewportWidth * 0.5f,
                   viewportY + (1.0f - ndc.y) * viewportHeight * 0.5f, minZ + ndc.z * (maxZ - minZ));
}

std::ostream& operator<<(std::ostream& out, const Matrix4& a)
{
    out << "[";
    for (int r = 0; r < 4; ++r)
    {
        out << (r == 0 ? "(" : ", (") << a.m[4 * r] << ", " << a.m[4 * r + 1] << ", " << a.m[4 * r + 2]
            << ", " << a.m[4 * r + 3] << ")";
    }
    return out << "]";
}
} // namespace math
