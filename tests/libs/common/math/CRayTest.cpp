#include "common/math/CRay.h"

#include "common/CBSPTree.h"
#include "common/math/AABB.h"
#include "common/math/Plane.h"
#include "common/math/Quad.h"
#include "common/math/Sphere.h"
#include "common/math/Triangle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

using math::AABB;
using math::CRay;
using math::Vector3;

namespace
{
CRay MakeRay(const Vector3& origin, const Vector3& direction)
{
    CRay ray;
    ray.origin = origin;
    ray.direction = direction;
    return ray;
}

struct RayCase
{
    const char* name;
    Vector3 origin;
    Vector3 direction;
    bool hit;
    float t;
};

// The cube (-1,-1,-1)-(1,1,1) as twelve outward-facing triangles.
std::vector<math::Triangle> Cube()
{
    const Vector3 faces[6][4] = {
        {{1, -1, -1}, {1, 1, -1}, {1, 1, 1}, {1, -1, 1}},
        {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}},
        {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}},
        {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}},
        {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}},
        {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}},
    };
    std::vector<math::Triangle> triangles;
    for (const auto& f : faces)
    {
        triangles.emplace_back(f[0], f[1], f[2]);
        triangles.emplace_back(f[0], f[2], f[3]);
    }
    return triangles;
}

// A bumpy 10 x 10 height field over x, z in [0, 10]: 200 triangles, enough to fill every level.
std::vector<math::Triangle> Terrain()
{
    auto height = [](int i, int j) { return std::sin(0.7f * i) + std::cos(0.45f * j); };
    std::vector<math::Triangle> triangles;
    for (int i = 0; i < 10; ++i)
    {
        for (int j = 0; j < 10; ++j)
        {
            const Vector3 a(float(i), height(i, j), float(j));
            const Vector3 b(float(i + 1), height(i + 1, j), float(j));
            const Vector3 c(float(i + 1), height(i + 1, j + 1), float(j + 1));
            const Vector3 d(float(i), height(i, j + 1), float(j + 1));
            triangles.emplace_back(a, d, c);
            triangles.emplace_back(a, c, b);
        }
    }
    return triangles;
}

bool BruteForce(const CRay& ray, const std::vector<math::Triangle>& triangles, float& t)
{
    float nearest = std::numeric_limits<float>::infinity();
    for (const math::Triangle& triangle : triangles)
    {
        float hit = 0.0f;
        if (ray.IntersectTriangle(triangle, hit) && hit < nearest)
        {
            nearest = hit;
        }
    }
    t = nearest;
    return !std::isinf(nearest);
}
} // namespace

TEST(CRay, SphereHitsMissesAndDistances)
{
    const math::Sphere unit(Vector3(0, 0, 0), 1.0f);
    const RayCase cases[] = {
        {"from outside", {0, 0, -5}, {0, 0, 1}, true, 4.0f},
        {"origin inside gives the exit", {0, 0, 0}, {0, 0, 1}, true, 1.0f},
        {"sphere behind", {0, 0, 5}, {0, 0, 1}, false, 0.0f},
        {"passes beside", {2, 0, -5}, {0, 0, 1}, false, 0.0f},
        {"grazes the rim", {1, 0, -5}, {0, 0, 1}, true, 5.0f},
        {"units of the direction's length", {0, 0, -5}, {0, 0, 2}, true, 2.0f},
        {"origin on the surface, leaving", {0, 0, 1}, {0, 0, 1}, true, 0.0f},
    };
    for (const RayCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        float t = -99.0f;
        ASSERT_EQ(MakeRay(c.origin, c.direction).IntersectSphere(unit, t), c.hit);
        if (c.hit)
        {
            EXPECT_NEAR(t, c.t, 1e-5f);
        }
    }
}

