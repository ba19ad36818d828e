// The result of one hull-pair test and its response: the two hulls, the normal from B towards
// A, the pair's combined friction and restitution, and up to 10 contacts. The dynamics engine
// owns every info for one step and resolves it with sequential impulses: PreStep prepares the
// contacts, Resolve is one visit of every contact (normal impulse, then friction), ResolveShock
// the shock-propagation variant that settles stacks from the bottom up. A hull without a body
// (a static object) takes no velocity, mass or impulse, whichever side it is on.
#pragma once

#include "common/math/Vector3.h"
#include "engine/phy/Contact.h"

#include <cstddef>
#include <vector>

namespace dorvo
{
namespace phy
{
class CollisionHull;
class PhysicsComp;

class CollisionInfo
{
public:
    static constexpr std::size_t kMaxContacts = 10;
    // Constants of the response.
    static constexpr float kBiasDivisor = 3.0f;       // overlap closed in 3 steps
    static constexpr float kMaxBias = 0.2f;           // world units per second
    static constexpr float kThreshold = 0.001f;       // approach, target and sliding speeds
    static constexpr float kShockBiasDivisor = 18.0f; // shock propagation closes overlap gently
    static constexpr float kMaxShockBias = 0.02f;
    static constexpr float kShockAlignment = 0.92f; // |n.g| of a pair shock propagation settles

    // Keeps the first 10 contacts; the coefficients are the products of the hulls' components'.
    CollisionInfo(CollisionHull* a, CollisionHull* b, const std::vector<Contact>& contactList,
                  const math::Vector3& pairNormal);

    // What the pair tests hand out: an info made as the constructor makes it, from storage
    // released earlier where there is some (the engine releases every info at the next
    // detection, so a step reuses the last one's). Owned by the caller: Release it, or delete it.
    static CollisionInfo* Make(CollisionHull* a, CollisionHull* b, const Contact* contactList,
                               std::size_t count, const math::Vector3& pairNormal);
    static CollisionInfo* Make(CollisionHull* a, CollisionHull* b, const std::vector<Contact>& contactList,
                               const math::Vector3& pairNormal);
    // The same with no contacts yet (see AddContact).
    static CollisionInfo* Make(CollisionHull* a, CollisionHull* b, const math::Vector3& pairNormal);
    // Keeps the info for a later Make.
    static void Release(CollisionInfo* info);
    // Appends a contact made as Contact(rA, rB, point, depth) unless the info holds 10: the pair
    // tests build their contacts straight into an info made with none.
    void AddContact(const math::Vector3& leverA, const math::Vector3& leverB, const math::Vector3& worldPoint,
                    float contactDepth)
    {
        if (contacts.size() < kMaxContacts)
            contacts.emplace_back(leverA, leverB, worldPoint, contactDepth);
    }

    // Effective masses, contact points and biases for the sweeps; dt in seconds.
    void PreStep(float dt);
    // One visit of every contact: normal impulse with restitution, then friction.
    void Resolve(float dt);
    // The shock-propagation response; the engine's gravity decides which pairs take part. The
    // velocity change it gives does not depend on the bodies' masses.
    void ResolveShock(float dt);

    // Means over the contacts, for the collision callbacks.
    math::Vector3 GetAverageContactPoint() const;
    float GetAverageDepth() const;

    CollisionHull* hullA; // not owned
    CollisionHull* hullB;
    math::Vector3 normal; // unit, from B towards A
    float staticFriction;
    float kineticFriction;
    float restitution; // the engine sets it to 0 for the contact pass
    std::vector<Contact> contacts;

private:
    // The two hulls' bodies, taken by PreStep: nothing in the sweeps that follow changes a hull's
    // body, and every info is prepared before its first sweep (a woken body's new ones too).
    PhysicsComp* BodyA() const;
    PhysicsComp* BodyB() const;

    void Assign(CollisionHull* a, CollisionHull* b, const Contact* contactList, std::size_t count,
                const math::Vector3& pairNormal);

    PhysicsComp* m_bodyA = nullptr;
    PhysicsComp* m_bodyB = nullptr;
    bool m_prepared = false; // the bodies above are taken
};
} // namespace phy
} // namespace dorvo
