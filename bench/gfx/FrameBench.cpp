// What a room costs per frame: the bench room (tests/data/gfx/BenchRoom.xml: the shell and 60
// props on its four walls, about 23,000 triangles, 3 effects, 6 textures), the camera facing one
// wall at 800 x 600, every object updated and the facade's frame drawn. Headless: CPU time per
// frame (Update + RenderFrame), mean and 95th percentile over 300 frames after 30 warm-up
// frames, and the gather, graph build and traversal (with the flushes) of each frame (wall
// times of the graphs' own clocks, means). On OpenGL
// with Mesa's llvmpipe under Xvfb: the wall time of a frame up to the presented picture. Counts
// for both: objects, gathered, drawn, triangles, flushes. Goals: under 2 ms headless, under
// 25 ms on llvmpipe. The room has a sheet of still water across its floor; each run takes the
// water on or off (first argument) and a quality preset (second: 0 none, 1 Low, 2 Medium, 3
// High, as the game's settings apply them). Water with Medium is the game's default.
#include "VirtualDisplay.h"
#include "worldscene/WorldScene.h"

#include "common/COctTree.h"
#include "engine/GobManager.h"
#include "engine/gfx/CDorvoGfx.h"
#include "engine/gfx/CMeshManager.h"
#include "engine/gfx/CPostProcessor.h"
#include "engine/gfx/CRenderer.h"
#include "engine/gfx/CSceneGraphMgr.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <numeric>
#include <string>
#include <vector>

