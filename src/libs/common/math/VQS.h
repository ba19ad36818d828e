// Translation, rotation and uniform scale of one animation key or bone; the animation code
// blends rotations with CQuaternion's sum, scalar products and Normalize.
#pragma once

#include "common/math/CQuaternion.h"
#include "common/math/Vector3.h"

namespace math
{
class VQS
{
public:
    Vector3 translation;
    CQuaternion rotation;
    float scale = 1.0f; // uniform, 1 leaves sizes unchanged

    VQS() { rotation.SetIdentity(); }
    VQS(const Vector3& t, const CQuaternion& r, float s) : translation(t), rotation(r), scale(s) {}
};
} // namespace math
