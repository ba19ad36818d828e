#include "engine/phy/BoxPairTests.h"

#include "common/Assert.h"
#include "common/math/Matrix3.h"
#include "common/math/OBB.h"
#include "common/math/Triangle.h"
#include "common/math/Vector3.h"
#include "engine/phy/BoxPairMemo.h"
#include "engine/phy/ClothHull.h"
#include "engine/phy/CollisionInfo.h"
#include "engine/phy/Float3.h"
#include "engine/phy/OBBHull.h"
#include "engine/phy/PlaneHull.h"
#include "engine/phy/SphereHull.h"
#include "engine/phy/TriangleHull.h"

#include <algorithm>
#include <cmath>
#include <cstring>
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

// The tests compute on plain floats (Float3) with the library's own operations in the same
// order, on the stack: a box as its axes (the orientation's rows), half extents and centre.
using Box = BoxPairMemo::Box;

// Bitwise, so that a box whose numbers match gives the very same results. Only floats, packed: a
// padding byte would be compared too and make the answer depend on what the stack held before.
static_assert(sizeof(Box) == 15 * sizeof(float), "BoxPairMemo::Box must hold its 15 floats and nothing else");
bool SameBox(const Box& a, const Box& b)
{
    return std::memcmp(&a, &b, sizeof(Box)) == 0;
}

Box Load(const math::OBB& obb)
{
    const float* m = obb.orientation.m;
    Box box;
    for (int i = 0; i < 3; ++i)
    {
        box.axis[i] = Float3{m[3 * i], m[3 * i + 1], m[3 * i + 2]};
        box.e[i] = obb.halfExtent.v[i];
    }
    box.centre = F3(obb.center);
    return box;
}

// math::OBB::ProjectOntoAxis; the centre's projection, which it is formed from, is answered.
float Project(const Box& box, const Float3& axis, float& min, float& max)
{
    const float reach = std::fabs(Dot(box.axis[0], axis)) * box.e[0] +
                        std::fabs(Dot(box.axis[1], axis)) * box.e[1] +
                        std::fabs(Dot(box.axis[2], axis)) * box.e[2];
    const float c = Dot(box.centre, axis);
    min = c - reach;
    max = c + reach;
    return c;
}

// math::Triangle::ProjectOntoAxis.
void Project(const Float3* vertices, const Float3& axis, float& min, float& max)
{
    const float a = Dot(vertices[0], axis);
    const float b = Dot(vertices[1], axis);
    const float c = Dot(vertices[2], axis);
    min = std::min(a, std::min(b, c));
    max = std::max(a, std::max(b, c));
}

// math::OBB::GetCorners: corner k takes +axis 0 for bit 4, +axis 1 for bit 2, +axis 2 for bit 1.
void Corners(const Box& box, Float3* corners)
{
    const Float3 axes[3] = {box.axis[0] * box.e[0], box.axis[1] * box.e[1], box.axis[2] * box.e[2]};
    for (int k = 0; k < 8; ++k)
    {
        Float3 corner = box.centre;
        corner = corner + ((k & 4) ? axes[0] : -axes[0]);
        corner = corner + ((k & 2) ? axes[1] : -axes[1]);
        corner = corner + ((k & 1) ? axes[2] : -axes[2]);
        corners[k] = corner;
    }
}

// A point in the box's frame back in the world: the orientation applied, then the centre.
Float3 ToWorld(const Box& box, const Float3& q)
{
    return Float3{q.x * box.axis[0].x + q.y * box.axis[1].x + q.z * box.axis[2].x,
                  q.x * box.axis[0].y + q.y * box.axis[1].y + q.z * box.axis[2].y,
                  q.x * box.axis[0].z + q.y * box.axis[1].z + q.z * box.axis[2].z} +
           box.centre;
}

// A world direction in the box's frame: the transposed orientation applied.
Float3 ToLocal(const Box& box, const Float3& v)
{
    return Float3{Dot(v, box.axis[0]), Dot(v, box.axis[1]), Dot(v, box.axis[2])};
}

