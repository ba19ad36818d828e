// The abstract input reader: one frame of reading the keyboard, mouse and (never created here)
// joystick devices into the input system's queue. It holds the devices but does not own them:
// the input system creates and releases them. Two readers exist, buffered and immediate.
#pragma once

#include "common/CountdownTimer.h"
#include "common/InputEvent.h"

#include <deque>

namespace plat
{
class IDirectInputDevice8W;
}

namespace dorvo
{
namespace input
{
// Oldest event first.
using InputQueue = std::deque<InputEvent>;

class InputUpdateImpl
{
public:
    InputUpdateImpl(plat::IDirectInputDevice8W* keyboard, plat::IDirectInputDevice8W* mouse,
                    plat::IDirectInputDevice8W* joystick);

    virtual void UpdateKeyboard(InputQueue& queue) = 0;
    virtual void UpdateMouse(InputQueue& queue) = 0;
    virtual void UpdateJoystick(InputQueue&) {} // no joystick is ever read
    virtual ~InputUpdateImpl();
    // One frame of reading: the keyboard, the mouse, the joystick when there is one, then the
    // reader's repeat bookkeeping (EndFrame); returns true.
    bool Update(InputQueue& queue);

    // Seconds between repeats of a held key or button.
    static constexpr float kRepeatSeconds = 0.2f;

protected:
    // After the devices of a frame were read.
    virtual void EndFrame(InputQueue& queue) = 0;

    // A device that lost acquisition (window in the background) is asked once per frame to
    // come back; a window that stays behind must not stall the frame in a retry loop.
    static void Reacquire(plat::IDirectInputDevice8W* device);

    plat::IDirectInputDevice8W* m_keyboard;
    plat::IDirectInputDevice8W* m_mouse;
    plat::IDirectInputDevice8W* m_joystick;
    // Runs kRepeatSeconds from the start and from every restart.
    common::CCountdownTimer m_repeatCountdown;
};
} // namespace input
} // namespace dorvo
