// The create-profile panel in the booted game: its look as it drops in over the veil, a creation
// from the profile menu's "New", and the names it refuses without writing anything.
#include "MenuTestWorld.h"

#include "common/InputEvent.h"
#include "common/Singleton.h"
#include "engine/gfx/gui/EditBox.h"
#include "game/app/CQUORB.h"
#include "game/camera/CCamera.h"
#include "game/files/Profile.h"
#include "game/files/ValidateFileBaseName.h"
#include "game/menus/BaseMenu.h"
#include "game/menus/CreateProfileMenu.h"
#include "game/menus/ProfileMenu.h"
#include "platform/device_debug.h"
#include "platform/headless.h"
#include "platform/input_feed.h"
#include "statemachine/ACMsgTaker.h"
#include "statemachine/Database.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

using Strings = std::vector<std::string>;

namespace
{
constexpr int kOpen = QUORB::BaseMenu::STATE_Open;
constexpr int kClosing = QUORB::BaseMenu::STATE_Closing;
constexpr int kClosed = QUORB::BaseMenu::STATE_Closed;
const char* const kPanel = "CreateProfileMenu";

std::string ProfileFile(const Strings& rooms)
{
    std::string text = "<?xml version=\"1.0\" ?><File><Profile><uint name=\"NumUnlockedRooms\">" +
                       std::to_string(rooms.size()) + "</uint>";
    for (const std::string& room : rooms)
        text += "<string name=\"RoomFileName\">" + room + "</string>";
    return text + "</Profile></File>";
}

QUORB::ProfileMenu* TheProfileMenu()
{
    Database* database = common::Singleton<Database>::Instance();
    ACMsgTaker* taker = database->FindById(database->FindIdByName("ProfileMenu"));
    return taker ? dynamic_cast<QUORB::ProfileMenu*>(taker->GetActiveStateMachine()) : nullptr;
}

class CreateProfileMenuTest : public ::testing::Test
{
protected:
    void Boot(const std::map<std::string, std::string>& files = {})
    {
        gametest::MenuTestSetup setup;
        setup.files = files;
        m_world = std::make_unique<gametest::MenuTestWorld>(setup);
        ASSERT_TRUE(m_world->Booted());
        m_world->Step();
    }

    // As the splash chain (1) or the profile menu's "New" (0) opens it, then the drop-in.
    void OpenPanel(int customData)
    {
        m_world->SendInt(kPanel, MSG_SetCustomData, customData);
        m_world->Send(kPanel, MSG_OpenMenu);
        m_world->RunFor(0.4);
        ASSERT_EQ(m_world->MenuState(kPanel), kOpen);
    }

    // The box emptied and the name typed into it, as a player does it. A character no key types
    // (':', '_') comes in as the box's text, as a program could put it there.
    void TypeName(const std::string& name)
    {
        ASSERT_TRUE(m_world->Click(kPanel, "EditBox"));
        for (std::size_t i = 0; i < QUORB::kMaxFileBaseNameLength + 2; ++i)
            m_world->Key(dorvo::input::KEY_BACK);
        m_world->TypeText(name);
        if (m_world->Unit(kPanel, "EditBox").text != name)
        {
            auto* box = dynamic_cast<dorvo::gfx::EditBox*>(m_world->FindUnit(kPanel, "EditBox"));
            ASSERT_NE(box, nullptr);
            box->SetText(name);
        }
        ASSERT_EQ(m_world->Unit(kPanel, "EditBox").text, name);
    }

    // The texts sent to the message window, in order.
    Strings Texts() const
    {
        Strings texts;
        for (const gametest::MenuMessage& message :
             m_world->MessagesTo("MessageWindowMenu", MSG_SendTextMessage))
            texts.push_back(message.data.GetString());
        return texts;
    }

