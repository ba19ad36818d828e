// Reading a component's fields back by position, in the order they were written: each child
// element into its field, then on to the next.
#pragma once

#include "common/XmlUtil.h"

namespace dorvo
{
namespace gfx
{
// Reads the child into the field when there is a child; the next child, or null.
template <typename T> const TiXmlNode* ReadNext(const TiXmlNode* child, T* field)
{
    if (!child)
        return nullptr;
    XmlReadValue(child, field);
    return XmlNextSiblingElement(child);
}
} // namespace gfx
} // namespace dorvo
