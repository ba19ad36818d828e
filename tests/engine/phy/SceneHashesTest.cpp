// The proof that the physics step gives the same results however it is made faster: the
// benchmark's scenes and the acceptance scenes run to their last step and end in the committed
// state, to the bit, and bodies fall asleep at the committed steps. A change to the order of
// bodies, pairs, contacts or float operations shows here as a changed hash.
#include "physcene/BenchScene.h"
#include "physcene/CommittedHashes.h"
#include "physcene/SceneRunner.h"

#include "PhysicsTestWorld.h"
#include "engine/phy/CollisionDetector.h"
#include "engine/phy/DynamicsEngine.h"
#include "engine/phy/PointConstraint.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

using math::Quaternion;
using math::Vector3;
using physbench::BenchScene;
using physbench::Layout;
using physbench::SceneOptions;
using physcene::ObjectDesc;
using physcene::Scene;
using physcene::SceneRunner;

namespace
{
std::string Hex(std::uint64_t value)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%016llxull", static_cast<unsigned long long>(value));
    return text;
}

// The steps at which bodies fall asleep, folded into one number as CommittedHash::sleep.
class SleepLog
{
public:
    void After(int step)
    {
        for (const auto& entry : dorvo::phy::DynamicsEngine::Instance().GetBodies())
        {
            bool& asleep = m_asleep[entry.first];
            if (entry.second->frozen && !asleep)
            {
                Mix(entry.first);
                Mix(static_cast<std::uint32_t>(step));
            }
            asleep = entry.second->frozen;
        }
    }
    std::uint64_t Hash() const { return m_hash; }

private:
    void Mix(std::uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
        {
            m_hash ^= (value >> (8 * i)) & 0xffu;
            m_hash *= 1099511628211ull;
        }
    }
    std::map<std::uint32_t, bool> m_asleep;
    std::uint64_t m_hash = 14695981039346656037ull;
};

struct Outcome
{
    std::uint64_t state = 0;
    std::uint64_t sleep = 0;
};

class SceneHashes : public phytest::PhysicsTest
{
protected:
    // Steps the runner as the benchmark and the game do, logging who falls asleep.
    Outcome Run(SceneRunner& runner, int steps, const std::function<void(int)>& between = nullptr)
    {
        SleepLog sleep;
        for (int step = 1; step <= steps; ++step)
        {
            if (between)
                between(step);
            runner.Step();
            sleep.After(step);
        }
        return Outcome{runner.StateHash(), sleep.Hash()};
    }

    // One of the benchmark's runs of ours, built and stepped as phys_bench builds and steps it;
    // the broad phase takes the grid from `gridFrom` collision components on.
    void ExpectCommitted(SceneOptions options, int steps = 0,
                         std::size_t gridFrom = dorvo::phy::CollisionDetector::kGridFrom)
    {
        BenchScene scene;
        std::string error;
        ASSERT_TRUE(physbench::MakeScene(options, &scene, &error)) << error;
        if (steps == 0)
            steps = scene.steps;
        const std::string name = physbench::OurRunName(options, scene, steps);
        SCOPED_TRACE(name + (gridFrom == 0 ? ", grid" : ""));
        dorvo::phy::CollisionDetector& detector = *engine.GetCollisionDetector();
        detector.SetGridFrom(gridFrom);
        SceneRunner runner;
        runner.SetRecording(false);
        ASSERT_TRUE(runner.Build(scene.scene, &error)) << error;
        std::vector<std::unique_ptr<dorvo::phy::PointConstraint>> joints;
        ASSERT_TRUE(physbench::MakeOurJoints(scene, runner, &joints, &error)) << error;
        ExpectHashes(name, Run(runner, steps), options.sleep);
        detector.SetGridFrom(dorvo::phy::CollisionDetector::kGridFrom);
    }

