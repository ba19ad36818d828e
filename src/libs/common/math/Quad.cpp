#include "common/math/Quad.h"

namespace math
{
Quad::Quad() = default;

Quad::Quad(const Vector3& a, const Vector3& b, const Vector3& c, const Vector3& e)
    : p0(a), p1(b), p2(c), p3(e)
{
    ComputeNormal();
}

void Quad::ComputeNormal()
{
    normal = (p1 - p0).Cross(p3 - p0).GetNormalized();
}

bool Quad::ContainsPoint(const Vector3& p) const
{
    const Vector3* corners[4] = {&p0, &p1, &p2, &p3};
    for (int i = 0; i < 4; ++i)
    {
        const Vector3& from = *corners[i];
        const Vector3& to = *corners[(i + 1) % 4];
        // Outward edge normal within the quad's plane.
        const Vector3 outward = (to - from).Cross(normal);
        if ((p - from).Dot(outward) > 0.0f)
        {
            return false;
        }
    }
    return true;
}
} // namespace math
