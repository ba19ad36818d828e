#include "common/Singleton.h"

#include <gtest/gtest.h>

#include <new>

namespace
{
struct Counted
{
    static int constructed;
    Counted() { ++constructed; }
    int value = 5;
};
int Counted::constructed = 0;

// Fails its first construction for want of memory, then succeeds.
struct FailsOnce
{
    static int attempts;
    FailsOnce()
    {
        if (++attempts == 1)
        {
            throw std::bad_alloc();
        }
    }
};
int FailsOnce::attempts = 0;
} // namespace

TEST(Singleton, CreatesOnceOnFirstUseAndKeepsTheObject)
{
    EXPECT_EQ(Counted::constructed, 0);
    Counted* first = common::Singleton<Counted>::Instance();
    ASSERT_NE(first, nullptr);
    first->value = 9;
    Counted* second = common::Singleton<Counted>::Instance();
    EXPECT_EQ(first, second);
    EXPECT_EQ(second->value, 9);
    EXPECT_EQ(Counted::constructed, 1);
}

TEST(Singleton, AllocationFailureThrowsOutOfMemoryAndALaterCallRetries)
{
    try
    {
        common::Singleton<FailsOnce>::Instance();
        FAIL() << "expected COutOfMemException";
    }
    catch (const common::COutOfMemException& e)
    {
        EXPECT_EQ(e.GetLine(), 48);
        EXPECT_NE(e.GetFile().find("Singleton"), std::string::npos) << e.GetFile();
        EXPECT_STREQ(e.GetName(), "Out Of Memory Exception");
    }
    FailsOnce* created = common::Singleton<FailsOnce>::Instance();
    EXPECT_NE(created, nullptr);
    EXPECT_EQ(FailsOnce::attempts, 2);
}

namespace
{
struct Tracked
{
    static int alive;
    Tracked() { ++alive; }
    ~Tracked() { --alive; }
    int value = 1;
};
int Tracked::alive = 0;
} // namespace

TEST(Singleton, DestroyDeletesTheInstanceAndTheNextUseMakesAFreshOne)
{
    EXPECT_FALSE(common::Singleton<Tracked>::Exists()) << "asking does not create";
    common::Singleton<Tracked>::Instance()->value = 7;
    EXPECT_TRUE(common::Singleton<Tracked>::Exists());
    common::Singleton<Tracked>::Destroy();
    EXPECT_FALSE(common::Singleton<Tracked>::Exists());
    EXPECT_EQ(Tracked::alive, 0);
    common::Singleton<Tracked>::Destroy(); // nothing to delete
    EXPECT_EQ(common::Singleton<Tracked>::Instance()->value, 1);
    EXPECT_EQ(Tracked::alive, 1);
    common::Singleton<Tracked>::Destroy();
}
