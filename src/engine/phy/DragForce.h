// Air drag proportional to speed: -linearDrag * mass * velocity. The angular drag is loaded,
// kept and saved with the force but damps nothing: the puzzles are tuned without it. Saved as
// "DragForce" with the floats "LinearDrag" and "AngularDrag", read back by position.
#pragma once

#include "engine/phy/Force.h"

namespace dorvo
{
namespace phy
{
class DragForce : public Force
{
public:
    bool Serialize(TiXmlNode* parent) override;
    bool Deserialize(const TiXmlNode* node) override;

    // force += velocity * k with k = -(linearDrag * mass) rounded to float; torque untouched.
    void Apply(float dt, math::Vector3& force, math::Vector3& torque, const math::Vector3& position,
               const math::Quaternion& orientation, const math::Vector3& velocity,
               const math::Vector3& angularVelocity, float mass) override;

    float GetLinearDrag() const { return m_linearDrag; }   // per second
    float GetAngularDrag() const { return m_angularDrag; } // per second; acts on nothing
    void SetLinearDrag(float drag) { m_linearDrag = drag; }
    void SetAngularDrag(float drag) { m_angularDrag = drag; }

private:
    float m_linearDrag = 0.0f;
    float m_angularDrag = 0.0f;
};
} // namespace phy
} // namespace dorvo
