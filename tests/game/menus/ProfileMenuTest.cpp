// The profile menu in the booted game: one row per profile file (not the template), selected
// through its radio group and loaded with "Load", the profile in use marked at each opening, rows
// added for new profiles, and the list scrolling once it holds more than six rows.
#include "MenuTestWorld.h"

#include "common/InputEvent.h"
#include "common/Singleton.h"
#include "engine/gfx/gui/ScrollBar.h"
#include "game/app/CQUORB.h"
#include "game/files/Profile.h"
#include "game/menus/BaseMenu.h"
#include "game/menus/ProfileMenu.h"
#include "statemachine/ACMsgTaker.h"
#include "statemachine/Database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>

using Strings = std::vector<std::string>;

namespace
{
constexpr int kOpen = QUORB::BaseMenu::STATE_Open;
const char* const kMenu = "ProfileMenu";

std::string ProfileFile(const Strings& rooms)
{
    std::string text = "<?xml version=\"1.0\" ?><File><Profile><uint name=\"NumUnlockedRooms\">" +
                       std::to_string(rooms.size()) + "</uint>";
    for (const std::string& room : rooms)
        text += "<string name=\"RoomFileName\">" + room + "</string>";
    return text + "</Profile></File>";
}

std::string SettingsWithRooms(const Strings& rooms)
{
    std::string names;
    for (const std::string& room : rooms)
        names += "<string name=\"RoomFileName\">" + room + "</string>";
    return "<?xml version=\"1.0\" ?><File><QUORBSettings><string name=\"GraphicsQuality\">Medium</string>"
           "<list name=\"GameSkins\" size=\"0\"></list><uint name=\"NumRoomsMadeByUs\">" +
           std::to_string(rooms.size()) + "</uint>" + names +
           "<uint name=\"NumRoomsMadeByPlayer\">0</uint><string name=\"LastUsedProfile\"></string>"
           "</QUORBSettings></File>";
}

QUORB::ProfileMenu* TheMenu()
{
    Database* database = common::Singleton<Database>::Instance();
    ACMsgTaker* taker = database->FindById(database->FindIdByName(kMenu));
    return taker ? dynamic_cast<QUORB::ProfileMenu*>(taker->GetActiveStateMachine()) : nullptr;
}

class ProfileMenuTest : public ::testing::Test
{
protected:
    void Boot(const std::map<std::string, std::string>& files)
    {
        gametest::MenuTestSetup setup;
        setup.files = files;
        m_world = std::make_unique<gametest::MenuTestWorld>(setup);
        ASSERT_TRUE(m_world->Booted());
        m_menu = TheMenu();
        ASSERT_NE(m_menu, nullptr);
        m_world->Step();
    }

    void Open()
    {
        m_world->Send(kMenu, MSG_OpenMenu);
        m_world->RunFor(0.3);
        ASSERT_EQ(m_world->MenuState(kMenu), kOpen);
    }

    // The scroll list's rows by unit name, in order.
    Strings Rows() const { return m_world->ScrollListNames(kMenu, "ProfileButtons"); }

    std::string Current() const
    {
        const QUORB::Profile* profile = m_world->Game().GetProfile();
        return profile ? profile->name : "";
    }

