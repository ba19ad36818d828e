// Stretching a new platform, bar or accelerator with the mouse: the widget follows the cursor from
// the press point, grows into a chain of segments paid one unit each, shrinks back with refunds,
// and is filed, highlighted and deletable once the button is let go.
#include "ManipulatorFixture.h"
#include "TestSupport.h"

#include "engine/gfx/mesh/GfxModelComp.h"
#include "engine/phy/CollisionFunctorData.h"
#include "engine/phy/PhysicsComp.h"
#include "game/nodes/ConnectionComp.h"
#include "game/nodes/GobIDComp.h"
#include "game/nodes/NodeDataComp.h"
#include "game/room/FindComp.h"
#include "game/widgets/CAcceleratorData.h"
#include "game/widgets/WidgetDataComp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

using manipulatortest::Editor;
using manipulatortest::PositionOf;
using math::Vector3;
using QUORB::ConnectionComp;
using QUORB::FindComp;
using QUORB::ManipulatorLogic;
using QUORB::NodeDataComp;

namespace
{
const float kUnit = std::sqrt(6.0f);
// The cursor lands on whole pixels: about 0.03 world units on the face.
constexpr float kPixel = 0.05f;

void ExpectNear(const Vector3& actual, const Vector3& expected, float tolerance, const std::string& what)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what;
}

// The chain being stretched, first segment first.
std::vector<Gob*> Chain(const QUORB::WidgetManipulator& manipulator)
{
    std::vector<Gob*> chain = manipulator.GetSelectionList();
    if (Gob* primary = manipulator.GetSelectedGob())
        chain.push_back(primary);
    return chain;
}

Gob* NodeA(Gob* widget)
{
    return ConnectionComp::Of(widget)->GetNodeA();
}

Gob* NodeB(Gob* widget)
{
    return ConnectionComp::Of(widget)->GetNodeB();
}

Gob* FieldOf(Gob* widget)
{
    return QUORB::GobIDComp::Of(widget)->GetLinkedGob();
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::size_t Count(const gametest::GameTestWorld& world, const char* menu, MessageName message)
{
    return world.MessageCount(menu, message);
}
} // namespace

