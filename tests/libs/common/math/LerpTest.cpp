#include "common/math/Lerp.h"
#include "common/math/Vector3.h"

#include <gtest/gtest.h>

TEST(Lerp, BlendsComponentByComponent)
{
    const math::Vector3 a(1.0f, -2.0f, 10.0f);
    const math::Vector3 b(3.0f, 2.0f, 0.0f);
    struct Case
    {
        float t;
        float x, y, z;
    };
    const Case cases[] = {
        {0.0f, 1.0f, -2.0f, 10.0f},
        {1.0f, 3.0f, 2.0f, 0.0f},
        {0.25f, 1.5f, -1.0f, 7.5f},
        {2.0f, 5.0f, 6.0f, -10.0f}, // beyond b: extrapolates
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.t);
        const math::Vector3 r = math::Lerp(a, b, c.t);
        EXPECT_FLOAT_EQ(r.x, c.x);
        EXPECT_FLOAT_EQ(r.y, c.y);
        EXPECT_FLOAT_EQ(r.z, c.z);
    }
}
