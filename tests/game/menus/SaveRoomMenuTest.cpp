// The save-room dialog in the booted game: how it drops in over its veil and slides out again,
// the name it starts with, what a save writes and files, what follows once it is left, and the
// names it refuses without writing anything.
#include "MenuTestWorld.h"
#include "RoomMenuFixtures.h"

#include "common/InputEvent.h"
#include "engine/gfx/gui/EditBox.h"
#include "game/app/CQUORB.h"
#include "game/files/QUORBSettings.h"
#include "game/files/ValidateFileBaseName.h"
#include "game/menus/BaseMenu.h"
#include "game/menus/SaveRoomMenu.h"
#include "game/room/CRoom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

using QUORB::SaveRoomMenu;
using Strings = std::vector<std::string>;

namespace
{
constexpr int kOpen = QUORB::BaseMenu::STATE_Open;
constexpr int kClosing = QUORB::BaseMenu::STATE_Closing;
constexpr int kClosed = QUORB::BaseMenu::STATE_Closed;
constexpr double kFrame = 1.0 / 30.0;
const char* const kDialog = "SaveRoomMenu";

// Our rooms "Camp.xml" and "Tutorial.xml" (its file missing), the player's "Lab.xml" and
// "a.b.xml", each of four empty puzzles.
gametest::MenuTestSetup RoomsSetup()
{
    gametest::MenuTestSetup setup;
    const std::vector<puzzletest::PuzzleText> four(4);
    for (const char* room : {"Camp.xml", "Lab.xml", "a.b.xml"})
        roommenutest::AddRoom(setup.files, room, four);
    setup.files["files/xmlfiles/QUORBSettings.xml"] =
        roommenutest::SettingsXml({"Camp.xml", "Tutorial.xml"}, {"Lab.xml"});
    // Our room is played only once a profile unlocks it.
    setup.files["files/profiles/Team.xml"] = roommenutest::ProfileXml({"Camp.xml"});
    return setup;
}

class SaveRoomMenuTest : public ::testing::Test
{
protected:
    void Boot(const gametest::MenuTestSetup& setup = RoomsSetup())
    {
        m_world.reset(); // one game at a time
        m_world = std::make_unique<gametest::MenuTestWorld>(setup);
        ASSERT_TRUE(m_world->Booted());
        m_world->Step(2);
    }

    // As the back row opens it: the dialog, then what is to follow; then the drop-in.
    void OpenDialog(int then)
    {
        ASSERT_EQ(m_world->MenuState(kDialog), kClosed);
        m_world->Send(kDialog, MSG_OpenMenu);
        m_world->SendInt(kDialog, MSG_SetCustomData, then);
        m_world->RunFor(0.4);
        ASSERT_EQ(m_world->MenuState(kDialog), kOpen);
    }

    void WaitClosed()
    {
        m_world->RunFor(0.4);
        ASSERT_EQ(m_world->MenuState(kDialog), kClosed);
    }

    // The box emptied and the name typed into it, as a player does it. A character no key types
    // comes in as the box's text, as a program could put it there.
    void TypeName(const std::string& name)
    {
        ASSERT_TRUE(m_world->Click(kDialog, "EditBox"));
        for (std::size_t i = 0; i < QUORB::kMaxFileBaseNameLength + 2; ++i)
            m_world->Key(dorvo::input::KEY_BACK);
        m_world->TypeText(name);
        if (Box() != name)
        {
            auto* box = dynamic_cast<dorvo::gfx::EditBox*>(m_world->FindUnit(kDialog, "EditBox"));
            ASSERT_NE(box, nullptr);
            box->SetText(name);
        }
        ASSERT_EQ(Box(), name);
    }

    std::string Box() const { return m_world->Unit(kDialog, "EditBox").text; }
    std::string Room() const { return m_world->Game().GetRoom()->GetRoomName(); }

    Strings Texts() const
    {
        Strings texts;
        for (const gametest::MenuMessage& message :
             m_world->MessagesTo("MessageWindowMenu", MSG_SendTextMessage))
            texts.push_back(message.data.GetString());
        return texts;
    }

