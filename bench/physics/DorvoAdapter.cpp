#include "DorvoAdapter.h"

#include "common/ConsoleInterface.h"
#include "engine/GobManager.h"
#include "engine/phy/CollisionComp.h"
#include "engine/phy/CollisionHull.h"
#include "engine/phy/CollisionInfo.h"
#include "engine/phy/DynamicsEngine.h"
#include "engine/phy/PhysicsComp.h"
#include "engine/phy/PointConstraint.h"

#include <filesystem>
#include <set>
#include <unistd.h>
#include <utility>

using dorvo::phy::DynamicsEngine;
using dorvo::phy::PhysicsComp;

namespace physbench
{
DorvoAdapter::DorvoAdapter()
{
    namespace fs = std::filesystem;
    // Below the working folder: the engine reads archetype files only by names that stay in it.
    m_folder = "phys_bench_" + std::to_string(getpid());
    std::error_code ignored;
    fs::create_directories(m_folder, ignored);
}

DorvoAdapter::~DorvoAdapter()
{
    m_joints.clear();
    GobManager::Instance().DestroyAllGobs();
    DynamicsEngine::Instance().Reset();
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

bool DorvoAdapter::Build(const BenchScene& scene, const EngineSettings&, std::string* error)
{
    m_joints.clear();
    m_tracked.clear();
    m_nanReports = 0;
    m_runner = std::make_unique<physcene::SceneRunner>(m_folder);
    m_runner->SetRecording(false);
    if (!m_runner->Build(scene.scene, error))
        return false;
    for (const physcene::ObjectDesc& desc : scene.scene.objects)
    {
        if (!desc.body || desc.shape == physcene::Shape::Plane)
            continue;
        const math::Vector3 half = desc.shape == physcene::Shape::Sphere
                                       ? math::Vector3(desc.scale.x * 0.5f, 0.0f, 0.0f)
                                       : desc.scale * 0.5f;
        m_tracked.push_back(Tracked{m_runner->Id(desc.name), desc.shape, half});
    }
    return MakeOurJoints(scene, *m_runner, &m_joints, error);
}

StepTime DorvoAdapter::Step()
{
    common::ConsoleInterface& console = common::ConsoleInterface::Instance();
    console.ClearOutput();
    StepTime time;
    time.wall = m_runner->StepTimed(&time.cpu);
    m_nanReports = 0;
    for (const std::string& line : console.GetOutputLines())
        if (line.find("Gob ID: ") != std::string::npos)
            ++m_nanReports;
    return time;
}

std::vector<BodySample> DorvoAdapter::Bodies() const
{
    const auto& bodies = DynamicsEngine::Instance().GetBodies();
    std::vector<BodySample> samples;
    samples.reserve(m_tracked.size());
    for (const Tracked& tracked : m_tracked)
    {
        BodySample sample;
        sample.pose.shape = tracked.shape;
        sample.pose.halfSize = tracked.halfSize;
        const auto found = bodies.find(tracked.id);
        if (found == bodies.end())
        {
            sample.alive = false;
            samples.push_back(sample);
            continue;
        }
        const PhysicsComp* body = found->second;
        sample.pose.position = body->position;
        sample.pose.orientation = body->orientation;
        sample.pose.velocity = body->velocity;
        sample.pose.angularVelocity = body->angularVelocity;
        sample.pose.mass = body->GetMass();
        for (int i = 0; i < 3; ++i)
            sample.pose.inertia[i] = body->GetInertia()[i][i];
        samples.push_back(sample);
    }
    return samples;
}

ContactCount DorvoAdapter::Contacts() const
{
    ContactCount count;
    std::set<std::pair<std::uint32_t, std::uint32_t>> unique;
    for (const dorvo::phy::CollisionInfo* info : DynamicsEngine::Instance().GetCollisionInfos())
    {
        count.points += static_cast<int>(info->contacts.size());
        ++count.pairs;
        auto id = [](const dorvo::phy::CollisionHull* hull)
        { return hull != nullptr && hull->owner != nullptr ? hull->owner->GetOwnerID() : 0u; };
        const std::uint32_t a = id(info->hullA);
        const std::uint32_t b = id(info->hullB);
        unique.emplace(std::min(a, b), std::max(a, b));
    }
    count.uniquePairs = static_cast<int>(unique.size());
    return count;
}

std::uint64_t DorvoAdapter::StateHash() const
{
    return m_runner != nullptr ? m_runner->StateHash() : 0;
}
} // namespace physbench
