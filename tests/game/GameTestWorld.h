// The game booted headless in a few lines, for tests of the game and its menus:
//
//   gametest::GameTestWorld world;   // start-up scripts, templates and path globals of its own
//   ASSERT_TRUE(world.Booted());
//   world.Frames(2);                  // 1/30 s each on the test clock
//   world.Key(gametest::kEscape);
//   EXPECT_EQ(world.MessageCount("EscapeMenu", MSG_ToggleMenu), 1u);
//
// The world works in a fresh folder of its own (four levels below the repository, as the game's
// run folder is, so the engine configuration's data folders resolve) holding its start-up
// scripts, copies of the committed templates and whatever files the test supplies; the path
// globals name that folder. Input goes through the real devices and the game's input chain;
// sounds are the recording backend's. Nothing is written into the source tree.
#pragma once

#include "game/app/PlaceholderMenu.h"
#include "platform/sound_events.h"
#include "statemachine/MessageName.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

class Gob;

namespace math
{
class Vector3;
}

namespace QUORB
{
class CQUORB;
}

namespace gametest
{
constexpr std::uint32_t kEscape = 1;
constexpr std::uint32_t kLeftBracket = 26;
constexpr std::uint32_t kRightBracket = 27;
constexpr std::uint32_t kLeftArrow = 203;
constexpr std::uint32_t kRightArrow = 205;

struct GameTestSetup
{
    // The lines of "Startup.lua" after the path globals (which it always sets first); the
    // committed script's lines are not used, so a test sees only what it writes here.
    std::string startupLines;
    // "InitGame.lua"; by default the committed script.
    std::string initGameScript;
    bool writeStartup = true;
    bool writeInitGame = true;
    // Copies data/files/xmlfiles (templates, archetypes) into the world's files/xmlfiles/.
    bool copyTemplates = true;
    // Copies the committed rooms and puzzles (data/files/rooms, data/files/puzzles) into the
    // world's files/rooms/ and files/puzzles/, so the first frame loads the real empty room.
    bool copyRooms = false;
    // Files put into the world's folder before start-up, by path relative to it
    // ("files/xmlfiles/Extra.xml", "sounds/QUORBSound.fev").
    std::map<std::string, std::string> files;
    // SOUND_PATH: the committed sounds unless a test names a folder below the world's.
    std::string soundFolder;
    // The engine configuration the application loads, relative to the world's folder; the
    // committed "dorvo_engine_config.xml" by default.
    std::string engineConfig;
    // Full screen: the cursor moves by mouse deltas and stays where the game puts it.
    bool fullScreen = false;
    // Runs in the world's folder just before the application starts (the menu test world files
    // the menu classes and starts its recorders here).
    std::function<void()> beforeInit;
};

class GameTestWorld
{
public:
    GameTestWorld();
    explicit GameTestWorld(const GameTestSetup& setup);
    ~GameTestWorld();

    GameTestWorld(const GameTestWorld&) = delete;
    GameTestWorld& operator=(const GameTestWorld&) = delete;

    // False when the application could not start (the reason went to standard error).
    bool Booted() const { return m_booted; }
    QUORB::CQUORB& Game() const { return *m_game; }
    // The world's folder, with a trailing slash; the path globals point below it.
    const std::string& Folder() const { return m_folder; }

    // One frame: the test clock moves 1/30 s, then the frame driver runs frame move and render.
    void Frame();
    void Frames(int count);
    // Advances the test clock without a frame (seconds).
    void Wait(double seconds);

    // Runs a console line and returns the lines it printed.
    std::vector<std::string> Console(const std::string& line);

    // Keys and mouse buttons through the input devices, each followed by a frame.
    void KeyDown(std::uint32_t code);
    void KeyUp(std::uint32_t code);
    void Key(std::uint32_t code); // down and up within one frame
    // Types UTF-8 text as a keyboard does, a frame a character: the key a US keyboard has for the
    // character goes down (with Shift where needed), the text it types follows, the key comes up.
    // Characters without such a key (the underscore, "ë") come as text alone, as another layout
    // would bring them.
    void Type(const std::string& text);
    void LeftDown();
    void LeftUp();
    void LeftClick(); // down and up within one frame, as a quick click is
    // The game's cursor to (x, y) back-buffer pixels through the mouse (full screen) or the
    // system cursor (window), then a frame.
    void MoveCursor(int x, int y);

    // ---- pointing at the world, as the editor's tests do ----
    // The right mouse button, each followed by a frame.
    void RightDown();
    void RightUp();
    // The cursor to (x, y) the way a player's mouse moves it: the system cursor goes there and
    // the mouse reports the motion (so takers that follow mouse moves see it), then a frame.
    void PointAtPixel(int x, int y);
    // The back-buffer pixel a world point shows at in the current view (rounded), and the
    // cursor put there (PointAtPixel).
    static void ScreenPixelOf(const math::Vector3& world, int& x, int& y);
    void PointAt(const math::Vector3& world);
    // PointAt, then the left (or right) button down or up in a frame of its own.
    void PressAt(const math::Vector3& world);
    void ReleaseAt(const math::Vector3& world);
    void RightPressAt(const math::Vector3& world);
    void RightReleaseAt(const math::Vector3& world);

    // The menu of that name when it is a placeholder, else null.
    QUORB::PlaceholderMenu* Menu(const std::string& name) const;
    // How many messages of that name the menu received; 0 for no such placeholder.
    std::size_t MessageCount(const std::string& menu, MessageName message) const;
    // Every start and stop of an event sound since start-up (or the last ClearSounds).
    const std::vector<plat::soundtest::Record>& Sounds() const;
    void ClearSounds();
    // The game object of that name, or null.
    Gob* Object(const std::string& name) const;

private:
    void Boot(const GameTestSetup& setup);
    bool WriteFile(const std::string& relative, const std::string& text) const;

    QUORB::CQUORB* m_game = nullptr;
    bool m_booted = false;
    std::string m_folder;
    std::string m_previousFolder;
    std::uint32_t m_timeMs = 100;
    bool m_fullScreen = false;
};
} // namespace gametest
