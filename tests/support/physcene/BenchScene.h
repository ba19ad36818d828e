// The benchmark's scenes in plain terms, one description for every engine: the objects and our
// solver settings (physcene::Scene), the ball joints of the pendulum, and how many steps to run.
// The builders lay out the three scenes of the matrix: "rain" (spheres and tilted boxes dropped
// in layers onto the ground), "towers" (a column of 10 boxes and pyramids of 55 and 210) and
// "accuracy" (free fall, bounce, slides and a pendulum, each checked against its exact answer).
// They live in the scene library so that the tests replay the benchmark's scenes on our engine
// and compare their final states with the committed hashes (CommittedHashes.h).
#pragma once

#include "Scene.h"

#include <memory>
#include <string>
#include <vector>

namespace dorvo
{
namespace phy
{
class PointConstraint;
}
} // namespace dorvo

namespace physcene
{
class SceneRunner;
}

namespace physbench
{
// Where rain falls: across the oct tree's centre split planes (bodies filed high), inside one
// leaf column (the broad phase sees every pair), or spread over the world (the intended case).
enum class Layout
{
    Centred,
    Leaf,
    Spread,
};

// A ball joint holding a point of a body to a fixed world point.
struct Joint
{
    std::string body;     // the object's name
    math::Vector3 anchor; // in the body's frame, from its centre
    math::Vector3 pivot;  // world point
};

struct BenchScene
{
    std::string name;    // "rain", "towers" or "accuracy"
    std::string variant; // the layout, the tower or the case
    physcene::Scene scene;
    std::vector<Joint> joints;
    int steps = 0; // steps a run takes unless told otherwise
};

// What picks and shapes a scene (the command line's scene options).
struct SceneOptions
{
    std::string scene = "rain";
    int n = 100;                           // rain: bodies; towers: 10 (column), 55 or 210 (pyramids)
    Layout layout = Layout::Spread;        // rain
    std::string accuracyCase = "freefall"; // freefall, bounce, slide, frictionless, pendulum
    float mass = 1.0f;                     // towers: every box's mass
    unsigned int seed = 1;                 // rain: the boxes' tilts
    unsigned int collisionSteps = dorvo::phy::DynamicsEngine::kDefaultSteps; // our passes
    unsigned int contactSteps = dorvo::phy::DynamicsEngine::kDefaultSteps;
    bool shock = true;
    bool sleep = false; // our allowFreeze
};

// Builds the scene; false with one line saying what is wrong for an unknown scene, case or size.
bool MakeScene(const SceneOptions& options, BenchScene* out, std::string* error);

const char* LayoutName(Layout layout);
bool ParseLayout(const std::string& text, Layout* layout);

// The scene's name in the benchmark's reports: "rain_spread_n100", "towers_pyramid210",
// "towers_tower10_m0.1", "accuracy_bounce".
std::string SceneKey(const SceneOptions& options, const BenchScene& scene);
// Our solver settings as the reports tag them: "c6k6_shock", "c1k1_noshock_sleep".
std::string OurSettingsTag(const SceneOptions& options);
// One run of ours as hashes.txt and the committed hashes name it: the scene key and the tag, and
// " steps<K>" when the run takes other than the scene's own number of steps.
std::string OurRunName(const SceneOptions& options, const BenchScene& scene, int steps);

// Our ball joints of the scene on the bodies the runner built, enabled, as the benchmark holds
// them (tolerance 0.001, correction time 0.5 s, never breaking). False with one line for a joint
// on an object without a body.
bool MakeOurJoints(const BenchScene& scene, const physcene::SceneRunner& runner,
                   std::vector<std::unique_ptr<dorvo::phy::PointConstraint>>* joints, std::string* error);

// Friction and restitution of the rain and tower surfaces (each side; pairs take the product).
constexpr float kFriction = 0.5f;
constexpr float kRestitution = 0.0f;
} // namespace physbench
