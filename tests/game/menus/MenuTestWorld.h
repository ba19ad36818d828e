// The game booted headless with its menus, for the menus' tests:
//
//   gametest::MenuTestWorld world;       // Init, both scripts, the menu classes filed
//   ASSERT_TRUE(world.Booted());
//   world.RunFor(0.5);                   // frames of 1/30 s on the test clock
//   world.Click("HelpMenu", "Button 0"); // the pointer to the middle of the hit area, press, release
//   EXPECT_EQ(world.MessagesTo("HelpMenu", MSG_ButtonPressed).size(), 1u);
//
// It is the game test world (one boot path), working on a copy of the committed data (templates,
// settings and whatever profiles, rooms and puzzles there are; a test's own files win), with the
// menus layer's classes filed before Init and three recorders running from before Init: every
// message handed to a menu object (time, sender, receiver, message, payload), every console line
// written (shown or run) and, through the base world, every sound started. Input goes through
// the real devices and the game's input chain, as a player's would.
//
// Every world fails its test when it goes (one ADD_FAILURE per asset) for each texture file a
// unit of a menu of the game's table, or the cursor, names and could not load, and for each
// sound event or group the game asked for that no sound project has. A test that uses one on
// purpose says so: world.AllowMissingAsset("hud/NoSuchLogo.png").
#pragma once

#include "GameTestWorld.h"
#include "statemachine/MessageData.h"
#include "statemachine/MessageName.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace dorvo
{
namespace gfx
{
class Gfx2DComp;
class IScreenUnit;
} // namespace gfx
} // namespace dorvo

namespace math
{
class Vector3;
}

namespace gametest
{
struct MenuTestSetup : GameTestSetup
{
    // Runs after RegisterMenuTypes, before Init: a test files its own menu classes here
    // (QUORB::RegisterMenuType<TestMenu>("HelpMenu")).
    std::function<void()> registerMenus;
    // The splash chain from the first frame: the three splash screens hide the cursor, take
    // every click and end by opening the main menu or the profile creation. Off, their names
    // keep placeholders, so a test starts on a quiet screen with the cursor at its command.
    bool splashes = false;
};

struct MenuMessage
{
    double time = 0.0;    // test-clock seconds
    std::string sender;   // game-object name; "" for the message database or an unnamed object
    std::string receiver; // the menu's game-object name
    MessageName name = MSG_NULL;
    MessageData data;
};

struct ConsoleLine
{
    double time = 0.0;
    std::string text;
    bool run = false; // run as a command, else only shown
};

// What a player sees of a unit.
struct UnitView
{
    bool found = false;
    bool visible = false;
    int x = 0; // screen rectangle, pixels: absolute position and scaled size
    int y = 0;
    int width = 0;
    int height = 0;
    float alpha = 0.0f;
    float red = 0.0f; // the colour it is drawn in (skin colours included)
    float green = 0.0f;
    float blue = 0.0f;
    std::string text; // a text sprite's or an edit box's text
    bool checked = false;
    std::string tip;
};

// The recordings, built before the game world boots (a base ahead of it) so the recorders can
// fill them from the first message on.
struct MenuRecordings
{
    std::vector<MenuMessage> messages;
    std::vector<ConsoleLine> console;
};

class MenuTestWorld : private MenuRecordings, public GameTestWorld
{
public:
    MenuTestWorld();
    explicit MenuTestWorld(const MenuTestSetup& setup);
    ~MenuTestWorld();

    // Frames of 1/30 s.
    void Step(int frames = 1);
    // As many frames as fill the time (at least one).
    void RunFor(double seconds);
    // Frames until the condition holds or the time is spent; whether it holds.
    bool RunUntil(const std::function<bool()>& condition, double limitSeconds);
    // Test-clock seconds.
    double Now() const;

