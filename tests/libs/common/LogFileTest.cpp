#include "common/LogFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{
std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

const char* const kLogText = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<?xml-stylesheet type=\"text/xsl\" href=\"LogXSLT.xsl\"?>\n"
                             "<RunTimeLog>\n"
                             "</RunTimeLog>\n";
} // namespace

TEST(LogFileTest, WritesTheHeaderLinesAndEmptyRoot)
{
    testsupport::TempWorkDir dir;
    common::CLogFile log;
    EXPECT_EQ("Log.xml", log.GetFileName());
    EXPECT_TRUE(log.IsGood());
    EXPECT_EQ(kLogText, ReadAll("Log.xml"));
}

TEST(LogFileTest, ReplacesAnOldLog)
{
    testsupport::TempWorkDir dir;
    std::ofstream("Log.xml") << std::string(1000, 'x');
    {
        common::CLogFile log;
    }
    EXPECT_EQ(kLogText, ReadAll("Log.xml"));
}

TEST(LogFileTest, UnwritableLogLeavesAFailedStream)
{
    testsupport::TempWorkDir dir;
    std::filesystem::create_directory("Log.xml"); // a folder in the way
    common::CLogFile log;
    EXPECT_FALSE(log.IsGood());
}
