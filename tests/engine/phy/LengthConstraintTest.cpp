#include "engine/phy/LengthConstraint.h"

#include "PhysicsTestWorld.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using dorvo::phy::Constraint;
using dorvo::phy::LengthConstraint;
using dorvo::phy::PhysicsComp;
using math::Vector3;
using phytest::Body;
using phytest::CreateBody;
using phytest::Pov;

namespace
{
constexpr float kFrame = 1.0f / 30.0f;

// A bar of length `length` along its x axis, floating in space.
Gob* Bar(float length, float mass = 1.0f)
{
    phytest::BodySpec spec = phytest::Box(Vector3(0, 5, 0), Vector3(length, 0.2f, 0.2f));
    spec.forces.clear();
    spec.collision = false;
    spec.mass = mass;
    spec.orientation.SetFromAxisAngle(Vector3(0, 0, 1), 0.3f);
    return CreateBody(spec);
}

class LengthConstraintTest : public phytest::PhysicsTest
{
};
} // namespace

TEST_F(LengthConstraintTest, ConstructedWithoutABodyAndTheValuesZeroOneZero)
{
    LengthConstraint bar;
    EXPECT_EQ(bar.GetBody(), nullptr);
    EXPECT_EQ(bar.restLength, 0.0f);
    EXPECT_EQ(bar.stiffness, 1.0f);
    EXPECT_EQ(bar.lastLengthRatio, 0.0f);
    EXPECT_FALSE(bar.IsEnabled());
    EXPECT_FALSE(bar.Solve(kFrame));
}

TEST_F(LengthConstraintTest, TheBarMovesTowardsItsRestLengthByTheStiffnessShare)
{
    struct Case
    {
        const char* name;
        float length, rest, stiffness;
        float newLength;
    };
    const Case cases[] = {
        {"at rest length", 2.0f, 2.0f, 1.0f, 2.0f},
        {"stretched, full stiffness", 3.0f, 2.0f, 1.0f, 2.5f}, // ends in by 0.25 each
        {"stretched, half stiffness", 3.0f, 2.0f, 0.5f, 2.75f},
        {"squeezed", 1.0f, 2.0f, 1.0f, 1.5f},
        {"no rest length: nothing to move towards", 3.0f, 0.0f, 1.0f, 3.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Gob* gob = Bar(c.length);
        LengthConstraint bar;
        bar.SetBody(Body(gob));
        bar.restLength = c.rest;
        bar.stiffness = c.stiffness;
        const Vector3 position = Body(gob)->position;
        EXPECT_FALSE(bar.Solve(kFrame)) << "a bar at rest needs no impulse";
        EXPECT_NEAR(Pov(gob)->GetScale().x, c.newLength, 1e-5f);
        EXPECT_FLOAT_EQ(Pov(gob)->GetScale().y, 0.2f);
        EXPECT_FLOAT_EQ(Pov(gob)->GetScale().z, 0.2f);
        EXPECT_NEAR(bar.lastLengthRatio, c.rest != 0.0f ? c.newLength / c.rest : 0.0f, 1e-5f);
        EXPECT_EQ(Body(gob)->position, position) << "the ends move alike, the centre stays";
        EXPECT_EQ(Body(gob)->velocity, Vector3());
    }
}

TEST_F(LengthConstraintTest, TheCentringImpulseHoldsTheBarAtItsCentreUnlessItHasNoInverseMass)
{
    struct Case
    {
        const char* name;
        float mass;
        Vector3 velocity;
        bool applied;
    };
    const Case cases[] = {
        {"drifting", 2.0f, Vector3(1, -2, 0), true},
        {"below the floor", 2.0f, Vector3(0.005f, 0, 0), false},
        {"without mass", 0.0f, Vector3(1, -2, 0), false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Gob* gob = Bar(2.0f, c.mass);
        Body(gob)->velocity = c.velocity;
        LengthConstraint bar;
        bar.SetBody(Body(gob));
        bar.restLength = 2.0f;
        EXPECT_EQ(bar.Solve(kFrame), c.applied);
        if (c.applied)
            EXPECT_LT(Body(gob)->velocity.Length(), 1e-5f);
        else
            EXPECT_EQ(Body(gob)->velocity, c.velocity);
    }
}

TEST_F(LengthConstraintTest, TheBarIsFiledWithItsBodyAndNeitherOutlivesTheOther)
{
    Gob* gob = Bar(2.0f);
    PhysicsComp* body = Body(gob);
    {
        LengthConstraint bar;
        bar.SetBody(body);
        bar.Enable();
        EXPECT_EQ(body->GetConstraints(), std::vector<Constraint*>{&bar});
        EXPECT_EQ(engine.GetConstraints(), std::vector<Constraint*>{&bar});
    }
    EXPECT_TRUE(body->GetConstraints().empty()) << "the destructor takes it off its body";
    EXPECT_TRUE(engine.GetConstraints().empty()) << "and out of the engine";

    LengthConstraint bar;
    bar.SetBody(body);
    bar.restLength = 1.0f;
    bar.Enable();
    GobManager::Instance().KillGob(gob);
    GobManager::Instance().ProcessKillList();
    EXPECT_EQ(bar.GetBody(), nullptr);
    EXPECT_FALSE(bar.IsEnabled());
    engine.Update(kFrame);
    EXPECT_FALSE(bar.Solve(kFrame));
}
