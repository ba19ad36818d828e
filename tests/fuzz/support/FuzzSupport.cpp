#include "FuzzSupport.h"

#include "common/Assert.h"
#include "common/COctTree.h"
#include "common/ConsoleInterface.h"
#include "common/Scheduler.h"
#include "common/math/AABB.h"
#include "engine/GobManager.h"
#include "engine/RegisterCoreComponentTypes.h"
#include "engine/StateMachineComponent.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/phy/DynamicsEngine.h"

#include <sanitizer/common_interface_defs.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace fuzzsupport
{
namespace
{
std::string s_folder;
std::string s_previous;

void RemoveFolder()
{
    std::error_code ec;
    if (!s_folder.empty())
        std::filesystem::remove_all(s_folder, ec);
}

void CountAssert(const common::AssertReport&) {}
} // namespace

void Init()
{
    setenv("DORVO_HEADLESS", "1", 1);
    namespace fs = std::filesystem;
    s_previous = fs::current_path().string();
    std::string pattern = (fs::temp_directory_path() / "dorvo-fuzz-XXXXXX").string();
    if (char* made = ::mkdtemp(pattern.data()))
    {
        s_folder = made;
        std::atexit(&RemoveFolder);
    }
    common::SetAssertHandler(&CountAssert);
}

InWorkFolder::InWorkFolder()
{
    if (::chdir(s_folder.c_str()) != 0)
        Fail("cannot enter " + s_folder);
}

InWorkFolder::~InWorkFolder()
{
    if (::chdir(s_previous.c_str()) != 0)
        std::fputs("cannot leave the work folder\n", stderr);
}

void WriteFile(const std::string& name, const std::string& bytes)
{
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string RepoPath(const std::string& relative)
{
    return std::string(DORVO_SOURCE_DIR) + "/" + relative;
}

void Fail(const std::string& what)
{
    // Standard error is closed while fuzzing; the sanitizers' report goes where libFuzzer's does.
    const std::string line = "fuzz check failed: " + what;
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    __sanitizer_report_error_summary(line.c_str());
    std::abort();
}

void InitGameObjects()
{
    GobManager::Instance().RegisterConsoleCommands();
    common::ConsoleInterface::Instance().RegisterConsoleCommands();
    common::Scheduler::Instance().RegisterConsoleCommands();
    RegisterCoreComponentTypes();
    StateMachineComponent::RegisterType();
    dorvo::gfx::CDorvoGfx::Instance().RegisterComponentCreators();
    dorvo::phy::DynamicsEngine::Instance().Init();
    common::COctTree& octTree = common::COctTree::Global();
    octTree.SetDepth(4);
    octTree.SetWorldBox(
        math::AABB(math::Vector3(-90.0f, -90.0f, -90.0f), math::Vector3(150.0f, 630.0f, 150.0f)));
    octTree.Rebuild();
}

bool IsOneLine(const std::string& text)
{
    return !text.empty() && text.find('\n') == std::string::npos;
}
} // namespace fuzzsupport
