// The main menu over the room: its layout, the slide in from the left and back, the five
// buttons that hand over to another menu with the back row, the editor's mode switch, what
// every opening does, and "Exit", which saves and ends the program.
#include "MainRoadSetup.h"
#include "MenuTestWorld.h"
#include "TestSupport.h"

#include "common/Singleton.h"
#include "game/app/CQUORB.h"
#include "game/camera/CCamera.h"
#include "game/files/Profile.h"
#include "game/menus/BaseMenu.h"
#include "game/menus/MainMenu.h"
#include "statemachine/Database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using mainroad::Kinds;
using KindList = std::vector<MessageName>;

namespace
{
constexpr int kClosed = QUORB::BaseMenu::STATE_Closed;
constexpr int kOpen = QUORB::BaseMenu::STATE_Open;
constexpr int kClosing = QUORB::BaseMenu::STATE_Closing;

bool Send(const std::string& menu, MessageName name)
{
    Database* database = common::Singleton<Database>::Instance();
    return database->SendMsg(database->FindIdByName(menu), name);
}

class MainMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gametest::MenuTestSetup setup = mainroad::RoadSetup("MyProfile.xml", {"MyProfile.xml"});
        setup.splashes = false;
        m_world = std::make_unique<gametest::MenuTestWorld>(setup);
        ASSERT_TRUE(m_world->Booted());
        m_world->Step();
        m_world->Game().LoadProfile("MyProfile.xml");
    }

    void OpenMainMenu()
    {
        Send("MainMenu", MSG_OpenMenu);
        ASSERT_TRUE(m_world->RunUntil([this]() { return m_world->MenuState("MainMenu") == kOpen; }, 1.0));
    }

    // The requests sent to these menus since the last clear, in order: (menu, kind).
    std::vector<std::pair<std::string, MessageName>> Requests(const std::vector<std::string>& menus) const
    {
        std::vector<std::pair<std::string, MessageName>> found;
        for (const gametest::MenuMessage& message : m_world->Messages())
            for (const std::string& menu : menus)
                if (message.receiver == menu && message.name != MSG_Pressed &&
                    message.name != MSG_UnPressed && message.name != MSG_CHANGE_STATE_DELAYED &&
                    message.name != MSG_MouseHeldOver && message.name != MSG_ButtonPressed)
                    found.emplace_back(menu, message.name);
        return found;
    }

    std::unique_ptr<gametest::MenuTestWorld> m_world;
};

TEST_F(MainMenuTest, TheButtonsCarryTheirLabelsAndTips)
{
    OpenMainMenu();
    struct Row
    {
        const char* button;
        const char* label;
        const char* tip;
    };
    const Row rows[] = {
        {"Play", "PlayText", "Play QUORB!"},
        {"Manage Profiles", "ManageProfileText", "Create or load profiles."},
        {"Editor", "EditorText", "Create your own levels."},
        {"Options", "OptionsText", "Change game options."},
        {"Credits", "CreditsText", "Meet the Q.U.O.R.B team."},
        {"Exit", "ExitText", "Quit Q.U.O.R.B :("},
    };
    int y = 44 + 80;
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.button);
        const gametest::UnitView button = m_world->Unit("MainMenu", row.button);
        ASSERT_TRUE(button.found);
        EXPECT_TRUE(button.visible);
        EXPECT_EQ(button.x, 144 + 150);
        EXPECT_EQ(button.y, y);
        EXPECT_EQ(button.tip, row.tip);
        const gametest::UnitView label = m_world->Unit("MainMenu", row.label);
        EXPECT_EQ(label.text, row.button);
        EXPECT_EQ(label.y, y + 20);
        y += 70;
    }
    EXPECT_EQ(m_world->Unit("MainMenu", "TitleText").text, "Main Menu");
    EXPECT_FLOAT_EQ(m_world->Unit("MainMenu", "Background").alpha, 0.5f);
}

