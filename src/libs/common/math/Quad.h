// Quadrilateral: the shape of a room face and of the construction quads. Corners run around
// the edge; the normal is (P1 - P0) x (P3 - P0) normalised, recomputed after reading from XML
// and never stored in files.
#pragma once

#include "common/math/Vector3.h"

namespace math
{
class Quad
{
public:
    Quad();                                                                           // all zero
    Quad(const Vector3& p0, const Vector3& p1, const Vector3& p2, const Vector3& p3); // computes the normal

    void ComputeNormal();
    // True when p projected on the quad's plane lies inside or on an edge (convex quads with
    // corners counter-clockwise seen from the normal's side).
    bool ContainsPoint(const Vector3& p) const;

    Vector3 p0;
    Vector3 p1;
    Vector3 p2;
    Vector3 p3;
    Vector3 normal;
};
} // namespace math
