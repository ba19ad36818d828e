#include "SceneRunner.h"

#include "BodyTemplates.h"
#include "common/COctTree.h"
#include "common/HashName.h"
#include "common/loki/Functor.h"
#include "common/math/AABB.h"
#include "common/math/Matrix3.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/phy/CollisionComp.h"
#include "engine/phy/CollisionHull.h"
#include "engine/phy/CollisionInfo.h"
#include "engine/phy/DynamicsEngine.h"
#include "engine/phy/OBBHull.h"
#include "engine/phy/PairResult.h"
#include "engine/phy/PhysicsComp.h"
#include "engine/phy/SphereHull.h"

#include <tinyxml.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <utility>

using dorvo::phy::CollisionComp;
using dorvo::phy::DynamicsEngine;
using dorvo::phy::PhysicsComp;

namespace physcene
{
namespace
{
// The name under which the runner's recording callbacks are filed.
const char* const kRecorderName = "~SceneRunner";

std::string HullTypeOf(const ObjectDesc& desc)
{
    if (!desc.hullTypeText.empty())
        return desc.hullTypeText;
    switch (desc.shape)
    {
    case Shape::Sphere:
        return "Sphere";
    case Shape::Box:
        return "OBB";
    case Shape::Triangle:
        return "Triangle";
    case Shape::Plane:
        return "Plane";
    }
    return std::string();
}

// The template side of an object: everything but its pose and motion, which the runner sets
// on the object it creates.
BodySpec SpecOf(const ObjectDesc& desc)
{
    BodySpec spec;
    spec.physics = desc.body && desc.shape != Shape::Plane;
    spec.collision = true;
    spec.scale = desc.scale;
    spec.bounds = desc.bounds;
    spec.mass = desc.mass;
    spec.inertia = desc.inertia;
    spec.immovable = desc.immovable;
    spec.forces.clear();
    if (desc.gravity)
        spec.forces.push_back("Gravity");
    spec.staticFriction = desc.staticFriction;
    spec.kineticFriction = desc.kineticFriction;
    spec.coeffRes = desc.restitution;
    spec.trigger = desc.trigger;
    spec.hullType = HullTypeOf(desc);
    // A saved size of 0 lets the first step size the hull and set the inertia from the scale.
    spec.radius = desc.saveHullSize ? desc.scale.x * 0.5f : 0.0f;
    spec.extent = desc.saveHullSize ? desc.scale * 0.5f : math::Vector3();
    spec.planeNormal = desc.planeNormal;
    spec.planeD = desc.planeD;
    spec.vertex0 = desc.vertices[0];
    spec.vertex1 = desc.vertices[1];
    spec.vertex2 = desc.vertices[2];
    return spec;
}

std::string TemplateKey(const BodySpec& spec)
{
    TiXmlElement gob("Gob");
    WriteBodyComponents(spec, &gob);
    TiXmlPrinter printer;
    gob.Accept(&printer);
    return printer.Str();
}

// The world box of the hull the object will have, grown by the collision margin; false for a
// shape without one (a plane, or a hull type that makes no hull).
bool HullBox(const ObjectDesc& desc, math::AABB& box)
{
    const std::string type = HullTypeOf(desc);
    const math::Vector3 margin(dorvo::phy::kCollisionMargin, dorvo::phy::kCollisionMargin,
                               dorvo::phy::kCollisionMargin);
    if (type == "Sphere")
    {
        const float r = desc.scale.x * 0.5f;
        const math::Vector3 reach(r, r, r);
        box = math::AABB(desc.position - reach - margin, desc.position + reach + margin);
        return true;
    }
    if (type == "OBB")
    {
        const math::Matrix3 axes = desc.orientation.ToMatrix3();
        const math::Vector3 half = desc.scale * 0.5f;
        math::Vector3 reach;
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 3; ++i)
                reach[j] += std::fabs(axes[i][j]) * half[i];
        box = math::AABB(desc.position - reach - margin, desc.position + reach + margin);
        return true;
    }
    if (type == "Triangle")
    {
        math::Vector3 world[3];
        for (int i = 0; i < 3; ++i)
            world[i] =
                desc.position + desc.orientation.Rotate(math::ComponentProduct(desc.vertices[i], desc.scale));
        box = math::AABB(world[0], world[0]);
        box.Extend(world[1]);
        box.Extend(world[2]);
        box = math::AABB(box.min - margin, box.max + margin);
        return true;
    }
    return false;
}

std::string Text(const math::AABB& box)
{
    auto v = [](const math::Vector3& p)
    { return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ", " + std::to_string(p.z) + ")"; };
    return v(box.min) + " to " + v(box.max);
}

bool Fail(std::string* error, const std::string& text)
{
    if (error != nullptr)
        *error = text;
    return false;
}

void Mix(std::uint64_t& hash, const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i)
    {
        hash ^= bytes[i];
        hash *= 1099511628211ull; // FNV-1a, 64 bits
    }
}

