// The screen and world conversions: a world point's screen point, and the rotation and pan a
// cursor drag asks of the camera.
#include "GameTestWorld.h"

#include "common/math/Vector3.h"
#include "engine/gfx/gui/CCursor.h"
#include "game/app/CQUORB.h"
#include "game/camera/CCamera.h"
#include "game/camera/CCameraDrag.h"
#include "game/camera/WorldToScreen.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
math::Vector3 RotationOf(const math::Vector3& previous, bool invertHorizontal, bool invertVertical)
{
    math::Vector3 axis;
    float angle = 0.0f;
    QUORB::GetDragRotation(previous, 0.01f, axis, angle, invertHorizontal, invertVertical);
    return axis.GetNormalized() * angle;
}
} // namespace

TEST(ScreenWorldConversions, TheLookAtPointIsTheViewportsCentre)
{
    gametest::GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    const QUORB::CCamera& camera = *world.Game().GetGameCamera();
    const math::Vector3 centre = QUORB::WorldToScreen(camera.GetLookAt());
    EXPECT_NEAR(centre.x, 400.0f, 0.5f);
    EXPECT_NEAR(centre.y, 300.0f, 0.5f);
    EXPECT_GT(centre.z, 0.0f);
    EXPECT_LT(centre.z, 1.0f);
    // Up in the world is up on the screen (y grows downward).
    EXPECT_LT(QUORB::WorldToScreen(camera.GetLookAt() + math::Vector3(0.0f, 1.0f, 0.0f)).y, centre.y);
}

TEST(ScreenWorldConversions, TheDragsFollowTheCursorAndTheirInversionFlags)
{
    gametest::GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    world.MoveCursor(400, 300);
    const math::Vector3 here = world.Game().GetCursor()->GetScreenPoint();

    // No movement: no pan, no turn.
    math::Vector3 pan(1.0f, 1.0f, 1.0f);
    QUORB::GetDragPan(here, 0.0125f, pan);
    EXPECT_EQ(pan.Length(), 0.0f);
    math::Vector3 axis;
    float angle = 1.0f;
    QUORB::GetDragRotation(here, 0.01f, axis, angle, false, false);
    EXPECT_EQ(angle, 0.0f);

    // Each flag turns its own sense around and leaves the other alone.
    const struct
    {
        int dx;
        int dy;
        bool flipsWithHorizontal;
    } drags[] = {{10, 0, true}, {0, 10, false}};
    for (const auto& drag : drags)
    {
        SCOPED_TRACE(drag.dx != 0 ? "horizontal" : "vertical");
        world.MoveCursor(400 + drag.dx, 300 + drag.dy);
        const math::Vector3 plain = RotationOf(here, false, false);
        ASSERT_GT(plain.Length(), 0.0f);
        const math::Vector3 horizontal = RotationOf(here, true, false);
        const math::Vector3 vertical = RotationOf(here, false, true);
        const math::Vector3 flipped = drag.flipsWithHorizontal ? horizontal : vertical;
        const math::Vector3 kept = drag.flipsWithHorizontal ? vertical : horizontal;
        EXPECT_NEAR((flipped + plain).Length(), 0.0f, 1e-5f) << "turned the other way";
        EXPECT_NEAR((kept - plain).Length(), 0.0f, 1e-5f) << "unchanged";
    }

    // Looking straight down the turn still has a direction and a size.
    QUORB::CCamera& camera = *world.Game().GetGameCamera();
    camera.SetPosition(0.0f, 10.0f, 0.0f);
    camera.SetLookAt(0.0f, 0.0f, 0.0f);
    world.MoveCursor(400, 300);
    world.MoveCursor(405, 310);
    camera.SetPosition(0.0f, 10.0f, 0.0f);
    camera.SetLookAt(0.0f, 0.0f, 0.0f);
    QUORB::GetDragRotation(here, 0.01f, axis, angle, false, false);
    EXPECT_TRUE(std::isfinite(axis.x) && std::isfinite(axis.y) && std::isfinite(axis.z) &&
                std::isfinite(angle));
    EXPECT_GT(axis.Length(), 0.0f);
    EXPECT_NE(angle, 0.0f);
    QUORB::GetDragPan(here, 0.0125f, pan);
    EXPECT_TRUE(std::isfinite(pan.x) && std::isfinite(pan.y) && std::isfinite(pan.z));
}
