// The widget choice bar over a seeded puzzle: the buttons its mask allows, packed from the left
// with the hot keys of their places (every type in create-puzzle mode); a checked button's type
// handed to the manipulator, which shows it on the mouse badge; switching, unchecking, closing;
// the disabled buttons; masks that show nothing.
#include "PuzzleMenuWorld.h"

#include "engine/gfx/gui/CButton.h"
#include "game/manipulator/WidgetManipulator.h"
#include "game/menus/WidgetChoiceMenu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace puzzlemenutest;
using Strings = std::vector<std::string>;

namespace
{
const char* const kBar = "WidgetChoiceBarMenu";
constexpr double kSlide = 0.4; // seconds: past the bar's 0.3 s slide

puzzletest::PuzzleText WithWidgets(int mask)
{
    puzzletest::PuzzleText front;
    front.budget = 5;
    front.availableWidgets = mask;
    front.objectives.push_back(Location());
    front.quorbs.push_back(Star());
    return front;
}

std::vector<std::uint32_t> HotKeys(const PuzzleMenuWorld& play, const std::string& button)
{
    auto* found = dynamic_cast<dorvo::gfx::CButton*>(play.world->FindUnit(kBar, button));
    return found ? found->GetHotKeys() : std::vector<std::uint32_t>();
}

Strings Shown(const PuzzleMenuWorld& play)
{
    Strings shown;
    for (const QUORB::WidgetChoiceMenu::Entry& entry : QUORB::WidgetChoiceMenu::kEntries)
        if (play.world->Unit(kBar, entry.button).visible)
            shown.push_back(entry.button);
    return shown;
}

Strings Checked(const PuzzleMenuWorld& play)
{
    Strings checked;
    for (const QUORB::WidgetChoiceMenu::Entry& entry : QUORB::WidgetChoiceMenu::kEntries)
        if (play.world->Unit(kBar, entry.button).checked)
            checked.push_back(entry.button);
    return checked;
}

std::string CurrentType(const PuzzleMenuWorld& play)
{
    return play.Game().GetWidgetManipulator()->GetCurrentWidgetType();
}

void EnterAndSlide(PuzzleMenuWorld& play)
{
    play.Enter();
    play.world->RunFor(kSlide);
}
} // namespace

TEST(WidgetChoiceMenu, ThePuzzlesMaskChoosesTheButtonsPackedFromTheLeftWithTheKeysOfTheirPlaces)
{
    PuzzleMenuWorld play(WithWidgets(0x1 | 0x8));
    ASSERT_TRUE(play.Ready());
    EnterAndSlide(play);
    ASSERT_EQ(play.world->MenuState(kBar), kOpen);
    EXPECT_EQ(Shown(play), Strings({"PlatformButton", "MagnetButton"}));
    const gametest::UnitView platform = play.world->Unit(kBar, "PlatformButton");
    const gametest::UnitView magnet = play.world->Unit(kBar, "MagnetButton");
    EXPECT_EQ(platform.x, 150);
    EXPECT_EQ(platform.y, 560);
    EXPECT_EQ(magnet.x, 200);
    EXPECT_EQ(magnet.y, 560);
    EXPECT_EQ(HotKeys(play, "PlatformButton"), std::vector<std::uint32_t>({44})) << "Z";
    EXPECT_EQ(HotKeys(play, "MagnetButton"), std::vector<std::uint32_t>({45})) << "X";
    EXPECT_TRUE(play.world->Unit(kBar, "MagnetIcon").visible);
    EXPECT_FALSE(play.world->Unit(kBar, "BarIcon").visible);
    EXPECT_EQ(platform.tip, "Platform: Simple building block for complex structure\nCost: 1");

    // Every widget bit still offers only the five widgets: star objects, anchors and objectives
    // belong to puzzle building.
    play.puzzle->SetAvailableWidgets(0x7fffffff);
    Send(kBar, MSG_CloseMenu);
    play.world->RunFor(kSlide);
    EXPECT_EQ(play.world->MenuState(kBar), kClosed);
    Send(kBar, MSG_OpenMenuEx);
    play.world->RunFor(kSlide);
    EXPECT_EQ(Shown(play),
              Strings({"PlatformButton", "BarButton", "AccButton", "GravSwitchButton", "MagnetButton"}));
    EXPECT_EQ(play.world->Unit(kBar, "MagnetButton").x, 350);
    EXPECT_EQ(HotKeys(play, "MagnetButton"), std::vector<std::uint32_t>({48})) << "B";
}

TEST(WidgetChoiceMenu, InCreatePuzzleModeAllThirteenShowFromTheLeftEdge)
{
    PuzzleMenuWorld play(WithWidgets(0));
    ASSERT_TRUE(play.Ready());
    play.Console("togglecm");
    EnterAndSlide(play);
    Strings all;
    for (const QUORB::WidgetChoiceMenu::Entry& entry : QUORB::WidgetChoiceMenu::kEntries)
        all.push_back(entry.button);
    EXPECT_EQ(Shown(play), all);
    EXPECT_EQ(play.world->Unit(kBar, "PlatformButton").x, 0);
    EXPECT_EQ(play.world->Unit(kBar, "SquashQuorbiButton").x, 600);
    EXPECT_EQ(HotKeys(play, "SquashQuorbiButton"), std::vector<std::uint32_t>({35})) << "H";
    EXPECT_EQ(HotKeys(play, "HardNodeButton"), std::vector<std::uint32_t>({30})) << "A";

    // "TimeLimitButton" hands over its creation type, not its own word.
    ASSERT_TRUE(play.world->Click(kBar, "TimeLimitButton"));
    EXPECT_EQ(CurrentType(play), "TimerObjective");
    EXPECT_EQ(Checked(play), Strings({"TimeLimitButton"}));
}

