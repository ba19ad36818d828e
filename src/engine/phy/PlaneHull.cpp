#include "engine/phy/PlaneHull.h"

#include "common/XmlUtil.h"
#include "engine/phy/FiniteXml.h"

#include <tinyxml.h>

namespace dorvo
{
namespace phy
{
PlaneHull::PlaneHull() = default;

PlaneHull::~PlaneHull() = default;

bool PlaneHull::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlNode* element = parent->InsertEndChild(TiXmlElement("PlaneHull"));
    if (element == nullptr)
        return false;
    XmlWriteVector3(element, plane.normal, "N");
    XmlWriteFloat(element, plane.d, "D");
    return true;
}

bool PlaneHull::Deserialize(const TiXmlNode* node)
{
    if (node == nullptr || node->ToElement() == nullptr)
        return false;
    const TiXmlNode* child = XmlFirstChildElement(node);
    if (child != nullptr)
    {
        XmlReadFiniteVector3(child, &plane.normal, "PlaneHull", "N"); // kept as written, not normalised
        child = XmlNextSiblingElement(child);
    }
    if (child != nullptr)
        XmlReadFiniteFloat(child, &plane.d, "PlaneHull", "D");
    return true;
}

int& PlaneHull::GetClassIndex()
{
    return StaticClassIndex();
}

int& PlaneHull::StaticClassIndex()
{
    static int s_index = -1;
    return s_index;
}
} // namespace phy
} // namespace dorvo
