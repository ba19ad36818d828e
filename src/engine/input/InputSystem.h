// Keyboard and mouse as one queue of input events per frame. The shell creates it, calls Init
// with the configuration, and the game calls Update once a frame and drains the queue with
// PopEvent. It owns the DirectInput interface, both devices and the reader.
#pragma once

#include "common/InputEvent.h"
#include "platform/win32.h"

#include <cstdint>
#include <deque>
#include <memory>

namespace plat
{
class IDirectInput8W;
class IDirectInputDevice8W;
} // namespace plat

namespace dorvo
{
namespace input
{
class InputUpdateImpl;

class InputSystem
{
public:
    struct AxisRange
    {
        std::int32_t minimum = -1000;
        std::int32_t maximum = 1000;
    };

    // What the shell passes: buffered, 1024-record buffers. A frame may be long (a room loading
    // or saving, a slow computer) while the player types on: a key takes two records and its text
    // one, so 20 records would lose the rest of a line after seven keys; 1024 hold half a minute
    // of fast typing. The joystick fields are reserved for a joystick device, which this system
    // does not create.
    struct InputConfig
    {
        bool buffered = true;
        std::uint32_t keyboardBufferSize = 1024; // records
        std::uint32_t mouseBufferSize = 1024;
        std::uint32_t joystickBufferSize = 20;
        AxisRange axisRanges[6];
    };

    InputSystem();
    ~InputSystem();
    InputSystem(const InputSystem&) = delete;
    InputSystem& operator=(const InputSystem&) = delete;

    // False when the interface, the keyboard or the mouse cannot be set up; whatever was
    // created is released again then.
    bool Init(const InputConfig& config, plat::HINSTANCE instance, plat::HWND window);
    void Update();
    // False, and the event untouched, when the queue is empty.
    bool PopEvent(InputEvent& event);
    void Shutdown();

private:
    bool CreateKeyboard(const InputConfig& config, plat::HWND window);
    bool CreateMouse(const InputConfig& config, plat::HWND window);
    void ReleaseDevices();

    plat::IDirectInput8W* m_directInput = nullptr;
    plat::IDirectInputDevice8W* m_keyboard = nullptr;
    plat::IDirectInputDevice8W* m_mouse = nullptr;
    plat::IDirectInputDevice8W* m_joystick = nullptr; // never created
    std::unique_ptr<InputUpdateImpl> m_reader;
    std::deque<InputEvent> m_queue; // oldest first
};
} // namespace input
} // namespace dorvo
