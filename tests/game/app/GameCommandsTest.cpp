// The game's console commands typed into the booted game: the command table as registered, the
// menu, message and skin commands, the editor switch, "play", leaving a puzzle and the camera's
// up turn with the water.
#include "game/app/CQUORB.h"

#include "GameTestWorld.h"
#include "TestSupport.h"

#include "common/ConsoleInterface.h"
#include "common/ParamStack.h"
#include "common/loki/BaseFunctor.h"
#include "common/math/Plane.h"
#include "common/math/Vector3.h"
#include "engine/CDorvoApp.h"
#include "engine/CPicker.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/gfx/gui/GuiSkinColors.h"
#include "engine/gfx/water/CWaterManager.h"
#include "engine/phy/DynamicsEngine.h"
#include "game/camera/CCamera.h"
#include "game/manipulator/WidgetManipulator.h"
#include "game/room/CRoom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <vector>

using gametest::GameTestSetup;
using gametest::GameTestWorld;

namespace
{
bool Has(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The signature a typed line must match: the tags of the values pushed.
std::uint64_t Signature(const std::function<void(ParamStack&)>& push)
{
    ParamStack stack;
    push(stack);
    return stack.GetSignature();
}

std::vector<MessageName> Received(const GameTestWorld& world, const std::string& menu)
{
    std::vector<MessageName> names;
    if (const QUORB::PlaceholderMenu* placeholder = world.Menu(menu))
        for (const QUORB::PlaceholderMenu::Received& received : placeholder->GetReceived())
            names.push_back(received.name);
    return names;
}

void ClearReceived(const GameTestWorld& world)
{
    for (const char* menu : {"StartPuzzleMenu", "WidgetChoiceBarMenu", "BudgetMenu", "WidgetPropertyBarMenu",
                             "ScoreMenu", "TimerObjMenu", "CreatorMenu", "BackMenu", "MainMenu",
                             "MessageWindowMenu", "RoomSelectionMenu", "MouseWidgetSelMenu", "PropValueMenu"})
        if (QUORB::PlaceholderMenu* placeholder = world.Menu(menu))
            placeholder->ClearReceived();
}
} // namespace

TEST(GameCommandsTest, TheThirtyCommandsAreRegisteredWithTheirHelpTextsAndSignatures)
{
    GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    const std::string s;
    const auto none = [](ParamStack&) {};
    const auto text = [&s](ParamStack& p) { p.Push(s); };
    struct Command
    {
        const char* name;
        const char* help;
        std::function<void(ParamStack&)> signature;
    };
    const Command commands[] = {
        {"setpuzfilename", "Set The Focused Puzzle File Name. Take In The File Name", text},
        {"getpuzfilename", "Get The Focused Puzzle File Name. Return The File Name", none},
        {"cam", "Toggle The Debug Camera Controls", none},
        {"loademptyroom", "Load An Empty Room", none},
        {"creategob", "Create A Gob At The Room Center. Take In The Gob Archetype", text},
        {"loadroom", "Load A Room. Take In Room File Name And A Special Flag",
         [&s](ParamStack& p)
         {
             p.Push(s);
             p.Push(true);
         }},
        {"saveroom", "Save A Room. Take In Room File Name", text},
        {"clearroom", "Clear The Room (Delete All Puzzles)", none},
        {"setroomempty", "Set Room To An Empty Room With 4 Empty Puzzles", none},
        {"toggleeditor", "Toggle Editor Mode", none},
        {"clearcwt", "Clear Creation Widget Type", none},
        {"setcwt", "Set Creation Widget Type. Take In The Widget Archetype", text},
        {"savepuz", "Save The Focused Puzzle Using Its Current File Name", none},
        {"savepuzas", "Save The Focused Puzzle Using The Specified File Name. Take In The File Name", text},
        {"createenvgob", "Create An Env Gob For The Room. Take In The Gob Archetype", text},
        {"createenvgobatpos", "Create An Env Gob For The Room. Take In The Gob Archetype And Position",
         [&s](ParamStack& p)
         {
             p.Push(s);
             p.Push(0.0f);
             p.Push(0.0f);
             p.Push(0.0f);
         }},
        {"reloadfocusedpuzzle", "Reload The Focused Puzzle", none},
        {"resetfocusedpuzzle", "Reset The Focused Puzzle", none},
        {"setcamup", "Set The Camera Up Vec. Take In X, Y, Z",
         [](ParamStack& p) { p.Push(math::Vector3()); }},
        {"setcamuplerp", "Set The Camera Up Vec. Take In X, Y, Z And The Duration",
         [](ParamStack& p)
         {
             p.Push(math::Vector3());
             p.Push(0.0f);
             p.Push(0.0f);
         }},
        {"play", "Start The Simulation On The Focused Puzzle", none},
        {"setgameskin", "The color settings of the game's UI", text},
        {"togglefps", "Toggle Showing FPS", none},
        {"togglecm", "Toggle Create Puzzle Mode", none},
        {"loadprofile", "Load A Profile. Take In File Name Of The Profile", text},
        {"autofocustopuzzle", "Auto Focus To The Nearest Puzzle. Take In Flag If Right Direction Is Desired",
         [](ParamStack& p) { p.Push(true); }},
        {"toggleus", "Toggle QUORBTeam Flag", none},
        {"menu", "Execues a menu command - Usage: menu <name> <command>",
         [&s](ParamStack& p)
         {
             p.Push(s);
             p.Push(s);
         }},
        {"rls", "Reloads all script files.", text},
        {"message", "Displays a game message on the screen", text},
    };
    common::ConsoleInterface& console = common::ConsoleInterface::Instance();
    for (const Command& command : commands)
    {
        SCOPED_TRACE(command.name);
        const auto help = console.GetHelpTexts().find(command.name);
        ASSERT_NE(help, console.GetHelpTexts().end());
        EXPECT_EQ(help->second, command.help);
        Loki::BaseFunctor* functor = console.GetCommands().FindFunction(command.name);
        ASSERT_NE(functor, nullptr);
        EXPECT_EQ(functor->GetSignature(), Signature(command.signature));
    }

    EXPECT_TRUE(Has(world.Console("loadroom X.xml true"),
                    ">ERROR: Could not load X.xml: the room file is missing or damaged"));
    EXPECT_TRUE(Has(world.Console("loadroom X.xml 1"),
                    ">Function: loadroom parameter list does not match function prototype."));
    EXPECT_TRUE(Has(world.Console("setcamuplerp (0.0,1.0,0.0) 1.0 0.0"),
                    ">Function: setcamuplerp called successfully."));
    EXPECT_TRUE(Has(world.Console("setcamuplerp (0.0,-1.0,0.0) 1.0"),
                    ">Function: setcamuplerp parameter list does not match function prototype."));
}

// The engine's "CreateGob" and the game's "creategob" are one name to the console. The game's
// takes its place without a report, so the line builds only while a room stands, and
// "commands" lists every command once.
TEST(GameCommandsTest, EveryCommandIsListedOnceAndCreateGobIsTheGames)
{
    testsupport::AssertCapture asserts;
    GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    EXPECT_EQ(asserts.Texts(), std::vector<std::string>());

    const std::vector<std::string> listed = world.Console("commands");
    std::set<std::string> names;
    for (const std::string& line : listed)
    {
        const std::size_t dash = line.find(" - ");
        if (dash != std::string::npos)
        {
            EXPECT_TRUE(names.insert(ToLowerCopy(line.substr(1, dash - 1))).second) << line;
        }
    }
    EXPECT_TRUE(Has(listed, ">creategob - Create A Gob At The Room Center. Take In The Gob Archetype"));
    EXPECT_TRUE(names.count("numberofgobs") && names.count("creategobatpos"));

    GobManager& manager = GobManager::Instance();
    ASSERT_EQ(world.Game().GetRoom(), nullptr);
    const std::uint32_t before = manager.GetCount();
    world.Console("CreateGob Platform");
    EXPECT_EQ(manager.GetCount(), before) << "no room, nothing built";
    world.Frames(3);
    ASSERT_NE(world.Game().GetRoom(), nullptr);
    const std::uint32_t withRoom = manager.GetCount();
    world.Console("CreateGob Platform");
    EXPECT_EQ(manager.GetCount(), withRoom + 1);
}

// "setcamuplerp" turns the camera's up; while a puzzle with water plays the water turns with
// the view and takes the typed level at the end, otherwise it stays where it is.
TEST(GameCommandsTest, SetCamUpLerpTurnsTheViewAndTheWaterTakesTheTypedLevel)
{
    GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    QUORB::CQUORB& game = world.Game();
    ASSERT_NE(game.GetRoom(), nullptr);
    QUORB::CCamera& camera = *game.GetGameCamera();
    Gob* water = GobManager::Instance().CreateGob("PlanarWater");
    ASSERT_NE(water, nullptr);
    ASSERT_EQ(dorvo::gfx::CWaterManager::Instance().GetWaterGobID(), water->GetID());
    auto* pov = dynamic_cast<POVComp*>(water->GetComponent(POVComp::StaticTypeID()));
    ASSERT_NE(pov, nullptr);
    game.SetWaterLevel(1.0f);

    world.Console("setcamuplerp (1.0,0.0,0.0) 0.3 4.0");
    EXPECT_TRUE(camera.IsUpTurnRunning());
    world.Frames(12);
    EXPECT_NEAR(camera.GetUpVector().x, 1.0f, 1e-5f);
    EXPECT_NEAR(game.GetWaterLevel(), 1.0f, 1e-5f) << "no puzzle with water plays: the water stays";
    EXPECT_NEAR(pov->GetOrientation().w, 1.0f, 1e-5f);
    world.Console("setcamuplerp (0.0,1.0,0.0) 0.3 4.0");
    world.Frames(12);
    EXPECT_NEAR(camera.GetUpVector().y, 1.0f, 1e-5f);
    EXPECT_NEAR(game.GetWaterLevel(), 1.0f, 1e-5f);

    game.SetPuzzleHasWater(true);
    world.Console("setcamuplerp (0.0,-1.0,0.0) 0.5 2.5");
    EXPECT_TRUE(camera.HasPendingWaterLevel());
    world.Frames(8);
    EXPECT_GT(std::fabs(pov->GetOrientation().z), 0.1f) << "the water turns with the view";
    world.Frames(12);
    EXPECT_FALSE(camera.IsUpTurnRunning());
    EXPECT_FALSE(camera.HasPendingWaterLevel());
    EXPECT_NEAR(camera.GetUpVector().y, -1.0f, 1e-5f);
    math::Plane plane;
    ASSERT_TRUE(dorvo::gfx::CWaterManager::Instance().GetWaterPlane(plane));
    EXPECT_NEAR(plane.normal.GetNormalized().y, -1.0f, 1e-4f) << "the water turned over with the view";
    EXPECT_NEAR(game.GetWaterLevel(), 2.5f, 1e-4f) << "the typed level, along the turned normal";
    EXPECT_NEAR(pov->GetPosition().y, -2.5f, 1e-4f);
}

TEST(GameCommandsTest, MenuMessageAndSkinCommands)
{
    GameTestSetup setup;
    setup.files["files/xmlfiles/QUORBSettings.xml"] =
        "<?xml version=\"1.0\" ?><File><QUORBSettings><string name=\"GraphicsQuality\">Medium</string>"
        "<list name=\"GameSkins\" size=\"1\"><GameSkin name=\"DefaultSkin\">"
        "<Color name=\"PressedColor\"><float name=\"r\">255</float><float name=\"g\">0</float><float "
        "name=\"b\">0</float><float name=\"a\">255</float></Color>"
        "<Color name=\"UnpressedColor\"><float name=\"r\">0</float><float name=\"g\">255</float><float "
        "name=\"b\">0</float><float name=\"a\">255</float></Color>"
        "<Color name=\"OverColor\"><float name=\"r\">0</float><float name=\"g\">0</float><float "
        "name=\"b\">255</float><float name=\"a\">255</float></Color>"
        "<Color name=\"DisabledColor\"><float name=\"r\">9</float><float name=\"g\">9</float><float "
        "name=\"b\">9</float><float name=\"a\">255</float></Color>"
        "<Color name=\"SpriteColor\"><float name=\"r\">255</float><float name=\"g\">255</float><float "
        "name=\"b\">255</float><float name=\"a\">255</float></Color></GameSkin></list>"
        "<uint name=\"NumRoomsMadeByUs\">0</uint><uint name=\"NumRoomsMadeByPlayer\">0</uint>"
        "<string name=\"LastUsedProfile\"></string></QUORBSettings></File>";
    GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    ClearReceived(world);

    world.Console("menu MainMenu open");
    EXPECT_EQ(Received(world, "MainMenu"), std::vector<MessageName>{MSG_OpenMenu});
    world.Console("menu MainMenu toggle");
    world.Console("menu NoSuchMenu open");
    EXPECT_EQ(Received(world, "MainMenu"), std::vector<MessageName>{MSG_OpenMenu});
    world.Console("menu MainMenu close");
    EXPECT_EQ(Received(world, "MainMenu"), (std::vector<MessageName>{MSG_OpenMenu, MSG_CloseMenu}));

    world.Console("message Hello");
    const QUORB::PlaceholderMenu* messages = world.Menu("MessageWindowMenu");
    ASSERT_NE(messages, nullptr);
    ASSERT_EQ(messages->GetReceived().size(), 1u);
    EXPECT_EQ(messages->GetReceived()[0].name, MSG_SendTextMessage);
    EXPECT_EQ(messages->GetReceived()[0].data.GetString(), "Hello");

    QUORB::CQUORB& game = world.Game();
    dorvo::gfx::g_GuiSkinColors = nullptr;
    EXPECT_TRUE(Has(world.Console("setgameskin Nope"), ">ERROR: Skin not found"));
    EXPECT_EQ(dorvo::gfx::g_GuiSkinColors, nullptr);
    EXPECT_EQ(game.GetGameSkinName(), "");
    world.Console("setgameskin DefaultSkin");
    ASSERT_NE(dorvo::gfx::g_GuiSkinColors, nullptr);
    EXPECT_FLOAT_EQ(dorvo::gfx::g_GuiSkinColors[0].r, 1.0f);
    EXPECT_FLOAT_EQ(dorvo::gfx::g_GuiSkinColors[1].g, 1.0f);
    EXPECT_EQ(game.GetGameSkinName(), "DefaultSkin");

    EXPECT_FALSE(game.IsShowingFPS());
    world.Console("togglefps");
    EXPECT_TRUE(game.IsShowingFPS());
    world.Console("togglecm");
    EXPECT_TRUE(game.IsCreatePuzzleMode());
    world.Console("toggleus");
    EXPECT_TRUE(game.IsMadeByUs());
}

TEST(GameCommandsTest, TheGameSkinIsLetGoWithTheGame)
{
    {
        GameTestSetup setup;
        GameTestWorld world(setup);
        ASSERT_TRUE(world.Booted());
        auto skin = std::make_unique<QUORB::GameSkinColors>();
        world.Game().GetSettings().m_gameSkins["S"] = std::move(skin);
        world.Console("setgameskin S");
        EXPECT_NE(dorvo::gfx::g_GuiSkinColors, nullptr);
    }
    EXPECT_EQ(dorvo::gfx::g_GuiSkinColors, nullptr);
}

TEST(GameCommandsTest, TheEditorSwitchPausesResetsAndEnablesThePickerWhileOn)
{
    GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    QUORB::CQUORB& game = world.Game();
    dorvo::CPicker* picker = g_pApp->GetPicker();
    ASSERT_NE(picker, nullptr);
    dorvo::phy::DynamicsEngine& dynamics = dorvo::phy::DynamicsEngine::Instance();
    EXPECT_FALSE(picker->IsEnabled());

    world.Console("setcwt Platform");
    EXPECT_EQ(game.GetWidgetManipulator()->GetCurrentWidgetType(), "Platform");
    ClearReceived(world);
    world.Console("toggleeditor");
    EXPECT_TRUE(game.IsEditorMode());
    EXPECT_TRUE(picker->IsEnabled());

    dynamics.paused = false;
    world.Console("toggleeditor");
    EXPECT_FALSE(game.IsEditorMode());
    EXPECT_FALSE(picker->IsEnabled());
    EXPECT_TRUE(dynamics.paused);
    EXPECT_EQ(game.GetWidgetManipulator()->GetCurrentWidgetType(), "");
    EXPECT_EQ(Received(world, "WidgetPropertyBarMenu"), std::vector<MessageName>{MSG_CloseMenu});
    EXPECT_TRUE(game.IsWaterRestoreRunning());
}

// A menu that covers the room circles the camera; closed from the console it leaves it circling.
// Switching the editor on stops the circle and turns the camera to the focused face.
TEST(GameCommandsTest, TheEditorSwitchedOnStopsTheCircleAndTurnsToTheFocusedFace)
{
    GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    QUORB::CQUORB& game = world.Game();
    QUORB::CCamera* camera = game.GetGameCamera();
    ASSERT_NE(game.GetRoom(), nullptr);
    game.SetCameraFlags(QUORB::CCamera::kOrbitFlag);
    world.Frames(30);
    game.SetFocusedFace(1);
    world.Console("toggleeditor");
    EXPECT_EQ(camera->GetFlags() & QUORB::CCamera::kOrbitFlag, 0u);
    world.Frames(40);
    const math::Quad& face = game.GetRoom()->GetFace(1);
    const math::Vector3 middle = (face.p0 + face.p2) * 0.5f;
    EXPECT_NEAR((camera->GetLookAt() - middle).Length(), 0.0f, 1e-3f);
}

TEST(GameCommandsTest, EnvironmentObjectsTypedInGoWithTheRoom)
{
    GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Frames(3);
    QUORB::CRoom* room = world.Game().GetRoom();
    ASSERT_NE(room, nullptr);
    const std::size_t before = room->GetEnvGobIDs().size();

    world.Console("createenvgobatpos EnvBox 1.0 2.0 3.0");
    ASSERT_EQ(room->GetEnvGobIDs().size(), before + 1);
    const std::uint32_t id = room->GetEnvGobIDs().back();
    ASSERT_NE(GobManager::Instance().GetGob(id), nullptr);
    world.Console("createenvgob NoSuchArchetype");
    EXPECT_EQ(room->GetEnvGobIDs().size(), before + 1) << "nothing built, nothing filed";

    room->DestroyEnvGobs();
    world.Frames(1);
    EXPECT_EQ(GobManager::Instance().GetGob(id), nullptr) << "killed with the room's environment";
}

TEST(GameCommandsTest, LeavingAPuzzleClosesItsMenusTogglesTheEditorAndResetsTheBackMenu)
{
    for (const bool createMode : {false, true})
    {
        SCOPED_TRACE(createMode ? "create-puzzle mode" : "playing");
        GameTestWorld world;
        ASSERT_TRUE(world.Booted());
        world.Frames(3);
        QUORB::CQUORB& game = world.Game();
        game.SetCreatePuzzleMode(createMode);
        world.Console("toggleeditor");
        ClearReceived(world);
        game.LeavePuzzle(true);
        EXPECT_EQ(Received(world, "StartPuzzleMenu"),
                  (std::vector<MessageName>{MSG_ResetMenu, MSG_CloseMenu}));
        for (const char* menu : {"WidgetChoiceBarMenu", "BudgetMenu", "ScoreMenu", "TimerObjMenu"})
        {
            SCOPED_TRACE(menu);
            const std::vector<MessageName> received = Received(world, menu);
            ASSERT_FALSE(received.empty());
            EXPECT_EQ(received.front(), MSG_CloseMenu);
        }
        EXPECT_EQ(Received(world, "CreatorMenu"),
                  createMode ? std::vector<MessageName>{MSG_CloseMenu} : std::vector<MessageName>{});
        EXPECT_EQ(Received(world, "BackMenu"), std::vector<MessageName>{MSG_ResetMenu});
        EXPECT_FALSE(game.IsEditorMode());
    }
}
