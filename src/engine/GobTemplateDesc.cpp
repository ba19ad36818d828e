#include "engine/GobTemplateDesc.h"

#include "common/XmlUtil.h"
#include "engine/ReadStringList.h"
#include "platform/files.h"

#include <tinyxml.h>

#include <cstdio>

bool GobTemplateDesc::LoadFile(const std::string& fileName)
{
    TiXmlDocument document;
    std::FILE* file = plat::OpenFile(fileName, "rb");
    if (file == nullptr)
        return false;
    const bool parsed = document.LoadFile(file);
    std::fclose(file);
    const TiXmlElement* root = parsed ? document.FirstChildElement("File") : nullptr;
    const TiXmlNode* templateElement = root != nullptr ? XmlFirstChildElement(root) : nullptr;
    if (templateElement == nullptr)
        return false;
    return Load(templateElement);
}

bool GobTemplateDesc::Load(const TiXmlNode* templateElement)
{
    if (templateElement == nullptr || templateElement->ToElement() == nullptr)
        return false;
    const TiXmlNode* child = XmlFirstChildElement(templateElement);
    if (child == nullptr)
        return true;
    XmlReadString(child, &m_TypeName);
    if ((child = XmlNextSiblingElement(child)) == nullptr)
        return true;
    XmlReadString(child, &m_TemplateName);
    if ((child = XmlNextSiblingElement(child)) == nullptr)
        return true;
    ReadStringList(child, m_ComponentTypes);
    if ((child = XmlNextSiblingElement(child)) == nullptr)
        return true;

    // Walks the children, so even an absurd "size" costs no more than the entries present.
    int size = 0;
    child->ToElement()->QueryIntAttribute("size", &size);
    const TiXmlNode* entry = XmlFirstChildElement(child);
    for (int i = 0; i < size && entry != nullptr; ++i, entry = XmlNextSiblingElement(entry))
    {
        Archetype archetype;
        const TiXmlNode* part = XmlFirstChildElement(entry);
        if (part != nullptr)
        {
            XmlReadString(part, &archetype.name);
            if ((part = XmlNextSiblingElement(part)) != nullptr)
                XmlReadString(part, &archetype.fileName);
        }
        m_Archetypes.push_back(archetype);
    }
    return true;
}
