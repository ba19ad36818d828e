// The game's water force "Buoyancy": lifts a body that dips below the water surface and damps it
// there, sampling the body as a box of patches (NumPatchesX x Y x Z over its scale). A star
// object's physics component names it, so the game registers its creator at start-up. The force
// keeps the id of the room's water object from its construction and looks the object up on every
// step, so a room torn down under a floating body leaves it simply dry.
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
    // Patches along one axis at most: more would only cost memory and time.
    static constexpr std::uint32_t kMaxPatchesPerAxis = 64;

    // Keeps the id of the active water object (0 when the room has none now: a water object made
    // later is not seen by this force).
    Buoyancy();

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
    // Builds the patches from the counts over the box of the body's object's scale. A count of 0
    // becomes 1; one above 64 becomes 64, with one line naming the object's archetype.
    void Attach(dorvo::phy::PhysicsComp* body) override;

    std::uint32_t GetNumPatchesX() const { return m_numPatchesX; }
    std::uint32_t GetNumPatchesY() const { return m_numPatchesY; }
    std::uint32_t GetNumPatchesZ() const { return m_numPatchesZ; }
    void SetNumPatches(std::uint32_t x, std::uint32_t y, std::uint32_t z);
    const std::vector<BuoyancyPatch>& GetPatches() const { return m_patches; }
    std::uint32_t GetWaterGobID() const { return m_waterGobID; }
    dorvo::phy::PhysicsComp* GetBody() const { return m_body; }

private:
    std::uint32_t m_waterGobID = 0;
    dorvo::phy::PhysicsComp* m_body = nullptr; // not owned: the body owns this force
    std::vector<BuoyancyPatch> m_patches;
    std::uint32_t m_numPatchesX = 0;
    std::uint32_t m_numPatchesY = 0;
    std::uint32_t m_numPatchesZ = 0;
};
} // namespace QUORB
