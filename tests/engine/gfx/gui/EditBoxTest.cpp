#include "engine/gfx/gui/EditBox.h"

#include "ControlTestKit.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <memory>

using dorvo::gfx::CSprite;
using dorvo::gfx::CTextSprite;
using dorvo::gfx::EditBox;
using namespace controltest;
namespace input = dorvo::input;

namespace
{
constexpr std::uint32_t kDelete = 211;
constexpr std::uint32_t kA = input::KEY_A;
constexpr std::uint32_t kD = 32;
constexpr std::uint32_t kTyped = 0x80000000u;

// The text event of a character, in a list of keys.
constexpr std::uint32_t Typed(char32_t c)
{
    return kTyped | static_cast<std::uint32_t>(c);
}

class EditBoxTest : public ::testing::Test
{
protected:
    void Make(unsigned maxLength, const std::string& defaultText)
    {
        box.reset();
        text = new CTextSprite();
        box = std::make_unique<EditBox>("", Record(120, 24), text, new CountingSubmit(submits),
                                        new SteeredHitTest(pointer), 40, 60, "Name", maxLength, defaultText);
        // Filed under the box, as the menus do: the unit tree owns it from here.
        ASSERT_TRUE(box->AddChild("NameText", text));
    }

    void Frame(bool inside)
    {
        pointer.inside = inside;
        box->Update(33);
    }

    bool Send(std::uint32_t code, int value)
    {
        const input::InputEvent event = Event(code, value);
        return box->HandleInput(&event, 0.033f);
    }

    // A key pressed and released; the result is the press's. A Typed() code is the text a key
    // typed instead.
    bool Key(std::uint32_t code)
    {
        if (code & kTyped)
            return Send(input::TEXT_INPUT, static_cast<int>(code & ~kTyped));
        const bool taken = Send(code, 1);
        Send(code, 0);
        return taken;
    }

    // A left click on the box through the hit test.
    void ClickIn()
    {
        Frame(true);
        Send(input::MOUSE_BUTTON_0, 1);
        Frame(true);
        Send(input::MOUSE_BUTTON_0, 0);
        Frame(true);
    }

    // A left click somewhere else.
    void ClickOut()
    {
        Frame(false);
        Send(input::MOUSE_BUTTON_0, 1);
        Send(input::MOUSE_BUTTON_0, 0);
        Frame(false);
    }

    Pointer pointer;
    Counts submits;
    CTextSprite* text = nullptr; // owned by the box's tree
    std::unique_ptr<EditBox> box;
};
} // namespace

TEST_F(EditBoxTest, FocusPutsTheCaretAtTheEndAndItBlinks)
{
    Make(10, "abc");
    EXPECT_EQ(text->GetText(), "abc");
    EXPECT_EQ(text->GetOffsetX(), 40);
    EXPECT_EQ(text->GetDepth(), box->GetDepth() + 1);
    ClickIn();
    ASSERT_TRUE(box->IsFocused());
    EXPECT_EQ(box->GetCaret(), 3u);
    EXPECT_EQ(text->GetText(), "abc|");
    EXPECT_EQ(text->GetInterpolation(CSprite::IP_Red), box->GetPulseId(0));
    EXPECT_EQ(text->GetInterpolation(CSprite::IP_Blue), box->GetPulseId(2));
    EXPECT_EQ(text->GetInterpolation(CSprite::IP_Alpha), CSprite::kNoInterpolation);
    plat::testclock::Advance(0.4);
    Frame(true);
    EXPECT_EQ(text->GetText(), "abc|");
    plat::testclock::Advance(0.2);
    Frame(true);
    EXPECT_EQ(text->GetText(), "abc ");
    plat::testclock::Advance(0.6);
    Frame(true);
    EXPECT_EQ(text->GetText(), "abc|");
}

TEST_F(EditBoxTest, TypingEditsAtTheCaret)
{
    struct Case
    {
        const char* name;
        unsigned maxLength;
        const char* start;
        std::vector<std::uint32_t> keys; // pressed and released in turn
        const char* text;
        unsigned caret;
    };
    const Case cases[] = {
        {"full box ignores a letter", 3, "abc", {kD, Typed('d')}, "abc", 3},
        {"full box takes Backspace", 3, "abc", {input::KEY_BACK}, "ab", 2},
        {"left, left, delete", 10, "abc", {input::KEY_LEFT, input::KEY_LEFT, kDelete}, "ac", 1},
        {"left, insert, right",
         10,
         "abc",
         {input::KEY_LEFT, Typed('d'), input::KEY_RIGHT, Typed('a')},
         "abdca",
         5},
        {"caret stops at both ends",
         10,
         "ab",
         {input::KEY_RIGHT, input::KEY_LEFT, input::KEY_LEFT, input::KEY_LEFT, input::KEY_BACK, kDelete},
         "b",
         0},
        {"the grave accent is not typed", 10, "", {input::KEY_GRAVE, Typed('`'), Typed('a')}, "a", 1},
        {"space and digits", 10, "", {Typed('1'), Typed(' '), Typed('0')}, "1 0", 3},
        {"a key alone types nothing", 10, "", {kA, input::KEY_1, input::KEY_SPACE}, "", 0},
        {"the underscore", 10, "", {Typed('a'), Typed('_'), Typed('b')}, "a_b", 3},
        // "ë" and "É" take two bytes each: the caret steps over whole characters.
        {"letters of any layout",
         10,
         "Zo",
         {Typed(U'\u00EB'), Typed(' '), Typed(U'\u00C9')},
         "Zo\u00EB \u00C9",
         7},
        {"backspace and arrows step over a character",
         10,
         "\u00E9t\u00E9",
         {input::KEY_LEFT, input::KEY_BACK, input::KEY_LEFT, kDelete, Typed('e')},
         "e\u00E9",
         1},
        // The limit counts characters as the player sees them, not bytes.
        {"a full box of wide letters",
         3,
         "\u00E9\u00E9",
         {Typed(U'\u00EB'), Typed('a')},
         "\u00E9\u00E9\u00EB",
         6},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Make(c.maxLength, c.start);
        box->OnClick();
        for (std::uint32_t key : c.keys)
            EXPECT_TRUE(Key(key));
        EXPECT_EQ(box->GetText(), c.text);
        EXPECT_EQ(box->GetCaret(), c.caret);
    }
}

