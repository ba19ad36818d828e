#include "engine/gfx/core/ColorXml.h"

#include "common/XmlUtil.h"
#include "common/math/MathUtil.h"

#include <tinyxml.h>

namespace dorvo
{
namespace gfx
{
namespace
{
constexpr float kChannelScale = 255.0f;

bool WriteChannels(TiXmlNode* parent, const float (&rgba)[4], const std::string& name)
{
    if (!parent || !parent->ToElement())
        return false;
    auto* element = new TiXmlElement("Color");
    element->SetAttribute("name", name);
    parent->LinkEndChild(element);
    const char* const names[4] = {"r", "g", "b", "a"};
    for (int i = 0; i < 4; ++i)
        XmlWriteFloat(element, rgba[i] * kChannelScale, names[i]);
    return true;
}

bool ReadChannels(const TiXmlNode* node, float (&rgba)[4])
{
    if (!node || !node->ToElement())
        return false;
    float read[4] = {};
    const TiXmlNode* child = XmlFirstChildElement(node);
    for (float& channel : read)
    {
        // A channel beyond the engine's float bound (1e38, say) would overflow the lighting.
        if (!XmlReadFloat(child, &channel) || !math::IsValidFloat(channel))
            return false;
        channel /= kChannelScale;
        child = XmlNextSiblingElement(child);
    }
    for (int i = 0; i < 4; ++i)
        rgba[i] = read[i];
    return true;
}
} // namespace

bool WriteColor(TiXmlNode* parent, const plat::D3DCOLORVALUE& color, const std::string& name)
{
    const float rgba[4] = {color.r, color.g, color.b, color.a};
    return WriteChannels(parent, rgba, name);
}

bool WriteColor(TiXmlNode* parent, const plat::D3DXCOLOR& color, const std::string& name)
{
    const float rgba[4] = {color.r, color.g, color.b, color.a};
    return WriteChannels(parent, rgba, name);
}

bool ReadColor(const TiXmlNode* node, plat::D3DCOLORVALUE& color)
{
    float rgba[4] = {color.r, color.g, color.b, color.a};
    if (!ReadChannels(node, rgba))
        return false;
    color.r = rgba[0];
    color.g = rgba[1];
    color.b = rgba[2];
    color.a = rgba[3];
    return true;
}

bool ReadColor(const TiXmlNode* node, plat::D3DXCOLOR& color)
{
    plat::D3DCOLORVALUE value;
    if (!ReadColor(node, value))
        return false;
    color = plat::D3DXCOLOR(value.r, value.g, value.b, value.a);
    return true;
}
} // namespace gfx
} // namespace dorvo
