#include "game/app/MenuState.h"

#include "common/Singleton.h"
#include "game/app/MenuTable.h"
#include "statemachine/ACMsgTaker.h"
#include "statemachine/Database.h"
#include "statemachine/StateMachine.h"

namespace QUORB
{
int GetMenuState(const std::string& name)
{
    Database* database = common::Singleton<Database>::Instance();
    const std::uint32_t id = MenuTable::FindId(name, "GetMenuState");
    ACMsgTaker* taker = id != 0 ? database->FindById(id) : nullptr;
    StateMachine* machine = taker ? taker->GetActiveStateMachine() : nullptr;
    return machine ? machine->GetState() : -1;
}
} // namespace QUORB
