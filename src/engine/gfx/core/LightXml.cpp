#include "engine/gfx/core/LightXml.h"

#include "common/XmlUtil.h"
#include "common/math/MathUtil.h"
#include "common/math/Vector3.h"
#include "engine/gfx/core/ColorXml.h"

#include <tinyxml.h>

namespace dorvo
{
namespace gfx
{
namespace
{
math::Vector3 ToVector(const plat::D3DVECTOR& v)
{
    return math::Vector3(v.x, v.y, v.z);
}

plat::D3DVECTOR FromVector(const math::Vector3& v)
{
    plat::D3DVECTOR out;
    out.x = v.x;
    out.y = v.y;
    out.z = v.z;
    return out;
}

bool ReadVector(const TiXmlNode* node, plat::D3DVECTOR& value)
{
    math::Vector3 v = ToVector(value);
    if (!XmlReadVector3(node, &v) || !math::IsValidFloat(v.x) || !math::IsValidFloat(v.y) ||
        !math::IsValidFloat(v.z))
        return false;
    value = FromVector(v);
    return true;
}
} // namespace

bool WriteLight(TiXmlNode* parent, const plat::D3DLIGHT9& light, const std::string& name)
{
    if (!parent || !parent->ToElement())
        return false;
    auto* element = new TiXmlElement("Light");
    element->SetAttribute("name", name);
    parent->LinkEndChild(element);
    XmlWriteEnum(element, static_cast<int>(light.Type), "Type");
    WriteColor(element, light.Diffuse, "Diffuse");
    WriteColor(element, light.Specular, "Specular");
    WriteColor(element, light.Ambient, "Ambient");
    XmlWriteVector3(element, ToVector(light.Position), "Position");
    XmlWriteVector3(element, ToVector(light.Direction), "Direction");
    XmlWriteFloat(element, light.Range, "Range");
    XmlWriteFloat(element, light.Falloff, "Falloff");
    XmlWriteFloat(element, light.Attenuation0, "Attenuation0");
    XmlWriteFloat(element, light.Attenuation1, "Attenuation1");
    XmlWriteFloat(element, light.Attenuation2, "Attenuation2");
    XmlWriteFloat(element, light.Theta, "Theta");
    XmlWriteFloat(element, light.Phi, "Phi");
    return true;
}

bool ReadLight(const TiXmlNode* node, plat::D3DLIGHT9& light)
{
    if (!node || !node->ToElement())
        return false;
    plat::D3DLIGHT9 read = light;
    const TiXmlNode* child = XmlFirstChildElement(node);
    const auto next = [&child] { return XmlTakeElement(&child); };
    int type = 0;
    if (!XmlReadInt(next(), &type) || type < static_cast<int>(plat::D3DLIGHT_POINT) ||
        type > static_cast<int>(plat::D3DLIGHT_DIRECTIONAL))
        return false;
    read.Type = static_cast<plat::D3DLIGHTTYPE>(type);
    if (!ReadColor(next(), read.Diffuse) || !ReadColor(next(), read.Specular) ||
        !ReadColor(next(), read.Ambient) || !ReadVector(next(), read.Position) ||
        !ReadVector(next(), read.Direction))
        return false;
    float* const floats[] = {&read.Range,        &read.Falloff, &read.Attenuation0, &read.Attenuation1,
                             &read.Attenuation2, &read.Theta,   &read.Phi};
    for (float* value : floats)
        if (!XmlReadFloat(next(), value) || !math::IsValidFloat(*value))
            return false;
    light = read;
    return true;
}
} // namespace gfx
} // namespace dorvo
