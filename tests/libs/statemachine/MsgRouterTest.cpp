#include "statemachine/MsgRouter.h"

#include "StateMachineTestKit.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <limits>

using smtest::FakeTaker;
using smtest::ScriptedMachine;
using Log = std::vector<std::string>;

namespace
{
class MsgRouterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        smtest::Router().PurgeAll();
        m_machine = new ScriptedMachine(&m_taker, &m_log, "A", smtest::HandleWhole);
        m_taker.AddStateMachine(m_machine);
        m_log.clear();
    }
    void TearDown() override { smtest::Router().PurgeAll(); }

    // One frame `seconds` later, plus a millisecond so that float rounding of the due times
    // never decides a test.
    void Frame(double seconds)
    {
        smtest::AdvanceClock(seconds + 0.001);
        smtest::Router().DeliverDelayedMessages();
    }

    static MessageData Int(int value)
    {
        MessageData data;
        data.SetInt(value);
        return data;
    }

    Log m_log;
    FakeTaker m_taker{50, "RouterTarget"};
    ScriptedMachine* m_machine = nullptr;
};
} // namespace

TEST_F(MsgRouterTest, NoDelayDeliversAtOnce)
{
    smtest::Router().StoreMsg(0.0f, MSG_Reset, 50, 7, 0, 0, Int(3), false, false);
    EXPECT_EQ((Log{"A:msg 0/-1 MSG_Reset"}), m_log);
    EXPECT_EQ(0u, smtest::Router().GetQueuedCount());
    ASSERT_EQ(1u, m_machine->m_messages.size());
    const Message& got = m_machine->m_messages[0];
    EXPECT_EQ(7u, got.GetSender());
    EXPECT_EQ(3, got.GetInt());
    EXPECT_EQ(smtest::Clock().GetNow(), got.GetTime());
    EXPECT_TRUE(got.IsDelivered());
}

TEST_F(MsgRouterTest, DelayedMessageWaitsForItsTime)
{
    smtest::Router().StoreMsg(0.5f, MSG_Reset, 50, 7, 0, 0, Int(0), false, false);
    ASSERT_EQ(1u, smtest::Router().GetQueuedCount());
    EXPECT_FLOAT_EQ(smtest::Clock().GetNow() + 0.5f, smtest::Router().GetQueuedMessage(0)->GetTime());

    Frame(0.3);
    EXPECT_TRUE(m_log.empty());
    Frame(0.2);
    EXPECT_EQ((Log{"A:msg 0/-1 MSG_Reset"}), m_log);
    EXPECT_EQ(0u, smtest::Router().GetQueuedCount());
}

TEST_F(MsgRouterTest, SameDelayedMessageIsQueuedOnce)
{
    MsgRouter& router = smtest::Router();
    router.StoreMsg(1.0f, MSG_Reset, 50, 7, 1, 4, Int(1), false, false);
    router.StoreMsg(2.0f, MSG_Reset, 50, 7, 1, 4, Int(2), false, false); // data and delay ignored
    EXPECT_EQ(1u, router.GetQueuedCount());
    EXPECT_EQ(1, router.GetQueuedMessage(0)->GetInt());

    // Any difference in name, receiver, sender, scope, stamp or the periodic bit is a new message.
    router.StoreMsg(1.0f, MSG_ResetMenu, 50, 7, 1, 4, Int(1), false, false);
    router.StoreMsg(1.0f, MSG_Reset, 51, 7, 1, 4, Int(1), false, false);
    router.StoreMsg(1.0f, MSG_Reset, 50, 8, 1, 4, Int(1), false, false);
    router.StoreMsg(1.0f, MSG_Reset, 50, 7, 2, 4, Int(1), false, false);
    router.StoreMsg(1.0f, MSG_Reset, 50, 7, 1, 5, Int(1), false, false);
    MessageData period;
    period.SetFloat(1.0f);
    router.StoreMsg(1.0f, MSG_Reset, 50, 7, 1, 4, period, true, false);
    EXPECT_EQ(7u, router.GetQueuedCount());
}

