// Counting a program's allocations, for the tests that show a frame allocates nothing. The
// library replaces the global operator new (plain and nothrow) and delete of every program that
// links it, which is why only those programs do: between a start and a stop, each allocation
// through operator new counts one. Not thread-aware beyond the counter itself.
#pragma once

namespace testsupport
{
// Counting on, from zero.
void StartCountingAllocations();
// Counting off; the allocations since the start.
unsigned StopCountingAllocations();
} // namespace testsupport
