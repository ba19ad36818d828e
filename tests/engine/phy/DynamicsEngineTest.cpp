#include "engine/phy/DynamicsEngine.h"

#include "PhysicsTestWorld.h"
#include "common/FunctionFlags.h"
#include "common/FunctionRegistry.h"
#include "engine/phy/CollisionInfo.h"
#include "engine/phy/Constraint.h"
#include "engine/phy/Force.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

using dorvo::phy::DynamicsEngine;
using dorvo::phy::PhysicsComp;
using math::Vector3;
using phytest::Body;
using phytest::CreateBody;
using phytest::Pov;

namespace
{
constexpr float kFrame = 1.0f / 30.0f; // 0.033333335, the game's step

void Type(const std::string& line)
{
    common::ConsoleInterface::Instance().WriteToConsole(line, common::FF_Execute, true);
}

// A body resting in space: no forces, no collision.
phytest::BodySpec RestingBody(const Vector3& position)
{
    phytest::BodySpec spec = phytest::Sphere(position);
    spec.forces.clear();
    spec.collision = false;
    return spec;
}

class CountingConstraint : public dorvo::phy::Constraint
{
public:
    bool Solve(float) override { return false; }
};

class DynamicsEngineWorld : public phytest::PhysicsTest
{
};
} // namespace

TEST_F(DynamicsEngineWorld, ATemplateSphereFallsUnderGravity)
{
    Gob* ball = CreateBody(phytest::Sphere(Vector3(0.0f, 10.0f, 0.0f)));
    ASSERT_NE(Body(ball), nullptr);
    EXPECT_EQ(engine.GetBodies().size(), 1u);

    engine.Update(kFrame);
    EXPECT_NEAR(Pov(ball)->GetVelocity().y, -0.326667f, 1e-4f);
    EXPECT_NEAR(Pov(ball)->GetPosition().y, 9.989111f, 1e-4f);
    for (int i = 1; i < 30; ++i)
        engine.Update(kFrame);
    EXPECT_NEAR(Pov(ball)->GetVelocity().y, -9.8f, 1e-4f);
    EXPECT_NEAR(Pov(ball)->GetPosition().y, 4.936667f, 1e-4f);
    EXPECT_EQ(Pov(ball)->GetPosition().x, 0.0f);
    EXPECT_EQ(Pov(ball)->GetPosition().z, 0.0f);
}

TEST_F(DynamicsEngineWorld, LongFramesRunATenthAndNegativeOrPausedFramesNothing)
{
    Gob* ball = CreateBody(phytest::Sphere(Vector3(0.0f, 10.0f, 0.0f)));
    engine.Update(0.25f);
    EXPECT_NEAR(Pov(ball)->GetVelocity().y, -0.98f, 1e-5f);
    EXPECT_NEAR(Pov(ball)->GetPosition().y, 10.0f - 0.098f, 1e-5f);

    phytest::BodySpec spinning = phytest::Box(Vector3(5.0f, 5.0f, 5.0f));
    spinning.velocity = Vector3(1.0f, 2.0f, 3.0f);
    Gob* box = CreateBody(spinning);
    Body(box)->angularVelocity = Vector3(0.0f, 1.0f, 0.0f);

    const auto snapshot = [&]
    {
        std::vector<float> values;
        for (Gob* gob : {ball, box})
        {
            const POVComp* pov = Pov(gob);
            for (const Vector3& v : {pov->GetPosition(), pov->GetVelocity()})
                values.insert(values.end(), {v.x, v.y, v.z});
            const math::Quaternion q = pov->GetOrientation();
            values.insert(values.end(), {q.w, q.x, q.y, q.z});
        }
        return values;
    };
    const std::vector<float> before = snapshot();
    engine.Update(-1.0f);
    EXPECT_EQ(snapshot(), before) << "a negative frame";
    engine.paused = true;
    for (int i = 0; i < 10; ++i)
        engine.Update(kFrame);
    EXPECT_EQ(snapshot(), before) << "paused frames";
    engine.paused = false;
    engine.Update(0.0f);
    EXPECT_EQ(snapshot(), before) << "a frame of no time moves nothing";
    engine.Update(kFrame);
    EXPECT_NE(snapshot(), before);
}

