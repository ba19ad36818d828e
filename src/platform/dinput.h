// Our stand-in for DirectInput 8: the system keyboard and mouse, buffered device data and
// state polling, foreground-only acquisition. Records come from the backend's event pump (SDL)
// or, headless, from what tests feed in through platform/input_feed.h. The caller owns what
// DirectInput8Create and CreateDevice hand out and gives it back with Release.
#pragma once

#include "platform/win32.h"

#include <cstdint>

namespace plat
{
using LONG = std::int32_t;
using BYTE = std::uint8_t;
using ULONG = std::uint32_t;

constexpr HRESULT DI_OK = 0;
constexpr HRESULT DI_NOEFFECT = 1;       // success; the call changed nothing
constexpr HRESULT DI_BUFFEROVERFLOW = 1; // success; records arrived while the buffer was full and were lost
constexpr HRESULT DIERR_GENERIC = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT DIERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT DIERR_INPUTLOST = static_cast<HRESULT>(0x8007001Eu);       // acquisition was just lost
constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000Cu);     // not acquired (any more)
constexpr HRESULT DIERR_OTHERAPPHASPRIO = static_cast<HRESULT>(0x80070005u); // window not in front
constexpr HRESULT DIERR_ACQUIRED = static_cast<HRESULT>(0x800700AAu);        // not allowed while acquired
constexpr HRESULT DIERR_NOTBUFFERED = static_cast<HRESULT>(0x80040207u);     // buffer size is 0

constexpr DWORD DIRECTINPUT_VERSION = 0x0800;

enum DIINTERFACEID : std::uint32_t
{
    IID_IDirectInput8W = 1,
};

enum DIDEVICEGUID : std::uint32_t
{
    GUID_SysKeyboard = 1,
    GUID_SysMouse = 2,
};

// Cooperative levels. The engine asks for DISCL_NONEXCLUSIVE | DISCL_FOREGROUND (10).
constexpr DWORD DISCL_EXCLUSIVE = 0x01;
constexpr DWORD DISCL_NONEXCLUSIVE = 0x02;
constexpr DWORD DISCL_FOREGROUND = 0x04;
constexpr DWORD DISCL_BACKGROUND = 0x08;

// GetDeviceData flag: read without removing.
constexpr DWORD DIGDD_PEEK = 0x01;

// One buffered record, 20 bytes. Keyboard: offset = scan code, data bit 0x80 = pressed.
// Mouse: offset DIMOFS_*, data = signed axis delta or button byte. Ours: a button record's
// uAppData is where the system pointer was on the screen when the button changed (MakePointerData),
// so that a click lands where it was made however many moves follow it before the next read.
struct DIDEVICEOBJECTDATA
{
    DWORD dwOfs = 0;
    DWORD dwData = 0;
    DWORD dwTimeStamp = 0; // milliseconds, the tick count when the record arrived
    DWORD dwSequence = 0;  // rises across every device of the process
    DWORD uAppData = 0;
};

// The standard mouse format: relative axes (deltas since the last poll), four buttons.
struct DIMOUSESTATE
{
    LONG lX = 0;
    LONG lY = 0;
    LONG lZ = 0; // wheel, WHEEL_DELTA (120) a notch, positive away from the user
    BYTE rgbButtons[4] = {0, 0, 0, 0};
};

constexpr DWORD DIMOFS_X = 0;
constexpr DWORD DIMOFS_Y = 4;
constexpr DWORD DIMOFS_Z = 8;
constexpr DWORD DIMOFS_BUTTON0 = 12; // buttons 0 to 7 are offsets 12 to 19: left, right, middle, ...
constexpr DWORD DIMOFS_BUTTON7 = 19;

// Ours: forgets a dead key (or another composition) the keyboard layout is holding, so that
// the next key types its own character. For a key the program takes as a key although the
// layout makes it a dead key (the console's key is one on German and French keyboards).
void CancelTextComposition();

// A screen position in a button record's uAppData: x in the low 16 bits and y in the high 16,
// each signed (clamped to -32768..32767).
DWORD MakePointerData(LONG x, LONG y);
void ReadPointerData(DWORD data, LONG& x, LONG& y);

// Ours, not DirectInput's: a keyboard record at this offset is a typed character, dwData its
// Unicode code point, as the keyboard layout made it. It sits among the key records in the
// order it was typed (after the press that typed it); the device's state knows nothing of it.
constexpr DWORD DIKOFS_TEXT = 0x100;

struct DIDATAFORMAT
{
    DWORD dwDataSize = 0; // bytes of one state snapshot
};
extern const DIDATAFORMAT c_dfDIKeyboard; // 256 bytes, one per scan code, bit 0x80 = pressed
extern const DIDATAFORMAT c_dfDIMouse;    // a DIMOUSESTATE

enum DIPROPERTY : std::uint32_t
{
    DIPROP_BUFFERSIZE = 1,
};
constexpr DWORD DIPH_DEVICE = 0;

struct DIPROPHEADER
{
    DWORD dwSize = 0;
    DWORD dwHeaderSize = 0;
    DWORD dwObj = 0;
    DWORD dwHow = 0;
};

struct DIPROPDWORD
{
    DIPROPHEADER diph;
    DWORD dwData = 0;
};

