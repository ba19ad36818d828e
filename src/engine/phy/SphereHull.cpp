#include "engine/phy/SphereHull.h"

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
SphereHull::SphereHull() = default;

SphereHull::~SphereHull() = default;

bool SphereHull::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlNode* element = parent->InsertEndChild(TiXmlElement("SphereHull"));
    if (element == nullptr)
        return false;
    XmlWriteVector3(element, sphere.center, "Center");
    XmlWriteFloat(element, sphere.radius, "Radius");
    return true;
}

bool SphereHull::Deserialize(const TiXmlNode* node)
{
    if (node == nullptr || node->ToElement() == nullptr)
        return false;
    const TiXmlNode* child = XmlFirstChildElement(node);
    if (child != nullptr)
    {
        XmlReadFiniteVector3(child, &sphere.center, "SphereHull", "Center");
        child = XmlNextSiblingElement(child);
    }
    if (child != nullptr)
        XmlReadFiniteFloat(child, &sphere.radius, "SphereHull", "Radius");
    return true;
}

void SphereHull::UpdateFromBody()
{
    math::Quaternion orientation;
    GetPose(sphere.center, orientation);
    const POVComp* pov = GetPOV();
    if (pov == nullptr)
        return;
    // A sphere of diameter 1, scaled by x.
    const float radius = pov->GetScale().x * 0.5f;
    if (math::FloatEqual(radius, sphere.radius))
        return;
    sphere.radius = radius;
    OnSizeChanged();
}

void SphereHull::SetBodyInertia()
{
    PhysicsComp* body = GetBody();
    if (body == nullptr)
        return;
    const float moment = kInertiaFactor * body->GetMass() * sphere.radius * sphere.radius;
    body->SetInertia(moment, moment, moment);
}

bool SphereHull::GetBoundingSphere(math::Vector3& centre, float& radius, bool& exact) const
{
    centre = sphere.center;
    radius = sphere.radius;
    exact = true;
    return true;
}

float SphereHull::GetVolume()
{
    return kVolumeFactor * sphere.radius * sphere.radius * sphere.radius;
}

int& SphereHull::GetClassIndex()
{
    return StaticClassIndex();
}

int& SphereHull::StaticClassIndex()
{
    static int s_index = -1;
    return s_index;
}
} // namespace phy
} // namespace dorvo
