// The road from play to the score screen, headless, on seeded rooms entered as the look-at
// menu's "Play Puzzle" does, with widgets placed from code: "Start", the run, the score panel and
// the ways back. One road is won (the star rests in its location), the other lost (the time
// limit runs out first). The whole road from the splash screens is MainRoadTest.cpp.
#include "PuzzleMenuWorld.h"

#include <gtest/gtest.h>

#include <string>

using namespace puzzlemenutest;
using Strings = std::vector<std::string>;

namespace
{
const Strings kEditingMenus = {"WidgetChoiceBarMenu", "WidgetPropertyBarMenu", "BudgetMenu", "CreatorMenu",
                               "BackMenu"};

int Depth(const PuzzleMenuWorld& play, const char* unit)
{
    auto* sprite = dynamic_cast<dorvo::gfx::CSprite*>(play.world->FindUnit("ScoreMenu", unit));
    return sprite ? sprite->GetDepth() : -100;
}

bool WaitForState(PuzzleMenuWorld& play, const char* menu, int state, double seconds)
{
    return play.world->RunUntil([&]() { return play.world->MenuState(menu) == state; }, seconds);
}

math::Vector3 StarPosition(const PuzzleMenuWorld& play)
{
    Gob* star = play.puzzle->GetQuorbIDs().empty()
                    ? nullptr
                    : GobManager::Instance().GetGob(play.puzzle->GetQuorbIDs()[0]);
    return star ? GetPOVComp(star)->GetPosition() : math::Vector3(1000.0f, 1000.0f, 1000.0f);
}
} // namespace

TEST(PuzzleRoad, AWonRunToTheScoreScreenBackToThePuzzleAndOutToTheRoom)
{
    puzzletest::PuzzleText front;
    front.budget = 4;
    front.objectives.push_back(Location());
    front.quorbs.push_back(Star());
    PuzzleMenuWorld play(front);
    ASSERT_TRUE(play.Ready());

    // Into the puzzle: the budget panel in play.
    play.Enter();
    play.world->Step();
    EXPECT_EQ(play.Text("BudgetMenu", "TotalBudgetText"), "Total: 4");
    EXPECT_EQ(play.Text("BudgetMenu", "RemainingBudgetText"), "Left: 4");
    ASSERT_TRUE(WaitForState(play, "StartPuzzleMenu", kOpen, 2.5));
    EXPECT_EQ(play.Text("StartPuzzleMenu", "StartButtonText"), "Start");

    // Two widgets placed: "Left: " counts down.
    play.PlaceWidget(-12.0f);
    play.world->Step();
    EXPECT_EQ(play.Text("BudgetMenu", "RemainingBudgetText"), "Left: 3");
    play.PlaceWidget(-9.0f);
    play.world->Step();
    EXPECT_EQ(play.Text("BudgetMenu", "RemainingBudgetText"), "Left: 2");

    // "Start": the run, the editing menus and the back row closed.
    play.world->ClearMessages();
    play.world->ClearConsoleLines();
    ASSERT_TRUE(play.world->Click("StartPuzzleMenu", "StartButton"));
    EXPECT_EQ(play.LinesRun(), Strings({"play"}));
    EXPECT_EQ(play.Text("StartPuzzleMenu", "StartButtonText"), "Stop");
    EXPECT_EQ(play.Traffic(kEditingMenus, {MSG_CloseMenu}),
              Strings({"WidgetChoiceBarMenu:Close", "WidgetPropertyBarMenu:Close", "BudgetMenu:Close",
                       "BackMenu:Close"}));

    // The star rests in its location for 3 s: the run is won.
    ASSERT_TRUE(WaitForState(play, "ScoreMenu", kOpen, 8.0));
    EXPECT_EQ(Depth(play, "SucceedText"), 4);
    EXPECT_EQ(Depth(play, "FailText"), -1);
    EXPECT_EQ(play.Text("ScoreMenu", "ScoreText"), "Score: 70")
        << "50 for the location, 10 for each unit left";
    EXPECT_EQ(play.Text("ScoreMenu", "BudgetText"), "Remaining Budget: 2");
    EXPECT_TRUE(WaitForState(play, "StartPuzzleMenu", kClosed, 0.5));

    // "Back To Puzzle": the puzzle as it stood at "Start", ready again.
    play.world->ClearConsoleLines();
    ASSERT_TRUE(play.world->Click("ScoreMenu", "PuzzleButton"));
    EXPECT_EQ(play.LinesRun(), Strings({"resetfocusedpuzzle"}));
    EXPECT_TRUE(Paused());
    play.world->Step();
    EXPECT_NEAR(StarPosition(play).y, kStarStart.y, 1e-3f);
    ASSERT_TRUE(WaitForState(play, "StartPuzzleMenu", kOpen, 2.5));
    EXPECT_EQ(play.Text("StartPuzzleMenu", "StartButtonText"), "Start");
    EXPECT_EQ(play.world->MenuState("ScoreMenu"), kClosed);
    EXPECT_EQ(play.Text("BudgetMenu", "RemainingBudgetText"), "Left: 2");

    // "Start" and "Stop".
    play.world->ClearConsoleLines();
    ASSERT_TRUE(play.world->Click("StartPuzzleMenu", "StartButton"));
    EXPECT_EQ(play.Text("StartPuzzleMenu", "StartButtonText"), "Stop");
    play.world->RunFor(0.5);
    ASSERT_TRUE(play.world->Click("StartPuzzleMenu", "StartButton"));
    EXPECT_EQ(play.LinesRun(), Strings({"play", "resetfocusedpuzzle"}));
    EXPECT_EQ(play.Text("StartPuzzleMenu", "StartButtonText"), "Start");
    EXPECT_TRUE(Paused());

    // Another run to the score panel, scored afresh.
    ASSERT_TRUE(play.world->Click("StartPuzzleMenu", "StartButton"));
    ASSERT_TRUE(WaitForState(play, "ScoreMenu", kOpen, 8.0));
    EXPECT_EQ(play.Text("ScoreMenu", "ScoreText"), "Score: 70");

    // "Back To Room": out of the puzzle, its widgets gone and the budget full again.
    play.world->ClearMessages();
    ASSERT_TRUE(play.world->Click("ScoreMenu", "RoomButton"));
    EXPECT_FALSE(play.Game().IsEditorMode());
    EXPECT_TRUE(Paused());
    EXPECT_EQ(play.puzzle->GetBudgetLeft(), 4);
    EXPECT_TRUE(play.puzzle->GetWidgetIDs().empty());
    EXPECT_EQ(play.world->MessagesTo("BackMenu", MSG_OpenMenu).size(), 1u);
    play.world->RunFor(0.6);
    for (const char* menu : {"StartPuzzleMenu", "BudgetMenu", "TimerObjMenu", "ScoreMenu"})
        EXPECT_EQ(play.world->MenuState(menu), kClosed) << menu;
}

