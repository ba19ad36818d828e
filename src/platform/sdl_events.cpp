#include "platform/sdl_events.h"

#include <SDL.h>

namespace plat::detail
{
namespace
{
LPARAM ClientPoint(int x, int y)
{
    return MAKELPARAM(static_cast<std::uint16_t>(static_cast<std::int16_t>(x)),
                      static_cast<std::uint16_t>(static_cast<std::int16_t>(y)));
}

WPARAM ModifierFlags()
{
    SDL_Keymod mod = SDL_GetModState();
    WPARAM flags = 0;
    if (mod & KMOD_SHIFT)
        flags |= MK_SHIFT;
    if (mod & KMOD_CTRL)
        flags |= MK_CONTROL;
    return flags;
}

WPARAM ButtonFlags(std::uint32_t sdlState)
{
    WPARAM flags = 0;
    if (sdlState & SDL_BUTTON_LMASK)
        flags |= MK_LBUTTON;
    if (sdlState & SDL_BUTTON_RMASK)
        flags |= MK_RBUTTON;
    if (sdlState & SDL_BUTTON_MMASK)
        flags |= MK_MBUTTON;
    return flags;
}

MSG Make(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG m;
    m.hwnd = window;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = GetTickCount();
    return m;
}
} // namespace

WPARAM VirtualKeyFromSdl(std::int32_t keycode, std::int32_t scancode)
{
    // Letters follow the keyboard layout, as Windows' virtual keys do; everything else goes
    // by key position.
    if (keycode >= SDLK_a && keycode <= SDLK_z)
        return static_cast<WPARAM>('A' + (keycode - SDLK_a));
    const auto sc = static_cast<SDL_Scancode>(scancode);
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z)
        return static_cast<WPARAM>('A' + (sc - SDL_SCANCODE_A));
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9)
        return static_cast<WPARAM>('1' + (sc - SDL_SCANCODE_1));
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12)
        return VK_F1 + static_cast<WPARAM>(sc - SDL_SCANCODE_F1);
    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9)
        return VK_NUMPAD0 + 1 + static_cast<WPARAM>(sc - SDL_SCANCODE_KP_1);
    switch (sc)
    {
    case SDL_SCANCODE_0:
        return '0';
    case SDL_SCANCODE_KP_0:
        return VK_NUMPAD0;
    case SDL_SCANCODE_RETURN:
        return VK_RETURN;
    case SDL_SCANCODE_KP_ENTER:
        return VK_RETURN;
    case SDL_SCANCODE_ESCAPE:
        return VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE:
        return VK_BACK;
    case SDL_SCANCODE_TAB:
        return VK_TAB;
    case SDL_SCANCODE_SPACE:
        return VK_SPACE;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT:
        return VK_SHIFT;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
        return VK_CONTROL;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
        return VK_MENU;
    case SDL_SCANCODE_PAUSE:
        return VK_PAUSE;
    case SDL_SCANCODE_CAPSLOCK:
        return VK_CAPITAL;
    case SDL_SCANCODE_PAGEUP:
        return VK_PRIOR;
    case SDL_SCANCODE_PAGEDOWN:
        return VK_NEXT;
    case SDL_SCANCODE_END:
        return VK_END;
    case SDL_SCANCODE_HOME:
        return VK_HOME;
    case SDL_SCANCODE_LEFT:
        return VK_LEFT;
    case SDL_SCANCODE_UP:
        return VK_UP;
    case SDL_SCANCODE_RIGHT:
        return VK_RIGHT;
    case SDL_SCANCODE_DOWN:
        return VK_DOWN;
    case SDL_SCANCODE_PRINTSCREEN:
        return VK_SNAPSHOT;
    case SDL_SCANCODE_INSERT:
        return VK_INSERT;
    case SDL_SCANCODE_DELETE:
        return VK_DELETE;
    case SDL_SCANCODE_KP_MULTIPLY:
        return VK_MULTIPLY;
    case SDL_SCANCODE_KP_PLUS:
        return VK_ADD;
    case SDL_SCANCODE_KP_MINUS:
        return VK_SUBTRACT;
    case SDL_SCANCODE_KP_PERIOD:
        return VK_DECIMAL;
    case SDL_SCANCODE_KP_DIVIDE:
        return VK_DIVIDE;
    case SDL_SCANCODE_NUMLOCKCLEAR:
        return VK_NUMLOCK;
    case SDL_SCANCODE_SCROLLLOCK:
        return VK_SCROLL;
    case SDL_SCANCODE_SEMICOLON:
        return VK_OEM_1;
    case SDL_SCANCODE_EQUALS:
        return VK_OEM_PLUS;
    case SDL_SCANCODE_COMMA:
        return VK_OEM_COMMA;
    case SDL_SCANCODE_MINUS:
        return VK_OEM_MINUS;
    case SDL_SCANCODE_PERIOD:
        return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH:
        return VK_OEM_2;
    case SDL_SCANCODE_GRAVE:
        return VK_OEM_3;
    case SDL_SCANCODE_LEFTBRACKET:
        return VK_OEM_4;
    case SDL_SCANCODE_BACKSLASH:
        return VK_OEM_5;
    case SDL_SCANCODE_RIGHTBRACKET:
        return VK_OEM_6;
    case SDL_SCANCODE_APOSTROPHE:
        return VK_OEM_7;
    default:
        return 0;
    }
}

