#include "common/math/CQuaternion.h"
#include "common/math/VQS.h"

#include <gtest/gtest.h>

#include <sstream>

using math::CQuaternion;

namespace
{
void ExpectCQuaternion(const CQuaternion& q, float w, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(q.w, w);
    EXPECT_FLOAT_EQ(q.v.x, x);
    EXPECT_FLOAT_EQ(q.v.y, y);
    EXPECT_FLOAT_EQ(q.v.z, z);
}
} // namespace

TEST(CQuaternion, BlendingOperations)
{
    const CQuaternion a(1.0f, 2.0f, 3.0f, 4.0f);
    const CQuaternion b(0.5f, -1.0f, 0.0f, 2.0f);
    ExpectCQuaternion(a + b, 1.5f, 1.0f, 3.0f, 6.0f);
    ExpectCQuaternion(a * 0.5f, 0.5f, 1.0f, 1.5f, 2.0f);
    ExpectCQuaternion(0.5f * a, 0.5f, 1.0f, 1.5f, 2.0f);

    // A typical blend: 0.75 of one key plus 0.25 of the next, renormalised.
    CQuaternion blend =
        CQuaternion(1.0f, 0.0f, 0.0f, 0.0f) * 0.5f + CQuaternion(0.0f, 0.0f, 1.0f, 0.0f) * 0.5f;
    CQuaternion& same = blend.Normalize();
    EXPECT_EQ(&same, &blend);
    ExpectCQuaternion(blend, 0.70710677f, 0.0f, 0.70710677f, 0.0f);
}

TEST(CQuaternion, CopiesOwnTheirVectorAndZeroNormalisesToZero)
{
    CQuaternion a(1.0f, 2.0f, 3.0f, 4.0f);
    CQuaternion b(a);
    b.v.x = 9.0f;
    EXPECT_EQ(&b.v.x, &b.v.v[0]);
    EXPECT_EQ(a.v.x, 2.0f);

    CQuaternion zero;
    ExpectCQuaternion(zero, 0.0f, 0.0f, 0.0f, 0.0f);
    zero.Normalize();
    ExpectCQuaternion(zero, 0.0f, 0.0f, 0.0f, 0.0f);

    zero.SetIdentity();
    ExpectCQuaternion(zero, 1.0f, 0.0f, 0.0f, 0.0f);

    std::ostringstream out;
    out << a;
    EXPECT_EQ(out.str(), "( 1, 2, 3, 4 )");
}

TEST(VQS, DefaultIsTheIdentityTransform)
{
    const math::VQS vqs;
    EXPECT_EQ(vqs.translation.LengthSquared(), 0.0f);
    ExpectCQuaternion(vqs.rotation, 1.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(vqs.scale, 1.0f);

    math::VQS copy(vqs);
    copy.translation.x = 3.0f;
    EXPECT_EQ(vqs.translation.x, 0.0f);
}
