// 3x3 float matrix, row-major (element [r][c] is m[3r + c]), row-vector convention: a vector
// is transformed as v * M, so the rows of a rotation are the images of the x, y and z axes.
// Orientations of boxes and inertia tensors of bodies are held in it.
//
// Product order: operator*(A, B) yields B.A in ordinary notation, so the RIGHT operand's
// transform acts first: v * (A * B) == (v * B) * A. Callers rely on this order.
#pragma once

#include "common/math/Vector3.h"

#include <iosfwd>

namespace math
{
class Matrix3
{
public:
    float m[9];

    // Identity.
    Matrix3();
    // Nine values, row by row.
    Matrix3(float m0, float m1, float m2, float m3, float m4, float m5, float m6, float m7, float m8);
    // Three rows.
    Matrix3(const Vector3& row0, const Vector3& row1, const Vector3& row2);

    // M[r][c] reaches element 3r + c.
    float* operator[](int row) { return &m[3 * row]; }
    const float* operator[](int row) const { return &m[3 * row]; }

    void SetIdentity();
    void SetZero();

    Vector3 GetRow(int row) const { return Vector3(m[3 * row], m[3 * row + 1], m[3 * row + 2]); }
    void SetRow(int row, const Vector3& r);

    float Determinant() const;
    // Adjugate times 1 / Determinant. No test for a singular matrix: callers pass rotations
    // and invertible inertia tensors (a singular one gives infinities).
    Matrix3 GetInverse() const;
    Matrix3 GetTranspose() const;

    // The row vector v times this matrix.
    Vector3 Transform(const Vector3& v) const;
    static Vector3 Transform(const Matrix3& matrix, const Vector3& v) { return matrix.Transform(v); }
};

// Element [i][j] = sum over k of B[i][k] * A[k][j]: B.A in ordinary notation.
Matrix3 operator*(const Matrix3& a, const Matrix3& b);
Matrix3 operator*(float s, const Matrix3& a);
Matrix3 operator*(const Matrix3& a, float s);
Matrix3 operator+(const Matrix3& a, const Matrix3& b);
Matrix3 operator-(const Matrix3& a, const Matrix3& b);

// Writes the three rows as "[(m0, m1, m2), (m3, m4, m5), (m6, m7, m8)]", no line end.
std::ostream& operator<<(std::ostream& out, const Matrix3& a);
} // namespace math
