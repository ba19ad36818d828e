#include "engine/phy/PhysicsComp.h"

#include "LogCapture.h"
#include "PhysicsTestWorld.h"
#include "common/ParamStack.h"
#include "engine/phy/Constraint.h"
#include "engine/phy/DragForce.h"
#include "engine/phy/Force.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using dorvo::phy::PhysicsComp;
using math::Quaternion;
using math::Vector3;
using phytest::Body;
using phytest::CreateBody;
using phytest::Pov;

namespace
{
class PhysicsCompTest : public phytest::PhysicsTest
{
};

std::string Print(TiXmlNode& node)
{
    TiXmlPrinter printer;
    node.Accept(&printer);
    return printer.CStr();
}

// The body's component element as saved.
std::string Saved(PhysicsComp& body)
{
    TiXmlElement parent("Gob");
    EXPECT_TRUE(body.Serialize(&parent));
    return Print(parent);
}

// Parses `xml` and loads its root element into a fresh component.
void Load(PhysicsComp& body, const std::string& xml)
{
    TiXmlDocument document;
    document.Parse(xml.c_str());
    ASSERT_NE(document.RootElement(), nullptr) << xml;
    EXPECT_TRUE(body.Deserialize(document.RootElement()));
}

// A component element with the eight leading values, then `forces` as written.
std::string ComponentXml(unsigned int numForces, const std::string& forces)
{
    return "<Component name=\"PhysicsComp\"><float name=\"Mass\">3</float><float name=\"Density\">0</float>"
           "<bool name=\"UseDensity\">false</bool><float name=\"InertiaXX\">1</float>"
           "<float name=\"InertiaYY\">2</float><float name=\"InertiaZZ\">4</float>"
           "<bool name=\"Immovable\">false</bool><uint name=\"NumForces\">" +
           std::to_string(numForces) + "</uint>" + forces + "</Component>";
}

// A class whose constraint remembers that its body went away.
class WatchingConstraint : public dorvo::phy::Constraint
{
public:
    bool Solve(float) override { return false; }
    void DetachBody(PhysicsComp* body) override { detached.push_back(body); }
    std::vector<PhysicsComp*> detached;
};
} // namespace

TEST_F(PhysicsCompTest, MassesAndTheirInverses)
{
    struct Case
    {
        std::vector<float> masses;
        float mass;
        float invMass;
    };
    const Case cases[] = {
        {{0.0f}, 0.0f, 0.0f},
        {{2.0f}, 2.0f, 0.5f},
        {{-3.0f}, 0.0f, 0.0f},
        {{2.0f, 0.0f}, 0.0f, 0.0f}, // a body set to 0 no longer answers as mass 2
        {{std::numeric_limits<float>::quiet_NaN()}, 0.0f, 0.0f},
    };
    for (const Case& c : cases)
    {
        PhysicsComp body;
        for (float m : c.masses)
            body.SetMass(m);
        SCOPED_TRACE(c.masses.back());
        EXPECT_EQ(body.GetMass(), c.mass);
        EXPECT_EQ(body.GetInvMass(), c.invMass);
    }

    // By name, as the console's "obj" lines and the game call them.
    Gob* gob = CreateBody(phytest::Sphere(Vector3(0.0f, 5.0f, 0.0f)));
    ParamStack params;
    params.Push(4.0f);
    gob->CallFunction("SetMass", params, false);
    ParamStack result;
    gob->CallFunction("GetInvMass", result, false);
    float invMass = 0.0f;
    result.Pop(invMass);
    EXPECT_EQ(invMass, 0.25f);
    EXPECT_EQ(Body(gob)->GetMass(), 4.0f);
}

