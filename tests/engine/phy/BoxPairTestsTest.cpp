#include "engine/phy/BoxPairTests.h"

#include "common/math/Quaternion.h"
#include "common/math/Vector3.h"
#include "engine/phy/BoxPairMemo.h"
#include "engine/phy/ClothHull.h"
#include "engine/phy/CollisionInfo.h"
#include "engine/phy/OBBHull.h"
#include "engine/phy/PlaneHull.h"
#include "engine/phy/SphereHull.h"
#include "engine/phy/TriangleHull.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using dorvo::phy::CollisionInfo;
using dorvo::phy::OBBHull;
using dorvo::phy::PairResult;
using math::Vector3;

namespace
{
void Place(OBBHull& hull, const Vector3& centre, const math::Quaternion& turn = math::Quaternion(1, 0, 0, 0))
{
    hull.obb.orientation = turn.ToMatrix3();
    hull.obb.halfExtent = Vector3(0.5f, 0.5f, 0.5f);
    hull.obb.center = centre;
}

std::unique_ptr<CollisionInfo> Take(PairResult result)
{
    return std::unique_ptr<CollisionInfo>(result.IsSet() ? result.Get() : nullptr);
}

void ExpectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-5f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// The plane y = 0 facing up.
void MakeFloor(dorvo::phy::PlaneHull& plane)
{
    plane.plane.normal = Vector3(0, 1, 0);
    plane.plane.d = 0.0f;
}
} // namespace

TEST(BoxPairTests, TwoUnitCubes)
{
    OBBHull a;
    OBBHull b;
    Place(a, Vector3());

    // Overlapping by 0.1: A's axis 1 ties with B's and wins as the earlier, so the normal runs
    // from B down to A and the main point is B's lowest face centre moved back half the depth.
    Place(b, Vector3(0, 0.9f, 0));
    std::unique_ptr<CollisionInfo> info = Take(dorvo::phy::BoxBoxCollision(a, b));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->hullA, &a);
    ExpectNear(info->normal, Vector3(0, -1, 0));
    ASSERT_GT(info->contacts.size(), 1u) << "the clipped points follow the main point";
    ExpectNear(info->contacts[0].point, Vector3(0, 0.45f, 0));
    for (const dorvo::phy::Contact& c : info->contacts)
    {
        EXPECT_NEAR(c.depth, 0.1f, 1e-5f);
        ExpectNear(c.rA, c.point - a.obb.center);
        ExpectNear(c.rB, c.point - b.obb.center);
        // Every point lies in the overlap slab of the two boxes.
        EXPECT_GE(c.point.y, 0.4f - 1e-5f);
        EXPECT_LE(c.point.y, 0.5f + 1e-5f);
    }

    // 0.04 apart: inside the margin, one contact and no clipping.
    Place(b, Vector3(0, 1.04f, 0));
    info = Take(dorvo::phy::BoxBoxCollision(a, b));
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(info->contacts.size(), 1u);
    EXPECT_NEAR(info->contacts[0].depth, -0.04f, 1e-5f);

    Place(b, Vector3(0, 1.06f, 0));
    EXPECT_EQ(Take(dorvo::phy::BoxBoxCollision(a, b)), nullptr);
}

TEST(BoxPairTests, BoxAgainstAPlaneGivesItsCornersShallowestFirst)
{
    dorvo::phy::PlaneHull floor;
    MakeFloor(floor);
    // Turned 45 degrees about z, then about x: one corner points down.
    const float s = std::sin(math::kPi / 8.0f);
    const float c = std::cos(math::kPi / 8.0f);
    const math::Quaternion corner = math::Quaternion(c, s, 0, 0) * math::Quaternion(c, 0, 0, s);
    OBBHull probe;
    Place(probe, Vector3(), corner);
    std::vector<Vector3> corners;
    probe.obb.GetCorners(corners);
    const float lowest = std::min_element(corners.begin(), corners.end(),
                                          [](const Vector3& p, const Vector3& q) { return p.y < q.y; })
                             ->y;

    struct Case
    {
        const char* name;
        Vector3 centre;
        math::Quaternion turn;
        std::size_t contacts;
    };
    const Case cases[] = {
        {"flat, sunk 0.01", Vector3(3, 0.49f, 1), math::Quaternion(1, 0, 0, 0), 4},
        {"on one corner, sunk 0.01", Vector3(0, -0.01f - lowest, 0), corner, 1},
        {"wholly behind", Vector3(0, -5, 0), math::Quaternion(1, 0, 0, 0), 8},
    };
    for (const Case& k : cases)
    {
        SCOPED_TRACE(k.name);
        OBBHull box;
        Place(box, k.centre, k.turn);
        std::unique_ptr<CollisionInfo> info = Take(dorvo::phy::BoxPlaneCollision(box, floor));
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->hullA, &box);
        ExpectNear(info->normal, Vector3(0, 1, 0));
        ASSERT_EQ(info->contacts.size(), k.contacts);
        for (std::size_t i = 0; i < info->contacts.size(); ++i)
        {
            const dorvo::phy::Contact& contact = info->contacts[i];
            EXPECT_NEAR(contact.depth, -contact.point.y, 1e-5f);
            EXPECT_GT(contact.depth, 0.0f);
            ExpectNear(contact.rA, contact.point - k.centre);
            ExpectNear(contact.rB, contact.rA);
            if (i > 0)
            {
                EXPECT_LE(info->contacts[i - 1].depth, contact.depth);
            }
        }
    }
    OBBHull high;
    Place(high, Vector3(0, 0.56f, 0));
    EXPECT_EQ(Take(dorvo::phy::BoxPlaneCollision(high, floor)), nullptr);
}

