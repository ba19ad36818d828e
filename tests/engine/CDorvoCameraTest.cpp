#include "engine/CDorvoCamera.h"

#include "common/math/Matrix4.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <cmath>

using dorvo::CDorvoCamera;
using math::Matrix4;
using math::Vector3;

namespace
{
constexpr float kPi = 3.14159265f;

void ExpectVector(const Vector3& v, float x, float y, float z, float tol = 1e-5f)
{
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

void ExpectMatrix(const Matrix4& a, const Matrix4& expected, float tol = 1e-5f)
{
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_NEAR(a.m[i], expected.m[i], tol) << "element " << i;
    }
}

void ExpectFinite(const Matrix4& a)
{
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_TRUE(std::isfinite(a.m[i])) << "element " << i;
    }
}

struct Camera : CDorvoCamera
{
    Camera() : CDorvoCamera(nullptr) {}
    Camera(const Vector3& eye, const Vector3& lookAt) : CDorvoCamera(nullptr)
    {
        SetPosition(eye.x, eye.y, eye.z);
        SetLookAt(lookAt);
        UpdateSphericalCoords();
    }
    using CDorvoCamera::m_flags;
    using CDorvoCamera::m_interpolationId;
};
} // namespace

TEST(CDorvoCamera, FreshCameraHasDefinedCoordinatesAndProjection)
{
    Camera camera;
    EXPECT_EQ(camera.GetDistance(), 0.0f);
    EXPECT_EQ(camera.GetPitch(), 0.0f);
    EXPECT_EQ(camera.GetYaw(), 0.0f);
    EXPECT_EQ(camera.GetFlags(), 0u);
    EXPECT_EQ(camera.GetInterpolationID(), -1);
    EXPECT_FALSE(camera.IsFollowingBody());
    EXPECT_FALSE(camera.GetBody());

    Matrix4 projection;
    camera.ComputeProjectionMatrix(projection);
    ExpectFinite(projection);
    EXPECT_GT(projection.m[0], 0.0f);
    EXPECT_GT(projection.m[5], 0.0f);
    EXPECT_EQ(projection.m[11], 1.0f);
    // Eye on the look-at point: no direction, but no NaN in the view either.
    Matrix4 view;
    camera.ComputeViewMatrix(view);
    ExpectFinite(view);
}

TEST(CDorvoCamera, SphericalCoordinates)
{
    struct Case
    {
        Vector3 eye;
        Vector3 lookAt;
        float distance;
        float pitch;
        float yaw;
    };
    const Case cases[] = {
        {Vector3(0, 0, -10), Vector3(0, 0, 0), 10.0f, 0.0f, kPi / 2},
        {Vector3(0, 0, 0), Vector3(3, 4, 0), 5.0f, std::asin(0.8f), 0.0f},
        {Vector3(1, 10, 1), Vector3(1, 0, 1), 10.0f, -kPi / 2, 0.0f},
        {Vector3(0, 0, 0), Vector3(-2, 0, 0), 2.0f, 0.0f, kPi},
        {Vector3(2, 2, 2), Vector3(2, 2, 2), 0.0f, 0.0f, 0.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "eye " << c.eye << " look-at " << c.lookAt);
        const Camera camera(c.eye, c.lookAt);
        EXPECT_NEAR(camera.GetDistance(), c.distance, 1e-5f);
        EXPECT_NEAR(camera.GetPitch(), c.pitch, 1e-5f);
        EXPECT_NEAR(camera.GetYaw(), c.yaw, 1e-5f);
    }
}

TEST(CDorvoCamera, SettersLeaveCoordinatesTranslateRecomputesThem)
{
    Camera camera(Vector3(0, 0, -10), Vector3(0, 0, 0));
    camera.SetLookAt(0.0f, 10.0f, -10.0f);
    EXPECT_NEAR(camera.GetPitch(), 0.0f, 1e-6f);
    EXPECT_NEAR(camera.GetDistance(), 10.0f, 1e-6f);

    camera.Translate(Vector3(5.0f, 1.0f, 0.0f));
    ExpectVector(camera.GetPosition(), 5, 1, -10);
    ExpectVector(camera.GetLookAt(), 5, 11, -10);
    EXPECT_NEAR(camera.GetPitch(), kPi / 2, 1e-5f);
    EXPECT_NEAR(camera.GetDistance(), 10.0f, 1e-5f);
}

