// The program on a real window and OpenGL device: a virtual X display (Xvfb) with Mesa's
// software renderer. The real application and game run a few seconds of frames, F1 saves a
// screenshot, closing the window ends the run. Skipped where Xvfb is not installed.
#include "game/CQUORB.h"
#include "game/CQUORBApp.h"

#include "TestSupport.h"
#include "engine/RunApplication.h"
#include "game/CEngineLoader.h"
#include "platform/files.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <stb_image.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace
{
bool Exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool XvfbInstalled()
{
    for (const char* dir : {"/usr/bin/", "/usr/local/bin/", "/bin/"})
        if (::access((std::string(dir) + "Xvfb").c_str(), X_OK) == 0)
            return true;
    return false;
}

// An Xvfb server on the first free display number from 120, stopped when this goes.
class VirtualDisplay
{
public:
    ~VirtualDisplay() { Stop(); }

    bool Start()
    {
        for (int n = 120; n < 220; ++n)
        {
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
            if (Exists(socket) || Exists("/tmp/.X" + std::to_string(n) + "-lock"))
                continue;
            const std::string display = ":" + std::to_string(n);
            std::vector<std::string> args = {"Xvfb",        display,     "-screen", "0",
                                             "1024x768x24", "-nolisten", "tcp"};
            std::vector<char*> argv;
            for (auto& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", 0x1 /* O_WRONLY */, 0);
            posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", 0x1, 0);
            const int rc = posix_spawnp(&m_pid, "Xvfb", &actions, nullptr, argv.data(), environ);
            posix_spawn_file_actions_destroy(&actions);
            if (rc != 0)
                return false;
            // Ready once its socket exists; a lost race for the number ends the server.
            for (int i = 0; i < 200; ++i)
            {
                if (Exists(socket))
                {
                    m_display = display;
                    return true;
                }
                int status;
                if (::waitpid(m_pid, &status, WNOHANG) == m_pid)
                {
                    m_pid = -1;
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            Stop();
        }
        return false;
    }

    void Stop()
    {
        if (m_pid > 0)
        {
            ::kill(m_pid, SIGTERM);
            int status;
            ::waitpid(m_pid, &status, 0);
            m_pid = -1;
        }
    }

    const std::string& Display() const { return m_display; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

// Sets environment variables for the test and puts the old values back.
class ScopedEnv
{
public:
    ~ScopedEnv()
    {
        for (auto& [name, old] : m_saved)
        {
            if (old.first)
                ::setenv(name.c_str(), old.second.c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }

    void Set(const char* name, const char* value)
    {
        if (!m_saved.count(name))
        {
            const char* old = std::getenv(name);
            m_saved[name] =
                old ? std::make_pair(true, std::string(old)) : std::make_pair(false, std::string());
        }
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }

private:
    std::map<std::string, std::pair<bool, std::string>> m_saved;
};

constexpr int kF1AtFrame = 60;    // two seconds in
constexpr int kCloseAtFrame = 90; // three seconds in
int g_frames = 0;

class PlayerGame : public QUORB::CQUORB
{
public:
    void Update(double time, float elapsed) override
    {
        QUORB::CQUORB::Update(time, elapsed);
        ++g_frames;
        if (g_frames == kF1AtFrame)
            plat::PostMessageW(plat::DXUTGetHWND(), plat::WM_KEYDOWN, plat::VK_F1, 0);
        if (g_frames == kCloseAtFrame)
            plat::PostMessageW(plat::DXUTGetHWND(), plat::WM_CLOSE, 0, 0);
    }
};

class PlayerApp : public QUORB::CQUORBApp
{
public:
    dorvo::CDorvoGame* CreateGame() override { return new PlayerGame(); }
};
} // namespace

TEST(QUORBSmokeTest, RunsAWindowForAFewSecondsAndF1SavesAScreenshotOfIt)
{
    if (!XvfbInstalled())
        GTEST_SKIP() << "Xvfb is not installed (package xvfb): the program is not run on a display here";
    VirtualDisplay display;
    ASSERT_TRUE(display.Start()) << "Xvfb did not start";
    plat::headless::Reset();
    ScopedEnv env;
    env.Set("DORVO_HEADLESS", nullptr);
    env.Set("DISPLAY", display.Display().c_str());
    env.Set("SDL_VIDEODRIVER", "x11");
    env.Set("SDL_AUDIODRIVER", "dummy");
    env.Set("LIBGL_ALWAYS_SOFTWARE", "1");
    testsupport::TempWorkDir dir;
    plat::testclock::Set(1.0);
    plat::testclock::SetAutoAdvance(0.0005);

    QUORB::CEngineLoader loader;
    const int code =
        dorvo::RunApplication(std::make_unique<PlayerApp>(), loader,
                              testsupport::RepoPath("data/files/xmlfiles/dorvo_engine_config.xml"));
    plat::testclock::SetAutoAdvance(0.0);

    EXPECT_EQ(code, 0);
    EXPECT_EQ(g_frames, kCloseAtFrame);
    const std::vector<std::string> shots = plat::ListFiles("DorvoScrshot_*.png");
    ASSERT_EQ(shots.size(), 1u);
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load(shots[0].c_str(), &width, &height, &channels, 3);
    ASSERT_NE(pixels, nullptr) << shots[0] << " is not a PNG";
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    // The frame clears to the configured fog colour (0.55, 0.6, 0.7): the shot holds the
    // finished frame, not an empty or already presented buffer.
    const int centre = (height / 2 * width + width / 2) * 3;
    EXPECT_NEAR(pixels[centre + 0], 140, 2);
    EXPECT_NEAR(pixels[centre + 1], 153, 2);
    EXPECT_NEAR(pixels[centre + 2], 179, 2);
    stbi_image_free(pixels);
    env.Set("DORVO_HEADLESS", "1");
    plat::headless::Reset();
}
