// The puzzle's bookkeeping and its life between editing and simulating: which objectives may be
// added, the budget, when the frame's update ends the puzzle, what play frees, what reload,
// reset and the room's editing conditions bring back, and the puzzle file read back as written.
#include "GameTestWorld.h"
#include "PuzzleFixtures.h"

#include "LogCapture.h"
#include "engine/phy/DynamicsEngine.h"
#include "engine/phy/PhysicsComp.h"
#include "game/app/CQUORB.h"
#include "game/camera/CCamera.h"
#include "game/files/GameDataFiles.h"
#include "game/objectives/CTimeLimit.h"
#include "game/room/CPuzzle.h"
#include "game/room/CRoom.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

using gametest::GameTestSetup;
using gametest::GameTestWorld;
using QUORB::CPuzzle;
using QUORB::IObjective;
using namespace puzzletest;

namespace
{
dorvo::phy::DynamicsEngine& Dynamics()
{
    return dorvo::phy::DynamicsEngine::Instance();
}

dorvo::phy::PhysicsComp* Physics(std::uint32_t id)
{
    return dorvo::phy::GetPhysicsComp(GobManager::Instance().GetGob(id));
}

// A world in the committed empty room with a room "Test.xml" whose front puzzle is given.
GameTestSetup WithFrontPuzzle(const PuzzleText& front)
{
    GameTestSetup setup;
    setup.copyRooms = true;
    setup.files["files/puzzles/Front.xml"] = PuzzleXml(front);
    setup.files["files/rooms/Test.xml"] =
        RoomXml({"Front.xml", "EmptyRoom_Puzzle_1.xml", "EmptyRoom_Puzzle_2.xml", "EmptyRoom_Puzzle_3.xml"});
    return setup;
}

QUORB::CTimeLimit* NewTimeLimit(float seconds)
{
    auto* limit = dynamic_cast<QUORB::CTimeLimit*>(IObjective::Create(CPuzzle::OT_TimeLimit));
    limit->SetTimeInterval(seconds);
    return limit;
}
} // namespace

TEST(Puzzle, SingleInstanceObjectivesAreRefusedAndTheMaskFollowsRemovals)
{
    GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    CPuzzle puzzle;
    const math::Vector3 at(0.0f, 0.0f, 20.0f);
    const struct
    {
        std::uint32_t type;
        const char* archetype;
        bool secondAllowed;
    } cases[] = {{1, "LocationObjective", false}, {2, "DestructionObjective", false},
                 {4, "SquashObjective", true},    {8, "TimerObjective", false},
                 {16, "WaterObjective", false},   {32, "TargetObjective", true}};
    for (const auto& c : cases)
    {
        EXPECT_TRUE(puzzle.CanAddObjective(c.type)) << c.type;
        Gob* gob = MakeObjective(c.archetype, IObjective::Create(c.type), at, 1.0f);
        ASSERT_NE(gob, nullptr) << c.archetype;
        puzzle.AddObjective(gob->GetID());
        EXPECT_NE(puzzle.GetObjectiveMask() & c.type, 0u);
        EXPECT_EQ(puzzle.CanAddObjective(c.type), c.secondAllowed) << c.type;
        EXPECT_EQ(puzzle.GetObjectiveGob(c.type), gob);
    }
    EXPECT_EQ(puzzle.GetObjectiveMask(), 63u);

    // Two targets: removing one keeps the bit, removing the last clears it.
    Gob* second = MakeObjective("TargetObjective", IObjective::Create(32), at, 1.0f);
    puzzle.AddObjective(second->GetID());
    EXPECT_FALSE(puzzle.HasAtMostOneObjectiveOfType(32));
    puzzle.RemoveObjective(second->GetID());
    EXPECT_NE(puzzle.GetObjectiveMask() & 32u, 0u);
    EXPECT_TRUE(puzzle.HasAtMostOneObjectiveOfType(32));
    puzzle.RemoveObjective(puzzle.GetObjectiveGob(32)->GetID());
    EXPECT_EQ(puzzle.GetObjectiveMask() & 32u, 0u);
    EXPECT_EQ(puzzle.GetObjectiveGob(32), nullptr);
    puzzle.RemoveObjective(puzzle.GetObjectiveGob(8)->GetID());
    EXPECT_TRUE(puzzle.CanAddObjective(8));
    puzzle.RemoveObjective(123456u); // no such entry
    EXPECT_EQ(puzzle.GetObjectives().size(), 4u);
}

