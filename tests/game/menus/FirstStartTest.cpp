// The first start of the game, headless, as a new player meets it: no profile but the template,
// so the splash chain ends in the create-profile panel; "Create" makes "MyProfile" from the
// template and opens the main menu and the help tab; quitting keeps it as the last profile, and
// the next start goes straight to the main menu.
#include "MenuTestWorld.h"

#include "common/Singleton.h"
#include "game/CQUORB.h"
#include "game/GameDataFiles.h"
#include "game/Profile.h"
#include "game/QUORBSettings.h"
#include "game/menus/BaseMenu.h"
#include "game/menus/ProfileMenu.h"
#include "statemachine/ACMsgTaker.h"
#include "statemachine/Database.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using Strings = std::vector<std::string>;

namespace
{
constexpr int kOpen = QUORB::BaseMenu::STATE_Open;
constexpr int kClosed = QUORB::BaseMenu::STATE_Closed;
const char* const kPanel = "CreateProfileMenu";

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Strings Texts(const gametest::MenuTestWorld& world)
{
    Strings texts;
    for (const gametest::MenuMessage& message : world.MessagesTo("MessageWindowMenu", MSG_SendTextMessage))
        texts.push_back(message.data.GetString());
    return texts;
}

// What the last splash does when the last used profile is not among the profile files.
void EndTheSplashChain(gametest::MenuTestWorld& world)
{
    world.SendInt(kPanel, MSG_SetCustomData, 1);
    world.Send(kPanel, MSG_OpenMenu);
}

TEST(FirstStartTest, WithoutAProfileCreateLeadsToTheMainMenuAndTheNextStartKeepsTheProfile)
{
    std::string settings;
    std::string profile;
    {
        gametest::MenuTestWorld world; // the committed settings and profiles: no profile but "Blank.xml"
        ASSERT_TRUE(world.Booted());
        QUORB::CQUORB& game = world.Game();
        EXPECT_EQ(game.GetSettings().LastUsedProfile, "");
        EXPECT_EQ(game.GetProfileFiles(), Strings({"Blank.xml"}));
        world.Step();
        EndTheSplashChain(world);
        const std::vector<gametest::MenuMessage> data = world.MessagesTo(kPanel, MSG_SetCustomData);
        ASSERT_EQ(data.size(), 1u);
        EXPECT_EQ(data[0].data.GetInt(), 1);
        world.RunFor(0.4);
        ASSERT_EQ(world.MenuState(kPanel), kOpen);
        EXPECT_TRUE(world.MessagesTo("MainMenu", MSG_OpenMenu).empty());
        EXPECT_EQ(world.Unit(kPanel, "TitleText").text, "Create Profile");
        EXPECT_EQ(world.Unit(kPanel, "EditBox").text, "MyProfile");
        EXPECT_EQ(world.Unit(kPanel, "Background").y, 100);

        world.ClearMessages();
        ASSERT_TRUE(world.Click(kPanel, "CreateButton"));
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
        // The main menu greets as it opens, then the panel reports.
        EXPECT_EQ(Texts(world), Strings({"Welcome to Q.U.O.R.B.", "New profile created."}));
        Database* database = common::Singleton<Database>::Instance();
        ACMsgTaker* taker = database->FindById(database->FindIdByName("ProfileMenu"));
        auto* profiles = taker ? dynamic_cast<QUORB::ProfileMenu*>(taker->GetActiveStateMachine()) : nullptr;
        ASSERT_NE(profiles, nullptr);
        EXPECT_EQ(profiles->GetRowFiles().count("ButtonMyProfile"), 1u);
        EXPECT_FALSE(world.Unit("ProfileMenu", "ButtonMyProfile").visible); // the profile menu is closed

        world.RunFor(0.4);
        EXPECT_EQ(world.MenuState(kPanel), kClosed);
        EXPECT_EQ(world.Unit(kPanel, "Background").y, -500);

        // "Exit" saves the profile and the settings.
        ASSERT_TRUE(game.SaveProfileAndSettings());
        settings = ReadWhole(world.Folder() + "files/xmlfiles/QUORBSettings.xml");
        profile = ReadWhole(path);
    }
    gametest::MenuTestSetup again;
    again.files["files/xmlfiles/QUORBSettings.xml"] = settings;
    again.files["files/profiles/MyProfile.xml"] = profile;
    gametest::MenuTestWorld next(again);
    ASSERT_TRUE(next.Booted());
    EXPECT_EQ(next.Game().GetSettings().LastUsedProfile, "MyProfile.xml");
    EXPECT_EQ(next.Game().GetProfileFiles(), Strings({"Blank.xml", "MyProfile.xml"}));
}
} // namespace
