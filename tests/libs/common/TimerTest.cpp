#include "common/Timer.h"

#include "platform/win32.h"

#include <gtest/gtest.h>

using common::CTimer;
namespace testclock = plat::testclock;

namespace
{
class TimerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testclock::SetAutoAdvance(0.0);
        testclock::Set(100.0);
    }
};
} // namespace

TEST_F(TimerTest, FrequencyComesFromThePlatformCounter)
{
    plat::LARGE_INTEGER frequency;
    plat::QueryPerformanceFrequency(&frequency);
    EXPECT_EQ(common::GetTimerFrequency(), frequency.QuadPart);
    EXPECT_GT(common::GetTimerFrequency(), 0);
}

TEST_F(TimerTest, StopwatchMeasuresOnlyWhileRunning)
{
    CTimer idle;
    EXPECT_FALSE(idle.IsRunning());
    testclock::Advance(3.0);
    EXPECT_EQ(idle.GetTime(), 0.0f);

    CTimer timer(true);
    EXPECT_TRUE(timer.IsRunning());
    testclock::Advance(1.5);
    EXPECT_FLOAT_EQ(timer.GetTime(), 1.5f);

    timer.Stop();
    testclock::Advance(10.0);
    // A stopped stopwatch reports the same time on every call.
    EXPECT_FLOAT_EQ(timer.GetTime(), 1.5f);
    EXPECT_FLOAT_EQ(timer.GetTime(), 1.5f);
    timer.Stop(); // stopping twice changes nothing
    EXPECT_FLOAT_EQ(timer.GetTime(), 1.5f);

    timer.Resume(); // continues from the accumulated count
    testclock::Advance(0.5);
    EXPECT_FLOAT_EQ(timer.GetTime(), 2.0f);
    timer.Resume(); // resuming a running timer changes nothing
    timer.Start();  // neither does starting it
    testclock::Advance(0.25);
    EXPECT_FLOAT_EQ(timer.GetTime(), 2.25f);

    timer.Stop();
    testclock::Advance(1.0);
    timer.Start(); // after a stop, Start begins again from zero
    testclock::Advance(0.75);
    EXPECT_FLOAT_EQ(timer.GetTime(), 0.75f);

    timer.Restart(); // from zero whatever the state
    EXPECT_EQ(timer.GetTime(), 0.0f);
    timer.Stop();
    timer.Restart();
    EXPECT_TRUE(timer.IsRunning());
    testclock::Advance(2.0);
    EXPECT_FLOAT_EQ(timer.GetTime(), 2.0f);
}

TEST_F(TimerTest, UpdateReturnsTheElapsedTicks)
{
    CTimer timer(true);
    testclock::Advance(0.5);
    EXPECT_EQ(timer.Update(), common::GetTimerFrequency() / 2);
}

TEST(FormatTime, WithAndWithoutHours)
{
    struct Case
    {
        double seconds;
        bool hours;
        const char* text;
    };
    const Case cases[] = {
        {3725.5, true, "1 : 2 : 5"},    {3725.5, false, "2 : 5 : 50"}, {59.999, false, "0 : 59 : 99"},
        {59.999, true, "0 : 0 : 59"},   {0.0, false, "0 : 0 : 0"},     {7322.0, true, "2 : 2 : 2"},
        {600.25, false, "10 : 0 : 25"}, {36000.0, true, "10 : 0 : 0"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.seconds) + (c.hours ? " with hours" : " without hours"));
        std::string out = "stale text";
        const auto count =
            static_cast<std::int64_t>(c.seconds * static_cast<double>(common::GetTimerFrequency()));
        common::FormatTime(count, out, c.hours);
        EXPECT_EQ(out, c.text);
    }
}

TEST_F(TimerTest, StopwatchToString)
{
    CTimer timer(true);
    testclock::Advance(59.999);
    std::string text;
    timer.ToString(text, false);
    EXPECT_EQ(text, "0 : 59 : 99");
    testclock::Advance(3665.5);
    timer.ToString(text, true);
    EXPECT_EQ(text, "1 : 2 : 5");
}
