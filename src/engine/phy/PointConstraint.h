// A ball joint: a point fixed in body A is held on a point fixed in body B, or on a fixed point in
// the world. Each pass Prepare measures the separation and turns what exceeds the tolerance into
// a correction velocity; each sweep Solve removes the anchors' whole relative velocity plus that
// correction in one impulse. A breakable joint pulled past its break distance is queued as
// broken and keeps acting until the end of the step. The game's node component owns one; the
// bodies are observed, and the joint files itself in their constraint lists so that a dying body
// unbinds it (it then does nothing until it is bound again).
#pragma once

#include "common/math/Vector3.h"
#include "engine/phy/Constraint.h"

namespace dorvo
{
namespace phy
{
class PhysicsComp;

class PointConstraint : public Constraint
{
public:
    // Relative speeds (world units per second) below the floor get no impulse; above the cap
    // the impulse is sized for the cap.
    static constexpr float kMinSpeed = 0.008f;
    static constexpr float kMaxSpeed = 20.0f;
    // Effective masses below this, and correction times, are kept off zero with it.
    static constexpr float kMinValue = 1e-7f;

    PointConstraint() = default;
    // Leaves its bodies' lists; the base then disables it.
    ~PointConstraint() override;

    // Joins body A's local point anchorA to body B's local point anchorB. Separations up to
    // `tolerance` (world units) are left alone; larger ones are corrected over at least
    // `correctionTime` seconds (the step when that is longer); a separation beyond a non-zero
    // `breakDistance` breaks the joint. Leaves the bodies it was bound to before. Does not
    // enable it. Without body A it stays unbound.
    void Set(PhysicsComp* bodyA, PhysicsComp* bodyB, const math::Vector3& anchorA,
             const math::Vector3& anchorB, float tolerance, float correctionTime, float breakDistance);
    // Pins the body's local point `anchor` to `worldPoint`.
    void SetWorld(PhysicsComp* body, const math::Vector3& anchor, const math::Vector3& worldPoint,
                  float tolerance, float correctionTime, float breakDistance);

    // Offsets, midpoint and correction velocity for this pass; breaks the joint when it is
    // pulled too far apart. Nothing while unbound.
    void Prepare(float dt) override;
    // One impulse on the bodies at the midpoint; true when it was applied. False while unbound.
    bool Solve(float dt) override;
    // Either body is being destroyed: the joint forgets both and leaves the survivor's list.
    void DetachBody(PhysicsComp* body) override;

    bool IsBound() const { return m_bodyA != nullptr; }
    bool IsWorldJoint() const { return m_bodyA != nullptr && m_bodyB == nullptr; }
    PhysicsComp* GetBodyA() const { return m_bodyA; }
    PhysicsComp* GetBodyB() const { return m_bodyB; } // null for a world joint
    const math::Vector3& GetAnchorA() const { return m_anchorA; }
    const math::Vector3& GetAnchorB() const { return m_anchorB; }
    const math::Vector3& GetOffsetA() const { return m_offsetA; } // anchor A in world axes
    const math::Vector3& GetOffsetB() const { return m_offsetB; }
    const math::Vector3& GetMidpoint() const { return m_midpoint; }
    const math::Vector3& GetWorldPoint() const { return m_worldPoint; }
    const math::Vector3& GetBias() const { return m_bias; } // correction velocity, along A - B
    float GetTolerance() const { return m_tolerance; }
    float GetBreakDistance() const { return m_breakDistance; }
    float GetCorrectionTime() const { return m_correctionTime; }

private:
    void Bind(PhysicsComp* bodyA, PhysicsComp* bodyB);
    void Unbind();

    PhysicsComp* m_bodyA = nullptr;
    PhysicsComp* m_bodyB = nullptr;
    math::Vector3 m_anchorA;
    math::Vector3 m_anchorB;
    math::Vector3 m_offsetA;
    math::Vector3 m_offsetB;
    math::Vector3 m_midpoint;
    math::Vector3 m_worldPoint;
    math::Vector3 m_bias;
    float m_tolerance = 0.0f;
    float m_breakDistance = 0.0f; // 0: never breaks
    float m_correctionTime = 0.0f;
};
} // namespace phy
} // namespace dorvo
