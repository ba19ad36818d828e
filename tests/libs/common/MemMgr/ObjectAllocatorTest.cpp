#include "common/MemMgr/ObjectAllocator.h"

#include "TestSupport.h"
#include "common/MemMgr/OAException.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

using MemMgr::COAException;
using MemMgr::CObjectAllocator;
using MemMgr::SAllocatorConfig;

namespace
{
SAllocatorConfig Config(std::uint32_t perPage, std::uint32_t maxPages = 0, bool debug = false,
                        std::uint32_t pad = 0)
{
    SAllocatorConfig config;
    config.objectsPerPage = perPage;
    config.maxPages = maxPages;
    config.debug = debug;
    config.padBytes = pad;
    return config;
}

// Runs the call and returns the exception it threw; fails the test when it throws none.
COAException Catch(const std::function<void()>& call)
{
    try
    {
        call();
    }
    catch (const COAException& e)
    {
        return e;
    }
    ADD_FAILURE() << "no COAException thrown";
    return COAException(-1, "", "", 0);
}

bool AllBytes(const void* p, std::size_t n, unsigned char value)
{
    const auto* bytes = static_cast<const unsigned char*>(p);
    for (std::size_t i = 0; i < n; ++i)
        if (bytes[i] != value)
            return false;
    return true;
}
} // namespace

TEST(CObjectAllocator, FirstPageIsMadeAtConstructionUnlessDeferred)
{
    CObjectAllocator pool(24, SAllocatorConfig());
    EXPECT_EQ(pool.GetStats().pagesInUse, 1u);
    EXPECT_EQ(pool.GetStats().freeObjects, 500u);
    pool.Allocate();
    EXPECT_EQ(pool.GetStats().freeObjects, 499u);
    EXPECT_EQ(pool.GetStats().objectsOnPages, 500u);
    EXPECT_EQ(pool.GetObjectsInUse(), 1u);

    SAllocatorConfig deferred;
    deferred.deferFirstPage = true;
    CObjectAllocator lazy(24, deferred);
    EXPECT_EQ(lazy.GetStats().pagesInUse, 0u);
    lazy.Allocate();
    EXPECT_EQ(lazy.GetStats().pagesInUse, 1u);
    EXPECT_EQ(lazy.GetStats().freeObjects, 499u);
}

TEST(CObjectAllocator, NewPageOnlyWhenFreeListRunsDryAndPagesAreKept)
{
    CObjectAllocator pool(16, SAllocatorConfig());
    std::vector<void*> objects;
    for (int i = 0; i < 500; ++i)
        objects.push_back(pool.Allocate());
    EXPECT_EQ(pool.GetStats().pagesInUse, 1u);
    objects.push_back(pool.Allocate());
    EXPECT_EQ(pool.GetStats().pagesInUse, 2u);
    EXPECT_EQ(std::set<void*>(objects.begin(), objects.end()).size(), 501u);

    for (void* p : objects)
        pool.Free(p);
    const MemMgr::SAllocatorStats& stats = pool.GetStats();
    EXPECT_EQ(stats.pagesInUse, 2u);
    EXPECT_EQ(stats.freeObjects, 1000u);
    EXPECT_EQ(stats.objectsOnPages, 1000u);
    EXPECT_EQ(stats.allocations, 501u);
    EXPECT_EQ(stats.deallocations, 501u);
    EXPECT_EQ(stats.mostObjectsInUse, 501u);
    EXPECT_EQ(pool.GetObjectsInUse(), 0u);
}

TEST(CObjectAllocator, FreedBlocksComeBackLastInFirstOut)
{
    CObjectAllocator pool(32, Config(4));
    void* a = pool.Allocate();
    void* b = pool.Allocate();
    // A fresh page hands out its last block first, then walks backwards.
    EXPECT_EQ(static_cast<char*>(a) - static_cast<char*>(b), 32);
    pool.Free(a);
    pool.Free(b);
    EXPECT_EQ(pool.Allocate(), b);
    EXPECT_EQ(pool.Allocate(), a);
}

