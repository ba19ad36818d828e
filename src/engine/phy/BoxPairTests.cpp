#include "engine/phy/BoxPairTests.h"

#include "common/math/Matrix3.h"
#include "common/math/OBB.h"
#include "common/math/Triangle.h"
#include "common/math/Vector3.h"
#include "engine/phy/ClothHull.h"
#include "engine/phy/CollisionInfo.h"
#include "engine/phy/OBBHull.h"
#include "engine/phy/PlaneHull.h"
#include "engine/phy/SphereHull.h"
#include "engine/phy/TriangleHull.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace dorvo
{
namespace phy
{
const int kBoxEdges[12][2] = {{0, 1}, {0, 2}, {0, 4}, {7, 6}, {7, 5}, {7, 3},
                              {4, 6}, {4, 5}, {2, 6}, {2, 3}, {1, 5}, {1, 3}};

namespace
{
constexpr float kZero = 1e-7f;
constexpr float kSupportSlack = 0.001f; // an axis this close to perpendicular is left out
constexpr std::size_t kMaxClipPoints = 8;

// The interval test shared by both separating-axis tests.
bool SeparatedIntervals(float minA, float maxA, float minB, float maxB, float& overlap)
{
    const float reach = kCollisionMargin + kZero;
    if (minA > maxB + reach || minB > maxA + reach)
        return true;
    if ((maxB > maxA && minA > minB) || (maxA > maxB && minB > minA))
        overlap = std::min(maxA - minB, maxB - minA); // the shorter way out
    else
        overlap = std::min(maxA, maxB) - std::max(minA, minB);
    return false;
}

// Normalises every usable axis in place (its overlap with it) and picks the smallest overlap;
// ties keep the earlier axis. -1 when every axis was too short to use.
int ChooseAxis(math::Vector3* axes, float* overlaps, int count, float& best)
{
    best = std::numeric_limits<float>::infinity();
    int chosen = -1;
    for (int k = 0; k < count; ++k)
    {
        const float squared = axes[k].LengthSquared();
        if (squared < kZero)
            continue; // the cross product of parallel edges
        const float length = std::sqrt(squared);
        axes[k] /= length;
        overlaps[k] /= length;
        if (overlaps[k] < best)
        {
            best = overlaps[k];
            chosen = k;
        }
    }
    return chosen;
}

// The normal from B towards A.
math::Vector3 OrientFromBToA(const math::Vector3& axis, const math::Vector3& cA, const math::Vector3& cB)
{
    return (cB - cA).Dot(axis) > 0.0f ? -axis : axis;
}

// Whether two boxes lie so far apart that one of A's face axes must separate them. Along A's
// unit axes the squared offsets add up to the squared distance d^2 of the centres, so one of
// them is at least d / sqrt(3); along any unit axis A reaches at most its half extent and B at
// most its radius. Past sqrt(3) (RA + RB + margin) that face axis therefore separates the boxes,
// and the full test would answer nothing too. The slack is far beyond float rounding, so the
// answer is the full test's for every pair: this only spares the work for distant ones.
bool FarApart(const math::OBB& a, const math::OBB& b)
{
    constexpr float kSlack = 0.01f;
    const float reach = a.halfExtent.Length() + b.halfExtent.Length() + kCollisionMargin + kSlack;
    return (a.center - b.center).LengthSquared() > 3.01f * reach * reach;
}

// A world vector in the frame of a box whose rows are its axes.
math::Vector3 ToLocal(const math::Matrix3& transposed, const math::Vector3& v)
{
    return transposed.Transform(v);
}
} // namespace

bool SeparatedOnAxis(const math::Vector3& axis, const math::OBB& a, const math::OBB& b, float& overlap)
{
    float minA = 0.0f;
    float maxA = 0.0f;
    float minB = 0.0f;
    float maxB = 0.0f;
    a.ProjectOntoAxis(minA, maxA, axis);
    b.ProjectOntoAxis(minB, maxB, axis);
    return SeparatedIntervals(minA, maxA, minB, maxB, overlap);
}

bool SeparatedOnAxisTriangle(const math::Vector3& axis, const math::OBB& box, const math::Triangle& triangle,
                             float& overlap)
{
    float minA = 0.0f;
    float maxA = 0.0f;
    float minB = 0.0f;
    float maxB = 0.0f;
    box.ProjectOntoAxis(minA, maxA, axis);
    triangle.ProjectOntoAxis(minB, maxB, axis);
    return SeparatedIntervals(minA, maxA, minB, maxB, overlap);
}

void BoxSupportPoint(math::Vector3& point, const math::OBB& box, const math::Vector3& direction)
{
    point = box.center;
    for (int i = 0; i < 3; ++i)
    {
        const math::Vector3 axis = box.orientation.GetRow(i);
        const float along = axis.Dot(direction);
        if (along < -kSupportSlack)
            point += axis * box.halfExtent[i];
        else if (along > kSupportSlack)
            point -= axis * box.halfExtent[i];
    }
}

bool AddContactPoint(std::vector<math::Vector3>& points, const math::Vector3& point, float squaredMerge)
{
    for (math::Vector3& existing : points)
    {
        if ((existing - point).LengthSquared() < squaredMerge)
        {
            existing = (existing + point) * 0.5f;
            return false;
        }
    }
    points.push_back(point);
    return true;
}

void ClipEdgeAgainstBox(const math::Vector3& p0, const math::Vector3& p1, const math::Vector3& e,
                        const math::Matrix3& orientation, const math::Vector3& centre, float tol,
                        std::vector<math::Vector3>& points)
{
    int counted = 0;
    for (int k = 0; k < 3; ++k)
    {
        const float faces[2] = {-e[k], e[k]};
        for (const float face : faces)
        {
            const float d0 = p0[k] - face;
            const float d1 = p1[k] - face;
            float t = 0.0f;
            if (d0 * d1 < -kZero)
                t = -d0 / (d1 - d0);
            else if (std::fabs(d0) < kZero)
                t = 0.0f;
            else if (std::fabs(d1) < kZero)
                t = 1.0f;
            else
                continue;
            const math::Vector3 q = p0 * (1.0f - t) + p1 * t;
            bool inside = true;
            for (int u = 0; u < 3 && inside; ++u)
                if (u != k)
                    inside = -(e[u] + kZero) < q[u] && q[u] < e[u] + kZero;
            if (!inside)
                continue;
            AddContactPoint(points, orientation.Transform(q) + centre, tol * tol);
            if (++counted >= 2)
                return;
        }
    }
}

void ClipBoxEdges(std::vector<math::Vector3>& points, const math::OBB& thisBox, const math::OBB& otherLocal,
                  float tol)
{
    std::vector<math::Vector3> corners;
    otherLocal.GetCorners(corners);
    for (const auto& edge : kBoxEdges)
    {
        ClipEdgeAgainstBox(corners[edge[0]], corners[edge[1]], thisBox.halfExtent, thisBox.orientation,
                           thisBox.center, tol, points);
        if (points.size() >= kMaxClipPoints)
            return;
    }
}

void ClipBoxes(std::vector<math::Vector3>& points, const math::OBB& a, const math::OBB& b, float tol)
{
    const math::OBB* pairs[2][2] = {{&a, &b}, {&b, &a}};
    for (const auto& pair : pairs)
    {
        const math::OBB& self = *pair[0];
        const math::OBB& other = *pair[1];
        const math::Matrix3 transposed = self.orientation.GetTranspose();
        math::OBB local;
        local.center = ToLocal(transposed, other.center - self.center);
        for (int i = 0; i < 3; ++i)
            local.orientation.SetRow(i, ToLocal(transposed, other.orientation.GetRow(i)));
        local.halfExtent = other.halfExtent;
        ClipBoxEdges(points, self, local, tol);
    }
}

bool SegmentTriangleIntersect(const math::Vector3& p0, const math::Vector3& p1,
                              const math::Triangle& triangle, math::Vector3* point)
{
    const math::Vector3 dir = p1 - p0;
    const math::Vector3 e1 = triangle.v1 - triangle.v0;
    const math::Vector3 e2 = triangle.v2 - triangle.v0;
    const math::Vector3 p = dir.Cross(e2);
    const float det = e1.Dot(p);
    if (math::IsZero(det))
        return false; // parallel to the triangle's plane, or a degenerate triangle
    const math::Vector3 toStart = p0 - triangle.v0;
    const float u = toStart.Dot(p) / det;
    if (u < 0.0f || u > 1.0f)
        return false;
    const math::Vector3 q = toStart.Cross(e1);
    const float v = dir.Dot(q) / det;
    if (v < 0.0f || u + v > 1.0f)
        return false;
    const float t = e2.Dot(q) / det;
    if (t < 0.0f || t > 1.0f)
        return false;
    if (point != nullptr)
        *point = p0 + dir * t;
    return true;
}

void BoxTriangleContactPoints(std::vector<math::Vector3>& points, const math::OBB& box,
                              const math::Triangle& triangle, float mergeDistance)
{
    const float squaredMerge = mergeDistance * mergeDistance;
    std::vector<math::Vector3> corners;
    box.GetCorners(corners);
    for (const auto& edge : kBoxEdges)
    {
        math::Vector3 crossing;
        if (SegmentTriangleIntersect(corners[edge[0]], corners[edge[1]], triangle, &crossing))
            AddContactPoint(points, crossing, squaredMerge);
    }
    // Each triangle edge from both ends: the entry point seen from each.
    for (int k = 0; k < 3; ++k)
    {
        const math::Vector3& from = triangle[k];
        const math::Vector3& to = triangle[(k + 1) % 3];
        math::Vector3 hit;
        if (box.IntersectSegment(from, to, &hit, nullptr))
            AddContactPoint(points, hit, squaredMerge);
        if (box.IntersectSegment(to, from, &hit, nullptr))
            AddContactPoint(points, hit, squaredMerge);
    }
}

PairResult BoxPlaneCollision(OBBHull& a, PlaneHull& b)
{
    const math::OBB& box = a.GetOBB();
    const math::Plane& plane = b.plane;
    // No test on the far side: the plane is a solid half-space.
    if (plane.SignedDistance(box.center) > box.GetRadius() + kCollisionMargin)
        return PairResult();
    std::vector<math::Vector3> corners;
    box.GetCorners(corners);
    std::vector<Contact> contacts;
    for (const math::Vector3& corner : corners)
    {
        const float depth = -plane.SignedDistance(corner);
        if (depth > -kCollisionMargin)
            contacts.emplace_back(corner - box.center, corner - box.center, corner, depth);
    }
    if (contacts.empty())
        return PairResult();
    std::stable_sort(contacts.begin(), contacts.end(), ContactDepthLess);
    return PairResult(CollisionInfo::Make(&a, &b, contacts, plane.normal));
}

PairResult BoxBoxCollision(OBBHull& a, OBBHull& b)
{
    const math::OBB& boxA = a.GetOBB();
    const math::OBB& boxB = b.GetOBB();
    if (FarApart(boxA, boxB))
        return PairResult();
    constexpr int kAxes = 15;
    math::Vector3 axes[kAxes];
    float overlaps[kAxes] = {};
    for (int i = 0; i < 3; ++i)
    {
        axes[i] = boxA.orientation.GetRow(i);
        axes[3 + i] = boxB.orientation.GetRow(i);
    }
    // The edge axes are made only when the face axes have not separated the boxes.
    for (int k = 0; k < kAxes; ++k)
    {
        if (k >= 6)
            axes[k] = boxA.orientation.GetRow((k - 6) / 3).Cross(boxB.orientation.GetRow((k - 6) % 3));
        if (SeparatedOnAxis(axes[k], boxA, boxB, overlaps[k]))
            return PairResult();
    }

    float best = 0.0f;
    const int chosen = ChooseAxis(axes, overlaps, kAxes, best);
    if (chosen < 0)
        return PairResult();
    const math::Vector3 n = OrientFromBToA(axes[chosen], boxA.center, boxB.center);

    // Points closer than the smallest half extent are merged.
    float tol = boxA.halfExtent.x;
    for (int i = 0; i < 3; ++i)
        tol = std::min(tol, std::min(boxA.halfExtent[i], boxB.halfExtent[i]));
    std::vector<math::Vector3> clipPoints;
    if (best > -kZero)
        ClipBoxes(clipPoints, boxA, boxB, tol); // within the margin band only the main point counts

    math::Vector3 main;
    if (chosen < 3)
    {
        // A face of A: B's deepest point into A, moved back half the depth.
        BoxSupportPoint(main, boxB, -n);
        main -= n * (best / 2.0f);
    }
    else if (chosen < 6)
    {
        BoxSupportPoint(main, boxA, n);
        main += n * (best / 2.0f);
    }
    else
    {
        // Edge against edge: A's supporting edge slid onto the plane through B's edge.
        const math::Vector3 edgeA = boxA.orientation.GetRow((chosen - 6) / 3);
        const math::Vector3 edgeB = boxB.orientation.GetRow((chosen - 6) % 3);
        math::Vector3 pA;
        math::Vector3 pB;
        BoxSupportPoint(pA, boxA, n);
        BoxSupportPoint(pB, boxB, -n);
        const math::Vector3 m = n.Cross(edgeB);
        const float den = edgeA.Dot(m);
        if (std::fabs(den) < kZero)
            return PairResult();
        pA += edgeA * ((m.Dot(pB) - m.Dot(pA)) / den);
        main = pA + n * (best / 2.0f);
    }

    std::vector<Contact> contacts;
    contacts.reserve(1 + clipPoints.size());
    contacts.emplace_back(main - boxA.center, main - boxB.center, main, best);
    for (const math::Vector3& p : clipPoints)
        contacts.emplace_back(p - boxA.center, p - boxB.center, p, best);
    return PairResult(CollisionInfo::Make(&a, &b, contacts, n)); // keeps the first 10
}

PairResult BoxTriangleCollision(OBBHull& a, TriangleHull& b)
{
    const math::OBB& box = a.GetOBB();
    const math::Triangle& triangle = b.worldTriangle;
    const math::Vector3 centroid = triangle.GetCentroid();
    const math::Vector3 edges[3] = {(triangle.v1 - triangle.v0).GetNormalized(),
                                    (triangle.v2 - triangle.v1).GetNormalized(),
                                    (triangle.v0 - triangle.v2).GetNormalized()};
    constexpr int kAxes = 13;
    math::Vector3 axes[kAxes];
    float overlaps[kAxes] = {};
    axes[0] = triangle.normal;
    for (int i = 0; i < 3; ++i)
        axes[1 + i] = box.orientation.GetRow(i);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            axes[4 + 3 * i + j] = box.orientation.GetRow(i).Cross(edges[j]);
    for (int k = 0; k < kAxes; ++k)
        if (SeparatedOnAxisTriangle(axes[k], box, triangle, overlaps[k]))
            return PairResult();

    float best = 0.0f;
    const int chosen = ChooseAxis(axes, overlaps, kAxes, best);
    if (chosen < 0)
        return PairResult();
    const math::Vector3 n = OrientFromBToA(axes[chosen], box.center, centroid);

    std::vector<math::Vector3> points;
    BoxTriangleContactPoints(points, box, triangle, best + kCollisionMargin);
    if (points.empty())
        return PairResult();
    std::vector<Contact> contacts;
    contacts.reserve(points.size());
    for (const math::Vector3& p : points)
        contacts.emplace_back(p - box.center, p - centroid, p, best);
    return PairResult(CollisionInfo::Make(&a, &b, contacts, n));
}

PairResult BoxClothCollision(OBBHull&, ClothHull&)
{
    return PairResult();
}

PairResult SphereClothCollision(SphereHull&, ClothHull&)
{
    return PairResult();
}
} // namespace phy
} // namespace dorvo
