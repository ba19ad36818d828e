#include "common/math/AABB.h"

#include "common/math/Sphere.h"

#include <gtest/gtest.h>

#include <cmath>

using math::AABB;
using math::Sphere;
using math::Vector3;

TEST(AABB, ExtendGrowsEachAxisIndependently)
{
    AABB box(Vector3(0, 0, 0), Vector3(1, 1, 1));
    box.Extend(Vector3(-2, 0.5f, 3));
    EXPECT_EQ(box.min, Vector3(-2, 0, 0));
    EXPECT_EQ(box.max, Vector3(1, 1, 3));
    box.Extend(Vector3(0.5f, 0.5f, 0.5f)); // inside: no change
    EXPECT_EQ(box.min, Vector3(-2, 0, 0));
    EXPECT_EQ(box.max, Vector3(1, 1, 3));

    // The triangle hull's broad box starts at one vertex and is extended by the others.
    AABB degenerate(Vector3(1, 2, 3), Vector3(1, 2, 3));
    degenerate.Extend(Vector3(0, 5, 3));
    EXPECT_EQ(degenerate.min, Vector3(0, 2, 3));
    EXPECT_EQ(degenerate.max, Vector3(1, 5, 3));
}

TEST(AABB, SphereOverlapAndContainment)
{
    const AABB box(Vector3(0, 0, 0), Vector3(1, 1, 1));
    struct Case
    {
        const char* what;
        Vector3 center;
        float radius;
        bool intersects;
        bool contains;
    };
    const Case cases[] = {
        {"touching a face from outside", Vector3(2, 0.5f, 0.5f), 1.0f, true, false},
        {"just short of a face", Vector3(2, 0.5f, 0.5f), 0.99f, false, false},
        {"centred inside, fits", Vector3(0.5f, 0.5f, 0.5f), 0.5f, true, true},
        {"centred inside, pokes out", Vector3(0.5f, 0.5f, 0.5f), 0.51f, true, false},
        {"inside, touching min x face", Vector3(0.25f, 0.5f, 0.5f), 0.25f, true, true},
        {"near the corner, diagonal gap", Vector3(1.6f, 1.6f, 1.6f), 1.0f, false, false},
        {"near the corner, reaches it", Vector3(1.5f, 1.5f, 1.5f), 0.9f, true, false},
        {"centre on the max face, zero radius", Vector3(1, 0.5f, 0.5f), 0.0f, true, true},
        {"centre outside, zero radius", Vector3(1.01f, 0.5f, 0.5f), 0.0f, false, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        const Sphere sphere(c.center, c.radius);
        EXPECT_EQ(box.IntersectsSphere(sphere), c.intersects);
        EXPECT_EQ(box.ContainsSphere(sphere), c.contains);
    }
}

TEST(AABB, ContainsBoxInclusive)
{
    const AABB node(Vector3(-1, -1, -1), Vector3(1, 1, 1));
    struct Case
    {
        const char* what;
        AABB box;
        bool contained;
    };
    const Case cases[] = {
        {"well inside", AABB(Vector3(-0.5f, -0.5f, -0.5f), Vector3(0.5f, 0.5f, 0.5f)), true},
        {"the same box", node, true},
        {"touching the max x face from inside", AABB(Vector3(0, 0, 0), Vector3(1, 0.5f, 0.5f)), true},
        {"a flat box on the min y face", AABB(Vector3(0, -1, 0), Vector3(0.5f, -1, 0.5f)), true},
        {"pokes out along z", AABB(Vector3(0, 0, 0), Vector3(0.5f, 0.5f, 1.01f)), false},
        {"pokes out below x", AABB(Vector3(-1.01f, 0, 0), Vector3(0, 0.5f, 0.5f)), false},
        {"encloses the node", AABB(Vector3(-2, -2, -2), Vector3(2, 2, 2)), false},
        {"wholly outside", AABB(Vector3(2, 2, 2), Vector3(3, 3, 3)), false},
        {"a NaN bound", AABB(Vector3(0, std::nanf(""), 0), Vector3(0.5f, 0.5f, 0.5f)), false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(node.Contains(c.box), c.contained);
    }
}

TEST(AABB, CopiesAreIndependent)
{
    AABB source(Vector3(1, 2, 3), Vector3(4, 5, 6));
    AABB copy(source);
    copy.min.x = 10;
    AABB assigned;
    assigned = source;
    assigned.max.z = 20;
    EXPECT_EQ(source.min, Vector3(1, 2, 3));
    EXPECT_EQ(source.max, Vector3(4, 5, 6));
    EXPECT_EQ(&copy.min.x, &copy.min.v[0]);
    EXPECT_EQ(AABB().min, Vector3(0, 0, 0));
    EXPECT_EQ(AABB().max, Vector3(0, 0, 0));
}
