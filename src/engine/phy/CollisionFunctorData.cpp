#include "engine/phy/CollisionFunctorData.h"

#include "common/math/Matrix3.h"
#include "engine/GobManager.h"
#include "engine/phy/PhysicsComp.h"

namespace dorvo
{
namespace phy
{
namespace
{
// Below this the pair has no effective mass: neither body can move.
constexpr float kMinEffectiveMass = 1e-7f;
} // namespace

CollisionFunctorData::CollisionFunctorData() = default;

CollisionFunctorData::CollisionFunctorData(std::uint32_t idA, std::uint32_t idB, const math::Vector3& point,
                                           const math::Vector3& contactNormal, float contactDepth,
                                           const math::Vector3& relVelocity, float relSpeed,
                                           float coeffRestitution)
    : gobIdA(idA), gobIdB(idB), contactPoint(point), normal(contactNormal), depth(contactDepth),
      relativeVelocity(relVelocity), relativeSpeed(relSpeed), restitution(coeffRestitution)
{
    ComputeImpulse();
}

CollisionFunctorData::CollisionFunctorData(const CollisionFunctorData& other)
    : gobIdA(other.gobIdA), gobIdB(other.gobIdB), contactPoint(other.contactPoint), normal(other.normal),
      depth(other.depth), relativeVelocity(other.relativeVelocity), relativeSpeed(other.relativeSpeed),
      impulse(other.impulse), restitution(other.restitution)
{
}

CollisionFunctorData& CollisionFunctorData::operator=(const CollisionFunctorData& other)
{
    if (this == &other)
        return *this;
    gobIdA = other.gobIdA;
    gobIdB = other.gobIdB;
    contactPoint = other.contactPoint;
    normal = other.normal;
    depth = other.depth;
    relativeVelocity = other.relativeVelocity;
    relativeSpeed = other.relativeSpeed;
    impulse = other.impulse;
    restitution = other.restitution;
    return *this;
}

void CollisionFunctorData::ComputeImpulse()
{
    impulse.Set(0.0f, 0.0f, 0.0f);
    GobManager& manager = GobManager::Instance();
    PhysicsComp* bodies[2] = {GetPhysicsComp(manager.GetGob(gobIdA)), GetPhysicsComp(manager.GetGob(gobIdB))};
    float k = 0.0f;
    float vn = 0.0f;
    for (int side = 0; side < 2; ++side)
    {
        const PhysicsComp* body = bodies[side];
        if (body == nullptr)
            continue;
        const math::Vector3 r = contactPoint - body->position;
        if (!body->immovable)
        {
            const math::Vector3 w = body->GetWorldInvInertia().Transform(r.Cross(normal));
            k += body->GetInvMass() + normal.Dot(w.Cross(r));
        }
        const float along = (body->velocity + body->angularVelocity.Cross(r)).Dot(normal);
        vn += side == 0 ? along : -along;
    }
    if (k < kMinEffectiveMass)
        return;
    const float j = (-restitution * vn - vn) / k;
    impulse = normal * j;
}
} // namespace phy
} // namespace dorvo
