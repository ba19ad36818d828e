// The quaternion of the animation code: the rotation of a translation-rotation-scale record
// (VQS) and the operand of key blending (sum, scalar product, Normalize). A float w, then the
// vector part. Polymorphic only through its destructor.
#pragma once

#include "common/math/Vector3.h"

#include <iosfwd>

namespace math
{
class CQuaternion
{
public:
    float w = 0.0f;
    Vector3 v; // x, y, z

    // (0, 0, 0, 0), like Quaternion; SetIdentity gives the identity.
    CQuaternion() = default;
    CQuaternion(float aw, float ax, float ay, float az) : w(aw), v(ax, ay, az) {}
    CQuaternion(float aw, const Vector3& vectorPart) : w(aw), v(vectorPart) {}
    CQuaternion(const CQuaternion&) = default;
    CQuaternion& operator=(const CQuaternion&) = default;
    virtual ~CQuaternion();

    // w = 1, x = y = z = 0.
    void SetIdentity();
    // Divides all four components by the norm. A zero quaternion (norm 0) is left as it is
    // instead of turning into NaNs; blended key rotations are never zero in practice.
    CQuaternion& Normalize();
};

CQuaternion operator+(const CQuaternion& a, const CQuaternion& b);
CQuaternion operator*(const CQuaternion& a, float s);
CQuaternion operator*(float s, const CQuaternion& a);

// Writes "( w, x, y, z )" like Quaternion, no line end.
std::ostream& operator<<(std::ostream& out, const CQuaternion& q);
} // namespace math
