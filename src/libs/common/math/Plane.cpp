#include "common/math/Plane.h"

#include "common/math/MathUtil.h"
#include "common/math/Matrix4.h"

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
Plane Plane::GetNormalized() const
{
    const float length = normal.Length();
    if (IsZero(length))
        return *this;
    Plane out;
    out.normal = normal / length;
    out.d = d / length;
    return out;
}

Plane Plane::Transform(const Matrix4& matrix) const
{
    const Vector4 row = matrix.Transform(Vector4(normal.x, normal.y, normal.z, d));
    Plane out;
    out.normal = Vector3(row.x, row.y, row.z);
    out.d = row.w;
    return out;
}
} // namespace math
