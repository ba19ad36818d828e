// The engine as the game first meets it. A program of its own, so that no other test has
// started or changed the engine before it, whatever order the tests run in.
#include "engine/phy/DynamicsEngine.h"

#include <gtest/gtest.h>

using dorvo::phy::DynamicsEngine;

TEST(DynamicsEngineTest, OneEngineWithEarthGravityRunningUntilTheGamePausesIt)
{
    DynamicsEngine& engine = DynamicsEngine::Instance();
    EXPECT_EQ(&engine, &DynamicsEngine::Instance());
    EXPECT_FALSE(engine.paused);
    EXPECT_FLOAT_EQ(engine.gravity.x, 0.0f);
    EXPECT_FLOAT_EQ(engine.gravity.y, -9.8f);
    EXPECT_FLOAT_EQ(engine.gravity.z, 0.0f);

    EXPECT_FALSE(engine.IsInitialised());
    engine.Init();
    EXPECT_TRUE(engine.IsInitialised());

    engine.gravity = math::Vector3(1.0f, 0.0f, 0.0f);
    engine.paused = true;
    engine.Update(1.0f / 30.0f);
    EXPECT_FLOAT_EQ(engine.gravity.x, 1.0f) << "the game's writes stay";
    engine.Reset();
}
