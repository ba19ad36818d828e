#include "engine/phy/CollisionInfo.h"

#include "PhysicsTestWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using dorvo::phy::CollisionInfo;
using dorvo::phy::Contact;
using dorvo::phy::PhysicsComp;
using math::Vector3;
using phytest::Body;
using phytest::CreateBody;
using phytest::Hull;

namespace
{
constexpr float kFrame = 1.0f / 30.0f;
const Vector3 kUp(0.0f, 1.0f, 0.0f);

class CollisionInfoTest : public phytest::PhysicsTest
{
protected:
    // A ball of mass 1 and no rotation resting on the floor y = 0 (its lowest point at the origin),
    // and the floor, with the surfaces given.
    void MakeBallOnFloor(float ballRestitution, float floorRestitution, float friction = 1.0f)
    {
        phytest::BodySpec ballSpec = phytest::Sphere(Vector3(0.0f, 0.5f, 0.0f));
        ballSpec.coeffRes = ballRestitution;
        ballSpec.staticFriction = friction;
        ballSpec.kineticFriction = friction;
        phytest::BodySpec floorSpec = phytest::Plane(kUp, 0.0f);
        floorSpec.coeffRes = floorRestitution;
        floorSpec.staticFriction = friction;
        floorSpec.kineticFriction = friction;
        ball = CreateBody(ballSpec);
        floor = CreateBody(floorSpec);
    }
    // One contact under the ball at the given depth; the ball is hull A.
    CollisionInfo BallContact(float depth)
    {
        const Vector3 point(0.0f, 0.0f, 0.0f);
        const Vector3 lever = point - Vector3(0.0f, 0.5f, 0.0f);
        return CollisionInfo(Hull(ball), Hull(floor), {Contact(lever, lever, point, depth)}, kUp);
    }

    Gob* ball = nullptr;
    Gob* floor = nullptr;
};
} // namespace

TEST_F(CollisionInfoTest, AnInfoKeepsTenContactsAndTheProductsOfBothSurfaces)
{
    MakeBallOnFloor(0.5f, 0.8f, 0.5f);
    std::vector<Contact> twelve;
    for (int i = 0; i < 12; ++i)
        twelve.emplace_back(Vector3(), Vector3(), Vector3(static_cast<float>(i), 0.0f, 0.0f), 0.01f * i);
    CollisionInfo info(Hull(ball), Hull(floor), twelve, kUp);
    ASSERT_EQ(info.contacts.size(), 10u);
    EXPECT_EQ(info.contacts.back().point.x, 9.0f);
    EXPECT_FLOAT_EQ(info.restitution, 0.4f);
    EXPECT_FLOAT_EQ(info.staticFriction, 0.25f);
    EXPECT_FLOAT_EQ(info.kineticFriction, 0.25f);
    EXPECT_EQ(info.GetAverageContactPoint(), Vector3(4.5f, 0.0f, 0.0f));
    EXPECT_FLOAT_EQ(info.GetAverageDepth(), 0.045f);

    // The box tests sort their contacts by depth, shallowest first, keeping equal ones in order.
    std::vector<Contact> contacts{Contact(Vector3(), Vector3(), Vector3(1, 0, 0), 0.02f),
                                  Contact(Vector3(), Vector3(), Vector3(2, 0, 0), -0.01f),
                                  Contact(Vector3(), Vector3(), Vector3(3, 0, 0), 0.02f)};
    std::stable_sort(contacts.begin(), contacts.end(), dorvo::phy::CompareContactDepth);
    EXPECT_EQ(contacts[0].point.x, 2.0f);
    EXPECT_EQ(contacts[1].point.x, 1.0f);
    EXPECT_EQ(contacts[2].point.x, 3.0f);
    EXPECT_TRUE(dorvo::phy::ContactDepthLess(contacts[0], contacts[1]));
}

