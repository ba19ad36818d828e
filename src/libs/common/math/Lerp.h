// The plain straight-line blend of two vectors the GUI uses for its own effects.
#pragma once

namespace math
{
class Vector3;

// a x (1 - t) + b x t, component by component; t = 0 gives a, t = 1 gives b. t outside 0..1
// extrapolates.
Vector3 Lerp(const Vector3& a, const Vector3& b, float t);
} // namespace math
