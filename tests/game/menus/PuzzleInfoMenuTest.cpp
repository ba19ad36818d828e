// The puzzle info panel in the booted game: the icon rows and the budget it lays out for the face
// the camera settles on, packed from the left whatever gaps the puzzle's masks have, and the
// layout it keeps when the face has no puzzle.
#include "MenuTestWorld.h"
#include "RoomMenuFixtures.h"

#include "engine/gfx/sprites/IScreenUnit.h"
#include "game/app/CQUORB.h"
#include "game/menus/BaseMenu.h"
#include "game/menus/PuzzleInfoMenu.h"
#include "game/room/CRoom.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

using QUORB::BaseMenu;
using QUORB::PuzzleInfoMenu;

namespace
{
constexpr const char* kMenu = "PuzzleInfoMenu";
constexpr int kPanelX = 255;
constexpr int kPanelY = 375;

// The room "Info.xml": Target and TimeLimit with every widget and a budget of 7 on the front
// face; a CauseDestruction objective and no widgets on the right one; GetToLocation with gravity
// switches and magnets only on the back one; no puzzle on the left one.
gametest::MenuTestSetup InfoSetup()
{
    gametest::MenuTestSetup setup;
    puzzletest::PuzzleText front;
    front.budget = 7;
    front.objectives = {roommenutest::TargetObjective(), roommenutest::TimeLimitObjective()};
    puzzletest::PuzzleText right;
    right.availableWidgets = 0;
    right.objectives = {roommenutest::DestructionObjective()};
    puzzletest::PuzzleText back;
    back.budget = 12;
    back.availableWidgets = 2 | 8;
    back.objectives = {puzzletest::DescriptionXml("ObjectiveDescription", "LocationObjective",
                                                  math::Vector3(0.0f, 2.0f, -19.0f), 4.0f,
                                                  puzzletest::LocationXml())};
    roommenutest::AddRoom(setup.files, "Info.xml", {front, right, back});
    return setup;
}

class PuzzleInfoMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_world = std::make_unique<gametest::MenuTestWorld>(InfoSetup());
        ASSERT_TRUE(m_world->Booted());
        m_world->Step(2);
        m_world->Console("loadroom Info.xml false");
    }

    // The camera turned to the face and settled; the panel opened and reset for it.
    void LookAt(int face)
    {
        m_world->Game().GetRoom()->FocusFace(static_cast<unsigned>(face));
        m_world->Step();
        ASSERT_TRUE(m_world->RunUntil(
            [this]() { return m_world->MenuState("PuzzleLookAtMenu") == BaseMenu::STATE_Open; }, 3.0));
        ASSERT_EQ(m_world->MenuState(kMenu), BaseMenu::STATE_Open);
    }

    // The shown badges by name with their place in the panel; the hidden ones are left out.
    std::map<std::string, std::pair<int, int>> Shown() const
    {
        std::map<std::string, std::pair<int, int>> shown;
        for (const PuzzleInfoMenu::Entry& entry : PuzzleInfoMenu::kEntries)
        {
            const gametest::UnitView badge = m_world->Unit(kMenu, entry.sprite);
            const gametest::UnitView icon = m_world->Unit(kMenu, entry.icon);
            EXPECT_EQ(icon.visible, badge.visible) << entry.icon;
            if (badge.visible)
            {
                shown[entry.sprite] = {badge.x - kPanelX, badge.y - kPanelY};
                EXPECT_EQ(icon.x, badge.x + 2) << entry.icon;
                EXPECT_EQ(icon.y, badge.y + 3) << entry.icon;
            }
        }
        return shown;
    }

    std::unique_ptr<gametest::MenuTestWorld> m_world;
};

using Layout = std::map<std::string, std::pair<int, int>>;

TEST_F(PuzzleInfoMenuTest, TheRowsShowThePuzzlesObjectivesAndWidgetsPackedFromTheLeft)
{
    struct Case
    {
        int face;
        Layout shown;
        const char* budget;
    };
    const Case cases[] = {
        {0,
         {{"TargetButton", {20, 30}},
          {"TimeLimitButton", {70, 30}},
          {"PlatformButton", {20, 95}},
          {"BarButton", {70, 95}},
          {"AcceleratorButton", {120, 95}},
          {"GravSwitchButton", {170, 95}},
          {"MagnetButton", {220, 95}}},
         "Budget: 7"},
        // CauseDestruction has no icon; a widget mask of 0 hides the whole row.
        {1, {}, "Budget: 0"},
        {2,
         {{"GetToLocationButton", {20, 30}}, {"GravSwitchButton", {20, 95}}, {"MagnetButton", {70, 95}}},
         "Budget: 12"},
        // No puzzle on the face: the panel keeps what it showed.
        {3,
         {{"GetToLocationButton", {20, 30}}, {"GravSwitchButton", {20, 95}}, {"MagnetButton", {70, 95}}},
         "Budget: 12"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE("face " + std::to_string(c.face));
        LookAt(c.face);
        EXPECT_EQ(Shown(), c.shown);
        EXPECT_EQ(m_world->Unit(kMenu, "BudgetText").text, c.budget);
        for (const char* label : {"ObjectiveText", "WidgetText", "BudgetText"})
            EXPECT_TRUE(m_world->Unit(kMenu, label).visible) << label;
    }
    EXPECT_EQ(m_world->Unit(kMenu, "ObjectiveText").text, "Objective(s)");
    EXPECT_EQ(m_world->Unit(kMenu, "WidgetText").text, "Available Widget(s)");
}

TEST_F(PuzzleInfoMenuTest, ThePanelAndItsBadgesLookAsTheyShould)
{
    m_world->Console("setgameskin ColdSkin");
    LookAt(0);
    const gametest::UnitView panel = m_world->Unit(kMenu, "Background");
    EXPECT_EQ(panel.x, kPanelX);
    EXPECT_EQ(panel.y, kPanelY);
    EXPECT_EQ(panel.width, 281);  // 512 x 0.55
    EXPECT_EQ(panel.height, 179); // 512 x 0.35
    EXPECT_FLOAT_EQ(panel.alpha, 0.5f);
    const gametest::UnitView badge = m_world->Unit(kMenu, "TargetButton");
    EXPECT_EQ(badge.tip, "Get the QUORB through each target ring");
    EXPECT_EQ(badge.width, 51);
    EXPECT_EQ(m_world->Unit(kMenu, "TargetIcon").width, 32);
    // The badges keep their own colours under a skin; the panel takes the skin's.
    EXPECT_FLOAT_EQ(badge.red, 1.0f);
    EXPECT_FLOAT_EQ(badge.green, 1.0f);
    EXPECT_LT(panel.red, 1.0f);
    EXPECT_EQ(m_world->Unit(kMenu, "GravSwitchButton").tip, "Gravity Switch");
    EXPECT_EQ(m_world->FindUnit(kMenu, "Background")->GetDepth(), -1);
    EXPECT_EQ(m_world->FindUnit(kMenu, "MagnetIcon")->GetDepth(), -1);
}
} // namespace
