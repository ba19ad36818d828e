// Turns SDL events into the window messages the engine handles: close and quit into one
// WM_DESTROY, keys into WM_KEYDOWN/WM_KEYUP (WM_SYSKEYDOWN/WM_SYSKEYUP with Alt) with
// virtual-key codes, mouse motion, buttons and wheel into the mouse messages with client
// coordinates, focus into WM_ACTIVATEAPP, size changes into WM_SIZE.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <vector>

namespace plat::detail
{
class SdlEventTranslator
{
public:
    // event points to an SDL_Event. Appends the messages it stands for, addressed to window.
    void Translate(const void* event, HWND window, std::vector<MSG>& out);

private:
    bool m_destroySent = false; // one WM_DESTROY for a close followed by SDL's quit
    WPARAM m_buttons = 0;       // MK_ flags of the buttons held
};

// The virtual-key code for an SDL key (SDL_Keycode, SDL_Scancode); 0 when there is none.
WPARAM VirtualKeyFromSdl(std::int32_t keycode, std::int32_t scancode);
} // namespace plat::detail