// A point list on the stack, for the clipping and the box-triangle points, whose bounds the
// algorithms fix (see their callers).
template <std::size_t N> struct Points
{
    Float3 point[N];
    std::size_t count = 0;

    std::size_t size() const { return count; }
    void push_back(const Float3& p)
    {
        if (DORVO_ASSERT(count < N, "BoxPairTests: more contact points than the clipping can make"))
            point[count++] = p;
    }
};

Float3 Get(const Float3& p)
{
    return p;
}
Float3 Get(const math::Vector3& p)
{
    return F3(p);
}
void Put(Float3& to, const Float3& p)
{
    to = p;
}
void Put(math::Vector3& to, const Float3& p)
{
    to.Set(p.x, p.y, p.z);
}
template <std::size_t N> Float3& Element(Points<N>& points, std::size_t i)
{
    return points.point[i];
}
math::Vector3& Element(std::vector<math::Vector3>& points, std::size_t i)
{
    return points[i];
}
template <std::size_t N> void Append(Points<N>& points, const Float3& p)
{
    points.push_back(p);
}
void Append(std::vector<math::Vector3>& points, const Float3& p)
{
    points.push_back(ToVector3(p));
}

// AddContactPoint on either kind of list.
template <class List> bool AddPoint(List& points, const Float3& point, float squaredMerge)
{
    for (std::size_t i = 0; i < points.size(); ++i)
    {
        const Float3 existing = Get(Element(points, i));
        if (LengthSquared(existing - point) < squaredMerge)
        {
            Put(Element(points, i), (existing + point) * 0.5f);
            return false;
        }
    }
    Append(points, point);
    return true;
}

// Hands every point where the edge p0-p1 (in the box's frame) crosses a face of the box inside
// it, back in the world, to `take`; after the second the edge stops.
template <class Take> void ClipEdge(const Float3& from, const Float3& to, const Box& box, Take&& take)
{
    const float p0[3] = {from.x, from.y, from.z};
    const float p1[3] = {to.x, to.y, to.z};
    const float* e = box.e;
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
            const float s = 1.0f - t;
            const float q[3] = {p0[0] * s + p1[0] * t, p0[1] * s + p1[1] * t, p0[2] * s + p1[2] * t};
            bool inside = true;
            for (int u = 0; u < 3 && inside; ++u)
                if (u != k)
                    inside = -(e[u] + kZero) < q[u] && q[u] < e[u] + kZero;
            if (!inside)
                continue;
            take(ToWorld(box, Float3{q[0], q[1], q[2]}));
            if (++counted >= 2)
                return;
        }
    }
}

// Each pass stops once the list holds 8 points and an edge adds at most 2: the first ends with
// at most 9, the second adds at most 2 more.
constexpr std::size_t kClipCapacity = 12;

// The other box in this box's frame (centre offset and axes turned by the transpose of this
// box's orientation, the same half extents).
Box InFrameOf(const Box& self, const Box& other)
{
    Box local;
    local.centre = ToLocal(self, other.centre - self.centre);
    for (int i = 0; i < 3; ++i)
    {
        local.axis[i] = ToLocal(self, other.axis[i]);
        local.e[i] = other.e[i];
    }
    return local;
}