TEST_F(MsgRouterTest, ResendFromOwnHandlerQueuesANewOne)
{
    int deliveries = 0;
    m_machine->SetBody(
        [&deliveries](ScriptedMachine& sm, std::uint32_t event, const Message* message, int, int)
        {
            if (event == StateMachine::EVENT_Message && message->GetName() == MSG_MouseHeld)
            {
                ++deliveries;
                sm.SendDelayedMsgToSelf(0.1f, MSG_MouseHeld);
                return true;
            }
            return false;
        });
    m_machine->SendDelayedMsgToSelf(0.1f, MSG_MouseHeld);
    m_machine->SendDelayedMsgToSelf(0.1f, MSG_MouseHeld);
    EXPECT_EQ(1u, smtest::Router().GetQueuedCount());

    Frame(0.1);
    EXPECT_EQ(1, deliveries);
    // The one being delivered was no duplicate, and it is gone after its delivery.
    ASSERT_EQ(1u, smtest::Router().GetQueuedCount());
    EXPECT_FALSE(smtest::Router().GetQueuedMessage(0)->IsDelivered());
    Frame(0.1);
    EXPECT_EQ(2, deliveries);
}

TEST_F(MsgRouterTest, ScopedMessagesDieWithTheirState)
{
    ScriptedMachine& sm = *m_machine;
    sm.ChangeState(1);
    sm.PerformStateChanges();
    sm.SendDelayedMsgToSelf(0.5f, MSG_MouseDown, MSG_SCOPE_STATE);
    sm.SendDelayedMsgToSelf(0.5f, MSG_MouseUp, MSG_SCOPE_SUBSTATE);
    sm.SendDelayedMsgToSelf(0.5f, MSG_MouseOver, MSG_SCOPE_NONE);
    sm.ChangeSubstate(3); // kills the substate scope only
    sm.PerformStateChanges();
    m_log.clear();

    Frame(0.5);
    EXPECT_EQ((Log{"A:msg 1/3 MSG_MouseDown", "A:msg 1/-1 MSG_MouseDown", "A:msg 1/3 MSG_MouseOver",
                   "A:msg 1/-1 MSG_MouseOver"}),
              m_log);

    sm.SendDelayedMsgToSelf(0.5f, MSG_MouseDown, MSG_SCOPE_STATE);
    sm.ChangeState(2);
    sm.PerformStateChanges();
    m_log.clear();
    Frame(0.5);
    EXPECT_TRUE(m_log.empty());
    EXPECT_EQ(0u, smtest::Router().GetQueuedCount());

    // Scope 3 never passes.
    smtest::Router().StoreMsg(0.0f, MSG_Reset, 50, 50, 3, 0, Int(0), false, false);
    EXPECT_TRUE(m_log.empty());
}

TEST_F(MsgRouterTest, PeriodicMessageRepeatsAndStopsWithItsScope)
{
    m_machine->SendPeriodicMsgToSelf(0.0f, MSG_MouseHeld, MSG_SCOPE_STATE);
    ASSERT_EQ(1u, smtest::Router().GetQueuedCount());
    const Message* queued = smtest::Router().GetQueuedMessage(0);
    EXPECT_TRUE(queued->IsPeriodic());
    EXPECT_FLOAT_EQ(0.01f, queued->GetFloat());

    Frame(0.005);
    EXPECT_TRUE(m_machine->m_messages.empty());
    for (int frame = 0; frame < 3; ++frame)
    {
        Frame(0.01);
    }
    ASSERT_EQ(3u, m_machine->m_messages.size());
    // The handler sees integer 0, not the period.
    EXPECT_EQ(MSG_DATA_INT, m_machine->m_messages[0].GetData().GetType());
    EXPECT_EQ(0, m_machine->m_messages[0].GetInt());
    EXPECT_EQ(1u, smtest::Router().GetQueuedCount());

    m_machine->ChangeState(1);
    m_machine->PerformStateChanges();
    Frame(0.01);
    Frame(0.01);
    EXPECT_EQ(3u, m_machine->m_messages.size());
    EXPECT_EQ(0u, smtest::Router().GetQueuedCount());
}

TEST_F(MsgRouterTest, NaNPeriodBecomesTheMinimum)
{
    m_machine->SendPeriodicMsgToSelf(std::numeric_limits<float>::quiet_NaN(), MSG_MouseHeld);
    ASSERT_EQ(1u, smtest::Router().GetQueuedCount());
    EXPECT_FLOAT_EQ(0.01f, smtest::Router().GetQueuedMessage(0)->GetFloat());
    Frame(0.01);
    EXPECT_EQ(1u, m_machine->m_messages.size());
    EXPECT_EQ(1u, smtest::Router().GetQueuedCount());
}

TEST_F(MsgRouterTest, MessagesToMissingOrEmptyObjectsAreDropped)
{
    FakeTaker empty(52, "Empty");
    smtest::Router().StoreMsg(0.2f, MSG_Reset, 52, 50, 0, 0, Int(0), false, false);
    smtest::Router().StoreMsg(0.2f, MSG_Reset, 999, 50, 0, 0, Int(0), false, false);
    Frame(0.2);
    EXPECT_EQ(0u, smtest::Router().GetQueuedCount());
}

