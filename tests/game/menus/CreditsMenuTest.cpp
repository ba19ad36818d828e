// The credits page in the booted game: it slides in from the left and back, its portraits keep
// their own colours under every skin while the panel takes the skin's, and every text lies on
// the panel.
#include "MenuTestWorld.h"

#include "engine/gfx/CTextSprite.h"
#include "engine/gfx/STextStyle.h"
#include "game/menus/BaseMenu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

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
} // namespace