TEST_F(DynamicsEngineWorld, ABodyWithoutForcesStaysAndGravityChangesActFromTheNextStep)
{
    Gob* still = CreateBody(RestingBody(Vector3(0.0f, 10.0f, 0.0f)));
    Gob* ball = CreateBody(phytest::Sphere(Vector3(2.0f, 10.0f, 0.0f)));
    engine.Update(kFrame);
    EXPECT_EQ(Pov(still)->GetPosition(), Vector3(0.0f, 10.0f, 0.0f));
    EXPECT_EQ(Pov(still)->GetVelocity(), Vector3(0.0f, 0.0f, 0.0f));

    engine.gravity = Vector3(0.0f, 0.0f, -9.8f);
    engine.Update(kFrame);
    EXPECT_NEAR(Pov(ball)->GetVelocity().y, -0.326667f, 1e-5f) << "y no longer gains";
    EXPECT_NEAR(Pov(ball)->GetVelocity().z, -0.326667f, 1e-5f);
    EXPECT_EQ(Pov(still)->GetVelocity(), Vector3(0.0f, 0.0f, 0.0f));
}

TEST_F(DynamicsEngineWorld, AGameMovedObjectIsSteppedFromWhereTheGamePutIt)
{
    Gob* ball = CreateBody(RestingBody(Vector3(0.0f, 10.0f, 0.0f)));
    engine.Update(kFrame);
    Pov(ball)->SetPosition(Vector3(3.0f, 4.0f, 5.0f), true);
    Pov(ball)->SetVelocity(Vector3(3.0f, 0.0f, 0.0f));
    engine.Update(kFrame);
    EXPECT_NEAR(Pov(ball)->GetPosition().x, 3.1f, 1e-5f);
    EXPECT_EQ(Pov(ball)->GetPosition().y, 4.0f);
}

TEST_F(DynamicsEngineWorld, ARestingBodyFreezesInTheStepItsTimerFirstPassesThreeSeconds)
{
    Gob* gob = CreateBody(RestingBody(Vector3(1.0f, 2.0f, 3.0f)));
    PhysicsComp* body = Body(gob);
    // The first two steps take the reference position and orientation.
    engine.Update(kFrame);
    engine.Update(kFrame);
    EXPECT_EQ(body->freezeTimer, 0.0f);

    int stepsAtRest = 0;
    float previousTimer = 0.0f;
    while (!body->frozen && stepsAtRest < 200)
    {
        previousTimer = body->freezeTimer;
        engine.Update(kFrame);
        ++stepsAtRest;
    }
    EXPECT_EQ(stepsAtRest, 91);
    EXPECT_LE(previousTimer, 3.0f);
    EXPECT_GT(body->freezeTimer, 3.0f);
    EXPECT_EQ(body->freezePosition, Vector3(1.0f, 2.0f, 3.0f));

    engine.Update(kFrame);
    EXPECT_TRUE(engine.GetActiveBodies().empty()) << "a frozen body leaves the step";
    EXPECT_TRUE(body->frozen);

    // Waking through either door clears the flags and brings it back once.
    body->Wake();
    engine.WakeBody(body);
    body->Wake();
    EXPECT_FALSE(body->frozen);
    EXPECT_EQ(body->freezeTimer, 0.0f);
    EXPECT_EQ(engine.GetActiveBodies(), std::vector<PhysicsComp*>{body});
}

TEST_F(DynamicsEngineWorld, SleepingBodiesSlowDownAndADriftRestartsTheTimer)
{
    phytest::BodySpec spec = RestingBody(Vector3(0.0f, 5.0f, 0.0f));
    Gob* gob = CreateBody(spec);
    PhysicsComp* body = Body(gob);
    engine.Update(kFrame);
    engine.Update(kFrame);
    for (int i = 0; i < 10; ++i)
        engine.Update(kFrame);
    EXPECT_GT(body->freezeTimer, 0.3f);

    // The game pushes it 0.25 away: |d|^2 = 0.0625 > 0.04.
    Pov(gob)->SetPosition(Vector3(0.25f, 5.0f, 0.0f), true);
    engine.Update(kFrame);
    EXPECT_EQ(body->freezeTimer, 0.0f);
    EXPECT_EQ(body->freezePosition, Vector3(0.25f, 5.0f, 0.0f));

    // A slow drift below the moving threshold is damped from half the freeze time on.
    body->freezeTimer = 2.25f;
    Pov(gob)->SetVelocity(Vector3(0.2f, 0.0f, 0.0f));
    engine.Update(kFrame);
    EXPECT_NEAR(Pov(gob)->GetVelocity().x, 0.1f, 1e-6f) << "factor 0.5 at 2.25 s";
}