TEST_F(MainMenuTest, ItSlidesInFromTheLeftInAFifthOfASecondAndOutInHalfOne)
{
    Send("MainMenu", MSG_OpenMenu);
    m_world->Step();
    const gametest::UnitView starting = m_world->Unit("MainMenu", "Background");
    EXPECT_TRUE(starting.visible);
    EXPECT_LT(starting.x, -400);
    EXPECT_EQ(starting.y, 44);
    m_world->RunFor(0.2);
    EXPECT_EQ(m_world->MenuState("MainMenu"), kOpen);
    EXPECT_EQ(m_world->Unit("MainMenu", "Background").x, 144);
    EXPECT_EQ(m_world->Unit("MainMenu", "Background").y, 44);

    Send("MainMenu", MSG_CloseMenu);
    m_world->RunFor(0.25);
    const int halfway = m_world->Unit("MainMenu", "Background").x;
    EXPECT_GT(halfway, -600 + 200);
    EXPECT_LT(halfway, 144 - 200);
    EXPECT_EQ(m_world->MenuState("MainMenu"), kClosing);
    m_world->RunFor(0.3);
    EXPECT_EQ(m_world->MenuState("MainMenu"), kClosed);
    EXPECT_EQ(m_world->Unit("MainMenu", "Background").x, -600);
    EXPECT_FALSE(m_world->Unit("MainMenu", "Background").visible);
}

TEST_F(MainMenuTest, EachOfTheFirstFiveOpensItsMenuWithTheBackRowAndSlidesTheMainMenuOut)
{
    struct Row
    {
        const char* button;
        const char* opens;
    };
    const Row rows[] = {{"Play", "RoomSelectionMenu"},
                        {"Manage Profiles", "ProfileMenu"},
                        {"Editor", "RoomSelectionMenu"},
                        {"Options", "OptionsMenu"},
                        {"Credits", "CreditsMenu"}};
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.button);
        OpenMainMenu();
        m_world->ClearMessages();
        ASSERT_TRUE(m_world->Click("MainMenu", row.button));
        using Request = std::pair<std::string, MessageName>;
        EXPECT_EQ(Requests({row.opens, "BackMenu", "MainMenu"}),
                  std::vector<Request>({{row.opens, MSG_OpenMenu},
                                        {"BackMenu", MSG_OpenMenu},
                                        {"BackMenu", MSG_ResetMenu},
                                        {"MainMenu", MSG_CloseMenu}}));
        EXPECT_EQ(m_world->MenuState("MainMenu"), kClosing);
        EXPECT_NE(m_world->MenuState(row.opens), kClosed);
        EXPECT_FALSE(m_world->QuitRequested());
        ASSERT_TRUE(m_world->RunUntil([this]() { return m_world->MenuState("MainMenu") == kClosed; }, 1.0));
        ASSERT_TRUE(m_world->RunUntil([&]() { return m_world->MenuState(row.opens) == kOpen; }, 1.0));
        Send(row.opens, MSG_CloseMenu);
        Send("BackMenu", MSG_CloseMenu);
        ASSERT_TRUE(m_world->RunUntil([&]() { return m_world->MenuState(row.opens) == kClosed; }, 1.0));
    }
}

TEST_F(MainMenuTest, EditorInvertsCreatePuzzleMode)
{
    QUORB::CQUORB& game = m_world->Game();
    ASSERT_FALSE(game.IsCreatePuzzleMode());
    OpenMainMenu();
    m_world->Click("MainMenu", "Editor");
    EXPECT_TRUE(game.IsCreatePuzzleMode());

    m_world->RunFor(0.6);
    Send("RoomSelectionMenu", MSG_CloseMenu);
    m_world->Console("togglecm"); // off again, then on once more
    m_world->Console("togglecm");
    ASSERT_TRUE(game.IsCreatePuzzleMode());
    OpenMainMenu();
    m_world->ClearMessages();
    m_world->Click("MainMenu", "Editor");
    EXPECT_FALSE(game.IsCreatePuzzleMode());
    EXPECT_EQ(Kinds(*m_world, "RoomSelectionMenu"), KindList({MSG_OpenMenu}));
}

