#include "common/math/Sphere.h"

#include <gtest/gtest.h>

using math::Sphere;
using math::Vector3;

TEST(Sphere, IntersectsAndContainsTable)
{
    struct Case
    {
        const char* what;
        Sphere a;
        Sphere b;
        bool intersects;
        bool contains; // either within the other
    };
    const Case cases[] = {
        {"small one well inside", Sphere(Vector3(0, 0, 0), 5), Sphere(Vector3(3, 0, 0), 1), true, true},
        {"touching from inside", Sphere(Vector3(0, 0, 0), 5), Sphere(Vector3(4, 0, 0), 1), true, true},
        {"straddling the surface", Sphere(Vector3(0, 0, 0), 5), Sphere(Vector3(4.5f, 0, 0), 1), true, false},
        {"touching from outside", Sphere(Vector3(0, 0, 0), 1), Sphere(Vector3(0, 3, 0), 2), true, false},
        {"apart", Sphere(Vector3(0, 0, 0), 1), Sphere(Vector3(0, 0, 3.01f), 2), false, false},
        {"same sphere", Sphere(Vector3(1, 2, 3), 2), Sphere(Vector3(1, 2, 3), 2), true, true},
        {"two points at one place", Sphere(), Sphere(), true, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.a.Intersects(c.b), c.intersects);
        EXPECT_EQ(c.b.Intersects(c.a), c.intersects);
        EXPECT_EQ(c.a.Contains(c.b), c.contains);
        EXPECT_EQ(c.b.Contains(c.a), c.contains);
    }
}

TEST(Sphere, DefaultAndCopy)
{
    const Sphere empty;
    EXPECT_EQ(empty.center, Vector3(0, 0, 0));
    EXPECT_EQ(empty.radius, 0.0f);

    Sphere source(Vector3(1, 2, 3), 4);
    Sphere copy(source);
    copy.center.y = 9;
    Sphere assigned;
    assigned = source;
    assigned.radius = 7;
    EXPECT_EQ(source.center, Vector3(1, 2, 3));
    EXPECT_EQ(source.radius, 4.0f);
    EXPECT_EQ(assigned.center, Vector3(1, 2, 3));
    EXPECT_EQ(&copy.center.y, &copy.center.v[1]);
}
