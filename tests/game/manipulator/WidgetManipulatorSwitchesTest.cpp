// Gravity switches, magnets and accelerators: turned with the mouse as they are placed and
// adjusted, and what their collision callbacks do to the star object and the world's gravity.
#include "LogCapture.h"
#include "ManipulatorFixture.h"
#include "TestSupport.h"

#include "common/Scheduler.h"
#include "engine/gfx/mesh/GfxModelComp.h"
#include "engine/phy/CollisionFunctorData.h"
#include "engine/phy/DynamicsEngine.h"
#include "engine/phy/PhysicsComp.h"
#include "game/camera/CCamera.h"
#include "game/nodes/GobIDComp.h"
#include "game/room/FindComp.h"
#include "game/widgets/CAcceleratorData.h"
#include "game/widgets/CGravitySwitchData.h"
#include "game/widgets/CMagnetData.h"
#include "game/widgets/IWidgetData.h"
#include "game/widgets/WidgetDataComp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

using manipulatortest::Editor;
using manipulatortest::PositionOf;
using math::Vector3;
using QUORB::ManipulatorLogic;
using QUORB::WidgetManipulator;

namespace
{
void ExpectNear(const Vector3& actual, const Vector3& expected, float tolerance, const std::string& what)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what;
}

// The pair's record with the owner as object B.
dorvo::phy::CollisionFunctorData Contact(Gob* other, Gob* owner)
{
    dorvo::phy::CollisionFunctorData data;
    data.gobIdA = other->GetID();
    data.gobIdB = owner->GetID();
    return data;
}

QUORB::IWidgetData* DataOf(Gob* gob)
{
    return QUORB::WidgetDataComp::Of(gob)->GetData();
}

dorvo::gfx::GfxModelComp* ModelOf(Gob* gob)
{
    return QUORB::FindComp<dorvo::gfx::GfxModelComp>(gob);
}

// A star object that forces can move, of that mass, with its body at the point.
dorvo::phy::PhysicsComp* FreeBody(Gob* star, float mass, const Vector3& at)
{
    dorvo::phy::PhysicsComp* body = dorvo::phy::GetPhysicsComp(star);
    if (body == nullptr)
        return nullptr;
    body->immovable = false;
    body->SetMass(mass);
    body->position = at;
    body->force = Vector3();
    return body;
}

// A switch or magnet placed as the editor places one: standing up, facing out of the face.
Gob* PlaceTurned(Editor& editor, const std::string& type, const Vector3& at)
{
    Vector3 normal;
    editor.game().GetFocusedFaceNormal(normal);
    math::Quaternion upright;
    upright.SetFromDirections(Vector3(0.0f, 1.0f, 0.0f), -normal);
    Gob* gob = WidgetManipulator::Live(
        editor.manipulator().CreateWidgetAtPos(type, at, upright, Vector3(1.0f, 1.0f, 1.0f)));
    if (gob != nullptr)
        editor.puzzle().AddWidget(gob->GetID());
    return gob;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

Vector3 Gravity()
{
    return dorvo::phy::DynamicsEngine::Instance().gravity;
}
} // namespace

