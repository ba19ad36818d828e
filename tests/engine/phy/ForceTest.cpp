#include "engine/phy/Force.h"

#include "PhysicsTestWorld.h"
#include "engine/phy/DefaultForceCreator.h"
#include "engine/phy/DragForce.h"
#include "engine/phy/Gravity.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>

using dorvo::phy::DragForce;
using dorvo::phy::Gravity;
using math::Quaternion;
using math::Vector3;

namespace
{
class ForceTest : public phytest::PhysicsTest
{
};

std::string Print(const TiXmlNode& node)
{
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    node.Accept(&printer);
    return printer.CStr();
}

// A force type of a test's own, to see which creator a name keeps.
class MarkerForce : public dorvo::phy::Force
{
public:
    bool Serialize(TiXmlNode*) override { return true; }
    bool Deserialize(const TiXmlNode*) override { return true; }
    void Apply(float, Vector3& force, Vector3&, const Vector3&, const Quaternion&, const Vector3&,
               const Vector3&, float) override
    {
        force.x += 1.0f;
    }
};
} // namespace

TEST_F(ForceTest, GravityPullsWithMassTimesGravityWhateverTheMotion)
{
    Gravity gravity;
    for (const Vector3& velocity : {Vector3(0, 0, 0), Vector3(50, -20, 3), Vector3(-1, 1000, 0)})
    {
        Vector3 force(1.0f, 2.0f, 3.0f);
        Vector3 torque(4.0f, 5.0f, 6.0f);
        gravity.Apply(1.0f / 30.0f, force, torque, Vector3(7, 8, 9), Quaternion(1, 0, 0, 0), velocity,
                      Vector3(1, 1, 1), 2.0f);
        EXPECT_EQ(force, Vector3(1.0f, 2.0f - 19.6f, 3.0f));
        EXPECT_EQ(torque, Vector3(4.0f, 5.0f, 6.0f));
    }
    engine.gravity = Vector3(0.0f, 0.0f, 3.0f);
    Vector3 force;
    Vector3 torque;
    gravity.Apply(1.0f / 30.0f, force, torque, Vector3(), Quaternion(1, 0, 0, 0), Vector3(), Vector3(), 2.0f);
    EXPECT_EQ(force, Vector3(0.0f, 0.0f, 6.0f)) << "the engine's gravity is read at every call";
}

TEST_F(ForceTest, DragOpposesTheVelocityInProportionToMass)
{
    DragForce drag;
    drag.SetLinearDrag(0.5f);
    drag.SetAngularDrag(3.0f);
    Vector3 force(0.0f, -1.0f, 0.0f);
    Vector3 torque;
    drag.Apply(1.0f / 30.0f, force, torque, Vector3(), Quaternion(1, 0, 0, 0), Vector3(1, 0, 0),
               Vector3(0, 9, 0), 4.0f);
    EXPECT_EQ(force, Vector3(-2.0f, -1.0f, 0.0f));
    EXPECT_EQ(torque, Vector3(0.0f, 0.0f, 0.0f)) << "the angular drag acts on nothing";
}

TEST_F(ForceTest, ForcesSaveTheirOwnElementsAndReadThemByPosition)
{
    TiXmlElement parent("Component");
    Gravity gravity;
    DragForce drag;
    drag.SetLinearDrag(0.25f);
    drag.SetAngularDrag(0.5f);
    EXPECT_TRUE(gravity.Serialize(&parent));
    EXPECT_TRUE(drag.Serialize(&parent));
    EXPECT_EQ(Print(parent), "<Component><Gravity /><DragForce><float name=\"LinearDrag\">0.25</float>"
                             "<float name=\"AngularDrag\">0.5</float></DragForce></Component>");

    TiXmlDocument document;
    document.Parse("<DragForce><a>0.3</a><float name=\"LinearDrag\">0.7</float></DragForce>");
    DragForce read;
    EXPECT_TRUE(read.Deserialize(document.RootElement()));
    EXPECT_FLOAT_EQ(read.GetLinearDrag(), 0.3f);
    EXPECT_FLOAT_EQ(read.GetAngularDrag(), 0.7f);

    TiXmlText text("x");
    for (dorvo::phy::Force* force :
         {static_cast<dorvo::phy::Force*>(&gravity), static_cast<dorvo::phy::Force*>(&drag)})
    {
        EXPECT_FALSE(force->Serialize(nullptr));
        EXPECT_FALSE(force->Serialize(&text));
        EXPECT_FALSE(force->Deserialize(nullptr));
        EXPECT_FALSE(force->Deserialize(&text));
    }
}

TEST_F(ForceTest, ForcesComeFromTheFirstCreatorOfTheirName)
{
    static dorvo::phy::DefaultForceCreator<MarkerForce> s_marker;
    engine.RegisterForceCreator("Gravity", &s_marker);
    engine.RegisterForceCreator("Marker", &s_marker);
    std::unique_ptr<dorvo::phy::Force> gravity(engine.CreateForce("Gravity"));
    std::unique_ptr<dorvo::phy::Force> marker(engine.CreateForce("Marker"));
    EXPECT_NE(dynamic_cast<Gravity*>(gravity.get()), nullptr);
    EXPECT_NE(dynamic_cast<MarkerForce*>(marker.get()), nullptr);
    EXPECT_EQ(engine.CreateForce("gravity"), nullptr) << "names keep their case";
    EXPECT_EQ(engine.CreateForce(""), nullptr);
}
