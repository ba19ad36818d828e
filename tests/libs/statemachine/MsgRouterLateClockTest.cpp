// The router after days of play, when the message clock's float seconds are coarser than the
// shortest periods. A separate program because the clock only ever moves forward.
#include "statemachine/MsgRouter.h"

#include "StateMachineTestKit.h"

#include <gtest/gtest.h>

TEST(MsgRouterLateClock, TinyDelayIsNeverDueInTheWalkThatQueuedIt)
{
    using smtest::ScriptedMachine;
    smtest::Clock();
    // About 3.5 days: float spacing there is 0.03125 s, so now + 0.01 rounds back to now.
    smtest::AdvanceClock(300000.0);
    std::vector<std::string> log; // outlives the machine, which logs its deletion
    smtest::FakeTaker taker(60, "Late");
    auto* machine = new ScriptedMachine(&taker, &log, "L", smtest::HandleWhole);
    taker.AddStateMachine(machine);

    machine->SendPeriodicMsgToSelf(0.01f, MSG_MouseHeld);
    ASSERT_EQ(1u, smtest::Router().GetQueuedCount());
    EXPECT_GT(smtest::Router().GetQueuedMessage(0)->GetTime(), smtest::Clock().GetNow());

    smtest::AdvanceClock(0.05);
    smtest::Router().DeliverDelayedMessages(); // would never return if the re-post were due at once
    EXPECT_EQ(1u, machine->m_messages.size());
    EXPECT_EQ(1u, smtest::Router().GetQueuedCount());
    smtest::Router().PurgeAll();
}
