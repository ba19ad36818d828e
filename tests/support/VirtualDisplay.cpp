#include "VirtualDisplay.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace testsupport
{
bool XvfbInstalled()
{
    const char* path = std::getenv("PATH");
    const std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size())
    {
        const size_t end = dirs.find(':', start);
        const std::string dir =
            dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!dir.empty() && ::access((dir + "/Xvfb").c_str(), X_OK) == 0)
            return true;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return false;
}

bool VirtualDisplay::Start(const std::string& screen)
{
    // Close-on-exec, so the server keeps only the copy on descriptor 3: when the pipe took
    // descriptor 3 itself, closing the read end after the copy would close the copy.
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    std::vector<std::string> args = {"Xvfb", "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp"};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    const int rc = posix_spawnp(&m_pid, "Xvfb", &actions, nullptr, argv.data(), environ);
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
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n <= 0)
            break;
        number.append(buf, static_cast<size_t>(n));
    }
    ::close(fds[0]);
    if (number.find('\n') == std::string::npos)
    {
        Stop();
        return false;
    }
    m_display = ":" + number.substr(0, number.find('\n'));
    return true;
}

void VirtualDisplay::Stop()
{
    if (m_pid > 0)
    {
        ::kill(m_pid, SIGTERM);
        int status;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
    }
}

ScopedEnv::~ScopedEnv()
{
    for (auto& [name, old] : m_saved)
    {
        if (old.first)
            ::setenv(name.c_str(), old.second.c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
}

void ScopedEnv::Set(const char* name, const char* value)
{
    if (!m_saved.count(name))
    {
        const char* old = std::getenv(name);
        m_saved[name] = old ? std::make_pair(true, std::string(old)) : std::make_pair(false, std::string());
    }
    if (value)
        ::setenv(name, value, 1);
    else
        ::unsetenv(name);
}

void UseOpenGLOn(const VirtualDisplay& display, ScopedEnv& env)
{
    env.Set("DORVO_HEADLESS", nullptr);
    env.Set("DISPLAY", display.Display().c_str());
    env.Set("SDL_VIDEODRIVER", "x11");
    env.Set("SDL_AUDIODRIVER", "dummy");
    env.Set("LIBGL_ALWAYS_SOFTWARE", "1");
}
} // namespace testsupport
