#include "engine/phy/CollisionInfo.h"

#include "common/math/Matrix3.h"
#include "engine/phy/CollisionComp.h"
#include "engine/phy/CollisionHull.h"
#include "engine/phy/DynamicsEngine.h"
#include "engine/phy/InlineTransform.h"
#include "engine/phy/PhysicsComp.h"

#include <algorithm>
#include <cmath>

namespace dorvo
{
namespace phy
{
namespace
{
constexpr float kZero = 1e-7f; // zero test of effective masses and the smallest dt

PhysicsComp* BodyOf(const CollisionHull* hull)
{
    return hull != nullptr ? hull->GetBody() : nullptr;
}

const CollisionComp* CompOf(const CollisionHull* hull)
{
    return hull != nullptr ? hull->owner : nullptr;
}

bool IsTrigger(const CollisionHull* hull)
{
    const CollisionComp* comp = CompOf(hull);
    return comp != nullptr && comp->isTriggerHull;
}

// A body that can take an impulse: present and not immovable.
inline bool Movable(const PhysicsComp* body)
{
    return body != nullptr && !body->immovable;
}

// m^-1 + d.((I^-1 (r x d)) x r) of a movable body, else 0.
inline float EffectiveMass(const PhysicsComp* body, const math::Vector3& d, const math::Vector3& r)
{
    if (!Movable(body))
        return 0.0f;
    const math::Vector3 w = InlineTransform(body->GetWorldInvInertia(), r.Cross(d));
    return body->GetInvMass() + d.Dot(w.Cross(r));
}

// v + w x r; zero without a body.
inline math::Vector3 VelocityAt(const PhysicsComp* body, const math::Vector3& r)
{
    if (body == nullptr)
        return math::Vector3();
    return body->velocity + body->angularVelocity.Cross(r);
}

// A gap gives a negative bias: the pair may close it within one step.
float GapBias(float depth, float dt)
{
    return depth / std::max(dt, kZero);
}
} // namespace

CollisionInfo::CollisionInfo(CollisionHull* a, CollisionHull* b, const std::vector<Contact>& contactList,
                             const math::Vector3& pairNormal)
{
    Assign(a, b, contactList.data(), contactList.size(), pairNormal);
}

void CollisionInfo::Assign(CollisionHull* a, CollisionHull* b, const Contact* contactList, std::size_t count,
                           const math::Vector3& pairNormal)
{
    hullA = a;
    hullB = b;
    normal = pairNormal;
    contacts.assign(contactList, contactList + std::min(count, kMaxContacts));
    // A hull without a component has the component's default surface.
    const CollisionComp* compA = CompOf(a);
    const CollisionComp* compB = CompOf(b);
    const float staticA = compA != nullptr ? compA->staticFriction : 1.0f;
    const float staticB = compB != nullptr ? compB->staticFriction : 1.0f;
    const float kineticA = compA != nullptr ? compA->kineticFriction : 1.0f;
    const float kineticB = compB != nullptr ? compB->kineticFriction : 1.0f;
    const float resA = compA != nullptr ? compA->coeffRes : 1.0f;
    const float resB = compB != nullptr ? compB->coeffRes : 1.0f;
    staticFriction = staticA * staticB;
    kineticFriction = kineticA * kineticB;
    restitution = resA * resB;
}

namespace
{
// Released infos, kept whole so that their contact storage is reused too. The engine runs on
// one thread. Never destroyed: the engine, a static too, releases its last infos at exit.
struct InfoPool
{
    std::vector<CollisionInfo*> free;
};

InfoPool& Pool()
{
    static InfoPool* const s_pool = new InfoPool();
    return *s_pool;
}
} // namespace

CollisionInfo* CollisionInfo::Make(CollisionHull* a, CollisionHull* b, const Contact* contactList,
                                   std::size_t count, const math::Vector3& pairNormal)
{
    std::vector<CollisionInfo*>& free = Pool().free;
    if (free.empty())
        return new CollisionInfo(a, b, std::vector<Contact>(contactList, contactList + count), pairNormal);
    CollisionInfo* info = free.back();
    free.pop_back();
    info->Assign(a, b, contactList, count, pairNormal);
    return info;
}

CollisionInfo* CollisionInfo::Make(CollisionHull* a, CollisionHull* b,
                                   const std::vector<Contact>& contactList, const math::Vector3& pairNormal)
{
    return Make(a, b, contactList.data(), contactList.size(), pairNormal);
}

void CollisionInfo::Release(CollisionInfo* info)
{
    if (info != nullptr)
        Pool().free.push_back(info);
}

void CollisionInfo::PreStep(float dt)
{
    PhysicsComp* a = BodyOf(hullA);
    PhysicsComp* b = BodyOf(hullB);
    if (a == nullptr && b == nullptr)
        return;
    const bool trigger = IsTrigger(hullA) || IsTrigger(hullB);
    for (Contact& c : contacts)
    {
        c.k = 0.0f;
        if (trigger)
            continue; // never pushed
        c.k = EffectiveMass(a, normal, c.rA) + EffectiveMass(b, normal, c.rB);
        // Without a body on A the point stays where the pair test put it.
        if (a != nullptr)
            c.point = a->position + c.rA;
        c.bias = c.depth > 0.0f ? c.depth / (kBiasDivisor * dt) : GapBias(c.depth, dt);
        if (c.bias > kMaxBias)
            c.bias = kMaxBias;
    }
}

void CollisionInfo::Resolve(float)
{
    PhysicsComp* a = BodyOf(hullA);
    PhysicsComp* b = BodyOf(hullB);
    if (a == nullptr && b == nullptr)
        return;
    for (Contact& c : contacts)
    {
        if (math::IsZero(c.k))
            continue;
        const float vn = (VelocityAt(a, c.rA) - VelocityAt(b, c.rB)).Dot(normal);
        if (vn > c.bias)
            continue; // separating fast enough already
        float target = -restitution * vn;
        if (target < kThreshold)
            target = c.bias;
        const float dv = target - vn;
        if (dv <= kThreshold)
            continue;
        const float j = dv / c.k;
        if (a != nullptr)
            a->ApplyImpulseAtPoint(normal * j, c.point);
        if (b != nullptr)
            b->ApplyImpulseAtPoint(-normal * j, c.point);

        // Friction, with the velocities after the normal impulse, bounded by this visit's j.
        const math::Vector3 u = VelocityAt(a, c.rA) - VelocityAt(b, c.rB);
        const math::Vector3 w = u - normal * u.Dot(normal);
        const float sliding = w.Length();
        if (sliding <= kThreshold)
            continue;
        const math::Vector3 t = w * (-1.0f / sliding);
        const float kt = EffectiveMass(a, t, c.rA) + EffectiveMass(b, t, c.rB);
        if (kt <= kZero)
            continue;
        float jt = sliding / kt; // stops the sliding
        if (!(staticFriction * j > jt))
            jt = kineticFriction * j;
        if (a != nullptr)
            a->ApplyImpulseAtPoint(t * jt, c.point);
        if (b != nullptr)
            b->ApplyImpulseAtPoint(-t * jt, c.point);
    }
}

void CollisionInfo::ResolveShock(float dt)
{
    PhysicsComp* a = BodyOf(hullA);
    PhysicsComp* b = BodyOf(hullB);
    if (a == nullptr && b == nullptr)
        return;
    const math::Vector3 g = DynamicsEngine::Instance().gravity.GetNormalized();
    if (std::fabs(normal.Dot(g)) < kShockAlignment)
        return;
    for (Contact& c : contacts)
    {
        c.bias = c.depth > 0.0f ? c.depth / (kShockBiasDivisor * dt) : GapBias(c.depth, dt);
        if (c.bias > kMaxShockBias)
            c.bias = kMaxShockBias;
    }
    // Settled bodies count as fixed while shock propagation runs.
    PhysicsComp* freeA = Movable(a) ? a : nullptr;
    PhysicsComp* freeB = Movable(b) ? b : nullptr;
    if (freeA == nullptr && freeB == nullptr)
        return;

    // Weigh the contacts by the impulse each would need on its own.
    float ji[kMaxContacts] = {};
    float sum = 0.0f;
    math::Vector3 centre;
    float weightedBias = 0.0f;
    for (std::size_t i = 0; i < contacts.size() && i < kMaxContacts; ++i)
    {
        const Contact& c = contacts[i];
        if (math::IsZero(c.k))
            continue;
        const float vn = (VelocityAt(freeA, c.rA) - VelocityAt(freeB, c.rB)).Dot(normal);
        if (vn <= c.bias && (c.bias - vn) / c.k >= 0.0f)
        {
            ji[i] = (c.bias - vn) / c.k;
            sum += ji[i];
            centre += c.point * ji[i];
            weightedBias += ji[i] * c.bias;
        }
    }
    if (sum < kZero)
        return;
    // The weights alone are not applied as impulses: an impulse of ji / S would change a
    // light body's velocity by 1 / m. The one impulse at the weighted centre does the work.
    centre /= sum;
    weightedBias /= sum;

    const math::Vector3 leverA = freeA != nullptr ? centre - freeA->position : math::Vector3();
    const math::Vector3 leverB = freeB != nullptr ? centre - freeB->position : math::Vector3();
    const float vn = (VelocityAt(freeA, leverA) - VelocityAt(freeB, leverB)).Dot(normal);
    float centreImpulse = 0.0f;
    if (vn < weightedBias && weightedBias - vn > kThreshold)
    {
        const float k =
            std::max(EffectiveMass(freeA, normal, leverA) + EffectiveMass(freeB, normal, leverB), kZero);
        centreImpulse = (weightedBias - vn) / k;
        if (freeA != nullptr)
            freeA->ApplyImpulseAtPoint(normal * centreImpulse, centre);
        if (freeB != nullptr)
            freeB->ApplyImpulseAtPoint(-normal * centreImpulse, centre);
    }

    // Friction, each contact credited with its share of the centre impulse.
    for (std::size_t i = 0; i < contacts.size() && i < kMaxContacts; ++i)
    {
        const Contact& c = contacts[i];
        const math::Vector3 u = VelocityAt(freeA, c.rA) - VelocityAt(freeB, c.rB);
        const math::Vector3 w = u - normal * u.Dot(normal);
        const float sliding = w.Length();
        if (sliding <= kZero)
            continue;
        const math::Vector3 t = w * (-1.0f / sliding);
        const float jn = (ji[i] / sum) * centreImpulse;
        const float kt = EffectiveMass(freeA, t, c.rA) + EffectiveMass(freeB, t, c.rB);
        if (kt <= kZero)
            continue;
        float jt = sliding / kt;
        if (!(staticFriction * jn > jt))
            jt = kineticFriction * jn;
        if (freeA != nullptr)
            freeA->ApplyImpulseAtPoint(t * jt, c.point);
        if (freeB != nullptr)
            freeB->ApplyImpulseAtPoint(-t * jt, c.point);
    }
}

math::Vector3 CollisionInfo::GetAverageContactPoint() const
{
    math::Vector3 sum;
    if (contacts.empty())
        return sum;
    for (const Contact& c : contacts)
        sum += c.point;
    return sum / static_cast<float>(contacts.size());
}

float CollisionInfo::GetAverageDepth() const
{
    if (contacts.empty())
        return 0.0f;
    float sum = 0.0f;
    for (const Contact& c : contacts)
        sum += c.depth;
    return sum / static_cast<float>(contacts.size());
}
} // namespace phy
} // namespace dorvo
