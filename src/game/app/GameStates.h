// The game's top-level phases as named states built from step objects: Init hands over to Load
// on the first frame; Load's entry puts up the game screen (the cursor at the screen's middle,
// the first splash menu, the empty room) and hands over to Running on the next frame, where the
// game stays. Each state's name is also the exit code that leads to it. The machine owns the
// states; each step knows the game it acts on.
#pragma once

#include "common/IStateImp.h"

namespace common
{
class CStateMachine;
}

namespace QUORB
{
class CQUORB;

extern const char kInitStateName[];    // "Init State Exit Code"
extern const char kLoadStateName[];    // "Load State Exit Code"
extern const char kRunningStateName[]; // "Running State Exit Code"

// A step that does nothing.
class CNoStateStep : public common::CBaseSMFunctor
{
public:
    void operator()() {}
};

// A step that names the state to go to next.
class CExitCodeStep : public common::CBaseSMFunctor
{
public:
    explicit CExitCodeStep(const char* next) : m_next(next) {}
    void operator()() { GetState()->SetExitCode(m_next); }

private:
    const char* m_next;
};

using CInitStateInit = CNoStateStep;
using CInitStateExit = CNoStateStep;
using CLoadStateExit = CNoStateStep;
using CRunningStateInit = CNoStateStep;
using CRunningStateExit = CNoStateStep;

// Load's entry: the game's cursor at (400, 300) and shown, MSG_OpenMenu to "KeshSplashMenu",
// and the empty room.
class CLoadStateInit : public common::CBaseSMFunctor
{
public:
    explicit CLoadStateInit(CQUORB* game) : m_game(game) {}
    void operator()();

private:
    CQUORB* m_game;
};

class CQUORBBaseState : public common::IStateImp
{
public:
    using common::IStateImp::IStateImp;
};

class CInitState : public CQUORBBaseState
{
public:
    CInitState();
};

class CLoadState : public CQUORBBaseState
{
public:
    explicit CLoadState(CQUORB* game);
};

class CRunningState : public CQUORBBaseState
{
public:
    CRunningState();
};

// Adds the three states to the machine in the order Init, Load, Running and enters Init.
void RegisterGameStates(common::CStateMachine& machine, CQUORB& game);
} // namespace QUORB
