// Deleting with the mouse and the keys: a right click on the selection, Backspace while
// creating, Space, widgets deleted by one of their nodes, the water objective's pair, the
// editor at rest while physics runs, and no object kept past a reset.
#include "ManipulatorFixture.h"

#include "common/math/MathUtil.h"
#include "engine/phy/DynamicsEngine.h"
#include "game/nodes/ConnectionComp.h"
#include "game/nodes/GobIDComp.h"
#include "game/objectives/CWaterControl.h"
#include "game/objectives/ObjectiveComp.h"

#include <gtest/gtest.h>

#include <algorithm>

using manipulatortest::Editor;
using manipulatortest::PositionOf;
using QUORB::ManipulatorLogic;

namespace
{
constexpr std::uint32_t kBackspace = 14;
constexpr std::uint32_t kDelete = 211;
constexpr std::uint32_t kCtrl = 29;
constexpr std::uint32_t kSpace = 57;

std::size_t SoundCount(const gametest::GameTestWorld& world, const std::string& path)
{
    return static_cast<std::size_t>(std::count_if(world.Sounds().begin(), world.Sounds().end(),
                                                  [&path](const plat::soundtest::Record& record) {
                                                      return record.action == "start" && record.path == path;
                                                  }));
}

// A key held over a frame (WidgetManipulatorShortPressTest taps within one).
void Tap(gametest::GameTestWorld& world, std::uint32_t key)
{
    world.KeyDown(key);
    world.KeyUp(key);
}

Gob* NodeA(Gob* widget)
{
    return QUORB::ConnectionComp::Of(widget)->GetNodeA();
}

Gob* NodeB(Gob* widget)
{
    return QUORB::ConnectionComp::Of(widget)->GetNodeB();
}

math::Vector3 Below(Gob* node)
{
    return PositionOf(node) - math::Vector3(0.0f, 0.25f, 0.0f);
}

Gob* Linked(Gob* gob)
{
    const QUORB::GobIDComp* link = QUORB::GobIDComp::Of(gob);
    return link != nullptr ? link->GetLinkedGob() : nullptr;
}

// The platform a click at the point creates (standing up from it), or null.
Gob* ClickPlatform(Editor& editor, const math::Vector3& at)
{
    editor.Choose("Platform");
    const std::size_t before = editor.Widgets().size();
    editor.ClickAt(at);
    editor.world->Console("clearcwt");
    return editor.Widgets().size() == before + 1 ? editor.Widgets().back() : nullptr;
}
} // namespace

// A right press and release on the selection deletes it in that frame with its refund, its
// sound and the property bar closed; released over another object it deletes nothing.
TEST(ManipulatorDelete, ARightClickOnTheSelectionDeletesItWithItsRefund)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    editor.puzzle().SetBudgetLeft(5);
    Gob* a = ClickPlatform(editor, Editor::Front(-4.0f, 0.0f));
    Gob* b = ClickPlatform(editor, Editor::Front(4.0f, 0.0f));
    ASSERT_TRUE(a && b);
    ASSERT_EQ(editor.puzzle().GetBudgetLeft(), 3);
    const math::Vector3 centreA = PositionOf(a);
    const math::Vector3 centreB = PositionOf(b);

    // Pressed on a, released over b: a is selected, nothing is deleted.
    editor.world->RightPressAt(centreA);
    editor.world->RightReleaseAt(centreB);
    EXPECT_EQ(editor.manipulator().GetSelectedGob(), a);
    EXPECT_FALSE(editor.manipulator().IsDeleteRequested());
    editor.world->Frame();
    EXPECT_EQ(editor.Widgets().size(), 2u);
    EXPECT_EQ(editor.puzzle().GetBudgetLeft(), 3);

    editor.world->ClearSounds();
    editor.world->Menu("WidgetPropertyBarMenu")->ClearReceived();
    const std::uint32_t nodes[2] = {NodeA(a)->GetID(), NodeB(a)->GetID()};
    const std::uint32_t field = Linked(a)->GetID();
    editor.RightClickAt(centreA);
    EXPECT_EQ(editor.Widgets(), std::vector<Gob*>{b});
    EXPECT_EQ(editor.puzzle().GetBudgetLeft(), 4);
    EXPECT_EQ(editor.manipulator().GetSelectedGob(), nullptr);
    EXPECT_EQ(SoundCount(*editor.world, "QUORBSound/Editor/DeleteWidget"), 1u);
    EXPECT_EQ(editor.world->MessageCount("WidgetPropertyBarMenu", MSG_CloseMenu), 1u);
    editor.world->Frames(2); // the field goes with its widget's removal, a frame later
    for (std::uint32_t id : {nodes[0], nodes[1], field})
        EXPECT_EQ(GobManager::Instance().GetGob(id), nullptr) << "gone with its widget: " << id;
    EXPECT_EQ(Editor::OfArchetype("Platform").size(), 1u);
}

