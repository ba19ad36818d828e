// The widget data of the two kinds that carry frictions besides the base values, platforms
// (CPlatformData) and star objects (CQUORBData): the frictions are kept, copied into the
// object's CollisionComp when it has one, and saved as two floats. The kinds differ in their
// type name and in whether ApplyToGob hands the frictions on.
#pragma once

#include "game/widgets/IWidgetData.h"

namespace QUORB
{
class FrictionWidgetData : public IWidgetData
{
public:
    // Store the value and copy it into the object's CollisionComp when it has one.
    void SetStaticFriction(float friction);
    void SetKineticFriction(float friction);
    float GetStaticFriction() const { return m_staticFriction; }
    float GetKineticFriction() const { return m_kineticFriction; }

protected:
    // Frictions 0.5 and 0.45 until set or read.
    explicit FrictionWidgetData(WidgetDataComp* owner) : IWidgetData(owner) {}
    FrictionWidgetData(const FrictionWidgetData&) = default;
    FrictionWidgetData& operator=(const FrictionWidgetData&) = default;

    // Both frictions into the object's CollisionComp when it has one.
    void ApplyFrictions() const;

    bool WriteOwnFields(TiXmlNode* element) const override; // float StaticFriction, KineticFriction
    // Values that are not finite are refused with one line naming the record's type, and the
    // field keeps its value.
    void ReadOwnFields(const TiXmlNode* first) override;

private:
    float m_staticFriction = 0.5f;
    float m_kineticFriction = 0.45f;
};
} // namespace QUORB
