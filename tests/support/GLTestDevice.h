// The real OpenGL device for pixel tests: an Xvfb display with Mesa's software renderer and a
// device made through the frame driver, taken down again at the end. Pictures go under
// screenshots/ in the build folder so a person can look at them.
#pragma once

#include "VirtualDisplay.h"

#include "platform/d3d9.h"

#include <string>
#include <vector>

namespace testsupport
{
class GLTestDevice
{
public:
    ~GLTestDevice() { Stop(); }

    // False with Why() when the device cannot be made; Skipped() tells whether Xvfb is missing.
    // Without makeDevice only the display and the environment are set up, for a test that has
    // the engine make the device itself.
    bool Start(int width, int height, bool makeDevice = true);
    void Stop();
    bool Skipped() const { return m_skipped; }
    const std::string& Why() const { return m_why; }
    plat::IDirect3DDevice9* Device() const;

private:
    VirtualDisplay m_display;
    ScopedEnv m_env;
    bool m_started = false;
    bool m_skipped = false;
    std::string m_why;
};

// Starts `gl` (a GLTestDevice) with Start's arguments, or ends the calling function of a test:
// skipped with the reason where Xvfb is missing, failed otherwise. For SetUp and test bodies.
#define DORVO_START_GL_OR_SKIP(gl, ...)                                                                      \
    do                                                                                                       \
    {                                                                                                        \
        if (!(gl).Start(__VA_ARGS__))                                                                        \
        {                                                                                                    \
            if ((gl).Skipped())                                                                              \
                GTEST_SKIP() << (gl).Why();                                                                  \
            FAIL() << (gl).Why();                                                                            \
        }                                                                                                    \
    } while (false)

// The path of a picture under the build folder's screenshots/ (made when missing).
std::string ScreenshotPath(const std::string& name);
// Saves the device's back buffer there as a PNG; false when it could not be written.
bool SaveBackBuffer(plat::IDirect3DDevice9* device, const std::string& name);
} // namespace testsupport
