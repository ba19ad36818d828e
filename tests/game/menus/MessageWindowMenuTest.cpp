// The message window: texts shown one at a time in a box at the top centre, each 3.6 s from the
// start of its fade-in to the end of its fade-out, in the order they came, none dropped.
#include "MainRoadSetup.h"
#include "MenuTestWorld.h"

#include "common/Singleton.h"
#include "engine/gfx/sprites/CSprite.h"
#include "game/menus/BaseMenu.h"
#include "statemachine/Database.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using mainroad::kFrame;

namespace
{
constexpr int kClosed = QUORB::BaseMenu::STATE_Closed;
constexpr int kOpening = QUORB::BaseMenu::STATE_Opening;
constexpr int kOpen = QUORB::BaseMenu::STATE_Open;
constexpr int kClosing = QUORB::BaseMenu::STATE_Closing;
const char* const kWindow = "MessageWindowMenu";
// Fade-in, showing and fade-out each end with the first frame at or after their time.
constexpr double kLate = 3 * kFrame + 1e-6;

void SendToWindow(MessageName name, const std::string& text = "")
{
    Database* database = common::Singleton<Database>::Instance();
    const std::uint32_t id = database->FindIdByName(kWindow);
    if (name == MSG_SendTextMessage)
        database->SendMsgString(id, name, text);
    else
        database->SendMsg(id, name);
}

class MessageWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_world = std::make_unique<gametest::MenuTestWorld>();
        ASSERT_TRUE(m_world->Booted());
        m_world->Step();
        m_world->ClearMessages();
    }

    std::string Shown() const { return m_world->Unit(kWindow, "MessageText").text; }
    int State() const { return m_world->MenuState(kWindow); }
    // When the window was opened, each time.
    std::vector<double> Openings() const
    {
        std::vector<double> times;
        for (const gametest::MenuMessage& message : m_world->MessagesTo(kWindow, MSG_OpenMenu))
            times.push_back(message.time);
        return times;
    }

    std::unique_ptr<gametest::MenuTestWorld> m_world;
};

TEST_F(MessageWindowTest, TextsSentInOneFrameFollowEachOtherInOrderNoneDropped)
{
    for (const char* text : {"one", "two", "three"})
        SendToWindow(MSG_SendTextMessage, text);
    EXPECT_EQ(State(), kOpening);
    std::vector<std::string> shown;
    for (int frame = 0; frame < 12 * 30; ++frame)
    {
        if (State() == kOpen && (shown.empty() || shown.back() != Shown()))
            shown.push_back(Shown());
        m_world->Step();
    }
    EXPECT_EQ(shown, std::vector<std::string>({"one", "two", "three"}));
    const std::vector<double> opened = Openings();
    ASSERT_EQ(opened.size(), 3u);
    for (std::size_t i = 1; i < opened.size(); ++i)
    {
        EXPECT_GE(opened[i] - opened[i - 1], 3.6 - 1e-6);
        EXPECT_LE(opened[i] - opened[i - 1], 3.6 + kLate);
    }
    EXPECT_EQ(State(), kClosed);
    EXPECT_FALSE(m_world->Unit(kWindow, "Background").visible);
}

TEST_F(MessageWindowTest, ATextSentWhileTheWindowFadesOutWaitsForTheClose)
{
    SendToWindow(MSG_SendTextMessage, "first");
    ASSERT_TRUE(m_world->RunUntil([this]() { return State() == kClosing; }, 4.0));
    const double closing = m_world->Now();
    SendToWindow(MSG_SendTextMessage, "second");
    EXPECT_EQ(State(), kClosing);
    EXPECT_EQ(Shown(), "first");
    ASSERT_TRUE(m_world->RunUntil([this]() { return Openings().size() == 2; }, 1.0));
    EXPECT_GE(Openings().back() - closing, 0.3 - 1e-6);
    EXPECT_EQ(Shown(), "second");
    EXPECT_EQ(State(), kOpening);
}

TEST_F(MessageWindowTest, AnEmptyTextShowsAnEmptyBoxAtTheTopCentre)
{
    SendToWindow(MSG_SendTextMessage, "");
    m_world->RunFor(0.5);
    EXPECT_EQ(State(), kOpen);
    const gametest::UnitView box = m_world->Unit(kWindow, "Background");
    EXPECT_TRUE(box.visible);
    EXPECT_FLOAT_EQ(box.alpha, 1.0f);
    // Turned about its middle, which sits at (W / 2, 25).
    EXPECT_EQ(box.x, 400);
    EXPECT_EQ(box.y, 25);
    EXPECT_EQ(box.width, 512);
    EXPECT_EQ(box.height, 51);
    const auto* sprite = dynamic_cast<dorvo::gfx::CSprite*>(m_world->FindUnit(kWindow, "Background"));
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->GetCenterX(), 256);
    EXPECT_EQ(sprite->GetCenterY(), 25);
    const gametest::UnitView text = m_world->Unit(kWindow, "MessageText");
    EXPECT_TRUE(text.visible);
    EXPECT_EQ(text.text, "");
    EXPECT_EQ(text.x, 400 - 235);
    EXPECT_EQ(text.y, 25 - 14);
    ASSERT_TRUE(m_world->RunUntil([this]() { return State() == kClosed; }, 4.0));
    EXPECT_GE(m_world->Now() - Openings().front(), 3.6 - 1e-6);
}

TEST_F(MessageWindowTest, ACloseFromElsewhereEndsATextEarlyAndTheNextFollows)
{
    SendToWindow(MSG_SendTextMessage, "early");
    SendToWindow(MSG_SendTextMessage, "next");
    m_world->RunFor(1.0);
    ASSERT_EQ(State(), kOpen);
    SendToWindow(MSG_CloseMenu);
    EXPECT_EQ(State(), kClosing);
    ASSERT_TRUE(m_world->RunUntil([this]() { return Openings().size() == 2; }, 1.0));
    EXPECT_LT(Openings().back() - Openings().front(), 1.5);
    EXPECT_EQ(Shown(), "next");
    // The early text's showing time ended with it: the next one stays its full 3 s.
    m_world->RunFor(3.0);
    EXPECT_EQ(State(), kOpen);
    EXPECT_EQ(Shown(), "next");
    ASSERT_TRUE(m_world->RunUntil([this]() { return State() == kClosed; }, 1.0));
}
} // namespace
