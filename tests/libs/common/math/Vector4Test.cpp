#include "common/math/Vector4.h"

#include <gtest/gtest.h>

#include <sstream>

using math::Vector4;

TEST(Vector4, FromVector3IsAPointAndCopiesOwnTheirStorage)
{
    const Vector4 point(math::Vector3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(point.x, 1.0f);
    EXPECT_EQ(point.y, 2.0f);
    EXPECT_EQ(point.z, 3.0f);
    EXPECT_EQ(point.w, 1.0f);

    Vector4 copy(point);
    EXPECT_EQ(&copy.w, &copy.v[3]);
    copy.w = 0.0f;
    Vector4 assigned;
    assigned = point;
    assigned.x = 9.0f;
    EXPECT_EQ(point.w, 1.0f);
    EXPECT_EQ(point.x, 1.0f);
    EXPECT_EQ(assigned.w, 1.0f);

    std::ostringstream out;
    out << Vector4(1.0f, -2.0f, 0.5f, 1.0f);
    EXPECT_EQ(out.str(), "(1, -2, 0.5, 1)");
}