    // Every file below the world's files/ folder, with its size and time, to see that nothing
    // was written.
    std::map<std::string, std::pair<std::uintmax_t, std::filesystem::file_time_type>> Files() const
    {
        std::map<std::string, std::pair<std::uintmax_t, std::filesystem::file_time_type>> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_world->Folder() + "files"))
            if (entry.is_regular_file())
                files[entry.path().string()] = {entry.file_size(), entry.last_write_time()};
        return files;
    }

    // The files (below files/) that were added, removed or written since.
    Strings Changed(
        const std::map<std::string, std::pair<std::uintmax_t, std::filesystem::file_time_type>>& before) const
    {
        const auto now = Files();
        Strings changed;
        for (const auto& file : now)
        {
            const auto was = before.find(file.first);
            if (was == before.end() || was->second != file.second)
                changed.push_back(file.first.substr(m_world->Folder().size()));
        }
        for (const auto& file : before)
            if (!now.count(file.first))
                changed.push_back(file.first.substr(m_world->Folder().size()));
        return changed;
    }

    // The name in the box and "Save" pressed. An empty box cannot be left empty by a player (it
    // takes its default text back when the pointer leaves it), so a program empties it.
    void SaveAs(const std::string& name)
    {
        if (!name.empty())
        {
            TypeName(name);
            ASSERT_TRUE(m_world->Click(kDialog, "SaveButton"));
            return;
        }
        auto* box = dynamic_cast<dorvo::gfx::EditBox*>(m_world->FindUnit(kDialog, "EditBox"));
        ASSERT_NE(box, nullptr);
        box->SetText("");
        m_world->SendText(kDialog, MSG_ButtonPressed, "SaveButton");
    }

    bool Exists(const std::string& relative) const
    {
        return std::filesystem::exists(m_world->Folder() + relative);
    }

    QUORB::QUORBSettings SavedSettings() const
    {
        QUORB::QUORBSettings settings;
        QUORB::LoadSettingsFile(settings, m_world->Folder() + "files/xmlfiles/QUORBSettings.xml");
        return settings;
    }

    std::unique_ptr<gametest::MenuTestWorld> m_world;
};

TEST_F(SaveRoomMenuTest, DropsInOverTheVeilAndSlidesOutThroughCancel)
{
    Boot();
    m_world->Send(kDialog, MSG_OpenMenu);
    m_world->SendInt(kDialog, MSG_SetCustomData, SaveRoomMenu::THEN_NOTHING);
    const double opened = m_world->Now();
    // The veil darkens from 0 to 0.5 over the 0.3 s the panel takes to drop in.
    for (int frame = 1; frame <= 8; ++frame)
    {
        m_world->Step();
        SCOPED_TRACE("frame " + std::to_string(frame));
        const double t = std::min(1.0, (m_world->Now() - opened) / 0.3);
        EXPECT_NEAR(m_world->Unit(kDialog, "SkinColorBackground").alpha, 0.5 * t, 0.01);
        if (t < 1.0)
        {
            EXPECT_LT(m_world->Unit(kDialog, "Background").y, 100);
            EXPECT_GT(m_world->Unit(kDialog, "Background").y, -500);
        }
    }
    m_world->Step(3);
    ASSERT_EQ(m_world->MenuState(kDialog), kOpen);
    const gametest::UnitView panel = m_world->Unit(kDialog, "Background");
    EXPECT_EQ(panel.x, 200);
    EXPECT_EQ(panel.y, 100);
    EXPECT_EQ(panel.width, 358); // 512 x 0.7
    EXPECT_EQ(panel.height, 256);
    const gametest::UnitView veil = m_world->Unit(kDialog, "SkinColorBackground");
    EXPECT_TRUE(veil.visible);
    EXPECT_EQ(veil.x, 0);
    EXPECT_EQ(veil.y, 0);
    EXPECT_GE(veil.width, 800);
    EXPECT_GE(veil.height, 600);
    EXPECT_FLOAT_EQ(veil.alpha, 0.5f);
    EXPECT_EQ(m_world->Unit(kDialog, "TitleText").text, "Save Room");
    EXPECT_EQ(m_world->Unit(kDialog, "SaveText").text, "Save");
    EXPECT_EQ(m_world->Unit(kDialog, "CancelText").text, "Cancel");
    const gametest::UnitView box = m_world->Unit(kDialog, "EditBox");
    EXPECT_EQ(box.text, QUORB::DefaultRoomName);
    EXPECT_EQ(box.x, 250);
    EXPECT_EQ(box.y, 180);
    EXPECT_EQ(m_world->Unit(kDialog, "SaveButton").x, 265);
    EXPECT_EQ(m_world->Unit(kDialog, "CancelButton").x, 385);
    EXPECT_EQ(m_world->Unit(kDialog, "CancelButton").y, 250);

    // The veil takes a press beside the panel and nothing happens; Enter in the box neither.
    const auto before = Files();
    m_world->MoveCursor(40, 560);
    m_world->Step(); // the buttons see the pointer a frame after it moved
    m_world->LeftDown();
    m_world->LeftUp();
    const std::vector<gametest::MenuMessage> pressed = m_world->MessagesTo(kDialog, MSG_ButtonPressed);
    ASSERT_EQ(pressed.size(), 1u);
    EXPECT_EQ(pressed[0].data.GetString(), "SkinColorBackground");
    TypeName("Typed");
    m_world->Key(dorvo::input::KEY_RETURN);
    EXPECT_EQ(m_world->MessagesTo(kDialog, MSG_TextSubmitted).size(), 1u);
    EXPECT_EQ(m_world->MenuState(kDialog), kOpen);
    EXPECT_EQ(Changed(before), Strings());

    ASSERT_TRUE(m_world->Click(kDialog, "CancelButton"));
    EXPECT_EQ(m_world->MenuState(kDialog), kClosing);
    const double closing = m_world->Now();
    m_world->Step(4);
    const double t = (m_world->Now() - closing) / 0.3;
    EXPECT_NEAR(m_world->Unit(kDialog, "SkinColorBackground").alpha, 0.5 * (1.0 - t), 0.02);
    WaitClosed();
    EXPECT_FALSE(m_world->Unit(kDialog, "SkinColorBackground").visible);
    EXPECT_EQ(m_world->Unit(kDialog, "Background").y, -500);
    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(Changed(before), Strings());
}

