// Our stand-in for the few Win32 calls the engine makes: tick count, performance counter,
// named mutex, debug output, text conversion, and the window-message queue with its window
// procedure, cursor and message box. Types carry only the members we use.
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
using HRESULT = std::int32_t;

// Opaque handles. A window handle names the one main window of the frame driver.
struct HWND__;
struct HINSTANCE__;
struct HICON__;
struct HMENU__;
struct HCURSOR__;
struct HACCEL__;
using HWND = HWND__*;
using HINSTANCE = HINSTANCE__*;
using HICON = HICON__*;
using HMENU = HMENU__*;
using HCURSOR = HCURSOR__*;
using HACCEL = HACCEL__*;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr bool SUCCEEDED(HRESULT hr)
{
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr)
{
    return hr < 0;
}

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

// Suspends the calling thread for at least `milliseconds` (0 only yields). On the test clock it
// moves the clock on by that much instead and returns at once.
void Sleep(DWORD milliseconds);

// Named mutex. The same name gives the same mutex within the process.
HANDLE CreateMutexW(void* attributes, BOOL initialOwner, const wchar_t* name);
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
BOOL ReleaseMutex(HANDLE handle);
BOOL CloseHandle(HANDLE handle);

// Debug output is one line of the log (platform/log.h); a trailing line break is dropped.
void OutputDebugStringA(const char* text);

// Narrow (UTF-8) to wide text. Returns the number of wide characters written including the
// terminating zero, or the size needed when wideSize is 0; 0 on failure.
int MultiByteToWideChar(const char* text, int textLength, wchar_t* wide, int wideSize);
std::wstring ToWide(const std::string& text);
std::string ToNarrow(const std::wstring& text);

// ---- Window messages ----------------------------------------------------------------------

struct POINT
{
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct RECT
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// One queued message. time is the tick count when it was queued; pt is unused (0, 0).
struct MSG
{
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt;
};

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SIZE = 0x0005;        // lParam: client width (low word), height (high word)
constexpr UINT WM_CLOSE = 0x0010;       // default handling destroys the window
constexpr UINT WM_QUIT = 0x0012;        // wParam: the exit code given to PostQuitMessage
constexpr UINT WM_ACTIVATEAPP = 0x001C; // wParam: 1 when the window gains focus, 0 when it loses it
constexpr UINT WM_SETCURSOR = 0x0020;   // lParam: hit-test code (low word), mouse message (high word)
constexpr UINT WM_KEYDOWN = 0x0100;     // wParam: virtual key; lParam: see KeyLParam
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104; // a key pressed while Alt is held (or F10)
constexpr UINT WM_SYSKEYUP = 0x0105;
// Mouse messages: wParam holds the MK_ flags, lParam the client position (x low, y high word).
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A; // wParam high word: signed delta, WHEEL_DELTA a notch
constexpr UINT WM_USER = 0x0400;

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;
constexpr int WHEEL_DELTA = 120;
constexpr LPARAM HTCLIENT = 1;

constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

// Message box styles and results (only the ones the engine passes or reads).
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr UINT MB_ICONWARNING = 0x00000030;
constexpr int IDOK = 1;

// Virtual-key codes (wParam of the key messages).
constexpr WPARAM VK_BACK = 0x08;
constexpr WPARAM VK_TAB = 0x09;
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_SHIFT = 0x10;
constexpr WPARAM VK_CONTROL = 0x11;
constexpr WPARAM VK_MENU = 0x12; // Alt
constexpr WPARAM VK_PAUSE = 0x13;
constexpr WPARAM VK_CAPITAL = 0x14;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_SPACE = 0x20;
constexpr WPARAM VK_PRIOR = 0x21;
constexpr WPARAM VK_NEXT = 0x22;
constexpr WPARAM VK_END = 0x23;
constexpr WPARAM VK_HOME = 0x24;
constexpr WPARAM VK_LEFT = 0x25;
constexpr WPARAM VK_UP = 0x26;
constexpr WPARAM VK_RIGHT = 0x27;
constexpr WPARAM VK_DOWN = 0x28;
constexpr WPARAM VK_SNAPSHOT = 0x2C;
constexpr WPARAM VK_INSERT = 0x2D;
constexpr WPARAM VK_DELETE = 0x2E;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A, as their ASCII codes.
constexpr WPARAM VK_NUMPAD0 = 0x60; // VK_NUMPAD0 + n for digit n
constexpr WPARAM VK_MULTIPLY = 0x6A;
constexpr WPARAM VK_ADD = 0x6B;
constexpr WPARAM VK_SUBTRACT = 0x6D;
constexpr WPARAM VK_DECIMAL = 0x6E;
constexpr WPARAM VK_DIVIDE = 0x6F;
constexpr WPARAM VK_F1 = 0x70; // VK_F1 + n - 1 for Fn, up to VK_F12
constexpr WPARAM VK_F2 = 0x71;
constexpr WPARAM VK_F3 = 0x72;
constexpr WPARAM VK_F4 = 0x73;
constexpr WPARAM VK_F5 = 0x74;
constexpr WPARAM VK_F6 = 0x75;
constexpr WPARAM VK_F7 = 0x76;
constexpr WPARAM VK_F8 = 0x77;
constexpr WPARAM VK_F9 = 0x78;
constexpr WPARAM VK_F10 = 0x79;
constexpr WPARAM VK_F11 = 0x7A;
constexpr WPARAM VK_F12 = 0x7B;
constexpr WPARAM VK_NUMLOCK = 0x90;
constexpr WPARAM VK_SCROLL = 0x91;
constexpr WPARAM VK_LSHIFT = 0xA0;
constexpr WPARAM VK_RSHIFT = 0xA1;
constexpr WPARAM VK_LCONTROL = 0xA2;
constexpr WPARAM VK_RCONTROL = 0xA3;
constexpr WPARAM VK_LMENU = 0xA4;
constexpr WPARAM VK_RMENU = 0xA5;
constexpr WPARAM VK_OEM_1 = 0xBA;      // ';'
constexpr WPARAM VK_OEM_PLUS = 0xBB;   // '='
constexpr WPARAM VK_OEM_COMMA = 0xBC;  // ','
constexpr WPARAM VK_OEM_MINUS = 0xBD;  // '-'
constexpr WPARAM VK_OEM_PERIOD = 0xBE; // '.'
constexpr WPARAM VK_OEM_2 = 0xBF;      // '/'
constexpr WPARAM VK_OEM_3 = 0xC0;      // '`'
constexpr WPARAM VK_OEM_4 = 0xDB;      // '['
constexpr WPARAM VK_OEM_5 = 0xDC;      // backslash
constexpr WPARAM VK_OEM_6 = 0xDD;      // ']'
constexpr WPARAM VK_OEM_7 = 0xDE;      // apostrophe

constexpr std::uint16_t LOWORD(std::uintptr_t v)
{
    return static_cast<std::uint16_t>(v & 0xFFFF);
}
constexpr std::uint16_t HIWORD(std::uintptr_t v)
{
    return static_cast<std::uint16_t>((v >> 16) & 0xFFFF);
}
constexpr LPARAM MAKELPARAM(std::uint16_t low, std::uint16_t high)
{
    return static_cast<LPARAM>(static_cast<std::uint32_t>(low) | (static_cast<std::uint32_t>(high) << 16));
}
// Signed client coordinates of a mouse message.
constexpr int GET_X_LPARAM(LPARAM lp)
{
    return static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lp)));
}
constexpr int GET_Y_LPARAM(LPARAM lp)
{
    return static_cast<std::int16_t>(HIWORD(static_cast<std::uintptr_t>(lp)));
}
constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM wp)
{
    return static_cast<std::int16_t>(HIWORD(wp));
}

