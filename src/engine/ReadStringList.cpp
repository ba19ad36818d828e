#include "engine/ReadStringList.h"

#include "common/XmlUtil.h"

#include <tinyxml.h>

#include <iostream>

bool ReadStringList(const TiXmlNode* node, std::vector<std::string>& out)
{
    const TiXmlElement* element = node != nullptr ? node->ToElement() : nullptr;
    if (element == nullptr)
        return false;
    int size = 0;
    element->QueryIntAttribute("size", &size);
    if (size < 0 || size > kMaxStringListSize)
    {
        std::cerr << "ReadStringList - list <" << element->ValueStr() << "> of size " << size
                  << " is out of range; it is read as empty.\n";
        size = 0;
    }
    out.resize(static_cast<std::size_t>(size));
    const TiXmlNode* child = XmlFirstChildElement(element);
    for (std::size_t i = 0; i < out.size() && child != nullptr; ++i, child = XmlNextSiblingElement(child))
        XmlReadString(child, &out[i]);
    return true;
}
