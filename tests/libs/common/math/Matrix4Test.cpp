#include "common/math/Matrix4.h"
#include "common/math/Plane.h"
#include "common/math/Quaternion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

using math::Matrix4;
using math::Vector3;
using math::Vector4;

namespace
{
constexpr float kPi = 3.1415927f;

void ExpectMatrix(const Matrix4& a, const Matrix4& b, float tol = 1e-6f)
{
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_NEAR(a.m[i], b.m[i], tol) << "element " << i;
    }
}

void ExpectVector(const Vector3& v, float x, float y, float z, float tol = 1e-5f)
{
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

Matrix4 Translation(float x, float y, float z)
{
    Matrix4 m;
    m.SetTranslation(Vector3(x, y, z));
    return m;
}

Matrix4 Scale(float x, float y, float z)
{
    Matrix4 m;
    m.SetScale(Vector3(x, y, z));
    return m;
}
} // namespace

TEST(Matrix4, TranslationSitsInTheFourthRow)
{
    const Matrix4 t = Translation(1.0f, 2.0f, 3.0f);
    EXPECT_EQ(t.m[12], 1.0f);
    EXPECT_EQ(t.m[13], 2.0f);
    EXPECT_EQ(t.m[14], 3.0f);
    EXPECT_EQ(t[3][3], 1.0f);
    ExpectVector(t.GetTranslation(), 1.0f, 2.0f, 3.0f);

    const Vector4 moved = t.Transform(Vector4(Vector3(1.0f, 1.0f, 1.0f)));
    EXPECT_EQ(moved.w, 1.0f);
    ExpectVector(moved.GetVector3(), 2.0f, 3.0f, 4.0f);
    // A direction (w = 0) is not moved.
    ExpectVector(t.TransformDirection(Vector3(1.0f, 1.0f, 1.0f)), 1.0f, 1.0f, 1.0f);
}

TEST(Matrix4, ProductAppliesTheRightOperandFirst)
{
    const Matrix4 t = Translation(1.0f, 0.0f, 0.0f);
    const Matrix4 s = Scale(2.0f, 2.0f, 2.0f);
    const Vector3 p(1.0f, 0.0f, 0.0f);
    ExpectVector((t * s).TransformPoint(p), 3.0f, 0.0f, 0.0f); // scale, then translate
    ExpectVector((s * t).TransformPoint(p), 4.0f, 0.0f, 0.0f); // translate, then scale
    ExpectVector(Matrix4::Transform(t * s, Vector4(p)).GetVector3(), 3.0f, 0.0f, 0.0f);

    // The result may be assigned to one of its operands.
    Matrix4 r = t;
    r = r * s;
    ExpectMatrix(r, t * s);
    r = s;
    r = t * r;
    ExpectMatrix(r, t * s);
}

TEST(Matrix4, RotationAxisAgreesWithTheQuaternion)
{
    struct Case
    {
        Vector3 axis;
        float angle;
    };
    const Case cases[] = {{Vector3(0.0f, 1.0f, 0.0f), kPi / 2.0f},
                          {Vector3(1.0f, 0.0f, 0.0f), kPi},
                          {Vector3(0.0f, 0.0f, 3.0f), -0.7f},
                          {Vector3(1.0f, -2.0f, 0.5f), 2.2f},
                          {Vector3(0.3f, 0.3f, 0.3f), 0.01f}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::PrintToString(c.axis.v) + " angle " + std::to_string(c.angle));
        Matrix4 m;
        m.SetTranslation(Vector3(5.0f, 5.0f, 5.0f)); // overwritten: the setter starts afresh
        m.SetRotationAxis(c.axis.x, c.axis.y, c.axis.z, c.angle);
        math::Quaternion q;
        q.SetFromAxisAngle(c.axis, c.angle);
        ExpectMatrix(m, q.ToMatrix4(), 1e-5f);
    }

    Matrix4 aboutY;
    aboutY.SetRotationAxis(0.0f, 1.0f, 0.0f, kPi / 2.0f);
    ExpectVector(aboutY.TransformPoint(Vector3(1.0f, 0.0f, 0.0f)), 0.0f, 0.0f, -1.0f);

    // A zero axis leaves cos(angle) on the diagonal of the 3x3 block and 0 elsewhere.
    Matrix4 zero;
    zero.SetRotationAxis(0.0f, 0.0f, 0.0f, kPi / 3.0f);
    const float c = std::cos(kPi / 3.0f);
    ExpectMatrix(zero, Matrix4(c, 0, 0, 0, 0, c, 0, 0, 0, 0, c, 0, 0, 0, 0, 1));
}