// One clipping pass: the edges of the other box (turned into this box's frame, unless it is
// given there already) clipped against this box, each crossing merged into the list, stopping
// once the list holds 8 points. The crossings of the edges `known` has come from there (they do
// not depend on the list), and the others, when `keep` is given, go there.
template <class List>
void ClipPass(List& points, const Box& self, const Box& other, bool otherInFrame, float tol,
              const BoxPairMemo::Crossings* known, BoxPairMemo::Crossings* keep)
{
    Float3 corners[8];
    bool cornered = false;
    const int knownEdges = known != nullptr ? known->edges : 0;
    for (int e = 0; e < 12; ++e)
    {
        if (e < knownEdges)
            for (int i = 0; i < known->count[e]; ++i)
                AddPoint(points, known->point[e][i], tol * tol);
        else
        {
            if (!cornered)
            {
                Corners(otherInFrame ? other : InFrameOf(self, other), corners);
                cornered = true;
            }
            unsigned char count = 0;
            Float3 crossed[2] = {};
            ClipEdge(corners[kBoxEdges[e][0]], corners[kBoxEdges[e][1]], self,
                     [&](const Float3& p)
                     {
                         crossed[count++] = p;
                         AddPoint(points, p, tol * tol);
                     });
            if (keep != nullptr)
            {
                keep->point[e][0] = crossed[0];
                keep->point[e][1] = crossed[1];
                keep->count[e] = count;
                keep->edges = e + 1;
            }
        }
        if (points.size() >= kMaxClipPoints)
            return;
    }
}

template <class List> void ClipEdges(List& points, const Box& self, const Box& otherLocal, float tol)
{
    ClipPass(points, self, otherLocal, true, tol, nullptr, nullptr);
}

// B's edges against A, then A's against B, with what the other order (or this one) keeps.
template <class List>
void Clip(List& points, const Box& a, const Box& b, float tol,
          const BoxPairMemo::Crossings* knownBA = nullptr, const BoxPairMemo::Crossings* knownAB = nullptr,
          BoxPairMemo::Crossings* keepBA = nullptr, BoxPairMemo::Crossings* keepAB = nullptr)
{
    ClipPass(points, a, b, false, tol, knownBA, keepBA);
    ClipPass(points, b, a, false, tol, knownAB, keepAB);
}

Float3 Support(const Box& box, const Float3& direction)
{
    Float3 point = box.centre;
    for (int i = 0; i < 3; ++i)
    {
        const float along = Dot(box.axis[i], direction);
        if (along < -kSupportSlack)
            point = point + box.axis[i] * box.e[i];
        else if (along > kSupportSlack)
            point = point - box.axis[i] * box.e[i];
    }
    return point;
}

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

bool Separated(const Float3& axis, const Box& a, const Box& b, float& overlap)
{
    float minA = 0.0f;
    float maxA = 0.0f;
    float minB = 0.0f;
    float maxB = 0.0f;
    Project(a, axis, minA, maxA);
    Project(b, axis, minB, maxB);
    return SeparatedIntervals(minA, maxA, minB, maxB, overlap);
}

bool Separated(const Float3& axis, const Box& box, const Float3* triangle, float& overlap)
{
    float minA = 0.0f;
    float maxA = 0.0f;
    float minB = 0.0f;
    float maxB = 0.0f;
    Project(box, axis, minA, maxA);
    Project(triangle, axis, minB, maxB);
    return SeparatedIntervals(minA, maxA, minB, maxB, overlap);
}