// Backspace while a widget is being created: the new widget is never filed and is deleted with
// its refund. Backspace or Delete with nothing selected does nothing.
TEST(ManipulatorDelete, BackspaceWhileCreatingDeletesTheNewWidgetWithItsRefund)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    editor.puzzle().SetBudgetLeft(2);
    for (std::uint32_t key : {kBackspace, kDelete})
    {
        Tap(*editor.world, key);
        EXPECT_EQ(editor.state(), ManipulatorLogic::STATE_Idle);
    }
    editor.Choose("Platform");
    editor.world->PressAt(Editor::Front(0.0f, 0.0f));
    ASSERT_EQ(editor.state(), ManipulatorLogic::STATE_Creating);
    ASSERT_EQ(editor.puzzle().GetBudgetLeft(), 1);
    editor.world->KeyDown(kBackspace);
    EXPECT_EQ(editor.state(), ManipulatorLogic::STATE_Deleting) << "in the frame of the key";
    EXPECT_TRUE(editor.Widgets().empty()) << "never filed";
    EXPECT_EQ(editor.puzzle().GetBudgetLeft(), 2);
    EXPECT_TRUE(editor.manipulator().GetCurrentWidgetType().empty());
    editor.world->KeyUp(kBackspace);
    EXPECT_EQ(editor.state(), ManipulatorLogic::STATE_Idle);
    editor.world->LeftUp();
    editor.world->Frame();
    EXPECT_TRUE(Editor::OfArchetype("Platform").empty());
    EXPECT_TRUE(Editor::OfArchetype("SoftNode").empty());
    EXPECT_TRUE(Editor::OfArchetype("ChargeField").empty());
}

// Space clears the widget type and the selection, but a widget being created stays selected
// (and is filed when the button is let go).
TEST(ManipulatorDelete, SpaceClearsTheTypeAndTheSelectionUnlessCreating)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    Gob* platform = editor.Place("Platform", Editor::Front(-4.0f, 3.0f));
    editor.world->PressAt(PositionOf(platform));
    editor.world->LeftUp();
    editor.Choose("Bar");
    ASSERT_EQ(editor.manipulator().GetSelectedGob(), platform);
    editor.world->Key(kSpace);
    EXPECT_TRUE(editor.manipulator().GetCurrentWidgetType().empty());
    EXPECT_EQ(editor.manipulator().GetSelectedGob(), nullptr);

    editor.Choose("Platform");
    editor.world->PressAt(Editor::Front(3.0f, 0.0f));
    Gob* created = editor.manipulator().GetSelectedGob();
    ASSERT_NE(created, nullptr);
    editor.world->Key(kSpace);
    EXPECT_TRUE(editor.manipulator().GetCurrentWidgetType().empty());
    EXPECT_EQ(editor.manipulator().GetSelectedGob(), created);
    editor.world->LeftUp();
    EXPECT_EQ(editor.Widgets().size(), 2u) << "filed at the release";
}

