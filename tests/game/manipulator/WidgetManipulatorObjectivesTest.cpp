// Placing objectives as a puzzle author does: the limits of the kinds held once and of the
// Target, with their refusals; the water objective's level and the water's jump; the timer's menu;
// and a puzzle file's objectives, which load without any of the author's messages.
#include "ManipulatorFixture.h"
#include "PuzzleFixtures.h"

#include "game/nodes/GobIDComp.h"
#include "game/objectives/CWaterControl.h"
#include "game/objectives/ObjectiveComp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using manipulatortest::Editor;
using manipulatortest::PositionOf;
using math::Vector3;

namespace
{
std::vector<std::string> TextsTo(const gametest::GameTestWorld& world, const char* menu)
{
    std::vector<std::string> texts;
    for (const QUORB::PlaceholderMenu::Received& received : world.Menu(menu)->GetReceived())
        if (received.name == MSG_SendTextMessage)
            texts.push_back(received.data.GetString());
    return texts;
}

long Started(const gametest::GameTestWorld& world, const char* path)
{
    const auto& sounds = world.Sounds();
    return std::count_if(sounds.begin(), sounds.end(),
                         [path](const plat::soundtest::Record& record)
                         { return record.action == "start" && record.path == path; });
}

std::vector<Gob*> ObjectivesOf(const QUORB::CPuzzle& puzzle, const char* archetype)
{
    std::vector<Gob*> gobs;
    for (const QUORB::PuzzleObjectiveEntry& entry : puzzle.GetObjectives())
        if (Gob* gob = QUORB::CPuzzle::GetEntryGob(entry))
            if (gob->GetArchetypeName() == archetype)
                gobs.push_back(gob);
    return gobs;
}

// The editor in create-puzzle mode, where puzzles are authored.
struct Author : Editor
{
    Author()
    {
        if (ready)
            world->Console("togglecm");
        ready = ready && game().IsCreatePuzzleMode();
    }

    void Forget()
    {
        world->Menu("MessageWindowMenu")->ClearReceived();
        world->Menu("TimerObjMenu")->ClearReceived();
        world->ClearSounds();
    }
};
} // namespace

// The kinds held once refuse a second with their own text; the refusal clears the chosen type
// and plays the editor's error sound. The first timer opens its menu.
TEST(ManipulatorObjectives, ASecondObjectiveOfAKindHeldOnceIsRefusedWithItsText)
{
    Author author;
    ASSERT_TRUE(author.ready);
    const struct
    {
        const char* type;
        const char* refusal;
        float y;
    } kinds[] = {
        {"LocationObjective", "Only 1 Get To Location Objective allowed.", 7.0f},
        {"WaterObjective", "Only 1 Water Control objective allowed.", 3.0f},
        {"TimerObjective", "Only 1 Timer Objective allowed.", -1.0f},
        {"DestructionObjective", "Only 1 Cause Destruction Objective allowed.", -4.0f},
    };
    for (const auto& kind : kinds)
    {
        SCOPED_TRACE(kind.type);
        author.Forget();
        author.Choose(kind.type);
        author.ClickAt(Editor::Front(-5.0f, kind.y));
        ASSERT_EQ(ObjectivesOf(author.puzzle(), kind.type).size(), 1u);
        EXPECT_TRUE(TextsTo(*author.world, "MessageWindowMenu").empty());
        EXPECT_EQ(author.world->MessageCount("TimerObjMenu", MSG_OpenMenu),
                  std::string(kind.type) == "TimerObjective" ? 1u : 0u);

        author.Forget();
        author.Choose(kind.type);
        author.ClickAt(Editor::Front(5.0f, kind.y));
        EXPECT_EQ(ObjectivesOf(author.puzzle(), kind.type).size(), 1u);
        EXPECT_EQ(Editor::OfArchetype(kind.type).size(), 1u) << "nothing made";
        EXPECT_EQ(TextsTo(*author.world, "MessageWindowMenu"), std::vector<std::string>{kind.refusal});
        EXPECT_TRUE(author.manipulator().GetCurrentWidgetType().empty());
        EXPECT_EQ(Started(*author.world, "QUORBSound/Editor/EditorError"), 1);
        EXPECT_EQ(author.world->MessageCount("TimerObjMenu", MSG_OpenMenu), 0u);
        EXPECT_EQ(author.state(), QUORB::ManipulatorLogic::STATE_Idle);
    }
    EXPECT_EQ(Editor::OfArchetype("WaterEndObjective").size(), 1u) << "one water objective, one end marker";
}

