// The menus in full screen, headless: after Alt+Enter on a 1920 x 1080 desktop the 800 x 600
// picture fills the screen's height, 1440 x 1080 from column 240 (1.8 screen pixels to a
// back-buffer pixel). The menus keep their 800 x 600 layout, the pointer where a button is drawn
// on the screen presses that button, and the pointer on the bar beside the picture presses
// nothing.
#include "MainRoadSetup.h"
#include "MenuTestWorld.h"

#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/gui/CCursor.h"
#include "game/app/CQUORB.h"
#include "game/menus/BaseMenu.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace
{
constexpr int kOpen = QUORB::BaseMenu::STATE_Open;
constexpr double kScale = 1.8; // screen pixels to a back-buffer pixel
constexpr int kLeft = 240;     // the picture's first column on the screen

// What the shell's loop does with the window's messages between frames.
void DispatchMessages()
{
    plat::MSG msg;
    while (plat::PeekMessageW(&msg, nullptr, 0, 0, plat::PM_REMOVE))
    {
        plat::TranslateMessage(&msg);
        plat::DispatchMessageW(&msg);
    }
}

// The screen pixel where a back-buffer pixel is drawn.
void PointerOnScreenAt(double backX, double backY)
{
    plat::headless::SetCursorScreenPosition(kLeft + static_cast<int>(std::lround(backX * kScale)),
                                            static_cast<int>(std::lround(backY * kScale)));
}
} // namespace

TEST(FullScreenMenus, APressWhereAButtonIsDrawnOnTheScreenPressesItAndTheBarsPressNothing)
{
    gametest::MenuTestSetup setup = mainroad::RoadSetup("MyProfile.xml", {"MyProfile.xml"});
    setup.splashes = false;
    gametest::MenuTestWorld world(setup);
    ASSERT_TRUE(world.Booted());
    world.Step();
    world.Game().LoadProfile("MyProfile.xml");
    ASSERT_TRUE(world.Send("MainMenu", MSG_OpenMenu));
    ASSERT_TRUE(world.RunUntil([&] { return world.MenuState("MainMenu") == kOpen; }, 1.0));

    plat::headless::SetDesktopSize(1920, 1080);
    plat::headless::InjectMessage(plat::WM_SYSKEYDOWN, plat::VK_RETURN, 1 << 29);
    DispatchMessages();
    world.Step(2);
    ASSERT_FALSE(plat::DXUTIsWindowed());
    EXPECT_EQ(plat::headless::WindowWidth(), 1920);
    EXPECT_EQ(plat::headless::WindowHeight(), 1080);
    EXPECT_EQ(dorvo::gfx::GetScreenWidth(), 800u) << "the menus are laid out on the same back buffer";
    EXPECT_EQ(dorvo::gfx::GetScreenHeight(), 600u);

    const gametest::UnitView play = world.Unit("MainMenu", "Play");
    ASSERT_TRUE(play.found);
    const double middleX = play.x + play.width / 2.0;
    const double middleY = play.y + play.height / 2.0;

    // On the left bar, level with the button: the cursor lies left of the picture.
    world.ClearMessages();
    plat::headless::SetCursorScreenPosition(100, static_cast<int>(std::lround(middleY * kScale)));
    world.Step();
    EXPECT_LT(world.Game().GetCursor()->GetScreenPoint().x, 0.0f);
    world.LeftDown();
    world.LeftUp();
    EXPECT_TRUE(world.MessagesTo("RoomSelectionMenu", MSG_OpenMenu).empty());
    EXPECT_EQ(world.MenuState("MainMenu"), kOpen);

    // Where the button is drawn on the screen; a frame for the cursor, one for the button's hover.
    PointerOnScreenAt(middleX, middleY);
    world.Step(2);
    const math::Vector3 cursor = world.Game().GetCursor()->GetScreenPoint();
    EXPECT_NEAR(cursor.x, middleX, 1.0);
    EXPECT_NEAR(cursor.y, middleY, 1.0);
    world.LeftDown();
    world.LeftUp();
    EXPECT_EQ(world.MessagesTo("RoomSelectionMenu", MSG_OpenMenu).size(), 1u) << "\"Play\" was pressed";
}
