#include "common/math/Lerp.h"

#include "common/math/Vector3.h"

namespace math
{
Vector3 Lerp(const Vector3& a, const Vector3& b, float t)
{
    // Each product is rounded to float before the sum.
    const float u = 1.0f - t;
    Vector3 result;
    for (int i = 0; i < 3; ++i)
    {
        const float fromA = a[i] * u;
        const float fromB = b[i] * t;
        result[i] = fromA + fromB;
    }
    return result;
}
} // namespace math
