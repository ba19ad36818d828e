// The application shell over the headless frame driver, on the test clock: start-up order and
// its failures, frame pacing, device loss, the screenshot key and the way out.
#include "engine/CDorvoApp.h"

#include "LogCapture.h"
#include "engine/CDorvoGame.h"
#include "engine/IEventManager.h"
#include "engine/RunApplication.h"
#include "engine/SoundSystem.h"
#include "engine/input/InputSystem.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/input_feed.h"
#include "platform/sound_events.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace dorvo;
using plat::testclock::Now;

namespace
{
using Log = std::vector<std::string>;

// What the test game does at given updates (1 is the first); 0 means never.
struct Script
{
    int closeAtUpdate = 0;
    double closeAfterSeconds = 0.0; // of clock since the first update
    int postUserAtUpdate = 0;
    int toggleFullScreenAtUpdate = 0;
};

struct Record
{
    Log log;
    Script script;
    int updates = 0;
    int renders = 0;
    double firstUpdate = -1.0;
    std::vector<double> updateTimes;
    double userPostedAt = -1.0;
    double userDispatchedAt = -1.0;
    int updatesAtDispatch = -1;
    int rendersAtDispatch = -1;
};

Record* g_record = nullptr;

void Post(plat::UINT message, plat::WPARAM wParam = 0)
{
    plat::PostMessageW(plat::DXUTGetHWND(), message, wParam, 0);
}

class TestGame : public CDorvoGame
{
public:
    ~TestGame() override
    {
        g_record->log.push_back(std::string("game deleted") + (g_pEventManager ? ", events alive" : "") +
                                (SoundSystem::Instance().GetEventSystem() ? ", sound alive" : ""));
    }
    std::wstring GetWindowTitle() override { return L"Test Title"; }
    void OnResetDevice() override { g_record->log.push_back("game reset"); }
    void OnLostDevice() override { g_record->log.push_back("game lost"); }
    void Update(double, float) override
    {
        Record& r = *g_record;
        ++r.updates;
        if (r.firstUpdate < 0.0)
            r.firstUpdate = Now();
        r.updateTimes.push_back(Now());
        r.log.push_back("update");
        if (r.updates == r.script.postUserAtUpdate)
        {
            r.userPostedAt = Now();
            Post(plat::WM_USER);
        }
        if (r.updates == r.script.toggleFullScreenAtUpdate)
            plat::DXUTToggleFullScreen();
        if (r.updates == r.script.closeAtUpdate ||
            (r.script.closeAfterSeconds > 0.0 && Now() - r.firstUpdate >= r.script.closeAfterSeconds))
            Post(plat::WM_CLOSE);
    }
    void Render(double, float) override
    {
        ++g_record->renders;
        g_record->log.push_back("render");
    }
    void Init() override
    {
        g_record->log.push_back(
            std::string("game init") + (g_pApp->GetInput() ? ", input" : "") +
            (g_pApp->GetSound() && SoundSystem::Instance().GetEventSystem() ? ", sound" : ""));
    }
    plat::LRESULT MsgProc(plat::UINT message, plat::WPARAM, plat::LPARAM) override
    {
        Record& r = *g_record;
        if (message == plat::WM_USER)
        {
            r.userDispatchedAt = Now();
            r.updatesAtDispatch = r.updates;
            r.rendersAtDispatch = r.renders;
        }
        if (message == plat::WM_CLOSE)
            r.log.push_back("msg close");
        if (message == plat::WM_DESTROY)
            r.log.push_back("msg destroy");
        return 0;
    }
};

// Graphics and physics stand-ins: they log, and graphics makes the device as the real one does.
class TestApp : public CDorvoApp
{
public:
    bool failGraphics = false;

