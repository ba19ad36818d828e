#include "engine/phy/SpherePairTests.h"

#include "common/math/Vector3.h"
#include "engine/phy/CollisionInfo.h"
#include "engine/phy/OBBHull.h"
#include "engine/phy/PlaneHull.h"
#include "engine/phy/SphereHull.h"
#include "engine/phy/TriangleHull.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using dorvo::phy::CollisionInfo;
using dorvo::phy::PairResult;
using math::Vector3;

namespace
{
// Shapes without objects: a hull without a body answers for itself (a sphere's centre is the
// hull's own).
void Shape(dorvo::phy::SphereHull& hull, const Vector3& centre, float radius)
{
    hull.sphere.center = centre;
    hull.sphere.radius = radius;
}

// A big horizontal triangle in y = 0, facing up: the corner x, z <= -5 of the half x + z <= 0.
void MakeFloor(dorvo::phy::TriangleHull& hull)
{
    hull.worldTriangle.Set(Vector3(-5.0f, 0.0f, -5.0f), Vector3(-5.0f, 0.0f, 5.0f),
                           Vector3(5.0f, 0.0f, -5.0f));
}

void MakeUnitCube(dorvo::phy::OBBHull& hull)
{
    hull.obb.orientation.SetIdentity();
    hull.obb.halfExtent = Vector3(0.5f, 0.5f, 0.5f);
    hull.obb.center = Vector3();
}

struct Expected
{
    bool collides;
    float depth;
    Vector3 normal;
    Vector3 point;
};

// Takes the result's info into ownership and checks it against the expectation.
void Check(PairResult result, const dorvo::phy::CollisionHull& sphere, const dorvo::phy::CollisionHull& other,
           const Expected& e)
{
    ASSERT_EQ(result.IsSet(), e.collides);
    if (!e.collides)
        return;
    std::unique_ptr<CollisionInfo> info(result.Get());
    EXPECT_EQ(info->hullA, &sphere);
    EXPECT_EQ(info->hullB, &other);
    ASSERT_EQ(info->contacts.size(), 1u);
    const dorvo::phy::Contact& c = info->contacts[0];
    EXPECT_NEAR(c.depth, e.depth, 1e-5f);
    EXPECT_NEAR(info->normal.x, e.normal.x, 1e-5f);
    EXPECT_NEAR(info->normal.y, e.normal.y, 1e-5f);
    EXPECT_NEAR(info->normal.z, e.normal.z, 1e-5f);
    EXPECT_NEAR(c.point.x, e.point.x, 1e-5f);
    EXPECT_NEAR(c.point.y, e.point.y, 1e-5f);
    EXPECT_NEAR(c.point.z, e.point.z, 1e-5f);
    EXPECT_NEAR((c.point - c.rA - static_cast<const dorvo::phy::SphereHull&>(sphere).sphere.center).Length(),
                0.0f, 1e-5f)
        << "rA is measured from the sphere's centre";
}
} // namespace