class IDirectInputDevice8W
{
public:
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT SetDataFormat(const DIDATAFORMAT* format) = 0;
    // DIPROP_BUFFERSIZE on DIPH_DEVICE with a DIPROPDWORD: records kept between reads.
    virtual HRESULT SetProperty(DIPROPERTY property, const DIPROPHEADER* header) = 0;
    virtual HRESULT Acquire() = 0;
    virtual HRESULT Unacquire() = 0;
    virtual HRESULT GetDeviceState(DWORD size, void* data) = 0;
    // Reads up to *count records (records may be null to discard them); *count becomes the number read.
    virtual HRESULT GetDeviceData(DWORD recordSize, DIDEVICEOBJECTDATA* records, DWORD* count,
                                  DWORD flags) = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IDirectInputDevice8W() = default;
};

class IDirectInput8W
{
public:
    virtual HRESULT CreateDevice(DIDEVICEGUID device, IDirectInputDevice8W** out, void* outer) = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IDirectInput8W() = default;
};

HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, DIINTERFACEID iid, IDirectInput8W** out,
                           void* outer);

// Keyboard scan codes (DIK_ values) the engine and the key table name.
enum DIK : DWORD
{
    DIK_ESCAPE = 0x01,
    DIK_1 = 0x02,
    DIK_0 = 0x0B,
    DIK_MINUS = 0x0C,
    DIK_EQUALS = 0x0D,
    DIK_BACK = 0x0E,
    DIK_TAB = 0x0F,
    DIK_Q = 0x10,
    DIK_W = 0x11,
    DIK_E = 0x12,
    DIK_R = 0x13,
    DIK_T = 0x14,
    DIK_Y = 0x15,
    DIK_U = 0x16,
    DIK_I = 0x17,
    DIK_O = 0x18,
    DIK_P = 0x19,
    DIK_LBRACKET = 0x1A,
    DIK_RBRACKET = 0x1B,
    DIK_RETURN = 0x1C,
    DIK_LCONTROL = 0x1D,
    DIK_A = 0x1E,
    DIK_S = 0x1F,
    DIK_D = 0x20,
    DIK_F = 0x21,
    DIK_G = 0x22,
    DIK_H = 0x23,
    DIK_J = 0x24,
    DIK_K = 0x25,
    DIK_L = 0x26,
    DIK_SEMICOLON = 0x27,
    DIK_APOSTROPHE = 0x28,
    DIK_GRAVE = 0x29,
    DIK_LSHIFT = 0x2A,
    DIK_BACKSLASH = 0x2B,
    DIK_Z = 0x2C,
    DIK_X = 0x2D,
    DIK_C = 0x2E,
    DIK_V = 0x2F,
    DIK_B = 0x30,
    DIK_N = 0x31,
    DIK_M = 0x32,
    DIK_COMMA = 0x33,
    DIK_PERIOD = 0x34,
    DIK_SLASH = 0x35,
    DIK_RSHIFT = 0x36,
    DIK_MULTIPLY = 0x37, // keypad *
    DIK_LMENU = 0x38,    // left Alt
    DIK_SPACE = 0x39,
    DIK_CAPITAL = 0x3A,
    DIK_F1 = 0x3B, // F1 to F10 are 0x3B to 0x44
    DIK_F10 = 0x44,
    DIK_NUMLOCK = 0x45,
    DIK_SCROLL = 0x46,
    DIK_NUMPAD7 = 0x47,
    DIK_NUMPAD8 = 0x48,
    DIK_NUMPAD9 = 0x49,
    DIK_SUBTRACT = 0x4A,
    DIK_NUMPAD4 = 0x4B,
    DIK_NUMPAD5 = 0x4C,
    DIK_NUMPAD6 = 0x4D,
    DIK_ADD = 0x4E,
    DIK_NUMPAD1 = 0x4F,
    DIK_NUMPAD2 = 0x50,
    DIK_NUMPAD3 = 0x51,
    DIK_NUMPAD0 = 0x52,
    DIK_DECIMAL = 0x53,
    DIK_OEM_102 = 0x56,
    DIK_F11 = 0x57,
    DIK_F12 = 0x58,
    DIK_F13 = 0x64,
    DIK_F14 = 0x65,
    DIK_F15 = 0x66,
    DIK_NUMPADEQUALS = 0x8D,
    DIK_NUMPADENTER = 0x9C,
    DIK_RCONTROL = 0x9D,
    DIK_MUTE = 0xA0,
    DIK_VOLUMEDOWN = 0xAE,
    DIK_VOLUMEUP = 0xB0,
    DIK_NUMPADCOMMA = 0xB3,
    DIK_DIVIDE = 0xB5,
    DIK_SYSRQ = 0xB7,
    DIK_RMENU = 0xB8, // right Alt
    DIK_PAUSE = 0xC5,
    DIK_HOME = 0xC7,
    DIK_UP = 0xC8,
    DIK_PRIOR = 0xC9, // Page Up
    DIK_LEFT = 0xCB,
    DIK_RIGHT = 0xCD,
    DIK_END = 0xCF,
    DIK_DOWN = 0xD0,
    DIK_NEXT = 0xD1, // Page Down
    DIK_INSERT = 0xD2,
    DIK_DELETE = 0xD3,
    DIK_LWIN = 0xDB,
    DIK_RWIN = 0xDC,
    DIK_APPS = 0xDD,
    DIK_POWER = 0xDE,
    DIK_SLEEP = 0xDF,
};
} // namespace plat
