// What the puzzle menus (start, budget, timer, score) ask of the game: console lines run as
// commands, the focused puzzle and the game's two mode flags, and the run state, which is the
// physics paused flag. Each answers safely without a game. They message each other through
// MenuSend.h.
#pragma once

#include "game/app/MenuSend.h"

#include <string>

namespace QUORB
{
class CPuzzle;

// The line run as a console command, as if typed.
void RunConsoleLine(const std::string& line);
// The game's focused puzzle; null without a game, room or focused face.
CPuzzle* GetFocusedPuzzleOfGame();
bool IsGameInCreatePuzzleMode();
bool IsGameInEditorMode();
// No puzzle run is under way: physics is paused.
bool IsPhysicsPaused();
} // namespace QUORB
