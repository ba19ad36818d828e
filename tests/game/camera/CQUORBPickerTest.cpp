// The game picker: the nearest object along the ray through a screen point, tested against its
// bounding volume and then its model's triangles; water, construction quads, hidden models and
// nothing at all; a disabled picker.
#include "ManipulatorFixture.h"

#include "common/InputEvent.h"
#include "engine/CDorvoApp.h"
#include "engine/CDorvoCamera.h"
#include "engine/gfx/mesh/GfxModelComp.h"
#include "game/camera/CQUORBPicker.h"
#include "game/camera/WorldToScreen.h"
#include "game/room/FindComp.h"

#include <gtest/gtest.h>

#include <cmath>

using manipulatortest::Editor;
using manipulatortest::PositionOf;

namespace
{
QUORB::CQUORBPicker& Picker()
{
    return *dynamic_cast<QUORB::CQUORBPicker*>(g_pApp->GetPicker());
}

// The picked id at the screen point of a world point.
std::uint32_t PickAt(const math::Vector3& world, bool boundsOnly = false)
{
    Picker().Pick(QUORB::WorldToScreen(world), boundsOnly);
    return Picker().GetPickedID();
}

Gob* Make(const char* archetype, const math::Vector3& at)
{
    return GobManager::Instance().CreateGobAtPos(archetype, at, true);
}

void Hide(Gob* gob)
{
    QUORB::FindComp<dorvo::gfx::GfxModelComp>(gob)->SetVisible(false);
}
} // namespace

TEST(GamePicker, TheNearestHitWinsAndEqualDistancesKeepTheFirstTested)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    ASSERT_NE(dynamic_cast<QUORB::CQUORBPicker*>(g_pApp->GetPicker()), nullptr);
    // Two boxes on one line of sight, the farther made first.
    const math::Vector3 eye = editor.game().GetCamera()->GetEyePosition();
    const math::Vector3 at = Editor::Front(2.0f, 3.0f);
    const math::Vector3 toward = (at - eye).GetNormalized();
    Gob* far = Make("QUORBBox", at);
    Gob* near = Make("QUORBBox", at - toward * 3.0f);
    ASSERT_TRUE(far && near);
    EXPECT_EQ(PickAt(at), near->GetID());
    const math::Vector3 hit = Picker().GetPickPoint();
    EXPECT_LT((hit - eye).Length(), (PositionOf(near) - eye).Length()) << "the near box's front";

    // Two boxes in one place: the one tested first (the lower id) stays.
    Gob* first = Make("QUORBBox", Editor::Front(-4.0f, 3.0f));
    Gob* second = Make("QUORBBox", Editor::Front(-4.0f, 3.0f));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(PickAt(Editor::Front(-4.0f, 3.0f)), first->GetID());
}

// Past the bounding volume the model decides: a gravity switch is a round puck, so a ray through
// a corner of its box crosses none of its triangles and picks it only when bounds are enough. A
// magnet picks by its whole outline, the box of its horseshoe turned with it: between its arms
// as on its bend, and not beside it.
TEST(GamePicker, TrianglesDecideUnlessBoundsAreEnoughAndAMagnetPicksByItsOutline)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    Gob* puck = Make("GravitySwitch", Editor::Front(-4.0f, 3.0f));
    ASSERT_NE(puck, nullptr);
    const math::Vector3 corner = PositionOf(puck) + math::Vector3(0.45f, 0.45f, 0.0f);
    EXPECT_NE(PickAt(corner), puck->GetID()) << "the triangles are missed";
    EXPECT_EQ(PickAt(corner, true), puck->GetID()) << "the box is hit";

    Gob* magnet = Make("Magnet", Editor::Front(0.0f, 3.0f));
    ASSERT_NE(magnet, nullptr);
    math::Quaternion turn;
    turn.SetFromAxisAngle(math::Vector3(0.0f, 0.0f, 1.0f), 0.7853982f);
    GetPOVComp(magnet)->SetOrientation(turn, true);
    const math::Vector3 at = PositionOf(magnet);
    const struct
    {
        const char* where;
        math::Vector3 offset; // in the magnet's own frame; each miss lies within its box in the world
        bool picked;
    } cases[] = {
        {"between its arms", {0.3f, 0.0f, 0.0f}, true},
        {"the middle of the bend's inside", {0.0f, 0.0f, 0.0f}, true},
        {"its bend", {-0.35f, 0.0f, 0.0f}, true},
        {"an arm's tip", {0.45f, 0.4f, 0.0f}, true},
        {"past the arms' ends", {0.75f, 0.0f, 0.0f}, false},
        {"beside an arm", {0.0f, 0.75f, 0.0f}, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.where);
        const math::Vector3 point = at + turn.Rotate(c.offset);
        EXPECT_EQ(PickAt(point) == magnet->GetID(), c.picked);
    }
}

