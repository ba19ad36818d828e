// The widget data of a star object: its frictions besides the base values. Unlike a platform's,
// the frictions reach the collision component only through the setters, never by ApplyToGob.
#pragma once

#include "game/widgets/IWidgetData.h"
#include "game/widgets/WidgetFrictions.h"

namespace QUORB
{
class CQUORBData : public IWidgetData
{
public:
    // Frictions 0.5 and 0.45 (a platform's) until set or read.
    explicit CQUORBData(WidgetDataComp* owner);

    CQUORBData* Clone() const override;
    // RefreshMagnetism, SetDensity(Density).
    void ApplyToGob() override;
    const CQUORBData* AsQUORBData() const override { return this; }
    CQUORBData* AsQUORBData() override { return this; }
    std::string GetTypeName() const override { return "QUORB"; }

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