// The exact rule: within 45 degrees of vertical (ties included) up or down, else along the face.
TEST(ManipulatorSwitches, SnapToFaceAxisPointsUpDownOrAlongTheFace)
{
    const float diagonal = 0.70710677f;
    const struct
    {
        Vector3 direction;
        Vector3 normal;
        Vector3 snapped;
    } cases[] = {
        {Vector3(diagonal, diagonal, 0.0f), Vector3(0.0f, 0.0f, -1.0f), Vector3(0.0f, 1.0f, 0.0f)},
        {Vector3(-diagonal, -diagonal, 0.0f), Vector3(0.0f, 0.0f, -1.0f), Vector3(0.0f, -1.0f, 0.0f)},
        {Vector3(0.8f, 0.6f, 0.0f), Vector3(0.0f, 0.0f, -1.0f), Vector3(1.0f, 0.0f, 0.0f)},
        {Vector3(-0.8f, 0.6f, 0.0f), Vector3(0.0f, 0.0f, -1.0f), Vector3(-1.0f, 0.0f, 0.0f)},
        {Vector3(), Vector3(0.0f, 0.0f, -1.0f), Vector3(0.0f, -1.0f, 0.0f)},
        // A side face: its horizontal axis is z.
        {Vector3(0.0f, 0.1f, 0.99f), Vector3(-1.0f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, 1.0f)},
        {Vector3(0.0f, 0.1f, -0.99f), Vector3(-1.0f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, -1.0f)},
    };
    for (const auto& c : cases)
    {
        Vector3 snapped(9.0f, 9.0f, 9.0f);
        WidgetManipulator::SnapToFaceAxis(snapped, c.direction, c.normal);
        ExpectNear(snapped, c.snapped, 0.0f,
                   "direction " + std::to_string(c.direction.x) + ", " + std::to_string(c.direction.y));
    }
}

// A new switch is turned by the drag from its press point: just under 45 degrees points it along
// the face, just over points it up, no drag points it down. Its model turns with it.
TEST(ManipulatorSwitches, DraggingANewGravitySwitchSnapsItsDirection)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    editor.puzzle().SetBudgetLeft(9);
    Vector3 normal;
    ASSERT_TRUE(editor.game().GetFocusedFaceNormal(normal));
    const struct
    {
        float pressX;
        Vector3 drag;
        Vector3 direction;
    } cases[] = {
        {-9.0f, Vector3(6.0f, 5.94f, 0.0f), Vector3(1.0f, 0.0f, 0.0f)},
        {-3.0f, Vector3(6.0f, 6.06f, 0.0f), Vector3(0.0f, 1.0f, 0.0f)},
        {3.0f, Vector3(), Vector3(0.0f, -1.0f, 0.0f)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pressX);
        editor.Choose("GravitySwitch");
        editor.world->PressAt(Editor::Front(c.pressX, -5.0f));
        ASSERT_EQ(editor.state(), ManipulatorLogic::STATE_Creating);
        Gob* gravitySwitch = editor.manipulator().GetSelectedGob();
        ASSERT_NE(gravitySwitch, nullptr);
        const Vector3 p0 = editor.manipulator().GetPressFacePoint();
        editor.world->PointAt(p0 + c.drag * 0.5f);
        editor.world->PointAt(p0 + c.drag);
        const QUORB::CGravitySwitchData* data =
            QUORB::WidgetDataComp::Of(gravitySwitch)->AsGravitySwitchData();
        ASSERT_NE(data, nullptr);
        ExpectNear(data->direction, c.direction, 0.0f, "Direction");
        const math::Quaternion turn = GetPOVComp(gravitySwitch)->GetOrientation();
        ExpectNear(turn.GetXAxis(), c.direction, 1e-5f, "x along the direction");
        ExpectNear(turn.GetZAxis(), -normal, 1e-5f, "z out of the face");
        ExpectNear(PositionOf(gravitySwitch), p0, 1e-5f, "stays at the press point");
        editor.world->LeftUp();
        EXPECT_EQ(editor.Widgets().back(), gravitySwitch) << "filed";
    }
}

