// The menu life cycle on a real menu object of the booted game: which messages each state
// takes, the timed changes on the test clock, forced moves, the close notification, button
// presses and radio groups, dragging and the messages every state hears.
#include "MenuTestWorld.h"
#include "RecordingMenus.h"
#include "TestSupport.h"
#include "common/Singleton.h"
#include "engine/gfx/gui/EditBox.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "engine/gfx/sprites/STextStyle.h"
#include "game/app/MenuState.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/RegisterMenuTypes.h"
#include "statemachine/Database.h"

#include <gtest/gtest.h>

#include <memory>

using menutest::Calls;
using menutest::RecordingMenu;
using Strings = std::vector<std::string>;

namespace
{
constexpr int kClosed = QUORB::BaseMenu::STATE_Closed;
constexpr int kOpening = QUORB::BaseMenu::STATE_Opening;
constexpr int kOpen = QUORB::BaseMenu::STATE_Open;
constexpr int kClosing = QUORB::BaseMenu::STATE_Closing;

const char* StateName(int state)
{
    static const char* const names[] = {"init", "closed", "opening", "open", "closing"};
    return state >= 0 && state <= 4 ? names[state] : "?";
}

class BaseMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Calls().clear();
        gametest::MenuTestSetup setup;
        setup.registerMenus = []() { QUORB::RegisterMenuType<RecordingMenu>("HelpMenu"); };
        m_world = std::make_unique<gametest::MenuTestWorld>(setup);
        ASSERT_TRUE(m_world->Booted());
        m_menu = RecordingMenu::Last();
        ASSERT_NE(m_menu, nullptr);
        m_bootCalls = Calls();
        Calls().clear();
        m_id = Db()->FindIdByName("HelpMenu");
        ASSERT_NE(m_id, 0u);
        // One unit below "Base", as a menu class would build it.
        auto unit = std::make_unique<dorvo::gfx::CSprite>();
        unit->SetName("Unit");
        unit->SetVisible(false, false); // as the closed state leaves every unit
        ASSERT_NE(m_menu->AddUnit(std::move(unit)), nullptr);
    }

    static Database* Db() { return common::Singleton<Database>::Instance(); }
    bool Send(MessageName name) { return Db()->SendMsg(m_id, name); }
    bool SendText(MessageName name, const std::string& text) { return Db()->SendMsgString(m_id, name, text); }
    int State() const { return m_menu->GetState(); }
    dorvo::gfx::Gfx2DComp* Gui() const { return m_world->Gui("HelpMenu"); }
    bool UnitVisible() const { return m_world->Unit("HelpMenu", "Unit").visible; }

    // From closed into the state, with the default times of 1 s.
    void Into(int state)
    {
        if (state >= kOpening)
            Send(MSG_OpenMenu);
        if (state >= kOpen)
            m_world->RunFor(1.1);
        if (state >= kClosing)
            Send(MSG_CloseMenu);
        ASSERT_EQ(State(), state);
        Calls().clear();
    }

    std::unique_ptr<gametest::MenuTestWorld> m_world;
    RecordingMenu* m_menu = nullptr;
    std::uint32_t m_id = 0;
    Strings m_bootCalls;
};

TEST_F(BaseMenuTest, StartsClosedAfterInitAndFilesItsBase)
{
    EXPECT_EQ(m_bootCalls, Strings({"Init"}));
    EXPECT_EQ(State(), kClosed);
    EXPECT_EQ(QUORB::GetMenuState("HelpMenu"), kClosed);
    {
        testsupport::AssertCapture asserts; // a name that is no menu is the caller's fault
        EXPECT_EQ(QUORB::GetMenuState("NoSuchMenu"), -1);
        EXPECT_EQ(asserts.Reports().size(), 1u);
    }
    ASSERT_NE(Gui()->GetSprite("Base"), nullptr);
    EXPECT_EQ(Gui()->GetSprite("Base"), m_menu->GetBase());
    EXPECT_EQ(Gui()->GetUnits().count("Base"), 1u);
    EXPECT_FALSE(m_menu->GetBase()->IsVisible()); // the closed state hides every unit
}

