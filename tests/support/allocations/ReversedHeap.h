// A heap that hands out memory in the reverse of the usual order, for the tests that show a result
// does not depend on where objects lie in memory. The library replaces the global operator new
// and delete (plain, array and nothrow forms) of every program that links it, which is why only
// those programs do. Between a start and a stop, operator new carves each allocation from the top
// of one private block downwards, so every object made then lies below every object made before
// it, and fills it with a byte of the caller's choosing, so that a read of memory nobody wrote
// finds other numbers than on the ordinary heap. Memory carved from the block is never reused:
// delete of it does nothing, and the block lives until the program ends. Outside a start and a
// stop, and once the block is used up, allocations come from the ordinary heap. One thread.
#pragma once

#include <cstddef>

namespace testsupport
{
// Reversed allocation on, from a new block of `bytes`, each allocation filled with `fill`. False
// (and nothing changes) while it is on already or when the block cannot be had.
bool StartReversedHeap(std::size_t bytes, unsigned char fill);
// Reversed allocation off. False when some allocation since the start did not fit in the block
// and came from the ordinary heap.
bool StopReversedHeap();
} // namespace testsupport