TEST(WidgetChoiceMenu, ChoosingSwitchingAndUncheckingSetTheManipulatorsType)
{
    PuzzleMenuWorld play(WithWidgets(31));
    ASSERT_TRUE(play.Ready());
    EnterAndSlide(play);

    ASSERT_TRUE(play.world->Click(kBar, "PlatformButton"));
    EXPECT_EQ(CurrentType(play), "Platform");
    EXPECT_EQ(Checked(play), Strings({"PlatformButton"}));
    EXPECT_EQ(play.world->MenuState("MouseWidgetSelMenu"), kOpen);

    // Straight to another type: the old button's uncheck clears the type and resets the bar
    // inside the press, then the new type is set and its button ends checked.
    play.world->ClearMessages();
    ASSERT_TRUE(play.world->Click(kBar, "MagnetButton"));
    EXPECT_EQ(CurrentType(play), "Magnet");
    EXPECT_EQ(Checked(play), Strings({"MagnetButton"}));
    std::vector<std::string> heard;
    for (const gametest::MenuMessage& message : play.world->MessagesTo(kBar))
        if (message.name == MSG_ButtonPressed || message.name == MSG_ButtonUnPressed ||
            message.name == MSG_ResetMenu)
            heard.push_back(std::to_string(message.name) + " " + message.data.GetString());
    EXPECT_EQ(heard, Strings({"21 MagnetButton", "22 PlatformButton", "12 "}));
    EXPECT_EQ(play.world->MenuState("MouseWidgetSelMenu"), kOpen);
    EXPECT_TRUE(play.world->Unit("MouseWidgetSelMenu", "MagnetIcon").visible);
    EXPECT_FALSE(play.world->Unit("MouseWidgetSelMenu", "PlatformIcon").visible);

    // The checked button again: the type is cleared, the badge goes.
    ASSERT_TRUE(play.world->Click(kBar, "MagnetButton"));
    EXPECT_EQ(CurrentType(play), "");
    EXPECT_TRUE(Checked(play).empty());
    EXPECT_EQ(play.world->MenuState("MouseWidgetSelMenu"), kClosed);

    // The hot key of the first place.
    play.world->Key(44);
    EXPECT_EQ(CurrentType(play), "Platform");
    EXPECT_EQ(Checked(play), Strings({"PlatformButton"}));

    // Closing unchecks every button and keeps the type.
    Send(kBar, MSG_CloseMenu);
    play.world->RunFor(kSlide);
    EXPECT_EQ(play.world->MenuState(kBar), kClosed);
    EXPECT_TRUE(Checked(play).empty());
    EXPECT_EQ(CurrentType(play), "Platform");
    play.world->Key(44);
    EXPECT_EQ(CurrentType(play), "Platform") << "a closed bar takes no key";
    EXPECT_TRUE(Checked(play).empty());
}

TEST(WidgetChoiceMenu, TheDisabledButtonsTakeNoClickOrKeyButKeepTheirTips)
{
    PuzzleMenuWorld play(WithWidgets(31));
    ASSERT_TRUE(play.Ready());
    play.Console("togglecm");
    EnterAndSlide(play);
    for (const char* button : {"QUORBBoxButton", "SquashQuorbiButton"})
    {
        SCOPED_TRACE(button);
        EXPECT_TRUE(play.world->Unit(kBar, button).visible);
        ASSERT_TRUE(play.world->Click(kBar, button));
        EXPECT_EQ(CurrentType(play), "");
        EXPECT_TRUE(Checked(play).empty());
        play.world->Key(HotKeys(play, button).at(0));
        EXPECT_EQ(CurrentType(play), "");
        EXPECT_TRUE(Checked(play).empty());
    }
    EXPECT_EQ(play.world->Unit(kBar, "QUORBBoxButton").tip, "QUORB: The star of the show (Not available)");
    ASSERT_TRUE(play.world->Hover(kBar, "SquashQuorbiButton", 0.7));
    EXPECT_EQ(play.world->MenuState("ToolTipMenu"), kOpen);
    EXPECT_EQ(play.Text("ToolTipMenu", "ToolTipText"), "Squash the QUORB (not available yet)");
}

TEST(WidgetChoiceMenu, AMaskWithoutWidgetsOrNoPuzzleOpensAnEmptyBar)
{
    for (int mask : {0, 32})
    {
        SCOPED_TRACE(mask);
        PuzzleMenuWorld play(WithWidgets(mask));
        ASSERT_TRUE(play.Ready());
        EnterAndSlide(play);
        EXPECT_EQ(play.world->MenuState(kBar), kOpen);
        EXPECT_TRUE(Shown(play).empty());
        Send(kBar, MSG_CloseMenu);
        play.world->RunFor(kSlide);
        EXPECT_EQ(play.world->MenuState(kBar), kClosed);

        // No focused puzzle: nothing is offered outside create-puzzle mode.
        play.puzzle->SetAvailableWidgets(31);
        play.Console("clearroom");
        ASSERT_EQ(play.Game().GetFocusedPuzzle(), nullptr);
        Send(kBar, MSG_OpenMenuEx);
        play.world->RunFor(kSlide);
        EXPECT_EQ(play.world->MenuState(kBar), kOpen);
        EXPECT_TRUE(Shown(play).empty());
    }
}
