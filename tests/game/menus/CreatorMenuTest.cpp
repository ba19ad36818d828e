// The creator column in the booted game over the empty room's front puzzle: what it shows of a
// puzzle's widget mask once it has slid in, switching types off and on with the mouse, the last
// type that cannot go (a toggle looks the same checked or not), and a column with no puzzle to
// act on.
#include "MenuTestWorld.h"

#include "game/app/CQUORB.h"
#include "game/manipulator/WidgetManipulator.h"
#include "game/menus/BaseMenu.h"
#include "game/menus/CreatorMenu.h"
#include "game/menus/MenuCallbacks.h"
#include "game/room/CPuzzle.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using QUORB::CreatorMenu;
using Strings = std::vector<std::string>;

namespace
{
constexpr const char* kMenu = "CreatorMenu";
constexpr int kOpen = QUORB::BaseMenu::STATE_Open;
constexpr int kClosed = QUORB::BaseMenu::STATE_Closed;

// The rows by what they are, in the column's order.
constexpr std::size_t kPlatform = 0;
constexpr std::size_t kBar = 1;
constexpr std::size_t kAccelerator = 2;
constexpr std::size_t kGravitySwitch = 3;
constexpr std::size_t kMagnet = 4;

class CreatorMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_world = std::make_unique<gametest::MenuTestWorld>();
        ASSERT_TRUE(m_world->Booted());
        m_world->Step(2);
        m_world->Game().SetFocusedFace(0);
        m_puzzle = m_world->Game().GetFocusedPuzzle();
        ASSERT_NE(m_puzzle, nullptr);
    }

    // As entering a puzzle in create-puzzle mode opens it, then the slide to its end.
    void Open()
    {
        ASSERT_TRUE(m_world->Send(kMenu, MSG_OpenMenu));
        m_world->RunFor(0.4);
        ASSERT_EQ(m_world->MenuState(kMenu), kOpen);
    }

    void Close()
    {
        m_world->Send(kMenu, MSG_CloseMenu);
        m_world->RunFor(0.4);
        ASSERT_EQ(m_world->MenuState(kMenu), kClosed);
    }

    const CreatorMenu::WidgetType& Type(std::size_t row) const { return CreatorMenu::kTypes[row]; }
    bool CrossShown(std::size_t row) const { return m_world->Unit(kMenu, Type(row).cross).visible; }
    gametest::UnitView Toggle(std::size_t row) const { return m_world->Unit(kMenu, Type(row).toggle); }

    // The rows whose cross shows.
    std::vector<std::size_t> Crossed() const
    {
        std::vector<std::size_t> rows;
        for (std::size_t row = 0; row < CreatorMenu::kTypeCount; ++row)
            if (CrossShown(row))
                rows.push_back(row);
        return rows;
    }

    bool Click(std::size_t row) { return m_world->Click(kMenu, Type(row).toggle); }

    // The colour a toggle is drawn in, after a frame has drawn it.
    std::vector<float> Colour(std::size_t row) const
    {
        const gametest::UnitView view = Toggle(row);
        return {view.red, view.green, view.blue};
    }

    Strings Texts() const
    {
        Strings texts;
        for (const gametest::MenuMessage& message :
             m_world->MessagesTo("MessageWindowMenu", MSG_SendTextMessage))
            texts.push_back(message.data.GetString());
        return texts;
    }

    std::unique_ptr<gametest::MenuTestWorld> m_world;
    QUORB::CPuzzle* m_puzzle = nullptr;
};

