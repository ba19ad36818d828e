// Test hooks of the headless backend (DORVO_HEADLESS=1): no window and no GL, but the state a
// window and device would have (title, full screen, back-buffer size, cursor, resources, the
// calls that drew) can be read, and tests can inject window messages, a device-creation
// failure and what the device reports about itself.
#pragma once

#include "platform/device_debug.h"
#include "platform/win32.h"

#include <string>
#include <vector>

namespace plat::headless
{
// Whether DORVO_HEADLESS=1 is set.
bool IsActive();

// Queues a message for the main window (no window: a thread message) as the window system
// would; it comes out of the next PeekMessageW in order.
void InjectMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// Makes the next DXUTCreateDevice fail as on a machine without OpenGL 3.3.
void FailNextDeviceCreation(const std::string& reason = "OpenGL 3.3 core is not available");

bool HasWindow();
std::wstring WindowTitle();
bool IsFullScreen();
bool IsCursorVisible();
bool IsCursorClipped();
// How often a dead key the layout held was forgotten (plat::CancelTextComposition).
int TextCompositionCancels();
// The desktop's size, which a full-screen window covers. Usually 1920 x 1080.
void SetDesktopSize(int width, int height);
// The main window's client size in pixels; 0 x 0 without a window.
int WindowWidth();
int WindowHeight();
// The device's back buffer; 0 x 0 without a device.
UINT BackBufferWidth();
UINT BackBufferHeight();
// The system cursor's screen position that GetCursorPos reports (0, 0 by default).
void SetCursorScreenPosition(int x, int y);
// Where the window's client area lies on the screen and how big it is (pixels); a size of 0 is
// the window's own. By default at (0, 0) with the window's size.
void SetClientArea(int left, int top, int width, int height);
// Presents of the device since it was made.
int PresentCount();

// What the next devices report: caps (every tested bit, shader model 3.0, 8192 pixels by
// default), adapters (one, "Dorvo headless device", by default) and the formats that
// CheckDeviceFormat refuses (none by default).
void SetCaps(const D3DCAPS9& caps);
void SetAdapters(const std::vector<std::string>& descriptions);
void SetUnsupportedFormats(const std::vector<D3DFORMAT>& formats);

// The frame driver's device: its resource registry, DEFAULT-pool resources alive, call log.
std::vector<devicedebug::ResourceInfo> Resources();
unsigned LiveDefaultResources();
void SetCallLogging(bool on);
const std::vector<devicedebug::LoggedCall>& CallLog();
void ClearCallLog();

// Back to the start: frame driver shut down (device and window gone, callbacks cleared),
// queue and quit request emptied, cursor shown, no injected failure, default desktop, caps,
// adapters and formats.
void Reset();
} // namespace plat::headless
