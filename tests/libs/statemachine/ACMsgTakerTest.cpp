#include "statemachine/ACMsgTaker.h"

#include "StateMachineTestKit.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using smtest::FakeTaker;
using smtest::ScriptedMachine;
using Log = std::vector<std::string>;

namespace
{
class ACMsgTakerTest : public ::testing::Test
{
protected:
    void SetUp() override { smtest::Router().PurgeAll(); }
    void TearDown() override { smtest::Router().PurgeAll(); }

    ScriptedMachine* Make(const std::string& tag, ScriptedMachine::Body body = smtest::HandleWhole)
    {
        return new ScriptedMachine(&m_taker, &m_log, tag, std::move(body));
    }
    // The tags of the list, first to last.
    std::vector<StateMachine*> List() const
    {
        std::vector<StateMachine*> list;
        for (std::size_t i = 0; i < m_taker.GetStateMachineCount(); ++i)
        {
            list.push_back(m_taker.GetStateMachine(i));
        }
        return list;
    }

    Log m_log;
    FakeTaker m_taker{70, "Taker"};
};
} // namespace

TEST_F(ACMsgTakerTest, WithoutMachinesNothingIsTakenAndUpdateDoesNothing)
{
    EXPECT_EQ(nullptr, m_taker.GetActiveStateMachine());
    EXPECT_FALSE(m_taker.DeliverMsg(Message(0.0f, MSG_Reset, 1, 70, 0, 0, MessageData(), false, false)));
    EXPECT_FALSE(smtest::Db().SendMsg(70, MSG_Reset));
    m_taker.RequestStateMachineChange(ACMsgTaker::SMC_Add, Make("M1"));
    m_taker.UpdateStateMachines();
    EXPECT_EQ(0u, m_taker.GetStateMachineCount());
    EXPECT_EQ(ACMsgTaker::SMC_Add, m_taker.GetPendingStateMachineChange());
    EXPECT_TRUE(m_log.empty());
}

TEST_F(ACMsgTakerTest, AddActivatesAndPopReturnsToTheMachineBelow)
{
    ScriptedMachine* m1 = Make("M1");
    m_taker.AddStateMachine(m1);
    m1->ChangeState(4);
    m1->PerformStateChanges();
    m_taker.AddStateMachine(Make("M2"));
    EXPECT_EQ((Log{"M1:enter 0/-1", "M1:exit 0/-1", "M1:enter 4/-1", "M2:enter 0/-1"}), m_log);
    m_log.clear();

    // Messages and updates go to the last machine only.
    EXPECT_TRUE(smtest::Db().SendMsg(70, MSG_Reset));
    m_taker.UpdateStateMachines();
    EXPECT_EQ((Log{"M2:msg 0/-1 MSG_Reset", "M2:update 0/-1"}), m_log);
    m_log.clear();

    m_taker.RequestStateMachineChange(ACMsgTaker::SMC_Pop);
    m_taker.UpdateStateMachines();
    EXPECT_EQ((Log{"M2:deleted", "M1:enter 0/-1", "M1:update 0/-1"}), m_log);
    EXPECT_EQ(m1, m_taker.GetActiveStateMachine());
    EXPECT_EQ(0, m1->GetState());
}

TEST_F(ACMsgTakerTest, PushGoesToSecondPlaceWithoutInitialising)
{
    ScriptedMachine* m1 = Make("M1");
    ScriptedMachine* m2 = Make("M2");
    m_taker.AddStateMachine(m1);
    m_taker.AddStateMachine(m2);
    m_log.clear();

    ScriptedMachine* m3 = Make("M3");
    m_taker.RequestStateMachineChange(ACMsgTaker::SMC_Push, m3);
    m_taker.UpdateStateMachines();
    EXPECT_EQ((std::vector<StateMachine*>{m1, m3, m2}), List());
    EXPECT_EQ((Log{"M2:update 0/-1"}), m_log);
}

TEST_F(ACMsgTakerTest, PushOntoShortListActivates)
{
    ScriptedMachine* m1 = Make("M1");
    m_taker.PushStateMachine(m1);
    ScriptedMachine* m2 = Make("M2");
    m_taker.PushStateMachine(m2);
    EXPECT_EQ((std::vector<StateMachine*>{m1, m2}), List());
    EXPECT_EQ((Log{"M1:enter 0/-1", "M2:enter 0/-1"}), m_log);
}

TEST_F(ACMsgTakerTest, ReplaceResetAndRequeue)
{
    ScriptedMachine* m1 = Make("M1");
    ScriptedMachine* m2 = Make("M2");
    ScriptedMachine* m3 = Make("M3");
    m_taker.AddStateMachine(m1);
    m_taker.AddStateMachine(m2);
    m_taker.AddStateMachine(m3);
    m_log.clear();

    m_taker.RequeueStateMachine();
    EXPECT_EQ((std::vector<StateMachine*>{m1, m3, m2}), List());
    EXPECT_EQ((Log{"M2:enter 0/-1"}), m_log);
    m_log.clear();

    ScriptedMachine* m4 = Make("M4");
    m_taker.ReplaceStateMachine(m4);
    EXPECT_EQ((std::vector<StateMachine*>{m1, m3, m4}), List());
    EXPECT_EQ((Log{"M2:deleted", "M4:enter 0/-1"}), m_log);
    m_log.clear();

    m4->ChangeState(2);
    m4->PerformStateChanges();
    m_log.clear();
    m_taker.ResetStateMachine();
    EXPECT_EQ((Log{"M4:enter 0/-1"}), m_log);
    EXPECT_EQ(0, m4->GetState());

    // With one machine, requeue initialises it again.
    FakeTaker single(71, "Single");
    auto* only = new ScriptedMachine(&single, &m_log, "S", smtest::HandleWhole);
    single.AddStateMachine(only);
    m_log.clear();
    single.RequeueStateMachine();
    EXPECT_EQ((Log{"S:enter 0/-1"}), m_log);
}

