#include "engine/gfx/core/MaterialXml.h"

#include "common/XmlUtil.h"
#include "engine/gfx/core/ColorXml.h"
#include "engine/gfx/core/SMaterial.h"

#include <tinyxml.h>

namespace dorvo
{
namespace gfx
{
bool WriteMaterial(TiXmlNode* parent, const SMaterial& material, const std::string& name)
{
    if (!parent || !parent->ToElement())
        return false;
    auto* element = new TiXmlElement("Material");
    element->SetAttribute("name", name);
    parent->LinkEndChild(element);
    WriteColor(element, material.ambient, "Ambient");
    WriteColor(element, material.diffuse, "Diffuse");
    WriteColor(element, material.specular, "Specular");
    XmlWriteFloat(element, material.specularPower, "SpecularPower");
    return true;
}

bool ReadMaterial(const TiXmlNode* node, SMaterial& material)
{
    if (!node || !node->ToElement())
        return false;
    const TiXmlNode* child = XmlFirstChildElement(node);
    bool all = ReadColor(child, material.ambient);
    child = XmlNextSiblingElement(child);
    all = ReadColor(child, material.diffuse) && all;
    child = XmlNextSiblingElement(child);
    all = ReadColor(child, material.specular) && all;
    child = XmlNextSiblingElement(child);
    all = XmlReadFloat(child, &material.specularPower) && all;
    return all;
}
} // namespace gfx
} // namespace dorvo
