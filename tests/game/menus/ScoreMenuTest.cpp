// The score menu at the end of seeded runs: the result line in front follows the outcome, the
// score is the puzzle's, computed once per opening however often the puzzle asks, the panel and
// the veil fade in and out over 0.5 s, and the two buttons lead back to the puzzle or the room.
#include "PuzzleMenuWorld.h"

#include "engine/gfx/sprites/CSprite.h"
#include "game/objectives/CTimeLimit.h"

#include <gtest/gtest.h>

using namespace puzzlemenutest;
using Strings = std::vector<std::string>;

namespace
{
// A time limit alone ends the run as completed on its first frame, the clock stopped; with
// zero seconds beside a location the run fails on its first frame.
puzzletest::PuzzleText CompletedAtOnce(int budget)
{
    puzzletest::PuzzleText front;
    front.budget = budget;
    front.objectives.push_back(TimeLimit(30.0f));
    front.quorbs.push_back(Star());
    return front;
}

puzzletest::PuzzleText FailedAtOnce(int budget)
{
    puzzletest::PuzzleText front;
    front.budget = budget;
    front.objectives.push_back(TimeLimit(0.0f));
    front.objectives.push_back(Location(kFarLocation));
    front.quorbs.push_back(Star());
    return front;
}

int Depth(const PuzzleMenuWorld& play, const char* unit)
{
    auto* sprite = dynamic_cast<dorvo::gfx::CSprite*>(play.world->FindUnit("ScoreMenu", unit));
    return sprite ? sprite->GetDepth() : -100;
}

// In the puzzle, "Start" pressed, then frames until the score menu has opened.
bool RunToScore(PuzzleMenuWorld& play, double limit = 8.0)
{
    play.EnterAndSettle();
    if (!play.world->Click("StartPuzzleMenu", "StartButton"))
        return false;
    return play.world->RunUntil([&play]() { return play.world->MenuState("ScoreMenu") == kOpen; }, limit);
}

float TimeLeft(const PuzzleMenuWorld& play)
{
    auto* limit = dynamic_cast<QUORB::CTimeLimit*>(
        QUORB::CPuzzle::GetObjective(play.puzzle->GetObjectiveGob(QUORB::CPuzzle::OT_TimeLimit)));
    return limit ? limit->GetRemainingSeconds() : -1000.0f;
}
} // namespace

