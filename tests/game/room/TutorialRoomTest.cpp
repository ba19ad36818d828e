// The campaign's first room as a player meets it, headless under the real physics, with the
// committed start-up script, settings, template profile, room, puzzles and environment: the
// profile and the room come from the console, each face is turned to with the arrow keys and
// solved with the mouse (TutorialSolutions.h), played, and scored by the score menu's stand-in;
// played without the player's widgets no face completes, and the first three complete only with
// the widget each introduces.
#include "GameTestWorld.h"
#include "ScriptedPlacement.h"
#include "ShippedSetup.h"
#include "TutorialSolutions.h"

#include "LogCapture.h"
#include "TestSupport.h"
#include "common/ConsoleInterface.h"
#include "common/math/Plane.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/gfx/water/CWaterManager.h"
#include "engine/phy/DynamicsEngine.h"
#include "game/app/CQUORB.h"
#include "game/app/PlaceholderScoreMenu.h"
#include "game/camera/CCamera.h"
#include "game/files/Profile.h"
#include "game/objectives/CTarget.h"
#include "game/objectives/CTimeLimit.h"
#include "game/objectives/IObjective.h"
#include "game/objectives/ObjectiveComp.h"
#include "game/room/CPuzzle.h"
#include "game/room/CRoom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

using gametest::GameTestSetup;
using gametest::GameTestWorld;
using gametest::ShippedSetup;

namespace
{
// How long an unsolved face is watched: longer than any face's solution takes to score, and past
// face 1's 20 s time limit.
constexpr double kUnsolvedSeconds = 22.0;
constexpr unsigned kTimedFace = 1;
constexpr double kTimeLimitSeconds = 20.0;

// The state of the puzzle's time limit; -1 without one.
int TimeLimitState(const QUORB::CPuzzle& puzzle)
{
    for (const QUORB::PuzzleObjectiveEntry& entry : puzzle.GetObjectives())
    {
        const QUORB::ObjectiveComp* comp = QUORB::ObjectiveComp::Of(QUORB::CPuzzle::GetEntryGob(entry));
        const QUORB::IObjective* objective = comp != nullptr ? comp->GetObjective() : nullptr;
        if (objective != nullptr && objective->GetType() == QUORB::CTimeLimit::kType)
            return objective->GetState();
    }
    return -1;
}

// What the rules give a completed run: 50 for each required objective met, and for a target 40
// for each unit the star passed closer than the target's size; 50 for a time limit not run out and
// 5 for each second left on it; 10 for each unit of the budget left. Each bonus is cut to a whole
// number.
int ScoreByTheRules(QUORB::CPuzzle& puzzle)
{
    int score = 10 * puzzle.GetBudgetLeft();
    for (const QUORB::PuzzleObjectiveEntry& entry : puzzle.GetObjectives())
    {
        const QUORB::ObjectiveComp* comp = QUORB::ObjectiveComp::Of(QUORB::CPuzzle::GetEntryGob(entry));
        QUORB::IObjective* objective = comp != nullptr ? comp->GetObjective() : nullptr;
        if (objective == nullptr)
            continue;
        if (const QUORB::CTarget* target = objective->AsTarget())
        {
            EXPECT_EQ(objective->GetState(), QUORB::IObjective::Completed);
            score +=
                50 + static_cast<int>(40.0f * (GetPOVComp(QUORB::CPuzzle::GetEntryGob(entry))->GetScale().x -
                                               target->GetClosestDistance()));
        }
        else if (QUORB::CTimeLimit* limit = objective->AsTimeLimit())
        {
            EXPECT_NE(objective->GetState(), QUORB::IObjective::Failed);
            score += 50 + static_cast<int>(5.0f * limit->GetRemainingSeconds());
        }
        else if (objective->AsGetToLocation() != nullptr)
        {
            EXPECT_EQ(objective->GetState(), QUORB::IObjective::Completed);
            score += 50;
        }
    }
    return score;
}

// A world booted as shipped with the Tutorial loaded from the console.
struct TutorialWorld
{
    TutorialWorld() : world(std::make_unique<GameTestWorld>(ShippedSetup()))
    {
        if (!world->Booted())
            return;
        world->Frames(3);
        world->Console(std::string("loadprofile ") + tutorial::kProfileFile);
        world->Console(std::string("loadroom ") + tutorial::kRoomFile + " true");
        world->Frames(3);
        room = world->Game().GetRoom();
    }

