// Text sprites on the headless device, whose fonts measure with fixed metrics (font 0: 10 pixels
// a character, 16 a line): when the layout runs, wrapping in a box, the shadow under the text,
// placement through a parent, and the facade's seven fonts.
#include "engine/gfx/sprites/CTextSprite.h"

#include "GfxTestWorld.h"
#include "engine/gfx/core/CDorvoGfx.h"

#include <gtest/gtest.h>

#include <cwchar>

using dorvo::gfx::CDorvoGfx;
using dorvo::gfx::CSprite;
using dorvo::gfx::CTextSprite;
using dorvo::gfx::STextStyle;
using plat::devicedebug::CallKind;

namespace
{
constexpr float kBlue[4] = {0.0f, 0.0f, 1.0f, 1.0f};
constexpr float kRed[4] = {1.0f, 0.0f, 0.0f, 1.0f};

class TextSpriteTest : public gfxtest::HeadlessGfx
{
protected:
    std::vector<plat::devicedebug::LoggedCall> TextCalls(CTextSprite& text)
    {
        DrawLogged(text);
        return gfxtest::CallsOf(CallKind::DrawText);
    }
};
} // namespace

TEST_F(TextSpriteTest, ItsSizeChangesOnlyWithTheNextLayout)
{
    const int position[2] = {100, 50};
    CTextSprite text("Hello", STextStyle(0, kBlue), position, 0);
    EXPECT_FALSE(text.IsDirty()) << "laid out at once";
    EXPECT_FLOAT_EQ(text.GetWidth(), 50.0f + CTextSprite::kRightMargin);
    EXPECT_FLOAT_EQ(text.GetHeight(), 16.0f);
    EXPECT_EQ(text.GetTextRect().left, 100);
    EXPECT_EQ(text.GetTextRect().top, 50);

    text.SetText("Hello world");
    EXPECT_TRUE(text.IsDirty());
    EXPECT_FLOAT_EQ(text.GetWidth(), 62.0f) << "the last layout's size";
    const auto calls = TextCalls(text);
    ASSERT_EQ(calls.size(), 2u) << "measured, then drawn";
    EXPECT_EQ(calls[0].flags, 0x550u);
    EXPECT_EQ(calls[0].text, L"Hello world");
    EXPECT_EQ(calls[1].flags, 0x150u);
    EXPECT_FALSE(text.IsDirty());
    EXPECT_FLOAT_EQ(text.GetWidth(), 122.0f);

    // Drawn again unchanged: no new measurement.
    EXPECT_EQ(TextCalls(text).size(), 1u);
    text.SetText("Hello world");
    EXPECT_FALSE(text.IsDirty()) << "the same text changes nothing";
    text.SetPosition(0, 0);
    EXPECT_TRUE(text.IsDirty());
}

TEST_F(TextSpriteTest, ABox200WideWrapsAndTheRectangleEnds12PixelsPastTheText)
{
    const int position[2] = {100, 50};
    // 10 pixels a character: "The quick brown fox" (190), "jumps over the lazy" (190),
    // "dog again and again" (190); a fourth word more would pass 200.
    CTextSprite text("The quick brown fox jumps over the lazy dog again and again", STextStyle(0, kBlue),
                     position, 200);
    EXPECT_EQ(text.GetTextRect().right, 100 + 200 + CTextSprite::kRightMargin);
    EXPECT_EQ(text.GetTextRect().bottom, 50 + 3 * 16);

    text.SetBoxWidth(0);
    EXPECT_EQ(text.GetBoxHeight(), 0);
    const auto calls = TextCalls(text);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].rectOut.right - calls[0].rectOut.left, 590) << "no box: one line";
    EXPECT_EQ(text.GetTextRect().right, calls[0].rectOut.right + CTextSprite::kRightMargin);
    EXPECT_FLOAT_EQ(text.GetHeight(), 16.0f);
}

TEST_F(TextSpriteTest, ADefaultTextSpriteDoesNotWrap)
{
    CTextSprite text;
    EXPECT_EQ(text.GetBoxWidth(), 0);
    EXPECT_TRUE(text.IsDirty());
    EXPECT_EQ(text.GetText(), "");
    text.SetText("a b c d e f g h i j k l m n o p q r s t u v w x y z");
    TextCalls(text);
    EXPECT_FLOAT_EQ(text.GetHeight(), 16.0f);
    EXPECT_FLOAT_EQ(text.GetWidth(), 510.0f + CTextSprite::kRightMargin);
}

// A typed name holds letters beyond ASCII: drawn as the characters they are, each one character
// wide, never as the bytes of their UTF-8 ("ZoÃ«"); a stray byte shows as the replacement mark.
TEST_F(TextSpriteTest, UTF8TextIsDrawnAsItsCharacters)
{
    const int position[2] = {0, 0};
    CTextSprite text("Zo\u00EB \u00C9t\u00E9", STextStyle(0, kBlue), position, 0);
    EXPECT_FLOAT_EQ(text.GetWidth(), 70.0f + CTextSprite::kRightMargin);
    const auto calls = TextCalls(text);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, L"Zo\u00EB \u00C9t\u00E9");
    text.SetText("a\xFF");
    const auto stray = TextCalls(text);
    ASSERT_FALSE(stray.empty());
    EXPECT_EQ(stray.back().text, L"a\uFFFD");
}