TEST(Puzzle, TheBudgetIsFreeInCreateModeRefundsWhatWasPaidAndOverspendingLowersTheScore)
{
    GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    CPuzzle puzzle;
    puzzle.SetTotalBudget(3);
    puzzle.SetBudgetLeft(3);

    world.Game().SetCreatePuzzleMode(true);
    const int free = puzzle.SpendBudget("Platform");
    EXPECT_EQ(free, 0);
    EXPECT_EQ(puzzle.GetBudgetLeft(), 3);
    // What was placed free refunds nothing, in whichever mode it is deleted.
    world.Game().SetCreatePuzzleMode(false);
    puzzle.RefundBudget(free);
    EXPECT_EQ(puzzle.GetBudgetLeft(), 3);
    EXPECT_EQ(puzzle.GetWidgetsPlaced(), 0);

    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(puzzle.SpendBudget("Bar"), 1) << "spending never fails";
    EXPECT_EQ(puzzle.GetBudgetLeft(), -2);
    EXPECT_EQ(puzzle.GetWidgetsPlaced(), 5);
    EXPECT_EQ(puzzle.ComputeScore(), -20);
    // What was paid comes back in create-puzzle mode too.
    world.Game().SetCreatePuzzleMode(true);
    puzzle.RefundBudget(1);
    EXPECT_EQ(puzzle.GetBudgetLeft(), -1);
    EXPECT_EQ(puzzle.GetWidgetsPlaced(), 4);
}

TEST(Puzzle, UpdateEndsOnFailureOrWhenNothingRequiredIsLeftAndResnapsOnlyWhilePaused)
{
    GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    const math::Vector3 at(0.0f, 0.0f, 20.0f);
    auto opened = [&world]() { return world.MessageCount("ScoreMenu", MSG_OpenMenu); };
    auto run = [](CPuzzle& puzzle, int frames)
    {
        Dynamics().paused = false;
        for (int i = 0; i < frames; ++i)
            puzzle.Update(1.0, 1.0f / 30.0f);
        Dynamics().paused = true;
    };

    {
        // No objectives: the puzzle never ends by itself.
        CPuzzle puzzle;
        const std::size_t before = opened();
        run(puzzle, 20);
        world.Frame();
        EXPECT_EQ(opened(), before);
    }
    {
        // Only a time limit and a water change (nothing required): completed at once.
        CPuzzle puzzle;
        puzzle.AddObjective(MakeObjective("TimerObjective", NewTimeLimit(30.0f), at, 1.0f)->GetID());
        puzzle.AddObjective(
            MakeObjective("WaterObjective", IObjective::Create(CPuzzle::OT_WaterControl), at, 1.0f)->GetID());
        const std::size_t before = opened();
        puzzle.Play();
        run(puzzle, 1);
        world.Frame();
        EXPECT_EQ(opened(), before + 1);
        EXPECT_FALSE(puzzle.IsFailed());
    }
    {
        // A failure ends the puzzle before the later entries are updated: the location, which
        // would fail for want of a star object (the room has no focused puzzle), is never asked.
        CPuzzle puzzle;
        puzzle.AddObjective(MakeObjective("TimerObjective", NewTimeLimit(0.0f), at, 1.0f)->GetID());
        Gob* location =
            MakeObjective("LocationObjective", IObjective::Create(CPuzzle::OT_GetToLocation), at, 4.0f);
        puzzle.AddObjective(location->GetID());
        ASSERT_EQ(world.Game().GetFocusedPuzzle(), nullptr);
        const std::size_t before = opened();
        puzzle.Play();
        world.Wait(0.1);
        run(puzzle, 1);
        world.Frame();
        EXPECT_TRUE(puzzle.IsFailed());
        EXPECT_EQ(opened(), before + 1);
        const IObjective* objective = CPuzzle::GetObjective(location);
        ASSERT_NE(objective, nullptr);
        EXPECT_EQ(objective->GetState(), IObjective::Running)
            << "the entry after the failure was not updated";
    }
    {
        // The re-snap after a rebuild: on the third paused update, never while physics runs.
        CPuzzle puzzle;
        puzzle.Reset();
        ASSERT_TRUE(puzzle.IsRebuildPending());
        run(puzzle, 10);
        EXPECT_EQ(puzzle.GetResnapCount(), 0);
        puzzle.Update(1.0, 0.03f);
        puzzle.Update(1.0, 0.03f);
        EXPECT_EQ(puzzle.GetResnapCount(), 0);
        puzzle.Update(1.0, 0.03f);
        EXPECT_EQ(puzzle.GetResnapCount(), 1);
        EXPECT_FALSE(puzzle.IsRebuildPending());
        puzzle.Update(1.0, 0.03f);
        puzzle.Update(1.0, 0.03f);
        puzzle.Update(1.0, 0.03f);
        EXPECT_EQ(puzzle.GetResnapCount(), 1);
    }
}