TEST(ScoreMenu, TheResultLineAndTheScoreFollowTheOutcome)
{
    struct Case
    {
        const char* name;
        puzzletest::PuzzleText puzzle;
        bool failed;
    };
    const Case cases[] = {
        {"completed", CompletedAtOnce(3), false},
        {"failed with nothing left", FailedAtOnce(0), true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        PuzzleMenuWorld play(c.puzzle);
        ASSERT_TRUE(play.Ready());
        ASSERT_TRUE(RunToScore(play));
        EXPECT_EQ(play.puzzle->IsFailed(), c.failed);
        const char* front = c.failed ? "FailText" : "SucceedText";
        const char* behind = c.failed ? "SucceedText" : "FailText";
        EXPECT_EQ(Depth(play, front), 4);
        EXPECT_EQ(Depth(play, behind), -1);
        EXPECT_EQ(Depth(play, "Background"), 4);
        EXPECT_FLOAT_EQ(play.world->Unit("ScoreMenu", front).alpha, 1.0f);
        EXPECT_FLOAT_EQ(play.world->Unit("ScoreMenu", behind).alpha, 1.0f) << "both lines fade in";
        EXPECT_EQ(play.Text("ScoreMenu", "SucceedText"), "Puzzle Completed!");
        EXPECT_EQ(play.Text("ScoreMenu", "FailText"), "Puzzle Failed!");
        // 50 for a time limit not failed and 5 a second left on it, 10 a unit of budget left.
        const int expected = c.failed ? 0 : 50 + static_cast<int>(5.0f * TimeLeft(play)) + 30;
        EXPECT_EQ(play.Text("ScoreMenu", "ScoreText"), "Score: " + std::to_string(expected));
        EXPECT_EQ(play.Text("ScoreMenu", "BudgetText"),
                  "Remaining Budget: " + std::to_string(play.puzzle->GetBudgetLeft()));
        EXPECT_EQ(play.puzzle->GetScore(), expected);
    }
}

TEST(ScoreMenu, AnEditorTestCountsTheWholeBudgetTheAuthorSet)
{
    // Nothing is charged while a puzzle is built: after the author steps the budget to 3 on the
    // editor panel and places a widget, "Test" ends with the 3 units its player will have.
    struct Case
    {
        int fileBudget;
        const char* button;
        int steps;
    };
    const Case cases[] = {{0, "IncButton", 3}, {5, "DecButton", 2}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.fileBudget) + " " + c.button);
        PuzzleMenuWorld play(CompletedAtOnce(c.fileBudget));
        ASSERT_TRUE(play.Ready());
        play.Console("togglecm");
        play.EnterAndSettle();
        for (int step = 0; step < c.steps; ++step)
            ASSERT_TRUE(play.world->Click("BudgetMenu", c.button));
        ASSERT_EQ(play.puzzle->GetTotalBudget(), 3);
        play.PlaceWidget(-12.0f);
        ASSERT_EQ(play.Text("StartPuzzleMenu", "StartButtonText"), "Test");
        ASSERT_TRUE(play.world->Click("StartPuzzleMenu", "StartButton"));
        ASSERT_TRUE(
            play.world->RunUntil([&play]() { return play.world->MenuState("ScoreMenu") == kOpen; }, 8.0));
        EXPECT_EQ(play.Text("ScoreMenu", "BudgetText"), "Remaining Budget: 3");
        const int expected = 50 + static_cast<int>(5.0f * TimeLeft(play)) + 30;
        EXPECT_EQ(play.Text("ScoreMenu", "ScoreText"), "Score: " + std::to_string(expected));
    }
}

TEST(ScoreMenu, ItScoresOncePerOpeningAndClosesTheStartPuzzleMenu)
{
    PuzzleMenuWorld play(CompletedAtOnce(2));
    ASSERT_TRUE(play.Ready());
    ASSERT_TRUE(RunToScore(play));
    const int score = play.puzzle->GetScore();
    const std::string shown = play.Text("ScoreMenu", "ScoreText");
    EXPECT_EQ(play.world->MessagesTo("StartPuzzleMenu", MSG_CloseMenu).size(), 1u);
    const std::size_t asked = play.world->MessagesTo("ScoreMenu", MSG_OpenMenu).size();
    play.world->Step(10);
    EXPECT_GE(play.world->MessagesTo("ScoreMenu", MSG_OpenMenu).size(), asked + 9) << "physics still runs";
    EXPECT_EQ(play.puzzle->GetScore(), score);
    EXPECT_EQ(play.Text("ScoreMenu", "ScoreText"), shown);
    EXPECT_EQ(play.world->MenuState("StartPuzzleMenu"), kClosed);
}

