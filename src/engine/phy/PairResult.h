// What every hull-pair test answers: nothing when the shapes are apart, else a new
// CollisionInfo that the caller owns from then on (the detector hands it to the engine's
// results).
#pragma once

#include "common/COptional.h"

namespace dorvo
{
namespace phy
{
class CollisionInfo;

typedef common::COptional<CollisionInfo*> PairResult;

// Shapes at most this far apart (world units) count as touching.
constexpr float kCollisionMargin = 0.05f;
} // namespace phy
} // namespace dorvo
