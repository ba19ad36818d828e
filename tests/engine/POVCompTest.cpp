#include "engine/POVComp.h"

#include "TestSupport.h"
#include "common/COctTree.h"
#include "common/ParamStack.h"
#include "engine/DefaultCompCreator.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/GridComp.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tinyxml.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

using math::AABB;
using math::Quaternion;
using math::Sphere;
using math::Vector3;

namespace
{
constexpr float kTolerance = 1e-5f;

// A quarter turn about +y: local x goes to world -z, local z to world +x.
Quaternion QuarterTurnAboutY()
{
    const float h = std::sqrt(0.5f);
    return Quaternion(h, 0.0f, h, 0.0f);
}

void ExpectVector(const Vector3& actual, float x, float y, float z)
{
    EXPECT_NEAR(actual.x, x, kTolerance);
    EXPECT_NEAR(actual.y, y, kTolerance);
    EXPECT_NEAR(actual.z, z, kTolerance);
}

void ExpectBox(const AABB& box, const AABB& expected)
{
    for (int i = 0; i < 3; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_NEAR(box.min[i], expected.min[i], kTolerance);
        EXPECT_NEAR(box.max[i], expected.max[i], kTolerance);
        EXPECT_LE(box.min[i], box.max[i]);
    }
}

AABB Box(float x0, float y0, float z0, float x1, float y1, float z1)
{
    return AABB(Vector3(x0, y0, z0), Vector3(x1, y1, z1));
}

std::vector<std::string> ChildValues(const TiXmlElement* element)
{
    std::vector<std::string> out;
    for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
    {
        out.push_back(child->ValueStr() + ":" + (child->Attribute("name") ? child->Attribute("name") : ""));
    }
    return out;
}
} // namespace

TEST(POVComp, FreshComponentSitsAtTheOriginWithNoExtent)
{
    POVComp pov;
    const Sphere sphere = pov.GetBoundingSphere();
    ExpectVector(sphere.center, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(sphere.radius, 0.0f);
    ExpectBox(pov.GetBoundingBox(), Box(0, 0, 0, 0, 0, 0));
    const math::Matrix4 identity;
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_EQ(pov.GetWorldMatrix().m[i], identity.m[i]) << i;
    }
    EXPECT_EQ(pov.GetOwner(), nullptr);
    EXPECT_EQ(pov.GetBVType(), 0u);
    const Quaternion q = pov.GetOrientation();
    EXPECT_EQ(q.w, 1.0f);
}

TEST(POVComp, WorldSphereScalesTheRadiusButNotTheCentre)
{
    struct Case
    {
        const char* what;
        Vector3 scale;
        Vector3 localCentre;
        float expectedRadius;
        Vector3 expectedCentre;
    };
    const Case cases[] = {
        {"largest scale factor", Vector3(2, 3, 1), Vector3(0, 0, 0), 3.0f, Vector3(5, 0, 0)},
        {"local centre neither turned nor scaled", Vector3(2, 2, 2), Vector3(1, 0, 0), 2.0f,
         Vector3(6, 0, 0)},
        {"negative scale keeps a positive radius", Vector3(-4, 1, 1), Vector3(0, 0, 0), 4.0f,
         Vector3(5, 0, 0)},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        POVComp pov;
        pov.SetPosition(Vector3(5, 0, 0), false);
        pov.SetOrientation(QuarterTurnAboutY(), false);
        pov.SetScale(c.scale, false);
        pov.SetBoundingSphere(Sphere(c.localCentre, 1.0f));
        const Sphere world = pov.GetBoundingSphere();
        EXPECT_NEAR(world.radius, c.expectedRadius, kTolerance);
        ExpectVector(world.center, c.expectedCentre.x, c.expectedCentre.y, c.expectedCentre.z);
        EXPECT_EQ(pov.GetLocalBoundingSphere().radius, 1.0f);
    }
}

