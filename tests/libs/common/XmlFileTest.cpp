#include "common/XmlFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <fstream>
#include <string>

namespace
{
std::string Nested(int depth, const std::string& inner = "")
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<a>";
    text += inner;
    for (int i = 0; i < depth; ++i)
        text += "</a>";
    return text;
}

std::string Repeat(const std::string& part, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += part;
    return text;
}

void WriteFile(const std::string& name, const std::string& bytes)
{
    std::ofstream(name, std::ios::binary) << bytes;
}
} // namespace

TEST(XmlFileTest, RefusesDamagedFilesWithOneLine)
{
    const std::string header = "<?xml version=\"1.0\" ?>\n";
    const struct
    {
        const char* label;
        std::string bytes;
        std::string error; // empty: loads
    } cases[] = {
        {"valid", header + "<File>\n  <a x=\"1\">t\xC3\xA9xt</a>\n</File>\n", ""},
        {"byte order mark", "\xEF\xBB\xBF" + header + "<File/>", ""},
        {"lead byte at the end", header + "<File>\xC3", "f.xml:2: not valid UTF-8"},
        {"lead byte in an attribute at the end", header + "<File a=\"\xE2\x82", "f.xml:2: not valid UTF-8"},
        {"bad byte inside", header + "<File>\n<a>\xFF</a>\n</File>", "f.xml:3: not valid UTF-8"},
        {"overlong form", header + "<File>\xC0\xAF</File>", "f.xml:2: not valid UTF-8"},
        {"surrogate", header + "<File>\xED\xA0\x80</File>", "f.xml:2: not valid UTF-8"},
        {"NUL byte", header + "<File>\n" + std::string(1, '\0') + "</File>", "f.xml:3: not valid UTF-8"},
        {"nesting at the limit", header + Nested(kMaxXmlDepth), ""},
        {"nesting over the limit", header + Nested(kMaxXmlDepth + 1),
         "f.xml:2: elements nested deeper than 256"},
        {"deep nesting on a later line", header + "<r>\n" + Nested(40000),
         "f.xml:3: elements nested deeper than 256"},
        {"self-closed elements do not nest",
         header + "<r>" + std::string(1000, 'x') + Nested(250, "<b/><c x='/'/>") + "</r>", ""},
        {"end tags hidden in a quoted declaration value",
         header + Nested(200, "<?xml version=\"" + Repeat("</a>", 200) + "\"?>" + Nested(100)),
         "f.xml:2: elements nested deeper than 256"},
        {"parse error", header + "<File>\n<a>\n</b>\n</File>", "f.xml:4: Error reading end tag."},
        {"empty file", "", "f.xml: Error document empty. (position unknown)"},
    };
    testsupport::TempWorkDir dir;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.label);
        WriteFile("f.xml", c.bytes);
        TiXmlDocument document;
        std::string error;
        const bool loaded = XmlLoadFile("f.xml", document, error);
        EXPECT_EQ(loaded, c.error.empty());
        if (!c.error.empty())
        {
            EXPECT_EQ(error, c.error);
            EXPECT_EQ(document.FirstChild(), nullptr);
        }
        else
            EXPECT_NE(document.RootElement(), nullptr);
    }
}

TEST(XmlFileTest, MissingFileAndOddNamesGoThroughThePathHelper)
{
    testsupport::TempWorkDir dir;
    TiXmlDocument document;
    std::string error;
    EXPECT_FALSE(XmlLoadFile("missing.xml", document, error));
    EXPECT_EQ(error, "missing.xml: cannot open the file");

    WriteFile("Config.XML", "<EngineConfig/>");
    EXPECT_TRUE(XmlLoadFile(".\\config.xml", document, error)) << error;
    EXPECT_EQ(document.RootElement()->ValueStr(), "EngineConfig");
}

// Each kind of file has its bytes and its items bounded before TinyXML builds a node: a file of
// empty elements or comments past the count is refused at the line where the count is passed.
TEST(XmlFileTest, AFileIsRefusedPastTheBytesOrItemsOfItsKind)
{
    const std::string header = "<?xml version=\"1.0\" ?>\n<File>\n";
    const XmlLimits game = kXmlGameFileLimits, data = kXmlDataLimits;
    const std::string gameKind = " a room, puzzle or profile file may hold";
    const struct
    {
        const char* label;
        std::string bytes;
        const XmlLimits* limits;
        std::string error; // empty: loads
    } cases[] = {
        {"a game file at the item limit", header + Repeat("<a/>", 70000 - 2) + "</File>", &game, ""},
        {"a game file one item past it", header + Repeat("<a/>", 70000 - 1) + "</File>", &game,
         "f.xml:3: more than the 70000 elements" + gameKind},
        {"comments count", header + Repeat("<!---->", 80000) + "</File>", &game,
         "f.xml:3: more than the 70000 elements" + gameKind},
        {"any other file", header + "\n" + Repeat("<a/>", 300000) + "</File>", &data,
         "f.xml:4: more than the 300000 elements an XML data file may hold"},
        {"a game file past its bytes", header + std::string(game.maxBytes, ' ') + "</File>", &game,
         "f.xml: " + std::to_string(header.size() + game.maxBytes + 7) +
             " bytes, more than the 4194304 bytes" + gameKind},
    };
    testsupport::TempWorkDir dir;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.label);
        WriteFile("f.xml", c.bytes);
        TiXmlDocument document;
        std::string error;
        EXPECT_EQ(XmlLoadFile("f.xml", document, error, *c.limits), c.error.empty());
        EXPECT_EQ(error, c.error);
        std::string parseError;
        EXPECT_EQ(XmlParseText(c.bytes, "f.xml", document, parseError, *c.limits), c.error.empty());
        EXPECT_EQ(parseError, c.error);
    }
}
