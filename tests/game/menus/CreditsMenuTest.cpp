// The credits page in the booted game: it slides in from the left and back, its portraits keep
// their own colours under every skin while the panel takes the skin's, and every text lies on
// the panel, also as the screen's face lays it out.
#include "MenuTestWorld.h"
#include "TestSupport.h"

#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/STextStyle.h"
#include "game/menus/BaseMenu.h"
#include "platform/font_face.h"
#include "platform/image_codec.h"
#include "platform/text_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr int kOpen = QUORB::BaseMenu::STATE_Open;
constexpr int kClosing = QUORB::BaseMenu::STATE_Closing;
constexpr int kClosed = QUORB::BaseMenu::STATE_Closed;
const char* const kMenu = "CreditsMenu";

// The widest line of the text in the menus' body font, pixels, as the font lays it out.
int WidestLine(const std::string& text)
{
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const int origin[2] = {0, 0};
    int widest = 0;
    std::size_t start = 0;
    while (start <= text.size())
    {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        dorvo::gfx::CTextSprite line(text.substr(start, end - start), dorvo::gfx::STextStyle(4, black, 0),
                                     origin, 0);
        widest = std::max(widest, static_cast<int>(line.GetWidth()));
        start = end + 1;
    }
    return widest;
}

// The advances of the face that the menus' fonts 4 and 5 ("Ravie") are drawn in on the screen,
// at the font's size: the widths their texts are laid out with there.
class ScreenMetrics : public plat::detail::TextMetrics
{
public:
    ScreenMetrics(const plat::detail::FontFace& face, const plat::D3DXFONT_DESCW& desc)
        : m_face(face), m_desc(desc)
    {
    }
    int Advance(std::uint32_t codePoint) const override
    {
        const unsigned glyph = m_face.GlyphIndex(codePoint);
        return m_face.Advance(glyph != 0 ? glyph : m_face.GlyphIndex('?'));
    }
    int MeanWidth() const override { return static_cast<int>(m_desc.Width); }
    int LineHeight() const override { return std::abs(static_cast<int>(m_desc.Height)); }

private:
    const plat::detail::FontFace& m_face;
    const plat::D3DXFONT_DESCW& m_desc;
};

// Null when the face's file is not installed.
std::unique_ptr<plat::detail::FontFace> ScreenFace(const plat::D3DXFONT_DESCW& desc)
{
    const std::string path = plat::detail::FindFontFile("LeckerliOne-Regular.ttf");
    std::vector<unsigned char> bytes;
    std::string reason;
    if (path.empty() || !plat::detail::ReadWholeFile(path, bytes, reason))
        return nullptr;
    auto face = plat::detail::FontFace::Load(std::move(bytes), reason);
    if (face)
        face->SetSize(std::abs(static_cast<int>(desc.Height)), static_cast<int>(desc.Width));
    return face;
}

// How much of the panel image's width, from its left edge, its face (with its rim) takes on the
// middle row: the columns up to the last fully opaque one; the shadow beyond it fades out.
// 0 when the image cannot be read.
double OpaqueShare(const std::string& image)
{
    std::vector<unsigned char> bytes;
    std::string reason;
    plat::detail::DecodedImage decoded;
    if (!plat::detail::ReadWholeFile(image, bytes, reason) ||
        !plat::detail::DecodeImage(bytes.data(), bytes.size(), 4096, decoded, reason))
        return 0.0;
    const std::size_t row = decoded.height / 2 * decoded.width;
    for (std::size_t x = decoded.width; x > 0; --x)
        if ((decoded.pixels[row + x - 1] >> 24) == 0xFF)
            return static_cast<double>(x) / decoded.width;
    return 0.0;
}

