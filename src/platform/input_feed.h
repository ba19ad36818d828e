// What feeds the DirectInput stand-in: physical key, button, motion and focus changes. The SDL
// backend calls these from its raw-event observer; headless tests call them directly with the
// millisecond time stamp the records should carry. Every acquired device of the matching kind
// receives the record; devices that are not acquired miss it, as a real device would. Key and
// button changes while the window has no focus belong to another program and are ignored.
#pragma once

#include "platform/dinput.h"

namespace plat
{
namespace inputfeed
{
void KeyChange(DWORD scanCode, bool down, DWORD timeMs);
// Text the keyboard layout made of the keys (UTF-8): one DIKOFS_TEXT record a character, in
// order with the key records. Nothing is typed while a Ctrl or the left Alt key is held (the
// right Alt is AltGr on most layouts, which types), nor while the window has no focus; control
// characters and malformed bytes are not text.
void Text(const char* utf8, DWORD timeMs);
void MouseMove(LONG dx, LONG dy, DWORD timeMs); // screen pixels, y down
void MouseWheel(LONG delta, DWORD timeMs);      // WHEEL_DELTA (120) a notch
// 0 left, 1 right, 2 middle, up to 7; `screen` is where the pointer was (GetCursorPos when null).
void MouseButton(int button, bool down, DWORD timeMs, const POINT* screen = nullptr);
// Losing focus takes acquisition from every foreground device (the next read reports
// DIERR_INPUTLOST) and forgets which keys and buttons were down; gaining it allows Acquire again.
void FocusChange(bool focused);
bool HasFocus();

// Back to the start state: focus, nothing held, sequence numbers from 1. For tests.
void Reset();

// The SDL translation (platform/input_sdl.cpp). A scan code with no DirectInput equivalent
// gives 0; a button with none gives -1.
DWORD SdlScancodeToDik(int sdlScancode);
int SdlButtonToDi(int sdlButton);
// Turns one pumped SDL_Event (typed void) into the calls above. Registered as a raw-event
// observer while a DirectInput interface exists and the process is not headless.
void HandleSdlEvent(const void* sdlEvent, void* user);
} // namespace inputfeed

// Failures tests inject into the next DirectInput calls; they stay until cleared.
namespace dinputtest
{
enum class Call
{
    Create, // DirectInput8Create
    CreateDevice,
    SetCooperativeLevel,
    SetDataFormat,
    SetProperty,
    Acquire,
};
void FailCall(Call call, DIDEVICEGUID device); // device is ignored for Create
void ClearFailures();
int LiveInterfaces(); // created and not yet released
int LiveDevices();
} // namespace dinputtest
} // namespace plat
