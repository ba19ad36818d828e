#include "common/MemMgr/ObjectAllocator.h"

#include "common/Assert.h"
#include "common/MemMgr/OAException.h"

#include <cstring>
#include <new>

namespace MemMgr
{
namespace
{
// Each error is reported at one fixed line of this file, whatever the code around it becomes,
// so reports in "exception.txt" read alike across builds.
const char* const kSourceFile = __FILE__;
constexpr int kLineNoMemory = 171;
constexpr int kLineNoPages = 121;
constexpr int kLineBoundary = 357;
constexpr int kLinePadBytes = 410;
constexpr int kLineOnPage = 328;
constexpr int kLineFreeTwice = 381;

constexpr std::size_t kAlign = 8;

std::size_t RoundUp(std::size_t value)
{
    return (value + kAlign - 1) / kAlign * kAlign;
}
} // namespace

CObjectAllocator::CObjectAllocator(std::size_t objectSize, const SAllocatorConfig& config)
    : m_config(config), m_objectSize(objectSize < sizeof(SLink) ? sizeof(SLink) : objectSize)
{
    // An empty page would leave the free list empty right after it was "refilled".
    if (!DORVO_ASSERT(m_config.objectsPerPage != 0,
                      "CObjectAllocator::CObjectAllocator - objects per page must not be 0."))
        m_config.objectsPerPage = 1;
    m_leadBytes = RoundUp(m_config.padBytes);
    m_blockSize = RoundUp(m_leadBytes + m_objectSize + m_config.padBytes);
    m_pageSize = sizeof(SLink) + m_blockSize * m_config.objectsPerPage;
    if (!m_config.usePlainNewDelete && !m_config.deferFirstPage)
        AllocateNewPage();
}

CObjectAllocator::~CObjectAllocator()
{
    while (m_pPageList)
    {
        SLink* next = m_pPageList->next;
        ::operator delete(m_pPageList);
        m_pPageList = next;
    }
}

std::uint32_t CObjectAllocator::GetObjectsInUse() const
{
    if (m_config.usePlainNewDelete)
        return m_stats.objectsInUsePlain;
    return m_stats.objectsOnPages - m_stats.freeObjects;
}

unsigned char* CObjectAllocator::ObjectStart(unsigned char* page, std::size_t block) const
{
    return page + sizeof(SLink) + block * m_blockSize + m_leadBytes;
}

void CObjectAllocator::FillPads(unsigned char* object)
{
    std::memset(object - m_leadBytes, kPadMark, m_leadBytes);
    std::memset(object + m_objectSize, kPadMark, m_blockSize - m_leadBytes - m_objectSize);
}

void CObjectAllocator::AllocateNewPage()
{
    auto* page = static_cast<unsigned char*>(::operator new(m_pageSize, std::nothrow));
    if (!page)
        throw COAException(COAException::E_NO_MEMORY,
                           "No System Memory Available in CObjectAllocator::AllocateNewPage", kSourceFile,
                           kLineNoMemory);
    if (m_config.debug)
        std::memset(page, kUnallocatedMark, m_pageSize);

    SLink* pageLink = reinterpret_cast<SLink*>(page);
    pageLink->next = m_pPageList;
    m_pPageList = pageLink;

    // Pushed in page order, so the page's last block is handed out first.
    for (std::size_t block = 0; block < m_config.objectsPerPage; ++block)
    {
        unsigned char* object = ObjectStart(page, block);
        SLink* link = reinterpret_cast<SLink*>(object);
        link->next = m_pFreeList;
        m_pFreeList = link;
        if (m_config.debug && m_config.padBytes != 0)
            FillPads(object);
    }

    m_stats.objectsOnPages += m_config.objectsPerPage;
    m_stats.freeObjects += m_config.objectsPerPage;
    ++m_stats.pagesInUse;
}

void* CObjectAllocator::Allocate()
{
    if (m_config.usePlainNewDelete)
    {
        void* object = ::operator new(m_objectSize);
        ++m_stats.objectsInUsePlain;
        ++m_stats.allocations;
        if (m_stats.objectsInUsePlain > m_stats.mostObjectsInUse)
            m_stats.mostObjectsInUse = m_stats.objectsInUsePlain;
        return object;
    }

    if (!m_pFreeList)
    {
        if (m_config.maxPages != 0 && m_stats.pagesInUse == m_config.maxPages)
            throw COAException(COAException::E_NO_PAGES,
                               "No More Pages available in CObjectAllocator::Allocate", kSourceFile,
                               kLineNoPages);
        AllocateNewPage();
    }

    SLink* block = m_pFreeList;
    m_pFreeList = block->next;
    block->next = nullptr;
    if (m_config.debug)
        std::memset(block, kAllocatedMark, m_objectSize);

    --m_stats.freeObjects;
    ++m_stats.allocations;
    if (GetObjectsInUse() > m_stats.mostObjectsInUse)
        ++m_stats.mostObjectsInUse;
    return block;
}

void CObjectAllocator::Free(void* object)
{
    if (!object)
        return;

    if (m_config.usePlainNewDelete)
    {
        ::operator delete(object);
        --m_stats.objectsInUsePlain;
        ++m_stats.deallocations;
        return;
    }

    auto* address = static_cast<unsigned char*>(object);
    if (m_config.debug)
    {
        const unsigned char* page = CheckOnPage(address);
        CheckOnBoundary(page, address);
        CheckOnFreeList(address);
        if (m_config.padBytes != 0)
            CheckPadBytes(address);
        std::memset(address, kFreedMark, m_objectSize);
    }

    SLink* link = reinterpret_cast<SLink*>(address);
    link->next = m_pFreeList;
    m_pFreeList = link;

    ++m_stats.freeObjects;
    ++m_stats.deallocations;
}

unsigned char* CObjectAllocator::CheckOnPage(const unsigned char* address) const
{
    // Compared as integers: relational operators on pointers into different pages are not
    // defined by the language.
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    for (SLink* page = m_pPageList; page; page = page->next)
    {
        const auto start = reinterpret_cast<std::uintptr_t>(page);
        if (start <= at && at < start + m_pageSize)
            return reinterpret_cast<unsigned char*>(page);
    }
    throw COAException(COAException::E_BAD_ADDRESS,
                       "Object Attempting To Free Not On Any Pages in CObjectAllocator::CheckOnPage",
                       kSourceFile, kLineOnPage);
}

void CObjectAllocator::CheckOnBoundary(const unsigned char* page, const unsigned char* address) const
{
    const std::size_t offset = static_cast<std::size_t>(address - page);
    if (offset >= sizeof(SLink) + m_leadBytes && (offset - sizeof(SLink) - m_leadBytes) % m_blockSize == 0)
        return;
    throw COAException(COAException::E_CORRUPTED_BLOCK,
                       "Object Not On A Valid Object Boundary in CObjectAllocator::CheckOnBoundary",
                       kSourceFile, kLineBoundary);
}

void CObjectAllocator::CheckOnFreeList(const unsigned char* address) const
{
    for (const SLink* link = m_pFreeList; link; link = link->next)
    {
        if (reinterpret_cast<const unsigned char*>(link) == address)
            throw COAException(
                COAException::E_MULTIPLE_FREE,
                "Object Attempting To Free Multiple Times in CObjectAllocator::CheckOnFreeList", kSourceFile,
                kLineFreeTwice);
    }
}

void CObjectAllocator::CheckPadBytes(const unsigned char* object) const
{
    const unsigned char* lead = object - m_leadBytes;
    const unsigned char* trail = object + m_objectSize;
    const std::size_t trailBytes = m_blockSize - m_leadBytes - m_objectSize;
    bool intact = true;
    for (std::size_t i = 0; i < m_leadBytes; ++i)
        intact = intact && lead[i] == kPadMark;
    for (std::size_t i = 0; i < trailBytes; ++i)
        intact = intact && trail[i] == kPadMark;
    if (!intact)
        throw COAException(COAException::E_CORRUPTED_BLOCK,
                           "Object has Overwritten Padding Bytes in CObjectAllocator::CheckPadBytes",
                           kSourceFile, kLinePadBytes);
}
} // namespace MemMgr
