// The console window on its own 2D object, on the headless device and the test clock: the units
// it builds, where the windows rest and slide, which keys open and close them, which reach the
// console, the input line with its caret and the newest output at the bottom of the history.
#include "engine/gfx/gui/SMConsoleGraphics.h"

#include "GfxTestWorld.h"
#include "common/ConsoleInterface.h"
#include "common/InputEvent.h"
#include "common/Singleton.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/StateMachineComponent.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "platform/headless.h"
#include "statemachine/Database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using dorvo::gfx::CSprite;
using dorvo::gfx::CTextSprite;
using dorvo::gfx::Gfx2DComp;
using dorvo::gfx::SMConsoleGraphics;
using dorvo::input::InputEvent;
using State = SMConsoleGraphics::EState;

namespace
{
constexpr std::uint32_t kGrave = 41;
constexpr std::uint32_t kTab = 15;
constexpr std::uint32_t kA = 30;
constexpr std::uint32_t kB = 48;
constexpr std::uint32_t kLeft = 203;
constexpr std::uint32_t kBackspace = 14;
constexpr std::uint32_t kLeftButton = 238;

// A console of its own that remembers every event it is handed.
class RecordingConsole : public common::ConsoleInterface
{
public:
    bool HandleInput(const InputEvent& event) override
    {
        events.push_back(event);
        return ConsoleInterface::HandleInput(event);
    }
    std::vector<InputEvent> events;
};

class SMConsoleGraphicsTest : public gfxtest::HeadlessGfx
{
protected:
    void SetUp() override
    {
        HeadlessGfx::SetUp();
        for (const char* file : {"ConsoleHistory.png", "ConsoleInput.png"})
            std::filesystem::copy_file(testsupport::RepoPath(std::string("data/textures/") + file),
                                       std::string(kTextureFolder) + file);
        gfxtest::Load2DTemplate();
        gob = GobManager::Instance().CreateGob("Screen2D");
        ASSERT_NE(gob, nullptr);
        machines =
            dynamic_cast<StateMachineComponent*>(gob->GetComponent(StateMachineComponent::StaticTypeID()));
        comp = dynamic_cast<Gfx2DComp*>(gob->GetComponent(Gfx2DComp::StaticTypeID()));
        ASSERT_TRUE(machines && comp);
        console = std::make_unique<RecordingConsole>();
        machine = new SMConsoleGraphics(machines, "ConsoleHistory.png", "ConsoleInput.png", console.get());
        machines->AddStateMachine(machine);
    }

    void TearDown() override
    {
        GobManager::Instance().DestroyAllGobs();
        console.reset();
        HeadlessGfx::TearDown();
    }

    // One frame of the object after the clock moved on: its units, then the machine.
    void Frame(double seconds = 1.0 / 30.0)
    {
        plat::testclock::Advance(seconds);
        gob->Update(static_cast<float>(seconds));
    }
    // Frames until the slide of half a second is surely over.
    void Settle()
    {
        for (int i = 0; i < 20; ++i)
            Frame();
    }

    // Whether some message taker took the key.
    static bool Key(std::uint32_t code, bool down)
    {
        return common::Singleton<Database>::Instance()->BroadcastInputMsg(
            down ? MSG_Pressed : MSG_UnPressed, InputEvent{code, down ? 1 : 0, 0, 0});
    }
    static bool Press(std::uint32_t code)
    {
        const bool taken = Key(code, true);
        Key(code, false);
        return taken;
    }
    // The text a key typed, as the game passes it on: a press.
    static bool Typed(char c)
    {
        return common::Singleton<Database>::Instance()->BroadcastInputMsg(
            MSG_Pressed, InputEvent{dorvo::input::TEXT_INPUT, c, 0, 0});
    }

