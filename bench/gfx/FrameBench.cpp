// What a room costs per frame: the bench room (tests/data/gfx/BenchRoom.xml: the shell and 60
// props on its four walls, about 23,000 triangles, 3 effects, 6 textures), the camera facing one
// wall at 800 x 600, every object updated and the facade's frame drawn. Headless: CPU time per
// frame (Update + RenderFrame), mean and 95th percentile over 300 frames after 30 warm-up
// frames, and the gather, graph build and traversal (with the flushes) of each frame (wall
// times of the graphs' own clocks, means). On OpenGL
// with Mesa's llvmpipe under Xvfb: the wall time of a frame up to the presented picture. Counts
// for both: objects, gathered, drawn, triangles, flushes. Goals: under 2 ms headless, under
// 25 ms on llvmpipe. The room has a sheet of still water across its floor. Each run takes three
// arguments: the extras added to the room, by bits (1 a 129 x 129 terrain, the test templates'
// "Hills"; 2 a 32 x 32 cloth, the "Banner" on a larger grid; 4 one particle system of 2,000
// particles; 0 the room alone, 7 all three), the water on or off, and a quality preset (0 none,
// 1 Low, 2 Medium, 3 High, as the game's settings apply them). Water with Medium is the game's
// default.
#include "BenchDevice.h"
#include "worldscene/WorldScene.h"

#include "common/COctTree.h"
#include "engine/DefaultCompCreator.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/GridComp.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/core/CRenderer.h"
#include "engine/gfx/mesh/CMeshManager.h"
#include "engine/gfx/particles/CParticleManager.h"
#include "engine/gfx/particles/CParticleSystem.h"
#include "engine/gfx/postprocess/CPostProcessor.h"
#include "engine/gfx/scene/CSceneGraphMgr.h"
#include "engine/gfx/terrain/GfxClothComp.h"
#include "engine/phy/ClothComp.h"
#include "platform/frame_driver.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

namespace
{
constexpr float kDt = 1.0f / 30.0f;
constexpr int kWarmUp = 30;
constexpr int kFrames = 300;

using dorvo::gfx::CDorvoGfx;

enum EExtra : int
{
    EXTRA_Terrain = 1,
    EXTRA_Cloth = 2,
    EXTRA_Particles = 4,
};
constexpr int kParticles = 2000;

// Every particle placed once in a block in front of the camera, living for ever.
class SpreadInitialiser : public dorvo::gfx::IParticleInitialiser
{
public:
    void Initialise(dorvo::gfx::SParticle& p, float) override
    {
        const int i = m_next++;
        p.position.Set(-6.0f + 0.3f * static_cast<float>(i % 40),
                       -1.0f + 0.3f * static_cast<float>((i / 40) % 10),
                       4.0f + 0.5f * static_cast<float>(i / 400));
        p.life = 1e9f;
        p.corner1.Set(0.1f, 0.0f, 0.0f);
        p.corner2.Set(0.0f, 0.1f, 0.0f);
        p.red = 1.0f;
        p.alpha = 0.8f;
    }

private:
    int m_next = 0;
};

// The bench room's scene with the extras' templates and objects.
std::string SceneFile(int extras)
{
    const std::string data = std::string(DORVO_SOURCE_DIR) + "/tests/data/gfx/";
    std::ifstream in(data + "BenchRoom.xml");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The room's own templates are named relative to its folder.
    for (std::size_t at = text.find("<Template file=\""); at != std::string::npos;
         at = text.find("<Template file=\"", at + 1))
        text.insert(at + 16, data);
    std::string lines;
    if (extras & EXTRA_Terrain)
        lines += "<Template file=\"" + data +
                 "TerrainTemplate.xml\"/><Object archetype=\"Hills\" position=\"0 -4 12\"/>";
    if (extras & EXTRA_Cloth)
        lines += "<Template file=\"" + data +
                 "ClothTemplate.xml\"/><Object archetype=\"Banner\" position=\"-20 -0.5 -13\" "
                 "name=\"BenchCloth\"/>";
    text.insert(text.find("<Camera"), lines);
    std::ofstream("bench_scene.xml") << text;
    return "bench_scene.xml";
}

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
    if (state.range(1) == 0)
        gfx.SetRenderFlags(flags & ~static_cast<std::uint32_t>(CDorvoGfx::RF_WATER));
    ApplyQuality(static_cast<int>(state.range(2)));
    plat::IDirect3DDevice9* device = plat::DXUTGetD3D9Device();
    const int extras = static_cast<int>(state.range(0));
    RegisterComponentType<dorvo::phy::ClothComp>(dorvo::phy::ClothComp::kTypeName);
    {
        GobManager::Instance().DestroyAllGobs();
        common::COctTree::Global().Rebuild();
        worldscene::WorldScene scene;
        if (!scene.Load(SceneFile(extras)) || !scene.Build())
        {
            state.SkipWithError(("the bench room could not be built: " + scene.Error()).c_str());
            return;
        }
        // The cloth on a 32 x 32 grid a quarter unit apart (its points from x, z = 16 on).
        for (Gob* gob : scene.Gobs())
            if (gob->GetName() == "BenchCloth")
            {
                auto* grid = static_cast<GridComp*>(gob->GetComponent(GridComp::StaticTypeID()));
                grid->SetSpans(32, 32);
                grid->SetSpacings(0.25f, 0.25f);
                grid->BuildGrid();
                gob->GetComponent(dorvo::gfx::GfxClothComp::StaticTypeID())->Initialize(gob);
            }
        std::unique_ptr<dorvo::gfx::CParticleSystem> particles;
        if (extras & EXTRA_Particles)
        {
            particles = std::make_unique<dorvo::gfx::CParticleSystem>(kParticles, 0);
            particles->AddInitialiser(std::make_unique<SpreadInitialiser>());
            particles->Emit(kParticles);
            dorvo::gfx::CParticleManager::Instance().AddSystem(particles.get());
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
        if (particles)
            dorvo::gfx::CParticleManager::Instance().RemoveSystem(particles.get());
    }
    dorvo::gfx::CMeshManager::Instance().Release();
    gfx.Release();
    gfx.SetRenderFlags(flags);
}

// The scene effects and the particles'.
dorvo::SEngineConfigInfo Config()
{
    dorvo::SEngineConfigInfo config = worldscene::SceneConfig();
    config.fxFiles.push_back("Particle.fx");
    return config;
}

void BM_FrameHeadless(benchmark::State& state)
{
    gfxbench::RunOnHeadlessFacade(state, Config, RunFrames);
}

void BM_FrameLlvmpipe(benchmark::State& state)
{
    gfxbench::RunOnLlvmpipeFacade(state, Config, RunFrames);
}
} // namespace

// The extras alone and together with water off and no preset; then water off and on without
// presets, and with water each preset.
void Cases(benchmark::internal::Benchmark* bench)
{
    bench->ArgNames({"extras", "water", "quality"});
    for (const auto& args : {std::vector<std::int64_t>{0, 0, 0},
                             {EXTRA_Terrain, 0, 0},
                             {EXTRA_Cloth, 0, 0},
                             {EXTRA_Particles, 0, 0},
                             {EXTRA_Terrain | EXTRA_Cloth | EXTRA_Particles, 0, 0},
                             {0, 1, 0},
                             {0, 1, 1},
                             {0, 1, 2},
                             {0, 1, 3}})
        bench->Args(args);
}

BENCHMARK(BM_FrameHeadless)->Apply(Cases)->Unit(benchmark::kMillisecond)->Iterations(kFrames);
BENCHMARK(BM_FrameLlvmpipe)->Apply(Cases)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(kFrames);