    std::unique_ptr<gametest::MenuTestWorld> m_world;
    QUORB::ProfileMenu* m_menu = nullptr;
};

TEST_F(ProfileMenuTest, RowsFollowTheProfileFilesAndLoadTheFileTheyWereMadeFor)
{
    Boot({{"files/xmlfiles/QUORBSettings.xml", SettingsWithRooms({"A.xml", "B.xml"})},
          {"files/rooms/A.xml", "<File/>"},
          {"files/rooms/B.xml", "<File/>"},
          {"files/profiles/Ann.xml", ProfileFile({"A.xml"})},
          {"files/profiles/Bob.xml", ProfileFile({"B.xml"})},
          {"files/profiles/a.b.xml", ProfileFile({"A.xml", "B.xml"})},
          {"files/profiles/a.xml", ProfileFile({})}});
    ASSERT_TRUE(std::filesystem::exists(m_world->Folder() + "files/profiles/Blank.xml"));
    EXPECT_EQ(Rows(), Strings({"Buttona.b.xml", "Buttona.xml", "ButtonAnn.xml", "ButtonBob.xml"}));
    EXPECT_EQ(m_world->Unit(kMenu, "Texta.b.xml").text, "a");
    EXPECT_EQ(m_world->Unit(kMenu, "TextAnn.xml").text, "Ann");
    EXPECT_FALSE(m_world->FindUnit(kMenu, "ButtonBlank.xml"));
    Open();
    EXPECT_EQ(m_world->Unit(kMenu, "TitleText").text, "Manage Profiles");
    EXPECT_EQ(m_world->Unit(kMenu, "CreateProfileText").text, "New");
    EXPECT_EQ(m_world->Unit(kMenu, "LoadProfileText").text, "Load");
    const gametest::UnitView first = m_world->Unit(kMenu, "Buttona.b.xml");
    EXPECT_TRUE(first.visible);
    EXPECT_EQ(first.x, 144 + 150);
    EXPECT_EQ(first.y, 44 + 90);
    EXPECT_EQ(first.height, 37);
    EXPECT_EQ(m_world->Unit(kMenu, "Buttona.xml").y, 44 + 130);

    // With no row selected, "Load" does nothing.
    ASSERT_TRUE(m_world->Click(kMenu, "LoadProfile"));
    EXPECT_EQ(m_world->Game().GetProfile(), nullptr);

    // A row through the radio group, then "Load".
    ASSERT_TRUE(m_world->Click(kMenu, "ButtonAnn.xml"));
    ASSERT_TRUE(m_world->Click(kMenu, "ButtonBob.xml"));
    EXPECT_FALSE(m_world->Unit(kMenu, "ButtonAnn.xml").checked);
    EXPECT_TRUE(m_world->Unit(kMenu, "ButtonBob.xml").checked);
    ASSERT_TRUE(m_world->Click(kMenu, "LoadProfile"));
    EXPECT_EQ(Current(), "Bob.xml");
    EXPECT_EQ(m_world->Game().GetProfile()->unlockedRooms, Strings({"B.xml"}));
    EXPECT_EQ(m_world->MenuState(kMenu), kOpen);
    EXPECT_TRUE(m_world->Unit(kMenu, "ButtonBob.xml").checked);

    // The same row twice unselects it: "Load" does nothing.
    ASSERT_TRUE(m_world->Click(kMenu, "ButtonAnn.xml"));
    ASSERT_TRUE(m_world->Click(kMenu, "ButtonAnn.xml"));
    EXPECT_EQ(m_menu->GetSelectedProfileFile(), "");
    ASSERT_TRUE(m_world->Click(kMenu, "LoadProfile"));
    EXPECT_EQ(Current(), "Bob.xml");

    // A file with a dot before ".xml" loads itself, not the file its label names.
    ASSERT_TRUE(m_world->Click(kMenu, "Buttona.b.xml"));
    ASSERT_TRUE(m_world->Click(kMenu, "LoadProfile"));
    EXPECT_EQ(Current(), "a.b.xml");
    EXPECT_EQ(m_world->Game().GetProfile()->unlockedRooms, Strings({"A.xml", "B.xml"}));

    // A row clicked and left unloaded: the next opening marks the profile in use, and "Load"
    // keeps it.
    ASSERT_TRUE(m_world->Click(kMenu, "ButtonAnn.xml"));
    m_world->Send(kMenu, MSG_CloseMenu);
    m_world->RunFor(0.6);
    EXPECT_FALSE(m_world->Unit(kMenu, "ButtonAnn.xml").visible);
    Open();
    EXPECT_FALSE(m_world->Unit(kMenu, "ButtonAnn.xml").checked);
    EXPECT_TRUE(m_world->Unit(kMenu, "Buttona.b.xml").checked);
    EXPECT_EQ(m_menu->GetSelectedProfileFile(), "a.b.xml");
    ASSERT_TRUE(m_world->Click(kMenu, "LoadProfile"));
    EXPECT_EQ(Current(), "a.b.xml");
    ASSERT_TRUE(m_world->Click(kMenu, "ButtonAnn.xml"));
    ASSERT_TRUE(m_world->Click(kMenu, "LoadProfile"));
    EXPECT_EQ(Current(), "Ann.xml");

    // A profile file gone since start-up: the profile is named but unlocks nothing.
    std::filesystem::remove(m_world->Folder() + "files/profiles/Bob.xml");
    ASSERT_TRUE(m_world->Click(kMenu, "ButtonBob.xml"));
    ASSERT_TRUE(m_world->Click(kMenu, "LoadProfile"));
    EXPECT_EQ(Current(), "Bob.xml");
    EXPECT_TRUE(m_world->Game().GetProfile()->unlockedRooms.empty());
    EXPECT_TRUE(m_world->Game().GetSettings().m_roomMap.at("A.xml").locked);
}

TEST_F(ProfileMenuTest, ANewProfileGetsOneRowAtTheEndThatLoadsIt)
{
    Boot({{"files/profiles/Ann.xml", ProfileFile({})}});
    Open();
    ASSERT_TRUE(m_world->Click(kMenu, "CreateProfile"));
    m_world->RunFor(0.4);
    ASSERT_EQ(m_world->MenuState("CreateProfileMenu"), kOpen);
    ASSERT_TRUE(m_world->Click("CreateProfileMenu", "EditBox"));
    for (int i = 0; i < 12; ++i)
        m_world->Key(dorvo::input::KEY_BACK);
    m_world->TypeText("Player2");
    ASSERT_TRUE(m_world->Click("CreateProfileMenu", "CreateButton"));
    EXPECT_EQ(Rows(), Strings({"ButtonAnn.xml", "ButtonPlayer2"}));
    m_world->RunFor(0.4);
    const gametest::UnitView row = m_world->Unit(kMenu, "ButtonPlayer2");
    EXPECT_TRUE(row.visible);
    EXPECT_EQ(row.y, 44 + 130);
    EXPECT_EQ(m_world->Unit(kMenu, "TextPlayer2").text, "Player2");

    ASSERT_TRUE(m_world->Click(kMenu, "ButtonAnn.xml"));
    ASSERT_TRUE(m_world->Click(kMenu, "LoadProfile"));
    EXPECT_EQ(Current(), "Ann.xml");
    ASSERT_TRUE(m_world->Click(kMenu, "ButtonPlayer2"));
    ASSERT_TRUE(m_world->Click(kMenu, "LoadProfile"));
    EXPECT_EQ(Current(), "Player2.xml");

    // A file that has a row, in any case, and the template get none; a row made while the panel
    // is away stays hidden with it.
    for (const char* name : {"Player2", "player2", "Ann", "ANN", "Blank", ""})
    {
        m_world->SendText(kMenu, MSG_SetCustomData, name);
        m_world->Send(kMenu, MSG_ResetMenu);
    }
    EXPECT_EQ(Rows(), Strings({"ButtonAnn.xml", "ButtonPlayer2"}));
    m_world->Send(kMenu, MSG_CloseMenu);
    m_world->RunFor(0.6);
    m_world->SendText(kMenu, MSG_SetCustomData, "Dora");
    m_world->Send(kMenu, MSG_ResetMenu);
    m_world->Send(kMenu, MSG_ResetMenu);
    m_world->Step();
    EXPECT_EQ(Rows(), Strings({"ButtonAnn.xml", "ButtonPlayer2", "ButtonDora"}));
    EXPECT_FALSE(m_world->Unit(kMenu, "ButtonDora").visible);
    EXPECT_FALSE(m_world->Unit(kMenu, "TextDora").visible);
    Open();
    EXPECT_TRUE(m_world->Unit(kMenu, "ButtonDora").visible);
    EXPECT_TRUE(m_world->Unit(kMenu, "TextDora").visible);
}

TEST_F(ProfileMenuTest, SixRowsStandStillAndMoreScrollAndFadeAtTheBandsEdges)
{
    std::map<std::string, std::string> files;
    for (int i = 1; i <= 6; ++i)
        files["files/profiles/P" + std::to_string(i) + ".xml"] = ProfileFile({});
    Boot(files);
    Open();
    auto* bar = dynamic_cast<dorvo::gfx::ScrollBar*>(m_world->FindUnit(kMenu, "ProfileScrollBar"));
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(m_world->Click(kMenu, "ScrollDownButton"));
    m_world->RunFor(1.0);
    EXPECT_EQ(m_world->Unit(kMenu, "ButtonP1.xml").y, 44 + 90);
    EXPECT_EQ(m_world->Unit(kMenu, "ButtonP6.xml").y, 44 + 292); // 90 + 5 x 40.5
    for (int i = 1; i <= 6; ++i)
        EXPECT_FLOAT_EQ(m_world->Unit(kMenu, "ButtonP" + std::to_string(i) + ".xml").alpha, 1.0f);

    // Eight rows overflow the 280-pixel band by 44 pixels.
    for (const char* name : {"P7", "P8"})
    {
        m_world->SendText(kMenu, MSG_SetCustomData, name);
        m_world->Send(kMenu, MSG_ResetMenu);
    }
    ASSERT_TRUE(m_world->Click(kMenu, "ScrollUpButton"));
    m_world->RunFor(0.3);
    ASSERT_FLOAT_EQ(bar->GetPosition(), 0.0f);
    EXPECT_EQ(m_world->Unit(kMenu, "ButtonP1.xml").y, 44 + 90);
    EXPECT_FLOAT_EQ(m_world->Unit(kMenu, "ButtonP1.xml").alpha, 1.0f);
    const float lastAlpha = m_world->Unit(kMenu, "ButtonP8").alpha; // its top 3.5 pixels below the band
    EXPECT_GT(lastAlpha, 0.85f);
    EXPECT_LT(lastAlpha, 1.0f);

    ASSERT_TRUE(m_world->Click(kMenu, "ScrollDownButton"));
    EXPECT_FLOAT_EQ(bar->GetTarget(), 0.1f);
    EXPECT_LT(bar->GetPosition(), 0.1f); // 0.5 of the range a second: 0.2 s to get there
    m_world->RunFor(0.3);
    EXPECT_FLOAT_EQ(bar->GetPosition(), 0.1f);
    EXPECT_EQ(m_world->Unit(kMenu, "ButtonP1.xml").y, 44 + 85); // 90 - 4.4
    EXPECT_LT(m_world->Unit(kMenu, "ButtonP1.xml").alpha, 1.0f);
    EXPECT_FLOAT_EQ(m_world->Unit(kMenu, "ButtonP8").alpha, 1.0f);

    for (int i = 0; i < 9; ++i)
        ASSERT_TRUE(m_world->Click(kMenu, "ScrollDownButton"));
    m_world->RunFor(2.0);
    EXPECT_FLOAT_EQ(bar->GetPosition(), 1.0f);
    EXPECT_FLOAT_EQ(m_world->Unit(kMenu, "ButtonP1.xml").alpha, 0.0f); // a whole row out
    EXPECT_FLOAT_EQ(m_world->Unit(kMenu, "ButtonP8").alpha, 1.0f);
}
} // namespace
