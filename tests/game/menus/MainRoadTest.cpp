// The main road of the game, headless, from the splash screens through a puzzle run to the score
// screen and back to the main menu, as a returning player goes it: the seeded settings name a
// seeded profile that unlocks the campaign's Tutorial room, and the player solves its front face.
//
// The room is the committed "Tutorial.xml" and the solution the one the game's own tests play
// (TutorialSolutions.h): one platform dragged from the left anchor to the right one catches the
// falling ball in the location. Its type is chosen on the widget choice bar, the platform laid on
// the face with the cursor, and its friction raised on the property bars before the run.
#include "MainRoadSetup.h"
#include "MenuTestWorld.h"
#include "ScriptedPlacement.h"
#include "TutorialSolutions.h"

#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/gfx/gui/CCursor.h"
#include "engine/gfx/sprites/CSprite.h"
#include "game/app/CQUORB.h"
#include "game/manipulator/WidgetManipulator.h"
#include "game/menus/BaseMenu.h"
#include "game/menus/MainMenu.h"
#include "game/room/CPuzzle.h"
#include "game/room/CRoom.h"
#include "game/widgets/CPlatformData.h"
#include "game/widgets/WidgetDataComp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
using Strings = std::vector<std::string>;
constexpr int kClosed = QUORB::BaseMenu::STATE_Closed;
constexpr int kOpen = QUORB::BaseMenu::STATE_Open;
constexpr int kBudget = 3; // the front face's
constexpr std::uint32_t kSpace = 57;
constexpr std::uint32_t kZ = 44;

class MainRoad : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_world =
            std::make_unique<gametest::MenuTestWorld>(mainroad::RoadSetup("Player.xml", {"Player.xml"}));
        ASSERT_TRUE(m_world->Booted());
    }

    int State(const char* menu) const { return m_world->MenuState(menu); }
    std::string Text(const char* menu, const char* unit) const { return m_world->Unit(menu, unit).text; }
    bool WaitFor(const char* menu, int state, double seconds = 3.0)
    {
        return m_world->RunUntil([&]() { return State(menu) == state; }, seconds);
    }
    QUORB::CPuzzle* Puzzle() const { return m_world->Game().GetFocusedPuzzle(); }

    Strings LinesRun() const
    {
        Strings lines;
        for (const gametest::ConsoleLine& line : m_world->ConsoleLines())
            if (line.run)
                lines.push_back(line.text);
        return lines;
    }

    // The left button pressed at one world point of the focused face, dragged to another and
    // released there, as a player lays a widget of the chosen type.
    void DragOnFace(const math::Vector3& from, const math::Vector3& to)
    {
        m_world->PressAt(from);
        for (int step = 1; step <= gametest::kDragSteps; ++step)
            m_world->PointAt(from + (to - from) * (static_cast<float>(step) / gametest::kDragSteps));
        m_world->ReleaseAt(to);
    }

    // "Start", then the run until the score panel has faded in.
    void RunToTheScorePanel()
    {
        m_world->ClearConsoleLines();
        m_world->ClearMessages();
        ASSERT_TRUE(m_world->Click("StartPuzzleMenu", "StartButton"));
        EXPECT_EQ(LinesRun(), Strings({"play"}));
        EXPECT_EQ(Text("StartPuzzleMenu", "StartButtonText"), "Stop");
        for (const char* menu : {"WidgetChoiceBarMenu", "WidgetPropertyBarMenu", "BudgetMenu", "BackMenu"})
            EXPECT_EQ(m_world->MessagesTo(menu, MSG_CloseMenu).size(), 1u) << menu;
        EXPECT_EQ(State("BudgetMenu"), kClosed);
        EXPECT_EQ(State("BackMenu"), kClosed);
        ASSERT_TRUE(WaitFor("ScoreMenu", kOpen, 15.0)) << "the ball never rested in the location";
    }

    std::string CurrentType() const { return m_world->Game().GetWidgetManipulator()->GetCurrentWidgetType(); }

    // The mouse badge open with that icon alone, 25 pixels right of and 10 below the cursor.
    void ExpectBadgeOf(const char* icon) const
    {
        EXPECT_EQ(State("MouseWidgetSelMenu"), kOpen);
        EXPECT_TRUE(m_world->Unit("MouseWidgetSelMenu", icon).visible) << icon;
        const dorvo::gfx::CCursor* cursor = m_world->Game().GetCursor();
        ASSERT_NE(cursor, nullptr);
        const gametest::UnitView badge = m_world->Unit("MouseWidgetSelMenu", "Background");
        EXPECT_EQ(badge.x, cursor->GetAbsoluteX() + 25);
        EXPECT_EQ(badge.y, cursor->GetAbsoluteY() + 10);
    }

    std::unique_ptr<gametest::MenuTestWorld> m_world;
};