TEST(POVComp, WorldBoxFollowsRotationScaleAndPosition)
{
    struct Case
    {
        const char* what;
        Quaternion orientation;
        Vector3 scale;
        AABB local;
        Vector3 position;
        AABB expected;
    };
    const Quaternion identity(1, 0, 0, 0);
    const Case cases[] = {
        {"moved only", identity, Vector3(1, 1, 1), Box(-1, -1, -1, 1, 1, 1), Vector3(5, 0, 0),
         Box(4, -1, -1, 6, 1, 1)},
        {"quarter turn swaps x and z", QuarterTurnAboutY(), Vector3(1, 1, 1), Box(0, 0, 0, 2, 1, 1),
         Vector3(0, 0, 0), Box(0, 0, -2, 1, 1, 0)},
        {"scale per local axis before the turn", QuarterTurnAboutY(), Vector3(2, 1, 3), Box(0, 0, 0, 1, 1, 1),
         Vector3(10, 0, 0), Box(10, 0, -2, 13, 1, 0)},
        {"negative scale", identity, Vector3(-2, 1, -1), Box(-1, 0, 1, 3, 2, 4), Vector3(0, 0, 0),
         Box(-6, 0, -4, 2, 2, -1)},
        {"negative scale and a turn", QuarterTurnAboutY(), Vector3(-1, -1, -1), Box(0, 0, 0, 2, 1, 1),
         Vector3(0, 0, 0), Box(-1, -1, 0, 0, 0, 2)},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        POVComp pov;
        pov.SetOrientation(c.orientation, false);
        pov.SetScale(c.scale, false);
        pov.SetPosition(c.position, false);
        pov.SetBoundingBox(c.local);
        ExpectBox(pov.GetBoundingBox(), c.expected);
        ExpectBox(pov.GetOctTreeBox(), c.expected);
    }
}

TEST(POVComp, WorldMatrixScalesThenTurnsThenMoves)
{
    POVComp pov;
    pov.SetOrientation(QuarterTurnAboutY(), false);
    pov.SetScale(Vector3(2, 3, 4), false);
    pov.SetPosition(Vector3(1, 2, 3), false);
    const math::Matrix4 world = pov.GetWorldMatrix();
    ExpectVector(world.TransformPoint(Vector3(1, 0, 0)), 1, 2, 1); // x scaled 2, onto -z
    ExpectVector(world.TransformPoint(Vector3(0, 1, 0)), 1, 5, 3); // y scaled 3
    ExpectVector(world.TransformPoint(Vector3(0, 0, 1)), 5, 2, 3); // z scaled 4, onto +x
    EXPECT_EQ(world.m[3], 0.0f);
    EXPECT_EQ(world.m[7], 0.0f);
    EXPECT_EQ(world.m[11], 0.0f);
    EXPECT_EQ(world.m[15], 1.0f);
}

TEST(POVComp, SettersCopyValuesAsGivenIncludingTheirOwnFields)
{
    POVComp pov;
    pov.SetPosition(Vector3(1, 2, 3), false);
    pov.SetPosition(pov.GetPosition(), true); // not filed: nothing else happens
    ExpectVector(pov.GetPosition(), 1, 2, 3);
    pov.SetOrientation(Quaternion(2, 0, 0, 0), false); // not normalised
    EXPECT_EQ(pov.GetOrientation().w, 2.0f);
    pov.SetVelocity(Vector3(0, -9.8f, 0));
    ExpectVector(pov.GetVelocity(), 0, -9.8f, 0);
    pov.SetModelName("Widget.x");
    EXPECT_EQ(pov.GetModelName(), "Widget.x");
}

TEST(POVComp, XmlFormIsSevenValuesInFixedOrder)
{
    POVComp pov;
    pov.SetPosition(Vector3(1, 2, 3), false);
    pov.SetOrientation(Quaternion(0.5f, 0.25f, -0.5f, 0.75f), false);
    pov.SetVelocity(Vector3(4, 5, 6));
    pov.SetScale(Vector3(7, 8, 9), false);
    pov.SetBoundingSphere(Sphere(Vector3(0.5f, 0, 0), 2.5f));
    pov.SetBoundingBox(Box(-1, -2, -3, 1, 2, 3));
    pov.SetBVType(1);
    pov.SetModelName("NotSaved.x");

    TiXmlElement parent("Gob");
    ASSERT_TRUE(pov.Serialize(&parent));
    const TiXmlElement* element = parent.FirstChildElement();
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->ValueStr(), "Component");
    EXPECT_STREQ(element->Attribute("name"), "POVComp");
    EXPECT_THAT(ChildValues(element),
                ::testing::ElementsAre("Vector:Position", "Quat:Orientation", "Vector:Velocity",
                                       "Vector:Scale", "Sphere:BoundingSphere", "AABB:BoundingAABB",
                                       "int:BVType"));
    const TiXmlElement* quat = element->FirstChildElement()->NextSiblingElement();
    EXPECT_THAT(ChildValues(quat), ::testing::ElementsAre("float:x", "float:y", "float:z", "float:w"));
    EXPECT_STREQ(quat->LastChild()->ToElement()->GetText(), "0.5");
    EXPECT_STREQ(element->LastChild()->ToElement()->GetText(), "1");
    EXPECT_EQ(parent.FirstChildElement()->NextSiblingElement(), nullptr);

    POVComp copy;
    ASSERT_TRUE(copy.Deserialize(element));
    ExpectVector(copy.GetPosition(), 1, 2, 3);
    const Quaternion q = copy.GetOrientation();
    EXPECT_EQ(q.w, 0.5f);
    EXPECT_EQ(q.x, 0.25f);
    EXPECT_EQ(q.y, -0.5f);
    EXPECT_EQ(q.z, 0.75f);
    ExpectVector(copy.GetVelocity(), 4, 5, 6);
    ExpectVector(copy.GetScale(), 7, 8, 9);
    EXPECT_EQ(copy.GetLocalBoundingSphere().radius, 2.5f);
    EXPECT_EQ(copy.GetLocalBoundingSphere().center.x, 0.5f);
    ExpectBox(copy.GetLocalBoundingBox(), Box(-1, -2, -3, 1, 2, 3));
    EXPECT_EQ(copy.GetBVType(), 1u);
    EXPECT_EQ(copy.GetModelName(), "");
}

