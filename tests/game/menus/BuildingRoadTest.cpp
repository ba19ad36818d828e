// The road of a player building a room of his own, headless from the main menu: "Editor", the
// empty room, a puzzle created with its widget types and budget, the room saved under a typed
// name, a new room started and left, back to the room list and the main menu, and after a new
// start the saved room in the list, its puzzle as it was built. Every menu on the way shows its
// textures, and the sounds it plays exist.
#include "MenuTestWorld.h"
#include "RoomMenuFixtures.h"

#include "common/InputEvent.h"
#include "engine/gfx/gui/EditBox.h"
#include "game/app/CQUORB.h"
#include "game/files/QUORBSettings.h"
#include "game/files/ValidateFileBaseName.h"
#include "game/menus/BaseMenu.h"
#include "game/menus/CreatorMenu.h"
#include "game/menus/SaveRoomMenu.h"
#include "game/room/CPuzzle.h"
#include "game/room/CRoom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>

using QUORB::BaseMenu;
using QUORB::CreatorMenu;
using Strings = std::vector<std::string>;

namespace
{
constexpr int kClosed = BaseMenu::STATE_Closed;
constexpr int kOpen = BaseMenu::STATE_Open;

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

gametest::MenuTestSetup RoadSetup()
{
    gametest::MenuTestSetup setup;
    setup.files["files/profiles/Builder.xml"] = roommenutest::ProfileXml({});
    return setup;
}

class BuildingRoad : public ::testing::Test
{
protected:
    void Boot(const gametest::MenuTestSetup& setup)
    {
        m_world.reset(); // one game at a time
        m_world = std::make_unique<gametest::MenuTestWorld>(setup);
        ASSERT_TRUE(m_world->Booted());
        m_world->Step(2);
        m_world->Console("loadprofile Builder.xml");
    }

    int State(const char* menu) const { return m_world->MenuState(menu); }
    bool Shown(const char* menu, const std::string& unit) const { return m_world->Unit(menu, unit).visible; }
    std::string Text(const char* menu, const char* unit) const { return m_world->Unit(menu, unit).text; }

    // Frames until the menu is in the state, then one more: a slide's last step shows in the
    // frame after the state changed.
    bool WaitFor(const char* menu, int state, double seconds = 3.0)
    {
        const bool reached = m_world->RunUntil([&]() { return State(menu) == state; }, seconds);
        m_world->Step();
        return reached;
    }

    void Click(const char* menu, const std::string& unit) { ASSERT_TRUE(m_world->Click(menu, unit)) << unit; }

    Strings Texts() const
    {
        Strings texts;
        for (const gametest::MenuMessage& message :
             m_world->MessagesTo("MessageWindowMenu", MSG_SendTextMessage))
            texts.push_back(message.data.GetString());
        return texts;
    }

