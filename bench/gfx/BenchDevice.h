// How the graphics benchmarks reach a device: the headless one, or OpenGL with Mesa's llvmpipe
// under an Xvfb display of the benchmark's own, and the headless device back afterwards for the
// benchmarks that run next. A benchmark that cannot have its device is skipped with the reason.
#pragma once

#include "VirtualDisplay.h"

#include "engine/gfx/core/CDorvoGfx.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace gfxbench
{
// Xvfb on a display of its own with one screen of that size ("864x664x24"), and the platform
// layer sent to it with Mesa's software renderer; false, the benchmark skipped, where Xvfb is
// missing or does not start.
inline bool StartLlvmpipeDisplay(benchmark::State& state, testsupport::VirtualDisplay& display,
                                 const std::string& screen)
{
    if (!testsupport::XvfbInstalled())
    {
        state.SkipWithError("Xvfb is not installed (package xvfb)");
        return false;
    }
    if (!display.Start(screen))
    {
        state.SkipWithError("Xvfb did not start");
        return false;
    }
    plat::headless::Reset();
    ::unsetenv("DORVO_HEADLESS");
    ::setenv("DISPLAY", display.Display().c_str(), 1);
    ::setenv("SDL_VIDEODRIVER", "x11", 1);
    ::setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    return true;
}

// The headless device from the start: for a benchmark on it, and after one on OpenGL for what
// runs next.
inline void UseHeadlessDevice()
{
    ::setenv("DORVO_HEADLESS", "1", 1);
    plat::headless::Reset();
}

// The facade started with config() on the headless device, then run(state, false) and the frame
// driver shut down.
template <typename Config, typename Run>
void RunOnHeadlessFacade(benchmark::State& state, Config config, Run run)
{
    UseHeadlessDevice();
    plat::DXUTInit(false, false, false, false);
    if (!dorvo::gfx::CDorvoGfx::Instance().Init(config()))
    {
        state.SkipWithError("no headless device");
        return;
    }
    run(state, false);
    plat::DXUTShutdown();
}

// The facade started with config() on OpenGL with llvmpipe under an Xvfb screen of 864 x 664
// (room for the 800 x 600 window), then run(state, true), the frame driver shut down and the
// headless device back.
template <typename Config, typename Run>
void RunOnLlvmpipeFacade(benchmark::State& state, Config config, Run run)
{
    testsupport::VirtualDisplay display;
    if (!StartLlvmpipeDisplay(state, display, "864x664x24"))
        return;
    plat::DXUTInit(false, false, false, false);
    if (dorvo::gfx::CDorvoGfx::Instance().Init(config()))
        run(state, true);
    else
        state.SkipWithError("the OpenGL device could not be made");
    plat::DXUTShutdown();
    UseHeadlessDevice();
}
} // namespace gfxbench
