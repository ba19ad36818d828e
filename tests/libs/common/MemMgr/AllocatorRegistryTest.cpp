#include "common/MemMgr/AllocatorRegistry.h"
#include "common/MemMgr/MngObj.h"
#include "common/MemMgr/ObjectAllocator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

using MemMgr::AllocatorRegistry;

namespace
{
// Sizes no other test in this program allocates, so each test sees fresh pools.
struct Node : MemMgr::CMngObj
{
    char payload[200];
};
struct BigNode : Node
{
    char more[120];
};
} // namespace

TEST(AllocatorRegistry, FirstUseOfASizeMakesAPoolWithOnePage)
{
    EXPECT_EQ(AllocatorRegistry::GetAllocator(72), nullptr);
    void* p = AllocatorRegistry::Allocate(72);
    const MemMgr::CObjectAllocator* pool = AllocatorRegistry::GetAllocator(72);
    ASSERT_NE(pool, nullptr);
    EXPECT_EQ(pool->GetStats().pagesInUse, 1u);
    EXPECT_EQ(pool->GetStats().objectsOnPages, 500u);
    EXPECT_EQ(pool->GetStats().freeObjects, 499u);
    EXPECT_FALSE(pool->GetConfig().debug);

    AllocatorRegistry::Free(p, 72);
    EXPECT_EQ(pool->GetStats().freeObjects, 500u);
    EXPECT_EQ(AllocatorRegistry::Allocate(72), p); // the block freed last comes back first
    AllocatorRegistry::Free(p, 72);
}

TEST(AllocatorRegistry, FreeWithAnUnknownSizeDoesNothing)
{
    int local = 0;
    AllocatorRegistry::Free(&local, 7777);
    EXPECT_EQ(AllocatorRegistry::GetAllocator(7777), nullptr);
}

TEST(CMngObj, NewAndDeleteGoThroughThePoolOfTheDynamicSize)
{
    Node* node = new Node;
    Node* big = new BigNode;
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(big) % 8, 0u);
    const MemMgr::CObjectAllocator* small = AllocatorRegistry::GetAllocator(sizeof(Node));
    const MemMgr::CObjectAllocator* large = AllocatorRegistry::GetAllocator(sizeof(BigNode));
    ASSERT_NE(small, nullptr);
    ASSERT_NE(large, nullptr);
    const std::uint32_t smallBefore = small->GetObjectsInUse(); // the static holder's node too
    EXPECT_EQ(large->GetObjectsInUse(), 1u);

    delete big; // through the base: the virtual destructor passes the dynamic size
    EXPECT_EQ(large->GetObjectsInUse(), 0u);
    EXPECT_EQ(small->GetObjectsInUse(), smallBefore);
    delete node;
    EXPECT_EQ(small->GetObjectsInUse(), smallBefore - 1);

    std::unique_ptr<Node> owned(new BigNode);
    EXPECT_EQ(large->GetObjectsInUse(), 1u);
    owned.reset();
    EXPECT_EQ(large->GetObjectsInUse(), 0u);
}

// Freed while the program's statics are destroyed, after every test has run: the registry
// must still be there.
namespace
{
struct Holder
{
    ~Holder() { delete node; }
    Node* node = new Node;
} g_holder;
} // namespace
