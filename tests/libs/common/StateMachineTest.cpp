#include "common/StateMachine.h"
#include "common/IStateImp.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// A state that writes "<name>.Init", "<name>.Action", "<name>.Exit" to a shared log and
// returns whatever exit code the test sets.
class RecordingState : public common::IState
{
public:
    RecordingState(std::string name, std::vector<std::string>& log, int* deaths = nullptr)
        : m_name(std::move(name)), m_log(log), m_deaths(deaths), m_exitCode(m_name)
    {
    }
    ~RecordingState() override
    {
        if (m_deaths)
            ++*m_deaths;
    }
    void Init() override { m_log.push_back(m_name + ".Init"); }
    void Action() override { m_log.push_back(m_name + ".Action"); }
    void Exit() override { m_log.push_back(m_name + ".Exit"); }
    std::string GetExitCode() const override { return m_exitCode; }

    std::string m_name;
    std::vector<std::string>& m_log;
    int* m_deaths;
    std::string m_exitCode;
};

class CStateMachineTest : public ::testing::Test
{
protected:
    RecordingState* Add(const std::string& name)
    {
        auto* state = new RecordingState(name, m_log, &m_deaths);
        EXPECT_TRUE(m_machine.AddState(name, state));
        return state;
    }

    std::vector<std::string> m_log;
    int m_deaths = 0;
    common::CStateMachine m_machine;
};

using Log = std::vector<std::string>;
} // namespace

TEST_F(CStateMachineTest, UpdateBeforeFirstChangeCallsNothing)
{
    Add("A");
    EXPECT_EQ(m_machine.Update(), "");
    EXPECT_TRUE(m_log.empty());
    EXPECT_EQ(m_machine.GetCurrentStateName(), "");
}

TEST_F(CStateMachineTest, StateReturningItsOwnNameStays)
{
    Add("A");
    m_machine.ChangeState("A");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(m_machine.Update(), "A");
    EXPECT_EQ(m_log, (Log{"A.Init", "A.Action", "A.Action", "A.Action"}));
}

TEST_F(CStateMachineTest, ExitCodeNamingAnotherStateSwitchesWithinOneUpdate)
{
    RecordingState* a = Add("A");
    Add("B");
    m_machine.ChangeState("A");
    a->m_exitCode = "B";
    EXPECT_EQ(m_machine.Update(), "B");
    EXPECT_EQ(m_log, (Log{"A.Init", "A.Action", "A.Exit", "B.Init"}));
    EXPECT_EQ(m_machine.GetCurrentStateName(), "B");

    m_log.clear();
    m_machine.Update();
    EXPECT_EQ(m_log, (Log{"B.Action"}));
}

TEST_F(CStateMachineTest, UnknownOrSameNameChangesNothing)
{
    RecordingState* a = Add("A");
    m_machine.ChangeState("nowhere"); // still idle
    EXPECT_EQ(m_machine.GetCurrentStateName(), "");
    m_machine.ChangeState("A");
    m_machine.ChangeState("A");
    a->m_exitCode = "nowhere";
    EXPECT_EQ(m_machine.Update(), "nowhere");
    a->m_exitCode = ""; // the exit code of a freshly built IStateImp
    EXPECT_EQ(m_machine.Update(), "");
    EXPECT_EQ(m_machine.GetCurrentStateName(), "A");
    EXPECT_EQ(m_log, (Log{"A.Init", "A.Action", "A.Action"}));
}

TEST_F(CStateMachineTest, SecondStateUnderTakenNameIsRefusedAndLeftToCaller)
{
    Add("A");
    std::vector<std::string> otherLog;
    RecordingState second("A", otherLog);
    EXPECT_FALSE(m_machine.AddState("A", &second));
    m_machine.ChangeState("A");
    m_machine.Update();
    EXPECT_EQ(m_log, (Log{"A.Init", "A.Action"}));
    EXPECT_TRUE(otherLog.empty());
}

TEST_F(CStateMachineTest, EmptyNameAndNullStateAreRefused)
{
    testsupport::AssertCapture capture;
    RecordingState state("", m_log);
    EXPECT_FALSE(m_machine.AddState("", &state));
    EXPECT_FALSE(m_machine.AddState("A", nullptr));
    EXPECT_EQ(capture.Texts(),
              (std::vector<std::string>{"CStateMachine::AddState - a state needs a non-empty name.",
                                        "CStateMachine::AddState - the state is null."}));
}

