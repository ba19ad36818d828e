// Helpers shared by every test program: captured assertions, a temporary working folder, the
// repository's data path and a file size limit that makes a disk "full". The test main runs
// headless on the test clock.
#pragma once

#include <string>
#include <vector>

namespace testsupport
{
struct CapturedAssert
{
    std::string condition;
    std::string text;
    std::string file;
    int line;
};

// While alive, failed assertions are recorded instead of printed.
class AssertCapture
{
public:
    AssertCapture();
    ~AssertCapture();
    const std::vector<CapturedAssert>& Reports() const;
    std::vector<std::string> Texts() const;
    void Clear();
};

// Makes a fresh empty folder, changes into it, and changes back and removes it on exit.
class TempWorkDir
{
public:
    TempWorkDir();
    ~TempWorkDir();
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    std::string m_previous;
};

// Absolute path of a file under the repository, e.g. RepoPath("data/files/xmlfiles/x.xml").
std::string RepoPath(const std::string& relative);

// Makes the working folder a fresh run folder of the real game, as the build makes the game's:
// the F1 screenshots of an earlier run removed, the committed start-up scripts beside it, and
// `data` (a folder under data/, "files" or "files/xmlfiles") copied afresh to the same place
// below it. The configured data folders then
// resolve when the working folder lies four levels below the repository, as a test's does.
void MakeGameRunFolder(const std::string& data);

// While alive, this process writes no file past `bytes` (the kernel stops the write as a full
// disk would; the signal it sends is ignored). Unlike a read-only folder, it stops the superuser
// too.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(unsigned long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    unsigned long m_previousSoft = 0;
    unsigned long m_previousHard = 0;
    void (*m_previousSignal)(int) = nullptr;
};
} // namespace testsupport