    QUORB::PlaceholderScoreMenu* ScoreMenu() const
    {
        return dynamic_cast<QUORB::PlaceholderScoreMenu*>(world->Menu("ScoreMenu"));
    }
    bool ScoreMenuOpen() const
    {
        return ScoreMenu() != nullptr && ScoreMenu()->GetState() == QUORB::PlaceholderMenu::STATE_Open;
    }

    // Frames until the score menu opens, at most the given seconds of them; the seconds run, or a
    // negative number when it did not open.
    double RunToScore(double seconds) const
    {
        const int frames = static_cast<int>(seconds * 30.0);
        for (int frame = 1; frame <= frames; ++frame)
        {
            world->Frame();
            if (ScoreMenuOpen())
                return frame / 30.0;
        }
        return -1.0;
    }

    // After a run: the puzzle back as it was at "play" (physics paused), the score menu closed
    // and the editor off.
    void EndRun() const
    {
        world->Console("resetfocusedpuzzle");
        world->Console("menu ScoreMenu close");
        gametest::SetEditor(*world, false);
        world->Frames(2);
    }

    bool ConsoleShows(const std::string& text) const
    {
        for (const std::string& line : common::ConsoleInterface::Instance().GetOutputLines())
            if (line.find(text) != std::string::npos)
                return true;
        return false;
    }

    std::unique_ptr<GameTestWorld> world;
    QUORB::CRoom* room = nullptr;
};
} // namespace

TEST(TutorialRoom, TheConsoleBringsTheRoomThatTheTemplateProfileUnlocks)
{
    TutorialWorld tutorial;
    ASSERT_TRUE(tutorial.world->Booted());
    ASSERT_NE(tutorial.world->Game().GetProfile(), nullptr);
    EXPECT_EQ(tutorial.world->Game().GetProfile()->unlockedRooms,
              std::vector<std::string>{tutorial::kRoomFile});
    ASSERT_NE(tutorial.room, nullptr);
    EXPECT_EQ(tutorial.room->GetRoomName(), tutorial::kRoomFile);
    // Four faces, each a puzzle with a budget, the widgets it offers and objectives.
    ASSERT_EQ(tutorial.room->GetPuzzleCount(), 4u);
}

// Each face solved as its solution says and played to the score menu, one after another in one
// world, as a player goes round the room.
TEST(TutorialRoom, EachFaceSolvedByMouseIsCompletedWithItsScore)
{
    TutorialWorld tutorial;
    ASSERT_TRUE(tutorial.world->Booted());
    ASSERT_NE(tutorial.room, nullptr);
    GameTestWorld& world = *tutorial.world;
    for (const tutorial::Solution& solution : tutorial::Solutions())
    {
        SCOPED_TRACE("face " + std::to_string(solution.face));
        ASSERT_TRUE(gametest::TurnToFace(world, solution.face));
        QUORB::CPuzzle* puzzle = world.Game().GetFocusedPuzzle();
        ASSERT_NE(puzzle, nullptr);
        gametest::PlaySolution(world, solution);
        EXPECT_EQ(puzzle->GetBudgetLeft(), solution.budgetLeft);
        common::ConsoleInterface::Instance().ClearOutput();
        const int scoredBefore = tutorial.ScoreMenu()->GetScoredCount();
        const double seconds = tutorial.RunToScore(30.0);
        ASSERT_GT(seconds, 0.0) << "the score menu never opened";
        EXPECT_FALSE(puzzle->IsFailed());
        EXPECT_EQ(tutorial.ScoreMenu()->GetScoredCount(), scoredBefore + 1);
        const int score = ScoreByTheRules(*puzzle);
        EXPECT_GE(score, 50 + 10 * solution.budgetLeft) << "at least the objective and the budget left";
        EXPECT_EQ(tutorial.ScoreMenu()->GetLastScore(), score);
        EXPECT_TRUE(tutorial.ConsoleShows("ScoreMenu: score " + std::to_string(score) + ", completed"));
        tutorial.EndRun();
    }
}

