#include "engine/phy/CollisionHull.h"

#include "PhysicsTestWorld.h"
#include "engine/phy/OBBHull.h"
#include "engine/phy/PlaneHull.h"
#include "engine/phy/SphereHull.h"
#include "engine/phy/TriangleHull.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

using dorvo::phy::CollisionHull;
using dorvo::phy::OBBHull;
using dorvo::phy::PhysicsComp;
using dorvo::phy::SphereHull;
using dorvo::phy::TriangleHull;
using math::Vector3;
using phytest::Body;
using phytest::CreateBody;
using phytest::Hull;
using phytest::Pov;

namespace
{
class CollisionHullTest : public phytest::PhysicsTest
{
};
} // namespace

TEST_F(CollisionHullTest, ASphereTakesItsRadiusFromTheScaleAndItsMassFromTheVolume)
{
    phytest::BodySpec spec = phytest::Sphere(Vector3(1.0f, 5.0f, 2.0f), 2.0f);
    spec.radius = 5.0f;
    spec.center = Vector3(9.0f, 9.0f, 9.0f);
    spec.useDensity = true;
    spec.density = 3.0f;
    Gob* gob = CreateBody(spec);
    auto* hull = dynamic_cast<SphereHull*>(Hull(gob));
    ASSERT_NE(hull, nullptr);
    EXPECT_EQ(Body(gob)->GetMass(), 8.0f * 125.0f * 3.0f) << "initialised from the saved radius";

    hull->UpdateFromBody();
    EXPECT_EQ(hull->sphere.radius, 1.0f);
    EXPECT_EQ(hull->sphere.center, Vector3(1.0f, 5.0f, 2.0f));
    EXPECT_EQ(hull->GetVolume(), 8.0f);
    const float mass = Body(gob)->GetMass();
    EXPECT_EQ(mass, 8.0f * 3.0f);
    for (int axis = 0; axis < 3; ++axis)
        EXPECT_FLOAT_EQ(Body(gob)->GetInertia()[axis][axis], 0.4f * mass);
}

TEST_F(CollisionHullTest, ABoxTakesItsExtentFromTheScale)
{
    phytest::BodySpec spec = phytest::Box(Vector3(0.0f, 5.0f, 0.0f), Vector3(1.0f, 2.0f, 4.0f));
    spec.extent = Vector3(3.0f, 3.0f, 3.0f);
    spec.mass = 6.0f;
    spec.orientation.SetFromAxisAngle(Vector3(0.0f, 0.0f, 1.0f), math::kPi / 2.0f);
    Gob* gob = CreateBody(spec);
    auto* hull = dynamic_cast<OBBHull*>(Hull(gob));
    ASSERT_NE(hull, nullptr);
    hull->UpdateFromBody();
    EXPECT_EQ(hull->GetOBB().halfExtent, Vector3(0.5f, 1.0f, 2.0f));
    EXPECT_EQ(hull->GetOBB().center, Vector3(0.0f, 5.0f, 0.0f));
    EXPECT_EQ(hull->GetOBB().orientation.GetRow(0), Vector3(0.0f, 1.0f, 0.0f)) << "x turned onto y";
    EXPECT_EQ(hull->GetVolume(), 8.0f);
    // (m / 3)(Y^2 + Z^2), (m / 3)(X^2 + Z^2), (m / 3)(X^2 + Y^2) with m / 3 = 2.
    EXPECT_FLOAT_EQ(Body(gob)->GetInertia()[0][0], 40.0f);
    EXPECT_FLOAT_EQ(Body(gob)->GetInertia()[1][1], 34.0f);
    EXPECT_FLOAT_EQ(Body(gob)->GetInertia()[2][2], 10.0f);
    EXPECT_EQ(Body(gob)->GetMass(), 6.0f) << "without UseDensity the mass stays";
}

TEST_F(CollisionHullTest, AnUnchangedScaleLeavesMassAndInertiaAlone)
{
    for (const char* type : {"Sphere", "OBB"})
    {
        SCOPED_TRACE(type);
        phytest::BodySpec spec = phytest::Sphere(Vector3(0.0f, 5.0f, 0.0f));
        spec.hullType = type;
        spec.useDensity = true;
        spec.density = 1.0f;
        Gob* gob = CreateBody(spec);
        Hull(gob)->UpdateFromBody();
        // Set off what the hull would give; a size update would put both back.
        Body(gob)->SetInertia(7.0f, 7.0f, 7.0f);
        Body(gob)->SetMass(3.0f);
        Body(gob)->SetInertia(7.0f, 7.0f, 7.0f);
        Pov(gob)->SetPosition(Vector3(1.0f, 5.0f, 0.0f), true);
        Hull(gob)->UpdateFromBody();
        EXPECT_EQ(Body(gob)->GetMass(), 3.0f);
        EXPECT_EQ(Body(gob)->GetInertia()[0][0], 7.0f);

        Pov(gob)->SetScale(Vector3(2.0f, 2.0f, 2.0f), true);
        Hull(gob)->UpdateFromBody();
        EXPECT_EQ(Body(gob)->GetMass(), 8.0f);
        EXPECT_NE(Body(gob)->GetInertia()[0][0], 7.0f);
    }
}

