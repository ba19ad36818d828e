// One game object as the room environment and puzzle files describe it: the archetype it is
// made from and where it stands. The widget data and objective it carries come with the files'
// readers.
#pragma once

#include "common/math/Quaternion.h"
#include "common/math/Vector3.h"

#include <string>

namespace QUORB
{
struct GobDescription
{
    GobDescription() : scale(1.0f, 1.0f, 1.0f) { orientation.SetIdentity(); }

    std::string archetypeName;
    math::Vector3 position; // world units
    math::Quaternion orientation;
    math::Vector3 scale;
};
} // namespace QUORB
