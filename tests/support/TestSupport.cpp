#include "TestSupport.h"

#include "common/Assert.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

namespace testsupport
{
namespace
{
std::vector<CapturedAssert>& Captured()
{
    static std::vector<CapturedAssert> reports;
    return reports;
}

void CaptureHandler(const common::AssertReport& r)
{
    Captured().push_back(
        {r.condition ? r.condition : "", r.text ? r.text : "", r.file ? r.file : "", r.line});
}
} // namespace

AssertCapture::AssertCapture()
{
    Captured().clear();
    common::SetAssertHandler(&CaptureHandler);
}

AssertCapture::~AssertCapture()
{
    common::SetAssertHandler(nullptr);
    Captured().clear();
}

const std::vector<CapturedAssert>& AssertCapture::Reports() const
{
    return Captured();
}

std::vector<std::string> AssertCapture::Texts() const
{
    std::vector<std::string> texts;
    for (const auto& r : Captured())
        texts.push_back(r.text);
    return texts;
}

void AssertCapture::Clear()
{
    Captured().clear();
}

TempWorkDir::TempWorkDir()
{
    namespace fs = std::filesystem;
    m_previous = fs::current_path().string();
    std::string pattern = (fs::temp_directory_path() / "dorvo-test-XXXXXX").string();
    char* made = ::mkdtemp(pattern.data());
    m_path = made ? made : m_previous;
    fs::current_path(m_path);
}

TempWorkDir::~TempWorkDir()
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::current_path(m_previous, ec);
    if (m_path != m_previous)
        fs::remove_all(m_path, ec);
}

std::string RepoPath(const std::string& relative)
{
    return std::string(DORVO_SOURCE_DIR) + "/" + relative;
}

FileSizeLimit::FileSizeLimit(unsigned long bytes)
{
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_previousSoft = limit.rlim_cur;
    m_previousHard = limit.rlim_max;
    m_previousSignal = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    rlimit limit{};
    limit.rlim_cur = m_previousSoft;
    limit.rlim_max = m_previousHard;
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_previousSignal);
}

void MakeGameRunFolder(const std::string& data)
{
    namespace fs = std::filesystem;
    // ctest runs each test of a program as a process of its own, side by side, and all of them in
    // the program's one working folder: the first to make the run folder keeps it until it exits,
    // and the others wait for it.
    static const int lock = []()
    {
        const int fd = ::open(".game-run-folder.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0)
            ::flock(fd, LOCK_EX);
        return fd;
    }();
    static_cast<void>(lock);
    for (const fs::directory_entry& entry : fs::directory_iterator("."))
        if (entry.path().filename().string().rfind("DorvoScrshot_", 0) == 0)
            fs::remove(entry.path());
    for (const char* script : {"InitGame.lua", "Startup.lua"})
        fs::copy_file(RepoPath(std::string("data/scripts/") + script), script,
                      fs::copy_options::overwrite_existing);
    fs::remove_all("files");
    const fs::path target(data);
    if (target.has_parent_path())
        fs::create_directories(target.parent_path());
    fs::copy(RepoPath("data/" + data), target, fs::copy_options::recursive);
}
} // namespace testsupport
