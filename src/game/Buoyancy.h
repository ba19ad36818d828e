// The game's water force "Buoyancy": lifts a body that dips below the water surface and damps it
// there, sampling the body as a box of patches (NumPatchesX x Y x Z over its scale). A star
// object's physics component names it, so the game registers its creator at start-up. For now it
// keeps its saved form; attaching and applying come with the water's behaviour on bodies.
#pragma once

#include "common/math/Vector3.h"
#include "engine/phy/Force.h"

#include <cstdint>
#include <vector>

namespace QUORB
{
// One sampled patch of a body's surface, in the body's axes.
struct BuoyancyPatch
{
    math::Vector3 position; // relative to the body's centre
    math::Vector3 normal;   // unit, outward
    float area = 0.0f;
};

class Buoyancy : public dorvo::phy::Force
{
public:
    static const char* const kTypeName; // "Buoyancy"

    // Registers the creator with the dynamics engine under "Buoyancy" (a name filed already keeps
    // its creator).
    static void RegisterCreator();

    // <Buoyancy> with "uint" NumPatchesX, NumPatchesY, NumPatchesZ.
    bool Serialize(TiXmlNode* parent) override;
    // Reads the three counts by position from the element's first child on; false for a null node
    // or a non-element.
    bool Deserialize(const TiXmlNode* node) override;
    void Apply(float dt, math::Vector3& force, math::Vector3& torque, const math::Vector3& position,
               const math::Quaternion& orientation, const math::Vector3& velocity,
               const math::Vector3& angularVelocity, float mass) override;

    std::uint32_t GetNumPatchesX() const { return m_numPatchesX; }
    std::uint32_t GetNumPatchesY() const { return m_numPatchesY; }
    std::uint32_t GetNumPatchesZ() const { return m_numPatchesZ; }

private:
    std::vector<BuoyancyPatch> m_patches;
    std::uint32_t m_numPatchesX = 0;
    std::uint32_t m_numPatchesY = 0;
    std::uint32_t m_numPatchesZ = 0;
};
} // namespace QUORB
