// The widget data of a magnet: the strength of its pull, which is also the scale of its field
// object.
#pragma once

#include "game/widgets/IWidgetData.h"

namespace QUORB
{
class CMagnetData : public IWidgetData
{
public:
    static constexpr float kDefaultStrength = 1.5f;

    // Strength 1.5.
    explicit CMagnetData(WidgetDataComp* owner);

    CMagnetData* Clone() const override;
    // RefreshMagnetism (the field's look and scale).
    void ApplyToGob() override;
    const CMagnetData* AsMagnetData() const override { return this; }
    CMagnetData* AsMagnetData() override { return this; }
    std::string GetTypeName() const override { return "Magnet"; }

    // The linked field object scaled to (Strength, Strength, Strength), re-filed; nothing
    // without one.
    void UpdateFieldScale();

    // Written directly by the property menu (1.0, 1.5 or 2.0), which then calls UpdateFieldScale.
    float strength = kDefaultStrength;

protected:
    bool WriteOwnFields(TiXmlNode* element) const override; // float Strength
    void ReadOwnFields(const TiXmlNode* first) override;
};
} // namespace QUORB