TEST(Puzzle, PlayFreesAllButHardNodesAndLocksThemToTheFacePlane)
{
    GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    QUORB::CRoom* room = world.Game().GetRoom();
    ASSERT_NE(room, nullptr);
    const struct
    {
        unsigned face;
        std::uint32_t lock;
    } faces[] = {{0, 1}, {1, 2}, {2, 1}, {3, 2}};
    for (const auto& f : faces)
    {
        CPuzzle puzzle;
        Gob* hard = MakeAt("HardNode", math::Vector3(0.0f, 0.0f, 0.0f));
        Gob* platform = MakeAt("Platform", math::Vector3(2.0f, 0.0f, 0.0f));
        Gob* star = MakeAt("QUORBBall", math::Vector3(4.0f, 0.0f, 0.0f));
        puzzle.AddWidget(hard->GetID());
        puzzle.AddWidget(platform->GetID());
        puzzle.AddQuorb(star->GetID());
        for (Gob* gob : {hard, platform, star})
            dorvo::phy::GetPhysicsComp(gob)->immovable = dorvo::phy::GetPhysicsComp(gob)->savedImmovable =
                true;
        room->FocusFace(f.face);
        puzzle.Play();
        EXPECT_TRUE(Physics(hard->GetID())->immovable) << "hard nodes stay put";
        EXPECT_FALSE(Physics(platform->GetID())->immovable);
        EXPECT_FALSE(Physics(platform->GetID())->savedImmovable);
        EXPECT_EQ(Physics(platform->GetID())->planeMode, f.lock) << "face " << f.face;
        EXPECT_FALSE(Physics(star->GetID())->immovable);
        EXPECT_EQ(Physics(star->GetID())->planeMode, f.lock) << "face " << f.face;
        EXPECT_EQ(puzzle.GetPlaySnapshot().m_widgets.size(), 2u);
        EXPECT_EQ(puzzle.GetPlaySnapshot().m_quorbs.size(), 1u);
    }
}

