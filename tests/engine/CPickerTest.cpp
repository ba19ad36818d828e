#include "engine/CPicker.h"

#include "PickerTestWorld.h"
#include "common/InputEvent.h"
#include "common/SOctNode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

using dorvo::CPicker;
using math::Vector3;

namespace
{
const dorvo::CDorvoCamera* g_viewCamera = nullptr;

// Stands in for graphics: the test camera's matrices on an 800 x 600 viewport, depth 0..1.
bool UnprojectWithTestCamera(const Vector3& screen, Vector3& world)
{
    if (!g_viewCamera)
        return false;
    math::Matrix4 view;
    math::Matrix4 projection;
    g_viewCamera->ComputeViewMatrix(view);
    g_viewCamera->ComputeProjectionMatrix(projection);
    world = math::Unproject(screen, 0.0f, 0.0f, pickertest::kScreenWidth, pickertest::kScreenHeight, 0.0f,
                            1.0f, projection, view, math::Matrix4());
    return true;
}

void ExpectVector(const Vector3& v, float x, float y, float z, float tol = 1e-4f)
{
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

bool IsNowhere(const Vector3& v)
{
    return std::isinf(v.x) && std::isinf(v.y) && std::isinf(v.z) && v.x > 0 && v.y > 0 && v.z > 0;
}

class CPickerTest : public pickertest::PickerWorld
{
protected:
    void SetUp() override
    {
        PickerWorld::SetUp();
        g_viewCamera = &camera;
        CPicker::SetUnprojectHook(&UnprojectWithTestCamera);
        picker.SetEnabled(true);
    }
    void TearDown() override
    {
        CPicker::SetUnprojectHook(nullptr);
        g_viewCamera = nullptr;
        PickerWorld::TearDown();
    }

    const Vector3 centre{pickertest::kScreenWidth / 2, pickertest::kScreenHeight / 2, 0.0f};
    CPicker picker;
};
} // namespace

TEST(CPicker, StartsDisabledWithNothingPicked)
{
    const CPicker picker;
    EXPECT_FALSE(picker.IsEnabled());
    EXPECT_EQ(picker.GetPickedID(), 0u);
    EXPECT_EQ(picker.GetPreviousPickedID(), 0u);
    EXPECT_TRUE(IsNowhere(picker.GetPickPoint()));
    EXPECT_TRUE(picker.GetCandidateNodes().empty());
}

TEST_F(CPickerTest, RayRunsFromTheEyeThroughThePixel)
{
    ASSERT_TRUE(picker.BuildRay(centre));
    ExpectVector(picker.GetRay().origin, 0, 0, -10);
    ExpectVector(picker.GetRay().direction, 0, 0, 1);

    // The top-left pixel of a 90 degree view: one unit up and an aspect's width to the left
    // for every unit ahead.
    ASSERT_TRUE(picker.BuildRay(Vector3(0.0f, 0.0f, 0.0f)));
    const Vector3 expected = Vector3(-4.0f / 3.0f, 1.0f, 1.0f).GetNormalized();
    ExpectVector(picker.GetRay().direction, expected.x, expected.y, expected.z);
    EXPECT_NEAR(picker.GetRay().direction.Length(), 1.0f, 1e-6f);
}

TEST_F(CPickerTest, RayStartsAtTheEyeTheViewIsBuiltFrom)
{
    // Looking straight down onto the floor: the pole up vector must not upset the ray.
    camera.SetPosition(2.0f, 20.0f, 3.0f);
    camera.SetLookAt(2.0f, 0.0f, 3.0f);
    ASSERT_TRUE(picker.BuildRay(centre));
    ExpectVector(picker.GetRay().origin, 2, 20, 3);
    ExpectVector(picker.GetRay().direction, 0, -1, 0);
}

TEST_F(CPickerTest, PicksTheSphereAtTheScreenCentre)
{
    const Gob* ball = AddSphere(Vector3(0, 0, 0), 1.0f);
    EXPECT_TRUE(picker.Pick(centre, false));
    EXPECT_EQ(picker.GetPickedID(), ball->GetID());
    EXPECT_EQ(picker.GetPreviousPickedID(), 0u);
    ExpectVector(picker.GetPickPoint(), 0, 0, -1);
    ASSERT_FALSE(picker.GetCandidateNodes().empty());
    EXPECT_EQ(picker.GetCandidateNodes().front(), common::COctTree::Global().GetRoot());
}

TEST_F(CPickerTest, PicksAnOffCentreObjectAtItsPixel)
{
    const Gob* left = AddSphere(Vector3(-4, 2, 0), 0.5f);
    const Gob* right = AddSphere(Vector3(4, -2, 0), 0.5f);
    EXPECT_TRUE(picker.Pick(ScreenPointOf(Vector3(4, -2, 0)), false));
    EXPECT_EQ(picker.GetPickedID(), right->GetID());
    EXPECT_TRUE(picker.Pick(ScreenPointOf(Vector3(-4, 2, 0)), false));
    EXPECT_EQ(picker.GetPickedID(), left->GetID());
    EXPECT_EQ(picker.GetPreviousPickedID(), right->GetID());
    // Nothing lies at the centre between them.
    EXPECT_FALSE(picker.Pick(centre, false));
}

TEST_F(CPickerTest, MissKeepsThePickedIdAndLosesThePoint)
{
    const Gob* ball = AddSphere(Vector3(0, 0, 0), 1.0f);
    ASSERT_TRUE(picker.Pick(centre, false));
    EXPECT_FALSE(picker.Pick(Vector3(10.0f, 10.0f, 0.0f), false));
    EXPECT_EQ(picker.GetPickedID(), ball->GetID());
    EXPECT_EQ(picker.GetPreviousPickedID(), ball->GetID());
    EXPECT_TRUE(IsNowhere(picker.GetPickPoint()));
}

TEST_F(CPickerTest, NearerOfOverlappingObjectsWins)
{
    struct Case
    {
        const char* name;
        bool nearFirst; // creation order, so the result cannot come from filing order
    };
    for (const Case& c : {Case{"near made first", true}, Case{"far made first", false}})
    {
        SCOPED_TRACE(c.name);
        GobManager::Instance().DestroyAllGobs();
        const Gob* nearBall = nullptr;
        const Gob* farBall = nullptr;
        if (c.nearFirst)
        {
            nearBall = AddSphere(Vector3(0, 0, 0), 1.0f);
            farBall = AddSphere(Vector3(0, 0, 1.5f), 2.0f);
        }
        else
        {
            farBall = AddSphere(Vector3(0, 0, 1.5f), 2.0f);
            nearBall = AddSphere(Vector3(0, 0, 0), 1.0f);
        }
        ASSERT_TRUE(picker.Pick(centre, false));
        EXPECT_EQ(picker.GetPickedID(), nearBall->GetID());
        EXPECT_NE(picker.GetPickedID(), farBall->GetID());
        ExpectVector(picker.GetPickPoint(), 0, 0, -1);
    }
}

TEST_F(CPickerTest, BoxesArePickedByTheirBoxAndOtherTypesNotAtAll)
{
    // A wall of an unpickable type stands in front of a box, which stands in front of a ball.
    AddBox(Vector3(0, 0, -5), Vector3(3, 3, 0.1f), 2);
    const Gob* box = AddBox(Vector3(0, 0, 0), Vector3(1, 1, 1));
    AddSphere(Vector3(0, 0, 4), 1.0f);
    ASSERT_TRUE(picker.Pick(centre, false));
    EXPECT_EQ(picker.GetPickedID(), box->GetID());
    ExpectVector(picker.GetPickPoint(), 0, 0, -1);
}

TEST_F(CPickerTest, GathersOnlyNodesTheRayCrosses)
{
    ASSERT_TRUE(picker.BuildRay(ScreenPointOf(Vector3(30, 20, 0))));
    picker.GatherOctreeNodes(common::COctTree::Global().GetRoot());
    const auto& nodes = picker.GetCandidateNodes();
    ASSERT_FALSE(nodes.empty());
    // Fewer than all 4,681 nodes, every one crossed, and every parent before its children.
    EXPECT_LT(nodes.size(), 4681u);
    for (std::size_t i = 0; i < nodes.size(); ++i)
    {
        float t = 0.0f;
        EXPECT_TRUE(picker.GetRay().IntersectAABB(nodes[i]->m_Box, t)) << i;
        if (nodes[i]->m_pParent)
        {
            const auto parent = std::find(nodes.begin(), nodes.begin() + i, nodes[i]->m_pParent);
            EXPECT_NE(parent, nodes.begin() + i) << i;
        }
    }
    // A null node adds nothing.
    const std::size_t before = nodes.size();
    picker.GatherOctreeNodes(nullptr);
    EXPECT_EQ(picker.GetCandidateNodes().size(), before);
}

TEST_F(CPickerTest, RayMissingTheWorldGathersNothing)
{
    camera.SetPosition(0.0f, 1000.0f, 0.0f);
    camera.SetLookAt(0.0f, 2000.0f, 0.0f);
    const Gob* ball = AddSphere(Vector3(0, 0, 0), 1.0f);
    (void)ball;
    EXPECT_FALSE(picker.Pick(centre, false));
    EXPECT_TRUE(picker.GetCandidateNodes().empty());
}

TEST_F(CPickerTest, DisabledPickerPicksNothing)
{
    AddSphere(Vector3(0, 0, 0), 1.0f);
    EXPECT_FALSE(picker.SetEnabled(false));
    EXPECT_FALSE(picker.Pick(centre, false));
    EXPECT_EQ(picker.GetPickedID(), 0u);
    EXPECT_TRUE(IsNowhere(picker.GetPickPoint()));
    EXPECT_TRUE(picker.GetCandidateNodes().empty());
    dorvo::input::InputEvent click;
    click.code = dorvo::input::MOUSE_BUTTON_0;
    click.value = 1;
    EXPECT_FALSE(picker.OnInputEvent(click));
    EXPECT_EQ(picker.GetPickedID(), 0u);
}

TEST_F(CPickerTest, WithoutCameraOrGraphicsNothingIsPicked)
{
    const Gob* ball = AddSphere(Vector3(0, 0, 0), 1.0f);
    ASSERT_TRUE(picker.Pick(centre, false));

    struct Case
    {
        const char* name;
        bool camera;
        bool graphics;
    };
    for (const Case& c : {Case{"no camera", false, true}, Case{"no graphics", true, false}})
    {
        SCOPED_TRACE(c.name);
        app->Game()->camera = c.camera ? &camera : nullptr;
        CPicker::SetUnprojectHook(c.graphics ? &UnprojectWithTestCamera : nullptr);
        EXPECT_FALSE(picker.BuildRay(Vector3(0.0f, 0.0f, 0.0f)));
        ExpectVector(picker.GetRay().direction, 0, 0, 1); // the last ray stays
        EXPECT_FALSE(picker.Pick(centre, false));
        EXPECT_EQ(picker.GetPickedID(), ball->GetID());
        EXPECT_TRUE(IsNowhere(picker.GetPickPoint()));
    }
}

TEST_F(CPickerTest, ClickWithoutCursorPicksNothing)
{
    AddSphere(Vector3(0, 0, 0), 1.0f);
    dorvo::input::InputEvent click;
    click.code = dorvo::input::MOUSE_BUTTON_0;
    click.value = 1;
    EXPECT_FALSE(picker.OnInputEvent(click));
    EXPECT_EQ(picker.GetPickedID(), 0u);
}
