// Where the heap puts objects decides nothing in the physics step: a scene stepped while every new
// object lies below the ones made before it (the reverse of the ordinary heap's order), in memory
// filled with zeros instead of the ordinary heap's bytes, records the same steps to the bit. A walk
// ordered by address instead of by id, or a read of a field nobody set, shows here as the first
// step that differs; the committed hashes cannot tell, since they are always taken on one heap.
#include "ReversedHeap.h"
#include "physcene/BenchScene.h"
#include "physcene/SceneRunner.h"

#include "PhysicsTestWorld.h"
#include "engine/phy/CollisionFunctorData.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using physbench::BenchScene;
using physbench::Layout;
using physbench::SceneOptions;
using physcene::SceneRunner;
using physcene::StepRecord;

namespace
{
// More than twice what the longest run below allocates: carved memory is never reused.
constexpr std::size_t kReversedBytes = std::size_t(128) << 20;

class Digest
{
public:
    void Add(std::uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
        {
            m_hash ^= (value >> (8 * i)) & 0xffu;
            m_hash *= 1099511628211ull; // FNV-1a, 64 bits
        }
    }
    void Add(float value)
    {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        Add(bits);
    }
    void Add(const math::Vector3& v)
    {
        Add(v.x);
        Add(v.y);
        Add(v.z);
    }
    std::uint64_t Get() const { return m_hash; }

private:
    std::uint64_t m_hash = 14695981039346656037ull;
};

// Every body, contact pair and callback of the step, to the bit, in the order recorded.
std::uint64_t DigestOf(const StepRecord& record)
{
    Digest d;
    for (const physcene::BodyState& body : record.bodies)
    {
        d.Add(body.id);
        d.Add(body.position);
        d.Add(body.orientation.w);
        d.Add(body.orientation.x);
        d.Add(body.orientation.y);
        d.Add(body.orientation.z);
        d.Add(body.velocity);
        d.Add(body.angularVelocity);
        d.Add(static_cast<std::uint32_t>(body.frozen));
    }
    for (const physcene::InfoState& info : record.infos)
    {
        d.Add(info.idA);
        d.Add(info.idB);
        d.Add(info.normal);
        for (const physcene::ContactState& contact : info.contacts)
        {
            d.Add(contact.point);
            d.Add(contact.depth);
        }
    }
    for (const physcene::CallbackState& callback : record.callbacks)
    {
        const dorvo::phy::CollisionFunctorData& data = callback.data;
        d.Add(static_cast<std::uint32_t>(callback.kind));
        d.Add(callback.owner);
        d.Add(data.gobIdA);
        d.Add(data.gobIdB);
        d.Add(data.contactPoint);
        d.Add(data.normal);
        d.Add(data.depth);
        d.Add(data.relativeVelocity);
        d.Add(data.impulse);
    }
    return d.Get();
}

struct Case
{
    const char* what;
    SceneOptions options;
    int steps;
    int killAt;       // the step before which `kill` is killed; 0 for none
    const char* kill; // a body of the scene
};

SceneOptions Rain(int n, bool sleep)
{
    SceneOptions options;
    options.scene = "rain";
    options.layout = Layout::Leaf;
    options.n = n;
    options.sleep = sleep;
    return options;
}

SceneOptions Pyramid()
{
    SceneOptions options;
    options.scene = "towers";
    options.n = 55;
    return options;
}

class AllocationOrder : public phytest::PhysicsTest
{
protected:
    // The digests of every step of a fresh run, recording callbacks on every object.
    std::vector<std::uint64_t> Run(const Case& c)
    {
        std::vector<std::uint64_t> digests;
        BenchScene scene;
        std::string error;
        EXPECT_TRUE(physbench::MakeScene(c.options, &scene, &error)) << error;
        SceneRunner runner;
        EXPECT_TRUE(runner.Build(scene.scene, &error)) << error;
        for (int step = 1; step <= c.steps; ++step)
        {
            if (step == c.killAt)
                GobManager::Instance().KillGob(runner.Object(c.kill));
            runner.Step();
            digests.push_back(DigestOf(runner.Last()));
        }
        return digests;
    }
};
} // namespace

TEST_F(AllocationOrder, ScenesStepAlikeWhateverWhereTheHeapPutsTheirObjects)
{
    // A dense pile through the grid's broad phase and the box pairs' memo, with a body killed in
    // the middle of it; a pile that falls asleep, with a sleeper killed under its neighbours; a
    // pyramid that lands under shock propagation.
    const Case cases[] = {
        {"a pile of 200 in one column", Rain(200, false), 60, 30, "body7"},
        {"a pile of 100 falling asleep", Rain(100, true), 180, 150, "body9"},
        {"a pyramid of 55", Pyramid(), 30, 0, ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        const std::vector<std::uint64_t> ordinary = Run(c);
        ASSERT_TRUE(testsupport::StartReversedHeap(kReversedBytes, 0x00));
        const std::vector<std::uint64_t> reversed = Run(c);
        ASSERT_TRUE(testsupport::StopReversedHeap()) << "the reversed heap's block was too small";
        ASSERT_EQ(ordinary.size(), reversed.size());
        std::size_t step = 0;
        while (step < ordinary.size() && ordinary[step] == reversed[step])
            ++step;
        EXPECT_EQ(step, ordinary.size()) << "the runs part at step " << step + 1;
    }
}