TEST_F(CollisionInfoTest, TheBiasPushesOverlapsApartAndLetsGapsClose)
{
    MakeBallOnFloor(0.0f, 0.0f);
    PhysicsComp* body = Body(ball);
    struct Case
    {
        float depth;
        float approach;
        float bias;
        float after; // the normal velocity after one visit
    };
    const Case cases[] = {
        {0.03f, -0.5f, 0.2f, 0.2f},    // 0.03 / 0.1 = 0.3, capped at 0.2
        {0.03f, 0.3f, 0.2f, 0.3f},     // separating faster than the bias: nothing
        {-0.02f, -0.5f, -0.6f, -0.5f}, // may close 0.5 of the 0.02 gap: left alone
        {-0.02f, -1.0f, -0.6f, -0.6f}, // too fast: slowed to what closes the gap in one step
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.depth << " " << c.approach);
        CollisionInfo info = BallContact(c.depth);
        info.PreStep(kFrame);
        EXPECT_NEAR(info.contacts[0].bias, c.bias, 1e-5f);
        EXPECT_FLOAT_EQ(info.contacts[0].k, 1.0f);
        body->velocity = Vector3(0.0f, c.approach, 0.0f);
        info.Resolve(kFrame);
        EXPECT_NEAR(body->velocity.y, c.after, 1e-5f);
    }
}

TEST_F(CollisionInfoTest, RestitutionOneBouncesBackInOneVisit)
{
    MakeBallOnFloor(1.0f, 1.0f, 0.0f);
    PhysicsComp* body = Body(ball);
    CollisionInfo info = BallContact(0.0f);
    info.PreStep(kFrame);
    body->velocity = Vector3(0.0f, -2.0f, 0.0f);
    info.Resolve(kFrame);
    EXPECT_NEAR(body->velocity.y, 2.0f, 1e-5f);
    info.Resolve(kFrame);
    EXPECT_NEAR(body->velocity.y, 2.0f, 1e-5f) << "already separating";

    // The contact pass works without restitution and aims only for the bias.
    info.restitution = 0.0f;
    body->velocity = Vector3(0.0f, -2.0f, 0.0f);
    info.Resolve(kFrame);
    EXPECT_NEAR(body->velocity.y, 0.0f, 1e-5f);
}

