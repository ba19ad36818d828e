// Picking and selecting with the mouse: the moving and adjusting guards, Ctrl selections, the
// kind and lock filters, the hover and pick highlights, and the editor switched off mid-drag.
#include "ManipulatorFixture.h"

#include "common/ConsoleInterface.h"
#include "engine/gfx/mesh/GfxModelComp.h"
#include "game/nodes/ConnectionComp.h"
#include "game/room/FindComp.h"
#include "game/widgets/IWidgetData.h"
#include "game/widgets/WidgetDataComp.h"

#include <gtest/gtest.h>

#include <algorithm>

using manipulatortest::Editor;
using manipulatortest::PositionOf;
using QUORB::ManipulatorLogic;

namespace
{
constexpr std::uint32_t kCtrl = 29;

std::string Technique(Gob* gob)
{
    const auto* model = QUORB::FindComp<dorvo::gfx::GfxModelComp>(gob);
    return model != nullptr ? model->GetTechnique() : std::string();
}

std::string Effect(Gob* gob)
{
    const auto* model = QUORB::FindComp<dorvo::gfx::GfxModelComp>(gob);
    return model != nullptr ? model->GetFXFile() : std::string();
}

void Lock(Gob* widget)
{
    QUORB::WidgetDataComp::Of(widget)->GetData()->SetModifiable(false);
}

Gob* NodeA(Gob* widget)
{
    return QUORB::ConnectionComp::Of(widget)->GetNodeA();
}

// Just below node A's centre: inside the node, clear of its widget.
math::Vector3 OnNodeA(Gob* widget)
{
    return PositionOf(NodeA(widget)) - math::Vector3(0.25f, 0.0f, 0.0f);
}
} // namespace

// A magnet or gravity switch held still for a quarter second is adjusted, dragged 25 pixels
// sooner it is moved, dragged slowly it is neither; a platform moves at once.
TEST(ManipulatorSelect, TheGuardsTellAdjustingFromMovingByTimeAndDrag)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    const struct
    {
        const char* archetype;
        math::Vector3 aim; // from the centre to a part that picks it
        float x;           // each in a place of its own
    } adjustable[] = {{"Magnet", math::Vector3(-0.35f, 0.0f, 0.0f), -3.0f},
                      {"GravitySwitch", math::Vector3(), -7.0f}};
    for (const auto& kind : adjustable)
    {
        SCOPED_TRACE(kind.archetype);
        Gob* widget = editor.Make(kind.archetype, Editor::Front(kind.x, 2.0f));
        ASSERT_NE(widget, nullptr);
        int x = 0;
        int y = 0;
        gametest::GameTestWorld::ScreenPixelOf(PositionOf(widget) + kind.aim, x, y);

        // Held still: idle for 7 frames after the press (0.23 s), adjusting on the 8th.
        editor.world->PointAtPixel(x, y);
        editor.world->LeftDown();
        ASSERT_EQ(editor.manipulator().GetSelectedGob(), widget);
        editor.world->Frames(7);
        EXPECT_EQ(editor.state(), ManipulatorLogic::STATE_Idle);
        editor.world->Frame();
        EXPECT_EQ(editor.state(), ManipulatorLogic::STATE_Adjusting);
        editor.world->LeftUp();
        EXPECT_EQ(editor.state(), ManipulatorLogic::STATE_Idle);

        // 25 pixels within the quarter second: moving.
        editor.world->LeftDown();
        editor.world->PointAtPixel(x + 25, y);
        EXPECT_EQ(editor.state(), ManipulatorLogic::STATE_Moving);
        editor.world->LeftUp();
        editor.world->PointAtPixel(x, y);
        EXPECT_EQ(editor.state(), ManipulatorLogic::STATE_Idle);

        // 24 pixels by then, 30 afterwards: neither, until the release.
        editor.world->LeftDown();
        editor.world->PointAtPixel(x + 24, y);
        editor.world->Frames(6);
        editor.world->PointAtPixel(x + 30, y);
        EXPECT_EQ(editor.state(), ManipulatorLogic::STATE_Idle);
        editor.world->Frames(10);
        EXPECT_EQ(editor.state(), ManipulatorLogic::STATE_Idle);
        EXPECT_EQ(editor.manipulator().GetSelectedGob(), widget) << "still selected";
        editor.world->LeftUp();
        editor.world->PointAtPixel(x, y);
        EXPECT_EQ(editor.state(), ManipulatorLogic::STATE_Idle);
    }

    Gob* platform = editor.Place("Platform", Editor::Front(4.0f, 2.0f));
    ASSERT_NE(platform, nullptr);
    editor.world->PressAt(PositionOf(platform));
    EXPECT_EQ(editor.state(), ManipulatorLogic::STATE_Moving) << "the frame of the press";
    editor.world->LeftUp();
    EXPECT_EQ(editor.state(), ManipulatorLogic::STATE_Idle);
}

