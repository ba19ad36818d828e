// Small pieces shared by the message library's tests: a message-taking object that is not a
// game object, a machine whose body is a lambda and which logs every body call, and the clock.
#pragma once

#include "common/Singleton.h"
#include "platform/win32.h"
#include "statemachine/ACMsgTaker.h"
#include "statemachine/Database.h"
#include "statemachine/Message.h"
#include "statemachine/MsgClock.h"
#include "statemachine/MsgRouter.h"
#include "statemachine/StateMachine.h"

#include <functional>
#include <string>
#include <vector>

namespace smtest
{
inline Database& Db()
{
    return *common::Singleton<Database>::Instance();
}
inline MsgRouter& Router()
{
    return *common::Singleton<MsgRouter>::Instance();
}
inline MsgClock& Clock()
{
    return *common::Singleton<MsgClock>::Instance();
}

// Moves the platform clock on and lets the message clock read it, as one frame would.
inline void AdvanceClock(double seconds)
{
    plat::testclock::Advance(seconds);
    Clock().Update();
}

// A message-taking object with a fixed id, name and depth, stored in the Database while alive.
class FakeTaker : public ACMsgTaker
{
public:
    FakeTaker(std::uint32_t id, std::string name, int depth = kNoDepth, bool store = true)
        : m_name(std::move(name)), m_depth(depth)
    {
        SetObjectId(id);
        if (store)
        {
            Db().Store(this);
        }
    }
    ~FakeTaker() override
    {
        ClearStateMachines();
        if (Db().FindById(GetObjectId()) == this)
        {
            Db().Remove(GetObjectId());
        }
    }
    std::string GetObjectName() const override { return m_name; }
    int GetDepth() const override { return m_depth; }
    void SetDepth(int depth) { m_depth = depth; }

private:
    std::string m_name;
    int m_depth;
};

inline const char* EventText(std::uint32_t event)
{
    switch (event)
    {
    case StateMachine::EVENT_Update:
        return "update";
    case StateMachine::EVENT_Message:
        return "msg";
    case StateMachine::EVENT_Forwarded:
        return "fwd";
    case StateMachine::EVENT_Enter:
        return "enter";
    case StateMachine::EVENT_Exit:
        return "exit";
    }
    return "?";
}

// Logs every body call as "<tag>:<event> <state>/<substate>[ <message name>]" and then asks the
// lambda, which by default handles nothing.
class ScriptedMachine : public StateMachine
{
public:
    using Body = std::function<bool(ScriptedMachine&, std::uint32_t, const Message*, int, int)>;

    ScriptedMachine(ACMsgTaker* owner, std::vector<std::string>* log, std::string tag = "M", Body body = {})
        : StateMachine(owner), m_log(log), m_tag(std::move(tag)), m_body(std::move(body))
    {
    }
    ~ScriptedMachine() override
    {
        if (m_log)
        {
            m_log->push_back(m_tag + ":deleted");
        }
    }

    void SetBody(Body body) { m_body = std::move(body); }
    std::vector<Message> m_messages; // every message a body call handled

protected:
    bool HandleStateEvent(std::uint32_t event, const Message* message, int state, int substate) override
    {
        std::string line =
            m_tag + ":" + EventText(event) + " " + std::to_string(state) + "/" + std::to_string(substate);
        if (message)
        {
            line += std::string(" ") + GetMessageNameText(message->GetName());
        }
        if (m_log)
        {
            m_log->push_back(line);
        }
        const bool handled = m_body ? m_body(*this, event, message, state, substate) : false;
        if (message && handled)
        {
            m_messages.push_back(*message);
        }
        return handled;
    }

private:
    std::vector<std::string>* m_log;
    std::string m_tag;
    Body m_body;
};

// A body that handles every event in the state as a whole (substate -1), so the log shows one
// line per event instead of the fallback chain.
inline bool HandleWhole(ScriptedMachine&, std::uint32_t, const Message*, int state, int substate)
{
    return state != StateMachine::kAnyState && substate == StateMachine::kNoSubstate;
}
} // namespace smtest