// Held still on a placed switch or magnet for a quarter second, the cursor turns it: the switch
// snapped to the face's axes, the magnet freely, its field following.
TEST(ManipulatorSwitches, AdjustingTurnsASwitchOrAMagnetTowardsTheCursor)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    Gob* gravitySwitch = PlaceTurned(editor, "GravitySwitch", Editor::Front(-4.0f, 0.0f));
    Gob* magnet = PlaceTurned(editor, "Magnet", Editor::Front(4.0f, 0.0f));
    ASSERT_TRUE(gravitySwitch && magnet);
    const struct
    {
        Gob* widget;
        float aim; // along its x axis from the centre to a solid part
        Vector3 cursor;
        Vector3 direction;
    } cases[] = {
        {gravitySwitch, 0.0f, Vector3(-6.0f, -0.5f, 0.0f), Vector3(-1.0f, 0.0f, 0.0f)},
        {magnet, -0.35f, Vector3(3.0f, 0.0f, 0.0f), Vector3(1.0f, 0.0f, 0.0f)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.widget->GetArchetypeName());
        editor.world->PressAt(PositionOf(c.widget) +
                              GetPOVComp(c.widget)->GetOrientation().GetXAxis() * c.aim);
        ASSERT_EQ(editor.manipulator().GetSelectedGob(), c.widget);
        editor.world->Frames(8);
        ASSERT_EQ(editor.state(), ManipulatorLogic::STATE_Adjusting);
        editor.world->PointAt(PositionOf(c.widget) + c.cursor);
        const math::Quaternion turn = GetPOVComp(c.widget)->GetOrientation();
        ExpectNear(turn.GetXAxis(), c.direction, 0.02f, "turned");
        editor.world->LeftUp();
        EXPECT_EQ(editor.state(), ManipulatorLogic::STATE_Idle);
    }
    ExpectNear(QUORB::WidgetDataComp::Of(gravitySwitch)->AsGravitySwitchData()->direction,
               Vector3(-1.0f, 0.0f, 0.0f), 0.0f, "the switch's Direction");
    Gob* field = QUORB::GobIDComp::Of(magnet)->GetLinkedGob();
    ASSERT_NE(field, nullptr);
    ExpectNear(GetPOVComp(field)->GetOrientation().GetXAxis(),
               GetPOVComp(magnet)->GetOrientation().GetXAxis(), 1e-6f, "the field turned with the magnet");
}

// A new magnet dragged from its press point turns towards the drag; its field sits on it and
// turns with it.
TEST(ManipulatorSwitches, DraggingANewMagnetTurnsItAndItsField)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    editor.puzzle().SetBudgetLeft(3);
    editor.Choose("Magnet");
    editor.world->PressAt(Editor::Front(0.0f, 0.0f));
    Gob* magnet = editor.manipulator().GetSelectedGob();
    ASSERT_NE(magnet, nullptr);
    ASSERT_EQ(magnet->GetArchetypeName(), "Magnet");
    Gob* field = QUORB::GobIDComp::Of(magnet)->GetLinkedGob();
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->GetArchetypeName(), "MagneticField");
    EXPECT_EQ(QUORB::GobIDComp::Of(field)->GetLinkedID(), magnet->GetID());
    const Vector3 p0 = editor.manipulator().GetPressFacePoint();
    editor.world->PointAt(p0 + Vector3(3.0f, 4.0f, 0.0f));
    const Vector3 along = Vector3(3.0f, 4.0f, 0.0f).GetNormalized();
    ExpectNear(GetPOVComp(magnet)->GetOrientation().GetXAxis(), along, 0.02f, "the magnet");
    ExpectNear(GetPOVComp(field)->GetOrientation().GetXAxis(), along, 0.02f, "its field");
    ExpectNear(PositionOf(field), PositionOf(magnet), 1e-6f, "on the magnet");
    editor.world->LeftUp();
    const float across = QUORB::WidgetDataComp::Of(magnet)->AsMagnetData()->strength *
                         QUORB::CMagnetData::kFieldDiameterPerStrength;
    ExpectNear(GetPOVComp(field)->GetScale(), Vector3(across, across, 1.0f), 1e-6f, "sized by strength");
}

