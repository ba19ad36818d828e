#include "engine/gfx/core/GfxFields.h"

#include "engine/gfx/core/GfxUnitFields.h"
#include "engine/gfx/core/MaterialXml.h"

#include <tinyxml.h>

namespace dorvo
{
namespace gfx
{
void GfxFields::Textures()
{
    if (m_element != nullptr)
        m_unit.WriteTextures(m_element);
    else
        m_next = ReadNext(m_next, &m_unit.m_Textures);
}

void GfxFields::VisibilityFlags()
{
    if (m_element != nullptr)
        m_unit.WriteVisibilityFlags(m_element);
    else
        m_next = m_unit.ReadVisibilityFlags(m_next);
}

void GfxFields::Material(SMaterial& material, const char* name)
{
    Special([&](TiXmlNode* element) { WriteMaterial(element, material, name); },
            [&](const TiXmlNode* element) { ReadMaterial(element, material); });
}

TiXmlNode* GfxFields::NewComponentElement(TiXmlNode* parent, const std::string& typeName)
{
    if (!IsElement(parent))
        return nullptr;
    TiXmlElement element("Component");
    element.SetAttribute("name", typeName);
    return parent->InsertEndChild(element);
}

bool GfxFields::IsElement(const TiXmlNode* node)
{
    return node != nullptr && node->ToElement() != nullptr;
}
} // namespace gfx
} // namespace dorvo
