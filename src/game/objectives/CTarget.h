// The target objective: the star object must pass through the target's sphere and come out
// again. The first touch plays a sound and lights the target; the closest approach of the
// centres feeds the score.
#pragma once

#include "game/objectives/IObjective.h"

#include <limits>

namespace QUORB
{
class CTarget : public IObjective
{
public:
    static constexpr std::uint32_t kType = 32;
    static constexpr const char* kHitSound = "QUORBSound/Objective/TargetHit";
    static constexpr const char* kHitTexture = "widgets/target/target_complete_diff.png";
    static constexpr const char* kIdleTexture = "widgets/target/target_diff.png";

    IObjective* Clone() const override;
    void ApplyToGob() override {}
    void Update(double time, float dt) override;
    bool IsRequired() const override { return true; }
    std::uint32_t GetType() const override { return kType; }
    void Reset() override;
    void Begin() override {}
    void End() override {}
    bool EndsPuzzle() const override { return false; }
    CTarget* AsTarget() override { return this; }
    const CTarget* AsTarget() const override { return this; }
    bool CheckQuorbs() const override;

    // World units between the centres at the closest approach; +infinity before a hit.
    float GetClosestDistance() const { return m_closestDistance; }
    bool IsHit() const { return m_hit; }

protected:
    const char* GetElementName() const override { return "Target"; }

private:
    void LoadTargetTexture(const char* file);

    float m_closestDistance = std::numeric_limits<float>::infinity();
    bool m_hit = false;
};
} // namespace QUORB
