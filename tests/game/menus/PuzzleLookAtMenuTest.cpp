// The puzzle look-at menu in the booted game: where it stands, the label it chooses for the face
// the camera settles on, what entering a puzzle switches and opens (and when it refuses), and the
// arrows that turn the room.
#include "MenuTestWorld.h"
#include "RoomMenuFixtures.h"

#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/CQUORB.h"
#include "game/camera/CCamera.h"
#include "game/menus/BaseMenu.h"
#include "game/menus/MenuHitTests.h"
#include "game/room/CRoom.h"

#include <gtest/gtest.h>

#include <memory>

using QUORB::BaseMenu;

namespace
{
constexpr const char* kMenu = "PuzzleLookAtMenu";

// The room "Lab.xml": objectives only on the front face, nothing on the right one, a star
// object alone on the back one, and no puzzle on the left face.
gametest::MenuTestSetup LabSetup()
{
    gametest::MenuTestSetup setup;
    puzzletest::PuzzleText objectives;
    objectives.objectives = {roommenutest::TargetObjective(), roommenutest::TimeLimitObjective()};
    puzzletest::PuzzleText ball;
    ball.quorbs = {roommenutest::Ball()};
    roommenutest::AddRoom(setup.files, "Lab.xml", {objectives, puzzletest::PuzzleText(), ball});
    return setup;
}

class PuzzleLookAtMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_world = std::make_unique<gametest::MenuTestWorld>(LabSetup());
        ASSERT_TRUE(m_world->Booted());
        m_world->Step(2);
        m_world->Console("loadroom Lab.xml false");
        ASSERT_EQ(m_world->Game().GetRoom()->GetPuzzleCount(), 3u);
    }

    // The camera turned to the face and settled there, the menu opened on it.
    void LookAt(int face)
    {
        m_world->Game().GetRoom()->FocusFace(static_cast<unsigned>(face));
        m_world->Step();
        ASSERT_TRUE(
            m_world->RunUntil([this]() { return m_world->MenuState(kMenu) == BaseMenu::STATE_Open; }, 3.0));
        ASSERT_EQ(m_world->Game().GetFocusedFace(), face);
    }

    std::string Label() const { return m_world->Unit(kMenu, "StartPuzzleText").text; }

    // The messages the menu sent, as "receiver name" (its own timed state changes left out).
    std::vector<std::string> Sent() const
    {
        std::vector<std::string> sent;
        for (const gametest::MenuMessage& message : m_world->Messages())
            if (message.sender == kMenu && message.name != MSG_CHANGE_STATE_DELAYED &&
                message.name != MSG_CHANGE_SUBSTATE_DELAYED)
                sent.push_back(message.receiver + " " + std::to_string(message.name));
        return sent;
    }

    std::unique_ptr<gametest::MenuTestWorld> m_world;
};

std::string Message(const char* receiver, MessageName name)
{
    return std::string(receiver) + " " + std::to_string(name);
}

TEST_F(PuzzleLookAtMenuTest, ItStandsInTheMiddleOfTheScreenBeneathTheOtherMenus)
{
    LookAt(0);
    struct Place
    {
        const char* unit;
        int x, y, width, height;
    };
    for (const Place& place : {Place{"Base", 290, 300, 0, 0}, Place{"StartPuzzleButton", 290, 300, 256, 75},
                               Place{"StartPuzzleText", 330, 320, -1, -1},
                               Place{"LeftArrow", 155, 300, 110, 60}, Place{"RightArrow", 520, 300, 110, 60}})
    {
        SCOPED_TRACE(place.unit);
        const gametest::UnitView view = m_world->Unit(kMenu, place.unit);
        ASSERT_TRUE(view.found);
        EXPECT_TRUE(view.visible);
        EXPECT_EQ(view.x, place.x);
        EXPECT_EQ(view.y, place.y);
        if (place.width >= 0)
        {
            EXPECT_EQ(view.width, place.width);
            EXPECT_EQ(view.height, place.height);
        }
        if (std::string(place.unit) != "Base")
        {
            EXPECT_EQ(m_world->FindUnit(kMenu, place.unit)->GetDepth(), -1);
        }
    }
    for (const char* arrow : {"LeftArrow", "RightArrow"})
    {
        auto* button = dynamic_cast<dorvo::gfx::CButton*>(m_world->FindUnit(kMenu, arrow));
        ASSERT_NE(button, nullptr);
        const auto* hit = dynamic_cast<const QUORB::RectPointInsideFunct*>(button->GetPointInsideFunct());
        ASSERT_NE(hit, nullptr);
        EXPECT_EQ(hit->GetWidth(), 100);
        EXPECT_EQ(hit->GetHeight(), 50);
        ASSERT_NE(button->GetCurrentAnimation(), nullptr);
        EXPECT_EQ(button->GetCurrentAnimation()->sourceY, 128); // the double-headed arrow's frame
    }
}