TEST_F(MsgRouterTest, PurgeDropsOnlyQueuedScopedMessagesOfTheReceiver)
{
    MsgRouter& router = smtest::Router();
    router.StoreMsg(1.0f, MSG_MouseDown, 50, 50, MSG_SCOPE_STATE, 0, Int(0), false, false);
    router.StoreMsg(1.0f, MSG_MouseUp, 50, 50, MSG_SCOPE_SUBSTATE, 0, Int(0), false, false);
    router.StoreMsg(1.0f, MSG_MouseOver, 50, 50, MSG_SCOPE_NONE, 0, Int(0), false, false);
    router.StoreMsg(1.0f, MSG_MouseDown, 51, 50, MSG_SCOPE_STATE, 0, Int(0), false, false);
    router.PurgeMessagesFor(50);
    ASSERT_EQ(2u, router.GetQueuedCount());
    EXPECT_EQ(MSG_MouseOver, router.GetQueuedMessage(0)->GetName());
    EXPECT_EQ(51u, router.GetQueuedMessage(1)->GetReceiver());
}

TEST_F(MsgRouterTest, HandlersMaySendPurgeAndQueueDuringDelivery)
{
    Log otherLog;
    FakeTaker other(53, "Other");
    auto* otherMachine = new ScriptedMachine(&other, &otherLog, "B", smtest::HandleWhole);
    other.AddStateMachine(otherMachine);
    otherLog.clear();

    m_machine->SetBody(
        [](ScriptedMachine& sm, std::uint32_t event, const Message* message, int, int substate)
        {
            if (event != StateMachine::EVENT_Message || substate != -1)
            {
                return false;
            }
            if (message->GetName() == MSG_MouseDown)
            {
                // During a delayed delivery: to itself at once (nested), to another object at once,
                // and drop its own queued scoped messages, among them the next due one.
                sm.SendMsgToSelf(MSG_Reset);
                sm.SendMsg(MSG_OpenMenu, 53, 1);
                common::Singleton<MsgRouter>::Instance()->PurgeMessagesFor(50);
                sm.SendDelayedMsgToSelf(0.01f, MSG_MouseUp);
            }
            return true;
        });
    m_machine->SendDelayedMsgToSelf(0.1f, MSG_MouseDown, MSG_SCOPE_STATE);
    m_machine->SendDelayedMsgToSelf(0.1f, MSG_MouseMove, MSG_SCOPE_STATE);
    m_machine->SendDelayedMsgToSelf(0.1f, MSG_MouseOver, MSG_SCOPE_NONE);
    m_log.clear();

    Frame(0.1);
    EXPECT_EQ((Log{"A:msg 0/-1 MSG_MouseDown", "A:msg 0/-1 MSG_Reset", "A:msg 0/-1 MSG_MouseOver"}), m_log);
    EXPECT_EQ((Log{"B:msg 0/-1 MSG_OpenMenu"}), otherLog);
    // The message queued during the walk is not due yet and waits for the next frame.
    ASSERT_EQ(1u, smtest::Router().GetQueuedCount());
    EXPECT_EQ(MSG_MouseUp, smtest::Router().GetQueuedMessage(0)->GetName());
    m_log.clear();
    Frame(0.01);
    EXPECT_EQ((Log{"A:msg 0/-1 MSG_MouseUp"}), m_log);
}

TEST_F(MsgRouterTest, ObjectDestroyedByAHandlerGetsNothingMore)
{
    auto* doomed = new FakeTaker(54, "Doomed");
    Log doomedLog;
    doomed->AddStateMachine(new ScriptedMachine(doomed, &doomedLog, "D", smtest::HandleWhole));
    m_machine->SetBody(
        [&doomed](ScriptedMachine&, std::uint32_t event, const Message*, int, int substate)
        {
            if (event == StateMachine::EVENT_Message && substate == -1 && doomed)
            {
                delete doomed;
                doomed = nullptr;
            }
            return true;
        });
    smtest::Router().StoreMsg(0.1f, MSG_Reset, 50, 1, 0, 0, Int(0), false, false);
    smtest::Router().StoreMsg(0.1f, MSG_Reset, 54, 1, 0, 0, Int(0), false, false);
    Frame(0.1);
    EXPECT_EQ(nullptr, doomed);
    EXPECT_EQ((Log{"D:enter 0/-1", "D:deleted"}), doomedLog);
    EXPECT_EQ(0u, smtest::Router().GetQueuedCount());
}