// The window procedure a window's messages are dispatched to.
using WNDPROC = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Looks at the queue. Pumps the window backend first, so new input is seen. Returns nonzero
// and fills msg when a message for the window (any window when null) lies in
// [filterMin, filterMax] (both 0: any). WM_QUIT comes only once nothing else is pending, and
// whatever the filter.
// PM_REMOVE takes the message off the queue; PM_NOREMOVE leaves it.
BOOL PeekMessageW(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
// Keyboard translation into character messages is not done: returns 0.
BOOL TranslateMessage(const MSG* msg);
// There are no accelerator tables: always 0, so the caller translates and dispatches.
int TranslateAcceleratorW(HWND window, HACCEL table, MSG* msg);
// Calls the window procedure of msg->hwnd; 0 for thread messages and windows without one.
LRESULT DispatchMessageW(const MSG* msg);
// Calls the window procedure at once, bypassing the queue.
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Appends a message to the queue.
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Default handling: WM_CLOSE sends WM_DESTROY to the window; everything else returns 0.
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Asks for WM_QUIT (wParam = exitCode); it is returned once the queue holds nothing else.
void PostQuitMessage(int exitCode);
// Whether a quit is asked for and not yet taken off the queue by PeekMessageW; exitCode (when
// given) receives the code it was asked with.
bool IsQuitPosted(int* exitCode = nullptr);

// Installs the procedure for a window and returns the previous one (our stand-in for setting
// the window-procedure slot of a window).
WNDPROC SetWindowProc(HWND window, WNDPROC procedure);

// Null hides the system cursor over the window, anything else shows it. Returns the previous.
HCURSOR SetCursor(HCURSOR cursor);
// Display counter as in Win32: the cursor shows while it is >= 0. Returns the new count.
int ShowCursor(BOOL show);
// Any non-null cursor handle: the arrow.
HCURSOR ArrowCursor();
// The system cursor's position in screen pixels. 0 (point unchanged) without a main window.
BOOL GetCursorPos(POINT* point);
// A screen point as a point of the window's client area, in back-buffer pixels: scaled as
// presenting scales the back buffer into the window (full screen, a resized window), so a point
// on a bar beside the picture lies outside the back buffer. 0 (point unchanged) without the
// main window.
BOOL ScreenToClient(HWND window, POINT* point);

// Always writes "MessageBoxW: caption: text" to the log, as one line; with a display it also shows an SDL
// message box and waits for it. Returns IDOK.
int MessageBoxW(HWND window, const wchar_t* text, const wchar_t* caption, UINT type);
// Sets the main window's title.
BOOL SetWindowTextW(HWND window, const wchar_t* text);

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
// Seconds that Sleep has moved the clock on since the last Set.
double SleptSeconds();
} // namespace testclock
} // namespace plat
