#include "engine/phy/PhysicsComp.h"

#include "common/ConsoleInterface.h"
#include "common/HashName.h"
#include "common/XmlUtil.h"
#include "common/loki/Functor.h"
#include "engine/Gob.h"
#include "engine/GobController.h"
#include "engine/POVComp.h"
#include "engine/phy/CollisionComp.h"
#include "engine/phy/CollisionHull.h"
#include "engine/phy/Constraint.h"
#include "engine/phy/DynamicsEngine.h"
#include "engine/phy/FiniteXml.h"
#include "engine/phy/Force.h"
#include "platform/log.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <sstream>
#include <utility>

namespace dorvo
{
namespace phy
{
const char* const PhysicsComp::kTypeName = "PhysicsComp";

namespace
{
// By definition the hashes of the registered names, usable before the classes are registered.
const std::uint32_t kPhysicsCompTypeID = HashName(PhysicsComp::kTypeName);
const std::uint32_t kCollisionCompTypeID = HashName("CollisionComp");

// Set while PhysicsComp::Wake runs the engine's wake, so either door wakes a body once.
bool s_waking = false;

// The length must be a valid float too. sqrt is correctly rounded and 1e6 squared rounds to the
// float 1e12 exactly where the square root of a float reaches 1e6, so the squared length is
// compared instead: the same answer without the square root, for every float.
constexpr float kValidSquaredLength = math::kValidFloatBound * math::kValidFloatBound;

inline bool IsFinite(const math::Vector3& v)
{
    return math::IsValidFloat(v.x) && math::IsValidFloat(v.y) && math::IsValidFloat(v.z) &&
           v.LengthSquared() < kValidSquaredLength;
}

bool IsFinite(const math::Quaternion& q)
{
    return math::IsValidFloat(q.x) && math::IsValidFloat(q.y) && math::IsValidFloat(q.z) &&
           math::IsValidFloat(q.w);
}

template <class T> std::string Text(const T& value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

// One console line: "Gob ID: <id>", then each label with its value, a line break between them.
void ReportNonFinite(std::uint32_t id, std::initializer_list<std::pair<const char*, std::string>> entries)
{
    std::string text = "Gob ID: " + std::to_string(id);
    for (const auto& entry : entries)
        text += "\n" + std::string(entry.first) + entry.second;
    common::ConsoleInterface::ShowLine(text);
}

float InverseOrZero(float value)
{
    return math::IsZero(value) ? 0.0f : 1.0f / value;
}

float Clamp(float value, float limit)
{
    return std::max(-limit, std::min(limit, value));
}
} // namespace

PhysicsComp* GetPhysicsComp(Gob* gob)
{
    return gob != nullptr ? dynamic_cast<PhysicsComp*>(gob->GetComponent(kPhysicsCompTypeID)) : nullptr;
}

PhysicsComp::PhysicsComp() : orientation(1.0f, 0.0f, 0.0f, 0.0f)
{
    m_inertia.SetZero();
    m_invInertia.SetZero();
    m_worldInvInertia.SetZero();
}

PhysicsComp::~PhysicsComp()
{
    for (auto& entry : m_forces)
        delete entry.second;
    m_forces.clear();

    // Constraints still attached are owned by others; they must neither act on nor point at a
    // body that is gone.
    const std::vector<Constraint*> constraints = m_constraints;
    m_constraints.clear();
    for (Constraint* constraint : constraints)
    {
        constraint->Disable();
        constraint->DetachBody(this);
    }

    if (DynamicsEngine* engine = DynamicsEngine::IfAlive())
    {
        const auto& bodies = engine->GetBodies();
        const auto filed = bodies.find(m_ownerID);
        if (filed != bodies.end() && filed->second == this)
            engine->RemoveBody(m_ownerID);
        // Bodies resting on this one would otherwise wake a dangling pointer later.
        for (const auto& entry : bodies)
            entry.second->RemoveFrozenContact(this);
    }
}

bool PhysicsComp::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlElement component("Component");
    component.SetAttribute("name", GetTypeName().empty() ? std::string(kTypeName) : GetTypeName());
    TiXmlNode* element = parent->InsertEndChild(component);
    if (element == nullptr)
        return false;
    XmlWriteFloat(element, m_mass, "Mass");
    XmlWriteFloat(element, m_density, "Density");
    XmlWriteBool(element, useDensity, "UseDensity");
    XmlWriteFloat(element, m_inertia[0][0], "InertiaXX");
    XmlWriteFloat(element, m_inertia[1][1], "InertiaYY");
    XmlWriteFloat(element, m_inertia[2][2], "InertiaZZ");
    XmlWriteBool(element, immovable, "Immovable");
    XmlWriteUint(element, static_cast<unsigned int>(m_forces.size()), "NumForces");
    for (const auto& entry : m_forces)
    {
        XmlWriteString(element, entry.first, "ForceType");
        entry.second->Serialize(element);
    }
    return true;
}

bool PhysicsComp::Deserialize(const TiXmlNode* node)
{
    if (node == nullptr || node->ToElement() == nullptr)
        return false;
    // By position; a field whose element is missing keeps its value.
    const TiXmlNode* child = XmlFirstChildElement(node);
    float ixx = m_inertia[0][0];
    float iyy = m_inertia[1][1];
    float izz = m_inertia[2][2];
    unsigned int forceCount = 0;
    XmlReadFiniteFloat(XmlTakeElement(&child), &m_mass, kTypeName, "Mass");
    XmlReadFiniteFloat(XmlTakeElement(&child), &m_density, kTypeName, "Density");
    XmlReadBool(XmlTakeElement(&child), &useDensity);
    XmlReadFiniteFloat(XmlTakeElement(&child), &ixx, kTypeName, "InertiaXX");
    XmlReadFiniteFloat(XmlTakeElement(&child), &iyy, kTypeName, "InertiaYY");
    XmlReadFiniteFloat(XmlTakeElement(&child), &izz, kTypeName, "InertiaZZ");
    XmlReadBool(XmlTakeElement(&child), &immovable);
    XmlReadUint(XmlTakeElement(&child), &forceCount);

    DynamicsEngine& engine = DynamicsEngine::Instance();
    // A count beyond the records present stops at the last one.
    for (unsigned int i = 0; i < forceCount && child != nullptr; ++i)
    {
        std::string type;
        XmlReadString(XmlTakeElement(&child), &type);
        const TiXmlNode* forceElement = XmlTakeElement(&child);

        Force* newForce = engine.CreateForce(type);
        if (newForce == nullptr)
        {
            DORVO_LOG(
                "PhysicsComp::Deserialize: no force of type \"%s\" is registered; its element is skipped",
                type.c_str());
            continue;
        }
        newForce->Deserialize(forceElement);
        if (!m_forces.emplace(type, newForce).second)
            delete newForce; // one force per type: the first stays
    }
    SetInertia(ixx, iyy, izz);
    return true;
}

bool PhysicsComp::Initialize(Gob* owner)
{
    Component::Initialize(owner);
    m_pPOVComp = GetPOVComp();
    m_ownerID = owner != nullptr ? owner->GetID() : 0;
    if (owner != nullptr)
        DynamicsEngine::Instance().AddBody(m_ownerID, this);
    m_pCollisionComp =
        owner != nullptr ? dynamic_cast<CollisionComp*>(owner->GetComponent(kCollisionCompTypeID)) : nullptr;

    if (POVComp* pov = m_pPOVComp)
    {
        position = pov->GetPosition();
        orientation = pov->GetOrientation();
        velocity = pov->GetVelocity();
    }

    // The loaded inertia wins over what the hull derives from the mass below.
    const float ixx = m_inertia[0][0];
    const float iyy = m_inertia[1][1];
    const float izz = m_inertia[2][2];
    if (useDensity)
    {
        // Without a hull the mass stays as loaded and the inverse mass at 0.
        if (CollisionHull* hull = GetHull())
            SetMass(hull->GetVolume() * m_density);
    }
    else
    {
        SetMass(m_mass);
    }
    SetInertia(ixx, iyy, izz);

    for (auto& entry : m_forces)
        entry.second->Attach(this);
    return true;
}

void PhysicsComp::RegisterFunctions(GobController* controller)
{
    if (controller == nullptr)
        return;
    const std::uint32_t typeID = StaticTypeID() != 0 ? StaticTypeID() : kPhysicsCompTypeID;
    controller->RegisterComponentFunction("SetMass", Loki::NewObjFunctor(&PhysicsComp::SetMass).release(),
                                          typeID);
    controller->RegisterComponentFunction("GetMass", Loki::NewObjFunctor(&PhysicsComp::GetMass).release(),
                                          typeID);
    controller->RegisterComponentFunction("GetInvMass",
                                          Loki::NewObjFunctor(&PhysicsComp::GetInvMass).release(), typeID);
}

// ---- Mass properties ----

void PhysicsComp::SetMass(float mass)
{
    m_mass = mass > 0.0f ? mass : 0.0f;
    // A body set to mass 0 must not keep answering impulses with its old mass.
    m_invMass = InverseOrZero(m_mass);
    if (CollisionHull* hull = GetHull())
        hull->SetBodyInertia();
}

void PhysicsComp::SetDensity(float density)
{
    m_density = density;
    if (CollisionHull* hull = GetHull())
        SetMass(hull->GetVolume() * density);
}

void PhysicsComp::SetInertia(float ixx, float iyy, float izz)
{
    m_inertia.SetZero();
    m_invInertia.SetZero();
    m_inertia[0][0] = ixx;
    m_inertia[1][1] = iyy;
    m_inertia[2][2] = izz;
    m_invInertia[0][0] = InverseOrZero(ixx);
    m_invInertia[1][1] = InverseOrZero(iyy);
    m_invInertia[2][2] = InverseOrZero(izz);
    m_worldInertiaValid = false;
    UpdateWorldInertia();
}

void PhysicsComp::UpdateWorldInertia()
{
    if (m_worldInertiaValid && std::memcmp(m_worldInertiaTurn, orientation.q, sizeof m_worldInertiaTurn) == 0)
        return;
    std::memcpy(m_worldInertiaTurn, orientation.q, sizeof m_worldInertiaTurn);
    m_worldInertiaValid = true;
    // Row vectors turn into body axes with R transposed, so the world tensor is R^T I^-1 R;
    // with the library's product order (the right operand acts first) that is (R * I^-1) * R^T.
    // A zero orientation (damaged data) has no rotation matrix; it counts as the identity.
    math::Matrix3 r;
    if (!math::IsZero(orientation.LengthSquared()))
        r = orientation.ToMatrix3();
    // math::Matrix3's product written out, each sum from 0 in the same order: a * b has
    // element (i, j) = sum over k of b(i, k) * a(k, j).
    auto product = [](const float* a, const float* b, float* out)
    {
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
            {
                float sum = 0.0f;
                for (int k = 0; k < 3; ++k)
                    sum += b[3 * i + k] * a[3 * k + j];
                out[3 * i + j] = sum;
            }
    };
    const float* m = r.m;
    const float transposed[9] = {m[0], m[3], m[6], m[1], m[4], m[7], m[2], m[5], m[8]};
    float turned[9];
    product(r.m, m_invInertia.m, turned);
    product(turned, transposed, m_worldInvInertia.m);
}

// ---- Forces and impulses ----

void PhysicsComp::AddForce(const math::Vector3& f)
{
    if (immovable)
        return;
    force += f;
    disturbed = true;
}

void PhysicsComp::ApplyImpulse(const math::Vector3& impulse)
{
    if (immovable)
        return;
    const math::Vector3 original = velocity;
    velocity += impulse * m_invMass;
    disturbed = true;
    ApplyPlaneMode(false);
    if (!IsFinite(velocity))
    {
        ReportNonFinite(m_ownerID, {{"Velocity: ", Text(velocity)},
                                    {"Original Velocity: ", Text(original)},
                                    {"Impulse: ", Text(impulse)}});
        velocity = original;
    }
}

void PhysicsComp::ApplyImpulseAtPoint(const math::Vector3& impulse, const math::Vector3& point)
{
    ApplyImpulseAtPoint(F3(impulse), F3(point));
}

void PhysicsComp::ApplyImpulseAtPointFully(const Float3& impulse, const Float3& point)
{
    const Float3 originalVelocity = F3(velocity);
    const Float3 originalAngular = F3(angularVelocity);
    const Float3 v = originalVelocity + impulse * m_invMass;
    velocity.Set(v.x, v.y, v.z);
    Float3 r = point - F3(position);
    if (lockRotation)
    {
        // The lever across the plane would turn the body out of it.
        if (planeMode == PLANE_XY)
            r.z = 0.0f;
        else if (planeMode == PLANE_YZ)
            r.x = 0.0f;
        else if (planeMode == PLANE_XZ)
            r.y = 0.0f;
    }
    const Float3 w = originalAngular + Transform(m_worldInvInertia, Cross(r, impulse));
    angularVelocity.Set(w.x, w.y, w.z);
    disturbed = true;
    ApplyPlaneMode(true);
    if (!IsFinite(velocity) || !IsFinite(angularVelocity))
        RestoreNonFinite(originalVelocity, originalAngular, impulse, r);
}

void PhysicsComp::RestoreNonFinite(const Float3& originalVelocity, const Float3& originalAngular,
                                   const Float3& impulse, const Float3& lever)
{
    const math::Vector3 j = ToVector3(impulse);
    const math::Vector3 r = ToVector3(lever);
    if (!IsFinite(velocity))
    {
        const math::Vector3 original = ToVector3(originalVelocity);
        ReportNonFinite(m_ownerID, {{"Velocity: ", Text(velocity)},
                                    {"Original Velocity: ", Text(original)},
                                    {"Impulse: ", Text(j)},
                                    {"Relative Position: ", Text(r)}});
        velocity = original;
    }
    if (!IsFinite(angularVelocity))
    {
        const math::Vector3 original = ToVector3(originalAngular);
        ReportNonFinite(m_ownerID, {{"Angular Velocity: ", Text(angularVelocity)},
                                    {"Original Angular Velocity: ", Text(original)},
                                    {"Impulse: ", Text(j)},
                                    {"Relative Position: ", Text(r)}});
        angularVelocity = original;
    }
}

void PhysicsComp::ApplyForces(float dt)
{
    force.Set(0.0f, 0.0f, 0.0f);
    torque.Set(0.0f, 0.0f, 0.0f);
    for (auto& entry : m_forces)
        entry.second->Apply(dt, force, torque, position, orientation, velocity, angularVelocity, m_mass);
}

void PhysicsComp::ApplyPlaneMode(bool angularToo)
{
    switch (planeMode)
    {
    case PLANE_XY:
        velocity.z = 0.0f;
        if (angularToo && lockRotation)
        {
            angularVelocity.x = 0.0f;
            angularVelocity.y = 0.0f;
        }
        break;
    case PLANE_YZ:
        velocity.x = 0.0f;
        if (angularToo && lockRotation)
        {
            angularVelocity.y = 0.0f;
            angularVelocity.z = 0.0f;
        }
        break;
    case PLANE_XZ:
        velocity.y = 0.0f;
        if (angularToo && lockRotation)
        {
            angularVelocity.x = 0.0f;
            angularVelocity.z = 0.0f;
        }
        break;
    default:
        break;
    }
}

// ---- Step operations ----

void PhysicsComp::ReadFromGob()
{
    POVComp* pov = m_pPOVComp;
    if (pov == nullptr)
        return;
    position = pov->GetPosition();
    orientation = pov->GetOrientation();
    velocity = pov->GetVelocity();
    // The game may have turned the object (the editor does) since the tensor was last rotated.
    UpdateWorldInertia();
}

void PhysicsComp::WriteToGob()
{
    POVComp* pov = m_pPOVComp;
    if (pov == nullptr)
        return;
    pov->SetPosition(position, false);
    pov->SetOrientation(orientation, true);
    pov->SetVelocity(velocity);
}

namespace
{
// The values alone: a Vector3's and a Quaternion's names refer to their own arrays, so copying
// the arrays is their assignment.
void Copy(math::Vector3& to, const math::Vector3& from)
{
    std::memcpy(to.v, from.v, sizeof to.v);
}

void Copy(math::Quaternion& to, const math::Quaternion& from)
{
    std::memcpy(to.q, from.q, sizeof to.q);
}
} // namespace

void PhysicsComp::SaveOldState()
{
    Copy(oldPosition, position);
    Copy(oldOrientation, orientation);
    Copy(oldVelocity, velocity);
    Copy(oldAngularVelocity, angularVelocity);
}

void PhysicsComp::PushState()
{
    std::memcpy(m_pushed, position.v, sizeof position.v);
    std::memcpy(m_pushed + 3, orientation.q, sizeof orientation.q);
    std::memcpy(m_pushed + 7, velocity.v, sizeof velocity.v);
    std::memcpy(m_pushed + 10, angularVelocity.v, sizeof angularVelocity.v);
}

void PhysicsComp::PopState()
{
    std::memcpy(position.v, m_pushed, sizeof position.v);
    std::memcpy(orientation.q, m_pushed + 3, sizeof orientation.q);
    std::memcpy(velocity.v, m_pushed + 7, sizeof velocity.v);
    std::memcpy(angularVelocity.v, m_pushed + 10, sizeof angularVelocity.v);
}

void PhysicsComp::UpdateHull()
{
    if (CollisionHull* hull = GetHull())
        hull->UpdateFromBody();
}

void PhysicsComp::IntegrateVelocity(float dt)
{
    if (immovable || frozen)
    {
        UpdateHull();
        return;
    }
    const math::Vector3 originalVelocity = velocity;
    const math::Vector3 originalAngular = angularVelocity;
    velocity += force * (m_invMass * dt);
    angularVelocity += m_worldInvInertia.Transform(torque * dt);
    ApplyPlaneMode(true);
    if (!IsFinite(velocity))
    {
        ReportNonFinite(m_ownerID,
                        {{"Velocity: ", Text(velocity)}, {"Original Velocity: ", Text(originalVelocity)}});
        velocity = originalVelocity;
    }
    if (!IsFinite(angularVelocity))
    {
        ReportNonFinite(m_ownerID, {{"Angular Velocity: ", Text(angularVelocity)},
                                    {"Original Angular Velocity: ", Text(originalAngular)}});
        angularVelocity = originalAngular;
    }
}

void PhysicsComp::IntegratePosition(float dt)
{
    if (immovable || frozen)
        return;
    const math::Vector3 originalPosition = position;
    const math::Quaternion originalOrientation = orientation;
    position += velocity * dt;
    // The angular velocity is in world axes, so the spin multiplies from the left:
    // dq/dt = (0, w) q / 2.
    const math::Quaternion spin(0.0f, angularVelocity.x, angularVelocity.y, angularVelocity.z);
    orientation = orientation + (spin * orientation) * (dt * 0.5f);
    orientation.Normalize();
    // The checks come first so that neither the tensor nor the hull takes up a bad value.
    if (!IsFinite(position))
    {
        ReportNonFinite(m_ownerID,
                        {{"Position: ", Text(position)}, {"Original Position: ", Text(originalPosition)}});
        position = originalPosition;
    }
    if (!IsFinite(orientation))
    {
        ReportNonFinite(m_ownerID, {{"Orientation: ", Text(orientation)},
                                    {"Original Orientation: ", Text(originalOrientation)}});
        orientation = originalOrientation;
    }
    UpdateWorldInertia();
    UpdateHull();
}

void PhysicsComp::ClampVelocities()
{
    for (int i = 0; i < 3; ++i)
    {
        velocity[i] = Clamp(velocity[i], kMaxLinearSpeed);
        angularVelocity[i] = Clamp(angularVelocity[i], kMaxAngularSpeed);
    }
}

bool PhysicsComp::IsMoving() const
{
    return velocity.LengthSquared() > kMovingLinear || angularVelocity.LengthSquared() > kMovingAngular;
}

void PhysicsComp::ApplySleepDamping()
{
    const float ratio = freezeTimer / freezeTime;
    if (ratio >= 0.5f)
    {
        const float k = 1.0f - (ratio - 0.5f) * 2.0f;
        velocity *= k;
        angularVelocity *= k;
    }
}

void PhysicsComp::UpdateFreeze(float dt)
{
    if (immovable || frozen)
        return;
    if ((position - freezePosition).LengthSquared() > kFreezeDrift)
    {
        freezePosition = position;
        freezeTimer = 0.0f;
        return;
    }
    const math::Quaternion turn = orientation - freezeOrientation;
    if (turn.w * turn.w + turn.x * turn.x + turn.y * turn.y + turn.z * turn.z > kFreezeTurn)
    {
        freezeOrientation = orientation;
        freezeTimer = 0.0f;
        return;
    }
    if (IsMoving())
        return;
    freezeTimer += dt;
    if (freezeTimer > freezeTime)
    {
        freezePosition = position;
        freezeOrientation = orientation;
        frozen = true;
    }
}

void PhysicsComp::Wake()
{
    if (!s_waking)
    {
        s_waking = true;
        DynamicsEngine::Instance().WakeBody(this);
        s_waking = false;
    }
    frozen = false;
    freezeTimer = 0.0f;
}

void PhysicsComp::WakeFrozenContacts()
{
    if (m_frozenContacts.empty() || (position - m_frozenContactPosition).LengthSquared() < kFreezeDrift)
        return;
    // Waking may reach back into this list; work on the taken-out copy.
    std::vector<PhysicsComp*> contacts;
    contacts.swap(m_frozenContacts);
    DynamicsEngine& engine = DynamicsEngine::Instance();
    for (PhysicsComp* other : contacts)
        engine.WakeBody(other);
}

void PhysicsComp::AddFrozenContact(PhysicsComp* other, const math::Vector3& at)
{
    if (other == nullptr ||
        std::find(m_frozenContacts.begin(), m_frozenContacts.end(), other) != m_frozenContacts.end())
        return;
    if (m_frozenContacts.empty())
        m_frozenContactPosition = at;
    m_frozenContacts.push_back(other);
}

void PhysicsComp::RemoveFrozenContact(const PhysicsComp* other)
{
    const auto found = std::find(m_frozenContacts.begin(), m_frozenContacts.end(), other);
    if (found != m_frozenContacts.end())
        m_frozenContacts.erase(found);
}

void PhysicsComp::AddConstraint(Constraint* constraint)
{
    if (constraint != nullptr &&
        std::find(m_constraints.begin(), m_constraints.end(), constraint) == m_constraints.end())
        m_constraints.push_back(constraint);
}

void PhysicsComp::RemoveConstraint(Constraint* constraint)
{
    const auto found = std::find(m_constraints.begin(), m_constraints.end(), constraint);
    if (found != m_constraints.end())
        m_constraints.erase(found);
}

CollisionHull* PhysicsComp::GetHull() const
{
    return m_pCollisionComp != nullptr ? m_pCollisionComp->GetHull() : nullptr;
}
} // namespace phy
} // namespace dorvo
