// The shared ground of the physics tests: a fixture that gives every test a fresh world (the
// game's oct tree, no objects, the dynamics engine back at its defaults and started) and helpers
// that build test objects the way the game does, from a template and an archetype file written
// for the occasion and loaded through the GobManager. Templates are never unloaded, so every
// body spec is filed under fresh names.
//
//   phytest::BodySpec ball = phytest::Sphere(math::Vector3(0, 10, 0));
//   Gob* gob = phytest::CreateBody(ball);
//   phytest::Body(gob)->velocity ...
#pragma once

#include "TestSupport.h"
#include "common/COctTree.h"
#include "common/ConsoleInterface.h"
#include "common/HashName.h"
#include "common/XmlUtil.h"
#include "common/math/AABB.h"
#include "common/math/Quaternion.h"
#include "common/math/Sphere.h"
#include "common/math/Vector3.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/RegisterCoreComponentTypes.h"
#include "engine/phy/CollisionComp.h"
#include "engine/phy/CollisionHull.h"
#include "engine/phy/DynamicsEngine.h"
#include "engine/phy/PhysicsComp.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>
#include <vector>

namespace phytest
{
// Everything a test object's archetype file says. The defaults are a unit sphere of mass 1 at
// the origin under gravity, with the collision component's default surface.
struct BodySpec
{
    bool physics = true;   // a PhysicsComp
    bool collision = true; // a CollisionComp

    // POVComp
    math::Vector3 position{0.0f, 0.0f, 0.0f};
    math::Quaternion orientation{1.0f, 0.0f, 0.0f, 0.0f};
    math::Vector3 velocity{0.0f, 0.0f, 0.0f};
    math::Vector3 scale{1.0f, 1.0f, 1.0f};

    // PhysicsComp
    float mass = 1.0f;
    float density = 0.0f;
    bool useDensity = false;
    math::Vector3 inertia{0.0f, 0.0f, 0.0f};
    bool immovable = false;
    std::vector<std::string> forces{"Gravity"}; // "DragForce" takes the two drags below
    float linearDrag = 0.0f;
    float angularDrag = 0.0f;

    // CollisionComp
    float staticFriction = 1.0f;
    float kineticFriction = 1.0f;
    float coeffRes = 1.0f;
    bool trigger = false;
    std::string hullType = "Sphere"; // "Sphere", "OBB", "Plane", "Triangle" or any other text
    bool hullElement = true;         // write the hull's element after "HullType"

