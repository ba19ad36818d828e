// The force of the world's gravity on a body: mass times the dynamics engine's gravity vector,
// read afresh every step, so a gravity switch acts on every body from the next step. A body
// without this force floats. Saved as an empty "Gravity" element.
#pragma once

#include "engine/phy/Force.h"

namespace dorvo
{
namespace phy
{
class Gravity : public Force
{
public:
    bool Serialize(TiXmlNode* parent) override;
    bool Deserialize(const TiXmlNode* node) override;

    // force += gravity * mass, each product in double and rounded once; torque untouched.
    void Apply(float dt, math::Vector3& force, math::Vector3& torque, const math::Vector3& position,
               const math::Quaternion& orientation, const math::Vector3& velocity,
               const math::Vector3& angularVelocity, float mass) override;
};
} // namespace phy
} // namespace dorvo
