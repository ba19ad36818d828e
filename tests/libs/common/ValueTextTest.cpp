#include "common/ValueText.h"

#include "common/math/Vector3.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using common::Tokenize;

TEST(ValueTextTest, TokeniserKeepsEmptyPiecesButNotATrailingOne)
{
    struct Case
    {
        const char* text;
        std::vector<std::string> tokens;
    };
    const Case cases[] = {
        {"", {}},
        {"play", {"play"}},
        {"a b c", {"a", "b", "c"}},
        {"cmd  1", {"cmd", "", "1"}},
        {" lead", {"", "lead"}},
        {"trail ", {"trail"}},
        {"trail  ", {"trail", ""}},
        {" ", {"", ""}},
        {"   ", {"", "", "", ""}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        EXPECT_EQ(c.tokens, Tokenize(c.text, " "));
    }
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), Tokenize("a.b,c", ".,"));
}

// Which push a console token gets, in the order the console tests them.
namespace
{
std::string KindOf(const std::string& token)
{
    if (common::IsVectorText(token))
        return "vector";
    if (common::IsIntegerText(token))
        return "int";
    if (common::IsFloatText(token))
        return "float";
    if (common::IsBoolText(token))
        return "bool";
    return "string";
}
} // namespace

TEST(ValueTextTest, TokenTypingTable)
{
    struct Case
    {
        const char* token;
        const char* kind;
    };
    const Case cases[] = {
        {"1", "int"},
        {"-7", "int"},
        {"0", "int"},
        {"00", "int"},
        {"000", "string"},
        {"-0", "string"},
        {"10abc", "int"},
        {"1e5", "int"}, // no "." and atoi reads 1
        {"2147483647", "int"},
        {"-2147483648", "int"},
        {"2147483648", "float"}, // beyond int: read as a number all the same
        {"99999999999999999999", "float"},
        {"1.5", "float"},
        {"-0.25", "float"},
        {".5", "float"},
        {"0.0", "float"},
        {"0.0f", "float"},
        {"0.00", "string"},
        {"1.0e39", "string"}, // beyond float
        {"1.5e999", "string"},
        {"(1.0,2,3.5)", "vector"},
        {"[1,2,3]", "vector"},
        {"<0.5,-1,2>", "vector"},
        {"(0,0,0)", "string"}, // its parts 0 are not float texts
        {"(0.0,0.0,0.0)", "vector"},
        {"(1,2)", "string"},
        {"(1,2,3,4)", "string"},
        {"(1,2,3]", "string"},
        {"(1,2,1e40)", "string"},
        {"on", "bool"},
        {"off", "bool"},
        {"t", "bool"},
        {"f", "bool"},
        {"true", "bool"},
        {"false", "bool"},
        {"True", "string"},
        {"inf", "string"},
        {"nan", "string"},
        {"0x10", "string"},
        {"", "string"},
        {"abc", "string"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.token);
        EXPECT_EQ(c.kind, KindOf(c.token));
    }
}

TEST(ValueTextTest, ValuesOfTokens)
{
    EXPECT_EQ(10, common::TextToInt("10abc"));
    EXPECT_EQ(-3, common::TextToInt("  -3"));
    bool inRange = true;
    EXPECT_EQ(2147483647, common::TextToInt("99999999999999999999999", &inRange));
    EXPECT_FALSE(inRange);
    EXPECT_EQ(-2147483647 - 1, common::TextToInt("-99999999999999999999999", &inRange));
    EXPECT_FALSE(inRange);

    EXPECT_DOUBLE_EQ(1.5, common::TextToDouble("1.5"));
    EXPECT_DOUBLE_EQ(2.0, common::TextToDouble("2.0f"));
    EXPECT_DOUBLE_EQ(100.0, common::TextToDouble("1e2x"));
    EXPECT_DOUBLE_EQ(1.0, common::TextToDouble("1e"));
    EXPECT_EQ(0.0, common::TextToDouble("0x10"));

    EXPECT_TRUE(common::TextToBool("on"));
    EXPECT_TRUE(common::TextToBool("t"));
    EXPECT_FALSE(common::TextToBool("off"));
    EXPECT_FALSE(common::TextToBool("yes"));

    const math::Vector3 v = common::TextToVector3("(1.0,2,3.5)");
    EXPECT_FLOAT_EQ(1.0f, v.x);
    EXPECT_FLOAT_EQ(2.0f, v.y);
    EXPECT_FLOAT_EQ(3.5f, v.z);
}