TEST_F(CreatorMenuTest, TheColumnShowsThePuzzlesMaskOnceItHasSlidIn)
{
    const struct
    {
        int mask;
        std::vector<std::size_t> crossed;
    } cases[] = {
        {31, {}},
        {1 | 4, {kAccelerator, kGravitySwitch, kMagnet}}, // platform and bar
        {2 | 8 | 16, {kPlatform, kBar}},                  // the bits are not in the column's order
        {32, {kPlatform, kBar, kAccelerator, kGravitySwitch, kMagnet}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE("mask " + std::to_string(c.mask));
        m_puzzle->SetAvailableWidgets(c.mask);
        ASSERT_TRUE(m_world->Send(kMenu, MSG_OpenMenu));
        m_world->Step();
        // While the column slides in from the right edge every cross shows.
        EXPECT_EQ(Crossed().size(), CreatorMenu::kTypeCount);
        EXPECT_GT(Toggle(kPlatform).x, 755);
        m_world->RunFor(0.4);
        ASSERT_EQ(m_world->MenuState(kMenu), kOpen);
        EXPECT_EQ(Crossed(), c.crossed);
        for (std::size_t row = 0; row < CreatorMenu::kTypeCount; ++row)
        {
            SCOPED_TRACE(Type(row).toggle);
            const bool on = (c.mask & Type(row).bit) != 0;
            const gametest::UnitView toggle = Toggle(row);
            EXPECT_EQ(toggle.checked, on);
            EXPECT_EQ(toggle.tip, on ? Type(row).onTip : Type(row).offTip);
            EXPECT_EQ(toggle.x, 755);
            EXPECT_EQ(toggle.y, 100 + 40 * static_cast<int>(row));
            EXPECT_TRUE(m_world->Unit(kMenu, Type(row).icon).visible);
        }
        EXPECT_EQ(m_puzzle->GetAvailableWidgets(), c.mask);
        Close();
    }

    // With no type of the five on, one switched on and off again is refused: it is the only one.
    m_puzzle->SetAvailableWidgets(32);
    Open();
    ASSERT_TRUE(Click(kMagnet));
    EXPECT_EQ(m_puzzle->GetAvailableWidgets(), 32 | 8);
    EXPECT_FALSE(CrossShown(kMagnet));
    ASSERT_TRUE(Click(kMagnet));
    EXPECT_EQ(m_puzzle->GetAvailableWidgets(), 32 | 8);
    EXPECT_FALSE(CrossShown(kMagnet));
    EXPECT_EQ(Texts(), Strings({CreatorMenu::kLastTypeText}));
}

TEST_F(CreatorMenuTest, TogglesSwitchTypesOffAndOnAndOnlyCheckingClicks)
{
    m_puzzle->SetAvailableWidgets(31);
    Open();
    m_world->ClearSounds();
    ASSERT_TRUE(Click(kBar));
    EXPECT_EQ(m_puzzle->GetAvailableWidgets(), 31 & ~4);
    EXPECT_TRUE(CrossShown(kBar));
    EXPECT_FALSE(Toggle(kBar).checked);
    EXPECT_EQ(Toggle(kBar).tip, Type(kBar).offTip);
    EXPECT_TRUE(m_world->SoundsStarted().empty());

    ASSERT_TRUE(Click(kGravitySwitch));
    EXPECT_EQ(m_puzzle->GetAvailableWidgets(), 31 & ~4 & ~2);
    EXPECT_EQ(Crossed(), (std::vector<std::size_t>{kBar, kGravitySwitch}));

    ASSERT_TRUE(Click(kBar));
    EXPECT_EQ(m_puzzle->GetAvailableWidgets(), 31 & ~2);
    EXPECT_FALSE(CrossShown(kBar));
    EXPECT_TRUE(Toggle(kBar).checked);
    EXPECT_EQ(Toggle(kBar).tip, Type(kBar).onTip);
    EXPECT_EQ(m_world->SoundsStarted(), Strings({QUORB::SMButtonPressedFunct::kPressSound}));
    EXPECT_TRUE(Texts().empty());

    // The tips are the mask's each time the column opens, whatever the clicks left them as.
    Close();
    m_puzzle->SetAvailableWidgets(31 & ~16);
    Open();
    for (std::size_t row = 0; row < CreatorMenu::kTypeCount; ++row)
        EXPECT_EQ(Toggle(row).tip, row == kAccelerator ? Type(row).offTip : Type(row).onTip)
            << Type(row).toggle;
}

// The refused toggle is left unchecked with its type on. Toggles have no checked look, so that
// shows nowhere: under a skin a toggle is drawn the same checked or not, the pointer on it or
// away, and only the cross tells a type that is off.
TEST_F(CreatorMenuTest, TheLastTypeStaysOnWithAnEditorMessage)
{
    m_world->Console("setgameskin DefaultSkin");
    for (const int mask : {4, 4 | 32 | 64})
    {
        SCOPED_TRACE("mask " + std::to_string(mask));
        m_puzzle->SetAvailableWidgets(mask);
        Open();
        // Away from the column: the bar's toggle is checked, the platform's is not.
        m_world->MoveCursor(400, 300);
        m_world->Step();
        ASSERT_TRUE(Toggle(kBar).checked);
        ASSERT_FALSE(Toggle(kPlatform).checked);
        const std::vector<float> resting = Colour(kPlatform);
        EXPECT_EQ(Colour(kBar), resting);
        m_world->Game().GetWidgetManipulator()->SetCurrentWidgetType("Bar");
        m_world->ClearMessages();
        m_world->ClearSounds();

        ASSERT_TRUE(Click(kBar));
        EXPECT_EQ(m_puzzle->GetAvailableWidgets(), mask);
        EXPECT_EQ(Texts(), Strings({CreatorMenu::kLastTypeText}));
        EXPECT_EQ(m_world->SoundsStarted(), Strings({"QUORBSound/Editor/EditorError"}));
        EXPECT_EQ(m_world->Game().GetWidgetManipulator()->GetCurrentWidgetType(), "");
        EXPECT_FALSE(CrossShown(kBar));
        EXPECT_EQ(Toggle(kBar).tip, Type(kBar).onTip);
        EXPECT_FALSE(Toggle(kBar).checked);
        m_world->Step();
        const std::vector<float> pointedAt = Colour(kBar);
        EXPECT_NE(pointedAt, resting) << "the pointer on a toggle lights it";

        // The toggle is unchecked now, so the next click checks it: the type is on already and
        // nothing that shows changes.
        m_world->ClearMessages();
        m_world->ClearSounds();
        ASSERT_TRUE(Click(kBar));
        EXPECT_TRUE(Toggle(kBar).checked);
        m_world->Step();
        EXPECT_EQ(Colour(kBar), pointedAt);
        EXPECT_EQ(m_puzzle->GetAvailableWidgets(), mask);
        EXPECT_FALSE(CrossShown(kBar));
        EXPECT_EQ(Toggle(kBar).tip, Type(kBar).onTip);
        EXPECT_TRUE(Texts().empty());
        EXPECT_EQ(m_world->SoundsStarted(), Strings({QUORB::SMButtonPressedFunct::kPressSound}));
        Close();
    }
}

TEST_F(CreatorMenuTest, WithoutAFocusedPuzzleTheTogglesChangeNothing)
{
    // The room without its puzzles.
    m_world->Console("clearroom");
    m_puzzle = nullptr;
    ASSERT_EQ(m_world->Game().GetFocusedPuzzle(), nullptr);
    Open();
    // Nothing can be chosen: every cross stays as the opening showed it.
    EXPECT_EQ(Crossed().size(), CreatorMenu::kTypeCount);
    for (std::size_t row : {kPlatform, kMagnet})
    {
        ASSERT_TRUE(Click(row));
        ASSERT_TRUE(Click(row));
    }
    EXPECT_EQ(Crossed().size(), CreatorMenu::kTypeCount);
    EXPECT_EQ(Toggle(kMagnet).tip, Type(kMagnet).onTip);
    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(m_world->Game().GetFocusedPuzzle(), nullptr);
}
} // namespace