TEST(Puzzle, ReloadResetAndStartRebuildAndTheRoomRestoresTheEditingConditions)
{
    PuzzleText front;
    front.budget = 4;
    front.objectives.push_back(DescriptionXml("ObjectiveDescription", "LocationObjective",
                                              math::Vector3(0.0f, -9.0f, 20.0f), 4.0f, LocationXml()));
    front.quorbs.push_back(
        DescriptionXml("QuorbDescription", "QUORBBall", math::Vector3(0.0f, 5.0f, 20.0f), 1.0f));
    GameTestWorld world(WithFrontPuzzle(front));
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    QUORB::CQUORB& game = world.Game();
    QUORB::CRoom* room = game.GetRoom();
    ASSERT_TRUE(room->Load("Test.xml", false));
    room->FocusFace(0);
    CPuzzle* puzzle = room->GetPuzzle(0);
    ASSERT_EQ(puzzle->GetQuorbIDs().size(), 1u);
    ASSERT_EQ(puzzle->GetObjectives().size(), 1u);
    EXPECT_TRUE(Physics(puzzle->GetQuorbIDs()[0])->immovable) << "immovable until play";

    // The player places two widgets and plays: everything falls.
    const std::uint32_t placed = MakeAt("Platform", math::Vector3(3.0f, 0.0f, 20.0f))->GetID();
    puzzle->AddWidget(placed);
    puzzle->AddWidget(MakeAt("Bar", math::Vector3(-3.0f, 0.0f, 20.0f))->GetID());
    puzzle->SpendBudget("Platform");
    puzzle->SpendBudget("Bar");
    Dynamics().paused = false;
    room->PlayPuzzle(0);
    world.Frames(10);
    const float fallen = GetPOVComp(GobManager::Instance().GetGob(puzzle->GetQuorbIDs()[0]))->GetPosition().y;
    EXPECT_LT(fallen, 4.9f);

    // Reset: the widgets as they stood at play, immovable, the budget as spent, physics paused,
    // gravity down, the water back and the camera's up turn requested.
    Dynamics().gravity = math::Vector3(3.0f, 0.0f, 0.0f);
    const float waterLevel = game.GetWaterLevel();
    game.LerpWaterLevel(waterLevel + 3.0f, 0.05f); // as a water objective would
    world.Frames(3);
    ASSERT_NEAR(game.GetWaterLevel(), waterLevel + 3.0f, 1e-4);
    room->ResetPuzzle(0);
    EXPECT_NEAR(game.GetWaterLevel(), waterLevel, 1e-4) << "the water comes back";
    EXPECT_TRUE(Dynamics().paused);
    EXPECT_EQ(Dynamics().gravity.x, 0.0f);
    EXPECT_NEAR(Dynamics().gravity.y, -9.8f, 1e-6);
    EXPECT_EQ(game.GetGameCamera()->GetTurnTargetUp().y, 1.0f);
    EXPECT_NEAR(game.GetGameCamera()->GetTurnSeconds(), 0.1f, 1e-6);
    ASSERT_EQ(puzzle->GetWidgetIDs().size(), 2u);
    ASSERT_EQ(puzzle->GetQuorbIDs().size(), 1u);
    EXPECT_NEAR(GetPOVComp(GobManager::Instance().GetGob(puzzle->GetQuorbIDs()[0]))->GetPosition().y, 5.0f,
                1e-4);
    EXPECT_TRUE(Physics(puzzle->GetWidgetIDs()[0])->immovable);
    EXPECT_EQ(puzzle->GetBudgetLeft(), 2);
    world.Frame();
    EXPECT_EQ(GobManager::Instance().GetGob(placed), nullptr) << "the played objects are gone";

    // While paused the room only rebuilds: no up turn is asked for.
    game.GetGameCamera()->InterpolateUp(math::Vector3(1.0f, 0.0f, 0.0f), 7.0f, math::Vector3(), nullptr);
    room->StartPuzzle(0, true);
    EXPECT_EQ(game.GetGameCamera()->GetTurnSeconds(), 7.0f);
    EXPECT_EQ(puzzle->GetWidgetIDs().size(), 2u);

    // Reload: the player's widgets go, the file's objects and the objectives stay, the budget is
    // refilled and the score zeroed.
    puzzle->ComputeScore();
    const std::uint32_t objective = puzzle->GetObjectives()[0].gobID;
    room->ReloadPuzzle(0);
    EXPECT_TRUE(puzzle->GetWidgetIDs().empty());
    EXPECT_EQ(puzzle->GetQuorbIDs().size(), 1u);
    ASSERT_EQ(puzzle->GetObjectives().size(), 1u);
    EXPECT_EQ(puzzle->GetObjectives()[0].gobID, objective);
    EXPECT_EQ(puzzle->GetBudgetLeft(), 4);
    EXPECT_EQ(puzzle->GetWidgetsPlaced(), 0);
    EXPECT_EQ(puzzle->GetScore(), 0);

    // In create-puzzle mode the whole puzzle comes back from its file under the puzzle folder.
    game.SetCreatePuzzleMode(true);
    puzzle->SetTotalBudget(99);
    puzzle->SetFileName("Front.xml");
    room->ReloadPuzzle(0);
    EXPECT_EQ(puzzle->GetTotalBudget(), 4);
    EXPECT_EQ(puzzle->GetQuorbIDs().size(), 1u);
    ASSERT_EQ(puzzle->GetObjectives().size(), 1u);
    EXPECT_NE(puzzle->GetObjectives()[0].gobID, objective) << "made again from the file";
    EXPECT_EQ(puzzle->GetObjectiveMask(), 1u);
    world.Frame();
    // ... and a puzzle never saved stays empty.
    puzzle->SetFileName("");
    room->ReloadPuzzle(0);
    EXPECT_TRUE(puzzle->GetQuorbIDs().empty());
    EXPECT_TRUE(puzzle->GetObjectives().empty());
}