    int State() const { return machine->GetState(); }
    CSprite& Window(const char* name)
    {
        CSprite* sprite = comp->GetSprite(name);
        EXPECT_NE(sprite, nullptr) << name;
        static CSprite none;
        return sprite ? *sprite : none;
    }
    std::string Line(int i) const
    {
        const CTextSprite* line = comp->GetTextSprite("History " + std::to_string(i));
        return line ? line->GetText() : "(missing)";
    }
    std::string Input() const
    {
        const CTextSprite* input = comp->GetTextSprite("Input");
        return input ? input->GetText() : "(missing)";
    }
    std::vector<std::uint32_t> Handed() const
    {
        std::vector<std::uint32_t> codes;
        for (const InputEvent& event : console->events)
            codes.push_back(event.code * 10 + static_cast<std::uint32_t>(event.value));
        return codes;
    }

    Gob* gob = nullptr;
    StateMachineComponent* machines = nullptr;
    Gfx2DComp* comp = nullptr;
    SMConsoleGraphics* machine = nullptr;
    std::unique_ptr<RecordingConsole> console;
};
} // namespace

TEST_F(SMConsoleGraphicsTest, BuildsBothWindowsWithTheirLinesAboveAndBelowTheScreen)
{
    EXPECT_EQ(State(), State::CS_Closed) << "leaves the start state at once";
    CSprite& panel = Window("TextWindow");
    CSprite& strip = Window("InputWindow");
    EXPECT_EQ(panel.GetDepth(), 9);
    EXPECT_EQ(strip.GetDepth(), 9);
    EXPECT_FLOAT_EQ(panel.GetScaleX(), 800.0f / 512.0f) << "stretched across the screen";
    EXPECT_FLOAT_EQ(strip.GetScaleX(), 800.0f / 512.0f);
    EXPECT_FLOAT_EQ(panel.GetScaleY(), 1.0f);
    EXPECT_FLOAT_EQ(panel.GetWidth(), 800.0f);
    EXPECT_FLOAT_EQ(panel.GetHeight(), 512.0f);
    EXPECT_FLOAT_EQ(strip.GetHeight(), 32.0f);
    EXPECT_EQ(panel.GetPositionY(), -600);
    EXPECT_EQ(strip.GetPositionY(), 605) << "five pixels below the screen before the first opening";

    EXPECT_EQ(panel.GetChildren().size(), 24u);
    for (int i = 0; i < 24; ++i)
    {
        SCOPED_TRACE(i);
        const CTextSprite* line = comp->GetTextSprite("History " + std::to_string(i));
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->GetParent(), &panel);
        EXPECT_EQ(line->GetPositionX(), 7);
        EXPECT_EQ(line->GetPositionY(), 512 - 20 * i - 25) << "line 0 the lowest";
        EXPECT_EQ(line->GetAbsoluteY(), -600 + 512 - 20 * i - 25) << "with the panel's offset";
        EXPECT_EQ(line->GetDepth(), 10);
        EXPECT_EQ(line->GetTextStyle().fontIndex, 6u);
        EXPECT_FALSE(line->GetTextStyle().hasShadow);
        EXPECT_EQ(line->GetRed() + line->GetGreen() + line->GetBlue(), 0.0f) << "black";
        EXPECT_EQ(line->GetAlpha(), 1.0f);
    }
    const CTextSprite* input = comp->GetTextSprite("Input");
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(input->GetParent(), &strip);
    EXPECT_EQ(input->GetPositionX(), 10);
    EXPECT_EQ(input->GetPositionY(), 5);
    EXPECT_EQ(input->GetDepth(), 10);

    std::vector<dorvo::gfx::IScreenUnit*> units;
    comp->CollectUnits(units);
    EXPECT_EQ(units.size(), 27u);
}