TEST(CDorvoCamera, ViewMatrixMatchesHandComputedValues)
{
    struct Case
    {
        const char* name;
        Vector3 eye;
        Vector3 lookAt;
        Matrix4 expected;
    };
    const Case cases[] = {
        // Looking along +z: the identity moved 10 ahead.
        {"along +z", Vector3(0, 0, -10), Vector3(0, 0, 0),
         Matrix4(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 10, 1)},
        // Looking along -x: world +z is to the right, world -x ahead.
        {"along -x", Vector3(10, 0, 0), Vector3(0, 0, 0),
         Matrix4(0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 10, 1)},
        // Straight down: the world up gives no sideways axis, so +z serves as up.
        {"straight down", Vector3(0, 10, 0), Vector3(0, 0, 0),
         Matrix4(1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 10, 1)},
        // Straight up: likewise, +z is up and the camera's right flips to -x.
        {"straight up", Vector3(0, -10, 0), Vector3(0, 0, 0),
         Matrix4(-1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 10, 1)},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const Camera camera(c.eye, c.lookAt);
        Matrix4 view;
        EXPECT_EQ(&camera.ComputeViewMatrix(view), &view);
        ExpectMatrix(view, c.expected);
        // The look-at point lies straight ahead at the camera's distance.
        ExpectVector(view.TransformPoint(c.lookAt), 0, 0, 10);
    }
}

TEST(CDorvoCamera, ProjectionMatrixMatchesHandComputedValues)
{
    Camera camera;
    camera.SetProjection(kPi / 2, 2.0f, 1.0f, 11.0f);
    Matrix4 projection;
    EXPECT_EQ(&camera.ComputeProjectionMatrix(projection), &projection);
    ExpectMatrix(projection, Matrix4(0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1.1f, 1, 0, 0, -1.1f, 0));

    // Depth runs 0 at the near plane to 1 at the far plane.
    const math::Vector4 nearPoint = projection.Transform(math::Vector4(Vector3(0, 0, 1)));
    const math::Vector4 farPoint = projection.Transform(math::Vector4(Vector3(0, 0, 11)));
    EXPECT_NEAR(nearPoint.z / nearPoint.w, 0.0f, 1e-6f);
    EXPECT_NEAR(farPoint.z / farPoint.w, 1.0f, 1e-6f);
}

TEST(CDorvoCamera, MoveRelativeFollowsTheCameraAxes)
{
    struct Case
    {
        const char* name;
        Vector3 eye;
        Vector3 lookAt;
        Vector3 move;
        Vector3 eyeAfter;
        Vector3 lookAtAfter;
    };
    const Case cases[] = {
        {"forward", Vector3(0, 0, -10), Vector3(0, 0, 0), Vector3(0, 0, 1), Vector3(0, 0, -9),
         Vector3(0, 0, 1)},
        {"backward", Vector3(0, 0, -10), Vector3(0, 0, 0), Vector3(0, 0, -2), Vector3(0, 0, -12),
         Vector3(0, 0, -2)},
        {"right", Vector3(0, 0, -10), Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(1, 0, -10),
         Vector3(1, 0, 0)},
        {"up", Vector3(0, 0, -10), Vector3(0, 0, 0), Vector3(0, 1, 0), Vector3(0, 1, -10), Vector3(0, 1, 0)},
        {"right when looking along -x", Vector3(10, 0, 0), Vector3(0, 0, 0), Vector3(1, 0, 0),
         Vector3(10, 0, 1), Vector3(0, 0, 1)},
        // Pitched down 45 degrees: up tilts forward, forward tilts down.
        {"up when pitched", Vector3(0, 10, -10), Vector3(0, 0, 0), Vector3(0, std::sqrt(2.0f), 0),
         Vector3(0, 11, -9), Vector3(0, 1, 1)},
        // Straight down there is no sideways axis: only the forward part moves.
        {"straight down", Vector3(0, 10, 0), Vector3(0, 0, 0), Vector3(1, 1, 1), Vector3(0, 9, 0),
         Vector3(0, -1, 0)},
        {"no direction", Vector3(1, 2, 3), Vector3(1, 2, 3), Vector3(1, 1, 1), Vector3(1, 2, 3),
         Vector3(1, 2, 3)},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Camera camera(c.eye, c.lookAt);
        const float pitch = camera.GetPitch();
        const float distance = camera.GetDistance();
        camera.MoveRelative(c.move);
        ExpectVector(camera.GetPosition(), c.eyeAfter.x, c.eyeAfter.y, c.eyeAfter.z);
        ExpectVector(camera.GetLookAt(), c.lookAtAfter.x, c.lookAtAfter.y, c.lookAtAfter.z);
        EXPECT_EQ(camera.GetPitch(), pitch);
        EXPECT_EQ(camera.GetDistance(), distance);
    }
}