TEST_F(MainRoad, FromTheSplashScreensThroughARunToTheScoreScreenAndBackToTheMainMenu)
{
    // The splash chain ends at the main menu, which greets the returning player.
    ASSERT_TRUE(WaitFor("MainMenu", kOpen, 16.0));
    const std::vector<gametest::MenuMessage> said =
        m_world->MessagesTo("MessageWindowMenu", MSG_SendTextMessage);
    ASSERT_FALSE(said.empty());
    EXPECT_EQ(said.front().data.GetString(), QUORB::MainMenu::kWelcomeText);
    EXPECT_EQ(said.front().data.GetString(), "Welcome to Q.U.O.R.B.");

    // "Play": the room list; resting on our room loads it, a click goes in.
    ASSERT_TRUE(m_world->Click("MainMenu", "Play"));
    ASSERT_TRUE(WaitFor("RoomSelectionMenu", kOpen));
    ASSERT_STREQ(mainroad::kOurRoom, tutorial::kRoomFile);
    const std::string button = std::string("ButtonC:") + mainroad::kOurRoom;
    m_world->Step(); // the rows' slide ends a frame after the menu has opened
    ASSERT_TRUE(m_world->Hover("RoomSelectionMenu", button, 0.1));
    ASSERT_EQ(m_world->Game().GetRoom()->GetRoomName(), mainroad::kOurRoom);
    ASSERT_TRUE(m_world->Click("RoomSelectionMenu", button));
    ASSERT_TRUE(WaitFor("PuzzleLookAtMenu", kOpen));
    EXPECT_EQ(Text("PuzzleLookAtMenu", "StartPuzzleText"), "Play Puzzle");

    // The left arrow turns the room, a face at a time, to its front face: the campaign's first
    // puzzle.
    const tutorial::Solution solution = tutorial::Face0();
    for (int turn = 0; turn < 4 && m_world->Game().GetFocusedFace() != static_cast<int>(solution.face);
         ++turn)
    {
        ASSERT_TRUE(m_world->Click("PuzzleLookAtMenu", "LeftArrow"));
        m_world->Step();
        ASSERT_TRUE(WaitFor("PuzzleLookAtMenu", kOpen));
    }
    ASSERT_EQ(m_world->Game().GetFocusedFace(), static_cast<int>(solution.face));
    EXPECT_EQ(Text("PuzzleLookAtMenu", "StartPuzzleText"), "Play Puzzle");
    EXPECT_EQ(Text("PuzzleInfoMenu", "BudgetText"), "Budget: 3");

    // "Play Puzzle": the puzzle's menus, the budget panel full.
    ASSERT_TRUE(m_world->Click("PuzzleLookAtMenu", "StartPuzzleButton"));
    ASSERT_TRUE(m_world->Game().IsEditorMode());
    ASSERT_NE(Puzzle(), nullptr);
    m_world->Step();
    EXPECT_EQ(Text("BudgetMenu", "TotalBudgetText"), "Total: 3");
    EXPECT_EQ(Text("BudgetMenu", "RemainingBudgetText"), "Left: 3");
    ASSERT_TRUE(WaitFor("StartPuzzleMenu", kOpen, 2.5));
    EXPECT_EQ(Text("StartPuzzleMenu", "StartButtonText"), "Start");
    EXPECT_EQ(State("BackMenu"), kOpen);
    // The editor aims the camera at the face anew: the cursor points once it stands still.
    ASSERT_TRUE(gametest::WaitForGlide(*m_world));

    // The face offers platforms alone: the choice bar holds their button in its first place. The
    // platform is chosen by that place's key, Z, which Space clears, then by a click on its
    // button; the badge beside the cursor shows the type.
    ASSERT_TRUE(WaitFor("WidgetChoiceBarMenu", kOpen));
    EXPECT_TRUE(m_world->Unit("WidgetChoiceBarMenu", "PlatformButton").visible);
    EXPECT_FALSE(m_world->Unit("WidgetChoiceBarMenu", "BarButton").visible);
    m_world->Key(kZ);
    EXPECT_EQ(CurrentType(), "Platform");
    EXPECT_TRUE(m_world->Unit("WidgetChoiceBarMenu", "PlatformButton").checked);
    ExpectBadgeOf("PlatformIcon");
    m_world->Key(kSpace);
    EXPECT_EQ(CurrentType(), "");
    EXPECT_FALSE(m_world->Unit("WidgetChoiceBarMenu", "PlatformButton").checked);
    ASSERT_TRUE(m_world->Click("WidgetChoiceBarMenu", "PlatformButton"));
    EXPECT_EQ(CurrentType(), "Platform");
    EXPECT_TRUE(m_world->Unit("WidgetChoiceBarMenu", "PlatformButton").checked);

    // The solution's platform dragged with the cursor from the left anchor to the right one;
    // "Left: " counts down.
    ASSERT_EQ(solution.placements.size(), 1u);
    const tutorial::Placement& bridge = solution.placements[0];
    ASSERT_EQ(bridge.type, "Platform");
    const std::vector<std::uint32_t> anchors = Puzzle()->GetWidgetIDs(); // the face's own
    DragOnFace(bridge.from, bridge.to);
    ExpectBadgeOf("PlatformIcon");
    EXPECT_EQ(Text("BudgetMenu", "RemainingBudgetText"), "Left: " + std::to_string(solution.budgetLeft));
    const std::vector<std::uint32_t> widgets = Puzzle()->GetWidgetIDs();
    ASSERT_EQ(widgets.size(), anchors.size() + 1);
    std::uint32_t platform = 0;
    for (const std::uint32_t id : widgets)
        if (std::find(anchors.begin(), anchors.end(), id) == anchors.end())
            platform = id;

    // Space clears the choice; once the property bar has slid out, the platform picked: its
    // friction, weight and charge on the property bar above the choice bar.
    m_world->Key(kSpace);
    EXPECT_EQ(CurrentType(), "");
    EXPECT_EQ(State("MouseWidgetSelMenu"), kClosed);
    m_world->RunFor(0.3);
    Gob* picked = GobManager::Instance().GetGob(platform);
    ASSERT_NE(picked, nullptr);
    m_world->PressAt(GetPOVComp(picked)->GetPosition());
    m_world->LeftUp();
    ASSERT_TRUE(WaitFor("WidgetPropertyBarMenu", kOpen));
    m_world->RunFor(0.1); // the slide's last step
    int x = 150;
    for (const char* property : {"FrictionButton", "WeightButton", "ChargeButton"})
    {
        EXPECT_TRUE(m_world->Unit("WidgetPropertyBarMenu", property).visible) << property;
        EXPECT_EQ(m_world->Unit("WidgetPropertyBarMenu", property).x, x) << property;
        x += 50;
    }

    // Its friction row: the medium one (0.5) checked; the high one written at once.
    ASSERT_TRUE(m_world->Click("WidgetPropertyBarMenu", "FrictionButton"));
    ASSERT_TRUE(WaitFor("PropValueMenu", kOpen));
    m_world->RunFor(0.1);
    EXPECT_TRUE(m_world->Unit("PropValueMenu", "FrictionMediumButton").checked);
    ASSERT_TRUE(m_world->Click("PropValueMenu", "FrictionHighButton"));
    const QUORB::CPlatformData* friction = QUORB::WidgetDataComp::Of(picked)->AsPlatformData();
    ASSERT_NE(friction, nullptr);
    EXPECT_FLOAT_EQ(friction->GetStaticFriction(), 0.9f);
    EXPECT_FLOAT_EQ(friction->GetKineticFriction(), 0.85f);

    // "Start": the run; the location is met and the score panel shows the win.
    RunToTheScorePanel();
    auto depth = [this](const char* unit)
    { return dynamic_cast<dorvo::gfx::CSprite*>(m_world->FindUnit("ScoreMenu", unit))->GetDepth(); };
    EXPECT_GT(depth("SucceedText"), depth("FailText")) << "\"Puzzle Completed!\" in front";
    EXPECT_EQ(Text("ScoreMenu", "ScoreText"), "Score: 70")
        << "50 for the location, 10 for each of the 2 units left";
    EXPECT_EQ(Text("ScoreMenu", "BudgetText"), "Remaining Budget: 2");
    EXPECT_TRUE(WaitFor("StartPuzzleMenu", kClosed, 0.5));

    // "Back To Puzzle": the puzzle as it stood at "Start", ready again.
    m_world->ClearConsoleLines();
    ASSERT_TRUE(m_world->Click("ScoreMenu", "PuzzleButton"));
    EXPECT_EQ(LinesRun(), Strings({"resetfocusedpuzzle"}));
    ASSERT_TRUE(WaitFor("StartPuzzleMenu", kOpen, 2.5));
    EXPECT_EQ(Text("StartPuzzleMenu", "StartButtonText"), "Start");
    EXPECT_EQ(State("ScoreMenu"), kClosed);
    EXPECT_EQ(State("BackMenu"), kOpen);

    // "Start" and "Stop".
    ASSERT_TRUE(m_world->Click("StartPuzzleMenu", "StartButton"));
    EXPECT_EQ(Text("StartPuzzleMenu", "StartButtonText"), "Stop");
    m_world->RunFor(0.5);
    m_world->ClearConsoleLines();
    ASSERT_TRUE(m_world->Click("StartPuzzleMenu", "StartButton"));
    EXPECT_EQ(LinesRun(), Strings({"resetfocusedpuzzle"}));
    EXPECT_EQ(Text("StartPuzzleMenu", "StartButtonText"), "Start");

    // Another run to the score panel.
    RunToTheScorePanel();
    EXPECT_EQ(Text("ScoreMenu", "ScoreText"), "Score: 70");

    // "Back To Room": out of the puzzle; the face's menus come back once the camera settles.
    ASSERT_TRUE(m_world->Click("ScoreMenu", "RoomButton"));
    EXPECT_FALSE(m_world->Game().IsEditorMode());
    EXPECT_EQ(Puzzle()->GetBudgetLeft(), kBudget);
    ASSERT_TRUE(WaitFor("PuzzleLookAtMenu", kOpen));
    EXPECT_EQ(Text("PuzzleLookAtMenu", "StartPuzzleText"), "Play Puzzle");
    for (const char* menu : {"StartPuzzleMenu", "BudgetMenu", "TimerObjMenu", "ScoreMenu"})
        EXPECT_TRUE(WaitFor(menu, kClosed, 0.6)) << menu;

    // The back button twice: to the room list, then to the main menu.
    ASSERT_TRUE(m_world->Click("BackMenu", "BackButton"));
    ASSERT_TRUE(WaitFor("RoomSelectionMenu", kOpen));
    ASSERT_TRUE(m_world->Click("BackMenu", "BackButton"));
    EXPECT_TRUE(WaitFor("MainMenu", kOpen));
    EXPECT_TRUE(WaitFor("RoomSelectionMenu", kClosed, 1.0));
}
} // namespace
