// Puzzles played to their score headless under the real physics: a room file with four puzzles
// is loaded, the front puzzle is played, the score menu's stand-in reads the score once per
// opening, and the puzzle is reset and reloaded afterwards.
#include "GameTestWorld.h"
#include "PuzzleFixtures.h"

#include "common/ConsoleInterface.h"
#include "common/Singleton.h"
#include "engine/phy/DynamicsEngine.h"
#include "engine/phy/PhysicsComp.h"
#include "game/app/CQUORB.h"
#include "game/app/PlaceholderScoreMenu.h"
#include "game/objectives/CTarget.h"
#include "game/objectives/CTimeLimit.h"
#include "game/room/CPuzzle.h"
#include "game/room/CRoom.h"
#include "game/widgets/IWidgetData.h"
#include "game/widgets/WidgetDataComp.h"
#include "statemachine/Database.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

using gametest::GameTestSetup;
using gametest::GameTestWorld;
using QUORB::CPuzzle;
using namespace puzzletest;

namespace
{
const math::Vector3 kStarStart(0.0f, -5.0f, 20.0f);
const math::Vector3 kLocation(0.0f, -9.0f, 20.0f); // the star comes to rest on the floor inside it

std::string Location()
{
    return DescriptionXml("ObjectiveDescription", "LocationObjective", kLocation, 4.0f, LocationXml());
}

std::string Star(const math::Vector3& at = kStarStart)
{
    return DescriptionXml("QuorbDescription", "QUORBBall", at, 1.0f);
}

// A world whose room "Play.xml" has the front puzzle given and three empty ones, loaded and
// (unless told otherwise: the camera still looks at it) focused on the front face, its water
// drained below the floor.
struct PlayWorld
{
    explicit PlayWorld(const PuzzleText& front, bool focusFront = true)
    {
        GameTestSetup setup;
        setup.copyRooms = true;
        setup.files["files/puzzles/Play_Puzzle_0.xml"] = PuzzleXml(front);
        for (int i = 1; i < 4; ++i)
            setup.files["files/puzzles/Play_Puzzle_" + std::to_string(i) + ".xml"] = PuzzleXml(PuzzleText());
        setup.files["files/rooms/Play.xml"] =
            RoomXml({"Play_Puzzle_0.xml", "Play_Puzzle_1.xml", "Play_Puzzle_2.xml", "Play_Puzzle_3.xml"});
        world = std::make_unique<GameTestWorld>(setup);
        if (!world->Booted())
            return;
        world->Frames(2);
        room = world->Game().GetRoom();
        world->Game().LoadRoom("Play.xml", false);
        // The committed environment's water covers the floor and star objects float in it; these
        // puzzles are about the floor and the widgets, so the water goes below the floor.
        world->Game().SetWaterLevel(-20.0f);
        if (focusFront)
            room->FocusFace(0);
        puzzle = room->GetPuzzle(0);
    }

    // "play": physics on, the front puzzle started.
    void Play()
    {
        dorvo::phy::DynamicsEngine::Instance().paused = false;
        room->PlayPuzzle(0);
    }

    // Frames until the score menu opens; the number of frames run, or -1 when it never did.
    int RunToScore(int limit)
    {
        for (int frame = 1; frame <= limit; ++frame)
        {
            world->Frame();
            if (Menu()->GetState() == QUORB::PlaceholderMenu::STATE_Open)
                return frame;
        }
        return -1;
    }

    QUORB::PlaceholderScoreMenu* Menu() const
    {
        return dynamic_cast<QUORB::PlaceholderScoreMenu*>(world->Menu("ScoreMenu"));
    }

    bool ConsoleShows(const std::string& line) const
    {
        for (const std::string& shown : common::ConsoleInterface::Instance().GetOutputLines())
            if (shown.find(line) != std::string::npos)
                return true;
        return false;
    }

    Gob* StarGob() const
    {
        return puzzle->GetQuorbIDs().empty() ? nullptr
                                             : GobManager::Instance().GetGob(puzzle->GetQuorbIDs()[0]);
    }

    std::unique_ptr<GameTestWorld> world;
    QUORB::CRoom* room = nullptr;
    CPuzzle* puzzle = nullptr;
};
} // namespace

