#include "engine/input/InputSystem.h"

#include "common/InputEvent.h"
#include "platform/dinput.h"
#include "platform/input_feed.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using dorvo::input::InputEvent;
using dorvo::input::InputSystem;
using namespace plat;

namespace
{
constexpr std::uint32_t kLeftButton = dorvo::input::MOUSE_BUTTON_0;
constexpr std::uint32_t kRightButton = dorvo::input::MOUSE_BUTTON_0 + 1;

std::vector<InputEvent> Frame(InputSystem& input)
{
    input.Update();
    std::vector<InputEvent> events;
    InputEvent event;
    while (input.PopEvent(event))
        events.push_back(event);
    return events;
}

struct Ev
{
    std::uint32_t code;
    std::int32_t value;
};

void ExpectEvents(const std::vector<Ev>& expected, const std::vector<InputEvent>& actual)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(expected[i].code, actual[i].code);
        EXPECT_EQ(expected[i].value, actual[i].value);
    }
}

// The events without the pointer positions that come before each button.
std::vector<InputEvent> Buttons(std::vector<InputEvent> events)
{
    events.erase(std::remove_if(events.begin(), events.end(),
                                [](const InputEvent& e) { return e.code == dorvo::input::MOUSE_POSITION; }),
                 events.end());
    return events;
}

class InputSystemTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        inputfeed::Reset();
        dinputtest::ClearFailures();
    }
    void TearDown() override
    {
        m_input.Shutdown();
        EXPECT_EQ(0, dinputtest::LiveDevices());
        EXPECT_EQ(0, dinputtest::LiveInterfaces());
        dinputtest::ClearFailures();
        inputfeed::Reset();
    }
    // The shell's configuration, or buffers of `records` when not 0.
    bool Init(bool buffered, std::uint32_t records = 0)
    {
        InputSystem::InputConfig config;
        config.buffered = buffered;
        if (records != 0)
            config.keyboardBufferSize = config.mouseBufferSize = records;
        return m_input.Init(config, nullptr, nullptr);
    }

    InputSystem m_input;
};
} // namespace

TEST_F(InputSystemTest, BufferedPressAndReleaseInOneFrameGiveTwoEvents)
{
    ASSERT_TRUE(Init(true));
    inputfeed::KeyChange(DIK_SPACE, true, 500);
    inputfeed::KeyChange(DIK_SPACE, false, 510);
    const auto events = Frame(m_input);
    ExpectEvents({{57, 1}, {57, 0}}, events);
    EXPECT_EQ(500u, events[0].timeStamp);
    EXPECT_EQ(510u, events[1].timeStamp);
    EXPECT_LT(events[0].sequence, events[1].sequence);
    EXPECT_TRUE(Frame(m_input).empty());
    InputEvent untouched{7, 7, 7, 7};
    EXPECT_FALSE(m_input.PopEvent(untouched));
    EXPECT_EQ(7u, untouched.code);
}

TEST_F(InputSystemTest, ImmediatePressAndReleaseInOneFrameAreNotSeen)
{
    ASSERT_TRUE(Init(false));
    inputfeed::KeyChange(DIK_SPACE, true, 500);
    inputfeed::KeyChange(DIK_SPACE, false, 510);
    EXPECT_TRUE(Frame(m_input).empty());
    inputfeed::KeyChange(DIK_A, true, 520);
    const auto events = Frame(m_input);
    ExpectEvents({{30, 1}}, events);
    EXPECT_EQ(0u, events[0].timeStamp);
    EXPECT_EQ(0u, events[0].sequence);
}

TEST_F(InputSystemTest, BufferedHeldKeyRepeatsEveryFifthOfASecond)
{
    // Frames a little over 0.1 s apart: the repeat comes with the first frame 0.2 s or more
    // after the last record, and every 0.2 s after that.
    const double frame = 0.101;
    ASSERT_TRUE(Init(true));
    inputfeed::KeyChange(DIK_SPACE, true, 1000);
    const auto press = Frame(m_input);
    ExpectEvents({{57, 1}}, press);

    testclock::Advance(frame);
    EXPECT_TRUE(Frame(m_input).empty());
    testclock::Advance(frame);
    const auto first = Frame(m_input);
    ExpectEvents({{57, 1}}, first);
    if (!first.empty())
    {
        EXPECT_EQ(press[0].timeStamp, first[0].timeStamp); // re-sent as stored
    }
    testclock::Advance(frame);
    EXPECT_TRUE(Frame(m_input).empty());
    testclock::Advance(frame);
    ExpectEvents({{57, 1}}, Frame(m_input));

    inputfeed::KeyChange(DIK_SPACE, false, 1400);
    ExpectEvents({{57, 0}}, Frame(m_input));
    for (int i = 0; i < 4; ++i)
    {
        testclock::Advance(frame);
        EXPECT_TRUE(Frame(m_input).empty());
    }
}

