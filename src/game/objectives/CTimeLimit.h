// The time limit: once play starts the puzzle must be solved within TimeInterval seconds of play;
// when the countdown runs out a sound plays and the objective fails, which ends the puzzle. The
// seconds are the puzzle's own (each update is one frame of play, 1/30 s), not the wall clock's.
// The timer menu and the score read the countdown.
#pragma once

#include "game/objectives/IObjective.h"
#include "game/objectives/PuzzleCountdown.h"

namespace QUORB
{
class CTimeLimit : public IObjective
{
public:
    static constexpr std::uint32_t kType = 8;
    static constexpr const char* kTimerDoneSound = "QUORBSound/Objective/TimerDone";

    IObjective* Clone() const override;
    void ApplyToGob() override;
    // One frame of play: the countdown moves on by the physics step while it runs.
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
    PuzzleCountdown& GetCountdown() { return m_countdown; }
    // Seconds left on the countdown, negative once it ran out.
    float GetRemainingSeconds() const { return m_countdown.GetTime(); }

protected:
    const char* GetElementName() const override { return "TimeLimit"; }
    void WriteValues(TiXmlElement& element) const override;
    void ReadValues(const TiXmlElement& element) override;

private:
    // Starts from zero with TimeInterval and stops at once: armed, not running.
    void Arm();

    float m_timeInterval = 0.0f; // seconds
    PuzzleCountdown m_countdown;
};
} // namespace QUORB