// The field pulls unlike and pushes like magnetism with 50 x Strength x mass / distance along the
// line from its centre; nothing for magnetism 0, nor on the centre itself.
TEST(ManipulatorSwitches, AMagneticFieldPullsUnlikeAndPushesLikeMagnetism)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    Gob* magnet = editor.Place("Magnet", Editor::Front(0.0f, 0.0f), Vector3(1.0f, 1.0f, 1.0f));
    Gob* star = editor.Place("QUORBBall", Editor::Front(5.0f, 5.0f), Vector3(1.0f, 1.0f, 1.0f));
    ASSERT_TRUE(magnet && star);
    Gob* field = QUORB::GobIDComp::Of(magnet)->GetLinkedGob();
    ASSERT_NE(field, nullptr);
    QUORB::WidgetDataComp::Of(magnet)->AsMagnetData()->strength = 1.5f;
    DataOf(magnet)->SetMagnetism(2);
    const Vector3 centre = PositionOf(field);
    const struct
    {
        int magnetism;
        Vector3 offset;
        Vector3 force;
    } cases[] = {
        {1, Vector3(3.0f, 0.0f, 0.0f), Vector3(-50.0f, 0.0f, 0.0f)},
        {2, Vector3(3.0f, 0.0f, 0.0f), Vector3(50.0f, 0.0f, 0.0f)},
        {1, Vector3(0.0f, -1.5f, 0.0f), Vector3(0.0f, 100.0f, 0.0f)},
        {0, Vector3(3.0f, 0.0f, 0.0f), Vector3()},
        {1, Vector3(), Vector3()},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE("magnetism " + std::to_string(c.magnetism) + " at " + std::to_string(c.offset.x));
        DataOf(star)->SetMagnetism(c.magnetism);
        dorvo::phy::PhysicsComp* body = FreeBody(star, 2.0f, centre + c.offset);
        ASSERT_NE(body, nullptr);
        EXPECT_TRUE(WidgetManipulator::OnMagneticField(Contact(star, field), field->GetID()));
        ExpectNear(body->force, c.force, 1e-3f, "force");
    }
    // The field acts on star objects and widgets only.
    Gob* node = GobManager::Instance().CreateGobAtPos("HardNode", centre, true);
    ASSERT_NE(node, nullptr);
    EXPECT_FALSE(WidgetManipulator::OnMagneticField(Contact(node, field), field->GetID()));
}

// Played, a magnet's field reaches well past the horseshoe: a ball of unlike charge hanging two
// and a half units below a magnet of the default strength is pulled up to it and held there, one
// of like charge is pushed down faster than it falls, and an uncharged one just falls.
TEST(ManipulatorSwitches, AMagnetsFieldReachesPastItsHorseshoe)
{
    const struct
    {
        int magnetism;
        const char* what;
    } cases[] = {{1, "unlike"}, {2, "like"}, {0, "uncharged"}};
    float fallen[3] = {};
    for (int n = 0; n < 3; ++n)
    {
        SCOPED_TRACE(cases[n].what);
        Editor editor;
        ASSERT_TRUE(editor.ready);
        Gob* magnet = PlaceTurned(editor, "Magnet", Editor::Front(0.0f, 4.0f));
        Gob* star = editor.Place("QUORBBall", Editor::Front(0.0f, 1.5f), Vector3(1.0f, 1.0f, 1.0f));
        ASSERT_TRUE(magnet && star);
        ASSERT_EQ(DataOf(magnet)->GetMagnetism(), QUORB::IWidgetData::kMagnetismPositive) << "the default";
        DataOf(star)->SetMagnetism(cases[n].magnetism);
        editor.world->Console("play");
        editor.world->Frames(20);
        fallen[n] = 1.5f - PositionOf(star).y;
        if (cases[n].magnetism == 1)
        {
            EXPECT_NEAR(PositionOf(star).y, 3.0f, 0.15f) << "held against the magnet's underside";
            editor.world->Frames(30);
            EXPECT_NEAR(PositionOf(star).y, 3.0f, 0.15f) << "and kept there";
        }
    }
    EXPECT_GT(fallen[1], fallen[2] + 0.5f) << "the like ball is pushed down";
    EXPECT_GT(fallen[2], 1.0f) << "the uncharged ball falls";
}

