#include "common/math/Quaternion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

using math::Matrix3;
using math::Quaternion;
using math::Vector3;

namespace
{
constexpr float kPi = 3.1415927f;
constexpr float kTol = 1e-6f;

void ExpectQuaternion(const Quaternion& q, float w, float x, float y, float z, float tol = kTol)
{
    EXPECT_NEAR(q.w, w, tol);
    EXPECT_NEAR(q.x, x, tol);
    EXPECT_NEAR(q.y, y, tol);
    EXPECT_NEAR(q.z, z, tol);
}

void ExpectVector(const Vector3& v, float x, float y, float z, float tol = kTol)
{
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

void ExpectMatrix(const Matrix3& a, const Matrix3& b, float tol = kTol)
{
    for (int i = 0; i < 9; ++i)
    {
        EXPECT_NEAR(a.m[i], b.m[i], tol) << "element " << i;
    }
}

Quaternion FromAxisAngle(const Vector3& axis, float angle)
{
    Quaternion q;
    q.SetFromAxisAngle(axis, angle);
    return q;
}
} // namespace

TEST(Quaternion, DefaultIsZeroAndCopiesNeverAlias)
{
    ExpectQuaternion(Quaternion(), 0.0f, 0.0f, 0.0f, 0.0f, 0.0f);

    const Quaternion source(1.0f, 2.0f, 3.0f, 4.0f);
    EXPECT_EQ(&source.w, &source.q[0]);
    EXPECT_EQ(&source.z, &source.q[3]);

    Quaternion copy(source);
    EXPECT_EQ(&copy.w, &copy.q[0]);
    copy.w = 10.0f;
    Quaternion assigned;
    assigned = source;
    EXPECT_EQ(&assigned.x, &assigned.q[1]);
    assigned.x = 20.0f;

    ExpectQuaternion(source, 1.0f, 2.0f, 3.0f, 4.0f, 0.0f);
    ExpectQuaternion(copy, 10.0f, 2.0f, 3.0f, 4.0f, 0.0f);
    ExpectQuaternion(assigned, 1.0f, 20.0f, 3.0f, 4.0f, 0.0f);
}

TEST(Quaternion, NormaliseBelowToleranceGivesZero)
{
    Quaternion zero;
    EXPECT_EQ(&zero.Normalize(), &zero);
    ExpectQuaternion(zero, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f);

    Quaternion tiny(0.0001f, 0.0f, 0.0001f, 0.0f); // squared norm 2e-8
    tiny.Normalize();
    ExpectQuaternion(tiny, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f);

    Quaternion q(0.0f, 0.0f, 0.0f, -2.0f);
    ExpectQuaternion(q.GetNormalized(), 0.0f, 0.0f, 0.0f, -1.0f);
    ExpectQuaternion(q, 0.0f, 0.0f, 0.0f, -2.0f, 0.0f);
    ExpectQuaternion(Quaternion(1.0f, 1.0f, 1.0f, 1.0f).Normalize(), 0.5f, 0.5f, 0.5f, 0.5f);
}

TEST(Quaternion, HamiltonProductAndDifference)
{
    const Quaternion i(0.0f, 1.0f, 0.0f, 0.0f);
    const Quaternion j(0.0f, 0.0f, 1.0f, 0.0f);
    const Quaternion k(0.0f, 0.0f, 0.0f, 1.0f);
    ExpectQuaternion(i * j, 0.0f, 0.0f, 0.0f, 1.0f);
    ExpectQuaternion(j * i, 0.0f, 0.0f, 0.0f, -1.0f);
    ExpectQuaternion(j * k, 0.0f, 1.0f, 0.0f, 0.0f);
    ExpectQuaternion(i * i, -1.0f, 0.0f, 0.0f, 0.0f);

    const Quaternion a(1.0f, 2.0f, 3.0f, 4.0f);
    const Quaternion b(0.5f, -1.0f, 2.0f, -3.0f);
    ExpectQuaternion(a * b, 0.5f + 2.0f - 6.0f + 12.0f, -1.0f + 1.0f - 9.0f - 8.0f, 2.0f + 6.0f + 1.5f - 4.0f,
                     -3.0f + 4.0f + 3.0f + 2.0f);
    // The product with a vector is the product with the pure quaternion (0, v).
    const Vector3 v(0.5f, -1.0f, 2.0f);
    const Quaternion viaVector = a * v;
    const Quaternion viaPure = a * Quaternion(0.0f, v.x, v.y, v.z);
    ExpectQuaternion(viaVector, viaPure.w, viaPure.x, viaPure.y, viaPure.z);

    ExpectQuaternion(a - b, 0.5f, 3.0f, 1.0f, 7.0f, 0.0f);
}

TEST(Quaternion, AxisAngle)
{
    ExpectQuaternion(FromAxisAngle(Vector3(0.0f, 0.0f, 0.0f), 1.3f), 1.0f, 0.0f, 0.0f, 0.0f, 0.0f);
    // The axis need not be unit.
    ExpectQuaternion(FromAxisAngle(Vector3(0.0f, 0.0f, 2.0f), kPi), std::cos(kPi / 2.0f), 0.0f, 0.0f, 1.0f);
    const float h = std::sqrt(0.5f);
    ExpectQuaternion(FromAxisAngle(Vector3(0.0f, 3.0f, 0.0f), kPi / 2.0f), h, 0.0f, h, 0.0f);
    ExpectQuaternion(FromAxisAngle(Vector3(1.0f, 0.0f, 0.0f), -kPi / 2.0f), h, -h, 0.0f, 0.0f);
}

TEST(Quaternion, RotateTurnsVectorsByTheAxisAngle)
{
    struct Case
    {
        Vector3 axis;
        float angle;
        Vector3 in;
        Vector3 out;
    };
    const Case cases[] = {
        {Vector3(0.0f, 1.0f, 0.0f), kPi / 2.0f, Vector3(1.0f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, -1.0f)},
        {Vector3(0.0f, 0.0f, 1.0f), kPi / 2.0f, Vector3(1.0f, 0.0f, 0.0f), Vector3(0.0f, 1.0f, 0.0f)},
        {Vector3(1.0f, 0.0f, 0.0f), kPi / 2.0f, Vector3(0.0f, 1.0f, 0.0f), Vector3(0.0f, 0.0f, 1.0f)},
        {Vector3(1.0f, 0.0f, 0.0f), kPi, Vector3(0.0f, 2.0f, 3.0f), Vector3(0.0f, -2.0f, -3.0f)},
        {Vector3(1.0f, 1.0f, 1.0f), 2.0f * kPi / 3.0f, Vector3(1.0f, 0.0f, 0.0f), Vector3(0.0f, 1.0f, 0.0f)},
        {Vector3(0.0f, 0.0f, 0.0f), 1.0f, Vector3(4.0f, 5.0f, 6.0f), Vector3(4.0f, 5.0f, 6.0f)},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::PrintToString(c.axis.v) + " angle " + std::to_string(c.angle));
        ExpectVector(FromAxisAngle(c.axis, c.angle).Rotate(c.in), c.out.x, c.out.y, c.out.z, 1e-5f);
    }
    // Without renormalisation a non-unit quaternion also scales by its squared norm.
    ExpectVector(Quaternion(2.0f, 0.0f, 0.0f, 0.0f).Rotate(Vector3(1.0f, 2.0f, 3.0f)), 4.0f, 8.0f, 12.0f);
}

