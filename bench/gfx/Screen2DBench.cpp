// The game's 2D frame through the engine: ten menus of 30 units each on their 2D components and
// the console window open over them (tests/engine/gfx/Screen2DScene.h), every object updated and
// the facade's frame drawn, on the headless device (CPU) and on OpenGL with Mesa's llvmpipe
// under Xvfb (wall time up to the presented picture). Goals: 2 ms headless, 25 ms on llvmpipe.
#include "BenchDevice.h"
#include "Screen2DScene.h"

#include "engine/SEngineConfigInfo.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "platform/device_debug.h"
#include "platform/frame_driver.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace
{
constexpr float kDt = 1.0f / 30.0f;

// Also moves into the game's run folder, four levels below the repository, where the data
// files' own relative paths (the 2D archetype's) resolve.
dorvo::SEngineConfigInfo Config()
{
    std::error_code ec;
    std::filesystem::current_path(std::string(DORVO_SOURCE_DIR) + "/build/run/game/QUORB", ec);
    dorvo::SEngineConfigInfo config; // windowed 800 x 600
    config.texturePath = std::string(DORVO_SOURCE_DIR) + "/data/textures/";
    config.fxPath = std::string(DORVO_SOURCE_DIR) + "/data/fx/";
    return config;
}

// Frames of the scene until the state ends; draws counted per frame.
void RunFrames(benchmark::State& state, bool present)
{
    dorvo::gfx::CDorvoGfx& gfx = dorvo::gfx::CDorvoGfx::Instance();
    plat::IDirect3DDevice9* device = plat::DXUTGetD3D9Device();
    {
        testsupport::Screen2DScene scene;
        if (!scene.Build())
        {
            state.SkipWithError("the screen could not be built");
            return;
        }
        double time = 1.0;
        auto frame = [&]
        {
            time += kDt;
            scene.Update(kDt);
            scene.Render(time, kDt);
            if (present)
                device->Present(nullptr, nullptr, nullptr, nullptr);
        };
        frame(); // warm: textures, layouts and programs in place
        plat::devicedebug::ResetStatistics(device);
        for (auto _ : state)
            frame();
        state.counters["draws"] = static_cast<double>(plat::devicedebug::Statistics(device).draws) /
                                  static_cast<double>(state.iterations());
    }
    gfx.Release();
}

void BM_Screen2DHeadless(benchmark::State& state)
{
    gfxbench::RunOnHeadlessFacade(state, Config, RunFrames);
}

void BM_Screen2DLlvmpipe(benchmark::State& state)
{
    gfxbench::RunOnLlvmpipeFacade(state, Config, RunFrames);
}
} // namespace

BENCHMARK(BM_Screen2DHeadless)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Screen2DLlvmpipe)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
