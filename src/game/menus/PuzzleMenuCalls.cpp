#include "game/menus/PuzzleMenuCalls.h"

#include "common/ConsoleInterface.h"
#include "engine/phy/DynamicsEngine.h"
#include "game/app/CQUORB.h"

namespace QUORB
{
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