    // The hull's saved values
    math::Vector3 center{0.0f, 0.0f, 0.0f}; // sphere and box
    float radius = 0.5f;                    // sphere
    math::Vector3 extent{0.5f, 0.5f, 0.5f}; // box, half extent
    math::Vector3 planeNormal{0.0f, 1.0f, 0.0f};
    float planeD = 0.0f;
    math::Vector3 vertex0{0.0f, 0.0f, 0.0f}; // triangle, body frame
    math::Vector3 vertex1{1.0f, 0.0f, 0.0f};
    math::Vector3 vertex2{0.0f, 0.0f, 1.0f};
};

inline BodySpec Sphere(const math::Vector3& position, float diameter = 1.0f)
{
    BodySpec spec;
    spec.position = position;
    spec.scale = math::Vector3(diameter, diameter, diameter);
    spec.radius = diameter * 0.5f;
    return spec;
}

inline BodySpec Box(const math::Vector3& position,
                    const math::Vector3& sides = math::Vector3(1.0f, 1.0f, 1.0f))
{
    BodySpec spec;
    spec.hullType = "OBB";
    spec.position = position;
    spec.scale = sides;
    spec.extent = sides * 0.5f;
    return spec;
}

// A fixed plane n.p + d = 0 without a body.
inline BodySpec Plane(const math::Vector3& normal, float d)
{
    BodySpec spec;
    spec.physics = false;
    spec.hullType = "Plane";
    spec.planeNormal = normal;
    spec.planeD = d;
    return spec;
}

// A fixed triangle without a body, its vertices in the object's frame.
inline BodySpec Triangle(const math::Vector3& position, const math::Vector3& v0, const math::Vector3& v1,
                         const math::Vector3& v2)
{
    BodySpec spec;
    spec.physics = false;
    spec.hullType = "Triangle";
    spec.position = position;
    spec.vertex0 = v0;
    spec.vertex1 = v1;
    spec.vertex2 = v2;
    return spec;
}

// The component elements of a spec, in the template's order, appended to `gob`.
inline void WriteBodyComponents(const BodySpec& spec, TiXmlNode* gob)
{
    TiXmlElement povElement("Component");
    povElement.SetAttribute("name", "POVComp");
    TiXmlNode* pov = gob->InsertEndChild(povElement);
    XmlWriteVector3(pov, spec.position, "Position");
    XmlWriteQuaternion(pov, spec.orientation, "Orientation");
    XmlWriteVector3(pov, spec.velocity, "Velocity");
    XmlWriteVector3(pov, spec.scale, "Scale");
    XmlWriteSphere(pov, math::Sphere(math::Vector3(), 0.5f), "BoundingSphere");
    XmlWriteAABB(pov, math::AABB(math::Vector3(-0.5f, -0.5f, -0.5f), math::Vector3(0.5f, 0.5f, 0.5f)),
                 "BoundingAABB");
    XmlWriteInt(pov, 0, "BVType");

    if (spec.collision)
    {
        TiXmlElement element("Component");
        element.SetAttribute("name", "CollisionComp");
        TiXmlNode* comp = gob->InsertEndChild(element);
        XmlWriteFloat(comp, spec.staticFriction, "StaticFriction");
        XmlWriteFloat(comp, spec.kineticFriction, "KineticFriction");
        XmlWriteFloat(comp, spec.coeffRes, "CoeffRes");
        XmlWriteBool(comp, spec.trigger, "IsTriggerHull");
        XmlWriteString(comp, spec.hullType, "HullType");
        if (spec.hullElement)
        {
            if (spec.hullType == "Sphere")
            {
                TiXmlNode* hull = comp->InsertEndChild(TiXmlElement("SphereHull"));
                XmlWriteVector3(hull, spec.center, "Center");
                XmlWriteFloat(hull, spec.radius, "Radius");
            }
            else if (spec.hullType == "OBB")
            {
                TiXmlNode* hull = comp->InsertEndChild(TiXmlElement("OBBHull"));
                XmlWriteVector3(hull, spec.extent, "Extent");
                XmlWriteVector3(hull, spec.center, "Center");
            }
            else if (spec.hullType == "Plane")
            {
                TiXmlNode* hull = comp->InsertEndChild(TiXmlElement("PlaneHull"));
                XmlWriteVector3(hull, spec.planeNormal, "N");
                XmlWriteFloat(hull, spec.planeD, "D");
            }
            else if (spec.hullType == "Triangle")
            {
                TiXmlNode* hull = comp->InsertEndChild(TiXmlElement("TriangleHull"));
                XmlWriteVector3(hull, spec.vertex0, "BodyVert0");
                XmlWriteVector3(hull, spec.vertex1, "BodyVert1");
                XmlWriteVector3(hull, spec.vertex2, "BodyVert2");
            }
        }
    }

    if (spec.physics)
    {
        TiXmlElement element("Component");
        element.SetAttribute("name", "PhysicsComp");
        TiXmlNode* comp = gob->InsertEndChild(element);
        XmlWriteFloat(comp, spec.mass, "Mass");
        XmlWriteFloat(comp, spec.density, "Density");
        XmlWriteBool(comp, spec.useDensity, "UseDensity");
        XmlWriteFloat(comp, spec.inertia.x, "InertiaXX");
        XmlWriteFloat(comp, spec.inertia.y, "InertiaYY");
        XmlWriteFloat(comp, spec.inertia.z, "InertiaZZ");
        XmlWriteBool(comp, spec.immovable, "Immovable");
        XmlWriteUint(comp, static_cast<unsigned int>(spec.forces.size()), "NumForces");
        for (const std::string& force : spec.forces)
        {
            XmlWriteString(comp, force, "ForceType");
            TiXmlNode* element2 = comp->InsertEndChild(TiXmlElement(force));
            if (force == "DragForce")
            {
                XmlWriteFloat(element2, spec.linearDrag, "LinearDrag");
                XmlWriteFloat(element2, spec.angularDrag, "AngularDrag");
            }
        }
    }
}

// Writes a template with the spec's components and one archetype holding its values into the
// working folder, loads the template, and returns the archetype's name. Every object created
// under that name starts from the spec.
inline std::string LoadBodyTemplate(const BodySpec& spec)
{
    static int s_serial = 0;
    const std::string name = "PhyTestBody" + std::to_string(++s_serial);
    const std::string archetypeFile = name + ".xml";
    const std::string templateFile = name + "Template.xml";

    std::vector<std::string> components{"POVComp"};
    if (spec.collision)
        components.push_back("CollisionComp");
    if (spec.physics)
        components.push_back("PhysicsComp");
    {
        TiXmlDocument document;
        TiXmlNode* root = document.InsertEndChild(TiXmlElement("File"));
        TiXmlNode* templ = root->InsertEndChild(TiXmlElement("Template"));
        XmlWriteString(templ, name + "Type", "TypeName");
        XmlWriteString(templ, name + "Template", "TemplateName");
        TiXmlNode* list = XmlWriteListElement(templ, "Components", static_cast<int>(components.size()));
        for (const std::string& component : components)
            XmlWriteString(list, component, "");
        TiXmlNode* archetypes = XmlWriteListElement(templ, "Archetypes", 1);
        TiXmlNode* pair = XmlWritePairElement(archetypes, "");
        XmlWriteString(pair, name, "First");
        XmlWriteString(pair, archetypeFile, "Second");
        EXPECT_TRUE(document.SaveFile(templateFile));
    }
    {
        TiXmlDocument document;
        TiXmlNode* root = document.InsertEndChild(TiXmlElement("File"));
        TiXmlElement gobElement("Gob");
        gobElement.SetAttribute("type", name + "Type");
        TiXmlNode* gob = root->InsertEndChild(gobElement);
        XmlWriteString(gob, "", "Name");
        WriteBodyComponents(spec, gob);
        EXPECT_TRUE(document.SaveFile(archetypeFile));
    }
    GobManager::Instance().LoadTemplate(templateFile);
    return name;
}

// A new, initialised object from a template of its own.
inline Gob* CreateBody(const BodySpec& spec)
{
    Gob* gob = GobManager::Instance().CreateGob(LoadBodyTemplate(spec));
    EXPECT_NE(gob, nullptr);
    return gob;
}

inline dorvo::phy::PhysicsComp* Body(Gob* gob)
{
    return dorvo::phy::GetPhysicsComp(gob);
}

inline dorvo::phy::CollisionComp* Collision(Gob* gob)
{
    return gob != nullptr ? dynamic_cast<dorvo::phy::CollisionComp*>(
                                gob->GetComponent(HashName(dorvo::phy::CollisionComp::kTypeName)))
                          : nullptr;
}

inline dorvo::phy::CollisionHull* Hull(Gob* gob)
{
    dorvo::phy::CollisionComp* comp = Collision(gob);
    return comp != nullptr ? comp->GetHull() : nullptr;
}

inline POVComp* Pov(Gob* gob)
{
    return GetPOVComp(gob);
}

// The game's world: depth 4 over (-90, -90, -90) to (150, 630, 150), no objects, the engine at
// its defaults and started, the console empty.
inline void ResetPhysicsWorld()
{
    common::COctTree& tree = common::COctTree::Global();
    tree.SetDepth(4);
    tree.SetWorldBox(
        math::AABB(math::Vector3(-90.0f, -90.0f, -90.0f), math::Vector3(150.0f, 630.0f, 150.0f)));
    tree.Rebuild();
    GobManager::Instance().DestroyAllGobs();
    dorvo::phy::DynamicsEngine::Instance().Reset();
    RegisterCoreComponentTypes();
    dorvo::phy::DynamicsEngine::Instance().Init();
    common::ConsoleInterface::Instance().ClearOutput();
}

// The console's output lines, oldest first.
inline std::vector<std::string> ConsoleLines()
{
    const auto& lines = common::ConsoleInterface::Instance().GetOutputLines();
    return std::vector<std::string>(lines.begin(), lines.end());
}

// Every physics test starts in a fresh world inside a temporary working folder, which holds the
// template files its bodies are made from.
class PhysicsTest : public ::testing::Test
{
protected:
    void SetUp() override { ResetPhysicsWorld(); }
    void TearDown() override
    {
        GobManager::Instance().DestroyAllGobs();
        dorvo::phy::DynamicsEngine::Instance().Reset();
    }

    dorvo::phy::DynamicsEngine& engine = dorvo::phy::DynamicsEngine::Instance();
    testsupport::TempWorkDir dir;
};
} // namespace phytest
