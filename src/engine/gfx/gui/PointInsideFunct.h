// A control's hit test: is the pointer over the control. The control passes its reference point
// (its absolute position plus its anchor, pixels); a test may use it or read the game cursor and
// its own geometry. The control that holds one owns it.
#pragma once

#include "platform/win32.h"

namespace dorvo
{
namespace gfx
{
class PointInsideFunct
{
public:
    virtual ~PointInsideFunct() = default;
    virtual bool operator()(const plat::POINT& point) = 0;
};
} // namespace gfx
} // namespace dorvo
