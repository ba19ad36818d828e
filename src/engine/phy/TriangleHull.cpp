#include "engine/phy/TriangleHull.h"

#include "common/XmlUtil.h"
#include "common/math/Quaternion.h"
#include "engine/POVComp.h"
#include "engine/phy/FiniteXml.h"

#include <tinyxml.h>

namespace dorvo
{
namespace phy
{
TriangleHull::TriangleHull() = default;

TriangleHull::~TriangleHull() = default;

bool TriangleHull::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlNode* element = parent->InsertEndChild(TiXmlElement("TriangleHull"));
    if (element == nullptr)
        return false;
    XmlWriteVector3(element, bodyTriangle.v0, "BodyVert0");
    XmlWriteVector3(element, bodyTriangle.v1, "BodyVert1");
    XmlWriteVector3(element, bodyTriangle.v2, "BodyVert2");
    return true;
}

bool TriangleHull::Deserialize(const TiXmlNode* node)
{
    if (node == nullptr || node->ToElement() == nullptr)
        return false;
    const TiXmlNode* child = XmlFirstChildElement(node);
    const char* const names[3] = {"BodyVert0", "BodyVert1", "BodyVert2"};
    for (int i = 0; i < 3 && child != nullptr; ++i)
    {
        XmlReadFiniteVector3(child, &bodyTriangle[i], "TriangleHull", names[i]);
        child = XmlNextSiblingElement(child);
    }
    bodyTriangle.ComputeNormal();
    return true;
}

void TriangleHull::UpdateFromBody()
{
    math::Vector3 position;
    math::Quaternion orientation;
    if (!GetPose(position, orientation))
        return;
    const POVComp* pov = GetPOV();
    const math::Vector3 scale = pov != nullptr ? pov->GetScale() : math::Vector3(1.0f, 1.0f, 1.0f);
    math::Vector3 world[3];
    for (int i = 0; i < 3; ++i)
        world[i] = position + orientation.Rotate(math::ComponentProduct(bodyTriangle[i], scale));
    worldTriangle.Set(world[0], world[1], world[2]);
}

int& TriangleHull::GetClassIndex()
{
    return StaticClassIndex();
}

int& TriangleHull::StaticClassIndex()
{
    static int s_index = -1;
    return s_index;
}
} // namespace phy
} // namespace dorvo