// The room tells when it differs from its files: turning round it, editing nothing on each face
// and a run played and reset change nothing; the player's widgets change it, and loading it again
// as the room list does (skipping a room already loaded) then brings it back as its files hold it.
TEST(TutorialRoom, OnlyWhatWouldBeSavedChangesTheRoomAndAChangedRoomLoadsAgain)
{
    TutorialWorld tutorial;
    ASSERT_TRUE(tutorial.world->Booted());
    ASSERT_NE(tutorial.room, nullptr);
    GameTestWorld& world = *tutorial.world;
    EXPECT_FALSE(tutorial.room->IsModified());
    std::vector<std::size_t> loadedWidgets;
    for (unsigned face = 0; face < 4; ++face)
    {
        SCOPED_TRACE("face " + std::to_string(face));
        ASSERT_TRUE(gametest::TurnToFace(world, face));
        gametest::SetEditor(world, true);
        world.Frames(5); // past the re-snap of the loaded widgets
        EXPECT_FALSE(tutorial.room->IsModified());
        loadedWidgets.push_back(world.Game().GetFocusedPuzzle()->GetWidgetIDs().size());
        world.Console("play");
        world.Frames(30);
        world.Console("resetfocusedpuzzle");
        world.Frames(5);
        EXPECT_FALSE(tutorial.room->IsModified()) << "a run and its reset";
        world.Console("reloadfocusedpuzzle");
        EXPECT_FALSE(tutorial.room->IsModified()) << "read again, before its re-snap";
        world.Frames(5);
        EXPECT_FALSE(tutorial.room->IsModified()) << "read again and re-snapped";
        gametest::SetEditor(world, false);
    }

    const tutorial::Solution solution = tutorial::Face0();
    ASSERT_TRUE(gametest::TurnToFace(world, solution.face));
    gametest::PlaySolution(world, solution);
    ASSERT_GT(tutorial.RunToScore(30.0), 0.0);
    tutorial.EndRun();
    QUORB::CPuzzle* puzzle = tutorial.room->GetPuzzle(solution.face);
    ASSERT_GT(puzzle->GetWidgetIDs().size(), loadedWidgets[solution.face]);
    EXPECT_TRUE(tutorial.room->IsModified());
    world.Game().LoadRoom(tutorial::kRoomFile, true);
    world.Frames(3);
    EXPECT_FALSE(tutorial.room->IsModified());
    EXPECT_EQ(tutorial.room->GetPuzzle(solution.face)->GetWidgetIDs().size(), loadedWidgets[solution.face]);
    const QUORB::CPuzzle* loaded = tutorial.room->GetPuzzle(0);
    world.Game().LoadRoom(tutorial::kRoomFile, true);
    EXPECT_EQ(tutorial.room->GetPuzzle(0), loaded) << "a room as its files hold it is not read again";
}

