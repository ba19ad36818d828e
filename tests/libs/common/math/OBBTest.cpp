#include "common/math/OBB.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using math::Matrix3;
using math::OBB;
using math::Vector3;

namespace
{
const OBB kUnitBox(Vector3(0, 0, 0), Matrix3(), Vector3(1, 1, 1));

// Turned 90 degrees about z: local x points along world y, local y along world -x.
Matrix3 QuarterTurnAboutZ()
{
    return Matrix3(Vector3(0, 1, 0), Vector3(-1, 0, 0), Vector3(0, 0, 1));
}

void ExpectNear(const Vector3& actual, const Vector3& expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}
} // namespace

TEST(OBB, DefaultBoxHasZeroOrientation)
{
    OBB box;
    for (int i = 0; i < 9; ++i)
    {
        EXPECT_EQ(box.orientation.m[i], 0.0f);
    }
    box.center = Vector3(1, 2, 3);
    box.halfExtent = Vector3(5, 5, 5);
    float min = 0, max = 0;
    box.ProjectOntoAxis(min, max, Vector3(0, 1, 1));
    EXPECT_FLOAT_EQ(min, 5.0f);
    EXPECT_FLOAT_EQ(max, 5.0f);
    std::vector<Vector3> corners;
    box.GetCorners(corners);
    ASSERT_EQ(corners.size(), 8u);
    for (const Vector3& corner : corners)
    {
        EXPECT_EQ(corner, box.center);
    }
}

TEST(OBB, CornersInBitOrder)
{
    std::vector<Vector3> corners(3); // replaced, not appended to
    kUnitBox.GetCorners(corners);
    const Vector3 expected[8] = {Vector3(-1, -1, -1), Vector3(-1, -1, 1), Vector3(-1, 1, -1),
                                 Vector3(-1, 1, 1),   Vector3(1, -1, -1), Vector3(1, -1, 1),
                                 Vector3(1, 1, -1),   Vector3(1, 1, 1)};
    ASSERT_EQ(corners.size(), 8u);
    for (int k = 0; k < 8; ++k)
    {
        SCOPED_TRACE(k);
        EXPECT_EQ(corners[k], expected[k]);
    }

    // Signs follow the box's own axes: corner 4 is +x local, which is +y world after the turn.
    const OBB turned(Vector3(10, 0, 0), QuarterTurnAboutZ(), Vector3(1, 2, 3));
    turned.GetCorners(corners);
    ASSERT_EQ(corners.size(), 8u);
    ExpectNear(corners[0], Vector3(10 + 2, -1, -3));
    ExpectNear(corners[4], Vector3(10 + 2, 1, -3));
    ExpectNear(corners[7], Vector3(10 - 2, 1, 3));
}

TEST(OBB, RadiusAndProjection)
{
    const OBB box(Vector3(1, 0, 0), QuarterTurnAboutZ(), Vector3(1, 2, 2));
    EXPECT_FLOAT_EQ(box.GetRadius(), 3.0f);
    float min = 0, max = 0;
    box.ProjectOntoAxis(min, max, Vector3(1, 0, 0)); // world x sees the local y half extent
    EXPECT_FLOAT_EQ(min, -1.0f);
    EXPECT_FLOAT_EQ(max, 3.0f);
    box.ProjectOntoAxis(min, max, Vector3(0, 2, 0)); // in units of the axis's length
    EXPECT_FLOAT_EQ(min, -2.0f);
    EXPECT_FLOAT_EQ(max, 2.0f);

    const float c = std::sqrt(0.5f);
    const OBB diamond(Vector3(0, 0, 0), Matrix3(Vector3(c, c, 0), Vector3(-c, c, 0), Vector3(0, 0, 1)),
                      Vector3(1, 1, 1));
    diamond.ProjectOntoAxis(min, max, Vector3(1, 0, 0));
    EXPECT_NEAR(max, 2 * c, 1e-6f);
    EXPECT_NEAR(min, -2 * c, 1e-6f);
}