TEST_F(PuzzleLookAtMenuTest, TheLabelSaysWhatEnteringWouldDo)
{
    struct Case
    {
        bool createMode;
        int face;
        const char* label;
    };
    const Case cases[] = {
        {false, 0, "Play Puzzle"},  // objectives only: not empty
        {false, 1, "Cannot Enter"}, // empty
        {false, 2, "Play Puzzle"},  // a star object alone
        {false, 3, "Cannot Enter"}, // no puzzle on that face
        {true, 0, "Edit Puzzle"},   {true, 1, "Create Puzzle"},
        {true, 2, "Edit Puzzle"},   {true, 3, "Cannot Enter"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.createMode) + " face " + std::to_string(c.face));
        m_world->Game().SetCreatePuzzleMode(c.createMode);
        const std::string before = Label();
        m_world->Game().GetRoom()->FocusFace(static_cast<unsigned>(c.face));
        m_world->Step();
        ASSERT_TRUE(m_world->RunUntil(
            [this]()
            {
                return !m_world->Game().GetGameCamera()->IsInterpolating() &&
                       m_world->MenuState(kMenu) == BaseMenu::STATE_Opening;
            },
            3.0));
        EXPECT_EQ(Label(), before); // chosen when the 0.1 s opening ends
        ASSERT_TRUE(
            m_world->RunUntil([this]() { return m_world->MenuState(kMenu) == BaseMenu::STATE_Open; }, 1.0));
        EXPECT_EQ(Label(), c.label);
    }
}

TEST_F(PuzzleLookAtMenuTest, NothingHappensOnAFaceThatCannotBeEntered)
{
    for (const bool createMode : {false, true})
    {
        SCOPED_TRACE(createMode);
        m_world->Game().SetCreatePuzzleMode(createMode);
        LookAt(createMode ? 3 : 1); // the empty face outside create-puzzle mode, no puzzle in it
        m_world->ClearMessages();
        ASSERT_TRUE(m_world->Click(kMenu, "StartPuzzleButton"));
        EXPECT_FALSE(m_world->Game().IsEditorMode());
        EXPECT_EQ(Sent(), std::vector<std::string>());
        EXPECT_EQ(m_world->MenuState(kMenu), BaseMenu::STATE_Open);
    }
}

TEST_F(PuzzleLookAtMenuTest, EnteringSwitchesTheEditorOnAndOpensThePuzzleMenusInOrder)
{
    struct Case
    {
        bool createMode;
        int face;
    };
    for (const Case c : {Case{false, 0}, Case{true, 1}})
    {
        SCOPED_TRACE(c.createMode);
        m_world->Game().SetCreatePuzzleMode(c.createMode);
        LookAt(c.face);
        m_world->ClearMessages();
        // A double click, a frame for each press and release: the second press lands while the
        // menu closes and is not heard (entering again would switch editor mode back off).
        ASSERT_TRUE(m_world->PointAt(kMenu, "StartPuzzleButton"));
        m_world->LeftDown();
        m_world->LeftUp();
        ASSERT_EQ(m_world->MenuState(kMenu), BaseMenu::STATE_Closing);
        m_world->LeftDown();
        m_world->LeftUp();
        EXPECT_TRUE(m_world->Game().IsEditorMode());
        std::vector<std::string> expected = {Message(kMenu, MSG_CloseMenu),
                                             Message("WidgetChoiceBarMenu", MSG_OpenMenuEx),
                                             Message("StartPuzzleMenu", MSG_OpenMenu),
                                             Message("BudgetMenu", MSG_OpenMenu),
                                             Message("TimerObjMenu", MSG_OpenMenu),
                                             Message("PuzzleInfoMenu", MSG_CloseMenu)};
        if (c.createMode)
        {
            expected.push_back(Message("CreatorMenu", MSG_OpenMenu));
            expected.push_back(Message("BackMenu", MSG_ResetMenu));
        }
        EXPECT_EQ(Sent(), expected);
        m_world->RunFor(0.15);
        EXPECT_EQ(m_world->MenuState(kMenu), BaseMenu::STATE_Closed);
        EXPECT_GT(m_world->MenuState("StartPuzzleMenu"), BaseMenu::STATE_Closed); // fading in
        // Out of the puzzle again; the camera brings the menu back.
        m_world->Console("toggleeditor");
    }
}

TEST_F(PuzzleLookAtMenuTest, TheArrowsTurnTheRoomRightAndLeft)
{
    LookAt(0);
    ASSERT_TRUE(m_world->Click(kMenu, "RightArrow"));
    m_world->Step();
    EXPECT_NE(m_world->MenuState(kMenu), BaseMenu::STATE_Open); // closed while the view turns
    ASSERT_TRUE(
        m_world->RunUntil([this]() { return m_world->MenuState(kMenu) == BaseMenu::STATE_Open; }, 3.0));
    EXPECT_EQ(m_world->Game().GetFocusedFace(), 1);
    EXPECT_EQ(Label(), "Cannot Enter");
    ASSERT_TRUE(m_world->Click(kMenu, "LeftArrow"));
    m_world->Step();
    ASSERT_TRUE(
        m_world->RunUntil([this]() { return m_world->MenuState(kMenu) == BaseMenu::STATE_Open; }, 3.0));
    EXPECT_EQ(m_world->Game().GetFocusedFace(), 0);
    EXPECT_EQ(Label(), "Play Puzzle");
}
} // namespace
