#include "BenchScene.h"

#include "SceneRunner.h"
#include "engine/phy/PhysicsComp.h"
#include "engine/phy/PointConstraint.h"

#include <cmath>
#include <cstdio>
#include <random>

using math::Quaternion;
using math::Vector3;
using physcene::ObjectDesc;

namespace physbench
{
namespace
{
constexpr float kRainSpacing = 1.5f;   // grid of the centred and leaf layouts
constexpr float kSpreadSpacing = 2.0f; // grid of the spread layout
constexpr float kRainStart = 2.0f;     // height of the first layer
constexpr float kTowerGap = 0.01f;     // between boxes and above the ground
constexpr float kTowerCentre = 7.5f;   // x and z of the towers: the middle of a leaf column
constexpr int kRainSteps = 600;
constexpr int kTowerSteps = 900;
// How firmly the pendulum's joint holds, as the joint scene of our tests pins its ball.
constexpr float kJointTolerance = 0.001f;
constexpr float kJointCorrectionTime = 0.5f;

ObjectDesc Surface(ObjectDesc desc)
{
    desc.staticFriction = kFriction;
    desc.kineticFriction = kFriction;
    desc.restitution = kRestitution;
    return desc;
}

// A uniformly random orientation (Shoemake), from the seeded generator only.
Quaternion RandomTurn(std::mt19937& random)
{
    auto unit = [&random] { return static_cast<float>(random() / 4294967296.0); };
    const float u1 = unit();
    const float u2 = unit() * 2.0f * static_cast<float>(M_PI);
    const float u3 = unit() * 2.0f * static_cast<float>(M_PI);
    const float a = std::sqrt(1.0f - u1);
    const float b = std::sqrt(u1);
    Quaternion q(a * std::cos(u2), a * std::sin(u2), b * std::sin(u3), b * std::cos(u3));
    q.Normalize();
    return q;
}

// The grid cells the bodies start in, layer after layer from y = 2.
std::vector<Vector3> RainCells(int n, Layout layout)
{
    std::vector<Vector3> cells;
    if (layout == Layout::Spread)
    {
        // One layer over x, z in [-60, 120], on the spacing-2 grid: the widest stride (a
        // multiple of 2) that fits the rows in, so the bodies spread over the whole region.
        const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
        const int cells2 = side > 1 ? 90 / (side - 1) : 1;
        const float stride = kSpreadSpacing * static_cast<float>(std::max(1, cells2));
        for (int i = 0; i < n; ++i)
            cells.emplace_back(-60.0f + stride * static_cast<float>(i % side), kRainStart,
                               -60.0f + stride * static_cast<float>(i / side));
        return cells;
    }
    // Centred: 10 by 10 a layer around x = z = 0; leaf: 9 by 9 a layer in x, z from 1 to 13.
    const int side = layout == Layout::Centred ? 10 : 9;
    const float first =
        layout == Layout::Centred ? -0.5f * kRainSpacing * static_cast<float>(side - 1) : 1.0f;
    for (int i = 0; i < n; ++i)
    {
        const int inLayer = i % (side * side);
        const int layer = i / (side * side);
        cells.emplace_back(first + kRainSpacing * static_cast<float>(inLayer % side),
                           kRainStart + kRainSpacing * static_cast<float>(layer),
                           first + kRainSpacing * static_cast<float>(inLayer / side));
    }
    return cells;
}

bool MakeRain(const SceneOptions& options, BenchScene* out, std::string* error)
{
    if (options.n < 1 || options.n > 5000)
    {
        *error = "rain takes 1 to 5000 bodies (--n)";
        return false;
    }
    out->variant = LayoutName(options.layout);
    out->steps = kRainSteps;
    out->scene.objects.push_back(Surface(physcene::Ground()));
    std::mt19937 random(options.seed);
    const std::vector<Vector3> cells = RainCells(options.n, options.layout);
    for (int i = 0; i < options.n; ++i)
    {
        const std::string name = "body" + std::to_string(i);
        // Half spheres of radius 0.5, half unit boxes with a random tilt.
        ObjectDesc desc = i % 2 == 0 ? physcene::Ball(name, cells[static_cast<std::size_t>(i)])
                                     : physcene::Crate(name, cells[static_cast<std::size_t>(i)]);
        if (desc.shape == physcene::Shape::Box)
            desc.orientation = RandomTurn(random);
        out->scene.objects.push_back(Surface(desc));
    }
    return true;
}

bool MakeTowers(const SceneOptions& options, BenchScene* out, std::string* error)
{
    out->steps = kTowerSteps;
    out->scene.objects.push_back(Surface(physcene::Ground()));
    const float pitch = 1.0f + kTowerGap;
    const float bottom = 0.5f + kTowerGap;
    auto add = [&](const std::string& name, float x, float y)
    {
        ObjectDesc box = Surface(physcene::Crate(name, Vector3(x, y, kTowerCentre)));
        box.mass = options.mass;
        out->scene.objects.push_back(box);
    };
    if (options.n == 10)
    {
        out->variant = "tower10";
        for (int i = 0; i < 10; ++i)
            add("box" + std::to_string(i), kTowerCentre, bottom + pitch * static_cast<float>(i));
        return true;
    }
    int base = 0;
    if (options.n == 55)
        base = 10;
    else if (options.n == 210)
        base = 20;
    else
    {
        *error = "towers are 10 (a column), 55 or 210 (pyramids) boxes (--n)";
        return false;
    }
    out->variant = "pyramid" + std::to_string(options.n);
    int index = 0;
    for (int row = 0; row < base; ++row)
    {
        const int count = base - row;
        const float left = kTowerCentre - 0.5f * pitch * static_cast<float>(count - 1);
        for (int i = 0; i < count; ++i)
            add("box" + std::to_string(index++), left + pitch * static_cast<float>(i),
                bottom + pitch * static_cast<float>(row));
    }
    return true;
}

bool MakeAccuracy(const SceneOptions& options, BenchScene* out, std::string* error)
{
    const std::string& which = options.accuracyCase;
    out->variant = which;
    physcene::Scene& scene = out->scene;
    if (which == "freefall")
    {
        out->steps = 30;
        scene.objects.push_back(physcene::Ground());
        scene.objects.push_back(physcene::Ball("ball", Vector3(kTowerCentre, 10.0f, kTowerCentre)));
        return true;
    }
    if (which == "bounce")
    {
        // Restitution 1 on both sides (the scene's default surface).
        out->steps = 300;
        scene.objects.push_back(physcene::Ground());
        scene.objects.push_back(physcene::Ball("ball", Vector3(kTowerCentre, 5.0f, kTowerCentre)));
        return true;
    }
    if (which == "slide" || which == "frictionless")
    {
        const float mu = which == "slide" ? 0.5f : 0.0f;
        out->steps = which == "slide" ? 90 : 150;
        ObjectDesc ground = physcene::Ground();
        ObjectDesc box = physcene::Crate("box", Vector3(-10.0f, 0.5f, kTowerCentre));
        box.velocity = Vector3(3.0f, 0.0f, 0.0f);
        for (ObjectDesc* desc : {&ground, &box})
        {
            desc->staticFriction = mu;
            desc->kineticFriction = mu;
            desc->restitution = 0.0f;
        }
        scene.objects.push_back(ground);
        scene.objects.push_back(box);
        return true;
    }
    if (which == "pendulum")
    {
        // A ball whose centre hangs 1 from the pivot, let go level with it.
        out->steps = 300;
        scene.objects.push_back(physcene::Ball("ball", Vector3(1.0f, 5.0f, 0.0f)));
        out->joints.push_back(Joint{"ball", Vector3(-1.0f, 0.0f, 0.0f), Vector3(0.0f, 5.0f, 0.0f)});
        return true;
    }
    *error = "accuracy cases are freefall, bounce, slide, frictionless and pendulum (--case), not \"" +
             which + "\"";
    return false;
}
} // namespace

const char* LayoutName(Layout layout)
{
    switch (layout)
    {
    case Layout::Centred:
        return "centred";
    case Layout::Leaf:
        return "leaf";
    case Layout::Spread:
        return "spread";
    }
    return "";
}

bool ParseLayout(const std::string& text, Layout* layout)
{
    for (Layout l : {Layout::Centred, Layout::Leaf, Layout::Spread})
        if (text == LayoutName(l))
        {
            *layout = l;
            return true;
        }
    return false;
}

std::string SceneKey(const SceneOptions& options, const BenchScene& scene)
{
    std::string key = scene.name + "_" + scene.variant;
    if (scene.name == "rain")
        key += "_n" + std::to_string(options.n);
    if (scene.name == "towers" && options.mass != 1.0f)
    {
        char mass[32];
        std::snprintf(mass, sizeof mass, "%.1f", options.mass);
        key += std::string("_m") + mass;
    }
    return key;
}

std::string OurSettingsTag(const SceneOptions& options)
{
    return "c" + std::to_string(options.collisionSteps) + "k" + std::to_string(options.contactSteps) +
           (options.shock ? "_shock" : "_noshock") + (options.sleep ? "_sleep" : "");
}

std::string OurRunName(const SceneOptions& options, const BenchScene& scene, int steps)
{
    std::string name = SceneKey(options, scene) + " " + OurSettingsTag(options);
    if (steps != scene.steps)
        name += " steps" + std::to_string(steps);
    return name;
}

bool MakeOurJoints(const BenchScene& scene, const physcene::SceneRunner& runner,
                   std::vector<std::unique_ptr<dorvo::phy::PointConstraint>>* joints, std::string* error)
{
    for (const Joint& joint : scene.joints)
    {
        dorvo::phy::PhysicsComp* body = runner.Body(joint.body);
        if (body == nullptr)
        {
            *error = "joint on \"" + joint.body + "\", which has no body";
            return false;
        }
        auto constraint = std::make_unique<dorvo::phy::PointConstraint>();
        constraint->SetWorld(body, joint.anchor, joint.pivot, kJointTolerance, kJointCorrectionTime, 0.0f);
        constraint->Enable();
        joints->push_back(std::move(constraint));
    }
    return true;
}

bool MakeScene(const SceneOptions& options, BenchScene* out, std::string* error)
{
    *out = BenchScene();
    out->name = options.scene;
    physcene::Scene& scene = out->scene;
    scene.collisionSteps = options.collisionSteps;
    scene.contactSteps = options.contactSteps;
    scene.performShock = options.shock;
    scene.allowFreeze = options.sleep;
    if (options.scene == "rain")
        return MakeRain(options, out, error);
    if (options.scene == "towers")
        return MakeTowers(options, out, error);
    if (options.scene == "accuracy")
        return MakeAccuracy(options, out, error);
    *error = "scenes are rain, towers and accuracy (--scene), not \"" + options.scene + "\"";
    return false;
}
} // namespace physbench