TEST(OBB, SquaredDistanceAndClosestPoint)
{
    const OBB box(Vector3(0, 0, 5), QuarterTurnAboutZ(), Vector3(1, 2, 3));
    struct Case
    {
        const char* what;
        Vector3 point;
        float squared;
        Vector3 closest;
    };
    const Case cases[] = {
        {"inside", Vector3(0.5f, 0.5f, 5), 0.0f, Vector3(0.5f, 0.5f, 5)},
        {"on a face", Vector3(2, 0, 5), 0.0f, Vector3(2, 0, 5)},
        {"beyond the local x face (world +y)", Vector3(0, 4, 6), 9.0f, Vector3(0, 1, 6)},
        {"beyond the local y face (world -x)", Vector3(-5, 0, 5), 9.0f, Vector3(-2, 0, 5)},
        {"beyond an edge", Vector3(3, 2, 5), 2.0f, Vector3(2, 1, 5)},
        {"beyond a corner", Vector3(3, 2, 10), 6.0f, Vector3(2, 1, 8)},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        Vector3 closest;
        EXPECT_NEAR(box.SquaredDistance(c.point, closest), c.squared, 1e-5f);
        ExpectNear(closest, c.closest);
        EXPECT_NEAR(box.Distance(c.point, closest), std::sqrt(c.squared), 1e-5f);
    }
}

TEST(OBB, IntersectSegmentTable)
{
    struct Case
    {
        const char* what;
        Vector3 p0;
        Vector3 p1;
        bool hits;
        Vector3 hit;
        Vector3 normal;
    };
    const Case cases[] = {
        {"through the box along x", Vector3(-3, 0, 0), Vector3(3, 0, 0), true, Vector3(-1, 0, 0),
         Vector3(-1, 0, 0)},
        {"through the box backwards", Vector3(3, 0.5f, 0), Vector3(-3, 0.5f, 0), true, Vector3(1, 0.5f, 0),
         Vector3(1, 0, 0)},
        {"down onto the top face", Vector3(0.5f, 5, 0), Vector3(0.5f, -5, 0), true, Vector3(0.5f, 1, 0),
         Vector3(0, 1, 0)},
        {"ending exactly on the face", Vector3(-3, 0, 0), Vector3(-1, 0, 0), true, Vector3(-1, 0, 0),
         Vector3(-1, 0, 0)},
        {"diagonal into a face", Vector3(-2, -2, 0), Vector3(0, 0, 0), true, Vector3(-1, -1, 0),
         Vector3(-1, 0, 0)},
        {"starting inside: the exit point", Vector3(0, 0, 0), Vector3(0, 0, 4), true, Vector3(0, 0, 1),
         Vector3(0, 0, -1)},
        {"ends before the box", Vector3(-3, 0, 0), Vector3(-2, 0, 0), false, Vector3(), Vector3()},
        {"ends just before the box", Vector3(-3, 0, 0), Vector3(-1.01f, 0, 0), false, Vector3(), Vector3()},
        {"passes beside the box", Vector3(-3, 2, 0), Vector3(3, 2, 0), false, Vector3(), Vector3()},
        {"starts beyond the box", Vector3(2, 0, 0), Vector3(3, 0, 0), false, Vector3(), Vector3()},
        {"parallel outside a slab", Vector3(-3, 0, 1.5f), Vector3(3, 0, 1.5f), false, Vector3(), Vector3()},
        {"misses a corner diagonally", Vector3(-3, 0, 0), Vector3(0, 3, 0), false, Vector3(), Vector3()},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        Vector3 hit(99, 99, 99), normal(99, 99, 99);
        EXPECT_EQ(kUnitBox.IntersectSegment(c.p0, c.p1, &hit, &normal), c.hits);
        if (c.hits)
        {
            ExpectNear(hit, c.hit);
            ExpectNear(normal, c.normal);
        }
        EXPECT_EQ(kUnitBox.IntersectSegment(c.p0, c.p1, nullptr, nullptr), c.hits);
    }
}

TEST(OBB, IntersectSegmentUsesTheBoxAxes)
{
    // Long along local x, which the turn points along world y.
    const OBB box(Vector3(0, 0, 0), QuarterTurnAboutZ(), Vector3(3, 1, 1));
    Vector3 hit, normal;
    EXPECT_TRUE(box.IntersectSegment(Vector3(0, 10, 0), Vector3(0, 0, 0), &hit, &normal));
    ExpectNear(hit, Vector3(0, 3, 0));
    ExpectNear(normal, Vector3(0, 1, 0));
    EXPECT_FALSE(box.IntersectSegment(Vector3(2, -10, 0), Vector3(2, 10, 0), &hit, &normal));
    EXPECT_TRUE(box.IntersectSegment(Vector3(5, 2.5f, 0), Vector3(-5, 2.5f, 0), &hit, &normal));
    ExpectNear(hit, Vector3(1, 2.5f, 0));
    ExpectNear(normal, Vector3(1, 0, 0));
}
