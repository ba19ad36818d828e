// The whole program on the headless backends and the test clock: the real application, game,
// graphics, sound, input and physics, with the committed engine configuration.
#include "game/app/CQUORBApp.h"

#include "LogCapture.h"
#include "TestSupport.h"
#include "engine/EventType.h"
#include "engine/IEventManager.h"
#include "engine/RunApplication.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/core/CFXManager.h"
#include "engine/input/InputSystem.h"
#include "engine/phy/DynamicsEngine.h"
#include "game/app/CEngineLoader.h"
#include "game/app/CQUORB.h"
#include "game/app/GameStates.h"
#include "game/app/WinMain.h"
#include "platform/files.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/input_feed.h"
#include "platform/sound_events.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <stb_image.h>

#include <string>
#include <vector>

namespace
{
std::string ConfigPath()
{
    return testsupport::RepoPath("data/files/xmlfiles/dorvo_engine_config.xml");
}

// The real game, pressing F1 and closing the window at given frames.
struct Script
{
    int f1AtUpdate = 0;
    int closeAtUpdate = 0;
    int updates = 0;
    std::wstring titleSeen;
};
Script* g_script = nullptr;

class ScriptedGame : public QUORB::CQUORB
{
public:
    void Update(double time, float elapsed) override
    {
        QUORB::CQUORB::Update(time, elapsed);
        Script& s = *g_script;
        ++s.updates;
        s.titleSeen = plat::headless::WindowTitle();
        if (s.updates == s.f1AtUpdate)
            plat::PostMessageW(plat::DXUTGetHWND(), plat::WM_KEYDOWN, plat::VK_F1, 0);
        if (s.updates == s.closeAtUpdate)
            plat::PostMessageW(plat::DXUTGetHWND(), plat::WM_CLOSE, 0, 0);
    }
};

class ScriptedApp : public QUORB::CQUORBApp
{
public:
    dorvo::CDorvoGame* CreateGame() override { return new ScriptedGame(); }
};

class Counter : public dorvo::IEventListener
{
public:
    bool HandleEvent(const dorvo::IEventDataPtr&) override { return ++count > 0; }
    int count = 0;
};

class Ping : public dorvo::IEventData
{
public:
    const dorvo::EventType& GetEventType() const override { return m_type; }

private:
    dorvo::EventType m_type{"Ping"};
};

class CQUORBAppTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plat::headless::Reset();
        plat::inputfeed::Reset();
        plat::testclock::Set(1.0);
        plat::testclock::SetAutoAdvance(0.0001);
        g_script = &script;
    }
    void TearDown() override
    {
        plat::testclock::SetAutoAdvance(0.0);
        plat::soundtest::ClearFailures();
        plat::headless::Reset();
        g_script = nullptr;
    }

    Script script;
};
} // namespace

TEST_F(CQUORBAppTest, TheProgramOpensTheConfiguredWindowAndF1SavesOneScreenshot)
{
    testsupport::TempWorkDir dir;
    script.f1AtUpdate = 3;
    script.closeAtUpdate = 6;
    QUORB::CEngineLoader loader;
    EXPECT_EQ(dorvo::RunApplication(std::make_unique<ScriptedApp>(), loader, ConfigPath()), 0);

    EXPECT_EQ(script.updates, 6);
    EXPECT_EQ(script.titleSeen, L"Dorvo Engine QUORB");
    EXPECT_EQ(dorvo::gfx::CDorvoGfx::Instance().GetTexturePath(), "../../../../data/textures/")
        << "the committed configuration was read";
    const std::vector<std::string> shots = plat::ListFiles("DorvoScrshot_*.png");
    ASSERT_EQ(shots.size(), 1u);
    int width = 0, height = 0, channels = 0;
    ASSERT_TRUE(stbi_info(shots[0].c_str(), &width, &height, &channels)) << shots[0];
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_EQ(g_pApp, nullptr);
    EXPECT_EQ(plat::soundtest::LiveEventSystems(), 0);
}

