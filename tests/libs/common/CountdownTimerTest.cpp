#include "common/CountdownTimer.h"

#include "platform/win32.h"

#include <gtest/gtest.h>

#include <limits>

using common::CCountdownTimer;
namespace testclock = plat::testclock;

namespace
{
class CountdownTimerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testclock::SetAutoAdvance(0.0);
        testclock::Set(50.0);
    }
};
} // namespace

TEST_F(CountdownTimerTest, ZeroSecondsIsExpiredAtOnce)
{
    CCountdownTimer countdown(0.0f, true);
    EXPECT_TRUE(countdown.IsExpired());
    CCountdownTimer stopped; // default: no duration, not running
    EXPECT_TRUE(stopped.IsExpired());
}

TEST_F(CountdownTimerTest, RemainingTimeFallsBelowZeroAndStaysNegative)
{
    CCountdownTimer countdown(2.0f, true);
    EXPECT_FLOAT_EQ(countdown.GetTime(), 2.0f);
    EXPECT_FALSE(countdown.IsExpired());
    testclock::Advance(1.25);
    EXPECT_FLOAT_EQ(countdown.GetTime(), 0.75f);
    EXPECT_FALSE(countdown.IsExpired());
    testclock::Advance(0.75);
    EXPECT_TRUE(countdown.IsExpired()); // exactly on time counts as expired
    testclock::Advance(0.5);
    EXPECT_FLOAT_EQ(countdown.GetTime(), -0.5f);
    testclock::Advance(100.0);
    EXPECT_TRUE(countdown.IsExpired());
    EXPECT_LT(countdown.GetTime(), 0.0f);
}

TEST_F(CountdownTimerTest, PauseResumeAndRestart)
{
    CCountdownTimer countdown(5.0f, false);
    testclock::Advance(3.0);
    EXPECT_FLOAT_EQ(countdown.GetTime(), 5.0f); // not started: nothing runs down

    countdown.Start();
    testclock::Advance(1.0);
    countdown.Stop();
    testclock::Advance(20.0);
    EXPECT_FLOAT_EQ(countdown.GetTime(), 4.0f);
    EXPECT_FALSE(countdown.IsExpired());

    countdown.Resume();
    testclock::Advance(3.5);
    EXPECT_FLOAT_EQ(countdown.GetTime(), 0.5f);

    countdown.Restart(1.0f);
    EXPECT_TRUE(countdown.IsRunning());
    EXPECT_FLOAT_EQ(countdown.GetTime(), 1.0f);
    testclock::Advance(1.0);
    EXPECT_TRUE(countdown.IsExpired());
}

TEST_F(CountdownTimerTest, SetDurationKeepsTheRunningMeasurement)
{
    CCountdownTimer countdown(10.0f, true);
    testclock::Advance(4.0);
    countdown.SetDuration(5.0f);
    EXPECT_TRUE(countdown.IsRunning());
    EXPECT_FLOAT_EQ(countdown.GetTime(), 1.0f);
    testclock::Advance(1.0);
    EXPECT_TRUE(countdown.IsExpired());
}

TEST_F(CountdownTimerTest, FramePacingCountdown)
{
    // The main loop's 1/30 s pass: restarted at the top, expired after the frame.
    const float frame = 1.0f / 30.0f;
    CCountdownTimer pacing(frame, false);
    for (int pass = 0; pass < 3; ++pass)
    {
        pacing.Restart(frame);
        testclock::Advance(0.02);
        EXPECT_FALSE(pacing.IsExpired());
        testclock::Advance(0.014);
        EXPECT_TRUE(pacing.IsExpired());
    }
}

TEST_F(CountdownTimerTest, ToStringFormatsTheRemainingTime)
{
    CCountdownTimer countdown(3725.5f, true);
    std::string text;
    countdown.ToString(text, true);
    EXPECT_EQ(text, "1 : 2 : 5");
    testclock::Advance(3600.0);
    countdown.ToString(text, false);
    EXPECT_EQ(text, "2 : 5 : 50");
}

TEST_F(CountdownTimerTest, DurationsBeyondTheCounterRangeStayUsable)
{
    // Time limits come from data files: a corrupt one must neither wrap nor turn negative.
    const float inf = std::numeric_limits<float>::infinity();
    for (const float huge : {1e30f, inf})
    {
        SCOPED_TRACE(huge);
        CCountdownTimer countdown(huge, true);
        testclock::Advance(1.0);
        EXPECT_FALSE(countdown.IsExpired());
        EXPECT_GT(countdown.GetTime(), 1e9f);
    }
    CCountdownTimer backwards(-inf, true);
    EXPECT_TRUE(backwards.IsExpired());
    EXPECT_LT(backwards.GetTime(), -1e9f);

    CCountdownTimer notANumber(10.0f, true);
    notANumber.SetDuration(std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE(notANumber.IsExpired());
    EXPECT_EQ(notANumber.GetTime(), 0.0f);
}
