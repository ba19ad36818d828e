// What every fuzz target shares: a headless start in a fresh temporary folder (removed at exit),
// files written there from the input, and checks beyond "no crash" that stop the run with a
// message when they fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzsupport
{
// Call from LLVMFuzzerInitialize: DORVO_HEADLESS=1, a fresh temporary folder for the target's
// files, failed assertions silenced (bad data may trip them; they report and continue as in the
// game).
void Init();

// While alive, the working folder is the temporary one; the previous one comes back afterwards,
// so libFuzzer finds the inputs and writes findings where the command line says.
class InWorkFolder
{
public:
    InWorkFolder();
    ~InWorkFolder();
    InWorkFolder(const InWorkFolder&) = delete;
    InWorkFolder& operator=(const InWorkFolder&) = delete;
};

void WriteFile(const std::string& name, const std::string& bytes);
std::string ReadFile(const std::string& name);
// A path under the repository (seed data the targets copy into their folder).
std::string RepoPath(const std::string& relative);

// Reports a broken expectation on standard error and aborts, so libFuzzer keeps the input.
[[noreturn]] void Fail(const std::string& what);

// What the game's start-up registers before loading templates: every component creator (engine,
// state machines, physics, graphics stand-ins), the console commands of the engine parts, and
// the oct tree's world.
void InitGameObjects();

// One report line: not empty and no line break inside.
bool IsOneLine(const std::string& text);
} // namespace fuzzsupport

#define FUZZ_CHECK(condition, what)                                                                          \
    do                                                                                                       \
    {                                                                                                        \
        if (!(condition))                                                                                    \
            ::fuzzsupport::Fail(std::string(#condition) + ": " + (what));                                    \
    } while (0)
