#include "common/BaseException.h"
#include "common/OutOfMemException.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using common::CBaseException;
using common::COutOfMemException;

namespace
{
std::string ReadFile(const std::string& name)
{
    std::ifstream in(name);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::string kStars(55, '*');
} // namespace

TEST(BaseException, NamesAndTexts)
{
    const CBaseException base("src/a.cpp", 12);
    EXPECT_STREQ(base.what(), "Base Exception Thrown");
    EXPECT_STREQ(base.GetName(), "Base Exception");
    EXPECT_EQ(base.GetFile(), "src/a.cpp");
    EXPECT_EQ(base.GetLine(), 12);

    const COutOfMemException oom("src/b.cpp", 7);
    const CBaseException& asBase = oom;
    EXPECT_STREQ(asBase.what(), "Out Of Memory !");
    EXPECT_STREQ(asBase.GetName(), "Out Of Memory Exception");

    // Caught by reference as std::exception, the most derived text still shows.
    try
    {
        throw COutOfMemException("src/c.cpp", 3);
    }
    catch (const std::exception& e)
    {
        EXPECT_STREQ(e.what(), "Out Of Memory !");
    }

    const CBaseException copy(base);
    EXPECT_EQ(copy.GetFile(), "src/a.cpp");
    EXPECT_EQ(copy.GetLine(), 12);
}

TEST(BaseException, LogToFileAppendsOneReportPerCall)
{
    testsupport::TempWorkDir dir;
    ASSERT_EQ(common::ExceptionLogFileName(), "exception.txt");

    const COutOfMemException oom("/work/src/libs/common/Singleton.h", 48);
    oom.LogToFile();
    const std::string oomReport =
        "Out Of Memory Exception Thrown\nIn file: /work/src/libs/common/Singleton.h\n"
        "Line #48\n" +
        kStars + "\n";
    EXPECT_EQ(ReadFile("exception.txt"), oomReport);

    oom.LogToFile();
    const CBaseException base("main.cpp", -3);
    base.LogToFile();
    const std::string baseReport = "Base Exception Thrown\nIn file: main.cpp\nLine #-3\n" + kStars + "\n";
    EXPECT_EQ(ReadFile("exception.txt"), oomReport + oomReport + baseReport);
}

TEST(BaseException, UnwritableLogIsSkippedSilently)
{
    testsupport::TempWorkDir dir;
    std::string& name = common::ExceptionLogFileName();
    const std::string saved = name;
    name = "missing-folder/exception.txt";
    const CBaseException base("x.cpp", 1);
    EXPECT_NO_THROW(base.LogToFile());
    name = saved;
    EXPECT_TRUE(ReadFile("missing-folder/exception.txt").empty());
}
