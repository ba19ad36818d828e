#include "statemachine/StateMachine.h"

#include "common/Assert.h"
#include "common/Singleton.h"
#include "statemachine/ACMsgTaker.h"
#include "statemachine/Message.h"
#include "statemachine/MsgClock.h"
#include "statemachine/MsgRouter.h"

namespace
{
float ClockNow()
{
    return common::Singleton<MsgClock>::Instance()->GetNow();
}

MsgRouter& Router()
{
    return *common::Singleton<MsgRouter>::Instance();
}
} // namespace

StateMachine::StateMachine(ACMsgTaker* owner) : m_pOwner(owner)
{
    Reset();
}

StateMachine::~StateMachine() = default;

void StateMachine::Reset()
{
    m_stateStamp = 0;
    m_substateStamp = 0;
    m_state = 0;
    m_nextState = 0;
    m_substate = kNoSubstate;
    m_nextSubstate = 0;
    m_stateChangeAllowed = true;
    m_stateChange = NO_STATE_CHANGE;
    m_stateEntryTime = 0.0f;
    m_updateEnabled = true;
    m_copyReceiver = 0;
    m_history.clear();
}

void StateMachine::Initialize()
{
    Reset();
    Process(EVENT_Enter, nullptr);
}

std::uint32_t StateMachine::GetOwnerId() const
{
    return m_pOwner ? m_pOwner->GetObjectId() : 0;
}

float StateMachine::GetTimeInState() const
{
    return ClockNow() - m_stateEntryTime;
}

bool StateMachine::Process(std::uint32_t event, const Message* message)
{
    if (m_pOwner && m_pOwner->IsSuspended())
    {
        return false;
    }
    if (m_copyReceiver != 0 && event == EVENT_Message && message)
    {
        ForwardCopy(message->GetName(), m_copyReceiver, message->GetData());
    }

    bool handled = false;
    if (m_substate >= 0)
    {
        handled = HandleStateEvent(event, message, m_state, m_substate);
    }
    if (!handled)
    {
        handled = HandleStateEvent(event, message, m_state, kNoSubstate);
        if (!handled)
        {
            handled = HandleStateEvent(event, message, kAnyState, kNoSubstate);
        }
    }
    PerformStateChanges();
    return handled;
}

void StateMachine::Update()
{
    if (m_updateEnabled)
    {
        Process(EVENT_Update, nullptr);
    }
}

bool StateMachine::RequestChange(std::uint32_t kind, int nextState, int nextSubstate,
                                 const char* notAllowedText, const char* alreadyRequestedText)
{
    DORVO_ASSERT(m_stateChangeAllowed, notAllowedText);
    DORVO_ASSERT(m_stateChange == NO_STATE_CHANGE, alreadyRequestedText);
    if (!m_stateChangeAllowed)
    {
        return false;
    }
    // A second request overwrites the first: the later decision of the body wins.
    m_stateChange = kind;
    m_nextState = nextState;
    m_nextSubstate = nextSubstate;
    return true;
}

void StateMachine::ChangeState(int newState)
{
    RequestChange(STATE_CHANGE_REQUESTED, newState, kNoSubstate,
                  "StateMachine::ChangeState - State change not allowed in OnExit.",
                  "StateMachine::ChangeState - State change already requested.");
}

void StateMachine::ChangeSubstate(int newSubstate)
{
    // Reported with ChangeState's wording on purpose: both are the same request underneath.
    RequestChange(STATE_CHANGE_REQUESTED, m_state, newSubstate,
                  "StateMachine::ChangeState - State change not allowed in OnExit.",
                  "StateMachine::ChangeState - State change already requested.");
}

void StateMachine::PopState()
{
    RequestChange(STATE_POP_REQUESTED, m_state, kNoSubstate,
                  "StateMachine::PopState - State change not allowed in OnExit.",
                  "StateMachine::PopState - State change already requested.");
}

void StateMachine::ChangeStateDelayed(float delay, int newState, std::uint32_t scope)
{
    if (!DORVO_ASSERT(m_stateChangeAllowed,
                      "StateMachine::ChangeStateDelayed - State change not allowed in OnExit."))
    {
        return;
    }
    SendDelayedMsgToSelf(delay, MSG_CHANGE_STATE_DELAYED, scope, newState);
}