// Face 0, budget 5: out to ten units the platform becomes three segments (two more units), back
// to four units one segment again (two units back); let go, it is filed, picked and offered to the
// property bar; a right click deletes it, its nodes and its field, with the last unit back.
TEST(ManipulatorStretch, AStretchGrowsIntoPaidSegmentsAndShrinksBackWithRefunds)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    QUORB::CPuzzle& puzzle = editor.puzzle();
    puzzle.SetTotalBudget(5);
    puzzle.SetBudgetLeft(5);
    QUORB::WidgetManipulator& manipulator = editor.manipulator();
    editor.Choose("Platform");
    editor.world->PressAt(Editor::Front(-6.0f, -2.0f));
    ASSERT_EQ(editor.state(), ManipulatorLogic::STATE_Creating);
    const Vector3 p0 = manipulator.GetPressFacePoint();

    editor.world->PointAt(p0 + Vector3(5.0f, 0.0f, 0.0f));
    editor.world->PointAt(p0 + Vector3(10.0f, 0.0f, 0.0f));
    std::vector<Gob*> chain = Chain(manipulator);
    ASSERT_EQ(chain.size(), 3u);
    EXPECT_EQ(puzzle.GetBudgetLeft(), 2);
    const float third = 10.0f / 3.0f;
    for (std::size_t i = 0; i < chain.size(); ++i)
    {
        SCOPED_TRACE("segment " + std::to_string(i));
        Gob* segment = chain[i];
        EXPECT_EQ(segment->GetArchetypeName(), "Platform");
        EXPECT_NEAR(GetPOVComp(segment)->GetScale().x, third, kPixel);
        ExpectNear(PositionOf(segment), p0 + Vector3(third * (static_cast<float>(i) + 0.5f), 0.0f, 0.0f),
                   kPixel, "centre");
        ExpectNear(PositionOf(NodeA(segment)), p0 + Vector3(third * static_cast<float>(i), 0.0f, 0.0f),
                   kPixel, "node A");
        ExpectNear(PositionOf(NodeB(segment)), p0 + Vector3(third * static_cast<float>(i + 1), 0.0f, 0.0f),
                   kPixel, "node B");
        ExpectNear(PositionOf(FieldOf(segment)), PositionOf(segment), 1e-4f, "field");
        const dorvo::phy::PhysicsComp* body = dorvo::phy::GetPhysicsComp(segment);
        ASSERT_NE(body, nullptr);
        EXPECT_TRUE(body->immovable && body->savedImmovable);
        if (i > 0)
        {
            // Each segment hangs on the one before: its first node a hidden member of that far node.
            EXPECT_EQ(NodeDataComp::Of(NodeA(segment))->GetMasterID(), NodeB(chain[i - 1])->GetID());
            EXPECT_FALSE(FindComp<dorvo::gfx::GfxModelComp>(NodeA(segment))->IsVisible());
        }
    }
    EXPECT_EQ(manipulator.GetDragNodes().size(), 6u);
    EXPECT_EQ(manipulator.GetSelectedGob(), chain[2]) << "the far segment is the primary";

    std::vector<std::uint32_t> dropped;
    for (Gob* segment : {chain[1], chain[2]})
        for (Gob* gob : {segment, NodeA(segment), NodeB(segment), FieldOf(segment)})
            dropped.push_back(gob->GetID());
    // Back one segment at a time: seven units want ceil(3.5 / 2.449) = 2, four units want 1.
    editor.world->PointAt(p0 + Vector3(7.0f, 0.0f, 0.0f));
    EXPECT_EQ(Chain(manipulator).size(), 2u);
    EXPECT_EQ(puzzle.GetBudgetLeft(), 3);
    editor.world->PointAt(p0 + Vector3(4.0f, 0.0f, 0.0f));
    chain = Chain(manipulator);
    ASSERT_EQ(chain.size(), 1u);
    EXPECT_EQ(puzzle.GetBudgetLeft(), 4);
    Gob* platform = chain[0];
    EXPECT_NEAR(GetPOVComp(platform)->GetScale().x, 4.0f, kPixel);
    ExpectNear(PositionOf(platform), p0 + Vector3(2.0f, 0.0f, 0.0f), kPixel, "one segment of 4");
    ExpectNear(PositionOf(NodeB(platform)), p0 + Vector3(4.0f, 0.0f, 0.0f), kPixel, "its far node");
    EXPECT_TRUE(NodeDataComp::Of(NodeB(platform))->GetMembers().empty()) << "the removed node let go";
    EXPECT_EQ(manipulator.GetDragNodes().size(), 2u);
    editor.world->Frame();
    for (std::uint32_t id : dropped)
        EXPECT_EQ(GobManager::Instance().GetGob(id), nullptr) << id;

    for (const char* menu : {"WidgetPropertyBarMenu", "PropValueMenu"})
        editor.world->Menu(menu)->ClearReceived();
    editor.world->LeftUp();
    EXPECT_EQ(editor.state(), ManipulatorLogic::STATE_Idle);
    EXPECT_EQ(editor.Widgets(), std::vector<Gob*>{platform});
    const auto* model = FindComp<dorvo::gfx::GfxModelComp>(platform);
    EXPECT_EQ(model->GetFXFile(), "PickedEffect.fx");
    EXPECT_EQ(model->GetTechnique(), "PickedEffect");
    EXPECT_EQ(Count(*editor.world, "WidgetPropertyBarMenu", MSG_ResetMenu), 1u);
    EXPECT_EQ(Count(*editor.world, "WidgetPropertyBarMenu", MSG_OpenMenuEx), 1u);
    EXPECT_EQ(Count(*editor.world, "PropValueMenu", MSG_CloseMenu), 1u);
    EXPECT_EQ(puzzle.GetBudgetLeft(), 4);

    editor.world->Console("clearcwt");
    editor.RightClickAt(PositionOf(platform));
    editor.world->Frame();
    EXPECT_TRUE(editor.Widgets().empty());
    EXPECT_EQ(puzzle.GetBudgetLeft(), 5);
    for (const char* archetype : {"Platform", "SoftNode", "ChargeField"})
        EXPECT_TRUE(Editor::OfArchetype(archetype).empty()) << archetype;
}

