#include "game/GameStates.h"

#include "common/IStateImp.h"
#include "common/StateMachine.h"

namespace QUORB
{
const char kInitStateName[] = "Init State Exit Code";
const char kLoadStateName[] = "Load State Exit Code";
const char kRunningStateName[] = "Running State Exit Code";

namespace
{
// A step that does nothing: most states have nothing to do on entry or exit.
class CNoStep : public common::CBaseSMFunctor
{
public:
    void operator()() {}
};

// A step that only names the state to go to next.
class CGoToStep : public common::CBaseSMFunctor
{
public:
    explicit CGoToStep(const char* next) : m_next(next) {}
    void operator()() { GetState()->SetExitCode(m_next); }

private:
    const char* m_next;
};

// Load: the first room, the cursor and the splash menu are set up here once rooms, graphics
// units and menus exist; then the game runs.
class CLoadStep : public common::CBaseSMFunctor
{
public:
    explicit CLoadStep(CQUORB* game) : m_game(game) {}
    void operator()() { GetState()->SetExitCode(kRunningStateName); }

private:
    CQUORB* m_game;
};

void Add(common::CStateMachine& machine, const char* name, common::IStateImp* state)
{
    if (!machine.AddState(name, state))
        delete state;
}
} // namespace

void RegisterGameStates(common::CStateMachine& machine, CQUORB& game)
{
    Add(machine, kInitStateName, new common::IStateImp(CNoStep(), CGoToStep(kLoadStateName), CNoStep()));
    Add(machine, kLoadStateName, new common::IStateImp(CNoStep(), CLoadStep(&game), CNoStep()));
    // Running names itself, so it stays.
    Add(machine, kRunningStateName,
        new common::IStateImp(CGoToStep(kRunningStateName), CGoToStep(kRunningStateName), CNoStep()));
    machine.ChangeState(kInitStateName);
}
} // namespace QUORB
