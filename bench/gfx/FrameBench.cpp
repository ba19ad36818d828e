// What a room costs per frame: the bench room (tests/data/gfx/BenchRoom.xml: the shell and 60
// props on its four walls, about 23,000 triangles, 3 effects, 6 textures), the camera facing one
// wall at 800 x 600, every object updated and the facade's frame drawn. Headless: CPU time per
// frame (Update + RenderFrame), mean and 95th percentile over 300 frames after 30 warm-up
// frames, and the gather, graph build and traversal (with the flushes) of each frame (wall
// times of the graphs' own clocks, means). On OpenGL
// with Mesa's llvmpipe under Xvfb: the wall time of a frame up to the presented picture. Counts
// for both: objects, gathered, drawn, triangles, flushes. Goals: under 2 ms headless, under
// 25 ms on llvmpipe.
#include "VirtualDisplay.h"
#include "worldscene/WorldScene.h"

#include "common/COctTree.h"
#include "engine/GobManager.h"
#include "engine/gfx/CDorvoGfx.h"
#include "engine/gfx/CMeshManager.h"
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

void RunFrames(benchmark::State& state, bool present)
{
    CDorvoGfx& gfx = CDorvoGfx::Instance();
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

BENCHMARK(BM_FrameHeadless)->Unit(benchmark::kMillisecond)->Iterations(kFrames);
BENCHMARK(BM_FrameLlvmpipe)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(kFrames);
