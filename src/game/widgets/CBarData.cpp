#include "game/widgets/CBarData.h"

namespace QUORB
{
CBarData::CBarData(WidgetDataComp* owner) : IWidgetData(owner) {}

CBarData* CBarData::Clone() const
{
    return new CBarData(*this);
}

void CBarData::ApplyToGob()
{
    RefreshMagnetism();
    SetDensity(m_density);
}
} // namespace QUORB