TEST_F(InputSystemTest, ImmediateHeldKeyRepeatsOnlyWhatIsPressed)
{
    ASSERT_TRUE(Init(false));
    inputfeed::KeyChange(DIK_RIGHT, true, 0);
    ExpectEvents({{205, 1}}, Frame(m_input));
    testclock::Advance(0.101);
    EXPECT_TRUE(Frame(m_input).empty());
    testclock::Advance(0.101);
    ExpectEvents({{205, 1}}, Frame(m_input));
    inputfeed::KeyChange(DIK_RIGHT, false, 0);
    ExpectEvents({{205, 0}}, Frame(m_input));
    testclock::Advance(0.4);
    EXPECT_TRUE(Frame(m_input).empty());
}

TEST_F(InputSystemTest, MouseAxesWheelAndButtons)
{
    struct Case
    {
        bool buffered;
        std::vector<Ev> expected;
    };
    // The wheel reaches the queue only in buffered mode, where each button comes after where the
    // pointer was (x 12, y 34).
    const std::int32_t at = 12 | (34 << 16);
    const Case cases[] = {
        {true,
         {{246, 5}, {247, -3}, {248, 120}, {291, at}, {238, 1}, {291, at}, {239, 1}, {291, at}, {238, 0}}},
        {false, {{239, 1}, {246, 5}, {247, -3}}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.buffered);
        ASSERT_TRUE(Init(c.buffered));
        POINT pointer;
        pointer.x = 12;
        pointer.y = 34;
        inputfeed::MouseMove(5, -3, 10);
        inputfeed::MouseWheel(120, 11);
        inputfeed::MouseButton(0, true, 12, &pointer);
        inputfeed::MouseButton(1, true, 13, &pointer);
        inputfeed::MouseButton(0, false, 14, &pointer);
        ExpectEvents(c.expected, Frame(m_input));
        inputfeed::MouseButton(1, false, 15);
        m_input.Shutdown();
    }
}

TEST_F(InputSystemTest, HeldKeysAreReleasedWhenTheWindowLosesFocus)
{
    ASSERT_TRUE(Init(true));
    inputfeed::KeyChange(DIK_LEFT, true, 100);
    inputfeed::MouseButton(0, true, 101);
    ExpectEvents({{203, 1}, {238, 1}}, Buttons(Frame(m_input)));

    inputfeed::FocusChange(false);
    ExpectEvents({{203, 0}, {238, 0}}, Frame(m_input));
    // Nothing repeats while the window stays behind, and every frame tries once to get the
    // devices back without stalling.
    for (int i = 0; i < 5; ++i)
    {
        testclock::Advance(0.21);
        EXPECT_TRUE(Frame(m_input).empty());
    }
    inputfeed::FocusChange(true);
    Frame(m_input); // re-acquires
    inputfeed::KeyChange(DIK_A, true, 2000);
    ExpectEvents({{30, 1}}, Frame(m_input));
}

TEST_F(InputSystemTest, ImmediateReaderReleasesHeldKeysOnFocusLoss)
{
    ASSERT_TRUE(Init(false));
    inputfeed::KeyChange(DIK_LEFT, true, 0);
    ExpectEvents({{203, 1}}, Frame(m_input));
    inputfeed::FocusChange(false);
    ExpectEvents({{203, 0}}, Frame(m_input));
    testclock::Advance(0.4);
    EXPECT_TRUE(Frame(m_input).empty());
    inputfeed::FocusChange(true);
    EXPECT_TRUE(Frame(m_input).empty());
}

// Typing faster than the frames come fills small buffers (20 records here); the records that
// did not fit are lost. A lost release must not leave its key held,
// repeating its letter into the console every 0.2 s: the held keys and buttons are set right
// from the devices' present state, in code order, after the records that were kept.
TEST_F(InputSystemTest, RecordsLostToAFullBufferLeaveNoKeyOrButtonHeld)
{
    ASSERT_TRUE(Init(true, 20));
    std::vector<Ev> expected;
    DWORD time = 100;
    for (DWORD key = DIK_Q; key < DIK_Q + 9; ++key) // 18 records kept
    {
        inputfeed::KeyChange(key, true, time++);
        inputfeed::KeyChange(key, false, time++);
        expected.push_back({key, 1});
        expected.push_back({key, 0});
    }
    inputfeed::KeyChange(DIK_1, true, time++); // kept: the 19th and 20th
    inputfeed::KeyChange(DIK_B, true, time++);
    inputfeed::KeyChange(DIK_1, false, time++); // lost
    inputfeed::KeyChange(DIK_B, false, time++); // lost
    inputfeed::KeyChange(DIK_C, true, time++);  // lost, and still down
    expected.insert(expected.end(), {{DIK_1, 1}, {DIK_B, 1}, {DIK_1, 0}, {DIK_C, 1}, {DIK_B, 0}});
    for (int click = 0; click < 10; ++click) // 20 button records kept
    {
        inputfeed::MouseButton(0, true, time++);
        inputfeed::MouseButton(0, false, time++);
        expected.push_back({kLeftButton, 1});
        expected.push_back({kLeftButton, 0});
    }
    inputfeed::MouseButton(1, true, time++); // lost, and still down
    expected.push_back({kRightButton, 1});
    ExpectEvents(expected, Buttons(Frame(m_input)));

    // Only what is really down repeats.
    testclock::Advance(0.21);
    ExpectEvents({{DIK_C, 1}, {kRightButton, 1}}, Frame(m_input));
    inputfeed::KeyChange(DIK_C, false, time++);
    inputfeed::MouseButton(1, false, time++);
    ExpectEvents({{DIK_C, 0}, {kRightButton, 0}}, Buttons(Frame(m_input)));
    testclock::Advance(0.21);
    EXPECT_TRUE(Frame(m_input).empty());
}

