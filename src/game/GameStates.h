// The game's top-level phases as named states: Init hands over to Load on the first frame,
// Load sets up the first room and hands over to Running, where the game stays. Each state's
// name is also the exit code that leads to it.
#pragma once

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

// Registers the three states with the machine and enters Init.
void RegisterGameStates(common::CStateMachine& machine, CQUORB& game);
} // namespace QUORB
