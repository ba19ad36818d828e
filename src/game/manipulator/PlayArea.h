// The box the star objects must stay in while a puzzle runs: a star object outside it on any
// axis fails the location and target objectives. Bounds are inclusive.
#pragma once

#include "common/math/AABB.h"

namespace QUORB
{
// World units: (-45, -25, -45) to (45, 45, 45).
extern const math::AABB PlayArea;
// True when the point lies inside on every axis (a coordinate equal to a bound is inside).
bool IsInsidePlayArea(const math::Vector3& point);
} // namespace QUORB