    void ExpectHashes(const std::string& name, const Outcome& outcome, bool sleepKept)
    {
        const physcene::CommittedHash* committed = physcene::FindCommittedHash(name);
        ASSERT_NE(committed, nullptr)
            << "no committed hash for \"" << name << "\". " << Where(name, outcome, sleepKept);
        EXPECT_EQ(Hex(outcome.state), Hex(committed->state))
            << "the final state changed. " << Where(name, outcome, sleepKept);
        if (sleepKept)
        {
            EXPECT_EQ(Hex(outcome.sleep), Hex(committed->sleep))
                << "bodies fall asleep at other steps. " << Where(name, outcome, sleepKept);
        }
    }

    // Where the hashes live and the row that takes this outcome, for a change that is meant to
    // move the physics (the game's settings included).
    static std::string Where(const std::string& name, const Outcome& outcome, bool sleepKept)
    {
        return "The committed hashes are in tests/support/physcene/CommittedHashes.cpp; where the change is "
               "meant, the run's row there is:\n    {\"" +
               name + "\", " + Hex(outcome.state) + ", " + (sleepKept ? Hex(outcome.sleep) : "0") + "},";
    }
};

SceneOptions Rain(Layout layout, int n)
{
    SceneOptions options;
    options.scene = "rain";
    options.layout = layout;
    options.n = n;
    return options;
}

SceneOptions Tower(int n, unsigned int steps = dorvo::phy::DynamicsEngine::kDefaultSteps, bool shock = true)
{
    SceneOptions options;
    options.scene = "towers";
    options.n = n;
    options.collisionSteps = steps;
    options.contactSteps = steps;
    options.shock = shock;
    return options;
}

// The acceptance scenes of the scene library's tests, with what each does between steps.
struct Acceptance
{
    std::string name;
    Scene scene;
    int steps = 0;
    std::function<void(SceneRunner&, int)> between; // before the given step
};

Scene GroundScene()
{
    Scene scene;
    scene.objects.push_back(physcene::Ground());
    return scene;
}

ObjectDesc Still(ObjectDesc desc)
{
    desc.restitution = 0.0f;
    return desc;
}

Scene Stack(bool allowFreeze)
{
    Scene scene = GroundScene();
    scene.allowFreeze = allowFreeze;
    const float heights[] = {0.51f, 1.52f, 2.53f, 3.54f, 4.55f};
    for (int i = 0; i < 5; ++i)
        scene.objects.push_back(Still(physcene::Crate("box" + std::to_string(i), Vector3(0, heights[i], 0))));
    return scene;
}

