#include "common/math/Triangle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

using math::Triangle;
using math::Vector3;

namespace
{
// Independent reference: the closest point is the projection onto the plane when that lies
// inside, otherwise the nearest point of the three edges. Computed in double.
struct D3
{
    double x, y, z;
};
D3 Sub(D3 a, D3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
double Dot(D3 a, D3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
D3 Cross(D3 a, D3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
D3 ToD(const Vector3& v)
{
    return {v.x, v.y, v.z};
}
double SegmentDistanceSquared(D3 p, D3 a, D3 b)
{
    const D3 ab = Sub(b, a);
    double t = Dot(Sub(p, a), ab) / Dot(ab, ab);
    t = std::clamp(t, 0.0, 1.0);
    const D3 q{a.x + ab.x * t, a.y + ab.y * t, a.z + ab.z * t};
    return Dot(Sub(p, q), Sub(p, q));
}
double ReferenceDistanceSquared(const Triangle& tri, const Vector3& point)
{
    const D3 a = ToD(tri.v0), b = ToD(tri.v1), c = ToD(tri.v2), p = ToD(point);
    const D3 n = Cross(Sub(b, a), Sub(c, a));
    const double planeDistance = Dot(Sub(p, a), n) / std::sqrt(Dot(n, n));
    bool inside = true;
    const D3 corners[3] = {a, b, c};
    for (int i = 0; i < 3; ++i)
    {
        const D3 edge = Sub(corners[(i + 1) % 3], corners[i]);
        if (Dot(Cross(edge, Sub(p, corners[i])), n) < 0)
        {
            inside = false;
        }
    }
    if (inside)
    {
        return planeDistance * planeDistance;
    }
    return std::min(
        {SegmentDistanceSquared(p, a, b), SegmentDistanceSquared(p, b, c), SegmentDistanceSquared(p, c, a)});
}

const Triangle kUnit(Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(0, 1, 0));
} // namespace

TEST(Triangle, SquaredDistanceByRegion)
{
    // For this triangle (s, t) are simply (x, y), so the seven regions are easy to place.
    struct Case
    {
        const char* region;
        Vector3 point;
        float squared;
        float s;
        float t;
    };
    const Case cases[] = {
        {"0 inside, above the plane", Vector3(0.25f, 0.25f, 2), 4.0f, 0.25f, 0.25f},
        {"0 inside, in the plane", Vector3(0.5f, 0.25f, 0), 0.0f, 0.5f, 0.25f},
        {"1 beyond the hypotenuse", Vector3(1, 1, 0), 0.5f, 0.5f, 0.5f},
        {"1 beyond the hypotenuse, past V1", Vector3(2, 0, 0), 1.0f, 1.0f, 0.0f},
        {"1 beyond the hypotenuse, past V2", Vector3(0.2f, 1.5f, 0), 0.29f, 0.0f, 1.0f},
        {"2 beyond V2", Vector3(-0.5f, 2, 0), 1.25f, 0.0f, 1.0f},
        {"3 beyond the edge s = 0", Vector3(-1, 0.5f, 1), 2.0f, 0.0f, 0.5f},
        {"3 beyond the edge s = 0, below V0", Vector3(-1, 0, 0), 1.0f, 0.0f, 0.0f},
        {"4 beyond V0", Vector3(-1, -1, 0), 2.0f, 0.0f, 0.0f},
        {"5 beyond the edge t = 0", Vector3(0.5f, -1, 0), 1.0f, 0.5f, 0.0f},
        {"6 beyond V1", Vector3(2, -0.5f, 0), 1.25f, 1.0f, 0.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.region);
        float s = -1, t = -1;
        const float squared = kUnit.SquaredDistance(c.point, &s, &t);
        EXPECT_NEAR(squared, ReferenceDistanceSquared(kUnit, c.point), 1e-5);
        EXPECT_NEAR(squared, c.squared, 1e-5);
        EXPECT_NEAR(s, c.s, 1e-6);
        EXPECT_NEAR(t, c.t, 1e-6);
    }
}

TEST(Triangle, SquaredDistanceMatchesReferenceAroundVariedTriangles)
{
    // Obtuse, long and tilted triangles reach the edge branches of regions 2 and 6 that a
    // right triangle never does. Every answer must match the reference and its own (s, t).
    const Triangle triangles[] = {
        kUnit,
        Triangle(Vector3(0, 0, 0), Vector3(4, 0, 0), Vector3(2, 0.5f, 0)),
        Triangle(Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(-3, 1, 0)),
        Triangle(Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(4, 1, 0)),
        Triangle(Vector3(1, 2, 3), Vector3(-2, 0.5f, 4), Vector3(0, -1, -2)),
    };
    int checked = 0;
    for (const Triangle& tri : triangles)
    {
        for (float x = -4; x <= 5; x += 0.75f)
        {
            for (float y = -3; y <= 4; y += 0.75f)
            {
                for (float z : {-1.5f, 0.0f, 2.0f})
                {
                    const Vector3 p(x, y, z);
                    float s = -1, t = -1;
                    const float squared = tri.SquaredDistance(p, &s, &t);
                    const double reference = ReferenceDistanceSquared(tri, p);
                    ASSERT_NEAR(squared, reference, 1e-4 * (1 + reference)) << x << " " << y << " " << z;
                    ASSERT_GE(s, 0.0f);
                    ASSERT_GE(t, 0.0f);
                    ASSERT_LE(s + t, 1.0f + 1e-6f);
                    const Vector3 closest = tri.PointAt(s, t);
                    ASSERT_NEAR((closest - p).LengthSquared(), squared, 1e-4 * (1 + reference));
                    ++checked;
                }
            }
        }
    }
    EXPECT_GT(checked, 0);
}

TEST(Triangle, SquaredDistanceOfDegenerateTriangleIsInfinite)
{
    const Triangle degenerate[] = {
        Triangle(Vector3(1, 1, 1), Vector3(1, 1, 1), Vector3(1, 1, 1)),
        Triangle(Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(2, 0, 0)), // collinear
    };
    for (const Triangle& tri : degenerate)
    {
        float s = 7, t = 8;
        EXPECT_EQ(tri.SquaredDistance(Vector3(0, 5, 0), &s, &t), std::numeric_limits<float>::infinity());
        EXPECT_EQ(s, 7.0f);
        EXPECT_EQ(t, 8.0f);
        EXPECT_EQ(tri.normal, Vector3(0, 0, 0));
    }
    // The parameters are optional.
    EXPECT_FLOAT_EQ(kUnit.SquaredDistance(Vector3(0.25f, 0.25f, 2), nullptr, nullptr), 4.0f);
}

TEST(Triangle, ContainsPointIgnoresOffsetAlongNormal)
{
    EXPECT_EQ(kUnit.normal, Vector3(0, 0, 1));
    struct Case
    {
        Vector3 point;
        bool inside;
    };
    const Case cases[] = {
        {Vector3(0.5f, 0.5f, 7), true},                             // on the hypotenuse, off the plane
        {Vector3(0.6f, 0.6f, 0), false},                            // beyond the hypotenuse
        {Vector3(0.2f, 0.2f, -3), true},  {Vector3(0, 0, 0), true}, // a vertex
        {Vector3(0.5f, 0, 0), true},                                // on an edge
        {Vector3(-0.1f, 0.5f, 0), false}, {Vector3(0.5f, -0.1f, 0), false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.point.x << " " << c.point.y << " " << c.point.z);
        EXPECT_EQ(kUnit.ContainsPoint(c.point), c.inside);
    }
}

TEST(Triangle, NormalFollowsCornerOrderAndSetRecomputesIt)
{
    Triangle tri(Vector3(0, 0, 0), Vector3(0, 2, 0), Vector3(3, 0, 0)); // clockwise from +z
    EXPECT_EQ(tri.normal, Vector3(0, 0, -1));
    tri.Set(Vector3(0, 0, 0), Vector3(0, 0, 5), Vector3(0, 5, 0));
    EXPECT_EQ(tri.v1, Vector3(0, 0, 5));
    EXPECT_EQ(tri.normal, Vector3(-1, 0, 0));
    tri.v2 = Vector3(5, 0, 0);
    tri.ComputeNormal();
    EXPECT_EQ(tri.normal, Vector3(0, 1, 0));
}

TEST(Triangle, IndexTableBelongsToEachCopy)
{
    Triangle source(Vector3(1, 0, 0), Vector3(0, 1, 0), Vector3(0, 0, 1));
    Triangle copy(source);
    Triangle assigned;
    assigned = source;
    copy[0] = Vector3(9, 9, 9);
    assigned[2].z = 5;
    EXPECT_EQ(source.v0, Vector3(1, 0, 0));
    EXPECT_EQ(source.v2, Vector3(0, 0, 1));
    EXPECT_EQ(copy.v0, Vector3(9, 9, 9));
    EXPECT_EQ(assigned.v2, Vector3(0, 0, 5));
    EXPECT_EQ(&copy[1], &copy.v1);
    EXPECT_EQ(copy.normal, source.normal);

    const Triangle empty;
    EXPECT_EQ(&empty[2], &empty.v2);
    EXPECT_EQ(empty.v1, Vector3(0, 0, 0));
    EXPECT_EQ(empty.normal, Vector3(0, 0, 0));
}

TEST(Triangle, ProjectionPointAtAndCentroid)
{
    const Triangle tri(Vector3(1, 2, 3), Vector3(-2, 0, 4), Vector3(0, 5, -1));
    float min = 0, max = 0;
    tri.ProjectOntoAxis(min, max, Vector3(1, 0, 0));
    EXPECT_FLOAT_EQ(min, -2.0f);
    EXPECT_FLOAT_EQ(max, 1.0f);
    tri.ProjectOntoAxis(min, max, Vector3(0, 1, 1));
    EXPECT_FLOAT_EQ(min, 4.0f);
    EXPECT_FLOAT_EQ(max, 5.0f);

    EXPECT_EQ(tri.PointAt(0, 0), tri.v0);
    EXPECT_EQ(tri.PointAt(1, 0), tri.v1);
    EXPECT_EQ(tri.PointAt(0, 1), tri.v2);
    const Vector3 mid = tri.PointAt(0.5f, 0.5f);
    EXPECT_FLOAT_EQ(mid.x, -1.0f);
    EXPECT_FLOAT_EQ(mid.y, 2.5f);
    EXPECT_FLOAT_EQ(mid.z, 1.5f);
    const Vector3 centroid = tri.GetCentroid();
    EXPECT_FLOAT_EQ(centroid.x, -1.0f / 3.0f);
    EXPECT_FLOAT_EQ(centroid.y, 7.0f / 3.0f);
    EXPECT_FLOAT_EQ(centroid.z, 2.0f);
}