TEST(POVComp, DeserializeReadsByPositionAndKeepsMissingFields)
{
    TiXmlDocument doc;
    doc.Parse("<Component name=\"POVComp\">"
              "<Vector name=\"Ignored\"><float>1</float><float>2</float><float>3</float></Vector>"
              "<Quat><float>0</float><float>1</float><float>0</float><float>0</float></Quat>"
              "</Component>");
    POVComp pov;
    pov.SetScale(Vector3(2, 2, 2), false);
    pov.SetBVType(1);
    ASSERT_TRUE(pov.Deserialize(doc.RootElement()));
    ExpectVector(pov.GetPosition(), 1, 2, 3);
    EXPECT_EQ(pov.GetOrientation().y, 1.0f);
    EXPECT_EQ(pov.GetOrientation().w, 0.0f);
    ExpectVector(pov.GetScale(), 2, 2, 2);
    EXPECT_EQ(pov.GetBVType(), 1u);

    TiXmlDocument bv;
    bv.Parse("<Component><Vector/><Quat/><Vector/><Vector/><Sphere/><AABB/><int>-1</int></Component>");
    ASSERT_TRUE(pov.Deserialize(bv.RootElement()));
    EXPECT_EQ(pov.GetBVType(), 0xFFFFFFFFu); // read back as unsigned

    EXPECT_FALSE(pov.Deserialize(nullptr));
    TiXmlText text("x");
    EXPECT_FALSE(pov.Deserialize(&text));
    EXPECT_FALSE(pov.Serialize(nullptr));
    EXPECT_FALSE(pov.Serialize(&text));
}

// Game objects built from a template, filed in the game's oct tree.
class POVCompInWorld : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterComponentType<POVComp>("POVComp");
        RegisterComponentType<GridComp>("GridComp");
        WriteTemplate("PovObject", {"POVComp"});
        WriteTemplate("PovGridObject", {"POVComp", "GridComp"});
        WriteTemplate("GridOnlyObject", {"GridComp"});
        tree.SetDepth(4);
        tree.SetWorldBox(Box(-90, -90, -90, 150, 630, 150));
        tree.Rebuild();
    }

    void TearDown() override { GobManager::Instance().DestroyAllGobs(); }

    void WriteTemplate(const std::string& type, const std::vector<std::string>& components)
    {
        const std::string file = type + ".xml";
        std::ofstream out(file);
        out << "<File><Template><string>" << type << "</string><string>" << type << "</string><list size=\""
            << components.size() << "\">";
        for (const std::string& component : components)
        {
            out << "<string>" << component << "</string>";
        }
        out << "</list><list size=\"0\"/></Template></File>";
        out.close();
        GobManager::Instance().LoadTemplate(file);
    }

    // A unit cube around the object's position.
    Gob* CreateCube(const std::string& type, const Vector3& position)
    {
        Gob* gob = GobManager::Instance().CreateGob(type);
        if (gob)
        {
            GetPOVComp(gob)->SetBoundingBox(Box(-0.5f, -0.5f, -0.5f, 0.5f, 0.5f, 0.5f));
            GetPOVComp(gob)->SetPosition(position, true);
        }
        return gob;
    }

    const math::AABB& NodeBox(const Gob* gob) const
    {
        static const AABB s_none(Vector3(1e9f, 1e9f, 1e9f), Vector3(1e9f, 1e9f, 1e9f));
        const common::SOctNode* node = tree.FindNode(gob->GetID());
        return node ? node->m_Box : s_none;
    }

    testsupport::TempWorkDir dir;
    common::COctTree& tree = common::COctTree::Global();
};