    CDorvoGame* CreateGame() override
    {
        g_record->log.push_back("create game");
        return new TestGame();
    }

protected:
    gfx::CDorvoGfx* GraphicsInstance() override
    {
        g_record->log.push_back("graphics instance");
        return reinterpret_cast<gfx::CDorvoGfx*>(&m_graphicsToken);
    }
    bool InitGraphics(const SEngineConfigInfo& config) override
    {
        g_record->log.push_back("graphics init " + std::to_string(config.screenWidth));
        if (failGraphics)
            return false;
        return plat::SUCCEEDED(plat::DXUTCreateDevice(plat::D3DADAPTER_DEFAULT, true, 800, 600));
    }
    void LoseGraphicsDevice() override { g_record->log.push_back("graphics lost"); }
    void ResetGraphicsDevice() override { g_record->log.push_back("graphics reset"); }
    void TakeGraphicsScreenShot(const std::string& name) override
    {
        g_record->log.push_back("screenshot '" + name + "'");
    }
    phy::DynamicsEngine* DynamicsInstance() override
    {
        g_record->log.push_back("dynamics instance");
        return reinterpret_cast<phy::DynamicsEngine*>(&m_dynamicsToken);
    }
    void InitDynamics() override
    {
        g_record->log.push_back(std::string("dynamics init") + (GetInput() ? ", input" : ""));
    }

private:
    int m_graphicsToken = 0; // stands for the singletons' addresses
    int m_dynamicsToken = 0;
};

class TestLoader : public ACLoader<SEngineConfigInfo>
{
public:
    void Load(const std::string& fileName) override
    {
        g_record->log.push_back("load " + fileName);
        m_data.screenWidth = 1024;
    }
};

class CDorvoAppTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plat::headless::Reset();
        plat::soundtest::ClearFailures();
        plat::dinputtest::ClearFailures();
        plat::inputfeed::Reset();
        plat::testclock::Set(1.0);
        // Every read of the counter moves the clock on, so busy-waits end.
        plat::testclock::SetAutoAdvance(0.0001);
        g_record = &record;
    }

    void TearDown() override
    {
        plat::testclock::SetAutoAdvance(0.0);
        plat::soundtest::ClearFailures();
        plat::dinputtest::ClearFailures();
        plat::headless::Reset();
        g_record = nullptr;
    }

    int Run(TestApp* app = new TestApp())
    {
        TestLoader loader;
        return RunApplication(std::unique_ptr<CDorvoApp>(app), loader, "dir/config.xml");
    }

    static long Count(const Log& log, const std::string& entry)
    {
        return std::count(log.begin(), log.end(), entry);
    }

    // Starts an application by hand for tests that drive the frame driver themselves.
    TestApp* Start()
    {
        auto* app = new TestApp();
        g_pApp = app;
        EXPECT_TRUE(app->Init(loader, "config.xml"));
        record.log.clear();
        return app;
    }
    void Stop()
    {
        g_pApp->Shutdown();
        delete g_pApp;
        g_pApp = nullptr;
    }

    Record record;
    TestLoader loader;
};
} // namespace

TEST_F(CDorvoAppTest, StartsInOrderRunsFramesAndShutsDownInOrder)
{
    record.script.closeAtUpdate = 3;
    EXPECT_EQ(Run(), 0);

    const Log expected = {
        "graphics instance",
        "load dir/config.xml",
        "graphics init 1024", // the loaded record reaches graphics
        "graphics reset",     // the callbacks were installed before the device was made
        "create game",
        "dynamics instance",
        "dynamics init, input",
        "game init, input, sound",
        "update",
        "render",
        "update",
        "render",
        "update",
        "render",
        "msg close",
        "msg destroy",
    };
    // The game is deleted by Shutdown before the event manager and sound go.
    Log log = record.log;
    auto deleted = std::find(log.begin(), log.end(), "game deleted, events alive, sound alive");
    ASSERT_NE(deleted, log.end()) << ::testing::PrintToString(log);
    log.erase(deleted);
    EXPECT_EQ(log, expected);

    EXPECT_EQ(g_pApp, nullptr);
    EXPECT_EQ(g_pEventManager, nullptr);
    EXPECT_EQ(plat::soundtest::LiveEventSystems(), 0);
    EXPECT_EQ(plat::dinputtest::LiveInterfaces(), 0);
    EXPECT_EQ(plat::dinputtest::LiveDevices(), 0);
    EXPECT_FALSE(plat::headless::HasWindow());
}

TEST_F(CDorvoAppTest, TheWindowTakesTheGameTitleAndTheSystemCursorIsHidden)
{
    Start();
    EXPECT_EQ(plat::headless::WindowTitle(), L"Test Title");
    EXPECT_NE(g_pEventManager, nullptr);
    EXPECT_TRUE(g_pApp->IsActive());

    for (plat::UINT message :
         {plat::WM_SETCURSOR, plat::WM_MOUSEMOVE, plat::WM_LBUTTONDOWN, plat::WM_MBUTTONDBLCLK})
    {
        SCOPED_TRACE(message);
        plat::SetCursor(plat::ArrowCursor());
        EXPECT_EQ(CDorvoApp::MsgProc(plat::DXUTGetHWND(), message, 0, 0, nullptr, nullptr), 1);
        EXPECT_FALSE(plat::headless::IsCursorVisible());
    }
    plat::SetCursor(plat::ArrowCursor());
    EXPECT_EQ(CDorvoApp::MsgProc(plat::DXUTGetHWND(), plat::WM_MOUSEWHEEL, 0, 0, nullptr, nullptr), 0);
    EXPECT_TRUE(plat::headless::IsCursorVisible());
    Stop();
}