TEST_F(PhysicsCompTest, ImmovableBodiesIgnoreImpulsesAndForces)
{
    phytest::BodySpec spec = phytest::Sphere(Vector3(0.0f, 5.0f, 0.0f));
    spec.immovable = true;
    PhysicsComp* body = Body(CreateBody(spec));
    body->disturbed = false;
    body->ApplyImpulse(Vector3(1.0f, 2.0f, 3.0f));
    body->ApplyImpulseAtPoint(Vector3(1.0f, 2.0f, 3.0f), Vector3(1.0f, 5.0f, 0.0f));
    body->AddForce(Vector3(5.0f, 0.0f, 0.0f));
    EXPECT_EQ(body->velocity, Vector3(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(body->angularVelocity, Vector3(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(body->force, Vector3(0.0f, 0.0f, 0.0f));
    EXPECT_FALSE(body->disturbed);
}

TEST_F(PhysicsCompTest, PlaneModesKeepBodiesInTheirPlane)
{
    struct Case
    {
        std::uint32_t mode;
        int lockedAxis; // the velocity component across the plane
        int turnAxis;   // the only axis it may turn about
    };
    const Case cases[] = {
        {PhysicsComp::PLANE_XY, 2, 2}, {PhysicsComp::PLANE_YZ, 0, 0}, {PhysicsComp::PLANE_XZ, 1, 1}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.mode);
        PhysicsComp body;
        body.SetMass(1.0f);
        body.SetInertia(1.0f, 1.0f, 1.0f);
        body.planeMode = c.mode;
        body.lockRotation = true;
        // An impulse with a part across the plane, off the centre on every axis.
        body.ApplyImpulseAtPoint(Vector3(1.0f, 1.0f, 1.0f), Vector3(0.5f, -0.7f, 0.9f));
        EXPECT_EQ(body.velocity[c.lockedAxis], 0.0f);
        for (int axis = 0; axis < 3; ++axis)
        {
            if (axis != c.turnAxis)
            {
                EXPECT_EQ(body.angularVelocity[axis], 0.0f) << axis;
            }
        }
        EXPECT_NE(body.angularVelocity[c.turnAxis], 0.0f);
        EXPECT_TRUE(body.disturbed);
    }

    // Mode 1 in detail: the lever across the plane is dropped, so the turn about z comes from
    // the in-plane lever alone: r = (0.5, -0.7, 0) x J = (1, 1, 1) gives (-0.7, -0.5, 1.2).
    PhysicsComp body;
    body.SetMass(1.0f);
    body.SetInertia(1.0f, 1.0f, 1.0f);
    body.planeMode = PhysicsComp::PLANE_XY;
    body.ApplyImpulseAtPoint(Vector3(1.0f, 1.0f, 1.0f), Vector3(0.5f, -0.7f, 0.9f));
    EXPECT_EQ(body.velocity, Vector3(1.0f, 1.0f, 0.0f));
    EXPECT_EQ(body.angularVelocity, Vector3(0.0f, 0.0f, 1.2f));

    // Without lockRotation the body turns freely but still keeps to the plane.
    PhysicsComp free;
    free.SetMass(1.0f);
    free.SetInertia(1.0f, 1.0f, 1.0f);
    free.planeMode = PhysicsComp::PLANE_XY;
    free.lockRotation = false;
    free.ApplyImpulseAtPoint(Vector3(1.0f, 1.0f, 1.0f), Vector3(0.5f, -0.7f, 0.9f));
    EXPECT_EQ(free.velocity.z, 0.0f);
    EXPECT_NE(free.angularVelocity.x, 0.0f);
}

TEST_F(PhysicsCompTest, VelocitiesAreClampedPerComponent)
{
    PhysicsComp body;
    body.velocity = Vector3(150.0f, -120.0f, 3.0f);
    body.angularVelocity = Vector3(60.0f, -70.0f, 1.0f);
    body.ClampVelocities();
    EXPECT_EQ(body.velocity, Vector3(100.0f, -100.0f, 3.0f));
    EXPECT_EQ(body.angularVelocity, Vector3(50.0f, -50.0f, 1.0f));
}

TEST_F(PhysicsCompTest, ATurnedBoxAnswersATorqueAboutItsOwnAxisWithItsOwnMoment)
{
    phytest::BodySpec spec = phytest::Box(Vector3(0.0f, 5.0f, 0.0f), Vector3(1.0f, 2.0f, 4.0f));
    spec.mass = 3.0f;
    spec.forces.clear();
    spec.orientation.SetFromAxisAngle(Vector3(0.0f, 1.0f, 0.0f), math::kPi / 4.0f);
    spec.extent = Vector3(0.0f, 0.0f, 0.0f); // the first update sizes the hull from the scale
    Gob* gob = CreateBody(spec);
    PhysicsComp* body = Body(gob);
    phytest::Hull(gob)->UpdateFromBody();
    // (m / 3)(Y^2 + Z^2) = 20, (m / 3)(X^2 + Z^2) = 17, (m / 3)(X^2 + Y^2) = 5.
    EXPECT_FLOAT_EQ(body->GetInertia()[0][0], 20.0f);
    EXPECT_FLOAT_EQ(body->GetInertia()[1][1], 17.0f);
    EXPECT_FLOAT_EQ(body->GetInertia()[2][2], 5.0f);

    struct Case
    {
        int axis;
        float moment;
    };
    for (const Case& c : {Case{0, 20.0f}, Case{1, 17.0f}, Case{2, 5.0f}})
    {
        SCOPED_TRACE(c.axis);
        const Vector3 worldAxis = body->orientation.ToMatrix3().GetRow(c.axis);
        body->angularVelocity = Vector3();
        body->torque = worldAxis * 2.0f;
        body->IntegrateVelocity(0.5f);
        const Vector3 expected = worldAxis * (1.0f / c.moment);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(body->angularVelocity[i], expected[i], 1e-6f) << i;
    }
}

TEST_F(PhysicsCompTest, TheWorldInertiaFollowsTheObjectsTurnsAndNewMoments)
{
    phytest::BodySpec spec = phytest::Box(Vector3(0.0f, 5.0f, 0.0f), Vector3(1.0f, 2.0f, 4.0f));
    spec.mass = 3.0f;
    spec.forces.clear();
    spec.extent = Vector3(0.0f, 0.0f, 0.0f);
    Gob* gob = CreateBody(spec);
    PhysicsComp* body = Body(gob);
    phytest::Hull(gob)->UpdateFromBody(); // moments 20, 17, 5
    auto diagonal = [body](int i) { return body->GetWorldInvInertia()[i][i]; };
    struct Case
    {
        const char* what;
        float angle; // about y, as the game turns the object between steps
        float moments[3];
    };
    for (const Case& c : {Case{"unturned", 0.0f, {20.0f, 17.0f, 5.0f}},
                          Case{"a quarter turn about y", math::kPi / 2.0f, {5.0f, 17.0f, 20.0f}},
                          Case{"turned back", 0.0f, {20.0f, 17.0f, 5.0f}}})
    {
        SCOPED_TRACE(c.what);
        Quaternion turn;
        turn.SetFromAxisAngle(Vector3(0.0f, 1.0f, 0.0f), c.angle);
        Pov(gob)->SetOrientation(turn, true);
        body->ReadFromGob();
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(diagonal(i), 1.0f / c.moments[i], 1e-6f) << i;
    }
    // New moments at the same orientation.
    body->SetInertia(1.0f, 2.0f, 4.0f);
    body->ReadFromGob();
    EXPECT_NEAR(diagonal(0), 1.0f, 1e-6f);
    EXPECT_NEAR(diagonal(2), 0.25f, 1e-6f);
}

TEST_F(PhysicsCompTest, SpinTurnsTheBodyAboutTheWorldAxis)
{
    // Turned 90 degrees about y, spinning about world x: the body's y axis tips towards +z. Taking
    // the spin in body axes would tip it towards +x instead.
    PhysicsComp body;
    body.orientation.SetFromAxisAngle(Vector3(0.0f, 1.0f, 0.0f), math::kPi / 2.0f);
    body.angularVelocity = Vector3(1.0f, 0.0f, 0.0f);
    body.IntegratePosition(0.01f);
    const Vector3 yAxis = body.orientation.GetYAxis();
    EXPECT_NEAR(yAxis.x, 0.0f, 1e-6f);
    EXPECT_NEAR(yAxis.y, 0.99995f, 1e-5f);
    EXPECT_NEAR(yAxis.z, 0.0099998f, 1e-6f);
    EXPECT_NEAR(body.orientation.LengthSquared(), 1.0f, 1e-6f) << "normalised";
}

TEST_F(PhysicsCompTest, ANonFiniteResultIsReportedAndTheOldValueKept)
{
    Gob* gob = CreateBody(phytest::Sphere(Vector3(0.0f, 5.0f, 0.0f)));
    PhysicsComp* body = Body(gob);
    body->velocity = Vector3(1.0f, 2.0f, 3.0f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    body->ApplyImpulse(Vector3(nan, 0.0f, 0.0f));
    EXPECT_EQ(phytest::ConsoleLines(), std::vector<std::string>{">Gob ID: 1\n"
                                                                "Velocity: (nan, 2, 3)\n"
                                                                "Original Velocity: (1, 2, 3)\n"
                                                                "Impulse: (nan, 0, 0)"});
    EXPECT_EQ(body->velocity, Vector3(1.0f, 2.0f, 3.0f));

    common::ConsoleInterface::Instance().ClearOutput();
    body->SetInertia(1.0f, 1.0f, 1.0f);
    body->ApplyImpulseAtPoint(Vector3(0.0f, 1e30f, 0.0f), Vector3(1.0f, 5.0f, 0.0f));
    const std::vector<std::string> lines = phytest::ConsoleLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], ">Gob ID: 1\nVelocity: (1, 1e+30, 3)\nOriginal Velocity: (1, 2, 3)\n"
                        "Impulse: (0, 1e+30, 0)\nRelative Position: (1, 0, 0)");
    EXPECT_EQ(lines[1], ">Gob ID: 1\nAngular Velocity: (0, 0, 1e+30)\nOriginal Angular Velocity: (0, 0, 0)\n"
                        "Impulse: (0, 1e+30, 0)\nRelative Position: (1, 0, 0)");
    EXPECT_EQ(body->velocity, Vector3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(body->angularVelocity, Vector3(0.0f, 0.0f, 0.0f));

    // A step never carries a bad value on: the position stays where it was.
    common::ConsoleInterface::Instance().ClearOutput();
    body->velocity = Vector3(3e7f, 0.0f, 0.0f);
    body->IntegratePosition(1.0f);
    EXPECT_EQ(phytest::ConsoleLines(),
              std::vector<std::string>{">Gob ID: 1\nPosition: (3e+07, 5, 0)\nOriginal Position: (0, 5, 0)"});
    EXPECT_EQ(body->position, Vector3(0.0f, 5.0f, 0.0f));
}

TEST_F(PhysicsCompTest, UseDensityTakesTheMassFromTheHull)
{
    struct Case
    {
        const char* name;
        bool collision;
        const char* hullType;
        float mass;
        float invMass;
    };
    const Case cases[] = {
        {"sphere of radius 1, density 2", true, "Sphere", 16.0f, 1.0f / 16.0f},
        {"no collision component", false, "Sphere", 5.0f, 0.0f},
        {"a hull type nobody knows", true, "obb", 5.0f, 0.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        phytest::BodySpec spec = phytest::Sphere(Vector3(0.0f, 5.0f, 0.0f), 2.0f);
        spec.collision = c.collision;
        spec.hullType = c.hullType;
        spec.radius = 1.0f;
        spec.mass = 5.0f;
        spec.density = 2.0f;
        spec.useDensity = true;
        testsupport::LogCapture logged;
        PhysicsComp* body = Body(CreateBody(spec));
        EXPECT_EQ(body->GetMass(), c.mass);
        EXPECT_EQ(body->GetInvMass(), c.invMass);

        body->SetDensity(3.0f); // without a hull the mass stays
        EXPECT_EQ(body->GetDensity(), 3.0f);
        EXPECT_EQ(body->GetMass(), c.collision && c.hullType[0] == 'S' ? 24.0f : 5.0f);
    }
}

TEST_F(PhysicsCompTest, ForcesAreAppliedAndSavedInTypeNameOrder)
{
    phytest::BodySpec spec = phytest::Sphere(Vector3(0.0f, 5.0f, 0.0f));
    spec.mass = 2.0f;
    spec.forces = {"Gravity", "DragForce"};
    spec.linearDrag = 0.5f;
    spec.angularDrag = 0.25f;
    spec.velocity = Vector3(1.0f, 0.0f, 0.0f);
    Gob* gob = CreateBody(spec);
    PhysicsComp* body = Body(gob);
    ASSERT_EQ(body->GetForces().size(), 2u);
    EXPECT_EQ(body->GetForces().begin()->first, "DragForce");

    body->ApplyForces(1.0f / 30.0f);
    // Drag -0.5 * 2 * (1, 0, 0) plus gravity 2 * (0, -9.8, 0).
    EXPECT_NEAR(body->force.x, -1.0f, 1e-6f);
    EXPECT_NEAR(body->force.y, -19.6f, 1e-5f);
    EXPECT_EQ(body->torque, Vector3(0.0f, 0.0f, 0.0f));

    const std::string saved = Saved(*body);
    const std::size_t drag = saved.find("<string name=\"ForceType\">DragForce</string>");
    const std::size_t gravity = saved.find("<string name=\"ForceType\">Gravity</string>");
    ASSERT_NE(drag, std::string::npos) << saved;
    ASSERT_NE(gravity, std::string::npos) << saved;
    EXPECT_LT(drag, gravity);
    EXPECT_NE(saved.find("<uint name=\"NumForces\">2</uint>"), std::string::npos);
}

TEST_F(PhysicsCompTest, SavingAndLoadingGivesTheSameComponent)
{
    phytest::BodySpec spec = phytest::Sphere(Vector3(0.0f, 5.0f, 0.0f));
    spec.mass = 2.5f;
    spec.density = 0.75f;
    spec.inertia = Vector3(1.5f, 2.5f, 3.5f);
    spec.immovable = true;
    spec.forces = {"DragForce", "Gravity"};
    spec.linearDrag = 0.3f;
    spec.angularDrag = 0.7f;
    PhysicsComp* original = Body(CreateBody(spec));
    const std::string saved = Saved(*original);

    TiXmlDocument document;
    document.Parse(saved.c_str());
    PhysicsComp copy;
    ASSERT_TRUE(copy.Deserialize(document.RootElement()->FirstChildElement()));
    EXPECT_EQ(Saved(copy), saved);
    EXPECT_EQ(copy.GetMass(), 2.5f);
    EXPECT_EQ(copy.GetInvMass(), 0.0f) << "the inverse follows at initialisation";
    EXPECT_EQ(copy.GetInvInertia()[1][1], 0.4f);
    EXPECT_TRUE(copy.immovable);
    const auto* drag = dynamic_cast<const dorvo::phy::DragForce*>(copy.GetForces().at("DragForce"));
    ASSERT_NE(drag, nullptr);
    EXPECT_EQ(drag->GetLinearDrag(), 0.3f);
    EXPECT_EQ(drag->GetAngularDrag(), 0.7f);

    EXPECT_FALSE(copy.Deserialize(nullptr));
    TiXmlText text("x");
    EXPECT_FALSE(copy.Deserialize(&text));
    TiXmlText parent("x");
    EXPECT_FALSE(copy.Serialize(&parent));
}

TEST_F(PhysicsCompTest, BadForceRecordsAreSkippedAndTheRestLoads)
{
    struct Case
    {
        const char* name;
        std::string xml;
        std::vector<std::string> forces;
        std::string error;
    };
    const Case cases[] = {
        {"an unknown type skips exactly its element",
         ComponentXml(3,
                      "<string>Gravity</string><Gravity/><string>Wind</string><Wind><float>9</float></Wind>"
                      "<string>DragForce</string><DragForce><float>0.5</float><float>0</float></DragForce>"),
         {"DragForce", "Gravity"},
         "PhysicsComp::Deserialize: no force of type \"Wind\" is registered; its element is skipped\n"},
        {"a second force of a type is dropped",
         ComponentXml(2,
                      "<string>DragForce</string><DragForce><float>0.5</float><float>0</float></DragForce>"
                      "<string>DragForce</string><DragForce><float>0.9</float><float>0</float></DragForce>"),
         {"DragForce"},
         ""},
        {"a count beyond the records stops at the last one",
         ComponentXml(7, "<string>Gravity</string><Gravity/>"),
         {"Gravity"},
         ""},
        {"a count of 0 reads no record", ComponentXml(0, "<string>Gravity</string><Gravity/>"), {}, ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        PhysicsComp body;
        testsupport::LogCapture logged;
        Load(body, c.xml);
        EXPECT_EQ(logged.Text(), c.error);
        std::vector<std::string> forces;
        for (const auto& entry : body.GetForces())
            forces.push_back(entry.first);
        EXPECT_EQ(forces, c.forces);
        EXPECT_EQ(body.GetMass(), 3.0f);
        EXPECT_EQ(body.GetInertia()[2][2], 4.0f);
        if (body.GetForces().count("DragForce") != 0)
        {
            EXPECT_EQ(
                dynamic_cast<const dorvo::phy::DragForce*>(body.GetForces().at("DragForce"))->GetLinearDrag(),
                0.5f);
        }
    }
}

TEST_F(PhysicsCompTest, ADyingBodyDisablesAndDetachesItsConstraints)
{
    WatchingConstraint constraint;
    PhysicsComp* doomedBody = nullptr;
    {
        Gob* gob = CreateBody(phytest::Sphere(Vector3(0.0f, 5.0f, 0.0f)));
        doomedBody = Body(gob);
        doomedBody->AddConstraint(&constraint);
        doomedBody->AddConstraint(&constraint);
        EXPECT_EQ(doomedBody->GetConstraints().size(), 1u);
        constraint.Enable();
        GobManager::Instance().KillGob(gob);
        GobManager::Instance().ProcessKillList();
    }
    EXPECT_FALSE(constraint.IsEnabled());
    EXPECT_TRUE(engine.GetConstraints().empty());
    EXPECT_EQ(constraint.detached, std::vector<PhysicsComp*>{doomedBody});
    EXPECT_TRUE(engine.GetBodies().empty());
}

TEST_F(PhysicsCompTest, UnusableNumbersAreRefusedWithALineAndTheFieldKept)
{
    PhysicsComp body;
    testsupport::LogCapture logged;
    Load(body, "<Component><float>nan</float><float>inf</float><bool>true</bool><float>1e300</float>"
               "<float>2</float><float>-2e7</float><bool/><uint>1</uint><string>DragForce</string>"
               "<DragForce><float>-nan</float><float>0.5</float></DragForce></Component>");
    EXPECT_EQ(logged.Text(),
              "PhysicsComp::Deserialize: \"Mass\" is \"nan\", not a usable number; the value is kept\n"
              "PhysicsComp::Deserialize: \"Density\" is \"inf\", not a usable number; the value is kept\n"
              "PhysicsComp::Deserialize: \"InertiaXX\" is \"1e300\", not a usable number; the value is kept\n"
              "PhysicsComp::Deserialize: \"InertiaZZ\" is \"-2e7\", not a usable number; the value is kept\n"
              "DragForce::Deserialize: \"LinearDrag\" is \"-nan\", not a usable number; the value is kept\n");
    EXPECT_EQ(body.GetMass(), 0.0f);
    EXPECT_EQ(body.GetDensity(), 0.0f);
    EXPECT_TRUE(body.useDensity);
    EXPECT_EQ(body.GetInertia()[0][0], 0.0f);
    EXPECT_EQ(body.GetInertia()[1][1], 2.0f);
    EXPECT_EQ(body.GetInertia()[2][2], 0.0f);
    const auto* drag = dynamic_cast<const dorvo::phy::DragForce*>(body.GetForces().at("DragForce"));
    ASSERT_NE(drag, nullptr);
    EXPECT_EQ(drag->GetLinearDrag(), 0.0f);
    EXPECT_EQ(drag->GetAngularDrag(), 0.5f);
}
