// What every collision callback receives: the two objects of a colliding pair in the collision
// detector's order, where and how deep they touch, how fast they meet, and the impulse that
// would stop them along the normal with the pair's restitution. The detector builds one record
// per pair and hands the same one to both objects' callbacks; a callback tells itself apart by
// the id it is called with (the other object is gobIdB when that id is gobIdA, else gobIdA).
#pragma once

#include "common/math/Vector3.h"

#include <cstdint>

namespace dorvo
{
namespace phy
{
class CollisionFunctorData
{
public:
    // Every id, vector and float 0.
    CollisionFunctorData();
    // Copies the values and works out the impulse (ComputeImpulse).
    CollisionFunctorData(std::uint32_t idA, std::uint32_t idB, const math::Vector3& point,
                         const math::Vector3& contactNormal, float contactDepth,
                         const math::Vector3& relVelocity, float relSpeed, float coeffRestitution);
    CollisionFunctorData(const CollisionFunctorData& other);
    CollisionFunctorData& operator=(const CollisionFunctorData& other);

    // impulse = normal * j, the impulse that turns the approach of the two bodies along the
    // normal into a rebound with the restitution: j = -(1 + e) vn / K over both bodies' effective
    // mass K. (0, 0, 0) when neither body can move (K below 1e-7). Not clamped to one sign.
    void ComputeImpulse();

    std::uint32_t gobIdA = 0;
    std::uint32_t gobIdB = 0;
    math::Vector3 contactPoint;     // world, the mean of the pair's contact points
    math::Vector3 normal;           // from B towards A
    float depth = 0.0f;             // mean penetration, world units
    math::Vector3 relativeVelocity; // A's velocity minus B's (a side without a body counts 0)
    float relativeSpeed = 0.0f;     // its length
    math::Vector3 impulse;          // see ComputeImpulse
    float restitution = 0.0f;       // the pair's combined coefficient
};
} // namespace phy
} // namespace dorvo