// A node deletes its whole widget (both nodes and the charge field, one refund), also when both
// ends are selected; a node without a widget and a star object refund nothing.
TEST(ManipulatorDelete, ANodeDeletesItsWidgetOnceAndOwnerlessObjectsRefundNothing)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    editor.puzzle().SetBudgetLeft(4);
    Gob* first = ClickPlatform(editor, Editor::Front(-4.0f, -1.0f));
    Gob* second = ClickPlatform(editor, Editor::Front(4.0f, -1.0f));
    ASSERT_TRUE(first && second);
    ASSERT_EQ(editor.puzzle().GetBudgetLeft(), 2);

    // One end node selected, then Delete.
    const std::uint32_t firstParts[3] = {NodeA(first)->GetID(), NodeB(first)->GetID(),
                                         Linked(first)->GetID()};
    editor.ClickAt(Below(NodeA(first)));
    ASSERT_EQ(editor.manipulator().GetSelectedGob(), NodeA(first));
    Tap(*editor.world, kDelete);
    EXPECT_EQ(editor.puzzle().GetBudgetLeft(), 3);
    EXPECT_EQ(editor.Widgets(), std::vector<Gob*>{second});
    editor.world->Frames(2);
    for (std::uint32_t id : firstParts)
        EXPECT_EQ(GobManager::Instance().GetGob(id), nullptr) << id;

    // Both end nodes of the other platform selected: one refund.
    editor.ClickAt(Below(NodeA(second)));
    editor.world->KeyDown(kCtrl);
    editor.ClickAt(PositionOf(NodeB(second)) + math::Vector3(0.0f, 0.25f, 0.0f));
    editor.world->KeyUp(kCtrl);
    ASSERT_EQ(editor.manipulator().GetSelectionList().size(), 1u);
    Tap(*editor.world, kDelete);
    EXPECT_EQ(editor.puzzle().GetBudgetLeft(), 4);
    EXPECT_TRUE(editor.Widgets().empty());

    // Straight to the deletion of one object: nothing is refunded for these.
    Gob* lone = editor.Make("SoftNode", Editor::Front(0.0f, 4.0f));
    Gob* star = editor.Place("QUORBBall", Editor::Front(3.0f, 4.0f), math::Vector3(1.0f, 1.0f, 1.0f));
    ASSERT_TRUE(lone && star);
    editor.manipulator().DeleteGob(lone);
    editor.manipulator().DeleteGob(star);
    EXPECT_TRUE(lone->IsKilled());
    EXPECT_TRUE(star->IsKilled());
    EXPECT_TRUE(editor.Widgets().empty());
    EXPECT_TRUE(editor.Quorbs().empty());
    EXPECT_EQ(editor.puzzle().GetBudgetLeft(), 4);
    editor.manipulator().DeleteGob(star);
    EXPECT_EQ(editor.puzzle().GetBudgetLeft(), 4) << "a killed object is not deleted again";
}

// The water objective and its end marker: moving the objective moves the water, the puzzle's
// level and BeginWaterLevel to its height, moving the marker sets EndWaterLevel, the other
// follows across the face only; deleting either brings the water back and leaves no marker.
TEST(ManipulatorDelete, TheWaterObjectiveAndItsMarkerMoveAndGoTogether)
{
    for (bool deleteMarker : {false, true})
    {
        SCOPED_TRACE(deleteMarker ? "deleting the marker" : "deleting the objective");
        Editor editor;
        ASSERT_TRUE(editor.ready);
        editor.world->Console("togglecm");
        const float waterBefore = editor.game().GetWaterLevel();

        // Created at y 2, the marker dragged down to y -2 while the button is held.
        editor.Choose("WaterObjective");
        editor.world->PressAt(Editor::Front(-3.0f, 2.0f));
        editor.world->PointAt(Editor::Front(-3.0f, -2.0f));
        editor.world->LeftUp();
        ASSERT_EQ(editor.puzzle().GetObjectives().size(), 1u);
        Gob* objective = QUORB::CPuzzle::GetEntryGob(editor.puzzle().GetObjectives()[0]);
        Gob* marker = Linked(objective);
        ASSERT_NE(marker, nullptr);
        EXPECT_EQ(marker->GetArchetypeName(), "WaterEndObjective");
        auto* water = QUORB::ObjectiveComp::Of(objective)->AsWaterControl();
        ASSERT_NE(water, nullptr);
        const float begin = PositionOf(objective).y;
        EXPECT_NEAR(begin, 2.0f, 0.05f);
        EXPECT_NEAR(water->GetBeginWaterLevel(), begin, 1e-5f);
        EXPECT_NEAR(PositionOf(marker).y, -2.0f, 0.05f);
        EXPECT_NEAR(water->GetEndWaterLevel(), PositionOf(marker).y, 1e-5f);
        EXPECT_TRUE(editor.puzzle().HasWater());
        EXPECT_NEAR(editor.game().GetWaterLevel(), begin, 1e-4f) << "the water stands at the objective";
        editor.world->Console("clearcwt");

        // The objective one unit up and one to the right.
        const math::Vector3 markerAt = PositionOf(marker);
        const math::Vector3 from = PositionOf(objective);
        editor.world->PressAt(from);
        ASSERT_EQ(editor.manipulator().GetSelectedGob(), objective);
        editor.world->PointAt(from + math::Vector3(1.0f, 1.0f, 0.0f));
        editor.world->LeftUp();
        const math::Vector3 moved = PositionOf(objective) - from;
        EXPECT_NEAR(moved.y, 1.0f, 0.05f);
        EXPECT_NEAR(moved.x, 1.0f, 0.05f);
        const float height = PositionOf(objective).y;
        EXPECT_NEAR(editor.game().GetWaterLevel(), height, 1e-4f);
        EXPECT_NEAR(editor.puzzle().GetWaterLevel(), height, 1e-5f);
        EXPECT_NEAR(water->GetBeginWaterLevel(), height, 1e-5f);
        EXPECT_NEAR(PositionOf(marker).y, markerAt.y, 1e-5f) << "the marker keeps its height";
        EXPECT_NEAR(PositionOf(marker).x, markerAt.x + moved.x, 1e-4f) << "and follows across";

        // The marker one unit down.
        const math::Vector3 objectiveAt = PositionOf(objective);
        editor.world->PressAt(PositionOf(marker));
        ASSERT_EQ(editor.manipulator().GetSelectedGob(), marker);
        editor.world->PointAt(PositionOf(marker) - math::Vector3(0.0f, 1.0f, 0.0f));
        editor.world->LeftUp();
        EXPECT_NEAR(PositionOf(marker).y, markerAt.y - 1.0f, 0.05f);
        EXPECT_NEAR(water->GetEndWaterLevel(), PositionOf(marker).y, 1e-5f);
        EXPECT_NEAR(PositionOf(objective).y, objectiveAt.y, 1e-5f);
        EXPECT_NEAR(editor.game().GetWaterLevel(), height, 1e-4f) << "the water stays at the objective";

        const std::uint32_t ids[2] = {objective->GetID(), marker->GetID()};
        editor.ClickAt(PositionOf(deleteMarker ? marker : objective));
        Tap(*editor.world, kDelete);
        editor.world->Frames(2);
        for (std::uint32_t id : ids)
            EXPECT_EQ(GobManager::Instance().GetGob(id), nullptr) << id;
        EXPECT_TRUE(editor.puzzle().GetObjectives().empty());
        EXPECT_FALSE(editor.puzzle().HasWater());
        EXPECT_NEAR(editor.game().GetWaterLevel(), waterBefore, 1e-4f) << "the water is back";
        EXPECT_TRUE(Editor::OfArchetype("WaterEndObjective").empty());
    }
}

