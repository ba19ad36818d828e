// Chooses and holds the window backend: headless when DORVO_HEADLESS=1, SDL otherwise.
#include "platform/window_backend.h"

#include <cstdlib>
#include <cstring>

namespace plat::detail
{
namespace
{
std::unique_ptr<WindowBackend>& Holder()
{
    static std::unique_ptr<WindowBackend> backend;
    return backend;
}
} // namespace

bool HeadlessRequested()
{
    const char* value = std::getenv("DORVO_HEADLESS");
    return value && std::strcmp(value, "1") == 0;
}

WindowBackend& Backend()
{
    auto& b = Holder();
    if (!b)
        b = HeadlessRequested() ? MakeHeadlessBackend() : MakeSdlBackend();
    return *b;
}

bool HasBackend()
{
    return Holder() != nullptr;
}

void DestroyBackend()
{
    Holder().reset();
}

HWND MainWindowHandle()
{
    static char window;
    return reinterpret_cast<HWND>(&window);
}
} // namespace plat::detail
