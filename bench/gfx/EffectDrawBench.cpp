// 200 units drawn with the scene effects as the render queue draws them: four batches of 50
// (one texture set and one Begin/End each), every unit committing its own object and
// technique parameters before its draw, through the engine's facade, effect manager and device
// core. The CPU time of the frame's draws, on the headless device (the engine and platform
// alone) and on OpenGL with Mesa's llvmpipe under Xvfb (with the driver's share). Goal: under
// 2 ms of CPU on llvmpipe. The units come from the effect pixel tests' scene code.
#include "BenchDevice.h"
#include "EffectScene.h"

#include "engine/SEngineConfigInfo.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "platform/device_debug.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kBatches = 4;
constexpr int kUnitsPerBatch = 50;

using dorvo::gfx::CGFXCore;
using dorvo::gfx::SRenderRecord;

// The facade with the committed effects, the quad, four textures and the 200 records.
class EffectDrawScene
{
public:
    bool Start(std::string& why)
    {
        plat::DXUTInit(false, false, false, false);
        dorvo::SEngineConfigInfo config;
        config.useDefaults = false;
        config.screenWidth = kWidth;
        config.screenHeight = kHeight;
        config.fxPath = std::string(DORVO_SOURCE_DIR) + "/data/fx/";
        config.fxFiles = {"TextureMapping.fx"};
        if (!dorvo::gfx::CDorvoGfx::Instance().Init(config))
        {
            why = "the device could not be made";
            return false;
        }
        if (!dorvo::gfx::CFXManager::Instance().GetEffect("TextureMapping.fx"))
        {
            why = "TextureMapping.fx did not load";
            return false;
        }
        if (!fxscene::MakeUnitQuad(m_quad))
        {
            why = "the quad's buffers could not be made";
            return false;
        }
        CGFXCore& core = CGFXCore::Instance();
        for (std::size_t i = 0; i < m_textures.size(); ++i)
        {
            if (plat::FAILED(core.GetDevice()->CreateTexture(64, 64, 0, 0, plat::D3DFMT_A8R8G8B8,
                                                             plat::D3DPOOL_MANAGED, &m_textures[i], nullptr)))
            {
                why = "a texture could not be made";
                return false;
            }
        }
        // A camera over a grid of quads, a few units apart.
        core.SetView(math::Matrix4::LookAtLH(math::Vector3(0, 10, -30), math::Vector3(0, 0, 0),
                                             math::Vector3(0, 1, 0)));
        core.SetProjection(math::Matrix4::PerspectiveFovLH(0.8f, 4.0f / 3.0f, 1.0f, 500.0f));
        m_records.resize(kBatches * kUnitsPerBatch);
        for (int i = 0; i < kBatches * kUnitsPerBatch; ++i)
        {
            SRenderRecord& record = m_records[i];
            record.fxFile = &m_file;
            record.technique = &m_technique;
            math::Matrix4 world;
            world.SetTranslation(math::Vector3(static_cast<float>(i % 20) * 2.0f - 20.0f, 0.0f,
                                               static_cast<float>(i / 20) * 2.0f));
            fxscene::Place(record, world);
            record.buffers = &m_quad;
            record.uvAnimation = {0.01f * static_cast<float>(i % 7), 0.0f};
            record.textures[0] = m_textures[i / kUnitsPerBatch];
            record.textures[2] = m_textures[(i / kUnitsPerBatch + 1) % kBatches];
        }
        for (int b = 0; b < kBatches; ++b)
        {
            m_batches.emplace_back();
            for (int u = 0; u < kUnitsPerBatch; ++u)
                m_batches.back().push_back(&m_records[b * kUnitsPerBatch + u]);
        }
        return true;
    }

    ~EffectDrawScene()
    {
        for (plat::IDirect3DTexture9* texture : m_textures)
            if (texture)
                texture->Release();
        m_quad.Release();
        dorvo::gfx::CDorvoGfx::Instance().Release();
        plat::DXUTShutdown();
    }

    // The frame's draws: shared values, then the four batches.
    void Draw(double time)
    {
        CGFXCore& core = CGFXCore::Instance();
        core.SetFrameTime(time, 1.0f / 30.0f);
        core.BeginFrame();
        core.SetView(core.GetView());
        for (const std::vector<const SRenderRecord*>& batch : m_batches)
            fxscene::DrawBatch(batch);
        core.EndScene();
    }

private:
    const std::string m_file = "TextureMapping.fx";
    const std::string m_technique = "TextureMapping";
    dorvo::gfx::D3DRenderBuffers m_quad;
    std::array<plat::IDirect3DTexture9*, kBatches> m_textures{};
    std::vector<SRenderRecord> m_records;
    std::vector<std::vector<const SRenderRecord*>> m_batches;
};

void Report(benchmark::State& state, plat::IDirect3DDevice9* device)
{
    const plat::devicedebug::DeviceStatistics stats = plat::devicedebug::Statistics(device);
    const double frames = static_cast<double>(state.iterations());
    state.counters["draws"] = static_cast<double>(stats.draws) / frames;
    state.counters["uploads"] = static_cast<double>(stats.uniformUploads) / frames;
}

void BM_EffectDraws200Headless(benchmark::State& state)
{
    gfxbench::UseHeadlessDevice();
    std::string why;
    auto scene = std::make_unique<EffectDrawScene>();
    if (!scene->Start(why))
    {
        state.SkipWithError(why.c_str());
        return;
    }
    plat::IDirect3DDevice9* device = CGFXCore::Instance().GetDevice();
    plat::devicedebug::ResetStatistics(device);
    double time = 0.0;
    for (auto _ : state)
        scene->Draw(time += 1.0 / 30.0);
    Report(state, device);
    scene.reset();
    plat::headless::Reset();
}

void BM_EffectDraws200Llvmpipe(benchmark::State& state)
{
    testsupport::VirtualDisplay display;
    if (!gfxbench::StartLlvmpipeDisplay(state, display,
                                        std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24"))
        return;
    {
        std::string why;
        auto scene = std::make_unique<EffectDrawScene>();
        if (!scene->Start(why))
        {
            state.SkipWithError(why.c_str());
        }
        else
        {
            plat::IDirect3DDevice9* device = CGFXCore::Instance().GetDevice();
            double time = 0.0;
            scene->Draw(time); // warm: textures uploaded, samplers made
            device->Present(nullptr, nullptr, nullptr, nullptr);
            plat::devicedebug::ResetStatistics(device);
            for (auto _ : state)
            {
                scene->Draw(time += 1.0 / 30.0);
                // Showing the picture is the frame driver's, not the draws'.
                state.PauseTiming();
                device->Present(nullptr, nullptr, nullptr, nullptr);
                state.ResumeTiming();
            }
            Report(state, device);
        }
    }
    gfxbench::UseHeadlessDevice();
}

BENCHMARK(BM_EffectDraws200Headless)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EffectDraws200Llvmpipe)->Unit(benchmark::kMillisecond)->MinTime(2.0);
} // namespace
