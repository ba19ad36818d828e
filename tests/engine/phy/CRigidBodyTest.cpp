#include "engine/phy/CRigidBody.h"

#include "common/math/Matrix4.h"
#include "engine/CDorvoCamera.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>
#include <boost/weak_ptr.hpp>

using dorvo::CDorvoCamera;
using dorvo::phy::CRigidBody;
using math::Vector3;

TEST(CRigidBody, StartsEmptyAtTheOrigin)
{
    const CRigidBody body;
    EXPECT_EQ(body.GetMass(), 0.0f);
    EXPECT_EQ(body.GetInverseMass(), 0.0f);
    EXPECT_EQ(body.GetPosition(), Vector3(0, 0, 0));
    EXPECT_EQ(body.GetVelocity(), Vector3(0, 0, 0));
    EXPECT_EQ(body.GetAngularVelocity(), Vector3(0, 0, 0));
    const math::Quaternion& q = body.GetOrientation();
    EXPECT_EQ(q.w, 1.0f);
    EXPECT_EQ(q.x, 0.0f);
    EXPECT_EQ(q.y, 0.0f);
    EXPECT_EQ(q.z, 0.0f);
    for (int i = 0; i < 9; ++i)
    {
        EXPECT_EQ(body.GetInertia().m[i], 0.0f);
        EXPECT_EQ(body.GetInverseInertia().m[i], 0.0f);
    }
    EXPECT_FALSE(body.GetHull());
}

TEST(CRigidBody, InertiaKeepsZeroInverseForZeroTerms)
{
    CRigidBody body;
    body.SetInertia(2.0f, 0.0f, 4.0f);
    const math::Matrix3 expected(2, 0, 0, 0, 0, 0, 0, 0, 4);
    const math::Matrix3 expectedInverse(0.5f, 0, 0, 0, 0, 0, 0, 0, 0.25f);
    for (int i = 0; i < 9; ++i)
    {
        EXPECT_EQ(body.GetInertia().m[i], expected.m[i]) << i;
        EXPECT_EQ(body.GetInverseInertia().m[i], expectedInverse.m[i]) << i;
    }
}

TEST(CRigidBody, FollowingCameraTakesItsEyeFromTheBody)
{
    const boost::shared_ptr<CRigidBody> body = boost::make_shared<CRigidBody>();
    CDorvoCamera camera(body);
    EXPECT_EQ(camera.GetBody(), body);
    camera.SetPosition(100.0f, 100.0f, 100.0f);
    camera.SetLookAt(0.0f, 0.0f, 0.0f);
    body->GetPosition().Set(0.0f, 0.0f, -10.0f);

    // Not followed: the eye field.
    math::Matrix4 view;
    camera.ComputeViewMatrix(view);
    EXPECT_EQ(camera.GetEyePosition(), Vector3(100, 100, 100));

    // Followed: the body's position, read afresh each time.
    camera.SetFollowBody(true);
    EXPECT_EQ(&camera.GetEyePosition(), &body->GetPosition());
    camera.ComputeViewMatrix(view);
    EXPECT_EQ(view.TransformPoint(Vector3(0, 0, 0)), Vector3(0, 0, 10));
    body->GetPosition().Set(0.0f, 0.0f, -4.0f);
    camera.ComputeViewMatrix(view);
    EXPECT_EQ(view.TransformPoint(Vector3(0, 0, 0)), Vector3(0, 0, 4));
    EXPECT_EQ(camera.GetPosition(), Vector3(100, 100, 100));
}

TEST(CRigidBody, CameraSharesTheBodyWithItsCreator)
{
    boost::weak_ptr<CRigidBody> watch;
    {
        boost::shared_ptr<CRigidBody> body = boost::make_shared<CRigidBody>();
        watch = body;
        CDorvoCamera camera(body);
        body.reset();
        EXPECT_FALSE(watch.expired());
    }
    EXPECT_TRUE(watch.expired());
}
