#include "engine/gfx/particles/CParticleSystem.h"

#include "common/Singleton.h"
#include "engine/gfx/particles/CParticleManager.h"

#include <algorithm>
#include <cmath>

namespace dorvo
{
namespace gfx
{
namespace
{
constexpr float kNoPeriod = 1e-7f; // seconds: a period this close to 0 emits on every update
}

CParticleSystem::CParticleSystem(std::uint32_t capacity, std::int32_t emissionCount, float emissionPeriod,
                                 float lifetime)
    : m_emissionCount(emissionCount), m_emissionPeriod(emissionPeriod), m_lifetime(lifetime, true),
      m_particles(capacity)
{
}

CParticleSystem::~CParticleSystem()
{
    // The manager keeps plain pointers: a system going away must not stay in its list.
    if (common::Singleton<CParticleManager>::Exists())
        CParticleManager::Instance().RemoveSystem(this);
}

void CParticleSystem::AddInitialiser(std::unique_ptr<IParticleInitialiser> initialiser)
{
    if (initialiser)
        m_initialisers.push_back(std::move(initialiser));
}

void CParticleSystem::AddAffector(std::unique_ptr<IParticleAffector> affector)
{
    if (affector)
        m_affectors.push_back(std::move(affector));
}

void CParticleSystem::SetLifetime(float seconds)
{
    m_lifetime.Restart(seconds);
}

void CParticleSystem::Update(float dt)
{
    if (m_lifetime.IsExpired())
        m_emissionCount = 0;

    if (std::fabs(m_emissionPeriod) <= kNoPeriod)
        Emit(m_emissionCount);
    else if (m_periodCountdown.IsExpired())
    {
        Emit(m_emissionCount);
        m_periodCountdown.Restart(m_emissionPeriod);
    }

    for (std::uint32_t i = 0; i < m_liveCount;)
    {
        SParticle& particle = m_particles[i];
        particle.acceleration.Set(0.0f, 0.0f, 0.0f);
        for (const std::unique_ptr<IParticleAffector>& affector : m_affectors)
            affector->Affect(particle, dt);
        if (particle.life < 0.0f)
        {
            // The last live particle takes the slot and is updated next, in this same pass.
            --m_liveCount;
            if (i != m_liveCount)
                m_particles[i] = m_particles[m_liveCount];
        }
        else
            ++i;
    }
}

void CParticleSystem::Emit(std::int32_t n)
{
    if (n < 1)
        return;
    const std::uint32_t free = GetCapacity() - m_liveCount;
    const std::uint32_t count = std::min(static_cast<std::uint32_t>(n), free);
    for (std::uint32_t i = 0; i < count; ++i)
    {
        // A slot may hold a dead particle: each new one starts from a fresh record.
        SParticle& particle = m_particles[m_liveCount + i];
        particle = SParticle();
        for (const std::unique_ptr<IParticleInitialiser>& initialiser : m_initialisers)
            initialiser->Initialise(particle, 0.0f);
    }
    m_liveCount += count;
}
} // namespace gfx
} // namespace dorvo
