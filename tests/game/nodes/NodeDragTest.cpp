// Dragging nodes and whole widgets in the editor: every connection a drag touches stays between
// sqrt(6) and 6 long, held ends stay put, and hard nodes move only while a puzzle is built.
#include "GameTestWorld.h"
#include "NodeFixtures.h"

#include "game/app/CQUORB.h"
#include "game/widgets/IWidgetData.h"
#include "game/widgets/WidgetDataComp.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace nodetest;
using math::Vector3;
using QUORB::ConnectionComp;

namespace
{
constexpr float kTolerance = 1e-4f;

class DragWorld : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(world.Booted());
        world.Frames(2);
        world.Game().SetEditorMode(true);
        world.Game().SetFocusedFace(0);
    }

    // A widget's placement follows its nodes: half way between them, stretched to their distance.
    void ExpectBetweenItsNodes(const Widget& widget) const
    {
        EXPECT_LT(DistanceSquared(At(widget.connection), (At(widget.a) + At(widget.b)) * 0.5f), 1e-8f);
        EXPECT_NEAR(LengthOnFrontFace(widget), Distance(At(widget.a), At(widget.b)), kTolerance);
    }

    gametest::GameTestWorld world;
};

void ExpectNear(const Vector3& actual, const Vector3& expected)
{
    EXPECT_NEAR(actual.x, expected.x, kTolerance);
    EXPECT_NEAR(actual.y, expected.y, kTolerance);
    EXPECT_NEAR(actual.z, expected.z, kTolerance);
}
} // namespace

TEST_F(DragWorld, TheFreeEndOfALoneWidgetStaysWithinTheBoundsTowardsTheCursor)
{
    world.MoveCursor(700, 500);
    Vector3 cursor;
    ASSERT_TRUE(world.Game().GetCursorFacePoint(cursor));
    struct Case
    {
        const char* name;
        Vector3 offset; // from the dragged end B, 4 units right of A
        float distance; // from A afterwards; 0: exactly where the offset puts it
    };
    const Case cases[] = {
        {"10 away: 6 from the other end", Vector3(6.0f, 0.0f, 0.0f), 6.0f},
        {"onto the other end: sqrt(6) from it", Vector3(-4.0f, 0.0f, 0.0f), std::sqrt(6.0f)},
        {"too short on the far side as well", Vector3(-5.0f, 1.0f, 0.0f), std::sqrt(6.0f)},
        {"within the bounds: where it is put", Vector3(1.0f, 1.5f, 0.0f), 0.0f},
    };
    float y = 2.0f;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        y += 3.0f;
        const Vector3 a(-6.0f, y, 20.0f);
        const Widget widget = Join(a, a + Vector3(4.0f, 0.0f, 0.0f));
        ASSERT_TRUE(widget);
        Node(widget.b)->MoveTo(c.offset);
        const Vector3 expected = c.distance > 0.0f ? a + (cursor - a).GetNormalized() * c.distance
                                                   : a + Vector3(4.0f, 0.0f, 0.0f) + c.offset;
        ExpectNear(At(widget.b), expected);
        EXPECT_EQ(At(widget.a), a);
        ExpectBetweenItsNodes(widget);
    }
}

TEST_F(DragWorld, ANodeJoiningTwoWidgetsIsCarriedFurtherOrStaysToKeepBothWithinTheBounds)
{
    // The node X ends one widget running 4 to the left and, through its member, another running 3
    // down.
    struct Case
    {
        const char* name;
        Vector3 offset;
        float fraction; // of the offset that X moves
    };
    const Case cases[] = {
        {"both within the bounds: the whole offset", Vector3(0.5f, 0.5f, 0.0f), 1.0f},
        {"the left one too long: refused", Vector3(3.0f, 0.0f, 0.0f), 0.0f},
        {"the lower one too short: half as far again", Vector3(-1.0f, -3.5f, 0.0f), 1.5f},
        {"the lower one too short until 1.875 times", Vector3(-1.0f, -2.5f, 0.0f), 1.875f},
        {"too short at every probe up to 1.96875 times: stays", Vector3(0.0f, -2.0f, 0.0f), 0.0f},
    };
    float y = 0.0f;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        y += 10.0f;
        const Vector3 x(0.0f, y, 20.0f);
        const Widget left = Join(x + Vector3(-4.0f, 0.0f, 0.0f), x);
        const Widget down = Join(x, x + Vector3(0.0f, -3.0f, 0.0f));
        ASSERT_TRUE(left && down);
        Node(down.a)->SnapToNearestNode();
        ASSERT_EQ(Node(down.a)->GetMasterID(), left.b->GetID());

        Node(left.b)->MoveTo(c.offset);
        const Vector3 expected = x + c.offset * c.fraction;
        ExpectNear(At(left.b), expected);
        ExpectNear(At(down.a), expected);
        ExpectBetweenItsNodes(left);
        ExpectBetweenItsNodes(down);
    }
}