// While physics runs the machine waits in Simulating: presses create, move and delete nothing.
// The first update after the pause returns to Idle.
TEST(ManipulatorDelete, WhilePhysicsRunsNothingIsCreatedMovedOrDeleted)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    editor.puzzle().SetBudgetLeft(3);
    Gob* platform = editor.Place("Platform", Editor::Front(-4.0f, 3.0f));
    ASSERT_NE(platform, nullptr);
    dorvo::phy::DynamicsEngine::Instance().paused = false;
    editor.world->Frame();
    EXPECT_EQ(editor.state(), ManipulatorLogic::STATE_Simulating);
    // Physics frees nothing here: the platform was never played, so it stays immovable.
    const math::Vector3 at = PositionOf(platform);

    editor.Choose("Platform");
    editor.ClickAt(Editor::Front(3.0f, 0.0f));
    editor.world->PressAt(at);
    editor.world->PointAt(at + math::Vector3(2.0f, 0.0f, 0.0f));
    editor.world->LeftUp();
    editor.RightClickAt(at);
    Tap(*editor.world, kDelete);
    EXPECT_EQ(editor.state(), ManipulatorLogic::STATE_Simulating);
    EXPECT_EQ(editor.Widgets(), std::vector<Gob*>{platform});
    EXPECT_EQ(Editor::OfArchetype("Platform").size(), 1u);
    EXPECT_EQ(editor.puzzle().GetBudgetLeft(), 3);
    EXPECT_NEAR((PositionOf(platform) - at).Length(), 0.0f, 1e-5f);

    dorvo::phy::DynamicsEngine::Instance().paused = true;
    editor.world->Frame();
    EXPECT_EQ(editor.state(), ManipulatorLogic::STATE_Idle);
}