TEST_F(CollisionHullTest, ATriangleTurnsAndScalesWithItsObject)
{
    phytest::BodySpec spec = phytest::Triangle(Vector3(10.0f, 5.0f, 0.0f), Vector3(0.0f, 0.0f, 0.0f),
                                               Vector3(1.0f, 0.0f, 0.0f), Vector3(0.0f, 1.0f, 0.0f));
    spec.orientation.SetFromAxisAngle(Vector3(0.0f, 1.0f, 0.0f), math::kPi / 2.0f);
    spec.scale = Vector3(2.0f, 3.0f, 1.0f);
    Gob* gob = CreateBody(spec);
    auto* hull = dynamic_cast<TriangleHull*>(Hull(gob));
    ASSERT_NE(hull, nullptr);
    EXPECT_EQ(hull->bodyTriangle.normal, Vector3(0.0f, 0.0f, 1.0f));
    hull->UpdateFromBody();
    // A quarter turn about y takes x to -z and z to x.
    const math::Triangle& world = hull->worldTriangle;
    const float tolerance = 1e-5f;
    for (int i = 0; i < 3; ++i)
    {
        const Vector3 expected[3] = {Vector3(10, 5, 0), Vector3(10, 5, -2), Vector3(10, 8, 0)};
        EXPECT_NEAR(world[i].x, expected[i].x, tolerance) << i;
        EXPECT_NEAR(world[i].y, expected[i].y, tolerance) << i;
        EXPECT_NEAR(world[i].z, expected[i].z, tolerance) << i;
    }
    EXPECT_NEAR(world.normal.x, 1.0f, tolerance);
    EXPECT_NEAR(world.normal.z, 0.0f, tolerance);
    EXPECT_EQ(hull->GetVolume(), 0.0f);
}

TEST_F(CollisionHullTest, AStaticHullFollowsItsObjectAndAPlaneStaysAsLoaded)
{
    phytest::BodySpec spec = phytest::Sphere(Vector3(3.0f, 4.0f, 5.0f));
    spec.physics = false;
    Gob* gob = CreateBody(spec);
    Pov(gob)->SetPosition(Vector3(6.0f, 4.0f, 5.0f), true);
    Hull(gob)->UpdateFromBody();
    EXPECT_EQ(dynamic_cast<SphereHull*>(Hull(gob))->sphere.center, Vector3(6.0f, 4.0f, 5.0f));

    Gob* floor = CreateBody(phytest::Plane(Vector3(0.0f, 2.0f, 0.0f), 1.0f));
    Pov(floor)->SetPosition(Vector3(0.0f, 50.0f, 0.0f), true);
    Hull(floor)->UpdateFromBody();
    auto* plane = dynamic_cast<dorvo::phy::PlaneHull*>(Hull(floor));
    ASSERT_NE(plane, nullptr);
    EXPECT_EQ(plane->plane.normal, Vector3(0.0f, 2.0f, 0.0f));
    EXPECT_EQ(plane->plane.d, 1.0f);
    EXPECT_EQ(plane->GetVolume(), 0.0f);
}

TEST_F(CollisionHullTest, TheContactWindowClosesOnceItsTimerPassesThreeQuartersOfASecond)
{
    SphereHull hull;
    hull.AddContact(5);
    hull.AddContact(5);
    const float frame = 1.0f / 30.0f;
    EXPECT_FALSE(hull.HadContactWith(5)) << "seen from the next window on";
    for (int step = 1; step <= 22; ++step)
    {
        if (step == 10)
        {
            hull.AddContact(6);
            hull.AddContact(2); // below the ids seen: the window stays in id order
        }
        hull.AgeContacts(frame);
    }
    EXPECT_EQ(hull.contacts, (std::vector<std::uint32_t>{2, 5, 6}));
    EXPECT_TRUE(hull.HadContactWith(2));
    EXPECT_TRUE(hull.HadContactWith(5));
    EXPECT_TRUE(hull.HadContactWith(6));
    EXPECT_FALSE(hull.HadContactWith(4));
    hull.AgeContacts(frame); // the 23rd step: 0.7667 s
    EXPECT_TRUE(hull.contacts.empty());
    EXPECT_EQ(hull.contactTimer, 0.0f);
    EXPECT_TRUE(hull.HadContactWith(5)) << "the previous set is the copy taken before the window closed";
    hull.AgeContacts(frame);
    EXPECT_FALSE(hull.HadContactWith(5));
}

TEST_F(CollisionHullTest, ADeadHullLeavesNoIgnoreEntryBehind)
{
    OBBHull keeper;
    {
        SphereHull dying;
        keeper.AddIgnore(&dying);
        keeper.AddIgnore(&dying);
        dying.AddIgnore(&keeper);
        EXPECT_EQ(keeper.ignoreList.size(), 1u);
        EXPECT_EQ(dying.ignoreList, std::vector<CollisionHull*>{&keeper});
        EXPECT_TRUE(keeper.Ignores(&dying));
    }
    EXPECT_TRUE(keeper.ignoreList.empty());
    // A hull born at the same address starts clean.
    SphereHull newcomer;
    EXPECT_FALSE(keeper.Ignores(&newcomer));
    EXPECT_TRUE(newcomer.ignoreList.empty());
}

TEST_F(CollisionHullTest, EveryHullClassHasItsOwnIndexAndTheBaseNone)
{
    SphereHull sphere;
    OBBHull box;
    dorvo::phy::PlaneHull plane;
    TriangleHull triangle;
    std::set<int*> indices{&sphere.GetClassIndex(), &box.GetClassIndex(), &plane.GetClassIndex(),
                           &triangle.GetClassIndex(), &CollisionHull::StaticClassIndex()};
    EXPECT_EQ(indices.size(), 5u);
    EXPECT_EQ(&sphere.GetClassIndex(), &SphereHull::StaticClassIndex());
    // The pair table (filled by the engine's Init) never names the base class.
    EXPECT_EQ(CollisionHull::StaticClassIndex(), -1);
}