std::vector<Acceptance> AcceptanceScenes()
{
    std::vector<Acceptance> scenes;
    {
        Acceptance a{"a dropped ball lands, rests and freezes", GroundScene(), 200, nullptr};
        a.scene.objects.push_back(Still(physcene::Ball("ball", Vector3(0, 10, 0))));
        scenes.push_back(a);
    }
    {
        Acceptance a{"an elastic ball bounces", GroundScene(), 300, nullptr};
        a.scene.objects.push_back(physcene::Ball("ball", Vector3(0, 5, 0)));
        scenes.push_back(a);
    }
    for (const float mass : {0.1f, 1.0f, 10.0f})
    {
        char label[64];
        std::snprintf(label, sizeof label, "a box of mass %.1f rests", mass);
        Acceptance a{label, GroundScene(), 90, nullptr};
        ObjectDesc box = physcene::Crate("box", Vector3(0, 0.6f, 0));
        box.mass = mass;
        a.scene.objects.push_back(box);
        scenes.push_back(a);
    }
    scenes.push_back(Acceptance{"a stack of five stands without freezing", Stack(false), 300, nullptr});
    {
        // Frozen by step 250, then a ball dropped from 3 above the top wakes it.
        Acceptance a{"a frozen stack wakes under a dropped ball", Stack(true), 400, nullptr};
        a.between = [](SceneRunner& runner, int step)
        {
            if (step != 251)
                return;
            const float top = runner.Body("box4")->position.y + 0.5f;
            std::string error;
            ASSERT_TRUE(runner.Add(physcene::Ball("ball", Vector3(0, top + 3.5f, 0)), &error)) << error;
        };
        scenes.push_back(a);
    }
    {
        Acceptance a{"spheres meeting head on swap their velocities", Scene(), 90, nullptr};
        a.scene.gravity = Vector3();
        ObjectDesc left = physcene::Ball("left", Vector3(-2, 5, 0));
        left.velocity = Vector3(2, 0, 0);
        ObjectDesc right = physcene::Ball("right", Vector3(2, 5, 0));
        right.velocity = Vector3(-2, 0, 0);
        a.scene.objects = {left, right};
        scenes.push_back(a);
    }
    {
        Acceptance a{"a trigger reports without pushing", Scene(), 60, nullptr};
        ObjectDesc trigger = physcene::Crate("trigger", Vector3(0, 5, 0), Vector3(2, 2, 2));
        trigger.body = false;
        trigger.trigger = true;
        a.scene.objects = {trigger, physcene::Ball("ball", Vector3(0, 10, 0)),
                           physcene::Ball("twin", Vector3(20, 10, 0))};
        scenes.push_back(a);
    }
    {
        Acceptance a{"a ball that ignores the ground falls out of the world", GroundScene(), 160, nullptr};
        ObjectDesc ball = physcene::Ball("ball", Vector3(0, 10, 0));
        ball.ignores = {"ground"};
        a.scene.objects.push_back(ball);
        scenes.push_back(a);
    }
    for (const float friction : {0.5f, 0.0f})
    {
        Acceptance a{friction > 0.0f ? "a box slides to a stop" : "a box slides without friction",
                     GroundScene(), 120, nullptr};
        a.scene.objects[0].staticFriction = a.scene.objects[0].kineticFriction = friction;
        ObjectDesc box = physcene::Crate("box", Vector3(0, 0.5f, 0));
        box.staticFriction = box.kineticFriction = friction;
        box.velocity = Vector3(3, 0, 0);
        a.scene.objects.push_back(box);
        scenes.push_back(a);
    }
    {
        Acceptance a{"a bad hull type never collides", GroundScene(), 100, nullptr};
        ObjectDesc falling = physcene::Crate("falling", Vector3(0, 2, 0));
        falling.hullTypeText = "obb";
        ObjectDesc shelf = physcene::Crate("shelf", Vector3(5, 1, 0));
        shelf.body = false;
        shelf.hullTypeText = "obb";
        a.scene.objects.push_back(falling);
        a.scene.objects.push_back(shelf);
        a.scene.objects.push_back(Still(physcene::Ball("ball", Vector3(5, 3, 0))));
        scenes.push_back(a);
    }
    {
        // Both frozen by step 150; the ball is woken, then the box under it killed.
        Acceptance a{"killing a frozen body that another remembers", GroundScene(), 212, nullptr};
        a.scene.objects.push_back(Still(physcene::Crate("box", Vector3(0, 0.5f, 0), Vector3(3, 1, 3))));
        a.scene.objects.push_back(Still(physcene::Ball("ball", Vector3(0, 1.5f, 0))));
        a.between = [](SceneRunner& runner, int step)
        {
            if (step == 151)
                runner.Body("ball")->Wake();
            if (step == 152)
                GobManager::Instance().KillGob(runner.Object("box"));
        };
        scenes.push_back(a);
    }
    {
        Acceptance a{"an immovable block holds a ball", Scene(), 100, nullptr};
        ObjectDesc block = physcene::Crate("block", Vector3(0, 0, 0), Vector3(2, 1, 2));
        block.immovable = true;
        a.scene.objects = {block, Still(physcene::Ball("ball", Vector3(0, 1.0f, 0)))};
        scenes.push_back(a);
    }
    {
        Acceptance a{"a spinning body turns about its world axis", Scene(), 30, nullptr};
        a.scene.gravity = Vector3();
        ObjectDesc box = physcene::Crate("box", Vector3(0, 5, 0));
        const float half = std::sqrt(0.5f);
        box.orientation = Quaternion(half, 0, half, 0);
        box.angularVelocity = Vector3(1, 0, 0);
        a.scene.objects.push_back(box);
        scenes.push_back(a);
    }
    {
        // Not one of the library's own scenes: the triangle pair tests under a ball and a tilted
        // box that land on a sloping slab and roll and slide off it onto the ground.
        Acceptance a{"a ball and a box slide off a sloping slab", GroundScene(), 150, nullptr};
        a.scene.objects.push_back(physcene::Slab("slab", Vector3(0, 1, 0), Vector3(-3, 1, -3),
                                                 Vector3(-3, 1, 3), Vector3(3, -0.5f, 0)));
        a.scene.objects.push_back(Still(physcene::Ball("ball", Vector3(-1, 3, -0.5f))));
        ObjectDesc box = Still(physcene::Crate("box", Vector3(-1, 4, 1)));
        box.orientation = Quaternion(0.9f, 0.2f, 0.3f, 0.1f);
        box.orientation.Normalize();
        a.scene.objects.push_back(box);
        scenes.push_back(a);
    }
    return scenes;
}
} // namespace