// Beside two star objects a Target is refused with both texts; beside one it is placed.
TEST(ManipulatorObjectives, ATargetIsRefusedBesideMoreThanOneStarObject)
{
    Author author;
    ASSERT_TRUE(author.ready);
    ASSERT_NE(author.Place("QUORBBall", Editor::Front(-8.0f, 6.0f), Vector3(1.0f, 1.0f, 1.0f)), nullptr);
    ASSERT_NE(author.Place("QUORBBall", Editor::Front(-5.0f, 6.0f), Vector3(1.0f, 1.0f, 1.0f)), nullptr);
    author.Forget();
    author.Choose("TargetObjective");
    author.ClickAt(Editor::Front(3.0f, 0.0f));
    EXPECT_TRUE(ObjectivesOf(author.puzzle(), "TargetObjective").empty());
    EXPECT_TRUE(Editor::OfArchetype("TargetObjective").empty());
    EXPECT_EQ(TextsTo(*author.world, "MessageWindowMenu"),
              (std::vector<std::string>{"There are more than 1 QUORB", "Target Objective is not allowed."}));
    EXPECT_TRUE(author.manipulator().GetCurrentWidgetType().empty());
    EXPECT_EQ(Started(*author.world, "QUORBSound/Editor/EditorError"), 1);

    author.manipulator().DeleteGob(author.Quorbs()[1]);
    author.world->Frame();
    ASSERT_EQ(author.Quorbs().size(), 1u);
    author.Forget();
    author.Choose("TargetObjective");
    author.ClickAt(Editor::Front(3.0f, 0.0f));
    EXPECT_EQ(ObjectivesOf(author.puzzle(), "TargetObjective").size(), 1u);
    EXPECT_TRUE(TextsTo(*author.world, "MessageWindowMenu").empty());
    EXPECT_NE(author.puzzle().GetObjectiveMask() & QUORB::CPuzzle::OT_Target, 0u);
}

// A water objective placed at a height gives the puzzle that water level; in create-puzzle mode,
// with the room list closed, the water jumps there at once, and not otherwise. Dragging after the
// press sets the end level on the end marker.
TEST(ManipulatorObjectives, AWaterObjectiveSetsThePuzzlesLevelAndMovesTheWaterForTheAuthor)
{
    const struct
    {
        bool createPuzzleMode;
        int roomListState;
        bool jumps;
    } cases[] = {{true, 1, true}, {true, 3, false}, {false, 1, false}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.createPuzzleMode ? "create-puzzle mode" : "playing") +
                     ", room list in state " + std::to_string(c.roomListState));
        Editor editor;
        ASSERT_TRUE(editor.ready);
        if (c.createPuzzleMode)
            editor.world->Console("togglecm");
        editor.world->Menu("RoomSelectionMenu")->ForceState(c.roomListState);
        editor.puzzle().SetBudgetLeft(3);
        const float before = editor.game().GetWaterLevel();
        editor.Choose("WaterObjective");
        editor.world->PressAt(Editor::Front(0.0f, 2.5f));
        const float height = editor.manipulator().GetPressFacePoint().y;
        EXPECT_NEAR(height, 2.5f, 0.05f);
        editor.world->PointAt(Editor::Front(0.0f, 6.0f));
        editor.world->LeftUp();
        editor.world->Frame();

        const std::vector<Gob*> water = ObjectivesOf(editor.puzzle(), "WaterObjective");
        ASSERT_EQ(water.size(), 1u);
        EXPECT_TRUE(editor.puzzle().HasWater());
        EXPECT_FLOAT_EQ(editor.puzzle().GetWaterLevel(), height);
        const QUORB::CWaterControl* objective = QUORB::ObjectiveComp::Of(water[0])->AsWaterControl();
        ASSERT_NE(objective, nullptr);
        EXPECT_FLOAT_EQ(objective->GetBeginWaterLevel(), height);
        Gob* marker = QUORB::GobIDComp::Of(water[0])->GetLinkedGob();
        ASSERT_NE(marker, nullptr);
        EXPECT_EQ(marker->GetArchetypeName(), "WaterEndObjective");
        EXPECT_EQ(QUORB::GobIDComp::Of(marker)->GetLinkedID(), water[0]->GetID());
        EXPECT_NEAR(objective->GetEndWaterLevel(), 6.0f, 0.05f) << "the drag's height";
        EXPECT_FLOAT_EQ(PositionOf(marker).y, objective->GetEndWaterLevel());
        if (c.jumps)
        {
            EXPECT_FLOAT_EQ(editor.game().GetWaterLevel(), height);
        }
        else
        {
            EXPECT_FLOAT_EQ(editor.game().GetWaterLevel(), before);
        }
    }
}