namespace
{
constexpr float kDt = 1.0f / 30.0f;
constexpr int kWarmUp = 30;
constexpr int kFrames = 300;

using dorvo::gfx::CDorvoGfx;

// The game's graphics quality: models, lines and post-processing on, the queue emptied, then
// Low: post-processing off; Medium: edges and outlines; High: outlines with a glow.
void ApplyQuality(int quality)
{
    CDorvoGfx& gfx = CDorvoGfx::Instance();
    if (quality == 0)
        return;
    gfx.SetRenderFlags(gfx.GetRenderFlags() | 0x800201u);
    dorvo::gfx::CPostProcessor::Instance().ClearQueue();
    if (quality == 1)
        gfx.SetRenderFlags(gfx.GetRenderFlags() & ~static_cast<std::uint32_t>(CDorvoGfx::RF_POST_PROCESSING));
    else if (quality == 2)
        for (unsigned id : {42u, 46u})
            gfx.QueuePostProcess(id, false);
    else
        for (unsigned id : {42u, 45u, 46u, 19u, 47u, 0u, 48u, 49u, 1u, 39u})
            gfx.QueuePostProcess(id, false);
}

void RunFrames(benchmark::State& state, bool present)
{
    CDorvoGfx& gfx = CDorvoGfx::Instance();
    const std::uint32_t flags = gfx.GetRenderFlags();
    if (state.range(0) == 0)
        gfx.SetRenderFlags(flags & ~static_cast<std::uint32_t>(CDorvoGfx::RF_WATER));
    ApplyQuality(static_cast<int>(state.range(1)));
    plat::IDirect3DDevice9* device = plat::DXUTGetD3D9Device();
    {
        GobManager::Instance().DestroyAllGobs();
        common::COctTree::Global().Rebuild();
        worldscene::WorldScene scene;
        if (!scene.Load(std::string(DORVO_SOURCE_DIR) + "/tests/data/gfx/BenchRoom.xml") || !scene.Build())
        {
            state.SkipWithError(("the bench room could not be built: " + scene.Error()).c_str());
            return;
        }
        double time = 1.0;
        std::vector<double> frames, gather, build, traverse;
        auto frame = [&]
        {
            time += kDt;
            const auto start = std::chrono::steady_clock::now();
            scene.Frame(time, kDt);
            if (present)
                device->Present(nullptr, nullptr, nullptr, nullptr);
            return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        };
        for (int i = 0; i < kWarmUp; ++i)
            frame();
        for (auto _ : state)
        {
            frames.push_back(frame());
            gather.push_back(gfx.GetGatherTime() * 1000.0);
            double built = 0.0, walked = 0.0;
            for (unsigned graph : {CDorvoGfx::SG_OPAQUE, CDorvoGfx::SG_TRANSPARENT})
                if (const dorvo::gfx::CSceneGraphMgr* manager = gfx.GetSceneGraph(graph))
                {
                    built += manager->GetBuildTime() * 1000.0;
                    walked += manager->GetTraverseTime() * 1000.0;
                }
            build.push_back(built);
            traverse.push_back(walked);
        }
        auto mean = [](const std::vector<double>& v)
        { return std::accumulate(v.begin(), v.end(), 0.0) / v.size(); };
        std::vector<double> sorted = frames;
        std::sort(sorted.begin(), sorted.end());
        state.counters["mean_ms"] = mean(frames);
        state.counters["p95_ms"] = sorted[static_cast<std::size_t>(0.95 * (sorted.size() - 1))];
        state.counters["median_ms"] = sorted[sorted.size() / 2];
        state.counters["gather_ms"] = mean(gather);
        state.counters["build_ms"] = mean(build);
        state.counters["traverse_ms"] = mean(traverse);
        const dorvo::gfx::CRenderer& renderer = dorvo::gfx::CRenderer::Instance();
        state.counters["objects"] = static_cast<double>(scene.Gobs().size());
        state.counters["gathered"] = static_cast<double>(gfx.GetGatheredCount());
        state.counters["drawn"] = renderer.GetObjectsDrawn();
        state.counters["triangles"] = renderer.GetTrianglesDrawn();
        state.counters["flushes"] = renderer.GetFlushCount();
    }
    dorvo::gfx::CMeshManager::Instance().Release();
    gfx.Release();
    gfx.SetRenderFlags(flags);
}

void BM_FrameHeadless(benchmark::State& state)
{
    ::setenv("DORVO_HEADLESS", "1", 1);
    plat::headless::Reset();
    plat::DXUTInit(false, false, false, false);
    if (!CDorvoGfx::Instance().Init(worldscene::SceneConfig()))
    {
        state.SkipWithError("no headless device");
        return;
    }
    RunFrames(state, false);
    plat::DXUTShutdown();
}

void BM_FrameLlvmpipe(benchmark::State& state)
{
    if (!testsupport::XvfbInstalled())
    {
        state.SkipWithError("Xvfb is not installed (package xvfb)");
        return;
    }
    testsupport::VirtualDisplay display;
    if (!display.Start("864x664x24"))
    {
        state.SkipWithError("Xvfb did not start");
        return;
    }
    plat::headless::Reset();
    ::unsetenv("DORVO_HEADLESS");
    ::setenv("DISPLAY", display.Display().c_str(), 1);
    ::setenv("SDL_VIDEODRIVER", "x11", 1);
    ::setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    plat::DXUTInit(false, false, false, false);
    if (CDorvoGfx::Instance().Init(worldscene::SceneConfig()))
        RunFrames(state, true);
    else
        state.SkipWithError("the OpenGL device could not be made");
    plat::DXUTShutdown();
    ::setenv("DORVO_HEADLESS", "1", 1);
    plat::headless::Reset();
}
} // namespace

// Water off and on without presets, then with water each preset.
void Cases(benchmark::internal::Benchmark* bench)
{
    bench->ArgNames({"water", "quality"});
    for (const auto& args : {std::vector<std::int64_t>{0, 0}, {1, 0}, {1, 1}, {1, 2}, {1, 3}})
        bench->Args(args);
}

BENCHMARK(BM_FrameHeadless)->Apply(Cases)->Unit(benchmark::kMillisecond)->Iterations(kFrames);
BENCHMARK(BM_FrameLlvmpipe)->Apply(Cases)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(kFrames);
