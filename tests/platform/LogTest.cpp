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

TEST_F(LogTest, TheHandlerGetsFormattedLines)
{
    EXPECT_EQ(plat::SetLogHandler(&Receive), &Receive);
    const std::string name(900, 'n'); // past the buffer the formatting starts with
    DORVO_LOG("Where: %s: %u bytes; %.1f", name.c_str(), 12u, 0.5);
    DORVO_LOG("no arguments");
    ASSERT_EQ(g_received.size(), 2u);
    EXPECT_EQ(g_received[0], "Where: " + name + ": 12 bytes; 0.5");
    EXPECT_EQ(g_received[1], "no arguments");
}

// A name read from data (a 100 KB widget type, say) cannot make a line of any length: the line
// keeps its first kLogLineBytes bytes, never half a UTF-8 character, and says what was cut.
TEST_F(LogTest, ALongLineIsCutAndSaysSo)
{
    const std::size_t limit = plat::kLogLineBytes;
    const std::string euro = "\xe2\x82\xac";
    struct Case
    {
        const char* name;
        std::string written;
        std::string received;
    };
    const Case cases[] = {
        {"at the limit", std::string(limit, 'a'), std::string(limit, 'a')},
        {"one past it", std::string(limit + 1, 'a'), std::string(limit, 'a') + " [... 1 more bytes cut]"},
        {"a 100 KB name",
         "GobDescription::Read: p.xml:3: widget data type \"" + std::string(100000, 'W') + "\"",
         "GobDescription::Read: p.xml:3: widget data type \"" + std::string(limit - 49, 'W') +
             " [... 99026 more bytes cut]"},
        {"a character across the limit", std::string(limit - 1, 'a') + euro + "b",
         std::string(limit - 1, 'a') + " [... 4 more bytes cut]"},
        {"a character that ends at the limit", std::string(limit - 3, 'a') + euro + "b",
         std::string(limit - 3, 'a') + euro + " [... 1 more bytes cut]"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        g_received.clear();
        plat::WriteLogLine(c.written);
        ASSERT_EQ(g_received.size(), 1u);
        EXPECT_EQ(g_received[0], c.received);
    }
    // Formatted lines are cut the same way.
    g_received.clear();
    DORVO_LOG("%s", std::string(limit * 3, 'f').c_str());
    ASSERT_EQ(g_received.size(), 1u);
    EXPECT_EQ(g_received[0], std::string(limit, 'f') + " [... 2048 more bytes cut]");
}

std::vector<std::string> g_written;

void Write(const std::string& line)
{
    g_written.push_back(line);
}

// The file writer hears each finished line, whichever handler shows it.
TEST_F(LogTest, TheFileWriterGetsEveryLineBesideTheHandler)
{
    g_written.clear();
    EXPECT_EQ(plat::SetLogFileWriter(&Write), nullptr);
    DORVO_LOG("first\nline");
    {
        testsupport::LogCapture capture;
        DORVO_LOG("second");
        EXPECT_EQ(capture.Lines(), std::vector<std::string>{"second"});
    }
    EXPECT_EQ(plat::SetLogFileWriter(nullptr), &Write);
    DORVO_LOG("third");
    EXPECT_EQ(g_written, (std::vector<std::string>{"first line", "second"}));
    EXPECT_EQ(g_received, (std::vector<std::string>{"first line", "third"}));
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
