// The widget data of a gravity switch: the gravity direction it sets when the star object
// touches it. Applying it to its object changes nothing.
#pragma once

#include "common/math/Vector3.h"
#include "game/widgets/IWidgetData.h"

namespace QUORB
{
class CGravitySwitchData : public IWidgetData
{
public:
    // Direction (0, -1, 0).
    explicit CGravitySwitchData(WidgetDataComp* owner);

    CGravitySwitchData* Clone() const override;
    void ApplyToGob() override;
    const CGravitySwitchData* AsGravitySwitchData() const override { return this; }
    CGravitySwitchData* AsGravitySwitchData() override { return this; }
    std::string GetTypeName() const override { return "GravitySwitch"; }

    math::Vector3 direction; // unit vector in world axes

protected:
    bool WriteOwnFields(TiXmlNode* element) const override; // Vector "Direction"
    void ReadOwnFields(const TiXmlNode* first) override;
};
} // namespace QUORB
