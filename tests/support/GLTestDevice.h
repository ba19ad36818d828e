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

// The path of a picture under the build folder's screenshots/ (made when missing).
std::string ScreenshotPath(const std::string& name);
// Saves the device's back buffer there as a PNG; false when it could not be written.
bool SaveBackBuffer(plat::IDirect3DDevice9* device, const std::string& name);
} // namespace testsupport
