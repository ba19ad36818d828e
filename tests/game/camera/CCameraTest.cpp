// The game camera in the running game: face tracking (the room's face position, the focused face
// and the two puzzle menus), the idle orbit, the menus closed through a look-at glide, the up
// turn with and without the water, and the debug camera behind its switch.
#include "GameTestWorld.h"

#include "LogCapture.h"
#include "common/InputEvent.h"
#include "common/math/Matrix4.h"
#include "common/math/Plane.h"
#include "common/math/Vector3.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/gfx/water/CWaterManager.h"
#include "game/app/CQUORB.h"
#include "game/camera/CCamera.h"
#include "game/room/CRoom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace
{
constexpr const char* kLookAtMenu = "PuzzleLookAtMenu";
constexpr const char* kInfoMenu = "PuzzleInfoMenu";

// The messages a menu received, by name, in order.
std::vector<MessageName> Received(const gametest::GameTestWorld& world, const char* menu)
{
    std::vector<MessageName> names;
    if (const QUORB::PlaceholderMenu* placeholder = world.Menu(menu))
        for (const auto& received : placeholder->GetReceived())
            names.push_back(received.name);
    return names;
}

void ClearReceived(const gametest::GameTestWorld& world)
{
    for (const char* menu : {kLookAtMenu, kInfoMenu})
        if (QUORB::PlaceholderMenu* placeholder = world.Menu(menu))
            placeholder->ClearReceived();
}

void ExpectNear(const math::Vector3& actual, const math::Vector3& expected, float tolerance,
                const std::string& what)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what;
}

dorvo::input::InputEvent Event(std::uint32_t code, std::int32_t value)
{
    dorvo::input::InputEvent event;
    event.code = code;
    event.value = value;
    return event;
}
} // namespace

TEST(GameCamera, TheStartUpViewFocusesTheFrontFaceAndOpensTheMenusOnce)
{
    gametest::GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    QUORB::CQUORB& game = world.Game();
    QUORB::CCamera& camera = *game.GetGameCamera();
    ASSERT_NE(game.GetRoom(), nullptr);

    const math::Vector3 d = (camera.GetLookAt() - camera.GetEyePosition()).GetNormalized();
    EXPECT_NEAR(d.z, 0.99504f, 1e-5f) << "eye (0, 2, 0) to (0, 0, 20): just inside the on-face cone";
    EXPECT_EQ(game.GetRoom()->GetFacePosition(), 0.0f);
    EXPECT_EQ(game.GetFocusedFace(), 0);
    EXPECT_TRUE(camera.AreMenusShown());
    EXPECT_EQ(camera.GetFacesInView(), 1);
    EXPECT_EQ(Received(world, kLookAtMenu), std::vector<MessageName>({MSG_OpenMenu}));
    EXPECT_EQ(Received(world, kInfoMenu), std::vector<MessageName>({MSG_OpenMenu, MSG_ResetMenu}));

    world.Frames(10);
    EXPECT_EQ(world.MessageCount(kLookAtMenu, MSG_OpenMenu), 1u) << "once, not every frame";
    EXPECT_EQ(world.MessageCount(kInfoMenu, MSG_OpenMenu), 1u);
}