TEST_F(DynamicsEngineWorld, TurningFreezingOffWakesEveryBodyAndStopsTheTimers)
{
    Gob* sleeper = CreateBody(RestingBody(Vector3(0.0f, 5.0f, 0.0f)));
    Gob* dozer = CreateBody(RestingBody(Vector3(3.0f, 5.0f, 0.0f)));
    Body(sleeper)->frozen = true;
    Body(sleeper)->freezeTimer = 3.1f;
    Body(dozer)->freezeTimer = 2.0f;

    engine.SetAllowFreeze(false);
    EXPECT_FALSE(engine.GetAllowFreeze());
    EXPECT_FALSE(Body(sleeper)->frozen);
    EXPECT_EQ(Body(sleeper)->freezeTimer, 0.0f);
    EXPECT_EQ(Body(dozer)->freezeTimer, 0.0f);
    for (int i = 0; i < 200; ++i)
        engine.Update(kFrame);
    EXPECT_FALSE(Body(dozer)->frozen);
    EXPECT_EQ(Body(dozer)->freezeTimer, 0.0f);
    EXPECT_EQ(engine.GetActiveBodies().size(), 2u);
}

TEST_F(DynamicsEngineWorld, AKilledFrozenContactIsForgottenAndLiveOnesAreWoken)
{
    Gob* rider = CreateBody(RestingBody(Vector3(0.0f, 5.0f, 0.0f)));
    Gob* doomed = CreateBody(RestingBody(Vector3(0.0f, 4.0f, 0.0f)));
    Gob* sleeper = CreateBody(RestingBody(Vector3(1.0f, 4.0f, 0.0f)));
    Body(doomed)->frozen = true;
    Body(sleeper)->frozen = true;
    PhysicsComp* body = Body(rider);
    body->AddFrozenContact(Body(doomed), body->position);
    body->AddFrozenContact(Body(sleeper), Vector3(9.0f, 9.0f, 9.0f)); // the first position stays
    body->AddFrozenContact(Body(sleeper), body->position);
    EXPECT_EQ(body->GetFrozenContacts().size(), 2u);
    EXPECT_EQ(body->GetFrozenContactPosition(), Vector3(0.0f, 5.0f, 0.0f));

    GobManager::Instance().KillGob(doomed);
    GobManager::Instance().ProcessKillList();
    EXPECT_EQ(body->GetFrozenContacts(), std::vector<PhysicsComp*>{Body(sleeper)});

    body->position = Vector3(0.1f, 5.0f, 0.0f); // |d|^2 = 0.01: not yet
    body->WakeFrozenContacts();
    EXPECT_TRUE(Body(sleeper)->frozen);
    body->position = Vector3(0.2f, 5.0f, 0.0f); // |d|^2 = 0.04
    body->WakeFrozenContacts();
    EXPECT_FALSE(Body(sleeper)->frozen);
    EXPECT_TRUE(body->GetFrozenContacts().empty());
}

TEST_F(DynamicsEngineWorld, ImmovableBodiesNeitherWakeNorTakePartButFeelTheirForces)
{
    phytest::BodySpec spec = phytest::Sphere(Vector3(0.0f, 5.0f, 0.0f));
    spec.immovable = true;
    Gob* post = CreateBody(spec);
    Body(post)->frozen = true;
    engine.WakeBody(Body(post));
    EXPECT_TRUE(Body(post)->frozen);
    engine.Update(kFrame);
    EXPECT_TRUE(engine.GetActiveBodies().empty());
    EXPECT_EQ(Pov(post)->GetPosition(), Vector3(0.0f, 5.0f, 0.0f));
    EXPECT_NEAR(Body(post)->force.y, -9.8f, 1e-6f) << "forces accumulate for every body";
}