// A puzzle file's timer and water objectives are the file's, not an author's placements: loading
// them sends no menu message, plays no sound and leaves the water where it is, while the water
// objective still gets its end marker and the puzzle its level.
TEST(ManipulatorObjectives, AFilesObjectivesLoadWithoutTheAuthorsMessages)
{
    puzzletest::PuzzleText front;
    front.objectives.push_back(puzzletest::DescriptionXml("ObjectiveDescription", "TimerObjective",
                                                          Editor::Front(-6.0f, 6.0f), 1.0f,
                                                          puzzletest::TimeLimitXml(20.0f)));
    front.objectives.push_back(puzzletest::DescriptionXml(
        "ObjectiveDescription", "WaterObjective", Editor::Front(6.0f, 4.0f), 1.0f,
        "<int name=\"ObjectiveID\">16</int><WaterControl><float name=\"BeginWaterLevel\">4</float>"
        "<float name=\"EndWaterLevel\">7</float><float name=\"TimeInterval\">5</float></WaterControl>"));
    gametest::GameTestSetup setup = manipulatortest::RoomSetup();
    setup.files["files/puzzles/Front.xml"] = puzzletest::PuzzleXml(front);
    setup.files["files/rooms/Authored.xml"] = puzzletest::RoomXml(
        {"Front.xml", "EmptyRoom_Puzzle_1.xml", "EmptyRoom_Puzzle_2.xml", "EmptyRoom_Puzzle_3.xml"});
    gametest::GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    world.Console("togglecm"); // an author's game: the refusals and the jump would apply
    for (const char* menu : {"MessageWindowMenu", "TimerObjMenu"})
        world.Menu(menu)->ClearReceived();
    world.ClearSounds();
    const float before = world.Game().GetWaterLevel();
    const std::size_t remembered = world.Game().GetRememberedWaterLevelCount();

    world.Game().LoadRoom("Authored.xml", false);
    world.Frames(2);
    QUORB::CPuzzle* puzzle = world.Game().GetRoom()->GetPuzzle(0);
    ASSERT_NE(puzzle, nullptr);
    EXPECT_EQ(ObjectivesOf(*puzzle, "TimerObjective").size(), 1u);
    const std::vector<Gob*> water = ObjectivesOf(*puzzle, "WaterObjective");
    ASSERT_EQ(water.size(), 1u);
    EXPECT_TRUE(puzzle->HasWater());
    EXPECT_FLOAT_EQ(puzzle->GetWaterLevel(), 4.0f);
    const QUORB::CWaterControl* objective = QUORB::ObjectiveComp::Of(water[0])->AsWaterControl();
    ASSERT_NE(objective, nullptr);
    EXPECT_FLOAT_EQ(objective->GetEndWaterLevel(), 7.0f) << "the file's levels";
    Gob* marker = QUORB::GobIDComp::Of(water[0])->GetLinkedGob();
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->GetArchetypeName(), "WaterEndObjective");

    EXPECT_EQ(world.MessageCount("TimerObjMenu", MSG_OpenMenu), 0u);
    EXPECT_TRUE(TextsTo(world, "MessageWindowMenu").empty());
    EXPECT_EQ(Started(world, "QUORBSound/Editor/EditorError"), 0);
    EXPECT_FLOAT_EQ(world.Game().GetWaterLevel(), before);
    EXPECT_FALSE(world.Game().IsWaterLerpRunning());
    EXPECT_EQ(world.Game().GetRememberedWaterLevelCount(), remembered);
}
