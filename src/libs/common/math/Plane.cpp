#include "common/math/Plane.h"

namespace math
{
Plane::Plane() : d(0.0f) {}

Plane::Plane(const Vector3& n, const Vector3& point) : normal(n), d(-n.Dot(point)) {}

Plane::Plane(float a, float b, float c, float dist) : d(0.0f)
{
    Set(a, b, c, dist);
}

void Plane::Set(float a, float b, float c, float dist)
{
    normal.Set(a, b, c);
    normal.Normalize();
    d = dist;
}

float Plane::SignedDistance(const Vector3& p) const
{
    return normal.Dot(p) + d;
}

void Plane::ProjectPoint(Vector3& out, const Vector3& p) const
{
    out = p - normal * SignedDistance(p);
}

bool Plane::IntersectSegment(const Vector3& p0, const Vector3& p1, float& t) const
{
    const Vector3 direction = p1 - p0;
    const float denominator = normal.Dot(direction);
    if (IsZero(denominator))
    {
        return false;
    }
    const float along = (-d - normal.Dot(p0)) / denominator;
    if (along < 0.0f || along > 1.0f)
    {
        return false;
    }
    t = along;
    return true;
}
} // namespace math