// Nothing under the cursor but the room's shell: with the shell hidden, the id is 0 and the
// previous id keeps the earlier pick. Water, the construction quads and hidden models never
// count.
TEST(GamePicker, WaterQuadsAndHiddenModelsAreNeverPickedAndNothingGivesZero)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    Gob* box = Make("QUORBBox", Editor::Front(3.0f, 3.0f));
    Gob* hidden = Make("QUORBBox", Editor::Front(-3.0f, 3.0f));
    ASSERT_TRUE(box && hidden);
    Hide(hidden);
    Gob* room = GobManager::Instance().GetGob(editor.game().GetRoomGobID());
    ASSERT_NE(room, nullptr);
    EXPECT_EQ(PickAt(Editor::Front(-7.0f, 3.0f)), room->GetID()) << "the shell is there behind everything";
    // The shell hidden and the room's six bounding planes (objects without a model, so picked by
    // their bounds) gone: nothing else lies behind the face.
    Hide(room);
    for (const char* plane :
         {"PlaneBottom", "PlaneTop", "PlaneLeft", "PlaneRight", "PlaneBack", "PlaneFront"})
        for (Gob* gob : Editor::OfArchetype(plane))
            GobManager::Instance().KillGob(gob);
    editor.world->Frame();

    ASSERT_EQ(PickAt(PositionOf(box)), box->GetID());
    EXPECT_FALSE(Picker().Pick(QUORB::WorldToScreen(PositionOf(hidden)), false));
    EXPECT_EQ(Picker().GetPickedID(), 0u) << "hidden";
    EXPECT_EQ(Picker().GetPreviousPickedID(), box->GetID());
    EXPECT_TRUE(std::isinf(Picker().GetPickPoint().x));

    // The front face's construction quad, and the water below the face's middle.
    const float water = editor.game().GetWaterLevel();
    for (const math::Vector3& at : {Editor::Front(-7.0f, 3.0f), Editor::Front(0.0f, water - 1.0f)})
    {
        EXPECT_EQ(PickAt(at), 0u);
        EXPECT_EQ(PickAt(at, true), 0u) << "not even by their bounds";
    }
}

TEST(GamePicker, ADisabledPickerChangesNothing)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    Gob* box = Make("QUORBBox", Editor::Front(3.0f, 3.0f));
    ASSERT_EQ(PickAt(PositionOf(box)), box->GetID());
    const math::Vector3 point = Picker().GetPickPoint();
    const std::uint32_t previous = Picker().GetPreviousPickedID();
    Picker().SetEnabled(false);
    EXPECT_FALSE(Picker().Pick(QUORB::WorldToScreen(Editor::Front(-8.0f, -4.0f)), false));
    EXPECT_EQ(Picker().GetPickedID(), box->GetID());
    EXPECT_EQ(Picker().GetPreviousPickedID(), previous);
    EXPECT_EQ(Picker().GetPickPoint().x, point.x);
    EXPECT_FALSE(Picker().OnInputEvent(dorvo::input::InputEvent{}));
}
