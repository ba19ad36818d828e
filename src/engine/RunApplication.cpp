#include "engine/RunApplication.h"

#include "common/CountdownTimer.h"
#include "engine/CDorvoApp.h"
#include "platform/frame_driver.h"
#include "platform/win32.h"

#include <cstdlib>

namespace dorvo
{
namespace
{
// The last part of a frame's wait is spun rather than slept: a sleep may end up to about a
// scheduler tick late, and the next frame must neither come early nor drift late.
constexpr float kSpinSeconds = 0.002f;

// Sleeps in whole milliseconds until about kSpinSeconds remain, then spins until the countdown
// has expired, without looking at the message queue.
void WaitUntilExpired(common::CCountdownTimer& countdown)
{
    for (float remaining = countdown.GetTime(); remaining > 0.0f; remaining = countdown.GetTime())
    {
        const float sleepSeconds = remaining - kSpinSeconds;
        if (sleepSeconds >= 0.001f)
            plat::Sleep(static_cast<plat::DWORD>(sleepSeconds * 1000.0f));
    }
}

// The application is deleted and the frame driver released whichever way the run ends.
int EndRun(int exitCode)
{
    delete g_pApp;
    g_pApp = nullptr;
    plat::DXUTShutdown(exitCode);
    return exitCode;
}
} // namespace

int RunApplication(std::unique_ptr<CDorvoApp> app, ACLoader<SEngineConfigInfo>& loader,
                   const std::string& configPath)
{
    g_pApp = app.release();
    if (!g_pApp->Init(loader, configPath))
    {
        // What started is released again; the reason has gone to the log.
        g_pApp->Shutdown();
        return EndRun(1);
    }

    std::srand(plat::GetTickCount());
    RunMessageLoop();
    return EndRun(g_pApp->Shutdown());
}

void RunMessageLoop()
{
    plat::HWND window = plat::DXUTGetHWND();
    plat::MSG msg;
    msg.message = plat::WM_NULL;
    plat::PeekMessageW(&msg, nullptr, 0, 0, plat::PM_NOREMOVE);
    common::CCountdownTimer countdown(kFrameSeconds, false);
    while (msg.message != plat::WM_QUIT)
    {
        // Restarted in every pass, also in passes that only handle a message.
        countdown.Restart(kFrameSeconds);
        if (plat::PeekMessageW(&msg, nullptr, 0, 0, plat::PM_REMOVE))
        {
            if (plat::TranslateAcceleratorW(window, nullptr, &msg) == 0)
            {
                plat::TranslateMessage(&msg);
                plat::DispatchMessageW(&msg);
            }
        }
        else
        {
            plat::DXUTRender3DEnvironment();
            // Messages that come meanwhile wait for the following passes: a steady 30 Hz.
            WaitUntilExpired(countdown);
        }
    }
}
} // namespace dorvo
