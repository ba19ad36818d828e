// Creating with the mouse: a click on the focused face places the chosen widget or star object
// against the budget, and the create operations place their objects as the face asks.
#include "ManipulatorFixture.h"

#include "TestSupport.h"

#include "common/math/MathUtil.h"
#include "game/ConnectionComp.h"
#include "game/NodeDataComp.h"

#include <gtest/gtest.h>

#include <cmath>

using manipulatortest::Editor;
using manipulatortest::PositionOf;

namespace
{
void ExpectNear(const math::Vector3& actual, const math::Vector3& expected, float tolerance, const char* what)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what;
}
} // namespace

TEST(ManipulatorCreate, AClickOnTheFrontFacePlacesAPlatformStandingUpFromThePressPoint)
{
    Editor editor;
    ASSERT_TRUE(editor.ready);
    editor.puzzle().SetBudgetLeft(5);
    editor.Choose("Platform");
    editor.world->PressAt(Editor::Front(1.0f, 0.0f));
    EXPECT_EQ(editor.state(), QUORB::ManipulatorLogic::STATE_Creating);
    editor.world->LeftUp();
    EXPECT_EQ(editor.state(), QUORB::ManipulatorLogic::STATE_Idle);

    const math::Vector3 p = editor.manipulator().GetPressFacePoint();
    EXPECT_NEAR(p.z, 20.0f, 1e-3f);
    ASSERT_EQ(editor.Widgets().size(), 1u);
    Gob* platform = editor.Widgets()[0];
    EXPECT_EQ(platform->GetArchetypeName(), "Platform");
    const float length = std::sqrt(6.0f);
    ExpectNear(PositionOf(platform), p + math::Vector3(0.0f, 0.5f * length, 0.0f), 1e-4f, "centre");
    EXPECT_NEAR(GetPOVComp(platform)->GetScale().x, length, 1e-5f);
    const QUORB::ConnectionComp* connection = QUORB::ConnectionComp::Of(platform);
    ASSERT_NE(connection, nullptr);
    ExpectNear(PositionOf(connection->GetNodeA()), p, 1e-4f, "node A");
    ExpectNear(PositionOf(connection->GetNodeB()), p + math::Vector3(0.0f, length, 0.0f), 1e-4f, "node B");
    EXPECT_EQ(editor.puzzle().GetBudgetLeft(), 4);
    EXPECT_EQ(editor.manipulator().GetSelectedGob(), platform);
}