TEST_F(EditBoxTest, EnterAfterAnEnterPressSubmitsANonEmptyText)
{
    Make(10, "");
    box->OnClick();
    // A release without its press does nothing; an empty text is not handed in.
    EXPECT_TRUE(Send(input::KEY_RETURN, 0));
    EXPECT_TRUE(Key(input::KEY_RETURN));
    EXPECT_TRUE(box->IsFocused());
    EXPECT_EQ(submits.calls, 0);
    Key(Typed('a'));
    EXPECT_TRUE(Send(input::KEY_RETURN, 0));
    EXPECT_TRUE(box->IsFocused());
    EXPECT_TRUE(Key(input::KEY_RETURN));
    EXPECT_FALSE(box->IsFocused());
    EXPECT_EQ(submits.calls, 1);
    EXPECT_EQ(text->GetText(), "a");
    EXPECT_EQ(text->GetInterpolation(CSprite::IP_Red), CSprite::kNoInterpolation);
    EXPECT_FLOAT_EQ(text->GetRed(), 0.0f);
    // Unfocused, keys and text are not the box's.
    EXPECT_FALSE(Key(kA));
    EXPECT_FALSE(Key(Typed('a')));
    EXPECT_EQ(box->GetText(), "a");
}

TEST_F(EditBoxTest, ClickingElsewhereHandsInOrRestoresTheDefault)
{
    Make(10, "Player");
    // Not being edited: a click elsewhere hands nothing in.
    ClickOut();
    EXPECT_EQ(submits.calls, 0);

    ClickIn();
    Key(input::KEY_BACK);
    EXPECT_EQ(box->GetText(), "Playe");
    ClickOut();
    EXPECT_FALSE(box->IsFocused());
    EXPECT_EQ(submits.calls, 1);
    EXPECT_EQ(box->GetText(), "Playe");

    ClickIn();
    for (int i = 0; i < 5; ++i)
        Key(input::KEY_BACK);
    EXPECT_EQ(box->GetText(), "");
    ClickOut();
    EXPECT_EQ(submits.calls, 1) << "an empty text is not handed in";
    EXPECT_EQ(box->GetText(), "Player");
    EXPECT_EQ(text->GetText(), "Player");
}

TEST_F(EditBoxTest, MouseEventsPassAndAHiddenBoxLetsGo)
{
    Make(10, "abc");
    box->OnClick();
    EXPECT_FALSE(Send(input::MOUSE_X, 1));
    EXPECT_FALSE(Send(input::MOUSE_BUTTON_1, 1));
    box->SetVisible(false, false);
    EXPECT_FALSE(Send(kA, 1));
    EXPECT_FALSE(box->IsFocused());
    EXPECT_EQ(submits.calls, 1);
    EXPECT_EQ(box->GetText(), "abc");
}

TEST_F(EditBoxTest, ACaretPastAShortenedTextIsBroughtBack)
{
    Make(10, "abcdef");
    box->OnClick();
    ASSERT_EQ(box->GetCaret(), 6u);
    box->SetText("ab");
    EXPECT_TRUE(Key(kDelete));
    EXPECT_EQ(box->GetText(), "ab");
    EXPECT_TRUE(Key(input::KEY_BACK));
    EXPECT_EQ(box->GetText(), "a");
    box->SetText("");
    box->RefreshText();
    EXPECT_EQ(text->GetText(), "|");
    EXPECT_TRUE(Key(Typed('a')));
    EXPECT_EQ(box->GetText(), "a");
}

TEST_F(EditBoxTest, TheBoxNeverDeletesItsTextSpriteAndDeletesItsCallbackOnce)
{
    // Not filed anywhere: its maker keeps it and outlives the box.
    auto loose = std::make_unique<CTextSprite>();
    {
        EditBox alone("", Record(10, 10), loose.get(), new CountingSubmit(submits), nullptr, 0, 0, "Alone", 4,
                      "");
        alone.SetTextSubmitFunct(new CountingSubmit(submits));
        EXPECT_EQ(submits.deletions, 1);
    }
    EXPECT_EQ(submits.deletions, 2);
    loose->SetText("still here");
    EXPECT_EQ(loose->GetText(), "still here");
}
