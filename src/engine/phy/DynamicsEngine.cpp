#include "engine/phy/DynamicsEngine.h"

#include "common/ConsoleInterface.h"
#include "common/loki/Functor.h"
#include "engine/DefaultCompCreator.h"
#include "engine/phy/ClothComp.h"
#include "engine/phy/CollisionComp.h"
#include "engine/phy/CollisionDetector.h"
#include "engine/phy/CollisionHull.h"
#include "engine/phy/CollisionInfo.h"
#include "engine/phy/Constraint.h"
#include "engine/phy/DefaultForceCreator.h"
#include "engine/phy/DragForce.h"
#include "engine/phy/Gravity.h"
#include "engine/phy/PhysicsComp.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace dorvo
{
namespace phy
{
namespace
{
constexpr double kGravity = -9.8;   // world units per second squared, along y
constexpr float kMaxStep = 0.1f;    // seconds; a longer frame runs a step of this
constexpr float kWakePush = -1e-7f; // a frozen neighbour's force along the normal below this wakes it

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
    : gravity(DefaultGravity()), m_collisionDetector(new (std::nothrow) CollisionDetector()),
      m_collisionSteps(kDefaultSteps), m_contactSteps(kDefaultSteps), m_performShock(true),
      m_allowFreeze(true)
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
    m_collisionDetector.reset();
    DeleteCollisionInfos();
    s_destroyed = true;
}

void DynamicsEngine::Init()
{
    RegisterComponentType<PhysicsComp>(PhysicsComp::kTypeName);
    RegisterComponentType<CollisionComp>(CollisionComp::kTypeName);
    RegisterComponentType<ClothComp>(ClothComp::kTypeName);
    if (m_collisionDetector)
        m_collisionDetector->RegisterCollisionFunctors();

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
    m_activeInBodyOrder = true;
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
    // Every pass over all bodies fetches each body's state anew, and with thousands of bodies
    // those fetches, not the arithmetic, are the step's cost. Passes whose work on one body
    // neither reads nor writes another body therefore run body after body in one walk: each
    // body sees the same operations in the same order as with a walk per pass.
    // 1. to 4. (StartBodies): the bodies that take part in this step are gathered; each reads
    // back what game code may have moved since the last step, keeps its pose and motion from the
    // start of the step (its old* fields), and takes its forces. Forces act on every body, asleep
    // and immovable ones too; then on every cloth, which always steps its own fixed time.
    StartBodies(dt);
    for (auto& entry : m_cloths)
        entry.second->ApplyForces(kClothStep);
    // 5. Contacts are detected where the bodies will be at the end of the step.
    if (m_collisionDetector)
        DetectCollisions(dt);
    // 6. The collision pass: the contacts found are resolved with restitution, so bodies bounce.
    ProcessCollisions(dt, m_collisionSteps, PASS_Collision);
    // 7. The forces turn into velocity.
    for (PhysicsComp* body : m_bodyList)
        if (TakesPart(*body))
            body->IntegrateVelocity(dt);
    // 8. The contact pass, without restitution: the approach the forces just added is taken out
    // so that resting bodies stay at rest.
    ProcessCollisions(dt, m_contactSteps, PASS_Contact);
    // 9. Shock propagation: stacks are resolved from the fixed ground up, each body treating the
    // ones below it as fixed.
    if (m_performShock)
        PerformShockPropagation(dt);
    // 10. to 15. Without freezing, no body's end of step reads another's: FinishBodies walks
    // them once.
    if (!m_allowFreeze && m_activeInBodyOrder)
        FinishBodies(dt);
    else
    {
        // 10. A body still for half its freeze time or more is slowed, to rest by the freeze
        // time. 11. A body still for its whole freeze time falls asleep; awake bodies note the
        // sleeping ones they touch and wake them once they have moved far enough (the frozen
        // contacts read the neighbours' state, so they wait for every body's freeze count).
        for (std::size_t i = 0; i < m_activeBodies.size(); ++i)
        {
            m_activeBodies[i]->ApplySleepDamping();
            if (m_allowFreeze)
                m_activeBodies[i]->UpdateFreeze(dt);
        }
        if (m_allowFreeze)
            TrackFrozenContacts();
        // 12. Each axis of the linear and angular velocity is held within the body's limits.
        // 13. The velocities move the bodies, the woken ones too.
        for (std::size_t i = 0; i < m_activeBodies.size(); ++i)
        {
            m_activeBodies[i]->ClampVelocities();
            m_activeBodies[i]->IntegratePosition(dt);
        }
        // 14. The cloths move, always by their own fixed step.
        for (auto& entry : m_cloths)
            entry.second->Integrate(kClothStep);
        // 15. The new poses go back to the game objects.
        for (PhysicsComp* body : m_bodyList)
            body->WriteToGob();
    }
    // 16. The hulls' contact windows roll on; the collision-begin callbacks look back at them.
    if (m_collisionDetector)
        m_collisionDetector->AgeAllContacts(dt);
    // 17. Constraints that broke during the step are disabled only now, so that none leaves the
    // lists the passes were walking.
    DisableBrokenConstraints();
}

void DynamicsEngine::FinishBodies(float dt)
{
    // Without freezing no body's end of step reads another body. The cloths read no body but
    // step between the bodies' integration and their write-back, so with cloths the write-back
    // keeps its own walk.
    const bool writeBack = m_cloths.empty();
    std::size_t next = 0; // the active bodies are a subsequence of m_bodyList
    for (PhysicsComp* body : m_bodyList)
    {
        if (next < m_activeBodies.size() && m_activeBodies[next] == body)
        {
            ++next;
            body->ApplySleepDamping();
            body->ClampVelocities();
            body->IntegratePosition(dt);
        }
        if (writeBack)
            body->WriteToGob();
    }
    if (writeBack)
        return;
    for (auto& entry : m_cloths)
        entry.second->Integrate(kClothStep);
    for (PhysicsComp* body : m_bodyList)
        body->WriteToGob();
}

void DynamicsEngine::DetectCollisions(float dt)
{
    // The passes start from the state before this prediction; PopState restores it. The active
    // bodies are those of m_bodyList that StartBodies took, in its order, unless a body
    // woken since was appended.
    if (m_activeInBodyOrder)
    {
        std::size_t next = 0;
        for (PhysicsComp* body : m_bodyList)
        {
            const bool active = next < m_activeBodies.size() && m_activeBodies[next] == body;
            if (active)
            {
                ++next;
                body->PushState();
            }
            if (TakesPart(*body))
                body->IntegrateVelocity(dt);
            if (active)
                body->IntegratePosition(dt);
        }
    }
    else
    {
        for (std::size_t i = 0; i < m_activeBodies.size(); ++i)
            m_activeBodies[i]->PushState();
        for (PhysicsComp* body : m_bodyList)
            if (TakesPart(*body))
                body->IntegrateVelocity(dt);
        for (std::size_t i = 0; i < m_activeBodies.size(); ++i)
            m_activeBodies[i]->IntegratePosition(dt);
    }
    DeleteCollisionInfos();
    m_collisionDetector->DetectCollisions(m_activeBodies, m_collisionInfos);
    for (std::size_t i = 0; i < m_activeBodies.size(); ++i)
        m_activeBodies[i]->PopState();
}

void DynamicsEngine::ProcessCollisions(float dt, unsigned int iterations, Pass pass)
{
    std::size_t prepared = m_collisionInfos.size();
    for (std::size_t i = 0; i < m_constraints.size(); ++i)
        m_constraints[i]->Prepare(dt);
    if (pass == PASS_Collision)
        PrepareInfos(dt, 0, pass);
    else
        // The contact pass keeps the collision pass's preparation and drops the bounce.
        for (std::size_t i = 0; i < m_collisionInfos.size(); ++i)
            m_collisionInfos[i]->restitution = 0.0f;

    // Bodies only wake during the passes, never freeze, so with none frozen at the start the
    // frozen-body test of every sweep would find nothing to look at.
    bool anyFrozen = false;
    if (m_allowFreeze)
        for (const PhysicsComp* body : m_bodyList)
            if (body->frozen)
            {
                anyFrozen = true;
                break;
            }

    for (unsigned int iteration = 0; iteration < iterations; ++iteration)
    {
        // Alternating directions; a sweep covers the infos there were when it began.
        const std::size_t count = m_collisionInfos.size();
        if (iteration % 2 == 0)
            for (std::size_t i = 0; i < count; ++i)
                m_collisionInfos[i]->Resolve(dt);
        else
            for (std::size_t i = count; i-- > 0;)
                m_collisionInfos[i]->Resolve(dt);
        for (std::size_t i = 0; i < m_constraints.size(); ++i)
            m_constraints[i]->Solve(dt);
        if (m_allowFreeze && anyFrozen)
            CheckFrozenBodies();
        // Contacts of bodies woken in this sweep.
        PrepareInfos(dt, prepared, pass);
        prepared = m_collisionInfos.size();
    }
}

void DynamicsEngine::PrepareInfos(float dt, std::size_t first, Pass pass)
{
    for (std::size_t i = first; i < m_collisionInfos.size(); ++i)
    {
        if (pass == PASS_Contact)
            m_collisionInfos[i]->restitution = 0.0f;
        m_collisionInfos[i]->PreStep(dt);
    }
}

template <class Visit> void DynamicsEngine::ForEachBody(Visit&& visit)
{
    std::size_t i = 0;
    while (i < m_bodyList.size())
    {
        const std::uint32_t id = m_bodyIds[i];
        const std::uint64_t changes = m_bodyChanges;
        visit(m_bodyList[i]);
        if (changes == m_bodyChanges)
            ++i;
        else
            i = static_cast<std::size_t>(std::upper_bound(m_bodyIds.begin(), m_bodyIds.end(), id) -
                                         m_bodyIds.begin());
    }
}

void DynamicsEngine::CheckFrozenBodies()
{
    // Waking a body runs its detection, whose callbacks may file new bodies.
    ForEachBody(
        [this](PhysicsComp* body)
        {
            if (!body->frozen)
                return;
            if (body->velocity.LengthSquared() > PhysicsComp::kMovingLinear ||
                body->angularVelocity.LengthSquared() > PhysicsComp::kMovingAngular)
                WakeBody(body);
            else if (body->disturbed)
            {
                body->velocity.Set(0.0f, 0.0f, 0.0f);
                body->angularVelocity.Set(0.0f, 0.0f, 0.0f);
                body->disturbed = false;
            }
        });
}

void DynamicsEngine::PerformShockPropagation(float dt)
{
    std::vector<PhysicsComp*> ordered(m_bodyList);
    SortBodiesAlongGravity(ordered);

    // The bodies this pass holds fixed; exactly these are released at its end, so a body that
    // was immovable before (loaded so, or set by the game) stays immovable.
    std::vector<PhysicsComp*> marked;
    auto mark = [&marked](PhysicsComp* body)
    {
        body->savedImmovable = body->immovable;
        body->immovable = true;
        marked.push_back(body);
    };

    bool changed = true;
    while (changed)
    {
        changed = false;
        for (PhysicsComp* body : ordered)
        {
            if (body->immovable)
                continue;
            CollisionHull* hull = body->GetHull();
            if (hull == nullptr || body->frozen || hull->collisionInfos.empty())
            {
                mark(body);
                continue;
            }
            // Pairs against a fixed side: no body, or one already held.
            bool taken = false;
            for (std::size_t i = 0; i < hull->collisionInfos.size(); ++i)
            {
                CollisionInfo* info = hull->collisionInfos[i];
                const PhysicsComp* first = info->hullA != nullptr ? info->hullA->GetBody() : nullptr;
                const PhysicsComp* second = info->hullB != nullptr ? info->hullB->GetBody() : nullptr;
                const bool take = (first == body && (second == nullptr || second->immovable)) ||
                                  (second == body && (first == nullptr || first->immovable));
                if (!take)
                    continue;
                info->PreStep(dt);
                info->ResolveShock(dt);
                taken = true;
            }
            if (taken)
            {
                changed = true;
                mark(body);
            }
        }
    }

    for (PhysicsComp* body : marked)
        body->immovable = false;
}

void DynamicsEngine::SortBodiesAlongGravity(std::vector<PhysicsComp*>& bodies) const
{
    const float g[3] = {std::fabs(gravity.x), std::fabs(gravity.y), std::fabs(gravity.z)};
    int axis = -1;
    for (int i = 0; i < 3; ++i)
        if (g[i] > g[(i + 1) % 3] && g[i] > g[(i + 2) % 3])
            axis = i;
    if (axis < 0)
        return;
    // The keys are read once into a dense array: the sort compares each many times, and a
    // body's position lies far from the next body's. The same stable sort with the same
    // comparisons on the same keys gives the same order.
    struct Keyed
    {
        float key;
        PhysicsComp* body;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(bodies.size());
    for (PhysicsComp* body : bodies)
        keyed.push_back(Keyed{body->position[axis], body});
    // Furthest along gravity first.
    if (gravity[axis] < 0.0f)
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
    else
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const Keyed& a, const Keyed& b) { return a.key > b.key; });
    for (std::size_t i = 0; i < keyed.size(); ++i)
        bodies[i] = keyed[i].body;
}

void DynamicsEngine::TrackFrozenContacts()
{
    ForEachBody(
        [](PhysicsComp* body)
        {
            CollisionHull* hull = body->GetHull();
            if (body->frozen || hull == nullptr)
                return;
            body->WakeFrozenContacts();
            // By index: waking a body appends to this list.
            for (std::size_t i = 0; i < hull->collisionInfos.size(); ++i)
            {
                const CollisionInfo* info = hull->collisionInfos[i];
                if (info->hullB == nullptr)
                    continue;
                PhysicsComp* other = info->hullA != nullptr ? info->hullA->GetBody() : nullptr;
                if (other == body)
                    other = info->hullB->GetBody();
                if (other != nullptr && other->frozen)
                    body->AddFrozenContact(other, body->position);
            }
        });
}

void DynamicsEngine::StartBodies(float dt)
{
    m_activeBodies.clear();
    m_activeInBodyOrder = true;
    for (PhysicsComp* body : m_bodyList)
    {
        // 1. The bodies that take part in this step; their hulls follow them.
        if (!body->frozen && !body->immovable)
        {
            if (CollisionHull* hull = body->GetHull())
                hull->UpdateFromBody();
            m_activeBodies.push_back(body);
        }
        // 2. Game code may have moved objects since the last step.
        body->ReadFromGob();
        // 3.
        if (TakesPart(*body))
            body->SaveOldState();
        // 4.
        body->ApplyForces(dt);
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
        CollisionInfo::Release(info);
    m_collisionInfos.clear();
    // The hulls' lists point into the results.
    for (PhysicsComp* body : m_bodyList)
        if (CollisionHull* hull = body->GetHull())
            hull->collisionInfos.clear();
}

void DynamicsEngine::AddBody(std::uint32_t id, PhysicsComp* body)
{
    const auto filed = m_bodies.emplace(id, body);
    if (!filed.second)
        return;
    // At its place in id order (new objects have the highest ids: at the end).
    const auto at = std::lower_bound(m_bodyIds.begin(), m_bodyIds.end(), id) - m_bodyIds.begin();
    m_bodyList.insert(m_bodyList.begin() + at, body);
    m_bodyIds.insert(m_bodyIds.begin() + at, id);
    ++m_bodyChanges;
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
    const auto at = std::lower_bound(m_bodyIds.begin(), m_bodyIds.end(), id) - m_bodyIds.begin();
    m_bodyList.erase(m_bodyList.begin() + at);
    m_bodyIds.erase(m_bodyIds.begin() + at);
    ++m_bodyChanges;
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

void DynamicsEngine::AddCollisionComp(std::uint32_t id, CollisionComp* comp)
{
    if (m_collisionDetector)
        m_collisionDetector->AddCollisionComp(id, comp);
}

void DynamicsEngine::RemoveCollisionComp(std::uint32_t id)
{
    if (m_collisionDetector)
        m_collisionDetector->RemoveCollisionComp(id);
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
    {
        m_activeBodies.push_back(body);
        m_activeInBodyOrder = false;
    }
    if (!m_collisionDetector || body->GetHull() == nullptr)
        return;

    const std::size_t first = m_collisionInfos.size();
    m_collisionDetector->DetectCollisionsForBody(body, m_collisionInfos);
    const std::size_t last = m_collisionInfos.size();
    // A frozen neighbour whose accumulated force presses into the woken body wakes with it.
    for (std::size_t i = first; i < last; ++i)
    {
        const CollisionInfo* info = m_collisionInfos[i];
        if (info->hullB == nullptr)
            continue;
        PhysicsComp* other = info->hullA != nullptr ? info->hullA->GetBody() : nullptr;
        math::Vector3 direction = info->normal;
        if (other == body)
        {
            other = info->hullB->GetBody();
            direction = -info->normal;
        }
        if (other != nullptr && other->frozen && other->force.Dot(direction) < kWakePush)
            WakeBody(other);
    }
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
