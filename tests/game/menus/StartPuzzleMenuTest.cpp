// The start-puzzle menu inside a seeded puzzle: "Start" runs the puzzle and becomes "Stop",
// which puts it back; the small button reloads it only while no run goes on; the labels follow
// create-puzzle mode; the buttons sit in the bottom-right corner.
#include "PuzzleMenuWorld.h"

#include "engine/gfx/gui/CButton.h"
#include "game/menus/MenuHitTests.h"

#include <gtest/gtest.h>

using namespace puzzlemenutest;
using Strings = std::vector<std::string>;

namespace
{
const Strings kEditingMenus = {"WidgetChoiceBarMenu", "WidgetPropertyBarMenu", "BudgetMenu", "CreatorMenu",
                               "BackMenu"};

puzzletest::PuzzleText StarOnLocation()
{
    puzzletest::PuzzleText front;
    front.budget = 3;
    front.objectives.push_back(Location());
    front.quorbs.push_back(Star());
    return front;
}
} // namespace

TEST(StartPuzzleMenu, TwoPressesOfStartRunThePuzzleAndPutItBack)
{
    PuzzleMenuWorld play(StarOnLocation());
    ASSERT_TRUE(play.Ready());
    play.EnterAndSettle();
    ASSERT_EQ(play.world->MenuState("StartPuzzleMenu"), kOpen);
    EXPECT_EQ(play.Text("StartPuzzleMenu", "StartButtonText"), "Start");
    EXPECT_EQ(play.Text("StartPuzzleMenu", "ClearButtonText"), "Reset");
    EXPECT_EQ(play.world->MenuState("BudgetMenu"), kOpen);

    play.world->ClearMessages();
    play.world->ClearConsoleLines();
    ASSERT_TRUE(play.world->Click("StartPuzzleMenu", "StartButton"));
    EXPECT_EQ(play.LinesRun(), Strings({"play"}));
    EXPECT_FALSE(Paused());
    EXPECT_EQ(play.Text("StartPuzzleMenu", "StartButtonText"), "Stop");
    EXPECT_EQ(play.Traffic(kEditingMenus, MenuMoves()),
              Strings({"WidgetChoiceBarMenu:Close", "WidgetPropertyBarMenu:Close", "BudgetMenu:Close",
                       "BackMenu:Close"}));
    EXPECT_EQ(play.world->MenuState("BudgetMenu"), kClosed);
    // The small button fades out over 0.1 s, its label with it.
    play.world->Step();
    const float during = play.world->Unit("StartPuzzleMenu", "ClearButton").alpha;
    EXPECT_GT(during, 0.0f);
    EXPECT_LT(during, 1.0f);
    play.world->RunFor(0.1);
    EXPECT_FLOAT_EQ(play.world->Unit("StartPuzzleMenu", "ClearButton").alpha, 0.0f);
    EXPECT_FLOAT_EQ(play.world->Unit("StartPuzzleMenu", "ClearButtonText").alpha, 0.0f);
    EXPECT_FLOAT_EQ(play.world->Unit("StartPuzzleMenu", "StartButton").alpha, 1.0f);

    play.world->ClearMessages();
    play.world->ClearConsoleLines();
    ASSERT_TRUE(play.world->Click("StartPuzzleMenu", "StartButton"));
    EXPECT_EQ(play.LinesRun(), Strings({"resetfocusedpuzzle"}));
    // The puzzle's reset resets the widget manipulator first, which closes the property bar.
    EXPECT_TRUE(Paused());
    EXPECT_EQ(play.Text("StartPuzzleMenu", "StartButtonText"), "Start");
    // The first close comes from "resetfocusedpuzzle": the puzzle's reset resets the manipulator.
    EXPECT_EQ(play.Traffic(kEditingMenus, MenuMoves()),
              Strings({"WidgetPropertyBarMenu:Close", "WidgetChoiceBarMenu:OpenEx", "BudgetMenu:Open",
                       "WidgetPropertyBarMenu:Close", "BackMenu:Open", "BackMenu:Reset"}));
    EXPECT_EQ(play.world->MenuState("BudgetMenu"), kOpen);
    play.world->RunFor(0.1);
    EXPECT_FLOAT_EQ(play.world->Unit("StartPuzzleMenu", "ClearButton").alpha, 1.0f);
    EXPECT_FLOAT_EQ(play.world->Unit("StartPuzzleMenu", "ClearButtonText").alpha, 1.0f);
}

TEST(StartPuzzleMenu, TheSmallButtonReloadsOnlyWhileNoRunGoesOn)
{
    PuzzleMenuWorld play(StarOnLocation());
    ASSERT_TRUE(play.Ready());
    play.EnterAndSettle();
    play.PlaceWidget(-12.0f);
    ASSERT_EQ(play.puzzle->GetBudgetLeft(), 2);

    play.world->ClearConsoleLines();
    ASSERT_TRUE(play.world->Click("StartPuzzleMenu", "ClearButton"));
    EXPECT_EQ(play.LinesRun(), Strings({"reloadfocusedpuzzle"}));
    EXPECT_EQ(play.puzzle->GetBudgetLeft(), 3) << "reloaded: the placed widget gone, the budget refilled";
    EXPECT_TRUE(play.puzzle->GetWidgetIDs().empty());

    ASSERT_TRUE(play.world->Click("StartPuzzleMenu", "StartButton"));
    play.world->RunFor(0.2);
    play.world->ClearConsoleLines();
    // Faded out, the button takes no click; and its press is refused during a run.
    ASSERT_TRUE(play.world->Click("StartPuzzleMenu", "ClearButton"));
    ASSERT_TRUE(Press("StartPuzzleMenu", "Clear"));
    play.world->Step();
    EXPECT_TRUE(play.LinesRun().empty());
    EXPECT_FALSE(Paused());
}

