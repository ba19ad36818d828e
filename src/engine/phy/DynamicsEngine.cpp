#include "engine/phy/DynamicsEngine.h"

#include "common/ConsoleInterface.h"
#include "common/loki/Functor.h"
#include "engine/DefaultCompCreator.h"
#include "engine/phy/CollisionComp.h"
#include "engine/phy/CollisionHull.h"
#include "engine/phy/CollisionInfo.h"
#include "engine/phy/Constraint.h"
#include "engine/phy/DefaultForceCreator.h"
#include "engine/phy/DragForce.h"
#include "engine/phy/Gravity.h"
#include "engine/phy/PhysicsComp.h"

#include <algorithm>

namespace dorvo
{
namespace phy
{
namespace
{
constexpr double kGravity = -9.8; // world units per second squared, along y
constexpr float kMaxStep = 0.1f;  // seconds; a longer frame runs a step of this
constexpr unsigned int kDefaultSteps = 6;

bool s_destroyed = false;

math::Vector3 DefaultGravity()
{
    return math::Vector3(0.0f, static_cast<float>(kGravity * 1.0), 0.0f);
}

// A body that sleeps but was pushed since takes part in the state saving and velocity passes.
bool TakesPart(const PhysicsComp& body)
{
    return !body.frozen || body.disturbed;
}
} // namespace

DynamicsEngine& DynamicsEngine::Instance()
{
    static DynamicsEngine instance;
    return instance;
}

DynamicsEngine* DynamicsEngine::IfAlive()
{
    return s_destroyed ? nullptr : &Instance();
}

DynamicsEngine::DynamicsEngine()
    : gravity(DefaultGravity()), m_collisionSteps(kDefaultSteps), m_contactSteps(kDefaultSteps),
      m_performShock(true), m_allowFreeze(true)
{
    // The console is made first so that it outlives the engine and the finite-check reports of
    // bodies deleted at exit still find it. Objects deleted after the engine find it gone
    // (IfAlive) instead of half torn down.
    common::ConsoleInterface::Instance();
}

DynamicsEngine::~DynamicsEngine()
{
    const std::vector<Constraint*> constraints = m_constraints;
    for (Constraint* constraint : constraints)
        constraint->Disable();
    DeleteCollisionInfos();
    s_destroyed = true;
}

void DynamicsEngine::Init()
{
    RegisterComponentType<PhysicsComp>(PhysicsComp::kTypeName);
    RegisterComponentType<CollisionComp>(CollisionComp::kTypeName);
    // The collision detector's pair table is filled here once the detector exists.

    // The console keeps the first functor of a name and deletes later ones, so a second Init
    // leaks nothing.
    common::ConsoleInterface& console = common::ConsoleInterface::Instance();
    console.RegisterCommand("collisionSteps",
                            Loki::NewFunctor(this, &DynamicsEngine::SetCollisionSteps).release(),
                            "Sets the number of collision steps.");
    console.RegisterCommand("contactSteps",
                            Loki::NewFunctor(this, &DynamicsEngine::SetContactSteps).release(),
                            "Sets the number of contact steps.");
    console.RegisterCommand("performShock",
                            Loki::NewFunctor(this, &DynamicsEngine::SetPerformShock).release(),
                            "Set whether to perfrom shock step or not.");
    console.RegisterCommand("allowFreeze", Loki::NewFunctor(this, &DynamicsEngine::SetAllowFreeze).release(),
                            "Set whether to allow freezing or not.");

    static DefaultForceCreator<Gravity> s_gravityCreator;
    static DefaultForceCreator<DragForce> s_dragCreator;
    RegisterForceCreator("Gravity", &s_gravityCreator);
    RegisterForceCreator("DragForce", &s_dragCreator);
    m_initialised = true;
}

void DynamicsEngine::Reset()
{
    m_collisionSteps = kDefaultSteps;
    m_contactSteps = kDefaultSteps;
    m_performShock = true;
    m_allowFreeze = true;
    gravity = DefaultGravity();
    paused = false;
    m_activeBodies.clear();
    m_brokenConstraints.clear();
    DeleteCollisionInfos();
}

void DynamicsEngine::Update(float dt)
{
    if (paused || dt < 0.0f)
        return;
    Step(std::min(dt, kMaxStep));
}

void DynamicsEngine::Step(float dt)
{
    // 1. The bodies that take part in this step.
    GatherActiveBodies();
    // 2. Game code may have moved objects since the last step.
    for (auto& entry : m_bodies)
        entry.second->ReadFromGob();
    // 3.
    for (auto& entry : m_bodies)
        if (TakesPart(*entry.second))
            entry.second->SaveOldState();
    // 4. Forces act on every body, asleep and immovable ones too; cloth forces follow here.
    for (auto& entry : m_bodies)
        entry.second->ApplyForces(dt);
    // 5. Contact prediction and detection.
    // 6. Collision pass.
    // 7.
    for (auto& entry : m_bodies)
        if (TakesPart(*entry.second))
            entry.second->IntegrateVelocity(dt);
    // 8. Contact pass.
    // 9. Shock propagation.
    // 10.
    for (std::size_t i = 0; i < m_activeBodies.size(); ++i)
        m_activeBodies[i]->ApplySleepDamping();
    // 11. Freezing; frozen-contact tracking follows UpdateFreeze.
    if (m_allowFreeze)
        for (std::size_t i = 0; i < m_activeBodies.size(); ++i)
            m_activeBodies[i]->UpdateFreeze(dt);
    // 12.
    for (std::size_t i = 0; i < m_activeBodies.size(); ++i)
        m_activeBodies[i]->ClampVelocities();
    // 13.
    for (std::size_t i = 0; i < m_activeBodies.size(); ++i)
        m_activeBodies[i]->IntegratePosition(dt);
    // 14. Cloth integration.
    // 15.
    for (auto& entry : m_bodies)
        entry.second->WriteToGob();
    // 16. Ageing of the contact windows.
    // 17.
    DisableBrokenConstraints();
}

void DynamicsEngine::GatherActiveBodies()
{
    m_activeBodies.clear();
    for (auto& entry : m_bodies)
    {
        PhysicsComp* body = entry.second;
        if (body->frozen || body->immovable)
            continue;
        if (CollisionHull* hull = body->GetHull())
            hull->UpdateFromBody();
        m_activeBodies.push_back(body);
    }
}

void DynamicsEngine::DisableBrokenConstraints()
{
    // Disabling takes a constraint off the queue too, so the queue is walked as a copy.
    std::vector<Constraint*> broken;
    broken.swap(m_brokenConstraints);
    for (Constraint* constraint : broken)
        constraint->Disable();
}

void DynamicsEngine::DeleteCollisionInfos()
{
    for (CollisionInfo* info : m_collisionInfos)
        delete info;
    m_collisionInfos.clear();
}

void DynamicsEngine::AddBody(std::uint32_t id, PhysicsComp* body)
{
    m_bodies.emplace(id, body);
}

void DynamicsEngine::RemoveBody(std::uint32_t id)
{
    const auto found = m_bodies.find(id);
    if (found == m_bodies.end())
        return;
    // A body killed between steps must not linger in the last step's list.
    PhysicsComp* body = found->second;
    m_activeBodies.erase(std::remove(m_activeBodies.begin(), m_activeBodies.end(), body),
                         m_activeBodies.end());
    m_bodies.erase(found);
}

void DynamicsEngine::AddCloth(std::uint32_t id, ClothComp* cloth)
{
    m_cloths.emplace(id, cloth);
}

void DynamicsEngine::RemoveCloth(std::uint32_t id)
{
    m_cloths.erase(id);
}

void DynamicsEngine::AddCollisionComp(std::uint32_t, CollisionComp*)
{
    // Filed with the collision detector once there is one.
}

void DynamicsEngine::RemoveCollisionComp(std::uint32_t)
{
    // Taken out of the collision detector once there is one.
}

void DynamicsEngine::AddConstraint(Constraint* constraint)
{
    if (constraint != nullptr &&
        std::find(m_constraints.begin(), m_constraints.end(), constraint) == m_constraints.end())
        m_constraints.push_back(constraint);
}

void DynamicsEngine::RemoveConstraint(Constraint* constraint)
{
    const auto found = std::find(m_constraints.begin(), m_constraints.end(), constraint);
    if (found != m_constraints.end())
        m_constraints.erase(found);
    // A constraint destroyed while queued must not be disabled again at the end of the step.
    const auto queued = std::find(m_brokenConstraints.begin(), m_brokenConstraints.end(), constraint);
    if (queued != m_brokenConstraints.end())
        m_brokenConstraints.erase(queued);
}

void DynamicsEngine::QueueBrokenConstraint(Constraint* constraint)
{
    if (constraint != nullptr && std::find(m_brokenConstraints.begin(), m_brokenConstraints.end(),
                                           constraint) == m_brokenConstraints.end())
        m_brokenConstraints.push_back(constraint);
}

void DynamicsEngine::RegisterForceCreator(const std::string& name, DefaultCreator<Force>* creator)
{
    if (creator != nullptr)
        m_forceCreators.emplace(name, creator);
}

Force* DynamicsEngine::CreateForce(const std::string& name) const
{
    const auto found = m_forceCreators.find(name);
    return found == m_forceCreators.end() ? nullptr : found->second->Create();
}

void DynamicsEngine::WakeBody(PhysicsComp* body)
{
    if (body == nullptr || !body->frozen || body->immovable)
        return;
    body->frozen = false;
    body->freezeTimer = 0.0f;
    if (std::find(m_activeBodies.begin(), m_activeBodies.end(), body) == m_activeBodies.end())
        m_activeBodies.push_back(body);
    // The woken body's contacts are detected here once there is a collision detector.
}

void DynamicsEngine::SetCollisionSteps(unsigned int steps)
{
    m_collisionSteps = steps;
}

void DynamicsEngine::SetContactSteps(unsigned int steps)
{
    m_contactSteps = steps;
}

void DynamicsEngine::SetPerformShock(bool perform)
{
    m_performShock = perform;
}

void DynamicsEngine::SetAllowFreeze(bool allow)
{
    m_allowFreeze = allow;
    if (allow)
        return;
    // Without freezing nothing would ever wake a sleeping body or restart a half-run timer.
    for (auto& entry : m_bodies)
    {
        entry.second->frozen = false;
        entry.second->freezeTimer = 0.0f;
    }
}
} // namespace phy
} // namespace dorvo
