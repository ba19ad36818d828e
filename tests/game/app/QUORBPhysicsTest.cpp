// The game's own frames step the physics world: after start-up physics waits paused with
// freezing off, and once play starts a body made from a template falls exactly as the engine's
// fixed 1/30 s step says, a cloth hangs and a pendulum swings.
#include "game/app/CQUORBApp.h"

#include "../engine/phy/PhysicsTestWorld.h"
#include "TestSupport.h"
#include "engine/GobManager.h"
#include "engine/GridComp.h"
#include "engine/POVComp.h"
#include "engine/phy/ClothComp.h"
#include "engine/phy/DynamicsEngine.h"
#include "engine/phy/PointConstraint.h"
#include "game/app/CEngineLoader.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/input_feed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace
{
class QUORBPhysicsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plat::headless::Reset();
        plat::inputfeed::Reset();
        plat::testclock::Set(1.0);
        plat::testclock::SetAutoAdvance(0.0001);
        g_pApp = new QUORB::CQUORBApp();
        QUORB::CEngineLoader loader;
        ASSERT_TRUE(
            g_pApp->Init(loader, testsupport::RepoPath("data/files/xmlfiles/dorvo_engine_config.xml")));
        // The test's templates go to a folder of its own, once the game has read its data.
        m_dir = std::make_unique<testsupport::TempWorkDir>();
    }
    void TearDown() override
    {
        if (g_pApp)
        {
            EXPECT_EQ(g_pApp->Shutdown(), 0);
            delete g_pApp;
            g_pApp = nullptr;
        }
        plat::DXUTShutdown(0);
        plat::testclock::SetAutoAdvance(0.0);
        m_dir.reset();
        dorvo::phy::DynamicsEngine::Instance().Reset();
    }

    std::unique_ptr<testsupport::TempWorkDir> m_dir;
};
} // namespace

TEST_F(QUORBPhysicsTest, ATemplateSphereFallsThroughTheGamesFramesOncePlayStarts)
{
    dorvo::phy::DynamicsEngine& engine = dorvo::phy::DynamicsEngine::Instance();
    EXPECT_TRUE(engine.paused);
    EXPECT_FALSE(engine.GetAllowFreeze()) << "the game's bodies never sleep";

    Gob* ball =
        GobManager::Instance().CreateGob(phytest::LoadBodyTemplate(phytest::Sphere(math::Vector3(0, 10, 0))));
    ASSERT_NE(ball, nullptr);
    POVComp* pov = GetPOVComp(ball);
    for (int i = 0; i < 3; ++i)
        plat::DXUTRender3DEnvironment();
    EXPECT_EQ(pov->GetPosition(), math::Vector3(0.0f, 10.0f, 0.0f)) << "paused while the player builds";

    engine.paused = false;
    plat::DXUTRender3DEnvironment();
    EXPECT_NEAR(pov->GetVelocity().y, -0.326667f, 1e-4f);
    EXPECT_NEAR(pov->GetPosition().y, 9.989111f, 1e-4f);
    for (int i = 1; i < 30; ++i)
        plat::DXUTRender3DEnvironment();
    EXPECT_NEAR(pov->GetVelocity().y, -9.8f, 1e-4f);
    EXPECT_NEAR(pov->GetPosition().y, 4.936667f, 1e-4f);
}

TEST_F(QUORBPhysicsTest, TheGamesFramesRunTheWholeStepABallLandsAndRestsAwake)
{
    dorvo::phy::DynamicsEngine& engine = dorvo::phy::DynamicsEngine::Instance();
    phytest::BodySpec groundSpec = phytest::Plane(math::Vector3(0, 1, 0), 0.0f);
    groundSpec.bounds = math::AABB(math::Vector3(-80, -1, -80), math::Vector3(140, 1, 140));
    Gob* ground = GobManager::Instance().CreateGob(phytest::LoadBodyTemplate(groundSpec));
    phytest::BodySpec ballSpec = phytest::Sphere(math::Vector3(0, 10, 0));
    ballSpec.coeffRes = 0.0f;
    ballSpec.bounds = math::AABB(math::Vector3(-0.6f, -0.6f, -0.6f), math::Vector3(0.6f, 0.6f, 0.6f));
    Gob* ball = GobManager::Instance().CreateGob(phytest::LoadBodyTemplate(ballSpec));
    ASSERT_NE(ground, nullptr);
    ASSERT_NE(ball, nullptr);

    engine.paused = false;
    for (int i = 0; i < 200; ++i)
        plat::DXUTRender3DEnvironment();
    EXPECT_NEAR(GetPOVComp(ball)->GetPosition().y, 0.511f, 0.02f) << "landed on the ground and rests";
    EXPECT_LT(GetPOVComp(ball)->GetVelocity().Length(), 0.02f);
    EXPECT_FALSE(dorvo::phy::GetPhysicsComp(ball)->frozen) << "freezing is off in the game";
    ASSERT_EQ(engine.GetCollisionInfos().size(), 1u);
}

