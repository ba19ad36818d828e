// The rigid body of a game object. The component side binds the body to its object (whose
// POVComp it reads before and writes after every step), to the object's CollisionComp (whose
// hull gives it volume and inertia) and to the dynamics engine; it loads and saves its mass
// properties and its forces, which it owns. The body side is the state the step integrates,
// the impulses the contact solver and constraints apply, and the freeze state machine that
// takes bodies at rest out of the step. The engine and the game read and write the body state
// directly; mass, density and inertia change only through their setters, which keep the
// inverses in step.
#pragma once

#include "common/math/Matrix3.h"
#include "common/math/Quaternion.h"
#include "common/math/Vector3.h"
#include "engine/ComponentBase.h"
#include "engine/phy/Float3.h"

#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class Gob;
class GobController;
class POVComp;

namespace dorvo
{
namespace phy
{
class CollisionComp;
class CollisionHull;
class Constraint;
class Force;

class PhysicsComp : public ComponentBase<PhysicsComp>
{
public:
    static const char* const kTypeName; // "PhysicsComp"

    // Speed and motion limits of the step.
    static constexpr float kMaxLinearSpeed = 100.0f; // world units per second, per component
    static constexpr float kMaxAngularSpeed = 50.0f; // radians per second, per component
    static constexpr float kMovingLinear = 0.1f;     // squared speed above which a body moves
    static constexpr float kMovingAngular = 0.2f;    // squared angular speed likewise
    static constexpr float kFreezeDrift = 0.04f;     // squared distance that restarts the freeze timer
    static constexpr float kFreezeTurn = 0.08f;      // squared quaternion change that restarts it

    // Motion restrictions: the game locks a puzzle's bodies to the plane of its face.
    enum PlaneMode : std::uint32_t
    {
        PLANE_None = 0,
        PLANE_XY = 1, // no z velocity; with lockRotation, turning about z only
        PLANE_YZ = 2, // no x velocity; turning about x only
        PLANE_XZ = 3, // no y velocity; turning about y only
    };

    PhysicsComp();
    // Deletes the forces, leaves the engine, takes itself out of every body's frozen contacts
    // and disables and detaches every constraint still attached to it.
    ~PhysicsComp() override;

    // <Component name="PhysicsComp">: "float" Mass, Density, "bool" UseDensity, "float"
    // InertiaXX, InertiaYY, InertiaZZ, "bool" Immovable, "uint" NumForces, then per force its
    // "string" ForceType and its own element, in type-name order. Read back by position.
    bool Serialize(TiXmlNode* parent) override;
    bool Deserialize(const TiXmlNode* node) override;

    // Joins the engine, links the object's CollisionComp, takes the POVComp's pose and
    // velocity, sets the mass (from the hull's volume with UseDensity), the loaded inertia, and
    // attaches the forces.
    bool Initialize(Gob* owner) override;

    // "SetMass", "GetMass" and "GetInvMass" on the template's controller.
    static void RegisterFunctions(GobController* controller);

    // ---- Mass properties ----
    // Kilograms; a mass of 0 or less is stored as 0 and the body answers no force or impulse.
    // The hull then sets the inertia that fits the new mass.
    void SetMass(float mass);
    float GetMass() const { return m_mass; }
    float GetInvMass() const { return m_invMass; }
    // Mass = hull volume * density, when the object has a hull.
    void SetDensity(float density);
    float GetDensity() const { return m_density; }
    // Diagonal body-space inertia; a term that IsZero gets the inverse 0 (no turning about it).
    void SetInertia(float ixx, float iyy, float izz);
    const math::Matrix3& GetInertia() const { return m_inertia; }
    const math::Matrix3& GetInvInertia() const { return m_invInertia; }
    const math::Matrix3& GetWorldInvInertia() const { return m_worldInvInertia; }
    // Rotates the inverse inertia into world axes for the current orientation; nothing to do when
    // neither changed since the last time (the same numbers give the same tensor).
    void UpdateWorldInertia();

    // ---- Forces and impulses (nothing on an immovable body) ----
    // Adds to this step's force accumulator and marks the body disturbed.
    void AddForce(const math::Vector3& f);
    // Changes the velocity by J / mass.
    void ApplyImpulse(const math::Vector3& impulse);
    // J at a world point: linear and angular change.
    void ApplyImpulseAtPoint(const math::Vector3& impulse, const math::Vector3& point);
    // The same impulse on plain floats, inline for the contact solver, which applies one for
    // every contact of every sweep: the same float operations, plane-mode handling and finite
    // checks, the checks' reports out of line.
    inline void ApplyImpulseAtPoint(const Float3& impulse, const Float3& point);
    // Zeroes the accumulators, then lets every force add to them, in type-name order.
    void ApplyForces(float dt);

    // ---- Step operations ----
    void ReadFromGob(); // pose and velocity from the POVComp
    void WriteToGob();  // and back, re-filing the object in the oct tree
    void SaveOldState();
    void PushState();
    void PopState();
    void IntegrateVelocity(float dt);
    void IntegratePosition(float dt);
    void ClampVelocities();
    bool IsMoving() const;
    // From half the freeze time on, slows the body down to rest at the freeze time.
    void ApplySleepDamping();
    void UpdateFreeze(float dt);
    // Wakes the body through the engine (once, however it is reached).
    void Wake();
    // Once the body has moved far enough from where it first touched frozen bodies, wakes them.
    void WakeFrozenContacts();
    void AddFrozenContact(PhysicsComp* other, const math::Vector3& at);
    void AddConstraint(Constraint* constraint);    // once
    void RemoveConstraint(Constraint* constraint); // keeps the order of the rest

