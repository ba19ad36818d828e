// The particle manager on the headless device, inside the graphics facade: the list (not
// owning; finished systems leave it; the facade's Update drives it), the buffers and their
// index pattern, through device loss and reset; the quads' corners and colour bytes; and the
// draw: batches of 1024 quads, runs of one texture key restarting the system index, a run cut
// at the length of the effect's matrix array, the particle pass only while RF_PARTICLES is set.
#include "EffectTestWorld.h"
#include "GfxTestWorld.h"
#include "ParticleTestKit.h"

#include "LogCapture.h"
#include "common/Singleton.h"
#include "engine/gfx/core/MatrixConvert.h"
#include "engine/gfx/particles/CParticleManager.h"
#include "engine/gfx/particles/CParticleSystem.h"
#include "engine/gfx/particles/SParticleVertex.h"
#include "platform/device_debug.h"
#include "platform/headless.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using dorvo::gfx::CDorvoGfx;
using dorvo::gfx::CFXManager;
using dorvo::gfx::CGFXCore;
using dorvo::gfx::CParticleManager;
using dorvo::gfx::CParticleSystem;
using dorvo::gfx::SParticle;
using dorvo::gfx::SParticleVertex;
using plat::devicedebug::CallKind;
using plat::devicedebug::LoggedCall;

namespace
{
// A system of count live particles (no emission after the first update), each with the given
// life, at x = its number, with unit corners.
std::unique_ptr<CParticleSystem> Particles(unsigned count, std::uint32_t key = 0)
{
    auto system = std::make_unique<CParticleSystem>(count, static_cast<std::int32_t>(count));
    int next = 0;
    particletest::Initialise(*system,
                             [next](SParticle& p, float) mutable
                             {
                                 p.position.Set(static_cast<float>(next++), 0.0f, 0.0f);
                                 p.life = 100.0f;
                                 p.corner1.Set(0.5f, 0.0f, 0.0f);
                                 p.corner2.Set(0.0f, 0.5f, 0.0f);
                             });
    system->Emit(static_cast<std::int32_t>(count));
    system->SetEmissionCount(0);
    system->SetTextureKey(key);
    return system;
}

std::vector<LoggedCall> Draws()
{
    std::vector<LoggedCall> draws;
    for (const LoggedCall& call : plat::headless::CallLog())
        if (call.kind == CallKind::Draw)
            draws.push_back(call);
    return draws;
}

class CParticleManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plat::headless::Reset();
        plat::DXUTInit(false, false, false, true);
        m_dir = std::make_unique<testsupport::TempWorkDir>();
        std::filesystem::create_directories(fxtest::kFxFolder);
        fxtest::CopyAuthored("Dummy.fx");
        fxtest::CopyAuthored("Particle.fx");
        config.fxPath = fxtest::kFxFolder;
        config.fxFiles = {"Particle.fx"};
        ASSERT_TRUE(gfx.Init(config));
        // A camera at (0, 0, -10) looking along +z.
        dorvo::gfx::SViewportRecord& record = core().GetViewportRecord(0);
        record.eye.Set(0.0f, 0.0f, -10.0f);
        record.view = math::Matrix4::LookAtLH(record.eye, math::Vector3(0, 0, 0), math::Vector3(0, 1, 0));
        record.projection = math::Matrix4::PerspectiveFovLH(0.8f, 4.0f / 3.0f, 1.0f, 100.0f);
        core().SetViewport(0);
    }

    void TearDown() override
    {
        systems.clear();
        gfx.Release();
        gfx.SetRenderFlags(CDorvoGfx::kDefaultRenderFlags);
        plat::headless::Reset();
        m_dir.reset();
    }

    CParticleSystem& Add(std::unique_ptr<CParticleSystem> system)
    {
        systems.push_back(std::move(system));
        EXPECT_TRUE(particles().AddSystem(systems.back().get()));
        return *systems.back();
    }

    // The particle pass alone, with the call log on (a draw the device refuses is not logged).
    std::vector<LoggedCall> Render()
    {
        plat::headless::ClearCallLog();
        plat::headless::SetCallLogging(true);
        core().BeginFrame();
        core().SetViewport(0);
        core().SetVertexDeclaration(dorvo::gfx::VD_Particle); // as the facade's particle pass
        particles().Render();
        core().EndScene();
        plat::headless::SetCallLogging(false);
        return Draws();
    }

    // The first count vertices of the vertex buffer (what the last batch drew).
    std::vector<SParticleVertex> Vertices(unsigned count)
    {
        std::vector<SParticleVertex> vertices(count);
        void* data = nullptr;
        plat::IDirect3DVertexBuffer9* buffer = particles().GetVertexBuffer();
        EXPECT_TRUE(plat::SUCCEEDED(core().LockWhole(buffer, plat::D3DLOCK_READONLY, &data)));
        if (data)
            std::memcpy(vertices.data(), data, count * sizeof(SParticleVertex));
        core().Unlock(buffer);
        return vertices;
    }

    math::Matrix4 ArrayElement(unsigned index)
    {
        plat::ID3DXEffect* effect = fx().GetEffect("Particle.fx");
        plat::D3DXMATRIX value;
        effect->GetMatrix(effect->GetParameterElement("g_ParticleWVPMatArray", index), &value);
        return dorvo::gfx::FromD3DXMatrix(value);
    }

    math::Matrix4 ViewProjection() const { return core().GetProjection() * core().GetView(); }

    // Through the singletons each time: a test may release and start graphics again.
    static CParticleManager& particles() { return CParticleManager::Instance(); }
    static CGFXCore& core() { return CGFXCore::Instance(); }
    static CFXManager& fx() { return CFXManager::Instance(); }

    dorvo::SEngineConfigInfo config;
    CDorvoGfx& gfx = CDorvoGfx::Instance();
    std::vector<std::unique_ptr<CParticleSystem>> systems;

