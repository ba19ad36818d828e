#include "statemachine/MsgClock.h"

#include "platform/win32.h"

#include <gtest/gtest.h>

TEST(MsgClock, StartsAtZeroAndCountsSecondsSinceCreation)
{
    plat::testclock::Set(10.0);
    MsgClock clock;
    EXPECT_EQ(0.0f, clock.GetNow());
    EXPECT_FLOAT_EQ(0.001f, clock.GetDelta());

    plat::testclock::Advance(0.5);
    clock.Update();
    EXPECT_FLOAT_EQ(0.5f, clock.GetNow());
    EXPECT_FLOAT_EQ(0.5f, clock.GetDelta());

    plat::testclock::Advance(0.25);
    clock.Update();
    EXPECT_FLOAT_EQ(0.75f, clock.GetNow());
    EXPECT_FLOAT_EQ(0.25f, clock.GetDelta());
}

TEST(MsgClock, UpdatesWithinOneMillisecondGiveTheMinimumDelta)
{
    plat::testclock::Set(20.0);
    MsgClock clock;
    plat::testclock::Advance(0.1);
    clock.Update();
    plat::testclock::Advance(0.0004);
    clock.Update();
    EXPECT_FLOAT_EQ(0.1f, clock.GetNow());
    EXPECT_FLOAT_EQ(0.001f, clock.GetDelta());
}

TEST(MsgClock, TickCountWrapIsStillForward)
{
    // 2^32 ms is about 49.7 days; start 1 s before the tick count wraps.
    plat::testclock::Set(4294967.295 - 1.0);
    MsgClock clock;
    plat::testclock::Advance(3.0);
    clock.Update();
    EXPECT_NEAR(3.0f, clock.GetNow(), 0.002f);
}
