#include "game/app/GameStates.h"

#include "common/Singleton.h"
#include "common/StateMachine.h"
#include "engine/gfx/gui/CCursor.h"
#include "game/app/CQUORB.h"
#include "game/app/MenuTable.h"
#include "platform/log.h"
#include "statemachine/Database.h"

namespace QUORB
{
const char kInitStateName[] = "Init State Exit Code";
const char kLoadStateName[] = "Load State Exit Code";
const char kRunningStateName[] = "Running State Exit Code";

void CLoadStateInit::operator()()
{
    m_game->CreateCursor();
    if (dorvo::gfx::CCursor* cursor = m_game->GetCursor())
    {
        cursor->SetPosition(400, 300);
        cursor->SetVisible(true, false);
    }
    Database* database = common::Singleton<Database>::Instance();
    if (const std::uint32_t splash = database->FindIdByName(MenuTable::kKeshSplashMenu))
        database->SendMsg(splash, MSG_OpenMenu);
    else
        DORVO_LOG("CLoadStateInit: there is no \"KeshSplashMenu\" to open; the game starts without its "
                  "splash screens");
    m_game->LoadEmptyRoom();
}

CInitState::CInitState() : CQUORBBaseState(CInitStateInit(), CExitCodeStep(kLoadStateName), CInitStateExit())
{
}

CLoadState::CLoadState(CQUORB* game)
    : CQUORBBaseState(CLoadStateInit(game), CExitCodeStep(kRunningStateName), CLoadStateExit())
{
}

CRunningState::CRunningState()
    : CQUORBBaseState(CRunningStateInit(), CExitCodeStep(kRunningStateName), CRunningStateExit())
{
}

namespace
{
void Add(common::CStateMachine& machine, const char* name, common::IStateImp* state)
{
    if (!machine.AddState(name, state))
        delete state;
}
} // namespace

void RegisterGameStates(common::CStateMachine& machine, CQUORB& game)
{
    Add(machine, kInitStateName, new CInitState());
    Add(machine, kLoadStateName, new CLoadState(&game));
    Add(machine, kRunningStateName, new CRunningState());
    machine.ChangeState(kInitStateName);
}
} // namespace QUORB
