#include "GameTestWorld.h"

#include "TestSupport.h"
#include "common/ConsoleInterface.h"
#include "common/FunctionFlags.h"
#include "common/InputEvent.h"
#include "common/LuaUtil.h"
#include "common/Singleton.h"
#include "common/Utf8Text.h"
#include "common/math/Vector3.h"
#include "engine/CDorvoApp.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/gui/CCursor.h"
#include "game/app/CEngineLoader.h"
#include "game/app/CQUORB.h"
#include "game/app/CQUORBApp.h"
#include "game/camera/WorldToScreen.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/input_feed.h"
#include "platform/win32.h"
#include "statemachine/ACMsgTaker.h"
#include "statemachine/Database.h"
#include "statemachine/MsgClock.h"
#include "statemachine/MsgRouter.h"

#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <unistd.h>

namespace gametest
{
namespace
{
constexpr double kFrameSeconds = 1.0 / 30.0;

// A folder of its own four levels below the repository: <build>/gameworld/<process>-<n>/.
std::string NewFolder()
{
    static std::atomic<int> s_serial{0};
    const std::filesystem::path folder = std::filesystem::path(DORVO_BINARY_DIR) / "gameworld" /
                                         (std::to_string(::getpid()) + "-" + std::to_string(++s_serial));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder.string() + "/";
}

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
} // namespace

GameTestWorld::GameTestWorld() : GameTestWorld(GameTestSetup()) {}

GameTestWorld::GameTestWorld(const GameTestSetup& setup)
{
    Boot(setup);
}

bool GameTestWorld::WriteFile(const std::string& relative, const std::string& text) const
{
    const std::filesystem::path path = std::filesystem::path(m_folder) / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

void GameTestWorld::Boot(const GameTestSetup& setup)
{
    m_folder = NewFolder();
    m_previousFolder = std::filesystem::current_path().string();
    m_fullScreen = setup.fullScreen;

    if (setup.copyTemplates)
        std::filesystem::create_directories(m_folder + "files/xmlfiles");
    if (setup.copyTemplates)
        std::filesystem::copy(testsupport::RepoPath("data/files/xmlfiles"), m_folder + "files/xmlfiles",
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
    if (setup.copyRooms)
        for (const char* folder : {"rooms", "puzzles"})
        {
            std::filesystem::create_directories(m_folder + "files/" + folder);
            std::filesystem::copy(
                testsupport::RepoPath(std::string("data/files/") + folder), m_folder + "files/" + folder,
                std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
        }
    for (const auto& file : setup.files)
        WriteFile(file.first, file.second);

    const std::string soundFolder =
        setup.soundFolder.empty() ? testsupport::RepoPath("data/sounds") + "/" : m_folder + setup.soundFolder;
    if (setup.writeStartup)
        WriteFile("Startup.lua",
                  "XML_PATH = \"" + m_folder + "files/xmlfiles/\"\n" + "ROOM_PATH = \"" + m_folder +
                      "files/rooms/\"\n" + "ENVFILE_PATH = \"env/\"\n" + "PUZZLE_PATH = \"" + m_folder +
                      "files/puzzles/\"\n" + "PROFILE_PATH = \"" + m_folder + "files/profiles/\"\n" +
                      "SOUND_PATH = \"" + soundFolder + "\"\n" +
                      "NODE_BREAK_FORCE = 400.0\nNODE_BREAK_DISTANCE = 1.5\n" + setup.startupLines);
    if (setup.writeInitGame)
        WriteFile("InitGame.lua", setup.initGameScript.empty()
                                      ? ReadWhole(testsupport::RepoPath("data/scripts/InitGame.lua"))
                                      : setup.initGameScript);
    std::filesystem::current_path(m_folder);

    // A fresh engine: no templates or script globals of an earlier world in this process.
    GobManager::Instance().ResetTemplates();
    LuaUtil::ResetInstance();
    common::ConsoleInterface::Instance().ClearOutput();
    plat::headless::Reset();
    plat::inputfeed::Reset();
    plat::soundtest::ClearRecords();
    plat::testclock::Set(1.0);
    // The message clock and the router outlive a world: the clock reads the fresh test clock
    // before anything is sent, so a delayed message posted before the first frame falls due on
    // this world's time, and messages an earlier world left queued are dropped (object ids start
    // again, so they would reach this world's objects).
    common::Singleton<MsgClock>::Instance()->Update();
    common::Singleton<MsgRouter>::Instance()->PurgeAll();

    if (setup.beforeInit)
        setup.beforeInit();
    g_pApp = new QUORB::CQUORBApp();
    QUORB::CEngineLoader loader;
    m_booted = g_pApp->Init(loader, setup.engineConfig.empty()
                                        ? testsupport::RepoPath("data/files/xmlfiles/dorvo_engine_config.xml")
                                        : m_folder + setup.engineConfig);
    m_game = dynamic_cast<QUORB::CQUORB*>(g_pApp->GetGame());
    m_booted = m_booted && m_game != nullptr;
    if (m_booted && m_fullScreen)
        dorvo::gfx::CGFXCore::Instance().SetFullScreen(true);
}

GameTestWorld::~GameTestWorld()
{
    if (g_pApp)
    {
        g_pApp->Shutdown();
        delete g_pApp;
        g_pApp = nullptr;
    }
    plat::DXUTShutdown(0);
    std::error_code error;
    std::filesystem::current_path(m_previousFolder, error);
    std::filesystem::remove_all(m_folder, error);
}

void GameTestWorld::Frame()
{
    plat::testclock::Advance(kFrameSeconds);
    m_timeMs += 33;
    plat::DXUTRender3DEnvironment();
}

void GameTestWorld::Frames(int count)
{
    for (int i = 0; i < count; ++i)
        Frame();
}

void GameTestWorld::Wait(double seconds)
{
    plat::testclock::Advance(seconds);
}

std::vector<std::string> GameTestWorld::Console(const std::string& line)
{
    common::ConsoleInterface& console = common::ConsoleInterface::Instance();
    console.ClearOutput();
    console.WriteToConsole(line, common::FF_Execute, true);
    return std::vector<std::string>(console.GetOutputLines().begin(), console.GetOutputLines().end());
}

void GameTestWorld::KeyDown(std::uint32_t code)
{
    plat::inputfeed::KeyChange(code, true, m_timeMs);
    Frame();
}

void GameTestWorld::KeyUp(std::uint32_t code)
{
    plat::inputfeed::KeyChange(code, false, m_timeMs);
    Frame();
}

void GameTestWorld::Key(std::uint32_t code)
{
    plat::inputfeed::KeyChange(code, true, m_timeMs);
    plat::inputfeed::KeyChange(code, false, m_timeMs + 5);
    Frame();
}

void GameTestWorld::Type(const std::string& text)
{
    for (std::size_t at = 0; at < text.size(); at = common::NextCharacter(text, at))
    {
        const std::string character = text.substr(at, common::NextCharacter(text, at) - at);
        std::uint32_t key = 0;
        unsigned char shifted = 0;
        for (std::uint32_t code = 2; code <= 57 && key == 0 && character.size() == 1; ++code)
            for (unsigned char shift = 0; shift < 2 && key == 0; ++shift)
                if (dorvo::input::ScanCodeToChar(dorvo::input::InputEvent{code, 1, 0, 0}, shift) ==
                    character[0])
                {
                    key = code;
                    shifted = shift;
                }
        if (shifted)
            plat::inputfeed::KeyChange(dorvo::input::KEY_LSHIFT, true, m_timeMs);
        if (key)
            plat::inputfeed::KeyChange(key, true, m_timeMs);
        plat::inputfeed::Text(character.c_str(), m_timeMs);
        if (key)
            plat::inputfeed::KeyChange(key, false, m_timeMs + 5);
        if (shifted)
            plat::inputfeed::KeyChange(dorvo::input::KEY_LSHIFT, false, m_timeMs + 5);
        Frame();
    }
}

void GameTestWorld::LeftDown()
{
    plat::inputfeed::MouseButton(0, true, m_timeMs);
    Frame();
}

void GameTestWorld::LeftUp()
{
    plat::inputfeed::MouseButton(0, false, m_timeMs);
    Frame();
}

void GameTestWorld::LeftClick()
{
    plat::inputfeed::MouseButton(0, true, m_timeMs);
    plat::inputfeed::MouseButton(0, false, m_timeMs + 5);
    Frame();
}

void GameTestWorld::MoveCursor(int x, int y)
{
    plat::headless::SetCursorScreenPosition(x, y);
    if (m_fullScreen)
    {
        const dorvo::gfx::CCursor* cursor = m_game ? m_game->GetCursor() : nullptr;
        const int fromX = cursor ? static_cast<int>(cursor->GetScreenPoint().x) : 0;
        const int fromY = cursor ? static_cast<int>(cursor->GetScreenPoint().y) : 0;
        plat::inputfeed::MouseMove(x - fromX, y - fromY, m_timeMs);
    }
    Frame();
}

void GameTestWorld::RightDown()
{
    plat::inputfeed::MouseButton(1, true, m_timeMs);
    Frame();
}

void GameTestWorld::RightUp()
{
    plat::inputfeed::MouseButton(1, false, m_timeMs);
    Frame();
}

void GameTestWorld::PointAtPixel(int x, int y)
{
    const dorvo::gfx::CCursor* cursor = m_game ? m_game->GetCursor() : nullptr;
    const int fromX = cursor ? static_cast<int>(cursor->GetScreenPoint().x) : 0;
    const int fromY = cursor ? static_cast<int>(cursor->GetScreenPoint().y) : 0;
    plat::headless::SetCursorScreenPosition(x, y);
    if (x != fromX || y != fromY)
        plat::inputfeed::MouseMove(x - fromX, y - fromY, m_timeMs);
    Frame();
}

void GameTestWorld::ScreenPixelOf(const math::Vector3& world, int& x, int& y)
{
    const math::Vector3 screen = QUORB::WorldToScreen(world);
    x = static_cast<int>(std::lround(screen.x));
    y = static_cast<int>(std::lround(screen.y));
}

void GameTestWorld::PointAt(const math::Vector3& world)
{
    int x = 0;
    int y = 0;
    ScreenPixelOf(world, x, y);
    PointAtPixel(x, y);
}

void GameTestWorld::PressAt(const math::Vector3& world)
{
    PointAt(world);
    LeftDown();
}

void GameTestWorld::ReleaseAt(const math::Vector3& world)
{
    PointAt(world);
    LeftUp();
}

void GameTestWorld::RightPressAt(const math::Vector3& world)
{
    PointAt(world);
    RightDown();
}

void GameTestWorld::RightReleaseAt(const math::Vector3& world)
{
    PointAt(world);
    RightUp();
}

QUORB::PlaceholderMenu* GameTestWorld::Menu(const std::string& name) const
{
    Database* database = common::Singleton<Database>::Instance();
    const std::uint32_t id = database->FindIdByName(name);
    ACMsgTaker* taker = id != 0 ? database->FindById(id) : nullptr;
    return taker ? dynamic_cast<QUORB::PlaceholderMenu*>(taker->GetActiveStateMachine()) : nullptr;
}

std::size_t GameTestWorld::MessageCount(const std::string& menu, MessageName message) const
{
    const QUORB::PlaceholderMenu* placeholder = Menu(menu);
    std::size_t count = 0;
    if (placeholder)
        for (const QUORB::PlaceholderMenu::Received& received : placeholder->GetReceived())
            count += received.name == message ? 1 : 0;
    return count;
}

const std::vector<plat::soundtest::Record>& GameTestWorld::Sounds() const
{
    return plat::soundtest::Records();
}

void GameTestWorld::ClearSounds()
{
    plat::soundtest::ClearRecords();
}

Gob* GameTestWorld::Object(const std::string& name) const
{
    return GobManager::Instance().GetGobByName(name);
}
} // namespace gametest
