// The penetration and energy measures judge any engine's state from poses alone.
#include "physcene/SceneGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using math::Quaternion;
using math::Vector3;
using physcene::BodyPose;
using physcene::Shape;

namespace
{
BodyPose Ball(const Vector3& at, float radius = 0.5f)
{
    BodyPose pose;
    pose.shape = Shape::Sphere;
    pose.halfSize = Vector3(radius, 0, 0);
    pose.position = at;
    return pose;
}

BodyPose Cube(const Vector3& at, const Quaternion& turn = Quaternion(1, 0, 0, 0))
{
    BodyPose pose;
    pose.shape = Shape::Box;
    pose.halfSize = Vector3(0.5f, 0.5f, 0.5f);
    pose.position = at;
    pose.orientation = turn;
    return pose;
}

const float kHalf = std::sqrt(0.5f);
} // namespace

TEST(SceneGeometry, HowDeepShapesSinkIntoTheGroundAndIntoEachOther)
{
    const physcene::GroundPlane ground;
    const Quaternion corner(std::cos(math::kPi / 8), 0, 0, std::sin(math::kPi / 8)); // 45 degrees about z
    struct Ground
    {
        const char* name;
        BodyPose body;
        float depth;
    };
    const Ground grounds[] = {
        {"sphere", Ball(Vector3(3, 0.4f, 1)), 0.1f},
        {"sphere above", Ball(Vector3(3, 0.6f, 1)), -0.1f},
        {"cube", Cube(Vector3(0, 0.45f, 0)), 0.05f},
        {"cube on an edge", Cube(Vector3(0, 0.6f, 0), corner), kHalf - 0.6f},
    };
    for (const Ground& g : grounds)
    {
        SCOPED_TRACE(g.name);
        EXPECT_NEAR(physcene::PlanePenetration(g.body, ground), g.depth, 1e-5f);
    }

    struct Pair
    {
        const char* name;
        BodyPose a;
        BodyPose b;
        float depth;
    };
    const Pair pairs[] = {
        {"two spheres", Ball(Vector3(0, 0, 0)), Ball(Vector3(0.8f, 0, 0)), 0.2f},
        {"sphere beside a cube", Ball(Vector3(0.8f, 0, 0)), Cube(Vector3()), 0.2f},
        {"sphere centre in a cube", Cube(Vector3()), Ball(Vector3(0.3f, 0, 0)), 0.7f},
        {"two cubes", Cube(Vector3()), Cube(Vector3(0.9f, 0.2f, 0)), 0.1f},
        {"cube on a cube's edge", Cube(Vector3()), Cube(Vector3(0, 1.2f, 0), corner), 0.5f + kHalf - 1.2f},
        {"apart", Cube(Vector3()), Cube(Vector3(3, 0, 0)), -2.0f + 0.0f},
    };
    for (const Pair& p : pairs)
    {
        SCOPED_TRACE(p.name);
        const float depth = physcene::PairPenetration(p.a, p.b);
        if (p.depth > 0.0f)
            EXPECT_NEAR(depth, p.depth, 1e-5f);
        else
            EXPECT_LE(depth, 0.0f);
    }

    // Over a scene: the deepest overlap and the mean of those that overlap.
    const std::vector<BodyPose> bodies{Ball(Vector3(0, 0.4f, 0)), Ball(Vector3(0.8f, 0.5f, 0)),
                                       Cube(Vector3(5, 0.55f, 0))};
    const physcene::Penetration result = physcene::MeasurePenetration(bodies, {ground});
    EXPECT_EQ(result.pairs, 2) << "the first ball in the ground and in the second ball";
    EXPECT_NEAR(result.max, 1.0f - std::sqrt(0.64f + 0.01f), 1e-5f);
    EXPECT_NEAR(result.mean, (0.1f + 1.0f - std::sqrt(0.65f)) / 2.0f, 1e-5f);
}

TEST(SceneGeometry, EnergyCountsTranslationSpinAboutTheBodysAxesAndHeight)
{
    BodyPose body = Cube(Vector3(1, 5, 0), Quaternion(kHalf, kHalf, 0, 0)); // 90 degrees about x
    body.mass = 2.0f;
    body.inertia = Vector3(1.0f, 1.0f, 0.5f);
    body.velocity = Vector3(3, 0, 0);
    body.angularVelocity = Vector3(0, 2, 0); // about the turned body's z axis
    const physcene::Energy energy = physcene::MeasureEnergy({body}, Vector3(0, -9.8f, 0));
    EXPECT_NEAR(energy.kinetic, 0.5 * 2 * 9 + 0.5 * 0.5 * 4, 1e-4);
    EXPECT_NEAR(energy.potential, 2 * 9.8 * 5, 1e-4);
    EXPECT_NEAR(energy.Total(), 108.0, 1e-4);
}
