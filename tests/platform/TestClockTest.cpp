#include "platform/win32.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <thread>

TEST(TestClock, CounterFollowsSetAndAdvance)
{
    plat::testclock::SetAutoAdvance(0);
    plat::testclock::Set(2.0);
    plat::LARGE_INTEGER f, a, b;
    ASSERT_TRUE(plat::QueryPerformanceFrequency(&f));
    ASSERT_GT(f.QuadPart, 0);
    plat::QueryPerformanceCounter(&a);
    plat::testclock::Advance(0.5);
    plat::QueryPerformanceCounter(&b);
    EXPECT_DOUBLE_EQ(static_cast<double>(b.QuadPart - a.QuadPart) / f.QuadPart, 0.5);
    EXPECT_EQ(plat::GetTickCount(), 2500u);
}

TEST(TestClock, AutoAdvanceEndsABusyWait)
{
    plat::testclock::Set(0.0);
    plat::testclock::SetAutoAdvance(0.001);
    plat::LARGE_INTEGER f, start, now;
    plat::QueryPerformanceFrequency(&f);
    plat::QueryPerformanceCounter(&start);
    int reads = 0;
    do
    {
        plat::QueryPerformanceCounter(&now);
        ++reads;
    } while (static_cast<double>(now.QuadPart - start.QuadPart) / f.QuadPart < 1.0 / 30.0);
    EXPECT_NEAR(reads, 34, 1);
    plat::testclock::SetAutoAdvance(0);
}

TEST(TestClock, SleepMovesTheTestClockOnWithoutWaiting)
{
    plat::testclock::SetAutoAdvance(0);
    plat::testclock::Set(3.0);
    const auto before = std::chrono::steady_clock::now();
    plat::Sleep(250);
    plat::Sleep(0);
    plat::Sleep(5);
    EXPECT_EQ(plat::GetTickCount(), 3255u);
    EXPECT_DOUBLE_EQ(plat::testclock::SleptSeconds(), 0.255);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(200));
    plat::testclock::Set(0.0);
    EXPECT_EQ(plat::testclock::SleptSeconds(), 0.0);
}

TEST(TestClock, SecondsBecomeTheNearestTick)
{
    plat::testclock::SetAutoAdvance(0);
    for (double seconds : {1.001, 1.003, 2.999, 0.3})
    {
        SCOPED_TRACE(seconds);
        plat::testclock::Set(seconds);
        plat::LARGE_INTEGER f, c;
        plat::QueryPerformanceFrequency(&f);
        plat::QueryPerformanceCounter(&c);
        EXPECT_EQ(c.QuadPart,
                  static_cast<std::int64_t>(std::llround(seconds * 1000.0)) * (f.QuadPart / 1000));
        EXPECT_EQ(plat::GetTickCount(), static_cast<plat::DWORD>(std::llround(seconds * 1000.0)));
    }
}

TEST(TestClock, TickCountWrapsAt32Bits)
{
    plat::testclock::SetAutoAdvance(0);
    plat::testclock::Set(4294967.296 + 1.0); // 2^32 ms plus one second
    EXPECT_EQ(plat::GetTickCount(), 1000u);
}

TEST(NamedMutex, SameNameIsSameMutex)
{
    plat::HANDLE a = plat::CreateMutexW(nullptr, 0, L"Event System");
    plat::HANDLE b = plat::CreateMutexW(nullptr, 0, L"Event System");
    EXPECT_EQ(plat::WaitForSingleObject(a, plat::INFINITE), plat::WAIT_OBJECT_0);
    plat::ReleaseMutex(a);
    EXPECT_EQ(plat::WaitForSingleObject(b, 0), plat::WAIT_OBJECT_0);
    plat::ReleaseMutex(b);
    plat::CloseHandle(a);
    plat::CloseHandle(b);
}

TEST(NamedMutex, BelongsToTheThreadThatTookItAsOftenAsItTookIt)
{
    plat::HANDLE a = plat::CreateMutexW(nullptr, 0, L"Owned");
    plat::HANDLE b = plat::CreateMutexW(nullptr, 0, L"Owned");
    auto fromOtherThread = [&]
    {
        plat::DWORD wait = 0;
        plat::BOOL released = 1;
        std::thread other(
            [&]
            {
                released = plat::ReleaseMutex(b);
                wait = plat::WaitForSingleObject(b, 0);
                if (wait == plat::WAIT_OBJECT_0)
                    plat::ReleaseMutex(b);
            });
        other.join();
        return std::make_pair(released, wait);
    };

    EXPECT_FALSE(plat::ReleaseMutex(a)) << "nobody holds it";
    ASSERT_EQ(plat::WaitForSingleObject(a, plat::INFINITE), plat::WAIT_OBJECT_0);
    ASSERT_EQ(plat::WaitForSingleObject(b, 0), plat::WAIT_OBJECT_0) << "the owner may take it again";
    EXPECT_EQ(fromOtherThread(), std::make_pair(plat::BOOL{0}, plat::WAIT_TIMEOUT));
    EXPECT_TRUE(plat::ReleaseMutex(a));
    EXPECT_EQ(fromOtherThread(), std::make_pair(plat::BOOL{0}, plat::WAIT_TIMEOUT))
        << "taken twice, released once";
    EXPECT_TRUE(plat::ReleaseMutex(b));
    EXPECT_FALSE(plat::ReleaseMutex(a));
    EXPECT_EQ(fromOtherThread(), std::make_pair(plat::BOOL{0}, plat::WAIT_OBJECT_0));
    plat::CloseHandle(a);
    plat::CloseHandle(b);
}

TEST(TextConversion, Utf8RoundTrip)
{
    std::string s = "Dorvo \xC3\xA9\xE2\x82\xAC";
    std::wstring w = plat::ToWide(s);
    EXPECT_EQ(w.size(), 8u);
    EXPECT_EQ(plat::ToNarrow(w), s);
    wchar_t buf[16];
    EXPECT_EQ(plat::MultiByteToWideChar("abc", -1, buf, 16), 4);
    EXPECT_EQ(std::wstring(buf), L"abc");
}