// The back face's switch turns gravity towards the wall the moment the ball rolls over it, and
// the view with it: the camera's up turns the other way, so the wall stands below on the screen.
// The eye stays above the room's water all the while (the face has no water objective, whose
// water would turn with gravity and stand beside the eye), and the reset brings gravity and the
// view back upright.
TEST(TutorialRoom, TheBackFacesSwitchTurnsGravityAndTheViewAndTheResetTurnsThemBack)
{
    TutorialWorld tutorial;
    ASSERT_TRUE(tutorial.world->Booted());
    ASSERT_NE(tutorial.room, nullptr);
    GameTestWorld& world = *tutorial.world;
    const tutorial::Solution solution = tutorial::Face2();
    ASSERT_TRUE(gametest::TurnToFace(world, solution.face));
    gametest::PlaySolution(world, solution);
    const QUORB::CCamera& camera = *world.Game().GetGameCamera();
    const math::Vector3 eye = camera.GetEyePosition();
    // Towards the wall: the face's right, as the player sees it.
    const math::Vector3 towardsWall = tutorial::FacePoint(2, 1.0f, 0.0f) - tutorial::FacePoint(2, 0.0f, 0.0f);
    const dorvo::phy::DynamicsEngine& physics = dorvo::phy::DynamicsEngine::Instance();
    float lowest = 1e9f; // the eye's height over the water
    int turnedAt = -1;
    for (int frame = 0; frame < 30 * 12 && !tutorial.ScoreMenuOpen(); ++frame)
    {
        world.Frame();
        if (turnedAt < 0 && physics.gravity.Dot(towardsWall) > 9.0f)
            turnedAt = frame;
        math::Plane plane;
        ASSERT_TRUE(dorvo::gfx::CWaterManager::Instance().GetWaterPlane(plane));
        lowest = std::min(lowest, plane.GetNormalized().SignedDistance(eye));
    }
    EXPECT_TRUE(tutorial.ScoreMenuOpen());
    EXPECT_FALSE(world.Game().GetFocusedPuzzle()->IsFailed());
    ASSERT_GE(turnedAt, 0) << "gravity never pointed at the wall";
    EXPECT_GT(turnedAt, 30) << "turned by the ball on the ramp, not at the start";
    EXPECT_NEAR(physics.gravity.Dot(towardsWall), 9.8f, 1e-4f);
    EXPECT_NEAR(camera.GetUpVector().Dot(towardsWall), -1.0f, 1e-3f) << "the wall below on the screen";
    EXPECT_GT(lowest, 0.5f) << "the eye stays above the water";

    tutorial.EndRun();
    world.Frames(45);
    EXPECT_NEAR(physics.gravity.y, -9.8f, 1e-4f);
    EXPECT_NEAR(camera.GetUpVector().y, 1.0f, 1e-3f) << "upright again";
}

// What a new player tries on the first three faces, each from the face as it loads: the widget
// the face introduces, laid where its layout shows (anywhere along the back face's ramp), completes
// it; laid the wrong way or off the ball's way it does not, and neither does a platform or bar
// (which these faces do not offer: laid here from the console) where the face wants its widget.
TEST(TutorialRoom, TheFirstThreeFacesAreCompletedOnlyWithTheWidgetTheyIntroduce)
{
    struct Attempt
    {
        const char* what;
        unsigned face;
        tutorial::Placement placement;
        bool completes;
    };
    auto on = [](unsigned face, const char* type, float u0, float v0, float u1, float v1) {
        return tutorial::Placement{type, tutorial::FacePoint(face, u0, v0),
                                   tutorial::FacePoint(face, u1, v1)};
    };
    const Attempt attempts[] = {
        {"bridge laid right to left", 0, on(0, "Platform", 2.4f, 0.0f, -2.4f, 0.0f), true},
        {"platform hung from the left anchor only", 0, on(0, "Platform", -2.4f, 0.0f, 0.5f, -1.5f), false},
        {"platform between the anchors", 1, on(1, "Platform", -8.5f, 5.0f, -4.5f, 5.0f), false},
        {"accelerator pushing away from the target", 1, on(1, "Accelerator", -4.5f, 5.0f, -8.5f, 5.0f),
         false},
        {"switch where the ball lands", 2, on(2, "GravitySwitch", -8.0f, 4.4f, -6.5f, 4.4f), true},
        {"switch on the ramp's middle", 2, on(2, "GravitySwitch", -6.0f, 4.1f, -4.5f, 4.1f), true},
        {"switch at the ramp's end", 2, on(2, "GravitySwitch", -2.6f, 3.6f, -1.1f, 3.6f), true},
        {"switch pointing up", 2, on(2, "GravitySwitch", -4.0f, 4.5f, -4.0f, 6.0f), false},
        {"switch pointing down", 2, on(2, "GravitySwitch", -4.0f, 4.5f, -4.0f, 3.0f), false},
        {"switch pointing away from the wall", 2, on(2, "GravitySwitch", -4.0f, 4.5f, -5.5f, 4.5f), false},
        {"switch off the ball's way", 2, on(2, "GravitySwitch", 2.0f, 5.0f, 3.5f, 5.0f), false},
        {"platform from the ramp to the wall's foot", 2, on(2, "Platform", -2.0f, 3.0f, 6.5f, 2.5f), false},
        {"platform from the ramp to the ledge", 2, on(2, "Platform", -2.0f, 3.0f, 4.0f, 6.5f), false},
        {"platform slanting up below the ramp", 2, on(2, "Platform", -6.0f, -1.5f, -2.0f, 0.5f), false},
    };
    TutorialWorld tutorial;
    ASSERT_TRUE(tutorial.world->Booted());
    ASSERT_NE(tutorial.room, nullptr);
    GameTestWorld& world = *tutorial.world;
    for (const Attempt& attempt : attempts)
    {
        SCOPED_TRACE(std::string("face ") + std::to_string(attempt.face) + ": " + attempt.what);
        ASSERT_TRUE(gametest::TurnToFace(world, attempt.face));
        QUORB::CPuzzle* puzzle = world.Game().GetFocusedPuzzle();
        const std::size_t loaded = puzzle->GetWidgetIDs().size();
        tutorial::Solution tried;
        tried.face = attempt.face;
        tried.placements = {attempt.placement};
        gametest::PlaySolution(world, tried);
        ASSERT_GT(puzzle->GetWidgetIDs().size(), loaded) << "nothing was laid";
        const double seconds = tutorial.RunToScore(attempt.face == kTimedFace ? kUnsolvedSeconds : 15.0);
        const bool completed = seconds > 0.0 && !puzzle->IsFailed();
        EXPECT_EQ(completed, attempt.completes) << "after " << seconds << " s";
        tutorial.EndRun();
        world.Console("reloadfocusedpuzzle");
        world.Frames(5);
        ASSERT_EQ(puzzle->GetWidgetIDs().size(), loaded) << "the face as it loads for the next attempt";
    }
}

