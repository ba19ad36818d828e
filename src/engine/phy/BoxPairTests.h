// The narrow phase of every hull pair with a box: box against plane, triangle and box, and the
// cloth pairs, which never collide. The box-plane test checks the box's corners against the
// plane; the box-box and box-triangle tests are separating-axis tests whose further contact
// points come from clipping edges. Each answers nothing when the shapes are more than the 0.05
// margin apart, else a new CollisionInfo with the hulls in the order received (box first) and
// the normal pointing from hull B towards hull A. The helpers are exposed for their tests.
#pragma once

#include "engine/phy/PairResult.h"

#include <vector>

namespace math
{
class Matrix3;
class OBB;
class Triangle;
class Vector3;
} // namespace math

namespace dorvo
{
namespace phy
{
class BoxPairMemo;
class ClothHull;
class OBBHull;
class PlaneHull;
class SphereHull;
class TriangleHull;

// Up to 8 corner contacts, shallowest first. A box wholly behind the plane (a solid half-space)
// collides with all its corners.
PairResult BoxPlaneCollision(OBBHull& a, PlaneHull& b);
// One contact per point where a box edge crosses the triangle or a triangle edge enters the
// box, all at the depth of the separating axis; nothing when no such point exists.
PairResult BoxTriangleCollision(OBBHull& a, TriangleHull& b);
// A main point from the winning axis, then, for truly overlapping boxes, the points where the
// edges of each box cross the faces of the other (at most 10 contacts in all).
PairResult BoxBoxCollision(OBBHull& a, OBBHull& b);
// The same test drawing on what the test of (b, a) left in the pass's memo, and, when
// `mirrorFollows` (b is a body that will test a in this pass), leaving there what that test
// can use. The answer is the plain test's, to the bit.
PairResult BoxBoxCollision(OBBHull& a, OBBHull& b, BoxPairMemo* memo, bool mirrorFollows);
// Cloth collides with nothing.
PairResult BoxClothCollision(OBBHull& a, ClothHull& b);
PairResult SphereClothCollision(SphereHull& a, ClothHull& b);

// ---- Helpers ----

// The box's 12 edges as pairs of corner indices of math::OBB::GetCorners.
extern const int kBoxEdges[12][2];

// Whether the (unnormalised) axis separates the intervals of A and B by more than the margin.
// Otherwise `overlap` gets their overlap in units of the axis's length: the shorter way out
// when one interval lies strictly inside the other, else the common part (negative down to
// -0.05 for a gap within the margin).
bool SeparatedOnAxis(const math::Vector3& axis, const math::OBB& a, const math::OBB& b, float& overlap);
bool SeparatedOnAxisTriangle(const math::Vector3& axis, const math::OBB& box, const math::Triangle& triangle,
                             float& overlap);
// The box's corner farthest along -direction; an axis within 0.001 of perpendicular to the
// direction is left out, giving an edge or face centre.
void BoxSupportPoint(math::Vector3& point, const math::OBB& box, const math::Vector3& direction);
// Merges the point into the first one closer than the squared distance (both become their
// midpoint) and answers false; else appends it and answers true.
bool AddContactPoint(std::vector<math::Vector3>& points, const math::Vector3& point, float squaredMerge);
// The edge p0-p1, in the frame of a box of half extent `e` (orientation and centre place that
// frame in the world), clipped against the box's six faces: each crossing inside the face goes
// back to world space and into AddContactPoint; the edge stops after its second point.
void ClipEdgeAgainstBox(const math::Vector3& p0, const math::Vector3& p1, const math::Vector3& e,
                        const math::Matrix3& orientation, const math::Vector3& centre, float tol,
                        std::vector<math::Vector3>& points);
// Every edge of `other` (already in this box's frame) clipped against this box, stopping once
// the list holds 8 points.
void ClipBoxEdges(std::vector<math::Vector3>& points, const math::OBB& thisBox, const math::OBB& otherLocal,
                  float tol);
// The edges of B against A, then those of A against B.
void ClipBoxes(std::vector<math::Vector3>& points, const math::OBB& a, const math::OBB& b, float tol);
// Moller-Trumbore on the segment p0-p1; the crossing point goes to `point` when asked for.
bool SegmentTriangleIntersect(const math::Vector3& p0, const math::Vector3& p1,
                              const math::Triangle& triangle, math::Vector3* point);
// Box edges crossing the triangle, then triangle edges entering the box from either end.
void BoxTriangleContactPoints(std::vector<math::Vector3>& points, const math::OBB& box,
                              const math::Triangle& triangle, float mergeDistance);
} // namespace phy
} // namespace dorvo
