#include "engine/GobTemplateDesc.h"

#include "common/XmlFile.h"
#include "common/XmlUtil.h"
#include "engine/ReadStringList.h"

#include <tinyxml.h>

bool GobTemplateDesc::LoadFile(const std::string& fileName, std::string& error)
{
    TiXmlDocument document;
    if (!XmlLoadFile(fileName, document, error))
        return false;
    const TiXmlElement* root = document.FirstChildElement("File");
    if (root == nullptr)
    {
        error = fileName + ": no \"File\" root element";
        return false;
    }
    const TiXmlNode* templateElement = XmlFirstChildElement(root);
    if (templateElement == nullptr)
    {
        error = fileName + ":" + std::to_string(root->Row()) + ": the \"File\" element holds no template";
        return false;
    }
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