private:
    std::unique_ptr<testsupport::TempWorkDir> m_dir;
};

void ExpectMatrix(const math::Matrix4& got, const math::Matrix4& want)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(got.m[i], want.m[i], 1e-5f) << "element " << i;
}

void ExpectVector(const SParticleVertex& v, float x, float y, float z)
{
    EXPECT_NEAR(v.x, x, 1e-5f);
    EXPECT_NEAR(v.y, y, 1e-5f);
    EXPECT_NEAR(v.z, z, 1e-5f);
}
} // namespace

TEST_F(CParticleManagerTest, TheListDoesNotOwnItsSystemsAndFinishedOnesLeaveIt)
{
    CParticleManager& manager = particles();
    auto running = std::make_unique<CParticleSystem>(10, 1);
    auto finished = std::make_unique<CParticleSystem>(10, 0);
    auto last = std::make_unique<CParticleSystem>(10, 2);
    std::vector<float> steps;
    particletest::Affect(*running, [&](SParticle&, float dt) { steps.push_back(dt); });

    EXPECT_FALSE(manager.AddSystem(nullptr));
    EXPECT_TRUE(manager.AddSystem(running.get()));
    EXPECT_FALSE(manager.AddSystem(running.get())) << "listed once";
    EXPECT_TRUE(manager.AddSystem(finished.get()));
    EXPECT_TRUE(manager.AddSystem(last.get()));

    // The facade's update reaches the manager with dt: the finished system leaves the list, the
    // others are updated.
    gfx.Update(3.0, 0.25f);
    EXPECT_EQ(manager.GetSystems(), (std::vector<CParticleSystem*>{running.get(), last.get()}));
    EXPECT_EQ(steps, std::vector<float>{0.25f});
    EXPECT_EQ(running->GetLiveCount(), 1u);
    EXPECT_EQ(last->GetLiveCount(), 2u);
    EXPECT_FALSE(manager.HasSystem(finished.get()));

    // Taken out, a system lives on; destroyed while listed, it leaves the list itself.
    EXPECT_TRUE(manager.RemoveSystem(running.get()));
    EXPECT_FALSE(manager.RemoveSystem(running.get()));
    EXPECT_EQ(running->GetLiveCount(), 1u);
    last.reset();
    EXPECT_TRUE(manager.GetSystems().empty());
    gfx.Update(3.0, 0.25f);
}

