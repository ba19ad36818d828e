// Measures of a physics state from poses alone, so that any engine's state can be judged by one
// routine: how deep bodies sink into each other and into ground planes, and the kinetic and
// potential energy. Shapes are spheres and boxes; every overlapping pair (and every body
// against every plane) is measured exactly: a sphere or box against a plane by its deepest
// point, spheres by their centres, a sphere against a box by the centre's distance to the box,
// and two boxes by their smallest overlap over the 15 separating axes.
#pragma once

#include "Scene.h"
#include "common/math/Quaternion.h"
#include "common/math/Vector3.h"

#include <vector>

namespace physcene
{
struct BodyPose
{
    Shape shape = Shape::Sphere; // Sphere or Box
    math::Vector3 halfSize;      // a sphere's radius in x; a box's half extent
    math::Vector3 position;
    math::Quaternion orientation{1.0f, 0.0f, 0.0f, 0.0f};
    math::Vector3 velocity;
    math::Vector3 angularVelocity; // world axes
    float mass = 0.0f;
    math::Vector3 inertia; // body-frame diagonal
};

// n.p + d = 0 with a unit normal; the solid side is behind the normal.
struct GroundPlane
{
    math::Vector3 normal{0.0f, 1.0f, 0.0f};
    float d = 0.0f;
};

struct Penetration
{
    float max = 0.0f;  // deepest overlap, world units
    float mean = 0.0f; // over the overlapping pairs
    int pairs = 0;     // pairs that overlap (bodies and body-plane)
};

struct Energy
{
    double kinetic = 0.0;   // 1/2 m v^2 + 1/2 w.I w, joules
    double potential = 0.0; // -m g.p, zero at the origin
    double Total() const { return kinetic + potential; }
};

// How deep two shapes overlap; 0 or less when they do not.
float PairPenetration(const BodyPose& a, const BodyPose& b);
float PlanePenetration(const BodyPose& body, const GroundPlane& plane);
Penetration MeasurePenetration(const std::vector<BodyPose>& bodies, const std::vector<GroundPlane>& planes);
Energy MeasureEnergy(const std::vector<BodyPose>& bodies, const math::Vector3& gravity);
} // namespace physcene
