// Plane n.p + d = 0: the plane hull, the frustum sides and the BSP tree's splitters.
// The normal is unit when the plane was built from four coefficients; a plane built from a
// normal and a point keeps the normal as given, so distances are then in units of its length.
#pragma once

#include "common/math/Vector3.h"

namespace math
{
class Matrix4;

class Plane
{
public:
    Plane(); // zero normal and d
    // The normal is kept as given (not normalised); d = -(normal.point).
    Plane(const Vector3& normal, const Vector3& point);
    // The normal (a, b, c) is normalised; d is stored as given, not divided by the length of
    // (a, b, c), so callers pass a unit (a, b, c).
    Plane(float a, float b, float c, float d);
    void Set(float a, float b, float c, float d);

    float GetDistance() const { return d; }
    // Writable d: the plane hull reads its stored d into it.
    float& DistanceRef() { return d; }

    // normal.p + d: positive on the side the normal points to.
    float SignedDistance(const Vector3& p) const;
    // out = p - normal * SignedDistance(p), the closest point on the plane for a unit normal.
    void ProjectPoint(Vector3& out, const Vector3& p) const;
    // Where the segment p0-p1 crosses the plane: t in [0, 1] with the point p0 + t(p1 - p0).
    // False (t untouched) for a segment parallel to the plane or one that does not reach it.
    bool IntersectSegment(const Vector3& p0, const Vector3& p1, float& t) const;

    // All four coefficients divided by the normal's length (as D3DXPlaneNormalize); a plane
    // without a normal comes back as it is.
    Plane GetNormalized() const;
    // The row (a, b, c, d) times the matrix (as D3DXPlaneTransform). Given the inverse transpose
    // of M, the result is the plane carried by M; the normal is not normalised.
    Plane Transform(const Matrix4& matrix) const;

    Vector3 normal;
    float d;
};
} // namespace math
