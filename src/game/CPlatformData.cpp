#include "game/CPlatformData.h"

#include "common/XmlUtil.h"
#include "engine/phy/CollisionComp.h"
#include "engine/phy/FiniteXml.h"
#include "game/FindComp.h"

namespace QUORB
{
CPlatformData::CPlatformData(WidgetDataComp* owner) : IWidgetData(owner) {}

CPlatformData* CPlatformData::Clone() const
{
    return new CPlatformData(*this);
}

void CPlatformData::ApplyToGob()
{
    RefreshMagnetism();
    SetDensity(m_density);
    if (auto* collision = FindComp<dorvo::phy::CollisionComp>(GetOwnerGob()))
    {
        collision->staticFriction = m_staticFriction;
        collision->kineticFriction = m_kineticFriction;
    }
}

void CPlatformData::SetStaticFriction(float friction)
{
    m_staticFriction = friction;
    if (auto* collision = FindComp<dorvo::phy::CollisionComp>(GetOwnerGob()))
        collision->staticFriction = friction;
}

void CPlatformData::SetKineticFriction(float friction)
{
    m_kineticFriction = friction;
    if (auto* collision = FindComp<dorvo::phy::CollisionComp>(GetOwnerGob()))
        collision->kineticFriction = friction;
}

bool CPlatformData::WriteOwnFields(TiXmlNode* element) const
{
    return XmlWriteFloat(element, m_staticFriction, "StaticFriction") &&
           XmlWriteFloat(element, m_kineticFriction, "KineticFriction");
}

void CPlatformData::ReadOwnFields(const TiXmlNode* first)
{
    if (first == nullptr)
        return;
    dorvo::phy::XmlReadFiniteFloat(first, &m_staticFriction, GetTypeName(), "StaticFriction");
    if (const TiXmlNode* kinetic = XmlNextSiblingElement(first))
        dorvo::phy::XmlReadFiniteFloat(kinetic, &m_kineticFriction, GetTypeName(), "KineticFriction");
}
} // namespace QUORB