TEST_F(SceneHashes, RainEndsAsCommittedInEveryLayout)
{
    // Landing, piling up and resting: the spread layout for the benchmark's whole run, the
    // dense ones over their first ten seconds, and piles of more bodies than the broad phase's
    // tree serves; the small dense ones with the grid too.
    ExpectCommitted(Rain(Layout::Spread, 100));
    ExpectCommitted(Rain(Layout::Centred, 100), 300, 0);
    ExpectCommitted(Rain(Layout::Leaf, 100), 300, 0);
    ExpectCommitted(Rain(Layout::Leaf, 200), 120);
    ExpectCommitted(Rain(Layout::Spread, 300), 120);
    // With sleep: who falls asleep when.
    SceneOptions sleeping = Rain(Layout::Spread, 100);
    sleeping.sleep = true;
    ExpectCommitted(sleeping, 0, 0);
    sleeping.layout = Layout::Leaf;
    ExpectCommitted(sleeping, 300);
}

TEST_F(SceneHashes, TowersEndAsCommitted)
{
    // The column standing for ten seconds in every setting of the matrix, and of masses 0.1
    // and 10; the pyramids landing, settling and standing.
    for (const unsigned int steps : {1u, 6u, 12u})
        for (const bool shock : {true, false})
            ExpectCommitted(Tower(10, steps, shock), 300);
    for (const float mass : {0.1f, 10.0f})
    {
        SceneOptions options = Tower(10);
        options.mass = mass;
        ExpectCommitted(options, 300);
    }
    ExpectCommitted(Tower(55), 150, 0);
    ExpectCommitted(Tower(55, 12, false), 60);
    ExpectCommitted(Tower(210), 30);
}

TEST_F(SceneHashes, AccuracyCasesEndAsCommitted)
{
    for (const char* which : {"freefall", "bounce", "slide", "frictionless", "pendulum"})
    {
        SceneOptions options;
        options.scene = "accuracy";
        options.accuracyCase = which;
        ExpectCommitted(options);
    }
}

TEST_F(SceneHashes, AcceptanceScenesEndAsCommitted)
{
    // As the library's tests run them: recording, so every object has collision callbacks.
    for (const Acceptance& a : AcceptanceScenes())
    {
        const std::string name = "acceptance: " + a.name;
        SCOPED_TRACE(name);
        SceneRunner runner;
        std::string error;
        ASSERT_TRUE(runner.Build(a.scene, &error)) << error;
        std::function<void(int)> between;
        if (a.between)
            between = [&runner, &a](int step) { a.between(runner, step); };
        ExpectHashes(name, Run(runner, a.steps, between), true);
    }
}
