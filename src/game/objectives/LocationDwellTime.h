// How long the star object must stay inside a location objective: one setting of the game,
// read when a location is built and whenever its dwell countdown restarts.
#pragma once

namespace QUORB
{
// Seconds; 3.0 unless changed.
extern float LocationDwellTime;
} // namespace QUORB