TEST(Matrix4, InverseTransposeAndUpperBlock)
{
    Matrix4 rotation;
    rotation.SetRotationAxis(1.0f, 2.0f, -1.0f, 0.9f);
    const Matrix4 world = Translation(3.0f, -1.0f, 2.0f) * rotation * Scale(2.0f, 0.5f, 4.0f);
    ExpectMatrix(world.GetInverse() * world, Matrix4(), 1e-5f);
    ExpectMatrix(world * world.GetInverse(), Matrix4(), 1e-5f);
    const Vector3 p(0.5f, -2.0f, 7.0f);
    ExpectVector(world.GetInverse().TransformPoint(world.TransformPoint(p)), p.x, p.y, p.z, 1e-4f);

    const Matrix4 m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    const Matrix4 mt = m.GetTranspose();
    EXPECT_EQ(mt[0][3], 13.0f);
    EXPECT_EQ(mt[3][0], 4.0f);
    EXPECT_EQ(mt[1][2], 10.0f);
    const math::Matrix3 upper = m.GetMatrix3();
    EXPECT_EQ(upper[0][2], 3.0f);
    EXPECT_EQ(upper[2][0], 9.0f);
    EXPECT_EQ(upper[2][2], 11.0f);
}

TEST(Matrix4, LookAtAndPerspectiveFollowTheLeftHandedConvention)
{
    const Vector3 eye(1.0f, 2.0f, -5.0f);
    const Vector3 at(1.0f, 2.0f, 5.0f);
    const Matrix4 view = Matrix4::LookAtLH(eye, at, math::g_UpVector);
    ExpectVector(view.TransformPoint(eye), 0.0f, 0.0f, 0.0f);
    ExpectVector(view.TransformPoint(at), 0.0f, 0.0f, 10.0f); // straight ahead is +z
    ExpectVector(view.TransformPoint(Vector3(2.0f, 3.0f, -5.0f)), 1.0f, 1.0f, 0.0f);

    const Matrix4 projection = Matrix4::PerspectiveFovLH(kPi / 2.0f, 2.0f, 1.0f, 101.0f);
    const Vector4 nearPoint = projection.Transform(Vector4(Vector3(0.0f, 0.0f, 1.0f)));
    const Vector4 farPoint = projection.Transform(Vector4(Vector3(0.0f, 0.0f, 101.0f)));
    EXPECT_NEAR(nearPoint.z / nearPoint.w, 0.0f, 1e-6f);
    EXPECT_NEAR(farPoint.z / farPoint.w, 1.0f, 1e-6f);
    // A point on the top edge of a 90 degree view lands on y = 1; x is squeezed by the aspect.
    const Vector4 edge = projection.Transform(Vector4(Vector3(2.0f, 2.0f, 2.0f)));
    EXPECT_NEAR(edge.y / edge.w, 1.0f, 1e-6f);
    EXPECT_NEAR(edge.x / edge.w, 0.5f, 1e-6f);
}

TEST(Matrix4, UnprojectFindsThePointUnderTheCursor)
{
    const Matrix4 view =
        Matrix4::LookAtLH(Vector3(0.0f, 0.0f, -10.0f), Vector3(0.0f, 0.0f, 0.0f), math::g_UpVector);
    const Matrix4 projection = Matrix4::PerspectiveFovLH(kPi / 2.0f, 800.0f / 600.0f, 1.0f, 1000.0f);
    const Matrix4 world;
    // The centre of the screen at depth 0 is the centre of the near plane.
    ExpectVector(
        math::Unproject(Vector3(400.0f, 300.0f, 0.0f), 0, 0, 800, 600, 0, 1, projection, view, world), 0.0f,
        0.0f, -9.0f, 1e-4f);
    // The top-left corner of a 90 degree view at the near plane (distance 1) is 1 up and
    // aspect to the left.
    ExpectVector(math::Unproject(Vector3(0.0f, 0.0f, 0.0f), 0, 0, 800, 600, 0, 1, projection, view, world),
                 -800.0f / 600.0f, 1.0f, -9.0f, 1e-4f);
    // A point projected to the screen comes back.
    const Vector3 p(2.0f, -1.5f, 4.0f);
    const Vector4 clip = (projection * view).Transform(Vector4(p));
    const Vector3 screen((clip.x / clip.w + 1.0f) * 400.0f, (1.0f - clip.y / clip.w) * 300.0f,
                         clip.z / clip.w);
    ExpectVector(math::Unproject(screen, 0, 0, 800, 600, 0, 1, projection, view, world), p.x, p.y, p.z,
                 1e-3f);
}

// The Direct3D helpers the renderer relies on, against values worked out by hand.
TEST(Matrix4, LookAtAndPerspectiveElementsAsWorkedOut)
{
    // Eye at (0, 0, -5) looking at the origin: the axes stay, the eye moves to the origin.
    ExpectMatrix(Matrix4::LookAtLH(Vector3(0, 0, -5), Vector3(0, 0, 0), Vector3(0, 1, 0)),
                 Matrix4(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 5, 1));
    // Looking down +x from (1, 2, 3): view x is world -z, view z is world +x.
    ExpectMatrix(Matrix4::LookAtLH(Vector3(1, 2, 3), Vector3(5, 2, 3), Vector3(0, 1, 0)),
                 Matrix4(0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 3, -2, -1, 1));
    // 90 degrees, aspect 2, near 1, far 3: y scale 1, x scale 0.5, depth scale 3/2.
    ExpectMatrix(Matrix4::PerspectiveFovLH(kPi / 2.0f, 2.0f, 1.0f, 3.0f),
                 Matrix4(0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1.5f, 1, 0, 0, -1.5f, 0));
}

