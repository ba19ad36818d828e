#include "engine/ReadStringList.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

#include <tinyxml.h>

namespace
{
TiXmlElement Parse(const char* text)
{
    TiXmlDocument document;
    document.Parse(text);
    return *document.RootElement();
}
} // namespace

TEST(ReadStringListTest, ReadsBySizeAndPosition)
{
    struct Case
    {
        const char* xml;
        std::vector<std::string> before;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {"<list size=\"2\"><string>a</string><x>b</x><string>c</string></list>", {}, {"a", "b"}},
        {"<list size=\"3\"><string>a</string></list>", {}, {"a", "", ""}},
        {"<list><string>a</string></list>", {"old"}, {}},
        {"<list size=\"2\"><string></string><string>b</string></list>", {"keep", "x", "y"}, {"keep", "b"}},
        {"<list size=\"2\"><!-- note --><string>a</string>text<string>b</string></list>", {}, {"a", "b"}},
        {"<list size=\"-1\"><string>a</string></list>", {"old"}, {}},
        {"<list size=\"2000000000\"><string>a</string></list>", {"old"}, {}},
        {"<list size=\" 2 \"><string>a</string><string>b</string><string>c</string></list>", {}, {"a", "b"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.xml);
        const TiXmlElement element = Parse(c.xml);
        std::vector<std::string> out = c.before;
        testsupport::LogCapture logged;
        EXPECT_TRUE(ReadStringList(&element, out));
        EXPECT_EQ(out, c.after);
    }
}

TEST(ReadStringListTest, RefusesNodesThatAreNotElements)
{
    std::vector<std::string> out = {"kept"};
    EXPECT_FALSE(ReadStringList(nullptr, out));
    TiXmlText text("5");
    EXPECT_FALSE(ReadStringList(&text, out));
    EXPECT_EQ(out, std::vector<std::string>{"kept"});
}

// A size with anything left over is no size: one line, and the entries that are there are read,
// so a damaged count costs a room none of its puzzles.
TEST(ReadStringListTest, ASizeThatIsNoWholeNumberReadsTheEntriesPresentWithOneLine)
{
    for (const char* size : {"abc", "4,0", "0x2", "2.5", "1e1", ""})
    {
        SCOPED_TRACE(size);
        const TiXmlElement element = Parse(
            (std::string("<list size=\"") + size + "\"><string>a</string><string>b</string></list>").c_str());
        std::vector<std::string> out = {"old"};
        testsupport::LogCapture logged;
        EXPECT_TRUE(ReadStringList(&element, out));
        EXPECT_EQ(out, (std::vector<std::string>{"a", "b"}));
        ASSERT_EQ(logged.Lines().size(), 1u) << logged.Text();
        EXPECT_NE(logged.Lines()[0].find(std::string("the size \"") + size +
                                         "\", which is no whole number; the 2 entries present are read"),
                  std::string::npos)
            << logged.Text();
    }
}
