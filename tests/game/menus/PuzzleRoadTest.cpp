// The road from play to the score screen, headless, on seeded rooms: inside a puzzle with its
// budget, "Start", the run, the score panel and the ways back. One road is won (the star rests
// in its location), the other lost (the time limit runs out first).
//
// The won road places its platforms as a player does: chosen on the widget choice bar by click
// and by hot key, laid on the face with the mouse, one of them selected and its friction raised
// on the property bars. The main road of the game (MainRoadTest) starts earlier, at the splash
// screens and the main menu, and enters the Tutorial room through the room selection and the
// look-at menu; this road goes straight in as the look-at menu's "Play Puzzle" does.
#include "PuzzleMenuWorld.h"

#include "engine/gfx/gui/CCursor.h"
#include "game/manipulator/WidgetManipulator.h"
#include "game/widgets/CPlatformData.h"
#include "game/widgets/WidgetDataComp.h"

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

constexpr std::uint32_t kSpace = 57;
constexpr std::uint32_t kZ = 44;

std::string CurrentType(const PuzzleMenuWorld& play)
{
    return play.Game().GetWidgetManipulator()->GetCurrentWidgetType();
}

// A point of the focused front face.
math::Vector3 OnFace(const PuzzleMenuWorld& play, float x, float y)
{
    return math::Vector3(x, y, play.FaceMiddle().z);
}

// The mouse badge open with that icon alone, 25 pixels right of and 10 below the cursor.
void ExpectBadgeOf(const PuzzleMenuWorld& play, const char* icon)
{
    EXPECT_EQ(play.world->MenuState("MouseWidgetSelMenu"), kOpen);
    EXPECT_TRUE(play.world->Unit("MouseWidgetSelMenu", icon).visible) << icon;
    const dorvo::gfx::CCursor* cursor = play.Game().GetCursor();
    ASSERT_NE(cursor, nullptr);
    const gametest::UnitView badge = play.world->Unit("MouseWidgetSelMenu", "Background");
    EXPECT_EQ(badge.x, cursor->GetAbsoluteX() + 25);
    EXPECT_EQ(badge.y, cursor->GetAbsoluteY() + 10);
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

    // The first platform chosen on the widget choice bar: the badge beside the cursor shows it.
    ASSERT_EQ(play.world->MenuState("WidgetChoiceBarMenu"), kOpen);
    ASSERT_TRUE(play.world->Click("WidgetChoiceBarMenu", "PlatformButton"));
    EXPECT_EQ(CurrentType(play), "Platform");
    play.world->Step();
    ExpectBadgeOf(play, "PlatformIcon");

    // Laid high on the face, away from the star's fall, by a drag: "Left: " counts down.
    play.world->PressAt(OnFace(play, -10.0f, 4.0f));
    play.world->PointAt(OnFace(play, -7.5f, 4.0f));
    play.world->LeftUp();
    play.world->Step();
    ASSERT_EQ(play.puzzle->GetWidgetIDs().size(), 1u);
    const std::uint32_t first = play.puzzle->GetWidgetIDs()[0];
    EXPECT_EQ(play.Text("BudgetMenu", "RemainingBudgetText"), "Left: 3");

    // The second by the bar's first hot key, Z, after Space has cleared the choice.
    play.world->Key(kSpace);
    EXPECT_EQ(CurrentType(play), "");
    EXPECT_EQ(play.world->MenuState("MouseWidgetSelMenu"), kClosed);
    EXPECT_FALSE(play.world->Unit("WidgetChoiceBarMenu", "PlatformButton").checked);
    play.world->Key(kZ);
    EXPECT_EQ(CurrentType(play), "Platform");
    EXPECT_TRUE(play.world->Unit("WidgetChoiceBarMenu", "PlatformButton").checked);
    play.world->PressAt(OnFace(play, -6.0f, 4.0f));
    play.world->PointAt(OnFace(play, -3.5f, 4.0f));
    ExpectBadgeOf(play, "PlatformIcon");
    play.world->LeftUp();
    play.world->Step();
    EXPECT_EQ(play.puzzle->GetWidgetIDs().size(), 2u);
    EXPECT_EQ(play.Text("BudgetMenu", "RemainingBudgetText"), "Left: 2");

    // The first platform selected, once Space has let the property bar slide out: its
    // properties on the bar above the choice bar.
    play.world->Key(kSpace);
    play.world->RunFor(0.3);
    Gob* platform = GobManager::Instance().GetGob(first);
    ASSERT_NE(platform, nullptr);
    play.world->PressAt(GetPOVComp(platform)->GetPosition());
    play.world->LeftUp();
    play.world->RunFor(0.4);
    ASSERT_EQ(play.world->MenuState("WidgetPropertyBarMenu"), kOpen);
    int x = 150;
    for (const char* button : {"FrictionButton", "WeightButton", "ChargeButton"})
    {
        EXPECT_TRUE(play.world->Unit("WidgetPropertyBarMenu", button).visible) << button;
        EXPECT_EQ(play.world->Unit("WidgetPropertyBarMenu", button).x, x) << button;
        x += 50;
    }
    EXPECT_FALSE(play.world->Unit("WidgetPropertyBarMenu", "StrengthButton").visible);

    // Its friction: medium (0.5) shows checked; high is written at once.
    ASSERT_TRUE(play.world->Click("WidgetPropertyBarMenu", "FrictionButton"));
    play.world->RunFor(0.4);
    ASSERT_EQ(play.world->MenuState("PropValueMenu"), kOpen);
    EXPECT_TRUE(play.world->Unit("PropValueMenu", "FrictionMediumButton").checked);
    ASSERT_TRUE(play.world->Click("PropValueMenu", "FrictionHighButton"));
    const QUORB::CPlatformData* friction = QUORB::WidgetDataComp::Of(platform)->AsPlatformData();
    ASSERT_NE(friction, nullptr);
    EXPECT_FLOAT_EQ(friction->GetStaticFriction(), 0.9f);
    EXPECT_FLOAT_EQ(friction->GetKineticFriction(), 0.85f);
    EXPECT_TRUE(play.world->Unit("PropValueMenu", "FrictionHighButton").checked);
    EXPECT_FALSE(play.world->Unit("PropValueMenu", "FrictionMediumButton").checked);

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
