#include "engine/phy/CollisionComp.h"

#include "LogCapture.h"
#include "PhysicsTestWorld.h"
#include "engine/phy/CollisionFunctorData.h"
#include "engine/phy/OBBHull.h"
#include "engine/phy/PlaneHull.h"
#include "engine/phy/SphereHull.h"
#include "engine/phy/TriangleHull.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>
#include <vector>

using dorvo::phy::CollisionComp;
using dorvo::phy::CollisionFunctor;
using dorvo::phy::CollisionFunctorData;
using math::Vector3;
using phytest::Body;
using phytest::Collision;
using phytest::CreateBody;

namespace
{
class CollisionCompTest : public phytest::PhysicsTest
{
};

std::string Print(const TiXmlNode& node)
{
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    node.Accept(&printer);
    return printer.CStr();
}

std::string Saved(CollisionComp& comp)
{
    TiXmlElement parent("Gob");
    EXPECT_TRUE(comp.Serialize(&parent));
    return Print(parent);
}

// Every call a test's callbacks saw: "<name> <caller id> <ids of the record>".
std::vector<std::string> g_calls;

template <int Tag> bool Record(CollisionFunctorData data, unsigned int caller)
{
    static const char* const names[] = {"first", "second", "third"};
    g_calls.push_back(std::string(names[Tag]) + " " + std::to_string(caller) + " " +
                      std::to_string(data.gobIdA) + "-" + std::to_string(data.gobIdB));
    return Tag == 0;
}
} // namespace

TEST_F(CollisionCompTest, AFreshComponentHasTheDefaultSurfaceAndNoHull)
{
    CollisionComp comp;
    EXPECT_EQ(comp.staticFriction, 1.0f);
    EXPECT_EQ(comp.kineticFriction, 1.0f);
    EXPECT_EQ(comp.coeffRes, 1.0f);
    EXPECT_FALSE(comp.isTriggerHull);
    EXPECT_EQ(comp.GetHull(), nullptr);
    EXPECT_EQ(
        Saved(comp),
        "<Gob><Component name=\"CollisionComp\"><float name=\"StaticFriction\">1</float>"
        "<float name=\"KineticFriction\">1</float><float name=\"CoeffRes\">1</float>"
        "<bool name=\"IsTriggerHull\">false</bool><string name=\"HullType\"></string></Component></Gob>");
}

TEST_F(CollisionCompTest, EachHullTypeRoundTripsWithTheComponent)
{
    struct Case
    {
        const char* hullType;
        const char* element;
    };
    const Case cases[] = {
        {"Sphere",
         "<SphereHull><Vector name=\"Center\"><float name=\"x\">1</float><float name=\"y\">2</float>"
         "<float name=\"z\">3</float></Vector><float name=\"Radius\">4.5</float></SphereHull>"},
        {"OBB", "<OBBHull><Vector name=\"Extent\"><float name=\"x\">0.5</float><float name=\"y\">1</float>"
                "<float name=\"z\">2</float></Vector><Vector name=\"Center\"><float name=\"x\">1</float>"
                "<float name=\"y\">2</float><float name=\"z\">3</float></Vector></OBBHull>"},
        // The normal stays as written, unnormalised.
        {"Plane", "<PlaneHull><Vector name=\"N\"><float name=\"x\">0</float><float name=\"y\">2</float>"
                  "<float name=\"z\">0</float></Vector><float name=\"D\">-3</float></PlaneHull>"},
        {"Triangle",
         "<TriangleHull><Vector name=\"BodyVert0\"><float name=\"x\">0</float><float name=\"y\">0</float>"
         "<float name=\"z\">0</float></Vector><Vector name=\"BodyVert1\"><float name=\"x\">1</float>"
         "<float name=\"y\">0</float><float name=\"z\">0</float></Vector><Vector name=\"BodyVert2\">"
         "<float name=\"x\">0</float><float name=\"y\">0</float><float name=\"z\">-1</float></Vector>"
         "</TriangleHull>"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.hullType);
        const std::string xml = std::string("<Gob><Component name=\"CollisionComp\">"
                                            "<float name=\"StaticFriction\">0.5</float>"
                                            "<float name=\"KineticFriction\">0.25</float>"
                                            "<float name=\"CoeffRes\">0.75</float>"
                                            "<bool name=\"IsTriggerHull\">true</bool>"
                                            "<string name=\"HullType\">") +
                                c.hullType + "</string>" + c.element + "</Component></Gob>";
        TiXmlDocument document;
        document.Parse(xml.c_str());
        CollisionComp comp;
        ASSERT_TRUE(comp.Deserialize(document.RootElement()->FirstChildElement()));
        ASSERT_NE(comp.GetHull(), nullptr);
        EXPECT_EQ(comp.GetHull()->owner, &comp);
        EXPECT_EQ(comp.staticFriction, 0.5f);
        EXPECT_EQ(comp.kineticFriction, 0.25f);
        EXPECT_EQ(comp.coeffRes, 0.75f);
        EXPECT_TRUE(comp.isTriggerHull);
        EXPECT_EQ(Saved(comp), xml);
    }

    // The loaded shapes themselves.
    CollisionComp plane;
    TiXmlDocument document;
    document.Parse((std::string("<Component><float/><float/><float/><bool/><string>Plane</string>") +
                    cases[2].element + "</Component>")
                       .c_str());
    ASSERT_TRUE(plane.Deserialize(document.RootElement()));
    auto* planeHull = dynamic_cast<dorvo::phy::PlaneHull*>(plane.GetHull());
    ASSERT_NE(planeHull, nullptr);
    EXPECT_EQ(planeHull->plane.normal, Vector3(0.0f, 2.0f, 0.0f));
    EXPECT_EQ(planeHull->plane.d, -3.0f);

    CollisionComp triangle;
    TiXmlDocument triangleDocument;
    triangleDocument.Parse(
        (std::string("<Component><float/><float/><float/><bool/><string>Triangle</string>") +
         cases[3].element + "</Component>")
            .c_str());
    ASSERT_TRUE(triangle.Deserialize(triangleDocument.RootElement()));
    auto* triangleHull = dynamic_cast<dorvo::phy::TriangleHull*>(triangle.GetHull());
    ASSERT_NE(triangleHull, nullptr);
    EXPECT_EQ(triangleHull->bodyTriangle.normal, Vector3(0.0f, 1.0f, 0.0f)) << "recomputed from the vertices";
}

