// The building menus drawn by the real program on a virtual X display (Xvfb) with Mesa's software
// renderer, driven from inside its frames over the empty room: the creator column with crosses
// on the types a puzzle leaves out, the save-room dialog over its veil, and "Radial" opened at the
// middle of the screen with "Submenu" fanned from its second button. The pictures go under
// screenshots/ in the test build folder ("building_*.png") and are checked at their pixels.
// Skipped where Xvfb is not installed.
#include "game/app/CQUORB.h"
#include "game/app/CQUORBApp.h"

#include "FrameScriptedApp.h"

#include "GLTestDevice.h"
#include "PngPicture.h"
#include "TestSupport.h"
#include "VirtualDisplay.h"
#include "common/Singleton.h"
#include "common/math/MathUtil.h"
#include "common/math/Vector3.h"
#include "engine/RunApplication.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "game/app/CEngineLoader.h"
#include "game/app/MenuSend.h"
#include "game/app/MenuTable.h"
#include "game/app/PlaceholderMenu.h"
#include "game/menus/RegisterMenuTypes.h"
#include "game/room/CPuzzle.h"
#include "game/room/CRoom.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/win32.h"
#include "statemachine/Database.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr int kWidth = 800;
constexpr int kHeight = 600;

std::map<int, std::function<void()>>& g_script = gametest::TheFrameScript().steps;
int& g_frames = gametest::TheFrameScript().frames;
int& g_lastFrame = gametest::TheFrameScript().lastFrame;

void Shot(const std::string& name)
{
    dorvo::gfx::CDorvoGfx::Instance().TakeScreenShot(testsupport::ScreenshotPath(name));
}

struct Picture : testsupport::PngPicture
{
    int Sum(int x, int y) const { return At(x, y, 0) + At(x, y, 1) + At(x, y, 2); }
    // Pixels of the square around the point that differ from the other picture's.
    int Changed(const Picture& other, int x, int y, int half) const
    {
        int changed = 0;
        for (int j = y - half; j <= y + half; ++j)
            for (int i = x - half; i <= x + half; ++i)
                if (i >= 0 && j >= 0 && i < width && j < height && std::abs(Sum(i, j) - other.Sum(i, j)) > 30)
                    ++changed;
        return changed;
    }
    // Strongly red pixels (the crosses) in the square.
    int Red(int x, int y, int half) const
    {
        int red = 0;
        for (int j = y - half; j <= y + half; ++j)
            for (int i = x - half; i <= x + half; ++i)
                if (At(i, j, 0) > 150 && At(i, j, 1) < 90 && At(i, j, 2) < 90)
                    ++red;
        return red;
    }
    // Dark pixels (text ink) in the rectangle.
    int Ink(int x0, int y0, int x1, int y1) const
    {
        int ink = 0;
        for (int j = y0; j < y1; ++j)
            for (int i = x0; i < x1; ++i)
                ink += Sum(i, j) < 150 ? 1 : 0;
        return ink;
    }
};

Picture Load(const std::string& name)
{
    return testsupport::LoadPng<Picture>(testsupport::ScreenshotPath(name));
}

void Broadcast(MessageName name, float x, float y)
{
    common::Singleton<Database>::Instance()->BroadcastMsgVector3(name, math::Vector3(x, y, 0.0f));
}
} // namespace