TEST_F(CDorvoAppTest, AFailedDeviceEndsStartUpBeforeTheGameExists)
{
    auto* app = new TestApp();
    app->failGraphics = true;
    EXPECT_NE(Run(app), 0);
    EXPECT_EQ(record.log, (Log{"graphics instance", "load dir/config.xml", "graphics init 1024"}));
    EXPECT_EQ(g_pApp, nullptr);
    EXPECT_EQ(g_pEventManager, nullptr);
}

TEST_F(CDorvoAppTest, AFailedSoundStartIsReportedAndReleasesWhatStarted)
{
    plat::soundtest::FailCall(plat::soundtest::Call::Init);
    testsupport::LogCapture logged;
    const int code = Run();
    const std::string err = logged.Text();

    EXPECT_NE(code, 0);
    EXPECT_TRUE(logged.Contains("CDorvoApp::Init: Failure to initialize the Sound System!; start-up ends"))
        << err;
    EXPECT_EQ(Count(record.log, "create game"), 1);
    EXPECT_EQ(Count(record.log, "game deleted, events alive"), 1) << "the game made before sound is deleted";
    for (const std::string& entry : record.log)
    {
        EXPECT_EQ(entry.find("dynamics"), std::string::npos) << entry;
        EXPECT_EQ(entry.find("game init"), std::string::npos) << entry;
    }
    EXPECT_EQ(plat::dinputtest::LiveInterfaces(), 0) << "input never started";
    EXPECT_EQ(plat::soundtest::LiveEventSystems(), 0);
    EXPECT_EQ(err.find("shutdown"), std::string::npos)
        << "sound that never started is not shut down: " << err;
}

TEST_F(CDorvoAppTest, AFailedInputStartIsReportedAndShutsSoundDown)
{
    plat::dinputtest::FailCall(plat::dinputtest::Call::Create, plat::DIDEVICEGUID{});
    testsupport::LogCapture logged;
    const int code = Run();
    const std::string err = logged.Text();

    EXPECT_NE(code, 0);
    EXPECT_TRUE(logged.Contains("CDorvoApp::Init: Failure to initialize the Input System!; start-up ends"))
        << err;
    EXPECT_EQ(Count(record.log, "game deleted, events alive, sound alive"), 1);
    EXPECT_EQ(plat::soundtest::LiveEventSystems(), 0);
    EXPECT_EQ(plat::dinputtest::LiveInterfaces(), 0);
    for (const std::string& entry : record.log)
        EXPECT_EQ(entry.find("game init"), std::string::npos) << entry;
}

TEST_F(CDorvoAppTest, AFailedSoundShutdownStillReleasesInputAndExitsNonZero)
{
    record.script.closeAtUpdate = 1;
    plat::soundtest::FailCall(plat::soundtest::Call::Release);
    testsupport::LogCapture logged;
    const int code = Run();
    const std::string err = logged.Text();
    plat::soundtest::ClearFailures();

    EXPECT_NE(code, 0);
    EXPECT_TRUE(
        logged.Contains("CDorvoApp::Shutdown: Failure to shutdown the sound system!; the rest is shut "
                        "down all the same"))
        << err;
    EXPECT_EQ(plat::dinputtest::LiveInterfaces(), 0);
    EXPECT_EQ(plat::dinputtest::LiveDevices(), 0);
}

TEST_F(CDorvoAppTest, TwoSecondsOfClockGiveSixtyFramesEachUpdateFollowedByARender)
{
    record.script.closeAfterSeconds = 2.0;
    EXPECT_EQ(Run(), 0);

    // Updates before the one that found 2 s had passed.
    EXPECT_NEAR(record.updates - 1, 60, 1);
    Log frames;
    for (const std::string& entry : record.log)
        if (entry == "update" || entry == "render")
            frames.push_back(entry);
    ASSERT_EQ(frames.size() % 2, 0u);
    for (std::size_t i = 0; i < frames.size(); i += 2)
    {
        EXPECT_EQ(frames[i], "update");
        EXPECT_EQ(frames[i + 1], "render");
    }
}