TEST(BoxPairTests, BoxSinkingIntoALargeTriangle)
{
    dorvo::phy::TriangleHull floor;
    floor.worldTriangle.Set(Vector3(-50, 0, -50), Vector3(-50, 0, 50), Vector3(50, 0, -50));
    OBBHull box;
    Place(box, Vector3(-2, 0.48f, -1));
    std::unique_ptr<CollisionInfo> info = Take(dorvo::phy::BoxTriangleCollision(box, floor));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->hullA, &box);
    ExpectNear(info->normal, Vector3(0, 1, 0)); // from the triangle towards the box
    // One point where each vertical edge crosses; the bottom edges lie in the plane's parallel
    // and give none.
    ASSERT_EQ(info->contacts.size(), 4u);
    for (const dorvo::phy::Contact& c : info->contacts)
    {
        EXPECT_NEAR(c.depth, 0.02f, 1e-5f);
        EXPECT_NEAR(c.point.y, 0.0f, 1e-5f);
        EXPECT_NEAR(std::fabs(c.point.x + 2.0f), 0.5f, 1e-5f);
        EXPECT_NEAR(std::fabs(c.point.z + 1.0f), 0.5f, 1e-5f);
        ExpectNear(c.rB, c.point - floor.worldTriangle.GetCentroid(), 1e-4f);
    }

    // 0.03 above: every axis overlaps within the margin, but no edge crosses.
    Place(box, Vector3(-2, 0.53f, -1));
    EXPECT_EQ(Take(dorvo::phy::BoxTriangleCollision(box, floor)), nullptr);
}

TEST(BoxPairTests, NearbyPointsMergeIntoTheirMidpoint)
{
    std::vector<Vector3> points{Vector3(0, 0, 0), Vector3(5, 0, 0)};
    EXPECT_FALSE(dorvo::phy::AddContactPoint(points, Vector3(0.1f, 0, 0), 0.2f * 0.2f));
    ASSERT_EQ(points.size(), 2u);
    ExpectNear(points[0], Vector3(0.05f, 0, 0));
    EXPECT_TRUE(dorvo::phy::AddContactPoint(points, Vector3(0.3f, 0, 0), 0.2f * 0.2f));
    EXPECT_EQ(points.size(), 3u);
}

TEST(BoxPairTests, ClothTouchesNothing)
{
    OBBHull box;
    Place(box, Vector3());
    dorvo::phy::SphereHull sphere;
    sphere.sphere.radius = 1.0f;
    dorvo::phy::ClothHull cloth;
    EXPECT_FALSE(dorvo::phy::BoxClothCollision(box, cloth).IsSet());
    EXPECT_FALSE(dorvo::phy::SphereClothCollision(sphere, cloth).IsSet());
}

