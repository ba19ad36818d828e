#include "ReversedHeap.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace
{
// Blocks of every start, kept to the end so that objects carved from them stay valid; a block
// comes from malloc, so the leak checker scans it for the pointers it holds.
constexpr int kMaxBlocks = 8;
struct Block
{
    char* begin = nullptr;
    char* end = nullptr;
};
Block g_blocks[kMaxBlocks];
int g_blockCount = 0;

bool g_reversing = false;
char* g_top = nullptr; // the lowest byte handed out of the current block
unsigned char g_fill = 0;
bool g_overflowed = false;

bool Carved(const void* p)
{
    const char* at = static_cast<const char*>(p);
    for (int i = 0; i < g_blockCount; ++i)
        if (at >= g_blocks[i].begin && at < g_blocks[i].end)
            return true;
    return false;
}

void* Allocate(std::size_t size)
{
    if (size == 0)
        size = 1;
    if (g_reversing)
    {
        const Block& block = g_blocks[g_blockCount - 1];
        const std::uintptr_t low = reinterpret_cast<std::uintptr_t>(block.begin);
        const std::uintptr_t top = reinterpret_cast<std::uintptr_t>(g_top);
        constexpr std::uintptr_t kAlign = __STDCPP_DEFAULT_NEW_ALIGNMENT__;
        if (top - low >= size + kAlign)
        {
            const std::uintptr_t at = (top - size) & ~(kAlign - 1);
            g_top = reinterpret_cast<char*>(at);
            std::memset(g_top, g_fill, size);
            return g_top;
        }
        g_overflowed = true;
    }
    return std::malloc(size);
}

void Release(void* p)
{
    if (p != nullptr && !Carved(p))
        std::free(p);
}
} // namespace

namespace testsupport
{
bool StartReversedHeap(std::size_t bytes, unsigned char fill)
{
    if (g_reversing || g_blockCount == kMaxBlocks)
        return false;
    char* begin = static_cast<char*>(std::malloc(bytes));
    if (begin == nullptr)
        return false;
    g_blocks[g_blockCount++] = Block{begin, begin + bytes};
    g_top = begin + bytes;
    g_fill = fill;
    g_overflowed = false;
    g_reversing = true;
    return true;
}

bool StopReversedHeap()
{
    g_reversing = false;
    return !g_overflowed;
}
} // namespace testsupport

void* operator new(std::size_t size)
{
    if (void* p = Allocate(size))
        return p;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    if (void* p = Allocate(size))
        return p;
    throw std::bad_alloc();
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}

void operator delete(void* p) noexcept
{
    Release(p);
}

void operator delete[](void* p) noexcept
{
    Release(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    Release(p);
}

void operator delete[](void* p, std::size_t) noexcept
{
    Release(p);
}

void operator delete(void* p, const std::nothrow_t&) noexcept
{
    Release(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    Release(p);
}
