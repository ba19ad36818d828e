// The water-level machinery: the level is measured along the water plane's normal; lerps
// remember where they started and restores give those levels back last first, each stopping a
// running lerp; without a water object the level reads 0 and nothing moves.
#include "GameTestWorld.h"

#include "common/math/Vector3.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/gfx/water/CWaterManager.h"
#include "game/app/CQUORB.h"

#include <gtest/gtest.h>

TEST(GameWater, LerpsRememberTheirStartLevelsAndRestoresGiveThemBackLastFirst)
{
    gametest::GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    QUORB::CQUORB& game = world.Game();
    Gob* water = GobManager::Instance().CreateGob("PlanarWater");
    ASSERT_NE(water, nullptr);
    ASSERT_EQ(dorvo::gfx::CWaterManager::Instance().GetWaterGobID(), water->GetID());
    auto* pov = dynamic_cast<POVComp*>(water->GetComponent(POVComp::StaticTypeID()));
    ASSERT_NE(pov, nullptr);
    EXPECT_NEAR(game.GetWaterLevel(), 0.0f, 1e-5);

    game.SetWaterLevel(1.0f);
    EXPECT_NEAR(pov->GetPosition().y, 1.0f, 1e-5);
    EXPECT_NEAR(game.GetWaterLevel(), 1.0f, 1e-5);

    game.LerpWaterLevel(3.0f, 1.0f);
    EXPECT_TRUE(game.IsWaterLerpRunning());
    world.Frames(15);
    EXPECT_GT(game.GetWaterLevel(), 1.2f);
    EXPECT_LT(game.GetWaterLevel(), 2.8f) << "half way through the glide";
    world.Frames(20);
    EXPECT_NEAR(game.GetWaterLevel(), 3.0f, 1e-4);
    EXPECT_FALSE(game.IsWaterLerpRunning()) << "the glide ended";

    game.LerpWaterLevel(5.0f, 1.0f);
    world.Frames(5);
    EXPECT_TRUE(game.IsWaterLerpRunning());
    EXPECT_EQ(game.GetRememberedWaterLevelCount(), 2u);
    EXPECT_NEAR(game.RestoreWaterLevel(), 3.0f, 1e-4) << "the last remembered level first";
    EXPECT_FALSE(game.IsWaterLerpRunning());
    world.Frames(3);
    EXPECT_NEAR(game.GetWaterLevel(), 3.0f, 1e-4) << "the stopped glide no longer moves the water";
    EXPECT_NEAR(game.RestoreWaterLevel(), 1.0f, 1e-4);
    EXPECT_NEAR(game.GetWaterLevel(), 1.0f, 1e-4);
    EXPECT_EQ(game.RestoreWaterLevel(), 0.0f) << "nothing left to restore";
    EXPECT_NEAR(game.GetWaterLevel(), 1.0f, 1e-4) << "and the water stays";

    // The frame restores once the countdown after the editor runs out (0.175 s).
    game.LerpWaterLevel(2.0f, 0.1f);
    world.Frames(5);
    game.StartWaterRestoreCountdown();
    world.Frames(3);
    EXPECT_TRUE(game.IsWaterRestoreRunning());
    EXPECT_NEAR(game.GetWaterLevel(), 2.0f, 1e-4);
    world.Frames(4);
    EXPECT_FALSE(game.IsWaterRestoreRunning());
    EXPECT_NEAR(game.GetWaterLevel(), 1.0f, 1e-4);
}

TEST(GameWater, WithoutAWaterObjectTheLevelIsZeroAndNothingMoves)
{
    gametest::GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    QUORB::CQUORB& game = world.Game();
    ASSERT_EQ(dorvo::gfx::CWaterManager::Instance().GetWaterGobID(), 0u);

    EXPECT_EQ(game.GetWaterLevel(), 0.0f);
    EXPECT_EQ(game.RestoreWaterLevel(), 0.0f);
    game.SetWaterLevel(4.0f);
    game.LerpWaterLevel(3.0f, 0.2f);
    world.Frames(10);
    EXPECT_EQ(game.GetWaterLevel(), 0.0f);
    EXPECT_EQ(game.GetRememberedWaterLevelCount(), 1u);
    EXPECT_EQ(game.RestoreWaterLevel(), 0.0f);
    EXPECT_EQ(game.GetRememberedWaterLevelCount(), 0u);
}
