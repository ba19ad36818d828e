// The escape panel: Escape brings it down over a veiled screen only while the main menu is
// closed, the veil takes stray clicks, "Back" slides it away and "Save & Quit" saves and ends
// the program, also during the splash screens without forgetting the last used profile. Over
// the dialogs that lie in the same place it is drawn whole, above them.
#include "MainRoadSetup.h"
#include "MenuTestWorld.h"
#include "TestSupport.h"

#include "common/Singleton.h"
#include "engine/gfx/gui/CCursor.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "engine/gfx/sprites/IScreenUnit.h"
#include "game/app/CQUORB.h"
#include "game/files/Profile.h"
#include "game/menus/BaseMenu.h"
#include "game/menus/EscapeMenu.h"
#include "statemachine/Database.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

using mainroad::Kinds;
using KindList = std::vector<MessageName>;

namespace
{
constexpr int kClosed = QUORB::BaseMenu::STATE_Closed;
constexpr int kOpening = QUORB::BaseMenu::STATE_Opening;
constexpr int kOpen = QUORB::BaseMenu::STATE_Open;
constexpr int kClosing = QUORB::BaseMenu::STATE_Closing;
const char* const kPanel = "EscapeMenu";
const char* const kVeil = "SkinColorBackground";

bool Send(const std::string& menu, MessageName name)
{
    Database* database = common::Singleton<Database>::Instance();
    return database->SendMsg(database->FindIdByName(menu), name);
}

struct DepthRange
{
    int lowest = INT_MAX;
    int highest = INT_MIN;
    int units = 0;
};

// The depths of the menu's units that are shown, the menu's empty root left out (it draws
// nothing).
DepthRange ShownDepths(const gametest::MenuTestWorld& world, const std::string& menu)
{
    DepthRange range;
    dorvo::gfx::Gfx2DComp* gui = world.Gui(menu);
    if (!gui)
        return range;
    std::vector<dorvo::gfx::IScreenUnit*> units;
    gui->CollectUnits(units);
    for (const dorvo::gfx::IScreenUnit* unit : units)
    {
        if (!unit->IsVisible() || unit->GetName() == QUORB::BaseMenu::kBaseName)
            continue;
        range.lowest = std::min(range.lowest, unit->GetDepth());
        range.highest = std::max(range.highest, unit->GetDepth());
        ++range.units;
    }
    return range;
}

class EscapeMenuTest : public ::testing::Test
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
        m_world->MoveCursor(700, 560); // away from the panel's buttons
    }

    int State() const { return m_world->MenuState(kPanel); }
    std::string Settings() const { return m_world->Folder() + mainroad::kSettingsFile; }
    std::string Profile() const { return m_world->Folder() + mainroad::kProfileFolder + "MyProfile.xml"; }

    void OpenPanel()
    {
        m_world->Key(gametest::kEscape);
        ASSERT_TRUE(m_world->RunUntil([this]() { return State() == kOpen; }, 1.0));
        // The timed change to open may come a frame before the slide's end.
        m_world->RunFor(0.1);
    }

    std::unique_ptr<gametest::MenuTestWorld> m_world;
};

TEST_F(EscapeMenuTest, EscapeDoesNothingWhileTheMainMenuIsOpeningOpenOrClosing)
{
    Send("MainMenu", MSG_OpenMenu);
    for (const int mainMenu : {kOpening, kOpen, kClosing})
    {
        SCOPED_TRACE(mainMenu);
        if (mainMenu == kOpen)
            m_world->RunFor(0.3);
        if (mainMenu == kClosing)
            Send("MainMenu", MSG_CloseMenu);
        ASSERT_EQ(m_world->MenuState("MainMenu"), mainMenu);
        m_world->Key(gametest::kEscape);
        EXPECT_EQ(State(), kClosed);
        EXPECT_EQ(Kinds(*m_world, kPanel), KindList());
    }
    m_world->RunFor(0.6);
    ASSERT_EQ(m_world->MenuState("MainMenu"), kClosed);
    m_world->Key(gametest::kEscape);
    EXPECT_EQ(State(), kOpening);
}

