// A physics scene in plain terms: the world's settings and a list of objects (spheres, boxes,
// triangles, planes) with their size, mass, pose, motion and surface. The scene runner builds it
// through templates and the GobManager; the benchmark feeds the same description to other
// engines.
//
//   physcene::Scene scene;
//   scene.objects.push_back(physcene::Ground());
//   physcene::ObjectDesc ball = physcene::Ball("ball", math::Vector3(0, 10, 0));
//   ball.restitution = 0;
//   scene.objects.push_back(ball);
#pragma once

#include "common/math/AABB.h"
#include "common/math/Quaternion.h"
#include "common/math/Vector3.h"
#include "engine/phy/DynamicsEngine.h"

#include <string>
#include <vector>

namespace physcene
{
enum class Shape
{
    Sphere,   // diameter scale.x
    Box,      // sides scale
    Triangle, // three vertices in the object's frame, scaled per axis
    Plane,    // n.p + d = 0 in world space, never with a body
};

struct ObjectDesc
{
    std::string name; // names the object in every report
    Shape shape = Shape::Sphere;
    bool body = true; // a PhysicsComp; a plane never has one

    math::Vector3 scale{1.0f, 1.0f, 1.0f};
    float mass = 1.0f;
    // Body-frame inertia as saved. The hull's size is saved as 0, so the first step sets size
    // and inertia from the scale; set `saveHullSize` to keep this inertia instead.
    math::Vector3 inertia{0.0f, 0.0f, 0.0f};
    bool saveHullSize = false;

    math::Vector3 position{0.0f, 0.0f, 0.0f};
    math::Quaternion orientation{1.0f, 0.0f, 0.0f, 0.0f};
    math::Vector3 velocity{0.0f, 0.0f, 0.0f};        // world units per second
    math::Vector3 angularVelocity{0.0f, 0.0f, 0.0f}; // radians per second, world axes

    float staticFriction = 1.0f;
    float kineticFriction = 1.0f;
    float restitution = 1.0f;
    bool trigger = false;
    bool immovable = false;
    bool gravity = true; // the "Gravity" force

    // The POVComp's local "BoundingAABB" in model units before scale. It must cover the hull
    // plus the 0.05 margin; a plane's must cross one of the world box's centre planes.
    math::AABB bounds{math::Vector3(-0.6f, -0.6f, -0.6f), math::Vector3(0.6f, 0.6f, 0.6f)};

    math::Vector3 vertices[3] = {math::Vector3(0.0f, 0.0f, 0.0f), math::Vector3(1.0f, 0.0f, 0.0f),
                                 math::Vector3(0.0f, 0.0f, 1.0f)};
    math::Vector3 planeNormal{0.0f, 1.0f, 0.0f}; // unit length
    float planeD = 0.0f;

    // "HullType" as written, when not empty: any text other than the four names leaves the
    // object without a hull.
    std::string hullTypeText;
    // Names of the objects this one never collides with.
    std::vector<std::string> ignores;
};

struct Scene
{
    math::Vector3 gravity{0.0f, -9.8f, 0.0f};
    // The engine's own sweeps, so that the committed hashes also guard the game's setting.
    unsigned int collisionSteps = dorvo::phy::DynamicsEngine::kDefaultSteps;
    unsigned int contactSteps = dorvo::phy::DynamicsEngine::kDefaultSteps;
    bool performShock = true;
    bool allowFreeze = true;
    std::vector<ObjectDesc> objects;
};

// A sphere of mass 1 and diameter 1 under gravity, its box +-0.6.
ObjectDesc Ball(const std::string& name, const math::Vector3& position, float diameter = 1.0f);
// A box of mass 1 with the given sides under gravity, its box +-0.6 of the sides.
ObjectDesc Crate(const std::string& name, const math::Vector3& position,
                 const math::Vector3& sides = math::Vector3(1.0f, 1.0f, 1.0f));
// A fixed triangle; its box is the vertices' box grown by 0.1.
ObjectDesc Slab(const std::string& name, const math::Vector3& position, const math::Vector3& v0,
                const math::Vector3& v1, const math::Vector3& v2);
// The ground: the plane y = 0 facing up, without a body, its box (-80, -1, -80) to (140, 1, 140)
// so that it crosses the world's centre planes x = 30 and z = 30 and is filed at the root.
ObjectDesc Ground(const std::string& name = "ground");
} // namespace physcene
