// A bar that keeps its length: the body is a bar along its local x axis, as long as its x scale,
// and each solve moves the bar's ends towards the rest length (by the stiffness's share of the
// error) and stops the bar's drift off its centre. The game's connection component owns one and
// never enables it, so the engine never solves it; it exists for the connection's bookkeeping.
// The body is observed; the constraint files itself in the body's constraint list, so a dying
// body clears it.
#pragma once

#include "engine/phy/Constraint.h"

namespace dorvo
{
namespace phy
{
class PhysicsComp;

class LengthConstraint : public Constraint
{
public:
    // Below this relative speed (world units per second) the centring impulse is skipped; below
    // kMinValue an inverse mass gets none, and a step is counted as at least kMinValue seconds.
    static constexpr float kMinSpeed = 0.008f;
    static constexpr float kMinValue = 1e-7f;

    // No body, rest length 0, stiffness 1, last length ratio 0.
    LengthConstraint() = default;
    // Disables it and clears its body.
    ~LengthConstraint() override;

    // Binds the bar to a body (null unbinds), leaving the body it had before.
    void SetBody(PhysicsComp* body);
    PhysicsComp* GetBody() const { return m_body; }

    // Moves the ends apart by ((L - l) / L) * stiffness * 0.5 each along the bar (L the rest
    // length, l the x scale), sets the x scale to the new length without re-filing the object,
    // records new length / L, and gives the body the velocity that carries it to the bar's
    // centre within the step (dt seconds). True when that impulse was applied. Nothing without a
    // body, without a position component, or with a rest length of 0.
    bool Solve(float dt) override;
    // The body is being destroyed: the bar forgets it.
    void DetachBody(PhysicsComp* body) override;

    float restLength = 0.0f;      // world units
    float stiffness = 1.0f;       // share of the length error corrected per solve
    float lastLengthRatio = 0.0f; // length / rest length after the last solve

private:
    PhysicsComp* m_body = nullptr;
};
} // namespace phy
} // namespace dorvo
