#include "game/widgets/ConstructionQuadComp.h"

#include "common/XmlUtil.h"

#include <tinyxml.h>

namespace QUORB
{
const char* const ConstructionQuadComp::kTypeName = "ConstructionQuadComp";

bool ConstructionQuadComp::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlElement element("Component");
    element.SetAttribute("name", GetTypeName());
    TiXmlNode* component = parent->InsertEndChild(element);
    return component != nullptr && XmlWriteQuad(component, m_quad, "Quad");
}

bool ConstructionQuadComp::Deserialize(const TiXmlNode* node)
{
    const TiXmlNode* quad = node != nullptr ? XmlFirstChildElement(node) : nullptr;
    if (quad == nullptr)
        return false;
    math::Quad read;
    if (!XmlReadQuad(quad, &read))
        return false;
    m_quad = read;
    return true;
}
} // namespace QUORB
