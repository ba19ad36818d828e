#include "engine/phy/SpherePairTests.h"

#include "common/math/AABB.h"
#include "common/math/Plane.h"
#include "common/math/Sphere.h"
#include "engine/phy/CollisionInfo.h"
#include "engine/phy/OBBHull.h"
#include "engine/phy/PhysicsComp.h"
#include "engine/phy/PlaneHull.h"
#include "engine/phy/SphereHull.h"
#include "engine/phy/TriangleHull.h"

#include <cmath>
#include <vector>

namespace dorvo
{
namespace phy
{
namespace
{
constexpr float kZero = 1e-7f;

// The one contact of a sphere test, made into the result.
PairResult OneContact(CollisionHull& a, CollisionHull& b, const Contact& contact, const math::Vector3& n)
{
    return PairResult(CollisionInfo::Make(&a, &b, &contact, 1, n));
}
} // namespace

PairResult SphereSphereCollision(SphereHull& a, SphereHull& b)
{
    const math::Vector3& cA = a.sphere.center;
    const math::Vector3& cB = b.sphere.center;
    const math::Vector3 d = cA - cB;
    const float reach = b.sphere.radius + a.sphere.radius + kCollisionMargin;
    if (d.LengthSquared() > reach * reach)
        return PairResult();
    const float dist = d.Length();
    const math::Vector3 n = dist > kZero ? d / dist : math::Vector3(0.0f, 1.0f, 0.0f);
    const float depth = reach - dist;
    // In the middle of the overlap of A with B grown by the margin.
    const math::Vector3 point = cA - n * (a.sphere.radius - depth / 2.0f);
    return OneContact(a, b, Contact(point - cA, point - cB, point, depth), n);
}

PairResult SpherePlaneCollision(SphereHull& a, PlaneHull& b)
{
    const PhysicsComp* body = a.GetBody();
    const math::Vector3 c = body != nullptr ? body->position : a.sphere.center;
    const float r = a.sphere.radius;
    const float dist = b.plane.SignedDistance(c);
    if (dist > r + kCollisionMargin)
        return PairResult();
    const float depth = r - dist;
    const math::Vector3 n = b.plane.normal;
    const math::Vector3 point = c - n * r;
    // Both lever arms from the sphere's centre: the plane has no reference point.
    return OneContact(a, b, Contact(point - c, point - c, point, depth), n);
}

PairResult SphereBoxCollision(SphereHull& a, OBBHull& b)
{
    const math::Vector3& c = a.sphere.center;
    const math::OBB& box = b.GetOBB();
    // The box lies within its radius of its centre, so a sphere whose centre is farther than
    // that plus its reach is beyond the margin: the test below would answer nothing (the slack
    // is far beyond float rounding).
    const float reach = box.halfExtent.Length() + a.sphere.radius + kCollisionMargin + 0.01f;
    if ((c - box.center).LengthSquared() > 1.01f * reach * reach)
        return PairResult();
    math::Vector3 q;
    const float dist = box.Distance(c, q);
    const float depth = a.sphere.radius - dist;
    if (depth <= -kCollisionMargin)
        return PairResult();
    // A centre inside the box is pushed out away from the box's centre.
    math::Vector3 n = dist > kZero ? c - q : c - box.center;
    if (n.LengthSquared() > kZero)
        n.Normalize();
    else
        n = math::Vector3(0.0f, 1.0f, 0.0f);
    return OneContact(a, b, Contact(q - c, q - box.center, q, depth), n);
}

PairResult SphereTriangleCollision(SphereHull& a, TriangleHull& b)
{
    const math::Vector3& c = a.sphere.center;
    const float r = a.sphere.radius;
    const math::Triangle& triangle = b.worldTriangle;

    math::AABB bounds(triangle.v0, triangle.v0);
    bounds.Extend(triangle.v1);
    bounds.Extend(triangle.v2);
    if (!bounds.IntersectsSphere(math::Sphere(c, r)))
        return PairResult();
    // Only the front side is rejected here; the distance test below is two-sided.
    if (math::Plane(triangle.normal, triangle.v0).SignedDistance(c) > r + kCollisionMargin)
        return PairResult();
    float s = 0.0f;
    float t = 0.0f;
    const float squared = triangle.SquaredDistance(c, &s, &t); // +infinity for a degenerate one
    const float reach = r + kCollisionMargin;
    if (!(squared <= reach * reach))
        return PairResult();
    const float dist = std::sqrt(squared);
    const float depth = r - dist;
    const math::Vector3 n =
        std::fabs(dist) >= kZero ? (c - triangle.PointAt(s, t)).GetNormalized() : triangle.normal;
    // The sphere's surface point towards the triangle, not the triangle's closest point.
    const math::Vector3 point = c - n * r;
    return OneContact(a, b, Contact(point - c, point - triangle.GetCentroid(), point, depth), n);
}
} // namespace phy
} // namespace dorvo
