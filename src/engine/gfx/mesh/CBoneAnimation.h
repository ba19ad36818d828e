// One track of an animation: the keys of one bone, found by its name, in file order, and the
// time range they span.
#pragma once

#include "engine/gfx/mesh/CAnimationKey.h"

#include <string>
#include <vector>

namespace dorvo
{
namespace gfx
{
class CBoneAnimation
{
public:
    CBoneAnimation() = default;
    virtual ~CBoneAnimation() = default;
    CBoneAnimation(const CBoneAnimation&) = default;
    CBoneAnimation& operator=(const CBoneAnimation&) = default;

    std::string boneName = "Invalid Bone Name";
    std::vector<CAnimationKey> keys;
    // The smallest and the largest key time once the track is read, ticks.
    float startTime = 0.0f;
    float endTime = 1.0f;
};
} // namespace gfx
} // namespace dorvo
