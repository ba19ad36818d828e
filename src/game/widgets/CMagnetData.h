// The widget data of a magnet: the strength of its pull, which also sets the size of its field
// object, and so how far the field reaches.
#pragma once

#include "game/widgets/IWidgetData.h"

namespace QUORB
{
class CMagnetData : public IWidgetData
{
public:
    static constexpr float kDefaultStrength = 1.5f;
    // The field's diameter, in world units, per unit of strength: its disc and its touch sphere
    // are both a unit across at scale 1. A field only as wide as the strength (1 to 2 units)
    // would end inside the horseshoe, so a magnet would act on nothing it did not touch; four
    // times that reaches 1.5 to 3.5 units past the magnet's edge.
    static constexpr float kFieldDiameterPerStrength = 4.0f;

    // Strength 1.5.
    explicit CMagnetData(WidgetDataComp* owner);

    CMagnetData* Clone() const override;
    // RefreshMagnetism (the field's look and scale).
    void ApplyToGob() override;
    const CMagnetData* AsMagnetData() const override { return this; }
    CMagnetData* AsMagnetData() override { return this; }
    std::string GetTypeName() const override { return "Magnet"; }

    // The linked field object scaled across the face (x and y) to Strength x
    // kFieldDiameterPerStrength, re-filed; nothing without one.
    void UpdateFieldScale();

    // Written directly by the property menu (1.0, 1.5 or 2.0), which then calls UpdateFieldScale.
    float strength = kDefaultStrength;

protected:
    bool WriteOwnFields(TiXmlNode* element) const override; // float Strength
    void ReadOwnFields(const TiXmlNode* first) override;
};
} // namespace QUORB
