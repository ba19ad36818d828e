// The game's input chain with the player's keys and mouse: message takers first (a taker stops
// the event), the global keys on their press only, Escape only while the main menu is initial or
// closed, and face picking with a quick or a slow click.
#include "GameTestWorld.h"

#include "TestSupport.h"

#include "common/InputEvent.h"
#include "common/math/Quad.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/StateMachineComponent.h"
#include "engine/gfx/gui/CGuiManager.h"
#include "game/app/CQUORB.h"
#include "game/camera/CCamera.h"
#include "game/room/CRoom.h"
#include "statemachine/Message.h"
#include "statemachine/StateMachine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using gametest::GameTestSetup;
using gametest::GameTestWorld;

namespace
{
// Takes every press and release of one key code and remembers what it saw.
class KeyTaker : public StateMachine
{
public:
    KeyTaker(ACMsgTaker* owner, std::uint32_t code) : StateMachine(owner), m_code(code) {}
    std::vector<std::uint32_t> seen;

protected:
    bool HandleStateEvent(std::uint32_t event, const Message* message, int state, int) override
    {
        if (state != kAnyState || event != EVENT_Message || !message ||
            (message->GetName() != MSG_Pressed && message->GetName() != MSG_UnPressed))
            return false;
        seen.push_back(message->GetInputEvent().code);
        return message->GetInputEvent().code == m_code;
    }

private:
    std::uint32_t m_code;
};

std::size_t AxisMessages(const GameTestWorld& world)
{
    std::size_t count = 0;
    for (const QUORB::PlaceholderMenu::Received& received : world.Menu("MainMenu")->GetReceived())
        if (received.name == MSG_Pressed || received.name == MSG_UnPressed)
            count += received.data.GetInputEvent().code >= 246 ? 1 : 0;
    return count;
}
} // namespace

// Escape toggles "EscapeMenu" only while "MainMenu" is initial (0) or closed (1).
TEST(GameInput, EscapeTogglesTheEscapeMenuOnlyWhileTheMainMenuIsInitialOrClosed)
{
    GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    const struct
    {
        int mainMenuState;
        std::size_t toggles;
    } cases[] = {{0, 1}, {1, 1}, {2, 0}, {3, 0}, {4, 0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.mainMenuState);
        world.Menu("MainMenu")->ForceState(c.mainMenuState);
        world.Menu("EscapeMenu")->ClearReceived();
        world.Key(gametest::kEscape);
        EXPECT_EQ(world.MessageCount("EscapeMenu", MSG_ToggleMenu), c.toggles);
        EXPECT_EQ(world.MessageCount("EscapeMenu", MSG_Pressed), 1u) << "the broadcast reached it, untaken";
    }
}

// Keys act on their press only; [ and ] flip the drag inversions; a message taker that takes a
// key stops it before the global keys; mouse deltas are never broadcast.
TEST(GameInput, KeysActOnTheirPressAndATakerStopsThem)
{
    GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    QUORB::CQUORB& game = world.Game();

    world.KeyDown(gametest::kLeftBracket);
    EXPECT_TRUE(game.GetInvertHorizontalDrag());
    world.KeyUp(gametest::kLeftBracket);
    EXPECT_TRUE(game.GetInvertHorizontalDrag()) << "a release does nothing";
    world.Key(gametest::kRightBracket);
    EXPECT_TRUE(game.GetInvertVerticalDrag());
    world.Key(gametest::kRightBracket);
    EXPECT_FALSE(game.GetInvertVerticalDrag());

    // A taker of [ made after the menus: it sees the broadcast, takes it, and the flag stays.
    Gob* gob = GobManager::Instance().CreateGob("2DArchetype");
    ASSERT_NE(gob, nullptr);
    auto* machines =
        dynamic_cast<StateMachineComponent*>(gob->GetComponent(StateMachineComponent::StaticTypeID()));
    ASSERT_NE(machines, nullptr);
    auto* taker = new KeyTaker(machines, gametest::kLeftBracket);
    machines->AddStateMachine(taker);
    world.Key(gametest::kLeftBracket);
    EXPECT_EQ(taker->seen, (std::vector<std::uint32_t>{gametest::kLeftBracket, gametest::kLeftBracket}));
    EXPECT_TRUE(game.GetInvertHorizontalDrag()) << "taken by the message taker, never reaching the keys";
    world.Key(gametest::kRightBracket);
    EXPECT_TRUE(game.GetInvertVerticalDrag()) << "a key it does not take goes on";

    world.Menu("MainMenu")->ClearReceived();
    world.MoveCursor(420, 310);
    EXPECT_EQ(AxisMessages(world), 0u);
}

