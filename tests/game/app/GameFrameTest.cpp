// The game's first frames and its frame-by-frame read-outs: Init hands over to Load, which puts
// up the cursor, opens the first splash menu and makes the room with its bounding planes once;
// then the game runs. The FPS text follows every frame and is drawn only while shown.
#include "GameTestWorld.h"

#include "common/ConsoleInterface.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/gfx/core/CTextureHandle.h"
#include "engine/gfx/gui/CCursor.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "game/app/CQUORB.h"
#include "game/room/CRoom.h"
#include "platform/device_debug.h"
#include "platform/headless.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

using gametest::GameTestSetup;
using gametest::GameTestWorld;

namespace
{
std::size_t ObjectsOfArchetype(const std::string& archetype)
{
    std::size_t count = 0;
    GobManager& manager = GobManager::Instance();
    for (std::uint32_t id = 1; id < manager.GetNextID(); ++id)
        if (Gob* gob = manager.GetGob(id))
            count += gob->GetArchetypeName() == archetype ? 1 : 0;
    return count;
}
} // namespace

TEST(GameFrames, LoadPutsUpTheCursorTheSplashMenuAndTheRoomThenTheGameRuns)
{
    GameTestSetup setup;
    setup.fullScreen = true; // the cursor stays where the game puts it
    GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    QUORB::CQUORB& game = world.Game();

    const char* const images[] = {"hud/BlueRedCursor.png",      "hud/BlueRedPentCursor.png",
                                  "hud/GreenOrangeCursor.png",  "hud/GreenPinkCursor.png",
                                  "hud/CursorPinkAquaPent.png", "hud/CursorGreyGreen.png"};
    std::srand(11);
    const std::string expected = images[std::rand() % 6];
    std::srand(11);

    world.Frame();
    EXPECT_EQ(game.GetStates().GetCurrentStateName(), "Load State Exit Code");
    dorvo::gfx::CCursor* cursor = game.GetCursor();
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->GetScreenPoint().x, 400.0f);
    EXPECT_EQ(cursor->GetScreenPoint().y, 300.0f);
    EXPECT_TRUE(cursor->IsVisible());
    EXPECT_EQ(cursor->GetScaleX(), 0.7f);
    EXPECT_EQ(cursor->GetScaleY(), 0.7f);
    EXPECT_EQ(cursor->GetScaleZ(), 1.0f);
    EXPECT_NE(cursor->GetTexture().GetFileName().find(expected), std::string::npos)
        << cursor->GetTexture().GetFileName();
    EXPECT_EQ(cursor->GetTextureWidth(), 64) << "the committed image loaded";
    EXPECT_EQ(world.MessageCount("KeshSplashMenu", MSG_OpenMenu), 1u);

    ASSERT_NE(game.GetRoom(), nullptr);
    Gob* room = GobManager::Instance().GetGob(game.GetRoomGobID());
    ASSERT_NE(room, nullptr);
    EXPECT_EQ(room->GetArchetypeName(), "Room");
    for (const char* plane :
         {"PlaneBottom", "PlaneTop", "PlaneLeft", "PlaneRight", "PlaneBack", "PlaneFront"})
    {
        SCOPED_TRACE(plane);
        EXPECT_EQ(ObjectsOfArchetype(plane), 1u);
    }
    EXPECT_EQ(ObjectsOfArchetype("CQFront"), 1u);
    EXPECT_EQ(game.GetRoom()->GetFace(0).p0.z, 20.0f) << "the faces come from the construction quads";

    world.Frame();
    EXPECT_EQ(game.GetStates().GetCurrentStateName(), "Running State Exit Code");
    world.Frame();
    EXPECT_EQ(game.GetStates().GetCurrentStateName(), "Running State Exit Code");
    EXPECT_EQ(world.MessageCount("KeshSplashMenu", MSG_OpenMenu), 1u) << "Load is entered once";
    EXPECT_EQ(game.GetCursor(), cursor);

    const std::uint32_t objects = GobManager::Instance().GetCount();
    const QUORB::CRoom* firstRoom = game.GetRoom();
    game.LoadRoom("EmptyRoom.xml", false);
    world.Frame();
    EXPECT_EQ(GobManager::Instance().GetCount(), objects) << "a second load makes no room object or plane";
    EXPECT_EQ(game.GetRoom(), firstRoom);
}

TEST(GameFrames, TheFPSTextFollowsEveryFrameAndIsDrawnOnlyWhileShown)
{
    GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    QUORB::CQUORB& game = world.Game();
    auto fpsDraws = []
    {
        unsigned draws = 0;
        for (const plat::devicedebug::LoggedCall& call : plat::headless::CallLog())
            draws += call.kind == plat::devicedebug::CallKind::DrawText && call.text.rfind(L"FPS: ", 0) == 0
                         ? 1
                         : 0;
        return draws;
    };

    for (bool shown : {false, true})
    {
        SCOPED_TRACE(shown ? "shown" : "hidden");
        game.SetShowFPS(shown);
        plat::headless::ClearCallLog();
        plat::headless::SetCallLogging(true);
        world.Frames(3);
        plat::headless::SetCallLogging(false);
        std::ostringstream expected;
        expected << "FPS: " << game.GetLastFPS() << "\n";
        EXPECT_EQ(game.GetFPSText().GetText(), expected.str());
        if (shown)
            EXPECT_GE(fpsDraws(), 3u) << "drawn every frame";
        else
            EXPECT_EQ(fpsDraws(), 0u);
    }
}
