// Initialisers and affectors for particle tests, made from lambdas, and a system maker.
#pragma once

#include "engine/gfx/particles/CParticleSystem.h"

#include <functional>
#include <memory>
#include <utility>

namespace particletest
{
class LambdaInitialiser : public dorvo::gfx::IParticleInitialiser
{
public:
    explicit LambdaInitialiser(std::function<void(dorvo::gfx::SParticle&, float)> f) : m_f(std::move(f)) {}
    void Initialise(dorvo::gfx::SParticle& particle, float time) override { m_f(particle, time); }

private:
    std::function<void(dorvo::gfx::SParticle&, float)> m_f;
};

class LambdaAffector : public dorvo::gfx::IParticleAffector
{
public:
    explicit LambdaAffector(std::function<void(dorvo::gfx::SParticle&, float)> f) : m_f(std::move(f)) {}
    void Affect(dorvo::gfx::SParticle& particle, float dt) override { m_f(particle, dt); }

private:
    std::function<void(dorvo::gfx::SParticle&, float)> m_f;
};

inline void Initialise(dorvo::gfx::CParticleSystem& system,
                       std::function<void(dorvo::gfx::SParticle&, float)> f)
{
    system.AddInitialiser(std::make_unique<LambdaInitialiser>(std::move(f)));
}

inline void Affect(dorvo::gfx::CParticleSystem& system, std::function<void(dorvo::gfx::SParticle&, float)> f)
{
    system.AddAffector(std::make_unique<LambdaAffector>(std::move(f)));
}

// Ages every particle by dt.
inline void Ageing(dorvo::gfx::CParticleSystem& system)
{
    Affect(system, [](dorvo::gfx::SParticle& p, float dt) { p.life -= dt; });
}
} // namespace particletest
