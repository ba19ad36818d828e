// 4x4 float matrix, row-major (element [r][c] is m[4r + c]), row-vector convention: the
// translation stands in elements 12, 13, 14, element 15 is 1 for affine transforms and the
// fourth column (3, 7, 11) is 0. World, view and projection transforms are held in it.
//
// Product order: operator*(A, B) yields B.A in ordinary notation, so the RIGHT operand's
// transform acts first: the point p * (T * S) is scaled by S, then moved by T.
#pragma once

#include "common/math/Matrix3.h"
#include "common/math/Vector3.h"
#include "common/math/Vector4.h"

#include <iosfwd>

namespace math
{
class Plane;

class Matrix4
{
public:
    float m[16];

    // Identity.
    Matrix4();
    // Sixteen values, row by row.
    Matrix4(float m0, float m1, float m2, float m3, float m4, float m5, float m6, float m7, float m8,
            float m9, float m10, float m11, float m12, float m13, float m14, float m15);

    // M[r][c] reaches element 4r + c.
    float* operator[](int row) { return &m[4 * row]; }
    const float* operator[](int row) const { return &m[4 * row]; }

    void SetIdentity();
    void SetZero();
    // Identity with t in elements 12, 13, 14.
    void SetTranslation(const Vector3& t);
    // Identity with the three scale factors on the diagonal.
    void SetScale(const Vector3& s);
    // Rotation by angle (radians) about the axis; the axis need not be unit. A zero axis
    // leaves cos(angle) on the diagonal and 0 elsewhere in the 3x3 block.
    void SetRotationAxis(float axisX, float axisY, float axisZ, float angle);

    Vector3 GetTranslation() const { return Vector3(m[12], m[13], m[14]); }
    Vector3 GetRow(int row) const { return Vector3(m[4 * row], m[4 * row + 1], m[4 * row + 2]); }
    // The upper-left 3x3 block (rotation and scale).
    Matrix3 GetMatrix3() const;
    Matrix4 GetTranspose() const;
    // General inverse by cofactors. No test for a singular matrix (it gives infinities):
    // callers pass view, projection and world transforms.
    Matrix4 GetInverse() const;

    // The row vector v times this matrix.
    Vector4 Transform(const Vector4& v) const;
    static Vector4 Transform(const Matrix4& matrix, const Vector4& v) { return matrix.Transform(v); }
    // A point (w = 1); the result is not divided by w.
    Vector3 TransformPoint(const Vector3& p) const;
    // A point (w = 1) through the whole matrix, divided by the resulting w (as
    // D3DXVec3TransformCoord): projections give normalised device coordinates.
    Vector3 TransformCoord(const Vector3& p) const;
    // A direction (w = 0): rotation and scale only.
    Vector3 TransformDirection(const Vector3& d) const;

    // Left-handed view matrix looking from eye towards at (as D3DXMatrixLookAtLH).
    static Matrix4 LookAtLH(const Vector3& eye, const Vector3& at, const Vector3& up);
    // Left-handed perspective projection, vertical field of view in radians, depth 0 at the
    // near plane and 1 at the far plane (as D3DXMatrixPerspectiveFovLH).
    static Matrix4 PerspectiveFovLH(float fieldOfViewY, float aspect, float nearDistance, float farDistance);
    // The mirror image in a plane (as D3DXMatrixReflect): with the plane normalised to (n, d),
    // I - 2 n n^T in the upper 3 x 3 and -2 d n in the translation row. A plane without a
    // normal gives the identity.
    static Matrix4 Reflect(const Plane& plane);
    // Roll about z, then pitch about x, then yaw about y, radians, left-handed (as
    // D3DXMatrixRotationYawPitchRoll).
    static Matrix4 RotationYawPitchRoll(float yaw, float pitch, float roll);
};

// Element [i][j] = sum over k of B[i][k] * A[k][j]: B.A in ordinary notation.
Matrix4 operator*(const Matrix4& a, const Matrix4& b);

// The world-space point under a screen point (as D3DXVec3Unproject): screen x, y in pixels
// inside the viewport (y down), z the depth between minZ (near plane) and maxZ (far plane).
// Runs the world, view and projection transforms backwards and divides by w.
Vector3 Unproject(const Vector3& screen, float viewportX, float viewportY, float viewportWidth,
                  float viewportHeight, float minZ, float maxZ, const Matrix4& projection,
                  const Matrix4& view, const Matrix4& world);

// The screen point of a world point (as D3DXVec3Project): through world, view and projection,
// divided by w, then x = X + (1 + ndc.x) W / 2, y = Y + (1 - ndc.y) H / 2 (pixels, y down),
// z = minZ + ndc.z (maxZ - minZ).
Vector3 Project(const Vector3& world, float viewportX, float viewportY, float viewportWidth,
                float viewportHeight, float minZ, float maxZ, const Matrix4& projection, const Matrix4& view,
                const Matrix4& worldMatrix);

// Writes the four rows as "[(m0, m1, m2, m3), ...]", no line end.
std::ostream& operator<<(std::ostream& out, const Matrix4& a);
} // namespace math
