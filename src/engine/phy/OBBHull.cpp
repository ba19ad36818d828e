#include "engine/phy/OBBHull.h"

#include "common/XmlUtil.h"
#include "common/math/Quaternion.h"
#include "engine/POVComp.h"
#include "engine/phy/FiniteXml.h"
#include "engine/phy/PhysicsComp.h"

#include <tinyxml.h>

namespace dorvo
{
namespace phy
{
OBBHull::OBBHull() = default;

OBBHull::~OBBHull() = default;

bool OBBHull::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlNode* element = parent->InsertEndChild(TiXmlElement("OBBHull"));
    if (element == nullptr)
        return false;
    XmlWriteVector3(element, obb.halfExtent, "Extent");
    XmlWriteVector3(element, obb.center, "Center");
    return true;
}

bool OBBHull::Deserialize(const TiXmlNode* node)
{
    if (node == nullptr || node->ToElement() == nullptr)
        return false;
    const TiXmlNode* child = XmlFirstChildElement(node);
    if (child != nullptr)
    {
        XmlReadFiniteVector3(child, &obb.halfExtent, "OBBHull", "Extent");
        child = XmlNextSiblingElement(child);
    }
    if (child != nullptr)
        XmlReadFiniteVector3(child, &obb.center, "OBBHull", "Center");
    return true;
}

void OBBHull::UpdateFromBody()
{
    math::Quaternion orientation;
    if (GetPose(obb.center, orientation))
        obb.orientation = orientation.ToMatrix3();
    const POVComp* pov = GetPOV();
    if (pov == nullptr)
        return;
    // A cube of side 1, scaled per axis.
    const math::Vector3 halfExtent = pov->GetScale() * 0.5f;
    if (halfExtent == obb.halfExtent) // FloatEqual on each component
        return;
    obb.halfExtent = halfExtent;
    OnSizeChanged();
}

void OBBHull::SetBodyInertia()
{
    PhysicsComp* body = GetBody();
    if (body == nullptr)
        return;
    const float x = 2.0f * obb.halfExtent.x;
    const float y = 2.0f * obb.halfExtent.y;
    const float z = 2.0f * obb.halfExtent.z;
    const float third = body->GetMass() / kInertiaDivisor;
    body->SetInertia(third * (y * y + z * z), third * (x * x + z * z), third * (x * x + y * y));
}

bool OBBHull::GetBoundingSphere(math::Vector3& centre, float& radius, bool& exact) const
{
    centre = obb.center;
    radius = obb.halfExtent.Length();
    exact = false;
    return true;
}

float OBBHull::GetVolume()
{
    return 8.0f * obb.halfExtent.x * obb.halfExtent.y * obb.halfExtent.z;
}

int& OBBHull::GetClassIndex()
{
    return StaticClassIndex();
}

int& OBBHull::StaticClassIndex()
{
    static int s_index = -1;
    return s_index;
}
} // namespace phy
} // namespace dorvo