TEST_F(CollisionCompTest, UnknownOrMissingHullDataLoadsWithoutAHull)
{
    struct Case
    {
        const char* name;
        const char* xml;
        bool hull;
        std::string error;
    };
    const Case cases[] = {
        // The line names the file and the line of the type.
        {"a lower-case type",
         "<Component><float>0.5</float><float/><float/><bool/>\n<string>obb</string>"
         "<OBBHull/></Component>",
         false,
         "CollisionComp::Deserialize: archetypes/Box.xml:2: unknown HullType \"obb\" (expected \"OBB\", "
         "\"Sphere\", \"Plane\" or \"Triangle\"); the object has no hull\n"},
        {"no type at all", "<Component><float>0.5</float></Component>", false,
         "CollisionComp::Deserialize: archetypes/Box.xml:1: unknown HullType \"\" (expected \"OBB\", "
         "\"Sphere\", \"Plane\" or \"Triangle\"); the object has no hull\n"},
        {"a type without its element",
         "<Component><float>0.5</float><float/><float/><bool/>"
         "<string>Sphere</string></Component>",
         true, ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        TiXmlDocument document("archetypes/Box.xml");
        document.Parse(c.xml);
        CollisionComp comp;
        testsupport::LogCapture logged;
        EXPECT_TRUE(comp.Deserialize(document.RootElement()));
        EXPECT_EQ(logged.Text(), c.error);
        EXPECT_EQ(comp.GetHull() != nullptr, c.hull);
        EXPECT_EQ(comp.staticFriction, 0.5f);
        if (auto* sphere = dynamic_cast<dorvo::phy::SphereHull*>(comp.GetHull()))
        {
            EXPECT_EQ(sphere->sphere.radius, 0.0f);
            EXPECT_EQ(sphere->sphere.center, Vector3(0.0f, 0.0f, 0.0f));
        }
    }
    CollisionComp comp;
    EXPECT_FALSE(comp.Deserialize(nullptr));
    TiXmlText text("x");
    EXPECT_FALSE(comp.Serialize(&text));
}

TEST_F(CollisionCompTest, InitialisationLinksTheObjectsBody)
{
    Gob* ball = CreateBody(phytest::Sphere(Vector3(0.0f, 5.0f, 0.0f)));
    EXPECT_EQ(Collision(ball)->GetPhysicsComp(), Body(ball));
    EXPECT_EQ(Body(ball)->GetCollisionComp(), Collision(ball));
    EXPECT_EQ(Collision(ball)->GetOwnerID(), ball->GetID());
    EXPECT_EQ(Collision(ball)->clothComp, nullptr);

    Gob* floor = CreateBody(phytest::Plane(Vector3(0.0f, 1.0f, 0.0f), 0.0f));
    EXPECT_EQ(Collision(floor)->GetPhysicsComp(), nullptr);
}

TEST_F(CollisionCompTest, CallbacksRunInNameOrderAndTheFirstOfANameStays)
{
    Gob* gob = CreateBody(phytest::Sphere(Vector3(0.0f, 5.0f, 0.0f)));
    CollisionComp* comp = Collision(gob);
    comp->AddCollisionFunctor("MagneticFieldFunc", CollisionFunctor(&Record<2>));
    comp->AddCollisionFunctor("AcceleratorFunc", CollisionFunctor(&Record<0>));
    comp->AddCollisionFunctor("MagnetCollisionFunc", CollisionFunctor(&Record<1>));
    comp->AddCollisionFunctor("AcceleratorFunc", CollisionFunctor(&Record<2>)); // ignored
    comp->AddCollisionBeginFunctor("QUORBFunc", CollisionFunctor(&Record<1>));

    CollisionFunctorData data;
    data.gobIdA = 7;
    data.gobIdB = gob->GetID();
    g_calls.clear();
    comp->CallCollisionFunctors(data);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"first 1 7-1", "second 1 7-1", "third 1 7-1"}));
    g_calls.clear();
    comp->CallCollisionBeginFunctors(data);
    EXPECT_EQ(g_calls, std::vector<std::string>{"second 1 7-1"});
}