TEST_F(DragWorld, AWholeWidgetMovesFreelyTurnsAboutAHeldEndOrStays)
{
    const Vector3 offset(0.0f, 1.5f, 0.0f);
    struct Case
    {
        const char* name;
        const char* heldA; // "" free, "HardNode" held by a hard node, "Locked" by a locked widget's node
        const char* heldB;
    };
    const Case cases[] = {
        {"nothing joined: moves whole", "", ""},
        {"A on a hard node: turns about A", "HardNode", ""},
        {"B on a locked widget: turns about B", "", "Locked"},
        {"both held: stays", "HardNode", "HardNode"},
    };
    float y = 0.0f;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        y += 10.0f;
        const Vector3 a(-6.0f, y, 20.0f);
        const Vector3 b = a + Vector3(4.0f, 0.0f, 0.0f);
        const Widget widget = Join(a, b);
        ASSERT_TRUE(widget);
        auto hold = [](const char* how, Gob* end)
        {
            const std::string kind = how;
            if (kind.empty())
                return;
            if (kind == "HardNode")
                NodeAt("HardNode", At(end));
            else
            {
                const Widget locked = Join(At(end), At(end) + Vector3(0.0f, -4.0f, 0.0f));
                QUORB::WidgetDataComp::Of(locked.connection)->GetData()->SetModifiable(false);
            }
            Node(end)->SnapToNearestNode();
            ASSERT_NE(Node(end)->GetMasterID(), 0u);
        };
        hold(c.heldA, widget.a);
        hold(c.heldB, widget.b);

        ConnectionComp::Of(widget.connection)->MoveBy(offset);
        const bool freeA = std::string(c.heldA).empty();
        const bool freeB = std::string(c.heldB).empty();
        // With one end held the free one moves by the offset: the widget stays within the bounds.
        ExpectNear(At(widget.a), freeA ? a + offset : a);
        ExpectNear(At(widget.b), freeB ? b + offset : b);
        ExpectBetweenItsNodes(widget);
        if (freeA != freeB)
        {
            const Vector3 along = (At(widget.b) - At(widget.a)).GetNormalized();
            ExpectNear(GetPOVComp(widget.connection)->GetOrientation().GetXAxis(), along);
        }
    }
}

TEST_F(DragWorld, AWidgetJoinedToAnotherMovesWithoutItsOwnLengthTested)
{
    // W runs 4 right from A to B; at B another widget V hangs 4 down. Dragging W 3 along itself
    // changes only V's length (to 5): W's own ends move together.
    const Vector3 a(-6.0f, 8.0f, 20.0f);
    const Vector3 b = a + Vector3(4.0f, 0.0f, 0.0f);
    const Widget w = Join(a, b);
    const Widget v = Join(b, b + Vector3(0.0f, -4.0f, 0.0f));
    ASSERT_TRUE(w && v);
    Node(v.a)->SnapToNearestNode();
    ASSERT_EQ(Node(v.a)->GetMasterID(), w.b->GetID());

    const Vector3 offset(3.0f, 0.0f, 0.0f);
    ConnectionComp::Of(w.connection)->MoveBy(offset);
    ExpectNear(At(w.a), a + offset);
    ExpectNear(At(w.b), b + offset);
    ExpectNear(At(v.a), b + offset);
    EXPECT_NEAR(LengthOnFrontFace(w), 4.0f, kTolerance);
    EXPECT_NEAR(Distance(At(v.a), At(v.b)), 5.0f, kTolerance);

    // Dragged so far that V would pass 6: nothing moves.
    ConnectionComp::Of(w.connection)->MoveBy(Vector3(3.0f, 0.0f, 0.0f));
    ExpectNear(At(w.a), a + offset);
    ExpectNear(At(w.b), b + offset);
}

TEST_F(DragWorld, AHardNodeMovesOnlyWhileAPuzzleIsBuilt)
{
    const Vector3 here(-6.0f, 8.0f, 20.0f);
    Gob* hard = NodeAt("HardNode", here);
    Gob* loneHard = NodeAt("HardNode", here + Vector3(0.0f, 10.0f, 0.0f));
    const Widget widget = Join(here, here + Vector3(4.0f, 0.0f, 0.0f));
    ASSERT_TRUE(hard && loneHard && widget);
    Node(hard)->SnapToNearestNode();
    ASSERT_EQ(Node(widget.a)->GetMasterID(), hard->GetID());

    const Vector3 offset(0.0f, 2.0f, 0.0f);
    ASSERT_FALSE(world.Game().IsCreatePuzzleMode());
    Node(hard)->MoveTo(offset);
    Node(loneHard)->MoveTo(offset);
    EXPECT_EQ(At(hard), here);
    EXPECT_EQ(At(loneHard), here + Vector3(0.0f, 10.0f, 0.0f));
    EXPECT_EQ(At(widget.a), here);

    world.Game().SetCreatePuzzleMode(true);
    Node(loneHard)->MoveTo(offset);
    ExpectNear(At(loneHard), here + Vector3(0.0f, 12.0f, 0.0f));
    Node(hard)->MoveTo(offset);
    ExpectNear(At(hard), here + offset);
    ExpectNear(At(widget.a), here + offset); // its members come along
    ExpectBetweenItsNodes(widget);
    world.Game().SetCreatePuzzleMode(false);
}
