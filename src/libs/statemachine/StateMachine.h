// Base of every message-driven behaviour (each menu, the widget manipulation, the console
// window). A derived class supplies HandleStateEvent, the body; the base keeps the current and
// requested state and substate, applies requested changes after the body returns (exit, then
// enter), keeps a short history for popping, and stamps states so that scoped messages sent in
// an earlier state are dropped. The machine is owned by the message-taking object it is given to.
#pragma once

#include "statemachine/MessageName.h"

#include <cstdint>
#include <deque>

class ACMsgTaker;
class Message;
class MessageData;

class StateMachine
{
public:
    // What the body is called for.
    enum Event : std::uint32_t
    {
        EVENT_Update = 1,    // once per frame, no message
        EVENT_Message = 2,   // a message arrived
        EVENT_Forwarded = 3, // a forwarded copy arrived
        EVENT_Enter = 4,     // no message
        EVENT_Exit = 5       // no message; changes may not be requested here
    };

    enum StateChange : std::uint32_t
    {
        NO_STATE_CHANGE = 0,
        STATE_CHANGE_REQUESTED = 1,
        STATE_POP_REQUESTED = 2
    };

    static constexpr int kNoSubstate = -1;
    static constexpr int kAnyState = -1;           // the state argument of global handlers
    static constexpr unsigned kMaxHistory = 10;    // previous states kept for popping
    static constexpr int kMaxChainedChanges = 20;  // changes applied in one go before giving up
    static constexpr float kMinimumPeriod = 0.01f; // seconds

    // owner: the message-taking object (a StateMachineComponent) that will hold this machine.
    explicit StateMachine(ACMsgTaker* owner);
    virtual ~StateMachine();

    StateMachine(const StateMachine&) = delete;
    StateMachine& operator=(const StateMachine&) = delete;

    // Resets, enters state 0 and applies whatever the enter handlers request. The owner calls it
    // whenever the machine becomes active.
    void Initialize();
    // Runs the body for one event: (state, substate) first when in a substate, then (state, -1),
    // then (-1, -1) until a handler returns true; then applies requested changes. Returns the
    // last handler's result; false without calling anything while the owner is suspended.
    bool Process(std::uint32_t event, const Message* message);
    // The frame's update event, while updates are enabled.
    void Update();

    // Requests, applied after the body returns. One request per body call; a second asserts.
    void ChangeState(int newState);
    void ChangeSubstate(int newSubstate);
    // Returns to the newest state of the history, substate -1.
    void PopState();
    // Posts MSG_CHANGE_STATE_DELAYED (integer data: the state) to this object after delay
    // seconds; the body makes the change when it receives it.
    void ChangeStateDelayed(float delay, int newState, std::uint32_t scope);
    // Applies pending requests with their exit and enter events, at most 20 in a row.
    void PerformStateChanges();

    // Sending. The sender is the owner's game-object id; all goes through the message router.
    void SendMsg(MessageName name, std::uint32_t receiver, int value = 0);
    void SendMsgPointer(MessageName name, std::uint32_t receiver, void* data);
    void SendMsgToSelf(MessageName name, std::uint32_t scope = 0, int value = 0);
    void SendDelayedMsgToSelf(float delay, MessageName name, std::uint32_t scope = 0, int value = 0);
    // period: seconds, raised to at least 0.01; the message re-posts itself until its scope dies.
    void SendPeriodicMsgToSelf(float period, MessageName name, std::uint32_t scope = 0);
    void ForwardCopy(MessageName name, std::uint32_t receiver, const MessageData& data);

    ACMsgTaker* GetOwner() const { return m_pOwner; }
    std::uint32_t GetOwnerId() const;
    int GetState() const { return m_state; }
    int GetSubstate() const { return m_substate; }
    int GetNextState() const { return m_nextState; }
    int GetNextSubstate() const { return m_nextSubstate; }
    std::uint32_t GetStateStamp() const { return m_stateStamp; }
    std::uint32_t GetSubstateStamp() const { return m_substateStamp; }
    std::uint32_t GetPendingStateChange() const { return m_stateChange; }
    bool IsStateChangeAllowed() const { return m_stateChangeAllowed; }
    float GetStateEntryTime() const { return m_stateEntryTime; } // message-clock seconds
    float GetTimeInState() const;                                // message-clock seconds
    const std::deque<int>& GetStateHistory() const { return m_history; }
    bool IsUpdateEnabled() const { return m_updateEnabled; }
    void SetUpdateEnabled(bool enabled) { m_updateEnabled = enabled; }
    std::uint32_t GetCopyReceiver() const { return m_copyReceiver; }
    // Every message this machine processes is forwarded to this game object; 0 stops it.
    void SetCopyReceiver(std::uint32_t receiver) { m_copyReceiver = receiver; }

protected:
    // The machine body. message is null for update, enter and exit. Returns true when handled.
    virtual bool HandleStateEvent(std::uint32_t event, const Message* message, int state, int substate) = 0;

private:
    void Reset();
    std::uint32_t StampForScope(std::uint32_t scope) const;
    bool RequestChange(std::uint32_t kind, int nextState, int nextSubstate, const char* notAllowedText,
                       const char* alreadyRequestedText);

    ACMsgTaker* m_pOwner;
    std::uint32_t m_stateStamp;
    std::uint32_t m_substateStamp;
    int m_state;
    int m_nextState;
    int m_substate;
    int m_nextSubstate;
    bool m_stateChangeAllowed;
    std::uint32_t m_stateChange;
    float m_stateEntryTime;
    bool m_updateEnabled;
    std::uint32_t m_copyReceiver;
    std::deque<int> m_history; // oldest first
};
