#include "common/ConsoleHooks.h"

#include "common/loki/BaseFunctor.h"
#include "platform/win32.h"

namespace common
{
namespace
{
// Function-local so that hooks work even when used during static initialisation.
ConsoleLineHook& LineHook()
{
    static ConsoleLineHook hook;
    return hook;
}

ConsoleCommandHook& CommandHook()
{
    static ConsoleCommandHook hook;
    return hook;
}
} // namespace

void SetConsoleLineHook(ConsoleLineHook hook)
{
    LineHook() = std::move(hook);
}

void SetConsoleCommandHook(ConsoleCommandHook hook)
{
    CommandHook() = std::move(hook);
}

void ShowConsoleLine(const std::string& line)
{
    if (LineHook())
    {
        LineHook()(line);
        return;
    }
    plat::OutputDebugStringA((line + "\n").c_str());
}

bool RegisterConsoleCommand(const std::string& name, Loki::BaseFunctor* functor, const std::string& help)
{
    if (!CommandHook())
    {
        delete functor;
        return false;
    }
    CommandHook()(name, functor, help);
    return true;
}
} // namespace common
