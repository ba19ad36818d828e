#include "game/widgets/CPlatformData.h"

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
    m_frictions.ApplyTo(GetOwnerGob());
}

void CPlatformData::SetStaticFriction(float friction)
{
    m_frictions.SetStatic(GetOwnerGob(), friction);
}

void CPlatformData::SetKineticFriction(float friction)
{
    m_frictions.SetKinetic(GetOwnerGob(), friction);
}

bool CPlatformData::WriteOwnFields(TiXmlNode* element) const
{
    return m_frictions.Write(element);
}

void CPlatformData::ReadOwnFields(const TiXmlNode* first)
{
    m_frictions.Read(first, GetTypeName());
}
} // namespace QUORB