// Short stretches: a single segment is never shorter than sqrt(6), and with the cursor on the
// press point it stands straight up.
TEST(ManipulatorStretch, AShortStretchKeepsOneSegmentOfTheShortestLength)
{
    const struct
    {
        float pressX;
        Vector3 offset;
        Vector3 direction;
    } cases[] = {
        {-6.0f, Vector3(), Vector3(0.0f, 1.0f, 0.0f)},
        {0.0f, Vector3(1.0f, 0.0f, 0.0f), Vector3(1.0f, 0.0f, 0.0f)},
        {6.0f, Vector3(0.0f, -2.0f, 0.0f), Vector3(0.0f, -1.0f, 0.0f)},
    };
    Editor editor;
    ASSERT_TRUE(editor.ready);
    editor.puzzle().SetBudgetLeft(9);
    QUORB::WidgetManipulator& manipulator = editor.manipulator();
    for (const auto& c : cases)
    {
        SCOPED_TRACE("offset " + std::to_string(c.offset.x) + ", " + std::to_string(c.offset.y));
        editor.Choose("Platform");
        editor.world->PressAt(Editor::Front(c.pressX, 2.0f));
        ASSERT_EQ(editor.state(), ManipulatorLogic::STATE_Creating);
        const Vector3 p0 = manipulator.GetPressFacePoint();
        // Out and back: what counts is where the cursor is now.
        editor.world->PointAt(p0 + Vector3(3.0f, 3.0f, 0.0f));
        editor.world->PointAt(p0 + c.offset);
        editor.world->Frames(2);
        const std::vector<Gob*> chain = Chain(manipulator);
        ASSERT_EQ(chain.size(), 1u);
        // On the press point exactly the direction is up; a pixel off it, it is whatever the pixel
        // says, so that case keeps the cursor where the press was.
        const float tolerance = c.offset.LengthSquared() == 0.0f ? 1e-4f : 0.03f;
        EXPECT_NEAR(GetPOVComp(chain[0])->GetScale().x, kUnit, 1e-4f);
        ExpectNear(PositionOf(chain[0]), p0 + c.direction * (0.5f * kUnit), tolerance, "centre");
        ExpectNear(PositionOf(NodeB(chain[0])), p0 + c.direction * kUnit, 2.0f * tolerance, "node B");
        editor.world->LeftUp();
        editor.world->Console("clearcwt");
    }
    EXPECT_EQ(editor.Widgets().size(), 3u);
    EXPECT_EQ(editor.puzzle().GetBudgetLeft(), 6) << "one unit each";
}

namespace
{
// The face's centre and its horizontal axis, from its quad.
void FaceFrame(const QUORB::CQUORB& game, unsigned face, Vector3& centre, Vector3& across)
{
    const math::Quad& quad = game.GetRoom()->GetFace(face);
    centre = (quad.p0 + quad.p1 + quad.p2 + quad.p3) * 0.25f;
    Vector3 normal;
    game.GetFocusedFaceNormal(normal);
    across = Vector3(-normal.z, 0.0f, normal.x);
}
} // namespace

// On a side face a bar is built from "BarAlt" segments, long along their z axis, their fields
// turned with x along the bar.
TEST(ManipulatorStretch, ABarStretchedOnASideFaceIsMadeOfBarAltSegments)
{
    Editor editor(manipulatortest::RoomSetup(), 1);
    ASSERT_TRUE(editor.ready);
    editor.puzzle().SetBudgetLeft(5);
    Vector3 centre;
    Vector3 across;
    FaceFrame(editor.game(), 1, centre, across);
    editor.Choose("Bar");
    editor.world->PressAt(centre - across * 5.0f);
    ASSERT_EQ(editor.state(), ManipulatorLogic::STATE_Creating);
    const Vector3 p0 = editor.manipulator().GetPressFacePoint();
    editor.world->PointAt(p0 + across * 10.0f);
    const std::vector<Gob*> chain = Chain(editor.manipulator());
    ASSERT_EQ(chain.size(), 3u);
    for (Gob* segment : chain)
    {
        EXPECT_EQ(segment->GetArchetypeName(), "BarAlt");
        const POVComp* pov = GetPOVComp(segment);
        EXPECT_NEAR(pov->GetScale().z, 10.0f / 3.0f, kPixel);
        ExpectNear(pov->GetOrientation().GetZAxis(), across, 0.01f, "long along z");
        const POVComp* field = GetPOVComp(FieldOf(segment));
        EXPECT_NEAR(field->GetScale().x, pov->GetScale().z, 1e-5f) << "x and z exchanged";
        EXPECT_NEAR(field->GetScale().z, pov->GetScale().x, 1e-5f);
        ExpectNear(field->GetOrientation().GetXAxis(), across, 0.01f, "field along the bar");
    }
    editor.world->LeftUp();
    EXPECT_EQ(editor.Widgets().size(), 3u) << "every segment filed";
}

