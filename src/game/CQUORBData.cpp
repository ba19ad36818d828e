#include "game/CQUORBData.h"

#include "common/XmlUtil.h"
#include "engine/phy/CollisionComp.h"
#include "engine/phy/FiniteXml.h"
#include "game/FindComp.h"

namespace QUORB
{
CQUORBData::CQUORBData(WidgetDataComp* owner) : IWidgetData(owner) {}

CQUORBData* CQUORBData::Clone() const
{
    return new CQUORBData(*this);
}

void CQUORBData::ApplyToGob()
{
    RefreshMagnetism();
    SetDensity(m_density);
}

void CQUORBData::SetStaticFriction(float friction)
{
    m_staticFriction = friction;
    if (auto* collision = FindComp<dorvo::phy::CollisionComp>(GetOwnerGob()))
        collision->staticFriction = friction;
}

void CQUORBData::SetKineticFriction(float friction)
{
    m_kineticFriction = friction;
    if (auto* collision = FindComp<dorvo::phy::CollisionComp>(GetOwnerGob()))
        collision->kineticFriction = friction;
}

bool CQUORBData::WriteOwnFields(TiXmlNode* element) const
{
    return XmlWriteFloat(element, m_staticFriction, "StaticFriction") &&
           XmlWriteFloat(element, m_kineticFriction, "KineticFriction");
}

void CQUORBData::ReadOwnFields(const TiXmlNode* first)
{
    if (first == nullptr)
        return;
    dorvo::phy::XmlReadFiniteFloat(first, &m_staticFriction, GetTypeName(), "StaticFriction");
    if (const TiXmlNode* kinetic = XmlNextSiblingElement(first))
        dorvo::phy::XmlReadFiniteFloat(kinetic, &m_kineticFriction, GetTypeName(), "KineticFriction");
}
} // namespace QUORB