// Played as they load, without a widget of the player's, no face completes: each run either goes
// on or fails. Face 1 is watched past its time limit and ends failed when the limit runs out.
TEST(TutorialRoom, NoFaceIsCompletedWithoutThePlayersWidgets)
{
    TutorialWorld tutorial;
    ASSERT_TRUE(tutorial.world->Booted());
    ASSERT_NE(tutorial.room, nullptr);
    GameTestWorld& world = *tutorial.world;
    for (unsigned face = 0; face < 4; ++face)
    {
        SCOPED_TRACE("face " + std::to_string(face));
        ASSERT_TRUE(gametest::TurnToFace(world, face));
        gametest::SetEditor(world, true);
        world.Console("play");
        const double seconds = tutorial.RunToScore(kUnsolvedSeconds);
        const QUORB::CPuzzle& puzzle = *world.Game().GetFocusedPuzzle();
        if (seconds > 0.0)
        {
            EXPECT_TRUE(puzzle.IsFailed()) << "ended after " << seconds << " s";
        }
        if (face == kTimedFace)
        {
            EXPECT_TRUE(puzzle.IsFailed());
            EXPECT_EQ(TimeLimitState(puzzle), QUORB::IObjective::Failed);
            EXPECT_NEAR(seconds, kTimeLimitSeconds, 0.1) << "ended by the time limit";
        }
        tutorial.EndRun();
    }
}

// The committed content the Tutorial needs loads without a word on standard error: the start-up
// script, the settings, the sound project, the template profile, the room with its environment and
// its four puzzles.
TEST(TutorialRoom, TheCommittedContentLoadsWithoutALineOnStandardError)
{
    testsupport::LogCapture logged;
    {
        TutorialWorld tutorial;
        EXPECT_TRUE(tutorial.world->Booted());
        for (unsigned face = 0; face < 4; ++face)
            EXPECT_TRUE(gametest::TurnToFace(*tutorial.world, face));
        gametest::SetEditor(*tutorial.world, true);
        tutorial.world->Frames(5);
    }
    std::string err = logged.Text();
    // The run-time log's banner, written once by the first game a test program starts.
    const std::string banner = "CLogFile: Log.xml: Runtime Log Begin\n";
    if (err.compare(0, banner.size(), banner) == 0)
        err.erase(0, banner.size());
    EXPECT_EQ(err, "");
}
