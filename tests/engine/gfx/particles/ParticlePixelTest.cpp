// Registered particle systems drawn by the graphics facade's frame on the real OpenGL device,
// under Xvfb with Mesa's software renderer: four red particles of a moved system over a large
// blue particle behind them (one run of two systems, so each quad takes its own system's
// matrix), and a half-transparent red particle in a run of its own, blended over the blue.
// With RF_PARTICLES clear the frame stays black. Pictures under screenshots/ in the build
// folder. Skipped, with a message, where Xvfb is not installed.
#include "PixelTestFixture.h"
#include "VirtualDisplay.h"

#include "GfxTestWorld.h"
#include "LogCapture.h"
#include "ParticleTestKit.h"
#include "engine/gfx/particles/CParticleManager.h"
#include "engine/gfx/particles/CParticleSystem.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using dorvo::gfx::CDorvoGfx;
using dorvo::gfx::CGFXCore;
using dorvo::gfx::CParticleManager;
using dorvo::gfx::CParticleSystem;
using dorvo::gfx::SParticle;
using gfxtest::Rgb;

namespace
{
constexpr int kWidth = 320;
constexpr int kHeight = 240;

struct SSpot
{
    float x, y, z;
    float red, green, blue, alpha;
    float size; // half the quad's side, world units
};

// A system holding the given particles, drawn with the texture under the key.
std::unique_ptr<CParticleSystem> System(const std::vector<SSpot>& spots, std::uint32_t key,
                                        plat::IDirect3DTexture9* texture)
{
    auto system = std::make_unique<CParticleSystem>(static_cast<std::uint32_t>(spots.size()), 0);
    std::size_t next = 0;
    particletest::Initialise(*system,
                             [spots, next](SParticle& p, float) mutable
                             {
                                 const SSpot& s = spots[next++];
                                 p.position.Set(s.x, s.y, s.z);
                                 p.red = s.red;
                                 p.green = s.green;
                                 p.blue = s.blue;
                                 p.alpha = s.alpha;
                                 p.life = 10.0f;
                                 p.corner1.Set(s.size, 0.0f, 0.0f);
                                 p.corner2.Set(0.0f, s.size, 0.0f);
                             });
    system->Emit(static_cast<std::int32_t>(spots.size()));
    system->SetTextureKey(key);
    system->SetTexture(texture);
    return system;
}

class ParticlePixelTest : public gfxtest::PixelTestFixture
{
protected:
    ParticlePixelTest() : PixelTestFixture(kWidth, kHeight) {}

    void SetUp() override
    {
        PixelTestFixture::SetUp();
        if (!Ready())
            return;
        ASSERT_TRUE(
            gfxtest::WritePng("textures/white.png", 8, 8, [](unsigned, unsigned) { return 0xFFFFFFFFu; }));
        SetWindowConfig("textures/");
        config.fxPath = testsupport::RepoPath("data/fx") + "/";
        config.fxFiles = {"Particle.fx"};
        testsupport::LogCapture logged;
        const bool started = gfx.Init(config);
        const std::string err = logged.Text();
        ASSERT_TRUE(started) << err;
        EXPECT_EQ(err.find("Particle.fx"), std::string::npos) << err;
        ASSERT_TRUE(TakeDevice());
        ASSERT_TRUE(plat::SUCCEEDED(core.CreateTextureFromFile("textures/white.png", &white)));

        // The camera at (0, 0, -10) looking along +z.
        dorvo::gfx::SViewportRecord& record = core.GetViewportRecord(0);
        record.eye.Set(0.0f, 0.0f, -10.0f);
        record.view = math::Matrix4::LookAtLH(record.eye, math::Vector3(0, 0, 0), math::Vector3(0, 1, 0));
        record.projection =
            math::Matrix4::PerspectiveFovLH(0.8f, static_cast<float>(kWidth) / kHeight, 1.0f, 100.0f);
        plat::devicedebug::ResetStatistics(device);
    }