TEST(GameCamera, TheViewDirectionDrivesFacePositionFocusAndMenus)
{
    gametest::GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    QUORB::CQUORB& game = world.Game();
    QUORB::CCamera& camera = *game.GetGameCamera();
    QUORB::CRoom& room = *game.GetRoom();

    struct Case
    {
        const char* name;
        math::Vector3 lookAt; // the eye stays at (0, 2, 0)
        float facePosition;
        int focus; // -1: the focus stays where it was
    };
    const Case cases[] = {
        {"straight at the back", math::Vector3(0.0f, 2.0f, -20.0f), 2.0f, 2},
        {"halfway front to right", math::Vector3(10.0f, 2.0f, 10.0f), 0.5f, -1},
        {"straight right", math::Vector3(20.0f, 2.0f, 0.0f), 1.0f, 1},
        {"halfway back to left", math::Vector3(-10.0f, 2.0f, -10.0f), 2.5f, -1},
        {"20 degrees off the left", math::Vector3(-20.0f, 2.0f, 7.28f), 3.5f, 3},
        {"halfway left to front", math::Vector3(-10.0f, 2.0f, 10.0f), 3.5f, -1},
        {"10 degrees off the front", math::Vector3(-3.53f, 2.0f, 20.0f), 3.5f, 0},
        {"3 degrees off the front", math::Vector3(1.05f, 2.0f, 20.0f), 0.0f, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const int focusBefore = game.GetFocusedFace();
        const bool shownBefore = camera.AreMenusShown();
        ClearReceived(world);
        camera.SetLookAt(c.lookAt);
        world.Frame();
        EXPECT_FLOAT_EQ(room.GetFacePosition(), c.facePosition);
        if (c.focus >= 0)
        {
            EXPECT_EQ(game.GetFocusedFace(), c.focus);
            EXPECT_TRUE(camera.AreMenusShown());
            const std::vector<MessageName> opened =
                shownBefore ? std::vector<MessageName>() : std::vector<MessageName>({MSG_OpenMenu});
            EXPECT_EQ(Received(world, kLookAtMenu), opened) << "opened only when they were not shown";
        }
        else
        {
            EXPECT_EQ(game.GetFocusedFace(), focusBefore) << "45 degrees is outside the focus cone";
            EXPECT_FALSE(camera.AreMenusShown());
            EXPECT_EQ(camera.GetFacesInView(), 0);
            const std::vector<MessageName> closed =
                shownBefore ? std::vector<MessageName>({MSG_CloseMenu}) : std::vector<MessageName>();
            EXPECT_EQ(Received(world, kLookAtMenu), closed);
            EXPECT_EQ(Received(world, kInfoMenu), closed);
        }
    }
}

TEST(GameCamera, InCreatePuzzleModeOnlyTheLookAtMenuIsTold)
{
    gametest::GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    QUORB::CQUORB& game = world.Game();
    QUORB::CCamera& camera = *game.GetGameCamera();
    game.SetCreatePuzzleMode(true);
    ClearReceived(world);

    camera.SetLookAt(math::Vector3(10.0f, 2.0f, 10.0f));
    world.Frame();
    camera.SetLookAt(math::Vector3(0.0f, 2.0f, -20.0f));
    world.Frame();
    EXPECT_EQ(Received(world, kLookAtMenu), std::vector<MessageName>({MSG_CloseMenu, MSG_OpenMenu}));
    EXPECT_TRUE(Received(world, kInfoMenu).empty());

    // A glide closes only the look-at menu as well.
    ClearReceived(world);
    game.GetRoom()->FocusFace(1);
    world.Frames(3);
    EXPECT_EQ(Received(world, kLookAtMenu).size(), 3u);
    EXPECT_TRUE(Received(world, kInfoMenu).empty());
}

TEST(GameCamera, TheOrbitCirclesAtSevenDegreesASecondAndFocusesNothing)
{
    gametest::GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    QUORB::CQUORB& game = world.Game();
    QUORB::CCamera& camera = *game.GetGameCamera();
    game.SetFocusedFace(2);
    ClearReceived(world);

    QUORB::CCamera::SetOrbitAngle(0.0f);
    game.SetCameraFlags(QUORB::CCamera::kOrbitFlag);
    world.Frames(30);
    EXPECT_NEAR(QUORB::CCamera::GetOrbitAngle(), 7.0f, 0.01f) << "one second";
    const float a = QUORB::CCamera::GetOrbitAngle() * 3.14159265f / 180.0f;
    ExpectNear(camera.GetLookAt(), math::Vector3(20.0f * std::sin(a), 0.0f, 20.0f * std::cos(a)), 1e-3f,
               "the orbit's look-at turned about y");
    EXPECT_EQ(game.GetFocusedFace(), 2) << "the front face in view is not focused";
    EXPECT_EQ(game.GetRoom()->GetFacePosition(), 0.5f) << "the face position still follows: 7 degrees right";
    EXPECT_EQ(Received(world, kLookAtMenu), std::vector<MessageName>({MSG_CloseMenu}));
    EXPECT_EQ(Received(world, kInfoMenu), std::vector<MessageName>({MSG_CloseMenu}));

    // The angle wraps past 360.
    QUORB::CCamera::SetOrbitAngle(359.9f);
    world.Frame();
    EXPECT_NEAR(QUORB::CCamera::GetOrbitAngle(), 359.9f + 7.0f / 30.0f - 360.0f, 1e-3f);

    game.ClearCameraFlags(QUORB::CCamera::kOrbitFlag);
    camera.SetLookAt(math::Vector3(0.0f, 2.0f, 20.0f));
    world.Frame();
    EXPECT_EQ(game.GetFocusedFace(), 0) << "focus comes back with the orbit off";
    EXPECT_EQ(world.MessageCount(kLookAtMenu, MSG_OpenMenu), 1u);
}

TEST(GameCamera, WhileALookAtGlideRunsTheMenusCloseEveryFrame)
{
    gametest::GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    QUORB::CQUORB& game = world.Game();
    QUORB::CCamera& camera = *game.GetGameCamera();
    ClearReceived(world);

    game.GetRoom()->FocusFace(1); // glides over 1 s
    ASSERT_TRUE(camera.IsInterpolating());
    world.Frames(10);
    EXPECT_EQ(Received(world, kLookAtMenu), std::vector<MessageName>(10, MSG_CloseMenu));
    EXPECT_EQ(Received(world, kInfoMenu), std::vector<MessageName>(10, MSG_CloseMenu));
    EXPECT_FALSE(camera.AreMenusShown());

    world.Frames(25);
    EXPECT_FALSE(camera.IsInterpolating());
    EXPECT_EQ(game.GetFocusedFace(), 1);
    EXPECT_TRUE(camera.AreMenusShown()) << "at the face the menus open again";
    EXPECT_EQ(world.MessageCount(kLookAtMenu, MSG_OpenMenu), 1u);
}

TEST(GameCamera, UpTurns)
{
    gametest::GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    QUORB::CCamera& camera = *world.Game().GetGameCamera();
    const math::Vector3 reference(0.0f, 0.0f, 1.0f);

    camera.InterpolateUp(math::Vector3(0.0f, 2.0f, 0.0f), 1.0f, reference, nullptr);
    EXPECT_FALSE(camera.IsUpTurnRunning()) << "the current target: nothing to turn";
    testsupport::LogCapture logged;
    camera.InterpolateUp(math::Vector3(), 1.0f, reference, nullptr);
    const std::string err = logged.Text();
    EXPECT_FALSE(camera.IsUpTurnRunning()) << "a zero up has no direction";
    EXPECT_NE(err.find("(0, 0, 0)"), std::string::npos) << err;
    ExpectNear(camera.GetUpVector(), math::Vector3(0.0f, 1.0f, 0.0f), 0.0f, "kept");

    // To the opposite: the cross product gives no axis, the reference axis turns it.
    camera.InterpolateUp(math::Vector3(0.0f, -1.0f, 0.0f), 1.0f, reference, nullptr);
    EXPECT_TRUE(camera.IsUpTurnRunning());
    ExpectNear(camera.GetTurnAxis(), reference, 0.0f, "the reference axis");
    world.Frames(15);
    const math::Vector3 halfway = camera.GetUpVector();
    EXPECT_NEAR(halfway.z, 0.0f, 1e-5f) << "turning about z";
    EXPECT_NEAR(std::fabs(halfway.x), 1.0f, 0.02f) << "a quarter turn after half the time";
    EXPECT_NEAR(halfway.Length(), 1.0f, 1e-5f);
    world.Frames(20);
    EXPECT_FALSE(camera.IsUpTurnRunning());
    ExpectNear(camera.GetUpVector(), math::Vector3(0.0f, -1.0f, 0.0f), 1e-5f, "the turn ended upside down");

    // A quarter turn turns about the cross product of the two ups; the view follows.
    camera.InterpolateUp(math::Vector3(3.0f, 0.0f, 0.0f), 0.5f, reference, nullptr);
    ExpectNear(camera.GetTurnAxis(), math::Vector3(0.0f, 0.0f, 1.0f), 1e-5f, "(0, -1, 0) x (1, 0, 0)");
    world.Frames(20);
    ExpectNear(camera.GetUpVector(), math::Vector3(1.0f, 0.0f, 0.0f), 1e-5f, "");
    math::Matrix4 view;
    camera.ComputeViewMatrix(view);
    const math::Vector3 viewUp = view.TransformDirection(math::Vector3(1.0f, 0.0f, 0.0f));
    EXPECT_NEAR(viewUp.y, 1.0f, 0.02f) << "the world's x is up on the screen";
}

TEST(GameCamera, WithThePuzzleHasWaterFlagTheWaterTurnsAndTakesThePendingLevel)
{
    gametest::GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    QUORB::CQUORB& game = world.Game();
    QUORB::CCamera& camera = *game.GetGameCamera();
    const math::Vector3 reference(0.0f, 0.0f, 1.0f);
    Gob* water = GobManager::Instance().CreateGob("PlanarWater");
    ASSERT_NE(water, nullptr);
    POVComp* pov = GetPOVComp(water);
    ASSERT_NE(pov, nullptr);
    game.SetWaterLevel(2.0f);

    // Without the flag the water stays.
    camera.InterpolateUp(math::Vector3(1.0f, 0.0f, 0.0f), 0.2f, reference, nullptr);
    world.Frames(10);
    ExpectNear(pov->GetPosition(), math::Vector3(0.0f, 2.0f, 0.0f), 1e-5f, "no water turn without the flag");
    camera.InterpolateUp(math::Vector3(0.0f, 1.0f, 0.0f), 0.2f, reference, nullptr);
    world.Frames(10);

    // With it the water turns with the view to the opposite up, keeping its level along the
    // turned normal, and takes the pending level at the end.
    game.SetPuzzleHasWater(true);
    const float pending = 3.0f;
    camera.InterpolateUp(math::Vector3(0.0f, -1.0f, 0.0f), 0.5f, reference, &pending);
    EXPECT_TRUE(camera.HasPendingWaterLevel());
    EXPECT_TRUE(camera.IsWaterTurnRunning());
    world.Frames(8);
    EXPECT_GT(std::fabs(pov->GetOrientation().z), 0.3f) << "turning about z meanwhile";
    EXPECT_LT(pov->GetPosition().y, 1.9f) << "gliding from (0, 2, 0) to (0, -2, 0) meanwhile";
    EXPECT_GT(pov->GetPosition().y, -1.9f);
    world.Frames(12);
    EXPECT_FALSE(camera.IsUpTurnRunning());
    EXPECT_FALSE(camera.IsWaterTurnRunning());
    EXPECT_FALSE(camera.HasPendingWaterLevel());
    math::Plane plane;
    ASSERT_TRUE(dorvo::gfx::CWaterManager::Instance().GetWaterPlane(plane));
    ExpectNear(plane.normal.GetNormalized(), math::Vector3(0.0f, -1.0f, 0.0f), 1e-4f,
               "the water turned over");
    EXPECT_NEAR(game.GetWaterLevel(), 3.0f, 1e-4f) << "the pending level, along the turned normal";
    ExpectNear(pov->GetPosition(), math::Vector3(0.0f, -3.0f, 0.0f), 1e-4f, "");

    // A turn to the up already reached has no end to wait for: the level applies at once.
    const float now = 1.5f;
    camera.InterpolateUp(math::Vector3(0.0f, -1.0f, 0.0f), 0.5f, reference, &now);
    EXPECT_FALSE(camera.IsUpTurnRunning());
    EXPECT_NEAR(game.GetWaterLevel(), 1.5f, 1e-4f);

    // The water gone, a turn with the flag only turns the view.
    GobManager::Instance().KillGob(water);
    world.Frame();
    ASSERT_EQ(dorvo::gfx::CWaterManager::Instance().GetWaterGobID(), 0u);
    camera.InterpolateUp(math::Vector3(0.0f, 1.0f, 0.0f), 0.2f, reference, &pending);
    EXPECT_FALSE(camera.IsWaterTurnRunning());
    world.Frames(10);
    ExpectNear(camera.GetUpVector(), math::Vector3(0.0f, 1.0f, 0.0f), 1e-5f, "");
}

TEST(GameCamera, TheDebugCameraActsOnlyBehindItsSwitch)
{
    gametest::GameTestSetup setup;
    setup.fullScreen = true;
    gametest::GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    QUORB::CQUORB& game = world.Game();
    QUORB::CCamera& camera = *game.GetGameCamera();
    const math::Vector3 eye = camera.GetPosition();
    const math::Vector3 lookAt = camera.GetLookAt();
    const math::Vector3 forward = (lookAt - eye).GetNormalized();

    // Off: wheel and right drag change nothing, and the left drag does not turn the view.
    world.MoveCursor(400, 300);
    game.RouteInput(Event(dorvo::input::MOUSE_WHEEL, 120), 0.0f);
    game.RouteInput(Event(dorvo::input::MOUSE_BUTTON_1, 1), 0.0f);
    world.MoveCursor(450, 300);
    game.RouteInput(Event(dorvo::input::MOUSE_BUTTON_1, 0), 0.0f);
    world.LeftDown();
    world.MoveCursor(480, 300);
    world.Wait(0.3);
    world.LeftUp();
    ExpectNear(camera.GetPosition(), eye, 0.0f, "off: the eye stays");
    ExpectNear(camera.GetLookAt(), lookAt, 0.0f, "off: the look-at stays");

    world.Console("cam");
    EXPECT_TRUE(game.IsDebugCamera());
    // The wheel: one unit along the view, forward for a positive value, back otherwise.
    game.RouteInput(Event(dorvo::input::MOUSE_WHEEL, 120), 0.0f);
    ExpectNear(camera.GetPosition(), eye + forward, 1e-5f, "wheel forward");
    game.RouteInput(Event(dorvo::input::MOUSE_WHEEL, -120), 0.0f);
    ExpectNear(camera.GetPosition(), eye, 1e-5f, "wheel back");

    // A left drag 10 pixels to the right turns the view 0.1 rad to the right about the eye.
    world.MoveCursor(400, 300);
    world.LeftDown();
    world.MoveCursor(410, 300);
    const math::Vector3 turned = (camera.GetLookAt() - camera.GetPosition());
    EXPECT_NEAR(turned.Length(), (lookAt - eye).Length(), 1e-3f);
    EXPECT_NEAR(std::acos(turned.GetNormalized().Dot(forward)), 0.1f, 1e-3f);
    EXPECT_GT(turned.x, 0.0f) << "to the right";
    // 10 pixels down turns it down.
    const math::Vector3 before = turned.GetNormalized();
    world.MoveCursor(410, 310);
    const math::Vector3 down = (camera.GetLookAt() - camera.GetPosition()).GetNormalized();
    EXPECT_NEAR(std::acos(down.Dot(before)), 0.1f, 1e-3f);
    EXPECT_LT(down.y, before.y) << "down";
    world.Wait(0.3);
    world.LeftUp();

    // A right drag 20 pixels to the right pans eye and look-at by 0.25 along the camera's right.
    const math::Vector3 eyeBefore = camera.GetPosition();
    const math::Vector3 lookBefore = camera.GetLookAt();
    game.RouteInput(Event(dorvo::input::MOUSE_BUTTON_1, 1), 0.0f);
    world.MoveCursor(430, 310);
    const math::Vector3 moved = camera.GetPosition() - eyeBefore;
    EXPECT_NEAR(moved.Length(), 0.25f, 1e-4f);
    EXPECT_NEAR(moved.y, 0.0f, 1e-4f) << "along the camera's right, level";
    const math::Vector3 view = (lookBefore - eyeBefore).GetNormalized();
    EXPECT_NEAR(moved.Dot(view), 0.0f, 1e-4f);
    ExpectNear(camera.GetLookAt() - lookBefore, moved, 1e-4f, "the look-at moves with the eye");
    game.RouteInput(Event(dorvo::input::MOUSE_BUTTON_1, 0), 0.0f);
    const math::Vector3 released = camera.GetPosition();
    world.MoveCursor(470, 310);
    ExpectNear(camera.GetPosition(), released, 0.0f, "released: no more panning");

    // [ flips the horizontal sense: a drag to the right now turns the view left.
    world.Key(gametest::kLeftBracket);
    ASSERT_TRUE(game.GetInvertHorizontalDrag());
    const math::Vector3 straight = (camera.GetLookAt() - camera.GetPosition()).GetNormalized();
    world.LeftDown();
    world.MoveCursor(490, 310);
    const math::Vector3 inverted = (camera.GetLookAt() - camera.GetPosition()).GetNormalized();
    EXPECT_NEAR(std::acos(inverted.Dot(straight)), 0.2f, 1e-3f);
    EXPECT_LT(math::Cross(straight, inverted).y, 0.0f) << "turned left";
    world.Wait(0.3);
    world.LeftUp();

    world.Console("cam");
    EXPECT_FALSE(game.IsDebugCamera());
    ExpectNear(camera.GetPosition(), math::Vector3(0.0f, 2.0f, 0.0f), 0.0f, "off puts the eye back");
}
