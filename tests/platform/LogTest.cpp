#include "platform/log.h"
#include "platform/win32.h"

#include "LogCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::vector<std::string> g_received;

void Receive(const std::string& line)
{
    g_received.push_back(line);
}

// Installs Receive for one test and puts back what was there.
class LogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_received.clear();
        m_previous = plat::SetLogHandler(&Receive);
    }
    void TearDown() override { plat::SetLogHandler(m_previous); }

    plat::LogHandler m_previous = nullptr;
};
} // namespace

// The default is the only handler that reads standard error: that is what it is for.
TEST(LogDefault, WritesEachLineAndABreakToStandardErrorAndComesBackForNull)
{
    const plat::LogHandler before = plat::SetLogHandler(&Receive);
    EXPECT_EQ(plat::SetLogHandler(nullptr), &Receive);

    ::testing::internal::CaptureStderr();
    plat::WriteLogLine("CTextureManager::Load: a.png: missing; it is drawn white");
    DORVO_LOG("CRoom::Load: %s: %d faces; %s", "Room.xml", 5, "four are used");
    const std::string err = ::testing::internal::GetCapturedStderr();
    plat::SetLogHandler(before);

    EXPECT_EQ(err, "CTextureManager::Load: a.png: missing; it is drawn white\n"
                   "CRoom::Load: Room.xml: 5 faces; four are used\n");
}

TEST_F(LogTest, TheHandlerGetsFormattedLinesOfAnyLength)
{
    EXPECT_EQ(plat::SetLogHandler(&Receive), &Receive);
    const std::string name(3000, 'n'); // past any buffer the formatting starts with
    DORVO_LOG("Where: %s: %u bytes; %.1f", name.c_str(), 12u, 0.5);
    DORVO_LOG("no arguments");
    ASSERT_EQ(g_received.size(), 2u);
    EXPECT_EQ(g_received[0], "Where: " + name + ": 12 bytes; 0.5");
    EXPECT_EQ(g_received[1], "no arguments");
}

// Lines quote names and messages from data and from libraries: whatever they hold, one call
// is one line, so nothing read from a file can start a line of its own.
TEST_F(LogTest, EveryCallIsOneLine)
{
    struct Case
    {
        const char* written;
        const char* received;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"trailing break\n", "trailing break"},
        {"Error Running Script: a.lua\n Message: a.lua:1: oops",
         "Error Running Script: a.lua Message: a.lua:1: oops"},
        {"Lua Error - Script Run\nScript Name:a.lua\nError Message:x\n",
         "Lua Error - Script Run Script Name:a.lua Error Message:x"},
        {"windows\r\n\r\nbreaks", "windows breaks"},
        {"compiler text ends in a break\n; the effect is left out",
         "compiler text ends in a break; the effect is left out"},
        {"\nleading break", "leading break"},
        {"forged\nCRoom::Load: fake line", "forged CRoom::Load: fake line"},
        {"bell\a and escape\x1b[31m", "bell? and escape?[31m"},
        {"tab\tkept, \xc3\xa9 kept", "tab\tkept, \xc3\xa9 kept"},
        {"", ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.written);
        g_received.clear();
        plat::WriteLogLine(c.written);
        ASSERT_EQ(g_received.size(), 1u);
        EXPECT_EQ(g_received[0], c.received);
    }
}

TEST_F(LogTest, DebugOutputIsALineOfTheLog)
{
    plat::OutputDebugStringA("CLogFile: Log.xml: Runtime Log Begin\n");
    plat::OutputDebugStringA("");
    plat::OutputDebugStringA(nullptr);
    EXPECT_EQ(g_received, std::vector<std::string>{"CLogFile: Log.xml: Runtime Log Begin"});
}

TEST(LogCaptureNesting, TheInnermostRecordsAndEachGivesTheLogBack)
{
    testsupport::LogCapture outer;
    DORVO_LOG("first");
    {
        testsupport::LogCapture inner;
        DORVO_LOG("second: %d", 2);
        EXPECT_EQ(inner.Lines(), std::vector<std::string>{"second: 2"});
        EXPECT_EQ(inner.Find("second"), "second: 2");
        EXPECT_EQ(inner.Find("third"), "");
    }
    DORVO_LOG("third");
    EXPECT_EQ(outer.Lines(), (std::vector<std::string>{"first", "third"}));
    EXPECT_EQ(outer.CountOf("ir"), 2u);
    outer.Clear();
    EXPECT_FALSE(outer.Contains("first"));
}
