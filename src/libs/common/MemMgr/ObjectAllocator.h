// A fixed-size pool: hands out blocks of one object size from pages of many blocks and keeps
// freed blocks on an intrusive free list, so allocation and free are a pop and a push. In debug
// mode it fills memory with marker bytes and checks every free for misuse (COAException).
// The allocator owns its pages; blocks still in use when it is destroyed become invalid.
#pragma once

#include <cstddef>
#include <cstdint>

namespace MemMgr
{
struct SAllocatorConfig
{
    bool usePlainNewDelete = false; // only count, and forward to the global new and delete
    std::uint32_t objectsPerPage = 500;
    std::uint32_t maxPages = 0;  // 0: no limit
    bool deferFirstPage = false; // allocate no page until the first Allocate
    bool debug = false;          // marker fills and the checks on free
    std::uint32_t padBytes = 0;  // guard bytes on each side of every object
};

// Counters since construction; "objects" are blocks.
struct SAllocatorStats
{
    std::uint32_t pagesInUse = 0;
    std::uint32_t objectsOnPages = 0; // every block ever created on a page
    std::uint32_t freeObjects = 0;
    std::uint32_t mostObjectsInUse = 0;
    std::uint32_t allocations = 0;
    std::uint32_t deallocations = 0;
    std::uint32_t objectsInUsePlain = 0; // plain mode only
};

class CObjectAllocator
{
public:
    // Debug marker bytes.
    static constexpr unsigned char kUnallocatedMark = 0xAA; // a new page
    static constexpr unsigned char kAllocatedMark = 0xBB;   // an object when handed out
    static constexpr unsigned char kFreedMark = 0xCC;       // an object when freed
    static constexpr unsigned char kPadMark = 0xDD;         // every pad area

    // Objects smaller than a pointer are given a pointer's room: a free block holds the
    // free-list link in its first bytes. Throws COAException (code 0) when the first page
    // cannot be had.
    CObjectAllocator(std::size_t objectSize, const SAllocatorConfig& config);
    ~CObjectAllocator();

    CObjectAllocator(const CObjectAllocator&) = delete;
    CObjectAllocator& operator=(const CObjectAllocator&) = delete;

    // Throws COAException: code 0 when the system has no memory for a page, code 1 when no
    // block is free and the page limit is reached.
    void* Allocate();
    // Null is ignored. In debug mode throws COAException (codes 2 to 4) before anything changes
    // when the pointer is not a block in use.
    void Free(void* object);

    const SAllocatorStats& GetStats() const { return m_stats; }
    std::uint32_t GetObjectsInUse() const;
    const SAllocatorConfig& GetConfig() const { return m_config; }
    // The size of one object as handed out (at least a pointer's size).
    std::size_t GetObjectSize() const { return m_objectSize; }
    // Bytes of one page: the link to the next page, then the blocks.
    std::size_t GetPageSize() const { return m_pageSize; }

private:
    // A free block's first bytes; a page's first bytes likewise link to the next older page.
    struct SLink
    {
        SLink* next;
    };

    void AllocateNewPage();
    unsigned char* ObjectStart(unsigned char* page, std::size_t block) const;
    void FillPads(unsigned char* object);

    // The debug checks on free, in the order they run.
    unsigned char* CheckOnPage(const unsigned char* address) const;
    void CheckOnBoundary(const unsigned char* page, const unsigned char* address) const;
    void CheckOnFreeList(const unsigned char* address) const;
    void CheckPadBytes(const unsigned char* object) const;

    SLink* m_pPageList = nullptr; // the newest page
    SLink* m_pFreeList = nullptr;
    SAllocatorConfig m_config;
    std::size_t m_pageSize = 0;
    std::size_t m_objectSize = 0;
    SAllocatorStats m_stats;

    // Layout of a block, kept 8-byte aligned whatever the pad size: the leading pad area is the
    // pad rounded up to 8; the trailing area runs from the object's end to the next block and
    // holds at least the pad.
    std::size_t m_leadBytes = 0;
    std::size_t m_blockSize = 0;
};
} // namespace MemMgr
