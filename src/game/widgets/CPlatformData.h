// The widget data of a platform: the frictions it gives its collision component besides the
// base values.
#pragma once

#include "game/widgets/IWidgetData.h"
#include "game/widgets/WidgetFrictions.h"

namespace QUORB
{
class CPlatformData : public IWidgetData
{
public:
    // Frictions 0.5 and 0.45.
    explicit CPlatformData(WidgetDataComp* owner);

    CPlatformData* Clone() const override;
    // RefreshMagnetism, SetDensity(Density), both frictions into the CollisionComp.
    void ApplyToGob() override;
    const CPlatformData* AsPlatformData() const override { return this; }
    CPlatformData* AsPlatformData() override { return this; }
    std::string GetTypeName() const override { return "Platform"; }

    // Store the value and copy it into the object's CollisionComp when it has one.
    void SetStaticFriction(float friction);
    void SetKineticFriction(float friction);
    float GetStaticFriction() const { return m_frictions.staticFriction; }
    float GetKineticFriction() const { return m_frictions.kineticFriction; }

protected:
    bool WriteOwnFields(TiXmlNode* element) const override; // float StaticFriction, KineticFriction
    void ReadOwnFields(const TiXmlNode* first) override;

private:
    WidgetFrictions m_frictions;
};
} // namespace QUORB
