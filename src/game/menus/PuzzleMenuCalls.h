// What the puzzle menus (start, budget, timer, score) ask of the game and of each other: menus by
// name, console lines run as commands, the focused puzzle and the game's two mode flags, and
// the run state, which is the physics paused flag. Each answers safely without a game.
#pragma once

#include "statemachine/MessageName.h"

#include <string>

namespace QUORB
{
class CPuzzle;

// MSG_* without data to the menu of that game-object name; dropped when there is none.
void SendToMenu(const std::string& menu, MessageName message);
// The line run as a console command, as if typed.
void RunConsoleLine(const std::string& line);
// The game's focused puzzle; null without a game, room or focused face.
CPuzzle* GetFocusedPuzzleOfGame();
bool IsGameInCreatePuzzleMode();
bool IsGameInEditorMode();
// No puzzle run is under way: physics is paused.
bool IsPhysicsPaused();
} // namespace QUORB
