// The final states our engine reaches in the benchmark's scenes, committed as hashes
// (SceneRunner::StateHash) and, for the runs with sleep, the steps at which bodies fell asleep.
// They were taken from the engine before its step was made faster, and every later change must
// keep them to the bit: the order of bodies, pairs, contacts and float operations is what makes
// a run, and a change that moves one float moves the hash. The physics tests replay the runs
// that fit into the suite's time (the smaller rain, the column, a short pyramid, the accuracy
// cases); the benchmark's matrix compares every run it makes, the full-size scenes included.
#pragma once

#include <cstdint>
#include <string>

namespace physcene
{
struct CommittedHash
{
    const char* run;     // physbench::OurRunName: "rain_spread_n100 c6k6_shock", "... steps240"
    std::uint64_t state; // SceneRunner::StateHash after the last step
    // FNV-1a (64 bits) over (body id, step) of every step at which a body fell asleep, in the
    // order they fell asleep (SleepLog); 0 where it is not kept.
    std::uint64_t sleep;
};

// The entry of the run, or null for a run that has none.
const CommittedHash* FindCommittedHash(const std::string& run);
} // namespace physcene