TEST(CStateMachine, DestroyingTheMachineDestroysItsStates)
{
    int deaths = 0;
    std::vector<std::string> log;
    {
        common::CStateMachine machine;
        machine.AddState("A", new RecordingState("A", log, &deaths));
        machine.AddState("B", new RecordingState("B", log, &deaths));
        machine.ChangeState("A");
    }
    EXPECT_EQ(deaths, 2);
}

// ---- The game's shape: three IStateImp states built from step objects ----------------------

namespace
{
const char* const kInit = "Init State Exit Code";
const char* const kLoad = "Load State Exit Code";
const char* const kRunning = "Running State Exit Code";

// What the game's steps act on.
struct Game
{
    std::vector<std::string> log;
    int loads = 0;
    int frames = 0;
};

struct GameStep : common::CBaseSMFunctor
{
    explicit GameStep(Game* game) : m_pGame(game) {}
    Game* m_pGame;
};

struct Nothing : GameStep
{
    using GameStep::GameStep;
    void operator()() {}
};

// Init: hands over to Load on its first update.
struct InitAction : GameStep
{
    using GameStep::GameStep;
    void operator()()
    {
        m_pGame->log.push_back("init");
        GetState()->SetExitCode(kLoad);
    }
};

// Load: stays on entry, loads once in its update and moves on to Running.
struct LoadEnter : GameStep
{
    using GameStep::GameStep;
    void operator()() { GetState()->SetExitCode(kLoad); }
};
struct LoadAction : GameStep
{
    using GameStep::GameStep;
    void operator()()
    {
        ++m_pGame->loads;
        m_pGame->log.push_back("load");
        GetState()->SetExitCode(kRunning);
    }
};
struct LoadExit : GameStep
{
    using GameStep::GameStep;
    void operator()() { m_pGame->log.push_back("load done"); }
};

// Running: stays for good.
struct RunningEnter : GameStep
{
    using GameStep::GameStep;
    void operator()()
    {
        m_pGame->log.push_back("running");
        GetState()->SetExitCode(kRunning);
    }
};
struct RunningAction : GameStep
{
    using GameStep::GameStep;
    void operator()() { ++m_pGame->frames; }
};
} // namespace

TEST(IStateImp, StartsWithEmptyExitCodeAndBindsItsSteps)
{
    Game game;
    common::IStateImp state{Nothing(&game), InitAction(&game), Nothing(&game)};
    EXPECT_EQ(state.GetExitCode(), "");
    state.Init();
    EXPECT_EQ(state.GetExitCode(), "");
    state.Action();
    EXPECT_EQ(state.GetExitCode(), kLoad);
    EXPECT_EQ(game.log, (Log{"init"}));
}

TEST(CStateMachine, GameRunsInitLoadRunningThroughUpdates)
{
    Game game;
    common::CStateMachine machine;
    machine.AddState(kInit, new common::IStateImp(Nothing(&game), InitAction(&game), Nothing(&game)));
    machine.AddState(kLoad, new common::IStateImp(LoadEnter(&game), LoadAction(&game), LoadExit(&game)));
    machine.AddState(kRunning,
                     new common::IStateImp(RunningEnter(&game), RunningAction(&game), Nothing(&game)));
    machine.ChangeState(kInit);

    EXPECT_EQ(machine.Update(), kLoad); // frame 1: Init hands over, Load entered
    EXPECT_EQ(machine.GetCurrentStateName(), kLoad);
    EXPECT_EQ(game.loads, 0);

    EXPECT_EQ(machine.Update(), kRunning); // frame 2: Load loads and hands over
    EXPECT_EQ(machine.GetCurrentStateName(), kRunning);
    EXPECT_EQ(game.frames, 0);

    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(machine.Update(), kRunning);
    EXPECT_EQ(game.loads, 1);
    EXPECT_EQ(game.frames, 5);
    EXPECT_EQ(game.log, (Log{"init", "load", "load done", "running"}));
}
