// The first start of the game, headless, as a new player meets it: no profile but the template,
// so the splash chain ends 12.6 s in with the create-profile panel; "Create" makes "MyProfile"
// from the template, opens the main menu and the help tab and reports after the welcome; "Exit"
// keeps it as the last profile, and the next start in the same folder goes to the main menu.
#include "MainRoadSetup.h"
#include "MenuTestWorld.h"

#include "common/Singleton.h"
#include "engine/gfx/gui/CCursor.h"
#include "game/app/CQUORB.h"
#include "game/files/GameDataFiles.h"
#include "game/files/Profile.h"
#include "game/files/QUORBSettings.h"
#include "game/menus/BaseMenu.h"
#include "game/menus/ProfileMenu.h"
#include "statemachine/ACMsgTaker.h"
#include "statemachine/Database.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <filesystem>
#include <string>
#include <vector>

using mainroad::kFrame;
using mainroad::ReadWhole;
using Strings = std::vector<std::string>;

namespace
{
constexpr int kOpen = QUORB::BaseMenu::STATE_Open;
constexpr int kClosed = QUORB::BaseMenu::STATE_Closed;
const char* const kPanel = "CreateProfileMenu";

double FirstTime(const gametest::MenuTestWorld& world, const std::string& menu, MessageName name)
{
    const std::vector<gametest::MenuMessage> heard = world.MessagesTo(menu, name);
    return heard.empty() ? -1.0 : heard.front().time;
}

Strings Texts(const gametest::MenuTestWorld& world)
{
    Strings texts;
    for (const gametest::MenuMessage& message : world.MessagesTo("MessageWindowMenu", MSG_SendTextMessage))
        texts.push_back(message.data.GetString());
    return texts;
}

std::string Shown(const gametest::MenuTestWorld& world)
{
    return world.Unit("MessageWindowMenu", "MessageText").text;
}

TEST(FirstStartTest, WithoutAProfileCreateLeadsToTheMainMenuAndTheNextStartKeepsTheProfile)
{
    gametest::MenuTestSetup first;
    first.splashes = true; // the committed settings (no last profile) and profiles ("Blank.xml")
    std::string settings;
    std::string profile;
    {
        gametest::MenuTestWorld world(first);
        ASSERT_TRUE(world.Booted());
        QUORB::CQUORB& game = world.Game();
        EXPECT_EQ(game.GetSettings().LastUsedProfile, "");
        EXPECT_EQ(game.GetProfileFiles(), Strings({"Blank.xml"}));
        world.Step();
        const double start = FirstTime(world, "KeshSplashMenu", MSG_OpenMenu);
        ASSERT_GT(start, 0.0);
        ASSERT_TRUE(world.RunUntil([&world] { return FirstTime(world, kPanel, MSG_OpenMenu) > 0.0; }, 14.0));
        const double opened = FirstTime(world, kPanel, MSG_OpenMenu);
        EXPECT_GE(opened - start, 12.6 - 1e-6);
        EXPECT_LE(opened - start, 12.6 + 3 * kFrame);
        const std::vector<gametest::MenuMessage> data = world.MessagesTo(kPanel, MSG_SetCustomData);
        ASSERT_EQ(data.size(), 1u);
        EXPECT_EQ(data[0].data.GetType(), MSG_DATA_INT);
        EXPECT_EQ(data[0].data.GetInt(), 1);
        EXPECT_LE(data[0].time, opened);
        world.RunFor(0.4);
        ASSERT_EQ(world.MenuState(kPanel), kOpen);
        EXPECT_TRUE(world.MessagesTo("MainMenu", MSG_OpenMenu).empty());
        EXPECT_TRUE(world.MessagesTo("HelpMenu", MSG_OpenMenu).empty());
        EXPECT_EQ(game.GetProfile(), nullptr);
        ASSERT_NE(game.GetCursor(), nullptr);
        EXPECT_TRUE(game.GetCursor()->IsActive());
        EXPECT_EQ(world.Unit(kPanel, "TitleText").text, "Create Profile");
        EXPECT_EQ(world.Unit(kPanel, "EditBox").text, "MyProfile");
        EXPECT_EQ(world.Unit(kPanel, "Background").x, 200);
        EXPECT_EQ(world.Unit(kPanel, "Background").y, 100);
        EXPECT_FLOAT_EQ(world.Unit(kPanel, "SkinColorBackground").alpha, 0.5f);

        world.ClearMessages();
        ASSERT_TRUE(world.Click(kPanel, "CreateButton"));
        const double created = world.Now();
        const std::string path = world.Folder() + "files/profiles/MyProfile.xml";
        TiXmlDocument document;
        ASSERT_TRUE(document.LoadFile(path.c_str()));
        ASSERT_NE(document.RootElement(), nullptr);
        EXPECT_EQ(document.RootElement()->ValueStr(), "File");
        ASSERT_NE(document.RootElement()->FirstChildElement(), nullptr);
        EXPECT_EQ(document.RootElement()->FirstChildElement()->ValueStr(), "Profile");
        QUORB::Profile written;
        ASSERT_TRUE(QUORB::LoadProfileFile(written, path));
        EXPECT_EQ(written.unlockedRooms, Strings({"Tutorial.xml"}));
        ASSERT_NE(game.GetProfile(), nullptr);
        EXPECT_EQ(game.GetProfile()->name, "MyProfile.xml");
        EXPECT_EQ(world.MessagesTo("MainMenu", MSG_OpenMenu).size(), 1u);
        EXPECT_EQ(world.MessagesTo("HelpMenu", MSG_OpenMenu).size(), 1u);
        Database* database = common::Singleton<Database>::Instance();
        ACMsgTaker* taker = database->FindById(database->FindIdByName("ProfileMenu"));
        auto* profiles = taker ? dynamic_cast<QUORB::ProfileMenu*>(taker->GetActiveStateMachine()) : nullptr;
        ASSERT_NE(profiles, nullptr);
        EXPECT_EQ(world.ScrollListNames("ProfileMenu", "ProfileButtons"), Strings({"ButtonMyProfile"}));
        EXPECT_FALSE(world.Unit("ProfileMenu", "ButtonMyProfile").visible); // the profile menu is closed

        // The main menu greets as it opens, then the panel reports; the window shows one text at a
        // time, 3.6 s each.
        EXPECT_EQ(Texts(world), Strings({"Welcome to Q.U.O.R.B.", "New profile created."}));
        EXPECT_EQ(Shown(world), "Welcome to Q.U.O.R.B.");
        ASSERT_TRUE(world.RunUntil([&world] { return Shown(world) == "New profile created."; }, 5.0));
        EXPECT_NEAR(world.Now() - created, 3.6, 3 * kFrame);
        EXPECT_EQ(world.MenuState(kPanel), kClosed);
        EXPECT_EQ(world.Unit(kPanel, "Background").y, -500);
        EXPECT_FALSE(world.Unit(kPanel, "SkinColorBackground").visible);
        EXPECT_EQ(world.MenuState("MainMenu"), kOpen);

        ASSERT_TRUE(world.Click("MainMenu", "Exit"));
        int code = -1;
        ASSERT_TRUE(world.QuitRequested(&code));
        EXPECT_EQ(code, 0);
        QUORB::QUORBSettings saved;
        ASSERT_TRUE(QUORB::LoadSettingsFile(saved, world.Folder() + mainroad::kSettingsFile));
        EXPECT_EQ(saved.LastUsedProfile, "MyProfile.xml");
        settings = ReadWhole(world.Folder() + mainroad::kSettingsFile);
        profile = ReadWhole(path);
        EXPECT_EQ(world.EndRun(), 0);
    }

    // The next start, with the files the first one left: straight to the main menu.
    gametest::MenuTestSetup next;
    next.splashes = true;
    next.files[mainroad::kSettingsFile] = settings;
    next.files[std::string(mainroad::kProfileFolder) + "MyProfile.xml"] = profile;
    gametest::MenuTestWorld world(next);
    ASSERT_TRUE(world.Booted());
    ASSERT_TRUE(world.RunUntil([&world] { return FirstTime(world, "MainMenu", MSG_OpenMenu) > 0.0; }, 14.0));
    EXPECT_EQ(world.MessagesTo("HelpMenu", MSG_OpenMenu).size(), 1u);
    EXPECT_TRUE(world.MessagesTo(kPanel, MSG_OpenMenu).empty());
    ASSERT_NE(world.Game().GetProfile(), nullptr);
    EXPECT_EQ(world.Game().GetProfile()->name, "MyProfile.xml");
    EXPECT_EQ(world.ScrollListNames("ProfileMenu", "ProfileButtons"), Strings({"ButtonMyProfile.xml"}));
}

TEST(FirstStartTest, TheTemplateIsNeverWrittenEvenWhenLoadedBeforeExit)
{
    gametest::MenuTestWorld world;
    ASSERT_TRUE(world.Booted());
    world.Step();
    const std::string blank = world.Folder() + "files/profiles/Blank.xml";
    const std::string before = ReadWhole(blank);
    ASSERT_FALSE(before.empty());
    world.Console("loadprofile Blank.xml");
    ASSERT_NE(world.Game().GetProfile(), nullptr);
    world.Game().GetProfile()->unlockedRooms.push_back("Mine.xml");
    world.Send("MainMenu", MSG_OpenMenu);
    world.RunFor(0.3);
    ASSERT_TRUE(world.Click("MainMenu", "Exit"));
    EXPECT_TRUE(world.QuitRequested());
    EXPECT_EQ(ReadWhole(blank), before);
}
} // namespace
