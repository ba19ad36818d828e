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
