#include "common/math/Quad.h"

#include <gtest/gtest.h>

using math::Quad;
using math::Vector3;

TEST(Quad, NormalFromFirstEdgeAndLastCorner)
{
    Quad quad(Vector3(0, 0, 0), Vector3(2, 0, 0), Vector3(2, 3, 0), Vector3(0, 3, 0));
    EXPECT_EQ(quad.normal, Vector3(0, 0, 1));

    // A room face standing upright, corners counter-clockwise seen from -z.
    Quad face;
    face.p0 = Vector3(0, 0, 5);
    face.p1 = Vector3(0, 4, 5);
    face.p2 = Vector3(4, 4, 5);
    face.p3 = Vector3(4, 0, 5);
    EXPECT_EQ(face.normal, Vector3(0, 0, 0)); // not computed until asked
    face.ComputeNormal();
    EXPECT_EQ(face.normal, Vector3(0, 0, -1));

    Quad assigned;
    assigned = face;
    assigned.p2.x = 100;
    EXPECT_EQ(face.p2, Vector3(4, 4, 5));
    EXPECT_EQ(assigned.normal, Vector3(0, 0, -1));

    Quad degenerate(Vector3(1, 1, 1), Vector3(1, 1, 1), Vector3(1, 1, 1), Vector3(1, 1, 1));
    EXPECT_EQ(degenerate.normal, Vector3(0, 0, 0));
}

TEST(Quad, ContainsPointTable)
{
    const Quad quad(Vector3(0, 0, 0), Vector3(2, 0, 0), Vector3(2, 3, 0), Vector3(0, 3, 0));
    struct Case
    {
        const char* what;
        Vector3 point;
        bool inside;
    };
    const Case cases[] = {
        {"centre", Vector3(1, 1.5f, 0), true},
        {"centre, far above the plane", Vector3(1, 1.5f, 40), true},
        {"centre, below the plane", Vector3(1, 1.5f, -2), true},
        {"on the first edge", Vector3(1, 0, 0), true},
        {"on the closing edge P3P0", Vector3(0, 1, 0), true},
        {"a corner", Vector3(2, 3, 0), true},
        {"beyond P0P1", Vector3(1, -0.01f, 0), false},
        {"beyond P1P2", Vector3(2.01f, 1, 0), false},
        {"beyond P2P3", Vector3(1, 3.01f, 0), false},
        {"beyond P3P0", Vector3(-0.01f, 1, 0), false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(quad.ContainsPoint(c.point), c.inside);
    }
}