TEST_F(CollisionInfoTest, FrictionStopsSlowSlidingAndBrakesFastSliding)
{
    // Static and kinetic friction 0.5 x 0.5 = 0.25; sliding at 1 takes an impulse of 1 to stop.
    struct Case
    {
        const char* name;
        float approach; // the normal impulse is its size
        float slideAfter;
    };
    const Case cases[] = {
        {"0.25 x 5 > 1: stuck", -5.0f, 0.0f},
        {"0.25 x 2 < 1: slides on, braked by 0.25 x 2", -2.0f, 0.5f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        phytest::ResetPhysicsWorld();
        MakeBallOnFloor(0.0f, 0.0f, 0.5f);
        PhysicsComp* body = Body(ball);
        CollisionInfo info = BallContact(0.0f);
        info.PreStep(kFrame);
        body->velocity = Vector3(1.0f, c.approach, 0.0f);
        info.Resolve(kFrame);
        EXPECT_NEAR(body->velocity.x, c.slideAfter, 1e-5f);
        EXPECT_NEAR(body->velocity.y, 0.0f, 1e-5f);
    }
}

TEST_F(CollisionInfoTest, TriggersAndPairsWithoutAMovableBodyGetNothing)
{
    phytest::BodySpec triggerSpec = phytest::Sphere(Vector3(0.0f, 0.5f, 0.0f));
    triggerSpec.trigger = true;
    Gob* trigger = CreateBody(triggerSpec);
    phytest::BodySpec postSpec = phytest::Sphere(Vector3(3.0f, 0.5f, 0.0f));
    postSpec.immovable = true;
    Gob* post = CreateBody(postSpec);
    Gob* floor = CreateBody(phytest::Plane(kUp, 0.0f));
    const Vector3 lever(0.0f, -0.5f, 0.0f);

    for (Gob* gob : {trigger, post})
    {
        SCOPED_TRACE(gob->GetID());
        CollisionInfo info(Hull(gob), Hull(floor), {Contact(lever, lever, Vector3(0, 0, 0), 0.1f)}, kUp);
        info.PreStep(kFrame);
        EXPECT_EQ(info.contacts[0].k, 0.0f);
        Body(gob)->velocity = Vector3(0.0f, -3.0f, 0.0f);
        Body(gob)->disturbed = false;
        info.Resolve(kFrame);
        EXPECT_EQ(Body(gob)->velocity, Vector3(0.0f, -3.0f, 0.0f));
        EXPECT_FALSE(Body(gob)->disturbed);
    }
}

TEST_F(CollisionInfoTest, AStaticFirstHullPushesOnlyTheSecondAndKeepsThePoint)
{
    MakeBallOnFloor(0.0f, 0.0f);
    const Vector3 point(0.0f, 0.0f, 0.0f);
    const Vector3 lever(0.0f, -0.5f, 0.0f);
    // Floor first: the normal points from the ball (B) to the floor (A), downwards.
    CollisionInfo info(Hull(floor), Hull(ball), {Contact(lever, lever, point, 0.0f)},
                       Vector3(0.0f, -1.0f, 0.0f));
    info.PreStep(kFrame);
    EXPECT_FLOAT_EQ(info.contacts[0].k, 1.0f);
    EXPECT_EQ(info.contacts[0].point, point);
    Body(ball)->velocity = Vector3(0.0f, -1.0f, 0.0f);
    info.Resolve(kFrame);
    EXPECT_NEAR(Body(ball)->velocity.y, 0.0f, 1e-5f);
}

TEST_F(CollisionInfoTest, ShockPropagationActsOnlyAlongGravity)
{
    MakeBallOnFloor(0.0f, 0.0f);
    PhysicsComp* body = Body(ball);
    const Vector3 lever(0.5f, 0.0f, 0.0f);
    CollisionInfo wall(Hull(ball), Hull(floor), {Contact(lever, lever, Vector3(0.5f, 0.5f, 0.0f), 0.01f)},
                       Vector3(-1.0f, 0.0f, 0.0f));
    wall.PreStep(kFrame);
    body->velocity = Vector3(1.0f, 0.0f, 0.0f);
    wall.ResolveShock(kFrame);
    EXPECT_EQ(body->velocity, Vector3(1.0f, 0.0f, 0.0f)) << "a horizontal normal";

    CollisionInfo under = BallContact(0.01f);
    under.PreStep(kFrame);
    body->velocity = Vector3(0.0f, -1.0f, 0.0f);
    engine.gravity = Vector3(0.0f, 0.0f, 0.0f);
    under.ResolveShock(kFrame);
    EXPECT_EQ(body->velocity, Vector3(0.0f, -1.0f, 0.0f)) << "no gravity";

    engine.gravity = Vector3(0.0f, -9.8f, 0.0f);
    under.ResolveShock(kFrame);
    // 0.01 / (18 / 30) = 0.0167, under the 0.02 cap.
    EXPECT_NEAR(under.contacts[0].bias, 0.01f / (18.0f * kFrame), 1e-6f);
    EXPECT_NEAR(body->velocity.y, under.contacts[0].bias, 1e-5f);
}

TEST_F(CollisionInfoTest, ShockPropagationChangesVelocityAlikeWhateverTheMass)
{
    // A unit box resting on the floor on its four lower corners, sinking and sliding sideways.
    std::vector<std::vector<float>> results;
    for (float mass : {0.1f, 1.0f, 10.0f})
    {
        SCOPED_TRACE(mass);
        phytest::ResetPhysicsWorld();
        phytest::BodySpec spec = phytest::Box(Vector3(0.0f, 0.5f, 0.0f));
        spec.mass = mass;
        spec.staticFriction = 0.5f;
        spec.kineticFriction = 0.5f;
        Gob* box = CreateBody(spec);
        Gob* floor = CreateBody(phytest::Plane(kUp, 0.0f));
        PhysicsComp* body = Body(box);
        Hull(box)->SetBodyInertia(); // (m / 3) * 2 about every axis
        std::vector<Contact> corners;
        const float depths[4] = {0.01f, 0.01f, 0.012f, 0.012f};
        int i = 0;
        for (float x : {-0.5f, 0.5f})
            for (float z : {-0.5f, 0.5f})
            {
                const Vector3 point(x, 0.0f, z);
                const Vector3 lever = point - body->position;
                corners.emplace_back(lever, lever, point, depths[i++]);
            }
        CollisionInfo info(Hull(box), Hull(floor), corners, kUp);
        info.PreStep(kFrame);
        body->velocity = Vector3(0.3f, -0.5f, 0.0f);
        body->angularVelocity = Vector3();
        info.ResolveShock(kFrame);
        results.push_back({body->velocity.x, body->velocity.y, body->velocity.z, body->angularVelocity.x,
                           body->angularVelocity.y, body->angularVelocity.z});
        EXPECT_GT(body->velocity.y, 0.0f) << "the sinking is stopped";
        EXPECT_LT(body->velocity.x, 0.3f) << "friction acts";
    }
    for (std::size_t r = 1; r < results.size(); ++r)
        for (std::size_t i = 0; i < results[0].size(); ++i)
            EXPECT_NEAR(results[r][i], results[0][i], 1e-5f) << "mass " << r << " component " << i;
}
