// A particle system on its own (no device): emission every update or by its period until the
// lifetime runs out, capacity, fresh records for new particles, the affectors on every live
// particle with the acceleration cleared first, and death below life 0 with the last live
// particle taking the slot and being updated in the same pass. Time is the test clock.
#include "ParticleTestKit.h"

#include "engine/gfx/particles/CParticleSystem.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <vector>

using dorvo::gfx::CParticleSystem;
using dorvo::gfx::SParticle;

TEST(CParticleSystem, WithoutAPeriodItEmitsEveryUpdateUntilItsLifetimeRunsOut)
{
    CParticleSystem system(100, 3, 0.0f, 1.0f);
    system.Update(0.1f);
    EXPECT_EQ(system.GetLiveCount(), 3u);
    plat::testclock::Advance(0.5);
    system.Update(0.1f);
    EXPECT_EQ(system.GetLiveCount(), 6u);
    EXPECT_EQ(system.GetEmissionCount(), 3);

    plat::testclock::Advance(0.6); // the lifetime is over: no more emission, the particles stay
    system.Update(0.1f);
    EXPECT_EQ(system.GetLiveCount(), 6u);
    EXPECT_EQ(system.GetEmissionCount(), 0);
    EXPECT_FALSE(system.IsFinished());
}

TEST(CParticleSystem, APeriodPacesTheEmissionAndTheFirstUpdateEmits)
{
    CParticleSystem system(100, 2, 0.5f);
    const double steps[] = {0.0, 0.2, 0.2, 0.2, 0.0, 0.6};
    const unsigned live[] = {2, 2, 2, 4, 4, 6};
    for (int i = 0; i < 6; ++i)
    {
        SCOPED_TRACE(i);
        plat::testclock::Advance(steps[i]);
        system.Update(0.0f);
        EXPECT_EQ(system.GetLiveCount(), live[i]);
    }
}

TEST(CParticleSystem, AtCapacityNothingMoreIsEmittedUntilParticlesDie)
{
    CParticleSystem system(5, 3);
    // Every new particle starts from a fresh record, whatever its slot held.
    std::vector<float> seenLife;
    particletest::Initialise(system,
                             [&](SParticle& p, float time)
                             {
                                 EXPECT_EQ(time, 0.0f);
                                 seenLife.push_back(p.life);
                                 EXPECT_EQ(p.alpha, 1.0f);
                                 p.life = seenLife.size() <= 3 ? 0.35f : 10.0f;
                             });
    particletest::Ageing(system);
    system.Update(0.1f);
    system.Update(0.1f);
    EXPECT_EQ(system.GetLiveCount(), 5u);
    system.Update(0.1f); // full: no emission; the first three are at 0.05
    EXPECT_EQ(system.GetLiveCount(), 5u);
    system.Update(0.1f); // full again; the first three die
    EXPECT_EQ(system.GetLiveCount(), 2u);
    system.Update(0.1f); // room for three more
    EXPECT_EQ(system.GetLiveCount(), 5u);
    EXPECT_EQ(seenLife, std::vector<float>(8, 0.0f));
}

TEST(CParticleSystem, AffectorsRunOnEveryLiveParticleOnceAndThoseBelowLifeZeroDie)
{
    CParticleSystem system(10, 4);
    const float lives[] = {1.0f, 0.5f, 0.25f, 0.75f};
    int next = 0;
    particletest::Initialise(system,
                             [&](SParticle& p, float)
                             {
                                 p.affectorValue1 = static_cast<float>(next); // the particle's id
                                 p.life = lives[next++];
                                 p.acceleration.Set(9.0f, 9.0f, 9.0f);
                             });
    std::vector<int> affected;
    particletest::Affect(system,
                         [&](SParticle& p, float dt)
                         {
                             // The acceleration is cleared before the affectors run.
                             EXPECT_EQ(p.acceleration.LengthSquared(), 0.0f);
                             p.acceleration.Set(0.0f, -9.8f, 0.0f);
                             affected.push_back(static_cast<int>(p.affectorValue1));
                             p.life -= dt;
                         });
    auto ids = [&]
    {
        std::vector<int> out;
        for (std::uint32_t i = 0; i < system.GetLiveCount(); ++i)
            out.push_back(static_cast<int>(system.GetParticle(i).affectorValue1));
        return out;
    };

    // Lives become 0.5, 0, -0.25, 0.25: particle 2 dies, particle 3 takes its slot and is
    // updated in the same pass; particle 1 at exactly 0 lives on.
    system.Update(0.5f);
    EXPECT_EQ(affected, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(ids(), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(system.GetParticle(1).life, 0.0f);

    // Particle 1 dies, 3 moves into its slot and dies in the same pass; 0 is left at 0.
    system.SetEmissionCount(0);
    affected.clear();
    system.Update(0.5f);
    EXPECT_EQ(affected, (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(ids(), (std::vector<int>{0}));
    EXPECT_FALSE(system.IsFinished());

    system.Update(0.5f);
    EXPECT_EQ(system.GetLiveCount(), 0u);
    EXPECT_TRUE(system.IsFinished());
}
