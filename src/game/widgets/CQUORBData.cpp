#include "game/widgets/CQUORBData.h"

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
    m_frictions.SetStatic(GetOwnerGob(), friction);
}

void CQUORBData::SetKineticFriction(float friction)
{
    m_frictions.SetKinetic(GetOwnerGob(), friction);
}

bool CQUORBData::WriteOwnFields(TiXmlNode* element) const
{
    return m_frictions.Write(element);
}

void CQUORBData::ReadOwnFields(const TiXmlNode* first)
{
    m_frictions.Read(first, GetTypeName());
}
} // namespace QUORB
