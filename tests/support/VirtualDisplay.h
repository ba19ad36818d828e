// A virtual X display for the tests that drive the real OpenGL device: an Xvfb server on a
// display number it picks itself, stopped when the object goes; and a scope that sets
// environment variables (DISPLAY, the software renderer) and puts the old values back.
#pragma once

#include <map>
#include <string>
#include <sys/types.h>
#include <utility>

namespace testsupport
{
// Whether an Xvfb program is on the PATH; tests skip with a message where it is not.
bool XvfbInstalled();

class VirtualDisplay
{
public:
    ~VirtualDisplay() { Stop(); }

    // Starts Xvfb with one screen of the given size ("1024x768x24"); false when it would not
    // start. The server reports its own display number, so tests side by side never share one.
    bool Start(const std::string& screen);
    void Stop();
    const std::string& Display() const { return m_display; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

class ScopedEnv
{
public:
    ~ScopedEnv();
    // A null value unsets the variable.
    void Set(const char* name, const char* value);

private:
    std::map<std::string, std::pair<bool, std::string>> m_saved;
};

// Points the program's platform layer at the display for the scope of env: the OpenGL backend
// (not the headless one) through SDL's X11 driver on Mesa's software renderer, and SDL's silent
// audio driver.
void UseOpenGLOn(const VirtualDisplay& display, ScopedEnv& env);
} // namespace testsupport
