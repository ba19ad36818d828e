// The fixture of the platform layer's pixel tests: the real OpenGL device of the given size made
// straight through the frame driver (no graphics facade) on Xvfb with Mesa's software renderer,
// the test skipped with a message where Xvfb is not installed; the back buffer read into
// `pixels`; at the end no OpenGL error and the display stopped. Pictures go under screenshots/
// in the build folder.
//
// A fixture's SetUp calls the base's SetUp first and returns when `device` is null; its TearDown
// releases what it made, then calls the base's TearDown. A test's own source includes
// "VirtualDisplay.h" as well: the build turns leak checking off for the programs whose source
// does.
#pragma once

#include "GLTestDevice.h"

#include "platform/d3d9.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport
{
class GLDeviceFixture : public ::testing::Test
{
protected:
    // The back buffer's size in pixels.
    GLDeviceFixture(int width, int height) : m_width(width), m_height(height) {}

    void SetUp() override;
    void TearDown() override;

    // Ends the scene, reads the back buffer into `pixels`, saves it under screenshots/ with the
    // name and presents.
    void Finish(const std::string& name);
    // A pixel of `pixels`, opaque.
    plat::D3DCOLOR At(int x, int y) const
    {
        return pixels[static_cast<std::size_t>(y) * m_width + x] | 0xFF000000u;
    }

    GLTestDevice gl;
    plat::IDirect3DDevice9* device = nullptr; // null once the test is skipped or failed in SetUp
    std::vector<plat::D3DCOLOR> pixels;       // the back buffer as Finish left it, row by row

private:
    int m_width;
    int m_height;
};

// A managed A8R8G8B8 texture of one level filled row by row with the texels (width x height of
// them); null when the device makes none.
plat::IDirect3DTexture9* MakeTexture(plat::IDirect3DDevice9* device, plat::UINT width, plat::UINT height,
                                     const std::vector<std::uint32_t>& texels);
} // namespace testsupport