TEST_F(DynamicsEngineWorld, AConstraintQueuedTwiceAsBrokenIsDisabledOnceAndGoneAfterTheStep)
{
    CountingConstraint constraint;
    constraint.Enable();
    constraint.Enable();
    EXPECT_EQ(engine.GetConstraints(), std::vector<dorvo::phy::Constraint*>{&constraint});

    constraint.Break();
    constraint.Break();
    EXPECT_EQ(engine.GetBrokenConstraints().size(), 1u);
    EXPECT_TRUE(constraint.IsEnabled()) << "a broken constraint acts until the end of the step";
    engine.Update(kFrame);
    EXPECT_FALSE(constraint.IsEnabled());
    EXPECT_TRUE(engine.GetConstraints().empty());
    EXPECT_TRUE(engine.GetBrokenConstraints().empty());

    // It may be enabled again, and a destroyed one leaves no trace in either list.
    {
        CountingConstraint shortLived;
        shortLived.Enable();
        shortLived.Break();
    }
    EXPECT_TRUE(engine.GetConstraints().empty());
    EXPECT_TRUE(engine.GetBrokenConstraints().empty());
    engine.Update(kFrame);
    constraint.Enable();
    EXPECT_TRUE(constraint.IsEnabled());
    constraint.Disable();
    constraint.Disable();
    EXPECT_TRUE(engine.GetConstraints().empty());
}

TEST_F(DynamicsEngineWorld, ConsoleCommandsChangeTheSettings)
{
    struct Case
    {
        const char* line;
        std::vector<std::string> output;
    };
    const Case cases[] = {
        {"collisionSteps 3", {">Function: collisionSteps called successfully.", ">collisionSteps 3"}},
        {"collisionSteps -1",
         {">Function: collisionSteps parameter list does not match function prototype.",
          ">collisionSteps -1"}},
        {"contactSteps 0", {">Function: contactSteps called successfully.", ">contactSteps 0"}},
        {"performShock off", {">Function: performShock called successfully.", ">performShock off"}},
        {"allowFreeze f", {">Function: allowFreeze called successfully.", ">allowFreeze f"}},
        {"help contactSteps", {">Sets the number of contact steps.", ">help contactSteps"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.line);
        common::ConsoleInterface::Instance().ClearOutput();
        Type(c.line);
        EXPECT_EQ(phytest::ConsoleLines(), c.output);
    }
    EXPECT_EQ(engine.GetCollisionSteps(), 3u) << "-1 is refused";
    EXPECT_EQ(engine.GetContactSteps(), 0u);
    EXPECT_FALSE(engine.GetPerformShock());
    EXPECT_FALSE(engine.GetAllowFreeze());

    common::ConsoleInterface::Instance().RegisterConsoleCommands(); // "commands" is the console's own
    common::ConsoleInterface::Instance().ClearOutput();
    Type("commands");
    const std::vector<std::string> lines = phytest::ConsoleLines();
    for (const char* help : {">allowFreeze - Set whether to allow freezing or not.",
                             ">collisionSteps - Sets the number of collision steps.",
                             ">contactSteps - Sets the number of contact steps.",
                             ">performShock - Set whether to perfrom shock step or not."})
    {
        SCOPED_TRACE(help);
        EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string(help)), 1);
    }

    engine.Reset();
    EXPECT_EQ(engine.GetCollisionSteps(), 6u);
    EXPECT_EQ(engine.GetContactSteps(), 6u);
    EXPECT_TRUE(engine.GetPerformShock());
    EXPECT_TRUE(engine.GetAllowFreeze());
}

TEST_F(DynamicsEngineWorld, StartingAgainChangesNothing)
{
    FunctionRegistry& commands = common::ConsoleInterface::Instance().GetCommands();
    const std::size_t count = commands.GetCount();
    Loki::BaseFunctor* collisionSteps = commands.FindFunction("collisionSteps");
    const std::uint32_t typeID = PhysicsComp::StaticTypeID();
    engine.Init();
    EXPECT_EQ(commands.GetCount(), count);
    EXPECT_EQ(commands.FindFunction("collisionSteps"), collisionSteps);
    EXPECT_EQ(PhysicsComp::StaticTypeID(), typeID);
    EXPECT_EQ(typeID, HashName("PhysicsComp"));
    EXPECT_EQ(dorvo::phy::CollisionComp::StaticTypeID(), HashName("CollisionComp"));

    std::unique_ptr<dorvo::phy::Force> gravity(engine.CreateForce("Gravity"));
    std::unique_ptr<dorvo::phy::Force> drag(engine.CreateForce("DragForce"));
    EXPECT_NE(gravity, nullptr);
    EXPECT_NE(drag, nullptr);
    EXPECT_EQ(engine.CreateForce("Buoyancy"), nullptr) << "the game registers that one";
}

