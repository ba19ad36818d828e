// The player's road from the main menu into a room, a face and its puzzle and back out again,
// headless from a boot with a profile through the splash chain: the room list, the look-at menu
// and the info panel at a face, the puzzle entered and left, and the back row at every step. The
// campaign room is the committed Tutorial room.
#include "MainRoadSetup.h"
#include "MenuTestWorld.h"
#include "TutorialSolutions.h"

#include "game/app/CQUORB.h"
#include "game/camera/CCamera.h"
#include "game/menus/BaseMenu.h"
#include "game/room/CRoom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using QUORB::BaseMenu;

namespace
{
constexpr int kClosed = BaseMenu::STATE_Closed;
constexpr int kOpen = BaseMenu::STATE_Open;

// The info panel's objective and widget badges.
const char* const kBadges[] = {
    "GetToLocationButton", "TargetButton", "WaterControlButton", "TimeLimitButton",  "SquashQuorbiButton",
    "PlatformButton",      "BarButton",    "AcceleratorButton",  "GravSwitchButton", "MagnetButton"};

// The badges each face of the Tutorial shows: its objectives, then the widgets it offers.
std::vector<std::string> TutorialBadges(int face)
{
    switch (face)
    {
    case 0:
        return {"GetToLocationButton", "PlatformButton"};
    case 1:
        return {"TargetButton", "TimeLimitButton", "AcceleratorButton"};
    case 2:
        return {"GetToLocationButton", "GravSwitchButton"};
    default:
        return {"TargetButton", "PlatformButton", "MagnetButton"};
    }
}

// A returning player's start: the settings name the profile "Player.xml", which unlocks the
// campaign's "Tutorial.xml".
gametest::MenuTestSetup RoadSetup()
{
    return mainroad::RoadSetup("Player.xml", {"Player.xml"});
}

class IntoARoomRoad : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_world = std::make_unique<gametest::MenuTestWorld>(RoadSetup());
        ASSERT_TRUE(m_world->Booted());
        // The splash chain ends in the main menu once the profile has loaded.
        ASSERT_TRUE(WaitFor("MainMenu", kOpen, 15.0));
    }

    int State(const char* menu) const { return m_world->MenuState(menu); }
    bool Shown(const char* menu, const char* unit) const { return m_world->Unit(menu, unit).visible; }

    bool WaitFor(const char* menu, int state, double seconds = 3.0)
    {
        return m_world->RunUntil([&]() { return State(menu) == state; }, seconds);
    }

    // A button of the open main menu, which slides out while the panel it opens comes in with the
    // back row beside it.
    void FromTheMainMenu(const char* button, const char* panel)
    {
        ASSERT_TRUE(WaitFor("MainMenu", kOpen));
        ASSERT_TRUE(m_world->Click("MainMenu", button));
        EXPECT_EQ(State("BackMenu"), kOpen);
        ASSERT_TRUE(WaitFor(panel, kOpen));
        EXPECT_TRUE(WaitFor("MainMenu", kClosed));
    }

    // The pointer rests on the room's button, which loads it, and clicks it; the camera turns to
    // a face and the look-at menu comes up there.
    void IntoTheRoom(const char* button, const char* file)
    {
        ASSERT_TRUE(m_world->Hover("RoomSelectionMenu", button, 0.1));
        EXPECT_EQ(m_world->Game().GetRoom()->GetRoomName(), file);
        ASSERT_TRUE(m_world->Click("RoomSelectionMenu", button));
        ASSERT_TRUE(WaitFor("PuzzleLookAtMenu", kOpen));
        EXPECT_EQ(State("RoomSelectionMenu"), kClosed);
    }

    std::string Label() const { return m_world->Unit("PuzzleLookAtMenu", "StartPuzzleText").text; }

    void Back() { ASSERT_TRUE(m_world->Click("BackMenu", "BackButton")); }

    // The info panel shows the Tutorial face's badges and no other.
    void ExpectBadgesOf(int face) const
    {
        SCOPED_TRACE("face " + std::to_string(face));
        const std::vector<std::string> shown = TutorialBadges(face);
        for (const char* badge : kBadges)
            EXPECT_EQ(Shown("PuzzleInfoMenu", badge),
                      std::find(shown.begin(), shown.end(), badge) != shown.end())
                << badge;
    }

    std::unique_ptr<gametest::MenuTestWorld> m_world;
};

