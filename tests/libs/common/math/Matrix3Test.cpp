#include "common/math/Matrix3.h"
#include "common/math/Quaternion.h"

#include <gtest/gtest.h>

#include <sstream>

using math::Matrix3;
using math::Vector3;

namespace
{
void ExpectMatrix(const Matrix3& a, const Matrix3& b, float tol = 1e-6f)
{
    for (int i = 0; i < 9; ++i)
    {
        EXPECT_NEAR(a.m[i], b.m[i], tol) << "element " << i;
    }
}

void ExpectVector(const Vector3& v, float x, float y, float z, float tol = 1e-6f)
{
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

Matrix3 Rotation(const Vector3& axis, float angle)
{
    math::Quaternion q;
    q.SetFromAxisAngle(axis, angle);
    return q.ToMatrix3();
}
} // namespace

TEST(Matrix3, LayoutIsRowMajorAndDefaultIsIdentity)
{
    const Matrix3 id;
    ExpectMatrix(id, Matrix3(1, 0, 0, 0, 1, 0, 0, 0, 1), 0.0f);
    Matrix3 m(1, 2, 3, 4, 5, 6, 7, 8, 9);
    EXPECT_EQ(m[1][2], 6.0f); // element [r][c] is float 3r + c
    EXPECT_EQ(m[2][0], 7.0f);
    ExpectVector(m.GetRow(1), 4.0f, 5.0f, 6.0f, 0.0f);
    m.SetRow(0, Vector3(-1.0f, -2.0f, -3.0f));
    EXPECT_EQ(m.m[2], -3.0f);
    ExpectMatrix(m.GetTranspose(), Matrix3(-1, 4, 7, -2, 5, 8, -3, 6, 9), 0.0f);
    m.SetZero();
    ExpectMatrix(m, Matrix3(0, 0, 0, 0, 0, 0, 0, 0, 0), 0.0f);
}

TEST(Matrix3, TransformIsRowVectorTimesMatrix)
{
    const Matrix3 m(1, 2, 3, 4, 5, 6, 7, 8, 10);
    ExpectVector(m.Transform(Vector3(1.0f, 0.0f, 0.0f)), 1.0f, 2.0f, 3.0f); // the first row
    ExpectVector(Matrix3::Transform(m, Vector3(1.0f, 2.0f, 3.0f)), 1 + 8 + 21, 2 + 10 + 24, 3 + 12 + 30);
}

TEST(Matrix3, ProductAppliesTheRightOperandFirst)
{
    const Matrix3 a = Rotation(Vector3(0.0f, 0.0f, 1.0f), 3.1415927f / 2.0f); // x -> y
    const Matrix3 b(2, 0, 0, 0, 1, 0, 0, 0, 1);                               // stretch x
    const Vector3 v(1.0f, 0.0f, 0.0f);

    // a * b: stretch first, then turn: (1, 0, 0) -> (2, 0, 0) -> (0, 2, 0).
    ExpectVector((a * b).Transform(v), 0.0f, 2.0f, 0.0f);
    // b * a: turn first, then stretch x: (0, 1, 0) stays.
    ExpectVector((b * a).Transform(v), 0.0f, 1.0f, 0.0f);

    const Matrix3 p(1, 2, 3, 4, 5, 6, 7, 8, 10);
    const Matrix3 q(0, 1, 0, 2, 0, 1, 1, 1, 1);
    // Element [i][j] = sum over k of q[i][k] * p[k][j].
    ExpectMatrix(p * q, Matrix3(4, 5, 6, 9, 12, 16, 12, 15, 19));

    // The result may be assigned to an operand.
    Matrix3 r = p;
    r = r * q;
    ExpectMatrix(r, p * q);
    r = q;
    r = p * r;
    ExpectMatrix(r, p * q);
}

TEST(Matrix3, InverseDeterminantAndScalarProduct)
{
    const Matrix3 diag(2, 0, 0, 0, 4, 0, 0, 0, 8);
    EXPECT_FLOAT_EQ(diag.Determinant(), 64.0f);
    ExpectMatrix(diag.GetInverse(), Matrix3(0.5f, 0, 0, 0, 0.25f, 0, 0, 0, 0.125f));

    const Matrix3 rotation = Rotation(Vector3(1.0f, -2.0f, 0.5f), 1.1f);
    EXPECT_NEAR(rotation.Determinant(), 1.0f, 1e-5f);
    ExpectMatrix(rotation.GetInverse(), rotation.GetTranspose(), 1e-5f);

    const Matrix3 general(1, 2, 3, 0, 1, 4, 5, 6, 0);
    EXPECT_FLOAT_EQ(general.Determinant(), 1.0f);
    ExpectMatrix(general.GetInverse() * general, Matrix3(), 1e-5f);
    ExpectMatrix(general.GetInverse(), Matrix3(-24, 18, 5, 20, -15, -4, -5, 4, 1), 1e-5f);

    ExpectMatrix(2.0f * general, Matrix3(2, 4, 6, 0, 2, 8, 10, 12, 0));
    ExpectMatrix(general * 2.0f, Matrix3(2, 4, 6, 0, 2, 8, 10, 12, 0));
    ExpectMatrix(general + general - general, general);
}

TEST(Matrix3, WorldInverseInertiaOrder)
{
    // operator*(operator*(R, I), transpose(R)) is transpose(R).I.R in ordinary notation:
    // with row vectors, a world vector goes to body space, is scaled, and comes back.
    const Matrix3 r = Rotation(Vector3(0.0f, 0.0f, 1.0f), 3.1415927f / 2.0f); // body x is world y
    const Matrix3 invInertia(1, 0, 0, 0, 0.5f, 0, 0, 0, 0.25f);
    const Matrix3 world = (r * invInertia) * r.GetTranspose();
    // World y is body x, which has inverse inertia 1; world x is body -y (0.5).
    ExpectVector(world.Transform(Vector3(0.0f, 1.0f, 0.0f)), 0.0f, 1.0f, 0.0f);
    ExpectVector(world.Transform(Vector3(1.0f, 0.0f, 0.0f)), 0.5f, 0.0f, 0.0f);
}

TEST(Matrix3, Printer)
{
    std::ostringstream out;
    out << Matrix3(1, 2, 3, 4, 5, 6, 7, 8, 9.5f);
    EXPECT_EQ(out.str(), "[(1, 2, 3), (4, 5, 6), (7, 8, 9.5)]");
}
