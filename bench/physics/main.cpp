// phys_bench: the physics benchmark and scene runner. See --help.
#include "EngineAdapter.h"
#include "Matrix.h"
#include "Options.h"
#include "SceneRun.h"
#include "physcene/CommittedHashes.h"

#include <cstdio>
#include <iostream>

int main(int argc, char** argv)
{
    using namespace physbench;
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, &options, &error))
    {
        std::cerr << "phys_bench: " << error << "\n";
        return 2;
    }
    switch (options.mode)
    {
    case Options::HELP:
        PrintHelp();
        return 0;
    case Options::MATRIX:
        return RunMatrix(options);
    case Options::CHECK:
        return RunCheck(options);
    case Options::RUN:
        break;
    }

    std::unique_ptr<EngineAdapter> engine = MakeEngine(options.engine, &error);
    if (!engine)
    {
        std::cerr << "phys_bench: " << error << "\n";
        return 2;
    }
    BenchScene scene;
    if (!MakeScene(options.scene, &scene, &error))
    {
        std::cerr << "phys_bench: " << error << "\n";
        return 2;
    }
    EngineSettings settings;
    settings.sleep = options.scene.sleep;
    settings.ourInertia = options.ourInertia;
    settings.referenceIterations =
        options.iterations > 0 ? options.iterations
                               : static_cast<int>(options.scene.collisionSteps + options.scene.contactSteps);
    RunResult result;
    if (!RunScene(*engine, scene, settings, options.steps > 0 ? options.steps : scene.steps, options.csv,
                  &result, &error))
    {
        std::cerr << "phys_bench: " << error << "\n";
        return 1;
    }
    std::printf(
        "%s %s/%s, %d steps: median %.3f ms, p95 %.3f ms, max %.3f ms (processor median %.3f ms); "
        "contacts %.1f a step, pairs %.1f "
        "(%.1f unique); penetration max %.4f mean %.4f; RMS speed %.4f; NaN %d; lost %d (%d under the "
        "ground, %d removed)",
        result.engine.c_str(), scene.name.c_str(), scene.variant.c_str(), result.steps, result.medianMs,
        result.p95Ms, result.maxMs, result.cpuMedianMs, result.contactsPerStep, result.pairsPerStep,
        result.uniquePairsPerStep, result.maxPenetration, result.meanPenetration, result.rmsSpeed,
        result.nanTotal, result.lost, result.underGround, result.removed);
    if (result.hash != 0)
    {
        std::printf("; hash %016llx", static_cast<unsigned long long>(result.hash));
        const physcene::CommittedHash* committed =
            physcene::FindCommittedHash(physbench::OurRunName(options.scene, scene, result.steps));
        if (committed == nullptr)
            std::printf(" (none committed)");
        else if (committed->state == result.hash)
            std::printf(" (committed)");
        else
            std::printf(" (CHANGED: committed %016llx)", static_cast<unsigned long long>(committed->state));
    }
    std::printf("\n");
    const std::string measures = SceneMeasures(result);
    if (!measures.empty())
        std::printf("%s\n", measures.c_str());
    return 0;
}