    // ---- Links ----
    // The object's collision component as found by Initialize, or null.
    CollisionComp* GetCollisionComp() const { return m_pCollisionComp; }
    // Its hull; null also for a collision component without one, which counts as none.
    CollisionHull* GetHull() const;
    // The owner's id, kept from Initialize (0 before).
    std::uint32_t GetOwnerID() const { return m_ownerID; }
    const std::map<std::string, Force*>& GetForces() const { return m_forces; }
    const std::vector<Constraint*>& GetConstraints() const { return m_constraints; }
    const std::vector<PhysicsComp*>& GetFrozenContacts() const { return m_frozenContacts; }
    const math::Vector3& GetFrozenContactPosition() const { return m_frozenContactPosition; }

    // ---- Body state, read and written by the engine, the solver and the game ----
    bool useDensity = false;       // mass from the hull's volume at initialisation
    math::Vector3 position;        // centre of mass, world units
    math::Quaternion orientation;  // body to world
    math::Vector3 velocity;        // world units per second
    math::Vector3 angularVelocity; // radians per second, world axes
    math::Vector3 oldPosition;     // at the start of the step
    math::Quaternion oldOrientation;
    math::Vector3 oldVelocity;
    math::Vector3 oldAngularVelocity;
    math::Vector3 force;          // accumulator of the step, newtons
    math::Vector3 torque;         // accumulator of the step, world axes
    math::Vector3 freezePosition; // reference pose of the freeze test
    math::Quaternion freezeOrientation;
    bool disturbed = true;       // set by every impulse and AddForce
    bool immovable = false;      // never moves
    bool savedImmovable = false; // kept by shock propagation while it marks bodies fixed
    bool frozen = false;         // asleep: out of the step
    float freezeTimer = 0.0f;    // seconds at rest
    float freezeTime = 3.0f;     // seconds at rest before freezing
    std::uint32_t planeMode = PLANE_None;
    bool lockRotation = true; // with a plane mode, turning only about the plane's normal axis

private:
    // Zeroes the velocity component across the plane and, with lockRotation, the turning
    // about the other axes.
    void ApplyPlaneMode(bool angularToo);
    // After an impulse that left a velocity not finite (or near it): each one that fails the
    // check is reported and set back to its value before the impulse.
    void RestoreNonFinite(const Float3& originalVelocity, const Float3& originalAngular,
                          const Float3& impulse, const Float3& lever);
    // The impulse with the plane mode and the full finite checks; the inline path takes the
    // common case (no plane mode, numbers well inside the bounds) and leaves the rest here.
    void ApplyImpulseAtPointFully(const Float3& impulse, const Float3& point);
    void RemoveFrozenContact(const PhysicsComp* other);
    void UpdateHull();

    float m_mass = 0.0f;
    float m_invMass = 0.0f;
    float m_density = 0.0f;
    math::Matrix3 m_inertia;
    math::Matrix3 m_invInertia;
    math::Matrix3 m_worldInvInertia;
    float m_worldInertiaTurn[4] = {0.0f, 0.0f, 0.0f, 0.0f}; // the orientation the tensor is rotated by
    bool m_worldInertiaValid = false;                       // for that orientation and m_invInertia
    std::vector<PhysicsComp*> m_frozenContacts;             // frozen bodies touched since the position below
    math::Vector3 m_frozenContactPosition;
    std::map<std::string, Force*> m_forces; // owned, by type name
    std::vector<Constraint*> m_constraints; // not owned
    CollisionComp* m_pCollisionComp = nullptr;
    POVComp* m_pPOVComp = nullptr; // the owner's, found by Initialize: the step reads and writes it
    std::uint32_t m_ownerID = 0;
    // What PushState keeps around the contact prediction, as plain numbers: position,
    // orientation (w first), velocity, angular velocity. A quarter of the memory of four math
    // values, which matters when thousands of bodies are pushed and popped every step.
    float m_pushed[13] = {};
};

// The object's physics component, or null.
PhysicsComp* GetPhysicsComp(Gob* gob);

inline void PhysicsComp::ApplyImpulseAtPoint(const Float3& impulse, const Float3& point)
{
    if (immovable)
        return;
    if (planeMode != PLANE_None)
    {
        ApplyImpulseAtPointFully(impulse, point);
        return;
    }
    const Float3 v = F3(velocity) + impulse * m_invMass;
    const Float3 w = F3(angularVelocity) + Transform(m_worldInvInertia, Cross(point - F3(position), impulse));
    // Components under 5.7e5 keep the squared length under 1e12 with room to spare, so the full
    // check could only agree; anything else (a NaN too) takes the full path, which finds the
    // same numbers (nothing is stored yet) and checks them.
    constexpr float kSurelyFinite = 5.7e5f;
    if (!(std::fabs(v.x) < kSurelyFinite && std::fabs(v.y) < kSurelyFinite &&
          std::fabs(v.z) < kSurelyFinite && std::fabs(w.x) < kSurelyFinite &&
          std::fabs(w.y) < kSurelyFinite && std::fabs(w.z) < kSurelyFinite))
    {
        ApplyImpulseAtPointFully(impulse, point);
        return;
    }
    velocity.v[0] = v.x;
    velocity.v[1] = v.y;
    velocity.v[2] = v.z;
    angularVelocity.v[0] = w.x;
    angularVelocity.v[1] = w.y;
    angularVelocity.v[2] = w.z;
    disturbed = true;
}
} // namespace phy
} // namespace dorvo
