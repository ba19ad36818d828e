// Reads a list of texts written as an element with a "size" attribute whose child elements each
// hold one text: <list size="2"><string>POVComp</string><string>GridComp</string></list>.
#pragma once

#include <string>
#include <vector>

class TiXmlNode;

// Largest "size" taken at its word; a larger one (or a negative one) reads as an empty list,
// so a damaged file cannot ask for a huge allocation. No list in the data comes near it.
constexpr int kMaxStringListSize = 65536;

// False for a null node or one that is not an element. Otherwise resizes `out` to "size"
// (missing: 0; a size that is no whole number, "4,0" or "abc", is one line and reads as the child
// elements present, up to kMaxStringListSize), takes the text of the first child element into entry 0, of the
// next sibling element into entry 1, and so on (an empty text leaves the entry as it was; entries past the
// last child stay as resized), and returns true.
bool ReadStringList(const TiXmlNode* node, std::vector<std::string>& out);