    Strings ProfileFolder() const
    {
        Strings names;
        for (const auto& entry : std::filesystem::directory_iterator(m_world->Folder() + "files/profiles"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::unique_ptr<gametest::MenuTestWorld> m_world;
};

TEST_F(CreateProfileMenuTest, DropsInOverTheVeilWithTheDefaultName)
{
    Boot();
    QUORB::CQUORB& game = m_world->Game();
    game.ClearCameraFlags(QUORB::CCamera::kOrbitFlag);
    m_world->ClearMessages();
    m_world->SendInt(kPanel, MSG_SetCustomData, 0);
    m_world->Send(kPanel, MSG_OpenMenu);
    EXPECT_NE(game.GetGameCamera()->GetFlags() & QUORB::CCamera::kOrbitFlag, 0u);
    EXPECT_EQ(m_world->MessagesTo("PuzzleLookAtMenu", MSG_CloseMenu).size(), 1u);
    EXPECT_EQ(m_world->MessagesTo("PuzzleInfoMenu", MSG_CloseMenu).size(), 1u);

    m_world->Step();
    const gametest::UnitView early = m_world->Unit(kPanel, "Background");
    EXPECT_EQ(early.x, 200);
    EXPECT_LT(early.y, 100);
    EXPECT_GT(early.y, -500);
    const gametest::UnitView veilEarly = m_world->Unit(kPanel, "SkinColorBackground");
    EXPECT_GT(veilEarly.alpha, 0.0f);
    EXPECT_LT(veilEarly.alpha, 0.5f);

    m_world->RunFor(0.4);
    EXPECT_EQ(m_world->MenuState(kPanel), kOpen);
    const gametest::UnitView panel = m_world->Unit(kPanel, "Background");
    EXPECT_EQ(panel.x, 200);
    EXPECT_EQ(panel.y, 100);
    EXPECT_EQ(panel.width, 358); // 512 x 0.7
    EXPECT_EQ(panel.height, 256);
    const gametest::UnitView veil = m_world->Unit(kPanel, "SkinColorBackground");
    EXPECT_TRUE(veil.visible);
    EXPECT_EQ(veil.x, 0);
    EXPECT_EQ(veil.y, 0);
    EXPECT_GE(veil.width, 800);
    EXPECT_GE(veil.height, 600);
    EXPECT_FLOAT_EQ(veil.alpha, 0.5f);
    EXPECT_EQ(m_world->Unit(kPanel, "TitleText").text, "Create Profile");
    EXPECT_EQ(m_world->Unit(kPanel, "CreateText").text, "Create");
    const gametest::UnitView box = m_world->Unit(kPanel, "EditBox");
    EXPECT_EQ(box.text, "MyProfile");
    EXPECT_EQ(box.x, 250);
    EXPECT_EQ(box.y, 180);
    EXPECT_EQ(m_world->Unit(kPanel, "CreateButton").x, 330);
    EXPECT_EQ(m_world->Unit(kPanel, "CreateButton").y, 250);
    EXPECT_EQ(m_world->Unit(kPanel, "TE1Text").text, "MyProfile");

    // Drawn in order: the veil, the panel, its units, the name above its box.
    const auto depth = [this](const char* unit)
    {
        const dorvo::gfx::IScreenUnit* found = m_world->FindUnit(kPanel, unit);
        return found ? found->GetDepth() : -100;
    };
    EXPECT_GT(depth("Background"), depth("SkinColorBackground"));
    for (const char* unit : {"CreateButton", "CreateText", "TitleText", "EditBox"})
        EXPECT_GT(depth(unit), depth("Background")) << unit;
    EXPECT_GT(depth("TE1Text"), depth("EditBox"));

    // The veil is drawn like a plain sprite: in the skin's sprite colour, whatever the pointer does.
    m_world->Console("setgameskin ColdSkin");
    m_world->MoveCursor(40, 560);
    const gametest::UnitView cold = m_world->Unit(kPanel, "SkinColorBackground");
    EXPECT_NEAR(cold.red, 238.0f / 255.0f, 1e-3f);
    EXPECT_NEAR(cold.blue, 1.0f, 1e-3f);
    EXPECT_FLOAT_EQ(cold.alpha, 0.5f);
}

TEST_F(CreateProfileMenuTest, NewCreatesAProfileUnderTheProfileMenuWithoutTheMainMenu)
{
    Boot({{"files/profiles/Ann.xml", ProfileFile({"Tutorial.xml"})}});
    QUORB::CQUORB& game = m_world->Game();
    m_world->Send("ProfileMenu", MSG_OpenMenu);
    m_world->RunFor(0.3);
    ASSERT_TRUE(m_world->Click("ProfileMenu", "ButtonAnn.xml"));
    ASSERT_TRUE(m_world->Click("ProfileMenu", "LoadProfile"));
    ASSERT_EQ(game.GetProfile()->name, "Ann.xml");
    m_world->ClearMessages();
    ASSERT_TRUE(m_world->Click("ProfileMenu", "CreateProfile"));
    const std::vector<gametest::MenuMessage> data = m_world->MessagesTo(kPanel, MSG_SetCustomData);
    ASSERT_EQ(data.size(), 1u);
    EXPECT_EQ(data[0].data.GetType(), MSG_DATA_INT);
    EXPECT_EQ(data[0].data.GetInt(), 0);
    m_world->RunFor(0.4);
    ASSERT_EQ(m_world->MenuState(kPanel), kOpen);
    const Strings before = ProfileFolder();

    // The veil takes a click beside the panel and nothing happens.
    m_world->MoveCursor(40, 560);
    m_world->LeftDown();
    m_world->LeftUp();
    const std::vector<gametest::MenuMessage> pressed = m_world->MessagesTo(kPanel, MSG_ButtonPressed);
    ASSERT_EQ(pressed.size(), 1u);
    EXPECT_EQ(pressed[0].data.GetString(), "SkinColorBackground");
    EXPECT_EQ(m_world->MenuState(kPanel), kOpen);
    EXPECT_EQ(m_world->MenuState("ProfileMenu"), kOpen);

    // A click beside the box hands the name in and creates nothing.
    TypeName("Player2");
    m_world->MoveCursor(40, 560);
    m_world->LeftDown();
    m_world->LeftUp();
    EXPECT_EQ(m_world->MessagesTo(kPanel, MSG_TextSubmitted).size(), 1u);
    EXPECT_EQ(ProfileFolder(), before);
    EXPECT_EQ(m_world->MenuState(kPanel), kOpen);
    EXPECT_TRUE(Texts().empty());

    m_world->ClearMessages();
    ASSERT_TRUE(m_world->Click(kPanel, "CreateButton"));
    EXPECT_TRUE(std::filesystem::exists(m_world->Folder() + "files/profiles/Player2.xml"));
    ASSERT_NE(game.GetProfile(), nullptr);
    EXPECT_EQ(game.GetProfile()->name, "Player2.xml");
    EXPECT_EQ(m_world->MenuState(kPanel), kClosing);
    EXPECT_EQ(m_world->MenuState("ProfileMenu"), kOpen);
    EXPECT_TRUE(m_world->MessagesTo("MainMenu", MSG_OpenMenu).empty());
    EXPECT_TRUE(m_world->MessagesTo("HelpMenu", MSG_OpenMenu).empty());
    EXPECT_EQ(Texts(), Strings({"New profile created."}));
    QUORB::ProfileMenu* profiles = TheProfileMenu();
    ASSERT_NE(profiles, nullptr);
    EXPECT_EQ(profiles->GetRowFiles().count("ButtonPlayer2"), 1u);
    // The new profile is the one in use, and its row is the one marked.
    EXPECT_TRUE(m_world->Unit("ProfileMenu", "ButtonPlayer2").checked);
    EXPECT_FALSE(m_world->Unit("ProfileMenu", "ButtonAnn.xml").checked);
    EXPECT_EQ(profiles->GetSelectedProfileFile(), "Player2.xml");

    // A second press while the panel slides out creates nothing, even for a fresh name.
    auto* box = dynamic_cast<dorvo::gfx::EditBox*>(m_world->FindUnit(kPanel, "EditBox"));
    ASSERT_NE(box, nullptr);
    box->SetText("Player3");
    m_world->SendText(kPanel, MSG_ButtonPressed, "CreateButton");
    EXPECT_FALSE(std::filesystem::exists(m_world->Folder() + "files/profiles/Player3.xml"));
    EXPECT_EQ(game.GetProfile()->name, "Player2.xml");
    EXPECT_EQ(Texts(), Strings({"New profile created."}));

    m_world->RunFor(0.4);
    EXPECT_EQ(m_world->MenuState(kPanel), kClosed);
    EXPECT_FALSE(m_world->Unit(kPanel, "SkinColorBackground").visible);
    EXPECT_EQ(m_world->Unit(kPanel, "Background").y, -500);
}

// Enter in the name box answers as "Create" does, on the first start's panel as on the one "New"
// opens: an empty box or a refused name gets its refusal and keeps the keys, an accepted name is
// created (and on the first start the main menu and the help tab follow). The answers show above
// the veil.
TEST_F(CreateProfileMenuTest, EnterInTheNameBoxAnswersAsCreateDoes)
{
    for (const int firstStart : {1, 0})
    {
        SCOPED_TRACE(firstStart == 1 ? "first start" : "New");
        Boot();
        OpenPanel(firstStart);
        const Strings before = ProfileFolder();

        ASSERT_TRUE(m_world->Click(kPanel, "EditBox"));
        for (std::size_t i = 0; i < QUORB::kMaxFileBaseNameLength + 2; ++i)
            m_world->Key(dorvo::input::KEY_BACK);
        m_world->ClearMessages();
        m_world->Key(dorvo::input::KEY_RETURN);
        EXPECT_EQ(Texts(), Strings({"Please type a name."}));
        EXPECT_EQ(m_world->MenuState(kPanel), kOpen);

        TypeName("a/b");
        m_world->ClearMessages();
        m_world->Key(dorvo::input::KEY_RETURN);
        EXPECT_EQ(Texts(), Strings({"Use only letters, digits, spaces, - and _."}));
        EXPECT_EQ(ProfileFolder(), before);
        EXPECT_EQ(m_world->MenuState(kPanel), kOpen);

        // The refusal is drawn over the veil, not dimmed beneath it.
        ASSERT_TRUE(m_world->RunUntil(
            [this]
            { return m_world->Unit("MessageWindowMenu", "MessageText").text.rfind("Use only", 0) == 0; },
            4.0));
        plat::headless::ClearCallLog();
        plat::headless::SetCallLogging(true);
        m_world->Step();
        plat::headless::SetCallLogging(false);
        int veil = -1;
        int refusal = -1;
        const auto& calls = plat::headless::CallLog();
        for (std::size_t i = 0; i < calls.size(); ++i)
        {
            const plat::devicedebug::LoggedCall& call = calls[i];
            if (call.kind == plat::devicedebug::CallKind::SpriteDraw &&
                call.name.find("WhiteBlock") != std::string::npos && call.matrix.m[0][0] > 20.0f)
                veil = static_cast<int>(i); // stretched over the screen
            if (call.kind == plat::devicedebug::CallKind::DrawText && call.text.rfind(L"Use only", 0) == 0)
                refusal = static_cast<int>(i);
        }
        ASSERT_GE(veil, 0);
        ASSERT_GE(refusal, 0);
        EXPECT_GT(refusal, veil);

        // The refused name stays in the box, which still takes the keys: mended and entered again.
        for (int i = 0; i < 3; ++i)
            m_world->Key(dorvo::input::KEY_BACK);
        m_world->TypeText("Zed");
        EXPECT_EQ(m_world->Unit(kPanel, "EditBox").text, "Zed");
        m_world->ClearMessages();
        m_world->Key(dorvo::input::KEY_RETURN);
        EXPECT_TRUE(std::filesystem::exists(m_world->Folder() + "files/profiles/Zed.xml"));
        ASSERT_NE(m_world->Game().GetProfile(), nullptr);
        EXPECT_EQ(m_world->Game().GetProfile()->name, "Zed.xml");
        EXPECT_EQ(m_world->MenuState(kPanel), kClosing);
        EXPECT_EQ(m_world->MessagesTo("MainMenu", MSG_OpenMenu).size(), firstStart == 1 ? 1u : 0u);
        const Strings expected = firstStart == 1 ? Strings({"Welcome to Q.U.O.R.B.", "New profile created."})
                                                 : Strings({"New profile created."});
        EXPECT_EQ(Texts(), expected);
        m_world.reset();
    }
}

TEST_F(CreateProfileMenuTest, RefusedNamesSayWhyAndWriteNothing)
{
    Boot({{"files/profiles/MyProfile.xml", ProfileFile({"Tutorial.xml"})},
          {"files/profiles/Stuck.xml/keep", ""}}); // a folder where Stuck's file would go
    OpenPanel(0);
    // Made after start-up: in no list, but on disk.
    std::ofstream(m_world->Folder() + "files/profiles/Late.xml") << ProfileFile({});
    const Strings before = ProfileFolder();
    QUORB::ProfileMenu* profiles = TheProfileMenu();
    ASSERT_NE(profiles, nullptr);
    const std::size_t rows = profiles->GetRowFiles().size();

    const struct
    {
        const char* name;
        const char* text;
    } cases[] = {
        {"", "Please type a name."},
        {"../x", "Use only letters, digits, spaces, - and _."},
        {"a/b", "Use only letters, digits, spaces, - and _."},
        {"a:b", "Use only letters, digits, spaces, - and _."},
        {"a;b", "Use only letters, digits, spaces, - and _."},
        {"x.y", "Use only letters, digits, spaces, - and _."},
        {" x", "Use only letters, digits, spaces, - and _."},
        {"MyProfile", "A profile with that name already exists."},
        {"myprofile", "A profile with that name already exists."},
        {"Late", "A profile with that name already exists."},
        {"Blank", "That name is reserved."},
        {"blank", "That name is reserved."},
        {"Stuck", "The profile could not be saved."},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string("\"") + c.name + "\"");
        m_world->ClearMessages();
        TypeName(c.name);
        ASSERT_TRUE(m_world->Click(kPanel, "CreateButton"));
        EXPECT_EQ(Texts(), Strings({c.text}));
        EXPECT_EQ(m_world->MenuState(kPanel), kOpen);
        EXPECT_EQ(ProfileFolder(), before);
        EXPECT_EQ(profiles->GetRowFiles().size(), rows);
        EXPECT_TRUE(m_world->MessagesTo("ProfileMenu", MSG_ResetMenu).empty());
        EXPECT_EQ(m_world->Game().GetProfile(), nullptr);
    }

    m_world->ClearMessages();
    TypeName("Player2");
    ASSERT_TRUE(m_world->Click(kPanel, "CreateButton"));
    EXPECT_EQ(Texts(), Strings({"New profile created."}));
    EXPECT_EQ(m_world->MenuState(kPanel), kClosing);
    EXPECT_TRUE(std::filesystem::exists(m_world->Folder() + "files/profiles/Player2.xml"));
    EXPECT_EQ(profiles->GetRowFiles().size(), rows + 1);
}
// The box holds what the player's keyboard typed: the underscore, letters a name cannot hold
// (refused as other characters are, not dropped), nothing for a key held with Ctrl, and no more
// than 16 characters, so the name the player sees is the name saved.
TEST_F(CreateProfileMenuTest, TheBoxHoldsWhatThePlayerTyped)
{
    Boot();
    OpenPanel(0);
    const auto empty = [this]()
    {
        ASSERT_TRUE(m_world->Click(kPanel, "EditBox"));
        for (std::size_t i = 0; i < QUORB::kMaxFileBaseNameLength + 2; ++i)
            m_world->Key(dorvo::input::KEY_BACK);
    };
    const Strings before = ProfileFolder();

    empty();
    m_world->TypeText("Zo\u00EB \u00C9t\u00E9");
    EXPECT_EQ(m_world->Unit(kPanel, "EditBox").text, "Zo\u00EB \u00C9t\u00E9");
    m_world->ClearMessages();
    ASSERT_TRUE(m_world->Click(kPanel, "CreateButton"));
    EXPECT_EQ(Texts(), Strings({"Use only letters, digits, spaces, - and _."}));
    EXPECT_EQ(ProfileFolder(), before);

    empty();
    m_world->TypeText("Ann");
    m_world->KeyDown(dorvo::input::KEY_LCONTROL);
    plat::inputfeed::KeyChange(dorvo::input::KEY_A, true, 5000);
    plat::inputfeed::Text("a", 5000);
    plat::inputfeed::KeyChange(dorvo::input::KEY_A, false, 5005);
    m_world->KeyUp(dorvo::input::KEY_LCONTROL);
    m_world->TypeText("_B");
    EXPECT_EQ(m_world->Unit(kPanel, "EditBox").text, "Ann_B") << "Ctrl+A types nothing";

    empty();
    m_world->TypeText("Abcdefghijklmnop\u00E9qr");
    EXPECT_EQ(m_world->Unit(kPanel, "EditBox").text, "Abcdefghijklmnop");
    m_world->ClearMessages();
    ASSERT_TRUE(m_world->Click(kPanel, "CreateButton"));
    EXPECT_EQ(Texts(), Strings({"New profile created."}));
    EXPECT_TRUE(std::filesystem::exists(m_world->Folder() + "files/profiles/Abcdefghijklmnop.xml"));
}
// A quick click on a slow frame: the press and the release over the button, then the pointer
// moves on, all before the next frame. The click counts where it was made.
TEST_F(CreateProfileMenuTest, AClickCountsWhereItWasMadeThoughThePointerMovedOnBeforeTheFrame)
{
    Boot();
    OpenPanel(0);
    TypeName("Quick");
    ASSERT_TRUE(m_world->PointAt(kPanel, "CreateButton"));
    m_world->ClearMessages();
    plat::inputfeed::MouseButton(0, true, 6000);
    plat::inputfeed::MouseButton(0, false, 6005);
    plat::headless::SetCursorScreenPosition(5, 5);
    plat::inputfeed::MouseMove(-300, -240, 6010);
    m_world->Step();
    EXPECT_EQ(Texts(), Strings({"New profile created."}));
    EXPECT_TRUE(std::filesystem::exists(m_world->Folder() + "files/profiles/Quick.xml"));
}
} // namespace