TEST(PuzzleRoad, ATimeLimitRunsOutBeforeTheLocationIsReached)
{
    puzzletest::PuzzleText front;
    front.budget = 5;
    front.objectives.push_back(TimeLimit(2.0f));
    front.objectives.push_back(Location(kFarLocation));
    front.quorbs.push_back(Star());
    PuzzleMenuWorld play(front);
    ASSERT_TRUE(play.Ready());
    Gob* limit = play.puzzle->GetObjectiveGob(QUORB::CPuzzle::OT_TimeLimit);
    ASSERT_NE(limit, nullptr);
    GetPOVComp(limit)->SetPosition(play.FaceMiddle(), true);
    play.PlaceWidget(-12.0f);
    play.PlaceWidget(-9.0f);

    play.EnterAndSettle();
    EXPECT_EQ(play.Text("TimerObjMenu", "TimeText"), "002.00");
    ASSERT_TRUE(play.world->Click("StartPuzzleMenu", "StartButton"));

    // The time counts down over the objective, in the middle of the screen.
    play.world->RunFor(0.5);
    const gametest::UnitView early = play.world->Unit("TimerObjMenu", "TimeText");
    EXPECT_TRUE(early.visible);
    EXPECT_NEAR(early.x, 400, 1);
    EXPECT_NEAR(early.y, 300, 1);
    play.world->RunFor(0.5);
    const gametest::UnitView later = play.world->Unit("TimerObjMenu", "TimeText");
    EXPECT_LT(std::stod(later.text), std::stod(early.text));
    EXPECT_NEAR(std::stod(later.text), 1.0, 0.07) << later.text;
    EXPECT_EQ(later.text.size(), 6u) << later.text;

    // Out of time: failed, and only the budget left counts.
    ASSERT_TRUE(WaitForState(play, "ScoreMenu", kOpen, 2.0));
    EXPECT_TRUE(play.puzzle->IsFailed());
    EXPECT_EQ(Depth(play, "FailText"), 4);
    EXPECT_EQ(Depth(play, "SucceedText"), -1);
    EXPECT_EQ(play.Text("ScoreMenu", "ScoreText"), "Score: 30");
    EXPECT_EQ(play.Text("ScoreMenu", "BudgetText"), "Remaining Budget: 3");
    EXPECT_EQ(play.Text("TimerObjMenu", "TimeText"), "000.00");
    ASSERT_TRUE(WaitForState(play, "StartPuzzleMenu", kClosed, 0.5));

    // "Back To Puzzle": the ready face, with the choice bar, the budget and the back row.
    play.world->ClearMessages();
    ASSERT_TRUE(play.world->Click("ScoreMenu", "PuzzleButton"));
    EXPECT_EQ(play.Traffic({"WidgetChoiceBarMenu", "BudgetMenu"}, {MSG_OpenMenu, MSG_OpenMenuEx}),
              Strings({"WidgetChoiceBarMenu:OpenEx", "BudgetMenu:Open"}));
    ASSERT_TRUE(WaitForState(play, "StartPuzzleMenu", kOpen, 2.5));
    EXPECT_EQ(play.Text("StartPuzzleMenu", "StartButtonText"), "Start");
    EXPECT_FLOAT_EQ(play.world->Unit("StartPuzzleMenu", "ClearButton").alpha, 1.0f);
    EXPECT_EQ(play.world->MenuState("WidgetChoiceBarMenu"), kOpen);
    EXPECT_EQ(play.world->MenuState("BudgetMenu"), kOpen);
    EXPECT_EQ(play.Text("BudgetMenu", "RemainingBudgetText"), "Left: 3");
    EXPECT_EQ(play.world->MenuState("BackMenu"), kOpen);
    EXPECT_EQ(play.world->MenuState("ScoreMenu"), kClosed);
    EXPECT_EQ(play.Text("TimerObjMenu", "TimeText"), "002.00") << "the clock armed again";
    EXPECT_FALSE(play.puzzle->IsFailed());
}