void SdlEventTranslator::Translate(const void* event, HWND window, std::vector<MSG>& out)
{
    const SDL_Event& e = *static_cast<const SDL_Event*>(event);
    switch (e.type)
    {
    case SDL_QUIT:
        if (!m_destroySent)
            out.push_back(Make(window, WM_DESTROY, 0, 0));
        m_destroySent = true;
        break;
    case SDL_WINDOWEVENT:
        switch (e.window.event)
        {
        case SDL_WINDOWEVENT_CLOSE:
            if (!m_destroySent)
                out.push_back(Make(window, WM_DESTROY, 0, 0));
            m_destroySent = true;
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            out.push_back(Make(window, WM_SIZE, 0,
                               MAKELPARAM(static_cast<std::uint16_t>(e.window.data1),
                                          static_cast<std::uint16_t>(e.window.data2))));
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            out.push_back(Make(window, WM_ACTIVATEAPP, 1, 0));
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            out.push_back(Make(window, WM_ACTIVATEAPP, 0, 0));
            break;
        default:
            break;
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    {
        const SDL_Keysym& k = e.key.keysym;
        WPARAM vk = VirtualKeyFromSdl(k.sym, k.scancode);
        if (vk == 0)
            break;
        const bool down = e.type == SDL_KEYDOWN;
        const bool alt = (k.mod & KMOD_ALT) != 0;
        // As in Windows: keys with Alt held, Alt itself and F10 are system keys.
        const bool sys = alt || vk == VK_MENU || vk == VK_F10;
        UINT message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
        // Repeat count 1, scan code in bits 16-23, Alt in bit 29, previous state in bit 30,
        // release in bit 31.
        std::uint32_t lp = 1u | ((static_cast<std::uint32_t>(k.scancode) & 0xFFu) << 16);
        if (alt)
            lp |= 1u << 29;
        if (!down || e.key.repeat)
            lp |= 1u << 30;
        if (!down)
            lp |= 1u << 31;
        out.push_back(Make(window, message, vk, static_cast<LPARAM>(lp)));
        break;
    }
    case SDL_MOUSEMOTION:
        m_buttons = ButtonFlags(e.motion.state);
        out.push_back(
            Make(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                 MAKELPARAM(static_cast<std::uint16_t>(HTCLIENT), static_cast<std::uint16_t>(WM_MOUSEMOVE))));
        out.push_back(
            Make(window, WM_MOUSEMOVE, m_buttons | ModifierFlags(), ClientPoint(e.motion.x, e.motion.y)));
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    {
        UINT base;
        WPARAM flag;
        switch (e.button.button)
        {
        case SDL_BUTTON_LEFT:
            base = WM_LBUTTONDOWN;
            flag = MK_LBUTTON;
            break;
        case SDL_BUTTON_RIGHT:
            base = WM_RBUTTONDOWN;
            flag = MK_RBUTTON;
            break;
        case SDL_BUTTON_MIDDLE:
            base = WM_MBUTTONDOWN;
            flag = MK_MBUTTON;
            break;
        default:
            return;
        }
        const bool down = e.type == SDL_MOUSEBUTTONDOWN;
        if (down)
            m_buttons |= flag;
        else
            m_buttons &= ~flag;
        // Down, up and double click follow each other in the message numbers.
        UINT message = down ? (e.button.clicks == 2 ? base + 2 : base) : base + 1;
        out.push_back(
            Make(window, message, m_buttons | ModifierFlags(), ClientPoint(e.button.x, e.button.y)));
        break;
    }
    case SDL_MOUSEWHEEL:
    {
        int notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        int delta = notches * WHEEL_DELTA;
        int x = 0, y = 0;
        SDL_GetMouseState(&x, &y);
        WPARAM wp = (m_buttons | ModifierFlags()) |
                    (static_cast<WPARAM>(static_cast<std::uint16_t>(static_cast<std::int16_t>(delta))) << 16);
        out.push_back(Make(window, WM_MOUSEWHEEL, wp, ClientPoint(x, y)));
        break;
    }
    default:
        break;
    }
}
} // namespace plat::detail
