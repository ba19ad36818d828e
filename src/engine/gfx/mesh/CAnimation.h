// One animation set of a mesh: a track for each animated bone, in file order, played looping
// (time wraps around each track's range) or clamped.
#pragma once

#include "engine/gfx/mesh/CBoneAnimation.h"

#include <string>
#include <vector>

namespace dorvo
{
namespace gfx
{
class CAnimation
{
public:
    CAnimation() = default;
    virtual ~CAnimation() = default;
    CAnimation(const CAnimation&) = default;
    CAnimation& operator=(const CAnimation&) = default;

    std::vector<CBoneAnimation> tracks;
    bool loop = true;
    std::string name = "No Name Animation";
};
} // namespace gfx
} // namespace dorvo
