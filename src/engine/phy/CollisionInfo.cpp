#include "engine/phy/CollisionInfo.h"

#include "common/math/Matrix3.h"
#include "engine/phy/CollisionComp.h"
#include "engine/phy/CollisionHull.h"
#include "engine/phy/DynamicsEngine.h"
#include "engine/phy/Float3.h"
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
inline float EffectiveMass(const PhysicsComp* body, const Float3& d, const Float3& r)
{
    if (!Movable(body))
        return 0.0f;
    const Float3 w = Transform(body->GetWorldInvInertia(), Cross(r, d));
    return body->GetInvMass() + Dot(d, Cross(w, r));
}

// v + w x r; zero without a body.
inline Float3 VelocityAt(const PhysicsComp* body, const Float3& r)
{
    if (body == nullptr)
        return Float3{0.0f, 0.0f, 0.0f};
    return F3(body->velocity) + Cross(F3(body->angularVelocity), r);
}

// The impulse d * j on A and -d * j on B at the point, each side that has a body.
inline void ApplyPair(PhysicsComp* a, PhysicsComp* b, const Float3& d, float j, const Float3& point)
{
    if (a != nullptr)
        a->ApplyImpulseAtPoint(d * j, point);
    if (b != nullptr)
        b->ApplyImpulseAtPoint(-d * j, point);
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
    if (count > 0)
        contacts.assign(contactList, contactList + std::min(count, kMaxContacts));
    else
        contacts.clear();
    m_prepared = false;
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
    {
        CollisionInfo* info = new CollisionInfo(a, b, std::vector<Contact>(), pairNormal);
        info->Assign(a, b, contactList, count, pairNormal);
        return info;
    }
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

CollisionInfo* CollisionInfo::Make(CollisionHull* a, CollisionHull* b, const math::Vector3& pairNormal)
{
    return Make(a, b, static_cast<const Contact*>(nullptr), 0, pairNormal);
}

void CollisionInfo::Release(CollisionInfo* info)
{
    if (info != nullptr)
        Pool().free.push_back(info);
}

PhysicsComp* CollisionInfo::BodyA() const
{
    return m_prepared ? m_bodyA : BodyOf(hullA);
}

PhysicsComp* CollisionInfo::BodyB() const
{
    return m_prepared ? m_bodyB : BodyOf(hullB);
}

void CollisionInfo::PreStep(float dt)
{
    m_bodyA = BodyOf(hullA);
    m_bodyB = BodyOf(hullB);
    m_prepared = true;
    PhysicsComp* a = m_bodyA;
    PhysicsComp* b = m_bodyB;
    if (a == nullptr && b == nullptr)
        return;
    const bool trigger = IsTrigger(hullA) || IsTrigger(hullB);
    const Float3 n = F3(normal);
    for (Contact& c : contacts)
    {
        c.k = 0.0f;
        if (trigger)
            continue; // never pushed
        c.k = EffectiveMass(a, n, F3(c.rA)) + EffectiveMass(b, n, F3(c.rB));
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
    PhysicsComp* a = BodyA();
    PhysicsComp* b = BodyB();
    if (a == nullptr && b == nullptr)
        return;
    const Float3 n = F3(normal);
    for (Contact& c : contacts)
    {
        if (math::IsZero(c.k))
            continue;
        const Float3 rA = F3(c.rA);
        const Float3 rB = F3(c.rB);
        const float vn = Dot(VelocityAt(a, rA) - VelocityAt(b, rB), n);
        if (vn > c.bias)
            continue; // separating fast enough already
        float target = -restitution * vn;
        if (target < kThreshold)
            target = c.bias;
        const float dv = target - vn;
        if (dv <= kThreshold)
            continue;
        const float j = dv / c.k;
        const Float3 point = F3(c.point);
        ApplyPair(a, b, n, j, point);

        // Friction, with the velocities after the normal impulse, bounded by this visit's j.
        const Float3 u = VelocityAt(a, rA) - VelocityAt(b, rB);
        const Float3 w = u - n * Dot(u, n);
        const float sliding = Length(w);
        if (sliding <= kThreshold)
            continue;
        const Float3 t = w * (-1.0f / sliding);
        const float kt = EffectiveMass(a, t, rA) + EffectiveMass(b, t, rB);
        if (kt <= kZero)
            continue;
        float jt = sliding / kt; // stops the sliding
        if (!(staticFriction * j > jt))
            jt = kineticFriction * j;
        ApplyPair(a, b, t, jt, point);
    }
}

void CollisionInfo::ResolveShock(float dt)
{
    PhysicsComp* a = BodyA();
    PhysicsComp* b = BodyB();
    if (a == nullptr && b == nullptr)
        return;
    const Float3 n = F3(normal);
    const Float3 g = F3(DynamicsEngine::Instance().gravity.GetNormalized());
    if (std::fabs(Dot(n, g)) < kShockAlignment)
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
    Float3 centre{0.0f, 0.0f, 0.0f};
    float weightedBias = 0.0f;
    for (std::size_t i = 0; i < contacts.size() && i < kMaxContacts; ++i)
    {
        const Contact& c = contacts[i];
        if (math::IsZero(c.k))
            continue;
        const float vn = Dot(VelocityAt(freeA, F3(c.rA)) - VelocityAt(freeB, F3(c.rB)), n);
        if (vn <= c.bias && (c.bias - vn) / c.k >= 0.0f)
        {
            ji[i] = (c.bias - vn) / c.k;
            sum += ji[i];
            centre = centre + F3(c.point) * ji[i];
            weightedBias += ji[i] * c.bias;
        }
    }
    if (sum < kZero)
        return;
    // The weights alone are not applied as impulses: an impulse of ji / S would change a
    // light body's velocity by 1 / m. The one impulse at the weighted centre does the work.
    centre = centre / sum;
    weightedBias /= sum;

    const Float3 leverA = freeA != nullptr ? centre - F3(freeA->position) : Float3{0.0f, 0.0f, 0.0f};
    const Float3 leverB = freeB != nullptr ? centre - F3(freeB->position) : Float3{0.0f, 0.0f, 0.0f};
    const float vn = Dot(VelocityAt(freeA, leverA) - VelocityAt(freeB, leverB), n);
    float centreImpulse = 0.0f;
    if (vn < weightedBias && weightedBias - vn > kThreshold)
    {
        const float k = std::max(EffectiveMass(freeA, n, leverA) + EffectiveMass(freeB, n, leverB), kZero);
        centreImpulse = (weightedBias - vn) / k;
        ApplyPair(freeA, freeB, n, centreImpulse, centre);
    }

    // Friction, each contact credited with its share of the centre impulse.
    for (std::size_t i = 0; i < contacts.size() && i < kMaxContacts; ++i)
    {
        const Contact& c = contacts[i];
        const Float3 rA = F3(c.rA);
        const Float3 rB = F3(c.rB);
        const Float3 u = VelocityAt(freeA, rA) - VelocityAt(freeB, rB);
        const Float3 w = u - n * Dot(u, n);
        const float sliding = Length(w);
        if (sliding <= kZero)
            continue;
        const Float3 t = w * (-1.0f / sliding);
        const float jn = (ji[i] / sum) * centreImpulse;
        const float kt = EffectiveMass(freeA, t, rA) + EffectiveMass(freeB, t, rB);
        if (kt <= kZero)
            continue;
        float jt = sliding / kt;
        if (!(staticFriction * jn > jt))
            jt = kineticFriction * jn;
        ApplyPair(freeA, freeB, t, jt, F3(c.point));
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
