// The program's life around an application object: start-up, the message loop that runs at
// most one frame per 1/30 s, shutdown. The game's entry makes the application and the
// configuration loader and hands them here.
#pragma once

#include "engine/ACLoader.h"
#include "engine/SEngineConfigInfo.h"

#include <memory>
#include <string>

namespace dorvo
{
class CDorvoApp;

// 1/30 s as a 32-bit float: the frame pacing and the physics step.
constexpr float kFrameSeconds = 0.033333335f;

// Makes app the one application (g_pApp), starts it with the configuration at configPath,
// pumps window messages (one per loop pass) and runs a frame in every pass that finds the
// queue empty, then waits (asleep, the last 2 ms spun) until 1/30 s has passed since the pass
// began. Ends on WM_QUIT,
// shuts down, deletes the application and releases the window and device. Returns the
// process exit code: non-zero when start-up or shutdown failed.
int RunApplication(std::unique_ptr<CDorvoApp> app, ACLoader<SEngineConfigInfo>& loader,
                   const std::string& configPath);

// The loop of RunApplication on the application already started: pumps window messages and
// runs frames until the pass that takes WM_QUIT off the queue.
void RunMessageLoop();
} // namespace dorvo