// Touching the magnet, an unlike body weighs nothing (gravity times minus its mass); a like one
// and one without magnetism are not held. A magnet of magnetism 0 holds every magnetised body.
TEST(ManipulatorSwitches, AMagnetHoldsAnUnlikeBodyAgainstGravity)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    Gob* magnet = editor.Place("Magnet", Editor::Front(0.0f, 0.0f), Vector3(1.0f, 1.0f, 1.0f));
    Gob* star = editor.Place("QUORBBall", Editor::Front(5.0f, 5.0f), Vector3(1.0f, 1.0f, 1.0f));
    ASSERT_TRUE(magnet && star);
    const Vector3 gravity = Gravity();
    const struct
    {
        int magnet;
        int other;
        bool held;
    } cases[] = {{2, 1, true}, {1, 2, true}, {2, 2, false}, {2, 0, false}, {0, 1, true}, {0, 0, false}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.magnet) + " against " + std::to_string(c.other));
        DataOf(magnet)->SetMagnetism(c.magnet);
        DataOf(star)->SetMagnetism(c.other);
        dorvo::phy::PhysicsComp* body = FreeBody(star, 2.0f, PositionOf(star));
        EXPECT_TRUE(WidgetManipulator::OnMagnetCollision(Contact(star, magnet), magnet->GetID()));
        ExpectNear(body->force, c.held ? gravity * -2.0f : Vector3(), 1e-5f, "force");
    }
    Gob* node = GobManager::Instance().CreateGobAtPos("HardNode", Editor::Front(0.0f, 0.0f), true);
    EXPECT_FALSE(WidgetManipulator::OnMagnetCollision(Contact(node, magnet), magnet->GetID()));
}

// The field's partner without a body (a magnetised gravity switch) is left alone, with one line
// naming it however often the contact steps.
TEST(ManipulatorSwitches, AFieldSkipsAPartnerWithoutABodyWithOneLine)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    Gob* magnet = editor.Place("Magnet", Editor::Front(0.0f, 0.0f), Vector3(1.0f, 1.0f, 1.0f));
    Gob* gravitySwitch = editor.Place("GravitySwitch", Editor::Front(1.0f, 0.0f), Vector3(1.0f, 1.0f, 1.0f));
    ASSERT_TRUE(magnet && gravitySwitch);
    Gob* field = QUORB::GobIDComp::Of(magnet)->GetLinkedGob();
    DataOf(gravitySwitch)->SetMagnetism(1);
    testsupport::LogCapture logged;
    for (int step = 0; step < 3; ++step)
        EXPECT_FALSE(WidgetManipulator::OnMagneticField(Contact(gravitySwitch, field), field->GetID()));
    const std::string lines = logged.Text();
    EXPECT_NE(lines.find("WidgetManipulator: archetype \"GravitySwitch\": the object has no PhysicsComp"),
              std::string::npos)
        << lines;
    EXPECT_EQ(logged.Lines().size(), 1u) << lines;
}

