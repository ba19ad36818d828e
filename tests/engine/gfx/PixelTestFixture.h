// What the pixel tests of the graphics layer start and end with: the real OpenGL device under
// Xvfb with Mesa's software renderer (the test skipped, with a message, where Xvfb is not
// installed), a working folder of the test's own, the facade and the device it makes, the back
// buffer read into `pixels`, and at the end no OpenGL error, the facade released and the display
// stopped. ScenePixelTestFixture adds a world scene on the facade's whole frame, built the way
// the game builds its rooms, and screenshots through the facade. Pictures go under screenshots/
// in the build folder.
//
// A fixture's SetUp calls the base's SetUp first and returns when Ready() is false; its TearDown
// calls ExpectNoGLErrors first and StopDevice (or StopScene) last. A pixel test's own source
// includes "VirtualDisplay.h" as well: the build turns leak checking off for the programs whose
// source does, as Mesa, D-Bus and SDL keep allocations until exit.
#pragma once

#include "GLTestDevice.h"
#include "LogCapture.h"
#include "PngPicture.h"
#include "TestSupport.h"
#include "worldscene/WorldScene.h"

#include "common/COctTree.h"
#include "common/ConsoleInterface.h"
#include "common/math/Matrix4.h"
#include "common/math/Vector3.h"
#include "common/math/Vector4.h"
#include "engine/GobManager.h"
#include "engine/SEngineConfigInfo.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/mesh/CMeshManager.h"
#include "engine/gfx/sprites/IScreenUnit.h"
#include "engine/gfx/sprites/SpriteBatch.h"
#include "platform/device_debug.h"
#include "platform/frame_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace gfxtest
{
// One pixel of a picture read back, 0 to 255 a channel.
struct Rgb
{
    int r, g, b;
    bool Black() const { return r < 8 && g < 8 && b < 8; }
};

class PixelTestFixture : public ::testing::Test
{
protected:
    // The window's size in pixels.
    PixelTestFixture(int width, int height) : m_width(width), m_height(height) {}

    // The display and the working folder.
    void SetUp() override
    {
        DORVO_START_GL_OR_SKIP(gl, m_width, m_height, false);
        dir = std::make_unique<testsupport::TempWorkDir>();
    }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // False once the test is skipped or has failed fatally: the fixture's SetUp returns.
    static bool Ready() { return !IsSkipped() && !HasFatalFailure(); }
    // `config` for a window of the fixture's size without the engine's defaults, its textures
    // from the folder; the fixture adds what else it needs.
    void SetWindowConfig(const std::string& texturePath)
    {
        config.useDefaults = false;
        config.screenWidth = m_width;
        config.screenHeight = m_height;
        config.texturePath = texturePath;
    }
    // The device the facade made on Init into `device`; false without one.
    bool TakeDevice()
    {
        device = plat::DXUTGetD3D9Device();
        return device != nullptr;
    }

    void TearDown() override
    {
        ExpectNoGLErrors();
        StopDevice();
    }
    void ExpectNoGLErrors() const
    {
        if (device)
        {
            EXPECT_EQ(plat::devicedebug::Statistics(device).glErrors, 0u) << "OpenGL reported errors";
        }
    }
    // The facade released, the display stopped, the working folder gone.
    void StopDevice()
    {
        gfx.Release();
        gl.Stop();
        dir.reset();
    }

    // The back buffer into `pixels`, saved under screenshots/ with the name, then presented.
    void ReadBack(const std::string& name)
    {
        ASSERT_TRUE(device->ReadBackBuffer(pixels));
        ASSERT_EQ(pixels.size(), static_cast<std::size_t>(m_width) * m_height);
        EXPECT_TRUE(testsupport::SaveBackBuffer(device, name));
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    // A pixel of `pixels`.
    Rgb At(int x, int y) const
    {
        const plat::D3DCOLOR c = pixels[static_cast<std::size_t>(y) * m_width + x];
        return {static_cast<int>((c >> 16) & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>(c & 0xFF)};
    }
    // Each channel of the pixel within the tolerance of the colour's; the failure names what the
    // pixel shows (when given), where it is, what it holds and what was wanted.
    void ExpectAt(int x, int y, Rgb want, int tolerance = 2, const char* what = nullptr) const
    {
        const Rgb got = At(x, y);
        EXPECT_TRUE(std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
                    std::abs(got.b - want.b) <= tolerance)
            << (what ? std::string(what) + " " : std::string()) << "at (" << x << ", " << y << "): " << got.r
            << ", " << got.g << ", " << got.b << " wanted " << want.r << ", " << want.g << ", " << want.b;
    }

    // One frame of the screen units in depth order (equal depths as given), as the 2D pass draws
    // it, into the back buffer.
    static void DrawScreenUnits(std::vector<dorvo::gfx::IScreenUnit*> units)
    {
        std::stable_sort(units.begin(), units.end(),
                         [](const dorvo::gfx::IScreenUnit* a, const dorvo::gfx::IScreenUnit* b)
                         { return a->DepthLess(*b); });
        dorvo::gfx::CGFXCore& core = dorvo::gfx::CGFXCore::Instance();
        core.BeginFrame();
        plat::ID3DXSprite* batch = dorvo::gfx::GetSpriteBatch();
        ASSERT_NE(batch, nullptr);
        batch->Begin(plat::D3DXSPRITE_ALPHABLEND);
        for (dorvo::gfx::IScreenUnit* unit : units)
            unit->Render(1.0, 0.033f);
        batch->End();
        core.EndScene();
    }

    // A line through the console, as typed.
    static void Console(const std::string& line)
    {
        common::ConsoleInterface::Instance().WriteToConsole(line, common::FF_Execute, true);
    }

    testsupport::GLTestDevice gl;
    std::unique_ptr<testsupport::TempWorkDir> dir;
    dorvo::SEngineConfigInfo config; // what SetWindowConfig fills in, for gfx.Init
    dorvo::gfx::CDorvoGfx& gfx = dorvo::gfx::CDorvoGfx::Instance();
    plat::IDirect3DDevice9* device = nullptr;
    std::vector<plat::D3DCOLOR> pixels; // the back buffer as ReadBack left it, row by row

private:
    int m_width;
    int m_height;
};

class ScenePixelTestFixture : public PixelTestFixture
{
protected:
    using PixelTestFixture::PixelTestFixture;

    // The facade started on the scene configuration and its device taken, then no objects, no
    // oct-tree entries and no cached meshes left. With `initErrors`, the lines the start wrote
    // to the log are kept there.
    void StartScene(std::string* initErrors = nullptr)
    {
        std::optional<testsupport::LogCapture> logged;
        if (initErrors)
            logged.emplace();
        const bool started = gfx.Init(worldscene::SceneConfig(Width(), Height()));
        if (initErrors)
            *initErrors = logged->Text();
        ASSERT_TRUE(started) << (initErrors ? *initErrors : std::string());
        ASSERT_TRUE(TakeDevice());
        GobManager::Instance().DestroyAllGobs();
        common::COctTree::Global().Rebuild();
        dorvo::gfx::CMeshManager::Instance().Release();
    }
    // The scene's objects and every other object gone, the cached meshes released, then
    // StopDevice.
    void StopScene()
    {
        scene.Destroy();
        GobManager::Instance().DestroyAllGobs();
        dorvo::gfx::CMeshManager::Instance().Release();
        StopDevice();
    }

    // One frame through the frame driver whose picture the facade saves under screenshots/
    // with the name; the picture's path.
    std::string TakeShot(const std::string& name)
    {
        const std::string path = testsupport::ScreenshotPath(name);
        std::remove(path.c_str());
        gfx.TakeScreenShot(path);
        plat::DXUTRender3DEnvironment();
        return path;
    }

    // Where a world point lands on the screen, in pixels, through the device core's view and
    // projection.
    void ToScreen(const math::Vector3& point, int& x, int& y) const
    {
        const dorvo::gfx::CGFXCore& core = dorvo::gfx::CGFXCore::Instance();
        const math::Vector4 clip = (core.GetProjection() * core.GetView()).Transform(math::Vector4(point));
        x = static_cast<int>((clip.x / clip.w * 0.5f + 0.5f) * Width());
        y = static_cast<int>((0.5f - clip.y / clip.w * 0.5f) * Height());
    }

    worldscene::WorldScene scene;
};
} // namespace gfxtest
