// A puzzle author's road through the stretched widgets, by mouse and console: two hard nodes, a
// platform stretched from one to the other into a chain that snaps onto both, a joint of it
// dragged up, the puzzle played until a falling star object breaks the chain; then, the puzzle
// reset, a gravity switch turned sideways under a second star that it sends to the right.
#include "ManipulatorFixture.h"

#include "engine/phy/DynamicsEngine.h"
#include "engine/phy/PhysicsComp.h"
#include "engine/phy/PointConstraint.h"
#include "game/nodes/ConnectionComp.h"
#include "game/nodes/NodeDataComp.h"
#include "game/widgets/CGravitySwitchData.h"
#include "game/widgets/WidgetDataComp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using manipulatortest::Editor;
using manipulatortest::PositionOf;
using math::Vector3;
using QUORB::ConnectionComp;
using QUORB::ManipulatorLogic;
using QUORB::NodeDataComp;

namespace
{
constexpr std::uint32_t kSpace = 57;

Gob* NodeA(Gob* widget)
{
    return ConnectionComp::Of(widget)->GetNodeA();
}

Gob* NodeB(Gob* widget)
{
    return ConnectionComp::Of(widget)->GetNodeB();
}

std::uint32_t MasterOf(Gob* node)
{
    return NodeDataComp::Of(node)->GetMasterID();
}

long Started(const gametest::GameTestWorld& world, const char* path)
{
    const auto& sounds = world.Sounds();
    return std::count_if(sounds.begin(), sounds.end(),
                         [path](const plat::soundtest::Record& record)
                         { return record.action == "start" && record.path == path; });
}
} // namespace

