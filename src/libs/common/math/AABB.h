// Axis-aligned box: the bounding volume of the oct tree, the position component's world box
// and the broad test of the triangle hull. A value type; min <= max per axis is the caller's
// promise (nothing here reorders the corners).
#pragma once

#include "common/math/Vector3.h"

namespace math
{
class Sphere;

class AABB
{
public:
    AABB(); // both corners (0, 0, 0)
    AABB(const Vector3& min, const Vector3& max);

    // Grows the box just enough to hold the point.
    void Extend(const Vector3& point);

    // True when the sphere touches or overlaps the box (touching counts).
    bool IntersectsSphere(const Sphere& sphere) const;
    // True when the whole sphere lies inside the box; touching a face from inside counts.
    bool ContainsSphere(const Sphere& sphere) const;
    // True when the whole box lies inside this one, bounds inclusive, so a box that touches a
    // face still counts as inside (the oct tree files objects by this rule).
    bool Contains(const AABB& box) const;

    Vector3 min;
    Vector3 max;
};
} // namespace math
