#include "common/math/AABB.h"

#include "common/math/Sphere.h"

#include <algorithm>

namespace math
{
AABB::AABB() = default;

AABB::AABB(const Vector3& minCorner, const Vector3& maxCorner) : min(minCorner), max(maxCorner) {}

void AABB::Extend(const Vector3& point)
{
    for (int i = 0; i < 3; ++i)
    {
        min[i] = std::min(min[i], point[i]);
        max[i] = std::max(max[i], point[i]);
    }
}

bool AABB::IntersectsSphere(const Sphere& sphere) const
{
    float distanceSquared = 0.0f;
    for (int i = 0; i < 3; ++i)
    {
        const float c = sphere.center[i];
        if (c < min[i])
        {
            distanceSquared += (min[i] - c) * (min[i] - c);
        }
        else if (c > max[i])
        {
            distanceSquared += (c - max[i]) * (c - max[i]);
        }
    }
    return distanceSquared <= sphere.radius * sphere.radius;
}

bool AABB::ContainsSphere(const Sphere& sphere) const
{
    for (int i = 0; i < 3; ++i)
    {
        const float c = sphere.center[i];
        if (c < min[i] || c > max[i])
        {
            return false;
        }
        if (sphere.radius > c - min[i] || sphere.radius > max[i] - c)
        {
            return false;
        }
    }
    return true;
}

bool AABB::Contains(const AABB& box) const
{
    // Double precision so the answer does not depend on how the compiler holds the floats.
    for (int i = 0; i < 3; ++i)
    {
        const double lo = min[i];
        const double hi = max[i];
        const double boxLo = box.min[i];
        const double boxHi = box.max[i];
        // Written as "inside" rather than "not outside", so a NaN bound is never contained.
        if (!(lo <= boxLo && boxLo <= hi && lo <= boxHi && boxHi <= hi))
        {
            return false;
        }
    }
    return true;
}
} // namespace math
