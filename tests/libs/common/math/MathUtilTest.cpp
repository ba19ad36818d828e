#include "common/math/MathUtil.h"

#include <gtest/gtest.h>

#include <limits>

namespace
{
struct FloatCase
{
    float value;
    bool expected;
};
} // namespace

TEST(MathUtil, IsZeroUsesStrictToleranceOf1eMinus7)
{
    const FloatCase cases[] = {
        {0.0f, true},   {-0.0f, true},   {9.9e-8f, true}, {-9.9e-8f, true},
        {1e-7f, false}, {-1e-7f, false}, {1e-6f, false},  {std::numeric_limits<float>::quiet_NaN(), false}};
    for (const FloatCase& c : cases)
    {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(math::IsZero(c.value), c.expected);
    }
}

TEST(MathUtil, FloatEqualComparesTheRoundedDifference)
{
    EXPECT_TRUE(math::FloatEqual(1.0f, 1.0f + 5e-8f));
    EXPECT_TRUE(math::FloatEqual(-2.5f, -2.5f));
    EXPECT_FALSE(math::FloatEqual(1.0f, 1.0f + 1e-6f));
    EXPECT_FALSE(math::FloatEqual(0.0f, 1e-7f));
    // Two large neighbours differ by far more than the tolerance: no relative comparison.
    EXPECT_FALSE(math::FloatEqual(1000.0f, 1000.0001f));
}

TEST(MathUtil, IsValidFloatRejectsBoundsNaNAndInfinity)
{
    const float inf = std::numeric_limits<float>::infinity();
    const FloatCase cases[] = {{0.0f, true},       {999999.0f, true},
                               {-999999.0f, true}, {1e6f, false},
                               {-1e6f, false},     {inf, false},
                               {-inf, false},      {std::numeric_limits<float>::quiet_NaN(), false}};
    for (const FloatCase& c : cases)
    {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(math::IsValidFloat(c.value), c.expected);
    }
}

TEST(MathUtil, DegToRad)
{
    EXPECT_FLOAT_EQ(math::DegToRad(180.0f), 3.1415927f);
    EXPECT_FLOAT_EQ(math::DegToRad(90.0f), 3.1415927f / 2.0f);
    EXPECT_FLOAT_EQ(math::DegToRad(-45.0f), -3.1415927f / 4.0f);
    EXPECT_EQ(math::DegToRad(0.0f), 0.0f);
}