TEST_F(BaseMenuTest, EachStateTakesItsMessagesAndIgnoresOthers)
{
    struct Case
    {
        int from;
        MessageName message;
        bool taken;
        int to;
    };
    const Case cases[] = {
        {kClosed, MSG_OpenMenu, true, kOpening},      {kClosed, MSG_OpenMenuEx, true, kOpening},
        {kClosed, MSG_ToggleMenu, true, kOpening},    {kClosed, MSG_OpenMenuForced, true, kOpen},
        {kClosed, MSG_CloseMenu, false, kClosed},     {kClosed, MSG_CloseMenuForced, false, kClosed},
        {kOpening, MSG_CloseMenu, false, kClosing},   {kOpening, MSG_CloseMenuForced, false, kClosed},
        {kOpening, MSG_OpenMenu, false, kOpening},    {kOpening, MSG_ToggleMenu, false, kOpening},
        {kOpen, MSG_CloseMenu, false, kClosing},      {kOpen, MSG_ToggleMenu, false, kClosing},
        {kOpen, MSG_CloseMenuForced, false, kClosed}, {kOpen, MSG_OpenMenu, false, kOpen},
        {kOpen, MSG_OpenMenuForced, false, kOpen},    {kClosing, MSG_CloseMenuForced, false, kClosed},
        {kClosing, MSG_OpenMenu, false, kClosing},    {kClosing, MSG_ToggleMenu, false, kClosing},
        {kClosing, MSG_CloseMenu, false, kClosing},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(StateName(c.from)) + " + " + std::to_string(c.message));
        Send(MSG_CloseMenuForced); // back to closed from wherever the last case left it
        m_world->RunFor(0.1);
        Into(c.from);
        EXPECT_EQ(Send(c.message), c.taken);
        EXPECT_EQ(State(), c.to);
    }
}

TEST_F(BaseMenuTest, OpeningAndClosingEndOnTheTestClock)
{
    Send(MSG_OpenMenu);
    EXPECT_EQ(Calls(), Strings({"OpenTransition(1)"}));
    m_world->RunFor(0.9);
    EXPECT_EQ(State(), kOpening);
    m_world->RunFor(0.2);
    EXPECT_EQ(State(), kOpen);
    EXPECT_EQ(Calls(), Strings({"OpenTransition(1)", "OnOpened"}));

    Calls().clear();
    Send(MSG_CloseMenu);
    m_world->RunFor(0.9);
    EXPECT_EQ(State(), kClosing);
    m_world->RunFor(0.2);
    EXPECT_EQ(State(), kClosed);
    EXPECT_EQ(Calls(), Strings({"CloseTransition(1)", "OnClosed"}));
}

TEST_F(BaseMenuTest, ACloseDuringOpeningCancelsTheOpen)
{
    Send(MSG_OpenMenu);
    m_world->RunFor(0.5);
    Send(MSG_CloseMenu);
    EXPECT_EQ(State(), kClosing);
    m_world->RunFor(0.7); // past the time the open was due
    EXPECT_EQ(State(), kClosing);
    m_world->RunFor(0.4);
    EXPECT_EQ(State(), kClosed);
    EXPECT_EQ(Calls(), Strings({"OpenTransition(1)", "CloseTransition(1)", "OnClosed"}));

    // A forced close during closing cancels the pending change as well: one OnClosed only.
    Into(kClosing);
    Send(MSG_CloseMenuForced);
    m_world->RunFor(1.2);
    EXPECT_EQ(Calls(), Strings({"CloseTransition(0)", "OnClosed"}));
}

TEST_F(BaseMenuTest, AZeroTimeOpenRunsNestedInsideTheEnterEvent)
{
    m_menu->SetTimes(0.0f, 1.0f);
    Send(MSG_OpenMenu);
    EXPECT_EQ(State(), kOpen);
    // The delayed change is delivered inside the opening's enter event, before the transition.
    EXPECT_EQ(Calls(), Strings({"OnOpened", "OpenTransition(0)"}));
}

TEST_F(BaseMenuTest, ForcedOpenAndCloseSkipTheTransitionTimes)
{
    m_menu->SetPosition(math::Vector3(50.0f, 60.0f, 0.0f));
    Send(MSG_OpenMenuForced);
    EXPECT_EQ(State(), kOpen);
    EXPECT_EQ(Calls(), Strings({"OpenTransition(0)", "OnOpened"}));
    // No PrepareOpen: "Base" stays put and the units stay hidden.
    EXPECT_EQ(m_menu->GetBase()->GetPositionX(), 0);
    EXPECT_FALSE(UnitVisible());

    Calls().clear();
    m_menu->GetBase()->SetVisible(true, true);
    Send(MSG_CloseMenuForced);
    EXPECT_EQ(State(), kClosed);
    EXPECT_EQ(Calls(), Strings({"CloseTransition(0)", "OnClosed"}));
    EXPECT_FALSE(UnitVisible());
}