TEST(PuzzlePlay, ALocationPuzzlePlaysToItsScoreAndIsResetAndReloaded)
{
    PuzzleText front;
    front.budget = 3;
    front.objectives.push_back(Location());
    front.quorbs.push_back(Star());
    PlayWorld play(front);
    ASSERT_TRUE(play.world && play.world->Booted());
    ASSERT_EQ(play.room->GetPuzzleCount(), 4u);
    ASSERT_NE(play.puzzle, nullptr);
    ASSERT_NE(play.Menu(), nullptr);
    ASSERT_NE(play.StarGob(), nullptr);

    play.puzzle->SpendBudget("Platform"); // one unit of three spent
    play.Play();
    const int frames = play.RunToScore(400);
    ASSERT_GT(frames, 0) << "the location never completed";
    EXPECT_GE(frames, 90) << "the star must stay inside for 3 s";
    EXPECT_LT(frames, 150);
    EXPECT_NEAR(GetPOVComp(play.StarGob())->GetPosition().y, -9.5f, 0.2f) << "resting on the floor";
    EXPECT_FALSE(play.puzzle->IsFailed());
    EXPECT_EQ(play.Menu()->GetLastScore(), 70);
    EXPECT_TRUE(play.ConsoleShows("ScoreMenu: score 70, completed"));

    // While physics runs the puzzle keeps asking for the menu; it is scored once per opening.
    const std::size_t asked = play.world->MessageCount("ScoreMenu", MSG_OpenMenu);
    play.world->Frames(5);
    EXPECT_GE(play.world->MessageCount("ScoreMenu", MSG_OpenMenu), asked + 4);
    EXPECT_EQ(play.Menu()->GetScoredCount(), 1);
    EXPECT_EQ(play.puzzle->GetScore(), 70);

    // Reset: the star back where it stood at play, physics paused, the score zeroed.
    play.room->ResetPuzzle(0);
    EXPECT_TRUE(dorvo::phy::DynamicsEngine::Instance().paused);
    EXPECT_EQ(play.puzzle->GetScore(), 0);
    EXPECT_EQ(play.puzzle->GetBudgetLeft(), 2);
    play.world->Frame();
    ASSERT_NE(play.StarGob(), nullptr);
    EXPECT_NEAR(GetPOVComp(play.StarGob())->GetPosition().y, kStarStart.y, 1e-4);
    play.world->Frames(5);
    EXPECT_NEAR(GetPOVComp(play.StarGob())->GetPosition().y, kStarStart.y, 1e-4) << "paused";

    // Played again after the menu closed: scored again on the next opening.
    common::Singleton<Database>::Instance()->SendMsg(
        common::Singleton<Database>::Instance()->FindIdByName("ScoreMenu"), MSG_CloseMenu);
    play.world->Frame();
    play.Play();
    ASSERT_GT(play.RunToScore(400), 0);
    EXPECT_EQ(play.Menu()->GetScoredCount(), 2);
    EXPECT_EQ(play.Menu()->GetLastScore(), 70);

    // Reload: the budget refilled, the star from the file, physics paused.
    play.room->ReloadPuzzle(0);
    EXPECT_TRUE(dorvo::phy::DynamicsEngine::Instance().paused);
    EXPECT_EQ(play.puzzle->GetBudgetLeft(), 3);
    EXPECT_EQ(play.puzzle->GetObjectives().size(), 1u);
    play.world->Frame();
    EXPECT_NEAR(GetPOVComp(play.StarGob())->GetPosition().y, kStarStart.y, 1e-4);
}

TEST(PuzzlePlay, OverspendingLowersTheScore)
{
    PuzzleText front;
    front.budget = 3;
    front.objectives.push_back(Location());
    front.quorbs.push_back(Star());
    PlayWorld play(front);
    ASSERT_TRUE(play.world && play.world->Booted());
    for (int i = 0; i < 5; ++i)
        play.puzzle->SpendBudget("Bar");
    play.Play();
    ASSERT_GT(play.RunToScore(400), 0);
    EXPECT_EQ(play.Menu()->GetLastScore(), 30);
}

TEST(PuzzlePlay, AnExpiredTimeLimitFailsAtOnce)
{
    PuzzleText front;
    front.budget = 3;
    front.objectives.push_back(DescriptionXml("ObjectiveDescription", "TimerObjective",
                                              math::Vector3(8.0f, 8.0f, 20.0f), 1.0f, TimeLimitXml(0.0f)));
    front.objectives.push_back(Location());
    front.quorbs.push_back(Star());
    PlayWorld play(front);
    ASSERT_TRUE(play.world && play.world->Booted());
    play.world->ClearSounds();
    play.Play();
    EXPECT_EQ(play.RunToScore(3), 1) << "failed on the first simulated frame";
    EXPECT_TRUE(play.puzzle->IsFailed());
    EXPECT_EQ(play.Menu()->GetLastScore(), 30);
    EXPECT_TRUE(play.ConsoleShows("ScoreMenu: score 30, failed"));
    std::size_t timerDone = 0;
    for (const auto& record : play.world->Sounds())
        timerDone += record.action == "start" && record.path.find("TimerDone") != std::string::npos ? 1 : 0;
    EXPECT_EQ(timerDone, 1u);
}