TEST_F(IntoARoomRoad, FromTheMainMenuIntoAPuzzleAndBackWithTheBackRow)
{
    // "Play": the room list and the back row with its back button alone.
    FromTheMainMenu("Play", "RoomSelectionMenu");
    EXPECT_TRUE(Shown("BackMenu", "BackButton"));
    EXPECT_FALSE(Shown("BackMenu", "SaveButton"));
    EXPECT_FALSE(Shown("BackMenu", "NewRoomButton"));

    // Into the campaign room: its first face to the right, with the look-at menu and the info.
    IntoTheRoom("ButtonC:Tutorial.xml", tutorial::kRoomFile);
    const int face = m_world->Game().GetFocusedFace();
    ASSERT_GE(face, 0);
    EXPECT_EQ(Label(), "Play Puzzle");
    EXPECT_EQ(State("PuzzleInfoMenu"), kOpen);
    ExpectBadgesOf(face);
    EXPECT_EQ(m_world->Unit("PuzzleInfoMenu", "BudgetText").text, "Budget: 3");

    // The arrows turn the room and the menus follow.
    ASSERT_TRUE(m_world->Click("PuzzleLookAtMenu", "RightArrow"));
    m_world->Step();
    ASSERT_TRUE(WaitFor("PuzzleLookAtMenu", kOpen));
    EXPECT_EQ(m_world->Game().GetFocusedFace(), (face + 1) % 4);
    EXPECT_EQ(Label(), "Play Puzzle");
    ExpectBadgesOf((face + 1) % 4);
    ASSERT_TRUE(m_world->Click("PuzzleLookAtMenu", "LeftArrow"));
    m_world->Step();
    ASSERT_TRUE(WaitFor("PuzzleLookAtMenu", kOpen));
    EXPECT_EQ(m_world->Game().GetFocusedFace(), face);
    ExpectBadgesOf(face);

    // "Play Puzzle": the editor on, the puzzle's menus up, the face's menus gone.
    m_world->ClearMessages();
    ASSERT_TRUE(m_world->Click("PuzzleLookAtMenu", "StartPuzzleButton"));
    EXPECT_TRUE(m_world->Game().IsEditorMode());
    for (const char* menu : {"StartPuzzleMenu", "BudgetMenu", "TimerObjMenu"})
        EXPECT_EQ(m_world->MessagesTo(menu, MSG_OpenMenu).size(), 1u) << menu;
    EXPECT_EQ(m_world->MessagesTo("WidgetChoiceBarMenu", MSG_OpenMenuEx).size(), 1u);
    m_world->RunFor(0.5);
    EXPECT_EQ(State("PuzzleLookAtMenu"), kClosed);
    EXPECT_EQ(State("PuzzleInfoMenu"), kClosed);
    EXPECT_EQ(State("BackMenu"), kOpen);

    // Back out of the puzzle (the game leaves it); the face's menus return.
    Back();
    EXPECT_FALSE(m_world->Game().IsEditorMode());
    ASSERT_TRUE(WaitFor("PuzzleLookAtMenu", kOpen));
    EXPECT_TRUE(WaitFor("StartPuzzleMenu", kClosed, 2.0)); // fading out
    EXPECT_EQ(Label(), "Play Puzzle");

    // Back from the face to the room list, and from there to the main menu.
    Back();
    EXPECT_TRUE(WaitFor("RoomSelectionMenu", kOpen));
    EXPECT_EQ(State("BackMenu"), kOpen);
    m_world->ClearMessages();
    Back();
    EXPECT_EQ(m_world->MessagesTo("MainMenu", MSG_OpenMenu).size(), 1u);
    EXPECT_EQ(State("BackMenu"), kClosed);
    EXPECT_TRUE(WaitFor("RoomSelectionMenu", kClosed, 1.0));
    EXPECT_TRUE(WaitFor("MainMenu", kOpen, 1.0));

    // "Options", and back to the main menu.
    FromTheMainMenu("Options", "OptionsMenu");
    m_world->ClearMessages();
    Back();
    EXPECT_EQ(m_world->MessagesTo("MainMenu", MSG_OpenMenu).size(), 1u);
    EXPECT_EQ(State("BackMenu"), kClosed);
    EXPECT_TRUE(WaitFor("OptionsMenu", kClosed, 1.0));
    EXPECT_TRUE(WaitFor("MainMenu", kOpen, 1.0));
}

TEST_F(IntoARoomRoad, TheEmptyRoomCannotBeEnteredButCanBeBuiltIn)
{
    FromTheMainMenu("Play", "RoomSelectionMenu");
    IntoTheRoom("ButtonU:EmptyRoom.xml", "EmptyRoom.xml");
    EXPECT_EQ(Label(), "Cannot Enter");
    ASSERT_TRUE(m_world->Click("PuzzleLookAtMenu", "StartPuzzleButton"));
    EXPECT_FALSE(m_world->Game().IsEditorMode());

    // In create-puzzle mode the menu says so once it comes up again.
    m_world->Console("togglecm");
    ASSERT_TRUE(m_world->Click("PuzzleLookAtMenu", "RightArrow"));
    m_world->Step();
    ASSERT_TRUE(WaitFor("PuzzleLookAtMenu", kOpen));
    EXPECT_EQ(Label(), "Create Puzzle");
}
} // namespace