TEST(CRay, BoxHitsMissesAndDistances)
{
    const AABB box(Vector3(-1, -1, -1), Vector3(1, 1, 1));
    const RayCase cases[] = {
        {"from outside", {0, 0, -5}, {0, 0, 1}, true, 4.0f},
        {"origin inside gives the exit", {0, 0, 0}, {0, 0, 1}, true, 1.0f},
        {"parallel above the y faces", {0, 5, 0}, {1, 0, 0}, false, 0.0f},
        {"box behind", {0, 0, 5}, {0, 0, 1}, false, 0.0f},
        {"diagonal into a corner", {-5, -5, -5}, {1, 1, 1}, true, 4.0f},
        {"slanted miss past an edge", {-5, 0, -3}, {1, 0, 0.3f}, false, 0.0f},
        {"units of the direction's length", {0, 0, -5}, {0, 0, 2}, true, 2.0f},
        {"origin on a face, leaving", {1, 0, 0}, {1, 0, 0}, true, 0.0f},
        {"origin on a face, entering", {1, 0, 0}, {-1, 0, 0}, true, 2.0f},
    };
    for (const RayCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        float t = -99.0f;
        ASSERT_EQ(MakeRay(c.origin, c.direction).IntersectAABB(box, t), c.hit);
        if (c.hit)
        {
            EXPECT_NEAR(t, c.t, 1e-5f);
        }
    }
}

TEST(CRay, ZeroDirectionHitsNothingAndLeavesTAlone)
{
    // The picker leaves the direction at (0, 0, 0) when the cursor point lies on the eye.
    const CRay ray = MakeRay(Vector3(0, 0, 0), Vector3(0, 0, 0));
    std::vector<math::Triangle> cube = Cube();
    common::CBSPTree tree;
    tree.Build(cube);
    float t = 7.0f;
    EXPECT_FALSE(ray.IntersectSphere(math::Sphere(Vector3(0, 0, 0), 1.0f), t));
    EXPECT_FALSE(ray.IntersectAABB(AABB(Vector3(-1, -1, -1), Vector3(1, 1, 1)), t));
    EXPECT_FALSE(ray.IntersectPlane(math::Plane(Vector3(0, 0, 1), Vector3(0, 0, 0)), t));
    EXPECT_FALSE(ray.IntersectTriangle(cube[0], t));
    EXPECT_FALSE(ray.IntersectBSPTree(tree.GetRoot(), t));
    EXPECT_EQ(t, 7.0f);
}

TEST(CRay, PlaneAheadBehindAndParallel)
{
    const math::Plane floor(Vector3(0, 1, 0), Vector3(0, 2, 0)); // y = 2
    float t = 0.0f;
    EXPECT_TRUE(MakeRay(Vector3(0, 10, 0), Vector3(0, -2, 0)).IntersectPlane(floor, t));
    EXPECT_NEAR(t, 4.0f, 1e-6f);
    // Behind: false, but the distance is still written.
    EXPECT_FALSE(MakeRay(Vector3(0, 10, 0), Vector3(0, 1, 0)).IntersectPlane(floor, t));
    EXPECT_NEAR(t, -8.0f, 1e-6f);
    t = 3.0f;
    EXPECT_FALSE(MakeRay(Vector3(0, 10, 0), Vector3(1, 0, 0)).IntersectPlane(floor, t));
    EXPECT_EQ(t, 3.0f);
}

TEST(CRay, TriangleAndQuadInsideAndOutside)
{
    const math::Triangle triangle(Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(0, 1, 0));
    // A room face in the plane z = 3, seen from either side.
    const math::Quad face(Vector3(-2, -1, 3), Vector3(2, -1, 3), Vector3(2, 1, 3), Vector3(-2, 1, 3));
    struct Case
    {
        const char* name;
        Vector3 origin;
        Vector3 direction;
        bool triangleHit;
        float triangleT;
        bool quadHit;
        float quadT;
    };
    const Case cases[] = {
        {"through both", {0.25f, 0.25f, -3}, {0, 0, 1}, true, 3.0f, true, 6.0f},
        {"from the far side", {0.25f, 0.25f, 9}, {0, 0, -1}, true, 9.0f, true, 6.0f},
        {"planes hit outside the shapes", {1.5f, 1.5f, -3}, {0, 0, 1}, false, 3.0f, false, 6.0f},
        {"slanted past the triangle into the quad", {0, 0, -3}, {0.3f, 0.15f, 1}, false, 3.0f, true, 6.0f},
        {"pointing away", {0.25f, 0.25f, -3}, {0, 0, -1}, false, -3.0f, false, -6.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const CRay ray = MakeRay(c.origin, c.direction);
        float t = -99.0f;
        EXPECT_EQ(ray.IntersectTriangle(triangle, t), c.triangleHit);
        EXPECT_NEAR(t, c.triangleT, 1e-5f); // the plane distance is kept on a miss
        t = -99.0f;
        EXPECT_EQ(ray.IntersectQuad(face, t), c.quadHit);
        EXPECT_NEAR(t, c.quadT, 1e-5f);
    }
}

TEST(CRay, ClassifyBSPNodeBySideAndHeading)
{
    common::SBSPNode node;
    node.plane = math::Plane(Vector3(1, 0, 0), Vector3(0, 0, 0)); // x = 0, front is +x
    struct Case
    {
        float originX;
        float directionX;
        int expected;
    };
    const Case cases[] = {
        {2, 1, 0}, {2, 0, 0}, {2, -1, 2}, {0, 0, 0}, {0, -1, 2}, {-2, -1, 1}, {-2, 0, 1}, {-2, 1, 2},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "origin x " << c.originX << ", direction x " << c.directionX);
        EXPECT_EQ(MakeRay(Vector3(c.originX, 5, 5), Vector3(c.directionX, 1, 0)).ClassifyBSPNode(node),
                  c.expected);
    }
}

