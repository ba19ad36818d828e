// The back row in the booted game: which of its seven ways back the back button takes in each
// situation, which buttons a reset shows, what the save and new-room buttons hand the save-room
// menu, and the hover fades.
#include "MenuTestWorld.h"

#include "engine/gfx/sprites/CSprite.h"
#include "game/app/CQUORB.h"
#include "game/menus/BaseMenu.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using QUORB::BaseMenu;
using Strings = std::vector<std::string>;

namespace
{
constexpr const char* kMenu = "BackMenu";

class BackButtonMenuTest : public ::testing::Test
{
protected:
    void SetUp() override { Boot(); }

    void Boot()
    {
        m_world.reset(); // one game at a time
        m_world = std::make_unique<gametest::MenuTestWorld>();
        ASSERT_TRUE(m_world->Booted());
        m_world->Step(2);
    }

    // As the main menu brings the row up beside a panel.
    void OpenRow()
    {
        ASSERT_TRUE(m_world->Send(kMenu, MSG_OpenMenu));
        m_world->Send(kMenu, MSG_ResetMenu);
        m_world->Step();
        ASSERT_EQ(m_world->MenuState(kMenu), BaseMenu::STATE_Open);
    }

    // What the row sent, as "receiver message" (an integer payload of custom data added).
    Strings Sent() const
    {
        Strings sent;
        for (const gametest::MenuMessage& message : m_world->Messages())
            if (message.sender == kMenu && message.name != MSG_CHANGE_STATE_DELAYED)
                sent.push_back(
                    message.receiver + " " + std::to_string(message.name) +
                    (message.name == MSG_SetCustomData ? " " + std::to_string(message.data.GetInt()) : ""));
        return sent;
    }

    bool Shown(const char* button) const { return m_world->Unit(kMenu, button).visible; }