TEST_F(SaveRoomMenuTest, TheBoxStartsWithTheRoomsNameUpToItsFirstDot)
{
    Boot();
    const struct
    {
        const char* room;
        const char* box;
    } cases[] = {
        {"EmptyRoom.xml", "MyRoom"}, // the empty room keeps what the box had
        {"Lab.xml", "Lab"},
        {"a.b.xml", "a"},
        {"EmptyRoom.xml", "a"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.room);
        m_world->Console(std::string("loadroom ") + c.room + " false");
        ASSERT_EQ(Room(), c.room);
        OpenDialog(SaveRoomMenu::THEN_NOTHING);
        EXPECT_EQ(Box(), c.box);
        ASSERT_TRUE(m_world->Click(kDialog, "CancelButton"));
        WaitClosed();
    }
}

TEST_F(SaveRoomMenuTest, SaveWritesTheRoomItsPuzzlesAndTheSettingsAndListsTheRoom)
{
    const struct
    {
        bool madeByUs;
        const char* button;
        bool beforePlayerHeader;
    } cases[] = {
        {false, "ButtonU:MyLab.xml", false},
        {true, "ButtonC:MyLab.xml", true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.button);
        Boot();
        if (c.madeByUs)
            m_world->Console("toggleus");
        OpenDialog(SaveRoomMenu::THEN_NOTHING);
        TypeName("MyLab");
        m_world->ClearMessages();
        ASSERT_TRUE(m_world->Click(kDialog, "SaveButton"));

        EXPECT_TRUE(Exists("files/rooms/MyLab.xml"));
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(Exists("files/puzzles/MyLab_Puzzle_" + std::to_string(i) + ".xml")) << i;
        const QUORB::QUORBSettings settings = SavedSettings();
        const Strings& list = c.madeByUs ? settings.m_roomsMadeByUs : settings.m_roomsMadeByPlayer;
        EXPECT_EQ(std::count(list.begin(), list.end(), "MyLab.xml"), 1);
        const Strings rows = m_world->ScrollListNames("RoomSelectionMenu", "RoomButtons");
        const auto row = std::find(rows.begin(), rows.end(), c.button);
        const auto header = std::find(rows.begin(), rows.end(), "UserText");
        ASSERT_NE(row, rows.end());
        ASSERT_NE(header, rows.end());
        EXPECT_EQ(row < header, c.beforePlayerHeader);
        EXPECT_EQ(Texts(), Strings({SaveRoomMenu::kSavedText}));
        EXPECT_EQ(m_world->MenuState(kDialog), kClosing);
        EXPECT_EQ(Room(), "MyLab.xml");

        // A press while the dialog slides out saves nothing more.
        auto* box = dynamic_cast<dorvo::gfx::EditBox*>(m_world->FindUnit(kDialog, "EditBox"));
        ASSERT_NE(box, nullptr);
        box->SetText("Other");
        m_world->SendText(kDialog, MSG_ButtonPressed, "SaveButton");
        m_world->SendText(kDialog, MSG_ButtonPressed, "CancelButton");
        EXPECT_FALSE(Exists("files/rooms/Other.xml"));
        EXPECT_EQ(Texts(), Strings({SaveRoomMenu::kSavedText}));
        WaitClosed();

        // The room is now the current one, and is saved under its own name again: still one
        // row and one entry in the saved settings.
        OpenDialog(SaveRoomMenu::THEN_NOTHING);
        EXPECT_EQ(Box(), "MyLab");
        m_world->ClearMessages();
        ASSERT_TRUE(m_world->Click(kDialog, "SaveButton"));
        EXPECT_EQ(Texts(), Strings({SaveRoomMenu::kSavedText}));
        const Strings rowsAfter = m_world->ScrollListNames("RoomSelectionMenu", "RoomButtons");
        EXPECT_EQ(std::count(rowsAfter.begin(), rowsAfter.end(), c.button), 1);
        const QUORB::QUORBSettings settingsAfter = SavedSettings();
        const Strings& listAfter =
            c.madeByUs ? settingsAfter.m_roomsMadeByUs : settingsAfter.m_roomsMadeByPlayer;
        EXPECT_EQ(std::count(listAfter.begin(), listAfter.end(), "MyLab.xml"), 1);
        WaitClosed();
    }
}

