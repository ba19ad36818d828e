// A mass-spring cloth on its object's GridComp: one particle per grid point, structural, shear
// and bend springs between them, the four corners pinned. The dynamics engine runs its force
// pass and its integration inside every step with a fixed 0.016 s; the integration writes the
// particles back into the grid's points, where the cloth's graphics reads them. Everything is in
// the object's local frame; the forces (gravity from construction) are turned into it. The
// component owns its particles, springs and forces; the grid is the owner's. The cloth collides
// with nothing.
#pragma once

#include "common/Array2D.h"
#include "common/math/Vector3.h"
#include "engine/ComponentBase.h"
#include "engine/phy/ClothParticle.h"
#include "engine/phy/ClothSpring.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class Gob;
class GridComp;

namespace dorvo
{
namespace phy
{
class Force;

class ClothComp : public ComponentBase<ClothComp>
{
public:
    static const char* const kTypeName; // "ClothComp"

    // Holds the force "Gravity"; the particles come at Initialize.
    ClothComp();
    // Leaves the engine and frees the forces, springs and particles.
    ~ClothComp() override;

    // <Component name="ClothComp"> with the "float"s Mass, StretchK, ShearK, BendK and
    // DampingFactor, read back by position. A value that is not a usable number, or is negative,
    // is refused with a line and the field keeps its value.
    bool Serialize(TiXmlNode* parent) override;
    bool Deserialize(const TiXmlNode* node) override;

    // Joins the engine and builds the cloth on the owner's grid.
    bool Initialize(Gob* owner) override;
    // Particles, masses, springs and pins from the grid's spans and spacings, each particle at
    // its grid point; without a grid, or with a span of 0, the cloth stays empty (it is still
    // stepped, and does nothing).
    void BuildCloth();

    // Adds a named force, owned from now on; a name already held keeps its force (false).
    bool AddForce(const std::string& name, std::unique_ptr<Force> force);

    // The engine's two passes, dt = 0.016 s. The force pass (first taking the grid's points
    // when the particles are to be refreshed) sums the forces into every particle and lets the
    // springs act; the integration moves the particles and writes them into the grid. A cloth
    // whose numbers run away (springs too stiff for its mass) is put back at rest with one
    // console line and no longer moves.
    void ApplyForces(float dt);
    void Integrate(float dt);

    // ---- What cloth rendering reads ----
    // Particles along x (the grid's SpanX) and along z (SpanY).
    std::uint32_t GetWidth() const { return m_particles.GetColumns(); }
    std::uint32_t GetHeight() const { return m_particles.GetRows(); }
    // Whether there are particles: width and height both non-zero.
    bool HasParticles() const { return GetWidth() != 0 && GetHeight() != 0; }
    // Particle (i, j) at index j * width + i, in the object's local frame.
    const math::Vector3& GetParticlePosition(std::size_t index) const { return m_particles[index].position; }

    const Array2D<ClothParticle>& GetParticles() const { return m_particles; }
    Array2D<ClothParticle>& GetParticles() { return m_particles; }
    // In creation order.
    const std::vector<std::unique_ptr<ClothSpring>>& GetSprings() const { return m_springs; }
    const std::map<std::string, std::unique_ptr<Force>>& GetForces() const { return m_forces; }
    // The owner's grid, found by BuildCloth; null without one.
    GridComp* GetGrid() const { return m_grid; }
    // Whether the cloth was stopped because its numbers ran away.
    bool HasRunAway() const { return m_runAway; }

    // The loaded values.
    float mass = 0.0f;          // kilograms, the whole cloth's
    float stretchK = 0.0f;      // structural springs, newtons per world unit
    float shearK = 0.0f;        // diagonal springs
    float bendK = 0.0f;         // springs over two particles, also added to the edge springs
    float dampingFactor = 1.0f; // of every spring, newton seconds per world unit

    // Take the grid's points into the particles at the next force pass.
    bool refresh = true;

private:
    // The up to six springs that start at particle (c, r).
    void AddSprings(ClothParticle* p, std::uint32_t c, std::uint32_t r, std::uint32_t cols,
                    std::uint32_t rows);
    // Whether the grid's points match the particles one for one.
    bool GridMatches() const;
    // Every particle at its grid point, at rest, its next step an Euler step again.
    void TakeRestShape();

    GridComp* m_grid = nullptr;
    Array2D<ClothParticle> m_particles;
    std::vector<std::unique_ptr<ClothSpring>> m_springs;
    std::map<std::string, std::unique_ptr<Force>> m_forces;
    std::uint32_t m_ownerID = 0;
    bool m_runAway = false; // stopped after its numbers ran away, until built again
};
} // namespace phy
} // namespace dorvo
