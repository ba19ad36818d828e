// The timer display: the time left written with two decimals and three digits before the point,
// placed every frame on the time limit's screen point, and hidden outside editor mode, without
// a time limit or without a focused puzzle, although the menu stays open.
#include "PuzzleMenuWorld.h"

#include "engine/gfx/sprites/CSprite.h"
#include "game/menus/TimerObjMenu.h"
#include "game/objectives/CTimeLimit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace puzzlemenutest;

namespace
{
puzzletest::PuzzleText WithTimeLimit(float seconds)
{
    puzzletest::PuzzleText front;
    front.budget = 2;
    front.objectives.push_back(TimeLimit(seconds));
    front.objectives.push_back(Location());
    front.quorbs.push_back(Star());
    return front;
}

POVComp* PovOf(Gob* gob)
{
    return gob ? GetPOVComp(gob) : nullptr;
}
} // namespace

TEST(TimerObjMenu, TheTimeIsWrittenWithTwoDecimalsAndThreeDigitsBeforeThePoint)
{
    struct Case
    {
        float seconds;
        const char* text;
    };
    const Case cases[] = {
        {-0.3f, "000.00"},
        {0.0f, "000.00"},
        {5.5f, "005.50"},
        {10.0f, "010.00"},
        {42.5f, "042.50"},
        {99.99f, "099.99"},
        {100.0f, "100.00"},
        {130.0f, "130.00"},
        // Rounded to the hundredth first: no "0100.00" or "0010.00" on the way past 100 and 10.
        {99.996f, "100.00"},
        {9.996f, "010.00"},
        {1234.5f, "1234.50"},
        {std::numeric_limits<float>::quiet_NaN(), "000.00"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(QUORB::TimerObjMenu::FormatTimeLeft(c.seconds), c.text);
    }
}

TEST(TimerObjMenu, TheTextSitsOnTheTimeLimitsScreenPointInEditorModeOnly)
{
    PuzzleMenuWorld play(WithTimeLimit(30.0f));
    ASSERT_TRUE(play.Ready());
    Gob* limit = play.puzzle->GetObjectiveGob(QUORB::CPuzzle::OT_TimeLimit);
    ASSERT_NE(PovOf(limit), nullptr);
    // Where the settled camera looks: the middle of the screen.
    PovOf(limit)->SetPosition(play.FaceMiddle(), true);

    Send("TimerObjMenu", MSG_OpenMenu);
    EXPECT_EQ(play.world->MenuState("TimerObjMenu"), kOpen);
    EXPECT_EQ(play.Text("TimerObjMenu", "TimeText"), "0:00") << "until the first update";
    play.world->Step();
    EXPECT_FALSE(play.world->Unit("TimerObjMenu", "TimeText").visible) << "not in editor mode";
    EXPECT_EQ(play.Text("TimerObjMenu", "TimeText"), "0:00");

    play.Console("toggleeditor");
    play.world->Step();
    gametest::UnitView text = play.world->Unit("TimerObjMenu", "TimeText");
    EXPECT_TRUE(text.visible);
    EXPECT_EQ(text.text, "030.00") << "armed, not running, before the run";
    EXPECT_NEAR(text.x, 400, 1);
    EXPECT_NEAR(text.y, 300, 1);
    auto* sprite = dynamic_cast<dorvo::gfx::CSprite*>(play.world->FindUnit("TimerObjMenu", "TimeText"));
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->GetCenterX(), 27);
    EXPECT_EQ(sprite->GetCenterY(), 10);
    const gametest::UnitView colour = play.world->Unit("TimerObjMenu", "TimeText");
    EXPECT_FLOAT_EQ(colour.red * colour.green * colour.blue, 1.0f) << "white";

    // It follows the objective: a point to the right and below lands right of and below the middle.
    PovOf(limit)->SetPosition(play.FaceMiddle() + math::Vector3(0.0f, -2.0f, 0.0f), true);
    play.world->Step();
    EXPECT_GT(play.world->Unit("TimerObjMenu", "TimeText").y, 310);

    play.Console("toggleeditor");
    play.world->Step();
    EXPECT_EQ(play.world->MenuState("TimerObjMenu"), kOpen);
    EXPECT_FALSE(play.world->Unit("TimerObjMenu", "TimeText").visible) << "editor mode left";
}

TEST(TimerObjMenu, TheTimeCountsDownDuringTheRun)
{
    PuzzleMenuWorld play(WithTimeLimit(30.0f));
    ASSERT_TRUE(play.Ready());
    play.Enter();
    play.world->Step();
    EXPECT_EQ(play.Text("TimerObjMenu", "TimeText"), "030.00");
    play.Console("play");
    play.world->RunFor(1.0);
    const std::string afterOne = play.Text("TimerObjMenu", "TimeText");
    EXPECT_NEAR(std::stod(afterOne), 29.0, 0.1) << afterOne;
    EXPECT_EQ(afterOne.substr(0, 3), "029");

    // At 15 frames a second the ball moves at half speed, and so does the clock: 30 frames are
    // one second of play, though two pass on the wall clock.
    for (int frame = 0; frame < 30; ++frame)
    {
        play.world->Wait(1.0 / 30.0);
        play.world->Step();
    }
    const std::string afterTwo = play.Text("TimerObjMenu", "TimeText");
    EXPECT_NEAR(std::stod(afterTwo), std::stod(afterOne) - 1.0, 0.01) << afterTwo;
}

TEST(TimerObjMenu, WithoutATimeLimitOrAFocusedPuzzleTheTextIsHidden)
{
    puzzletest::PuzzleText front;
    front.objectives.push_back(Location());
    front.quorbs.push_back(Star());
    PuzzleMenuWorld play(front);
    ASSERT_TRUE(play.Ready());
    play.Enter();
    play.world->Step();
    EXPECT_EQ(play.world->MenuState("TimerObjMenu"), kOpen);
    EXPECT_FALSE(play.world->Unit("TimerObjMenu", "TimeText").visible) << "no time limit";

    play.Console("clearroom");
    ASSERT_EQ(play.Game().GetFocusedPuzzle(), nullptr);
    play.world->Step();
    EXPECT_FALSE(play.world->Unit("TimerObjMenu", "TimeText").visible) << "no focused puzzle";
}