// Normalises every usable axis in place (its overlap with it) and picks the smallest overlap;
// ties keep the earlier axis. -1 when every axis was too short to use.
int ChooseAxis(Float3* axes, float* overlaps, int count, float& best)
{
    best = std::numeric_limits<float>::infinity();
    int chosen = -1;
    for (int k = 0; k < count; ++k)
    {
        const float squared = LengthSquared(axes[k]);
        if (squared < kZero)
            continue; // the cross product of parallel edges
        const float length = std::sqrt(squared);
        axes[k] = axes[k] / length;
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
Float3 OrientFromBToA(const Float3& axis, const Float3& cA, const Float3& cB)
{
    return Dot(cB - cA, axis) > 0.0f ? -axis : axis;
}

// The projections of this order's axis k (this order's A is the other order's second box) from
// what the other order kept. A face axis is the same vector in both orders. An edge axis
// B_i x A_j is the other order's A_j x B_i negated to the bit, and so are the centre's projection
// and the interval's ends, swapped: rounding to nearest is symmetric. Only a zero keeps no sign
// under negation; a projection with one is taken afresh.
bool MirroredProjections(const BoxPairMemo::Overlap& other, int k, float& minA, float& maxA, float& minB,
                         float& maxB)
{
    const BoxPairMemo::Projections& p = other.projections;
    if (k < 6)
    {
        const int index = k < 3 ? 3 + k : k - 3;
        minA = p.min[1][index];
        maxA = p.max[1][index];
        minB = p.min[0][index];
        maxB = p.max[0][index];
        return true;
    }
    const int index = 6 + 3 * ((k - 6) % 3) + (k - 6) / 3;
    for (int side = 0; side < 2; ++side)
        if (p.min[side][index] == 0.0f || p.max[side][index] == 0.0f || p.centre[side][index] == 0.0f)
            return false;
    minA = -p.max[1][index];
    maxA = -p.min[1][index];
    minB = -p.max[0][index];
    maxB = -p.min[0][index];
    return true;
}

// Whether two boxes lie so far apart that one of A's face axes must separate them. Along A's
// unit axes the squared offsets add up to the squared distance d^2 of the centres, so one of
// them is at least d / sqrt(3); along any unit axis A reaches at most its half extent and B at
// most its radius. Past sqrt(3) (RA + RB + margin) that face axis therefore separates the boxes,
// and the full test would answer nothing too. The slack is far beyond float rounding, so the
// answer is the full test's for every pair: this only spares the work for distant ones.
bool FarApart(const Box& a, const Box& b)
{
    constexpr float kSlack = 0.01f;
    const float reach = Length(Float3{a.e[0], a.e[1], a.e[2]}) + Length(Float3{b.e[0], b.e[1], b.e[2]}) +
                        kCollisionMargin + kSlack;
    return LengthSquared(a.centre - b.centre) > 3.01f * reach * reach;
}

bool SegmentCrossesTriangle(const Float3& p0, const Float3& p1, const Float3* v, Float3* point)
{
    const Float3 dir = p1 - p0;
    const Float3 e1 = v[1] - v[0];
    const Float3 e2 = v[2] - v[0];
    const Float3 p = Cross(dir, e2);
    const float det = Dot(e1, p);
    if (math::IsZero(det))
        return false; // parallel to the triangle's plane, or a degenerate triangle
    const Float3 toStart = p0 - v[0];
    const float u = Dot(toStart, p) / det;
    if (u < 0.0f || u > 1.0f)
        return false;
    const Float3 q = Cross(toStart, e1);
    const float w = Dot(dir, q) / det;
    if (w < 0.0f || u + w > 1.0f)
        return false;
    const float t = Dot(e2, q) / det;
    if (t < 0.0f || t > 1.0f)
        return false;
    if (point != nullptr)
        *point = p0 + dir * t;
    return true;
}

template <class List>
void TrianglePoints(List& points, const math::OBB& obb, const Box& box, const math::Triangle& triangle,
                    const Float3* vertices, float mergeDistance)
{
    const float squaredMerge = mergeDistance * mergeDistance;
    Float3 corners[8];
    Corners(box, corners);
    for (const auto& edge : kBoxEdges)
    {
        Float3 crossing;
        if (SegmentCrossesTriangle(corners[edge[0]], corners[edge[1]], vertices, &crossing))
            AddPoint(points, crossing, squaredMerge);
    }
    // Each triangle edge from both ends: the entry point seen from each.
    for (int k = 0; k < 3; ++k)
    {
        const math::Vector3& from = triangle[k];
        const math::Vector3& to = triangle[(k + 1) % 3];
        math::Vector3 hit;
        if (obb.IntersectSegment(from, to, &hit, nullptr))
            AddPoint(points, F3(hit), squaredMerge);
        if (obb.IntersectSegment(to, from, &hit, nullptr))
            AddPoint(points, F3(hit), squaredMerge);
    }
}

// 12 box edges with a crossing each and 3 triangle edges with two entries each.
constexpr std::size_t kTriangleCapacity = 18;

// Contact(point - A's centre, point - B's centre, point, depth).
void AddContact(CollisionInfo& info, const Float3& point, const Float3& centreA, const Float3& centreB,
                float depth)
{
    info.AddContact(ToVector3(point - centreA), ToVector3(point - centreB), ToVector3(point), depth);
}
} // namespace

bool SeparatedOnAxis(const math::Vector3& axis, const math::OBB& a, const math::OBB& b, float& overlap)
{
    return Separated(F3(axis), Load(a), Load(b), overlap);
}

bool SeparatedOnAxisTriangle(const math::Vector3& axis, const math::OBB& box, const math::Triangle& triangle,
                             float& overlap)
{
    const Float3 vertices[3] = {F3(triangle.v0), F3(triangle.v1), F3(triangle.v2)};
    return Separated(F3(axis), Load(box), vertices, overlap);
}

void BoxSupportPoint(math::Vector3& point, const math::OBB& box, const math::Vector3& direction)
{
    point = ToVector3(Support(Load(box), F3(direction)));
}

bool AddContactPoint(std::vector<math::Vector3>& points, const math::Vector3& point, float squaredMerge)
{
    return AddPoint(points, F3(point), squaredMerge);
}

void ClipEdgeAgainstBox(const math::Vector3& p0, const math::Vector3& p1, const math::Vector3& e,
                        const math::Matrix3& orientation, const math::Vector3& centre, float tol,
                        std::vector<math::Vector3>& points)
{
    ClipEdge(F3(p0), F3(p1), Load(math::OBB(centre, orientation, e)),
             [&points, tol](const Float3& p) { AddPoint(points, p, tol * tol); });
}

void ClipBoxEdges(std::vector<math::Vector3>& points, const math::OBB& thisBox, const math::OBB& otherLocal,
                  float tol)
{
    ClipEdges(points, Load(thisBox), Load(otherLocal), tol);
}

void ClipBoxes(std::vector<math::Vector3>& points, const math::OBB& a, const math::OBB& b, float tol)
{
    Clip(points, Load(a), Load(b), tol);
}

bool SegmentTriangleIntersect(const math::Vector3& p0, const math::Vector3& p1,
                              const math::Triangle& triangle, math::Vector3* point)
{
    const Float3 vertices[3] = {F3(triangle.v0), F3(triangle.v1), F3(triangle.v2)};
    Float3 crossing;
    if (!SegmentCrossesTriangle(F3(p0), F3(p1), vertices, &crossing))
        return false;
    if (point != nullptr)
        *point = ToVector3(crossing);
    return true;
}

void BoxTriangleContactPoints(std::vector<math::Vector3>& points, const math::OBB& box,
                              const math::Triangle& triangle, float mergeDistance)
{
    const Float3 vertices[3] = {F3(triangle.v0), F3(triangle.v1), F3(triangle.v2)};
    TrianglePoints(points, box, Load(box), triangle, vertices, mergeDistance);
}

PairResult BoxPlaneCollision(OBBHull& a, PlaneHull& b)
{
    const math::OBB& obb = a.GetOBB();
    const math::Plane& plane = b.plane;
    // No test on the far side: the plane is a solid half-space.
    if (plane.SignedDistance(obb.center) > obb.GetRadius() + kCollisionMargin)
        return PairResult();
    const Box box = Load(obb);
    Float3 corners[8];
    Corners(box, corners);
    const Float3 normal = F3(plane.normal);
    // The corners within the margin, shallowest first, corner order among equal depths
    // (ContactDepthLess, inserted stably).
    float depths[8];
    int order[8];
    int count = 0;
    for (int k = 0; k < 8; ++k)
    {
        // math::Plane::SignedDistance: n.p + d.
        const float depth = -(Dot(normal, corners[k]) + plane.d);
        if (!(depth > -kCollisionMargin))
            continue;
        int at = count;
        while (at > 0 && depth < depths[order[at - 1]])
        {
            order[at] = order[at - 1];
            --at;
        }
        depths[k] = depth;
        order[at] = k;
        ++count;
    }
    if (count == 0)
        return PairResult();
    CollisionInfo* info = CollisionInfo::Make(&a, &b, plane.normal);
    for (int i = 0; i < count; ++i)
        AddContact(*info, corners[order[i]], box.centre, box.centre, depths[order[i]]);
    return PairResult(info);
}

PairResult BoxBoxCollision(OBBHull& a, OBBHull& b)
{
    return BoxBoxCollision(a, b, nullptr, false);
}

PairResult BoxBoxCollision(OBBHull& a, OBBHull& b, BoxPairMemo* memo, bool mirrorFollows)
{
    const Box boxA = Load(a.GetOBB());
    const Box boxB = Load(b.GetOBB());
    // The same pair tested the other way round in this pass, as long as the boxes are the same.
    const BoxPairMemo::Entry* mirror = memo != nullptr ? memo->Find(&b, &a) : nullptr;
    if (mirror != nullptr && !(SameBox(mirror->firstBox, boxB) && SameBox(mirror->secondBox, boxA)))
        mirror = nullptr;
    if (mirror != nullptr && mirror->faceSeparated)
        return PairResult();
    const BoxPairMemo::Overlap* mirrored = mirror != nullptr ? memo->GetOverlap(*mirror) : nullptr;
    if (FarApart(boxA, boxB))
        return PairResult();
    // Kept for the other order only when that test is still to come.
    const bool keep = memo != nullptr && mirrorFollows && mirror == nullptr;
    BoxPairMemo::Projections projections;

    constexpr int kAxes = BoxPairMemo::kAxes;
    Float3 axes[kAxes];
    float overlaps[kAxes] = {};
    for (int i = 0; i < 3; ++i)
    {
        axes[i] = boxA.axis[i];
        axes[3 + i] = boxB.axis[i];
    }
    // The edge axes are made only when the face axes have not separated the boxes.
    for (int k = 0; k < kAxes; ++k)
    {
        if (k >= 6)
            axes[k] = Cross(boxA.axis[(k - 6) / 3], boxB.axis[(k - 6) % 3]);
        float minA = 0.0f;
        float maxA = 0.0f;
        float minB = 0.0f;
        float maxB = 0.0f;
        if (mirrored == nullptr || !MirroredProjections(*mirrored, k, minA, maxA, minB, maxB))
        {
            const float centreA = Project(boxA, axes[k], minA, maxA);
            const float centreB = Project(boxB, axes[k], minB, maxB);
            if (keep)
            {
                projections.min[0][k] = minA;
                projections.max[0][k] = maxA;
                projections.centre[0][k] = centreA;
                projections.min[1][k] = minB;
                projections.max[1][k] = maxB;
                projections.centre[1][k] = centreB;
            }
        }
        if (SeparatedIntervals(minA, maxA, minB, maxB, overlaps[k]))
        {
            if (keep && k < 6)
            {
                BoxPairMemo::Entry& entry = memo->Add(&a, &b);
                entry.firstBox = boxA;
                entry.secondBox = boxB;
                entry.faceSeparated = true;
            }
            return PairResult();
        }
    }
    BoxPairMemo::Overlap* kept = nullptr;
    if (keep)
    {
        BoxPairMemo::Entry& entry = memo->Add(&a, &b);
        entry.firstBox = boxA;
        entry.secondBox = boxB;
        kept = &memo->AddOverlap(entry);
        kept->projections = projections;
    }

    float best = 0.0f;
    const int chosen = ChooseAxis(axes, overlaps, kAxes, best);
    if (chosen < 0)
        return PairResult();
    const Float3 n = OrientFromBToA(axes[chosen], boxA.centre, boxB.centre);

    // Points closer than the smallest half extent are merged.
    float tol = boxA.e[0];
    for (int i = 0; i < 3; ++i)
        tol = std::min(tol, std::min(boxA.e[i], boxB.e[i]));
    Points<kClipCapacity> clipPoints;
    if (best > -kZero) // within the margin band only the main point counts
    {
        if (mirrored != nullptr)
        {
            // This order clips B's edges against A first: the other order's second pass.
            Clip(clipPoints, boxA, boxB, tol, &mirrored->crossings[1], &mirrored->crossings[0]);
        }
        else if (kept != nullptr)
            Clip(clipPoints, boxA, boxB, tol, nullptr, nullptr, &kept->crossings[0], &kept->crossings[1]);
        else
            Clip(clipPoints, boxA, boxB, tol);
    }

    Float3 main;
    if (chosen < 3)
    {
        // A face of A: B's deepest point into A, moved back half the depth.
        main = Support(boxB, -n);
        main = main - n * (best / 2.0f);
    }
    else if (chosen < 6)
    {
        main = Support(boxA, n);
        main = main + n * (best / 2.0f);
    }
    else
    {
        // Edge against edge: A's supporting edge slid onto the plane through B's edge.
        const Float3 edgeA = boxA.axis[(chosen - 6) / 3];
        const Float3 edgeB = boxB.axis[(chosen - 6) % 3];
        Float3 pA = Support(boxA, n);
        const Float3 pB = Support(boxB, -n);
        const Float3 m = Cross(n, edgeB);
        const float den = Dot(edgeA, m);
        if (std::fabs(den) < kZero)
            return PairResult();
        pA = pA + edgeA * ((Dot(m, pB) - Dot(m, pA)) / den);
        main = pA + n * (best / 2.0f);
    }

    CollisionInfo* info = CollisionInfo::Make(&a, &b, ToVector3(n));
    AddContact(*info, main, boxA.centre, boxB.centre, best);
    for (std::size_t i = 0; i < clipPoints.size(); ++i) // the info keeps the first 10
        AddContact(*info, clipPoints.point[i], boxA.centre, boxB.centre, best);
    return PairResult(info);
}

PairResult BoxTriangleCollision(OBBHull& a, TriangleHull& b)
{
    const math::OBB& obb = a.GetOBB();
    const Box box = Load(obb);
    const math::Triangle& triangle = b.worldTriangle;
    const Float3 vertices[3] = {F3(triangle.v0), F3(triangle.v1), F3(triangle.v2)};
    const Float3 centroid = F3(triangle.GetCentroid());
    const Float3 edges[3] = {Normalized(vertices[1] - vertices[0]), Normalized(vertices[2] - vertices[1]),
                             Normalized(vertices[0] - vertices[2])};
    constexpr int kAxes = 13;
    Float3 axes[kAxes];
    float overlaps[kAxes] = {};
    axes[0] = F3(triangle.normal);
    for (int i = 0; i < 3; ++i)
        axes[1 + i] = box.axis[i];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            axes[4 + 3 * i + j] = Cross(box.axis[i], edges[j]);
    for (int k = 0; k < kAxes; ++k)
        if (Separated(axes[k], box, vertices, overlaps[k]))
            return PairResult();

    float best = 0.0f;
    const int chosen = ChooseAxis(axes, overlaps, kAxes, best);
    if (chosen < 0)
        return PairResult();
    const Float3 n = OrientFromBToA(axes[chosen], box.centre, centroid);

    Points<kTriangleCapacity> points;
    TrianglePoints(points, obb, box, triangle, vertices, best + kCollisionMargin);
    if (points.size() == 0)
        return PairResult();
    CollisionInfo* info = CollisionInfo::Make(&a, &b, ToVector3(n));
    for (std::size_t i = 0; i < points.size(); ++i)
        AddContact(*info, points.point[i], box.centre, centroid, best);
    return PairResult(info);
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
