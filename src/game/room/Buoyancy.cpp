#include "game/room/Buoyancy.h"

#include "common/XmlUtil.h"
#include "common/math/Plane.h"
#include "common/math/Quaternion.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/gfx/water/CWaterManager.h"
#include "engine/gfx/water/GfxWaterComp.h"
#include "engine/phy/DefaultForceCreator.h"
#include "engine/phy/DynamicsEngine.h"
#include "engine/phy/PhysicsComp.h"
#include "platform/log.h"

#include <tinyxml.h>

#include <string>

namespace QUORB
{
namespace
{
// Water of density 1 under the game's gravity: newtons per cubic world unit submerged.
constexpr float kPressurePerDepth = 9.8f;
// Damping of each wet patch, newtons per world unit per second of the patch point's velocity.
constexpr float kPatchDrag = -0.03f;

// The water plane of the object with that id, normalised; false when the object is gone or has
// no water surface.
bool FindWaterPlane(std::uint32_t id, math::Plane& plane)
{
    if (id == 0)
        return false;
    Gob* gob = GobManager::Instance().GetGob(id);
    if (gob == nullptr)
        return false;
    auto* water =
        dynamic_cast<dorvo::gfx::GfxWaterComp*>(gob->GetComponent(dorvo::gfx::GfxWaterComp::StaticTypeID()));
    math::Plane found;
    if (water == nullptr || !water->GetWaterPlane(found))
        return false;
    plane = math::Plane(found.normal.x, found.normal.y, found.normal.z, found.d);
    return true;
}
} // namespace

const char* const Buoyancy::kTypeName = "Buoyancy";

Buoyancy::Buoyancy() : m_waterGobID(dorvo::gfx::CWaterManager::Instance().GetWaterGobID()) {}

void Buoyancy::RegisterCreator()
{
    static dorvo::phy::DefaultForceCreator<Buoyancy> s_creator;
    dorvo::phy::DynamicsEngine::Instance().RegisterForceCreator(kTypeName, &s_creator);
}

bool Buoyancy::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlNode* element = parent->InsertEndChild(TiXmlElement(kTypeName));
    return element != nullptr && XmlWriteUint(element, m_numPatchesX, "NumPatchesX") &&
           XmlWriteUint(element, m_numPatchesY, "NumPatchesY") &&
           XmlWriteUint(element, m_numPatchesZ, "NumPatchesZ");
}

bool Buoyancy::Deserialize(const TiXmlNode* node)
{
    if (node == nullptr || node->ToElement() == nullptr)
        return false;
    std::uint32_t* const counts[] = {&m_numPatchesX, &m_numPatchesY, &m_numPatchesZ};
    const TiXmlNode* child = XmlFirstChildElement(node);
    for (std::uint32_t* count : counts)
    {
        if (child == nullptr)
            break;
        unsigned int value = 0;
        if (XmlReadUint(child, &value))
            *count = value;
        child = XmlNextSiblingElement(child);
    }
    return true;
}

void Buoyancy::SetNumPatches(std::uint32_t x, std::uint32_t y, std::uint32_t z)
{
    m_numPatchesX = x;
    m_numPatchesY = y;
    m_numPatchesZ = z;
}

