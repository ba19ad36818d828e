#include "statemachine/StateMachine.h"

#include "StateMachineTestKit.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using smtest::FakeTaker;
using smtest::ScriptedMachine;
using Log = std::vector<std::string>;

namespace
{
class StateMachineTest : public ::testing::Test
{
protected:
    void SetUp() override { smtest::Router().PurgeAll(); }
    void TearDown() override { smtest::Router().PurgeAll(); }

    // Puts a fresh machine (not yet initialised) on m_taker; the taker owns it.
    ScriptedMachine* MakeMachine(ScriptedMachine::Body body = smtest::HandleWhole,
                                 const std::string& tag = "M")
    {
        auto* machine = new ScriptedMachine(&m_taker, &m_log, tag, std::move(body));
        m_taker.AddStateMachine(machine);
        m_log.clear();
        return machine;
    }

    // Requests from outside any body and applies at once.
    static void GoTo(StateMachine& machine, int state, int substate = StateMachine::kNoSubstate)
    {
        machine.ChangeState(state);
        machine.PerformStateChanges();
        if (substate >= 0)
        {
            machine.ChangeSubstate(substate);
            machine.PerformStateChanges();
        }
    }

    Log m_log;
    FakeTaker m_taker{40, "Machine"};
};
} // namespace

TEST_F(StateMachineTest, InitializeResetsAndEntersStateZero)
{
    ScriptedMachine* machine = MakeMachine();
    GoTo(*machine, 4, 2);
    machine->SetCopyReceiver(9);
    machine->SetUpdateEnabled(false);
    m_log.clear();

    machine->Initialize();
    EXPECT_EQ((Log{"M:enter 0/-1"}), m_log);
    EXPECT_EQ(0, machine->GetState());
    EXPECT_EQ(-1, machine->GetSubstate());
    EXPECT_EQ(0u, machine->GetStateStamp());
    EXPECT_EQ(0u, machine->GetSubstateStamp());
    EXPECT_TRUE(machine->GetStateHistory().empty());
    EXPECT_TRUE(machine->IsUpdateEnabled());
    EXPECT_EQ(0u, machine->GetCopyReceiver());
    EXPECT_EQ(StateMachine::NO_STATE_CHANGE, machine->GetPendingStateChange());
}

TEST_F(StateMachineTest, UnhandledEventFallsBackToStateThenGlobal)
{
    ScriptedMachine* machine =
        MakeMachine([](ScriptedMachine&, std::uint32_t, const Message*, int, int) { return false; });
    GoTo(*machine, 2, 7);
    m_log.clear();

    EXPECT_FALSE(machine->Process(StateMachine::EVENT_Update, nullptr));
    EXPECT_EQ((Log{"M:update 2/7", "M:update 2/-1", "M:update -1/-1"}), m_log);

    // A substate handler that takes the event stops the chain.
    machine->SetBody([](ScriptedMachine&, std::uint32_t, const Message*, int, int substate)
                     { return substate == 7; });
    m_log.clear();
    EXPECT_TRUE(machine->Process(StateMachine::EVENT_Update, nullptr));
    EXPECT_EQ((Log{"M:update 2/7"}), m_log);
}

TEST_F(StateMachineTest, EnterHandlerRequestsAreAppliedByInitialize)
{
    MakeMachine(
        [](ScriptedMachine& sm, std::uint32_t event, const Message*, int state, int substate)
        {
            if (event == StateMachine::EVENT_Enter && state == 0 && substate == -1)
            {
                sm.ChangeState(6);
            }
            return substate == -1;
        });
    m_log.clear();
    m_taker.GetActiveStateMachine()->Initialize();
    EXPECT_EQ((Log{"M:enter 0/-1", "M:exit 0/-1", "M:enter 6/-1"}), m_log);
    EXPECT_EQ(6, m_taker.GetActiveStateMachine()->GetState());
}

TEST_F(StateMachineTest, StateChangeFromSubstateExitsBothAndPushesHistory)
{
    ScriptedMachine* machine = MakeMachine();
    GoTo(*machine, 1, 2);
    const std::uint32_t stateStamp = machine->GetStateStamp();
    const std::uint32_t substateStamp = machine->GetSubstateStamp();
    smtest::AdvanceClock(0.5);
    m_log.clear();

    GoTo(*machine, 3);
    EXPECT_EQ((Log{"M:exit 1/2", "M:exit 1/-1", "M:enter 3/-1"}), m_log);
    EXPECT_EQ(3, machine->GetState());
    EXPECT_EQ(-1, machine->GetSubstate());
    ASSERT_FALSE(machine->GetStateHistory().empty());
    EXPECT_EQ(1, machine->GetStateHistory().back());
    EXPECT_EQ(stateStamp + 1, machine->GetStateStamp());
    EXPECT_EQ(substateStamp + 1, machine->GetSubstateStamp());
    EXPECT_EQ(smtest::Clock().GetNow(), machine->GetStateEntryTime());
}

