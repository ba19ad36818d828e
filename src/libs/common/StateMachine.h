// The small machine of named states that drives the game's top-level phases (init, load,
// running). A state asks to move on by returning another registered state's name as its exit
// code after its Action; the machine owns its states. Unrelated to the message-driven machines.
#pragma once

#include <map>
#include <memory>
#include <string>

namespace common
{
class IState;

class CStateMachine
{
public:
    CStateMachine();
    virtual ~CStateMachine();

    CStateMachine(const CStateMachine&) = delete;
    CStateMachine& operator=(const CStateMachine&) = delete;

    // Takes ownership of the state and returns true, unless the name is empty, the state is
    // null or the name is already taken: then nothing changes, the earlier state stays and the
    // caller keeps (and must delete) the one it offered.
    bool AddState(const std::string& name, IState* state);

    // Leaves the current state (Exit) and enters the named one (Init). An unknown name or the
    // current state's own name changes nothing.
    void ChangeState(const std::string& name);

    // Runs the current state's Action and follows its exit code within this same update. Does
    // nothing before the first ChangeState. Returns the exit code read in this update (or the
    // last one read when idle).
    const std::string& Update();

    // Empty until the first ChangeState.
    const std::string& GetCurrentStateName() const { return m_currentName; }

private:
    std::string m_currentName;
    std::string m_lastExitCode;
    std::map<std::string, std::unique_ptr<IState>> m_states;
};
} // namespace common
