// math::Matrix3::Transform written out where the impulse loops can inline it: the contact
// solver and the body's impulses turn a vector by a world inverse inertia for every contact of
// every sweep. The same products and sums in the same order give the same floats to the bit.
#pragma once

#include "common/math/Matrix3.h"
#include "common/math/Vector3.h"

namespace dorvo
{
namespace phy
{
inline math::Vector3 InlineTransform(const math::Matrix3& matrix, const math::Vector3& v)
{
    const float* m = matrix.m;
    return math::Vector3(v.x * m[0] + v.y * m[3] + v.z * m[6], v.x * m[1] + v.y * m[4] + v.z * m[7],
                         v.x * m[2] + v.y * m[5] + v.z * m[8]);
}
} // namespace phy
} // namespace dorvo