TEST(WidgetChainEndToEnd, StretchSnapDragPlayBreakAndTurnGravity)
{
    // Joints weaker than the game's own, so that a star falling from the top of the face breaks
    // one (the committed 400 holds it: a falling star's squared impulse is near 90).
    gametest::GameTestSetup setup = manipulatortest::RoomSetup();
    setup.startupLines = "NODE_BREAK_FORCE = 40.0\n";
    Editor editor(setup);
    ASSERT_TRUE(editor.ready);
    editor.game().SetWaterLevel(-20.0f); // the room's water would float the stars
    editor.world->Console("togglecm");
    ASSERT_TRUE(editor.game().IsCreatePuzzleMode());

    // Two hard nodes twelve units apart.
    editor.Choose("HardNode");
    editor.ClickAt(Editor::Front(-6.0f, 0.0f));
    editor.Choose("HardNode");
    editor.ClickAt(Editor::Front(6.0f, 0.0f));
    const std::vector<Gob*> hard = Editor::OfArchetype("HardNode");
    ASSERT_EQ(hard.size(), 2u);
    Gob* left = PositionOf(hard[0]).x < 0.0f ? hard[0] : hard[1];
    Gob* right = left == hard[0] ? hard[1] : hard[0];

    // A platform pressed on the left node and dragged to the right one: three segments of four
    // units, the first starting at the node's centre; let go, both ends snap onto the hard nodes.
    editor.Choose("Platform");
    editor.world->PressAt(PositionOf(left));
    ASSERT_EQ(editor.state(), ManipulatorLogic::STATE_Creating);
    EXPECT_EQ(editor.manipulator().GetPressFacePoint(), PositionOf(left)) << "from the node's centre";
    editor.world->PointAt(PositionOf(left) + Vector3(6.0f, 0.5f, 0.0f));
    editor.world->PointAt(PositionOf(right));
    editor.world->LeftUp();
    std::vector<Gob*> chain = Editor::OfArchetype("Platform");
    ASSERT_EQ(chain.size(), 3u);
    std::sort(chain.begin(), chain.end(), [](Gob* a, Gob* b) { return PositionOf(a).x < PositionOf(b).x; });
    EXPECT_EQ(MasterOf(NodeA(chain[0])), left->GetID());
    EXPECT_EQ(MasterOf(NodeB(chain[2])), right->GetID());
    EXPECT_EQ(MasterOf(NodeA(chain[1])), NodeB(chain[0])->GetID());
    EXPECT_EQ(MasterOf(NodeA(chain[2])), NodeB(chain[1])->GetID());
    EXPECT_LT(Distance(PositionOf(NodeB(chain[2])), PositionOf(right)), 1e-4f) << "pulled onto the node";
    EXPECT_EQ(editor.Widgets().size(), 5u) << "two hard nodes and three segments filed";

    // The first segment dragged a unit up by its middle: held at the hard node, it turns about
    // it, and its free end takes the joint and the next segment along.
    editor.world->Key(kSpace); // the chain let go as a selection
    EXPECT_EQ(editor.manipulator().GetSelectedGob(), nullptr);
    Gob* joint = NodeB(chain[0]);
    const Vector3 from = PositionOf(joint);
    const Vector3 grip = PositionOf(chain[0]);
    editor.world->PressAt(grip);
    ASSERT_EQ(editor.state(), ManipulatorLogic::STATE_Moving);
    EXPECT_EQ(editor.manipulator().GetSelectedGob(), chain[0]);
    editor.world->PointAt(grip + Vector3(0.0f, 0.5f, 0.0f));
    editor.world->PointAt(grip + Vector3(0.0f, 1.0f, 0.0f));
    editor.world->LeftUp();
    EXPECT_NEAR(PositionOf(joint).y - from.y, 1.0f, 0.05f);
    EXPECT_LT(Distance(PositionOf(NodeA(chain[1])), PositionOf(joint)), 1e-4f) << "its member moved along";
    EXPECT_NEAR(PositionOf(chain[0]).y, from.y + 0.5f, 0.05f) << "the segment between its nodes";
    EXPECT_LT(Distance(PositionOf(NodeA(chain[0])), PositionOf(left)), 1e-4f) << "still on the hard node";
    EXPECT_EQ(MasterOf(NodeA(chain[1])), joint->GetID()) << "still one group";

    // A star object over the middle segment's left half, then play: the chain holds on its hard
    // nodes and the star's fall breaks the middle segment's left end out of the joint.
    editor.Choose("QUORBBall");
    editor.ClickAt(Editor::Front(-1.0f, 9.0f));
    ASSERT_EQ(editor.Quorbs().size(), 1u);
    Gob* star = editor.Quorbs()[0];
    editor.world->Console("clearcwt");
    editor.world->ClearSounds();
    editor.world->Console("play");
    EXPECT_FALSE(dorvo::phy::DynamicsEngine::Instance().paused);
    EXPECT_TRUE(NodeDataComp::Of(NodeA(chain[1]))->GetPointConstraint().IsEnabled());
    editor.world->Frames(60);
    EXPECT_GE(Started(*editor.world, ConnectionComp::kBreakSound), 1);
    EXPECT_EQ(MasterOf(NodeA(chain[1])), 0u) << "broken out of the joint";
    EXPECT_FALSE(NodeDataComp::Of(NodeA(chain[1]))->GetPointConstraint().IsEnabled());
    EXPECT_EQ(MasterOf(NodeA(chain[0])), left->GetID()) << "held by the hard node";
    EXPECT_LT(Distance(PositionOf(NodeA(chain[0])), PositionOf(left)), 0.1f);
    EXPECT_LT(PositionOf(star).y, 8.0f) << "it fell";

    // Back to where play started: the chain whole again, gravity down.
    editor.world->Console("resetfocusedpuzzle");
    editor.world->Frames(4);
    ASSERT_TRUE(dorvo::phy::DynamicsEngine::Instance().paused);
    EXPECT_NEAR(dorvo::phy::DynamicsEngine::Instance().gravity.y, -9.8f, 1e-5f);
    chain = Editor::OfArchetype("Platform");
    ASSERT_EQ(chain.size(), 3u);
    std::sort(chain.begin(), chain.end(), [](Gob* a, Gob* b) { return PositionOf(a).x < PositionOf(b).x; });
    const std::vector<Gob*> rebuilt = Editor::OfArchetype("HardNode");
    ASSERT_EQ(rebuilt.size(), 2u);
    EXPECT_NE(MasterOf(NodeA(chain[0])), 0u) << "re-snapped onto its hard node";
    EXPECT_EQ(MasterOf(NodeA(chain[1])), NodeB(chain[0])->GetID()) << "the joint whole again";
    EXPECT_EQ(editor.Quorbs().size(), 1u);

    // A gravity switch placed at the right and turned towards +x, a second star above it.
    editor.Choose("GravitySwitch");
    editor.world->PressAt(Editor::Front(9.0f, 3.0f));
    Gob* gravitySwitch = editor.manipulator().GetSelectedGob();
    ASSERT_NE(gravitySwitch, nullptr);
    ASSERT_EQ(gravitySwitch->GetArchetypeName(), "GravitySwitch");
    editor.world->PointAt(Editor::Front(9.0f, 3.0f) + Vector3(1.5f, 0.2f, 0.0f));
    editor.world->LeftUp();
    EXPECT_EQ(QUORB::WidgetDataComp::Of(gravitySwitch)->AsGravitySwitchData()->direction,
              Vector3(1.0f, 0.0f, 0.0f));
    editor.Choose("QUORBBall");
    editor.ClickAt(Editor::Front(9.0f, 7.0f));
    ASSERT_EQ(editor.Quorbs().size(), 2u);
    Gob* faller = PositionOf(editor.Quorbs()[0]).x > 5.0f ? editor.Quorbs()[0] : editor.Quorbs()[1];
    editor.world->Console("clearcwt");

    editor.world->Console("play");
    const Vector3 down = dorvo::phy::DynamicsEngine::Instance().gravity;
    EXPECT_NEAR(down.y, -9.8f, 1e-5f);
    const float startX = PositionOf(faller).x;
    for (int frame = 0; frame < 60 && dorvo::phy::DynamicsEngine::Instance().gravity.x == 0.0f; ++frame)
        editor.world->Frame();
    const Vector3 turned = dorvo::phy::DynamicsEngine::Instance().gravity;
    EXPECT_NEAR(turned.x, 9.8f, 1e-5f) << "the switch sends gravity along the face";
    EXPECT_NEAR(turned.y, 0.0f, 1e-5f);
    editor.world->Frames(20);
    const dorvo::phy::PhysicsComp* body = dorvo::phy::GetPhysicsComp(faller);
    ASSERT_NE(body, nullptr);
    EXPECT_GT(body->velocity.x, 3.0f) << "falling to the right now";
    EXPECT_GT(PositionOf(faller).x, startX + 0.3f);
}