// Touched by the star the switch turns gravity along its Direction and asks the camera to turn
// its up the other way over a second; it glows for one second from the first touch, a second
// touch within it schedules nothing more, and its own look comes back. Anything else touching it
// changes nothing. A reset of the puzzle brings gravity back down.
TEST(ManipulatorSwitches, TheStarsTouchTurnsGravityTheCameraAndTheGlow)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    Gob* gravitySwitch = editor.Place("GravitySwitch", Editor::Front(0.0f, 0.0f), Vector3(1.0f, 1.0f, 1.0f));
    Gob* star = editor.Place("QUORBBall", Editor::Front(5.0f, 5.0f), Vector3(1.0f, 1.0f, 1.0f));
    Gob* platform = editor.Place("Platform", Editor::Front(-5.0f, 5.0f));
    ASSERT_TRUE(gravitySwitch && star && platform);
    QUORB::WidgetDataComp::Of(gravitySwitch)->AsGravitySwitchData()->direction = Vector3(1.0f, 0.0f, 0.0f);
    dorvo::gfx::GfxModelComp* model = ModelOf(gravitySwitch);
    const std::string effect = model->GetFXFile();
    const std::string technique = model->GetTechnique();
    ASSERT_NE(technique, "Glow");
    editor.world->Console("play");
    editor.world->Frame();
    const Vector3 down = Gravity();
    ASSERT_NEAR(down.y, -9.8f, 1e-5f);
    const std::size_t entries = common::Scheduler::Instance().GetEntryCount();

    EXPECT_FALSE(WidgetManipulator::OnGravitySwitchCollision(Contact(platform, gravitySwitch),
                                                             gravitySwitch->GetID()));
    ExpectNear(Gravity(), down, 0.0f, "a widget's touch");
    EXPECT_EQ(model->GetTechnique(), technique);
    EXPECT_EQ(common::Scheduler::Instance().GetEntryCount(), entries);

    EXPECT_TRUE(
        WidgetManipulator::OnGravitySwitchCollision(Contact(star, gravitySwitch), gravitySwitch->GetID()));
    ExpectNear(Gravity(), Vector3(9.8f, 0.0f, 0.0f), 1e-5f, "gravity");
    const QUORB::CCamera* camera = editor.game().GetGameCamera();
    ExpectNear(camera->GetTurnTargetUp(), Vector3(-1.0f, 0.0f, 0.0f), 1e-6f, "the camera's new up");
    EXPECT_FLOAT_EQ(camera->GetTurnSeconds(), 1.0f);
    EXPECT_EQ(model->GetFXFile(), "Glow.fx");
    EXPECT_EQ(model->GetTechnique(), "Glow");
    EXPECT_EQ(common::Scheduler::Instance().GetEntryCount(), entries + 1);

    editor.world->Frames(15);
    EXPECT_TRUE(
        WidgetManipulator::OnGravitySwitchCollision(Contact(star, gravitySwitch), gravitySwitch->GetID()));
    EXPECT_EQ(common::Scheduler::Instance().GetEntryCount(), entries + 1) << "no second restore";
    editor.world->Frames(14); // 29 frames: still inside the second
    EXPECT_EQ(model->GetTechnique(), "Glow");
    editor.world->Frames(3);
    EXPECT_EQ(model->GetFXFile(), effect) << "its own look, not the glow's";
    EXPECT_EQ(model->GetTechnique(), technique);
    EXPECT_EQ(common::Scheduler::Instance().GetEntryCount(), entries);

    editor.world->Console("resetfocusedpuzzle");
    editor.world->Frame();
    ExpectNear(Gravity(), Vector3(0.0f, -9.8f, 0.0f), 1e-5f, "after the reset");
}