TEST(ScoreMenu, ThePanelAndTheVeilFadeInAndOutOverHalfASecond)
{
    PuzzleMenuWorld play(CompletedAtOnce(2));
    ASSERT_TRUE(play.Ready());
    play.EnterAndSettle();
    ASSERT_TRUE(play.world->Click("StartPuzzleMenu", "StartButton"));
    ASSERT_TRUE(
        play.world->RunUntil([&play]() { return play.world->MenuState("ScoreMenu") == kOpening; }, 2.0));
    play.world->RunFor(0.25);
    EXPECT_NEAR(play.world->Unit("ScoreMenu", "Background").alpha, 0.5f, 0.1f);
    EXPECT_NEAR(play.world->Unit("ScoreMenu", "BlackBackground").alpha, 0.25f, 0.05f);
    EXPECT_NEAR(play.world->Unit("ScoreMenu", "PuzzleButton").alpha, 0.5f, 0.1f);
    // Its buttons act once it is open, not while it fades in.
    ASSERT_TRUE(play.world->Click("ScoreMenu", "RoomButton"));
    EXPECT_TRUE(play.Game().IsEditorMode());
    EXPECT_EQ(play.world->MenuState("ScoreMenu"), kOpening);
    play.world->RunFor(0.3);
    EXPECT_EQ(play.world->MenuState("ScoreMenu"), kOpen);
    const gametest::UnitView veil = play.world->Unit("ScoreMenu", "BlackBackground");
    EXPECT_TRUE(veil.visible);
    EXPECT_FLOAT_EQ(veil.alpha, 0.5f);
    EXPECT_EQ(veil.x, 0);
    EXPECT_EQ(veil.y, 0);
    EXPECT_GE(veil.width, 800);
    EXPECT_GE(veil.height, 600);
    EXPECT_EQ(veil.red + veil.green + veil.blue, 0.0f) << "black whatever the skin";
    const gametest::UnitView panel = play.world->Unit("ScoreMenu", "Background");
    EXPECT_FLOAT_EQ(panel.alpha, 1.0f);
    EXPECT_EQ(panel.x, 105);
    EXPECT_EQ(panel.y, 172);
    EXPECT_EQ(panel.width, 588);
    EXPECT_EQ(panel.height, 256);
    for (const char* unit :
         {"PuzzleButton", "RoomButton", "PuzzleText", "RoomText", "ScoreText", "BudgetText"})
        EXPECT_FLOAT_EQ(play.world->Unit("ScoreMenu", unit).alpha, 1.0f) << unit;

    // A click on the veil away from the panel does nothing.
    play.world->ClearConsoleLines();
    play.world->MoveCursor(30, 30);
    play.world->LeftDown();
    play.world->LeftUp();
    EXPECT_TRUE(play.LinesRun().empty());
    EXPECT_EQ(play.world->MenuState("ScoreMenu"), kOpen);

    // Closed by its button (a close by hand while physics runs would be undone by the puzzle,
    // which asks for the menu every frame until the run is stopped).
    ASSERT_TRUE(play.world->Click("ScoreMenu", "PuzzleButton"));
    play.world->RunFor(0.25);
    EXPECT_NEAR(play.world->Unit("ScoreMenu", "BlackBackground").alpha, 0.25f, 0.05f);
    EXPECT_NEAR(play.world->Unit("ScoreMenu", "Background").alpha, 0.5f, 0.1f);
    play.world->RunFor(0.3);
    EXPECT_EQ(play.world->MenuState("ScoreMenu"), kClosed);
    EXPECT_FALSE(play.world->Unit("ScoreMenu", "BlackBackground").visible);
    EXPECT_FALSE(play.world->Unit("ScoreMenu", "Background").visible);
    EXPECT_FLOAT_EQ(play.world->Unit("ScoreMenu", "BlackBackground").alpha, 0.0f);
}

TEST(ScoreMenu, BackToPuzzleResetsThePuzzleAndBringsTheStartPuzzleMenuBack)
{
    PuzzleMenuWorld play(CompletedAtOnce(2));
    ASSERT_TRUE(play.Ready());
    ASSERT_TRUE(RunToScore(play));
    // At once: the start-puzzle menu is still fading out after the panel's opening closed it.
    ASSERT_EQ(play.world->MenuState("StartPuzzleMenu"), kClosing);
    play.world->ClearMessages();
    play.world->ClearConsoleLines();
    ASSERT_TRUE(play.world->Click("ScoreMenu", "PuzzleButton"));
    // The second press of a double click, during the fade-out, is not heard.
    ASSERT_TRUE(play.world->Click("ScoreMenu", "PuzzleButton"));
    EXPECT_EQ(play.LinesRun(), Strings({"resetfocusedpuzzle"}));
    EXPECT_TRUE(Paused());
    EXPECT_EQ(play.puzzle->GetScore(), 0);
    EXPECT_EQ(
        play.Traffic({"StartPuzzleMenu", "BackMenu"}, {MSG_CloseMenuForced, MSG_OpenMenu, MSG_ResetMenu}),
        Strings({"StartPuzzleMenu:CloseForced", "StartPuzzleMenu:Open", "StartPuzzleMenu:Reset",
                 "BackMenu:Open", "BackMenu:Reset"}));
    EXPECT_EQ(play.world->MenuState("ScoreMenu"), kClosing);
    EXPECT_EQ(play.world->MenuState("BackMenu"), kOpen);
    EXPECT_EQ(play.Text("StartPuzzleMenu", "StartButtonText"), "Start");
    play.world->RunFor(0.6);
    EXPECT_EQ(play.world->MenuState("ScoreMenu"), kClosed);
    EXPECT_EQ(play.world->MenuState("StartPuzzleMenu"), kOpening) << "back with its fade-in";
    EXPECT_EQ(play.world->MenuState("BudgetMenu"), kOpen);
}

