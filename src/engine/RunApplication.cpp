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
            // Spins without sleeping and without looking at the queue: a steady 30 Hz.
            while (!countdown.IsExpired())
            {
            }
        }
    }
}
} // namespace dorvo