TEST_F(EscapeMenuTest, ThePanelDropsOverARisingVeilAndEscapeWaitsForItToSettle)
{
    m_world->Key(gametest::kEscape);
    ASSERT_EQ(State(), kOpening);
    const gametest::UnitView veil = m_world->Unit(kPanel, kVeil);
    EXPECT_TRUE(veil.visible);
    EXPECT_EQ(veil.x, 0);
    EXPECT_EQ(veil.y, 0);
    EXPECT_GE(veil.width, 800);
    EXPECT_GE(veil.height, 600);
    EXPECT_LT(veil.alpha, 0.1f);
    EXPECT_LT(m_world->Unit(kPanel, "Background").y, -300);

    // Escape again while it moves changes nothing.
    m_world->Key(gametest::kEscape);
    EXPECT_EQ(State(), kOpening);
    m_world->RunFor(0.05);
    const float rising = m_world->Unit(kPanel, kVeil).alpha;
    EXPECT_GT(rising, 0.1f);
    EXPECT_LT(rising, 0.45f);

    ASSERT_TRUE(m_world->RunUntil([this]() { return State() == kOpen; }, 0.5));
    m_world->RunFor(0.1);
    EXPECT_FLOAT_EQ(m_world->Unit(kPanel, kVeil).alpha, 0.5f);
    EXPECT_EQ(m_world->Unit(kPanel, "Background").x, 200);
    EXPECT_EQ(m_world->Unit(kPanel, "Background").y, 100);
    EXPECT_EQ(m_world->Unit(kPanel, "SaveQuitButton").x, 220);
    EXPECT_EQ(m_world->Unit(kPanel, "EscBackButton").x, 380);
    EXPECT_EQ(m_world->Unit(kPanel, "SaveQuitText").text, "Save & Quit");
    EXPECT_EQ(m_world->Unit(kPanel, "ReturnText").text, "Back");
    EXPECT_EQ(m_world->Unit(kPanel, "TitleText").text, "Q.U.O.R.B.");

    m_world->Key(gametest::kEscape);
    EXPECT_EQ(State(), kClosing);
    m_world->Key(gametest::kEscape);
    EXPECT_EQ(State(), kClosing);
    ASSERT_TRUE(m_world->RunUntil([this]() { return State() == kClosed; }, 0.5));
    EXPECT_FALSE(m_world->Unit(kPanel, kVeil).visible);
    m_world->RunFor(0.1);
    EXPECT_EQ(m_world->Unit(kPanel, "Background").y, -500);
}

TEST_F(EscapeMenuTest, TheVeilTakesTheSkinsSpriteColourAndAClickOnItChangesNothing)
{
    m_world->Console("setgameskin ColdSkin");
    OpenPanel();
    m_world->Step();
    const QUORB::QUORBSettings& settings = m_world->Game().GetSettings();
    const plat::D3DXCOLOR* skin = settings.m_gameSkins.at("ColdSkin")->data();
    const plat::D3DXCOLOR sprite = skin[4]; // the skin's sprite colour
    for (const bool over : {false, true})
    {
        SCOPED_TRACE(over);
        if (over)
            m_world->PointAt(kPanel, kVeil);
        const gametest::UnitView veil = m_world->Unit(kPanel, kVeil);
        EXPECT_FLOAT_EQ(veil.red, sprite.r);
        EXPECT_FLOAT_EQ(veil.green, sprite.g);
        EXPECT_FLOAT_EQ(veil.blue, sprite.b);
        EXPECT_FLOAT_EQ(veil.alpha, 0.5f);
    }

    m_world->ClearMessages();
    m_world->MoveCursor(20, 20);
    m_world->LeftDown();
    m_world->LeftUp();
    const std::vector<gametest::MenuMessage> pressed = m_world->MessagesTo(kPanel, MSG_ButtonPressed);
    ASSERT_EQ(pressed.size(), 1u);
    EXPECT_EQ(pressed.front().data.GetString(), kVeil);
    m_world->RunFor(0.5);
    EXPECT_EQ(State(), kOpen);
    EXPECT_FALSE(m_world->QuitRequested());
    EXPECT_EQ(m_world->Game().GetFocusedFace(), 0) << "the click did not reach the room";
}