TEST_F(MainMenuTest, EveryOpeningQueuesTheWelcomeClosesThePuzzleMenusAndCirclesTheCamera)
{
    m_world->ClearMessages();
    for (int opening = 1; opening <= 2; ++opening)
    {
        SCOPED_TRACE(opening);
        m_world->Game().ClearCameraFlags(QUORB::CCamera::kOrbitFlag);
        OpenMainMenu();
        EXPECT_NE(m_world->Game().GetGameCamera()->GetFlags() & QUORB::CCamera::kOrbitFlag, 0u);
        const std::vector<gametest::MenuMessage> texts =
            m_world->MessagesTo("MessageWindowMenu", MSG_SendTextMessage);
        ASSERT_EQ(texts.size(), static_cast<std::size_t>(opening));
        EXPECT_EQ(texts.back().data.GetString(), "Welcome to Q.U.O.R.B.");
        // Closed already, and told again.
        for (const char* menu : {"PuzzleLookAtMenu", "PuzzleInfoMenu", "Radial"})
            EXPECT_EQ(m_world->MessagesTo(menu, MSG_CloseMenu).size(), static_cast<std::size_t>(opening))
                << menu;
        Send("MainMenu", MSG_CloseMenu);
        ASSERT_TRUE(m_world->RunUntil([this]() { return m_world->MenuState("MainMenu") == kClosed; }, 1.0));
    }
}

TEST_F(MainMenuTest, ExitSavesTheProfileAndTheSettingsThenQuitsWithCodeZeroWhileTheMenuStaysOpen)
{
    OpenMainMenu();
    const std::string settings = m_world->Folder() + mainroad::kSettingsFile;
    const std::string profile = m_world->Folder() + mainroad::kProfileFolder + "MyProfile.xml";
    std::filesystem::remove(settings);
    std::filesystem::remove(profile);
    ASSERT_FALSE(m_world->QuitRequested());

    ASSERT_TRUE(m_world->Click("MainMenu", "Exit"));
    int code = -1;
    EXPECT_TRUE(m_world->QuitRequested(&code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(m_world->MenuState("MainMenu"), kOpen);
    EXPECT_NE(mainroad::ReadWhole(settings).find("<string name=\"LastUsedProfile\">MyProfile.xml</string>"),
              std::string::npos);
    EXPECT_NE(mainroad::ReadWhole(profile).find(mainroad::kOurRoom), std::string::npos);
    EXPECT_EQ(m_world->EndRun(), 0);
}

// "Exit" on a full disk changes neither file: the menu stays, the message window says so, and the
// warning comes again after the menu has opened anew; a second press quits anyway.
TEST_F(MainMenuTest, AnExitThatCannotSaveStaysAndSaysSoThenQuitsOnTheSecondPress)
{
    OpenMainMenu();
    const std::string settingsFile = m_world->Folder() + mainroad::kSettingsFile;
    const std::string profileFile = m_world->Folder() + mainroad::kProfileFolder + "MyProfile.xml";
    m_world->Game().GetProfile()->unlockedRooms.push_back("New.xml");
    const std::string settings = mainroad::ReadWhole(settingsFile);
    const std::string profile = mainroad::ReadWhole(profileFile);
    const testsupport::FileSizeLimit full(1);
    auto told = [this]() { return m_world->MessagesTo("MessageWindowMenu", MSG_SendTextMessage).size(); };
    for (const bool reopened : {false, true})
    {
        SCOPED_TRACE(reopened ? "after the menu opened again" : "the first press");
        if (reopened)
        {
            Send("MainMenu", MSG_CloseMenu);
            ASSERT_TRUE(
                m_world->RunUntil([this]() { return m_world->MenuState("MainMenu") == kClosed; }, 1.0));
            OpenMainMenu();
        }
        m_world->ClearMessages();
        ASSERT_TRUE(m_world->Click("MainMenu", "Exit"));
        EXPECT_FALSE(m_world->QuitRequested());
        EXPECT_EQ(m_world->MenuState("MainMenu"), kOpen);
        ASSERT_EQ(told(), 1u);
        EXPECT_EQ(m_world->MessagesTo("MessageWindowMenu", MSG_SendTextMessage)[0].data.GetString(),
                  QUORB::MainMenu::kSaveFailedText);
        EXPECT_EQ(mainroad::ReadWhole(settingsFile), settings);
        EXPECT_EQ(mainroad::ReadWhole(profileFile), profile);
    }
    ASSERT_TRUE(m_world->Click("MainMenu", "Exit"));
    int code = -1;
    EXPECT_TRUE(m_world->QuitRequested(&code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(mainroad::ReadWhole(settingsFile), settings);
    EXPECT_EQ(mainroad::ReadWhole(profileFile), profile);
    EXPECT_EQ(m_world->EndRun(), 0);
}
} // namespace