TEST(Quaternion, ToMatrixIgnoresScaleAndMatchesRotate)
{
    ExpectMatrix(Quaternion(1.0f, 0.0f, 0.0f, 0.0f).ToMatrix3(), Matrix3());
    ExpectMatrix(Quaternion(2.0f, 0.0f, 0.0f, 0.0f).ToMatrix3(), Matrix3());

    const Quaternion q = FromAxisAngle(Vector3(1.0f, -2.0f, 0.5f), 0.8f);
    const Matrix3 m = q.ToMatrix3();
    ExpectMatrix((q * 3.0f).ToMatrix3(), m);
    // Row vector times the matrix turns the vector as Rotate does; rows are the turned axes.
    const Vector3 v(0.3f, -1.2f, 2.0f);
    const Vector3 byMatrix = m.Transform(v);
    const Vector3 byQuaternion = q.Rotate(v);
    ExpectVector(byMatrix, byQuaternion.x, byQuaternion.y, byQuaternion.z, 1e-5f);
    const Vector3 turnedX = q.Rotate(Vector3(1.0f, 0.0f, 0.0f));
    ExpectVector(q.GetXAxis(), turnedX.x, turnedX.y, turnedX.z, 1e-5f);

    const math::Matrix4 m4 = q.ToMatrix4();
    for (int r = 0; r < 3; ++r)
    {
        for (int c = 0; c < 3; ++c)
        {
            EXPECT_EQ(m4[r][c], m[r][c]);
        }
    }
    for (int i : {3, 7, 11, 12, 13, 14})
    {
        EXPECT_EQ(m4.m[i], 0.0f) << i;
    }
    EXPECT_EQ(m4.m[15], 1.0f);
}

