#include "engine/gfx/core/GfxUnitFields.h"

#include "common/XmlUtil.h"
#include "engine/Gob.h"
#include "engine/gfx/core/IGfxUnit.h"
#include "engine/gfx/core/XmlReadNext.h"
#include "platform/log.h"

namespace dorvo
{
namespace gfx
{
void GfxUnitFields::WriteTextures(TiXmlNode* parent) const
{
    TiXmlNode* list = XmlWriteListElement(parent, "Textures", static_cast<int>(m_Textures.size()));
    for (const TexturePair& texture : m_Textures)
        XmlWritePair(list, texture, "Texture");
}

void GfxUnitFields::WriteVisibilityFlags(TiXmlNode* parent) const
{
    XmlWriteBool(parent, m_ShadowCaster, "ShadowCaster");
    XmlWriteBool(parent, m_IsVisible, "IsVisible");
    XmlWriteBool(parent, m_AlwaysVisible, "AlwaysVisible");
}

const TiXmlNode* GfxUnitFields::ReadVisibilityFlags(const TiXmlNode* child)
{
    child = ReadNext(child, &m_ShadowCaster);
    child = ReadNext(child, &m_IsVisible);
    return ReadNext(child, &m_AlwaysVisible);
}

void GfxUnitFields::LoadTexturesInto(IGfxUnit& unit, const char* component, const std::string& object) const
{
    for (const TexturePair& texture : m_Textures)
    {
        if (texture.first < 0 || texture.first >= static_cast<int>(IGfxUnit::kTextureStages))
        {
            DORVO_LOG("GfxUnitFields::LoadTexturesInto: %s of object \"%s\": texture \"%s\" names stage %d, "
                      "which does not exist (stages 0 to %u); it is left out",
                      component, object.c_str(), texture.second.c_str(), texture.first,
                      IGfxUnit::kTextureStages - 1);
            continue;
        }
        unit.LoadTexture(texture.second, static_cast<unsigned>(texture.first));
    }
}

std::string GfxUnitFields::ObjectName(const Gob* owner)
{
    if (!owner)
        return std::string();
    return owner->GetName().empty() ? owner->GetArchetypeName() : owner->GetName();
}
} // namespace gfx
} // namespace dorvo
