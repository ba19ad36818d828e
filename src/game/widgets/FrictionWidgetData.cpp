#include "game/widgets/FrictionWidgetData.h"

#include "common/XmlUtil.h"
#include "engine/phy/CollisionComp.h"
#include "engine/phy/FiniteXml.h"
#include "game/room/FindComp.h"

namespace QUORB
{
void FrictionWidgetData::SetStaticFriction(float friction)
{
    m_staticFriction = friction;
    if (auto* collision = FindComp<dorvo::phy::CollisionComp>(GetOwnerGob()))
        collision->staticFriction = friction;
}

void FrictionWidgetData::SetKineticFriction(float friction)
{
    m_kineticFriction = friction;
    if (auto* collision = FindComp<dorvo::phy::CollisionComp>(GetOwnerGob()))
        collision->kineticFriction = friction;
}

void FrictionWidgetData::ApplyFrictions() const
{
    if (auto* collision = FindComp<dorvo::phy::CollisionComp>(GetOwnerGob()))
    {
        collision->staticFriction = m_staticFriction;
        collision->kineticFriction = m_kineticFriction;
    }
}

bool FrictionWidgetData::WriteOwnFields(TiXmlNode* element) const
{
    return XmlWriteFloat(element, m_staticFriction, "StaticFriction") &&
           XmlWriteFloat(element, m_kineticFriction, "KineticFriction");
}

void FrictionWidgetData::ReadOwnFields(const TiXmlNode* first)
{
    if (first == nullptr)
        return;
    const std::string typeName = GetTypeName();
    dorvo::phy::XmlReadFiniteFloat(first, &m_staticFriction, typeName, "StaticFriction");
    if (const TiXmlNode* kinetic = XmlNextSiblingElement(first))
        dorvo::phy::XmlReadFiniteFloat(kinetic, &m_kineticFriction, typeName, "KineticFriction");
}
} // namespace QUORB