TEST(Puzzle, APuzzleFileReadsBackAsWritten)
{
    GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    world.Game().GetRoom()->FocusFace(0);
    const std::string path = world.Folder() + "RoundTrip.xml";
    {
        CPuzzle puzzle;
        puzzle.SetTotalBudget(6);
        puzzle.SetAvailableWidgets(5);
        puzzle.AddObjective(
            MakeObjective("TimerObjective", NewTimeLimit(12.5f), math::Vector3(1.0f, 2.0f, 20.0f), 1.0f)
                ->GetID());
        puzzle.AddObjective(
            MakeObjective("TargetObjective", IObjective::Create(32), math::Vector3(-2.0f, 1.0f, 20.0f), 3.0f)
                ->GetID());
        puzzle.AddQuorb(MakeAt("QUORBBall", math::Vector3(0.5f, 6.0f, 20.0f))->GetID());
        puzzle.AddWidget(MakeAt("Platform", math::Vector3(0.0f, 1.0f, 20.0f))->GetID());
        puzzle.AddWidget(MakeAt("HardNode", math::Vector3(2.0f, 1.0f, 20.0f))->GetID());
        ASSERT_TRUE(QUORB::SavePuzzleFile(puzzle, path));
    }
    world.Frame();
    CPuzzle read;
    ASSERT_TRUE(QUORB::LoadPuzzleFile(read, path));
    EXPECT_EQ(read.GetTotalBudget(), 6);
    EXPECT_EQ(read.GetBudgetLeft(), 6);
    EXPECT_EQ(read.GetAvailableWidgets(), 5);
    EXPECT_EQ(read.GetObjectiveMask(), 8u | 32u);
    ASSERT_EQ(read.GetObjectives().size(), 2u);
    const auto* limit = dynamic_cast<QUORB::CTimeLimit*>(
        CPuzzle::GetObjective(CPuzzle::GetEntryGob(read.GetObjectives()[0])));
    ASSERT_NE(limit, nullptr);
    EXPECT_EQ(limit->GetTimeInterval(), 12.5f);
    EXPECT_NEAR(GetPOVComp(CPuzzle::GetEntryGob(read.GetObjectives()[1]))->GetScale().x, 3.0f, 1e-5);
    ASSERT_EQ(read.GetQuorbIDs().size(), 1u);
    ASSERT_EQ(read.GetWidgetIDs().size(), 2u);
    Gob* star = GobManager::Instance().GetGob(read.GetQuorbIDs()[0]);
    EXPECT_EQ(star->GetArchetypeName(), "QUORBBall");
    EXPECT_NEAR(GetPOVComp(star)->GetPosition().y, 6.0f, 1e-5);
    EXPECT_EQ(GobManager::Instance().GetGob(read.GetWidgetIDs()[1])->GetArchetypeName(), "HardNode");
    for (std::uint32_t id : {read.GetQuorbIDs()[0], read.GetWidgetIDs()[0], read.GetWidgetIDs()[1]})
        EXPECT_TRUE(Physics(id)->immovable) << "immovable until play";
    EXPECT_EQ(read.GetLoadedSnapshot()->m_widgets.size(), 2u);
    EXPECT_EQ(read.GetLoadedSnapshot()->m_quorbs.size(), 1u);
    EXPECT_TRUE(read.IsRebuildPending());
}

