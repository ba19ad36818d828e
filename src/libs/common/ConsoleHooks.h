// How the foundation's by-name machinery reaches the console without depending on it: the
// console installs two hooks at its construction, one that shows a line and one that registers
// a command with its help text. Until then lines go to the debug output and commands are refused.
#pragma once

#include <functional>
#include <string>

namespace Loki
{
class BaseFunctor;
}

namespace common
{
// Shows one line on the console (the console's WriteToConsole with flags FF_Display, no report).
using ConsoleLineHook = std::function<void(const std::string& line)>;
// Registers a console command; takes ownership of the functor in every case.
using ConsoleCommandHook =
    std::function<void(const std::string& name, Loki::BaseFunctor* functor, const std::string& help)>;

// An empty hook restores the default.
void SetConsoleLineHook(ConsoleLineHook hook);
void SetConsoleCommandHook(ConsoleCommandHook hook);

// Used by FunctionRegistry's reports.
void ShowConsoleLine(const std::string& line);
// Used by RegisterConsoleCommands of the foundation's classes (the scheduler's "TestScheduler").
// Without a hook the functor is deleted and false is returned.
bool RegisterConsoleCommand(const std::string& name, Loki::BaseFunctor* functor, const std::string& help);
} // namespace common
