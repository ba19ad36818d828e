// What lies over what across the menus: the tip box above every menu and under the cursor, the
// frame-rate read-out clear of every menu the player can bring up, and every tip worded for the
// player (no placeholder, no class name).
#include "MenuTestWorld.h"
#include "PuzzleMenuWorld.h"

#include "common/Singleton.h"
#include "engine/gfx/core/CTextureHandle.h"
#include "engine/gfx/gui/CCursor.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/MenuTable.h"
#include "game/menus/BaseMenu.h"
#include "game/menus/ToolTipMenu.h"
#include "statemachine/Database.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace
{
using puzzlemenutest::PuzzleMenuWorld;

const char* const kTips = "ToolTipMenu";

struct Rect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool Meets(const Rect& other) const
    {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
};

std::vector<dorvo::gfx::IScreenUnit*> UnitsOf(const gametest::MenuTestWorld& world, const std::string& menu)
{
    std::vector<dorvo::gfx::IScreenUnit*> units;
    if (dorvo::gfx::Gfx2DComp* gui = world.Gui(menu))
        gui->CollectUnits(units);
    return units;
}

// Where a unit draws something the player sees; false for a hidden, faint or empty one.
bool DrawnRect(const dorvo::gfx::IScreenUnit* unit, Rect& rect)
{
    const auto* sprite = dynamic_cast<const dorvo::gfx::CSprite*>(unit);
    if (!sprite || !sprite->IsVisible() || sprite->GetAlpha() < 0.02f)
        return false;
    if (const auto* text = dynamic_cast<const dorvo::gfx::CTextSprite*>(sprite))
    {
        if (text->GetText().empty())
            return false;
        const plat::RECT& r = text->GetTextRect();
        rect = Rect{r.left, r.top, r.right, r.bottom};
        return true;
    }
    if (!sprite->GetTexture().GetTexture() || !sprite->GetCurrentAnimation())
        return false;
    // Drawn scaled about its pivot, the pivot on its absolute position.
    rect.left =
        sprite->GetAbsoluteX() - static_cast<int>(std::lround(sprite->GetCenterX() * sprite->GetScaleX()));
    rect.top =
        sprite->GetAbsoluteY() - static_cast<int>(std::lround(sprite->GetCenterY() * sprite->GetScaleY()));
    rect.right = rect.left + static_cast<int>(std::ceil(sprite->GetWidth()));
    rect.bottom = rect.top + static_cast<int>(std::ceil(sprite->GetHeight()));
    return true;
}

// The menus the player brings up at fixed places; the rest follow the cursor, the room or the
// tip's own rule.
bool HasFixedPlace(const std::string& menu)
{
    for (const char* moving : {"Radial", "Submenu", "MouseWidgetSelMenu", "TimerObjMenu", kTips})
        if (menu == moving)
            return false;
    return true;
}

// The units of every open menu that the read-out's rectangle meets, as "menu/unit". Veils and
// panel backgrounds (units over a quarter of the screen or more) may lie under it: the buttons,
// icons and texts on them may not.
std::vector<std::string> Covering(const gametest::MenuTestWorld& world, const Rect& readOut)
{
    std::vector<std::string> found;
    for (std::size_t i = 0; i < QUORB::MenuTable::kMenuCount; ++i)
    {
        const std::string menu = QUORB::MenuTable::GetName(i);
        if (!HasFixedPlace(menu))
            continue;
        for (const dorvo::gfx::IScreenUnit* unit : UnitsOf(world, menu))
        {
            Rect rect;
            if (!DrawnRect(unit, rect))
                continue;
            const bool background = (rect.right - rect.left) * (rect.bottom - rect.top) >= 800 * 600 / 4;
            if (!background && rect.Meets(readOut))
                found.push_back(menu + "/" + unit->GetName());
        }
    }
    return found;
}
} // namespace