TEST_F(BaseMenuTest, WithACloseTimeOfZeroTheFirstCloseCallsNoOnClosed)
{
    m_menu->SetTimes(1.0f, 0.0f);
    int onClosed = 0;
    for (int round = 0; round < 3; ++round)
    {
        Into(kOpen);
        Send(MSG_CloseMenu);
        EXPECT_EQ(State(), kClosed);
        for (const std::string& call : Calls())
            onClosed += call == "OnClosed" ? 1 : 0;
        EXPECT_EQ(onClosed, round) << "round " << round;
    }
}

TEST_F(BaseMenuTest, OpenPlacesBaseAtTheTruncatedPositionAndOpenExShowsNothing)
{
    m_menu->SetPosition(math::Vector3(99.9f, -0.5f, 0.0f));
    Send(MSG_OpenMenu);
    EXPECT_EQ(m_menu->GetBase()->GetPositionX(), 99);
    EXPECT_EQ(m_menu->GetBase()->GetPositionY(), 0);
    EXPECT_TRUE(UnitVisible());

    Send(MSG_CloseMenuForced);
    m_menu->SetPosition(math::Vector3(-20.7f, 30.2f, 0.0f));
    Send(MSG_OpenMenuEx);
    EXPECT_EQ(m_menu->GetBase()->GetPositionX(), -20);
    EXPECT_EQ(m_menu->GetBase()->GetPositionY(), 30);
    EXPECT_FALSE(UnitVisible());
}

TEST_F(BaseMenuTest, ButtonPressesPassOnWhileOpeningOpenOrClosingAfterTheGroupIsUnchecked)
{
    // Two check boxes in one radio group, hearing their uncheck as menus wire them.
    StateMachineComponent* component = m_menu->GetComponent();
    for (const char* name : {"A", "B"})
    {
        dorvo::gfx::SpriteAnimation still;
        still.frameWidth = still.frameHeight = 10;
        still.frameCount = 1;
        const int position[2] = {0, 0};
        auto box = std::make_unique<dorvo::gfx::CheckButton>("", name, still, position, position);
        box->SetName(name);
        box->SetUncheckFunct(new QUORB::SMUnCheckFunct(component, name));
        dorvo::gfx::CheckButton* filed = m_menu->AddUnit(std::move(box));
        ASSERT_NE(filed, nullptr);
        Gui()->AddToGroup("Group", filed);
    }
    auto* b = dynamic_cast<dorvo::gfx::CheckButton*>(Gui()->GetButton("B"));

    for (int state : {kClosed, kOpening, kOpen, kClosing})
    {
        SCOPED_TRACE(StateName(state));
        Send(MSG_CloseMenuForced);
        m_world->RunFor(0.1);
        Into(state);
        b->SetChecked(true);
        EXPECT_EQ(SendText(MSG_ButtonPressed, "A"), state != kClosed);
        if (state == kClosed)
        {
            EXPECT_EQ(Calls(), Strings());
            EXPECT_TRUE(b->IsChecked());
        }
        else
        {
            EXPECT_EQ(Calls(), Strings({"OnButtonUnPressed(B)", "OnButtonPressed(A)"}));
            EXPECT_FALSE(b->IsChecked());
        }
    }
}

TEST_F(BaseMenuTest, HoverAndTextReachTheMenuOnlyWhileOpen)
{
    dorvo::gfx::SpriteAnimation still;
    still.frameWidth = still.frameHeight = 10;
    still.frameCount = 1;
    auto box =
        std::make_unique<dorvo::gfx::EditBox>("", still, nullptr, nullptr, nullptr, 0, 0, "Box", 20u, "");
    box->SetText("typed");
    ASSERT_NE(m_menu->AddUnit(std::move(box)), nullptr);
    const int position[2] = {0, 0};
    auto plain = std::make_unique<dorvo::gfx::CButton>("", still, position, position);
    plain->SetName("Plain");
    ASSERT_NE(m_menu->AddUnit(std::move(plain)), nullptr);

    for (int state : {kClosed, kOpening, kOpen, kClosing})
    {
        SCOPED_TRACE(StateName(state));
        Send(MSG_CloseMenuForced);
        m_world->RunFor(0.1);
        Into(state);
        EXPECT_EQ(SendText(MSG_MouseHeldOver, "Plain"), state == kOpen);
        EXPECT_EQ(SendText(MSG_MouseMovedOff, "Plain"), state == kOpen);
        SendText(MSG_TextSubmitted, "Box");
        // A name that is no edit box, or no unit at all, is ignored.
        SendText(MSG_TextSubmitted, "Plain");
        SendText(MSG_TextSubmitted, "Nothing");
        if (state == kOpen)
            EXPECT_EQ(Calls(),
                      Strings({"OnHeldOver(Plain)", "OnMovedOff(Plain)", "OnTextSubmitted(Box,typed)"}));
        else
            EXPECT_EQ(Calls(), Strings());
    }
}

