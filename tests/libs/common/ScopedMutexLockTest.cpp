#include "common/ScopedMutexLock.h"
#include "common/NamedMutex.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{
// Whether another thread could take the mutex without waiting (it releases it again).
bool FreeForAnotherThread(const wchar_t* name)
{
    bool taken = false;
    std::thread other(
        [&]
        {
            common::CNamedMutex mutex(name);
            taken = plat::WaitForSingleObject(mutex.GetHandle(), 0) == plat::WAIT_OBJECT_0;
            if (taken)
            {
                plat::ReleaseMutex(mutex.GetHandle());
            }
        });
    other.join();
    return taken;
}
} // namespace

TEST(ScopedMutexLock, HoldsTheNamedMutexForItsScope)
{
    common::CNamedMutex mutex(L"Event System");
    ASSERT_NE(mutex.GetHandle(), nullptr);
    EXPECT_TRUE(FreeForAnotherThread(L"Event System"));
    {
        common::ScopedMutexLock lock(mutex.GetHandle());
        // The same name reaches the same mutex from another thread, and finds it held.
        EXPECT_FALSE(FreeForAnotherThread(L"Event System"));
        EXPECT_TRUE(FreeForAnotherThread(L"Another Mutex"));
    }
    EXPECT_TRUE(FreeForAnotherThread(L"Event System"));
}

TEST(ScopedMutexLock, NullHandleIsNeitherWaitedOnNorReleased)
{
    testsupport::AssertCapture capture;
    common::ScopedMutexLock lock(nullptr);
    EXPECT_TRUE(capture.Reports().empty());
}
