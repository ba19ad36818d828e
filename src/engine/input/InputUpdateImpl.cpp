#include "engine/input/InputUpdateImpl.h"

#include "platform/dinput.h"

namespace dorvo
{
namespace input
{
InputUpdateImpl::InputUpdateImpl(plat::IDirectInputDevice8W* keyboard, plat::IDirectInputDevice8W* mouse,
                                 plat::IDirectInputDevice8W* joystick)
    : m_keyboard(keyboard), m_mouse(mouse), m_joystick(joystick), m_repeatCountdown(kRepeatSeconds, true)
{
    m_repeatCountdown.Restart(kRepeatSeconds);
}

InputUpdateImpl::~InputUpdateImpl() = default;

bool InputUpdateImpl::Update(InputQueue& queue)
{
    UpdateKeyboard(queue);
    UpdateMouse(queue);
    if (m_joystick)
        UpdateJoystick(queue);
    EndFrame(queue);
    return true;
}

void InputUpdateImpl::Reacquire(plat::IDirectInputDevice8W* device)
{
    if (device)
        device->Acquire();
}
} // namespace input
} // namespace dorvo
