#include "engine/input/CImmediateInputUpdate.h"

#include "platform/dinput.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace dorvo
{
namespace input
{
CImmediateInputUpdate::CImmediateInputUpdate(plat::IDirectInputDevice8W* keyboard,
                                             plat::IDirectInputDevice8W* mouse,
                                             plat::IDirectInputDevice8W* joystick)
    : InputUpdateImpl(keyboard, mouse, joystick)
{
}

void CImmediateInputUpdate::EndFrame(InputQueue&)
{
    if (m_repeatCountdown.IsExpired())
        m_repeatCountdown.Restart(kRepeatSeconds);
}

void CImmediateInputUpdate::Compare(InputQueue& queue, std::uint32_t code, std::uint8_t previous,
                                    std::uint8_t current)
{
    const bool pressed = (current & 0x80) != 0;
    if (((previous ^ current) & 0x80) != 0)
    {
        queue.push_back(InputEvent{code, pressed ? 1 : 0, 0, 0});
        m_repeatCountdown.Restart(kRepeatSeconds);
    }
    else if (pressed && m_repeatCountdown.IsExpired())
    {
        queue.push_back(InputEvent{code, 1, 0, 0});
    }
}

void CImmediateInputUpdate::UpdateKeyboard(InputQueue& queue)
{
    if (!m_keyboard)
        return;
    std::memcpy(m_previousKeys, m_keys, sizeof(m_keys));
    if (plat::FAILED(m_keyboard->GetDeviceState(sizeof(m_keys), m_keys)))
    {
        // Keys let go while the window was behind are never seen: release what was held, so
        // nothing repeats for ever and the next good snapshot starts from all keys up.
        for (std::uint32_t code = 0; code < 256; ++code)
            if (m_previousKeys[code] & 0x80)
                queue.push_back(InputEvent{code, 0, 0, 0});
        std::fill(std::begin(m_keys), std::end(m_keys), std::uint8_t(0));
        Reacquire(m_keyboard);
        return;
    }
    for (std::uint32_t code = 0; code < 256; ++code)
        Compare(queue, code, m_previousKeys[code], m_keys[code]);
}

void CImmediateInputUpdate::UpdateMouse(InputQueue& queue)
{
    if (!m_mouse)
        return;
    m_previousMouseState = m_mouseState;
    plat::DIMOUSESTATE state;
    if (plat::FAILED(m_mouse->GetDeviceState(sizeof(state), &state)))
    {
        for (std::uint32_t button = 0; button < 4; ++button)
            if (m_previousMouseState.buttons[button] & 0x80)
                queue.push_back(InputEvent{MOUSE_BUTTON_0 + button, 0, 0, 0});
        m_mouseState = MouseState();
        Reacquire(m_mouse);
        return;
    }
    m_mouseState.x = state.lX;
    m_mouseState.y = state.lY;
    m_mouseState.wheel = state.lZ;
    std::copy(std::begin(state.rgbButtons), std::end(state.rgbButtons), m_mouseState.buttons);
    for (std::uint32_t button = 0; button < 4; ++button)
        Compare(queue, MOUSE_BUTTON_0 + button, m_previousMouseState.buttons[button],
                m_mouseState.buttons[button]);
    if (m_mouseState.x != 0)
        queue.push_back(InputEvent{MOUSE_X, m_mouseState.x, 0, 0});
    if (m_mouseState.y != 0)
        queue.push_back(InputEvent{MOUSE_Y, m_mouseState.y, 0, 0});
}
} // namespace input
} // namespace dorvo