TEST(PuzzlePlay, TheSecondsLeftOnTheClockCountWhenTheLocationCompletes)
{
    PuzzleText front;
    front.budget = 3;
    front.objectives.push_back(DescriptionXml("ObjectiveDescription", "TimerObjective",
                                              math::Vector3(8.0f, 8.0f, 20.0f), 1.0f, TimeLimitXml(30.0f)));
    front.objectives.push_back(Location());
    front.quorbs.push_back(Star());
    PlayWorld play(front);
    ASSERT_TRUE(play.world && play.world->Booted());
    play.Play();
    const int frames = play.RunToScore(400);
    ASSERT_GT(frames, 0);
    auto* limit = dynamic_cast<QUORB::CTimeLimit*>(CPuzzle::GetObjective(play.puzzle->GetObjectiveGob(8)));
    ASSERT_NE(limit, nullptr);
    const float left = limit->GetRemainingSeconds();
    EXPECT_NEAR(left, 30.0f - static_cast<float>(frames) / 30.0f, 0.2f);
    EXPECT_EQ(play.Menu()->GetLastScore(), 50 + 50 + static_cast<int>(5.0f * left) + 30);
    play.world->Frames(30);
    EXPECT_EQ(limit->GetRemainingSeconds(), left) << "the countdown stopped with the last required objective";
    EXPECT_FALSE(play.puzzle->IsFailed());
}

TEST(PuzzlePlay, AStarFallingThroughATargetScoresByItsClosestPass)
{
    PuzzleText front;
    front.budget = 2;
    front.objectives.push_back(DescriptionXml("ObjectiveDescription", "TargetObjective",
                                              math::Vector3(0.5f, -3.0f, 20.0f), 3.0f, TargetXml()));
    front.quorbs.push_back(Star(math::Vector3(0.0f, 4.0f, 20.0f)));
    PlayWorld play(front);
    ASSERT_TRUE(play.world && play.world->Booted());
    play.Play();
    ASSERT_GT(play.RunToScore(300), 0);
    const auto* target =
        dynamic_cast<QUORB::CTarget*>(CPuzzle::GetObjective(play.puzzle->GetObjectiveGob(32)));
    ASSERT_NE(target, nullptr);
    const float d = target->GetClosestDistance();
    EXPECT_GE(d, 0.5f - 1e-4f);
    EXPECT_LT(d, 0.9f);
    EXPECT_EQ(play.Menu()->GetLastScore(), 50 + static_cast<int>(40.0f * (3.0f - d)) + 20);
}

TEST(PuzzlePlay, AWidgetThatDoesNotCollideWithStarsLetsThemPass)
{
    // A platform lying on the floor and a star dropped onto its middle, clear of its end nodes:
    // the star rests on the platform, or, when the platform's data says it does not collide with
    // stars, on the floor beneath.
    float restingY[2] = {0.0f, 0.0f};
    for (bool collide : {true, false})
    {
        PuzzleText front;
        front.quorbs.push_back(Star(math::Vector3(0.0f, -3.0f, 20.0f)));
        front.widgets.push_back(DescriptionXml("WidgetDescription", "Platform",
                                               math::Vector3(0.0f, -9.4f, 20.0f),
                                               math::Vector3(3.0f, 1.0f, 1.0f)));
        PlayWorld play(front);
        ASSERT_TRUE(play.world && play.world->Booted());
        ASSERT_EQ(play.puzzle->GetWidgetIDs().size(), 1u);
        Gob* platform = GobManager::Instance().GetGob(play.puzzle->GetWidgetIDs()[0]);
        QUORB::WidgetDataComp* data = QUORB::WidgetDataComp::Of(platform);
        ASSERT_NE(data, nullptr);
        ASSERT_NE(data->GetData(), nullptr);
        data->GetData()->SetCollideWithQUORB(collide);
        play.Play();
        play.world->Frames(60);
        restingY[collide ? 0 : 1] = GetPOVComp(play.StarGob())->GetPosition().y;
    }
    EXPECT_NEAR(restingY[1], -9.5f, 0.1f) << "through the platform onto the floor";
    EXPECT_GT(restingY[0], restingY[1] + 0.3f) << "on top of the platform";
}

// "play" typed while the camera looks at a face the room was never turned to (a room just loaded):
// the face played is the one whose objectives are checked, so the run ends.
TEST(PuzzlePlay, AFacePlayedBeforeTheRoomFocusedAnyIsTheOneChecked)
{
    PuzzleText front;
    front.objectives.push_back(DescriptionXml("ObjectiveDescription", "TimerObjective",
                                              math::Vector3(0.0f, 0.0f, 20.0f), 1.0f, TimeLimitXml(30.0f)));
    PlayWorld play(front, false);
    ASSERT_TRUE(play.world && play.world->Booted());
    play.world->Frames(2);
    ASSERT_EQ(play.world->Game().GetFocusedFace(), 0) << "the camera's view";
    ASSERT_EQ(play.room->GetFocusedFace(), -1);
    play.world->Console("play");
    // Nothing required is left: completed on the first simulated frame.
    EXPECT_GT(play.RunToScore(5), 0);
    EXPECT_EQ(play.room->GetFocusedFace(), 0);
    EXPECT_FALSE(play.puzzle->IsFailed());
}