void MixFloats(std::uint64_t& hash, const float* values, int count)
{
    for (int i = 0; i < count; ++i)
    {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &values[i], sizeof bits);
        Mix(hash, &bits, sizeof bits);
    }
}

CollisionComp* CollisionOf(Gob* gob)
{
    return gob != nullptr
               ? dynamic_cast<CollisionComp*>(gob->GetComponent(HashName(CollisionComp::kTypeName)))
               : nullptr;
}
} // namespace

const BodyState* StepRecord::Find(std::uint32_t id) const
{
    for (const BodyState& body : bodies)
        if (body.id == id)
            return &body;
    return nullptr;
}

int StepRecord::CountCallbacks(CallbackState::Kind kind, std::uint32_t owner) const
{
    int count = 0;
    for (const CallbackState& callback : callbacks)
        if (callback.kind == kind && callback.owner == owner)
            ++count;
    return count;
}

SceneRunner::SceneRunner(const std::string& folder)
    : m_folder(folder), m_pending(std::make_shared<std::vector<CallbackState>>())
{
}

SceneRunner::~SceneRunner() = default;

bool SceneRunner::Build(const Scene& scene, std::string* error)
{
    ResetWorld();
    m_scene = scene;
    m_ids.clear();
    m_records.clear();
    m_steps = 0;
    m_pending->clear();

    DynamicsEngine& engine = DynamicsEngine::Instance();
    engine.gravity = scene.gravity;
    engine.SetCollisionSteps(scene.collisionSteps);
    engine.SetContactSteps(scene.contactSteps);
    engine.SetPerformShock(scene.performShock);
    engine.SetAllowFreeze(scene.allowFreeze);

    for (const ObjectDesc& desc : scene.objects)
        if (!BuildObject(desc, error))
            return false;

    for (const ObjectDesc& desc : scene.objects)
        if (!ApplyIgnores(desc, error))
            return false;

    for (const ObjectDesc& desc : scene.objects)
        if (!CheckObject(desc, Object(desc.name), error))
            return false;
    return true;
}

bool SceneRunner::Add(const ObjectDesc& object, std::string* error)
{
    if (!BuildObject(object, error) || !ApplyIgnores(object, error) ||
        !CheckObject(object, Object(object.name), error))
        return false;
    m_scene.objects.push_back(object);
    return true;
}

bool SceneRunner::ApplyIgnores(const ObjectDesc& desc, std::string* error)
{
    for (const std::string& other : desc.ignores)
    {
        if (m_ids.count(other) == 0)
            return Fail(error, "object \"" + desc.name + "\" ignores \"" + other +
                                   "\", which the scene does not have");
        CollisionComp* self = CollisionOf(Object(desc.name));
        CollisionComp* that = CollisionOf(Object(other));
        if (self != nullptr && that != nullptr)
            self->IgnoreCollisionWith(that);
    }
    return true;
}

