// The reader the shell uses: drains the devices' time-stamped buffered records each frame and
// re-sends held keys and mouse buttons every 0.2 s while nothing else on the keyboard or the
// buttons happens. When a device's buffer overflowed, the held keys and buttons are set right
// from the device's present state.
#pragma once

#include "engine/input/InputUpdateImpl.h"

#include <cstdint>
#include <map>

namespace dorvo
{
namespace input
{
class CBufferedInputUpdate : public InputUpdateImpl
{
public:
    CBufferedInputUpdate(plat::IDirectInputDevice8W* keyboard, plat::IDirectInputDevice8W* mouse,
                         plat::IDirectInputDevice8W* joystick);

    void UpdateKeyboard(InputQueue& queue) override;
    void UpdateMouse(InputQueue& queue) override;

private:
    // When the countdown has run out: drops released entries, re-sends held ones in code order.
    void EndFrame(InputQueue& queue) override;
    // A device that lost acquisition never reports the releases that happen meanwhile, so
    // its held entries are released here (codes first to last) instead of repeating for ever.
    void ReleaseHeld(InputQueue& queue, std::uint32_t firstCode, std::uint32_t lastCode);
    // After the device's buffer overflowed, records were lost (a release among them would leave
    // its key repeating for ever): the held entry of `code` is brought in line with the device's
    // present state, with the event that changed it queued. True when it changed.
    bool MatchHeld(InputQueue& queue, std::uint32_t code, bool down);

    // One entry per code, the latest event of that code; value 0 entries wait for the next
    // repeat to be dropped.
    std::map<std::uint32_t, InputEvent> m_heldKeys;
    std::uint32_t m_latestTimeStamp = 0; // milliseconds; kept for inspection
};
} // namespace input
} // namespace dorvo
