#include "AllocationCount.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<bool> g_counting{false};
std::atomic<unsigned> g_allocations{0};
} // namespace

namespace testsupport
{
void StartCountingAllocations()
{
    g_allocations = 0;
    g_counting = true;
}

unsigned StopCountingAllocations()
{
    g_counting = false;
    return g_allocations.load();
}
} // namespace testsupport

void* operator new(std::size_t size)
{
    if (g_counting)
        ++g_allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

// The functors of console commands come from the nothrow form; it must meet the delete below.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (g_counting)
        ++g_allocations;
    return std::malloc(size == 0 ? 1 : size);
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