TEST_F(CollisionCompTest, TheRecordsImpulseStopsOrReversesTheApproach)
{
    // Two unit spheres meeting head-on at 4: A at x = 1 moving -2, B at x = -1 moving +2.
    phytest::BodySpec a = phytest::Sphere(Vector3(1.0f, 5.0f, 0.0f));
    a.velocity = Vector3(-2.0f, 0.0f, 0.0f);
    phytest::BodySpec b = phytest::Sphere(Vector3(-1.0f, 5.0f, 0.0f));
    b.velocity = Vector3(2.0f, 0.0f, 0.0f);
    Gob* gobA = CreateBody(a);
    Gob* gobB = CreateBody(b);
    const Vector3 n(1.0f, 0.0f, 0.0f);
    const Vector3 point(0.0f, 5.0f, 0.0f);
    const Vector3 relative(-4.0f, 0.0f, 0.0f);

    struct Case
    {
        const char* name;
        std::uint32_t idA;
        std::uint32_t idB;
        float restitution;
        float j;
    };
    const Case cases[] = {
        {"elastic", gobA->GetID(), gobB->GetID(), 1.0f, 4.0f},
        {"plastic", gobA->GetID(), gobB->GetID(), 0.0f, 2.0f},
        {"against an object without a body", gobA->GetID(), 99, 1.0f, 4.0f}, // vn -2, K 1
        {"no bodies", 98, 99, 1.0f, 0.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const CollisionFunctorData data(c.idA, c.idB, point, n, 0.01f, relative, 4.0f, c.restitution);
        EXPECT_EQ(data.impulse, n * c.j);
        EXPECT_EQ(data.restitution, c.restitution);
        EXPECT_EQ(data.relativeSpeed, 4.0f);
        const CollisionFunctorData copy = data;
        EXPECT_EQ(copy.impulse, data.impulse);
        EXPECT_EQ(copy.gobIdB, c.idB);
    }

    // Separating bodies get a negative j: the record is not clamped.
    const CollisionFunctorData apart(gobB->GetID(), gobA->GetID(), point, n, 0.0f, relative, 4.0f, 1.0f);
    EXPECT_EQ(apart.impulse, n * -4.0f);

    // Two immovable bodies cannot take any impulse.
    Body(gobA)->immovable = true;
    Body(gobB)->immovable = true;
    const CollisionFunctorData stuck(gobA->GetID(), gobB->GetID(), point, n, 0.0f, relative, 4.0f, 1.0f);
    EXPECT_EQ(stuck.impulse, Vector3(0.0f, 0.0f, 0.0f));
}

TEST_F(CollisionCompTest, IgnoringIsMutualAndNeedsTwoHulls)
{
    Gob* a = CreateBody(phytest::Sphere(Vector3(0.0f, 5.0f, 0.0f)));
    Gob* b = CreateBody(phytest::Box(Vector3(2.0f, 5.0f, 0.0f)));
    phytest::BodySpec hullless = phytest::Sphere(Vector3(4.0f, 5.0f, 0.0f));
    hullless.hullType = "Capsule";
    testsupport::LogCapture logged;
    Gob* c = CreateBody(hullless);

    Collision(a)->IgnoreCollisionWith(Collision(b));
    Collision(a)->IgnoreCollisionWith(Collision(b));
    Collision(a)->IgnoreCollisionWith(Collision(c));
    Collision(c)->IgnoreCollisionWith(Collision(a));
    EXPECT_EQ(phytest::Hull(a)->ignoreList, std::vector<dorvo::phy::CollisionHull*>{phytest::Hull(b)});
    EXPECT_EQ(phytest::Hull(b)->ignoreList, std::vector<dorvo::phy::CollisionHull*>{phytest::Hull(a)});
}

TEST_F(CollisionCompTest, UnusableNumbersAreRefusedWithALineAndTheFieldKept)
{
    struct Case
    {
        const char* name;
        std::string xml;
        std::string error;
    };
    const std::string head = "<Component><float>0.5</float><float>0.5</float><float>inf</float><bool/>";
    const std::string coeffRes =
        "CollisionComp::Deserialize: \"CoeffRes\" is \"inf\", not a usable number; the value is kept\n";
    const Case cases[] = {
        {"sphere",
         head + "<string>Sphere</string><SphereHull><Vector><float>nan</float><float>0</float>"
                "<float>0</float></Vector><float>-inf</float></SphereHull></Component>",
         coeffRes +
             "SphereHull::Deserialize: \"Center\" is (nan, 0, 0), not a usable number; the value is kept\n"
             "SphereHull::Deserialize: \"Radius\" is \"-inf\", not a usable number; the value is kept\n"},
        {"box",
         head + "<string>OBB</string><OBBHull><Vector><float>1</float><float>1e9</float><float>1</float>"
                "</Vector><Vector/></OBBHull></Component>",
         coeffRes +
             "OBBHull::Deserialize: \"Extent\" is (1, 1e+09, 1), not a usable number; the value is kept\n"},
        {"plane",
         head + "<string>Plane</string><PlaneHull><Vector><float>0</float><float>1</float>"
                "<float>0</float></Vector><float>nan</float></PlaneHull></Component>",
         coeffRes + "PlaneHull::Deserialize: \"D\" is \"nan\", not a usable number; the value is kept\n"},
        {"triangle",
         head + "<string>Triangle</string><TriangleHull><Vector/><Vector><float>inf</float></Vector>"
                "</TriangleHull></Component>",
         coeffRes +
             "TriangleHull::Deserialize: \"BodyVert1\" is (inf, 0, 0), not a usable number; the value is "
             "kept\n"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        TiXmlDocument document;
        document.Parse(c.xml.c_str());
        CollisionComp comp;
        testsupport::LogCapture logged;
        EXPECT_TRUE(comp.Deserialize(document.RootElement()));
        EXPECT_EQ(logged.Text(), c.error);
        EXPECT_EQ(comp.coeffRes, 1.0f);
        ASSERT_NE(comp.GetHull(), nullptr);
        if (auto* sphere = dynamic_cast<dorvo::phy::SphereHull*>(comp.GetHull()))
        {
            EXPECT_EQ(sphere->sphere.center, Vector3(0.0f, 0.0f, 0.0f));
            EXPECT_EQ(sphere->sphere.radius, 0.0f);
        }
        if (auto* box = dynamic_cast<dorvo::phy::OBBHull*>(comp.GetHull()))
        {
            EXPECT_EQ(box->GetOBB().halfExtent, Vector3(0.0f, 0.0f, 0.0f));
        }
        if (auto* plane = dynamic_cast<dorvo::phy::PlaneHull*>(comp.GetHull()))
        {
            EXPECT_EQ(plane->plane.normal, Vector3(0.0f, 1.0f, 0.0f));
            EXPECT_EQ(plane->plane.d, 0.0f);
        }
        if (auto* triangle = dynamic_cast<dorvo::phy::TriangleHull*>(comp.GetHull()))
        {
            EXPECT_EQ(triangle->bodyTriangle.v1, Vector3(0.0f, 0.0f, 0.0f));
        }
    }
}