// The editor's hover over a glowing switch (physics paused, the glow's restore still due) shows
// the pick highlight but keeps the switch's own names saved: whether the hover leaves before the
// restore runs or after, the switch ends with its own look, not the glow.
TEST(ManipulatorSwitches, HoveringAGlowingSwitchLeavesItWithItsOwnLook)
{
    for (const int hoveredFrames : {3, 40})
    {
        SCOPED_TRACE("hovered for " + std::to_string(hoveredFrames) + " frames");
        Editor editor;
        ASSERT_TRUE(editor.ready);
        Gob* gravitySwitch =
            editor.Place("GravitySwitch", Editor::Front(0.0f, 0.0f), Vector3(1.0f, 1.0f, 1.0f));
        Gob* star = editor.Place("QUORBBall", Editor::Front(5.0f, 5.0f), Vector3(1.0f, 1.0f, 1.0f));
        ASSERT_TRUE(gravitySwitch && star);
        const Vector3 away = Editor::Front(-9.0f, -5.0f);
        editor.world->PointAt(away);
        editor.world->Frames(2);
        dorvo::gfx::GfxModelComp* model = ModelOf(gravitySwitch);
        const std::string effect = model->GetFXFile();
        const std::string technique = model->GetTechnique();
        const std::size_t entries = common::Scheduler::Instance().GetEntryCount();

        ASSERT_TRUE(WidgetManipulator::OnGravitySwitchCollision(Contact(star, gravitySwitch),
                                                                gravitySwitch->GetID()));
        ASSERT_EQ(model->GetTechnique(), "Glow");
        editor.world->PointAt(PositionOf(gravitySwitch));
        editor.world->Frame();
        EXPECT_EQ(editor.manipulator().GetHoverGob(), gravitySwitch);
        EXPECT_EQ(model->GetTechnique(), "PickedEffect") << "highlighted over the glow";
        editor.world->Frames(hoveredFrames - 1);
        editor.world->PointAt(away);
        editor.world->Frames(2);
        EXPECT_EQ(editor.manipulator().GetHoverGob(), nullptr);
        editor.world->Frames(40); // past the glow's second in any case
        EXPECT_EQ(common::Scheduler::Instance().GetEntryCount(), entries) << "the restore ran";
        EXPECT_EQ(model->GetFXFile(), effect);
        EXPECT_EQ(model->GetTechnique(), technique);
    }
}

// The scheduled restore does nothing once the switch is gone.
TEST(ManipulatorSwitches, TheGlowsRestoreLeavesADeletedSwitchAlone)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    Gob* gravitySwitch = editor.Place("GravitySwitch", Editor::Front(0.0f, 0.0f), Vector3(1.0f, 1.0f, 1.0f));
    Gob* star = editor.Place("QUORBBall", Editor::Front(5.0f, 5.0f), Vector3(1.0f, 1.0f, 1.0f));
    ASSERT_TRUE(gravitySwitch && star);
    const std::uint32_t id = gravitySwitch->GetID();
    const std::size_t entries = common::Scheduler::Instance().GetEntryCount();
    EXPECT_TRUE(WidgetManipulator::OnGravitySwitchCollision(Contact(star, gravitySwitch), id));
    editor.manipulator().DeleteGob(gravitySwitch);
    editor.world->Frames(40);
    EXPECT_EQ(GobManager::Instance().GetGob(id), nullptr);
    EXPECT_EQ(common::Scheduler::Instance().GetEntryCount(), entries) << "the restore ran";
}

// A switch whose template has no model still turns gravity; its glow is skipped with a line.
TEST(ManipulatorSwitches, ASwitchWithoutAModelTurnsGravityWithoutAGlow)
{
    gametest::GameTestSetup setup = manipulatortest::RoomSetup();
    setup.files["files/xmlfiles/GravitySwitchTemplate.xml"] =
        "<?xml version=\"1.0\" ?>\n<File><Template><string name=\"TypeName\">GravitySwitchWidget</string>"
        "<string name=\"TemplateName\">Widget</string><list name=\"Components\" size=\"3\">"
        "<string>POVComp</string><string>CollisionComp</string><string>WidgetDataComp</string></list>"
        "<list name=\"Archetypes\" size=\"1\"><pair><string name=\"First\">GravitySwitch</string>"
        "<string name=\"Second\">files/xmlfiles/archetypes/GravitySwitch.xml</string></pair></list>"
        "</Template></File>\n";
    std::string archetype =
        ReadText(testsupport::RepoPath("data/files/xmlfiles/archetypes/GravitySwitch.xml"));
    archetype = std::regex_replace(
        archetype, std::regex("<Component name=\"GfxModelComp\">[\\s\\S]*?</Component>\\s*"), "");
    setup.files["files/xmlfiles/archetypes/GravitySwitch.xml"] = archetype;
    Editor editor(setup);
    ASSERT_TRUE(editor.ready);
    Gob* gravitySwitch = editor.Place("GravitySwitch", Editor::Front(0.0f, 0.0f), Vector3(1.0f, 1.0f, 1.0f));
    Gob* star = editor.Place("QUORBBall", Editor::Front(5.0f, 5.0f), Vector3(1.0f, 1.0f, 1.0f));
    ASSERT_TRUE(gravitySwitch && star);
    ASSERT_EQ(ModelOf(gravitySwitch), nullptr);
    QUORB::WidgetDataComp::Of(gravitySwitch)->AsGravitySwitchData()->direction = Vector3(0.0f, 1.0f, 0.0f);
    const std::size_t entries = common::Scheduler::Instance().GetEntryCount();
    testsupport::LogCapture logged;
    EXPECT_TRUE(
        WidgetManipulator::OnGravitySwitchCollision(Contact(star, gravitySwitch), gravitySwitch->GetID()));
    const std::string lines = logged.Text();
    ExpectNear(Gravity(), Vector3(0.0f, 9.8f, 0.0f), 1e-5f, "gravity");
    EXPECT_NE(lines.find("WidgetManipulator: archetype \"GravitySwitch\": the object has no GfxModelComp"),
              std::string::npos)
        << lines;
    EXPECT_EQ(logged.Lines().size(), 1u) << lines;
    EXPECT_EQ(common::Scheduler::Instance().GetEntryCount(), entries) << "nothing to restore";
}