TEST_F(SaveRoomMenuTest, WhatFollowsComesAfterSaveAndAfterCancelAlike)
{
    Boot();
    const struct
    {
        int then;
        bool roomList; // the room list opened and the back row reset
        bool newRoom;  // the empty room loaded
    } follows[] = {
        {SaveRoomMenu::THEN_NOTHING, false, false},
        {SaveRoomMenu::THEN_ROOM_LIST, true, false},
        {SaveRoomMenu::THEN_NEW_ROOM, false, true},
        {7, false, false},
    };
    for (const char* button : {"SaveButton", "CancelButton"})
        for (const auto& f : follows)
        {
            SCOPED_TRACE(std::string(button) + " then " + std::to_string(f.then));
            const bool saving = std::string(button) == "SaveButton";
            m_world->Console("loadroom Lab.xml false");
            ASSERT_EQ(Room(), "Lab.xml");
            OpenDialog(f.then);
            EXPECT_EQ(Box(), "Lab");
            // Saved, the room is written over its own file again.
            if (saving)
                std::filesystem::remove(m_world->Folder() + "files/rooms/Lab.xml");
            const auto before = Files();
            m_world->ClearMessages();
            ASSERT_TRUE(m_world->Click(kDialog, button));
            EXPECT_EQ(m_world->MenuState(kDialog), kClosing);
            if (saving)
                EXPECT_TRUE(Exists("files/rooms/Lab.xml"));
            else
                EXPECT_EQ(Changed(before), Strings());
            EXPECT_EQ(Texts(), saving ? Strings({SaveRoomMenu::kSavedText}) : Strings());
            EXPECT_EQ(m_world->MessagesTo("RoomSelectionMenu", MSG_OpenMenu).size(), f.roomList ? 1u : 0u);
            EXPECT_EQ(m_world->MessagesTo("BackMenu", MSG_ResetMenu).size(), f.roomList ? 1u : 0u);
            EXPECT_EQ(Room(), f.newRoom ? "EmptyRoom.xml" : "Lab.xml");
            m_world->Send("RoomSelectionMenu", MSG_CloseMenuForced);
            WaitClosed();
        }

    // Custom data that is no number acts as nothing to follow.
    m_world->Console("loadroom Lab.xml false");
    m_world->Send(kDialog, MSG_OpenMenu);
    m_world->SendText(kDialog, MSG_SetCustomData, "1");
    m_world->RunFor(0.4);
    m_world->ClearMessages();
    ASSERT_TRUE(m_world->Click(kDialog, "CancelButton"));
    EXPECT_TRUE(m_world->MessagesTo("RoomSelectionMenu", MSG_OpenMenu).empty());
    EXPECT_EQ(Room(), "Lab.xml");
}