// Ctrl and a press on the primary drops it for the last listed object; Ctrl on another
// archetype changes nothing; a press without Ctrl on a member keeps the group; a press on
// anything else replaces it.
TEST(ManipulatorSelect, CtrlPressesBuildAndTrimTheSelection)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    Gob* g0 = editor.Place("Platform", Editor::Front(-6.0f, 3.0f));
    Gob* g1 = editor.Place("Platform", Editor::Front(-2.0f, 3.0f));
    Gob* g2 = editor.Place("Platform", Editor::Front(2.0f, 3.0f));
    Gob* bar = editor.Place("Bar", Editor::Front(6.0f, 3.0f));
    ASSERT_TRUE(g0 && g1 && g2 && bar);
    const math::Vector3 empty = Editor::Front(0.0f, -4.0f);
    const struct
    {
        const char* what;
        Gob* target; // null: empty space
        bool ctrl;
        Gob* primary;
        std::vector<Gob*> list;
    } steps[] = {
        {"press g0", g0, false, g0, {}},
        {"ctrl g1", g1, true, g0, {g1}},
        {"ctrl g2", g2, true, g0, {g1, g2}},
        {"press a member keeps the group", g1, false, g0, {g1, g2}},
        {"ctrl on another archetype", bar, true, g0, {g1, g2}},
        {"ctrl on empty space", nullptr, true, g0, {g1, g2}},
        {"ctrl the primary: the last listed takes its place", g0, true, g2, {g1}},
        {"ctrl a listed one drops it", g1, true, g2, {}},
        {"ctrl the primary with an empty list", g2, true, nullptr, {}},
        {"ctrl with nothing selected", g1, true, g1, {}},
        {"press another replaces", bar, false, bar, {}},
        {"press empty space", nullptr, false, nullptr, {}},
    };
    for (const auto& step : steps)
    {
        SCOPED_TRACE(step.what);
        if (step.ctrl)
            editor.world->KeyDown(kCtrl);
        editor.ClickAt(step.target != nullptr ? PositionOf(step.target) : empty);
        if (step.ctrl)
            editor.world->KeyUp(kCtrl);
        EXPECT_EQ(editor.manipulator().GetSelectedGob(), step.primary);
        EXPECT_EQ(editor.manipulator().GetSelectionList(), step.list);
        for (Gob* gob : {g0, g1, g2, bar})
        {
            const bool selected =
                gob == step.primary || std::find(step.list.begin(), step.list.end(), gob) != step.list.end();
            if (selected)
            {
                EXPECT_EQ(Technique(gob), QUORB::WidgetManipulator::kPickedTechnique) << gob->GetID();
            }
        }
    }
}

// Outside create-puzzle mode only widgets and nodes are picked, and locked ones count as
// nothing; in create-puzzle mode star objects and objectives too, and nothing is locked. Every
// press that picks names the picked object's template on the console.
TEST(ManipulatorSelect, TheKindAndLockFiltersDecideWhatAPressSelects)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    Gob* platform = editor.Place("Platform", Editor::Front(-5.0f, 3.0f));
    Gob* locked = editor.Place("Platform", Editor::Front(0.0f, 3.0f));
    Gob* star = editor.Place("QUORBBall", Editor::Front(5.0f, 3.0f), math::Vector3(1.0f, 1.0f, 1.0f));
    Gob* objective =
        editor.Place("LocationObjective", Editor::Front(5.0f, -2.0f), math::Vector3(1.0f, 1.0f, 1.0f));
    ASSERT_TRUE(platform && locked && star && objective);
    Lock(locked);
    const struct
    {
        const char* what;
        math::Vector3 at;
        bool createMode;
        Gob* selected;
        const char* clump; // the console's line
    } cases[] = {
        {"a platform", PositionOf(platform), false, platform, "Gob clump: Widget"},
        {"its node", OnNodeA(platform), false, NodeA(platform), "Gob clump: Node"},
        {"a locked platform", PositionOf(locked), false, nullptr, "Gob clump: Widget"},
        {"a locked platform's node", OnNodeA(locked), false, nullptr, "Gob clump: Node"},
        {"a star object", PositionOf(star), false, nullptr, "Gob clump: QUORB"},
        {"an objective", PositionOf(objective), false, nullptr, "Gob clump: Objective"},
        {"empty space: the room's shell behind it", Editor::Front(-8.0f, -4.0f), false, nullptr,
         "Gob clump: Room"},
        {"a locked platform, create-puzzle mode", PositionOf(locked), true, locked, "Gob clump: Widget"},
        {"a star object, create-puzzle mode", PositionOf(star), true, star, "Gob clump: QUORB"},
        {"an objective, create-puzzle mode", PositionOf(objective), true, objective, "Gob clump: Objective"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        editor.game().SetCreatePuzzleMode(c.createMode);
        editor.world->PointAt(c.at);
        common::ConsoleInterface::Instance().ClearOutput();
        editor.world->LeftDown();
        const auto& lines = common::ConsoleInterface::Instance().GetOutputLines();
        const std::vector<std::string> shown(lines.begin(), lines.end());
        EXPECT_EQ(shown, std::vector<std::string>{std::string(">") + c.clump});
        editor.world->LeftUp();
        EXPECT_EQ(editor.manipulator().GetSelectedGob(), c.selected);
        editor.ClickAt(Editor::Front(-8.0f, -4.0f));
    }
}

