#include "common/math/CQuaternion.h"

#include <cmath>
#include <ostream>

namespace math
{
CQuaternion::~CQuaternion() = default;

void CQuaternion::SetIdentity()
{
    w = 1.0f;
    v.Set(0.0f, 0.0f, 0.0f);
}

CQuaternion& CQuaternion::Normalize()
{
    const float norm = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z + w * w);
    if (norm > 0.0f)
    {
        w /= norm;
        v /= norm;
    }
    return *this;
}

CQuaternion operator+(const CQuaternion& a, const CQuaternion& b)
{
    return CQuaternion(a.w + b.w, a.v + b.v);
}

CQuaternion operator*(const CQuaternion& a, float s)
{
    return CQuaternion(a.w * s, a.v * s);
}

CQuaternion operator*(float s, const CQuaternion& a)
{
    return a * s;
}

std::ostream& operator<<(std::ostream& out, const CQuaternion& q)
{
    return out << "( " << q.w << ", " << q.v.x << ", " << q.v.y << ", " << q.v.z << " )";
}
} // namespace math
