#include "engine/gfx/gui/GameSkin.h"

#include "common/XmlUtil.h"
#include "engine/gfx/core/ColorXml.h"
#include "engine/gfx/gui/GuiSkinColors.h"

#include <tinyxml.h>

namespace dorvo
{
namespace gfx
{
namespace
{
const char* const kColorNames[SKIN_ColorCount] = {"PressedColor", "UnpressedColor", "OverColor",
                                                  "DisabledColor", "SpriteColor"};
} // namespace

bool WriteGameSkin(TiXmlNode* node, const plat::D3DXCOLOR colors[5], const std::string& name)
{
    if (!node || !node->ToElement() || !colors)
        return false;
    auto* skin = new TiXmlElement("GameSkin");
    skin->SetAttribute("name", name);
    node->LinkEndChild(skin);
    for (unsigned i = 0; i < SKIN_ColorCount; ++i)
        WriteColor(skin, colors[i], kColorNames[i]);
    return true;
}

bool ReadGameSkin(const TiXmlNode* element, plat::D3DXCOLOR colors[5])
{
    if (!element || !element->ToElement() || !colors)
        return false;
    plat::D3DXCOLOR read[SKIN_ColorCount];
    const TiXmlNode* child = XmlFirstChildElement(element);
    for (plat::D3DXCOLOR& color : read)
    {
        if (!ReadColor(child, color))
            return false;
        child = XmlNextSiblingElement(child);
    }
    for (unsigned i = 0; i < SKIN_ColorCount; ++i)
        colors[i] = read[i];
    return true;
}
} // namespace gfx
} // namespace dorvo
