// Every menu of the game brought up on the real OpenGL device, each in its own situation, and
// photographed through the game's screenshot path ("takescrshot"):
//
//   menushots::MenuShotDriver driver;
//   std::string why;
//   if (!driver.Start(why)) ...             // a virtual X display with Mesa's software renderer
//   for (const menushots::MenuShot& shot : driver.Run()) ...
//
// The game runs in-process in the menu test world on the test clock, at 800 x 600, from its
// splash screens on, as a returning player with a few profiles and a room of his own meets it;
// the driver moves the pointer, clicks, holds and types as the player would. For every menu of
// QUORB::MenuTable it keeps the picture with the menu up ("NN-<name>.png", NN its index in the
// table), the frame before the action that opened it ("before/NN-<name>.png") and the rectangle
// its units covered, all under screenshots/menus/ in the test build folder. `scripts/menu-screenshots`
// runs it; the test MenuScreenshotsTest checks the pictures.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace gametest
{
class MenuTestWorld;
}

namespace testsupport
{
class ScopedEnv;
class VirtualDisplay;
} // namespace testsupport

namespace menushots
{
constexpr int kWidth = 800;
constexpr int kHeight = 600;

// Screen pixels, right and bottom one past the last; empty when right <= left or bottom <= top.
struct ShotArea
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
    void Add(int x0, int y0, int x1, int y1);
};

struct MenuShot
{
    std::size_t index = 0; // in QUORB::MenuTable
    std::string menu;
    std::string file;       // the picture with the menu up; "" when it was never taken
    std::string beforeFile; // the frame before the menu opened; "" when it was never taken
    ShotArea area;          // what the menu's units covered in the picture
};

class MenuShotDriver
{
public:
    MenuShotDriver();
    ~MenuShotDriver();
    MenuShotDriver(const MenuShotDriver&) = delete;
    MenuShotDriver& operator=(const MenuShotDriver&) = delete;

    // The virtual display and the environment of the OpenGL backend; false with the reason.
    bool Start(std::string& why);
    // Plays the game through every situation: one shot per menu, in table order. What went
    // wrong on the way (a menu that did not open, a button that was not there) is in Problems().
    std::vector<MenuShot> Run();
    const std::vector<std::string>& Problems() const { return m_problems; }

    // screenshots/menus/ in the test build folder, with a trailing slash.
    static std::string Folder();

private:
    // ---- the situations, in the order the player meets them (MenuShotDriverScenes.cpp) ----
    void Splashes();
    void MainMenu();
    void OptionsAndCredits();
    void Profiles();
    void RoomListAndEscape();
    void AtAFace();
    void InAPuzzle();
    void TheRun();
    void Building();
    void RadialMenus();
    void SavingTheRoom();

    // ---- taking pictures ----
    // The frame about to be drawn saved as the "before" picture of each menu named.
    void Before(const std::vector<std::string>& menus);
    // The next frame saved as the menu's picture, with the area its units cover.
    void Shoot(const std::string& menu);
    MenuShot& ShotOf(const std::string& menu);
    ShotArea AreaOf(const std::string& menu) const;

    // ---- playing ----
    // Frames until the menu is open, then one more for the last step of its motion; false
    // (noted) when it did not open in time.
    bool WaitOpen(const std::string& menu, double seconds = 3.0);
    bool WaitClosed(const std::string& menu, double seconds = 3.0);
    // Frames until no menu is on its way in or out (the message window aside, which comes and
    // goes with its texts), then one more. A menu that is still closing does not hear a request
    // to open.
    void Settle(double seconds = 3.0);
    // The world's pointing and clicking, noted when the unit is missing.
    bool Point(const std::string& menu, const std::string& unit);
    bool Click(const std::string& menu, const std::string& unit);
    // The left button held down over the unit (pointed at first).
    bool Press(const std::string& menu, const std::string& unit);
    void Note(const std::string& problem);

    std::unique_ptr<testsupport::VirtualDisplay> m_display;
    std::unique_ptr<testsupport::ScopedEnv> m_env;
    std::unique_ptr<gametest::MenuTestWorld> m_world;
    std::vector<MenuShot> m_shots;
    std::vector<std::string> m_problems;
    bool m_started = false;
};
} // namespace menushots
