// A ray (origin, direction) and its hit tests against spheres, boxes, planes, triangles, room
// quads and whole BSP trees; the pickers cast it from the eye through the cursor. Users set the
// two members directly. The direction need not be unit: every distance t is measured in units
// of its length (the hit point is origin + t * direction). A zero direction hits nothing.
#pragma once

#include "common/math/Vector3.h"

namespace common
{
struct SBSPNode;
}

namespace math
{
class AABB;
class Plane;
class Quad;
class Sphere;
class Triangle;

class CRay
{
public:
    CRay() = default;
    CRay(const CRay&) = default;
    CRay& operator=(const CRay&) = default;
    virtual ~CRay() = default;

    // Every test returns whether the ray hits; t is meaningful only when it does.

    // Nearest hit in front of the origin, or the exit distance when the origin is inside.
    bool IntersectSphere(const Sphere& sphere, float& t) const;
    // Entry distance, or the exit distance when the origin is inside or on the surface.
    bool IntersectAABB(const AABB& box, float& t) const;
    // Distance to the plane when it lies ahead. t is written even when the plane is behind.
    bool IntersectPlane(const Plane& plane, float& t) const;
    // Distance to the shape's plane when the hit point lies in the shape; a plane hit outside
    // the shape returns false with t still holding the plane distance.
    bool IntersectTriangle(const Triangle& triangle, float& t) const;
    bool IntersectQuad(const Quad& quad, float& t) const;
    // Distance to the nearest triangle of the tree under root (null: an empty tree, no hit).
    bool IntersectBSPTree(const common::SBSPNode* root, float& t) const;

    // Which sides of the node's splitting plane the ray visits: 0 front only, 1 back only,
    // 2 both.
    int ClassifyBSPNode(const common::SBSPNode& node) const;
    // Lowers nearest to the distance of every closer triangle hit under node.
    void WalkBSPTree(const common::SBSPNode* node, float& nearest) const;

    Vector3 origin;
    Vector3 direction;
};
} // namespace math
