// The benchmark's scenes in plain terms, one description for every engine: the objects and our
// solver settings (physcene::Scene), the ball joints of the pendulum, and how many steps to run.
// The builders lay out the three scenes of the matrix: "rain" (spheres and tilted boxes dropped
// in layers onto the ground), "towers" (a column of 10 boxes and pyramids of 55 and 210) and
// "accuracy" (free fall, bounce, slides and a pendulum, each checked against its exact answer).
#pragma once

#include "physcene/Scene.h"

#include <string>
#include <vector>

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
    unsigned int collisionSteps = 6;       // our passes
    unsigned int contactSteps = 6;
    bool shock = true;
    bool sleep = false; // our allowFreeze
};

// Builds the scene; false with one line saying what is wrong for an unknown scene, case or size.
bool MakeScene(const SceneOptions& options, BenchScene* out, std::string* error);

const char* LayoutName(Layout layout);
bool ParseLayout(const std::string& text, Layout* layout);

// Friction and restitution of the rain and tower surfaces (each side; pairs take the product).
constexpr float kFriction = 0.5f;
constexpr float kRestitution = 0.0f;
} // namespace physbench
