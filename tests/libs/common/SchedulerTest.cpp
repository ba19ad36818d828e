#include "common/Scheduler.h"

#include "common/ConsoleInterface.h"
#include "common/FunctionFlags.h"
#include "common/FunctionRegistry.h"
#include "common/ParamStack.h"
#include "common/loki/Functor.h"
#include "platform/win32.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
// The console is the process's one instance; its log goes into a temporary folder made before
// the console and removed after it at exit.
void UseTempLogDir()
{
    static testsupport::TempWorkDir logDir;
}

common::ConsoleInterface& TheConsole()
{
    UseTempLogDir();
    return common::ConsoleInterface::Instance();
}
} // namespace

// Runs first in this program, while no console exists yet: the command must not be lost.
TEST(SchedulerConsole, TestSchedulerIsRegisteredEvenBeforeTheConsoleExists)
{
    UseTempLogDir(); // the console is created by the registration below
    common::Scheduler::Instance().RegisterConsoleCommands();
    common::ConsoleInterface& console = TheConsole();
    EXPECT_NE(nullptr, console.GetCommands().FindFunction("testscheduler"));
    ASSERT_EQ(1u, console.GetHelpTexts().count("TestScheduler"));
    EXPECT_EQ("Tests the Scheduler Functions by creating a list of functions to execute",
              console.GetHelpTexts().at("TestScheduler"));

    // Typed on the console it schedules the five lines on the one scheduler.
    console.RegisterConsoleCommands(); // "WriteToConsole" with the scheduler
    const std::size_t before = common::Scheduler::Instance().GetEntryCount();
    console.WriteToConsole("TestScheduler", common::FF_Execute, false);
    EXPECT_EQ(before + 5, common::Scheduler::Instance().GetEntryCount());
}

namespace
{
// Stands in for the console: records what WriteToConsole is asked to show.
struct FakeConsole
{
    void WriteToConsole(std::string line, common::Function_Flags flags, bool report)
    {
        lines.push_back(line + (flags == common::FF_Display ? "" : " executed") +
                        (report ? " reported" : ""));
    }
    std::vector<std::string> lines;
};

class SchedulerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Scheduler.RegisterFunction("WriteToConsole",
                                     Loki::NewFunctor(&m_Console, &FakeConsole::WriteToConsole).release());
    }

    // Schedules WriteToConsole of `line`.
    bool Schedule(const std::string& line, float delay)
    {
        auto arguments = std::make_unique<ParamStack>();
        arguments->PushString(line);
        arguments->Push(common::FF_Display);
        arguments->Push(false);
        bool scheduled = m_Scheduler.ScheduleByName("WriteToConsole", arguments.get(), delay);
        if (scheduled)
            arguments.release();
        return scheduled;
    }

    FakeConsole m_Console;
    common::Scheduler m_Scheduler;
};
} // namespace

TEST_F(SchedulerTest, RunsInTimeOrderAndEqualTimesInSchedulingOrder)
{
    Schedule("two", 2.0f);
    Schedule("one", 1.0f);
    Schedule("one again", 1.0f);
    Schedule("now", 0.0f);
    for (int i = 0; i < 4; ++i)
        m_Scheduler.Update(1.0f);
    EXPECT_EQ(m_Console.lines, (std::vector<std::string>{"now", "one", "one again", "two"}));
    EXPECT_EQ(m_Scheduler.GetEntryCount(), 0u);
}

TEST_F(SchedulerTest, DueCheckComesBeforeTheSubtraction)
{
    Schedule("zero", 0.0f);
    Schedule("one", 1.0f);
    // Elapsed 0 never runs an entry with time left, but a zero delay runs at the next update.
    m_Scheduler.Update(0.0f);
    EXPECT_EQ(m_Console.lines, std::vector<std::string>{"zero"});
    m_Scheduler.Update(0.0f);
    EXPECT_EQ(m_Console.lines.size(), 1u);
    // Delay 1 at half-second frames: 1 -> 0.5 -> 0, due at the third update.
    m_Scheduler.Update(0.5f);
    m_Scheduler.Update(0.5f);
    EXPECT_EQ(m_Console.lines.size(), 1u);
    m_Scheduler.Update(0.5f);
    EXPECT_EQ(m_Console.lines, (std::vector<std::string>{"zero", "one"}));
}

