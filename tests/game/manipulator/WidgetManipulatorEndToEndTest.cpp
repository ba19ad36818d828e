// The editor as a player and a puzzle author use it, by mouse and keys only: platforms placed,
// one dragged, both selected together and deleted against the budget; in create-puzzle mode a
// star object placed, moved and deleted for free; the puzzle saved, and read back through the
// manipulator with its platform's nodes and field.
#include "ManipulatorFixture.h"

#include "game/nodes/ConnectionComp.h"
#include "game/nodes/GobIDComp.h"

#include <gtest/gtest.h>

#include <filesystem>

using manipulatortest::Editor;
using manipulatortest::PositionOf;
using QUORB::ManipulatorLogic;

namespace
{
constexpr std::uint32_t kCtrl = 29;
constexpr std::uint32_t kDelete = 211;
} // namespace

TEST(ManipulatorEndToEnd, PlaceSelectMoveAndDeleteByMouseWithTheBudgetAfterEachStep)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    QUORB::CPuzzle& puzzle = editor.puzzle();
    puzzle.SetTotalBudget(4);
    puzzle.SetBudgetLeft(4);

    // Two platforms, one unit each.
    editor.world->Console("setcwt Platform");
    editor.ClickAt(Editor::Front(-4.0f, -1.0f));
    EXPECT_EQ(puzzle.GetBudgetLeft(), 3);
    editor.ClickAt(Editor::Front(4.0f, -1.0f));
    EXPECT_EQ(puzzle.GetBudgetLeft(), 2);
    ASSERT_EQ(editor.Widgets().size(), 2u);
    Gob* left = editor.Widgets()[0];
    Gob* right = editor.Widgets()[1];
    EXPECT_EQ(editor.manipulator().GetSelectedGob(), right) << "the last placed stays selected";

    // The left one dragged by its middle one unit right and one up: its nodes go with it.
    editor.world->Console("clearcwt");
    const QUORB::ConnectionComp* leftEnds = QUORB::ConnectionComp::Of(left);
    const math::Vector3 leftA = PositionOf(leftEnds->GetNodeA());
    const math::Vector3 leftB = PositionOf(leftEnds->GetNodeB());
    const math::Vector3 leftAt = PositionOf(left);
    editor.world->PressAt(leftAt);
    EXPECT_EQ(editor.state(), ManipulatorLogic::STATE_Moving);
    editor.world->PointAt(leftAt + math::Vector3(0.5f, 0.5f, 0.0f));
    editor.world->PointAt(leftAt + math::Vector3(1.0f, 1.0f, 0.0f));
    editor.world->LeftUp();
    const math::Vector3 shift = PositionOf(left) - leftAt;
    EXPECT_NEAR(shift.x, 1.0f, 0.05f);
    EXPECT_NEAR(shift.y, 1.0f, 0.05f);
    EXPECT_NEAR((PositionOf(leftEnds->GetNodeA()) - leftA - shift).Length(), 0.0f, 1e-3f);
    EXPECT_NEAR((PositionOf(leftEnds->GetNodeB()) - leftB - shift).Length(), 0.0f, 1e-3f);
    EXPECT_EQ(puzzle.GetBudgetLeft(), 2) << "moving costs nothing";

    // Both selected with Ctrl, both deleted with Delete: both units back.
    editor.ClickAt(PositionOf(left));
    editor.world->KeyDown(kCtrl);
    editor.ClickAt(PositionOf(right));
    editor.world->KeyUp(kCtrl);
    EXPECT_EQ(editor.manipulator().GetSelectedGob(), left);
    EXPECT_EQ(editor.manipulator().GetSelectionList(), std::vector<Gob*>{right});
    EXPECT_EQ(puzzle.GetBudgetLeft(), 2) << "selecting costs nothing";
    editor.world->KeyDown(kDelete);
    editor.world->KeyUp(kDelete);
    EXPECT_TRUE(editor.Widgets().empty());
    EXPECT_EQ(puzzle.GetBudgetLeft(), 4);
    editor.world->Frames(2);
    EXPECT_TRUE(Editor::OfArchetype("Platform").empty());
    EXPECT_TRUE(Editor::OfArchetype("SoftNode").empty());
    EXPECT_TRUE(Editor::OfArchetype("ChargeField").empty());

    // The author's turn: a star object placed, dragged two units right and one up, deleted by a
    // right click; create-puzzle mode charges nothing.
    editor.world->Console("togglecm");
    editor.world->Console("setcwt QUORBBall");
    editor.ClickAt(Editor::Front(0.0f, 2.0f));
    ASSERT_EQ(editor.Quorbs().size(), 1u);
    Gob* star = editor.Quorbs()[0];
    EXPECT_EQ(puzzle.GetBudgetLeft(), 4);
    editor.world->Console("clearcwt");
    const math::Vector3 from = PositionOf(star);
    editor.world->PressAt(from);
    EXPECT_EQ(editor.state(), ManipulatorLogic::STATE_Moving);
    // Held without a move: nothing moves and the last drag point stays the press point.
    const math::Vector3 pressed = editor.manipulator().GetPressFacePoint();
    editor.world->Frames(3);
    EXPECT_EQ((PositionOf(star) - from).Length(), 0.0f);
    EXPECT_EQ((editor.manipulator().GetLastDragPoint() - pressed).Length(), 0.0f);
    editor.world->PointAt(from + math::Vector3(1.0f, 0.5f, 0.0f));
    editor.world->PointAt(from + math::Vector3(2.0f, 1.0f, 0.0f));
    editor.world->LeftUp();
    const math::Vector3 moved = PositionOf(star) - from;
    EXPECT_NEAR(moved.x, 2.0f, 0.05f);
    EXPECT_NEAR(moved.y, 1.0f, 0.05f);
    EXPECT_NEAR(moved.z, 0.0f, 1e-4f) << "on the face";
    EXPECT_EQ(puzzle.GetBudgetLeft(), 4);
    editor.RightClickAt(PositionOf(star));
    EXPECT_TRUE(editor.Quorbs().empty());
    EXPECT_EQ(puzzle.GetBudgetLeft(), 4);

    // A platform placed by the author, the puzzle saved and read back from its file: the
    // platform returns with both its nodes where they were and its charge field.
    editor.world->Console("setcwt Platform");
    editor.ClickAt(Editor::Front(1.0f, 0.0f));
    ASSERT_EQ(editor.Widgets().size(), 1u);
    const QUORB::ConnectionComp* placed = QUORB::ConnectionComp::Of(editor.Widgets()[0]);
    const math::Vector3 nodeA = PositionOf(placed->GetNodeA());
    const math::Vector3 nodeB = PositionOf(placed->GetNodeB());
    editor.world->Console("clearcwt");
    editor.world->Console("setpuzfilename EndToEnd.xml");
    editor.world->Console("savepuz");
    ASSERT_TRUE(std::filesystem::exists(editor.world->Folder() + "files/puzzles/EndToEnd.xml"));
    editor.world->Console("reloadfocusedpuzzle");
    editor.world->Frames(2);
    ASSERT_EQ(editor.Widgets().size(), 1u);
    Gob* reread = editor.Widgets()[0];
    EXPECT_EQ(reread->GetArchetypeName(), "Platform");
    const QUORB::ConnectionComp* connection = QUORB::ConnectionComp::Of(reread);
    ASSERT_TRUE(connection->GetNodeA() && connection->GetNodeB());
    EXPECT_NEAR((PositionOf(connection->GetNodeA()) - nodeA).Length(), 0.0f, 1e-4f);
    EXPECT_NEAR((PositionOf(connection->GetNodeB()) - nodeB).Length(), 0.0f, 1e-4f);
    const QUORB::GobIDComp* link = QUORB::GobIDComp::Of(reread);
    ASSERT_NE(link->GetLinkedGob(), nullptr);
    EXPECT_EQ(link->GetLinkedGob()->GetArchetypeName(), "ChargeField");
    EXPECT_EQ(Editor::OfArchetype("Platform").size(), 1u) << "nothing of the old one is left";
    EXPECT_EQ(Editor::OfArchetype("SoftNode").size(), 2u);
}