// The accelerator pushes the star along its long axis with Direction x sign x SpeedSetting x
// mass, storing the axis as its Direction; reversed it pulls; without a focused face nothing.
// Only star objects are pushed.
TEST(ManipulatorSwitches, AnAcceleratorPushesTheStarAlongItsLength)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    math::Quaternion slant;
    slant.SetFromDirections(Vector3(0.6f, 0.8f, 0.0f), Vector3(0.0f, 0.0f, 1.0f));
    Gob* accelerator = WidgetManipulator::Live(editor.manipulator().CreateWidgetAtPos(
        "Accelerator", Editor::Front(0.0f, 0.0f), slant, Vector3(3.0f, 1.0f, 1.0f)));
    Gob* star = editor.Place("QUORBBall", Editor::Front(5.0f, 5.0f), Vector3(1.0f, 1.0f, 1.0f));
    ASSERT_TRUE(accelerator && star);
    QUORB::CAcceleratorData* data = QUORB::WidgetDataComp::Of(accelerator)->AsAcceleratorData();
    ASSERT_NE(data, nullptr);
    data->SetSpeedSetting(24.0f);
    const Vector3 axis = GetPOVComp(accelerator)->GetOrientation().GetXAxis();
    ExpectNear(axis, Vector3(0.6f, 0.8f, 0.0f), 1e-5f, "placed on the slant");
    const struct
    {
        int face;
        bool reversed;
        Vector3 direction;
        float sign;
    } cases[] = {{0, false, axis, 1.0f}, {0, true, axis, -1.0f}, {-1, false, Vector3(), 1.0f}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE("face " + std::to_string(c.face) + (c.reversed ? " reversed" : ""));
        if (c.reversed != (data->GetDirectionSign() < 0.0f))
            data->ReverseDirection();
        editor.game().SetFocusedFace(c.face);
        dorvo::phy::PhysicsComp* body = FreeBody(star, 2.0f, PositionOf(star));
        EXPECT_TRUE(
            WidgetManipulator::OnAcceleratorCollision(Contact(star, accelerator), accelerator->GetID()));
        ExpectNear(data->direction, c.direction, 1e-6f, "Direction");
        ExpectNear(body->force, c.direction * (c.sign * data->GetSpeedSetting() * 2.0f), 1e-4f, "push");
    }
    editor.game().SetFocusedFace(0);
    Gob* platform = editor.Place("Platform", Editor::Front(-5.0f, 5.0f));
    EXPECT_FALSE(
        WidgetManipulator::OnAcceleratorCollision(Contact(platform, accelerator), accelerator->GetID()));
}