TEST(MenuLayout, TheTipBoxLiesAboveEveryMenuAndUnderTheCursor)
{
    gametest::MenuTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Step();
    Database* database = common::Singleton<Database>::Instance();
    const std::uint32_t tipsId = database->FindIdByName(kTips);
    const std::vector<dorvo::gfx::IScreenUnit*> tip = UnitsOf(world, kTips);
    ASSERT_FALSE(tip.empty());
    int lowest = 1000;
    for (const dorvo::gfx::IScreenUnit* unit : tip)
        if (unit->GetName() != "Base")
            lowest = std::min(lowest, unit->GetDepth());
    EXPECT_EQ(lowest, QUORB::ToolTipMenu::kDepth);
    // Equal depths draw in the order of their objects' ids.
    for (std::size_t i = 0; i < QUORB::MenuTable::kMenuCount; ++i)
    {
        const std::string menu = QUORB::MenuTable::GetName(i);
        if (menu == kTips)
            continue;
        const std::uint32_t id = database->FindIdByName(menu);
        for (const dorvo::gfx::IScreenUnit* unit : UnitsOf(world, menu))
        {
            SCOPED_TRACE(menu + "/" + unit->GetName());
            EXPECT_TRUE(unit->GetDepth() < lowest || (unit->GetDepth() == lowest && id < tipsId))
                << "depth " << unit->GetDepth();
        }
    }
    const dorvo::gfx::CCursor* cursor = world.Game().GetCursor();
    ASSERT_NE(cursor, nullptr);
    for (const dorvo::gfx::IScreenUnit* unit : tip)
        EXPECT_LT(unit->GetDepth(), cursor->GetDepth()) << unit->GetName();
}

TEST(MenuLayout, TheFrameRateReadOutStaysClearOfEveryMenu)
{
    // Inside a puzzle being built, where the most menus share the screen, every menu of the
    // table opened in turn (the help tab with its controls button out).
    PuzzleMenuWorld play(puzzletest::PuzzleText{});
    ASSERT_TRUE(play.Ready());
    gametest::MenuTestWorld& world = *play.world;
    play.Console("togglefps");
    play.Console("togglecm");
    play.Enter();
    puzzlemenutest::Send("CreatorMenu", MSG_OpenMenu);
    puzzlemenutest::Send("BackMenu", MSG_OpenMenu);
    world.RunFor(1.0);
    world.Step();
    const plat::RECT& r = world.Game().GetFPSText().GetTextRect();
    const Rect readOut{r.left, r.top, r.right, r.bottom};
    ASSERT_GT(readOut.right, readOut.left) << "the read-out is drawn";
    EXPECT_TRUE(Covering(world, readOut).empty()) << testing::PrintToString(Covering(world, readOut));
    for (std::size_t i = 0; i < QUORB::MenuTable::kMenuCount; ++i)
    {
        const std::string menu = QUORB::MenuTable::GetName(i);
        if (!HasFixedPlace(menu) || world.MenuState(menu) == QUORB::BaseMenu::STATE_Open)
            continue;
        SCOPED_TRACE(menu);
        world.Send(menu, MSG_OpenMenu);
        world.RunFor(1.0);
        if (menu == "HelpMenu")
        {
            ASSERT_TRUE(world.Click(menu, "HelpButton"));
        }
        EXPECT_TRUE(Covering(world, readOut).empty()) << testing::PrintToString(Covering(world, readOut));
        world.Send(menu, MSG_CloseMenuForced);
        world.RunFor(0.2);
    }
}

TEST(MenuLayout, EveryTipIsWordedForThePlayer)
{
    gametest::MenuTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Step();
    int tips = 0;
    for (std::size_t i = 0; i < QUORB::MenuTable::kMenuCount; ++i)
    {
        const std::string menu = QUORB::MenuTable::GetName(i);
        for (const dorvo::gfx::IScreenUnit* unit : UnitsOf(world, menu))
        {
            const auto* sprite = dynamic_cast<const dorvo::gfx::CSprite*>(unit);
            const std::string tip = sprite ? sprite->GetTipText() : std::string();
            if (tip.empty())
                continue;
            ++tips;
            SCOPED_TRACE(menu + "/" + unit->GetName() + ": " + tip);
            for (const char* word : {"TODO", "GetToLocation", "CauseDestruction", "SquashQuorbi", "TimeLimit",
                                     "WaterControl", "magetic"})
                EXPECT_EQ(tip.find(word), std::string::npos) << word;
        }
    }
    EXPECT_GT(tips, 40) << "the walk reached the menus' buttons";
}