TEST(CDorvoCamera, LookAtGlidesOnTheClockAndFinishes)
{
    Camera camera(Vector3(0, 0, -10), Vector3(0, 0, 0));
    const std::int32_t id = camera.InterpolateLookAt(10.0f, 0.0f, 0.0f, 2.0f);
    EXPECT_GT(id, 0);
    EXPECT_EQ(camera.GetInterpolationID(), id);
    EXPECT_TRUE(camera.IsInterpolating());

    plat::testclock::Advance(1.0);
    camera.Update(1.0f);
    ExpectVector(camera.GetLookAt(), 5, 0, 0);
    EXPECT_TRUE(camera.IsInterpolating());

    plat::testclock::Advance(1.5);
    camera.Update(1.5f);
    ExpectVector(camera.GetLookAt(), 10, 0, 0);
    EXPECT_FALSE(camera.IsInterpolating());

    // Done: later frames leave the look-at point alone.
    camera.SetLookAt(3.0f, 0.0f, 0.0f);
    plat::testclock::Advance(1.0);
    camera.Update(1.0f);
    ExpectVector(camera.GetLookAt(), 3, 0, 0);
}

TEST(CDorvoCamera, GlideToTheCurrentLookAtStartsNothing)
{
    Camera camera(Vector3(0, 0, -10), Vector3(1, 2, 3));
    EXPECT_EQ(camera.InterpolateLookAt(Vector3(1, 2, 3), 1.0f), CDorvoCamera::kNoInterpolation);
    EXPECT_NE(CDorvoCamera::kNoInterpolation, 0);
    EXPECT_FALSE(camera.IsInterpolating());
    EXPECT_EQ(camera.GetInterpolationID(), CDorvoCamera::kNoInterpolation);
}

TEST(CDorvoCamera, NewGlideReplacesTheRunningOne)
{
    Camera camera(Vector3(0, 0, -10), Vector3(0, 0, 0));
    const std::int32_t first = camera.InterpolateLookAt(Vector3(10, 0, 0), 2.0f);
    plat::testclock::Advance(1.0);
    camera.Update(1.0f);
    const std::int32_t second = camera.InterpolateLookAt(Vector3(5, 10, 0), 1.0f);
    EXPECT_NE(first, second);
    EXPECT_EQ(camera.GetInterpolationID(), second);

    plat::testclock::Advance(0.5);
    camera.Update(0.5f);
    ExpectVector(camera.GetLookAt(), 5, 5, 0);
    plat::testclock::Advance(0.5);
    camera.Update(0.5f);
    ExpectVector(camera.GetLookAt(), 5, 10, 0);
    EXPECT_FALSE(camera.IsInterpolating());
}

TEST(CDorvoCamera, UnknownGlideChangesNothing)
{
    Camera camera(Vector3(0, 0, -10), Vector3(1, 1, 1));
    camera.m_flags |= CDorvoCamera::kInterpolatingFlag;
    camera.m_interpolationId = 1000000;
    camera.Update(0.1f);
    ExpectVector(camera.GetLookAt(), 1, 1, 1);
    EXPECT_TRUE(camera.IsInterpolating());
}

TEST(CDorvoCamera, UpVectorIsSharedWorldUp)
{
    const Camera a;
    const Camera b;
    EXPECT_EQ(&a.GetUpVector(), &b.GetUpVector());
    ExpectVector(a.GetUpVector(), 0, 1, 0);
}

TEST(CDorvoCamera, FollowingWithoutABodyUsesTheEye)
{
    Camera camera(Vector3(0, 0, -10), Vector3(0, 0, 0));
    camera.SetFollowBody(true);
    EXPECT_EQ(&camera.GetEyePosition(), &camera.GetPosition());
    Matrix4 view;
    camera.ComputeViewMatrix(view);
    EXPECT_NEAR(view.m[14], 10.0f, 1e-6f);
}
