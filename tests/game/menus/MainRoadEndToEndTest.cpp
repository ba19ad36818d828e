// The main road from start-up to the main menu and out again, as a returning player takes it:
// the three splash screens (watched to the end or clicked away), the main menu with the help
// tab and the welcome text, then "Exit": the profile and the settings written and the program
// ended with code 0. Closing the window instead ends it without saving.
#include "MainRoadSetup.h"
#include "MenuTestWorld.h"

#include "engine/gfx/gui/CCursor.h"
#include "game/app/CQUORB.h"
#include "game/menus/BaseMenu.h"
#include "platform/frame_driver.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace
{
constexpr int kOpen = QUORB::BaseMenu::STATE_Open;
const char* const kLastUsed = "<string name=\"LastUsedProfile\">MyProfile.xml</string>";

enum class Way
{
    Watched,
    Skipped,
};

enum class End
{
    Exit,
    CloseWindow,
};

struct RoadCase
{
    const char* name;
    Way way;
    End end;
};

TEST(MainRoad, FromStartUpToTheMainMenuAndOut)
{
    const RoadCase cases[] = {
        {"splashes watched, Exit", Way::Watched, End::Exit},
        {"splashes skipped, Exit", Way::Skipped, End::Exit},
        {"splashes skipped, the window closed", Way::Skipped, End::CloseWindow},
    };
    for (const RoadCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        gametest::MenuTestWorld world(mainroad::RoadSetup("MyProfile.xml", {"MyProfile.xml"}));
        ASSERT_TRUE(world.Booted());
        world.Step();
        EXPECT_EQ(world.MenuState("KeshSplashMenu"), QUORB::BaseMenu::STATE_Opening);
        for (const std::string& splash : mainroad::Splashes())
            if (c.way == Way::Skipped)
            {
                ASSERT_TRUE(world.Click(splash, "Background"));
            }
        ASSERT_TRUE(world.RunUntil([&]() { return world.MenuState("MainMenu") == kOpen; }, 13.5));
        world.RunFor(0.5);

        // What the player sees: the main menu in place, the help tab, the welcome text, the
        // cursor back and the default skin on.
        EXPECT_EQ(world.Unit("MainMenu", "Background").x, 144);
        EXPECT_TRUE(world.Unit("MainMenu", "Exit").visible);
        EXPECT_EQ(world.MenuState("HelpMenu"), kOpen);
        EXPECT_TRUE(world.Unit("HelpMenu", "HelpButton").visible);
        EXPECT_EQ(world.MenuState("MessageWindowMenu"), kOpen);
        EXPECT_EQ(world.Unit("MessageWindowMenu", "MessageText").text, "Welcome to Q.U.O.R.B.");
        ASSERT_NE(world.Game().GetCursor(), nullptr);
        EXPECT_TRUE(world.Game().GetCursor()->IsActive());
        EXPECT_EQ(world.Game().GetGameSkinName(), "DefaultSkin");
        for (const std::string& splash : mainroad::Splashes())
            EXPECT_FALSE(world.Unit(splash, "Background").visible) << splash;

        // Resting on "Play" for half a second brings up its tip beside the cursor.
        ASSERT_TRUE(world.Hover("MainMenu", "Play", 0.6));
        EXPECT_EQ(world.MenuState("ToolTipMenu"), kOpen);
        EXPECT_EQ(world.Unit("ToolTipMenu", "ToolTipText").text, "Play QUORB!");
        EXPECT_TRUE(world.Unit("ToolTipMenu", "Background").visible);

        const std::string settings = world.Folder() + mainroad::kSettingsFile;
        const std::string profile = world.Folder() + mainroad::kProfileFolder + "MyProfile.xml";
        std::filesystem::remove(settings);
        std::filesystem::remove(profile);
        if (c.end == End::Exit)
        {
            ASSERT_TRUE(world.Click("MainMenu", "Exit"));
        }
        else
        {
            plat::SendMessageW(plat::DXUTGetHWND(), plat::WM_CLOSE, 0, 0);
        }
        int code = -1;
        EXPECT_TRUE(world.QuitRequested(&code));
        EXPECT_EQ(code, 0);
        EXPECT_EQ(world.EndRun(), 0);
        if (c.end == End::Exit)
        {
            EXPECT_NE(mainroad::ReadWhole(settings).find(kLastUsed), std::string::npos);
            EXPECT_NE(mainroad::ReadWhole(profile).find(mainroad::kOurRoom), std::string::npos);
        }
        else
        {
            EXPECT_FALSE(std::filesystem::exists(settings));
            EXPECT_FALSE(std::filesystem::exists(profile));
        }
    }
}
} // namespace
