#include "engine/phy/DragForce.h"

#include "common/XmlUtil.h"
#include "common/math/Vector3.h"
#include "engine/phy/FiniteXml.h"

#include <tinyxml.h>

namespace dorvo
{
namespace phy
{
bool DragForce::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlNode* element = parent->InsertEndChild(TiXmlElement("DragForce"));
    if (element == nullptr)
        return false;
    XmlWriteFloat(element, m_linearDrag, "LinearDrag");
    XmlWriteFloat(element, m_angularDrag, "AngularDrag");
    return true;
}

bool DragForce::Deserialize(const TiXmlNode* node)
{
    if (node == nullptr || node->ToElement() == nullptr)
        return false;
    // By position, whatever the children are called.
    const TiXmlNode* child = XmlFirstChildElement(node);
    if (child != nullptr)
    {
        XmlReadFiniteFloat(child, &m_linearDrag, "DragForce", "LinearDrag");
        child = XmlNextSiblingElement(child);
    }
    if (child != nullptr)
        XmlReadFiniteFloat(child, &m_angularDrag, "DragForce", "AngularDrag");
    return true;
}

void DragForce::Apply(float, math::Vector3& force, math::Vector3&, const math::Vector3&,
                      const math::Quaternion&, const math::Vector3& velocity, const math::Vector3&,
                      float mass)
{
    const float k = -(m_linearDrag * mass);
    force += velocity * k;
}
} // namespace phy
} // namespace dorvo
