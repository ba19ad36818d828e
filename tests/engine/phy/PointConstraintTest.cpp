#include "engine/phy/PointConstraint.h"

#include "PhysicsTestWorld.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

using dorvo::phy::Constraint;
using dorvo::phy::PhysicsComp;
using dorvo::phy::PointConstraint;
using math::Vector3;
using phytest::Body;
using phytest::CreateBody;

namespace
{
constexpr float kFrame = 1.0f / 30.0f;
const Vector3 kPivot(0.0f, 5.0f, 0.0f);

// A sphere of mass 1 floating in space: no forces, no hull, no turning unless given inertia.
PhysicsComp* FreeBody(const Vector3& position, float mass = 1.0f)
{
    phytest::BodySpec spec = phytest::Sphere(position);
    spec.forces.clear();
    spec.collision = false;
    spec.mass = mass;
    return Body(CreateBody(spec));
}

bool Lists(const PhysicsComp* body, const Constraint* constraint)
{
    for (const Constraint* listed : body->GetConstraints())
        if (listed == constraint)
            return true;
    return false;
}

void Kill(PhysicsComp* body)
{
    GobManager::Instance().KillGob(body->GetOwner());
    GobManager::Instance().ProcessKillList();
}

class PointConstraintTest : public phytest::PhysicsTest
{
};
} // namespace

TEST_F(PointConstraintTest, PrepareTurnsTheSeparationBeyondTheToleranceIntoACorrectionVelocity)
{
    struct Case
    {
        const char* name;
        Vector3 position;
        float tolerance;
        float correctionTime;
        float dt;
        float bias; // along +x
    };
    const Case cases[] = {
        {"corrected over half a second", Vector3(1, 5, 0), 0.001f, 0.5f, kFrame, 0.999f / 0.5f},
        {"correction time 0: over the step", Vector3(1, 5, 0), 0.001f, 0.0f, kFrame, 0.999f / kFrame},
        {"a step longer than the correction time", Vector3(1, 5, 0), 0.001f, 0.01f, kFrame, 0.999f / kFrame},
        {"no time at all still divides safely", Vector3(1, 5, 0), 0.001f, 0.0f, 0.0f, 0.999f / 1e-7f},
        {"within the tolerance", Vector3(1, 5, 0), 1.5f, 0.5f, kFrame, 0.0f},
        {"on the point with a negative tolerance", kPivot, -0.5f, 0.5f, kFrame, 0.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        PhysicsComp* body = FreeBody(c.position);
        PointConstraint joint;
        joint.SetWorld(body, Vector3(), kPivot, c.tolerance, c.correctionTime, 0.0f);
        joint.Prepare(c.dt);
        EXPECT_NEAR(joint.GetBias().x, c.bias, std::fabs(c.bias) * 1e-5f);
        EXPECT_EQ(joint.GetBias().y, 0.0f);
        EXPECT_EQ(joint.GetBias().z, 0.0f);
        EXPECT_TRUE(std::isfinite(joint.GetBias().x));
        EXPECT_FALSE(joint.IsEnabled()) << "binding does not enable";
    }
}

TEST_F(PointConstraintTest, AnchorsTurnWithTheirBodiesAndTheImpulseActsAtTheMidpoint)
{
    phytest::BodySpec spec = phytest::Sphere(Vector3(2, 5, 0));
    spec.forces.clear();
    spec.collision = false;
    spec.inertia = Vector3(1, 1, 1);
    spec.orientation.SetFromAxisAngle(Vector3(0, 1, 0), math::kPi * 0.5f);
    PhysicsComp* body = Body(CreateBody(spec));
    PointConstraint joint;
    joint.SetWorld(body, Vector3(1, 0, 0), kPivot, 0.001f, 0.5f, 0.0f);
    joint.Prepare(kFrame);

    const Vector3 offset = body->orientation.Rotate(Vector3(1, 0, 0));
    EXPECT_NEAR(std::fabs(offset.z), 1.0f, 1e-5f) << "the local x axis turned onto z";
    EXPECT_EQ(joint.GetOffsetA(), offset);
    EXPECT_EQ(joint.GetOffsetB(), Vector3());
    const Vector3 anchor = body->position + offset;
    EXPECT_EQ(joint.GetMidpoint(), (anchor + kPivot) * 0.5f);

    ASSERT_TRUE(joint.Solve(kFrame));
    // The whole impulse went in at the midpoint: the spin is the lever from the centre to the
    // midpoint crossed with the momentum given.
    const Vector3 impulse = body->velocity * body->GetMass();
    const Vector3 spin = (joint.GetMidpoint() - body->position).Cross(impulse);
    EXPECT_NEAR((body->angularVelocity - spin).Length(), 0.0f, 1e-5f);
}

TEST_F(PointConstraintTest, TwoBodiesMovingAlikeGetNothingAndPartingOnesAreStoppedTogether)
{
    PhysicsComp* a = FreeBody(Vector3(0, 5, 0));
    PhysicsComp* b = FreeBody(Vector3(1, 5, 0), 3.0f);
    PointConstraint joint;
    // Anchors at the shared point (0.5, 5, 0).
    joint.Set(a, b, Vector3(0.5f, 0, 0), Vector3(-0.5f, 0, 0), 0.001f, 0.0f, 0.0f);
    a->velocity = b->velocity = Vector3(1, 2, 3);
    joint.Prepare(kFrame);
    EXPECT_EQ(joint.GetBias(), Vector3());
    EXPECT_FALSE(joint.Solve(kFrame));
    EXPECT_EQ(a->velocity, Vector3(1, 2, 3));
    EXPECT_EQ(b->velocity, Vector3(1, 2, 3));

    a->velocity = Vector3(-2, 0, 0);
    b->velocity = Vector3(2, 0, 0);
    EXPECT_TRUE(joint.Solve(kFrame));
    EXPECT_NEAR((a->velocity - b->velocity).Length(), 0.0f, 1e-6f) << "no relative motion left";
    const Vector3 momentum = a->velocity * a->GetMass() + b->velocity * b->GetMass();
    EXPECT_NEAR((momentum - Vector3(4, 0, 0)).Length(), 0.0f, 1e-5f);
}

TEST_F(PointConstraintTest, RelativeSpeedsAreCappedAtTwentyAndIgnoredBelowTheFloor)
{
    struct Case
    {
        float speed;
        bool applied;
        float after;
    };
    const Case cases[] = {
        {30.0f, true, 10.0f},    // sized for 20
        {20.5f, true, 0.5f},     // likewise
        {19.0f, true, 0.0f},     // stopped
        {0.009f, true, 0.0f},    // just above the floor
        {0.007f, false, 0.007f}, // below it
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.speed);
        PhysicsComp* body = FreeBody(kPivot);
        PointConstraint joint;
        joint.SetWorld(body, Vector3(), kPivot, 0.001f, 0.0f, 0.0f);
        body->velocity = Vector3(c.speed, 0, 0);
        joint.Prepare(kFrame);
        EXPECT_EQ(joint.Solve(kFrame), c.applied);
        EXPECT_NEAR(body->velocity.x, c.after, 1e-5f);
    }
}