TEST(Quaternion, MatrixConversionBranches)
{
    const float h = std::sqrt(0.5f);
    // Rotation by pi/2 about y: trace > 0.
    const Matrix3 aboutY(0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 0.0f);
    const Quaternion qy = math::QuaternionFromMatrix(aboutY);
    ExpectQuaternion(qy, h, 0.0f, h, 0.0f);
    ExpectMatrix(qy.ToMatrix3(), aboutY);

    // Half turns have trace -1 and take the largest-diagonal branch with i = 0, 1, 2.
    ExpectQuaternion(math::QuaternionFromMatrix(Matrix3(1, 0, 0, 0, -1, 0, 0, 0, -1)), 0.0f, 1.0f, 0.0f,
                     0.0f);
    ExpectQuaternion(math::QuaternionFromMatrix(Matrix3(-1, 0, 0, 0, 1, 0, 0, 0, -1)), 0.0f, 0.0f, 1.0f,
                     0.0f);
    ExpectQuaternion(math::QuaternionFromMatrix(Matrix3(-1, 0, 0, 0, -1, 0, 0, 0, 1)), 0.0f, 0.0f, 0.0f,
                     1.0f);
}

TEST(Quaternion, RoundTripThroughTheMatrix)
{
    struct Case
    {
        Vector3 axis;
        float angle;
    };
    const Case cases[] = {
        {Vector3(0.0f, 1.0f, 0.0f), kPi / 2.0f}, {Vector3(1.0f, 2.0f, 3.0f), 0.3f},
        {Vector3(1.0f, 0.1f, 0.0f), 3.0f},       {Vector3(0.1f, 1.0f, 0.2f), 3.1f},
        {Vector3(0.2f, 0.1f, 1.0f), -3.0f},      {Vector3(-1.0f, 1.0f, -1.0f), 2.5f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::PrintToString(c.axis.v) + " angle " + std::to_string(c.angle));
        const Quaternion q = FromAxisAngle(c.axis, c.angle);
        Quaternion back = math::QuaternionFromMatrix(q.ToMatrix3());
        // q and -q are the same rotation.
        if (back.w * q.w + back.x * q.x + back.y * q.y + back.z * q.z < 0.0f)
        {
            back = back * -1.0f;
        }
        ExpectQuaternion(back, q.w, q.x, q.y, q.z, 1e-5f);
    }
}

TEST(Quaternion, BasesFromDirections)
{
    Quaternion q;
    q.SetFromDirection(Vector3(1.0f, 0.0f, 0.0f));
    ExpectQuaternion(q, 1.0f, 0.0f, 0.0f, 0.0f);
    ExpectVector(q.GetYAxis(), 0.0f, 1.0f, 0.0f);

    // Along +z: x row (0, 0, 1), z row = x cross up = (-1, 0, 0), y row (0, 1, 0).
    q.SetFromDirection(Vector3(0.0f, 0.0f, 5.0f));
    ExpectVector(q.GetXAxis(), 0.0f, 0.0f, 1.0f);
    ExpectVector(q.GetYAxis(), 0.0f, 1.0f, 0.0f);
    ExpectVector(q.GetZAxis(), -1.0f, 0.0f, 0.0f);

    // The same basis from explicit axes, also through the constructor.
    const Quaternion fromAxes(Vector3(0.0f, 0.0f, 2.0f), Vector3(-3.0f, 0.0f, 0.0f));
    ExpectQuaternion(fromAxes, q.w, q.x, q.y, q.z);

    // A rising direction keeps the basis orthonormal with y leaning up.
    q.SetFromDirection(Vector3(1.0f, 1.0f, 0.0f));
    const float h = std::sqrt(0.5f);
    ExpectVector(q.GetXAxis(), h, h, 0.0f);
    ExpectVector(q.GetYAxis(), -h, h, 0.0f);
    ExpectVector(q.GetZAxis(), 0.0f, 0.0f, 1.0f);
}

TEST(Quaternion, StraightUpGivesADegenerateButFiniteResult)
{
    Quaternion q;
    q.SetFromDirection(Vector3(0.0f, 1.0f, 0.0f));
    for (float c : q.q)
    {
        EXPECT_TRUE(std::isfinite(c));
    }
}

TEST(Quaternion, Printer)
{
    std::ostringstream out;
    out << Quaternion(1.0f, 0.0f, 0.5f, -2.0f);
    EXPECT_EQ(out.str(), "( 1, 0, 0.5, -2 )");
}
