#include "engine/phy/Contact.h"

namespace dorvo
{
namespace phy
{
Contact::Contact() = default;

Contact::Contact(const math::Vector3& leverA, const math::Vector3& leverB, const math::Vector3& worldPoint,
                 float contactDepth)
    : rA(leverA), rB(leverB), point(worldPoint), depth(contactDepth)
{
}

Contact::Contact(const Contact& other)
    : rA(other.rA), rB(other.rB), point(other.point), depth(other.depth), k(other.k), bias(other.bias)
{
}

Contact& Contact::operator=(const Contact& other)
{
    rA = other.rA;
    rB = other.rB;
    point = other.point;
    depth = other.depth;
    k = other.k;
    bias = other.bias;
    return *this;
}

bool ContactDepthLess(const Contact& a, const Contact& b)
{
    return a.depth < b.depth;
}
} // namespace phy
} // namespace dorvo
