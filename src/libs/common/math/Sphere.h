// Sphere: the bounding volume of game objects and of the sphere hull. A value type.
#pragma once

#include "common/math/Vector3.h"

namespace math
{
class Sphere
{
public:
    Sphere(); // centre (0, 0, 0), radius 0
    Sphere(const Vector3& center, float radius);

    // True when the spheres touch or overlap.
    bool Intersects(const Sphere& other) const;
    // True when either sphere lies entirely within the other (touching from inside counts).
    bool Contains(const Sphere& other) const;

    Vector3 center;
    float radius; // world units
};
} // namespace math
