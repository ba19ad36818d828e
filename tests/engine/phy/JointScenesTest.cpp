// Ball joints in whole scenes replayed headless through the scene runner: a sphere pinned to a
// world point swings as a pendulum, and one pulled past its break distance is let go at the end
// of the step in which the joint broke.
#include "engine/phy/PointConstraint.h"

#include "PhysicsTestWorld.h"
#include "physcene/SceneGeometry.h"
#include "physcene/SceneRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using dorvo::phy::PointConstraint;
using math::Vector3;
using physcene::BodyState;
using physcene::Scene;
using physcene::SceneRunner;

namespace
{
const Vector3 kPivot(0.0f, 5.0f, 0.0f);

class JointScenes : public phytest::PhysicsTest
{
protected:
    // A ball of diameter 1 and mass 1 whose surface point towards the pivot is pinned to it.
    void BuildPendulum(const Vector3& start, float breakDistance)
    {
        scene.objects.push_back(physcene::Ball("bob", start));
        std::string error;
        ASSERT_TRUE(runner.Build(scene, &error)) << error;
        joint.SetWorld(runner.Body("bob"), Vector3(-1.0f, 0.0f, 0.0f), kPivot, 0.001f, 0.5f, breakDistance);
        joint.Enable();
    }
    const BodyState& Bob(int step)
    {
        return *runner.Records()[static_cast<std::size_t>(step - 1)].Find(runner.Id("bob"));
    }

    Scene scene;
    SceneRunner runner;
    PointConstraint joint;
};
} // namespace

TEST_F(JointScenes, APinnedSphereSwingsWithinItsLengthAndNeverGainsEnergy)
{
    BuildPendulum(Vector3(1.0f, 5.0f, 0.0f), 0.0f);
    const double start = physcene::MeasureEnergy(runner.Poses(), scene.gravity).Total();
    float lowest = 5.0f;
    float leftmost = 1.0f;
    float nearest = 2.0f;
    float farthest = 0.0f;
    for (int step = 1; step <= 300; ++step)
    {
        runner.Step();
        const BodyState& bob = Bob(step);
        const float reach = (bob.position - kPivot).Length();
        nearest = std::min(nearest, reach);
        farthest = std::max(farthest, reach);
        lowest = std::min(lowest, bob.position.y);
        leftmost = std::min(leftmost, bob.position.x);
        ASSERT_GE(reach, 0.99f) << "step " << step;
        ASSERT_LE(reach, 1.15f) << "step " << step;
        const double energy = physcene::MeasureEnergy(runner.Poses(), scene.gravity).Total();
        ASSERT_LE(energy, start + 1e-3) << "step " << step;
    }
    EXPECT_TRUE(joint.IsEnabled()) << "a break distance of 0 never breaks";
    EXPECT_LT(lowest, 4.1f) << "it swung down under the pivot";
    EXPECT_LT(leftmost, 0.0f) << "and up the other side";
    RecordProperty("nearest", std::to_string(nearest));
    RecordProperty("farthest", std::to_string(farthest));
}

TEST_F(JointScenes, AJointStartedPastItsBreakDistanceActsOnceAndThenTheSphereFallsFreely)
{
    // The anchor starts 2.5 from the pivot; the joint breaks at 2.
    BuildPendulum(Vector3(3.5f, 5.0f, 0.0f), 2.0f);
    runner.Step();
    EXPECT_FALSE(joint.IsEnabled()) << "disabled at the end of step 1";
    EXPECT_LT(Bob(1).velocity.x, -1.0f) << "pulled towards the pivot in step 1";
    for (int step = 2; step <= 30; ++step)
    {
        runner.Step();
        SCOPED_TRACE(step);
        const BodyState& before = Bob(step - 1);
        const BodyState& now = Bob(step);
        EXPECT_NEAR(now.velocity.x, before.velocity.x, 1e-6f);
        EXPECT_NEAR(now.velocity.y - before.velocity.y, -9.8f * physcene::kFrameStep, 1e-4f);
        EXPECT_NEAR((now.angularVelocity - before.angularVelocity).Length(), 0.0f, 1e-6f);
    }
}
