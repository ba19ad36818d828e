#include "common/Assert.h"

#include "LogCapture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(Assert, ReportsConditionTextAndContinues)
{
    testsupport::AssertCapture capture;
    int after = 0;
    bool held = DORVO_ASSERT(1 + 1 == 3, "Maths::Add - sum is wrong.");
    after = 1; // execution continues past a failed assertion
    EXPECT_FALSE(held);
    EXPECT_EQ(after, 1);
    ASSERT_EQ(capture.Reports().size(), 1u);
    EXPECT_EQ(capture.Reports()[0].condition, "1 + 1 == 3");
    EXPECT_EQ(capture.Reports()[0].text, "Maths::Add - sum is wrong.");
    EXPECT_GT(capture.Reports()[0].line, 0);
}

TEST(Assert, PassingConditionReportsNothingAndEvaluatesOnce)
{
    testsupport::AssertCapture capture;
    int calls = 0;
    auto check = [&]
    {
        ++calls;
        return true;
    };
    EXPECT_TRUE(DORVO_ASSERT(check(), "never shown"));
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(capture.Reports().empty());
}

TEST(Assert, TheDefaultReportIsOneLineOfTheLog)
{
    testsupport::LogCapture log;
    common::ReportAssert("count <= 4", "CRoom::LoadPuzzles - more than four faces", "src/game/CRoom.cpp",
                         120);
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"Assertion failed: src/game/CRoom.cpp:120: count <= 4: "
                                                    "CRoom::LoadPuzzles - more than four faces; the program "
                                                    "carries on"});
}
