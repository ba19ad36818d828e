#include "common/MemMgr/AllocatorRegistry.h"

#include "common/MemMgr/OAException.h"
#include "common/MemMgr/ObjectAllocator.h"

#include <map>
#include <memory>

namespace MemMgr
{
namespace
{
using Table = std::map<std::size_t, std::unique_ptr<CObjectAllocator>>;

// Deliberately leaked: a static that owned the pools would be destroyed at exit before (or
// after) the statics whose destructors free nodes into them.
Table& Pools()
{
    static Table* pools = new Table;
    return *pools;
}

unsigned s_successesBeforeFailing = 0;
unsigned s_failuresToCome = 0;
} // namespace

void* AllocatorRegistry::Allocate(std::size_t size)
{
    if (s_successesBeforeFailing > 0)
        --s_successesBeforeFailing;
    else if (s_failuresToCome > 0)
    {
        --s_failuresToCome;
        throw COAException(COAException::E_NO_MEMORY, "no memory for a page (test)", __FILE__, __LINE__);
    }
    std::unique_ptr<CObjectAllocator>& pool = Pools()[size];
    if (!pool)
    {
        SAllocatorConfig config;
        config.usePlainNewDelete = false;
        config.objectsPerPage = 500;
        config.maxPages = 0;
        config.deferFirstPage = false;
        config.debug = false;
        config.padBytes = 0;
        // Left without an entry if the first page cannot be had, so the next call tries again.
        try
        {
            pool = std::make_unique<CObjectAllocator>(size, config);
        }
        catch (...)
        {
            Pools().erase(size);
            throw;
        }
    }
    return pool->Allocate();
}

void AllocatorRegistry::Free(void* object, std::size_t size)
{
    Table& pools = Pools();
    auto found = pools.find(size);
    if (found == pools.end())
        return;
    try
    {
        found->second->Free(object);
    }
    catch (const COAException&)
    {
        // A bad free through operator delete cannot be reported to anyone who could act on it.
    }
}

void AllocatorRegistry::FailAllocations(unsigned after, unsigned count)
{
    s_successesBeforeFailing = count > 0 ? after : 0;
    s_failuresToCome = count;
}

const CObjectAllocator* AllocatorRegistry::GetAllocator(std::size_t size)
{
    const Table& pools = Pools();
    auto found = pools.find(size);
    return found == pools.end() ? nullptr : found->second.get();
}
} // namespace MemMgr
