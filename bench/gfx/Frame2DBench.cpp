// The 2D frame of a busy menu screen (400 sprites over 40 textures, 40 lines of 50
// characters, 800 x 600): the sprite batch's CPU time and whole frames on the headless device,
// and whole frames on OpenGL with Mesa's llvmpipe under Xvfb, up to the presented picture.
// Goals: batch under 1 ms, headless frame under 2 ms, llvmpipe frame under 25 ms. The goal
// table at the end also reports the figures of Screen2DBench.cpp (the engine's 2D frame) and
// EffectDrawBench.cpp and FrameBench.cpp (the room).
#include "BenchDevice.h"
#include "Sprite2DScene.h"

#include "platform/device_debug.h"
#include "platform/frame_driver.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace
{
constexpr int kWidth = 800;
constexpr int kHeight = 600;

bool MakeHeadlessDevice()
{
    gfxbench::UseHeadlessDevice();
    plat::DXUTInit(false, false, false, false);
    return plat::SUCCEEDED(plat::DXUTCreateDevice(plat::D3DADAPTER_DEFAULT, true, kWidth, kHeight));
}

void BM_SpriteBatchCpu(benchmark::State& state)
{
    if (!MakeHeadlessDevice())
    {
        state.SkipWithError("no headless device");
        return;
    }
    plat::IDirect3DDevice9* device = plat::DXUTGetD3D9Device();
    {
        testsupport::Sprite2DScene scene;
        scene.Build(device);
        device->BeginScene();
        for (auto _ : state)
            scene.DrawBatch();
        device->EndScene();
    }
    plat::DXUTShutdown();
}

void BM_Frame2DHeadless(benchmark::State& state)
{
    if (!MakeHeadlessDevice())
    {
        state.SkipWithError("no headless device");
        return;
    }
    plat::IDirect3DDevice9* device = plat::DXUTGetD3D9Device();
    {
        testsupport::Sprite2DScene scene;
        scene.Build(device);
        plat::devicedebug::ResetStatistics(device);
        for (auto _ : state)
            scene.DrawFrame();
        state.counters["draws"] = static_cast<double>(plat::devicedebug::Statistics(device).draws) /
                                  static_cast<double>(state.iterations());
    }
    plat::DXUTShutdown();
}

void BM_Frame2DLlvmpipe(benchmark::State& state)
{
    testsupport::VirtualDisplay display;
    if (!gfxbench::StartLlvmpipeDisplay(state, display,
                                        std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24"))
        return;
    plat::DXUTInit(false, false, false, false);
    if (plat::FAILED(plat::DXUTCreateDevice(plat::D3DADAPTER_DEFAULT, true, kWidth, kHeight)))
    {
        state.SkipWithError("the OpenGL device could not be made");
        ::setenv("DORVO_HEADLESS", "1", 1);
        return;
    }
    plat::IDirect3DDevice9* device = plat::DXUTGetD3D9Device();
    {
        testsupport::Sprite2DScene scene;
        scene.Build(device);
        scene.DrawFrame(); // warm: programs and textures in place
        plat::devicedebug::ResetStatistics(device);
        for (auto _ : state)
            scene.DrawFrame();
        state.counters["draws"] = static_cast<double>(plat::devicedebug::Statistics(device).draws) /
                                  static_cast<double>(state.iterations());
    }
    plat::DXUTShutdown();
    gfxbench::UseHeadlessDevice();
}

BENCHMARK(BM_SpriteBatchCpu)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Frame2DHeadless)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Frame2DLlvmpipe)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// The console table, then each figure against its goal.
class GoalReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                m_ms[run.benchmark_name()] = {run.GetAdjustedCPUTime(), run.GetAdjustedRealTime()};
    }

    void Summary() const
    {
        struct Goal
        {
            const char* name;
            const char* what;
            double goal;
            bool wall; // wall-clock time, else CPU time
        };
        const Goal goals[] = {
            {"BM_SpriteBatchCpu", "sprite batch, CPU", 1.0, false},
            {"BM_Frame2DHeadless", "2D frame, headless, CPU", 2.0, false},
            {"BM_Frame2DLlvmpipe/min_time:2.000/real_time", "2D frame, llvmpipe, wall", 25.0, true},
            {"BM_Screen2DHeadless", "game 2D frame, headless, CPU", 2.0, false},
            {"BM_Screen2DLlvmpipe/min_time:2.000/real_time", "game 2D frame, llvmpipe, wall", 25.0, true},
            {"BM_Buttons300Headless", "300 idle buttons, headless, CPU", 2.0, false},
            {"BM_ToolTipSearchHeadless/iterations:3000", "tool-tip search, 29 menus, CPU", 0.5, false},
            {"BM_PuzzleLoadHeadless/kind:1/objects:300/iterations:5", "puzzle of 300 platforms, load, CPU",
             33.3, false},
            {"BM_EffectDraws200Headless", "200 effect draws, headless, CPU", 2.0, false},
            {"BM_EffectDraws200Llvmpipe/min_time:2.000", "200 effect draws, llvmpipe, CPU", 2.0, false},
            {"BM_FrameHeadless/extras:0/water:0/quality:0/iterations:300", "room frame, headless, CPU", 2.0,
             false},
            {"BM_FrameLlvmpipe/extras:0/water:0/quality:0/iterations:300/real_time",
             "room frame, llvmpipe, wall", 25.0, true},
            {"BM_FrameHeadless/extras:0/water:1/quality:2/iterations:300",
             "room, water, Medium, headless, CPU", 2.0, false},
            {"BM_FrameLlvmpipe/extras:0/water:1/quality:2/iterations:300/real_time",
             "room, water, Medium, llvmpipe, wall", 25.0, true}};
        std::printf("\n%-36s %10s %10s %8s\n", "figure", "ms", "goal ms", "ratio");
        for (const Goal& g : goals)
        {
            auto found = m_ms.find(g.name);
            if (found == m_ms.end())
            {
                std::printf("%-36s %10s %10.1f %8s\n", g.what, "-", g.goal, "skipped");
                continue;
            }
            const double ms = g.wall ? found->second.wall : found->second.cpu;
            std::printf("%-36s %10.3f %10.1f %8.2f %s\n", g.what, ms, g.goal, ms / g.goal,
                        ms <= g.goal ? "met" : "MISSED");
        }
    }

private:
    struct Times
    {
        double cpu;  // ms
        double wall; // ms
    };
    std::map<std::string, Times> m_ms;
};
} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    GoalReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.Summary();
    benchmark::Shutdown();
    return 0;
}
