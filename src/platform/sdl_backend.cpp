// The SDL2 window backend: the main window with its OpenGL 3.3 core context, the event pump
// that feeds the raw-event observers and the message queue, cursor and message box.
#include "platform/event_observer.h"
#include "platform/gl_device.h"
#include "platform/sdl_events.h"
#include "platform/window_backend.h"

#include <SDL.h>
#include <dlfcn.h>
#include <link.h>

#include <cstdlib>
#include <vector>

namespace plat::detail
{
namespace
{
// SDL unloads the GL library when its video part stops, and the driver with it. Mesa's
// drivers are not made to be unloaded and loaded again in one process (a second device after
// a shutdown), so everything loaded once a context exists stays resident.
void KeepGLLibrariesLoaded()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*)
        {
            if (info->dlpi_name && info->dlpi_name[0])
                ::dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}

class SdlBackend : public WindowBackend
{
public:
    ~SdlBackend() override
    {
        DestroyMainWindow();
        if (m_videoStarted)
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        // The last SDL user also ends SDL itself, which closes its D-Bus connection.
        if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0)
            SDL_Quit();
    }

    bool IsHeadless() const override { return false; }

    bool CreateMainWindow(const std::wstring& title, int width, int height, bool windowed,
                          std::string& error) override
    {
        if (!StartVideo(error))
            return false;
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
        // Made as a window first, so that leaving full screen finds the size and place it had.
        const Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE;
        m_window = SDL_CreateWindow(ToNarrow(title).c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                    width, height, flags);
        if (!m_window)
        {
            error = std::string("the window cannot be opened: ") + SDL_GetError();
            return false;
        }
        m_fullScreen = false;
        m_translator = SdlEventTranslator();
        // Typed text comes as the keyboard layout makes it (text input events), keys by position.
        SDL_StartTextInput();
        SetCursorVisible(SystemCursorVisible());
        int w = width, h = height;
        if (!windowed && !SetFullScreen(true, w, h))
        {
            error = std::string("the window cannot go full screen: ") + SDL_GetError();
            DestroyMainWindow();
            return false;
        }
        return true;
    }

    bool HasWindow() const override { return m_window != nullptr; }

    void DestroyMainWindow() override
    {
        if (m_context)
        {
            SDL_GL_DeleteContext(m_context);
            m_context = nullptr;
        }
        if (m_window)
        {
            SDL_DestroyWindow(m_window);
            m_window = nullptr;
        }
        m_fullScreen = false;
    }

    void SetTitle(const std::wstring& title) override
    {
        if (m_window)
            SDL_SetWindowTitle(m_window, ToNarrow(title).c_str());
    }

    std::wstring Title() const override
    {
        return m_window ? ToWide(SDL_GetWindowTitle(m_window)) : std::wstring();
    }

    ComPtr<DeviceBase> CreateDevice(const D3DPRESENT_PARAMETERS& params, std::string& error) override
    {
        if (!m_window)
        {
            error = "there is no window";
            return {};
        }
        if (m_context)
            SDL_GL_DeleteContext(m_context);
        m_context = SDL_GL_CreateContext(m_window);
        KeepGLLibrariesLoaded();
        if (!m_context)
        {
            error = std::string("OpenGL 3.3 core is not available: ") + SDL_GetError();
            return {};
        }
        SDL_GL_MakeCurrent(m_window, m_context);
        // The frame loop paces itself; vertical sync only when the settings ask for it.
        SDL_GL_SetSwapInterval(params.PresentationInterval == D3DPRESENT_INTERVAL_ONE ? 1 : 0);
        D3DPRESENT_PARAMETERS actual = params;
        int w = 0, h = 0;
        SDL_GL_GetDrawableSize(m_window, &w, &h);
        // A window's back buffer has the pixels of its client area; full screen keeps the size
        // asked for (presenting scales it to the display).
        if (params.Windowed && w > 0 && h > 0)
        {
            actual.BackBufferWidth = static_cast<UINT>(w);
            actual.BackBufferHeight = static_cast<UINT>(h);
        }
        SDL_Window* window = m_window;
        auto device = MakeGLDevice(
            actual, [window] { SDL_GL_SwapWindow(window); },
            [window](int& width, int& height) { SDL_GL_GetDrawableSize(window, &width, &height); }, error);
        if (!device)
        {
            SDL_GL_DeleteContext(m_context);
            m_context = nullptr;
        }
        return device;
    }

