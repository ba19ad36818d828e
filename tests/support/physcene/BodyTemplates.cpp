#include "BodyTemplates.h"

#include "common/COctTree.h"
#include "common/ConsoleInterface.h"
#include "common/XmlUtil.h"
#include "common/math/Sphere.h"
#include "engine/GobManager.h"
#include "engine/RegisterCoreComponentTypes.h"
#include "engine/phy/DynamicsEngine.h"

#include <tinyxml.h>

#include <iostream>

namespace physcene
{
BodySpec Sphere(const math::Vector3& position, float diameter)
{
    BodySpec spec;
    spec.position = position;
    spec.scale = math::Vector3(diameter, diameter, diameter);
    spec.radius = diameter * 0.5f;
    return spec;
}

BodySpec Box(const math::Vector3& position, const math::Vector3& sides)
{
    BodySpec spec;
    spec.hullType = "OBB";
    spec.position = position;
    spec.scale = sides;
    spec.extent = sides * 0.5f;
    return spec;
}

BodySpec Plane(const math::Vector3& normal, float d)
{
    BodySpec spec;
    spec.physics = false;
    spec.hullType = "Plane";
    spec.planeNormal = normal;
    spec.planeD = d;
    return spec;
}

BodySpec Triangle(const math::Vector3& position, const math::Vector3& v0, const math::Vector3& v1,
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

BodySpec Cloth(const math::Vector3& position, unsigned int spanX, unsigned int spanY, float spacing)
{
    BodySpec spec;
    spec.physics = false;
    spec.collision = false;
    spec.cloth = true;
    spec.position = position;
    spec.spanX = spanX;
    spec.spanY = spanY;
    spec.spacingX = spacing;
    spec.spacingY = spacing;
    return spec;
}

namespace
{
TiXmlNode* AddComponent(TiXmlNode* gob, const char* name)
{
    TiXmlElement element("Component");
    element.SetAttribute("name", name);
    return gob->InsertEndChild(element);
}

void WriteHull(const BodySpec& spec, TiXmlNode* comp)
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
} // namespace

void WriteBodyComponents(const BodySpec& spec, TiXmlNode* gob)
{
    TiXmlNode* pov = AddComponent(gob, "POVComp");
    XmlWriteVector3(pov, spec.position, "Position");
    XmlWriteQuaternion(pov, spec.orientation, "Orientation");
    XmlWriteVector3(pov, spec.velocity, "Velocity");
    XmlWriteVector3(pov, spec.scale, "Scale");
    XmlWriteSphere(pov, math::Sphere(math::Vector3(), 0.5f), "BoundingSphere");
    XmlWriteAABB(pov, spec.bounds, "BoundingAABB");
    XmlWriteInt(pov, 0, "BVType");

    if (spec.collision)
    {
        TiXmlNode* comp = AddComponent(gob, "CollisionComp");
        XmlWriteFloat(comp, spec.staticFriction, "StaticFriction");
        XmlWriteFloat(comp, spec.kineticFriction, "KineticFriction");
        XmlWriteFloat(comp, spec.coeffRes, "CoeffRes");
        XmlWriteBool(comp, spec.trigger, "IsTriggerHull");
        XmlWriteString(comp, spec.hullType, "HullType");
        if (spec.hullElement)
            WriteHull(spec, comp);
    }

    if (spec.physics)
    {
        TiXmlNode* comp = AddComponent(gob, "PhysicsComp");
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
            TiXmlNode* element = comp->InsertEndChild(TiXmlElement(force));
            if (force == "DragForce")
            {
                XmlWriteFloat(element, spec.linearDrag, "LinearDrag");
                XmlWriteFloat(element, spec.angularDrag, "AngularDrag");
            }
        }
    }

    if (spec.cloth)
    {
        if (spec.clothGrid)
        {
            TiXmlNode* grid = AddComponent(gob, "GridComp");
            XmlWriteUint(grid, spec.spanX, "SpanX");
            XmlWriteUint(grid, spec.spanY, "SpanY");
            XmlWriteFloat(grid, spec.spacingX, "SpacingX");
            XmlWriteFloat(grid, spec.spacingY, "SpacingY");
        }
        TiXmlNode* cloth = AddComponent(gob, "ClothComp");
        XmlWriteFloat(cloth, spec.clothMass, "Mass");
        XmlWriteFloat(cloth, spec.stretchK, "StretchK");
        XmlWriteFloat(cloth, spec.shearK, "ShearK");
        XmlWriteFloat(cloth, spec.bendK, "BendK");
        XmlWriteFloat(cloth, spec.dampingFactor, "DampingFactor");
    }
}

std::string LoadBodyTemplate(const BodySpec& spec, const std::string& folder)
{
    static int s_serial = 0;
    const std::string name = "PhyTestBody" + std::to_string(++s_serial);
    const std::string prefix = folder.empty() ? std::string() : folder + "/";
    const std::string archetypeFile = prefix + name + ".xml";
    const std::string templateFile = prefix + name + "Template.xml";

    std::vector<std::string> components{"POVComp"};
    if (spec.collision)
        components.push_back("CollisionComp");
    if (spec.physics)
        components.push_back("PhysicsComp");
    if (spec.cloth)
    {
        if (spec.clothGrid)
            components.push_back("GridComp");
        components.push_back("ClothComp");
    }
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
        if (!document.SaveFile(templateFile))
        {
            std::cerr << "physcene::LoadBodyTemplate - cannot write \"" << templateFile << "\".\n";
            return std::string();
        }
    }
    {
        TiXmlDocument document;
        TiXmlNode* root = document.InsertEndChild(TiXmlElement("File"));
        TiXmlElement gobElement("Gob");
        gobElement.SetAttribute("type", name + "Type");
        TiXmlNode* gob = root->InsertEndChild(gobElement);
        XmlWriteString(gob, "", "Name");
        WriteBodyComponents(spec, gob);
        if (!document.SaveFile(archetypeFile))
        {
            std::cerr << "physcene::LoadBodyTemplate - cannot write \"" << archetypeFile << "\".\n";
            return std::string();
        }
    }
    GobManager::Instance().LoadTemplate(templateFile);
    return name;
}

void ResetWorld()
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
} // namespace physcene
