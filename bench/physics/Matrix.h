// The benchmark's matrix and its self-check. The matrix runs every scene on every engine built
// in, one configuration after another with the engines side by side, writes one CSV a run, a
// markdown summary (timings, ratios from this one run, growth, behaviour, our final-state
// hashes against the committed ones) and hashes.txt, and prints the summary. The check proves the harness:
// our free fall gives the engine's acceptance numbers, the engines' free falls agree to float precision, and
// one scene run twice ends in the same state.
#pragma once

#include "Options.h"

namespace physbench
{
// Exit codes: 0 done, 1 a run failed or one of ours ended other than committed.
int RunMatrix(const Options& options);
// Exit codes: 0 every check passed, 1 one failed.
int RunCheck(const Options& options);
} // namespace physbench
