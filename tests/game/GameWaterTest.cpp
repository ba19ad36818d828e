// The water-level machinery without a water object: the level reads 0, lerps remember their
// start levels (restored last first) and a restore with none remembered changes nothing.
#include "GameTestWorld.h"

#include "game/CQUORB.h"

#include <gtest/gtest.h>

TEST(GameWater, WithoutWaterTheLevelIsZeroAndLevelsAreRememberedAndRestoredLastFirst)
{
    gametest::GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    QUORB::CQUORB& game = world.Game();

    EXPECT_EQ(game.GetWaterLevel(), 0.0f);
    EXPECT_EQ(game.RestoreWaterLevel(), 0.0f) << "nothing remembered";
    EXPECT_FALSE(game.IsWaterLerpRunning());

    game.LerpWaterLevel(3.0f, 1.0f);
    game.LerpWaterLevel(5.0f, 1.0f);
    EXPECT_EQ(game.GetRememberedWaterLevelCount(), 2u);
    EXPECT_TRUE(game.IsWaterLerpRunning());
    world.Frames(3);
    EXPECT_EQ(game.GetWaterLevel(), 0.0f) << "there is no water to move";
    EXPECT_EQ(game.RestoreWaterLevel(), 0.0f);
    EXPECT_FALSE(game.IsWaterLerpRunning()) << "a restore stops the running lerp";
    EXPECT_EQ(game.GetRememberedWaterLevelCount(), 1u);
    EXPECT_EQ(game.RestoreWaterLevel(), 0.0f);
    EXPECT_EQ(game.GetRememberedWaterLevelCount(), 0u);
    game.SetWaterLevel(4.0f);
    EXPECT_EQ(game.GetWaterLevel(), 0.0f);

    // The frame restores the remembered level once the countdown after the editor has run out.
    game.LerpWaterLevel(2.0f, 0.5f);
    game.StartWaterRestoreCountdown();
    EXPECT_TRUE(game.IsWaterRestoreRunning());
    world.Frames(3);
    EXPECT_TRUE(game.IsWaterRestoreRunning());
    world.Frames(4);
    EXPECT_FALSE(game.IsWaterRestoreRunning());
    EXPECT_EQ(game.GetRememberedWaterLevelCount(), 0u);
}