    bool SetFullScreen(bool fullScreen, int& width, int& height) override
    {
        if (!m_window)
            return false;
        if (fullScreen)
        {
            SDL_Rect bounds;
            if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(m_window), &bounds) != 0)
                return false;
            if (!m_fullScreen)
                SDL_GetWindowPosition(m_window, &m_windowedX, &m_windowedY);
            // The window is laid over the whole display before it asks for full screen: without
            // a window manager (a bare X server) the request alone changes nothing on screen.
            SDL_SetWindowPosition(m_window, bounds.x, bounds.y);
            SDL_SetWindowSize(m_window, bounds.w, bounds.h);
            if (SDL_SetWindowFullscreen(m_window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
                return false;
            m_fullScreen = true;
            width = bounds.w;
            height = bounds.h;
            KeepPointerInStep();
            return true;
        }
        if (SDL_SetWindowFullscreen(m_window, 0) != 0)
            return false;
        if (width > 0 && height > 0)
            SDL_SetWindowSize(m_window, width, height);
        if (m_fullScreen)
            SDL_SetWindowPosition(m_window, m_windowedX, m_windowedY);
        m_fullScreen = false;
        int w = 0, h = 0;
        SDL_GL_GetDrawableSize(m_window, &w, &h);
        if (w <= 0 || h <= 0)
            SDL_GetWindowSize(m_window, &w, &h);
        if (width <= 0 || height <= 0)
        {
            width = w;
            height = h;
        }
        KeepPointerInStep();
        return true;
    }

    void Pump() override
    {
        if (!m_videoStarted)
            return;
        SDL_Event event;
        std::vector<MSG> messages;
        HWND window = m_window ? MainWindowHandle() : nullptr;
        while (SDL_PollEvent(&event))
        {
            NotifyRawEvent(&event);
            messages.clear();
            m_translator.Translate(&event, window, messages);
            for (const MSG& m : messages)
                PostMessageW(m.hwnd, m.message, m.wParam, m.lParam);
        }
    }

    void SetCursorVisible(bool visible) override
    {
        if (m_videoStarted)
            SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
    }

    void SetCursorClipped(bool clipped) override
    {
        if (m_window)
            SDL_SetWindowGrab(m_window, clipped ? SDL_TRUE : SDL_FALSE);
    }

    bool GetCursorScreenPosition(POINT& point) override
    {
        POINT origin;
        int width = 0;
        int height = 0;
        if (!GetClientArea(origin, width, height))
            return false;
        int x = 0;
        int y = 0;
        // The position SDL keeps from the window's mouse events, relative to the window.
        SDL_GetMouseState(&x, &y);
        point.x = origin.x + x;
        point.y = origin.y + y;
        return true;
    }

    bool GetClientArea(POINT& origin, int& width, int& height) override
    {
        if (!m_window)
            return false;
        int x = 0;
        int y = 0;
        SDL_GetWindowPosition(m_window, &x, &y);
        SDL_GetWindowSize(m_window, &width, &height);
        origin.x = x;
        origin.y = y;
        return true;
    }

    void CancelTextComposition() override
    {
        // Stopping and starting text input resets the input context, dead key included.
        if (m_window)
        {
            SDL_StopTextInput();
            SDL_StartTextInput();
        }
    }

    void ShowMessageBox(const std::string& caption, const std::string& text) override
    {
        const char* x11 = std::getenv("DISPLAY");
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        if ((x11 && *x11) || (wayland && *wayland))
            SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), m_window);
    }

private:
    // A window that moves under a resting pointer gets no motion from it, so the position SDL
    // keeps (relative to the window) no longer is the pointer's. The pointer is put where SDL
    // has it, which is where the game draws its cursor; the warp moves nothing that SDL knows
    // of, so no motion reaches the mouse device.
    void KeepPointerInStep()
    {
        int x = 0, y = 0, w = 0, h = 0;
        SDL_GetMouseState(&x, &y);
        SDL_GetWindowSize(m_window, &w, &h);
        if (SDL_GetMouseFocus() == m_window && x >= 0 && y >= 0 && x < w && y < h)
            SDL_WarpMouseInWindow(m_window, x, y);
    }

    bool StartVideo(std::string& error)
    {
        if (m_videoStarted)
            return true;
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        {
            error = std::string("no display: ") + SDL_GetError();
            return false;
        }
        m_videoStarted = true;
        return true;
    }

    bool m_videoStarted = false;
    SDL_Window* m_window = nullptr;
    bool m_fullScreen = false;
    int m_windowedX = SDL_WINDOWPOS_CENTERED; // where the window goes back to, screen pixels
    int m_windowedY = SDL_WINDOWPOS_CENTERED;
    SDL_GLContext m_context = nullptr;
    SdlEventTranslator m_translator;
};
} // namespace

std::unique_ptr<WindowBackend> MakeSdlBackend()
{
    return std::make_unique<SdlBackend>();
}
} // namespace plat::detail