// The box-box test answers nothing at once for centres farther apart than sqrt(3) times the sum
// of the radii and the margin, and the detector passes over such neighbours without a test.
// That is sound only if one of A's face axes always separates such boxes: checked here on
// random sizes and turns just past the bound, where it is tightest.
TEST(BoxPairTests, BoxesPastTheDistantPairBoundAreSeparatedByAFaceAxis)
{
    std::uint32_t seed = 12345;
    auto next = [&seed]
    {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 16777216.0f; // 0..1
    };
    auto turn = [&next]
    {
        math::Quaternion q(next() - 0.5f, next() - 0.5f, next() - 0.5f, next() - 0.5f);
        q.Normalize();
        return q;
    };
    for (int i = 0; i < 20000; ++i)
    {
        math::OBB a;
        math::OBB b;
        a.orientation = turn().ToMatrix3();
        b.orientation = turn().ToMatrix3();
        a.halfExtent = Vector3(0.05f + 2 * next(), 0.05f + 2 * next(), 0.05f + 2 * next());
        b.halfExtent = Vector3(0.05f + 2 * next(), 0.05f + 2 * next(), 0.05f + 2 * next());
        Vector3 direction(next() - 0.5f, next() - 0.5f, next() - 0.5f);
        direction.Normalize();
        const float reach =
            a.halfExtent.Length() + b.halfExtent.Length() + dorvo::phy::kCollisionMargin + 0.01f;
        const float distance = std::sqrt(3.01f) * reach * 1.0001f;
        a.center = Vector3(100 * next(), 600 * next(), 100 * next());
        b.center = a.center + direction * distance;
        bool separated = false;
        for (int k = 0; k < 3 && !separated; ++k)
        {
            float overlap = 0.0f;
            separated = dorvo::phy::SeparatedOnAxis(a.orientation.GetRow(k), a, b, overlap);
        }
        ASSERT_TRUE(separated) << "pair " << i;
    }
}

// What a box-box test answers, to the bit: whether the boxes collide, the hulls' order, the
// normal and every contact's numbers.
std::string Answer(PairResult result)
{
    std::unique_ptr<CollisionInfo> info = Take(result);
    if (info == nullptr)
        return "none";
    std::string text;
    auto bits = [&text](const float* values, int count)
    {
        for (int i = 0; i < count; ++i)
        {
            std::uint32_t word = 0;
            std::memcpy(&word, &values[i], sizeof word);
            text += std::to_string(word) + " ";
        }
    };
    text += info->hullA < info->hullB ? "ab " : "ba ";
    bits(info->normal.v, 3);
    for (const dorvo::phy::Contact& c : info->contacts)
    {
        text += "| ";
        bits(c.rA.v, 3);
        bits(c.rB.v, 3);
        bits(c.point.v, 3);
        bits(&c.depth, 1);
    }
    return text;
}

// The second order of a pair drawing on what the first left in the pass's memo answers exactly
// as the plain test: for boxes resting on each other, crossing edge to edge, turned every way,
// separated by a face or an edge axis, centred on the origin (projections of 0, which keep no
// sign when mirrored), and for a box moved between the two orders, which the memo must not serve.
TEST(BoxPairTests, ThePairInTheOtherOrderAnswersAsThePlainTestWithTheMemo)
{
    std::uint32_t seed = 99;
    auto next = [&seed]
    {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 16777216.0f; // 0..1
    };
    auto turn = [&next](float amount)
    {
        math::Quaternion q(1.0f, amount * (next() - 0.5f), amount * (next() - 0.5f),
                           amount * (next() - 0.5f));
        q.Normalize();
        return q;
    };
    dorvo::phy::BoxPairMemo memo;
    int touching = 0;
    for (int i = 0; i < 3000; ++i)
    {
        SCOPED_TRACE("pair " + std::to_string(i));
        OBBHull a;
        OBBHull b;
        const int kind = i % 5;
        const float amount = kind == 0 ? 0.0f : (kind == 1 ? 0.05f : 2.0f);
        Place(a, kind == 4 ? Vector3() : Vector3(10 * next(), 10 * next(), 10 * next()), turn(amount));
        Place(b, a.obb.center + Vector3(1.2f * (next() - 0.5f), 0.6f + 0.6f * next(), 1.2f * (next() - 0.5f)),
              turn(amount));
        b.obb.halfExtent = Vector3(0.2f + next(), 0.2f + next(), 0.2f + next());
        const std::string ab = Answer(dorvo::phy::BoxBoxCollision(a, b));
        const std::string ba = Answer(dorvo::phy::BoxBoxCollision(b, a));
        touching += ab != "none" ? 1 : 0;

        memo.Clear();
        EXPECT_EQ(Answer(dorvo::phy::BoxBoxCollision(a, b, &memo, true)), ab);
        EXPECT_EQ(Answer(dorvo::phy::BoxBoxCollision(b, a, &memo, false)), ba);
        // A's box moves a little between the orders: the memo's copy no longer matches.
        memo.Clear();
        Take(dorvo::phy::BoxBoxCollision(a, b, &memo, true));
        a.obb.center.y += 0.001f;
        EXPECT_EQ(Answer(dorvo::phy::BoxBoxCollision(b, a, &memo, false)),
                  Answer(dorvo::phy::BoxBoxCollision(b, a)));
    }
    EXPECT_GT(touching, 1000);
    EXPECT_LT(touching, 2800);
}
