// The polling reader: compares device state snapshots frame to frame and reports the keys and
// mouse buttons that changed and the mouse movement. Events carry no time stamp or sequence.
// Presses within one frame that are released again before the next poll are not seen, and typed
// text (TEXT_INPUT) never comes: the devices keep it only as buffered records. The shell always
// reads buffered, so the game never meets this reader; the input tests do.
#pragma once

#include "engine/input/InputUpdateImpl.h"

#include <cstdint>

namespace dorvo
{
namespace input
{
class CImmediateInputUpdate : public InputUpdateImpl
{
public:
    CImmediateInputUpdate(plat::IDirectInputDevice8W* keyboard, plat::IDirectInputDevice8W* mouse,
                          plat::IDirectInputDevice8W* joystick);

    void UpdateKeyboard(InputQueue& queue) override;
    void UpdateMouse(InputQueue& queue) override;

private:
    // Restarts the countdown once it has run out (the repeats themselves are sent by Compare).
    void EndFrame(InputQueue& queue) override;

    // Snapshot of the standard mouse format: X, Y, wheel deltas and four button bytes.
    struct MouseState
    {
        std::int32_t x = 0;
        std::int32_t y = 0;
        std::int32_t wheel = 0;
        std::uint8_t buttons[4] = {0, 0, 0, 0};
    };

    // One key or button: a change is reported and restarts the countdown; an unchanged pressed
    // one is repeated while the countdown has run out. Released keys are not repeated.
    void Compare(InputQueue& queue, std::uint32_t code, std::uint8_t previous, std::uint8_t current);

    std::uint8_t m_keys[256] = {}; // bit 0x80 = pressed
    std::uint8_t m_previousKeys[256] = {};
    MouseState m_mouseState;
    MouseState m_previousMouseState;
};
} // namespace input
} // namespace dorvo
