// The message queue, window procedures, cursor and message box of the Win32 stand-in. One
// thread-message queue holds posted messages and the window backend's input in arrival order;
// a quit request is answered only once that queue is empty, as in Win32.
#include "platform/frame_driver.h"
#include "platform/log.h"
#include "platform/presentation.h"
#include "platform/win32.h"
#include "platform/window_backend.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <map>

namespace plat
{
namespace
{
struct MessageState
{
    std::deque<MSG> queue;
    bool quitPending = false;
    int quitCode = 0;
    std::map<HWND, WNDPROC> procedures;
    HCURSOR cursor = ArrowCursor();
    int showCount = 0; // the cursor shows while >= 0
};

MessageState& State()
{
    static MessageState state;
    return state;
}

bool CursorVisible()
{
    const MessageState& s = State();
    return s.cursor != nullptr && s.showCount >= 0;
}

void ApplyCursor()
{
    if (detail::HasBackend())
        detail::Backend().SetCursorVisible(CursorVisible());
}

bool Matches(const MSG& m, HWND window, UINT filterMin, UINT filterMax)
{
    if (window && m.hwnd != window)
        return false;
    if (filterMin == 0 && filterMax == 0)
        return true;
    return m.message >= filterMin && m.message <= filterMax;
}
} // namespace

BOOL PeekMessageW(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    if (!msg)
        return 0;
    if (detail::HasBackend())
        detail::Backend().Pump();
    MessageState& s = State();
    for (auto it = s.queue.begin(); it != s.queue.end(); ++it)
    {
        if (!Matches(*it, window, filterMin, filterMax))
            continue;
        *msg = *it;
        if (removeFlags & PM_REMOVE)
            s.queue.erase(it);
        return 1;
    }
    if (s.quitPending && s.queue.empty())
    {
        MSG quit;
        quit.message = WM_QUIT;
        quit.wParam = static_cast<WPARAM>(s.quitCode);
        quit.time = GetTickCount();
        // As in Win32, the message filter never holds back the quit.
        *msg = quit;
        if (removeFlags & PM_REMOVE)
            s.quitPending = false;
        return 1;
    }
    return 0;
}

BOOL TranslateMessage(const MSG*)
{
    return 0;
}

int TranslateAcceleratorW(HWND, HACCEL, MSG*)
{
    return 0;
}

LRESULT DispatchMessageW(const MSG* msg)
{
    if (!msg || !msg->hwnd)
        return 0;
    return SendMessageW(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!window)
        return 0;
    auto it = State().procedures.find(window);
    if (it == State().procedures.end() || !it->second)
        return DefWindowProcW(window, message, wParam, lParam);
    return it->second(window, message, wParam, lParam);
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG m;
    m.hwnd = window;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = GetTickCount();
    State().queue.push_back(m);
    return 1;
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE)
        SendMessageW(window, WM_DESTROY, 0, 0);
    return 0;
}

void PostQuitMessage(int exitCode)
{
    State().quitPending = true;
    State().quitCode = exitCode;
}

bool IsQuitPosted(int* exitCode)
{
    const MessageState& s = State();
    if (s.quitPending && exitCode)
        *exitCode = s.quitCode;
    return s.quitPending;
}

WNDPROC SetWindowProc(HWND window, WNDPROC procedure)
{
    WNDPROC& slot = State().procedures[window];
    WNDPROC previous = slot;
    slot = procedure;
    return previous;
}

HCURSOR ArrowCursor()
{
    static char arrow;
    return reinterpret_cast<HCURSOR>(&arrow);
}

BOOL GetCursorPos(POINT* point)
{
    POINT screen;
    if (!point || !detail::HasBackend() || !detail::Backend().GetCursorScreenPosition(screen))
        return 0;
    *point = screen;
    return 1;
}

BOOL ScreenToClient(HWND window, POINT* point)
{
    POINT origin;
    int width = 0;
    int height = 0;
    if (!point || !window || window != detail::MainWindowHandle() || !detail::HasBackend() ||
        !detail::Backend().GetClientArea(origin, width, height))
        return 0;
    const auto x = static_cast<long long>(point->x) - origin.x;
    const auto y = static_cast<long long>(point->y) - origin.y;
    POINT client;
    client.x = static_cast<std::int32_t>(std::clamp<long long>(x, INT32_MIN, INT32_MAX));
    client.y = static_cast<std::int32_t>(std::clamp<long long>(y, INT32_MIN, INT32_MAX));
    // The window may show the back buffer at another size (full screen, a resized window, a
    // dense display): the engine works in back-buffer pixels.
    if (const D3DSURFACE_DESC* desc = DXUTGetD3D9BackBufferSurfaceDesc())
        client = detail::WindowToBackBuffer(client, desc->Width, desc->Height, width, height);
    *point = client;
    return 1;
}

HCURSOR SetCursor(HCURSOR cursor)
{
    HCURSOR previous = State().cursor;
    State().cursor = cursor;
    ApplyCursor();
    return previous;
}

int ShowCursor(BOOL show)
{
    State().showCount += show ? 1 : -1;
    ApplyCursor();
    return State().showCount;
}

int MessageBoxW(HWND, const wchar_t* text, const wchar_t* caption, UINT)
{
    std::string t = text ? ToNarrow(text) : std::string();
    std::string c = caption ? ToNarrow(caption) : std::string();
    // Also said in the log, where there is no display to show it on and for whoever reads it later.
    DORVO_LOG("MessageBoxW: %s: %s", c.c_str(), t.c_str());
    if (!detail::HeadlessRequested())
        detail::Backend().ShowMessageBox(c, t);
    return IDOK;
}

BOOL SetWindowTextW(HWND window, const wchar_t* text)
{
    if (!window || window != detail::MainWindowHandle() || !detail::HasBackend() ||
        !detail::Backend().HasWindow())
        return 0;
    detail::Backend().SetTitle(text ? text : L"");
    return 1;
}

namespace detail
{
void ResetMessages()
{
    State() = MessageState();
    ApplyCursor();
}

bool SystemCursorVisible()
{
    return CursorVisible();
}
} // namespace detail
} // namespace plat
