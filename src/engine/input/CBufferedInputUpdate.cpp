#include "engine/input/CBufferedInputUpdate.h"

#include "platform/dinput.h"

#include <algorithm>

namespace dorvo
{
namespace input
{
namespace
{
// Reads one record; false when there is none or the read failed (then `failed` is set).
// `overflowed` is set when the device says records were lost because its buffer was full.
bool ReadRecord(plat::IDirectInputDevice8W* device, plat::DIDEVICEOBJECTDATA& record, bool& failed,
                bool& overflowed)
{
    plat::DWORD count = 1;
    const plat::HRESULT result = device->GetDeviceData(sizeof(record), &record, &count, 0);
    failed = plat::FAILED(result);
    if (result == plat::DI_BUFFEROVERFLOW)
        overflowed = true;
    return !failed && count == 1;
}

std::int32_t PressedValue(plat::DWORD data)
{
    return (data & 0x80) ? 1 : 0;
}
} // namespace

CBufferedInputUpdate::CBufferedInputUpdate(plat::IDirectInputDevice8W* keyboard,
                                           plat::IDirectInputDevice8W* mouse,
                                           plat::IDirectInputDevice8W* joystick)
    : InputUpdateImpl(keyboard, mouse, joystick)
{
}

void CBufferedInputUpdate::UpdateKeyboard(InputQueue& queue)
{
    if (!m_keyboard)
        return;
    bool readAny = false;
    bool failed = false;
    bool overflowed = false;
    plat::DIDEVICEOBJECTDATA record;
    while (ReadRecord(m_keyboard, record, failed, overflowed))
    {
        m_latestTimeStamp = std::max(m_latestTimeStamp, record.dwTimeStamp);
        readAny = true;
        if (record.dwOfs == plat::DIKOFS_TEXT)
        {
            // A typed character is no key: it is neither held nor repeated (its key is).
            queue.push_back(InputEvent{TEXT_INPUT, static_cast<std::int32_t>(record.dwData),
                                       record.dwTimeStamp, record.dwSequence});
            continue;
        }
        const InputEvent event{record.dwOfs, PressedValue(record.dwData), record.dwTimeStamp,
                               record.dwSequence};
        queue.push_back(event);
        m_heldKeys[event.code] = event;
    }
    if (failed)
    {
        ReleaseHeld(queue, 0, MOUSE_BUTTON_0 - 1);
        Reacquire(m_keyboard);
    }
    else if (overflowed)
    {
        std::uint8_t keys[256] = {};
        if (plat::SUCCEEDED(m_keyboard->GetDeviceState(sizeof(keys), keys)))
        {
            for (std::uint32_t code = 0; code < MOUSE_BUTTON_0 && code < 256; ++code)
                readAny |= MatchHeld(queue, code, (keys[code] & 0x80) != 0);
        }
    }
    if (readAny)
        m_repeatCountdown.Restart(kRepeatSeconds);
}

bool CBufferedInputUpdate::MatchHeld(InputQueue& queue, std::uint32_t code, bool down)
{
    const auto held = m_heldKeys.find(code);
    const bool heldDown = held != m_heldKeys.end() && held->second.value != 0;
    if (down == heldDown)
        return false;
    const InputEvent event{code, down ? 1 : 0, m_latestTimeStamp,
                           held != m_heldKeys.end() ? held->second.sequence : 0};
    queue.push_back(event);
    m_heldKeys[code] = event;
    return true;
}

void CBufferedInputUpdate::UpdateMouse(InputQueue& queue)
{
    if (!m_mouse)
        return;
    bool buttonRead = false;
    bool failed = false;
    bool overflowed = false;
    plat::DIDEVICEOBJECTDATA record;
    while (ReadRecord(m_mouse, record, failed, overflowed))
    {
        m_latestTimeStamp = std::max(m_latestTimeStamp, record.dwTimeStamp);
        const auto delta = static_cast<std::int32_t>(record.dwData);
        switch (record.dwOfs)
        {
        case plat::DIMOFS_X:
            queue.push_back(InputEvent{MOUSE_X, delta, record.dwTimeStamp, record.dwSequence});
            break;
        case plat::DIMOFS_Y:
            queue.push_back(InputEvent{MOUSE_Y, delta, record.dwTimeStamp, record.dwSequence});
            break;
        case plat::DIMOFS_Z:
            queue.push_back(InputEvent{MOUSE_WHEEL, delta, record.dwTimeStamp, record.dwSequence});
            break;
        default:
            if (record.dwOfs >= plat::DIMOFS_BUTTON0 && record.dwOfs <= plat::DIMOFS_BUTTON7)
            {
                queue.push_back(InputEvent{MOUSE_POSITION, static_cast<std::int32_t>(record.uAppData),
                                           record.dwTimeStamp, record.dwSequence});
                const InputEvent event{MOUSE_BUTTON_0 + (record.dwOfs - plat::DIMOFS_BUTTON0),
                                       PressedValue(record.dwData), record.dwTimeStamp, record.dwSequence};
                queue.push_back(event);
                m_heldKeys[event.code] = event;
                buttonRead = true;
            }
            break;
        }
    }
    if (failed)
    {
        ReleaseHeld(queue, MOUSE_BUTTON_0, MOUSE_BUTTON_7);
        Reacquire(m_mouse);
    }
    else if (overflowed)
    {
        // The snapshot's motion is dropped: the records already carried it.
        plat::DIMOUSESTATE state;
        if (plat::SUCCEEDED(m_mouse->GetDeviceState(sizeof(state), &state)))
        {
            for (std::uint32_t button = 0; button < 4; ++button)
                buttonRead |=
                    MatchHeld(queue, MOUSE_BUTTON_0 + button, (state.rgbButtons[button] & 0x80) != 0);
        }
    }
    if (buttonRead)
        m_repeatCountdown.Restart(kRepeatSeconds);
}

void CBufferedInputUpdate::EndFrame(InputQueue& queue)
{
    if (!m_repeatCountdown.IsExpired())
        return;
    for (auto it = m_heldKeys.begin(); it != m_heldKeys.end();)
    {
        if (it->second.value == 0)
        {
            it = m_heldKeys.erase(it);
            continue;
        }
        queue.push_back(it->second);
        ++it;
    }
    m_repeatCountdown.Restart(kRepeatSeconds);
}

void CBufferedInputUpdate::ReleaseHeld(InputQueue& queue, std::uint32_t firstCode, std::uint32_t lastCode)
{
    for (auto it = m_heldKeys.lower_bound(firstCode); it != m_heldKeys.end() && it->first <= lastCode;)
    {
        if (it->second.value != 0)
            queue.push_back(InputEvent{it->first, 0, m_latestTimeStamp, it->second.sequence});
        it = m_heldKeys.erase(it);
    }
}
} // namespace input
} // namespace dorvo
