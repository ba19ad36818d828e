// The narrow phase of every hull pair whose first hull is a sphere. Each test takes the two
// hulls, answers nothing when they are more than the 0.05 margin apart, and otherwise a new
// CollisionInfo with the sphere as hull A, one contact, and the normal pointing from the other
// hull towards the sphere. The detector also calls them for the mirrored pairs, sphere first.
#pragma once

#include "engine/phy/PairResult.h"

namespace dorvo
{
namespace phy
{
class OBBHull;
class PlaneHull;
class SphereHull;
class TriangleHull;

// The depth includes the margin: two spheres that just touch have depth 0.05, so a touching
// pair is pushed until its surfaces are about 0.05 apart.
PairResult SphereSphereCollision(SphereHull& a, SphereHull& b);
// The plane is a one-sided half-space: a centre behind it always collides. The centre is the
// body's position, or the hull's own centre for a sphere without a body.
PairResult SpherePlaneCollision(SphereHull& a, PlaneHull& b);
// The contact point is the box's point closest to the centre.
PairResult SphereBoxCollision(SphereHull& a, OBBHull& b);
// A sphere that does not reach the triangle's flat bounding box gets nothing, even within the
// margin (a sphere 0.03 above a horizontal triangle).
PairResult SphereTriangleCollision(SphereHull& a, TriangleHull& b);
} // namespace phy
} // namespace dorvo