TEST_F(POVCompInWorld, InitialiseFilesTheObjectAndDestructionUnfilesIt)
{
    Gob* gob = GobManager::Instance().CreateGob("PovObject");
    ASSERT_NE(gob, nullptr);
    POVComp* pov = GetPOVComp(gob);
    ASSERT_NE(pov, nullptr);
    EXPECT_EQ(pov->GetOwner(), gob);
    EXPECT_EQ(pov->GetPOVComp(), pov);
    EXPECT_EQ(pov->GetOctTreeKey(), gob->GetID());
    // A point at the origin touches the centre planes of several nodes: the lower children win.
    ASSERT_NE(tree.FindNode(gob->GetID()), nullptr);
    EXPECT_EQ(POVComp::FromOctTreeObject(tree.FindNode(gob->GetID())->m_Objects.at(gob->GetID())), pov);
    EXPECT_TRUE(tree.FindNode(gob->GetID())->IsLeaf());

    GobManager::Instance().DestroyAllGobs();
    EXPECT_EQ(tree.GetObjectCount(), 0u);
}

TEST_F(POVCompInWorld, OnlyNotifyingSettersReFile)
{
    Gob* gob = CreateCube("PovObject", Vector3(0.5f, 0.5f, 0.5f));
    ASSERT_NE(gob, nullptr);
    POVComp* pov = GetPOVComp(gob);
    const AABB before = NodeBox(gob);
    EXPECT_TRUE(before.Contains(pov->GetBoundingBox()));

    pov->SetPosition(Vector3(100, 500, 100), false);
    ExpectBox(NodeBox(gob), before);
    pov->SetVelocity(Vector3(1, 1, 1));
    pov->SetBoundingSphere(Sphere(Vector3(), 50.0f));
    ExpectBox(NodeBox(gob), before);

    pov->SetOrientation(pov->GetOrientation(), true);
    EXPECT_TRUE(NodeBox(gob).Contains(pov->GetBoundingBox()));
    EXPECT_FALSE(before.Contains(pov->GetBoundingBox()));

    // A larger box straddles the root's centre planes and climbs there; SetBoundingBox
    // re-files without a flag.
    pov->SetBoundingBox(Box(-150, -150, -150, 30, 100, 30));
    EXPECT_EQ(tree.FindNode(gob->GetID()), tree.GetRoot());

    pov->SetBoundingBox(Box(-0.5f, -0.5f, -0.5f, 0.5f, 0.5f, 0.5f));
    pov->SetScale(Vector3(2, 2, 2), true);
    EXPECT_TRUE(NodeBox(gob).Contains(pov->GetBoundingBox()));
    EXPECT_FALSE(gob->IsKilled());

    // A scale set without notice counts at the next notifying setter, even one that sets the
    // pose the object already has.
    pov->SetScale(Vector3(40, 40, 40), false);
    EXPECT_FALSE(NodeBox(gob).Contains(pov->GetBoundingBox()));
    pov->SetPosition(pov->GetPosition(), true);
    EXPECT_TRUE(NodeBox(gob).Contains(pov->GetBoundingBox()));
}

TEST_F(POVCompInWorld, LeavingTheWorldBoxKillsTheObjectByTheNextFrame)
{
    Gob* leaving = CreateCube("PovObject", Vector3(140, 0, 0));
    Gob* staying = CreateCube("PovObject", Vector3(0, 0, 0));
    ASSERT_NE(leaving, nullptr);
    const std::uint32_t id = leaving->GetID();

    GetPOVComp(leaving)->SetPosition(Vector3(150, 0, 0), false); // not told: nothing happens
    EXPECT_FALSE(leaving->IsKilled());

    GetPOVComp(leaving)->SetPosition(Vector3(150, 0, 0), true); // box reaches past x = 150
    EXPECT_TRUE(leaving->IsKilled());
    EXPECT_TRUE(GobManager::Instance().IsOnKillList(leaving));
    EXPECT_EQ(tree.FindNode(id), nullptr);
    EXPECT_EQ(GobManager::Instance().GetGob(id), leaving); // until the next frame

    GobManager::Instance().ProcessKillList();
    EXPECT_EQ(GobManager::Instance().GetGob(id), nullptr);
    EXPECT_FALSE(staying->IsKilled());
    EXPECT_EQ(tree.GetObjectCount(), 1u);
}

TEST_F(POVCompInWorld, CreatedOutsideTheWorldIsKilled)
{
    Gob* gob = GobManager::Instance().CreateGobAtPos("PovObject", Vector3(0, 700, 0), true);
    ASSERT_NE(gob, nullptr);
    EXPECT_TRUE(gob->IsKilled());
    EXPECT_EQ(tree.FindNode(gob->GetID()), nullptr);
}

