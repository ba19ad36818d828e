#include "common/LogFile.h"

#include "LogCapture.h"
#include "TestSupport.h"

#include "platform/log.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

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

// The texts of the log's "Line" elements, read back by an XML parser; fails the test when the
// file is no well-formed document with the "RunTimeLog" root.
std::vector<std::string> LoggedLines(const std::string& path = "Log.xml")
{
    std::vector<std::string> lines;
    TiXmlDocument document;
    const std::string text = ReadAll(path);
    const bool condensed = TiXmlBase::IsWhiteSpaceCondensed();
    TiXmlBase::SetCondenseWhiteSpace(false); // the lines' blanks as written
    document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
    TiXmlBase::SetCondenseWhiteSpace(condensed);
    EXPECT_FALSE(document.Error()) << document.ErrorDesc() << " in\n" << text.substr(0, 2000);
    const TiXmlElement* root = document.RootElement();
    EXPECT_TRUE(root != nullptr && root->ValueStr() == "RunTimeLog");
    if (root == nullptr)
        return lines;
    for (const TiXmlElement* line = root->FirstChildElement(); line != nullptr;
         line = line->NextSiblingElement())
    {
        EXPECT_EQ(line->ValueStr(), "Line");
        lines.push_back(line->GetText() != nullptr ? line->GetText() : "");
    }
    return lines;
}
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
    log.Write("nowhere to go"); // and nothing breaks
}

// The stylesheet the log names is shipped with the game, and it reads the log's elements.
TEST(LogFileTest, TheStylesheetTheLogNamesIsShipped)
{
    testsupport::TempWorkDir dir;
    common::CLogFile log;
    const std::string text = ReadAll("Log.xml");
    const std::string key = "href=\"";
    const std::size_t start = text.find(key);
    ASSERT_NE(start, std::string::npos);
    const std::size_t end = text.find('"', start + key.size());
    const std::string href = text.substr(start + key.size(), end - start - key.size());

    TiXmlDocument sheet;
    ASSERT_TRUE(sheet.LoadFile(testsupport::RepoPath("data/log/" + href).c_str())) << href;
    ASSERT_NE(sheet.RootElement(), nullptr);
    EXPECT_EQ(sheet.RootElement()->ValueStr(), "xsl:stylesheet");
    const std::string stylesheet = ReadAll(testsupport::RepoPath("data/log/" + href));
    EXPECT_NE(stylesheet.find("match=\"/RunTimeLog\""), std::string::npos);
    EXPECT_NE(stylesheet.find("select=\"Line\""), std::string::npos);
}

// Whatever a line quotes from data, the log stays a document an XML reader takes, and the line
// reads back as written where XML can hold it.
TEST(LogFileTest, LinesStayWellFormedWhateverTheyQuote)
{
    struct Case
    {
        const char* written;
        const char* read;
    };
    const Case cases[] = {
        {"CRoom::Load: Tutorial.xml: fine", "CRoom::Load: Tutorial.xml: fine"},
        {"markup <Line>&amp; </RunTimeLog> and ]]>", "markup <Line>&amp; </RunTimeLog> and ]]>"},
        {"quotes \" and ' and a tab\tkept", "quotes \" and ' and a tab\tkept"},
        {"caf\xc3\xa9 and \xe2\x82\xac and \xf0\x9f\x99\x82",
         "caf\xc3\xa9 and \xe2\x82\xac and \xf0\x9f\x99\x82"},
        {"latin-1 caf\xe9 name", "latin-1 caf? name"},
        {"cut \xe2\x82", "cut ??"},
        {"overlong \xc0\xaf and surrogate \xed\xa0\x80", "overlong ?? and surrogate ???"},
        {"not a character \xef\xbf\xbe", "not a character ???"},
        {"control \x01 and escape \x1b", "control ? and escape ?"},
        {"", ""},
    };
    testsupport::TempWorkDir dir;
    common::CLogFile log;
    for (const Case& c : cases)
        log.Write(c.written);
    const std::vector<std::string> lines = LoggedLines();
    ASSERT_EQ(lines.size(), std::size(cases));
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], cases[i].read) << cases[i].written;
}

// What the program says about itself reaches the file as well as the log's handler, and stops
// when the file's object goes.
TEST(LogFileTest, TakesTheLogsLinesWhileItLives)
{
    testsupport::TempWorkDir dir;
    testsupport::LogCapture logged;
    {
        common::CLogFile log;
        DORVO_LOG("before: not taken");
        log.TakeLogLines();
        DORVO_LOG("CPuzzle::Read: %s: a <bad> value; it is left out", "puzzles/A.xml");
        plat::WriteLogLine(std::string(3000, 'w'));
    }
    DORVO_LOG("after: the file is closed");

    const std::vector<std::string> lines = LoggedLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "CLogFile: Log.xml: Runtime Log Begin");
    EXPECT_EQ(lines[1], "CPuzzle::Read: puzzles/A.xml: a <bad> value; it is left out");
    EXPECT_EQ(lines[2], std::string(plat::kLogLineBytes, 'w') + " [... 1976 more bytes cut]");
    // The handler heard every line, the file's own first line included.
    EXPECT_EQ(logged.Lines().size(), 5u);
    EXPECT_TRUE(logged.Contains("Runtime Log Begin"));
}

// A long run cannot fill the disk: the file stops below its limit, still well-formed, with a
// last line saying so.
TEST(LogFileTest, StopsAtItsLimitWithALineSayingSo)
{
    testsupport::TempWorkDir dir;
    common::CLogFile log;
    const std::string line(1000, 'x');
    const std::size_t fitting = common::CLogFile::kMaxBytes / (line.size() + 14);
    for (std::size_t i = 0; i < fitting + 100; ++i)
        log.Write(line);
    const std::uintmax_t size = std::filesystem::file_size("Log.xml");
    EXPECT_LE(size, common::CLogFile::kMaxBytes);
    EXPECT_GT(size, common::CLogFile::kMaxBytes - 2000);

    const std::vector<std::string> lines = LoggedLines();
    ASSERT_GT(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], line);
    EXPECT_EQ(lines.back(),
              "CLogFile: Log.xml: the log is full (1048576 bytes); later lines are not written here");

    log.Write("one more");
    EXPECT_EQ(std::filesystem::file_size("Log.xml"), size);
}
