#include "engine/ReadStringList.h"

#include "common/XmlUtil.h"
#include "platform/log.h"

#include <tinyxml.h>

bool ReadStringList(const TiXmlNode* node, std::vector<std::string>& out)
{
    const TiXmlElement* element = node != nullptr ? node->ToElement() : nullptr;
    if (element == nullptr)
        return false;
    int size = 0;
    const char* sizeText = element->Attribute("size");
    if (sizeText != nullptr && !XmlReadListSize(element, &size))
    {
        // Read whole or not at all ("4,0" is not 4); the names that are there are what the list holds.
        int present = 0;
        for (const TiXmlNode* child = XmlFirstChildElement(element);
             child != nullptr && present < kMaxStringListSize; child = XmlNextSiblingElement(child))
            ++present;
        const std::string place = XmlPlace(element);
        DORVO_LOG(
            "ReadStringList: %s%sthe list <%s> has the size \"%.64s\", which is no whole number; the %d "
            "entries present are read",
            place.c_str(), place.empty() ? "" : ": ", element->ValueStr().c_str(), sizeText, present);
        size = present;
    }
    if (size < 0 || size > kMaxStringListSize)
    {
        const std::string place = XmlPlace(element);
        DORVO_LOG(
            "ReadStringList: %s%sthe list <%s> of size %d is out of range (0 to %d); it is read as empty",
            place.c_str(), place.empty() ? "" : ": ", element->ValueStr().c_str(), size, kMaxStringListSize);
        size = 0;
    }
    out.resize(static_cast<std::size_t>(size));
    const TiXmlNode* child = XmlFirstChildElement(element);
    for (std::size_t i = 0; i < out.size() && child != nullptr; ++i, child = XmlNextSiblingElement(child))
        XmlReadString(child, &out[i]);
    return true;
}
