// Clock, tick count, mutex, debug output and text conversion of the Win32 stand-in.
#include "platform/win32.h"

#include "platform/log.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <cwchar>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace plat
{
namespace
{
// The counter runs in nanoseconds; the frequency is a constant, so it can never be read as 0.
constexpr std::int64_t kFrequency = 1000000000;

struct TestClock
{
    bool enabled = false;
    std::int64_t now = 0; // nanoseconds
    std::int64_t step = 0;
    std::int64_t slept = 0; // nanoseconds moved on by Sleep since the last Set
};

TestClock& Clock()
{
    static TestClock clock;
    return clock;
}

// Seconds to counter ticks, rounded: truncating would make Set(1.001) read as 1000 ms.
std::int64_t Ticks(double seconds)
{
    return static_cast<std::int64_t>(std::llround(seconds * kFrequency));
}

std::int64_t ReadCounter()
{
    TestClock& c = Clock();
    if (c.enabled)
    {
        std::int64_t v = c.now;
        c.now += c.step;
        return v;
    }
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

BOOL QueryPerformanceCounter(LARGE_INTEGER* count)
{
    if (!count)
        return 0;
    count->QuadPart = ReadCounter();
    return 1;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    if (!frequency)
        return 0;
    frequency->QuadPart = kFrequency;
    return 1;
}

DWORD GetTickCount()
{
    TestClock& c = Clock();
    std::int64_t ns;
    if (c.enabled)
        ns = c.now;
    else
    {
        using namespace std::chrono;
        ns = duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
    }
    return static_cast<DWORD>(static_cast<std::uint64_t>(ns / 1000000));
}

void Sleep(DWORD milliseconds)
{
    TestClock& c = Clock();
    if (c.enabled)
    {
        const std::int64_t ticks = static_cast<std::int64_t>(milliseconds) * 1000000;
        c.now += ticks;
        c.slept += ticks;
        return;
    }
    if (milliseconds == 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

namespace testclock
{
void Enable(bool on)
{
    Clock().enabled = on;
}
bool IsEnabled()
{
    return Clock().enabled;
}
void Set(double seconds)
{
    Clock().now = Ticks(seconds);
    Clock().slept = 0;
}
void Advance(double seconds)
{
    Clock().now += Ticks(seconds);
}
double Now()
{
    return static_cast<double>(Clock().now) / kFrequency;
}
void SetAutoAdvance(double stepSeconds)
{
    Clock().step = Ticks(stepSeconds);
}
double SleptSeconds()
{
    return static_cast<double>(Clock().slept) / kFrequency;
}
} // namespace testclock

namespace
{
// A Win32 mutex belongs to the thread that took it, which may take it again and must release
// it as often; a release by any other thread fails instead of breaking the lock.
struct NamedMutex
{
    std::recursive_timed_mutex mutex;
    std::atomic<std::thread::id> owner{};
    int depth = 0; // written only by the owner
};

std::map<std::wstring, std::shared_ptr<NamedMutex>>& Mutexes()
{
    static std::map<std::wstring, std::shared_ptr<NamedMutex>> mutexes;
    return mutexes;
}

std::mutex& MutexTableLock()
{
    static std::mutex lock;
    return lock;
}

NamedMutex& FromHandle(HANDLE handle)
{
    return **static_cast<std::shared_ptr<NamedMutex>*>(handle);
}

void TakeOwnership(NamedMutex& m)
{
    m.owner = std::this_thread::get_id();
    ++m.depth;
}
} // namespace

HANDLE CreateMutexW(void*, BOOL initialOwner, const wchar_t* name)
{
    std::shared_ptr<NamedMutex> m;
    {
        std::lock_guard<std::mutex> guard(MutexTableLock());
        if (name)
        {
            auto& slot = Mutexes()[name];
            if (!slot)
                slot = std::make_shared<NamedMutex>();
            m = slot;
        }
        else
            m = std::make_shared<NamedMutex>();
    }
    // The handle owns one reference; CloseHandle drops it.
    auto* handle = new std::shared_ptr<NamedMutex>(m);
    if (initialOwner)
    {
        m->mutex.lock();
        TakeOwnership(*m);
    }
    return handle;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    if (!handle)
        return WAIT_TIMEOUT;
    NamedMutex& m = FromHandle(handle);
    if (milliseconds == INFINITE)
        m.mutex.lock();
    else if (!m.mutex.try_lock_for(std::chrono::milliseconds(milliseconds)))
        return WAIT_TIMEOUT;
    TakeOwnership(m);
    return WAIT_OBJECT_0;
}

BOOL ReleaseMutex(HANDLE handle)
{
    if (!handle)
        return 0;
    NamedMutex& m = FromHandle(handle);
    if (m.owner != std::this_thread::get_id())
        return 0;
    if (--m.depth == 0)
        m.owner = std::thread::id();
    m.mutex.unlock();
    return 1;
}

BOOL CloseHandle(HANDLE handle)
{
    if (!handle)
        return 0;
    auto* reference = static_cast<std::shared_ptr<NamedMutex>*>(handle);
    // The last handle of a mutex this thread still holds abandons it: a held mutex must not be
    // destroyed. Named mutexes stay in the table, so this concerns unnamed ones.
    NamedMutex& m = **reference;
    if (reference->use_count() == 1 && m.owner == std::this_thread::get_id())
    {
        for (; m.depth > 0; --m.depth)
            m.mutex.unlock();
        m.owner = std::thread::id();
    }
    delete reference;
    return 1;
}

void OutputDebugStringA(const char* text)
{
    if (text && *text)
        WriteLogLine(text);
}

int MultiByteToWideChar(const char* text, int textLength, wchar_t* wide, int wideSize)
{
    if (!text)
        return 0;
    std::string narrow =
        textLength < 0 ? std::string(text) : std::string(text, static_cast<size_t>(textLength));
    std::wstring w = ToWide(narrow);
    int needed = static_cast<int>(w.size()) + (textLength < 0 ? 1 : 0);
    if (wideSize == 0)
        return needed;
    if (!wide || wideSize < needed)
        return 0;
    for (size_t i = 0; i < w.size(); ++i)
        wide[i] = w[i];
    if (textLength < 0)
        wide[w.size()] = L'\0';
    return needed;
}

std::wstring ToWide(const std::string& text)
{
    // UTF-8 decode; an invalid byte becomes U+FFFD so nothing is lost silently.
    std::wstring out;
    size_t i = 0;
    while (i < text.size())
    {
        unsigned char c = static_cast<unsigned char>(text[i]);
        std::uint32_t cp;
        int extra;
        if (c < 0x80)
        {
            cp = c;
            extra = 0;
        }
        else if ((c & 0xE0) == 0xC0)
        {
            cp = c & 0x1F;
            extra = 1;
        }
        else if ((c & 0xF0) == 0xE0)
        {
            cp = c & 0x0F;
            extra = 2;
        }
        else if ((c & 0xF8) == 0xF0)
        {
            cp = c & 0x07;
            extra = 3;
        }
        else
        {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        bool ok = true;
        for (int k = 1; k <= extra; ++k)
        {
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
            {
                ok = false;
                break;
            }
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        if (!ok)
        {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(static_cast<wchar_t>(cp));
        i += extra + 1;
    }
    return out;
}

std::string ToNarrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t wc : text)
    {
        std::uint32_t cp = static_cast<std::uint32_t>(wc);
        if (cp < 0x80)
            out.push_back(static_cast<char>(cp));
        else if (cp < 0x800)
        {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
        else if (cp < 0x10000)
        {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
        else
        {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}
} // namespace plat