bool SceneRunner::BuildObject(const ObjectDesc& desc, std::string* error)
{
    if (desc.name.empty())
        return Fail(error, "an object of the scene has no name");
    if (m_ids.count(desc.name) != 0)
        return Fail(error, "object \"" + desc.name + "\" is named twice");

    // Objects that differ only in pose and motion share one template.
    const BodySpec spec = SpecOf(desc);
    const std::string key = TemplateKey(spec);
    auto filed = m_templates.find(key);
    if (filed == m_templates.end())
    {
        const std::string archetype = LoadBodyTemplate(spec, m_folder);
        if (archetype.empty())
            return Fail(error, "object \"" + desc.name + "\": its template files cannot be written");
        filed = m_templates.emplace(key, archetype).first;
    }
    Gob* gob = GobManager::Instance().CreateGob(filed->second);
    if (gob == nullptr)
        return Fail(error, "object \"" + desc.name + "\" cannot be made from its template");
    m_ids[desc.name] = gob->GetID();

    // Placed as the game moves objects: through the POVComp, re-filed in the oct tree.
    if (POVComp* pov = GetPOVComp(gob))
    {
        pov->SetPosition(desc.position, false);
        pov->SetOrientation(desc.orientation, true);
        pov->SetVelocity(desc.velocity);
    }
    if (PhysicsComp* body = dorvo::phy::GetPhysicsComp(gob))
    {
        body->position = desc.position;
        body->orientation = desc.orientation;
        body->velocity = desc.velocity;
        body->angularVelocity = desc.angularVelocity;
        body->UpdateWorldInertia();
    }
    CollisionComp* comp = m_recording ? CollisionOf(gob) : nullptr;
    if (comp != nullptr)
    {
        std::shared_ptr<std::vector<CallbackState>> sink = m_pending;
        auto recorder = [sink](CallbackState::Kind kind)
        {
            return dorvo::phy::CollisionFunctor(
                [sink, kind](dorvo::phy::CollisionFunctorData data, unsigned int owner)
                {
                    CallbackState state;
                    state.kind = kind;
                    state.owner = owner;
                    state.data = data;
                    sink->push_back(state);
                    return true;
                });
        };
        comp->AddCollisionBeginFunctor(kRecorderName, recorder(CallbackState::BEGIN));
        comp->AddCollisionFunctor(kRecorderName, recorder(CallbackState::EVERY));
    }
    return true;
}

bool SceneRunner::CheckObject(const ObjectDesc& desc, Gob* gob, std::string* error) const
{
    const common::COctTree& tree = common::COctTree::Global();
    const std::uint32_t id = Id(desc.name);
    if (gob == nullptr || GobManager::Instance().IsOnKillList(gob) || tree.FindNode(id) == nullptr)
        return Fail(error, "object \"" + desc.name + "\": its box lies outside the world box " +
                               Text(tree.GetWorldBox()));
    const POVComp* pov = GetPOVComp(gob);
    if (desc.shape == Shape::Plane)
    {
        if (tree.FindNode(id) != tree.GetRoot())
            return Fail(error, "object \"" + desc.name + "\": a plane's box " + Text(pov->GetBoundingBox()) +
                                   " must cross one of the world box's centre planes so that it is "
                                   "filed at the oct tree's root");
        return true;
    }
    math::AABB hull;
    if (HullBox(desc, hull) && !pov->GetBoundingBox().Contains(hull))
        return Fail(error, "object \"" + desc.name + "\": its box " + Text(pov->GetBoundingBox()) +
                               " does not cover its hull plus the 0.05 margin, " + Text(hull));
    return true;
}

void SceneRunner::Step()
{
    StepTimed();
}

double SceneRunner::StepTimed(double* cpuSeconds)
{
    GobManager& gobs = GobManager::Instance();
    gobs.ProcessKillList();
    timespec cpuStart{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuStart);
    const auto start = std::chrono::steady_clock::now();
    DynamicsEngine::Instance().Update(kFrameStep);
    const auto end = std::chrono::steady_clock::now();
    timespec cpuEnd{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuEnd);
    if (cpuSeconds != nullptr)
        *cpuSeconds = static_cast<double>(cpuEnd.tv_sec - cpuStart.tv_sec) +
                      1e-9 * static_cast<double>(cpuEnd.tv_nsec - cpuStart.tv_nsec);
    gobs.Update(kFrameStep);
    ++m_steps;
    if (m_recording)
        Record();
    return std::chrono::duration<double>(end - start).count();
}

void SceneRunner::Run(int steps)
{
    for (int i = 0; i < steps; ++i)
        Step();
}

