// The three editor bars as sliding menus: each holds its first button as the slide's reference
// from start-up, before any layout; each opens along its own row (the choice bar at y 560, the
// property bar at 525, the value editor at 490) from x 150, or 0 while building puzzles, and
// closes to x -300 on the same row, its buttons moving as one block.
#include "EditorBarsWorld.h"
#include "engine/gfx/sprites/CSprite.h"

#include <gtest/gtest.h>

using namespace editorbars;

namespace
{
const char* const kChoiceBar = "WidgetChoiceBarMenu";

struct Bar
{
    const char* menu;
    const char* first;  // the first button built, and the first shown in the rows below
    const char* second; // the button shown after it
    int y;
};
const Bar kBars[] = {
    {kChoiceBar, "PlatformButton", "BarButton", 560},
    {kPropertyBar, "FrictionButton", "WeightButton", 525},
    {kValueBar, "FrictionLowButton", "FrictionMediumButton", 490},
};
} // namespace

TEST(EditorBarsSlide, EachBarHoldsItsFirstButtonAsTheReferenceBeforeAnyLayout)
{
    gametest::MenuTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Step();
    for (const Bar& bar : kBars)
    {
        SCOPED_TRACE(bar.menu);
        QUORB::BaseMenu* machine = MenuMachine(bar.menu);
        ASSERT_NE(machine, nullptr);
        // Never opened or reset, so nothing has laid the bar out.
        EXPECT_EQ(world.MenuState(bar.menu), kClosed);
        for (MessageName name : {MSG_OpenMenu, MSG_OpenMenuEx, MSG_ResetMenu})
            EXPECT_TRUE(world.MessagesTo(bar.menu, name).empty()) << GetMessageNameText(name);
        ASSERT_NE(world.FindUnit(bar.menu, bar.first), nullptr);
        EXPECT_EQ(machine->GetRefSprite(), world.FindUnit(bar.menu, bar.first));
    }
}

TEST(EditorBarsSlide, EachBarOpensOnItsRowAndClosesToTheLeftOfTheScreen)
{
    for (bool createPuzzle : {false, true})
    {
        SCOPED_TRACE(createPuzzle ? "building puzzles" : "playing");
        EditorBars bars(createPuzzle);
        ASSERT_TRUE(bars.Ready());
        Gob* platform = bars.Place("Platform", Front(0.0f, 4.0f));
        ASSERT_NE(platform, nullptr);
        bars.Select(platform);
        ASSERT_TRUE(bars.Click(kPropertyBar, "FrictionButton"));

        const int openX = createPuzzle ? 0 : 150;
        for (const Bar& bar : kBars)
        {
            SCOPED_TRACE(bar.menu);
            ASSERT_EQ(bars.World().MenuState(bar.menu), kOpen);
            EXPECT_EQ(MenuMachine(bar.menu)->GetRefSprite(), bars.World().FindUnit(bar.menu, bar.first));
            EXPECT_EQ(bars.X(bar.menu, bar.first), openX);
            EXPECT_EQ(bars.World().Unit(bar.menu, bar.first).y, bar.y);
            EXPECT_EQ(bars.X(bar.menu, bar.second), openX + 50);
        }

        for (const Bar& bar : kBars)
            Send(bar.menu, MSG_CloseMenu);
        bars.World().RunFor(kSlide);
        for (const Bar& bar : kBars)
        {
            SCOPED_TRACE(bar.menu);
            EXPECT_EQ(bars.World().MenuState(bar.menu), kClosed);
            EXPECT_EQ(bars.X(bar.menu, bar.first), -300);
            EXPECT_EQ(bars.World().Unit(bar.menu, bar.first).y, bar.y);
            EXPECT_EQ(bars.X(bar.menu, bar.second), -250);
        }
    }
}
