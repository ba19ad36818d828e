#include "common/math/Sphere.h"

namespace math
{
Sphere::Sphere() : radius(0.0f) {}

Sphere::Sphere(const Vector3& c, float r) : center(c), radius(r) {}

bool Sphere::Intersects(const Sphere& other) const
{
    const float reach = radius + other.radius;
    return DistanceSquared(center, other.center) <= reach * reach;
}

bool Sphere::Contains(const Sphere& other) const
{
    const float slack = other.radius - radius;
    return slack * slack >= DistanceSquared(center, other.center);
}
} // namespace math