TEST(Matrix4, TransformCoordDividesByW)
{
    const Matrix4 projection = Matrix4::PerspectiveFovLH(kPi / 2.0f, 1.0f, 1.0f, 3.0f);
    // (2, 4, 2) becomes (2, 4, 1.5, 2) and then (1, 2, 0.75).
    ExpectVector(projection.TransformCoord(Vector3(2, 4, 2)), 1.0f, 2.0f, 0.75f);
    ExpectVector(Translation(1, 2, 3).TransformCoord(Vector3(1, 1, 1)), 2.0f, 3.0f, 4.0f);
}

TEST(Matrix4, ReflectionInThePlaneYEquals2)
{
    // y - 2 = 0, also given unnormalised: the mirror flips y and moves it up by 4.
    for (const math::Plane& plane : {math::Plane(math::Vector3(0, 1, 0), Vector3(0, 2, 0)),
                                     math::Plane(math::Vector3(0, 2, 0), Vector3(7, 2, -1))})
    {
        const Matrix4 mirror = Matrix4::Reflect(plane);
        ExpectMatrix(mirror, Matrix4(1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1, 0, 0, 4, 0, 1));
        ExpectVector(mirror.TransformPoint(Vector3(3, 5, 1)), 3.0f, -1.0f, 1.0f);
    }
    // A slanted plane through the origin, x = y: x and y swap.
    const Matrix4 diagonal = Matrix4::Reflect(math::Plane(Vector3(1, -1, 0), Vector3(0, 0, 0)));
    ExpectVector(diagonal.TransformPoint(Vector3(2, 5, 3)), 5.0f, 2.0f, 3.0f);
    ExpectMatrix(Matrix4::Reflect(math::Plane()), Matrix4());
}

TEST(Matrix4, ProjectAndUnprojectWithAnOffsetViewportAndDepthRange)
{
    // Viewport (100, 50) 400 x 300, depth 0.25..0.75; identity transforms, so the point is
    // its own normalised device position.
    const Matrix4 identity;
    const Vector3 screen = math::Project(Vector3(0.5f, -0.5f, 0.4f), 100, 50, 400, 300, 0.25f, 0.75f,
                                         identity, identity, identity);
    ExpectVector(screen, 400.0f, 275.0f, 0.45f);
    ExpectVector(math::Unproject(screen, 100, 50, 400, 300, 0.25f, 0.75f, identity, identity, identity), 0.5f,
                 -0.5f, 0.4f);
    // Through a camera and a world matrix: there and back.
    const Matrix4 view = Matrix4::LookAtLH(Vector3(1, 2, -10), Vector3(0, 0, 0), Vector3(0, 1, 0));
    const Matrix4 projection = Matrix4::PerspectiveFovLH(kPi / 3.0f, 4.0f / 3.0f, 1.0f, 100.0f);
    const Matrix4 world = Translation(0.5f, 0, 0);
    const Vector3 p(1.0f, -2.0f, 3.0f);
    const Vector3 s = math::Project(p, 100, 50, 400, 300, 0.25f, 0.75f, projection, view, world);
    EXPECT_GT(s.z, 0.25f);
    EXPECT_LT(s.z, 0.75f);
    ExpectVector(math::Unproject(s, 100, 50, 400, 300, 0.25f, 0.75f, projection, view, world), p.x, p.y, p.z,
                 1e-3f);
}

TEST(Matrix4, YawPitchRollTurnsEachAxisThenAllThree)
{
    struct Case
    {
        const char* name;
        float yaw, pitch, roll;
        Vector3 x, y, z; // where the unit axes go
    };
    const float q = kPi / 2.0f;
    const Case cases[] = {
        {"yaw about y", q, 0, 0, Vector3(0, 0, -1), Vector3(0, 1, 0), Vector3(1, 0, 0)},
        {"pitch about x", 0, q, 0, Vector3(1, 0, 0), Vector3(0, 0, 1), Vector3(0, -1, 0)},
        {"roll about z", 0, 0, q, Vector3(0, 1, 0), Vector3(-1, 0, 0), Vector3(0, 0, 1)},
        // Roll first, then pitch, then yaw.
        {"all three", q, q, q, Vector3(1, 0, 0), Vector3(0, 0, 1), Vector3(0, -1, 0)},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const Matrix4 m = Matrix4::RotationYawPitchRoll(c.yaw, c.pitch, c.roll);
        ExpectVector(m.TransformDirection(Vector3(1, 0, 0)), c.x.x, c.x.y, c.x.z);
        ExpectVector(m.TransformDirection(Vector3(0, 1, 0)), c.y.x, c.y.y, c.y.z);
        ExpectVector(m.TransformDirection(Vector3(0, 0, 1)), c.z.x, c.z.y, c.z.z);
    }
}

TEST(Matrix4, Printer)
{
    std::ostringstream out;
    out << Translation(1.0f, 2.0f, 3.5f);
    EXPECT_EQ(out.str(), "[(1, 0, 0, 0), (0, 1, 0, 0), (0, 0, 1, 0), (1, 2, 3.5, 1)]");
}
