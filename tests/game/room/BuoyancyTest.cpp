// The water force on star objects: its patches over the body's box, the pressure and drag of one
// step against a known water plane, the water object looked up on every step (a torn-down room
// leaves bodies dry, never dangling), the bound on patch counts, and a ball floating in the
// running game.
#include "GameTestWorld.h"

#include "LogCapture.h"
#include "common/math/Quaternion.h"
#include "common/math/Vector3.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/gfx/water/CWaterManager.h"
#include "engine/phy/DynamicsEngine.h"
#include "engine/phy/PhysicsComp.h"
#include "game/app/CQUORB.h"
#include "game/room/Buoyancy.h"
#include "game/room/CRoom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace
{
math::Quaternion Identity()
{
    math::Quaternion q;
    q.SetIdentity();
    return q;
}

struct Step
{
    math::Vector3 force;
    math::Vector3 torque;
};

Step Apply(QUORB::Buoyancy& buoyancy, const math::Vector3& position, const math::Quaternion& orientation,
           const math::Vector3& velocity = math::Vector3(), const math::Vector3& spin = math::Vector3())
{
    Step step;
    buoyancy.Apply(1.0f / 30.0f, step.force, step.torque, position, orientation, velocity, spin, 1.0f);
    return step;
}

void ExpectNear(const math::Vector3& actual, const math::Vector3& expected, float tolerance,
                const std::string& what)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what;
}

// A star object to attach forces to: its physics component, its box scaled as given.
dorvo::phy::PhysicsComp* Body(const math::Vector3& scale)
{
    Gob* ball = GobManager::Instance().CreateGob("QUORBBall");
    if (ball == nullptr)
        return nullptr;
    GetPOVComp(ball)->SetScale(scale, false);
    return dorvo::phy::GetPhysicsComp(ball);
}
} // namespace

TEST(Buoyancy, PatchesCoverTheBodysBox)
{
    gametest::GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    dorvo::phy::PhysicsComp* body = Body(math::Vector3(2.0f, 3.0f, 4.0f));
    ASSERT_NE(body, nullptr);

    // Counts 0 (as a file may give them): one patch on each face centre, with the face's area.
    QUORB::Buoyancy six;
    six.Attach(body);
    EXPECT_EQ(six.GetNumPatchesX(), 1u) << "0 is stored back as 1";
    EXPECT_EQ(six.GetNumPatchesZ(), 1u);
    ASSERT_EQ(six.GetPatches().size(), 6u);
    struct Face
    {
        math::Vector3 position;
        math::Vector3 normal;
        float area;
    };
    const Face faces[] = {
        {{0, 0, -2}, {0, 0, -1}, 6.0f},  {{0, 0, 2}, {0, 0, 1}, 6.0f},    {{0, -1.5f, 0}, {0, -1, 0}, 8.0f},
        {{0, 1.5f, 0}, {0, 1, 0}, 8.0f}, {{-1, 0, 0}, {-1, 0, 0}, 12.0f}, {{1, 0, 0}, {1, 0, 0}, 12.0f},
    };
    for (std::size_t i = 0; i < 6; ++i)
    {
        SCOPED_TRACE(i);
        ExpectNear(six.GetPatches()[i].position, faces[i].position, 1e-6f, "centre");
        ExpectNear(six.GetPatches()[i].normal, faces[i].normal, 0.0f, "normal");
        EXPECT_FLOAT_EQ(six.GetPatches()[i].area, faces[i].area);
    }

    // Finer grids split each face evenly: 2 (XY + XZ + YZ) patches whose areas add up to the
    // box's surface, all on it.
    struct Counts
    {
        std::uint32_t x, y, z;
    };
    for (const Counts counts : {Counts{2, 1, 3}, Counts{4, 4, 4}, Counts{1, 5, 2}})
    {
        SCOPED_TRACE(std::to_string(counts.x) + " " + std::to_string(counts.y) + " " +
                     std::to_string(counts.z));
        QUORB::Buoyancy grid;
        grid.SetNumPatches(counts.x, counts.y, counts.z);
        grid.Attach(body);
        EXPECT_EQ(grid.GetPatches().size(),
                  2u * (counts.x * counts.y + counts.x * counts.z + counts.y * counts.z));
        float total = 0.0f;
        for (const QUORB::BuoyancyPatch& patch : grid.GetPatches())
        {
            total += patch.area;
            const math::Vector3 onFace(patch.normal.x * 1.0f, patch.normal.y * 1.5f, patch.normal.z * 2.0f);
            EXPECT_FLOAT_EQ(patch.position.Dot(patch.normal), onFace.Dot(patch.normal));
            EXPECT_LT(std::fabs(patch.position.x), 1.0f + 1e-6f);
            EXPECT_LT(std::fabs(patch.position.y), 1.5f + 1e-6f);
            EXPECT_LT(std::fabs(patch.position.z), 2.0f + 1e-6f);
        }
        EXPECT_NEAR(total, 2.0f * (6.0f + 8.0f + 12.0f), 1e-4f);
    }
}

