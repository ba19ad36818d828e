#include "engine/gfx/GfxPlaceholderComps.h"

#include "common/XmlUtil.h"
#include "engine/DefaultCompCreator.h"
#include "engine/gfx/GfxModelComp.h"
#include "engine/gfx/GfxWaterComp.h"

#include <tinyxml.h>

namespace dorvo
{
namespace gfx
{
template <PlaceholderKind Kind> GfxPlaceholderComp<Kind>::GfxPlaceholderComp() = default;
template <PlaceholderKind Kind> GfxPlaceholderComp<Kind>::~GfxPlaceholderComp() = default;

template <PlaceholderKind Kind> bool GfxPlaceholderComp<Kind>::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlElement element("Component");
    element.SetAttribute("name", this->GetTypeName());
    if (m_pSaved)
    {
        for (const TiXmlNode* child = m_pSaved->FirstChild(); child != nullptr; child = child->NextSibling())
            element.InsertEndChild(*child);
        XmlKeepTexts(&element); // a text read with odd blanks is saved so it reads back the same
    }
    return parent->InsertEndChild(element) != nullptr;
}

template <PlaceholderKind Kind> bool GfxPlaceholderComp<Kind>::Deserialize(const TiXmlNode* node)
{
    const TiXmlElement* element = node != nullptr ? node->ToElement() : nullptr;
    if (element == nullptr)
        return false;
    m_pSaved = std::make_unique<TiXmlElement>(*element);
    return true;
}

template class GfxPlaceholderComp<PlaceholderKind::Water>;
template class GfxPlaceholderComp<PlaceholderKind::Terrain>;
template class GfxPlaceholderComp<PlaceholderKind::Cloth>;

void RegisterPlaceholderComponentCreators()
{
    RegisterComponentType<GfxModelComp>(GfxModelComp::kTypeName);
    RegisterComponentType<GfxWaterComp>(GfxWaterComp::kTypeName);
    RegisterComponentType<GfxTerrainPlaceholderComp>("GfxTerrainComp");
    RegisterComponentType<GfxClothPlaceholderComp>("GfxClothComp");
}
} // namespace gfx
} // namespace dorvo