TEST_F(EscapeMenuTest, BackSavesNothingAndSlidesThePanelAway)
{
    OpenPanel();
    std::filesystem::remove(Settings());
    std::filesystem::remove(Profile());
    ASSERT_TRUE(m_world->Click(kPanel, "EscBackButton"));
    EXPECT_EQ(State(), kClosing);
    ASSERT_TRUE(m_world->RunUntil([this]() { return State() == kClosed; }, 0.5));
    EXPECT_FALSE(std::filesystem::exists(Settings()));
    EXPECT_FALSE(std::filesystem::exists(Profile()));
    EXPECT_FALSE(m_world->QuitRequested());
}

TEST_F(EscapeMenuTest, SaveAndQuitWritesBothFilesAndEndsTheProgramWithCodeZero)
{
    OpenPanel();
    std::filesystem::remove(Settings());
    std::filesystem::remove(Profile());
    ASSERT_TRUE(m_world->Click(kPanel, "SaveQuitButton"));
    int code = -1;
    EXPECT_TRUE(m_world->QuitRequested(&code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(State(), kOpen);
    EXPECT_NE(mainroad::ReadWhole(Settings()).find("<string name=\"LastUsedProfile\">MyProfile.xml</string>"),
              std::string::npos);
    EXPECT_NE(mainroad::ReadWhole(Profile()).find(mainroad::kOurRoom), std::string::npos);
    EXPECT_EQ(m_world->EndRun(), 0);
}

// A save that cannot be written (a read-only profiles folder, a full disk, the profile's or the
// settings' file that cannot be made) changes neither file: the panel stays, the message window
// says so, and a second press quits anyway without changing them either.
TEST_F(EscapeMenuTest, SaveAndQuitThatCannotSaveStaysAndSaysSoThenQuitsOnTheSecondPress)
{
    const std::string profiles = m_world->Folder() + mainroad::kProfileFolder;
    std::unique_ptr<testsupport::FileSizeLimit> limit;
    struct Case
    {
        const char* what;
        std::function<void()> block;
        std::function<void()> unblock;
        bool needsNonRoot;
    };
    const Case cases[] = {
        {"a read-only profiles folder",
         [&]
         {
             std::filesystem::permissions(profiles, std::filesystem::perms::owner_read |
                                                        std::filesystem::perms::owner_exec);
         },
         [&] { std::filesystem::permissions(profiles, std::filesystem::perms::owner_all); }, true},
        {"a full disk", [&] { limit = std::make_unique<testsupport::FileSizeLimit>(1); },
         [&] { limit.reset(); }, false},
        {"the profile's file that cannot be made",
         [&] { std::filesystem::create_directories(Profile() + ".tmp/keep"); },
         [&] { std::filesystem::remove_all(Profile() + ".tmp"); }, false},
        {"the settings' file that cannot be made",
         [&] { std::filesystem::create_directories(Settings() + ".tmp/keep"); },
         [&] { std::filesystem::remove_all(Settings() + ".tmp"); }, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        if (c.needsNonRoot && ::geteuid() == 0)
            continue; // permissions do not stop the superuser
        m_world->Game().GetProfile()->unlockedRooms.push_back("New.xml"); // progress to save
        const std::string settings = mainroad::ReadWhole(Settings());
        const std::string profile = mainroad::ReadWhole(Profile());
        OpenPanel();
        m_world->ClearMessages();
        c.block();
        ASSERT_TRUE(m_world->Click(kPanel, "SaveQuitButton"));
        EXPECT_FALSE(m_world->QuitRequested());
        EXPECT_EQ(State(), kOpen);
        const std::vector<gametest::MenuMessage> told =
            m_world->MessagesTo("MessageWindowMenu", MSG_SendTextMessage);
        ASSERT_EQ(told.size(), 1u);
        EXPECT_EQ(told[0].data.GetString(), QUORB::EscapeMenu::kSaveFailedText);
        EXPECT_EQ(mainroad::ReadWhole(Settings()), settings);
        EXPECT_EQ(mainroad::ReadWhole(Profile()), profile);

        ASSERT_TRUE(m_world->Click(kPanel, "SaveQuitButton"));
        int code = -1;
        EXPECT_TRUE(m_world->QuitRequested(&code));
        EXPECT_EQ(code, 0);
        c.unblock();
        EXPECT_EQ(mainroad::ReadWhole(Settings()), settings);
        EXPECT_EQ(mainroad::ReadWhole(Profile()), profile);
        EXPECT_EQ(m_world->EndRun(), 0);
        m_world.reset();
        SetUp(); // a fresh game for the next case
    }
}

// The create-profile dialog (at the first start, or "New" under "Manage Profiles") and the
// save-room dialog lie where the panel comes down, and Escape works over them: the panel with
// its veil is drawn whole above them and still under the cursor, and "Back" leaves the dialog
// as it was.
TEST_F(EscapeMenuTest, ThePanelDrawsWholeAboveTheDialogsInItsPlace)
{
    for (const char* dialog : {"CreateProfileMenu", "SaveRoomMenu"})
    {
        SCOPED_TRACE(dialog);
        ASSERT_TRUE(Send(dialog, MSG_OpenMenu));
        ASSERT_TRUE(m_world->RunUntil([&]() { return m_world->MenuState(dialog) == kOpen; }, 1.0));
        OpenPanel();
        const DepthRange below = ShownDepths(*m_world, dialog);
        const DepthRange panel = ShownDepths(*m_world, kPanel);
        ASSERT_GT(below.units, 0);
        ASSERT_EQ(panel.units, 7);
        EXPECT_GT(panel.lowest, below.highest);
        EXPECT_LT(panel.highest, dorvo::gfx::CCursor::kDepth);
        const int veil = m_world->FindUnit(kPanel, kVeil)->GetDepth();
        EXPECT_EQ(veil, panel.lowest);
        EXPECT_LT(veil, m_world->FindUnit(kPanel, "Background")->GetDepth());

        ASSERT_TRUE(m_world->Click(kPanel, "EscBackButton"));
        ASSERT_TRUE(m_world->RunUntil([this]() { return State() == kClosed; }, 0.5));
        EXPECT_EQ(m_world->MenuState(dialog), kOpen);
        EXPECT_FALSE(m_world->QuitRequested());
        Send(dialog, MSG_CloseMenu);
        ASSERT_TRUE(m_world->RunUntil([&]() { return m_world->MenuState(dialog) == kClosed; }, 1.0));
    }
}

// Quitting from the escape panel over the second splash, before any profile is loaded: the
// settings written still name the last used profile, and the next start loads it.
TEST(EscapeDuringTheSplashes, SaveAndQuitKeepsTheLastUsedProfileForTheNextStart)
{
    std::string settingsWritten;
    {
        gametest::MenuTestWorld world(mainroad::RoadSetup("MyProfile.xml", {"MyProfile.xml"}));
        ASSERT_TRUE(world.Booted());
        world.Step();
        ASSERT_TRUE(world.RunUntil([&]() { return world.MenuState("VoskelSplashMenu") == kOpen; }, 6.0));
        world.Key(gametest::kEscape);
        ASSERT_TRUE(world.RunUntil([&]() { return world.MenuState(kPanel) == kOpen; }, 1.0));
        const std::string settings = world.Folder() + mainroad::kSettingsFile;
        std::filesystem::remove(settings);
        ASSERT_TRUE(world.Click(kPanel, "SaveQuitButton"));
        EXPECT_EQ(world.Game().GetProfile(), nullptr);
        settingsWritten = mainroad::ReadWhole(settings);
        EXPECT_NE(settingsWritten.find("<string name=\"LastUsedProfile\">MyProfile.xml</string>"),
                  std::string::npos)
            << settingsWritten;
        EXPECT_EQ(world.EndRun(), 0);
    }

    // The next start in the same place: the written settings and the profile file.
    gametest::MenuTestSetup next = mainroad::RoadSetup("", {"MyProfile.xml"});
    next.files[mainroad::kSettingsFile] = settingsWritten;
    gametest::MenuTestWorld world(next);
    ASSERT_TRUE(world.Booted());
    world.Step();
    for (const std::string& splash : mainroad::Splashes())
        world.Click(splash, "Background");
    EXPECT_EQ(world.MenuState("MainMenu"), kOpening);
    ASSERT_NE(world.Game().GetProfile(), nullptr);
    EXPECT_EQ(world.Game().GetProfile()->name, "MyProfile.xml");
    EXPECT_EQ(Kinds(world, "CreateProfileMenu"), KindList());
}
} // namespace
