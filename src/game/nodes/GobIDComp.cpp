#include "game/nodes/GobIDComp.h"

#include "common/XmlUtil.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "game/app/CQUORB.h"
#include "game/room/FindComp.h"

#include <tinyxml.h>

#include <utility>

namespace QUORB
{
const char* const GobIDComp::kTypeName = "GobIDComp";

GobIDComp::~GobIDComp()
{
    if (m_isOwner && m_linkedID != 0)
        GobManager::Instance().KillGobByID(m_linkedID);
}

bool GobIDComp::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlElement element("Component");
    element.SetAttribute("name", kTypeName);
    XmlWriteBool(&element, m_isOwner, "IsOwner");
    XmlWriteBool(&element, m_sharePosition, "SharePosition");
    XmlWriteBool(&element, m_shareOrientation, "ShareOrientation");
    XmlWriteBool(&element, m_shareScale, "ShareScale");
    return parent->InsertEndChild(element) != nullptr;
}

bool GobIDComp::Deserialize(const TiXmlNode* node)
{
    if (node == nullptr || node->ToElement() == nullptr)
        return false;
    const TiXmlNode* flag = XmlFirstChildElement(node);
    XmlReadBool(flag, &m_isOwner);
    XmlReadBool(flag = XmlNextSiblingElement(flag), &m_sharePosition);
    XmlReadBool(flag = XmlNextSiblingElement(flag), &m_shareOrientation);
    XmlReadBool(flag = XmlNextSiblingElement(flag), &m_shareScale);
    return true;
}

void GobIDComp::Update(float)
{
    if (!m_isOwner)
        return;
    POVComp* linked = ::GetPOVComp(GetLinkedGob());
    POVComp* own = GetPOVComp();
    if (linked == nullptr || own == nullptr)
        return;
    const CQUORB* game = CQUORB::Get();
    const int face = game != nullptr ? game->GetFocusedFace() : -1;

    if (m_sharePosition)
        linked->SetPosition(own->GetPosition(), false);
    if (m_shareOrientation)
        linked->SetOrientation(own->GetOrientation(), false);
    else
    {
        // The linked object lies in the focused face, its x axis along the owner's long axis.
        // Without a focused face there is no such rotation and the orientation stays.
        math::Vector3 normal;
        if (game != nullptr && face >= 0 && game->GetFocusedFaceNormal(normal))
        {
            const math::Quaternion orientation = own->GetOrientation();
            const math::Vector3 along =
                ((face == 0 || face == 2) ? orientation.GetXAxis() : orientation.GetZAxis()).GetNormalized();
            if (along.LengthSquared() > 0.0f && normal.LengthSquared() > 0.0f)
            {
                math::Quaternion turned;
                turned.SetFromDirections(along, -normal);
                linked->SetOrientation(turned, true);
            }
        }
    }
    if (m_shareScale)
    {
        math::Vector3 scale = own->GetScale();
        if (face == 1 || face == 3)
            std::swap(scale.x, scale.z);
        linked->SetScale(scale, false);
    }
    if (m_sharePosition || m_shareOrientation || m_shareScale)
        linked->SetPosition(linked->GetPosition(), true);
}

Gob* GobIDComp::GetLinkedGob() const
{
    return m_linkedID != 0 ? GobManager::Instance().GetGob(m_linkedID) : nullptr;
}

GobIDComp* GobIDComp::Of(Gob* gob)
{
    return FindComp<GobIDComp>(gob);
}
} // namespace QUORB
