// The mouse badge: opened by the manipulator's creation type, it shows that type's icon alone
// on its round badge 25 pixels right of and 10 below the cursor, and follows the cursor; a type
// without an icon shows the bare badge. The icon is chosen when the badge opens from closed.
#include "MenuTestWorld.h"

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

    // A type set while the badge is open keeps the icon it shows.
    world.Console("setcwt Platform");
    world.Step();
    EXPECT_EQ(IconsShown(world), Strings({"MagnetIcon"}));
}