// ---- The step with collision detection ----

namespace
{
// A ground plane filed at the oct tree's root, so that every body meets it.
Gob* CreateGround()
{
    phytest::BodySpec spec = phytest::Plane(Vector3(0.0f, 1.0f, 0.0f), 0.0f);
    spec.bounds = math::AABB(Vector3(-80.0f, -1.0f, -80.0f), Vector3(140.0f, 1.0f, 140.0f));
    return CreateBody(spec);
}

// Counts its calls; breaks in its first Prepare.
class BreakingConstraint : public dorvo::phy::Constraint
{
public:
    void Prepare(float) override
    {
        if (prepared++ == 0)
            Break();
    }
    bool Solve(float) override
    {
        ++solved;
        return false;
    }
    int prepared = 0;
    int solved = 0;
};

// Gives a body a velocity in the first sweep it is solved in.
class PushingConstraint : public dorvo::phy::Constraint
{
public:
    explicit PushingConstraint(PhysicsComp* target) : m_target(target) {}
    bool Solve(float) override
    {
        if (pushed)
            return false;
        pushed = true;
        m_target->velocity = Vector3(1.0f, 0.0f, 0.0f);
        return true;
    }
    bool pushed = false;

private:
    PhysicsComp* m_target;
};
} // namespace

TEST_F(DynamicsEngineWorld, ShockPropagationOrdersBodiesAlongAStrictlyDominantGravityAxis)
{
    // Ids 1, 2, 3 at heights 3, 1, 2 and x 1, 3, 2.
    std::vector<PhysicsComp*> bodies;
    const Vector3 places[] = {Vector3(1, 3, 0), Vector3(3, 1, 0), Vector3(2, 2, 0)};
    for (const Vector3& place : places)
        bodies.push_back(Body(CreateBody(RestingBody(place))));
    struct Case
    {
        Vector3 gravity;
        std::vector<int> order; // indices into `bodies`
    };
    const Case cases[] = {
        {Vector3(0, -9.8f, 0), {1, 2, 0}}, // the lowest first
        {Vector3(0, 9.8f, 0), {0, 2, 1}},  // the highest first
        {Vector3(-5, 1, 0), {0, 2, 1}},    // along x, the smallest x first
        {Vector3(1, 1, 0), {0, 1, 2}},     // a tie: the id order stays
        {Vector3(0, 0, 0), {0, 1, 2}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::PrintToString(c.order));
        engine.gravity = c.gravity;
        std::vector<PhysicsComp*> sorted = bodies;
        engine.SortBodiesAlongGravity(sorted);
        for (std::size_t i = 0; i < sorted.size(); ++i)
            EXPECT_EQ(sorted[i], bodies[static_cast<std::size_t>(c.order[i])]) << i;
    }
}

TEST_F(DynamicsEngineWorld, AConstraintThatBreaksInPrepareIsSolvedInEveryLaterSweepOfItsStep)
{
    BreakingConstraint constraint;
    constraint.Enable();
    engine.SetCollisionSteps(3);
    engine.SetContactSteps(4);
    engine.Update(kFrame);
    EXPECT_EQ(constraint.prepared, 2) << "once per pass";
    EXPECT_EQ(constraint.solved, 3 + 4);
    EXPECT_FALSE(constraint.IsEnabled()) << "disabled at the end of the step";
    EXPECT_TRUE(engine.GetConstraints().empty());
}

TEST_F(DynamicsEngineWorld, AFrozenBodyPushedInASweepWakesOnceAndItsNewContactsArePrepared)
{
    CreateGround();
    Gob* ball = CreateBody(phytest::Sphere(Vector3(0.0f, 0.5f, 0.0f)));
    PhysicsComp* body = Body(ball);
    body->frozen = true;
    body->disturbed = false;
    PushingConstraint push(body);
    push.Enable();
    engine.SetPerformShock(false); // which would prepare the contact itself

    engine.Update(kFrame);
    EXPECT_TRUE(push.pushed);
    EXPECT_FALSE(body->frozen);
    EXPECT_EQ(std::count(engine.GetActiveBodies().begin(), engine.GetActiveBodies().end(), body), 1);
    ASSERT_EQ(engine.GetCollisionInfos().size(), 1u) << "the woken ball's contact with the ground";
    EXPECT_GT(engine.GetCollisionInfos()[0]->contacts[0].k, 0.0f);
    // The prepared contact held the ball up against the gravity it took once awake.
    EXPECT_GT(body->velocity.y, -0.01f);
    EXPECT_NEAR(body->position.y, 0.5f, 0.02f);
    push.Disable();
}

