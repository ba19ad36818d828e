#include "game/Buoyancy.h"

#include "common/XmlUtil.h"
#include "engine/phy/DefaultForceCreator.h"
#include "engine/phy/DynamicsEngine.h"

#include <tinyxml.h>

namespace QUORB
{
const char* const Buoyancy::kTypeName = "Buoyancy";

void Buoyancy::RegisterCreator()
{
    static dorvo::phy::DefaultForceCreator<Buoyancy> s_creator;
    dorvo::phy::DynamicsEngine::Instance().RegisterForceCreator(kTypeName, &s_creator);
}

bool Buoyancy::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlNode* element = parent->InsertEndChild(TiXmlElement(kTypeName));
    return element != nullptr && XmlWriteUint(element, m_numPatchesX, "NumPatchesX") &&
           XmlWriteUint(element, m_numPatchesY, "NumPatchesY") &&
           XmlWriteUint(element, m_numPatchesZ, "NumPatchesZ");
}

bool Buoyancy::Deserialize(const TiXmlNode* node)
{
    if (node == nullptr || node->ToElement() == nullptr)
        return false;
    std::uint32_t* const counts[] = {&m_numPatchesX, &m_numPatchesY, &m_numPatchesZ};
    const TiXmlNode* child = XmlFirstChildElement(node);
    for (std::uint32_t* count : counts)
    {
        if (child == nullptr)
            break;
        unsigned int value = 0;
        if (XmlReadUint(child, &value))
            *count = value;
        child = XmlNextSiblingElement(child);
    }
    return true;
}

void Buoyancy::Apply(float, math::Vector3&, math::Vector3&, const math::Vector3&, const math::Quaternion&,
                     const math::Vector3&, const math::Vector3&, float)
{
}
} // namespace QUORB