TEST_F(SchedulerTest, DueEntriesScheduledByARunningFunctionRunInTheSameUpdate)
{
    int chained = 0;
    m_Scheduler.RegisterFunction("Chain", new Loki::Functor<void, Loki::Seq<unsigned>>(
                                              [&](unsigned left)
                                              {
                                                  ++chained;
                                                  if (left > 0)
                                                      m_Scheduler.ScheduleByName(
                                                          "Chain", new ParamStack(left - 1), 0.0f);
                                              }));
    m_Scheduler.ScheduleByName("Chain", new ParamStack(2u), 0.0f);
    m_Scheduler.Update(1.0f);
    EXPECT_EQ(chained, 3);
    EXPECT_EQ(m_Scheduler.GetEntryCount(), 0u);
}

TEST_F(SchedulerTest, UnknownNamesAndWrongArgumentsAreDroppedQuietly)
{
    TheConsole().ClearOutput();

    ParamStack arguments;
    EXPECT_FALSE(m_Scheduler.ScheduleByName("NoSuchFunction", &arguments, 1.0f));
    EXPECT_EQ(m_Scheduler.GetEntryCount(), 0u); // and the caller still owns its stack

    EXPECT_TRUE(m_Scheduler.ScheduleByName("WriteToConsole", new ParamStack(5u), 0.0f));
    m_Scheduler.Update(1.0f);
    EXPECT_TRUE(m_Console.lines.empty());
    EXPECT_TRUE(TheConsole().GetOutputLines().empty());
    EXPECT_EQ(m_Scheduler.GetEntryCount(), 0u);
}

TEST_F(SchedulerTest, ScheduleFunctionRegistersOnceAndSchedules)
{
    int calls = 0;
    auto token = std::make_shared<int>(0);
    EXPECT_TRUE(m_Scheduler.ScheduleFunction("Tick", 0.0f, new Loki::Functor<>([&calls] { ++calls; }),
                                             new ParamStack));
    // The second functor under the same name is refused and freed; the entry calls the first.
    EXPECT_TRUE(m_Scheduler.ScheduleFunction(
        "tick", 0.0f, new Loki::Functor<>([&calls, token] { calls += 100; }), new ParamStack));
    EXPECT_EQ(token.use_count(), 1);
    m_Scheduler.Update(0.0f);
    EXPECT_EQ(calls, 2);
}

TEST_F(SchedulerTest, TestSchedulerShowsFiveLinesOneASecondOnTheTestClock)
{
    m_Scheduler.TestScheduler();
    EXPECT_EQ(m_Scheduler.GetEntryCount(), 5u);

    std::vector<std::vector<std::string>> perSecond;
    double previous = plat::testclock::Now();
    for (int second = 0; second < 6; ++second)
    {
        plat::testclock::Advance(1.0);
        const double now = plat::testclock::Now();
        const std::size_t before = m_Console.lines.size();
        m_Scheduler.Update(static_cast<float>(now - previous));
        previous = now;
        perSecond.emplace_back(m_Console.lines.begin() + static_cast<std::ptrdiff_t>(before),
                               m_Console.lines.end());
    }
    EXPECT_EQ(perSecond, (std::vector<std::vector<std::string>>{
                             {}, {"Test 1"}, {"Test 2"}, {"Test 3"}, {"Test 4"}, {"Test 5"}}));
}

TEST(Scheduler, TestSchedulerWithoutWriteToConsoleSchedulesNothing)
{
    common::Scheduler scheduler;
    scheduler.TestScheduler();
    EXPECT_EQ(scheduler.GetEntryCount(), 0u);
}