void SceneRunner::Record()
{
    StepRecord record;
    record.step = m_steps;
    const DynamicsEngine& engine = DynamicsEngine::Instance();
    for (const auto& entry : engine.GetBodies())
    {
        const PhysicsComp* body = entry.second;
        BodyState state;
        state.id = entry.first;
        state.position = body->position;
        state.orientation = body->orientation;
        state.velocity = body->velocity;
        state.angularVelocity = body->angularVelocity;
        state.frozen = body->frozen;
        record.bodies.push_back(state);
    }
    for (const dorvo::phy::CollisionInfo* info : engine.GetCollisionInfos())
    {
        InfoState state;
        state.idA =
            info->hullA != nullptr && info->hullA->owner != nullptr ? info->hullA->owner->GetOwnerID() : 0;
        state.idB =
            info->hullB != nullptr && info->hullB->owner != nullptr ? info->hullB->owner->GetOwnerID() : 0;
        state.normal = info->normal;
        for (const dorvo::phy::Contact& contact : info->contacts)
        {
            ContactState c;
            c.point = contact.point;
            c.depth = contact.depth;
            state.contacts.push_back(c);
        }
        record.infos.push_back(state);
    }
    record.callbacks.swap(*m_pending);
    m_records.push_back(std::move(record));
}

const StepRecord& SceneRunner::Last() const
{
    static const StepRecord s_empty;
    return m_records.empty() ? s_empty : m_records.back();
}

std::uint32_t SceneRunner::Id(const std::string& name) const
{
    const auto found = m_ids.find(name);
    return found == m_ids.end() ? 0 : found->second;
}

Gob* SceneRunner::Object(const std::string& name) const
{
    const std::uint32_t id = Id(name);
    return id != 0 ? GobManager::Instance().GetGob(id) : nullptr;
}

PhysicsComp* SceneRunner::Body(const std::string& name) const
{
    return dorvo::phy::GetPhysicsComp(Object(name));
}

std::vector<BodyPose> SceneRunner::Poses() const
{
    std::vector<BodyPose> poses;
    for (const auto& entry : DynamicsEngine::Instance().GetBodies())
    {
        const PhysicsComp* body = entry.second;
        BodyPose pose;
        if (const auto* sphere = dynamic_cast<const dorvo::phy::SphereHull*>(body->GetHull()))
        {
            pose.shape = Shape::Sphere;
            pose.halfSize = math::Vector3(sphere->sphere.radius, 0.0f, 0.0f);
        }
        else if (const auto* box = dynamic_cast<const dorvo::phy::OBBHull*>(body->GetHull()))
        {
            pose.shape = Shape::Box;
            pose.halfSize = box->GetOBB().halfExtent;
        }
        else
            continue;
        pose.position = body->position;
        pose.orientation = body->orientation;
        pose.velocity = body->velocity;
        pose.angularVelocity = body->angularVelocity;
        pose.mass = body->GetMass();
        for (int i = 0; i < 3; ++i)
            pose.inertia[i] = body->GetInertia()[i][i];
        poses.push_back(pose);
    }
    return poses;
}

std::vector<GroundPlane> SceneRunner::Grounds() const
{
    std::vector<GroundPlane> planes;
    for (const ObjectDesc& desc : m_scene.objects)
    {
        if (desc.shape != Shape::Plane)
            continue;
        GroundPlane plane;
        plane.normal = desc.planeNormal;
        plane.d = desc.planeD;
        planes.push_back(plane);
    }
    return planes;
}

std::uint64_t SceneRunner::StateHash() const
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const auto& entry : DynamicsEngine::Instance().GetBodies())
    {
        const PhysicsComp* body = entry.second;
        Mix(hash, &entry.first, sizeof entry.first);
        const float state[13] = {body->position.x,       body->position.y,        body->position.z,
                                 body->orientation.w,    body->orientation.x,     body->orientation.y,
                                 body->orientation.z,    body->velocity.x,        body->velocity.y,
                                 body->velocity.z,       body->angularVelocity.x, body->angularVelocity.y,
                                 body->angularVelocity.z};
        MixFloats(hash, state, 13);
    }
    return hash;
}
} // namespace physcene
