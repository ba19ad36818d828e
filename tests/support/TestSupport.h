// Helpers shared by every test program: captured assertions, a temporary working folder and
// the repository's data path. The test main runs headless on the test clock.
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

// Absolute path of a file under the repository, e.g. DataPath("data/files/xmlfiles/x.xml").
std::string RepoPath(const std::string& relative);
} // namespace testsupport
