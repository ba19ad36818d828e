// Presses shorter than a frame inside a puzzle, through the real menus and the editor: the bar's
// key Z chooses the platform, a click on the face places one, Delete takes it away, and a click
// on "Start" that comes in the same frame as the move onto it starts the run instead of falling
// through to the face. Each play runs twice, the keys and the button held over a frame and
// pressed and released between two frames, and the two must end alike.
#include "PuzzleMenuWorld.h"

#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/gui/CCursor.h"
#include "game/manipulator/WidgetManipulator.h"
#include "game/menus/MenuHitTests.h"
#include "platform/headless.h"
#include "platform/input_feed.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace puzzlemenutest;
using Strings = std::vector<std::string>;

namespace
{
constexpr std::uint32_t kZ = 44;
constexpr std::uint32_t kDelete = 211;

enum class Timing
{
    Held,  // down in one frame, up in the next
    Quick, // down and up between the same two frames
};

puzzletest::PuzzleText StarOnLocation()
{
    puzzletest::PuzzleText front;
    front.budget = 3;
    front.objectives.push_back(Location());
    front.quorbs.push_back(Star());
    return front;
}

void Tap(PuzzleMenuWorld& play, std::uint32_t key, Timing press)
{
    if (press == Timing::Held)
    {
        play.world->KeyDown(key);
        play.world->KeyUp(key);
    }
    else
        play.world->Key(key);
    play.world->Step();
}

void Click(PuzzleMenuWorld& play, Timing press)
{
    if (press == Timing::Held)
    {
        play.world->LeftDown();
        play.world->LeftUp();
    }
    else
        play.world->LeftClick();
    play.world->Step();
}

// The pointer from where it is to the point and the left button pressed in the same frame (and
// released in it too when quick), as a hand that moves and clicks at once.
void MoveAndClick(PuzzleMenuWorld& play, int x, int y, Timing press)
{
    const math::Vector3 from = play.Game().GetCursor()->GetScreenPoint();
    plat::headless::SetCursorScreenPosition(x, y);
    plat::inputfeed::MouseMove(x - static_cast<int>(from.x), y - static_cast<int>(from.y), 200);
    plat::inputfeed::MouseButton(0, true, 201);
    if (press == Timing::Quick)
        plat::inputfeed::MouseButton(0, false, 202);
    play.world->Step();
    if (press == Timing::Held)
        play.world->LeftUp();
    play.world->Step();
}

struct Seen
{
    std::string type;
    std::size_t widgets = 0;
    int budget = 0;
    bool running = false;
    Strings linesRun;
    bool operator==(const Seen& o) const
    {
        return type == o.type && widgets == o.widgets && budget == o.budget && running == o.running &&
               linesRun == o.linesRun;
    }
};

std::ostream& operator<<(std::ostream& out, const Seen& s)
{
    out << "{type \"" << s.type << "\", widgets " << s.widgets << ", budget " << s.budget << ", running "
        << s.running << ", ran";
    for (const std::string& line : s.linesRun)
        out << " \"" << line << "\"";
    return out << "}";
}

Seen Look(PuzzleMenuWorld& play)
{
    Seen seen;
    seen.type = play.Game().GetWidgetManipulator()->GetCurrentWidgetType();
    seen.widgets = play.puzzle->GetWidgetIDs().size();
    seen.budget = play.puzzle->GetBudgetLeft();
    seen.running = !Paused();
    seen.linesRun = play.LinesRun();
    play.world->ClearConsoleLines();
    return seen;
}
} // namespace

TEST(ShortPressMenus, QuickKeysAndClicksChoosePlaceDeleteAndStartAsHeldOnesDo)
{
    std::vector<std::vector<Seen>> plays;
    for (Timing press : {Timing::Held, Timing::Quick})
    {
        SCOPED_TRACE(press == Timing::Held ? "held" : "quick");
        PuzzleMenuWorld play(StarOnLocation());
        ASSERT_TRUE(play.Ready());
        play.EnterAndSettle();
        play.world->RunFor(0.4); // the bar's slide
        play.world->MoveCursor(400, 300);
        play.world->Step();
        play.world->ClearConsoleLines();
        std::vector<Seen> seen;

        Tap(play, kZ, press);
        seen.push_back(Look(play));
        Click(play, press);
        seen.push_back(Look(play));
        Tap(play, kDelete, press);
        seen.push_back(Look(play));

        auto* start =
            dynamic_cast<dorvo::gfx::CButton*>(play.world->FindUnit("StartPuzzleMenu", "StartButton"));
        ASSERT_NE(start, nullptr);
        auto* circle = dynamic_cast<QUORB::CirclePointInsideFunct*>(start->GetPointInsideFunct());
        ASSERT_NE(circle, nullptr);
        int x = 0;
        int y = 0;
        circle->GetCentre(x, y);
        MoveAndClick(play, x, y, press);
        seen.push_back(Look(play));
        plays.push_back(seen);
    }
    ASSERT_EQ(plays.size(), 2u);
    const std::vector<Seen>& held = plays[0];
    ASSERT_EQ(held.size(), 4u);
    EXPECT_EQ(held[0], (Seen{"Platform", 0, 3, false, {}})) << "Z chose the platform";
    EXPECT_EQ(held[1], (Seen{"Platform", 1, 2, false, {}})) << "the click placed one";
    EXPECT_EQ(held[2], (Seen{"Platform", 0, 3, false, {}})) << "Delete took it away";
    EXPECT_EQ(held[3].widgets, 0u) << "the click on \"Start\" placed nothing under it";
    EXPECT_TRUE(held[3].running) << "\"Start\" was pressed";
    EXPECT_EQ(held[3].linesRun, Strings({"play"}));
    for (std::size_t step = 0; step < held.size(); ++step)
        EXPECT_EQ(plays[1][step], held[step]) << "step " << step << ": the quick press ends as the held one";
}

// A bar button held for longer than the input's repeat (0.2 s) is pressed again and again by
// the repeat of its held press; those repeats are the button's, so the editor under the bar never
// takes one for a press of its own and drags no widget out on the next move.
TEST(ShortPressMenus, ABarButtonHeldPastTheRepeatChoosesItsTypeAndLeavesTheEditorAlone)
{
    PuzzleMenuWorld play(StarOnLocation());
    ASSERT_TRUE(play.Ready());
    play.EnterAndSettle();
    play.world->RunFor(0.4); // the bar's slide
    auto* bar =
        dynamic_cast<dorvo::gfx::CButton*>(play.world->FindUnit("WidgetChoiceBarMenu", "PlatformButton"));
    ASSERT_NE(bar, nullptr);
    const int x = bar->GetAbsoluteX() + static_cast<int>(bar->GetWidth()) / 2;
    const int y = bar->GetAbsoluteY() + static_cast<int>(bar->GetHeight()) / 2;
    play.world->MoveCursor(x, y);
    play.world->Step();
    play.world->LeftDown();
    play.world->RunFor(0.7); // three repeats of the held press
    const QUORB::WidgetManipulator* editor = play.Game().GetWidgetManipulator();
    EXPECT_FALSE(editor->IsLeftDown()) << "a repeat of the bar's press reached the editor";
    play.world->LeftUp();
    play.world->Step();
    EXPECT_EQ(editor->GetCurrentWidgetType(), "Platform");
    play.world->MoveCursor(400, 300);
    play.world->RunFor(0.3);
    EXPECT_FALSE(editor->IsLeftDown());
    EXPECT_TRUE(play.puzzle->GetWidgetIDs().empty()) << "a move after the press dragged a widget out";
}