// Left and Right turn to the neighbouring face outside the editor.
TEST(GameInput, LeftAndRightFocusTheNeighbouringFaceOutsideTheEditor)
{
    GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    QUORB::CQUORB& game = world.Game();
    ASSERT_NE(game.GetRoom(), nullptr);

    world.Key(gametest::kRightArrow);
    EXPECT_EQ(game.GetFocusedFace(), 1);
    world.Key(gametest::kLeftArrow);
    EXPECT_EQ(game.GetFocusedFace(), 3) << "from the face position 0, left wraps to 3";
    game.SetEditorMode(true);
    world.Key(gametest::kRightArrow);
    EXPECT_EQ(game.GetFocusedFace(), 3);
}

// A click on the front face: released 0.15 s after the press it focuses the face and glides the
// camera to the face's middle over 1 s; released after 0.25 s it only sets the index.
TEST(GameInput, AQuickClickOnAFaceFocusesItAndASlowOneOnlyPicksIt)
{
    for (double held : {0.15, 0.25})
    {
        SCOPED_TRACE(held);
        GameTestSetup setup;
        setup.fullScreen = true;
        GameTestWorld world(setup);
        ASSERT_TRUE(world.Booted());
        world.Frames(2);
        QUORB::CQUORB& game = world.Game();
        QUORB::CCamera* camera = game.GetGameCamera();
        // The camera's start-up view focuses the front face; start from none.
        game.SetFocusedFace(-1);

        world.LeftDown();
        EXPECT_EQ(game.GetFocusedFace(), 0) << "the press picks the face under the cursor";
        world.Wait(held - 1.0 / 30.0);
        world.LeftUp();
        EXPECT_EQ(game.GetFocusedFace(), 0);
        if (held < 0.2)
        {
            EXPECT_TRUE(camera->IsInterpolating());
            world.Frames(31);
            const math::Quad& face = game.GetRoom()->GetFace(0);
            const math::Vector3 middle = (face.p0 + face.p2) * 0.5f;
            EXPECT_NEAR(camera->GetLookAt().x, middle.x, 1e-3);
            EXPECT_NEAR(camera->GetLookAt().y, middle.y, 1e-3);
            EXPECT_NEAR(camera->GetLookAt().z, middle.z, 1e-3);
        }
        else
        {
            EXPECT_FALSE(camera->IsInterpolating());
        }
    }
}

// Picking does nothing in the editor or without a cursor; equal distances go to the lower face.
TEST(GameInput, FacePickingSkipsTheEditorAMissingCursorAndPrefersTheLowerFace)
{
    {
        // The right face lies exactly on the front one: both are hit at the same distance.
        std::ifstream front(testsupport::RepoPath("data/files/xmlfiles/archetypes/CQFront.xml"));
        GameTestSetup setup;
        setup.fullScreen = true;
        setup.files["files/xmlfiles/archetypes/CQRight.xml"] =
            std::string(std::istreambuf_iterator<char>(front), std::istreambuf_iterator<char>());
        GameTestWorld world(setup);
        ASSERT_TRUE(world.Booted());
        world.Frames(2);
        world.LeftDown();
        world.LeftUp();
        EXPECT_EQ(world.Game().GetFocusedFace(), 0);
    }
    {
        GameTestSetup setup;
        setup.fullScreen = true;
        GameTestWorld world(setup);
        ASSERT_TRUE(world.Booted());
        world.Frames(2);
        world.Game().SetEditorMode(true);
        world.Game().SetFocusedFace(-1); // the camera tracks no face in the editor
        world.LeftDown();
        world.LeftUp();
        EXPECT_EQ(world.Game().GetFocusedFace(), -1) << "not in editor mode";
        world.Game().SetEditorMode(false);
        world.Game().SetCameraFlags(QUORB::CCamera::kOrbitFlag); // circling, the camera focuses nothing

        world.Game().GetGuiManager().QueueRemoval("Cursor");
        world.Frame();
        ASSERT_EQ(world.Game().GetCursor(), nullptr);
        world.LeftDown();
        world.LeftUp();
        EXPECT_EQ(world.Game().GetFocusedFace(), -1) << "nothing to aim with";
        math::Vector3 point;
        EXPECT_FALSE(world.Game().GetCursorFacePoint(point));
    }
}
