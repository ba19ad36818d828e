// The widget data of a bar: the base values only.
#pragma once

#include "game/widgets/IWidgetData.h"

namespace QUORB
{
class CBarData : public IWidgetData
{
public:
    explicit CBarData(WidgetDataComp* owner);

    CBarData* Clone() const override;
    // RefreshMagnetism, SetDensity(Density).
    void ApplyToGob() override;
    const CBarData* AsBarData() const override { return this; }
    CBarData* AsBarData() override { return this; }
    std::string GetTypeName() const override { return "Bar"; }
};
} // namespace QUORB