    void TearDown() override
    {
        ExpectNoGLErrors();
        systems.clear();
        if (white)
            white->Release();
        gfx.SetRenderFlags(CDorvoGfx::kDefaultRenderFlags);
        StopDevice();
    }

    // One frame through the facade with the flags, read back and saved.
    void Frame(std::uint32_t flags, const std::string& name)
    {
        gfx.SetRenderFlags(flags);
        gfx.RenderFrame(1.0, 0.033f);
        ReadBack(name);
    }

    // Where a world point lands in the picture.
    void Projected(const math::Vector3& world, int& x, int& y) const
    {
        const dorvo::gfx::SViewportRecord& record = core.GetViewportRecord(0);
        const math::Vector3 screen =
            math::Project(world, 0.0f, 0.0f, static_cast<float>(kWidth), static_cast<float>(kHeight), 0.0f,
                          1.0f, record.projection, record.view, math::Matrix4());
        x = static_cast<int>(std::floor(screen.x));
        y = static_cast<int>(std::floor(screen.y));
    }

    CGFXCore& core = CGFXCore::Instance();
    plat::IDirect3DTexture9* white = nullptr;
    std::vector<std::unique_ptr<CParticleSystem>> systems;
};
} // namespace

TEST_F(ParticlePixelTest, RedParticlesShowAtTheirCentresAndAHalfTransparentOneIsBlended)
{
    // The blue backdrop: one particle far behind, larger than the view.
    systems.push_back(System({{0, 0, 20, 0, 0, 1, 1, 30}}, 1, white));
    // Four red particles in a system moved 0.5 along x, in the same run (its matrix is
    // element 1 of the array).
    const std::vector<SSpot> reds = {{-2, -1.5f, 0, 1, 0, 0, 1, 0.3f},
                                     {2, -1.5f, 0, 1, 0, 0, 1, 0.3f},
                                     {-2, 1.5f, 0, 1, 0, 0, 1, 0.3f},
                                     {2, 1.5f, 0, 1, 0, 0, 1, 0.3f}};
    systems.push_back(System(reds, 1, white));
    math::Matrix4 moved;
    moved.SetTranslation(math::Vector3(0.5f, 0.0f, 0.0f));
    systems.back()->SetWorld(moved);
    // A half-transparent red one in a run of its own, in the middle.
    systems.push_back(System({{0, 0, 0, 1, 0, 0, 0.5f, 0.3f}}, 2, white));
    for (const auto& system : systems)
        ASSERT_TRUE(CParticleManager::Instance().AddSystem(system.get()));

    Frame(CDorvoGfx::RF_VIEWPORT0 | CDorvoGfx::RF_PARTICLES, "particles.png");

    for (const SSpot& red : reds)
    {
        int x = 0, y = 0;
        Projected(math::Vector3(red.x + 0.5f, red.y, red.z), x, y);
        ExpectAt(x, y, {255, 0, 0}, 2, "a red particle's centre");
        // About 17 pixels across: 12 pixels out is the backdrop.
        ExpectAt(x + 12, y, {0, 0, 255}, 2, "beside it");
        ExpectAt(x - 12, y, {0, 0, 255}, 2, "beside it");
    }
    int x = 0, y = 0;
    Projected(math::Vector3(0, 0, 0), x, y);
    ExpectAt(x, y, {128, 0, 127}, 3, "the half-transparent particle over blue");
    ExpectAt(4, 4, {0, 0, 255}, 2, "the backdrop in a corner");

    // Without RF_PARTICLES nothing is drawn.
    Frame(CDorvoGfx::RF_VIEWPORT0, "particles_off.png");
    int lit = 0;
    for (const plat::D3DCOLOR c : pixels)
        lit += (c & 0xFFFFFFu) != 0;
    EXPECT_EQ(lit, 0) << "pixels drawn with the particle pass off";
}
