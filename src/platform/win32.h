// Our stand-in for the few Win32 calls the engine makes: tick count, performance counter,
// named mutex, debug output and text conversion. Types carry only the members we use.
// The clock can be replaced by a test clock so nothing in a test waits on wall time.
#pragma once

#include <cstdint>
#include <string>

namespace plat
{
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using BOOL = int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using HANDLE = void*;

struct LARGE_INTEGER
{
    std::int64_t QuadPart = 0;
};

constexpr DWORD INFINITE = 0xFFFFFFFFu;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 0x102;

// Performance counter: monotonic ticks; the frequency is fixed for the process and never 0.
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);

// Milliseconds since an arbitrary start; wraps after about 49.7 days like the original.
DWORD GetTickCount();

// Named mutex. The same name gives the same mutex within the process.
HANDLE CreateMutexW(void* attributes, BOOL initialOwner, const wchar_t* name);
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
BOOL ReleaseMutex(HANDLE handle);
BOOL CloseHandle(HANDLE handle);

// Debug output goes to standard error.
void OutputDebugStringA(const char* text);

// Narrow (UTF-8) to wide text. Returns the number of wide characters written including the
// terminating zero, or the size needed when wideSize is 0; 0 on failure.
int MultiByteToWideChar(const char* text, int textLength, wchar_t* wide, int wideSize);
std::wstring ToWide(const std::string& text);
std::string ToNarrow(const std::wstring& text);

// The test clock. While enabled, the performance counter and tick count read it instead of
// the system clock. In auto-advance mode every read of the counter moves it on by the step,
// so code that busy-waits on the counter still finishes.
namespace testclock
{
void Enable(bool on);
bool IsEnabled();
void Set(double seconds);
void Advance(double seconds);
double Now();
void SetAutoAdvance(double stepSeconds); // 0 turns auto-advance off
} // namespace testclock
} // namespace plat