TEST_F(CParticleManagerTest, BuffersHoldAQuadPatternAndFollowTheDeviceThroughLossAndReset)
{
    auto indexPattern = [this]
    {
        std::vector<std::uint16_t> indices(CParticleManager::kIndexedQuads * 6);
        void* data = nullptr;
        EXPECT_TRUE(
            plat::SUCCEEDED(core().LockWhole(particles().GetIndexBuffer(), plat::D3DLOCK_READONLY, &data)));
        if (data)
            std::memcpy(indices.data(), data, indices.size() * sizeof(std::uint16_t));
        core().Unlock(particles().GetIndexBuffer());
        // Quad q: 4q, 4q+1, 4q+2, 4q+1, 4q+3, 4q+2.
        EXPECT_EQ(std::vector<std::uint16_t>(indices.begin(), indices.begin() + 12),
                  (std::vector<std::uint16_t>{0, 1, 2, 1, 3, 2, 4, 5, 6, 5, 7, 6}));
        EXPECT_EQ(std::vector<std::uint16_t>(indices.end() - 6, indices.end()),
                  (std::vector<std::uint16_t>{16380, 16381, 16382, 16381, 16383, 16382}));
        unsigned wrong = 0;
        for (unsigned q = 0; q < CParticleManager::kIndexedQuads; ++q)
        {
            const unsigned want[6] = {4 * q, 4 * q + 1, 4 * q + 2, 4 * q + 1, 4 * q + 3, 4 * q + 2};
            for (unsigned i = 0; i < 6; ++i)
                wrong += indices[6 * q + i] != want[i];
        }
        EXPECT_EQ(wrong, 0u);
    };
    auto expectBuffers = [this]
    {
        ASSERT_TRUE(particles().HasBuffers());
        bool vertexFound = false;
        bool indexFound = false;
        for (const plat::devicedebug::ResourceInfo& info : plat::headless::Resources())
        {
            if (!info.live || info.pool != plat::D3DPOOL_DEFAULT || info.usage != 0x208u)
                continue;
            vertexFound |= info.kind == plat::devicedebug::ResourceKind::VertexBuffer && info.size == 114688u;
            indexFound |= info.kind == plat::devicedebug::ResourceKind::IndexBuffer && info.size == 49152u &&
                          info.format == plat::D3DFMT_INDEX16;
        }
        EXPECT_TRUE(vertexFound) << "4096 vertices of 28 bytes, dynamic and write-only, default pool";
        EXPECT_TRUE(indexFound) << "4096 quads of 16-bit indices";
    };
    expectBuffers();
    indexPattern();

    const unsigned live = plat::headless::LiveDefaultResources();
    gfx.OnLostDevice();
    EXPECT_FALSE(particles().HasBuffers());
    gfx.OnResetDevice();
    expectBuffers();
    indexPattern();
    EXPECT_EQ(plat::headless::LiveDefaultResources(), live);

    // And they draw again.
    Add(Particles(3));
    EXPECT_EQ(Render().size(), 1u);
}

TEST_F(CParticleManagerTest, QuadCornersFaceTheEyeInTheBasisOfTheLineOfSight)
{
    struct Case
    {
        const char* what;
        math::Vector3 eye, position, corner1, corner2;
        float want[4][3]; // vertices 0 to 3
    };
    const Case cases[] = {
        // d = +z: right = d x y = -x, up = +y; A = (-1, 0, 0), B = (0, 1, 0), S = (-1, 1, 0),
        // T = (-1, -1, 0): P - T, P + S, P - S, P + T.
        {"looking along +z",
         {0, 0, -10},
         {0, 0, 0},
         {1, 0, 0},
         {0, 1, 0},
         {{1, 1, 0}, {-1, 1, 0}, {1, -1, 0}, {-1, -1, 0}}},
        // From +x towards the particle at (2, 3, 4): d = -x, right = -z, up = +y; a corner's z
        // runs along the line of sight: A = 2 d = (-2, 0, 0), B = 0.5 up.
        {"from the side, a corner along the line of sight",
         {10, 3, 4},
         {2, 3, 4},
         {0, 0, 2},
         {0, 0.5f, 0},
         {{2 + 2, 3 + 0.5f, 4}, {2 - 2, 3 + 0.5f, 4}, {2 + 2, 3 - 0.5f, 4}, {2 - 2, 3 - 0.5f, 4}}},
        // Straight above: d x (0, 1, 0) vanishes, right and up are 0: every corner is P (kept:
        // such a quad has no area).
        {"seen from straight above",
         {0, 10, 0},
         {0, 0, 0},
         {1, 0, 0},
         {0, 1, 0},
         {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}}},
    };
    const float uv[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        SParticle particle;
        particle.position = c.position;
        particle.corner1 = c.corner1;
        particle.corner2 = c.corner2;
        SParticleVertex vertices[4];
        CParticleManager::WriteQuad(particle, c.eye, 7, vertices);
        for (int i = 0; i < 4; ++i)
        {
            SCOPED_TRACE(i);
            ExpectVector(vertices[i], c.want[i][0], c.want[i][1], c.want[i][2]);
            EXPECT_EQ(vertices[i].u, uv[i][0]);
            EXPECT_EQ(vertices[i].v, uv[i][1]);
            EXPECT_EQ(vertices[i].runIndex, 7.0f);
        }
    }
}

