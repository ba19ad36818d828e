// The help tab at the left edge: the help button shows and hides the controls button, the
// controls button never stays checked and its tip lists the controls, and resting on a button
// brightens it and its icon.
#include "MenuTestWorld.h"

#include "common/Singleton.h"
#include "game/menus/BaseMenu.h"
#include "statemachine/Database.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{
const char* const kTab = "HelpMenu";

class HelpMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_world = std::make_unique<gametest::MenuTestWorld>();
        ASSERT_TRUE(m_world->Booted());
        m_world->Step();
        Database* database = common::Singleton<Database>::Instance();
        database->SendMsg(database->FindIdByName(kTab), MSG_OpenMenu);
        m_world->RunFor(0.4);
        ASSERT_EQ(m_world->MenuState(kTab), QUORB::BaseMenu::STATE_Open);
        // The pointer rests away from the tab.
        m_world->MoveCursor(600, 500);
        m_world->RunFor(0.1);
    }

    gametest::UnitView View(const std::string& unit) const { return m_world->Unit(kTab, unit); }

    std::unique_ptr<gametest::MenuTestWorld> m_world;
};

TEST_F(HelpMenuTest, AfterOpeningOnlyTheHelpButtonIsOnTheScreen)
{
    const gametest::UnitView help = View("HelpButton");
    EXPECT_EQ(help.x, 0);
    EXPECT_EQ(help.y, 40);
    EXPECT_EQ(help.tip, "Help");
    EXPECT_FALSE(help.checked);
    EXPECT_FLOAT_EQ(help.alpha, 0.5f);
    EXPECT_EQ(View("HelpIcon").x, 3);
    EXPECT_EQ(View("HelpIcon").y, 44);
    const gametest::UnitView controls = View("ControlsButton");
    EXPECT_EQ(controls.x, -500);
    EXPECT_EQ(controls.y, 80);
}

TEST_F(HelpMenuTest, TheControlsButtonsTipListsTheControlsInABoxOnTheScreen)
{
    ASSERT_TRUE(m_world->Click(kTab, "HelpButton"));
    ASSERT_TRUE(m_world->Hover(kTab, "ControlsButton", 0.7));
    ASSERT_EQ(m_world->MenuState("ToolTipMenu"), QUORB::BaseMenu::STATE_Open);
    const gametest::UnitView text = m_world->Unit("ToolTipMenu", "ToolTipText");
    EXPECT_EQ(text.text, View("ControlsButton").tip);
    // The mouse, the selection, the widget bar, the room, the menus, the shell's keys.
    for (const char* control :
         {"Click: place", "Drag: stretch", "Ctrl", "Drag one: move", "turn a magnet", "Right click", "Delete",
          "Backspace", "Space", "Z X C V", "Left/Right", "Escape", "F1", "`", "Alt+Enter"})
        EXPECT_NE(text.text.find(control), std::string::npos) << control;
    // Every line on the screen, 10 pixels clear of its edges, and inside the box.
    EXPECT_GE(text.x, 10);
    EXPECT_GE(text.y, 10);
    EXPECT_LE(text.x + text.width, 800 - 10);
    EXPECT_LE(text.y + text.height, 600 - 10);
    const gametest::UnitView box = m_world->Unit("ToolTipMenu", "Background");
    EXPECT_LE(box.x, text.x);
    EXPECT_LE(box.y, text.y);
    EXPECT_GE(box.x + box.width, text.x + text.width);
    EXPECT_GE(box.y + box.height, text.y + text.height);
    EXPECT_GT(text.height, 14 * 16) << "a line at least for each of the fourteen controls";
}

TEST_F(HelpMenuTest, TheHelpButtonShowsTheControlsButtonAndASecondClickHidesIt)
{
    ASSERT_TRUE(m_world->Click(kTab, "HelpButton"));
    EXPECT_TRUE(View("HelpButton").checked);
    EXPECT_EQ(View("ControlsButton").x, 0);
    EXPECT_EQ(View("ControlsButton").y, 80);
    EXPECT_EQ(View("ControlsIcon").x, 3);

    ASSERT_TRUE(m_world->Click(kTab, "HelpButton"));
    EXPECT_FALSE(View("HelpButton").checked);
    EXPECT_EQ(View("ControlsButton").x, -500);
    EXPECT_EQ(View("ControlsButton").y, 80);
}

TEST_F(HelpMenuTest, AClickOnTheControlsButtonLeavesItUncheckedAndMovesNothing)
{
    ASSERT_TRUE(m_world->Click(kTab, "HelpButton"));
    m_world->ClearMessages();
    ASSERT_TRUE(m_world->Click(kTab, "ControlsButton"));
    EXPECT_EQ(m_world->MessagesTo(kTab, MSG_ButtonPressed).size(), 1u);
    EXPECT_EQ(m_world->MessagesTo(kTab, MSG_ButtonUnPressed).size(), 0u);
    EXPECT_FALSE(View("ControlsButton").checked);
    EXPECT_EQ(View("ControlsButton").x, 0);
    EXPECT_TRUE(View("HelpButton").checked);
    // Its next click is a press again, not an uncheck.
    ASSERT_TRUE(m_world->Click(kTab, "ControlsButton"));
    EXPECT_EQ(m_world->MessagesTo(kTab, MSG_ButtonPressed).size(), 2u);
    EXPECT_EQ(m_world->MessagesTo(kTab, MSG_ButtonUnPressed).size(), 0u);
}

TEST_F(HelpMenuTest, RestingOnAButtonBrightensItAndItsIconAndLeavingDimsThem)
{
    ASSERT_TRUE(m_world->Hover(kTab, "HelpButton", 0.2));
    const float rising = View("HelpButton").alpha;
    EXPECT_GT(rising, 0.55f);
    EXPECT_LT(rising, 0.95f);
    EXPECT_FLOAT_EQ(View("HelpIcon").alpha, rising);
    m_world->RunFor(0.3);
    EXPECT_FLOAT_EQ(View("HelpButton").alpha, 1.0f);
    EXPECT_FLOAT_EQ(View("HelpIcon").alpha, 1.0f);
    EXPECT_FLOAT_EQ(View("ControlsButton").alpha, 0.5f);

    m_world->MoveCursor(600, 500);
    m_world->RunFor(0.15);
    const float falling = View("HelpButton").alpha;
    EXPECT_LT(falling, 0.95f);
    EXPECT_GT(falling, 0.55f);
    m_world->RunFor(0.3);
    EXPECT_FLOAT_EQ(View("HelpButton").alpha, 0.5f);
    EXPECT_FLOAT_EQ(View("HelpIcon").alpha, 0.5f);
}
} // namespace
