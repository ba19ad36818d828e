#include "engine/phy/ClothComp.h"

#include "common/ConsoleInterface.h"
#include "common/HashName.h"
#include "common/XmlUtil.h"
#include "common/math/MathUtil.h"
#include "common/math/Quaternion.h"
#include "engine/Gob.h"
#include "engine/GridComp.h"
#include "engine/POVComp.h"
#include "engine/phy/DynamicsEngine.h"
#include "engine/phy/FiniteXml.h"
#include "engine/phy/Force.h"
#include "engine/phy/Gravity.h"
#include "platform/log.h"

#include <tinyxml.h>

#include <cmath>
#include <string>

namespace dorvo
{
namespace phy
{
const char* const ClothComp::kTypeName = "ClothComp";

namespace
{
const std::uint32_t kGridCompTypeID = HashName(GridComp::kTypeName);

// A finite number that is not negative; anything else is refused with a line and the field
// keeps its value. A negative mass makes the cloth fall upwards and a negative stiffness or
// damping feeds energy in until the numbers run away.
void ReadCloth(const TiXmlNode* node, float* value, const char* field)
{
    float read = *value;
    if (!XmlReadFiniteFloat(node, &read, ClothComp::kTypeName, field))
        return;
    if (read < 0.0f)
    {
        DORVO_LOG("%s::Deserialize: \"%s\" is %g, which cannot be negative; the value is kept",
                  ClothComp::kTypeName, field, static_cast<double>(read));
        return;
    }
    *value = read;
}

bool IsFinite(const math::Vector3& v)
{
    return math::IsValidFloat(v.x) && math::IsValidFloat(v.y) && math::IsValidFloat(v.z);
}
} // namespace

ClothComp::ClothComp()
{
    AddForce("Gravity", std::make_unique<Gravity>());
}

ClothComp::~ClothComp()
{
    m_forces.clear();
    if (DynamicsEngine* engine = DynamicsEngine::IfAlive())
    {
        const auto& cloths = engine->GetCloths();
        const auto filed = cloths.find(m_ownerID);
        if (filed != cloths.end() && filed->second == this)
            engine->RemoveCloth(m_ownerID);
    }
    // The springs point into the particles, so they go first.
    m_springs.clear();
    m_particles.Resize(0, 0);
}

bool ClothComp::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    TiXmlElement component("Component");
    component.SetAttribute("name", GetTypeName().empty() ? std::string(kTypeName) : GetTypeName());
    XmlWriteFloat(&component, mass, "Mass");
    XmlWriteFloat(&component, stretchK, "StretchK");
    XmlWriteFloat(&component, shearK, "ShearK");
    XmlWriteFloat(&component, bendK, "BendK");
    XmlWriteFloat(&component, dampingFactor, "DampingFactor");
    return parent->InsertEndChild(component) != nullptr;
}

bool ClothComp::Deserialize(const TiXmlNode* node)
{
    if (node == nullptr || node->ToElement() == nullptr)
        return false;
    // By position; a field whose element is missing keeps its value.
    float* const fields[] = {&mass, &stretchK, &shearK, &bendK, &dampingFactor};
    const char* const names[] = {"Mass", "StretchK", "ShearK", "BendK", "DampingFactor"};
    const TiXmlNode* child = XmlFirstChildElement(node);
    for (std::size_t i = 0; i < 5 && child != nullptr; ++i, child = XmlNextSiblingElement(child))
        ReadCloth(child, fields[i], names[i]);
    return true;
}

bool ClothComp::Initialize(Gob* owner)
{
    Component::Initialize(owner);
    m_ownerID = owner != nullptr ? owner->GetID() : 0;
    BuildCloth();
    return true;
}

void ClothComp::BuildCloth()
{
    if (m_pOwner != nullptr)
        DynamicsEngine::Instance().AddCloth(m_ownerID, this);
    m_springs.clear();
    m_particles.Resize(0, 0);
    refresh = true;
    m_runAway = false;
    m_grid = m_pOwner != nullptr ? dynamic_cast<GridComp*>(m_pOwner->GetComponent(kGridCompTypeID)) : nullptr;
    if (m_grid == nullptr)
        return;

    const std::uint32_t cols = m_grid->GetSpanX();
    const std::uint32_t rows = m_grid->GetSpanY();
    // The grid refuses spans this large when it builds; the cloth may be built first.
    const std::uint64_t count = static_cast<std::uint64_t>(cols) * rows;
    if (count == 0 || count > GridComp::kMaxPoints)
        return;
    m_particles.Resize(cols, rows);
    const float particleMass = mass / static_cast<float>(count);
    for (std::uint32_t r = 0; r < rows; ++r)
    {
        for (std::uint32_t c = 0; c < cols; ++c)
        {
            m_particles(c, r).SetMass(particleMass);
            AddSprings(&m_particles(c, r), c, r, cols, rows);
        }
    }
    m_particles(0, 0).Pin();
    m_particles(cols - 1, 0).Pin();
    m_particles(0, rows - 1).Pin();
    m_particles(cols - 1, rows - 1).Pin();
    // Cloth rendering reads the particles as soon as the object exists, and the game starts
    // paused: the particles take their start points now, not only at the first force pass.
    TakeRestShape();
}

void ClothComp::TakeRestShape()
{
    // The rest shape is the grid's own rule; the grid may also initialise after the cloth, or
    // hold the positions of a cloth that ran away.
    m_grid->BuildGrid();
    if (!GridMatches())
        return;
    const Array2D<math::Vector3>& points = m_grid->GetPoints();
    for (std::size_t i = 0; i < m_particles.GetElementCount(); ++i)
    {
        ClothParticle& particle = m_particles[i];
        particle.position = points[i];
        particle.previousPosition = points[i];
        particle.velocity.Set(0.0f, 0.0f, 0.0f);
        particle.force.Set(0.0f, 0.0f, 0.0f);
        particle.firstStep = true;
    }
}

void ClothComp::AddSprings(ClothParticle* p, std::uint32_t c, std::uint32_t r, std::uint32_t cols,
                           std::uint32_t rows)
{
    const float sx = m_grid->GetSpacingX();
    const float sy = m_grid->GetSpacingY();
    const float diagonal = std::sqrt(sx * sx + sy * sy);
    // The first and last structural springs of a row are stiffened by the bend stiffness. The
    // springs along z test the column too, not the row; the cloths were tuned with it so.
    const bool edgeColumn = c == 0 || c + 2 == cols;
    const float structuralK = edgeColumn ? stretchK + bendK : stretchK;
    auto add = [&](std::uint32_t oc, std::uint32_t orow, float stiffness, float rest)
    {
        m_springs.push_back(
            std::make_unique<ClothSpring>(p, &m_particles(oc, orow), stiffness, dampingFactor, rest));
    };

    if (c + 1 < cols)
        add(c + 1, r, structuralK, sx);
    if (r + 1 < rows)
        add(c, r + 1, structuralK, sy);
    if (c + 1 < cols && r + 1 < rows)
        add(c + 1, r + 1, shearK, diagonal);
    if (c > 0 && r + 1 < rows)
        add(c - 1, r + 1, shearK, diagonal);
    if (c + 2 < cols)
        add(c + 2, r, bendK, 2.0f * sx);
    if (r + 2 < rows)
        add(c, r + 2, bendK, 2.0f * sy);
}

bool ClothComp::AddForce(const std::string& name, std::unique_ptr<Force> force)
{
    if (force == nullptr)
        return false;
    return m_forces.emplace(name, std::move(force)).second;
}

bool ClothComp::GridMatches() const
{
    return m_grid != nullptr && m_grid->GetPoints().GetColumns() == m_particles.GetColumns() &&
           m_grid->GetPoints().GetRows() == m_particles.GetRows();
}

void ClothComp::ApplyForces(float dt)
{
    if (!HasParticles() || m_runAway)
        return;
    // A grid rebuilt to other spans since (or refused as too large) has no point for some
    // particles; the particles then stay where they are.
    if (refresh && GridMatches())
    {
        const Array2D<math::Vector3>& points = m_grid->GetPoints();
        for (std::size_t i = 0; i < m_particles.GetElementCount(); ++i)
            m_particles[i].position = points[i];
        refresh = false;
    }

    // The forces act in world axes; the particles live in the object's frame, so each force is
    // turned back by the object's orientation. Each particle is a body of its own to a force:
    // its position, velocity and mass, no turn and no spin. The torque is dropped.
    math::Quaternion toLocal(1.0f, 0.0f, 0.0f, 0.0f);
    if (POVComp* pov = GetPOVComp())
    {
        const math::Quaternion q = pov->GetOrientation();
        if (!math::IsZero(q.LengthSquared()))
            toLocal = q.GetNormalized().GetConjugate();
    }
    const math::Quaternion identity(1.0f, 0.0f, 0.0f, 0.0f);
    const math::Vector3 noSpin(0.0f, 0.0f, 0.0f);
    for (std::size_t i = 0; i < m_particles.GetElementCount(); ++i)
    {
        ClothParticle& particle = m_particles[i];
        math::Vector3 total(0.0f, 0.0f, 0.0f);
        for (auto& entry : m_forces)
        {
            math::Vector3 force(0.0f, 0.0f, 0.0f);
            math::Vector3 torque(0.0f, 0.0f, 0.0f);
            entry.second->Apply(dt, force, torque, particle.position, identity, particle.velocity, noSpin,
                                particle.mass);
            total += toLocal.Rotate(force);
        }
        particle.force = total;
    }

    for (const auto& spring : m_springs)
        spring->Apply(dt);
}

void ClothComp::Integrate(float dt)
{
    if (!HasParticles() || m_runAway)
        return;
    bool finite = true;
    for (std::size_t i = 0; i < m_particles.GetElementCount(); ++i)
    {
        ClothParticle& particle = m_particles[i];
        particle.Integrate(dt);
        finite = finite && IsFinite(particle.position) && IsFinite(particle.velocity);
    }
    if (!finite)
    {
        // Springs too stiff for their masses swing ever wider until the numbers run away. The
        // cloth goes back to its grid's rest shape and stays there, and says so once.
        m_runAway = true;
        TakeRestShape();
        common::ConsoleInterface::ShowLine("ClothComp - " + GetOwnerName() +
                                           ": the cloth ran away (springs too stiff for its mass?); it is "
                                           "put back at rest and no longer moves.");
    }
    if (!GridMatches())
        return;
    Array2D<math::Vector3>& points = m_grid->GetPoints();
    for (std::size_t i = 0; i < m_particles.GetElementCount(); ++i)
        points[i] = m_particles[i].position;
}
} // namespace phy
} // namespace dorvo
