#include "engine/input/InputSystem.h"

#include "engine/input/CBufferedInputUpdate.h"
#include "engine/input/CImmediateInputUpdate.h"
#include "platform/dinput.h"

namespace dorvo
{
namespace input
{
namespace
{
// Keyboard and mouse share the desktop with other programs and stop reporting while the
// window is behind.
constexpr plat::DWORD kCooperativeLevel = plat::DISCL_NONEXCLUSIVE | plat::DISCL_FOREGROUND;

bool SetBufferSize(plat::IDirectInputDevice8W* device, std::uint32_t records)
{
    plat::DIPROPDWORD property;
    property.diph.dwSize = sizeof(plat::DIPROPDWORD);
    property.diph.dwHeaderSize = sizeof(plat::DIPROPHEADER);
    property.diph.dwObj = 0;
    property.diph.dwHow = plat::DIPH_DEVICE;
    property.dwData = records;
    return plat::SUCCEEDED(device->SetProperty(plat::DIPROP_BUFFERSIZE, &property.diph));
}
} // namespace

InputSystem::InputSystem() = default;

InputSystem::~InputSystem()
{
    ReleaseDevices();
}

bool InputSystem::Init(const InputConfig& config, plat::HINSTANCE instance, plat::HWND window)
{
    if (plat::FAILED(plat::DirectInput8Create(instance, plat::DIRECTINPUT_VERSION, plat::IID_IDirectInput8W,
                                              &m_directInput, nullptr)))
    {
        m_directInput = nullptr;
        return false;
    }
    const bool keyboard = CreateKeyboard(config, window);
    const bool mouse = CreateMouse(config, window);
    if (keyboard && mouse)
    {
        if (config.buffered)
            m_reader = std::make_unique<CBufferedInputUpdate>(m_keyboard, m_mouse, m_joystick);
        else
            m_reader = std::make_unique<CImmediateInputUpdate>(m_keyboard, m_mouse, m_joystick);
        return true;
    }
    ReleaseDevices();
    return false;
}

bool InputSystem::CreateKeyboard(const InputConfig& config, plat::HWND window)
{
    if (plat::FAILED(m_directInput->CreateDevice(plat::GUID_SysKeyboard, &m_keyboard, nullptr)))
        return false;
    if (plat::FAILED(m_keyboard->SetCooperativeLevel(window, kCooperativeLevel)))
        return false;
    if (plat::FAILED(m_keyboard->SetDataFormat(&plat::c_dfDIKeyboard)))
        return false;
    if (config.buffered && !SetBufferSize(m_keyboard, config.keyboardBufferSize))
        return false;
    // Fails while the window is behind; the first read then asks again.
    m_keyboard->Acquire();
    return true;
}

bool InputSystem::CreateMouse(const InputConfig& config, plat::HWND window)
{
    if (plat::FAILED(m_directInput->CreateDevice(plat::GUID_SysMouse, &m_mouse, nullptr)))
        return false;
    m_mouse->SetCooperativeLevel(window, kCooperativeLevel);
    m_mouse->SetDataFormat(&plat::c_dfDIMouse);
    if (config.buffered && !SetBufferSize(m_mouse, config.mouseBufferSize))
        return false;
    m_mouse->Acquire();
    return true;
}

void InputSystem::Update()
{
    if (m_reader)
        m_reader->Update(m_queue);
}

bool InputSystem::PopEvent(InputEvent& event)
{
    if (m_queue.empty())
        return false;
    event = m_queue.front();
    m_queue.pop_front();
    return true;
}

void InputSystem::Shutdown()
{
    ReleaseDevices();
    m_reader.reset();
    std::deque<InputEvent>().swap(m_queue);
}

void InputSystem::ReleaseDevices()
{
    if (!m_directInput)
        return;
    for (plat::IDirectInputDevice8W** device : {&m_keyboard, &m_mouse, &m_joystick})
    {
        if (*device)
        {
            (*device)->Unacquire();
            (*device)->Release();
            *device = nullptr;
        }
    }
    m_directInput->Release();
    m_directInput = nullptr;
}
} // namespace input
} // namespace dorvo