TEST(Puzzle, HostileCountsAndBadDescriptionsReadOnlyWhatIsThere)
{
    GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    const std::string path = world.Folder() + "Hostile.xml";
    const std::string star =
        DescriptionXml("QuorbDescription", "QUORBBall", math::Vector3(0.0f, 0.0f, 20.0f), 1.0f);
    const std::string nothing =
        DescriptionXml("WidgetDescription", "NoSuchArchetype", math::Vector3(0.0f, 0.0f, 20.0f), 1.0f);
    const std::string text = "<File><Puzzle><int>3</int><int>31</int><uint>0</uint>"
                             "<uint>2147483647</uint>" +
                             star + star + "</Puzzle></File>";
    {
        std::ofstream out(path);
        out << text;
    }
    testsupport::LogCapture logged;
    CPuzzle puzzle;
    EXPECT_TRUE(QUORB::LoadPuzzleFile(puzzle, path));
    std::string err = logged.Text();
    EXPECT_EQ(puzzle.GetQuorbIDs().size(), 2u);
    EXPECT_NE(err.find("2147483647"), std::string::npos) << err;

    // A description whose archetype builds nothing is skipped; the rest loads.
    {
        std::ofstream out(path);
        out << "<File><Puzzle><int>3</int><int>31</int><uint>0</uint><uint>1</uint>" + star +
                   "<uint>2</uint>" + nothing +
                   DescriptionXml("WidgetDescription", "Platform", math::Vector3(), 1.0f) +
                   "</Puzzle></File>";
    }
    logged.Clear();
    CPuzzle second;
    EXPECT_TRUE(QUORB::LoadPuzzleFile(second, path));
    err = logged.Text();
    EXPECT_EQ(second.GetQuorbIDs().size(), 1u);
    EXPECT_EQ(second.GetWidgetIDs().size(), 1u);
    EXPECT_NE(err.find("NoSuchArchetype"), std::string::npos) << err;

    // Missing, not XML, no record, an empty record: the puzzle stays as it was.
    const struct
    {
        const char* text;
    } bad[] = {{nullptr}, {"not xml <"}, {"<File></File>"}, {"<File><Puzzle/></File>"}};
    for (const auto& b : bad)
    {
        std::filesystem::remove(path);
        if (b.text != nullptr)
        {
            std::ofstream out(path);
            out << b.text;
        }
        CPuzzle untouched;
        untouched.SetTotalBudget(8);
        logged.Clear();
        EXPECT_FALSE(QUORB::LoadPuzzleFile(untouched, path));
        err = logged.Text();
        EXPECT_FALSE(err.empty()) << (b.text ? b.text : "(missing)");
        EXPECT_EQ(untouched.GetTotalBudget(), 8);
        EXPECT_FALSE(untouched.IsRebuildPending());
    }
}

TEST(Puzzle, APuzzleIsEmptyOnlyWithoutObjectivesStarObjectsAndWidgets)
{
    GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    for (const char* holds : {"nothing", "an objective", "a star object", "a widget"})
    {
        SCOPED_TRACE(holds);
        CPuzzle puzzle;
        const std::string what = holds;
        if (what == "an objective")
        {
            Gob* target = MakeObjective("TargetObjective", IObjective::Create(CPuzzle::OT_Target),
                                        math::Vector3(0.0f, 0.0f, 20.0f), 1.0f);
            ASSERT_NE(target, nullptr);
            puzzle.AddObjective(target->GetID());
        }
        else if (what == "a star object")
            puzzle.AddQuorb(MakeAt("QUORBBall", math::Vector3(0.0f, 0.0f, 20.0f))->GetID());
        else if (what == "a widget")
            puzzle.AddWidget(MakeAt("HardNode", math::Vector3(0.0f, 0.0f, 20.0f))->GetID());
        EXPECT_EQ(puzzle.IsEmpty(), what == "nothing");
    }
}