    Strings Rooms() const
    {
        Strings names;
        for (const auto& entry : std::filesystem::directory_iterator(m_world->Folder() + "files/rooms"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Nothing the player sees lacks its picture.
    void ExpectTexturesLoaded(const char* menu) const
    {
        EXPECT_EQ(m_world->UnloadedTextures(menu), Strings()) << menu;
    }

    std::unique_ptr<gametest::MenuTestWorld> m_world;
};

TEST_F(BuildingRoad, FromTheEditorButtonToASavedRoomOfOnesOwn)
{
    Boot(RoadSetup());
    QUORB::CQUORB& game = m_world->Game();
    ASSERT_TRUE(m_world->Send("MainMenu", MSG_OpenMenu));
    ASSERT_TRUE(WaitFor("MainMenu", kOpen));

    // "Editor": create-puzzle mode and the room list; resting on the empty room loads it, a
    // press turns the camera to a face, and the back row offers the room tools.
    Click("MainMenu", "Editor");
    EXPECT_TRUE(game.IsCreatePuzzleMode());
    ASSERT_TRUE(WaitFor("RoomSelectionMenu", kOpen));
    ASSERT_TRUE(m_world->Hover("RoomSelectionMenu", "ButtonU:EmptyRoom.xml", 0.1));
    EXPECT_EQ(game.GetRoom()->GetRoomName(), "EmptyRoom.xml");
    Click("RoomSelectionMenu", "ButtonU:EmptyRoom.xml");
    ASSERT_TRUE(WaitFor("RoomSelectionMenu", kClosed));
    for (const char* tool : {"BackButton", "SaveButton", "NewRoomButton"})
        EXPECT_TRUE(Shown("BackMenu", tool)) << tool;
    ASSERT_TRUE(WaitFor("PuzzleLookAtMenu", kOpen));
    EXPECT_EQ(Text("PuzzleLookAtMenu", "StartPuzzleText"), "Create Puzzle");

    // "Create Puzzle": the creator column with every type on, the budget's editor panel at 0,
    // "Test" and "Clear".
    Click("PuzzleLookAtMenu", "StartPuzzleButton");
    EXPECT_TRUE(game.IsEditorMode());
    QUORB::CPuzzle* puzzle = game.GetFocusedPuzzle();
    ASSERT_NE(puzzle, nullptr);
    const int face = game.GetFocusedFace();
    ASSERT_TRUE(WaitFor("CreatorMenu", kOpen));
    ASSERT_TRUE(WaitFor("StartPuzzleMenu", kOpen));
    EXPECT_EQ(m_world->Unit("CreatorMenu", "PlatformButton").x, 755);
    EXPECT_EQ(m_world->Unit("CreatorMenu", "PlatformButton").y, 100);
    for (const CreatorMenu::WidgetType& type : CreatorMenu::kTypes)
    {
        EXPECT_TRUE(Shown("CreatorMenu", type.toggle)) << type.toggle;
        EXPECT_FALSE(Shown("CreatorMenu", type.cross)) << type.cross;
    }
    EXPECT_TRUE(Shown("BudgetMenu", "Background2"));
    EXPECT_EQ(Text("BudgetMenu", "BudgetValueText"), "0");
    EXPECT_EQ(Text("StartPuzzleMenu", "StartButtonText"), "Test");
    EXPECT_EQ(Text("StartPuzzleMenu", "ClearButtonText"), "Clear");
    for (const char* menu : {"CreatorMenu", "BudgetMenu", "StartPuzzleMenu", "BackMenu"})
        ExpectTexturesLoaded(menu);

    // A budget of 3; four types off, the fifth kept with the editor's message.
    for (int i = 0; i < 3; ++i)
        Click("BudgetMenu", "IncButton");
    EXPECT_EQ(Text("BudgetMenu", "BudgetValueText"), "3");
    for (std::size_t row = 0; row < 4; ++row)
        Click("CreatorMenu", CreatorMenu::kTypes[row].toggle);
    m_world->ClearMessages();
    m_world->ClearSounds();
    Click("CreatorMenu", "MagnetButton");
    EXPECT_EQ(Texts(), Strings({CreatorMenu::kLastTypeText}));
    EXPECT_EQ(m_world->SoundsStarted(), Strings({"QUORBSound/Editor/EditorError"}));
    EXPECT_FALSE(Shown("CreatorMenu", "MagnetOverlay"));
    EXPECT_EQ(puzzle->GetAvailableWidgets(), 8);
    EXPECT_EQ(puzzle->GetTotalBudget(), 3);

    // Back out of the puzzle (the way back from inside one): the column goes, the face returns.
    Click("BackMenu", "BackButton");
    EXPECT_FALSE(game.IsEditorMode());
    ASSERT_TRUE(WaitFor("CreatorMenu", kClosed));
    ASSERT_TRUE(WaitFor("PuzzleLookAtMenu", kOpen));
    EXPECT_TRUE(Shown("BackMenu", "SaveButton"));

    // "SaveButton", "MyLab", "Save": the room, its four puzzles and the settings written, the
    // room listed as the player's.
    const Strings roomsBefore = Rooms();
    Click("BackMenu", "SaveButton");
    ASSERT_TRUE(WaitFor("SaveRoomMenu", kOpen));
    ExpectTexturesLoaded("SaveRoomMenu");
    EXPECT_EQ(Text("SaveRoomMenu", "EditBox"), QUORB::DefaultRoomName);
    Click("SaveRoomMenu", "EditBox");
    for (std::size_t i = 0; i < QUORB::kMaxFileBaseNameLength; ++i)
        m_world->Key(dorvo::input::KEY_BACK);
    m_world->TypeText("MyLab");
    ASSERT_EQ(Text("SaveRoomMenu", "EditBox"), "MyLab");
    m_world->ClearMessages();
    Click("SaveRoomMenu", "SaveButton");
    EXPECT_EQ(Texts(), Strings({QUORB::SaveRoomMenu::kSavedText}));
    EXPECT_TRUE(std::filesystem::exists(m_world->Folder() + "files/rooms/MyLab.xml"));
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(std::filesystem::exists(m_world->Folder() + "files/puzzles/MyLab_Puzzle_" +
                                            std::to_string(i) + ".xml"))
            << i;
    QUORB::QUORBSettings saved;
    ASSERT_TRUE(QUORB::LoadSettingsFile(saved, m_world->Folder() + "files/xmlfiles/QUORBSettings.xml"));
    EXPECT_EQ(std::count(saved.m_roomsMadeByPlayer.begin(), saved.m_roomsMadeByPlayer.end(), "MyLab.xml"), 1);
    const Strings rows = m_world->ScrollListNames("RoomSelectionMenu", "RoomButtons");
    EXPECT_NE(std::find(rows.begin(), rows.end(), "ButtonU:MyLab.xml"), rows.end());
    ASSERT_TRUE(WaitFor("SaveRoomMenu", kClosed));

    // "NewRoomButton", then "Cancel": the empty room comes, nothing is saved.
    const Strings roomsSaved = Rooms();
    const std::string settingsSaved = ReadWhole(m_world->Folder() + "files/xmlfiles/QUORBSettings.xml");
    Click("BackMenu", "NewRoomButton");
    ASSERT_TRUE(WaitFor("SaveRoomMenu", kOpen));
    EXPECT_EQ(Text("SaveRoomMenu", "EditBox"), "MyLab");
    Click("SaveRoomMenu", "CancelButton");
    EXPECT_EQ(game.GetRoom()->GetRoomName(), "EmptyRoom.xml");
    ASSERT_TRUE(WaitFor("SaveRoomMenu", kClosed));
    EXPECT_EQ(Rooms(), roomsSaved);
    EXPECT_EQ(ReadWhole(m_world->Folder() + "files/xmlfiles/QUORBSettings.xml"), settingsSaved);
    Strings added;
    std::set_difference(roomsSaved.begin(), roomsSaved.end(), roomsBefore.begin(), roomsBefore.end(),
                        std::back_inserter(added));
    EXPECT_EQ(added, Strings({"MyLab.xml"}));

    // "BackButton" at the room being built, then "Cancel": the room list, the back row reset
    // to its back button alone while the list is up.
    ASSERT_TRUE(WaitFor("PuzzleLookAtMenu", kOpen));
    m_world->ClearMessages();
    Click("BackMenu", "BackButton");
    ASSERT_TRUE(WaitFor("SaveRoomMenu", kOpen));
    Click("SaveRoomMenu", "CancelButton");
    EXPECT_EQ(m_world->MessagesTo("RoomSelectionMenu", MSG_OpenMenu).size(), 1u);
    EXPECT_EQ(m_world->MessagesTo("BackMenu", MSG_ResetMenu).size(), 1u);
    ASSERT_TRUE(WaitFor("RoomSelectionMenu", kOpen));
    EXPECT_TRUE(Shown("BackMenu", "BackButton"));
    EXPECT_FALSE(Shown("BackMenu", "SaveButton"));
    EXPECT_FALSE(Shown("BackMenu", "NewRoomButton"));
    EXPECT_EQ(Rooms(), roomsSaved);

    // "BackButton" at the room list: the main menu, out of create-puzzle mode.
    ASSERT_TRUE(WaitFor("SaveRoomMenu", kClosed));
    m_world->ClearMessages();
    Click("BackMenu", "BackButton");
    EXPECT_EQ(m_world->MessagesTo("MainMenu", MSG_OpenMenu).size(), 1u);
    EXPECT_FALSE(game.IsCreatePuzzleMode());
    ASSERT_TRUE(WaitFor("MainMenu", kOpen));
    ASSERT_TRUE(WaitFor("RoomSelectionMenu", kClosed));

    // A new start: the room is listed as the player's, and its puzzle is as it was built.
    gametest::MenuTestSetup again = RoadSetup();
    for (const std::string& file :
         {std::string("files/xmlfiles/QUORBSettings.xml"), std::string("files/rooms/MyLab.xml"),
          "files/puzzles/MyLab_Puzzle_" + std::to_string(face) + ".xml"})
        again.files[file] = ReadWhole(m_world->Folder() + file);
    for (int i = 0; i < 4; ++i)
        if (i != face)
        {
            const std::string file = "files/puzzles/MyLab_Puzzle_" + std::to_string(i) + ".xml";
            again.files[file] = ReadWhole(m_world->Folder() + file);
        }
    Boot(again);
    const Strings listed = m_world->ScrollListNames("RoomSelectionMenu", "RoomButtons");
    const auto mine = std::find(listed.begin(), listed.end(), "ButtonU:MyLab.xml");
    const auto header = std::find(listed.begin(), listed.end(), "UserText");
    ASSERT_NE(mine, listed.end());
    EXPECT_LT(header, mine);
    m_world->Console("loadroom MyLab.xml false");
    ASSERT_EQ(m_world->Game().GetRoom()->GetRoomName(), "MyLab.xml");
    const QUORB::CPuzzle* built = m_world->Game().GetRoom()->GetPuzzle(static_cast<unsigned>(face));
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(built->GetAvailableWidgets(), 8);
    EXPECT_EQ(built->GetTotalBudget(), 3);
}
} // namespace

// A room left through "Cancel" of the leave dialog is shown as its files hold it: what was built
// and not saved is neither in the room list's room nor in the editor afterwards.
TEST_F(BuildingRoad, ARoomLeftUnsavedIsShownAsItsFilesHoldIt)
{
    Boot(RoadSetup());
    QUORB::CQUORB& game = m_world->Game();
    ASSERT_TRUE(m_world->Send("MainMenu", MSG_OpenMenu));
    ASSERT_TRUE(WaitFor("MainMenu", kOpen));
    Click("MainMenu", "Editor");
    ASSERT_TRUE(WaitFor("RoomSelectionMenu", kOpen));
    ASSERT_TRUE(m_world->Hover("RoomSelectionMenu", "ButtonU:EmptyRoom.xml", 0.1));
    Click("RoomSelectionMenu", "ButtonU:EmptyRoom.xml");
    ASSERT_TRUE(WaitFor("PuzzleLookAtMenu", kOpen));
    EXPECT_FALSE(game.GetRoom()->IsModified());
    Click("PuzzleLookAtMenu", "StartPuzzleButton");
    ASSERT_TRUE(WaitFor("CreatorMenu", kOpen));
    const unsigned face = static_cast<unsigned>(game.GetFocusedFace());
    for (int i = 0; i < 3; ++i)
        Click("BudgetMenu", "IncButton");
    ASSERT_EQ(game.GetFocusedPuzzle()->GetTotalBudget(), 3);
    EXPECT_TRUE(game.GetRoom()->IsModified());

    Click("BackMenu", "BackButton");
    ASSERT_TRUE(WaitFor("PuzzleLookAtMenu", kOpen));
    Click("BackMenu", "BackButton");
    ASSERT_TRUE(WaitFor("SaveRoomMenu", kOpen));
    Click("SaveRoomMenu", "CancelButton");
    ASSERT_TRUE(WaitFor("RoomSelectionMenu", kOpen));
    EXPECT_FALSE(game.GetRoom()->IsModified());
    EXPECT_EQ(game.GetRoom()->GetPuzzle(face)->GetTotalBudget(), 0) << "as the file holds it";

    // The list's room and the editor show the same.
    ASSERT_TRUE(m_world->Hover("RoomSelectionMenu", "ButtonU:EmptyRoom.xml", 0.1));
    Click("RoomSelectionMenu", "ButtonU:EmptyRoom.xml");
    ASSERT_TRUE(WaitFor("PuzzleLookAtMenu", kOpen));
    EXPECT_EQ(game.GetRoom()->GetPuzzle(face)->GetTotalBudget(), 0);
    EXPECT_FALSE(game.GetRoom()->IsModified());
}