TEST(Buoyancy, PatchCountsAboveTheBoundAreCutWithOneLine)
{
    gametest::GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    dorvo::phy::PhysicsComp* body = Body(math::Vector3(1.0f, 1.0f, 1.0f));
    ASSERT_NE(body, nullptr);

    QUORB::Buoyancy huge;
    huge.SetNumPatches(4000000, 1, 65);
    testsupport::LogCapture logged;
    huge.Attach(body);
    const std::string err = logged.Text();
    EXPECT_EQ(huge.GetNumPatchesX(), 64u);
    EXPECT_EQ(huge.GetNumPatchesY(), 1u);
    EXPECT_EQ(huge.GetNumPatchesZ(), 64u);
    EXPECT_EQ(huge.GetPatches().size(), 2u * (64 + 64 * 64 + 64));
    EXPECT_NE(err.find("\"QUORBBall\""), std::string::npos) << err;
    EXPECT_NE(err.find("4000000"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;

    QUORB::Buoyancy bound;
    bound.SetNumPatches(64, 64, 64);
    logged.Clear();
    bound.Attach(body);
    EXPECT_EQ(logged.Text(), "") << "64 is allowed";
}

TEST(Buoyancy, OneStepAgainstAHorizontalWaterPlane)
{
    gametest::GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    Gob* water = GobManager::Instance().CreateGob("PlanarWater"); // level 0, normal up
    ASSERT_NE(water, nullptr);
    dorvo::phy::PhysicsComp* body = Body(math::Vector3(1.0f, 1.0f, 1.0f));
    ASSERT_NE(body, nullptr);
    QUORB::Buoyancy cube;
    ASSERT_EQ(cube.GetWaterGobID(), water->GetID());
    cube.Attach(body);

    // Half under: the bottom patch is 0.5 deep, the sides lie on the plane and count as dry.
    Step half = Apply(cube, math::Vector3(0.0f, 0.0f, 0.0f), Identity());
    ExpectNear(half.force, math::Vector3(0.0f, 4.9f, 0.0f), 1e-5f, "9.8 x 0.5 x 1 along the normal");
    ExpectNear(half.torque, math::Vector3(), 1e-6f, "no torque");

    // Anywhere over the plane, and turned a quarter about x, it is the same box.
    math::Quaternion quarter;
    quarter.SetFromAxisAngle(math::Vector3(1.0f, 0.0f, 0.0f), 1.5707964f);
    Step turned = Apply(cube, math::Vector3(5.0f, 0.0f, -3.0f), quarter);
    ExpectNear(turned.force, math::Vector3(0.0f, 4.9f, 0.0f), 1e-4f, "turned");
    ExpectNear(turned.torque, math::Vector3(), 1e-4f, "turned");

    // All under: the top pushes down, the net is the whole volume; sides cancel.
    Step under = Apply(cube, math::Vector3(0.0f, -2.0f, 0.0f), Identity());
    ExpectNear(under.force, math::Vector3(0.0f, 9.8f, 0.0f), 1e-4f, "fully under");

    // Drag: the velocity of each wet patch's point, 0.03 per patch whatever its area.
    Step moving = Apply(cube, math::Vector3(0.0f, 0.0f, 0.0f), Identity(), math::Vector3(1.0f, 0.0f, 0.0f));
    ExpectNear(moving.force, math::Vector3(-0.03f, 4.9f, 0.0f), 1e-5f, "one wet patch drags");
    ExpectNear(moving.torque, math::Vector3(0.0f, 0.0f, -0.015f), 1e-5f, "drag below the centre turns it");

    // Above the water: nothing.
    Step dry = Apply(cube, math::Vector3(0.0f, 0.6f, 0.0f), Identity(), math::Vector3(1.0f, 0.0f, 0.0f));
    ExpectNear(dry.force, math::Vector3(), 0.0f, "dry");
    ExpectNear(dry.torque, math::Vector3(), 0.0f, "dry");

    // The water raised to 0.5: the cube at 0 is now all under.
    world.Game().SetWaterLevel(0.5f);
    world.Frame();
    ExpectNear(Apply(cube, math::Vector3(), Identity()).force, math::Vector3(0.0f, 9.8f, 0.0f), 1e-4f,
               "raised");
}

TEST(Buoyancy, WithoutWaterAtConstructionOrOnceItIsGoneNothingActs)
{
    gametest::GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    dorvo::phy::PhysicsComp* body = Body(math::Vector3(1.0f, 1.0f, 1.0f));
    ASSERT_NE(body, nullptr);

    QUORB::Buoyancy early; // no water yet
    early.Attach(body);
    EXPECT_EQ(early.GetWaterGobID(), 0u);
    Gob* water = GobManager::Instance().CreateGob("PlanarWater");
    ASSERT_NE(water, nullptr);
    QUORB::Buoyancy late;
    late.Attach(body);
    const math::Vector3 under(0.0f, -2.0f, 0.0f);
    ExpectNear(Apply(early, under, Identity()).force, math::Vector3(), 0.0f, "water made later is not seen");
    ExpectNear(Apply(late, under, Identity()).force, math::Vector3(0.0f, 9.8f, 0.0f), 1e-4f, "");

    GobManager::Instance().KillGob(water);
    world.Frame(); // the object is deleted
    ASSERT_EQ(GobManager::Instance().GetGob(late.GetWaterGobID()), nullptr);
    Step gone = Apply(late, under, Identity(), math::Vector3(1.0f, 1.0f, 1.0f));
    ExpectNear(gone.force, math::Vector3(), 0.0f, "no water object, no force");
    ExpectNear(gone.torque, math::Vector3(), 0.0f, "");
}

TEST(Buoyancy, ABallFloatsAtTheWaterLevelAndSurvivesTheWaterGoing)
{
    gametest::GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    Gob* water = GobManager::Instance().CreateGob("PlanarWater");
    ASSERT_NE(water, nullptr);
    const std::uint32_t waterID = water->GetID();
    Gob* ball = GobManager::Instance().CreateGobAtPos("QUORBBall", math::Vector3(0.0f, 3.0f, 0.0f), true);
    ASSERT_NE(ball, nullptr);
    dorvo::phy::PhysicsComp* body = dorvo::phy::GetPhysicsComp(ball);
    ASSERT_NE(body, nullptr);
    ASSERT_EQ(body->GetForces().count(QUORB::Buoyancy::kTypeName), 1u);
    // The hull's volume is its box's (1): at half the water's density the ball floats half under.
    body->SetDensity(0.5f);
    body->immovable = false;
    dorvo::phy::DynamicsEngine::Instance().paused = false;

    world.Frames(30 * 30);
    POVComp* pov = GetPOVComp(ball);
    EXPECT_NEAR(pov->GetPosition().y, 0.0f, 0.05f) << "afloat, its centre at the water level";
    EXPECT_LT(std::fabs(body->velocity.y), 0.05f) << "settled";

    // The room's water torn down under the floating ball: it falls, nothing dangles.
    GobManager::Instance().KillGobByID(waterID);
    world.Game().GetRoom()->DestroyEnvGobs();
    world.Frame();
    EXPECT_EQ(dorvo::gfx::CWaterManager::Instance().GetWaterGobID(), 0u);
    QUORB::Buoyancy& force =
        dynamic_cast<QUORB::Buoyancy&>(*body->GetForces().at(QUORB::Buoyancy::kTypeName));
    Step none = Apply(force, body->position, body->orientation, math::Vector3(0.0f, -1.0f, 0.0f));
    ExpectNear(none.force, math::Vector3(), 0.0f, "the ball's own force finds no water");
    body->disturbed = true; // a resting body sleeps until something moves it
    world.Frames(15);
    EXPECT_LT(pov->GetPosition().y, -0.5f) << "no water, no lift";
}
