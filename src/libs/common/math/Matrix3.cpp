#include "common/math/Matrix3.h"

#include <ostream>

namespace math
{
Matrix3::Matrix3() : m{1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f} {}

Matrix3::Matrix3(float m0, float m1, float m2, float m3, float m4, float m5, float m6, float m7, float m8)
    : m{m0, m1, m2, m3, m4, m5, m6, m7, m8}
{
}

Matrix3::Matrix3(const Vector3& row0, const Vector3& row1, const Vector3& row2)
    : m{row0.x, row0.y, row0.z, row1.x, row1.y, row1.z, row2.x, row2.y, row2.z}
{
}

void Matrix3::SetIdentity()
{
    *this = Matrix3();
}

void Matrix3::SetZero()
{
    for (float& e : m)
    {
        e = 0.0f;
    }
}

void Matrix3::SetRow(int row, const Vector3& r)
{
    m[3 * row] = r.x;
    m[3 * row + 1] = r.y;
    m[3 * row + 2] = r.z;
}

float Matrix3::Determinant() const
{
    return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[3] * (m[1] * m[8] - m[2] * m[7]) +
           m[6] * (m[1] * m[5] - m[2] * m[4]);
}

Matrix3 Matrix3::GetInverse() const
{
    const float factor = 1.0f / Determinant();
    return Matrix3((m[4] * m[8] - m[5] * m[7]) * factor, (m[2] * m[7] - m[1] * m[8]) * factor,
                   (m[1] * m[5] - m[2] * m[4]) * factor, (m[5] * m[6] - m[3] * m[8]) * factor,
                   (m[0] * m[8] - m[2] * m[6]) * factor, (m[2] * m[3] - m[0] * m[5]) * factor,
                   (m[3] * m[7] - m[4] * m[6]) * factor, (m[1] * m[6] - m[0] * m[7]) * factor,
                   (m[0] * m[4] - m[1] * m[3]) * factor);
}

Matrix3 Matrix3::GetTranspose() const
{
    return Matrix3(m[0], m[3], m[6], m[1], m[4], m[7], m[2], m[5], m[8]);
}

Vector3 Matrix3::Transform(const Vector3& v) const
{
    return Vector3(v.x * m[0] + v.y * m[3] + v.z * m[6], v.x * m[1] + v.y * m[4] + v.z * m[7],
                   v.x * m[2] + v.y * m[5] + v.z * m[8]);
}

Matrix3 operator*(const Matrix3& a, const Matrix3& b)
{
    // Built in a fresh matrix, so either operand may also receive the result.
    Matrix3 result;
    result.SetZero();
    for (int i = 0; i < 3; ++i)
    {
        for (int j = 0; j < 3; ++j)
        {
            for (int k = 0; k < 3; ++k)
            {
                result.m[3 * i + j] += b.m[3 * i + k] * a.m[3 * k + j];
            }
        }
    }
    return result;
}

Matrix3 operator*(float s, const Matrix3& a)
{
    Matrix3 result;
    for (int i = 0; i < 9; ++i)
    {
        result.m[i] = a.m[i] * s;
    }
    return result;
}

Matrix3 operator*(const Matrix3& a, float s)
{
    return s * a;
}

Matrix3 operator+(const Matrix3& a, const Matrix3& b)
{
    Matrix3 result;
    for (int i = 0; i < 9; ++i)
    {
        result.m[i] = a.m[i] + b.m[i];
    }
    return result;
}

Matrix3 operator-(const Matrix3& a, const Matrix3& b)
{
    Matrix3 result;
    for (int i = 0; i < 9; ++i)
    {
        result.m[i] = a.m[i] - b.m[i];
    }
    return result;
}

std::ostream& operator<<(std::ostream& out, const Matrix3& a)
{
    return out << "[" << a.GetRow(0) << ", " << a.GetRow(1) << ", " << a.GetRow(2) << "]";
}
} // namespace math
