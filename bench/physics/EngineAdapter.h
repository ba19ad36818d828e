// One engine behind the benchmark: builds a BenchScene, steps it by 1/30 s and answers the
// poses, contacts and reports the measures are taken from. Ours replays the scene through the
// scene runner; the reference engines (Bullet, ODE) are compiled in only when pkg-config finds
// them, and are used as black boxes through their public interfaces.
#pragma once

#include "physcene/BenchScene.h"
#include "physcene/SceneGeometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace physbench
{
// Solver settings shared by every engine.
struct EngineSettings
{
    int referenceIterations = 12; // Bullet's solver iterations, ODE's QuickStep iterations
    bool sleep = false;           // let resting bodies sleep (ours: allowFreeze)
    bool ourInertia = false;      // give the references our inertia (a box's is four times a solid box's)
};

// One body as an engine holds it after a step, in the scene's order of bodies.
struct BodySample
{
    bool alive = true; // false once the engine has removed it (ours kills bodies leaving the world)
    physcene::BodyPose pose;
};

// How long one step took: wall clock, and processor time of this thread (which a busy machine
// disturbs less), both in seconds.
struct StepTime
{
    double wall = 0.0;
    double cpu = 0.0;
};

// Times a stretch of code on both clocks.
class StepClock
{
public:
    StepClock();
    StepTime Stop() const;

private:
    double m_wall;
    double m_cpu;
};

struct ContactCount
{
    int points = 0;      // contact points
    int pairs = 0;       // touching pairs as the engine reports them (ours: each active pair twice)
    int uniquePairs = 0; // each pair once
};

class EngineAdapter
{
public:
    virtual ~EngineAdapter() = default;
    virtual const char* Name() const = 0;
    // False with one line saying why.
    virtual bool Build(const BenchScene& scene, const EngineSettings& settings, std::string* error) = 0;
    // One step of 1/30 s; returns the time the engine's step alone took.
    virtual StepTime Step() = 0;
    virtual std::vector<BodySample> Bodies() const = 0;
    virtual ContactCount Contacts() const = 0;
    // Reports of non-finite numbers in the last step (ours: the console's "Gob ID: " lines;
    // the references report nothing and are counted from their state instead).
    virtual int NanReports() { return 0; }
    // The bit patterns of every body's pose and velocities in id order; 0 where not kept.
    virtual std::uint64_t StateHash() const { return 0; }
};

// The engines compiled in, ours first.
std::vector<std::string> AvailableEngines();
// The adapter for a name; null with one line (naming the package to install for a reference
// engine this build was made without, or an unknown name).
std::unique_ptr<EngineAdapter> MakeEngine(const std::string& name, std::string* error);

// Our inertia for a body of the scene: a sphere's 0.4 m r^2, a box's m (b^2 + c^2) / 3 over its
// full sides (four times a solid box's).
math::Vector3 OurInertia(const physcene::ObjectDesc& desc);
} // namespace physbench
