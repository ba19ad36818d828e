#include "SceneGeometry.h"

#include "common/math/Matrix3.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace physcene
{
namespace
{
math::Matrix3 Axes(const BodyPose& body)
{
    return body.orientation.ToMatrix3(); // rows are the body's axes in world space
}

float BoundingRadius(const BodyPose& body)
{
    return body.shape == Shape::Sphere ? body.halfSize.x : body.halfSize.Length();
}

// The box's extent along a unit axis from its centre.
float Reach(const math::Matrix3& axes, const math::Vector3& half, const math::Vector3& axis)
{
    return std::fabs(axes.GetRow(0).Dot(axis)) * half.x + std::fabs(axes.GetRow(1).Dot(axis)) * half.y +
           std::fabs(axes.GetRow(2).Dot(axis)) * half.z;
}

float SphereBox(const BodyPose& sphere, const BodyPose& box)
{
    const math::Matrix3 axes = Axes(box);
    const math::Vector3 offset = sphere.position - box.position;
    float outside = 0.0f;
    float inside = std::numeric_limits<float>::infinity();
    for (int i = 0; i < 3; ++i)
    {
        const float q = offset.Dot(axes.GetRow(i));
        const float e = box.halfSize[i];
        const float beyond = std::fabs(q) - e;
        if (beyond > 0.0f)
            outside += beyond * beyond;
        inside = std::min(inside, -beyond);
    }
    const float r = sphere.halfSize.x;
    // A centre inside the box is pushed out through the nearest face.
    return outside > 0.0f ? r - std::sqrt(outside) : r + inside;
}

float BoxBox(const BodyPose& a, const BodyPose& b)
{
    const math::Matrix3 axesA = Axes(a);
    const math::Matrix3 axesB = Axes(b);
    math::Vector3 axes[15];
    for (int i = 0; i < 3; ++i)
    {
        axes[i] = axesA.GetRow(i);
        axes[3 + i] = axesB.GetRow(i);
        for (int j = 0; j < 3; ++j)
            axes[6 + 3 * i + j] = axesA.GetRow(i).Cross(axesB.GetRow(j));
    }
    float smallest = std::numeric_limits<float>::infinity();
    for (math::Vector3& axis : axes)
    {
        if (axis.LengthSquared() < 1e-6f)
            continue; // parallel edges
        axis.Normalize();
        const float ca = a.position.Dot(axis);
        const float cb = b.position.Dot(axis);
        const float ra = Reach(axesA, a.halfSize, axis);
        const float rb = Reach(axesB, b.halfSize, axis);
        // The shorter way out along this axis.
        const float push = std::min((ca + ra) - (cb - rb), (cb + rb) - (ca - ra));
        smallest = std::min(smallest, push);
    }
    return smallest;
}
} // namespace

float PairPenetration(const BodyPose& a, const BodyPose& b)
{
    const float apart = (a.position - b.position).Length();
    const float reach = BoundingRadius(a) + BoundingRadius(b);
    if (apart >= reach)
        return reach - apart;
    if (a.shape == Shape::Sphere && b.shape == Shape::Sphere)
        return a.halfSize.x + b.halfSize.x - apart;
    if (a.shape == Shape::Sphere)
        return SphereBox(a, b);
    if (b.shape == Shape::Sphere)
        return SphereBox(b, a);
    return BoxBox(a, b);
}

float PlanePenetration(const BodyPose& body, const GroundPlane& plane)
{
    const float distance = plane.normal.Dot(body.position) + plane.d;
    if (body.shape == Shape::Sphere)
        return body.halfSize.x - distance;
    return Reach(Axes(body), body.halfSize, plane.normal) - distance;
}

Penetration MeasurePenetration(const std::vector<BodyPose>& bodies, const std::vector<GroundPlane>& planes)
{
    Penetration result;
    double sum = 0.0;
    auto add = [&](float depth)
    {
        if (depth <= 0.0f)
            return;
        result.max = std::max(result.max, depth);
        sum += depth;
        ++result.pairs;
    };
    // Swept along x: two bodies whose reaches along x do not meet cannot overlap, so a scene of a
    // thousand bodies costs about as many pair tests as there are neighbours.
    std::vector<std::size_t> order(bodies.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    // A body whose numbers ran away sorts first and meets nobody.
    auto low = [&bodies](std::size_t i)
    {
        const float x = bodies[i].position.x - BoundingRadius(bodies[i]);
        return std::isfinite(x) ? x : -std::numeric_limits<float>::infinity();
    };
    std::sort(order.begin(), order.end(), [&low](std::size_t a, std::size_t b) { return low(a) < low(b); });
    for (std::size_t i = 0; i < order.size(); ++i)
    {
        const BodyPose& a = bodies[order[i]];
        for (const GroundPlane& plane : planes)
            add(PlanePenetration(a, plane));
        const float high = a.position.x + BoundingRadius(a);
        for (std::size_t j = i + 1; j < order.size() && low(order[j]) <= high; ++j)
            add(PairPenetration(a, bodies[order[j]]));
    }
    if (result.pairs > 0)
        result.mean = static_cast<float>(sum / result.pairs);
    return result;
}

Energy MeasureEnergy(const std::vector<BodyPose>& bodies, const math::Vector3& gravity)
{
    Energy energy;
    for (const BodyPose& body : bodies)
    {
        const double m = body.mass;
        const double v2 = static_cast<double>(body.velocity.x) * body.velocity.x +
                          static_cast<double>(body.velocity.y) * body.velocity.y +
                          static_cast<double>(body.velocity.z) * body.velocity.z;
        double spin = 0.0;
        const math::Matrix3 axes = Axes(body);
        for (int i = 0; i < 3; ++i)
        {
            const double w = body.angularVelocity.Dot(axes.GetRow(i)); // about the body's axis i
            spin += static_cast<double>(body.inertia[i]) * w * w;
        }
        energy.kinetic += 0.5 * m * v2 + 0.5 * spin;
        energy.potential -= m * (static_cast<double>(gravity.x) * body.position.x +
                                 static_cast<double>(gravity.y) * body.position.y +
                                 static_cast<double>(gravity.z) * body.position.z);
    }
    return energy;
}
} // namespace physcene