TEST_F(SaveRoomMenuTest, RefusedNamesSayWhyAndWriteNothing)
{
    gametest::MenuTestSetup setup = RoomsSetup();
    setup.files["files/rooms/Stuck.xml/keep"] = ""; // a folder where Stuck's room file would go
    Boot(setup);
    m_world->Console("loadroom a.b.xml false");
    // Made after start-up: in no list, but on disk.
    std::ofstream(m_world->Folder() + "files/rooms/Late.xml") << puzzletest::RoomXml({});

    const struct
    {
        const char* name;
        bool madeByUs;
        const char* text;
    } cases[] = {
        {"", false, SaveRoomMenu::kEmptyNameText},
        {"../x", false, SaveRoomMenu::kBadNameText},
        {"a/b", false, SaveRoomMenu::kBadNameText},
        {"a.b", false, SaveRoomMenu::kBadNameText},
        {" x", false, SaveRoomMenu::kBadNameText},
        {"EmptyRoom", false, SaveRoomMenu::kReservedNameText},
        {"emptyroom", true, SaveRoomMenu::kReservedNameText},
        {"Lab", false, SaveRoomMenu::kTakenNameText},
        {"LAB", true, SaveRoomMenu::kTakenNameText},
        {"Late", false, SaveRoomMenu::kTakenNameText},
        {"Camp", false, SaveRoomMenu::kCampaignNameText},
        {"camp", false, SaveRoomMenu::kCampaignNameText},
        {"Camp", true, SaveRoomMenu::kTakenNameText},
        {"Tutorial", false, SaveRoomMenu::kCampaignNameText}, // ours, its file not in yet
    };
    OpenDialog(SaveRoomMenu::THEN_NOTHING);
    const auto before = Files();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string("\"") + c.name + "\"" + (c.madeByUs ? " with toggleus" : ""));
        if (m_world->Game().IsMadeByUs() != c.madeByUs)
            m_world->Console("toggleus");
        m_world->ClearMessages();
        SaveAs(c.name);
        EXPECT_EQ(Texts(), Strings({c.text}));
        EXPECT_EQ(m_world->MenuState(kDialog), kOpen);
        EXPECT_EQ(Changed(before), Strings());
        EXPECT_TRUE(m_world->MessagesTo("RoomSelectionMenu", MSG_SetCustomData).empty());
    }

    // A room whose file cannot be written: said so, and the dialog stays.
    if (m_world->Game().IsMadeByUs())
        m_world->Console("toggleus");
    m_world->ClearMessages();
    SaveAs("Stuck");
    EXPECT_EQ(Texts(), Strings({SaveRoomMenu::kSaveFailedText}));
    EXPECT_EQ(m_world->MenuState(kDialog), kOpen);
    EXPECT_FALSE(std::filesystem::is_regular_file(m_world->Folder() + "files/rooms/Stuck.xml"));
    const QUORB::QUORBSettings& settings = m_world->Game().GetSettings();
    EXPECT_EQ(
        std::count(settings.m_roomsMadeByPlayer.begin(), settings.m_roomsMadeByPlayer.end(), "Stuck.xml"), 0);

    // The current room under its own name is no other room.
    m_world->Console("loadroom Lab.xml false");
    m_world->ClearMessages();
    SaveAs("Lab");
    EXPECT_EQ(Texts(), Strings({SaveRoomMenu::kSavedText}));
    EXPECT_EQ(m_world->MenuState(kDialog), kClosing);
}
} // namespace
