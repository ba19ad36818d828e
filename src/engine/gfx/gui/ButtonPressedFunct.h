// What a control calls when it is clicked or pressed, when a check box is unchecked, and what the
// scroll bar's arrows do. The menus implement it; the control that holds one owns it and deletes
// it through this base when it is replaced or when the control goes.
#pragma once

namespace dorvo
{
namespace gfx
{
class ButtonPressedFunct
{
public:
    virtual ~ButtonPressedFunct() = default;
    virtual void operator()() = 0;
};
} // namespace gfx
} // namespace dorvo
