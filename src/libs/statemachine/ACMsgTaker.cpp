#include "statemachine/ACMsgTaker.h"

#include "common/Assert.h"
#include "common/Singleton.h"
#include "statemachine/MsgRouter.h"
#include "statemachine/StateMachine.h"

#include <utility>

ACMsgTaker::ACMsgTaker() = default;

ACMsgTaker::~ACMsgTaker()
{
    ClearStateMachines();
}

bool ACMsgTaker::DeliverMsg(Message message)
{
    StateMachine* machine = GetActiveStateMachine();
    if (!machine)
    {
        return false;
    }
    return machine->Process(StateMachine::EVENT_Message, &message);
}

void ACMsgTaker::UpdateStateMachines()
{
    if (m_stateMachineList.empty())
    {
        return;
    }
    ProcessStateMachineChangeRequests();
    if (StateMachine* machine = GetActiveStateMachine())
    {
        machine->Update();
    }
}

StateMachine* ACMsgTaker::GetActiveStateMachine() const
{
    return m_stateMachineList.empty() ? nullptr : m_stateMachineList.back().get();
}

StateMachine* ACMsgTaker::GetStateMachine(std::size_t index) const
{
    return index < m_stateMachineList.size() ? m_stateMachineList[index].get() : nullptr;
}

void ACMsgTaker::AppendAndInitialize(std::unique_ptr<StateMachine> machine)
{
    StateMachine* added = machine.get();
    m_stateMachineList.push_back(std::move(machine));
    if (added)
    {
        added->Initialize();
    }
}

void ACMsgTaker::AddStateMachine(StateMachine* machine)
{
    AppendAndInitialize(std::unique_ptr<StateMachine>(machine));
}

void ACMsgTaker::RequestStateMachineChange(StateMachineChange change, StateMachine* machine)
{
    m_changeRequest = change;
    // The same machine asked for twice stays pending; resetting to it would delete it.
    if (machine != m_pRequestMachine.get())
    {
        m_pRequestMachine.reset(machine);
    }
}

void ACMsgTaker::ProcessStateMachineChangeRequests()
{
    int safetyCount = kMaxChainedRequests;
    while (m_changeRequest != SMC_None)
    {
        --safetyCount;
        if (safetyCount < 0)
        {
            break;
        }
        DORVO_ASSERT(safetyCount > 0,
                     "StateMachineComponent::ProcessStateMachineChangeRequests - State machiens "
                     "are flip-flopping in an infinite loop.");

        // Taken and cleared first, so the machines initialised below may request again.
        const StateMachineChange change = m_changeRequest;
        std::unique_ptr<StateMachine> machine = std::move(m_pRequestMachine);
        m_changeRequest = SMC_None;

        // The machine losing or gaining activity must not receive messages scoped to the old
        // one's states. A push leaves the active machine as it is.
        if (change != SMC_Push)
        {
            common::Singleton<MsgRouter>::Instance()->PurgeMessagesFor(m_objectId);
        }

        switch (change)
        {
        case SMC_Reset:
            ResetStateMachine();
            break;
        case SMC_Replace:
            ReplaceStateMachine(machine.release());
            break;
        case SMC_Push:
            PushStateMachine(machine.release());
            break;
        case SMC_Requeue:
            RequeueStateMachine();
            break;
        case SMC_Add:
            AppendAndInitialize(std::move(machine));
            break;
        case SMC_Pop:
            PopStateMachine();
            break;
        default:
            DORVO_ASSERT(false, "StateMachineComponent::ProcessStateMachineChangeRequests - invalid "
                                "StateMachineChange request.");
            break;
        }
    }
}

void ACMsgTaker::ResetStateMachine()
{
    StateMachine* machine = GetActiveStateMachine();
    if (!DORVO_ASSERT(machine != nullptr,
                      "StateMachineComponent::ResetStateMachine - No existing state machine to reset."))
    {
        return;
    }
    machine->Initialize();
}

void ACMsgTaker::ReplaceStateMachine(StateMachine* machine)
{
    std::unique_ptr<StateMachine> replacement(machine);
    if (!DORVO_ASSERT(!m_stateMachineList.empty(),
                      "StateMachineComponent::ReplaceStateMachine - No existing state machine to replace."))
    {
        return;
    }
    m_stateMachineList.pop_back();
    AppendAndInitialize(std::move(replacement));
}

void ACMsgTaker::PushStateMachine(StateMachine* machine)
{
    std::unique_ptr<StateMachine> pushed(machine);
    if (m_stateMachineList.size() < 2)
    {
        AppendAndInitialize(std::move(pushed));
        return;
    }
    // Second place, below the active machine: it waits there until the machines above are popped.
    m_stateMachineList.insert(m_stateMachineList.begin() + 1, std::move(pushed));
}

void ACMsgTaker::RequeueStateMachine()
{
    if (!DORVO_ASSERT(!m_stateMachineList.empty(),
                      "StateMachineComponent::RequeueStateMachine - No existing state machines to requeue."))
    {
        return;
    }
    if (m_stateMachineList.size() >= 2)
    {
        std::unique_ptr<StateMachine> active = std::move(m_stateMachineList.back());
        m_stateMachineList.pop_back();
        m_stateMachineList.insert(m_stateMachineList.begin() + 1, std::move(active));
    }
    if (StateMachine* machine = GetActiveStateMachine())
    {
        machine->Initialize();
    }
}

void ACMsgTaker::PopStateMachine()
{
    if (!DORVO_ASSERT(m_stateMachineList.size() >= 2,
                      "StateMachineComponent::PopStateMachine - Can't pop last state machine."))
    {
        return;
    }
    m_stateMachineList.pop_back();
    if (StateMachine* machine = GetActiveStateMachine())
    {
        machine->Initialize();
    }
}

void ACMsgTaker::ClearStateMachines()
{
    while (!m_stateMachineList.empty())
    {
        m_stateMachineList.pop_back();
    }
}
