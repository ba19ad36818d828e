// The game's "enum" value element (widget data's Magnetism, the location objective's check
// type): <enum name="..">the integer in decimal</enum>, read back with XmlReadInt.
#pragma once

#include <string>

class TiXmlNode;

namespace QUORB
{
// Appends the element to the parent; false, writing nothing, for a null or non-element parent.
bool WriteEnum(TiXmlNode* parent, int value, const std::string& name);
} // namespace QUORB