// Hovering highlights what a press could pick: not a locked platform, but its node while a
// widget type that may start on it is chosen; the highlight goes when the cursor leaves.
TEST(ManipulatorSelect, HoverHighlightsWhatAPressCouldPickAndRestoresItsLook)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    Gob* platform = editor.Place("Platform", Editor::Front(-4.0f, 3.0f));
    Gob* locked = editor.Place("Platform", Editor::Front(3.0f, 3.0f));
    ASSERT_TRUE(platform && locked);
    Lock(locked);
    const std::string effect = Effect(platform);
    const std::string technique = Technique(platform);
    ASSERT_NE(technique, QUORB::WidgetManipulator::kPickedTechnique);

    editor.world->PointAt(PositionOf(platform));
    EXPECT_EQ(Effect(platform), QUORB::WidgetManipulator::kPickedEffect);
    EXPECT_EQ(Technique(platform), QUORB::WidgetManipulator::kPickedTechnique);
    editor.world->PointAt(Editor::Front(0.0f, -4.0f));
    EXPECT_EQ(Effect(platform), effect) << "back to its own look";
    EXPECT_EQ(Technique(platform), technique);

    editor.world->PointAt(PositionOf(locked));
    EXPECT_EQ(Technique(locked), technique) << "a locked platform shows nothing";
    editor.world->PointAt(OnNodeA(locked));
    EXPECT_EQ(Technique(NodeA(locked)), technique) << "nor its node without a widget type";
    editor.world->PointAt(Editor::Front(0.0f, -4.0f));
    editor.Choose("Bar");
    editor.world->PointAt(OnNodeA(locked));
    EXPECT_EQ(Technique(NodeA(locked)), QUORB::WidgetManipulator::kPickedTechnique)
        << "a new bar may start on it";
    editor.world->PointAt(Editor::Front(0.0f, -4.0f));
    EXPECT_EQ(Technique(NodeA(locked)), technique);
}

// The editor switched off with the button held: the machine goes back to Idle and then to
// EditorOff, and nothing is left selected, grabbed or half created.
TEST(ManipulatorSelect, SwitchingTheEditorOffMidDragReturnsTheMachineToEditorOff)
{
    for (const char* type : {"", "Platform"})
    {
        SCOPED_TRACE(*type != 0 ? "creating" : "moving");
        Editor editor;
        ASSERT_TRUE(editor.ready);
        editor.puzzle().SetBudgetLeft(3);
        Gob* platform = editor.Place("Platform", Editor::Front(-4.0f, 3.0f));
        ASSERT_NE(platform, nullptr);
        if (*type != 0)
        {
            editor.Choose(type);
            editor.world->PressAt(Editor::Front(3.0f, 0.0f));
            ASSERT_EQ(editor.state(), ManipulatorLogic::STATE_Creating);
        }
        else
        {
            editor.world->PressAt(PositionOf(platform));
            ASSERT_EQ(editor.state(), ManipulatorLogic::STATE_Moving);
        }
        editor.world->Console("toggleeditor");
        editor.world->Frames(3);
        EXPECT_EQ(editor.state(), ManipulatorLogic::STATE_EditorOff);
        EXPECT_EQ(editor.manipulator().GetSelectedGob(), nullptr);
        EXPECT_TRUE(editor.manipulator().GetDragNodes().empty());
        EXPECT_FALSE(editor.manipulator().IsLeftDown());
        EXPECT_EQ(editor.Widgets().size(), 1u) << "the half-made platform is gone";
        EXPECT_EQ(editor.puzzle().GetBudgetLeft(), 3) << "and refunded";
        EXPECT_EQ(Editor::OfArchetype("Platform").size(), 1u);
        editor.world->LeftUp();
        editor.world->Console("toggleeditor");
        editor.world->Frames(2);
        EXPECT_EQ(editor.state(), ManipulatorLogic::STATE_Idle) << "the editor works again";
    }
}
