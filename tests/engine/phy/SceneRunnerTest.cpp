// The scene runner refuses scenes the broad phase would get wrong, naming the object, and
// records what a step did.
#include "physcene/SceneRunner.h"

#include "PhysicsTestWorld.h"

#include <gtest/gtest.h>

#include <string>

using math::Vector3;
using physcene::ObjectDesc;
using physcene::Scene;

namespace
{
class SceneRunnerTest : public phytest::PhysicsTest
{
};

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}
} // namespace

TEST_F(SceneRunnerTest, ScenesTheBroadPhaseWouldMissAreRefusedByObjectName)
{
    ObjectDesc tight = physcene::Ball("tight", Vector3(0, 5, 0));
    tight.bounds = math::AABB(Vector3(-0.5f, -0.5f, -0.5f), Vector3(0.5f, 0.5f, 0.5f)); // no margin
    ObjectDesc plank = physcene::Crate("plank", Vector3(0, 5, 0), Vector3(4, 1, 1));
    plank.bounds = math::AABB(Vector3(-0.51f, -0.6f, -0.6f), Vector3(0.51f, 0.6f, 0.6f)); // 2.04 of 2.05
    ObjectDesc smallGround = physcene::Ground("pond");
    smallGround.bounds = math::AABB(Vector3(-10, -1, -10), Vector3(10, 1, 10)); // filed below the root
    ObjectDesc outside = physcene::Ball("lost", Vector3(0, 700, 0));
    ObjectDesc twice = physcene::Ball("twice", Vector3(0, 5, 0));
    ObjectDesc ignoring = physcene::Ball("ignoring", Vector3(0, 5, 0));
    ignoring.ignores = {"nobody"};
    struct Case
    {
        std::vector<ObjectDesc> objects;
        std::vector<std::string> parts; // the message names these
    };
    const Case cases[] = {
        {{tight}, {"\"tight\"", "does not cover its hull plus the 0.05 margin"}},
        {{plank}, {"\"plank\"", "does not cover"}},
        {{smallGround}, {"\"pond\"", "root"}},
        {{outside}, {"\"lost\"", "outside the world box"}},
        {{twice, twice}, {"\"twice\"", "named twice"}},
        {{ignoring}, {"\"ignoring\"", "\"nobody\""}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.parts[0]);
        Scene scene;
        scene.objects = c.objects;
        physcene::SceneRunner runner;
        std::string error;
        EXPECT_FALSE(runner.Build(scene, &error));
        for (const std::string& part : c.parts)
            EXPECT_TRUE(Contains(error, part)) << error;
    }

    // The defaults pass: a ball's and a box's +-0.6, the ground's box across the root.
    Scene scene;
    scene.objects = {
        physcene::Ground(), physcene::Ball("ball", Vector3(0, 5, 0)),
        physcene::Crate("box", Vector3(3, 5, 0)),
        physcene::Slab("slab", Vector3(6, 0, 0), Vector3(0, 0, 0), Vector3(0, 0, 1), Vector3(1, 0, 0))};
    physcene::SceneRunner runner;
    std::string error;
    EXPECT_TRUE(runner.Build(scene, &error)) << error;
}

TEST_F(SceneRunnerTest, ABuiltSceneHasTheDescribedObjectsAndSettings)
{
    Scene scene;
    scene.gravity = Vector3(0, -1, 0);
    scene.collisionSteps = 2;
    scene.contactSteps = 3;
    scene.performShock = false;
    scene.allowFreeze = false;
    ObjectDesc ball = physcene::Ball("ball", Vector3(1, 5, 2));
    ball.mass = 2.0f;
    ball.velocity = Vector3(0, 0, 1);
    ball.angularVelocity = Vector3(0, 3, 0);
    ObjectDesc twin = ball;
    twin.name = "twin";
    twin.position = Vector3(4, 5, 2);
    scene.objects = {physcene::Ground(), ball, twin};
    physcene::SceneRunner runner;
    std::string error;
    ASSERT_TRUE(runner.Build(scene, &error)) << error;

    EXPECT_EQ(engine.gravity, Vector3(0, -1, 0));
    EXPECT_EQ(engine.GetCollisionSteps(), 2u);
    EXPECT_EQ(engine.GetContactSteps(), 3u);
    EXPECT_FALSE(engine.GetPerformShock());
    EXPECT_FALSE(engine.GetAllowFreeze());
    EXPECT_EQ(runner.Id("ground"), 1u);
    EXPECT_EQ(runner.Id("ball"), 2u);
    EXPECT_EQ(runner.Id("nobody"), 0u);
    dorvo::phy::PhysicsComp* body = runner.Body("ball");
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->GetMass(), 2.0f);
    EXPECT_EQ(GetPOVComp(runner.Object("ball"))->GetPosition(), Vector3(1, 5, 2));
    EXPECT_EQ(body->angularVelocity, Vector3(0, 3, 0));
    EXPECT_EQ(runner.Body("ground"), nullptr);
    // Objects alike but for their pose share one template.
    EXPECT_EQ(runner.Object("ball")->GetTemplateName(), runner.Object("twin")->GetTemplateName());

    runner.Step();
    ASSERT_EQ(runner.StepCount(), 1);
    const physcene::StepRecord& record = runner.Last();
    EXPECT_EQ(record.step, 1);
    ASSERT_EQ(record.bodies.size(), 2u) << "the ground has no body";
    EXPECT_EQ(record.bodies[0].id, runner.Id("ball"));
    EXPECT_NEAR(record.bodies[0].position.z, 2.0f + 1.0f / 30.0f, 1e-5f);
    EXPECT_NEAR(record.bodies[0].velocity.y, -1.0f / 30.0f, 1e-5f);
    // The first step sized the hull from the scale and gave the inertia of its mass.
    EXPECT_NEAR(body->GetInertia()[0][0], 0.4f * 2.0f * 0.25f, 1e-6f);
}
