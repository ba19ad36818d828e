// Runs one scene on one engine: steps it, times every step, measures every step from the
// engine's poses (contacts, energy, penetration by the scene library's geometry routine, bodies
// moving, non-finite numbers), writes the CSV and sums the run up for the report.
#pragma once

#include "EngineAdapter.h"
#include "physcene/BenchScene.h"

#include <cstdint>
#include <string>
#include <vector>

namespace physbench
{
// Steps before timing and measures count.
constexpr int kWarmUpSteps = 30;

// One step as the CSV has it.
struct StepMeasures
{
    int step = 0;
    StepTime time;
    ContactCount contacts;
    physcene::Energy energy;
    physcene::Penetration penetration;
    int moving = 0; // bodies over our moving thresholds (speed^2 > 0.1 or spin^2 > 0.2)
    int nan = 0;    // the engine's reports of non-finite numbers plus bodies holding one
};

// The pose of the scene's last body (the top of a tower, the ball of an accuracy case) after
// every step.
struct Track
{
    std::vector<physcene::BodyPose> poses;
};

struct RunResult
{
    std::string engine;
    BenchScene scene;
    EngineSettings settings;
    int steps = 0;

    double medianMs = 0.0; // over the steps after the warm-up
    double p95Ms = 0.0;
    double maxMs = 0.0;
    double cpuMedianMs = 0.0;        // processor time of a step, median over the same steps
    double contactsPerStep = 0.0;    // contact points, after the warm-up
    double pairsPerStep = 0.0;       // as the engine reports them
    double uniquePairsPerStep = 0.0; // each pair once
    float maxPenetration = 0.0f;     // over the last 100 steps
    float meanPenetration = 0.0f;    // mean of the steps' means over the last 100 steps
    double rmsSpeed = 0.0;           // over the bodies and the last 30 steps (one second)
    int movingAtEnd = 0;
    int nanTotal = 0;
    int lost = 0;        // bodies the engine removed or that ended below the ground
    int removed = 0;     // of those, the bodies the engine removed (ours: left the world's box)
    int underGround = 0; // and those that ended below the ground
    float maxHop = 0.0f; // highest rise of any body above its start
    std::uint64_t hash = 0;

    physcene::BodyPose trackedStart; // the last body as built
    Track tracked;
    std::vector<double> energies; // total energy after every step
    double startEnergy = 0.0;
};

// False with one line when the engine cannot build the scene. `csv` empty: no file.
bool RunScene(EngineAdapter& engine, const BenchScene& scene, const EngineSettings& settings, int steps,
              const std::string& csv, RunResult* result, std::string* error);

// The scene's own measures as one line of text ("apex 4.69 4.39 ...", "drift 0.01 tilt 0.3 deg").
std::string SceneMeasures(const RunResult& result);
} // namespace physbench