TEST_F(POVCompInWorld, NeighboursComeFromTheTreeAndNeverIncludeTheObject)
{
    Gob* a = CreateCube("PovObject", Vector3(10, 10, 10));
    Gob* b = CreateCube("PovObject", Vector3(10.5f, 10, 10));
    Gob* far = CreateCube("PovObject", Vector3(120, 600, 120));
    ASSERT_TRUE(a && b && far);
    std::vector<std::uint32_t> out;
    tree.GetNeighbours(a->GetID(), out);
    EXPECT_THAT(out, ::testing::Contains(b->GetID()));
    EXPECT_THAT(out, ::testing::Not(::testing::Contains(a->GetID())));
    EXPECT_THAT(out, ::testing::Not(::testing::Contains(far->GetID())));
}

TEST_F(POVCompInWorld, ByNameFunctionsTravelOnTheArgumentStack)
{
    Gob* gob = GobManager::Instance().CreateGob("PovObject");
    ASSERT_NE(gob, nullptr);
    POVComp* pov = GetPOVComp(gob);

    {
        ParamStack params;
        params.Push(Vector3(1, 2, 3));
        params.Push(true);
        gob->CallFunction("SetPosition", params, false);
        EXPECT_TRUE(params.IsEmpty());
    }
    ExpectVector(pov->GetPosition(), 1, 2, 3);
    {
        ParamStack params;
        gob->CallFunction("GetPosition", params, false);
        ASSERT_EQ(params.GetCount(), 1u);
        EXPECT_EQ(params.GetTag(0), ParamStack::TAG_Vector3);
        Vector3 value;
        params.Pop(value);
        ExpectVector(value, 1, 2, 3);
    }
    {
        ParamStack params;
        params.Push(Quaternion(0, 1, 0, 0));
        params.Push(false);
        gob->CallFunction("SetOrientation", params, false);
        gob->CallFunction("GetOrientation", params, false);
        ASSERT_EQ(params.GetCount(), 1u);
        EXPECT_EQ(params.GetTag(0), ParamStack::TAG_Quaternion);
        Quaternion value;
        params.Pop(value);
        EXPECT_EQ(value.x, 1.0f);
        EXPECT_EQ(value.w, 0.0f);
    }
    {
        ParamStack params;
        params.Push(Vector3(0, 0, -4));
        gob->CallFunction("SetVelocity", params, false);
        params.Push(Vector3(3, 3, 3));
        params.Push(true);
        gob->CallFunction("SetScale", params, false);
        ASSERT_TRUE(params.IsEmpty());
        gob->CallFunction("GetScale", params, false); // a getter wants an empty stack
        Vector3 scale;
        params.Pop(scale);
        gob->CallFunction("GetVelocity", params, false);
        Vector3 velocity;
        params.Pop(velocity);
        ExpectVector(scale, 3, 3, 3);
        ExpectVector(velocity, 0, 0, -4);
    }
    {
        // A stack of the wrong shape is refused; names are looked up with case.
        ParamStack params;
        params.Push(Vector3(9, 9, 9));
        gob->CallFunction("SetPosition", params, false);
        gob->CallFunction("setposition", params, false);
        ExpectVector(pov->GetPosition(), 1, 2, 3);
    }
    std::uint64_t signature = 0;
    ASSERT_TRUE(gob->GetFunctionSignature("SetScale", &signature));
    EXPECT_EQ(signature, 24u | (211u << 8));
}

TEST_F(POVCompInWorld, GetPOVCompFindsTheComponentOrNull)
{
    Gob* both = GobManager::Instance().CreateGob("PovGridObject");
    Gob* gridOnly = GobManager::Instance().CreateGob("GridOnlyObject");
    ASSERT_TRUE(both && gridOnly);
    POVComp* pov = GetPOVComp(both);
    ASSERT_NE(pov, nullptr);
    const Gob* constBoth = both;
    EXPECT_EQ(GetPOVComp(constBoth), pov);
    EXPECT_EQ(GetPOVComp(gridOnly), nullptr);
    EXPECT_EQ(GetPOVComp(static_cast<Gob*>(nullptr)), nullptr);

    auto* grid = static_cast<GridComp*>(both->GetComponent(GridComp::StaticTypeID()));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->GetPOVComp(), pov);
    auto* lonelyGrid = static_cast<GridComp*>(gridOnly->GetComponent(GridComp::StaticTypeID()));
    ASSERT_NE(lonelyGrid, nullptr);
    EXPECT_EQ(lonelyGrid->GetPOVComp(), nullptr);
}