TEST(StartPuzzleMenu, TheLabelsAndTheCreatorMenuFollowCreatePuzzleMode)
{
    struct Case
    {
        bool creating;
        const char* start;
        const char* clear;
        Strings closedOnStart;
        Strings openedOnStop; // the first close from the puzzle's reset of the manipulator
    };
    const Case cases[] = {
        {false,
         "Start",
         "Reset",
         {"WidgetChoiceBarMenu:Close", "WidgetPropertyBarMenu:Close", "BudgetMenu:Close", "BackMenu:Close"},
         {"WidgetPropertyBarMenu:Close", "WidgetChoiceBarMenu:OpenEx", "BudgetMenu:Open",
          "WidgetPropertyBarMenu:Close", "BackMenu:Open", "BackMenu:Reset"}},
        {true,
         "Test",
         "Clear",
         {"WidgetChoiceBarMenu:Close", "WidgetPropertyBarMenu:Close", "BudgetMenu:Close", "CreatorMenu:Close",
          "BackMenu:Close"},
         {"WidgetPropertyBarMenu:Close", "WidgetChoiceBarMenu:OpenEx", "BudgetMenu:Open",
          "WidgetPropertyBarMenu:Close", "CreatorMenu:Open", "BackMenu:Open", "BackMenu:Reset"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.start);
        PuzzleMenuWorld play(StarOnLocation());
        ASSERT_TRUE(play.Ready());
        play.Game().SetCreatePuzzleMode(c.creating);
        play.EnterAndSettle();
        EXPECT_EQ(play.Text("StartPuzzleMenu", "StartButtonText"), c.start);
        EXPECT_EQ(play.Text("StartPuzzleMenu", "ClearButtonText"), c.clear);

        play.world->ClearMessages();
        ASSERT_TRUE(play.world->Click("StartPuzzleMenu", "StartButton"));
        EXPECT_EQ(play.Traffic(kEditingMenus, MenuMoves()), c.closedOnStart);

        // Closed while it reads "Stop" and opened again: ready labels, set by the opening.
        Send("StartPuzzleMenu", MSG_CloseMenu);
        play.world->RunFor(0.4);
        ASSERT_EQ(play.world->MenuState("StartPuzzleMenu"), kClosed);
        Send("StartPuzzleMenu", MSG_OpenMenu);
        EXPECT_EQ(play.Text("StartPuzzleMenu", "StartButtonText"), c.start);
        EXPECT_EQ(play.Text("StartPuzzleMenu", "ClearButtonText"), c.clear);
        play.world->RunFor(2.1);

        // The run still goes on, so the next press stops it.
        play.world->ClearMessages();
        ASSERT_TRUE(play.world->Click("StartPuzzleMenu", "StartButton"));
        EXPECT_EQ(play.Traffic(kEditingMenus, MenuMoves()), c.openedOnStop);
        EXPECT_EQ(play.Text("StartPuzzleMenu", "StartButtonText"), c.start);
        EXPECT_EQ(play.Text("StartPuzzleMenu", "ClearButtonText"), c.clear);
    }
}

TEST(StartPuzzleMenu, TheButtonsSitInTheBottomRightCornerWithRoundHitAreas)
{
    PuzzleMenuWorld play(StarOnLocation());
    ASSERT_TRUE(play.Ready());
    play.EnterAndSettle();
    const gametest::UnitView start = play.world->Unit("StartPuzzleMenu", "StartButton");
    const gametest::UnitView clear = play.world->Unit("StartPuzzleMenu", "ClearButton");
    EXPECT_EQ(start.x, 690);
    EXPECT_EQ(start.y, 480);
    EXPECT_EQ(start.width, 128);
    EXPECT_EQ(clear.x, 650);
    EXPECT_EQ(clear.y, 545);
    EXPECT_EQ(clear.width, 64);
    // The small button and its label, which runs past it onto the big one, are drawn in front.
    auto depth = [&play](const char* unit)
    { return dynamic_cast<dorvo::gfx::CSprite*>(play.world->FindUnit("StartPuzzleMenu", unit))->GetDepth(); };
    EXPECT_GT(depth("ClearButton"), depth("StartButtonText"));
    EXPECT_GT(depth("ClearButtonText"), depth("StartButtonText"));
    auto* button = dynamic_cast<dorvo::gfx::CButton*>(play.world->FindUnit("StartPuzzleMenu", "StartButton"));
    ASSERT_NE(button, nullptr);
    auto* circle = dynamic_cast<QUORB::CirclePointInsideFunct*>(button->GetPointInsideFunct());
    ASSERT_NE(circle, nullptr);
    EXPECT_FLOAT_EQ(circle->GetRadius(), 55.0f);
    button = dynamic_cast<dorvo::gfx::CButton*>(play.world->FindUnit("StartPuzzleMenu", "ClearButton"));
    circle = dynamic_cast<QUORB::CirclePointInsideFunct*>(button->GetPointInsideFunct());
    ASSERT_NE(circle, nullptr);
    EXPECT_FLOAT_EQ(circle->GetRadius(), 25.0f);
    int cx = 0;
    int cy = 0;
    circle->GetCentre(cx, cy);
    EXPECT_EQ(cx, 682);
    EXPECT_EQ(cy, 577);

    // A click in the start button's square but outside its circle presses nothing.
    play.world->ClearConsoleLines();
    play.world->MoveCursor(695, 485);
    play.world->LeftDown();
    play.world->LeftUp();
    EXPECT_TRUE(play.LinesRun().empty());
    EXPECT_TRUE(Paused());
}
