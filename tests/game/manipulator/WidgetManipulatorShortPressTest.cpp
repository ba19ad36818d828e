// Presses shorter than a frame: a left button, Delete or Backspace pressed and released between
// two frames reaches the editor as a press and its release in one frame, and must place, select
// and delete exactly as a press held over a frame does. Each play runs twice, held and quick,
// and the two must end alike.
#include "ManipulatorFixture.h"

#include "game/nodes/ConnectionComp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using manipulatortest::Editor;
using manipulatortest::PositionOf;
using QUORB::ManipulatorLogic;

namespace
{
constexpr std::uint32_t kBackspace = 14;
constexpr std::uint32_t kDelete = 211;

enum class Press
{
    Held,  // down in one frame, up in the next
    Quick, // down and up between the same two frames
};

const char* Name(Press press)
{
    return press == Press::Held ? "held" : "quick";
}

void Click(Editor& editor, const math::Vector3& at, Press press)
{
    editor.world->PointAt(at);
    if (press == Press::Held)
    {
        editor.world->LeftDown();
        editor.world->LeftUp();
    }
    else
        editor.world->LeftClick();
    editor.world->Frame();
}

void Tap(Editor& editor, std::uint32_t key, Press press)
{
    if (press == Press::Held)
    {
        editor.world->KeyDown(key);
        editor.world->KeyUp(key);
    }
    else
        editor.world->Key(key);
    editor.world->Frame();
}

std::size_t DeleteSounds(const gametest::GameTestWorld& world)
{
    return static_cast<std::size_t>(std::count_if(world.Sounds().begin(), world.Sounds().end(),
                                                  [](const plat::soundtest::Record& r) {
                                                      return r.action == "start" &&
                                                             r.path == "QUORBSound/Editor/DeleteWidget";
                                                  }));
}

// What the player sees after each step of a play.
struct Seen
{
    std::size_t widgets = 0;
    int budget = 0;
    bool newestSelected = false;
    int state = -1;
    std::size_t deleteSounds = 0;
    bool operator==(const Seen& o) const
    {
        return widgets == o.widgets && budget == o.budget && newestSelected == o.newestSelected &&
               state == o.state && deleteSounds == o.deleteSounds;
    }
};

std::ostream& operator<<(std::ostream& out, const Seen& s)
{
    return out << "{widgets " << s.widgets << ", budget " << s.budget << ", newest selected "
               << s.newestSelected << ", state " << s.state << ", delete sounds " << s.deleteSounds << "}";
}

Seen Look(const Editor& editor)
{
    Seen seen;
    const std::vector<Gob*> widgets = editor.Widgets();
    seen.widgets = widgets.size();
    seen.budget = editor.puzzle().GetBudgetLeft();
    seen.newestSelected = !widgets.empty() && editor.manipulator().GetSelectedGob() == widgets.back();
    seen.state = editor.state();
    seen.deleteSounds = DeleteSounds(*editor.world);
    return seen;
}
} // namespace

// With "Platform" chosen a click on the face places one standing up from the press point and
// selects it; Delete deletes it with its refund; a second one goes with Backspace. A tap of
// Delete with nothing selected leaves no request behind: the click that then selects a widget
// does not delete it.
TEST(ManipulatorShortPress, AQuickClickPlacesAndAQuickTapDeletesAsHeldPressesDo)
{
    std::vector<std::vector<Seen>> plays;
    for (Press press : {Press::Held, Press::Quick})
    {
        SCOPED_TRACE(Name(press));
        Editor editor;
        ASSERT_TRUE(editor.ready);
        editor.puzzle().SetBudgetLeft(5);
        std::vector<Seen> seen;

        editor.Choose("Platform");
        Click(editor, Editor::Front(1.0f, 0.0f), press);
        seen.push_back(Look(editor));
        ASSERT_EQ(editor.Widgets().size(), 1u);
        const math::Vector3 pressPoint = editor.manipulator().GetPressFacePoint();
        EXPECT_NEAR(pressPoint.x, 1.0f, 0.05f);
        EXPECT_NEAR(pressPoint.y, 0.0f, 0.05f);
        const QUORB::ConnectionComp* connection = QUORB::ConnectionComp::Of(editor.Widgets()[0]);
        ASSERT_NE(connection, nullptr);
        EXPECT_NEAR((PositionOf(connection->GetNodeA()) - pressPoint).Length(), 0.0f, 1e-4f)
            << "standing up from the press point";

        Tap(editor, kDelete, press);
        seen.push_back(Look(editor));

        Click(editor, Editor::Front(-3.0f, 1.0f), press);
        seen.push_back(Look(editor));
        Tap(editor, kBackspace, press);
        seen.push_back(Look(editor));

        Click(editor, Editor::Front(4.0f, 0.0f), press);
        editor.world->Console("clearcwt");
        Click(editor, Editor::Front(-4.0f, 2.0f), press); // nothing there: nothing selected
        seen.push_back(Look(editor));
        Tap(editor, kDelete, press);
        seen.push_back(Look(editor));
        ASSERT_EQ(editor.Widgets().size(), 1u);
        Click(editor, PositionOf(editor.Widgets()[0]), press);
        seen.push_back(Look(editor));
        plays.push_back(seen);
    }
    ASSERT_EQ(plays.size(), 2u);
    const std::vector<Seen>& held = plays[0];
    ASSERT_EQ(held.size(), 7u);
    EXPECT_EQ(held[0], (Seen{1, 4, true, ManipulatorLogic::STATE_Idle, 0})) << "placed";
    EXPECT_EQ(held[1], (Seen{0, 5, false, ManipulatorLogic::STATE_Idle, 1})) << "deleted with Delete";
    EXPECT_EQ(held[3], (Seen{0, 5, false, ManipulatorLogic::STATE_Idle, 2})) << "deleted with Backspace";
    EXPECT_EQ(held[4], (Seen{1, 4, false, ManipulatorLogic::STATE_Idle, 2})) << "nothing selected";
    EXPECT_EQ(held[6], (Seen{1, 4, true, ManipulatorLogic::STATE_Idle, 2})) << "selected, not deleted";
    for (std::size_t step = 0; step < held.size(); ++step)
        EXPECT_EQ(plays[1][step], held[step]) << "step " << step << ": the quick press ends as the held one";
}
