// The time limit: once play starts the puzzle must be solved within TimeInterval seconds; when
// the countdown runs out a sound plays and the objective fails, which ends the puzzle. The timer
// menu and the score read the countdown.
#pragma once

#include "common/CountdownTimer.h"
#include "game/objectives/IObjective.h"

namespace QUORB
{
class CTimeLimit : public IObjective
{
public:
    static constexpr std::uint32_t kType = 8;
    static constexpr const char* kTimerDoneSound = "QUORBSound/Objective/TimerDone";

    IObjective* Clone() const override;
    void ApplyToGob() override;
    void Update(double time, float dt) override;
    bool IsRequired() const override { return false; }
    std::uint32_t GetType() const override { return kType; }
    void Reset() override;
    void Begin() override;
    void End() override {}
    bool EndsPuzzle() const override { return true; }
    CTimeLimit* AsTimeLimit() override { return this; }
    const CTimeLimit* AsTimeLimit() const override { return this; }

    float GetTimeInterval() const { return m_timeInterval; } // seconds
    void SetTimeInterval(float seconds) { m_timeInterval = seconds; }
    common::CCountdownTimer& GetCountdown() { return m_countdown; }
    // Seconds left on the countdown, negative once it ran out.
    float GetRemainingSeconds() { return m_countdown.GetTime(); }

protected:
    const char* GetElementName() const override { return "TimeLimit"; }
    void WriteValues(TiXmlElement& element) const override;
    void ReadValues(const TiXmlElement& element) override;

private:
    // Starts from zero with TimeInterval and stops at once: armed, not running.
    void Arm();

    float m_timeInterval = 0.0f; // seconds
    common::CCountdownTimer m_countdown;
};
} // namespace QUORB