TEST_F(StateMachineTest, SubstateChangeExitsOnlyTheSubstate)
{
    ScriptedMachine* machine = MakeMachine();
    GoTo(*machine, 3, 1);
    const auto history = machine->GetStateHistory();
    const std::uint32_t stateStamp = machine->GetStateStamp();
    const std::uint32_t substateStamp = machine->GetSubstateStamp();
    m_log.clear();

    machine->ChangeSubstate(5);
    machine->PerformStateChanges();
    EXPECT_EQ((Log{"M:exit 3/1", "M:enter 3/5"}), m_log);
    EXPECT_EQ(5, machine->GetSubstate());
    EXPECT_EQ(history, machine->GetStateHistory());
    EXPECT_EQ(stateStamp, machine->GetStateStamp());
    EXPECT_EQ(substateStamp + 1, machine->GetSubstateStamp());

    // From the state as a whole only the entry of the substate is seen.
    GoTo(*machine, 8);
    m_log.clear();
    machine->ChangeSubstate(0);
    machine->PerformStateChanges();
    EXPECT_EQ((Log{"M:enter 8/0"}), m_log);
}

TEST_F(StateMachineTest, HistoryKeepsTheLastTenStates)
{
    ScriptedMachine* machine = MakeMachine();
    for (int state = 1; state <= 11; ++state)
    {
        GoTo(*machine, state);
    }
    // Previous states were 0..10; 0 fell off.
    const std::deque<int> expected{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(expected, machine->GetStateHistory());
}

TEST_F(StateMachineTest, PopReturnsToThePreviousState)
{
    ScriptedMachine* machine = MakeMachine();
    GoTo(*machine, 1);
    GoTo(*machine, 3, 4);
    const std::uint32_t stateStamp = machine->GetStateStamp();
    m_log.clear();

    machine->PopState();
    machine->PerformStateChanges();
    EXPECT_EQ((Log{"M:exit 3/4", "M:exit 3/-1", "M:enter 1/-1"}), m_log);
    EXPECT_EQ(1, machine->GetState());
    EXPECT_EQ(-1, machine->GetSubstate());
    EXPECT_EQ((std::deque<int>{0}), machine->GetStateHistory());
    EXPECT_EQ(stateStamp + 1, machine->GetStateStamp());
}

TEST_F(StateMachineTest, PopWithEmptyHistoryFailsAndStays)
{
    testsupport::AssertCapture capture;
    ScriptedMachine* machine = MakeMachine();
    machine->PopState();
    machine->PerformStateChanges();
    EXPECT_EQ((std::vector<std::string>{
                  "StateMachine::PerformStateChanges - Hit bottom of state stack. Can't pop state."}),
              capture.Texts());
    EXPECT_EQ(0, machine->GetState());
    EXPECT_EQ(StateMachine::NO_STATE_CHANGE, machine->GetPendingStateChange());
}

TEST_F(StateMachineTest, RequestsFromExitHandlersAndDoubleRequestsAreReported)
{
    testsupport::AssertCapture capture;
    ScriptedMachine* machine = MakeMachine(
        [](ScriptedMachine& sm, std::uint32_t event, const Message*, int state, int substate)
        {
            if (event == StateMachine::EVENT_Exit && state == 1)
            {
                sm.ChangeState(9);
                sm.ChangeStateDelayed(1.0f, 9, 0);
            }
            return substate == -1;
        });
    GoTo(*machine, 1);
    capture.Clear();

    GoTo(*machine, 2);
    EXPECT_EQ(
        (std::vector<std::string>{"StateMachine::ChangeState - State change not allowed in OnExit.",
                                  "StateMachine::ChangeState - State change already requested.",
                                  "StateMachine::ChangeStateDelayed - State change not allowed in OnExit."}),
        capture.Texts());
    EXPECT_EQ(2, machine->GetState());
    EXPECT_EQ(0u, smtest::Router().GetQueuedCount());

    capture.Clear();
    machine->ChangeState(4);
    machine->ChangeSubstate(6); // overwrites the first request
    EXPECT_EQ((std::vector<std::string>{"StateMachine::ChangeState - State change already requested."}),
              capture.Texts());
    machine->PerformStateChanges();
    EXPECT_EQ(2, machine->GetState());
    EXPECT_EQ(6, machine->GetSubstate());
}

TEST_F(StateMachineTest, FlipFloppingStopsAfterTwentyChanges)
{
    testsupport::AssertCapture capture;
    int enters = 0;
    bool armed = false;
    ScriptedMachine* machine = MakeMachine(
        [&enters, &armed](ScriptedMachine& sm, std::uint32_t event, const Message*, int state, int)
        {
            if (armed && event == StateMachine::EVENT_Enter)
            {
                ++enters;
                sm.ChangeState(state == 1 ? 2 : 1);
            }
            return true;
        });
    armed = true;

    machine->ChangeState(1);
    machine->PerformStateChanges();
    EXPECT_EQ(20, enters);
    ASSERT_EQ((std::vector<std::string>{
                  "StateMachine::PerformStateChanges - States are flip-flopping in an infinite loop."}),
              capture.Texts());
    EXPECT_EQ("safetyCount > 0", capture.Reports()[0].condition);
    // The last request is still pending and is applied by the next processing.
    EXPECT_EQ(StateMachine::STATE_CHANGE_REQUESTED, machine->GetPendingStateChange());
}

TEST_F(StateMachineTest, SuspendedOwnerProcessesNothing)
{
    ScriptedMachine* machine =
        MakeMachine([](ScriptedMachine&, std::uint32_t, const Message*, int, int) { return true; });
    m_taker.SetSuspended(true);
    EXPECT_FALSE(machine->Process(StateMachine::EVENT_Update, nullptr));
    machine->Update();
    EXPECT_TRUE(m_log.empty());
    m_taker.SetSuspended(false);
    EXPECT_TRUE(machine->Process(StateMachine::EVENT_Update, nullptr));
}

TEST_F(StateMachineTest, UpdateOnlyWhileEnabled)
{
    ScriptedMachine* machine = MakeMachine();
    machine->SetUpdateEnabled(false);
    machine->Update();
    EXPECT_TRUE(m_log.empty());
    machine->SetUpdateEnabled(true);
    machine->Update();
    EXPECT_EQ((Log{"M:update 0/-1"}), m_log);
}

TEST_F(StateMachineTest, CopyReceiverGetsEveryMessageAsForwardedCopy)
{
    FakeTaker watcherTaker(41, "Watcher");
    auto* watcher = new ScriptedMachine(&watcherTaker, &m_log, "W", smtest::HandleWhole);
    watcherTaker.AddStateMachine(watcher);
    ScriptedMachine* machine = MakeMachine();
    machine->SetCopyReceiver(41);

    EXPECT_TRUE(smtest::Db().SendMsgString(40, MSG_TextSubmitted, "hello"));
    EXPECT_EQ((Log{"W:fwd 0/-1 MSG_TextSubmitted", "M:msg 0/-1 MSG_TextSubmitted"}), m_log);
    ASSERT_EQ(1u, watcher->m_messages.size());
    EXPECT_TRUE(watcher->m_messages[0].IsForwarded());
    EXPECT_EQ(40u, watcher->m_messages[0].GetSender());
    EXPECT_EQ("hello", watcher->m_messages[0].GetString());

    // Updates are not forwarded.
    m_log.clear();
    machine->Update();
    EXPECT_EQ((Log{"M:update 0/-1"}), m_log);
}

TEST_F(StateMachineTest, ChangeStateDelayedPostsTheRequestToItself)
{
    ScriptedMachine* machine = MakeMachine();
    GoTo(*machine, 1);
    machine->ChangeStateDelayed(0.5f, 7, MSG_SCOPE_STATE);
    ASSERT_EQ(1u, smtest::Router().GetQueuedCount());
    const Message* queued = smtest::Router().GetQueuedMessage(0);
    EXPECT_EQ(MSG_CHANGE_STATE_DELAYED, queued->GetName());
    EXPECT_EQ(7, queued->GetInt());
    EXPECT_EQ(40u, queued->GetSender());
    EXPECT_EQ(40u, queued->GetReceiver());
    EXPECT_EQ(MSG_SCOPE_STATE, queued->GetScope());
    EXPECT_EQ(machine->GetStateStamp(), queued->GetStamp());
    EXPECT_FLOAT_EQ(smtest::Clock().GetNow() + 0.5f, queued->GetTime());
    // The library does not act on it: the state is still 1.
    smtest::AdvanceClock(0.5);
    smtest::Router().DeliverDelayedMessages();
    EXPECT_EQ(1, machine->GetState());
    EXPECT_EQ("M:msg 1/-1 MSG_CHANGE_STATE_DELAYED", m_log.back());
}

TEST_F(StateMachineTest, NullPointerPayloadIsReportedAndNotSent)
{
    testsupport::AssertCapture capture;
    ScriptedMachine* machine = MakeMachine();
    m_log.clear();
    machine->SendMsgPointer(MSG_SetCustomData, 40, nullptr);
    ASSERT_EQ(1u, capture.Reports().size());
    EXPECT_EQ("data && \"NULL Data passed in, must pass valid pointer\"", capture.Reports()[0].text);
    EXPECT_TRUE(m_log.empty());

    int payload = 5;
    machine->SendMsgPointer(MSG_SetCustomData, 40, &payload);
    ASSERT_EQ(1u, machine->m_messages.size());
    EXPECT_EQ(&payload, machine->m_messages[0].GetPointer());
    EXPECT_EQ(MSG_DATA_POINTER, machine->m_messages[0].GetData().GetType());
}
