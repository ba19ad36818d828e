// Base of objects that are copied through a pointer to their interface without knowing their
// class: the animation solvers and the scene graph's node operations. Clone returns a new object
// of the same class, owned by the caller.
#pragma once

namespace common
{
class ICloneable
{
public:
    virtual ~ICloneable() = default;
    virtual ICloneable* Clone() const = 0;
};
} // namespace common
