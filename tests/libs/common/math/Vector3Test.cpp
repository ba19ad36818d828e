#include "common/math/Vector3.h"

#include <gtest/gtest.h>

#include <sstream>

using math::Vector3;

namespace
{
void ExpectVector(const Vector3& v, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}
} // namespace

TEST(Vector3, NamesAreBoundToTheObjectsOwnArray)
{
    Vector3 v(1.0f, 2.0f, 3.0f);
    EXPECT_EQ(&v.x, &v.v[0]);
    EXPECT_EQ(&v.y, &v.v[1]);
    EXPECT_EQ(&v.z, &v.v[2]);
    v[1] = 7.0f;
    EXPECT_EQ(v.y, 7.0f);
    ExpectVector(Vector3(), 0.0f, 0.0f, 0.0f);
}

TEST(Vector3, CopiesNeverAliasTheirSource)
{
    const Vector3 source(1.0f, 2.0f, 3.0f);

    Vector3 constructed(source);
    EXPECT_EQ(&constructed.x, &constructed.v[0]);
    EXPECT_EQ(&constructed.z, &constructed.v[2]);
    constructed.x = 10.0f;

    Vector3 assigned;
    assigned = source;
    EXPECT_EQ(&assigned.y, &assigned.v[1]);
    assigned.y = 20.0f;

    // A returned temporary and a moved-from value bind their own storage as well.
    Vector3 moved(Vector3(source) + Vector3(1.0f, 1.0f, 1.0f));
    EXPECT_EQ(&moved.x, &moved.v[0]);

    ExpectVector(source, 1.0f, 2.0f, 3.0f);
    ExpectVector(constructed, 10.0f, 2.0f, 3.0f);
    ExpectVector(assigned, 1.0f, 20.0f, 3.0f);
    ExpectVector(moved, 2.0f, 3.0f, 4.0f);
}

TEST(Vector3, NormaliseBelowToleranceGivesZero)
{
    struct Case
    {
        Vector3 in;
        Vector3 out;
    };
    const Case cases[] = {
        {Vector3(0.0001f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, 0.0f)}, // squared length 1e-8
        {Vector3(0.0f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, 0.0f)},
        {Vector3(0.001f, 0.0f, 0.0f), Vector3(1.0f, 0.0f, 0.0f)},
        {Vector3(0.0f, -3.0f, 4.0f), Vector3(0.0f, -0.6f, 0.8f)},
        {Vector3(2.0f, 2.0f, 2.0f), Vector3(0.57735026f, 0.57735026f, 0.57735026f)},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::PrintToString(c.in.v));
        const Vector3 copy = c.in.GetNormalized();
        ExpectVector(copy, c.out.x, c.out.y, c.out.z);

        Vector3 inPlace(c.in);
        Vector3& result = inPlace.Normalize();
        EXPECT_EQ(&result, &inPlace);
        ExpectVector(inPlace, c.out.x, c.out.y, c.out.z);
    }
    // GetNormalized leaves the vector itself unchanged.
    const Vector3 v(0.0f, 0.0f, 5.0f);
    (void)v.GetNormalized();
    ExpectVector(v, 0.0f, 0.0f, 5.0f);
}

TEST(Vector3, ArithmeticDotCrossAndLength)
{
    const Vector3 a(1.0f, 2.0f, 3.0f);
    const Vector3 b(-4.0f, 5.0f, 0.5f);
    ExpectVector(a + b, -3.0f, 7.0f, 3.5f);
    ExpectVector(a - b, 5.0f, -3.0f, 2.5f);
    ExpectVector(-a, -1.0f, -2.0f, -3.0f);
    ExpectVector(a * 2.0f, 2.0f, 4.0f, 6.0f);
    ExpectVector(2.0f * a, 2.0f, 4.0f, 6.0f);
    ExpectVector(a / 2.0f, 0.5f, 1.0f, 1.5f);
    ExpectVector(math::ComponentProduct(a, b), -4.0f, 10.0f, 1.5f);
    EXPECT_FLOAT_EQ(a.Dot(b), -4.0f + 10.0f + 1.5f);
    EXPECT_FLOAT_EQ(a.LengthSquared(), 14.0f);
    EXPECT_FLOAT_EQ(Vector3(3.0f, 4.0f, 0.0f).Length(), 5.0f);
    EXPECT_FLOAT_EQ(math::Distance(Vector3(1.0f, 1.0f, 1.0f), Vector3(1.0f, 4.0f, 5.0f)), 5.0f);

    // Right-handed: x cross y = z, and the cross product is perpendicular to both operands.
    ExpectVector(math::Cross(Vector3(1.0f, 0.0f, 0.0f), Vector3(0.0f, 1.0f, 0.0f)), 0.0f, 0.0f, 1.0f);
    ExpectVector(math::Cross(Vector3(0.0f, 1.0f, 0.0f), Vector3(1.0f, 0.0f, 0.0f)), 0.0f, 0.0f, -1.0f);
    const Vector3 c = a.Cross(b);
    ExpectVector(c, 2.0f * 0.5f - 3.0f * 5.0f, 3.0f * -4.0f - 1.0f * 0.5f, 1.0f * 5.0f - 2.0f * -4.0f);
    EXPECT_NEAR(c.Dot(a), 0.0f, 1e-5f);
    EXPECT_NEAR(c.Dot(b), 0.0f, 1e-5f);

    Vector3 acc(1.0f, 1.0f, 1.0f);
    acc += a;
    acc -= Vector3(1.0f, 0.0f, 0.0f);
    acc *= 2.0f;
    acc /= 4.0f;
    ExpectVector(acc, 0.5f, 1.5f, 2.0f);
}

TEST(Vector3, EqualityUsesTheFloatTolerance)
{
    EXPECT_TRUE(Vector3(1.0f, 2.0f, 3.0f) == Vector3(1.0f, 2.0f, 3.0f + 5e-8f));
    EXPECT_TRUE(Vector3(1.0f, 2.0f, 3.0f) != Vector3(1.0f, 2.001f, 3.0f));
}

TEST(Vector3, UpVectorAndPrinter)
{
    ExpectVector(math::g_UpVector, 0.0f, 1.0f, 0.0f);
    EXPECT_EQ(&math::g_UpVector.y, &math::g_UpVector.v[1]);

    std::ostringstream out;
    out << Vector3(1.0f, 2.5f, -3.0f);
    EXPECT_EQ(out.str(), "(1, 2.5, -3)");

    std::ostringstream fixed;
    fixed.setf(std::ios::fixed);
    fixed.precision(1);
    fixed << Vector3(0.25f, 0.0f, 1.0f);
    EXPECT_EQ(fixed.str(), "(0.2, 0.0, 1.0)"); // the stream's own formatting, nothing added
}