// On 800 x 600: the panel rests at 0 open and -600 closed, the strip under the panel (at its
// height), at H - its height alone, at 605 before the first opening and 603 after a close; each
// slide takes half a second.
TEST_F(SMConsoleGraphicsTest, TheWindowsSlideHalfASecondToTheirRestingPlaces)
{
    CSprite& panel = Window("TextWindow");
    CSprite& strip = Window("InputWindow");

    EXPECT_TRUE(Press(kGrave));
    EXPECT_EQ(State(), State::CS_OpeningBoth);
    Frame(0.25);
    EXPECT_EQ(State(), State::CS_OpeningBoth);
    EXPECT_EQ(panel.GetPositionY(), -300) << "half way";
    EXPECT_EQ(strip.GetPositionY(), (605 + 512) / 2);
    Frame(0.26);
    EXPECT_EQ(State(), State::CS_BothOpen);
    EXPECT_EQ(panel.GetPositionY(), 0);
    EXPECT_EQ(strip.GetPositionY(), 512);
    EXPECT_EQ(panel.GetPositionX(), 0);

    EXPECT_TRUE(Press(kGrave));
    EXPECT_EQ(State(), State::CS_ClosingBoth);
    Settle();
    EXPECT_EQ(State(), State::CS_Closed);
    EXPECT_EQ(panel.GetPositionY(), -600);
    EXPECT_EQ(strip.GetPositionY(), 603);

    EXPECT_TRUE(Press(kTab));
    EXPECT_EQ(State(), State::CS_OpeningInput);
    Settle();
    EXPECT_EQ(State(), State::CS_InputOpen);
    EXPECT_EQ(strip.GetPositionY(), 600 - 32);
    EXPECT_EQ(panel.GetPositionY(), -600) << "the panel stays away";

    EXPECT_TRUE(Press(kTab));
    EXPECT_EQ(State(), State::CS_ClosingInput);
    Settle();
    EXPECT_EQ(State(), State::CS_Closed);
    EXPECT_EQ(strip.GetPositionY(), 603);
    for (const InputEvent& event : console->events)
        EXPECT_EQ(event.value, 0) << "only releases of the toggling keys reach the console (during slides)";

    console->events.clear();

    // Closed, any other key is left to the rest of the game.
    EXPECT_FALSE(Press(kA));
    EXPECT_TRUE(Handed().empty());
}

// On a German keyboard the console's key is the dead key "^": opening or closing the console
// must forget it, or it falls on the first letter typed ("commands" became "ĉommands").
TEST_F(SMConsoleGraphicsTest, TheConsolesKeyForgetsTheDeadKeyItIsOnSomeLayouts)
{
    const int before = plat::headless::TextCompositionCancels();
    Press(kGrave);
    EXPECT_EQ(plat::headless::TextCompositionCancels(), before + 1);
    Settle();
    Press(kA);
    EXPECT_EQ(plat::headless::TextCompositionCancels(), before + 1) << "other keys keep theirs";
    Press(kGrave);
    EXPECT_EQ(plat::headless::TextCompositionCancels(), before + 2);
}

// The console has the keyboard from the moment it starts to slide in: what is typed at once is
// typed (at a few frames a second that is most of a quick line), the console's key typed its own
// text and is not, and the mouse stays the menus'.
TEST_F(SMConsoleGraphicsTest, WhatIsTypedAsTheWindowSlidesInIsTyped)
{
    EXPECT_TRUE(Key(kGrave, true));
    ASSERT_EQ(State(), State::CS_OpeningBoth);
    EXPECT_TRUE(Typed('`'));
    Key(kGrave, false);
    EXPECT_TRUE(Key(kA, true));
    EXPECT_TRUE(Typed('a'));
    Key(kA, false);
    EXPECT_FALSE(Key(kLeftButton, true)) << "the mouse is not the console's";
    Frame();
    EXPECT_EQ(State(), State::CS_OpeningBoth);
    EXPECT_EQ(Input(), "a|") << "the line shows as it slides in";
    Settle();
    EXPECT_EQ(State(), State::CS_BothOpen);
    EXPECT_EQ(console->GetInputLine(), "a");
}

