// The abstract message-taking object: what the message database, the router and the state
// machines need of a game object's state-machine component, without knowing game objects. It
// owns the object's list of state machines, of which the last is the active one, and applies
// requested changes to that list between frames so that no machine is deleted while it runs.
// The engine's StateMachineComponent derives from it and supplies the owner's id, name and depth.
#pragma once

#include "statemachine/Message.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class StateMachine;

class ACMsgTaker
{
public:
    // Requested list changes, applied by ProcessStateMachineChangeRequests.
    enum StateMachineChange : std::uint32_t
    {
        SMC_None = 0,
        SMC_Reset = 1,   // initialise the active machine again
        SMC_Replace = 2, // delete the active machine, activate the request machine
        SMC_Push = 3,    // insert the request machine (see PushStateMachine)
        SMC_Requeue = 4, // move the active machine back to second place
        SMC_Add = 5,     // append and activate the request machine
        SMC_Pop = 6      // delete the active machine, activate the one below
    };

    static constexpr int kNoDepth = -1000; // depth of an object without a 2D component
    static constexpr int kMaxChainedRequests = 20;

    ACMsgTaker();
    virtual ~ACMsgTaker();

    ACMsgTaker(const ACMsgTaker&) = delete;
    ACMsgTaker& operator=(const ACMsgTaker&) = delete;

    // The owning game object's id (0 until the derived class sets it) and name.
    std::uint32_t GetObjectId() const { return m_objectId; }
    virtual std::string GetObjectName() const = 0;
    // The owner's 2D drawing depth, kNoDepth without one. Broadcasts go in ascending depth.
    virtual int GetDepth() const = 0;

    // Hands the message to the active machine as a message event; false without a machine.
    bool DeliverMsg(Message message);

    // The frame's work: apply pending list changes, then update the active machine.
    void UpdateStateMachines();

    // Takes ownership, appends and initialises at once: the machine becomes active.
    void AddStateMachine(StateMachine* machine);
    // Stores a list change for the next frame. Takes ownership of machine (replace, push, add);
    // a new request replaces a pending one, whose machine is then deleted unused.
    void RequestStateMachineChange(StateMachineChange change, StateMachine* machine = nullptr);
    StateMachineChange GetPendingStateMachineChange() const { return m_changeRequest; }
    // Applies pending requests, including those made by the machines they initialise, at most 20.
    void ProcessStateMachineChangeRequests();

    // The list operations behind the requests. Call them directly only outside every machine body.
    void ResetStateMachine();
    void ReplaceStateMachine(StateMachine* machine);
    void PushStateMachine(StateMachine* machine);
    void RequeueStateMachine();
    void PopStateMachine();
    // Deletes every machine, last first.
    void ClearStateMachines();

    StateMachine* GetActiveStateMachine() const;
    std::size_t GetStateMachineCount() const { return m_stateMachineList.size(); }
    StateMachine* GetStateMachine(std::size_t index) const; // null past the end

    // While suspended no machine of this object processes anything.
    bool IsSuspended() const { return m_suspended; }
    void SetSuspended(bool suspended) { m_suspended = suspended; }

protected:
    void SetObjectId(std::uint32_t id) { m_objectId = id; }

private:
    void AppendAndInitialize(std::unique_ptr<StateMachine> machine);

    std::uint32_t m_objectId = 0;
    bool m_suspended = false;
    std::vector<std::unique_ptr<StateMachine>> m_stateMachineList; // the last is active
    StateMachineChange m_changeRequest = SMC_None;
    std::unique_ptr<StateMachine> m_pRequestMachine;
};