TEST_F(CQUORBAppTest, TheGameFrameRunsInputEventsStatesAndHoldsPhysics)
{
    g_pApp = new QUORB::CQUORBApp();
    QUORB::CEngineLoader loader;
    ASSERT_TRUE(g_pApp->Init(loader, ConfigPath()));
    auto* game = static_cast<QUORB::CQUORB*>(g_pApp->GetGame());
    EXPECT_TRUE(dorvo::phy::DynamicsEngine::Instance().paused) << "nothing moves before play";
    EXPECT_TRUE(dorvo::phy::DynamicsEngine::Instance().IsInitialised());
    EXPECT_EQ(game->GetStates().GetCurrentStateName(), QUORB::kInitStateName);

    auto counter = boost::make_shared<Counter>();
    ASSERT_TRUE(g_pEventManager->AddListener(counter, dorvo::EventType("Ping")));
    ASSERT_TRUE(g_pEventManager->ThreadSafeQueueEvent(boost::make_shared<Ping>()));
    plat::inputfeed::KeyChange(30, true, 5);

    plat::DXUTRender3DEnvironment();
    EXPECT_EQ(counter->count, 1) << "the frame ticks the event manager";
    dorvo::input::InputEvent left;
    EXPECT_FALSE(g_pApp->GetInput()->PopEvent(left)) << "the frame drains the input queue";
    EXPECT_EQ(game->GetStates().GetCurrentStateName(), QUORB::kLoadStateName);

    plat::DXUTRender3DEnvironment();
    EXPECT_EQ(game->GetStates().GetCurrentStateName(), QUORB::kRunningStateName);
    plat::DXUTRender3DEnvironment();
    EXPECT_EQ(game->GetStates().GetCurrentStateName(), QUORB::kRunningStateName);

    EXPECT_EQ(g_pApp->Shutdown(), 0);
    delete g_pApp;
    g_pApp = nullptr;
}

TEST_F(CQUORBAppTest, TheGameStartsWithItsSceneEffectsAndTheSharedOnesLoadedWithoutAWord)
{
    g_pApp = new QUORB::CQUORBApp();
    QUORB::CEngineLoader loader;
    testsupport::LogCapture logged;
    const bool started = g_pApp->Init(loader, ConfigPath());
    const std::string err = logged.Text();
    ASSERT_TRUE(started) << err;

    const dorvo::gfx::CFXManager& fx = dorvo::gfx::CFXManager::Instance();
    EXPECT_NE(fx.GetSharedEffect(), nullptr) << "Dummy.fx";
    EXPECT_EQ(fx.GetEffectCount(), 9u);
    for (const char* file :
         {"TextureMapping.fx", "PickedEffect.fx", "Glow.fx", "AnimatedGlow.fx", "TextureMappingNoLight.fx",
          "Particle.fx", "Terrain.fx", "Membrane.fx", "Water2.fx"})
        EXPECT_NE(fx.GetEffect(file), nullptr) << file;
    EXPECT_EQ(err.find(".fx"), std::string::npos) << err;

    EXPECT_EQ(g_pApp->Shutdown(), 0);
    delete g_pApp;
    g_pApp = nullptr;
}

TEST_F(CQUORBAppTest, TheEntryRunsFromTheWorkingFolderFourLevelsDownAndQuits)
{
    // The test runs in build/<dir>/testrun/<target>, four levels below the repository, as the
    // game does.
    plat::PostQuitMessage(0);
    EXPECT_EQ(QUORB::WinMain(), 0);
    EXPECT_EQ(dorvo::gfx::CDorvoGfx::Instance().GetMeshPath(), "../../../../data/meshes/");
    EXPECT_EQ(g_pApp, nullptr);
    EXPECT_EQ(g_pEventManager, nullptr);
    EXPECT_FALSE(plat::headless::HasWindow());
}

TEST_F(CQUORBAppTest, AFailedDeviceEndsTheProgramWithTheMessageAndANonZeroCode)
{
    plat::headless::FailNextDeviceCreation();
    testsupport::LogCapture logged;
    const int code = QUORB::WinMain();
    const std::string err = logged.Text();
    EXPECT_NE(code, 0);
    // The message box's text, also in the log as one line.
    EXPECT_TRUE(
        logged.Contains("MessageBoxW: Error: Failed To Create D3D Device! Please Check Your System Specs "
                        "Against The Minimum Requirements."))
        << err;
    EXPECT_EQ(g_pApp, nullptr);
    EXPECT_EQ(plat::soundtest::LiveEventSystems(), 0) << "sound never started";
}