TEST_F(PointConstraintTest, FrozenPairsMasslessPairsAndImmovableBodiesAreLeftAlone)
{
    struct Case
    {
        const char* name;
        bool frozenA, frozenB;
        float massA, massB;
        bool immovableA;
        bool applied;
        bool aMoves, bMoves;
    };
    const Case cases[] = {
        {"both frozen", true, true, 1, 1, false, false, false, false},
        {"one frozen", true, false, 1, 1, false, true, true, true},
        {"both without mass", false, false, 0, 0, false, false, false, false},
        {"one immovable", false, false, 1, 1, true, true, false, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        PhysicsComp* a = FreeBody(Vector3(0, 5, 0), c.massA);
        PhysicsComp* b = FreeBody(Vector3(1, 5, 0), c.massB);
        a->frozen = c.frozenA;
        b->frozen = c.frozenB;
        a->immovable = c.immovableA;
        a->velocity = Vector3(0, 1, 0);
        PointConstraint joint;
        joint.Set(a, b, Vector3(0.5f, 0, 0), Vector3(-0.5f, 0, 0), 0.001f, 0.0f, 0.0f);
        joint.Prepare(kFrame);
        EXPECT_EQ(joint.Solve(kFrame), c.applied);
        EXPECT_EQ(a->velocity != Vector3(0, 1, 0), c.aMoves);
        EXPECT_EQ(b->velocity != Vector3(), c.bMoves);
    }

    // A frozen body on a world joint is still held (it wakes through the engine's speed test).
    PhysicsComp* sleeper = FreeBody(Vector3(10, 5, 0));
    sleeper->frozen = true;
    sleeper->velocity = Vector3(0, -1, 0);
    PointConstraint pin;
    pin.SetWorld(sleeper, Vector3(), Vector3(10, 5, 0), 0.001f, 0.0f, 0.0f);
    pin.Prepare(kFrame);
    EXPECT_TRUE(pin.Solve(kFrame));
    EXPECT_NEAR(sleeper->velocity.y, 0.0f, 1e-6f);
}

TEST_F(PointConstraintTest, AJointPulledPastItsBreakDistanceActsToTheEndOfTheStepAndIsThenDisabled)
{
    struct Case
    {
        float separation;
        float breakDistance;
        bool breaks;
    };
    const Case cases[] = {{2.5f, 2.0f, true}, {2.0f, 2.0f, false}, {100.0f, 0.0f, false}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.separation);
        PhysicsComp* body = FreeBody(kPivot + Vector3(c.separation, 0, 0));
        PointConstraint joint;
        joint.SetWorld(body, Vector3(), kPivot, 0.001f, 0.5f, c.breakDistance);
        joint.Enable();
        engine.Update(kFrame);
        EXPECT_LT(body->velocity.x, -1.0f) << "held through the step in which it broke";
        EXPECT_EQ(joint.IsEnabled(), !c.breaks);
        EXPECT_TRUE(engine.GetBrokenConstraints().empty());
        EXPECT_TRUE(joint.IsBound()) << "a broken joint can be enabled again";
        if (c.breaks)
        {
            const Vector3 velocity = body->velocity;
            engine.Update(kFrame);
            EXPECT_EQ(body->velocity, velocity) << "free once disabled";
            joint.Enable();
            joint.Prepare(kFrame);
            EXPECT_EQ(engine.GetBrokenConstraints().size(), 1u) << "and breaks again";
            joint.Disable();
        }
    }
}

