#include "game/menus/PuzzleMenuCalls.h"

#include "common/ConsoleInterface.h"
#include "common/Singleton.h"
#include "engine/phy/DynamicsEngine.h"
#include "game/CQUORB.h"
#include "statemachine/Database.h"

namespace QUORB
{
void SendToMenu(const std::string& menu, MessageName message)
{
    Database* database = common::Singleton<Database>::Instance();
    if (const std::uint32_t id = database->FindIdByName(menu))
        database->SendMsg(id, message);
}

void RunConsoleLine(const std::string& line)
{
    common::ConsoleInterface::Instance().WriteToConsole(line, common::FF_Execute, false);
}

CPuzzle* GetFocusedPuzzleOfGame()
{
    const CQUORB* game = CQUORB::Get();
    return game ? game->GetFocusedPuzzle() : nullptr;
}

bool IsGameInCreatePuzzleMode()
{
    const CQUORB* game = CQUORB::Get();
    return game && game->IsCreatePuzzleMode();
}

bool IsGameInEditorMode()
{
    const CQUORB* game = CQUORB::Get();
    return game && game->IsEditorMode();
}

bool IsPhysicsPaused()
{
    return dorvo::phy::DynamicsEngine::Instance().paused;
}
} // namespace QUORB