TEST_F(CParticleManagerTest, ColourBytesAreARGBEachChannelTimes255)
{
    struct Case
    {
        float r, g, b, a;
        std::uint32_t want;
    };
    const Case cases[] = {
        {1.0f, 0.0f, 0.0f, 1.0f, 0xFFFF0000u},
        {0.0f, 1.0f, 0.0f, 0.5f, 0x7F00FF00u},  // 127.5 cut to 127
        {0.25f, 0.5f, 1.0f, 0.0f, 0x003F7FFFu}, // 63.75 to 63
        // Outside 0 to 1 a channel is held at its end: an alpha fading just past 0 stays clear
        // and a brightened channel full, instead of wrapping around in 8 bits.
        {1.5f, -0.01f, 2.0f, -0.25f, 0x00FF00FFu},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.want);
        SParticle particle;
        particle.red = c.r;
        particle.green = c.g;
        particle.blue = c.b;
        particle.alpha = c.a;
        EXPECT_EQ(CParticleManager::PackColor(particle), c.want);
        SParticleVertex vertices[4];
        CParticleManager::WriteQuad(particle, math::Vector3(0, 0, -1), 0, vertices);
        for (const SParticleVertex& v : vertices)
            EXPECT_EQ(v.color, c.want);
    }
}

TEST_F(CParticleManagerTest, ARunIsDrawnInBatchesOf1024QuadsThroughTheParticleEffect)
{
    Add(Particles(2500));
    const std::vector<LoggedCall> draws = Render();
    ASSERT_EQ(draws.size(), 3u);
    const unsigned vertices[3] = {4096, 4096, (2500 - 2048) * 4};
    for (int i = 0; i < 3; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(draws[i].name, "Particle.fx/RenderParticle/0");
        EXPECT_EQ(draws[i].vertexCount, vertices[i]);
        EXPECT_EQ(draws[i].primitiveCount, vertices[i] / 2);
    }
    // The last batch holds particles 2048 on: particle 2048 at x = 2048 first.
    const std::vector<SParticleVertex> last = Vertices(4);
    EXPECT_NEAR((last[0].x + last[3].x) / 2, 2048.0f, 1e-2f);

    // Bound with its 28-byte stride through the device core().
    bool stride = false;
    for (const LoggedCall& call : plat::headless::CallLog())
        stride |= call.kind == CallKind::SetStreamSource && call.flags == 28u;
    EXPECT_TRUE(stride);
}

