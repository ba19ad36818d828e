// The window system behind the message queue and the frame driver: SDL2 with an OpenGL
// context, or the headless stand-in (DORVO_HEADLESS=1). Only platform sources use it; the
// engine sees win32.h and frame_driver.h. There is one main window at most.
#pragma once

#include "platform/device_base.h"

#include <memory>
#include <string>

namespace plat::detail
{
class WindowBackend
{
public:
    virtual ~WindowBackend() = default;

    virtual bool IsHeadless() const = 0;
    // Makes the main window (client size in pixels; a full-screen one covers the display and
    // comes back to that size when it goes windowed). False with a reason on failure.
    virtual bool CreateMainWindow(const std::wstring& title, int width, int height, bool windowed,
                                  std::string& error) = 0;
    virtual bool HasWindow() const = 0;
    virtual void DestroyMainWindow() = 0;
    virtual void SetTitle(const std::wstring& title) = 0;
    virtual std::wstring Title() const = 0;
    // Makes the device for the main window with the back buffer asked for (a window's is its
    // client area in pixels). Null with a reason on failure.
    virtual ComPtr<DeviceBase> CreateDevice(const D3DPRESENT_PARAMETERS& params, std::string& error) = 0;
    // Switches the main window: full screen covers the whole display (the size given is not
    // used), windowed takes the client size given. The window's new client size comes back in
    // width/height.
    virtual bool SetFullScreen(bool fullScreen, int& width, int& height) = 0;
    // Hands every pending window-system event to the raw-event observers and posts the
    // window messages it stands for.
    virtual void Pump() = 0;
    virtual void SetCursorVisible(bool visible) = 0;
    virtual void SetCursorClipped(bool clipped) = 0;
    // The system cursor in screen pixels; false without a window.
    virtual bool GetCursorScreenPosition(POINT& point) = 0;
    // The client area's top left on the screen and its size, pixels; false without a window.
    virtual bool GetClientArea(POINT& origin, int& width, int& height) = 0;
    // A blocking message box where a display exists; nothing otherwise.
    virtual void ShowMessageBox(const std::string& caption, const std::string& text) = 0;
    // Forgets a dead key (or other composition) the keyboard layout is holding.
    virtual void CancelTextComposition() {}
};

// The backend, made on first use: headless when DORVO_HEADLESS is "1", SDL otherwise.
WindowBackend& Backend();
// Whether a backend exists (nothing is made).
bool HasBackend();
// Destroys the backend; the next Backend() call chooses again.
void DestroyBackend();
bool HeadlessRequested();

std::unique_ptr<WindowBackend> MakeSdlBackend();
std::unique_ptr<WindowBackend> MakeHeadlessBackend();

// The handle of the main window (the same value for every main window).
HWND MainWindowHandle();

// The frame driver's procedure for the main window.
LRESULT FrameDriverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Whether the system cursor shows over the window (SetCursor and ShowCursor together).
bool SystemCursorVisible();

// Clears the message queue, the quit request, window procedures and the cursor state.
void ResetMessages();
// Clears every frame-driver setting, callback and counter (the device and window must be
// gone already).
void ResetFrameDriver();
} // namespace plat::detail