TEST(ScoreMenu, BackToRoomLeavesThePuzzle)
{
    // A double click lands inside the 0.5 s fade-out: its second press leaves the puzzle no
    // second time (leaving switches editor mode, so it would come back on).
    for (const int clicks : {1, 2})
    {
        SCOPED_TRACE(std::to_string(clicks) + " click(s)");
        PuzzleMenuWorld play(CompletedAtOnce(4));
        ASSERT_TRUE(play.Ready());
        play.PlaceWidget(-12.0f);
        ASSERT_TRUE(RunToScore(play));
        ASSERT_EQ(play.puzzle->GetBudgetLeft(), 3);
        play.world->ClearMessages();
        for (int click = 0; click < clicks; ++click)
            ASSERT_TRUE(play.world->Click("ScoreMenu", "RoomButton"));
        EXPECT_FALSE(play.Game().IsEditorMode());
        EXPECT_TRUE(Paused());
        EXPECT_EQ(play.puzzle->GetBudgetLeft(), 4) << "reloaded";
        EXPECT_TRUE(play.puzzle->GetWidgetIDs().empty());
        EXPECT_EQ(play.Traffic({"BackMenu", "StartPuzzleMenu"}, {MSG_OpenMenu, MSG_ResetMenu}),
                  Strings({"BackMenu:Open", "StartPuzzleMenu:Reset", "BackMenu:Reset"}));
        EXPECT_EQ(play.world->MessagesTo("ScoreMenu", MSG_CloseMenu).size(), 1u);
        play.world->RunFor(0.6);
        for (const char* menu :
             {"StartPuzzleMenu", "BudgetMenu", "TimerObjMenu", "ScoreMenu", "WidgetChoiceBarMenu"})
            EXPECT_EQ(play.world->MenuState(menu), kClosed) << menu;
        // The face's own menu is back once the camera has settled, and the player is outside.
        ASSERT_TRUE(play.world->RunUntil(
            [&play]() { return play.world->MenuState("PuzzleLookAtMenu") == kOpen; }, 3.0));
        EXPECT_EQ(play.Text("PuzzleLookAtMenu", "StartPuzzleText"), "Play Puzzle");
        EXPECT_FALSE(play.Game().IsEditorMode());
    }
}

TEST(ScoreMenu, OpenedWithoutAFocusedPuzzleItKeepsItsFirstTexts)
{
    PuzzleMenuWorld play(CompletedAtOnce(2));
    ASSERT_TRUE(play.Ready());
    ASSERT_TRUE(RunToScore(play));
    ASSERT_TRUE(play.world->Click("ScoreMenu", "PuzzleButton"));
    play.world->RunFor(0.6);
    ASSERT_EQ(play.world->MenuState("ScoreMenu"), kClosed);

    play.Console("clearroom");
    ASSERT_EQ(play.Game().GetFocusedPuzzle(), nullptr);
    play.Console("menu ScoreMenu open");
    play.world->RunFor(0.6);
    EXPECT_EQ(play.world->MenuState("ScoreMenu"), kOpen);
    EXPECT_EQ(play.Text("ScoreMenu", "ScoreText"), "Score:");
    EXPECT_EQ(play.Text("ScoreMenu", "BudgetText"), "Budget:");
    EXPECT_EQ(Depth(play, "SucceedText"), -1) << "no outcome to show";
    EXPECT_EQ(Depth(play, "FailText"), -1);
}