TEST_F(QUORBPhysicsTest, AClothFromATemplateHangsAndItsGridFollowsFrameByFrame)
{
    dorvo::phy::DynamicsEngine& engine = dorvo::phy::DynamicsEngine::Instance();
    phytest::BodySpec spec = phytest::Cloth(math::Vector3(0, 5, 0), 5, 5);
    spec.clothMass = 2.5f;
    spec.stretchK = 50.0f;
    spec.shearK = 20.0f;
    spec.bendK = 10.0f;
    Gob* gob = GobManager::Instance().CreateGob(phytest::LoadBodyTemplate(spec));
    ASSERT_NE(gob, nullptr);
    auto* cloth = dynamic_cast<dorvo::phy::ClothComp*>(gob->GetComponent(HashName("ClothComp")));
    auto* grid = dynamic_cast<GridComp*>(gob->GetComponent(HashName("GridComp")));
    ASSERT_NE(cloth, nullptr);
    ASSERT_NE(grid, nullptr);
    ASSERT_TRUE(cloth->HasParticles());
    EXPECT_EQ(engine.GetCloths().count(gob->GetID()), 1u);

    const math::Vector3 rest = grid->GetPoints()[12];
    plat::DXUTRender3DEnvironment();
    EXPECT_EQ(grid->GetPoints()[12], rest) << "paused while the player builds";

    engine.paused = false;
    math::Vector3 last = rest;
    for (int frame = 1; frame <= 20; ++frame)
    {
        plat::DXUTRender3DEnvironment();
        const math::Vector3 now = grid->GetPoints()[12];
        EXPECT_LT(now.y, last.y) << "frame " << frame;
        EXPECT_EQ(now, cloth->GetParticlePosition(12));
        last = now;
    }
    EXPECT_EQ(grid->GetPoints()[0], math::Vector3(2.5f, 0.0f, 2.5f)) << "a pinned corner";
}

TEST_F(QUORBPhysicsTest, APendulumFromATemplateSwingsThroughTheGamesFrames)
{
    dorvo::phy::DynamicsEngine& engine = dorvo::phy::DynamicsEngine::Instance();
    // The joint holds a point on the ball's surface, so the ball must turn to swing: it is given
    // a solid ball's inertia, 0.4 m r^2.
    phytest::BodySpec spec = phytest::Sphere(math::Vector3(1, 5, 0));
    spec.inertia = math::Vector3(0.1f, 0.1f, 0.1f);
    Gob* ball = GobManager::Instance().CreateGob(phytest::LoadBodyTemplate(spec));
    ASSERT_NE(ball, nullptr);
    const math::Vector3 pivot(0.0f, 5.0f, 0.0f);
    dorvo::phy::PointConstraint joint;
    joint.SetWorld(dorvo::phy::GetPhysicsComp(ball), math::Vector3(-1, 0, 0), pivot, 0.001f, 0.5f, 0.0f);
    joint.Enable();

    engine.paused = false;
    float leftmost = 1.0f;
    for (int frame = 1; frame <= 300; ++frame)
    {
        plat::DXUTRender3DEnvironment();
        const math::Vector3 position = GetPOVComp(ball)->GetPosition();
        const float reach = (position - pivot).Length();
        ASSERT_GE(reach, 0.99f) << "frame " << frame;
        ASSERT_LE(reach, 1.15f) << "frame " << frame;
        leftmost = std::min(leftmost, position.x);
    }
    EXPECT_LT(leftmost, 0.0f) << "it swung through to the other side";
}
