#include "common/math/CFrustum.h"

#include "common/math/Sphere.h"

#include <cmath>
#include <limits>

namespace math
{
CFrustum::CFrustum() = default;

void CFrustum::SetView(const Vector3& eye, const Vector3& target, const Vector3& up, float farDistance,
                       float nearDistance)
{
    m_eye = eye;
    m_far = farDistance;
    m_near = nearDistance;
    // Eye on the target gives the zero direction (the normalisation rule), and with it zero
    // right and up vectors: the tests then see a volume collapsed onto the eye, never a NaN.
    m_direction = (target - eye).GetNormalized();
    m_right = up.Cross(m_direction);
    m_up = m_direction.Cross(m_right);
    Build();
}

void CFrustum::SetSpread(float horizontal, float vertical)
{
    m_horizontalSpread = horizontal;
    m_verticalSpread = vertical;
    Build();
}

std::array<Vector3, 8> CFrustum::GetCorners() const
{
    std::array<Vector3, 8> corners;
    const float distances[2] = {m_near, m_far};
    for (int i = 0; i < 2; ++i)
    {
        const float distance = distances[i];
        const Vector3 c = m_eye + m_direction * distance;
        const Vector3 w = m_right * (distance * m_horizontalSpread);
        const Vector3 h = m_up * (distance * m_verticalSpread);
        corners[4 * i + 0] = c + (w + h);
        corners[4 * i + 1] = c + (w - h);
        corners[4 * i + 2] = c - (w - h);
        corners[4 * i + 3] = c - (w + h);
    }
    return corners;
}

void CFrustum::Build()
{
    const float inf = std::numeric_limits<float>::infinity();
    AABB bounds(Vector3(inf, inf, inf), Vector3(-inf, -inf, -inf));
    for (const Vector3& corner : GetCorners())
    {
        bounds.Extend(corner);
    }
    m_bounds = bounds;
}

std::array<Plane, 6> CFrustum::GetPlanes() const
{
    const Vector3 nearPoint = m_eye + m_direction * m_near;
    const Vector3 farPoint = m_eye + m_direction * m_far;
    std::array<Plane, 6> planes;
    planes[kNearPlane] = Plane(m_direction, nearPoint);
    planes[kFarPlane] = Plane(-m_direction, farPoint);
    // The sides pass through the eye: a point is inside the left side when
    // right.v >= -(horizontal spread * direction.v), v measured from the eye.
    planes[kLeftPlane] = Plane((m_right + m_direction * m_horizontalSpread).GetNormalized(), m_eye);
    planes[kRightPlane] = Plane((m_direction * m_horizontalSpread - m_right).GetNormalized(), m_eye);
    planes[kBottomPlane] = Plane((m_up + m_direction * m_verticalSpread).GetNormalized(), m_eye);
    planes[kTopPlane] = Plane((m_direction * m_verticalSpread - m_up).GetNormalized(), m_eye);
    return planes;
}

bool CFrustum::IntersectsSphere(const Sphere& sphere) const
{
    const float r = sphere.radius;
    const Vector3 v = sphere.center - m_eye;
    const float z = m_direction.Dot(v);
    if (z < m_near - r || z > m_far + r)
    {
        return false;
    }
    if (std::fabs(m_right.Dot(v)) > m_horizontalSpread * z + r)
    {
        return false;
    }
    return std::fabs(m_up.Dot(v)) <= m_verticalSpread * z + r;
}

bool CFrustum::IntersectsAABB(const AABB& box) const
{
    enum Side
    {
        kLeft,
        kRight,
        kBelow,
        kAbove,
        kTooNear,
        kTooFar,
        kSideCount
    };
    int outside[kSideCount] = {};
    const Vector3 a = box.min - m_eye;
    const Vector3 b = box.max - m_eye;
    for (int k = 0; k < 8; ++k)
    {
        const Vector3 v((k & 1) != 0 ? b.x : a.x, (k & 4) != 0 ? b.y : a.y, (k & 2) != 0 ? b.z : a.z);
        const float x = m_right.Dot(v);
        const float y = m_up.Dot(v);
        const float z = m_direction.Dot(v);

        const float halfWidth = m_horizontalSpread * z;
        bool inside = true;
        if (x < -halfWidth)
        {
            ++outside[kLeft];
            inside = false;
        }
        else if (x > halfWidth)
        {
            ++outside[kRight];
            inside = false;
        }
        const float halfHeight = m_verticalSpread * z;
        if (y < -halfHeight)
        {
            ++outside[kBelow];
            inside = false;
        }
        else if (y > halfHeight)
        {
            ++outside[kAbove];
            inside = false;
        }
        if (z < m_near)
        {
            ++outside[kTooNear];
            inside = false;
        }
        else if (z > m_far)
        {
            ++outside[kTooFar];
            inside = false;
        }
        if (inside)
        {
            return true;
        }
    }
    // Invisible only when all eight corners lie beyond the same side; a box that straddles
    // or encloses the volume is kept.
    for (int count : outside)
    {
        if (count == 8)
        {
            return false;
        }
    }
    return true;
}
} // namespace math
