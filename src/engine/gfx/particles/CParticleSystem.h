// A particle system: a fixed number of particle slots, the first live-count of them alive, an
// emission of so many particles every so often until its lifetime runs out, and the
// initialisers and affectors that shape its particles. The code that makes a system owns it
// (with its initialisers and affectors) and registers it with the particle manager, which
// updates and draws it until it has stopped emitting and its last particle has died. A system
// destroyed while registered leaves the manager's list itself.
#pragma once

#include "common/CountdownTimer.h"
#include "common/math/Matrix4.h"
#include "engine/gfx/particles/IParticleAffector.h"
#include "engine/gfx/particles/IParticleInitialiser.h"
#include "engine/gfx/particles/SParticle.h"
#include "platform/d3d9.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

namespace dorvo
{
namespace gfx
{
class CParticleSystem
{
public:
    // capacity: particle slots; emissionCount: particles per emission (0 or less: none);
    // emissionPeriod: seconds between emissions (0: every update); lifetime: seconds of
    // emitting from now (infinite: until told otherwise). The first update emits.
    CParticleSystem(std::uint32_t capacity, std::int32_t emissionCount, float emissionPeriod = 0.0f,
                    float lifetime = std::numeric_limits<float>::infinity());
    ~CParticleSystem();

    CParticleSystem(const CParticleSystem&) = delete;
    CParticleSystem& operator=(const CParticleSystem&) = delete;

    // One update: emission stops once the lifetime has run out; emits when due (at most the
    // free slots), running the initialisers on each new particle; then runs the affectors on
    // every live particle, a particle whose life is below 0 afterwards giving its slot to the
    // last live one (which is updated in the same pass). dt: seconds.
    void Update(float dt);
    // Emits n particles now (nothing when n < 1; at most the free slots).
    void Emit(std::int32_t n);
    // Stopped emitting and no particle left: the manager drops it.
    bool IsFinished() const { return m_emissionCount <= 0 && m_liveCount == 0; }

    void AddInitialiser(std::unique_ptr<IParticleInitialiser> initialiser);
    void AddAffector(std::unique_ptr<IParticleAffector> affector);

    std::uint32_t GetCapacity() const { return static_cast<std::uint32_t>(m_particles.size()); }
    std::int32_t GetEmissionCount() const { return m_emissionCount; }
    void SetEmissionCount(std::int32_t count) { m_emissionCount = count; }
    float GetEmissionPeriod() const { return m_emissionPeriod; }
    void SetEmissionPeriod(float seconds) { m_emissionPeriod = seconds; }
    // Restarts the lifetime countdown: emitting for that many seconds from now.
    void SetLifetime(float seconds);

    // The live particles are slots 0 to GetLiveCount() - 1.
    std::uint32_t GetLiveCount() const { return m_liveCount; }
    SParticle& GetParticle(std::uint32_t slot) { return m_particles[slot]; }
    const SParticle& GetParticle(std::uint32_t slot) const { return m_particles[slot]; }

    // Not owned: the caller keeps the texture alive while the system is drawn.
    plat::IDirect3DTexture9* GetTexture() const { return m_pTexture; }
    void SetTexture(plat::IDirect3DTexture9* texture) { m_pTexture = texture; }
    // Systems with equal keys next to each other in the manager's list are drawn as one run
    // (so they must share their texture).
    std::uint32_t GetTextureKey() const { return m_textureKey; }
    void SetTextureKey(std::uint32_t key) { m_textureKey = key; }
    // From the system's own space (where its particles are) to the world.
    const math::Matrix4& GetWorld() const { return m_world; }
    void SetWorld(const math::Matrix4& world) { m_world = world; }

private:
    std::int32_t m_emissionCount;
    float m_emissionPeriod; // seconds
    std::uint32_t m_liveCount = 0;
    common::CCountdownTimer m_lifetime;
    common::CCountdownTimer m_periodCountdown; // expired at first, so the first update emits
    plat::IDirect3DTexture9* m_pTexture = nullptr;
    std::vector<SParticle> m_particles; // the slots
    std::vector<std::unique_ptr<IParticleInitialiser>> m_initialisers;
    std::vector<std::unique_ptr<IParticleAffector>> m_affectors;
    std::uint32_t m_textureKey = 0;
    math::Matrix4 m_world;
};
} // namespace gfx
} // namespace dorvo