void Buoyancy::Attach(dorvo::phy::PhysicsComp* body)
{
    m_body = body;
    std::string clamped;
    const char* const axes[] = {"NumPatchesX", "NumPatchesY", "NumPatchesZ"};
    std::uint32_t* const counts[] = {&m_numPatchesX, &m_numPatchesY, &m_numPatchesZ};
    for (int axis = 0; axis < 3; ++axis)
    {
        std::uint32_t& count = *counts[axis];
        if (count == 0)
            count = 1;
        if (count > kMaxPatchesPerAxis)
        {
            clamped += (clamped.empty() ? "" : ", ") + std::string(axes[axis]) + " " + std::to_string(count);
            count = kMaxPatchesPerAxis;
        }
    }
    const Gob* owner = body != nullptr ? body->GetOwner() : nullptr;
    if (!clamped.empty())
        DORVO_LOG("Buoyancy::Attach: archetype \"%s\": %s above %u; %u patches are used on that axis",
                  owner != nullptr ? owner->GetArchetypeName().c_str() : "", clamped.c_str(),
                  static_cast<unsigned>(kMaxPatchesPerAxis), static_cast<unsigned>(kMaxPatchesPerAxis));

    // The box of the object's scale; a body without a position component counts as a unit box.
    math::Vector3 size(1.0f, 1.0f, 1.0f);
    if (const POVComp* pov = body != nullptr ? body->GetPOVComp() : nullptr)
        size = pov->GetScale();
    const float nx = static_cast<float>(m_numPatchesX);
    const float ny = static_cast<float>(m_numPatchesY);
    const float nz = static_cast<float>(m_numPatchesZ);
    const math::Vector3 half = size * 0.5f;
    const float dx = size.x / nx;
    const float dy = size.y / ny;
    const float dz = size.z / nz;
    auto x = [&](std::uint32_t i) { return -half.x + dx * (static_cast<float>(i) + 0.5f); };
    auto y = [&](std::uint32_t j) { return -half.y + dy * (static_cast<float>(j) + 0.5f); };
    auto z = [&](std::uint32_t k) { return -half.z + dz * (static_cast<float>(k) + 0.5f); };

    m_patches.clear();
    m_patches.reserve(
        2u * (m_numPatchesX * m_numPatchesY + m_numPatchesX * m_numPatchesZ + m_numPatchesY * m_numPatchesZ));
    const float areaXY = size.x * size.y / (nx * ny);
    for (std::uint32_t i = 0; i < m_numPatchesX; ++i)
        for (std::uint32_t j = 0; j < m_numPatchesY; ++j)
        {
            m_patches.push_back(
                {math::Vector3(x(i), y(j), -half.z), math::Vector3(0.0f, 0.0f, -1.0f), areaXY});
            m_patches.push_back({math::Vector3(x(i), y(j), half.z), math::Vector3(0.0f, 0.0f, 1.0f), areaXY});
        }
    const float areaXZ = size.x * size.z / (nx * nz);
    for (std::uint32_t i = 0; i < m_numPatchesX; ++i)
        for (std::uint32_t k = 0; k < m_numPatchesZ; ++k)
        {
            m_patches.push_back(
                {math::Vector3(x(i), -half.y, z(k)), math::Vector3(0.0f, -1.0f, 0.0f), areaXZ});
            m_patches.push_back({math::Vector3(x(i), half.y, z(k)), math::Vector3(0.0f, 1.0f, 0.0f), areaXZ});
        }
    const float areaYZ = size.y * size.z / (ny * nz);
    for (std::uint32_t j = 0; j < m_numPatchesY; ++j)
        for (std::uint32_t k = 0; k < m_numPatchesZ; ++k)
        {
            m_patches.push_back(
                {math::Vector3(-half.x, y(j), z(k)), math::Vector3(-1.0f, 0.0f, 0.0f), areaYZ});
            m_patches.push_back({math::Vector3(half.x, y(j), z(k)), math::Vector3(1.0f, 0.0f, 0.0f), areaYZ});
        }
}

void Buoyancy::Apply(float, math::Vector3& force, math::Vector3& torque, const math::Vector3& position,
                     const math::Quaternion& orientation, const math::Vector3& velocity,
                     const math::Vector3& angularVelocity, float)
{
    // The water object is looked up on every step: the room (and its water) may have been torn
    // down since the last one.
    math::Plane plane;
    if (!FindWaterPlane(m_waterGobID, plane))
        return;
    const math::Vector3& up = plane.normal;
    for (const BuoyancyPatch& patch : m_patches)
    {
        const math::Vector3 r = orientation.Rotate(patch.position);
        const math::Vector3 point = position + r;
        const float s = plane.SignedDistance(point);
        if (s >= 0.0f)
            continue;
        const float depth = -s;
        const math::Vector3 n = orientation.Rotate(patch.normal);
        const math::Vector3 pressure = up * -(depth * patch.area * up.Dot(n) * kPressurePerDepth);
        const math::Vector3 drag = (velocity + math::Cross(angularVelocity, r)) * kPatchDrag;
        const math::Vector3 total = pressure + drag;
        force += total;
        torque += math::Cross(r, total);
    }
}
} // namespace QUORB
