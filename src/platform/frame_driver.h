// The frame driver: our stand-in for the DirectX sample framework. It owns the main window
// and the device, routes window messages to the application's message procedure before its
// own handling (Alt+Enter toggles full screen), and runs one frame at a time: a pending
// lost/reset, frame move, frame render, then present. Calls keep the framework's names.
#pragma once

#include "platform/d3d9.h"
#include "platform/win32.h"

namespace plat
{
// Device settings handed to the settings callback; it may change the adapter, the device type,
// the back-buffer size and format, the windowed flag, depth, swap effect and interval.
struct DXUTDeviceSettings
{
    UINT AdapterOrdinal = D3DADAPTER_DEFAULT;
    D3DDEVTYPE DeviceType = D3DDEVTYPE_HAL;
    D3DFORMAT AdapterFormat = D3DFMT_X8R8G8B8;
    DWORD BehaviorFlags = 0;
    D3DPRESENT_PARAMETERS pp;
};

using LPDXUTCALLBACKISDEVICEACCEPTABLE = bool (*)(D3DCAPS9* caps, D3DFORMAT adapterFormat,
                                                  D3DFORMAT backBufferFormat, bool windowed,
                                                  void* userContext);
using LPDXUTCALLBACKMODIFYDEVICESETTINGS = bool (*)(DXUTDeviceSettings* settings, const D3DCAPS9* caps,
                                                    void* userContext);
using LPDXUTCALLBACKDEVICERESET = HRESULT (*)(IDirect3DDevice9* device, const D3DSURFACE_DESC* backBuffer,
                                              void* userContext);
using LPDXUTCALLBACKDEVICELOST = void (*)(void* userContext);
// time: seconds since the device was made; elapsed: seconds since the previous frame.
using LPDXUTCALLBACKFRAMEMOVE = void (*)(IDirect3DDevice9* device, double time, float elapsed,
                                         void* userContext);
using LPDXUTCALLBACKFRAMERENDER = void (*)(IDirect3DDevice9* device, double time, float elapsed,
                                           void* userContext);
// Setting *noFurtherProcessing stops the frame driver's own handling of the message.
using LPDXUTCALLBACKMSGPROC = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          bool* noFurtherProcessing, void* userContext);
// Our own: called after frame render and before present, while the back buffer holds the
// finished frame (screenshots read it here).
using LPDXUTCALLBACKPREPRESENT = void (*)(IDirect3DDevice9* device, void* userContext);

void DXUTSetCallbackMsgProc(LPDXUTCALLBACKMSGPROC callback, void* userContext = nullptr);
void DXUTSetCallbackFrameMove(LPDXUTCALLBACKFRAMEMOVE callback, void* userContext = nullptr);
void DXUTSetCallbackFrameRender(LPDXUTCALLBACKFRAMERENDER callback, void* userContext = nullptr);
void DXUTSetCallbackDeviceLost(LPDXUTCALLBACKDEVICELOST callback, void* userContext = nullptr);
void DXUTSetCallbackDeviceReset(LPDXUTCALLBACKDEVICERESET callback, void* userContext = nullptr);
void DXUTSetCallbackPrePresent(LPDXUTCALLBACKPREPRESENT callback, void* userContext = nullptr);

// parseCommandLine: accepted and ignored, the program reads no command line.
// handleDefaultHotkeys: Escape closes the window.
// showMsgBoxOnError: a failed device creation shows a message box (it is always written to
// the log).
// handleAltEnter: Alt+Enter toggles full screen.
HRESULT DXUTInit(bool parseCommandLine = true, bool handleDefaultHotkeys = true,
                 bool showMsgBoxOnError = true, bool handleAltEnter = true);
void DXUTSetCursorSettings(bool showCursorWhenFullScreen, bool clipCursorWhenFullScreen);
// With keepBackBufferSize a window keeps the back buffer at the size the device was made with,
// whatever size the window is given or starts with, and presenting scales it into the window
// as full screen does; without it (the default) a resized window resets the device with its
// new client size. Reset to the default by DXUTShutdown.
void DXUTSetResizeSettings(bool keepBackBufferSize);

// Creates the main window with the title; when it already exists (the device made it),
// only sets the title. Instance, icon, menu and position are accepted and ignored.
HRESULT DXUTCreateWindow(const wchar_t* title = L"Direct3D Window", HINSTANCE instance = nullptr,
                         HICON icon = nullptr, HMENU menu = nullptr, int x = CW_USEDEFAULT,
                         int y = CW_USEDEFAULT);

// Makes the device, and the main window with it when there is none: an OpenGL 3.3 core
// context (no window and memory surfaces when headless). Width and height 0 mean 640 x 480.
// The acceptance callback sees the device's caps and the settings callback may change the
// settings (DXUTGetD3DObject answers in both); a changed size or mode is applied before the
// device-reset callback runs once with the back-buffer size. Full screen covers the display
// and keeps the back buffer at the size asked for: presenting scales it to the screen with its
// aspect kept (platform/presentation.h). On failure (no display, no
// OpenGL 3.3, a callback refused, an adapter that does not exist) the reason is written to
// the log, shown in a message box when DXUTInit asked for that, and nothing is left
// half made.
HRESULT DXUTCreateDevice(UINT adapterOrdinal = D3DADAPTER_DEFAULT, bool windowed = true, int width = 0,
                         int height = 0, LPDXUTCALLBACKISDEVICEACCEPTABLE isDeviceAcceptable = nullptr,
                         LPDXUTCALLBACKMODIFYDEVICESETTINGS modifyDeviceSettings = nullptr,
                         void* userContext = nullptr);

// One frame: a pending lost/reset (full-screen toggle, resize), frame move, frame render, the
// pre-present hook, present. Does nothing without a device.
HRESULT DXUTRender3DEnvironment();

// Switches between windowed and full screen at the next frame, through lost and reset. The
// back buffer keeps its size: full screen shows the windowed picture scaled to the display,
// and the window comes back at the size it had.
HRESULT DXUTToggleFullScreen();

// Releases the device and the window; the callbacks and settings go back to their defaults.
void DXUTShutdown(int exitCode = 0);

// 0 unless the frame driver met an error it could not recover from (then 1).
int DXUTGetExitCode();
// Frames per second, measured over the last full second.
float DXUTGetFPS();
HWND DXUTGetHWND();
HINSTANCE DXUTGetHINSTANCE();
// Not add-referenced; null without a device.
IDirect3DDevice9* DXUTGetD3D9Device();
// The Direct3D object of the device (adapters, formats, caps), not add-referenced; null
// without a device.
IDirect3D9* DXUTGetD3DObject();
// The settings the device was made with (after the settings callback).
DXUTDeviceSettings DXUTGetDeviceSettings();
const D3DSURFACE_DESC* DXUTGetD3D9BackBufferSurfaceDesc();
bool DXUTIsWindowed();
} // namespace plat
