// The widget data of an accelerator: its push direction and speed setting, and the run-time
// direction sign that reverses it. The speed shows as the scroll of the model's texture.
#pragma once

#include "common/math/Vector3.h"
#include "game/widgets/IWidgetData.h"

namespace QUORB
{
class CAcceleratorData : public IWidgetData
{
public:
    static constexpr float kDefaultSpeedSetting = 12.0f;
    // The settings 6, 12 and 24 scroll the texture at 1, 2 and 4 units per second.
    static constexpr float kSpeedPerScrollUnit = 6.0f;

    // Direction (0, 0, 0), SpeedSetting 12, sign 1.
    explicit CAcceleratorData(WidgetDataComp* owner);

    CAcceleratorData* Clone() const override;
    // RefreshMagnetism, ApplySpeed(SpeedSetting / 6).
    void ApplyToGob() override;
    const CAcceleratorData* AsAcceleratorData() const override { return this; }
    CAcceleratorData* AsAcceleratorData() override { return this; }
    std::string GetTypeName() const override { return "Accelerator"; }

    // The model unit's texture scroll becomes (speed * sign * face factor, 0): the face factor
    // is -1 on faces 0 and 3, +1 on faces 1 and 2, 0 without a focused face. The unit's belt
    // (stage 0) is the one whose chevrons point the way that scroll moves it: the reversed belt
    // for a positive u rate. Nothing without a model unit.
    void ApplySpeed(float speed);
    // Flips the sign and applies SpeedSetting / 6.
    void ReverseDirection();
    // Stores the setting and applies setting / 6.
    void SetSpeedSetting(float setting);
    float GetSpeedSetting() const { return m_speedSetting; }
    // +1 or -1; never saved, 1 in every new or loaded record.
    float GetDirectionSign() const { return m_directionSign; }

    math::Vector3 direction; // world axes

protected:
    bool WriteOwnFields(TiXmlNode* element) const override; // Vector "Direction", float "SpeedSetting"
    void ReadOwnFields(const TiXmlNode* first) override;

private:
    float m_speedSetting = kDefaultSpeedSetting;
    float m_directionSign = 1.0f;
};
} // namespace QUORB