TEST(SpherePairTests, SphereAgainstSphere)
{
    struct Case
    {
        const char* name;
        Vector3 a;
        float ra;
        Vector3 b;
        float rb;
        Expected e;
    };
    const Case cases[] = {
        // The depth counts the margin: 2.05 - 2.04; the point 1 - 0.005 from A towards B.
        {"unit spheres 2.04 apart",
         Vector3(0, 0, 0),
         1.0f,
         Vector3(2.04f, 0, 0),
         1.0f,
         {true, 0.01f, Vector3(-1, 0, 0), Vector3(0.995f, 0, 0)}},
        {"coincident centres",
         Vector3(1, 2, 3),
         0.5f,
         Vector3(1, 2, 3),
         0.7f,
         {true, 1.25f, Vector3(0, 1, 0), Vector3(1, 2.125f, 3)}},
        {"0.06 apart", Vector3(0, 0, 0), 1.0f, Vector3(0, 0, 2.06f), 1.0f, {false, 0, Vector3(), Vector3()}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        dorvo::phy::SphereHull a;
        dorvo::phy::SphereHull b;
        Shape(a, c.a, c.ra);
        Shape(b, c.b, c.rb);
        Check(dorvo::phy::SphereSphereCollision(a, b), a, b, c.e);
    }
}

TEST(SpherePairTests, SphereAgainstAOneSidedPlane)
{
    struct Case
    {
        const char* name;
        Vector3 centre;
        Expected e;
    };
    const Case cases[] = {
        {"0.54 above", Vector3(2, 0.54f, 1), {true, -0.04f, Vector3(0, 1, 0), Vector3(2, 0.04f, 1)}},
        {"0.56 above", Vector3(2, 0.56f, 1), {false, 0, Vector3(), Vector3()}},
        // Behind the plane is solid: the sphere is pushed out along the normal.
        {"3 behind", Vector3(0, -3, 0), {true, 3.5f, Vector3(0, 1, 0), Vector3(0, -3.5f, 0)}},
    };
    dorvo::phy::PlaneHull plane;
    plane.plane.normal = Vector3(0, 1, 0);
    plane.plane.d = 0.0f;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        dorvo::phy::SphereHull sphere;
        Shape(sphere, c.centre, 0.5f);
        Check(dorvo::phy::SpherePlaneCollision(sphere, plane), sphere, plane, c.e);
    }
}

TEST(SpherePairTests, SphereAgainstABox)
{
    const Vector3 inside(0.1f, 0.2f, 0.0f);
    struct Case
    {
        const char* name;
        Vector3 centre;
        Expected e;
    };
    const Case cases[] = {
        // Inside: the full radius, away from the box's centre, at the sphere's centre.
        {"centre inside", inside, {true, 0.5f, inside.GetNormalized(), inside}},
        {"centre at the box's centre", Vector3(), {true, 0.5f, Vector3(0, 1, 0), Vector3()}},
        {"gap 0.04", Vector3(1.04f, 0, 0), {true, -0.04f, Vector3(1, 0, 0), Vector3(0.5f, 0, 0)}},
        {"gap 0.06", Vector3(1.06f, 0, 0), {false, 0, Vector3(), Vector3()}},
    };
    dorvo::phy::OBBHull box;
    MakeUnitCube(box);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        dorvo::phy::SphereHull sphere;
        Shape(sphere, c.centre, 0.5f);
        Check(dorvo::phy::SphereBoxCollision(sphere, box), sphere, box, c.e);
    }
}

TEST(SpherePairTests, SphereAgainstATriangle)
{
    const float k = 1.0f / std::sqrt(2.0f);
    struct Case
    {
        const char* name;
        Vector3 centre;
        Expected e;
    };
    const Case cases[] = {
        {"sunk into the face",
         Vector3(-1, 0.45f, -1),
         {true, 0.05f, Vector3(0, 1, 0), Vector3(-1, -0.05f, -1)}},
        {"centre on the face", Vector3(-1, 0, -1), {true, 0.5f, Vector3(0, 1, 0), Vector3(-1, -0.5f, -1)}},
        // Beside the edge z = -5: the normal runs from the edge's closest point to the centre,
        // and the point is on the sphere's surface.
        {"beside an edge",
         Vector3(0, 0.3f, -5.3f),
         {true, 0.5f - std::sqrt(0.18f), Vector3(0, k, -k), Vector3(0, 0.3f - 0.5f * k, -5.3f + 0.5f * k)}},
        // Within the margin but above the triangle's flat box: nothing.
        {"0.03 above", Vector3(-1, 0.53f, -1), {false, 0, Vector3(), Vector3()}},
    };
    dorvo::phy::TriangleHull floor;
    MakeFloor(floor);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        dorvo::phy::SphereHull sphere;
        Shape(sphere, c.centre, 0.5f);
        Check(dorvo::phy::SphereTriangleCollision(sphere, floor), sphere, floor, c.e);
    }
}