// A press during simulation grabs the nodes of the widget under it; a reset kills and rebuilds
// every widget; the next presses and hovers find nothing of the killed objects (run under the
// address sanitizer, this reads no freed memory).
TEST(ManipulatorDelete, NothingKilledByAResetIsTouchedAgain)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    Gob* platform = editor.Place("Platform", Editor::Front(-2.0f, 3.0f));
    ASSERT_NE(platform, nullptr);
    const math::Vector3 at = PositionOf(platform);
    editor.world->Console("play");
    editor.world->Frame();
    ASSERT_EQ(editor.state(), ManipulatorLogic::STATE_Simulating);
    editor.world->PressAt(at);
    EXPECT_EQ(editor.manipulator().GetDragNodes().size(), 2u);
    editor.world->LeftUp();
    editor.world->PressAt(at);
    EXPECT_EQ(editor.manipulator().GetDragNodes().size(), 2u) << "each press lets go of the last one's";
    editor.world->LeftUp();

    editor.world->Console("resetfocusedpuzzle");
    EXPECT_TRUE(editor.manipulator().GetDragNodes().empty());
    EXPECT_EQ(editor.manipulator().GetSelectedGob(), nullptr);
    editor.world->Frames(2);
    ASSERT_EQ(editor.state(), ManipulatorLogic::STATE_Idle);
    ASSERT_EQ(editor.Widgets().size(), 1u);
    Gob* rebuilt = editor.Widgets()[0];
    EXPECT_NE(rebuilt, platform);
    editor.world->PointAt(PositionOf(rebuilt));
    editor.world->PressAt(PositionOf(rebuilt));
    EXPECT_EQ(editor.manipulator().GetSelectedGob(), rebuilt);
    editor.world->LeftUp();
    editor.world->Frames(2);
}

// A refund gives back what the widget cost when it was placed, whatever the mode is when it goes:
// an author's widget placed free refunds nothing after "togglecm", a player's paid widget refunds
// its unit in create-puzzle mode, a widget rebuilt by a reset still refunds what was paid, and a
// widget read back from a saved room was paid by nobody (the loaded puzzle has its whole budget).
TEST(ManipulatorDelete, ARefundIsWhatTheWidgetCostWhenItWasPlaced)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    const auto budget = [&editor] { return editor.puzzle().GetBudgetLeft(); };
    editor.puzzle().SetTotalBudget(3);
    editor.puzzle().SetBudgetLeft(3);

    editor.world->Console("togglecm");
    Gob* free = ClickPlatform(editor, Editor::Front(-4.0f, 0.0f));
    editor.world->Console("togglecm");
    Gob* paid = ClickPlatform(editor, Editor::Front(4.0f, 0.0f));
    ASSERT_TRUE(free && paid);
    ASSERT_EQ(budget(), 2);
    editor.manipulator().DeleteGob(free);
    EXPECT_EQ(budget(), 2) << "placed free, so nothing comes back";
    editor.world->Console("togglecm");
    editor.manipulator().DeleteGob(paid);
    EXPECT_EQ(budget(), 3) << "paid, so its unit comes back in create-puzzle mode too";
    editor.world->Console("togglecm");
    ASSERT_FALSE(editor.game().IsCreatePuzzleMode());

    ASSERT_NE(ClickPlatform(editor, Editor::Front(0.0f, 0.0f)), nullptr);
    ASSERT_EQ(budget(), 2);
    editor.world->Console("play");
    editor.world->Frames(2);
    editor.world->Console("resetfocusedpuzzle");
    editor.world->Frames(2);
    ASSERT_EQ(editor.Widgets().size(), 1u);
    ASSERT_EQ(budget(), 2);
    editor.manipulator().DeleteGob(editor.Widgets()[0]);
    EXPECT_EQ(budget(), 3) << "rebuilt from the snapshot of the play, it keeps what it cost";

    // Saved outside create-puzzle mode, the player's widget stays the player's to delete.
    ASSERT_NE(ClickPlatform(editor, Editor::Front(0.0f, 0.0f)), nullptr);
    editor.world->Console("saveroom RefundRoom.xml");
    editor.game().LoadRoom("RefundRoom.xml", false);
    editor.game().GetRoom()->FocusFace(0);
    editor.world->Frames(5);
    ASSERT_EQ(editor.Widgets().size(), 1u);
    ASSERT_EQ(budget(), 3) << "a loaded puzzle has its whole budget";
    editor.manipulator().DeleteGob(editor.Widgets()[0]);
    EXPECT_EQ(budget(), 3) << "nobody paid for what the file brought";

    // A test run in create-puzzle mode refills the budget: what was paid before it is forgiven.
    ASSERT_NE(ClickPlatform(editor, Editor::Front(0.0f, 0.0f)), nullptr);
    ASSERT_EQ(budget(), 2);
    editor.world->Console("togglecm");
    editor.world->Console("play");
    editor.world->Frames(2);
    editor.world->Console("resetfocusedpuzzle");
    editor.world->Frames(2);
    editor.world->Console("togglecm");
    ASSERT_EQ(budget(), 3);
    ASSERT_EQ(editor.Widgets().size(), 1u);
    editor.manipulator().DeleteGob(editor.Widgets()[0]);
    EXPECT_EQ(budget(), 3) << "never more than the whole budget";
}
