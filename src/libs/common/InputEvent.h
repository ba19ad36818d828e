// The input event record and the two pure functions on it. The input system fills a queue of
// these each frame; the console, the text boxes and the state-machine messages carry them by
// value, which is why they live in the foundation layer and not beside the device readers.
#pragma once

#include <cstdint>

namespace dorvo
{
namespace input
{
// Input codes. 1 to 209 are keyboard scan codes (DIK_ values); only the ones the engine
// names are listed here, the rest are used by number.
enum InputCode : std::uint32_t
{
    KEY_NONE = 0, // not a key, never valid
    KEY_ESCAPE = 1,
    KEY_1 = 2,
    KEY_0 = 11,
    KEY_MINUS = 12,
    KEY_EQUALS = 13,
    KEY_BACK = 14,
    KEY_TAB = 15,
    KEY_Q = 16,
    KEY_LBRACKET = 26,
    KEY_RBRACKET = 27,
    KEY_RETURN = 28,
    KEY_LCONTROL = 29,
    KEY_A = 30,
    KEY_SEMICOLON = 39,
    KEY_APOSTROPHE = 40,
    KEY_GRAVE = 41,
    KEY_LSHIFT = 42,
    KEY_BACKSLASH = 43,
    KEY_Z = 44,
    KEY_COMMA = 51,
    KEY_PERIOD = 52,
    KEY_SLASH = 53,
    KEY_RSHIFT = 54,
    KEY_MULTIPLY = 55, // keypad *
    KEY_LMENU = 56,    // left Alt
    KEY_SPACE = 57,
    KEY_F1 = 59,
    KEY_RCONTROL = 157,
    KEY_RMENU = 184, // right Alt
    KEY_UP = 200,
    KEY_LEFT = 203,
    KEY_RIGHT = 205,
    KEY_DOWN = 208,
    KEY_LAST_VALID = 209,
    KEY_INSERT = 210, // 210 to 237: emitted by the keyboard readers but not valid codes
    KEY_DELETE = 211,

    MOUSE_BUTTON_0 = 238, // left; buttons 0 to 7 are 238 to 245
    MOUSE_BUTTON_1 = 239, // right
    MOUSE_BUTTON_2 = 240, // middle
    MOUSE_BUTTON_7 = 245,
    MOUSE_X = 246, // axis codes carry a signed movement delta as the value
    MOUSE_Y = 247,
    MOUSE_WHEEL = 248,
    JOY_BUTTON_0 = 249, // joystick buttons 0 to 31 are 249 to 280
    JOY_BUTTON_31 = 280,
    // A character typed, as the player's keyboard layout made it: the value is its Unicode code
    // point (never a control character). It follows the press that typed it; it is not a key,
    // so not a valid code, and keys go on meaning positions on the keyboard.
    TEXT_INPUT = 290,
    // Where the system pointer was on the screen when the mouse button event that follows it
    // happened: x in the low 16 bits of the value, y in the high 16, each signed. Not valid.
    MOUSE_POSITION = 291,

    INPUT_NONE = 293 // the code of an empty event
};

// Four 32-bit words, copied by value everywhere (also inside messages).
struct InputEvent
{
    std::uint32_t code = INPUT_NONE;
    std::int32_t value = 0;      // keys and buttons: 1 pressed, 0 released; axes: signed delta
    std::uint32_t timeStamp = 0; // milliseconds, buffered mode only (immediate mode: 0)
    std::uint32_t sequence = 0;  // device sequence number, buffered mode only
};

// True for keys 1 to 209, mouse buttons 238 to 245 and joystick buttons 249 to 280; the axes,
// the higher scan codes and the empty code are not valid. Only valid codes become key messages.
bool IsValidInputCode(std::uint32_t code);

// The screen position a MOUSE_POSITION event carries.
void ReadPointerPosition(const InputEvent& event, int& x, int& y);

// The ASCII character a key press gives on a US keyboard, or 0. Only presses (value 1) of
// codes 2 to 57 give anything; shift is any non-zero byte. It names keys by their position
// (Backspace, Tab, the console's key); what the player types comes as TEXT_INPUT events.
char ScanCodeToChar(const InputEvent& event, unsigned char shift);
} // namespace input
} // namespace dorvo
