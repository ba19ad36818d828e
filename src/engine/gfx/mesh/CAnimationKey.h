// One key of a bone's animation track: a time in ticks and the bone's translation, rotation and
// uniform scale at that time.
#pragma once

#include "common/math/VQS.h"

namespace dorvo
{
namespace gfx
{
class CAnimationKey
{
public:
    CAnimationKey() = default;
    CAnimationKey(float keyTime, const math::VQS& keyValue) : time(keyTime), value(keyValue) {}
    virtual ~CAnimationKey() = default;
    CAnimationKey(const CAnimationKey&) = default;
    CAnimationKey& operator=(const CAnimationKey&) = default;

    float time = 0.0f; // ticks
    math::VQS value;
};
} // namespace gfx
} // namespace dorvo