// The wait after a frame sleeps until about 2 ms remain and spins the rest: a frame every
// 1/30 s, none early and none late, and the main thread asleep for most of the time between.
TEST_F(CDorvoAppTest, FramesComeEveryThirtiethOfASecondWithTheWaitMostlyAsleep)
{
    record.script.closeAfterSeconds = 1.0;
    EXPECT_EQ(Run(), 0);

    const std::vector<double>& at = record.updateTimes;
    ASSERT_GE(at.size(), 30u);
    for (std::size_t i = 1; i < at.size(); ++i)
    {
        SCOPED_TRACE("frame " + std::to_string(i));
        EXPECT_GE(at[i] - at[i - 1], kFrameSeconds - 1e-6);
        // A spin reads the clock, which moves it 0.1 ms here.
        EXPECT_LE(at[i] - at[i - 1], kFrameSeconds + 0.0005);
    }
    EXPECT_GE(plat::testclock::SleptSeconds(), 0.85 * (at.back() - at.front()));
}

TEST_F(CDorvoAppTest, AMessageArrivingDuringTheWaitIsDispatchedAfterIt)
{
    record.script.postUserAtUpdate = 4;
    record.script.closeAtUpdate = 6;
    EXPECT_EQ(Run(), 0);

    ASSERT_GE(record.userDispatchedAt, 0.0);
    EXPECT_EQ(record.updatesAtDispatch, 4);
    EXPECT_EQ(record.rendersAtDispatch, 4);
    // The pass that ran frame 4 began a little before its update and spun for 1/30 s.
    EXPECT_GE(record.userDispatchedAt - record.userPostedAt, kFrameSeconds - 0.002);
}

TEST_F(CDorvoAppTest, ALostDeviceTellsTheGameThenGraphicsAndResetsTheOtherWayRound)
{
    record.script.toggleFullScreenAtUpdate = 2;
    record.script.closeAtUpdate = 3;
    EXPECT_EQ(Run(), 0);

    const Log frames(record.log.begin() + 8, record.log.begin() + 18);
    EXPECT_EQ(frames, (Log{"update", "render", "update", "render", "game lost", "graphics lost",
                           "graphics reset", "game reset", "update", "render"}));
}

TEST_F(CDorvoAppTest, NoFrameReachesTheGameWhileTheDeviceIsLost)
{
    Start();
    CDorvoApp::OnLostDevice(nullptr);
    EXPECT_FALSE(g_pApp->IsActive());
    const int presents = plat::headless::PresentCount();
    plat::DXUTRender3DEnvironment();
    plat::DXUTRender3DEnvironment();
    EXPECT_EQ(plat::headless::PresentCount(), presents + 2) << "the frame driver still runs frames";
    EXPECT_EQ(record.log, (Log{"game lost", "graphics lost"}));

    CDorvoApp::OnResetDevice(plat::DXUTGetD3D9Device(), plat::DXUTGetD3D9BackBufferSurfaceDesc(), nullptr);
    plat::DXUTRender3DEnvironment();
    EXPECT_EQ(record.log,
              (Log{"game lost", "graphics lost", "graphics reset", "game reset", "update", "render"}));
    EXPECT_GT(g_pApp->GetFrameTime(), 0.0f) << "the frame time is kept";
    Stop();
}

TEST_F(CDorvoAppTest, F1AsksGraphicsForOneNumberedScreenshotAfterTheGameSawIt)
{
    Start();
    for (plat::WPARAM key : {plat::VK_F2, plat::VK_F1, plat::VK_ESCAPE})
        plat::SendMessageW(plat::DXUTGetHWND(), plat::WM_KEYDOWN, key, 0);
    EXPECT_EQ(record.log, (Log{"screenshot ''"}));
    EXPECT_TRUE(plat::headless::HasWindow()) << "no default hot key closes the window";
    Stop();
}

TEST_F(CDorvoAppTest, ShutdownReturnsTheFrameDriversExitCodeAndIsSafeWithoutAnApp)
{
    EXPECT_EQ(CDorvoApp::MsgProc(nullptr, plat::WM_DESTROY, 0, 0, nullptr, nullptr), 0);
    plat::MSG msg;
    EXPECT_FALSE(plat::PeekMessageW(&msg, nullptr, 0, 0, plat::PM_REMOVE))
        << "no quit without an application";
    CDorvoApp::OnLostDevice(nullptr);
    EXPECT_EQ(CDorvoApp::OnResetDevice(nullptr, nullptr, nullptr), plat::S_OK);

    Start();
    EXPECT_EQ(g_pApp->Shutdown(), plat::DXUTGetExitCode());
    EXPECT_EQ(g_pApp->GetGame(), nullptr);
    EXPECT_EQ(g_pApp->GetInput(), nullptr);
    EXPECT_EQ(g_pApp->GetSound(), nullptr);
    EXPECT_EQ(g_pApp->GetGraphics(), nullptr);
    EXPECT_EQ(g_pApp->GetDynamics(), nullptr);
    delete g_pApp;
    g_pApp = nullptr;
}
