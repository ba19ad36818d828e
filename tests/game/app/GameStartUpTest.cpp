// The game's start-up through what each step sees: the scripts' functions, the templates the
// console window and the menus are built from, the editor's object, physics, the sound project,
// and the bad input start-up meets on the way.
#include "GameTestWorld.h"

#include "LogCapture.h"
#include "TestSupport.h"
#include "common/ConsoleInterface.h"
#include "common/Singleton.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/SoundSystem.h"
#include "engine/StateMachineComponent.h"
#include "engine/gfx/gui/SMConsoleGraphics.h"
#include "engine/phy/DynamicsEngine.h"
#include "engine/phy/Force.h"
#include "game/app/CQUORB.h"
#include "game/app/MenuTable.h"
#include "game/manipulator/ManipulatorLogic.h"
#include "game/manipulator/WidgetManipulator.h"
#include "platform/files.h"
#include "statemachine/Database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

using gametest::GameTestSetup;
using gametest::GameTestWorld;

namespace
{
std::size_t CountOf(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

std::size_t ObjectsOfArchetype(const std::string& archetype)
{
    std::size_t count = 0;
    GobManager& manager = GobManager::Instance();
    for (std::uint32_t id = 1; id < manager.GetNextID(); ++id)
        if (Gob* gob = manager.GetGob(id))
            count += gob->GetArchetypeName() == archetype ? 1 : 0;
    return count;
}

std::string ReadBinary(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
} // namespace

// "CreateConsole" from the first script finds no templates yet and builds nothing; the second
// script's call builds the console window and the 28 menus; "Console" shows its text unrun.
TEST(GameStartUp, TheMenusAreBuiltFromTheSecondScriptOnly)
{
    GameTestSetup setup;
    setup.startupLines = "CreateConsole(\"ConsoleHistory.png\", \"ConsoleInput.png\")\n"
                         "Console(\"commands\")\n";
    testsupport::LogCapture logged;
    GameTestWorld world(setup);
    const std::string err = logged.Text();
    ASSERT_TRUE(world.Booted());

    EXPECT_EQ(CountOf(err, "CreateConsole: there is no \"2DArchetype\" archetype"), 1u) << err;
    EXPECT_EQ(ObjectsOfArchetype("2DArchetype"), 29u);
    Database* database = common::Singleton<Database>::Instance();
    for (std::size_t i = 0; i < QUORB::MenuTable::kMenuCount; ++i)
    {
        const std::string name = QUORB::MenuTable::GetName(i);
        SCOPED_TRACE(name);
        EXPECT_NE(database->FindIdByName(name), 0u);
        EXPECT_NE(world.Menu(name), nullptr) << "a placeholder until the menu's own class is filed";
    }
    EXPECT_EQ(std::string(QUORB::MenuTable::GetName(0)), "Radial");
    EXPECT_EQ(std::string(QUORB::MenuTable::GetName(27)), "MessageWindowMenu");

    Gob* console = GobManager::Instance().GetGob(world.Game().GetConsoleId());
    ASSERT_NE(console, nullptr);
    EXPECT_EQ(console->GetName(), "") << "the console window keeps the archetype's own name";
    auto* machines =
        dynamic_cast<StateMachineComponent*>(console->GetComponent(StateMachineComponent::StaticTypeID()));
    ASSERT_NE(machines, nullptr);
    EXPECT_NE(dynamic_cast<dorvo::gfx::SMConsoleGraphics*>(machines->GetActiveStateMachine()), nullptr);
    EXPECT_EQ(console->GetID() + 1, database->FindIdByName("Radial"))
        << "the console window first, then the menus";

    bool shown = false, ran = false;
    for (const std::string& line : common::ConsoleInterface::Instance().GetOutputLines())
    {
        shown = shown || line == ">commands";
        ran = ran || line.find("called successfully") != std::string::npos;
    }
    EXPECT_TRUE(shown);
    EXPECT_FALSE(ran) << "\"Console\" shows its text and runs nothing";
}

TEST(GameStartUp, AfterInitPhysicsWaitsTheEditorsObjectExistsAndThereIsNoRoom)
{
    GameTestWorld world;
    ASSERT_TRUE(world.Booted());
    dorvo::phy::DynamicsEngine& dynamics = dorvo::phy::DynamicsEngine::Instance();
    EXPECT_TRUE(dynamics.paused);
    EXPECT_FALSE(dynamics.GetAllowFreeze());
    std::unique_ptr<dorvo::phy::Force> buoyancy(dynamics.CreateForce("Buoyancy"));
    EXPECT_NE(buoyancy, nullptr);

    QUORB::WidgetManipulator* manipulator = world.Game().GetWidgetManipulator();
    ASSERT_NE(manipulator, nullptr);
    ASSERT_NE(manipulator->GetManipulatorGob(), nullptr);
    EXPECT_EQ(manipulator->GetManipulatorGob()->GetArchetypeName(), "Manipulator");
    ASSERT_NE(manipulator->GetLogic(), nullptr);
    EXPECT_EQ(manipulator->GetLogic()->GetState(), QUORB::ManipulatorLogic::STATE_EditorOff);

    EXPECT_EQ(world.Game().GetRoom(), nullptr);
    EXPECT_EQ(world.Game().GetRoomGobID(), 0u);
    EXPECT_EQ(world.Game().GetCursor(), nullptr) << "the cursor comes with the first frame";
    EXPECT_EQ(world.Game().GetStates().GetCurrentStateName(), "Init State Exit Code");
}

// A sound project the test supplies, with the five groups the game loads: each group's event
// plays from SOUND_PATH.
TEST(GameStartUp, TheSoundProjectUnderSoundPathIsLoadedWithItsFiveGroups)
{
    GameTestSetup setup;
    setup.soundFolder = "sounds/";
    const std::string click = ReadBinary(testsupport::RepoPath("tests/data/sound/Click.wav"));
    setup.files["sounds/Click.wav"] = click;
    std::string project = "project QUORBSound\n";
    for (const char* group : {"GUI", "Editor", "Collision", "Objective", "Music"})
        project += std::string("group ") + group + "\n    event Test\n        file Click.wav\n    end\nend\n";
    setup.files["sounds/QUORBSound.fev"] = project;
    GameTestWorld world(setup);
    ASSERT_TRUE(world.Booted());

    world.ClearSounds();
    for (const char* group : {"GUI", "Editor", "Collision", "Objective", "Music"})
    {
        const std::string path = std::string("QUORBSound/") + group + "/Test";
        SCOPED_TRACE(path);
        EXPECT_TRUE(dorvo::SoundSystem::Instance().PlayEvent(path, nullptr, nullptr));
    }
    EXPECT_EQ(world.Sounds().size(), 5u);
}

// Data files that never answer, never end or are far too large: each is named once with the
// reason, and the game starts and runs its frames. The alarm ends the program should a read wait.
TEST(GameStartUp, BlockingEndlessAndHugeDataFilesAreRefusedAndStartUpGoesOn)
{
    GameTestSetup setup;
    setup.copyRooms = true;
    setup.soundFolder = "sounds/";
    setup.beforeInit = []
    {
        namespace fs = std::filesystem;
        fs::remove("files/xmlfiles/QUORBSettings.xml");
        ASSERT_EQ(::mkfifo("files/xmlfiles/QUORBSettings.xml", 0600), 0);
        fs::create_directories("sounds");
        ASSERT_EQ(::mkfifo("sounds/QUORBSound.fev", 0600), 0);
        fs::remove("files/rooms/env/DefaultRoomEnv.xml");
        fs::create_symlink("/dev/zero", "files/rooms/env/DefaultRoomEnv.xml");
        // A puzzle past the (lowered) limit of text data.
        std::ofstream("files/puzzles/EmptyRoom_Puzzle_0.xml", std::ios::app) << std::string(300000, ' ');
    };
    const std::uint64_t savedLimit = plat::SetDataFileLimit(plat::DataKind::Text, 256 * 1024);
    ::alarm(120);
    testsupport::LogCapture logged;
    {
        GameTestWorld world(setup);
        ASSERT_TRUE(world.Booted());
        world.Frames(3);
        EXPECT_EQ(world.Game().GetStates().GetCurrentStateName(), "Running State Exit Code");
        EXPECT_NE(world.Game().GetRoom(), nullptr);
    }
    const std::string err = logged.Text();
    ::alarm(0);
    plat::SetDataFileLimit(plat::DataKind::Text, savedLimit);
    const struct
    {
        const char* file;
        const char* reason;
    } refused[] = {
        {"QUORBSettings.xml", "it is a FIFO, not a regular file"},
        {"QUORBSound.fev", "it is a FIFO, not a regular file"},
        {"DefaultRoomEnv.xml", "it is a device, not a regular file"},
        {"EmptyRoom_Puzzle_0.xml", "more than the 262144 bytes a text data file may hold"},
    };
    for (const auto& r : refused)
    {
        SCOPED_TRACE(r.file);
        const std::size_t at = err.find(std::string(r.file) + ": ");
        ASSERT_NE(at, std::string::npos) << err;
        EXPECT_NE(err.substr(at, err.find('\n', at) - at).find(r.reason), std::string::npos) << err;
        EXPECT_EQ(CountOf(err, r.file), 1u) << err;
    }
}

// Bad input at start-up: one line naming what is wrong, nothing built, start-up goes on.
TEST(GameStartUp, BadScriptsAndMissingTemplatesAreNamedAndStartUpGoesOn)
{
    {
        GameTestSetup setup;
        setup.initGameScript = "CreateConsole(\"ConsoleHistory.png\")\n"
                               "CreateConsole(1, {})\n"
                               "CreateConsole(\"ConsoleHistory.png\", \"ConsoleInput.png\")\n"
                               "CreateConsole(\"ConsoleHistory.png\", \"ConsoleInput.png\")\n"
                               "Console()\n";
        testsupport::LogCapture logged;
        GameTestWorld world(setup);
        const std::string err = logged.Text();
        ASSERT_TRUE(world.Booted());
        EXPECT_EQ(CountOf(err, "CreateConsole: expects the history panel's"), 2u) << err;
        EXPECT_EQ(CountOf(err, "CreateConsole: the console window and the menus exist already"), 1u) << err;
        EXPECT_EQ(CountOf(err, "Console: expects one text"), 1u) << err;
        EXPECT_EQ(ObjectsOfArchetype("2DArchetype"), 29u);
    }
    {
        // No templates at all, and a missing second script: each missing file and object is
        // named, and the game still runs its frames.
        GameTestSetup setup;
        setup.copyTemplates = false;
        setup.writeInitGame = false;
        setup.soundFolder = "nosounds/";
        testsupport::LogCapture logged;
        GameTestWorld world(setup);
        ASSERT_TRUE(world.Booted());
        world.Frames(3);
        const std::string err = logged.Text();
        EXPECT_NE(err.find("RoomTemplate.xml"), std::string::npos) << err;
        EXPECT_NE(err.find("WidgetManipulatorTemplate.xml"), std::string::npos) << err;
        EXPECT_NE(err.find("InitGame.lua"), std::string::npos) << err;
        EXPECT_NE(err.find("WidgetManipulator::Init: no \"Manipulator\""), std::string::npos) << err;
        EXPECT_NE(err.find("QUORBSound.fev"), std::string::npos) << err;
        EXPECT_EQ(world.Game().GetStates().GetCurrentStateName(), "Running State Exit Code");
        EXPECT_EQ(world.Game().GetWidgetManipulator()->GetManipulatorGob(), nullptr);
        EXPECT_NE(world.Game().GetCursor(), nullptr);
    }
    {
        // The 2D archetype missing: the menus cannot be built, and nothing half-built is left.
        GameTestSetup setup;
        setup.files["files/xmlfiles/2DObjectTemplate.xml"] = "<?xml version=\"1.0\" ?>\n<File></File>\n";
        testsupport::LogCapture logged;
        GameTestWorld world(setup);
        const std::string err = logged.Text();
        ASSERT_TRUE(world.Booted());
        EXPECT_EQ(CountOf(err, "CreateConsole: there is no \"2DArchetype\" archetype"), 1u) << err;
        EXPECT_EQ(world.Game().GetConsoleId(), 0u);
        EXPECT_EQ(common::Singleton<Database>::Instance()->FindIdByName("MainMenu"), 0u);
        world.Frames(2);
        world.Key(gametest::kEscape);
    }
}
