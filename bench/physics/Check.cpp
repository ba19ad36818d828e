#include "EngineAdapter.h"
#include "Matrix.h"
#include "SceneRun.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace physbench
{
namespace
{
bool Near(double value, double expected, double tolerance)
{
    return std::fabs(value - expected) <= tolerance;
}

std::string Sci(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2g", value);
    return text;
}

bool Report(bool passed, const std::string& text)
{
    std::printf("%s %s\n", passed ? "ok  " : "FAIL", text.c_str());
    return passed;
}

bool FreeFall(const std::string& engine, RunResult* result, std::string* error)
{
    std::unique_ptr<EngineAdapter> adapter = MakeEngine(engine, error);
    if (!adapter)
        return false;
    SceneOptions scene;
    scene.scene = "accuracy";
    scene.accuracyCase = "freefall";
    BenchScene built;
    if (!MakeScene(scene, &built, error))
        return false;
    EngineSettings settings;
    settings.ourInertia = true;
    return RunScene(*adapter, built, settings, built.steps, std::string(), result, error);
}
} // namespace

int RunCheck(const Options&)
{
    bool passed = true;
    std::string error;

    // Our free fall: the acceptance numbers of the engine's own tests.
    RunResult ours;
    if (!FreeFall("dorvo", &ours, &error))
    {
        Report(false, "our free fall does not run: " + error);
        return 1;
    }
    const auto& fall = ours.tracked.poses;
    passed &= Report(fall.size() == 30 && Near(fall[0].velocity.y, -0.326667, 1e-5) &&
                         Near(fall[0].position.y, 9.989111, 1e-5) &&
                         Near(fall[29].position.y, 4.936667, 1e-4) && Near(fall[29].velocity.y, -9.8, 1e-4),
                     "our free fall: step 1 v " + std::to_string(fall[0].velocity.y) + " y " +
                         std::to_string(fall[0].position.y) + " (-0.326667, 9.989111); step 30 y " +
                         std::to_string(fall[29].position.y) + " v " + std::to_string(fall[29].velocity.y) +
                         " (4.936667, -9.8)");

    // The references fall the same way, step by step, to float precision.
    for (const std::string& engine : AvailableEngines())
    {
        if (engine == "dorvo")
            continue;
        RunResult theirs;
        if (!FreeFall(engine, &theirs, &error))
        {
            passed &= Report(false, engine + "'s free fall does not run: " + error);
            continue;
        }
        double worst = 0.0;
        for (std::size_t i = 0; i < fall.size() && i < theirs.tracked.poses.size(); ++i)
        {
            const auto& a = fall[i];
            const auto& b = theirs.tracked.poses[i];
            worst = std::max(worst, double(std::fabs(a.position.y - b.position.y) /
                                           std::max(1.0f, std::fabs(a.position.y))));
            worst = std::max(worst, double(std::fabs(a.velocity.y - b.velocity.y) /
                                           std::max(1.0f, std::fabs(a.velocity.y))));
        }
        passed &= Report(theirs.tracked.poses.size() == fall.size() && worst <= 4e-6,
                         engine + "'s free fall agrees with ours over 30 steps to " + Sci(worst) +
                             " (relative; float precision is about 1e-6)");
    }

    // One scene run twice ends in the same state, bit for bit.
    std::uint64_t hashes[2] = {0, 0};
    for (std::uint64_t& hash : hashes)
    {
        SceneOptions scene;
        scene.scene = "rain";
        scene.n = 100;
        BenchScene built;
        MakeScene(scene, &built, &error);
        std::unique_ptr<EngineAdapter> adapter = MakeEngine("dorvo", &error);
        RunResult result;
        if (!RunScene(*adapter, built, EngineSettings(), 120, std::string(), &result, &error))
        {
            Report(false, "rain does not run: " + error);
            return 1;
        }
        hash = result.hash;
    }
    char text[128];
    std::snprintf(text, sizeof text,
                  "rain of 100 run twice for 120 steps ends in the same state (%016llx, %016llx)",
                  static_cast<unsigned long long>(hashes[0]), static_cast<unsigned long long>(hashes[1]));
    passed &= Report(hashes[0] == hashes[1] && hashes[0] != 0, text);
    return passed ? 0 : 1;
}
} // namespace physbench
