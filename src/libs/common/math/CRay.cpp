#include "common/math/CRay.h"

#include "common/CBSPTree.h"
#include "common/math/AABB.h"
#include "common/math/Plane.h"
#include "common/math/Quad.h"
#include "common/math/Sphere.h"
#include "common/math/Triangle.h"

#include <cmath>
#include <limits>

namespace math
{
namespace
{
// Below this squared length the direction is undefined (the normalisation rule's threshold):
// the picker leaves such a ray at (0, 0, 0) when the cursor point coincides with the eye.
bool HasNoDirection(const Vector3& direction)
{
    return IsZero(direction.LengthSquared());
}
} // namespace

bool CRay::IntersectSphere(const Sphere& sphere, float& t) const
{
    // The quadratic divides by direction.direction; without a direction there is no ray.
    if (HasNoDirection(direction))
    {
        return false;
    }
    const Vector3 m = origin - sphere.center;
    const float a = direction.Dot(direction);
    const float b = 2.0f * direction.Dot(m);
    const float c = m.Dot(m) - sphere.radius * sphere.radius;
    const float disc = b * b - 4.0f * a * c;
    if (disc < 0.0f)
    {
        return false;
    }
    const float s = std::sqrt(disc);
    const float tFar = (-b + s) / (2.0f * a);
    const float tNear = (-b - s) / (2.0f * a);
    if (tFar < 0.0f)
    {
        return false; // the sphere lies behind the origin
    }
    t = tNear >= 0.0f ? tNear : tFar;
    return true;
}

bool CRay::IntersectAABB(const AABB& box, float& t) const
{
    // A zero direction is parallel to every face: an origin inside would "hit" at infinity.
    if (HasNoDirection(direction))
    {
        return false;
    }
    float tNear = 0.0f;
    float tFar = std::numeric_limits<float>::infinity();
    // The six faces in the order -x, +x, -y, +y, -z, +z, each with its outward unit normal:
    // for the lower face normal.p + d = min - p, for the upper one p - max.
    for (int face = 0; face < 6 && tNear <= tFar; ++face)
    {
        const int axis = face / 2;
        const bool upper = (face % 2) != 0;
        const float den = upper ? direction[axis] : -direction[axis];
        const float dist = upper ? origin[axis] - box.max[axis] : box.min[axis] - origin[axis];
        if (std::fabs(den) < kEpsilon)
        {
            if (dist > 0.0f)
            {
                return false; // parallel to the face and outside it
            }
        }
        else if (den < 0.0f)
        {
            tNear = std::fmax(tNear, -dist / den); // entering through this face
        }
        else
        {
            tFar = std::fmin(tFar, -dist / den); // leaving through this face
        }
    }
    if (tNear > tFar)
    {
        return false;
    }
    // An entry at 0 means the origin is inside the box or on its surface: report the exit.
    t = IsZero(tNear) ? tFar : tNear;
    return true;
}

bool CRay::IntersectPlane(const Plane& plane, float& t) const
{
    const float den = plane.normal.Dot(direction);
    if (IsZero(den))
    {
        return false;
    }
    t = (-plane.d - plane.normal.Dot(origin)) / den;
    return t >= 0.0f;
}

bool CRay::IntersectTriangle(const Triangle& triangle, float& t) const
{
    if (!IntersectPlane(Plane(triangle.normal, triangle.v0), t))
    {
        return false;
    }
    return triangle.ContainsPoint(origin + direction * t);
}

bool CRay::IntersectQuad(const Quad& quad, float& t) const
{
    if (!IntersectPlane(Plane(quad.normal, quad.p0), t))
    {
        return false;
    }
    return quad.ContainsPoint(origin + direction * t);
}

int CRay::ClassifyBSPNode(const common::SBSPNode& node) const
{
    const float s = node.plane.normal.Dot(origin) + node.plane.d;
    const float v = node.plane.normal.Dot(direction);
    if (s >= 0.0f)
    {
        return v >= 0.0f ? 0 : 2;
    }
    return v <= 0.0f ? 1 : 2;
}

void CRay::WalkBSPTree(const common::SBSPNode* node, float& nearest) const
{
    while (node != nullptr && (node->front != nullptr || node->back != nullptr))
    {
        switch (ClassifyBSPNode(*node))
        {
        case 0:
            node = node->front;
            break;
        case 1:
            node = node->back;
            break;
        default:
            WalkBSPTree(node->front, nearest);
            node = node->back;
            break;
        }
    }
    if (node == nullptr)
    {
        return;
    }
    // Only leaves hold triangles.
    for (const Triangle& triangle : node->triangles)
    {
        float t = 0.0f;
        if (IntersectTriangle(triangle, t) && t < nearest)
        {
            nearest = t;
        }
    }
}

bool CRay::IntersectBSPTree(const common::SBSPNode* root, float& t) const
{
    float nearest = std::numeric_limits<float>::infinity();
    WalkBSPTree(root, nearest);
    if (std::isinf(nearest))
    {
        return false;
    }
    t = nearest;
    return true;
}
} // namespace math