void StateMachine::PerformStateChanges()
{
    int safetyCount = kMaxChainedChanges;
    while (m_stateChange != NO_STATE_CHANGE)
    {
        --safetyCount;
        if (safetyCount < 0)
        {
            break;
        }
        DORVO_ASSERT(safetyCount > 0,
                     "StateMachine::PerformStateChanges - States are flip-flopping in an infinite loop.");

        m_stateChangeAllowed = false;
        if (m_substate >= 0)
        {
            HandleStateEvent(EVENT_Exit, nullptr, m_state, m_substate);
        }
        if (m_nextSubstate < 0)
        {
            HandleStateEvent(EVENT_Exit, nullptr, m_state, kNoSubstate);
        }

        if (m_stateChange == STATE_CHANGE_REQUESTED)
        {
            if (m_nextSubstate < 0)
            {
                m_history.push_back(m_state);
                if (m_history.size() > kMaxHistory)
                {
                    m_history.pop_front();
                }
            }
            m_state = m_nextState;
            m_substate = m_nextSubstate;
        }
        else if (m_stateChange == STATE_POP_REQUESTED)
        {
            if (DORVO_ASSERT(
                    !m_history.empty(),
                    "StateMachine::PerformStateChanges - Hit bottom of state stack. Can't pop state."))
            {
                m_state = m_history.back();
                m_substate = kNoSubstate;
                m_history.pop_back();
            }
        }
        else
        {
            DORVO_ASSERT(false, "StateMachine::PerformStateChanges - Invalid state change.");
        }

        ++m_substateStamp;
        if (m_nextSubstate < 0)
        {
            ++m_stateStamp;
        }
        m_stateEntryTime = ClockNow();
        m_stateChange = NO_STATE_CHANGE;
        m_stateChangeAllowed = true;

        HandleStateEvent(EVENT_Enter, nullptr, m_state, m_substate);
    }
}

std::uint32_t StateMachine::StampForScope(std::uint32_t scope) const
{
    if (scope == MSG_SCOPE_STATE)
    {
        return m_stateStamp;
    }
    if (scope == MSG_SCOPE_SUBSTATE)
    {
        return m_substateStamp;
    }
    return 0;
}

void StateMachine::SendMsg(MessageName name, std::uint32_t receiver, int value)
{
    MessageData data;
    data.SetInt(value);
    Router().StoreMsg(0.0f, name, receiver, GetOwnerId(), 0, 0, data, false, false);
}

void StateMachine::SendMsgPointer(MessageName name, std::uint32_t receiver, void* data)
{
    // A null payload is not sent: every receiver of pointer data dereferences it.
    if (!DORVO_ASSERT(data && "NULL Data passed in, must pass valid pointer",
                      "data && \"NULL Data passed in, must pass valid pointer\""))
    {
        return;
    }
    MessageData payload;
    payload.SetPointer(data);
    Router().StoreMsg(0.0f, name, receiver, GetOwnerId(), 0, 0, payload, false, false);
}

void StateMachine::SendMsgToSelf(MessageName name, std::uint32_t scope, int value)
{
    SendDelayedMsgToSelf(0.0f, name, scope, value);
}

void StateMachine::SendDelayedMsgToSelf(float delay, MessageName name, std::uint32_t scope, int value)
{
    MessageData data;
    data.SetInt(value);
    const std::uint32_t self = GetOwnerId();
    Router().StoreMsg(delay, name, self, self, scope, StampForScope(scope), data, false, false);
}

void StateMachine::SendPeriodicMsgToSelf(float period, MessageName name, std::uint32_t scope)
{
    // Written so that a NaN period also becomes the minimum: it would be routed at once and
    // re-post itself at once, without end.
    if (!(period >= kMinimumPeriod))
    {
        period = kMinimumPeriod;
    }
    MessageData data;
    data.SetFloat(period);
    const std::uint32_t self = GetOwnerId();
    Router().StoreMsg(period, name, self, self, scope, StampForScope(scope), data, true, false);
}

void StateMachine::ForwardCopy(MessageName name, std::uint32_t receiver, const MessageData& data)
{
    Router().StoreMsg(0.0f, name, receiver, GetOwnerId(), 0, 0, data, false, true);
}