TEST(CObjectAllocator, PageLimitRaisesCodeOne)
{
    CObjectAllocator pool(8, Config(2, 1));
    void* a = pool.Allocate();
    pool.Allocate();
    COAException e = Catch([&] { pool.Allocate(); });
    EXPECT_EQ(e.GetErrorCode(), 1);
    EXPECT_STREQ(e.what(), "No More Pages available in CObjectAllocator::Allocate");
    EXPECT_STREQ(e.GetName(), "COAException");
    EXPECT_EQ(e.GetLine(), 121);
    const std::string file = e.GetFile();
    EXPECT_EQ(file.substr(file.find_last_of("/\\") + 1), "ObjectAllocator.cpp");
    // The limit counts pages, not objects in use: a freed block is handed out again.
    pool.Free(a);
    EXPECT_EQ(pool.Allocate(), a);
}

TEST(CObjectAllocator, BlocksAreAlignedAndSeparateWhateverTheSizes)
{
    const std::size_t sizes[] = {1, 4, 8, 12, 13, 24, 100};
    const std::uint32_t pads[] = {0, 1, 3, 4, 8, 13};
    for (std::size_t size : sizes)
    {
        for (std::uint32_t pad : pads)
        {
            SCOPED_TRACE("size " + std::to_string(size) + ", pad " + std::to_string(pad));
            CObjectAllocator pool(size, Config(3, 0, true, pad));
            std::vector<char*> objects;
            for (int i = 0; i < 7; ++i) // across three pages
            {
                objects.push_back(static_cast<char*>(pool.Allocate()));
                EXPECT_EQ(reinterpret_cast<std::uintptr_t>(objects.back()) % 8, 0u);
                std::memset(objects.back(), 0x5A, size); // the whole object is usable
            }
            for (char* p : objects)
                pool.Free(p); // the pad check passes: writing the object never touches its pads
            EXPECT_EQ(pool.GetStats().freeObjects, 9u);
        }
    }
}

// A 1-byte object still holds a whole free-list link, so a freed block's link never reaches
// into its trailing pad and the block can be freed again after it was handed out again.
TEST(CObjectAllocator, SmallObjectsGetRoomForTheLink)
{
    CObjectAllocator pool(1, Config(2, 0, true, 1));
    EXPECT_EQ(pool.GetObjectSize(), 8u);
    EXPECT_EQ(pool.GetPageSize(), 8u + 2u * 24u); // link, then 2 x (8 lead + 8 object + 8 trail)
    for (int round = 0; round < 2; ++round)
    {
        SCOPED_TRACE(round);
        void* a = pool.Allocate();
        void* b = pool.Allocate();
        EXPECT_NO_THROW(pool.Free(a));
        EXPECT_NO_THROW(pool.Free(b));
    }
}

TEST(CObjectAllocator, DebugModeMarksMemory)
{
    CObjectAllocator pool(16, Config(2, 0, true, 4));
    auto* object = static_cast<unsigned char*>(pool.Allocate());
    EXPECT_TRUE(AllBytes(object, 16, CObjectAllocator::kAllocatedMark));
    EXPECT_TRUE(AllBytes(object - 8, 8, CObjectAllocator::kPadMark)); // 4 pad bytes, led to 8
    EXPECT_TRUE(AllBytes(object + 16, 8, CObjectAllocator::kPadMark));
    pool.Free(object);
    // The link word covers the first 8 bytes of a free block.
    EXPECT_TRUE(AllBytes(object + 8, 8, CObjectAllocator::kFreedMark));
}

