#include "common/math/Plane.h"
#include "common/math/Matrix4.h"

#include <gtest/gtest.h>

using math::Plane;
using math::Vector3;

TEST(Plane, Constructors)
{
    // From a normal and a point: the normal is kept as given.
    const Plane fromPoint(Vector3(0, 2, 0), Vector3(0, 3, 0));
    EXPECT_EQ(fromPoint.normal, Vector3(0, 2, 0));
    EXPECT_FLOAT_EQ(fromPoint.d, -6.0f);

    // From coefficients: the normal is normalised, d is kept as given.
    const Plane fromCoefficients(0, 2, 0, -6);
    EXPECT_EQ(fromCoefficients.normal, Vector3(0, 1, 0));
    EXPECT_FLOAT_EQ(fromCoefficients.GetDistance(), -6.0f);

    Plane set;
    EXPECT_EQ(set.normal, Vector3(0, 0, 0));
    EXPECT_EQ(set.d, 0.0f);
    set.Set(3, 0, 4, 2);
    EXPECT_EQ(set.normal, Vector3(0.6f, 0, 0.8f));
    EXPECT_FLOAT_EQ(set.d, 2.0f);
    set.Set(0, 0, 0, 1); // a zero normal stays zero rather than dividing by zero
    EXPECT_EQ(set.normal, Vector3(0, 0, 0));

    set.DistanceRef() = 5.0f;
    EXPECT_EQ(set.GetDistance(), 5.0f);

    Plane copy(fromPoint);
    copy.normal.y = 1;
    EXPECT_EQ(fromPoint.normal, Vector3(0, 2, 0));
}

TEST(Plane, SignedDistanceAndProjection)
{
    const Plane plane(0, 1, 0, -2); // y = 2
    EXPECT_FLOAT_EQ(plane.SignedDistance(Vector3(5, 7, -1)), 5.0f);
    EXPECT_FLOAT_EQ(plane.SignedDistance(Vector3(0, -1, 0)), -3.0f);
    Vector3 projected;
    plane.ProjectPoint(projected, Vector3(5, 7, -1));
    EXPECT_EQ(projected, Vector3(5, 2, -1));
}

TEST(Plane, IntersectSegmentTable)
{
    const Plane ground(0, 1, 0, 0);
    struct Case
    {
        const char* what;
        Vector3 p0;
        Vector3 p1;
        bool hits;
        float t;
    };
    const Case cases[] = {
        {"crossing a quarter of the way", Vector3(0, -1, 0), Vector3(0, 3, 0), true, 0.25f},
        {"crossing downwards", Vector3(1, 3, 1), Vector3(1, -1, 1), true, 0.75f},
        {"starting on the plane", Vector3(0, 0, 0), Vector3(0, 1, 0), true, 0.0f},
        {"ending on the plane", Vector3(0, 2, 0), Vector3(0, 0, 0), true, 1.0f},
        {"parallel, lying in another plane", Vector3(0, 1, 0), Vector3(5, 1, 0), false, 0},
        {"parallel, lying in the plane", Vector3(0, 0, 0), Vector3(5, 0, 0), false, 0},
        {"short of the plane", Vector3(0, 3, 0), Vector3(0, 1, 0), false, 0},
        {"the plane is behind the start", Vector3(0, 1, 0), Vector3(0, 3, 0), false, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        float t = -42.0f;
        EXPECT_EQ(ground.IntersectSegment(c.p0, c.p1, t), c.hits);
        EXPECT_FLOAT_EQ(t, c.hits ? c.t : -42.0f); // untouched on a miss
    }
}

TEST(Plane, NormaliseAndTransformAsWorkedOut)
{
    math::Plane raw;
    raw.normal = math::Vector3(0, 3, 0);
    raw.d = -6;
    const math::Plane unit = raw.GetNormalized();
    EXPECT_FLOAT_EQ(unit.normal.y, 1.0f);
    EXPECT_FLOAT_EQ(unit.d, -2.0f);

    // The plane y = 2 carried by a move up by 3 (the inverse transpose of the move is given):
    // y = 5.
    math::Matrix4 move;
    move.SetTranslation(math::Vector3(0, 3, 0));
    const math::Plane moved = unit.Transform(move.GetInverse().GetTranspose());
    EXPECT_FLOAT_EQ(moved.normal.x, 0.0f);
    EXPECT_FLOAT_EQ(moved.normal.y, 1.0f);
    EXPECT_FLOAT_EQ(moved.d, -5.0f);
    // Carried by a scale of 2: y = 4 once normalised.
    math::Matrix4 scale;
    scale.SetScale(math::Vector3(2, 2, 2));
    const math::Plane scaled = unit.Transform(scale.GetInverse().GetTranspose()).GetNormalized();
    EXPECT_FLOAT_EQ(scaled.normal.y, 1.0f);
    EXPECT_FLOAT_EQ(scaled.d, -4.0f);
}