TEST(CreditsMenuTest, SlidesInAndOutAndKeepsThePortraitsColours)
{
    gametest::MenuTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Step();
    world.Send(kMenu, MSG_OpenMenu);
    world.Step();
    const int early = world.Unit(kMenu, "Background").x;
    EXPECT_GT(early, -600);
    EXPECT_LT(early, 40);
    world.RunFor(0.2);
    ASSERT_EQ(world.MenuState(kMenu), kOpen);
    const gametest::UnitView panel = world.Unit(kMenu, "Background");
    EXPECT_EQ(panel.x, 40);
    EXPECT_EQ(panel.y, 44);
    EXPECT_EQ(world.Unit(kMenu, "QUORBTeamText").text, "Q.U.O.R.B. Team");
    EXPECT_EQ(world.Unit(kMenu, "Tavik").x, 40 + 30);
    EXPECT_EQ(world.Unit(kMenu, "Tavik").y, 44 + 200);

    // The texts: three lines a member, one line of notice, two headed lists.
    const struct
    {
        const char* unit;
        long lines;
        long indented;
    } texts[] = {{"DrumoText", 3, 0},     {"TavikText", 3, 0}, {"SelnoText", 3, 0},
                 {"CopyrightText", 1, 0}, {"ExProText", 3, 2}, {"ThxText", 5, 4}};
    for (const auto& text : texts)
    {
        SCOPED_TRACE(text.unit);
        const gametest::UnitView view = world.Unit(kMenu, text.unit);
        EXPECT_EQ(std::count(view.text.begin(), view.text.end(), '\n') + 1, text.lines);
        std::size_t indented = 0;
        for (std::size_t at = view.text.find("\n "); at != std::string::npos;
             at = view.text.find("\n ", at + 1))
            ++indented;
        EXPECT_EQ(static_cast<long>(indented), text.indented);
        EXPECT_TRUE(view.visible);
        const int widest = WidestLine(view.text);
        EXPECT_GT(widest, 0);
        EXPECT_LE(view.x + widest, panel.x + panel.width);
        EXPECT_LE(view.y + view.height, panel.y + panel.height);
    }

    for (const char* skin : {"DefaultSkin", "ColdSkin", "VegieSkin"})
    {
        SCOPED_TRACE(skin);
        world.Console(std::string("setgameskin ") + skin);
        world.Step();
        for (const char* portrait : {"Drumo", "Tavik", "Selno"})
        {
            const gametest::UnitView view = world.Unit(kMenu, portrait);
            EXPECT_FLOAT_EQ(view.red, 1.0f);
            EXPECT_FLOAT_EQ(view.green, 1.0f);
            EXPECT_FLOAT_EQ(view.blue, 1.0f);
        }
        const gametest::UnitView skinned = world.Unit(kMenu, "Background");
        EXPECT_LT(std::min({skinned.red, skinned.green, skinned.blue}), 1.0f);
        EXPECT_FLOAT_EQ(skinned.alpha, 0.5f);
    }

    world.Send(kMenu, MSG_CloseMenu);
    world.RunFor(0.3);
    EXPECT_EQ(world.MenuState(kMenu), kClosing);
    EXPECT_LT(world.Unit(kMenu, "Background").x, 40);
    EXPECT_GT(world.Unit(kMenu, "Background").x, -600);
    world.RunFor(0.3);
    EXPECT_EQ(world.MenuState(kMenu), kClosed);
    EXPECT_EQ(world.Unit(kMenu, "Background").x, -600);
}

// Laid out in the face the screen draws them in, every line of every text ends on the panel's
// opaque face, not on its fading shadow nor past it.
TEST(CreditsMenuTest, EveryLineEndsOnThePanelAsTheScreenDrawsIt)
{
    if (plat::detail::FindFontFile("LeckerliOne-Regular.ttf").empty())
        GTEST_SKIP() << "LeckerliOne-Regular.ttf is not installed (package fonts-leckerli-one)";
    const double opaque = OpaqueShare(testsupport::RepoPath("data/textures/hud/MenuBackground.png"));
    ASSERT_GT(opaque, 0.5);

    gametest::MenuTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Step();
    world.Send(kMenu, MSG_OpenMenu);
    world.RunFor(0.3);
    ASSERT_EQ(world.MenuState(kMenu), kOpen);
    const gametest::UnitView panel = world.Unit(kMenu, "Background");
    const int panelRight = panel.x + static_cast<int>(opaque * panel.width);

    const struct
    {
        const char* unit;
        std::size_t font;
        int boxWidth;
    } texts[] = {{"QUORBTeamText", 5, 450}, {"DrumoText", 4, 450},     {"TavikText", 4, 450},
                 {"SelnoText", 4, 450},     {"CopyrightText", 4, 800}, {"ExProText", 4, 800},
                 {"ThxText", 4, 800}};
    for (const auto& entry : texts)
    {
        SCOPED_TRACE(entry.unit);
        const plat::D3DXFONT_DESCW& desc = dorvo::gfx::CDorvoGfx::GetFontDesc(entry.font);
        const std::unique_ptr<plat::detail::FontFace> face = ScreenFace(desc);
        ASSERT_NE(face, nullptr);
        const ScreenMetrics metrics(*face, desc);
        const gametest::UnitView view = world.Unit(kMenu, entry.unit);
        const std::wstring text(view.text.begin(), view.text.end());
        plat::detail::TextLayout layout;
        // DT_NOCLIP | DT_EXPANDTABS | DT_WORDBREAK, as the text sprites draw.
        plat::detail::LayOutText(text.c_str(), text.size(), entry.boxWidth, 0x150, metrics, layout);
        ASSERT_GT(layout.LineCount(), 0);
        for (int line = 0; line < layout.LineCount(); ++line)
            EXPECT_LE(view.x + layout.lineWidths[static_cast<std::size_t>(line)], panelRight)
                << "line " << line;
    }
}
} // namespace
