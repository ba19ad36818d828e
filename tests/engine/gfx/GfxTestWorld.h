// The smallest graphics world the 2D tests need: the facade initialised on the headless device
// in a fresh working folder whose "textures/" is the texture folder, PNG fixtures written into
// it, and the call log read by kind.
#pragma once

#include "TestSupport.h"
#include "engine/GobManager.h"
#include "engine/SEngineConfigInfo.h"
#include "engine/StateMachineComponent.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/sprites/IScreenUnit.h"
#include "engine/gfx/sprites/SpriteBatch.h"
#include "platform/device_debug.h"
#include "platform/files.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/image_codec.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace gfxtest
{
// An opaque PNG of width x height at path (folders made), each pixel colour(x, y).
inline bool WritePng(const std::string& path, unsigned width, unsigned height,
                     const std::function<plat::D3DCOLOR(unsigned, unsigned)>& color)
{
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x)
            pixels[static_cast<std::size_t>(y) * width + x] = color(x, y);
    std::vector<unsigned char> png;
    if (!plat::detail::EncodePng(pixels, width, height, png))
        return false;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && written;
}

// The colours of the frames of the strip fixture, frame i in kFrameColors[i].
constexpr plat::D3DCOLOR kFrameColors[6] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu,
                                            0xFFFFFF00u, 0xFF00FFFFu, 0xFFFF00FFu};

// columns x rows frames of size x size pixels, frame i (row by row) in kFrameColors[i].
inline bool WriteStrip(const std::string& path, unsigned columns, unsigned rows, unsigned size)
{
    return WritePng(path, columns * size, rows * size,
                    [&](unsigned x, unsigned y) { return kFrameColors[(y / size) * columns + x / size]; });
}

// A screen unit that writes what happens to it into a shared log ("<name>:render",
// "<name>:update <ms>", "<name>:input", "<name>:lost", "<name>:reset", "<name>:deleted"); it
// takes input when told to.
class LogUnit : public dorvo::gfx::IScreenUnit
{
public:
    LogUnit(std::string name, int depth, std::vector<std::string>* log, bool takesInput = false)
        : m_depth(depth), m_log(log), m_takesInput(takesInput)
    {
        SetName(std::move(name));
    }
    ~LogUnit() override { Write("deleted"); }
    void Render(double, float) override { Write("render"); }
    void Update(int ms) override
    {
        Write("update " + std::to_string(ms));
        IScreenUnit::Update(ms);
    }
    bool HandleInput(const dorvo::input::InputEvent* event, float dt) override
    {
        Write("input");
        return m_takesInput || IScreenUnit::HandleInput(event, dt);
    }
    void OnLostDevice() override { Write("lost"); }
    void OnResetDevice() override { Write("reset"); }
    int GetDepth() const override { return m_depth; }
    void SetDepth(int depth) override { m_depth = depth; }
    bool IsVisible() const override { return true; }
    void SetVisible(bool, bool) override {}

private:
    void Write(const std::string& what)
    {
        if (m_log)
            m_log->push_back(GetName() + ":" + what);
    }
    int m_depth;
    std::vector<std::string>* m_log;
    bool m_takesInput;
};

// The entries of a log that end with the suffix (":render" say), each without it.
inline std::vector<std::string> Only(const std::vector<std::string>& log, const std::string& suffix)
{
    std::vector<std::string> found;
    for (const std::string& entry : log)
        if (entry.size() > suffix.size() &&
            entry.compare(entry.size() - suffix.size(), suffix.size(), suffix) == 0)
            found.push_back(entry.substr(0, entry.size() - suffix.size()));
    return found;
}

// The template "Screen2D": an object of a 2D component and a state-machine component, as the
// menus and the console window are made of. Filed once per process; objects come from
// GobManager::CreateGob("Screen2D").
inline void Load2DTemplate()
{
    StateMachineComponent::RegisterType();
    dorvo::gfx::CDorvoGfx::Instance().RegisterComponentCreators();
    GobManager& manager = GobManager::Instance();
    if (manager.FindController("Screen2D"))
        return;
    // One file per process: test processes side by side must not remove each other's.
    const std::string file = std::filesystem::temp_directory_path() /
                             ("dorvo_Screen2D_template_" + std::to_string(::getpid()) + ".xml");
    {
        std::FILE* out = std::fopen(file.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        std::fputs("<File><Template><string name=\"TypeName\">Screen2D</string>"
                   "<string name=\"TemplateName\">Screen2D</string><list name=\"Components\" size=\"2\">"
                   "<string>Gfx2DComp</string><string>StateMachineComponent</string></list>"
                   "<list name=\"Archetypes\" size=\"0\"></list></Template></File>",
                   out);
        std::fclose(out);
    }
    manager.LoadTemplate(file);
    std::remove(file.c_str());
    ASSERT_NE(manager.FindController("Screen2D"), nullptr);
}

inline std::vector<plat::devicedebug::LoggedCall> CallsOf(plat::devicedebug::CallKind kind)
{
    std::vector<plat::devicedebug::LoggedCall> calls;
    for (const plat::devicedebug::LoggedCall& call : plat::headless::CallLog())
        if (call.kind == kind)
            calls.push_back(call);
    return calls;
}

class HeadlessGfx : public ::testing::Test
{
protected:
    static constexpr char kTextureFolder[] = "textures/";

    void SetUp() override
    {
        plat::headless::Reset();
        plat::DXUTInit(false, false, false, true);
        m_dir = std::make_unique<testsupport::TempWorkDir>();
        std::filesystem::create_directories(kTextureFolder);
        config.texturePath = kTextureFolder;
        ASSERT_TRUE(gfx.Init(config));
        device = plat::DXUTGetD3D9Device();
    }

    void TearDown() override
    {
        gfx.Release();
        plat::headless::Reset();
        m_dir.reset();
    }

    // Begin, the units' Render in the order given, End, with the call log on.
    template <typename... Units> void DrawLogged(Units&... units)
    {
        plat::headless::ClearCallLog();
        plat::headless::SetCallLogging(true);
        dorvo::gfx::CGFXCore& core = dorvo::gfx::CGFXCore::Instance();
        core.BeginFrame();
        plat::ID3DXSprite* batch = dorvo::gfx::GetSpriteBatch();
        ASSERT_NE(batch, nullptr);
        batch->Begin(plat::D3DXSPRITE_ALPHABLEND);
        (units.Render(1.0, 0.033f), ...);
        batch->End();
        core.EndScene();
        plat::headless::SetCallLogging(false);
    }

    dorvo::SEngineConfigInfo config;
    dorvo::gfx::CDorvoGfx& gfx = dorvo::gfx::CDorvoGfx::Instance();
    plat::IDirect3DDevice9* device = nullptr;

private:
    std::unique_ptr<testsupport::TempWorkDir> m_dir;
};
} // namespace gfxtest