// A long frame (a room loading while the player types on) loses nothing with the shell's
// buffers: every key, the text each typed and every click arrive in the order they were made.
// A typed character is no key: it is neither held nor repeated.
TEST_F(InputSystemTest, ALongFrameLosesNoKeyTextOrClick)
{
    ASSERT_TRUE(Init(true));
    std::vector<Ev> expected;
    DWORD time = 100;
    const std::string line = "saveroom tutorialroomx3";
    for (int i = 0; i < 6; ++i)
        for (const char c : line + "\n")
        {
            const DWORD key = c == '\n' ? DIK_RETURN : DIK_A; // which key does not matter here
            inputfeed::KeyChange(key, true, time);
            const char text[2] = {c, 0};
            inputfeed::Text(text, time);
            inputfeed::KeyChange(key, false, time + 30);
            time += 70;
            expected.push_back({key, 1});
            if (c != '\n')
                expected.push_back({dorvo::input::TEXT_INPUT, c});
            expected.push_back({key, 0});
        }
    for (int click = 0; click < 2; ++click) // a double click
    {
        inputfeed::MouseButton(0, true, time++);
        inputfeed::MouseButton(0, false, time++);
        for (const std::int32_t value : {1, 0})
        {
            expected.push_back({dorvo::input::MOUSE_POSITION, 0});
            expected.push_back({kLeftButton, value});
        }
    }
    ExpectEvents(expected, Frame(m_input));

    testclock::Advance(0.21);
    EXPECT_TRUE(Frame(m_input).empty()) << "nothing is held, and text never repeats";
}

TEST_F(InputSystemTest, FailedDeviceCreationReleasesEverything)
{
    struct Case
    {
        dinputtest::Call call;
        DIDEVICEGUID device;
        bool succeeds;
    };
    const Case cases[] = {
        {dinputtest::Call::Create, GUID_SysKeyboard, false},
        {dinputtest::Call::CreateDevice, GUID_SysKeyboard, false},
        {dinputtest::Call::SetCooperativeLevel, GUID_SysKeyboard, false},
        {dinputtest::Call::SetDataFormat, GUID_SysKeyboard, false},
        {dinputtest::Call::SetProperty, GUID_SysKeyboard, false},
        {dinputtest::Call::CreateDevice, GUID_SysMouse, false},
        {dinputtest::Call::SetProperty, GUID_SysMouse, false},
        // Ignored results: the mouse's cooperative level and format, and every Acquire.
        {dinputtest::Call::SetCooperativeLevel, GUID_SysMouse, true},
        {dinputtest::Call::Acquire, GUID_SysKeyboard, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(static_cast<int>(c.call) * 10 + static_cast<int>(c.device));
        dinputtest::ClearFailures();
        dinputtest::FailCall(c.call, c.device);
        EXPECT_EQ(c.succeeds, Init(true));
        if (!c.succeeds)
        {
            EXPECT_EQ(0, dinputtest::LiveDevices());
            EXPECT_EQ(0, dinputtest::LiveInterfaces());
            Frame(m_input); // harmless without a reader
        }
        m_input.Shutdown();
    }
}

TEST_F(InputSystemTest, AKeyboardThatFailedToAcquireAtStartIsAcquiredByTheFirstRead)
{
    dinputtest::FailCall(dinputtest::Call::Acquire, GUID_SysKeyboard);
    ASSERT_TRUE(Init(true));
    dinputtest::ClearFailures();
    inputfeed::KeyChange(DIK_A, true, 1); // missed: not acquired yet
    EXPECT_TRUE(Frame(m_input).empty());
    inputfeed::KeyChange(DIK_B, true, 2);
    ExpectEvents({{48, 1}}, Frame(m_input));
}