TEST_F(DynamicsEngineWorld, WakingABodyWakesTheFrozenBodiesPressingOnItButNotThoseUnderIt)
{
    CreateGround();
    std::vector<Gob*> stack;
    for (int i = 0; i < 3; ++i)
    {
        phytest::BodySpec box = phytest::Box(Vector3(0.0f, 0.5f + 1.0f * i, 0.0f));
        box.extent = Vector3(); // sized, and given inertia, by the first step
        box.coeffRes = 0.0f;
        stack.push_back(CreateBody(box));
    }
    for (int i = 0; i < 200 && !Body(stack[2])->frozen; ++i)
        engine.Update(kFrame);
    for (Gob* box : stack)
        ASSERT_TRUE(Body(box)->frozen);

    engine.WakeBody(Body(stack[1]));
    EXPECT_FALSE(Body(stack[1])->frozen);
    EXPECT_FALSE(Body(stack[2])->frozen) << "its weight presses on the woken box";
    EXPECT_TRUE(Body(stack[0])->frozen) << "the woken box presses on it, not it on the woken box";
}

TEST_F(DynamicsEngineWorld, AFrozenBodyMovingFastEnoughWakesAndADisturbedSlowOneIsStopped)
{
    struct Case
    {
        const char* name;
        Vector3 velocity;
        Vector3 angular;
        bool disturbed;
        bool frozenAfter;
        bool stopped;
    };
    const Case cases[] = {
        {"fast", Vector3(0.4f, 0, 0), Vector3(), false, false, false},
        {"turning", Vector3(), Vector3(0, 0.5f, 0), false, false, false},
        {"slow and disturbed", Vector3(0.3f, 0, 0), Vector3(0, 0.4f, 0), true, true, true},
        {"slow and left alone", Vector3(0.3f, 0, 0), Vector3(), false, true, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        PhysicsComp* body = Body(CreateBody(RestingBody(Vector3(0.0f, 5.0f, 0.0f))));
        body->frozen = true;
        body->velocity = c.velocity;
        body->angularVelocity = c.angular;
        body->disturbed = c.disturbed;
        engine.CheckFrozenBodies();
        EXPECT_EQ(body->frozen, c.frozenAfter);
        EXPECT_EQ(body->velocity.LengthSquared() == 0.0f && body->angularVelocity.LengthSquared() == 0.0f,
                  c.stopped);
        EXPECT_FALSE(c.stopped && body->disturbed);
        body->frozen = false;
        GobManager::Instance().DestroyAllGobs();
        engine.Reset();
        ASSERT_TRUE(engine.GetBodies().empty());
    }
}

TEST_F(DynamicsEngineWorld, AnAwakeBodyRemembersTheFrozenBodiesItTouchesAndWakesThemOnceItMovesOff)
{
    CreateGround();
    phytest::BodySpec boxSpec = phytest::Box(Vector3(0.0f, 0.5f, 0.0f), Vector3(3.0f, 1.0f, 3.0f));
    boxSpec.coeffRes = 0.0f;
    Gob* box = CreateBody(boxSpec);
    phytest::BodySpec ballSpec = phytest::Sphere(Vector3(0.0f, 1.5f, 0.0f));
    ballSpec.coeffRes = 0.0f;
    Gob* ball = CreateBody(ballSpec);
    Body(box)->frozen = true;

    engine.Update(kFrame);
    ASSERT_EQ(Body(ball)->GetFrozenContacts().size(), 1u);
    EXPECT_EQ(Body(ball)->GetFrozenContacts()[0], Body(box));
    EXPECT_TRUE(Body(box)->frozen);

    // Rolled 0.3 along the box: far enough from where it first touched it.
    Pov(ball)->SetPosition(Pov(ball)->GetPosition() + Vector3(0.3f, 0.0f, 0.0f), true);
    engine.Update(kFrame);
    EXPECT_FALSE(Body(box)->frozen);
}
