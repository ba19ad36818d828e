// The water change: when play starts the room's water glides to EndWaterLevel over
// TimeInterval seconds. Its linked marker object shows the level the water will reach. It has
// no rule of its own and never completes or fails.
#pragma once

#include "game/objectives/IObjective.h"

namespace QUORB
{
class CWaterControl : public IObjective
{
public:
    static constexpr std::uint32_t kType = 16;

    IObjective* Clone() const override;
    // Moves the linked marker to (own x, EndWaterLevel, own z); nothing without a live marker.
    void ApplyToGob() override;
    void Update(double, float) override {}
    bool IsRequired() const override { return false; }
    std::uint32_t GetType() const override { return kType; }
    void Reset() override { m_state = Running; }
    void Begin() override;
    void End() override {}
    bool EndsPuzzle() const override { return false; }
    CWaterControl* AsWaterControl() override { return this; }
    const CWaterControl* AsWaterControl() const override { return this; }

    // World units along the water's normal; seconds.
    float GetBeginWaterLevel() const { return m_beginWaterLevel; }
    void SetBeginWaterLevel(float level) { m_beginWaterLevel = level; }
    float GetEndWaterLevel() const { return m_endWaterLevel; }
    void SetEndWaterLevel(float level) { m_endWaterLevel = level; }
    float GetTimeInterval() const { return m_timeInterval; }
    void SetTimeInterval(float seconds) { m_timeInterval = seconds; }

protected:
    const char* GetElementName() const override { return "WaterControl"; }
    void WriteValues(TiXmlElement& element) const override;
    void ReadValues(const TiXmlElement& element) override;

private:
    float m_beginWaterLevel = 0.0f;
    float m_endWaterLevel = 0.0f;
    float m_timeInterval = 5.0f;
};
} // namespace QUORB
