#include "common/InputEvent.h"
#include "platform/dinput.h"

#include <gtest/gtest.h>

#include <string>

using dorvo::input::InputEvent;
using dorvo::input::IsValidInputCode;
using dorvo::input::ScanCodeToChar;

TEST(InputEventTest, DefaultIsTheEmptyEventAndFourWords)
{
    InputEvent event;
    EXPECT_EQ(293u, event.code);
    EXPECT_EQ(0, event.value);
    EXPECT_EQ(16u, sizeof(InputEvent));
}

TEST(InputEventTest, ValidCodesAreKeysButtonsAndJoystickButtons)
{
    struct Case
    {
        std::uint32_t code;
        bool valid;
    };
    const Case cases[] = {{0, false},   {1, true},           {28, true},  {209, true}, {210, false},
                          {211, false}, {237, false},        {238, true}, {245, true}, {246, false},
                          {247, false}, {248, false},        {249, true}, {280, true}, {281, false},
                          {293, false}, {0xFFFFFFFFu, false}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(c.valid, IsValidInputCode(c.code));
    }
}

// The names are the scan codes the keyboard readers emit (DirectInput's DIK_ values).
TEST(InputEventTest, EveryNamedKeyIsTheCodeTheKeyboardReadersEmitForIt)
{
    using namespace dorvo::input;
    const struct
    {
        const char* name;
        std::uint32_t named;
        std::uint32_t emitted;
    } cases[] = {
        {"ESCAPE", KEY_ESCAPE, plat::DIK_ESCAPE},
        {"1", KEY_1, plat::DIK_1},
        {"0", KEY_0, plat::DIK_0},
        {"MINUS", KEY_MINUS, plat::DIK_MINUS},
        {"EQUALS", KEY_EQUALS, plat::DIK_EQUALS},
        {"BACK", KEY_BACK, plat::DIK_BACK},
        {"TAB", KEY_TAB, plat::DIK_TAB},
        {"Q", KEY_Q, plat::DIK_Q},
        {"LBRACKET", KEY_LBRACKET, plat::DIK_LBRACKET},
        {"RBRACKET", KEY_RBRACKET, plat::DIK_RBRACKET},
        {"RETURN", KEY_RETURN, plat::DIK_RETURN},
        {"LCONTROL", KEY_LCONTROL, plat::DIK_LCONTROL},
        {"A", KEY_A, plat::DIK_A},
        {"SEMICOLON", KEY_SEMICOLON, plat::DIK_SEMICOLON},
        {"APOSTROPHE", KEY_APOSTROPHE, plat::DIK_APOSTROPHE},
        {"GRAVE", KEY_GRAVE, plat::DIK_GRAVE},
        {"LSHIFT", KEY_LSHIFT, plat::DIK_LSHIFT},
        {"BACKSLASH", KEY_BACKSLASH, plat::DIK_BACKSLASH},
        {"Z", KEY_Z, plat::DIK_Z},
        {"COMMA", KEY_COMMA, plat::DIK_COMMA},
        {"PERIOD", KEY_PERIOD, plat::DIK_PERIOD},
        {"SLASH", KEY_SLASH, plat::DIK_SLASH},
        {"RSHIFT", KEY_RSHIFT, plat::DIK_RSHIFT},
        {"MULTIPLY", KEY_MULTIPLY, plat::DIK_MULTIPLY},
        {"LMENU", KEY_LMENU, plat::DIK_LMENU},
        {"SPACE", KEY_SPACE, plat::DIK_SPACE},
        {"F1", KEY_F1, plat::DIK_F1},
        {"RCONTROL", KEY_RCONTROL, plat::DIK_RCONTROL},
        {"RMENU", KEY_RMENU, plat::DIK_RMENU},
        {"UP", KEY_UP, plat::DIK_UP},
        {"LEFT", KEY_LEFT, plat::DIK_LEFT},
        {"RIGHT", KEY_RIGHT, plat::DIK_RIGHT},
        {"DOWN", KEY_DOWN, plat::DIK_DOWN},
        {"INSERT", KEY_INSERT, plat::DIK_INSERT},
        {"DELETE", KEY_DELETE, plat::DIK_DELETE},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.named, c.emitted);
    }
}

namespace
{
std::string TypedRow(std::uint32_t first, std::uint32_t last, unsigned char shift)
{
    std::string typed;
    for (std::uint32_t code = first; code <= last; ++code)
        typed += ScanCodeToChar(InputEvent{code, 1, 0, 0}, shift);
    return typed;
}
} // namespace

TEST(InputEventTest, ScanCodeRowsOfAUsKeyboard)
{
    EXPECT_EQ("1234567890-=", TypedRow(2, 13, 0));
    EXPECT_EQ("!@#$%^&*()-=", TypedRow(2, 13, 1));
    EXPECT_EQ("qwertyuiop[]", TypedRow(16, 27, 0));
    EXPECT_EQ("QWERTYUIOP{}", TypedRow(16, 27, 1));
    EXPECT_EQ("asdfghjkl;'`", TypedRow(30, 41, 0));
    EXPECT_EQ("ASDFGHJKL;'`", TypedRow(30, 41, 0x80));
    EXPECT_EQ("\\zxcvbnm,./", TypedRow(43, 53, 0));
    EXPECT_EQ("\\ZXCVBNM<>/", TypedRow(43, 53, 1));
}

TEST(InputEventTest, ScanCodeSpecialKeys)
{
    struct Case
    {
        std::uint32_t code;
        std::int32_t value;
        unsigned char shift;
        char expected;
    };
    const Case cases[] = {
        {30, 1, 0, 'a'},  {30, 1, 1, 'A'},  {30, 0, 0, 0},    {30, 2, 0, 0},   {12, 1, 1, '-'},
        {14, 1, 0, '\b'}, {14, 1, 1, '\b'}, {15, 1, 0, '\t'}, {55, 1, 1, '*'}, {57, 1, 0, ' '},
        {57, 1, 1, ' '},  {28, 1, 0, 0},    {29, 1, 0, 0},    {42, 1, 1, 0},   {54, 1, 0, 0},
        {56, 1, 0, 0},    {1, 1, 0, 0},     {58, 1, 0, 0},    {238, 1, 0, 0},  {293, 1, 0, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(c.expected, ScanCodeToChar(InputEvent{c.code, c.value, 0, 0}, c.shift));
    }
}