// Every press of a window's key counts, however quickly they come: within one frame, a frame
// apart, or while the window is half way. An even number leaves the console as it was, an odd
// one turns it over, and the windows end at their resting places.
TEST_F(SMConsoleGraphicsTest, EveryPressOfTheConsolesKeysCountsThoughTheWindowsStillSlide)
{
    struct Case
    {
        std::uint32_t key;
        int presses;
        double secondsBetween; // 0: all within one frame
        SMConsoleGraphics::EState expected;
    };
    const double frame = 1.0 / 30.0;
    const Case cases[] = {
        {kGrave, 1, 0.0, State::CS_BothOpen}, {kGrave, 2, 0.0, State::CS_Closed},
        {kGrave, 3, 0.0, State::CS_BothOpen}, {kGrave, 4, 0.0, State::CS_Closed},
        {kGrave, 2, frame, State::CS_Closed}, {kGrave, 3, frame, State::CS_BothOpen},
        {kGrave, 2, 0.3, State::CS_Closed},   {kGrave, 4, 0.2, State::CS_Closed},
        {kTab, 2, 0.0, State::CS_Closed},     {kTab, 3, frame, State::CS_InputOpen},
    };
    CSprite& panel = Window("TextWindow");
    CSprite& strip = Window("InputWindow");
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.presses) + (c.key == kGrave ? " x grave, " : " x Tab, ") +
                     std::to_string(c.secondsBetween) + " s apart");
        ASSERT_EQ(State(), State::CS_Closed);
        for (int press = 0; press < c.presses; ++press)
        {
            EXPECT_TRUE(Press(c.key));
            if (c.secondsBetween > 0.0 && press + 1 < c.presses)
                Frame(c.secondsBetween);
        }
        Settle();
        EXPECT_EQ(State(), c.expected);
        EXPECT_EQ(panel.GetPositionY(), c.expected == State::CS_BothOpen ? 0 : -600);
        EXPECT_EQ(strip.GetPositionY(), c.expected == State::CS_BothOpen    ? 512
                                        : c.expected == State::CS_InputOpen ? 600 - 32
                                                                            : 603);
        if (State() != State::CS_Closed)
        {
            Press(c.key);
            Settle();
        }
    }

    // The other window's key while one slides out opens that one instead.
    Press(kGrave);
    Settle();
    Press(kGrave);
    Frame(0.2);
    ASSERT_EQ(State(), State::CS_ClosingBoth);
    EXPECT_TRUE(Press(kTab));
    Settle();
    EXPECT_EQ(State(), State::CS_InputOpen);
    EXPECT_EQ(panel.GetPositionY(), -600) << "the panel went on out";
    EXPECT_EQ(strip.GetPositionY(), 600 - 32);
}

// The other window's key is typed into the console when one window is open.
TEST_F(SMConsoleGraphicsTest, TabInTheFullConsoleAndTheGraveAccentInTheStripAreTyped)
{
    Press(kGrave);
    Settle();
    ASSERT_EQ(State(), State::CS_BothOpen);
    console->events.clear();
    EXPECT_TRUE(Press(kTab));
    EXPECT_EQ(State(), State::CS_BothOpen);
    EXPECT_EQ(Handed(), (std::vector<std::uint32_t>{kTab * 10 + 1, kTab * 10}));
    EXPECT_FALSE(Key(kLeftButton, true)) << "a click while open is left to the menus";
    EXPECT_EQ(Handed().size(), 2u);

    Press(kGrave);
    Settle();
    Press(kTab);
    Settle();
    ASSERT_EQ(State(), State::CS_InputOpen);
    console->events.clear();
    Press(kGrave);
    EXPECT_EQ(State(), State::CS_InputOpen);
    EXPECT_EQ(Handed(), (std::vector<std::uint32_t>{kGrave * 10 + 1, kGrave * 10}));
}

TEST_F(SMConsoleGraphicsTest, TheInputLineShowsItsCaretWhileEitherWindowIsOpen)
{
    Press(kTab);
    Settle();
    Press(kA);
    EXPECT_TRUE(Typed('a'));
    Press(kB);
    EXPECT_TRUE(Typed('b'));
    Frame();
    EXPECT_EQ(Input(), "ab|");
    Press(kLeft);
    Frame();
    EXPECT_EQ(Input(), "a|b");
}

