#include "platform/sdl_events.h"

#include <SDL.h>
#include <gtest/gtest.h>

using namespace plat;
using plat::detail::SdlEventTranslator;

namespace
{
HWND Window()
{
    static char w;
    return reinterpret_cast<HWND>(&w);
}

SDL_Event Key(Uint32 type, SDL_Keycode sym, SDL_Scancode scancode, Uint16 mod = KMOD_NONE, Uint8 repeat = 0)
{
    SDL_Event e;
    SDL_zero(e);
    e.type = type;
    e.key.keysym.sym = sym;
    e.key.keysym.scancode = scancode;
    e.key.keysym.mod = mod;
    e.key.repeat = repeat;
    return e;
}

std::vector<MSG> Translate(SdlEventTranslator& t, const SDL_Event& e)
{
    std::vector<MSG> out;
    t.Translate(&e, Window(), out);
    return out;
}
} // namespace

TEST(SdlEvents, KeysBecomeKeyMessagesWithVirtualKeysAndSystemKeysWithAlt)
{
    struct Case
    {
        const char* name;
        SDL_Event event;
        UINT message;
        WPARAM vk;
        bool released;
    };
    const Case cases[] = {
        {"F1 down", Key(SDL_KEYDOWN, SDLK_F1, SDL_SCANCODE_F1), WM_KEYDOWN, VK_F1, false},
        {"F1 up", Key(SDL_KEYUP, SDLK_F1, SDL_SCANCODE_F1), WM_KEYUP, VK_F1, true},
        {"letter by layout", Key(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_Q), WM_KEYDOWN, 'A', false},
        {"digit", Key(SDL_KEYDOWN, SDLK_7, SDL_SCANCODE_7), WM_KEYDOWN, '7', false},
        {"zero", Key(SDL_KEYDOWN, SDLK_0, SDL_SCANCODE_0), WM_KEYDOWN, '0', false},
        {"escape", Key(SDL_KEYDOWN, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE), WM_KEYDOWN, VK_ESCAPE, false},
        {"right shift", Key(SDL_KEYDOWN, SDLK_RSHIFT, SDL_SCANCODE_RSHIFT), WM_KEYDOWN, VK_SHIFT, false},
        {"arrow", Key(SDL_KEYDOWN, SDLK_LEFT, SDL_SCANCODE_LEFT), WM_KEYDOWN, VK_LEFT, false},
        {"keypad 5", Key(SDL_KEYDOWN, SDLK_KP_5, SDL_SCANCODE_KP_5), WM_KEYDOWN, VK_NUMPAD0 + 5, false},
        {"grave (console key)", Key(SDL_KEYDOWN, SDLK_BACKQUOTE, SDL_SCANCODE_GRAVE), WM_KEYDOWN, VK_OEM_3,
         false},
        {"Alt+Enter", Key(SDL_KEYDOWN, SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT), WM_SYSKEYDOWN, VK_RETURN,
         false},
        {"Alt itself", Key(SDL_KEYDOWN, SDLK_LALT, SDL_SCANCODE_LALT), WM_SYSKEYDOWN, VK_MENU, false},
        {"Alt released", Key(SDL_KEYUP, SDLK_LALT, SDL_SCANCODE_LALT), WM_SYSKEYUP, VK_MENU, true},
        {"F10", Key(SDL_KEYDOWN, SDLK_F10, SDL_SCANCODE_F10), WM_SYSKEYDOWN, VK_F10, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        SdlEventTranslator t;
        std::vector<MSG> out = Translate(t, c.event);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].hwnd, Window());
        EXPECT_EQ(out[0].message, c.message);
        EXPECT_EQ(out[0].wParam, c.vk);
        const auto lp = static_cast<std::uint32_t>(out[0].lParam);
        EXPECT_EQ(lp & 0xFFFF, 1u) << "repeat count";
        EXPECT_EQ((lp >> 31) & 1, c.released ? 1u : 0u);
    }
    SdlEventTranslator t;
    EXPECT_TRUE(Translate(t, Key(SDL_KEYDOWN, SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN)).empty());
    auto repeated = Translate(t, Key(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A, KMOD_NONE, 1));
    EXPECT_EQ((static_cast<std::uint32_t>(repeated.at(0).lParam) >> 30) & 1, 1u)
        << "auto-repeat sets the previous state";
}

TEST(SdlEvents, MouseEventsBecomeMouseMessagesWithClientCoordinates)
{
    SdlEventTranslator t;
    SDL_Event e;
    SDL_zero(e);
    e.type = SDL_MOUSEMOTION;
    e.motion.x = 120;
    e.motion.y = 45;
    e.motion.state = SDL_BUTTON_LMASK;
    auto out = Translate(t, e);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].message, WM_SETCURSOR) << "Windows asks for the cursor before each move";
    EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(out[0].lParam)), HTCLIENT);
    EXPECT_EQ(out[1].message, WM_MOUSEMOVE);
    EXPECT_EQ(out[1].wParam & MK_LBUTTON, MK_LBUTTON);
    EXPECT_EQ(GET_X_LPARAM(out[1].lParam), 120);
    EXPECT_EQ(GET_Y_LPARAM(out[1].lParam), 45);

    struct Case
    {
        Uint32 type;
        Uint8 button;
        Uint8 clicks;
        UINT message;
    };
    const Case cases[] = {
        {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, WM_LBUTTONDOWN},
        {SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 1, WM_LBUTTONUP},
        {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 2, WM_LBUTTONDBLCLK},
        {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1, WM_RBUTTONDOWN},
        {SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 1, WM_RBUTTONUP},
        {SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 2, WM_MBUTTONDBLCLK},
        {SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 1, WM_MBUTTONUP},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.message);
        SDL_zero(e);
        e.type = c.type;
        e.button.button = c.button;
        e.button.clicks = c.clicks;
        e.button.x = -3; // captured drags go outside the window
        e.button.y = 700;
        out = Translate(t, e);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].message, c.message);
        EXPECT_EQ(GET_X_LPARAM(out[0].lParam), -3);
        EXPECT_EQ(GET_Y_LPARAM(out[0].lParam), 700);
    }

    SDL_zero(e);
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = -2;
    out = Translate(t, e);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].message, WM_MOUSEWHEEL);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(out[0].wParam), -2 * WHEEL_DELTA);
}

TEST(SdlEvents, CloseAndQuitGiveOneDestroy)
{
    SdlEventTranslator t;
    SDL_Event close;
    SDL_zero(close);
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_Event quit;
    SDL_zero(quit);
    quit.type = SDL_QUIT;
    auto first = Translate(t, close);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].message, WM_DESTROY);
    EXPECT_TRUE(Translate(t, quit).empty());

    SdlEventTranslator fresh;
    auto onlyQuit = Translate(fresh, quit);
    ASSERT_EQ(onlyQuit.size(), 1u);
    EXPECT_EQ(onlyQuit[0].message, WM_DESTROY);

    SDL_Event size;
    SDL_zero(size);
    size.type = SDL_WINDOWEVENT;
    size.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    size.window.data1 = 1024;
    size.window.data2 = 700;
    auto sized = Translate(fresh, size);
    ASSERT_EQ(sized.size(), 1u);
    EXPECT_EQ(sized[0].message, WM_SIZE);
    EXPECT_EQ(sized[0].lParam, MAKELPARAM(1024, 700));
}
