// The mouse badge: opened by the manipulator's creation type, it shows that type's icon alone
// on its round badge 25 pixels right of and 10 below the cursor, and follows the cursor; a type
// without an icon shows the bare badge. The icon is always the current type's, and the badge
// goes whenever the type does.
#include "MenuTestWorld.h"
#include "PuzzleMenuWorld.h"

#include "game/manipulator/WidgetManipulator.h"
#include "game/menus/MouseWidgetSelMenu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Strings = std::vector<std::string>;

namespace
{
const char* const kBadge = "MouseWidgetSelMenu";
constexpr int kClosed = 1;
constexpr int kOpen = 3;

Strings IconsShown(const gametest::MenuTestWorld& world)
{
    Strings shown;
    for (const QUORB::MouseWidgetSelMenu::Icon& icon : QUORB::MouseWidgetSelMenu::kIcons)
        if (world.Unit(kBadge, icon.name).visible)
            shown.push_back(icon.name);
    return shown;
}
} // namespace

TEST(MouseWidgetSelMenu, TheCurrentTypeAloneShowsItsIconAndTheBadgeFollowsTheCursor)
{
    gametest::MenuTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Step(2);
    world.MoveCursor(300, 200);

    struct Case
    {
        const char* type;
        Strings icons;
    };
    const Case cases[] = {
        {"TimerObjective", {"TimeLimitIcon"}},
        {"Bar", {"BarIcon"}},
        {"HardNode", {"HardeNodeIcon"}},
        {"BarAlt", {}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.type);
        world.Console(std::string("setcwt ") + c.type);
        world.Step();
        ASSERT_EQ(world.MenuState(kBadge), kOpen);
        EXPECT_EQ(IconsShown(world), c.icons);
        const gametest::UnitView badge = world.Unit(kBadge, "Background");
        EXPECT_TRUE(badge.visible) << "the badge shows without an icon too";
        EXPECT_EQ(badge.x, 300 + 25);
        EXPECT_EQ(badge.y, 200 + 10);
        EXPECT_NEAR(badge.alpha, 0.7f, 1e-6f);
        world.Console("clearcwt");
        EXPECT_EQ(world.MenuState(kBadge), kClosed);
    }

    world.Console("setcwt Magnet");
    world.MoveCursor(500, 420);
    world.Step();
    const gametest::UnitView badge = world.Unit(kBadge, "Background");
    EXPECT_EQ(badge.x, 525);
    EXPECT_EQ(badge.y, 430);
    const gametest::UnitView icon = world.Unit(kBadge, "MagnetIcon");
    EXPECT_EQ(icon.x, 525 + 5);
    EXPECT_EQ(icon.y, 430 + 5);

    // A type set while the badge is open shows its own icon.
    world.Console("setcwt Platform");
    world.Step();
    EXPECT_EQ(IconsShown(world), Strings({"PlatformIcon"}));
}

// The badge tells the truth about the next press on the face: a type chosen shows its icon, and
// whatever ends the choice (a run started, the puzzle set back after the score panel, the
// puzzle left) takes the badge away with it, so nothing follows the cursor into the menus.
TEST(MouseWidgetSelMenu, TheBadgeGoesWithTheChosenTypeThroughARunAndOutOfThePuzzle)
{
    puzzletest::PuzzleText front;
    front.budget = 4;
    front.availableWidgets = 0x1 | 0x8; // platform and magnet
    front.objectives.push_back(puzzlemenutest::Location());
    front.quorbs.push_back(puzzlemenutest::Star());
    puzzlemenutest::PuzzleMenuWorld play(front);
    ASSERT_TRUE(play.Ready());
    play.EnterAndSettle();
    gametest::MenuTestWorld& world = *play.world;
    ASSERT_TRUE(world.RunUntil([&]() { return world.MenuState("WidgetChoiceBarMenu") == kOpen; }, 1.0));
    auto type = [&]() { return play.Game().GetWidgetManipulator()->GetCurrentWidgetType(); };
    auto badgeShows = [&](const Strings& icons)
    {
        world.Step();
        EXPECT_EQ(world.MenuState(kBadge), kOpen);
        EXPECT_EQ(IconsShown(world), icons);
    };
    auto noBadge = [&](const char* after)
    {
        SCOPED_TRACE(after);
        world.Step();
        EXPECT_EQ(type(), "");
        EXPECT_EQ(world.MenuState(kBadge), kClosed);
        EXPECT_FALSE(world.Unit(kBadge, "Background").visible);
    };
    // The bar open with no button checked: one click on an icon chooses it.
    auto nothingChecked = [&]()
    {
        EXPECT_EQ(world.MenuState("WidgetChoiceBarMenu"), kOpen);
        for (const char* button : {"PlatformButton", "MagnetButton"})
            EXPECT_FALSE(world.Unit("WidgetChoiceBarMenu", button).checked) << button;
    };

    ASSERT_TRUE(world.Click("WidgetChoiceBarMenu", "MagnetButton"));
    badgeShows({"MagnetIcon"});
    ASSERT_TRUE(world.Click("WidgetChoiceBarMenu", "PlatformButton"));
    badgeShows({"PlatformIcon"});
    world.Console("setcwt Magnet");
    badgeShows({"MagnetIcon"});

    // "Start": the run clears the choice.
    ASSERT_TRUE(world.Click("StartPuzzleMenu", "StartButton"));
    noBadge("Start");
    ASSERT_TRUE(world.RunUntil([&]() { return world.MenuState("ScoreMenu") == kOpen; }, 8.0));
    noBadge("the score panel");

    // "Back To Puzzle": the puzzle set back, nothing chosen until the bar is used again.
    ASSERT_TRUE(world.Click("ScoreMenu", "PuzzleButton"));
    ASSERT_TRUE(world.RunUntil([&]() { return world.MenuState("StartPuzzleMenu") == kOpen; }, 2.5));
    noBadge("Back To Puzzle");
    nothingChecked();
    ASSERT_TRUE(world.Click("WidgetChoiceBarMenu", "PlatformButton"));
    EXPECT_EQ(type(), "Platform");
    badgeShows({"PlatformIcon"});

    // The puzzle's "Reset" while a type is chosen, and leaving the puzzle.
    play.Console("reloadfocusedpuzzle");
    noBadge("reloadfocusedpuzzle");
    nothingChecked();
    world.Console("setcwt Magnet");
    badgeShows({"MagnetIcon"});
    play.Game().LeavePuzzle(false);
    noBadge("leaving the puzzle");
}