TEST_F(BaseMenuTest, GlobalMessagesReachTheMenuInEveryState)
{
    for (int state : {kClosed, kOpening, kOpen, kClosing})
    {
        SCOPED_TRACE(StateName(state));
        Send(MSG_CloseMenuForced);
        m_world->RunFor(0.1);
        Into(state);
        Send(MSG_ResetMenu);
        SendText(MSG_SendTextMessage, "hello");
        SendText(MSG_ButtonUnPressed, "NoSuchButton");
        SendText(MSG_SetCustomData, "room.xml");
        EXPECT_EQ(Calls(), Strings({"Reset", "OnTextMessage(hello)", "OnButtonUnPressed(NoSuchButton)"}));
        EXPECT_EQ(m_menu->GetCustomData().GetType(), MSG_DATA_STRING);
        EXPECT_EQ(m_menu->GetCustomData().GetString(), "room.xml");
        Db()->SendMsgInt(m_id, MSG_SetCustomData, 7);
        EXPECT_EQ(m_menu->GetCustomData().GetType(), MSG_DATA_INT);
        EXPECT_EQ(m_menu->GetCustomData().GetInt(), 7);
        EXPECT_EQ(State(), state);
    }
}

TEST_F(BaseMenuTest, ADraggableMenuFollowsTheHeldMouseOnlyWhileClosed)
{
    const math::Vector3 first(10.0f, 20.0f, 0.0f);
    Db()->SendMsgVector3(m_id, MSG_MouseHeld, first);
    EXPECT_EQ(m_menu->GetPosition().x, 0.0f); // not draggable

    m_menu->SetDraggable(true);
    Db()->SendMsgVector3(m_id, MSG_MouseHeld, first);
    EXPECT_EQ(m_menu->GetPosition().x, 10.0f);
    EXPECT_EQ(m_menu->GetPosition().y, 20.0f);
    Send(MSG_OpenMenu);
    EXPECT_EQ(m_menu->GetBase()->GetPositionX(), 10);
    EXPECT_EQ(m_menu->GetBase()->GetPositionY(), 20);
    for (int state : {kOpening, kOpen, kClosing})
    {
        SCOPED_TRACE(StateName(state));
        Send(MSG_CloseMenuForced);
        Into(state);
        Db()->SendMsgVector3(m_id, MSG_MouseHeld, math::Vector3(300.0f, 400.0f, 0.0f));
        EXPECT_EQ(m_menu->GetPosition().x, 10.0f);
    }
}

TEST_F(BaseMenuTest, MouseUpClosesOnlyAMenuThatAsksForIt)
{
    Into(kOpen);
    Db()->SendMsgVector3(m_id, MSG_MouseUp, math::Vector3());
    EXPECT_EQ(State(), kOpen);
    m_menu->SetCloseOnMouseUp(true);
    for (int state : {kOpening, kOpen})
    {
        SCOPED_TRACE(StateName(state));
        Send(MSG_CloseMenuForced);
        Into(state);
        Db()->SendMsgVector3(m_id, MSG_MouseUp, math::Vector3());
        EXPECT_EQ(State(), kClosing);
    }
}

TEST_F(BaseMenuTest, TheReferenceSpriteArrivesAsAPointerWhileClosed)
{
    dorvo::gfx::CSprite* unit = Gui()->GetSprite("Unit");
    m_menu->SendMsgPointer(MSG_SetRefSprite, m_id, unit);
    EXPECT_EQ(m_menu->GetRefSprite(), unit);
}

TEST_F(BaseMenuTest, ButtonUnPressedClearsACheckBoxWithoutItsCallback)
{
    dorvo::gfx::SpriteAnimation still;
    still.frameWidth = still.frameHeight = 10;
    still.frameCount = 1;
    const int position[2] = {0, 0};
    auto box = std::make_unique<dorvo::gfx::CheckButton>("", "Check", still, position, position);
    box->SetName("Check");
    box->SetUncheckFunct(new QUORB::SMUnCheckFunct(m_menu->GetComponent(), "Check"));
    dorvo::gfx::CheckButton* check = m_menu->AddUnit(std::move(box));
    ASSERT_NE(check, nullptr);
    check->SetChecked(true);
    m_world->ClearMessages();
    SendText(MSG_ButtonUnPressed, "Check");
    EXPECT_FALSE(check->IsChecked());
    // The uncheck callback would have sent a second MSG_ButtonUnPressed.
    EXPECT_EQ(m_world->MessagesTo("HelpMenu", MSG_ButtonUnPressed).size(), 1u);
}
} // namespace
