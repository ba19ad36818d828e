// Oriented box: the box hull's shape. The rows of the orientation are the box's local x, y and
// z axes in world space; the half extent is half the side lengths along them. A default box
// has a ZERO orientation (not the identity): the box hull writes it from its body each update.
#pragma once

#include "common/math/Matrix3.h"
#include "common/math/Vector3.h"

#include <vector>

namespace math
{
class OBB
{
public:
    OBB();
    // Note the argument order differs from the member order.
    OBB(const Vector3& center, const Matrix3& orientation, const Vector3& halfExtent);

    // Radius of the enclosing sphere: the length of the half extent.
    float GetRadius() const;
    // The box's interval along the axis, in units of the axis's length.
    void ProjectOntoAxis(float& min, float& max, const Vector3& axis) const;
    // Squared distance from p to the box (0 inside) and the box's closest point.
    float SquaredDistance(const Vector3& p, Vector3& closest) const;
    float Distance(const Vector3& p, Vector3& closest) const;
    // Slab clipping of the segment p0-p1. On a hit, hit receives the entry point (or the exit
    // point when p0 starts inside) and normal the face axis, turned to face p0. A segment that
    // ends before it reaches the box is a miss.
    bool IntersectSegment(const Vector3& p0, const Vector3& p1, Vector3* hit, Vector3* normal) const;
    // Replaces the contents with the eight corners: corner k takes + along row0 when bit 2 of k is set, along
    // row1 for bit 1, along row2 for bit 0, - otherwise; so corner 0 is (-,-,-) and corner 7 (+,+,+).
    void GetCorners(std::vector<Vector3>& corners) const;

    Matrix3 orientation;
    Vector3 halfExtent;
    Vector3 center;
};
} // namespace math