TEST_F(TextSpriteTest, TheShadowIsDrawnFirstMovedByItsOffset)
{
    STextStyle style(0, kBlue, 0x1 /* DT_CENTER */);
    style.SetShadow(kRed, 2, 3);
    const int position[2] = {20, 30};
    CTextSprite text("Shadowed", style, position, 0);
    const auto calls = TextCalls(text);
    ASSERT_EQ(calls.size(), 2u);
    const plat::RECT& rect = text.GetTextRect();
    EXPECT_EQ(calls[0].color, 0xFFFF0000u);
    EXPECT_EQ(calls[0].rect.left, rect.left + 2);
    EXPECT_EQ(calls[0].rect.right, rect.right + 2);
    EXPECT_EQ(calls[0].rect.top, rect.top + 3);
    EXPECT_EQ(calls[0].rect.bottom, rect.bottom + 3);
    EXPECT_EQ(calls[0].flags, 0x151u);
    EXPECT_EQ(calls[1].color, 0xFF0000FFu);
    EXPECT_EQ(calls[1].rect.left, rect.left);
    EXPECT_EQ(calls[1].rect.top, rect.top);
    EXPECT_EQ(calls[1].flags, 0x151u);
    EXPECT_EQ(calls[1].name, "Arial");

    text.SetVisible(false, false);
    EXPECT_TRUE(TextCalls(text).empty()) << "invisible: nothing drawn";
}

TEST_F(TextSpriteTest, TheTextFollowsItsParent)
{
    CSprite panel;
    panel.SetPosition(40, 30);
    const int position[2] = {5, 6};
    auto* text = new CTextSprite("Label", STextStyle(), position, 0);
    ASSERT_TRUE(panel.AddChild("label", text));
    EXPECT_TRUE(text->IsDirty()) << "its parent moved it";
    TextCalls(*text);
    EXPECT_EQ(text->GetTextRect().left, 45);
    EXPECT_EQ(text->GetTextRect().top, 36);
    panel.SetPosition(100, 100);
    TextCalls(*text);
    EXPECT_EQ(text->GetTextRect().left, 105);
    EXPECT_FLOAT_EQ(text->GetAlpha(), 1.0f);
    EXPECT_FLOAT_EQ(text->GetRed(), 0.0f) << "the default style is opaque black";
}

TEST_F(TextSpriteTest, AFontIndexPastTheTableDrawsNothing)
{
    STextStyle style;
    style.fontIndex = 9;
    const int position[2] = {10, 10};
    testsupport::AssertCapture asserts;
    CTextSprite text("lost", style, position, 0);
    EXPECT_FLOAT_EQ(text.GetWidth(), 0.0f);
    EXPECT_TRUE(TextCalls(text).empty());
    EXPECT_FALSE(asserts.Reports().empty());
}

TEST_F(TextSpriteTest, TheSevenFontsAreMadeAsDescribedAndGoAtRelease)
{
    struct Expected
    {
        int height;
        unsigned width, weight;
        const wchar_t* face;
    };
    const Expected expected[CDorvoGfx::kFontCount] = {
        {16, 10, 400, L"Arial"},
        {16, 10, 700, L"Arial"},
        {16, 10, 400, L"Times New Roman"},
        {16, 10, 700, L"Times New Roman"},
        {25, 10, 400, L"Ravie"},
        {40, 25, 400, L"Ravie"},
        {16, 8, 400, L"Arial"},
    };
    const CDorvoGfx::FontTable& fonts = gfx.GetFonts();
    for (std::size_t i = 0; i < CDorvoGfx::kFontCount; ++i)
    {
        SCOPED_TRACE(i);
        ASSERT_NE(fonts[i], nullptr);
        plat::D3DXFONT_DESCW desc;
        ASSERT_TRUE(plat::SUCCEEDED(fonts[i]->GetDescW(&desc)));
        EXPECT_EQ(desc.Height, expected[i].height);
        EXPECT_EQ(desc.Width, expected[i].width);
        EXPECT_EQ(desc.Weight, expected[i].weight);
        EXPECT_EQ(desc.MipLevels, 1u);
        EXPECT_EQ(desc.Italic, 0);
        EXPECT_EQ(desc.CharSet, 0);
        EXPECT_EQ(desc.OutputPrecision, 8);
        EXPECT_EQ(desc.Quality, 4);
        EXPECT_EQ(desc.PitchAndFamily, 0);
        EXPECT_EQ(std::wcscmp(desc.FaceName, expected[i].face), 0);
    }
    // The fonts' glyph atlases live on the device until the facade lets them go.
    auto liveTextures = []()
    {
        unsigned live = 0;
        for (const plat::devicedebug::ResourceInfo& info : plat::headless::Resources())
            if (info.kind == plat::devicedebug::ResourceKind::Texture && info.live && !info.implicit)
                ++live;
        return live;
    };
    EXPECT_GE(liveTextures(), 1u);
    gfx.Release();
    for (plat::ID3DXFont* font : gfx.GetFonts())
        EXPECT_EQ(font, nullptr);
    EXPECT_EQ(dorvo::gfx::g_pSprite, nullptr);
    EXPECT_EQ(liveTextures(), 0u);
}