    std::unique_ptr<gametest::MenuTestWorld> m_world;
};

std::string Msg(const char* receiver, MessageName name)
{
    return std::string(receiver) + " " + std::to_string(name);
}

TEST_F(BackButtonMenuTest, TheBackButtonTakesTheFirstWayBackThatHolds)
{
    struct Case
    {
        const char* name;
        Strings busy; // menus opened before the press
        bool createMode;
        bool editorMode;
        Strings sent;
        bool rowCloses;
        bool createModeAfter;
        bool editorModeAfter;
    };
    const std::string toMain = Msg("MainMenu", MSG_OpenMenu);
    const std::string closeRow = Msg(kMenu, MSG_CloseMenu);
    const Case cases[] = {
        {"1: the room list, with another panel up, in create-puzzle mode",
         {"RoomSelectionMenu", "OptionsMenu"},
         true,
         false,
         {Msg("RoomSelectionMenu", MSG_CloseMenu), toMain, closeRow},
         true,
         false,
         false},
        {"2: profiles",
         {"ProfileMenu"},
         false,
         false,
         {Msg("ProfileMenu", MSG_CloseMenu), toMain, closeRow},
         true,
         false,
         false},
        {"3: options",
         {"OptionsMenu"},
         false,
         false,
         {Msg("OptionsMenu", MSG_CloseMenu), toMain, closeRow},
         true,
         false,
         false},
        {"4: credits",
         {"CreditsMenu"},
         true,
         false,
         {Msg("CreditsMenu", MSG_CloseMenu), toMain, closeRow},
         true,
         true,
         false},
        // The game leaves the puzzle (its own messages), even in create-puzzle mode.
        {"5: inside a puzzle", {}, true, true, {}, false, true, false},
        {"6: a room being built",
         {},
         true,
         false,
         {Msg("SaveRoomMenu", MSG_OpenMenu), Msg("SaveRoomMenu", MSG_SetCustomData) + " 1"},
         false,
         true,
         false},
        {"7: a face", {}, false, false, {Msg("RoomSelectionMenu", MSG_OpenMenu)}, false, false, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Boot();
        OpenRow();
        for (const std::string& menu : c.busy)
            ASSERT_TRUE(m_world->Send(menu, MSG_OpenMenu));
        m_world->Game().SetCreatePuzzleMode(c.createMode);
        if (c.editorMode)
            m_world->Console("toggleeditor");
        m_world->Step();
        m_world->ClearMessages();
        ASSERT_TRUE(m_world->Click(kMenu, "BackButton"));
        EXPECT_EQ(Sent(), c.sent);
        EXPECT_EQ(m_world->MenuState(kMenu), c.rowCloses ? BaseMenu::STATE_Closed : BaseMenu::STATE_Open);
        EXPECT_EQ(m_world->Game().IsCreatePuzzleMode(), c.createModeAfter);
        EXPECT_EQ(m_world->Game().IsEditorMode(), c.editorModeAfter);
        if (c.editorMode)
        {
            // Left through the game, which resets the row at the end.
            EXPECT_FALSE(m_world->MessagesTo("StartPuzzleMenu", MSG_CloseMenu).empty());
            EXPECT_FALSE(m_world->MessagesTo(kMenu, MSG_ResetMenu).empty());
            EXPECT_TRUE(m_world->MessagesTo("SaveRoomMenu", MSG_OpenMenu).empty());
        }
    }
}

TEST_F(BackButtonMenuTest, AResetShowsTheRoomToolsOnlyWhileARoomIsBeingBuilt)
{
    struct Case
    {
        const char* name;
        bool createMode;
        bool editorMode;
        bool roomListUp;
        bool rowUp;
        bool shown;
    };
    const Case cases[] = {
        {"looking at a room being built", true, false, false, true, true},
        {"outside create-puzzle mode", false, false, false, true, false},
        {"inside a puzzle being built", true, true, false, true, false},
        {"with the room list up", true, false, true, true, false},
        {"the row closed", true, false, false, false, false},
    };
    OpenRow();
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_world->Game().SetCreatePuzzleMode(c.createMode);
        m_world->Game().SetEditorMode(c.editorMode);
        m_world->Send("RoomSelectionMenu", c.roomListUp ? MSG_OpenMenu : MSG_CloseMenuForced);
        m_world->Send(kMenu, c.rowUp ? MSG_OpenMenu : MSG_CloseMenu);
        // Raised and half raised by the pointer before the reset.
        m_world->FindUnit(kMenu, "BackButton");
        dynamic_cast<dorvo::gfx::CSprite*>(m_world->FindUnit(kMenu, "BackButton"))->SetAlpha(1.0f, true);
        dynamic_cast<dorvo::gfx::CSprite*>(m_world->FindUnit(kMenu, "SaveButton"))->SetAlpha(0.75f, true);
        m_world->Send(kMenu, MSG_ResetMenu);
        EXPECT_EQ(Shown("SaveButton"), c.shown);
        EXPECT_EQ(Shown("SaveIcon"), c.shown);
        EXPECT_EQ(Shown("NewRoomButton"), c.shown);
        EXPECT_EQ(Shown("NewRoomIcon"), c.shown);
        EXPECT_EQ(Shown("BackButton"), c.rowUp);
        EXPECT_FLOAT_EQ(m_world->Unit(kMenu, "BackButton").alpha, 0.5f);
        EXPECT_FLOAT_EQ(m_world->Unit(kMenu, "BackIcon").alpha, 0.5f);
        EXPECT_FLOAT_EQ(m_world->Unit(kMenu, "SaveButton").alpha, 0.75f);
    }
}

TEST_F(BackButtonMenuTest, TheRoomToolsOpenTheSaveRoomMenuBeforeTellingItWhatFollows)
{
    m_world->Game().SetCreatePuzzleMode(true);
    OpenRow();
    ASSERT_TRUE(Shown("SaveButton"));
    EXPECT_EQ(m_world->Unit(kMenu, "SaveButton").tip, "Save the room");
    EXPECT_EQ(m_world->Unit(kMenu, "NewRoomButton").tip, "Create a new room");
    EXPECT_EQ(m_world->Unit(kMenu, "BackButton").tip, "Back");
    EXPECT_EQ(m_world->Unit(kMenu, "NewRoomButton").x, 100);
    for (const auto& press : {std::make_pair("SaveButton", 0), std::make_pair("NewRoomButton", 2)})
    {
        SCOPED_TRACE(press.first);
        m_world->ClearMessages();
        ASSERT_TRUE(m_world->Click(kMenu, press.first));
        std::vector<gametest::MenuMessage> heard;
        for (const gametest::MenuMessage& message : m_world->MessagesTo("SaveRoomMenu"))
            if (message.name != MSG_Pressed && message.name != MSG_UnPressed) // the broadcast mouse button
                heard.push_back(message);
        ASSERT_EQ(heard.size(), 2u);
        EXPECT_EQ(heard[0].name, MSG_OpenMenu);
        EXPECT_EQ(heard[1].name, MSG_SetCustomData);
        EXPECT_EQ(heard[1].data.GetType(), MSG_DATA_INT);
        EXPECT_EQ(heard[1].data.GetInt(), press.second);
        EXPECT_EQ(m_world->MenuState(kMenu), BaseMenu::STATE_Open);
        m_world->Send("SaveRoomMenu", MSG_CloseMenu);
        m_world->RunFor(0.4); // the dialog's veil takes the presses until it has slid out
    }
}

TEST_F(BackButtonMenuTest, AHoverFadeStartsFromItsOwnStartValueWhileAnotherRuns)
{
    OpenRow();
    const auto alpha = [this](const char* unit) { return m_world->Unit(kMenu, unit).alpha; };
    ASSERT_FLOAT_EQ(alpha("BackButton"), 0.5f);
    // Resting on the button: after 0.05 s it fades up from 0.5 to 1.0 over 0.3 s, its icon along.
    ASSERT_TRUE(m_world->Hover(kMenu, "BackButton", 0.15));
    const float raised = alpha("BackButton");
    EXPECT_GT(raised, 0.55f);
    EXPECT_LT(raised, 0.8f);
    EXPECT_FLOAT_EQ(alpha("BackIcon"), raised);
    // Off it half way: the fade down starts from 1.0, not from where the first had got to.
    m_world->MoveCursor(700, 500);
    m_world->Step(2); // the cursor, then the button, see it leave; the fade is read the frame after
    EXPECT_GT(alpha("BackButton"), 0.9f);
    EXPECT_GT(alpha("BackButton"), raised);
    m_world->RunFor(0.35);
    EXPECT_FLOAT_EQ(alpha("BackButton"), 0.5f);
    EXPECT_FLOAT_EQ(alpha("BackIcon"), 0.5f);
    EXPECT_FLOAT_EQ(alpha("SaveButton"), 0.5f); // untouched
}
} // namespace