TEST(CRay, BSPTreeOfACube)
{
    common::CBSPTree tree;
    tree.Build(Cube());
    ASSERT_NE(tree.GetRoot(), nullptr);
    ASSERT_NE(tree.GetRoot()->front, nullptr); // twelve triangles are split, not one leaf

    const RayCase cases[] = {
        {"from -z", {0.3f, -0.2f, -6}, {0, 0, 1}, true, 5.0f},
        {"from +x", {4, 0.5f, 0.5f}, {-1, 0, 0}, true, 3.0f},
        {"from +y, double length", {-0.5f, 9, 0.1f}, {0, -2, 0}, true, 4.0f},
        {"from inside hits the exit", {0, 0, 0}, {0, 0, 1}, true, 1.0f},
        {"diagonal through a split face", {-0.5f, -5, -0.5f}, {0.1f, 1, 0.1f}, true, 4.0f},
        {"passes beside", {0, 3, -6}, {0, 0, 1}, false, 0.0f},
        {"points away", {0, 0, -6}, {0, 0, -1}, false, 0.0f},
    };
    for (const RayCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        float t = -99.0f;
        ASSERT_EQ(MakeRay(c.origin, c.direction).IntersectBSPTree(tree.GetRoot(), t), c.hit);
        if (c.hit)
        {
            EXPECT_NEAR(t, c.t, 1e-5f);
        }
    }
}

TEST(CRay, EmptyTreeHitsNothing)
{
    common::CBSPTree tree;
    tree.Build({});
    float t = 5.0f;
    EXPECT_FALSE(MakeRay(Vector3(0, 0, -5), Vector3(0, 0, 1)).IntersectBSPTree(tree.GetRoot(), t));
    EXPECT_EQ(t, 5.0f);
}

TEST(CRay, BSPTreeWalkFindsTheSameNearestHitAsEveryTriangle)
{
    // The walk may skip whole subtrees; it must never skip the nearest triangle.
    const std::vector<math::Triangle> meshes[] = {Cube(), Terrain()};
    std::mt19937 random(20240611u);
    std::uniform_real_distribution<float> coordinate(-2.0f, 12.0f);
    for (const auto& mesh : meshes)
    {
        common::CBSPTree tree;
        tree.Build(mesh);
        int hits = 0;
        for (int i = 0; i < 400; ++i)
        {
            const Vector3 origin(coordinate(random), coordinate(random), coordinate(random));
            const Vector3 target(coordinate(random) * 0.5f, coordinate(random) * 0.2f,
                                 coordinate(random) * 0.5f);
            const CRay ray = MakeRay(origin, target - origin);
            SCOPED_TRACE(testing::Message() << "ray " << i << " from " << origin << " to " << target);
            float expected = 0.0f;
            float t = 0.0f;
            const bool hit = BruteForce(ray, mesh, expected);
            ASSERT_EQ(ray.IntersectBSPTree(tree.GetRoot(), t), hit);
            if (hit)
            {
                ++hits;
                EXPECT_NEAR(t, expected, 1e-4f);
            }
        }
        EXPECT_GT(hits, 40); // the sample really exercises hits, not only misses
    }
}
