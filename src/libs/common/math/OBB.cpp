#include "common/math/OBB.h"

#include <cmath>

namespace math
{
OBB::OBB()
{
    orientation.SetZero();
}

OBB::OBB(const Vector3& c, const Matrix3& o, const Vector3& e) : orientation(o), halfExtent(e), center(c) {}

float OBB::GetRadius() const
{
    return halfExtent.Length();
}

void OBB::ProjectOntoAxis(float& min, float& max, const Vector3& axis) const
{
    const float reach = std::fabs(orientation.GetRow(0).Dot(axis)) * halfExtent.x +
                        std::fabs(orientation.GetRow(1).Dot(axis)) * halfExtent.y +
                        std::fabs(orientation.GetRow(2).Dot(axis)) * halfExtent.z;
    const float c = center.Dot(axis);
    min = c - reach;
    max = c + reach;
}

float OBB::SquaredDistance(const Vector3& p, Vector3& closest) const
{
    const Vector3 offset = p - center;
    float sum = 0.0f;
    Vector3 local;
    for (int i = 0; i < 3; ++i)
    {
        float q = offset.Dot(orientation.GetRow(i));
        const float e = halfExtent[i];
        if (q < -e)
        {
            sum += (q + e) * (q + e);
            q = -e;
        }
        else if (q > e)
        {
            sum += (q - e) * (q - e);
            q = e;
        }
        local[i] = q;
    }
    closest = center + orientation.GetRow(0) * local.x + orientation.GetRow(1) * local.y +
              orientation.GetRow(2) * local.z;
    return sum;
}

float OBB::Distance(const Vector3& p, Vector3& closest) const
{
    return std::sqrt(SquaredDistance(p, closest));
}

bool OBB::IntersectSegment(const Vector3& p0, const Vector3& p1, Vector3* hit, Vector3* normal) const
{
    const Vector3 direction = p1 - p0;
    const Vector3 toCenter = center - p0;
    float tMin = -1e6f;
    float tMax = 1e6f;
    int minAxis = 0;
    int maxAxis = 0;
    for (int i = 0; i < 3; ++i)
    {
        const Vector3 axis = orientation.GetRow(i);
        const float e = halfExtent[i];
        const float f = axis.Dot(direction);
        const float g = axis.Dot(toCenter);
        if (std::fabs(f) > 1e-6f)
        {
            float t1 = (g + e) / f;
            float t2 = (g - e) / f;
            if (t1 > t2)
            {
                const float swap = t1;
                t1 = t2;
                t2 = swap;
            }
            if (t1 > tMin)
            {
                tMin = t1;
                minAxis = i;
            }
            if (t2 < tMax)
            {
                tMax = t2;
                maxAxis = i;
            }
            if (tMin > tMax || tMax < 0.0f)
            {
                return false;
            }
        }
        else if (g < -e || g > e)
        {
            return false; // parallel to the slab and outside it
        }
    }

    float t = tMax;
    int axis = maxAxis;
    if (tMin > 0.0f)
    {
        // The segment enters the box; one that ends first is a miss, not a hit at its end,
        // which physics would turn into a contact outside the box.
        if (tMin > 1.0f)
        {
            return false;
        }
        t = tMin;
        axis = minAxis;
    }

    if (hit)
    {
        const float clamped = t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t);
        *hit = p0 + direction * clamped;
    }
    if (normal)
    {
        *normal = orientation.GetRow(axis);
        if (normal->Dot(direction) > 0.0f)
        {
            *normal = -*normal;
        }
    }
    return true;
}

void OBB::GetCorners(std::vector<Vector3>& corners) const
{
    corners.clear();
    corners.reserve(8);
    const Vector3 axes[3] = {orientation.GetRow(0) * halfExtent.x, orientation.GetRow(1) * halfExtent.y,
                             orientation.GetRow(2) * halfExtent.z};
    for (int k = 0; k < 8; ++k)
    {
        Vector3 corner = center;
        corner += (k & 4) ? axes[0] : -axes[0];
        corner += (k & 2) ? axes[1] : -axes[1];
        corner += (k & 1) ? axes[2] : -axes[2];
        corners.push_back(corner);
    }
}
} // namespace math