// An accelerator stretched on a slant: every segment's push runs along its own long axis, and the
// star touching it is pushed that way with SpeedSetting times its mass.
TEST(ManipulatorStretch, EveryAcceleratorSegmentPushesAlongItsOwnLength)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    editor.puzzle().SetBudgetLeft(5);
    editor.Choose("Accelerator");
    editor.world->PressAt(Editor::Front(-5.0f, -4.0f));
    const Vector3 p0 = editor.manipulator().GetPressFacePoint();
    editor.world->PointAt(p0 + Vector3(6.0f, 6.0f, 0.0f));
    const std::vector<Gob*> chain = Chain(editor.manipulator());
    ASSERT_EQ(chain.size(), 2u);
    editor.world->LeftUp();

    Gob* star = editor.Place("QUORBBall", Editor::Front(6.0f, 6.0f), Vector3(1.0f, 1.0f, 1.0f));
    ASSERT_NE(star, nullptr);
    dorvo::phy::PhysicsComp* body = dorvo::phy::GetPhysicsComp(star);
    ASSERT_NE(body, nullptr);
    body->immovable = false;
    const Vector3 slant = Vector3(1.0f, 1.0f, 0.0f).GetNormalized();
    for (Gob* segment : chain)
    {
        const QUORB::CAcceleratorData* data = QUORB::WidgetDataComp::Of(segment)->AsAcceleratorData();
        ASSERT_NE(data, nullptr);
        ExpectNear(data->direction, GetPOVComp(segment)->GetOrientation().GetXAxis(), 1e-4f,
                   "its own x axis");
        ExpectNear(data->direction, slant, 0.01f, "along the stretch");
        body->force = Vector3();
        dorvo::phy::CollisionFunctorData contact;
        contact.gobIdA = star->GetID();
        contact.gobIdB = segment->GetID();
        EXPECT_TRUE(QUORB::WidgetManipulator::OnAcceleratorCollision(contact, segment->GetID()));
        ExpectNear(body->force, data->direction * (12.0f * body->GetMass()), 1e-3f, "the push");
    }
}

// A segment the create operation cannot build costs nothing: the units spent always match the
// segments there are. The fixture: the right face's quad is the front face's, and the widget
// template has no "BarAlt", so a bar stretched on after the focus turns to face 1 cannot grow.
TEST(ManipulatorStretch, ASegmentThatIsNotBuiltGivesItsUnitBack)
{
    gametest::GameTestSetup setup = manipulatortest::RoomSetup();
    setup.files["files/xmlfiles/archetypes/CQRight.xml"] =
        ReadText(testsupport::RepoPath("data/files/xmlfiles/archetypes/CQFront.xml"));
    std::string widgets = ReadText(testsupport::RepoPath("data/files/xmlfiles/WidgetTemplate.xml"));
    widgets = std::regex_replace(widgets,
                                 std::regex("\\s*<pair><string name=\"First\">BarAlt</string>[^\\n]*"), "");
    widgets =
        std::regex_replace(widgets, std::regex("\"Archetypes\" size=\"4\""), "\"Archetypes\" size=\"3\"");
    setup.files["files/xmlfiles/WidgetTemplate.xml"] = widgets;
    Editor editor(setup);
    ASSERT_TRUE(editor.ready);
    ASSERT_EQ(GobManager::Instance().FindController("BarAlt"), nullptr);
    editor.Choose("Bar");
    editor.world->PressAt(Editor::Front(-5.0f, 0.0f));
    ASSERT_EQ(Chain(editor.manipulator()).size(), 1u);
    const Vector3 p0 = editor.manipulator().GetPressFacePoint();

    editor.game().SetFocusedFace(1); // the next segments would be "BarAlt"
    QUORB::CPuzzle& side = *editor.game().GetFocusedPuzzle();
    side.SetBudgetLeft(5);
    editor.world->PointAt(p0 + Vector3(10.0f, 0.0f, 0.0f));
    EXPECT_EQ(Chain(editor.manipulator()).size(), 1u);
    EXPECT_EQ(side.GetBudgetLeft(), 5) << "no unit for a segment that is not there";
    EXPECT_EQ(side.GetWidgetsPlaced(), 0);
    editor.game().SetFocusedFace(0);
    editor.world->LeftUp();
}