TEST_F(CParticleManagerTest, RunsGroupNeighboursOfOneTextureKeyAndRestartTheSystemIndex)
{
    plat::IDirect3DTexture9* textures[2] = {};
    ASSERT_TRUE(gfxtest::WritePng("a.png", 4, 4, [](unsigned, unsigned) { return 0xFFFF0000u; }));
    ASSERT_TRUE(plat::SUCCEEDED(core().CreateTextureFromFile("a.png", &textures[0])));
    ASSERT_TRUE(plat::SUCCEEDED(core().CreateTextureFromFile("a.png", &textures[1])));

    // Keys 1, 1, 2, 1: three runs; the last system's key matches the first two but it is not
    // their neighbour.
    CParticleSystem& a = Add(Particles(2, 1));
    CParticleSystem& b = Add(Particles(3, 1));
    CParticleSystem& c = Add(Particles(1, 2));
    CParticleSystem& d = Add(Particles(1, 1));
    a.SetTexture(textures[0]);
    b.SetTexture(textures[1]); // the run draws with its first system's texture
    c.SetTexture(textures[1]);
    d.SetTexture(textures[0]);
    math::Matrix4 worlds[4];
    for (int i = 0; i < 4; ++i)
        worlds[i].SetTranslation(math::Vector3(0.0f, static_cast<float>(i), 0.0f));
    a.SetWorld(worlds[0]);
    b.SetWorld(worlds[1]);
    c.SetWorld(worlds[2]);
    d.SetWorld(worlds[3]);

    std::vector<LoggedCall> draws = Render();
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0].vertexCount, (2u + 3u) * 4u);
    EXPECT_EQ(draws[1].vertexCount, 4u);
    EXPECT_EQ(draws[2].vertexCount, 4u);
    // Element 1 still holds b's matrix from the first run; element 0 the last run's, d's.
    ExpectMatrix(ArrayElement(1), ViewProjection() * worlds[1]);
    ExpectMatrix(ArrayElement(0), ViewProjection() * worlds[3]);
    EXPECT_EQ(Vertices(1)[0].runIndex, 0.0f);
    plat::IDirect3DBaseTexture9* bound = nullptr;
    fx().GetEffect("Particle.fx")->GetTexture("g_ParticleTexture", &bound);
    EXPECT_EQ(bound, textures[0]);
    if (bound)
        bound->Release();

    // Alone, a and b make one run: a's quads carry index 0, b's index 1.
    EXPECT_TRUE(particles().RemoveSystem(&c));
    EXPECT_TRUE(particles().RemoveSystem(&d));
    draws = Render();
    ASSERT_EQ(draws.size(), 1u);
    const std::vector<SParticleVertex> vertices = Vertices(20);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(vertices[i].runIndex, i < 8 ? 0.0f : 1.0f) << "vertex " << i;
    fx().GetEffect("Particle.fx")->GetTexture("g_ParticleTexture", &bound);
    EXPECT_EQ(bound, textures[0]);
    if (bound)
        bound->Release();

    systems.clear();
    for (plat::IDirect3DTexture9* texture : textures)
        texture->Release();
}

TEST_F(CParticleManagerTest, ARunLongerThanTheMatrixArrayIsCutAtItsLength)
{
    // 33 systems of one key: the array holds 32, so the 33rd starts a new run at index 0
    // (without the cut it would write past the array and draw with a matrix it never set).
    for (int i = 0; i < 33; ++i)
    {
        CParticleSystem& system = Add(Particles(1, 5));
        math::Matrix4 world;
        world.SetTranslation(math::Vector3(static_cast<float>(i), 0.0f, 0.0f));
        system.SetWorld(world);
    }
    const std::vector<LoggedCall> draws = Render();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].vertexCount, 32u * 4u);
    EXPECT_EQ(draws[1].vertexCount, 4u);
    EXPECT_EQ(Vertices(1)[0].runIndex, 0.0f);
    ExpectMatrix(ArrayElement(0), ViewProjection() * systems[32]->GetWorld());
    ExpectMatrix(ArrayElement(31), ViewProjection() * systems[31]->GetWorld());
}

TEST_F(CParticleManagerTest, TheFacadeDrawsParticlesAfterTheSceneOnlyWhileTheFlagIsSet)
{
    Add(Particles(4));
    auto frame = [this]
    {
        plat::headless::ClearCallLog();
        plat::headless::SetCallLogging(true);
        gfx.RenderFrame(1.0, 0.033f);
        plat::headless::SetCallLogging(false);
        std::vector<std::string> names;
        for (const LoggedCall& call : Draws())
            names.push_back(call.name);
        return names;
    };
    gfx.SetRenderFlags(CDorvoGfx::RF_VIEWPORT0 | CDorvoGfx::RF_PARTICLES);
    EXPECT_EQ(frame(), std::vector<std::string>{"Particle.fx/RenderParticle/0"});
    gfx.SetRenderFlags(CDorvoGfx::RF_VIEWPORT0);
    EXPECT_TRUE(frame().empty());
}

TEST_F(CParticleManagerTest, WithoutTheEffectNothingIsDrawnAndItIsSaidOnce)
{
    gfx.Release();
    config.fxFiles.clear();
    ASSERT_TRUE(gfx.Init(config));
    core().SetViewport(0);
    Add(Particles(4));
    testsupport::LogCapture logged;
    EXPECT_TRUE(Render().empty());
    EXPECT_TRUE(Render().empty());
    const std::string err = logged.Text();
    EXPECT_EQ(
        err,
        "CParticleManager::Render: Particle.fx: the effect is not loaded or has no g_ParticleWVPMatArray; "
        "no particles are drawn\n");
}
