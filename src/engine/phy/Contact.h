// One contact point of a colliding pair: where it is, how deep, the lever arms from both
// bodies, and what the solver prepares for it (the effective mass along the normal and the
// separating velocity it aims for). Copied by value.
#pragma once

#include "common/math/Vector3.h"

namespace dorvo
{
namespace phy
{
class Contact
{
public:
    // Inline: the pair tests build their contacts on the stack and the infos copy them.
    Contact() = default;
    // k and bias start at 0.
    Contact(const math::Vector3& leverA, const math::Vector3& leverB, const math::Vector3& worldPoint,
            float contactDepth)
        : rA(leverA), rB(leverB), point(worldPoint), depth(contactDepth)
    {
    }
    Contact(const Contact& other)
        : rA(other.rA), rB(other.rB), point(other.point), depth(other.depth), k(other.k), bias(other.bias)
    {
    }
    Contact& operator=(const Contact& other)
    {
        rA = other.rA;
        rB = other.rB;
        point = other.point;
        depth = other.depth;
        k = other.k;
        bias = other.bias;
        return *this;
    }

    math::Vector3 rA;    // point minus hull A's body position
    math::Vector3 rB;    // point minus hull B's reference point
    math::Vector3 point; // world
    float depth = 0.0f;  // along the normal; positive overlaps, negative is a gap within the margin
    float k = 0.0f;      // effective mass term along the normal; 0 means the contact gets nothing
    float bias = 0.0f;   // target separating velocity, world units per second
};

// True when a is shallower than b. The box tests sort their contacts with it.
bool ContactDepthLess(const Contact& a, const Contact& b);
// The same function under its other name.
inline constexpr bool (&CompareContactDepth)(const Contact&, const Contact&) = ContactDepthLess;
} // namespace phy
} // namespace dorvo
