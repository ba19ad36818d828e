// The widget data of a star object: its frictions besides the base values. Unlike a platform's,
// the frictions reach the collision component only through the setters, never by ApplyToGob.
#pragma once

#include "game/widgets/FrictionWidgetData.h"

namespace QUORB
{
class CQUORBData : public FrictionWidgetData
{
public:
    // Frictions 0.5 and 0.45 (a platform's) until set or read.
    explicit CQUORBData(WidgetDataComp* owner) : FrictionWidgetData(owner) {}

    CQUORBData* Clone() const override { return new CQUORBData(*this); }
    // RefreshMagnetism, SetDensity(Density).
    void ApplyToGob() override;
    const CQUORBData* AsQUORBData() const override { return this; }
    CQUORBData* AsQUORBData() override { return this; }
    std::string GetTypeName() const override { return "QUORB"; }
};
} // namespace QUORB