TEST_F(ACMsgTakerTest, ListOperationsWithoutMachinesAreReported)
{
    testsupport::AssertCapture capture;
    m_taker.ResetStateMachine();
    m_taker.ReplaceStateMachine(Make("R"));
    m_taker.RequeueStateMachine();
    m_taker.PopStateMachine();
    m_taker.AddStateMachine(Make("M1"));
    m_taker.PopStateMachine();
    EXPECT_EQ((std::vector<std::string>{
                  "StateMachineComponent::ResetStateMachine - No existing state machine to reset.",
                  "StateMachineComponent::ReplaceStateMachine - No existing state machine to replace.",
                  "StateMachineComponent::RequeueStateMachine - No existing state machines to requeue.",
                  "StateMachineComponent::PopStateMachine - Can't pop last state machine.",
                  "StateMachineComponent::PopStateMachine - Can't pop last state machine."}),
              capture.Texts());
    EXPECT_EQ(1u, m_taker.GetStateMachineCount());
    // The refused replacement was not kept.
    EXPECT_EQ("R:deleted", m_log.front());

    capture.Clear();
    m_taker.RequestStateMachineChange(static_cast<ACMsgTaker::StateMachineChange>(9));
    m_taker.UpdateStateMachines();
    EXPECT_EQ((std::vector<std::string>{"StateMachineComponent::ProcessStateMachineChangeRequests - invalid "
                                        "StateMachineChange request."}),
              capture.Texts());
}

TEST_F(ACMsgTakerTest, ChangesDropScopedMessagesExceptPush)
{
    ScriptedMachine* m1 = Make("M1");
    m_taker.AddStateMachine(m1);
    m_taker.AddStateMachine(Make("M2"));
    ScriptedMachine* active = static_cast<ScriptedMachine*>(m_taker.GetActiveStateMachine());
    active->SendDelayedMsgToSelf(1.0f, MSG_MouseDown, MSG_SCOPE_STATE);
    active->SendDelayedMsgToSelf(1.0f, MSG_MouseUp, MSG_SCOPE_NONE);

    m_taker.RequestStateMachineChange(ACMsgTaker::SMC_Push, Make("M3"));
    m_taker.UpdateStateMachines();
    EXPECT_EQ(2u, smtest::Router().GetQueuedCount());

    m_taker.RequestStateMachineChange(ACMsgTaker::SMC_Replace, Make("M4"));
    m_taker.UpdateStateMachines();
    ASSERT_EQ(1u, smtest::Router().GetQueuedCount());
    EXPECT_EQ(MSG_MouseUp, smtest::Router().GetQueuedMessage(0)->GetName());
}

TEST_F(ACMsgTakerTest, NewRequestReplacesThePendingOneAndDropsItsMachine)
{
    m_taker.AddStateMachine(Make("M1"));
    m_taker.RequestStateMachineChange(ACMsgTaker::SMC_Add, Make("Unused"));
    ScriptedMachine* kept = Make("Kept");
    m_taker.RequestStateMachineChange(ACMsgTaker::SMC_Add, kept);
    EXPECT_EQ("Unused:deleted", m_log.back());
    m_taker.UpdateStateMachines();
    EXPECT_EQ(kept, m_taker.GetActiveStateMachine());

    // Asking twice with the same machine keeps it alive for the request.
    ScriptedMachine* twice = Make("Twice");
    m_taker.RequestStateMachineChange(ACMsgTaker::SMC_Push, twice);
    m_taker.RequestStateMachineChange(ACMsgTaker::SMC_Add, twice);
    EXPECT_NE("Twice:deleted", m_log.back());
    m_taker.UpdateStateMachines();
    EXPECT_EQ(twice, m_taker.GetActiveStateMachine());
    EXPECT_EQ(3u, m_taker.GetStateMachineCount());
}

TEST_F(ACMsgTakerTest, RequestsFromEveryEnterStopAfterTwenty)
{
    testsupport::AssertCapture capture;
    int enters = 0;
    auto body = [this, &enters](ScriptedMachine&, std::uint32_t event, const Message*, int state, int)
    {
        if (event == StateMachine::EVENT_Enter && state == 0)
        {
            ++enters;
            m_taker.RequestStateMachineChange(ACMsgTaker::SMC_Reset);
        }
        return true;
    };
    m_taker.AddStateMachine(Make("M1", body));
    enters = 0;
    m_taker.UpdateStateMachines();
    EXPECT_EQ(20, enters);
    EXPECT_EQ((std::vector<std::string>{"StateMachineComponent::ProcessStateMachineChangeRequests - State "
                                        "machiens are flip-flopping in an infinite loop."}),
              capture.Texts());
    EXPECT_EQ(ACMsgTaker::SMC_Reset, m_taker.GetPendingStateMachineChange());
}