TEST_F(PointConstraintTest, EnablingDisablingAndDestroyingKeepTheEngineAndTheBodiesListsTrue)
{
    PhysicsComp* a = FreeBody(Vector3(0, 5, 0));
    PhysicsComp* b = FreeBody(Vector3(1, 5, 0));
    auto joint = std::make_unique<PointConstraint>();
    joint->Disable();
    EXPECT_TRUE(engine.GetConstraints().empty()) << "disabling a disabled joint does nothing";
    joint->Set(a, b, Vector3(), Vector3(), 0.001f, 0.0f, 0.0f);
    joint->Enable();
    joint->Enable();
    EXPECT_EQ(engine.GetConstraints(), std::vector<Constraint*>{joint.get()});
    EXPECT_EQ(a->GetConstraints(), std::vector<Constraint*>{joint.get()});
    EXPECT_EQ(b->GetConstraints(), std::vector<Constraint*>{joint.get()});

    // Binding anew moves the joint between the bodies' lists, enabled or not.
    PhysicsComp* c = FreeBody(Vector3(5, 5, 0));
    joint->Set(a, c, Vector3(), Vector3(), 0.001f, 0.0f, 0.0f);
    EXPECT_TRUE(Lists(a, joint.get()));
    EXPECT_FALSE(Lists(b, joint.get()));
    EXPECT_TRUE(Lists(c, joint.get()));
    joint->SetWorld(c, Vector3(), kPivot, 0.001f, 0.0f, 0.0f);
    EXPECT_FALSE(Lists(a, joint.get()));
    EXPECT_EQ(c->GetConstraints().size(), 1u);
    EXPECT_TRUE(joint->IsWorldJoint());
    joint->Set(nullptr, b, Vector3(), Vector3(), 0.001f, 0.0f, 0.0f);
    EXPECT_FALSE(joint->IsBound()) << "nothing to hold without the first body";
    EXPECT_TRUE(c->GetConstraints().empty());
    EXPECT_TRUE(b->GetConstraints().empty());

    joint->Set(a, b, Vector3(), Vector3(), 0.001f, 0.0f, 0.0f);
    joint.reset();
    EXPECT_TRUE(engine.GetConstraints().empty());
    EXPECT_TRUE(a->GetConstraints().empty());
    EXPECT_TRUE(b->GetConstraints().empty());
}

TEST_F(PointConstraintTest, KillingABodyLeavesTheJointUnboundAndHarmlessUntilItIsBoundAgain)
{
    enum Kind
    {
        KILL_A,
        KILL_B,
        KILL_WORLD_BODY,
    };
    for (Kind kind : {KILL_A, KILL_B, KILL_WORLD_BODY})
    {
        SCOPED_TRACE(kind);
        PhysicsComp* a = FreeBody(Vector3(0, 5, 0));
        PhysicsComp* b = FreeBody(Vector3(3, 5, 0));
        PointConstraint joint;
        if (kind == KILL_WORLD_BODY)
            joint.SetWorld(a, Vector3(), Vector3(0, 8, 0), 0.001f, 0.0f, 0.0f);
        else
            joint.Set(a, b, Vector3(), Vector3(), 0.001f, 0.0f, 0.0f);
        joint.Enable();
        // The world joint's body is a; b then only stands by for the new binding.
        PhysicsComp* victim = kind == KILL_B ? b : a;
        PhysicsComp* survivor = kind == KILL_B ? a : b;
        Kill(victim);
        engine.Update(kFrame);
        EXPECT_FALSE(joint.IsEnabled());
        EXPECT_FALSE(joint.IsBound());
        EXPECT_EQ(joint.GetBodyA(), nullptr);
        EXPECT_EQ(joint.GetBodyB(), nullptr);
        EXPECT_FALSE(Lists(survivor, &joint));

        joint.Enable();
        // The step takes the velocity from the object, as it would after the game moved it.
        survivor->GetPOVComp()->SetVelocity(Vector3(0, 3, 0));
        engine.Update(kFrame);
        EXPECT_EQ(survivor->velocity, Vector3(0, 3, 0)) << "no impulse while unbound";
        joint.Prepare(kFrame);
        EXPECT_FALSE(joint.Solve(kFrame));

        PhysicsComp* other = FreeBody(Vector3(6, 5, 0));
        joint.Set(survivor, other, Vector3(), Vector3(), 0.001f, 0.0f, 0.0f);
        EXPECT_TRUE(Lists(survivor, &joint));
        EXPECT_TRUE(Lists(other, &joint));
        engine.Update(kFrame);
        EXPECT_NE(survivor->velocity, Vector3(0, 3, 0)) << "held again";
        joint.Disable();
        GobManager::Instance().DestroyAllGobs();
        EXPECT_FALSE(joint.IsBound());
    }
}