    const std::vector<MenuMessage>& Messages() const { return messages; }
    // Those to one menu, optionally of one message only (MSG_NULL: all).
    std::vector<MenuMessage> MessagesTo(const std::string& menu, MessageName name = MSG_NULL) const;
    void ClearMessages() { messages.clear(); }
    const std::vector<ConsoleLine>& ConsoleLines() const { return console; }
    void ClearConsoleLines() { console.clear(); }
    // The paths of the sounds started, in order.
    std::vector<std::string> SoundsStarted() const;
    // The base world's, keeping the missing sound events asked for so far for the world's end.
    void ClearSounds();

    // The pointer to the middle of the unit's hit area (its rectangle or circle test, else its
    // screen rectangle), then a frame for the hover; false, nothing done, without the unit.
    bool PointAt(const std::string& menu, const std::string& unit);
    // PointAt, then a left press and a release, a frame each.
    bool Click(const std::string& menu, const std::string& unit);
    // PointAt, then frames for that long.
    bool Hover(const std::string& menu, const std::string& unit, double seconds);
    // The text typed, a frame a character (GameTestWorld::Type).
    void TypeText(const std::string& text);

    // The menu's state (-1 without such a menu).
    int MenuState(const std::string& menu) const;
    dorvo::gfx::Gfx2DComp* Gui(const std::string& menu) const;
    dorvo::gfx::IScreenUnit* FindUnit(const std::string& menu, const std::string& unit) const;
    UnitView Unit(const std::string& menu, const std::string& unit) const;

    // Whether the program has been asked to end (the quit message posted and not yet taken),
    // and the exit code it was asked with.
    bool QuitRequested(int* exitCode = nullptr) const;
    // After a quit request: the shell's message loop runs until it takes the quit, then the
    // application shuts down and goes; returns the exit code the process would end with. No
    // frames afterwards. Without a quit request nothing is done and -1 comes back.
    int EndRun();
    // A message to the named menu through the message database, as another part of the game
    // sends it (no payload, an integer or a text); false when no object has the name or the
    // menu did not take it.
    bool Send(const std::string& menu, MessageName name);
    bool SendInt(const std::string& menu, MessageName name, int value);
    bool SendText(const std::string& menu, MessageName name, const std::string& text);
    // The names of the units of one of the menu's scroll lists, in list order; empty without it.
    std::vector<std::string> ScrollListNames(const std::string& menu, const std::string& list) const;
    // A message with a vector to every message taker, as the game broadcasts the mouse's
    // MSG_MouseHeld and MSG_MouseUp; whether any took it.
    bool Broadcast(MessageName name, const math::Vector3& value);
    // "unit: file" for each unit of the menu that names a texture file that did not load.
    std::vector<std::string> UnloadedTextures(const std::string& menu) const;
    // What the world's end fails the test for, as it stands now: 'texture "<file>" did not load
    // (<menu>/<unit>)' for each unit of the 28 menus and the cursor whose texture did not load,
    // then 'no sound event or group "<path>"' for each one asked for since start-up. Allowed
    // assets are left out.
    std::vector<std::string> MissingAssets() const;
    // The test means to use this missing texture file or sound event (or group) path: the
    // world's end does not fail it.
    void AllowMissingAsset(const std::string& fileOrPath);
    // The game test world's pointing at world points, beside pointing at menu units.
    using GameTestWorld::PointAt;

private:
    static GameTestSetup WithMenus(const MenuTestSetup& setup, MenuRecordings* recordings);
    struct MissingTexture
    {
        std::string file;
        std::string unit; // "<menu>/<unit>" or "Cursor/<unit>"
        bool operator==(const MissingTexture& other) const
        {
            return file == other.file && unit == other.unit;
        }
    };
    // Over the 28 menus and the cursor, as they are now; empty once the game has gone.
    std::vector<MissingTexture> UnloadedTexturesNow() const;
    // Those of now kept beside earlier ones, for the world's end (the game goes at EndRun).
    void NoteUnloadedTextures();

    std::vector<MissingTexture> m_unloadedTextures;
    // Sound paths found missing before the records were last cleared.
    std::vector<std::string> m_missingSounds;
    std::set<std::string> m_allowedMissing;
};
} // namespace gametest
