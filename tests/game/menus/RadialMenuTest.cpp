// The radial menus in the booted game: "Radial" fanning its eight buttons out on their circle one
// after the other and folding them back the way they came, "Submenu" spreading from the button
// held over and closing when the pointer rests on another, what their buttons do, and a radial
// menu of one button.
#include "MenuTestWorld.h"

#include "common/math/MathUtil.h"
#include "common/math/Vector3.h"
#include "engine/gfx/sprites/CSprite.h"
#include "game/app/CQUORB.h"
#include "game/manipulator/WidgetManipulator.h"
#include "game/menus/BaseMenu.h"
#include "game/menus/DemoRadial.h"
#include "game/menus/RadialMenu.h"
#include "game/menus/RegisterMenuTypes.h"
#include "game/menus/SpreadRadialMenu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

using QUORB::BaseMenu;
using Strings = std::vector<std::string>;

namespace
{
constexpr double kFrame = 1.0 / 30.0;
constexpr float kPi = math::kPi;
const char* const kRadial = "Radial";
const char* const kSubmenu = "Submenu";

struct Point
{
    float x;
    float y;
};

// The point at the angle on a circle, on the screen (y down).
Point OnCircle(Point centre, float radius, float angle)
{
    return {centre.x + radius * std::cos(angle), centre.y - radius * std::sin(angle)};
}

float Distance(Point a, Point b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

// A radial menu of one plain button, filed in the place of "Submenu".
class OneButtonRadial : public QUORB::RadialMenu
{
public:
    explicit OneButtonRadial(StateMachineComponent* owner) : RadialMenu(owner)
    {
        m_radius = 50.0f;
        m_startAngle = 0.0f;
        m_endAngle = 0.5f * kPi;
        m_openTime = 0.5f;
        auto button = std::make_unique<dorvo::gfx::CSprite>();
        button->SetName("Button 0");
        AddUnit(std::move(button));
    }
};

class RadialMenuTest : public ::testing::Test
{
protected:
    void Boot(const gametest::MenuTestSetup& setup = {})
    {
        m_world = std::make_unique<gametest::MenuTestWorld>(setup);
        ASSERT_TRUE(m_world->Booted());
        m_world->Step(2);
    }

    // As the editor's radial step opens it: every closed radial menu placed at the point, then
    // "Radial" opened there.
    void OpenAt(Point at)
    {
        m_centre = at;
        m_world->Broadcast(MSG_MouseHeld, math::Vector3(at.x, at.y, 0.0f));
        ASSERT_TRUE(m_world->Send(kRadial, MSG_OpenMenu));
        m_opened = m_world->Now();
    }

    Point Where(const char* menu, const std::string& unit) const
    {
        const gametest::UnitView view = m_world->Unit(menu, unit);
        return {static_cast<float>(view.x), static_cast<float>(view.y)};
    }

    // Where button i of "Radial" ends: -pi/2 + (i + 0.5) pi/4 on the circle of 80.
    Point Place(std::size_t i) const
    {
        return OnCircle(m_centre, 80.0f, -0.5f * kPi + (static_cast<float>(i) + 0.5f) * 0.25f * kPi);
    }

    std::unique_ptr<gametest::MenuTestWorld> m_world;
    Point m_centre{0.0f, 0.0f};
    double m_opened = 0.0;
};

TEST_F(RadialMenuTest, RadialFansItsButtonsOutOneAfterTheOther)
{
    Boot();
    OpenAt({400.0f, 300.0f});
    EXPECT_EQ(m_world->Unit(kRadial, "Base").x, 400);
    EXPECT_EQ(m_world->Unit(kRadial, "Base").y, 300);
    // The broadcast placed the closed fan too.
    EXPECT_EQ(m_world->MenuState(kSubmenu), BaseMenu::STATE_Closed);
    for (int frame = 1; frame <= 12; ++frame)
    {
        m_world->Step();
        const double since = m_world->Now() - m_opened;
        for (std::size_t i = 0; i < QUORB::DemoRadial::kButtonCount; ++i)
        {
            SCOPED_TRACE("button " + std::to_string(i) + " after " + std::to_string(since) + " s");
            const double arrives = 0.05 * static_cast<double>(i);
            const float off = Distance(Where(kRadial, QUORB::RadialMenu::ButtonName(i)), Place(i));
            if (since >= arrives)
            {
                EXPECT_LT(off, 1.5f);
            }
            else if (since < arrives - 0.01)
            {
                EXPECT_GT(off, 5.0f);
            }
        }
    }
    EXPECT_EQ(m_world->MenuState(kRadial), BaseMenu::STATE_Open);
    EXPECT_TRUE(m_world->Unit(kRadial, "Button 7").visible);
    EXPECT_EQ(m_world->Unit(kRadial, "Button 7").width, 64); // the radial face at half size
    EXPECT_EQ(m_world->Unit(kRadial, "ButtonText 2").text, "Run");
    EXPECT_EQ(m_world->Unit(kRadial, "ButtonText 3").text, "Reset");
    EXPECT_EQ(m_world->Unit(kRadial, "ButtonText 4").text, "Back");
    EXPECT_EQ(m_world->Unit(kRadial, "ButtonText 0").text, "");
    EXPECT_TRUE(m_world->Unit(kRadial, "Platform").visible);
    EXPECT_TRUE(m_world->Unit(kRadial, "GravitySwitch").visible);
}

TEST_F(RadialMenuTest, RadialFoldsEveryButtonBackTheWayItCameWhenTheMouseButtonIsUp)
{
    Boot();
    OpenAt({400.0f, 300.0f});
    m_world->RunFor(0.5);
    ASSERT_EQ(m_world->MenuState(kRadial), BaseMenu::STATE_Open);
    m_world->Broadcast(MSG_MouseUp, math::Vector3(400.0f, 300.0f, 0.0f));
    const double closing = m_world->Now();
    EXPECT_EQ(m_world->MenuState(kRadial), BaseMenu::STATE_Closing);
    // Each button turns clockwise on the screen back to straight down, all in the same 0.3 s.
    const float home = -0.5f * kPi;
    for (int frame = 1; frame <= 8; ++frame)
    {
        m_world->Step();
        const float t = static_cast<float>(std::min(1.0, (m_world->Now() - closing) / 0.3));
        for (std::size_t i = 0; i < QUORB::DemoRadial::kButtonCount; ++i)
        {
            SCOPED_TRACE("button " + std::to_string(i) + " at t " + std::to_string(t));
            const float from = home + (static_cast<float>(i) + 0.5f) * 0.25f * kPi;
            const Point right = OnCircle(m_centre, 80.0f, from - t * (from - home));
            const Point wrong = OnCircle(m_centre, 80.0f, from + t * (from - home));
            const Point at = Where(kRadial, QUORB::RadialMenu::ButtonName(i));
            EXPECT_LT(Distance(at, right), 2.5f);
            if (t > 0.2f && t < 0.8f)
            {
                EXPECT_GT(Distance(at, wrong), 8.0f);
            }
        }
    }
    m_world->RunFor(0.1);
    EXPECT_EQ(m_world->MenuState(kRadial), BaseMenu::STATE_Closed);
    EXPECT_FALSE(m_world->Unit(kRadial, "Button 3").visible);
}

TEST_F(RadialMenuTest, SubmenuSpreadsFromTheButtonHeldOverAndClosesForAnother)
{
    Boot();
    OpenAt({400.0f, 300.0f});
    m_world->RunFor(0.5);
    ASSERT_TRUE(m_world->Hover(kRadial, "Button 1", 0.4));
    ASSERT_EQ(m_world->MessagesTo(kSubmenu, MSG_SetRefSprite).size(), 1u);
    EXPECT_EQ(m_world->MessagesTo(kSubmenu, MSG_OpenMenu).size(), 1u);
    EXPECT_EQ(m_world->MenuState(kSubmenu), BaseMenu::STATE_Opening);
    // "Button 0" on the line from the centre through "Radial"'s "Button 1" at 130 from the start,
    // the other two turned pi/6 to either side once spread.
    const Point from = Where(kRadial, "Button 1");
    const float line = std::atan2(-(from.y - m_centre.y), from.x - m_centre.x);
    EXPECT_LT(Distance(Where(kSubmenu, "Button 0"), OnCircle(m_centre, 130.0f, line)), 1.5f);
    m_world->RunFor(1.0);
    ASSERT_EQ(m_world->MenuState(kSubmenu), BaseMenu::STATE_Open);
    EXPECT_EQ(m_world->Unit(kSubmenu, "Base").x, 400);
    EXPECT_LT(Distance(Where(kSubmenu, "Button 0"), OnCircle(m_centre, 130.0f, line)), 1.5f);
    EXPECT_LT(Distance(Where(kSubmenu, "Button 1"), OnCircle(m_centre, 130.0f, line + kPi / 6.0f)), 1.5f);
    EXPECT_LT(Distance(Where(kSubmenu, "Button 2"), OnCircle(m_centre, 130.0f, line - kPi / 6.0f)), 1.5f);
    EXPECT_EQ(m_world->Unit(kSubmenu, "ButtonText 0").text, "Prop 1");
    EXPECT_EQ(m_world->Unit(kSubmenu, "ButtonText 2").text, "Prop 3");

    // Resting on the fan's own buttons closes nothing; resting on "Button 1" again after
    // leaving it sends the fan its opening again, which it ignores.
    ASSERT_TRUE(m_world->Hover(kSubmenu, "Button 0", 0.4));
    m_world->MoveCursor(700, 550);
    m_world->Step();
    ASSERT_TRUE(m_world->Hover(kRadial, "Button 1", 0.4));
    EXPECT_EQ(m_world->MessagesTo(kSubmenu, MSG_OpenMenu).size(), 2u);
    EXPECT_TRUE(m_world->MessagesTo(kSubmenu, MSG_CloseMenu).empty());
    EXPECT_EQ(m_world->MenuState(kSubmenu), BaseMenu::STATE_Open);

    // Another button of "Radial" closes the fan.
    ASSERT_TRUE(m_world->Hover(kRadial, "Button 3", 0.4));
    EXPECT_EQ(m_world->MessagesTo(kSubmenu, MSG_CloseMenu).size(), 1u);
    EXPECT_EQ(m_world->MenuState(kSubmenu), BaseMenu::STATE_Closing);
    m_world->RunFor(0.5);
    EXPECT_EQ(m_world->MenuState(kSubmenu), BaseMenu::STATE_Closed);
    EXPECT_EQ(m_world->MenuState(kRadial), BaseMenu::STATE_Open);
}

TEST_F(RadialMenuTest, TheButtonsRunWhatTheyName)
{
    Boot();
    QUORB::CQUORB& game = m_world->Game();
    // Opened from the console, "Radial" is centred where nothing placed it.
    m_world->Console("menu Radial open");
    m_world->RunFor(0.5);
    EXPECT_EQ(m_world->Unit(kRadial, "Base").x, 0);
    EXPECT_EQ(m_world->Unit(kRadial, "Base").y, 0);
    m_world->Send(kRadial, MSG_CloseMenuForced);
    OpenAt({400.0f, 300.0f});
    m_world->RunFor(0.5);

    const Strings kLeaving = {"WidgetChoiceBarMenu", "BudgetMenu", "WidgetPropertyBarMenu",
                              "StartPuzzleMenu"};
    const auto linesRun = [this]()
    {
        Strings lines;
        for (const gametest::ConsoleLine& line : m_world->ConsoleLines())
            if (line.run)
                lines.push_back(line.text);
        return lines;
    };
    const auto closed = [this, &kLeaving]()
    {
        Strings menus;
        for (const gametest::MenuMessage& message : m_world->Messages())
            for (const std::string& menu : kLeaving)
                if (message.receiver == menu && message.name == MSG_CloseMenu)
                    menus.push_back(menu);
        return menus;
    };
    const struct
    {
        const char* button;
        const char* widgetType;
        Strings lines;
        bool roomList;
    } cases[] = {
        {"Button 0", "Platform", {}, false},
        {"Button 1", "GravitySwitch", {}, false},
        {"Button 2", "", {"play"}, false},
        {"Button 3", "", {"reloadfocusedpuzzle"}, false},
        {"Button 5", "", {}, false},
        {"Button 7", "", {}, false},
        // Outside the editor only the room list, whose opening closes "Radial".
        {"Button 4", "", {}, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.button);
        game.GetWidgetManipulator()->ClearCurrentWidgetType();
        m_world->ClearMessages();
        m_world->ClearConsoleLines();
        ASSERT_TRUE(m_world->SendText(kRadial, MSG_ButtonPressed, c.button));
        EXPECT_EQ(game.GetWidgetManipulator()->GetCurrentWidgetType(), c.widgetType);
        EXPECT_EQ(linesRun(), c.lines);
        EXPECT_EQ(m_world->MessagesTo("RoomSelectionMenu", MSG_OpenMenu).size(), c.roomList ? 1u : 0u);
        // The puzzle's own menus stay (the game's commands close the property bar themselves).
        const Strings shut = closed();
        for (const char* menu : {"WidgetChoiceBarMenu", "BudgetMenu", "StartPuzzleMenu"})
            EXPECT_EQ(std::count(shut.begin(), shut.end(), menu), 0) << menu;
        EXPECT_FALSE(game.IsEditorMode());
        m_world->Send("RoomSelectionMenu", MSG_CloseMenuForced);
        m_world->Console("resetfocusedpuzzle");
    }

    // Pressed with the mouse; in the editor, "Back" switches it off and closes the puzzle's
    // menus, in this order, before the room list opens.
    m_world->RunFor(0.4);
    m_world->Console("toggleeditor");
    ASSERT_TRUE(game.IsEditorMode());
    OpenAt({400.0f, 300.0f});
    m_world->RunFor(0.5);
    ASSERT_EQ(m_world->MenuState(kRadial), BaseMenu::STATE_Open);
    m_world->ClearMessages();
    m_world->ClearSounds();
    ASSERT_TRUE(m_world->Click(kRadial, "Button 4"));
    EXPECT_FALSE(game.IsEditorMode());
    // The four last, after what the editor going off and the puzzle's reload close themselves.
    const Strings shut = closed();
    ASSERT_GE(shut.size(), kLeaving.size());
    EXPECT_EQ(Strings(shut.end() - static_cast<std::ptrdiff_t>(kLeaving.size()), shut.end()), kLeaving);
    EXPECT_EQ(std::count(shut.begin(), shut.end(), "StartPuzzleMenu"), 1);
    EXPECT_EQ(m_world->MessagesTo("RoomSelectionMenu", MSG_OpenMenu).size(), 1u);
    EXPECT_EQ(m_world->SoundsStarted(), Strings({"QUORBSound/GUI/ButtonPress"}));
    m_world->Send("RoomSelectionMenu", MSG_CloseMenuForced);

    // The fan's second button only says that it does nothing.
    m_world->Send(kSubmenu, MSG_OpenMenu);
    m_world->RunFor(1.0);
    for (const char* button : {"Button 0", "Button 1", "Button 2"})
    {
        SCOPED_TRACE(button);
        m_world->ClearConsoleLines();
        ASSERT_TRUE(m_world->SendText(kSubmenu, MSG_ButtonPressed, button));
        const bool second = std::string(button) == "Button 1";
        ASSERT_EQ(m_world->ConsoleLines().size(), second ? 1u : 0u);
        if (second)
        {
            EXPECT_EQ(m_world->ConsoleLines()[0].text, QUORB::SpreadRadialMenu::kNotEnabledLine);
            EXPECT_FALSE(m_world->ConsoleLines()[0].run);
        }
    }
}

TEST_F(RadialMenuTest, ARadialMenuOfOneButtonPutsItInTheMiddleOfItsArcAtOnce)
{
    gametest::MenuTestSetup setup;
    setup.registerMenus = []() { QUORB::RegisterMenuType<OneButtonRadial>(kSubmenu); };
    Boot(setup);
    m_world->Broadcast(MSG_MouseHeld, math::Vector3(200.0f, 200.0f, 0.0f));
    ASSERT_TRUE(m_world->Send(kSubmenu, MSG_OpenMenu));
    m_world->Step();
    // The arc from 0 to pi/2: its middle, pi/4, on the circle of 50.
    EXPECT_LT(Distance(Where(kSubmenu, "Button 0"), OnCircle({200.0f, 200.0f}, 50.0f, 0.25f * kPi)), 1.5f);
    // Closed again, it follows the next broadcast.
    m_world->RunFor(0.6);
    m_world->Send(kSubmenu, MSG_CloseMenuForced);
    m_world->Broadcast(MSG_MouseHeld, math::Vector3(500.0f, 100.0f, 0.0f));
    m_world->Send(kSubmenu, MSG_OpenMenu);
    m_world->Step();
    EXPECT_EQ(m_world->Unit(kSubmenu, "Base").x, 500);
    EXPECT_LT(Distance(Where(kSubmenu, "Button 0"), OnCircle({500.0f, 100.0f}, 50.0f, 0.25f * kPi)), 1.5f);
}
} // namespace