// Backspace works only on a line that fits the strip, however long the typed line grows.
TEST_F(SMConsoleGraphicsTest, BackspaceWorksOnlyOnALineThatFitsTheStrip)
{
    Press(kTab);
    Settle();
    ASSERT_EQ(State(), State::CS_InputOpen);
    for (std::size_t length : {SMConsoleGraphics::kInputLineWidth, SMConsoleGraphics::kInputLineWidth + 1})
    {
        console->ClearHistory();
        for (std::size_t i = 0; i < length; ++i)
            Typed('a');
        Press(kBackspace);
        Frame();
        const std::size_t left = length > SMConsoleGraphics::kInputLineWidth ? length : length - 1;
        EXPECT_EQ(Input(), std::string(left, 'a') + "|") << length << " typed";
    }
}

// The newest output line at the bottom, older ones above, also past 24 lines; the history
// stays while nothing new is written.
TEST_F(SMConsoleGraphicsTest, TheHistoryShowsTheNewestOutputAtTheBottom)
{
    Press(kGrave);
    Settle();
    ASSERT_EQ(State(), State::CS_BothOpen);
    for (int i = 0; i < 30; ++i)
        console->WriteToConsole("line " + std::to_string(i), common::FF_Display, false);
    Frame();
    EXPECT_EQ(Line(0), ">line 29");
    EXPECT_EQ(Line(1), ">line 28");
    EXPECT_EQ(Line(23), ">line 6");
    EXPECT_FALSE(console->IsOutputChanged());

    comp->GetTextSprite("History 5")->SetText("kept");
    Frame();
    EXPECT_EQ(Line(5), "kept") << "no new output, nothing copied";

    console->WriteToConsole("one more", common::FF_Display, false);
    Frame();
    EXPECT_EQ(Line(0), ">one more");
    EXPECT_EQ(Line(5), ">line 25");

    console->ClearOutput();
    Frame();
    EXPECT_EQ(Line(0), "");
    EXPECT_EQ(Line(23), "");

    // Output written while the window is closed shows when it opens.
    Press(kGrave);
    Settle();
    console->WriteToConsole("while closed", common::FF_Display, false);
    Frame();
    EXPECT_EQ(Line(0), "") << "not copied while closed";
    Press(kGrave);
    Settle();
    EXPECT_EQ(Line(0), ">while closed");
}

TEST_F(SMConsoleGraphicsTest, ADelayedStateChangeIsTakenInAnyState)
{
    Database& database = *common::Singleton<Database>::Instance();
    EXPECT_TRUE(database.SendMsgInt(gob->GetID(), MSG_CHANGE_STATE_DELAYED, State::CS_BothOpen));
    EXPECT_EQ(State(), State::CS_BothOpen);
}

// The machine owns its windows: going before its object, it takes them out of the component; an
// object that goes takes everything with it (the sanitizer build checks nothing leaks or is
// freed twice).
TEST_F(SMConsoleGraphicsTest, TheWindowsGoWithTheMachine)
{
    machines->ClearStateMachines();
    EXPECT_EQ(comp->FindUnit("TextWindow"), nullptr);
    EXPECT_EQ(comp->FindUnit("History 3"), nullptr);
    EXPECT_TRUE(comp->GetUnits().empty());

    machines->AddStateMachine(
        new SMConsoleGraphics(machines, "NoSuchImage.png", "ConsoleInput.png", console.get()));
    ASSERT_NE(comp->GetSprite("TextWindow"), nullptr);
    EXPECT_FLOAT_EQ(comp->GetSprite("TextWindow")->GetScaleX(), 1.0f) << "no image, no stretching";
    EXPECT_NE(comp->FindUnit("History 23"), nullptr);
    Press(kGrave);
    Settle();
    EXPECT_EQ(comp->GetSprite("InputWindow")->GetPositionY(), 0) << "under a panel of no height";
    GobManager::Instance().DestroyAllGobs();
}
