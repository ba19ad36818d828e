// A state of the named-state machine (CStateMachine). The machine calls Init when it enters the
// state, Action once per update while the state is current and Exit when it leaves; after each
// Action it reads the exit code, the name of the state to be in next (its own name to stay).
#pragma once

#include <string>

namespace common
{
class IState
{
public:
    virtual ~IState() = default;

    virtual void Init() = 0;
    virtual void Action() = 0;
    virtual void Exit() = 0;
    virtual std::string GetExitCode() const = 0;
};
} // namespace common
