// Test and benchmark objects built the way the game builds its own: a template and an archetype
// file written for the occasion and loaded through the GobManager, so the physics components
// load from XML exactly as in a puzzle. Also the reset to a fresh, started physics world in the
// game's oct tree. Templates are never unloaded, so every spec is filed under fresh names.
#pragma once

#include "common/math/AABB.h"
#include "common/math/Quaternion.h"
#include "common/math/Vector3.h"

#include <string>
#include <vector>

class TiXmlNode;

namespace physcene
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
    // The local "BoundingAABB", in model units before scale; the oct tree files the object by it.
    math::AABB bounds{math::Vector3(-0.5f, -0.5f, -0.5f), math::Vector3(0.5f, 0.5f, 0.5f)};

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

    // A GridComp and a ClothComp, after the other components
    bool cloth = false;
    bool clothGrid = true;  // with the GridComp the cloth is built on
    unsigned int spanX = 0; // grid points along x
    unsigned int spanY = 0; // along z
    float spacingX = 1.0f;
    float spacingY = 1.0f;
    float clothMass = 0.0f;
    float stretchK = 0.0f;
    float shearK = 0.0f;
    float bendK = 0.0f;
    float dampingFactor = 1.0f;
};

// A sphere of the given diameter (its hull saved at that size).
BodySpec Sphere(const math::Vector3& position, float diameter = 1.0f);
// A box of the given side lengths (its hull saved at that size).
BodySpec Box(const math::Vector3& position, const math::Vector3& sides = math::Vector3(1.0f, 1.0f, 1.0f));
// A fixed plane n.p + d = 0 without a body.
BodySpec Plane(const math::Vector3& normal, float d);
// A fixed triangle without a body, its vertices in the object's frame.
BodySpec Triangle(const math::Vector3& position, const math::Vector3& v0, const math::Vector3& v1,
                  const math::Vector3& v2);

// A cloth of spanX by spanY particles `spacing` apart on an object at `position`, without a body
// or a hull; springs, mass and damping are left at their defaults for the caller to set.
BodySpec Cloth(const math::Vector3& position, unsigned int spanX, unsigned int spanY, float spacing = 1.0f);

// The component elements of a spec, in the template's order, appended to `gob`.
void WriteBodyComponents(const BodySpec& spec, TiXmlNode* gob);

// Writes a template with the described body's components and one archetype holding its values
// into `folder` (the working folder when empty), loads the template, and returns the archetype's
// name: every object created under it starts from that description. Empty, with a line on standard
// error, when a file cannot be written.
std::string LoadBodyTemplate(const BodySpec& spec, const std::string& folder = std::string());

// The game's world: the oct tree at depth 4 over (-90, -90, -90) to (150, 630, 150), no
// objects, the dynamics engine at its defaults and started, the console empty.
void ResetWorld();
} // namespace physcene