TEST(BuildingMenusPixelTest, TheCreatorColumnTheSaveDialogAndTheRadialMenusShowOverTheRoom)
{
    if (!testsupport::XvfbInstalled())
        GTEST_SKIP() << "Xvfb is not installed (package xvfb): the program is not run on a display here";
    testsupport::VirtualDisplay display;
    ASSERT_TRUE(display.Start("1024x768x24")) << "Xvfb did not start";
    plat::headless::Reset();
    testsupport::ScopedEnv env;
    testsupport::UseOpenGLOn(display, env);
    namespace fs = std::filesystem;
    testsupport::MakeGameRunFolder("files");
    // The menu classes as the program entry files them; the splashes stay quiet placeholders.
    QUORB::MenuTable::ResetCreators();
    QUORB::RegisterMenuTypes();
    for (const char* splash : {"KeshSplashMenu", "VoskelSplashMenu", "GameSplashMenu"})
        QUORB::RegisterMenuType<QUORB::PlaceholderMenu>(splash);

    using QUORB::SendToMenu;
    g_script[5] = []
    {
        QUORB::CQUORB* game = QUORB::CQUORB::Get();
        game->SetCreatePuzzleMode(true);
        game->GetRoom()->FocusFace(0);
        game->SetGameSkin("DefaultSkin");
    };
    g_script[50] = [] { Shot("building_room.png"); };
    // Platform and bar only: crosses on the accelerator, the gravity switch and the magnet.
    g_script[51] = []
    {
        QUORB::CQUORB::Get()->GetFocusedPuzzle()->SetAvailableWidgets(1 | 4);
        SendToMenu("CreatorMenu", MSG_OpenMenu);
    };
    g_script[70] = [] { Shot("building_creator.png"); };
    g_script[71] = []
    {
        SendToMenu("CreatorMenu", MSG_CloseMenuForced);
        SendToMenu("SaveRoomMenu", MSG_OpenMenu);
    };
    g_script[90] = [] { Shot("building_saveroom.png"); };
    g_script[91] = []
    {
        SendToMenu("SaveRoomMenu", MSG_CloseMenuForced);
        Broadcast(MSG_MouseHeld, 400.0f, 300.0f);
        SendToMenu("Radial", MSG_OpenMenu);
    };
    g_script[110] = [] { Shot("building_radial.png"); };
    // As resting the pointer on the second button does.
    g_script[111] = [] { QUORB::SendTextToMenu("Radial", MSG_MouseHeldOver, "Button 1"); };
    g_script[150] = [] { Shot("building_submenu.png"); };
    g_lastFrame = 153;

    plat::testclock::Set(1.0);
    plat::testclock::SetAutoAdvance(0.0005);
    QUORB::CEngineLoader loader;
    const int code =
        dorvo::RunApplication(std::make_unique<gametest::FrameScriptedApp>(), loader,
                              testsupport::RepoPath("data/files/xmlfiles/dorvo_engine_config.xml"));
    plat::testclock::SetAutoAdvance(0.0);
    QUORB::MenuTable::ResetCreators();
    fs::remove("InitGame.lua");
    fs::remove("Startup.lua");
    fs::remove_all("files");
    env.Set("DORVO_HEADLESS", "1");
    plat::headless::Reset();
    EXPECT_EQ(code, 0);
    EXPECT_EQ(g_frames, g_lastFrame);

    const Picture room = Load("building_room.png");
    ASSERT_EQ(room.width, kWidth);
    ASSERT_EQ(room.height, kHeight);

    // The column at the right edge: five discs from (755, 100), 40 pixels apart, a cross on the
    // three types that are off.
    const Picture creator = Load("building_creator.png");
    ASSERT_EQ(creator.width, kWidth);
    for (int row = 0; row < 5; ++row)
    {
        SCOPED_TRACE("row " + std::to_string(row));
        const int x = 755 + 22;
        const int y = 100 + 40 * row + 22;
        EXPECT_GT(creator.Changed(room, x, y, 14), 300) << "the disc and its icon";
        if (row >= 2)
        {
            EXPECT_GT(creator.Red(x - 2, y - 3, 14), 40) << "a cross";
        }
        else
        {
            EXPECT_LT(creator.Red(x - 2, y - 3, 14), 10) << "no cross";
        }
    }
    EXPECT_LT(creator.Changed(room, 400, 300, 40), 50) << "the rest of the screen as it was";

    // The dialog: the screen veiled beside the panel, the panel at (200, 100) with its title
    // and its two buttons' labels in dark ink.
    const Picture dialog = Load("building_saveroom.png");
    ASSERT_EQ(dialog.width, kWidth);
    // The veil, in the skin's colour, over the whole screen beside the panel.
    EXPECT_GT(dialog.Changed(room, 100, 500, 60), 6000) << "the veil";
    EXPECT_GT(dialog.Changed(room, 700, 60, 60), 6000) << "the veil";
    EXPECT_GT(dialog.Sum(380, 150), 500) << "the panel";
    EXPECT_GT(dialog.Ink(245, 110, 460, 150), 150) << "\"Save Room\"";
    EXPECT_GT(dialog.Ink(280, 262, 330, 285), 30) << "\"Save\"";
    EXPECT_GT(dialog.Ink(400, 262, 460, 285), 30) << "\"Cancel\"";
    EXPECT_GT(dialog.Ink(265, 185, 420, 210), 30) << "\"MyRoom\"";

    // "Radial": eight discs on the circle of 80 around the middle of the screen.
    const Picture radial = Load("building_radial.png");
    ASSERT_EQ(radial.width, kWidth);
    for (int i = 0; i < 8; ++i)
    {
        SCOPED_TRACE("button " + std::to_string(i));
        const float angle = -0.5f * math::kPi + (static_cast<float>(i) + 0.5f) * 0.25f * math::kPi;
        const int x = 400 + static_cast<int>(80.0f * std::cos(angle)) + 32;
        const int y = 300 - static_cast<int>(80.0f * std::sin(angle)) + 32;
        EXPECT_GT(radial.Changed(room, x, y, 12), 300);
    }

    // "Submenu": three pills further out, fanned around the line through the second button.
    const Picture submenu = Load("building_submenu.png");
    ASSERT_EQ(submenu.width, kWidth);
    const float line = -0.5f * math::kPi + 1.5f * 0.25f * math::kPi;
    for (const float turn : {0.0f, math::kPi / 6.0f, -math::kPi / 6.0f})
    {
        SCOPED_TRACE("turn " + std::to_string(turn));
        const int x = 400 + static_cast<int>(130.0f * std::cos(line + turn)) + 30;
        const int y = 300 - static_cast<int>(130.0f * std::sin(line + turn)) + 15;
        EXPECT_GT(submenu.Changed(radial, x, y, 10), 150);
    }
}
