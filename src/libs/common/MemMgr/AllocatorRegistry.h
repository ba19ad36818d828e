// The process-wide table of pool allocators, one per object size, behind MemMgr::CMngObj's
// operator new and delete (the scene-graph nodes). The table owns its allocators. It is never
// destroyed, so objects freed while the program's statics are torn down still find their pool.
#pragma once

#include <cstddef>

namespace MemMgr
{
class CObjectAllocator;

class AllocatorRegistry
{
public:
    // A block from the pool for this size; on the first use of a size the pool is created with
    // 500 objects per page, no page limit and no debugging, and its first page at once.
    // Throws what CObjectAllocator::Allocate throws.
    static void* Allocate(std::size_t size);
    // Back to the pool of this size. Does nothing when no pool of that size exists; a
    // COAException from the free is dropped.
    static void Free(void* object, std::size_t size);
    // The pool for this size, or null before the first allocation of that size.
    static const CObjectAllocator* GetAllocator(std::size_t size);
    // Tests: after the next `after` allocations (of any size), `count` allocations throw
    // COAException E_NO_MEMORY, as when the system has no memory for a page. (0, 0) ends it.
    static void FailAllocations(unsigned after, unsigned count);
};
} // namespace MemMgr
