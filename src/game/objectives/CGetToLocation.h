// The location objective: the star object must reach the objective's sphere and stay in it for
// LocationDwellTime seconds without leaving. The location glows 1 s after each entry and a
// looping sound plays while the star object is inside; leaving restarts the count from zero.
// The seconds are the puzzle's own (each update is one frame of play, 1/30 s), as the time
// limit counts them: a slow computer makes the stay neither shorter nor longer than the ball's.
#pragma once

#include "game/objectives/IObjective.h"
#include "game/objectives/PuzzleCountdown.h"

namespace plat
{
namespace FMOD
{
class Event;
}
} // namespace plat

namespace QUORB
{
class CGetToLocation : public IObjective
{
public:
    static constexpr std::uint32_t kType = 1;
    static constexpr float kGlowDelay = 1.0f; // seconds inside before the glow comes on
    static constexpr const char* kInsideSound = "QUORBSound/Objective/InsideLocation";
    static constexpr const char* kGlowEffect = "AnimatedGlow.fx";
    static constexpr const char* kGlowTechnique = "AnimatedGlow";

    // Which star objects must be inside: the first one, or every one.
    enum QuorbCheck : int
    {
        FirstQuorb = 0,
        EveryQuorb = 1,
    };

    CGetToLocation(); // dwell countdown of LocationDwellTime, not running

    IObjective* Clone() const override;
    void ApplyToGob() override;
    // One frame of play: while the star object stays inside, the dwell and glow countdowns move on
    // by the physics step.
    void Update(double time, float dt) override;
    bool IsRequired() const override { return true; }
    std::uint32_t GetType() const override { return kType; }
    void Reset() override;
    void Begin() override;
    void End() override;
    bool EndsPuzzle() const override { return false; }
    CGetToLocation* AsGetToLocation() override { return this; }
    const CGetToLocation* AsGetToLocation() const override { return this; }
    bool CheckQuorbs() const override;

    int GetQuorbCheckType() const { return m_quorbCheckType; }
    void SetQuorbCheckType(int type) { m_quorbCheckType = type; }
    bool IsInside() const { return m_inside; }
    PuzzleCountdown& GetDwellCountdown() { return m_dwell; }
    PuzzleCountdown& GetGlowCountdown() { return m_glow; }
    // The looping inside sound fetched by Begin; null before. Owned by the event system.
    plat::FMOD::Event* GetSoundEvent() const { return m_pSound; }

protected:
    const char* GetElementName() const override { return "GetToLocation"; }
    void WriteValues(TiXmlElement& element) const override;
    void ReadValues(const TiXmlElement& element) override;

private:
    void GlowOn();
    void GlowOff();
    void StartSound();
    void StopSound();

    int m_quorbCheckType = FirstQuorb;
    PuzzleCountdown m_dwell;
    PuzzleCountdown m_glow;
    bool m_inside = false;
    plat::FMOD::Event* m_pSound = nullptr; // not owned
};
} // namespace QUORB
