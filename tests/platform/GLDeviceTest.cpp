// The real OpenGL device on a virtual X display (Xvfb) with Mesa's software renderer. Skipped
// where Xvfb is not installed.
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace plat;

namespace
{
bool OnPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size())
    {
        size_t end = dirs.find(':', start);
        std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!dir.empty() && ::access((dir + "/" + program).c_str(), X_OK) == 0)
            return true;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return false;
}

// An Xvfb server on a display number it picks itself (-displayfd, so tests running side by
// side never share one), stopped when this goes.
class VirtualDisplay
{
public:
    bool Start()
    {
        // Close-on-exec, so the server keeps only the copy on descriptor 3: when the pipe took
        // descriptor 3 itself, closing the read end after the copy would close the copy.
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return false;
        std::vector<std::string> args = {"Xvfb", "-displayfd", "3",         "-screen",
                                         "0",    "320x240x24", "-nolisten", "tcp"};
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
        int rc = posix_spawnp(&m_pid, "Xvfb", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        if (rc != 0)
        {
            m_pid = -1;
            ::close(fds[0]);
            return false;
        }
        // The server writes its display number once it accepts connections.
        std::string number;
        pollfd p = {fds[0], POLLIN, 0};
        while (number.find('\n') == std::string::npos && ::poll(&p, 1, 10000) > 0)
        {
            char buf[16];
            ssize_t n = ::read(fds[0], buf, sizeof buf);
            if (n <= 0)
                break;
            number.append(buf, static_cast<size_t>(n));
        }
        ::close(fds[0]);
        if (number.empty() || number.find('\n') == std::string::npos)
        {
            Stop();
            return false;
        }
        m_display = ":" + number.substr(0, number.find('\n'));
        return true;
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

    ~VirtualDisplay() { Stop(); }
    const std::string& Display() const { return m_display; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

// Sets environment variables for one test and puts the old values back.
class ScopedEnv
{
public:
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

private:
    std::map<std::string, std::pair<bool, std::string>> m_saved;
};

constexpr D3DCOLOR kClearColour = D3DCOLOR_XRGB(51, 102, 204);
constexpr D3DCOLOR kCornerColour = D3DCOLOR_XRGB(255, 0, 0);

// Mesa reads its settings once, when its driver first loads, and the driver then stays loaded
// for the process; a test that changes them needs a process that has made no context yet.
bool g_contextMade = false;

struct Frame
{
    std::vector<D3DCOLOR> pixels;
    bool read = false;
};

void RenderFrame(IDirect3DDevice9* device, double, float, void*)
{
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kClearColour, 1.0f, 0);
    D3DRECT corner = {0, 0, 8, 4}; // top left, in top-down pixels
    device->Clear(1, &corner, D3DCLEAR_TARGET, kCornerColour, 1.0f, 0);
}

void ReadFrame(IDirect3DDevice9* device, void* ctx)
{
    auto* f = static_cast<Frame*>(ctx);
    f->read = device->ReadBackBuffer(f->pixels);
}

class GLDeviceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!OnPath("Xvfb"))
            GTEST_SKIP() << "Xvfb is not installed (package xvfb): the OpenGL device is not tested here";
        ASSERT_TRUE(display.Start()) << "Xvfb did not start";
        headless::Reset();
        env.Set("DORVO_HEADLESS", nullptr);
        env.Set("DISPLAY", display.Display().c_str());
        env.Set("SDL_VIDEODRIVER", "x11");
        env.Set("LIBGL_ALWAYS_SOFTWARE", "1");
    }

    void TearDown() override
    {
        DXUTShutdown();
        env.Set("DORVO_HEADLESS", "1");
        headless::Reset();
    }

    VirtualDisplay display;
    ScopedEnv env;
};
} // namespace

TEST_F(GLDeviceTest, ClearsToAColourAndReadsItBackTopDown)
{
    Frame frame;
    DXUTInit(false, false, false, true);
    DXUTSetCallbackFrameRender(&RenderFrame);
    DXUTSetCallbackPrePresent(&ReadFrame, &frame);
    testing::internal::CaptureStderr();
    HRESULT hr = DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 64, 48);
    std::string err = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(SUCCEEDED(hr)) << err;
    g_contextMade = true;
    ASSERT_NE(DXUTGetHWND(), nullptr);
    D3DSURFACE_DESC desc = DXUTGetD3D9Device()->GetBackBufferDesc();
    ASSERT_EQ(desc.Width, 64u);
    ASSERT_EQ(desc.Height, 48u);

    EXPECT_TRUE(SUCCEEDED(DXUTRender3DEnvironment()));
    ASSERT_TRUE(frame.read);
    ASSERT_EQ(frame.pixels.size(), 64u * 48u);
    auto rgb = [&](int x, int y)
    { return frame.pixels[static_cast<size_t>(y) * 64 + static_cast<size_t>(x)] & 0xFFFFFF; };
    EXPECT_EQ(rgb(0, 0), kCornerColour & 0xFFFFFF);
    EXPECT_EQ(rgb(7, 3), kCornerColour & 0xFFFFFF);
    EXPECT_EQ(rgb(8, 3), kClearColour & 0xFFFFFF);
    EXPECT_EQ(rgb(0, 4), kClearColour & 0xFFFFFF);
    EXPECT_EQ(rgb(63, 47), kClearColour & 0xFFFFFF);
    EXPECT_EQ(rgb(32, 24), kClearColour & 0xFFFFFF);
}

TEST_F(GLDeviceTest, AContextBelowOpenGL33IsReportedNotCrashed)
{
    if (g_contextMade)
        GTEST_SKIP() << "Mesa has already loaded its driver in this process: run this test alone";
    env.Set("MESA_GL_VERSION_OVERRIDE", "2.1");
    DXUTInit(false, false, false, true);
    testing::internal::CaptureStderr();
    HRESULT hr = DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 64, 48);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(FAILED(hr));
    EXPECT_NE(err.find("OpenGL 3.3 core is not available"), std::string::npos) << err;
    EXPECT_EQ(DXUTGetHWND(), nullptr);
    EXPECT_EQ(DXUTGetD3D9Device(), nullptr);
}

TEST(GLDeviceNoDisplay, MissingDisplayIsReportedNotCrashed)
{
    ScopedEnv env;
    headless::Reset();
    env.Set("DORVO_HEADLESS", nullptr);
    env.Set("DISPLAY", ":999");
    env.Set("SDL_VIDEODRIVER", "x11");
    DXUTInit(false, false, false, true);
    testing::internal::CaptureStderr();
    HRESULT hr = DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 64, 48);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(FAILED(hr));
    EXPECT_NE(err.find("DXUTCreateDevice - could not create the device: no display"), std::string::npos)
        << err;
    DXUTShutdown();
    env.Set("DORVO_HEADLESS", "1");
    headless::Reset();
}
