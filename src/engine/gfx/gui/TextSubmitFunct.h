// What an edit box calls when it hands in its text (Enter, or the focus leaving with a text);
// the maker reads the text from the box. The box owns it.
#pragma once

namespace dorvo
{
namespace gfx
{
class TextSubmitFunct
{
public:
    virtual ~TextSubmitFunct() = default;
    virtual void operator()() = 0;
};
} // namespace gfx
} // namespace dorvo
