// The budget menu over a seeded puzzle: in play the bottom-left panel shows the total as it was
// at opening and the budget left as it is; in create-puzzle mode the top-right panel steps the
// total within 0 to 100 without touching the budget left. The panel follows the mode at the
// next opening.
#include "PuzzleMenuWorld.h"

#include <gtest/gtest.h>

#include <climits>

using namespace puzzlemenutest;

namespace
{
puzzletest::PuzzleText WithBudget(int budget)
{
    puzzletest::PuzzleText front;
    front.budget = budget;
    front.objectives.push_back(Location());
    front.quorbs.push_back(Star());
    return front;
}
} // namespace

TEST(BudgetMenu, ThePlayPanelShowsTheTotalAtOpeningAndFollowsTheBudgetLeft)
{
    PuzzleMenuWorld play(WithBudget(12));
    ASSERT_TRUE(play.Ready());
    for (int i = 0; i < 5; ++i)
        play.PlaceWidget(-12.0f + 2.0f * static_cast<float>(i));
    ASSERT_EQ(play.puzzle->GetBudgetLeft(), 7);
    play.Enter();
    play.world->Step();
    EXPECT_EQ(play.world->MenuState("BudgetMenu"), kOpen);
    EXPECT_EQ(play.Text("BudgetMenu", "NormalBudgetText"), "Budget");
    EXPECT_EQ(play.Text("BudgetMenu", "TotalBudgetText"), "Total: 12");
    EXPECT_EQ(play.Text("BudgetMenu", "RemainingBudgetText"), "Left: 7");
    const gametest::UnitView panel = play.world->Unit("BudgetMenu", "Background1");
    EXPECT_TRUE(panel.visible);
    EXPECT_EQ(panel.x, 0);
    EXPECT_EQ(panel.y, 510);
    EXPECT_TRUE(play.world->Unit("BudgetMenu", "RemainingBudgetText").visible);
    for (const char* unit : {"Background2", "IncButton", "DecIcon", "BudgetValueText"})
        EXPECT_FALSE(play.world->Unit("BudgetMenu", unit).visible) << unit;

    // The budget left at the next frame, the total only at the next opening.
    play.PlaceWidget(8.0f);
    play.puzzle->SetTotalBudget(20);
    play.world->Step();
    EXPECT_EQ(play.Text("BudgetMenu", "RemainingBudgetText"), "Left: 6");
    EXPECT_EQ(play.Text("BudgetMenu", "TotalBudgetText"), "Total: 12");
    Send("BudgetMenu", MSG_CloseMenu);
    Send("BudgetMenu", MSG_OpenMenu);
    EXPECT_EQ(play.Text("BudgetMenu", "TotalBudgetText"), "Total: 20");
}

TEST(BudgetMenu, TheEditorButtonsStepTheTotalWithinZeroToAHundred)
{
    struct Case
    {
        int total;
        const char* button;
        int expected;
    };
    const Case cases[] = {
        {12, "IncButton", 13}, {12, "DecButton", 11},       {100, "IncButton", 100},
        {0, "DecButton", 0},   {250, "IncButton", 100},     {250, "DecButton", 100},
        {-5, "IncButton", 0},  {INT_MAX, "IncButton", 100}, {INT_MIN, "DecButton", 0},
    };
    PuzzleMenuWorld play(WithBudget(5));
    ASSERT_TRUE(play.Ready());
    play.Console("togglecm");
    play.Enter();
    play.world->Step();
    EXPECT_TRUE(play.world->Unit("BudgetMenu", "Background2").visible);
    EXPECT_FALSE(play.world->Unit("BudgetMenu", "Background1").visible);
    EXPECT_EQ(play.Text("BudgetMenu", "BudgetValueText"), "5");
    EXPECT_EQ(play.world->Unit("BudgetMenu", "IncButton").tip, "Increase budget");
    EXPECT_EQ(play.world->Unit("BudgetMenu", "DecButton").tip, "Decrease budget");
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.total) + " " + c.button);
        play.puzzle->SetTotalBudget(c.total);
        play.puzzle->SetBudgetLeft(3);
        ASSERT_TRUE(play.world->Click("BudgetMenu", c.button));
        EXPECT_EQ(play.puzzle->GetTotalBudget(), c.expected);
        EXPECT_EQ(play.Text("BudgetMenu", "BudgetValueText"), std::to_string(c.expected));
        EXPECT_EQ(play.puzzle->GetBudgetLeft(), 3) << "a step never touches the budget left";
    }
}

TEST(BudgetMenu, ThePanelFollowsCreatePuzzleModeAtTheNextOpening)
{
    PuzzleMenuWorld play(WithBudget(4));
    ASSERT_TRUE(play.Ready());
    play.Enter();
    play.world->Step();
    ASSERT_TRUE(play.world->Unit("BudgetMenu", "Background1").visible);

    play.Console("togglecm");
    play.world->Step();
    EXPECT_TRUE(play.world->Unit("BudgetMenu", "Background1").visible) << "no change while open";
    EXPECT_FALSE(play.world->Unit("BudgetMenu", "Background2").visible);
    // In create-puzzle mode "Left: " is not kept up to date.
    play.puzzle->SetBudgetLeft(1);
    play.world->Step();
    EXPECT_EQ(play.Text("BudgetMenu", "RemainingBudgetText"), "Left: 4");

    Send("BudgetMenu", MSG_CloseMenu);
    Send("BudgetMenu", MSG_OpenMenu);
    EXPECT_FALSE(play.world->Unit("BudgetMenu", "Background1").visible);
    EXPECT_FALSE(play.world->Unit("BudgetMenu", "TotalBudgetText").visible);
    EXPECT_TRUE(play.world->Unit("BudgetMenu", "Background2").visible);
    EXPECT_TRUE(play.world->Unit("BudgetMenu", "IncIcon").visible);
    EXPECT_EQ(play.Text("BudgetMenu", "BudgetValueText"), "4");
}

TEST(BudgetMenu, WithoutAFocusedPuzzleNothingChanges)
{
    PuzzleMenuWorld play(WithBudget(4));
    ASSERT_TRUE(play.Ready());
    play.Enter();
    play.world->Step();
    ASSERT_EQ(play.Text("BudgetMenu", "RemainingBudgetText"), "Left: 4");
    Send("BudgetMenu", MSG_CloseMenu);
    play.Console("clearroom");
    ASSERT_EQ(play.Game().GetFocusedPuzzle(), nullptr);

    Send("BudgetMenu", MSG_OpenMenu);
    play.world->Step(2);
    EXPECT_EQ(play.world->MenuState("BudgetMenu"), kOpen);
    EXPECT_EQ(play.Text("BudgetMenu", "TotalBudgetText"), "Total: 4");
    EXPECT_EQ(play.Text("BudgetMenu", "RemainingBudgetText"), "Left: 4");
    ASSERT_TRUE(Press("BudgetMenu", "IncButton"));
    EXPECT_EQ(play.Text("BudgetMenu", "BudgetValueText"), "0");
}
