// What a button calls once the pointer has rested on it for the delay (held-over), or once after
// the pointer leaves it (not-over). The button keeps the fired flag so each happens once per
// visit; the over flag only tells the maker which use it made this one for. The control that
// holds one owns it.
#pragma once

namespace dorvo
{
namespace gfx
{
class HeldOverFunct
{
public:
    virtual ~HeldOverFunct() = default;
    virtual void operator()() = 0;

    float delay = 0.0f; // seconds the pointer rests before a held-over call
    bool over = false;  // set by the maker; the button does not read it
    bool fired = false; // kept by the button
};
} // namespace gfx
} // namespace dorvo
