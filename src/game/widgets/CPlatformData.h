// The widget data of a platform: the frictions it gives its collision component besides the
// base values.
#pragma once

#include "game/widgets/FrictionWidgetData.h"

namespace QUORB
{
class CPlatformData : public FrictionWidgetData
{
public:
    // Frictions 0.5 and 0.45.
    explicit CPlatformData(WidgetDataComp* owner) : FrictionWidgetData(owner) {}

    CPlatformData* Clone() const override { return new CPlatformData(*this); }
    // RefreshMagnetism, SetDensity(Density), both frictions into the CollisionComp.
    void ApplyToGob() override;
    const CPlatformData* AsPlatformData() const override { return this; }
    CPlatformData* AsPlatformData() override { return this; }
    std::string GetTypeName() const override { return "Platform"; }
};
} // namespace QUORB