TEST(CObjectAllocator, DebugModeCatchesBadFreesAndLeavesStateAlone)
{
    struct Case
    {
        const char* name;
        std::function<void*(CObjectAllocator&, unsigned char*)> misuse; // returns what to free
        int code;
        const char* message;
        int line;
    };
    static unsigned char elsewhere[64];
    const Case cases[] = {
        {"double free",
         [](CObjectAllocator& pool, unsigned char* object)
         {
             pool.Free(object);
             return object;
         },
         4, "Object Attempting To Free Multiple Times in CObjectAllocator::CheckOnFreeList", 381},
        {"inside a block", [](CObjectAllocator&, unsigned char* object) { return object + 4; }, 2,
         "Object Not On A Valid Object Boundary in CObjectAllocator::CheckOnBoundary", 357},
        {"on the page's link word", [](CObjectAllocator&, unsigned char* object) { return object - 44; }, 2,
         "Object Not On A Valid Object Boundary in CObjectAllocator::CheckOnBoundary", 357},
        {"outside every page", [](CObjectAllocator&, unsigned char*) { return elsewhere + 8; }, 3,
         "Object Attempting To Free Not On Any Pages in CObjectAllocator::CheckOnPage", 328},
        {"one byte past the object",
         [](CObjectAllocator&, unsigned char* object)
         {
             object[16] = 0;
             return object;
         },
         2, "Object has Overwritten Padding Bytes in CObjectAllocator::CheckPadBytes", 410},
        {"one byte before the object",
         [](CObjectAllocator&, unsigned char* object)
         {
             object[-1] = 0;
             return object;
         },
         2, "Object has Overwritten Padding Bytes in CObjectAllocator::CheckPadBytes", 410},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        // 16-byte objects with 4 pad bytes: blocks of 8 + 16 + 8 bytes after an 8-byte page link.
        CObjectAllocator pool(16, Config(2, 0, true, 4));
        auto* first = static_cast<unsigned char*>(pool.Allocate()); // the page's last block
        void* bad = c.misuse(pool, first);
        const MemMgr::SAllocatorStats before = pool.GetStats();
        COAException e = Catch([&] { pool.Free(bad); });
        EXPECT_EQ(e.GetErrorCode(), c.code);
        EXPECT_STREQ(e.what(), c.message);
        EXPECT_EQ(e.GetLine(), c.line);
        EXPECT_EQ(pool.GetStats().freeObjects, before.freeObjects);
        EXPECT_EQ(pool.GetStats().deallocations, before.deallocations);
        // The free list is as it was: its blocks come out distinct and no page is added.
        std::set<void*> handedOut;
        for (std::uint32_t i = 0; i < before.freeObjects; ++i)
            handedOut.insert(pool.Allocate());
        EXPECT_EQ(handedOut.size(), before.freeObjects);
        EXPECT_EQ(pool.GetStats().pagesInUse, 1u);
    }
}

TEST(CObjectAllocator, WithoutDebugNothingIsChecked)
{
    CObjectAllocator pool(16, Config(4));
    auto* object = static_cast<unsigned char*>(pool.Allocate());
    pool.Free(nullptr); // ignored
    EXPECT_EQ(pool.GetStats().deallocations, 0u);
    pool.Free(object);
    EXPECT_EQ(pool.GetStats().freeObjects, 4u);
}

TEST(CObjectAllocator, PlainModeCountsAndForwards)
{
    SAllocatorConfig config;
    config.usePlainNewDelete = true;
    CObjectAllocator pool(40, config);
    EXPECT_EQ(pool.GetStats().pagesInUse, 0u);
    void* a = pool.Allocate();
    void* b = pool.Allocate();
    std::memset(a, 1, 40);
    pool.Free(a);
    void* c = pool.Allocate();
    EXPECT_EQ(pool.GetObjectsInUse(), 2u);
    EXPECT_EQ(pool.GetStats().mostObjectsInUse, 2u);
    EXPECT_EQ(pool.GetStats().allocations, 3u);
    EXPECT_EQ(pool.GetStats().deallocations, 1u);
    pool.Free(b);
    pool.Free(c);
    EXPECT_EQ(pool.GetObjectsInUse(), 0u);
    EXPECT_EQ(pool.GetStats().pagesInUse, 0u);
}

TEST(CObjectAllocator, EmptyPagesAreRefused)
{
    testsupport::AssertCapture capture;
    CObjectAllocator pool(16, Config(0));
    EXPECT_EQ(capture.Texts(), (std::vector<std::string>{
                                   "CObjectAllocator::CObjectAllocator - objects per page must not be 0."}));
    EXPECT_EQ(pool.GetConfig().objectsPerPage, 1u);
    void* a = pool.Allocate();
    void* b = pool.Allocate();
    EXPECT_NE(a, b);
    EXPECT_EQ(pool.GetStats().pagesInUse, 2u);
}

TEST(COAException, LogsUnderItsOwnName)
{
    testsupport::TempWorkDir dir;
    CObjectAllocator pool(16, Config(1, 1));
    pool.Allocate();
    COAException e = Catch([&] { pool.Allocate(); });
    e.LogToFile();
    std::ifstream log(common::ExceptionLogFileName());
    std::string first, second, third;
    std::getline(log, first);
    std::getline(log, second);
    std::getline(log, third);
    EXPECT_EQ(first, "COAException Thrown");
    EXPECT_EQ(second.rfind("In file: ", 0), 0u);
    EXPECT_EQ(third, "Line #121");
}
