#include "engine/CDorvoApp.h"

#include "common/OutOfMemException.h"
#include "engine/CDorvoGame.h"
#include "engine/CEventManager.h"
#include "engine/CPicker.h"
#include "engine/SoundSystem.h"
#include "engine/input/InputSystem.h"
#include "platform/frame_driver.h"
#include "platform/log.h"

dorvo::CDorvoApp* g_pApp = nullptr;

namespace dorvo
{
namespace
{
// Channels the sound system mixes at once.
constexpr int kSoundChannels = 256;
// The line every start-up out-of-memory report has named, whatever step ran out.
constexpr int kInitOutOfMemoryLine = 178;

void ReportFailure(const char* where, const char* text, const char* instead)
{
    DORVO_LOG("%s: %s; %s", where, text, instead);
}
} // namespace

CDorvoApp::CDorvoApp() : m_pPicker(std::make_unique<CPicker>()) {}

CDorvoApp::~CDorvoApp() = default;

void CDorvoApp::SetPicker(CPicker* picker)
{
    if (picker != m_pPicker.get())
        m_pPicker.reset(picker);
}

bool CDorvoApp::Init(ACLoader<SEngineConfigInfo>& loader, const std::string& configPath)
{
    try
    {
        return InitSteps(loader, configPath);
    }
    catch (const common::COutOfMemException&)
    {
        throw common::COutOfMemException(__FILE__, kInitOutOfMemoryLine);
    }
}

bool CDorvoApp::InitSteps(ACLoader<SEngineConfigInfo>& loader, const std::string& configPath)
{
    plat::DXUTSetCallbackMsgProc(&CDorvoApp::MsgProc, nullptr);
    plat::DXUTSetCallbackFrameRender(&CDorvoApp::OnFrameRender, nullptr);
    plat::DXUTSetCallbackFrameMove(&CDorvoApp::OnFrameMove, nullptr);
    plat::DXUTSetCallbackDeviceLost(&CDorvoApp::OnLostDevice, nullptr);
    plat::DXUTSetCallbackDeviceReset(&CDorvoApp::OnResetDevice, nullptr);
    // No command line, no default hot keys, no framework message boxes, Alt+Enter handled.
    plat::DXUTInit(false, false, false, true);
    plat::DXUTSetCursorSettings(false, true);
    // The 2D layer is laid out in the back buffer's pixels: a window of any size shows that
    // picture scaled, as full screen does, instead of a back buffer of the window's size.
    plat::DXUTSetResizeSettings(true);

    delete g_pEventManager;
    g_pEventManager = new CEventManager();

    m_pGraphics = GraphicsInstance();
    loader.Load(configPath);
    if (!InitGraphics(*loader.GetData()))
        return false;

    m_pGame.reset(CreateGame());
    // The device made the window already, so this only gives it the game's title.
    plat::DXUTCreateWindow(m_pGame->GetWindowTitle().c_str(), nullptr, nullptr, nullptr, plat::CW_USEDEFAULT,
                           plat::CW_USEDEFAULT);

    m_pSound = &SoundSystem::Instance();
    if (!m_pSound->Init(kSoundChannels))
    {
        // The sound system released what it had made; there is nothing to shut down.
        m_pSound = nullptr;
        ReportFailure("CDorvoApp::Init", "Failure to initialize the Sound System!", "start-up ends");
        return false;
    }

    m_pInput = std::make_unique<input::InputSystem>();
    input::InputSystem::InputConfig inputConfig; // buffered, 1024-record buffers, axes -1000..1000
    if (!m_pInput->Init(inputConfig, plat::DXUTGetHINSTANCE(), plat::DXUTGetHWND()))
    {
        m_pInput.reset();
        ReportFailure("CDorvoApp::Init", "Failure to initialize the Input System!", "start-up ends");
        return false;
    }

    m_pDynamics = DynamicsInstance();
    InitDynamics();

    m_pGame->Init();
    return true;
}

int CDorvoApp::Shutdown()
{
    m_pGame.reset();
    delete g_pEventManager;
    g_pEventManager = nullptr;
    m_pGraphics = nullptr;

    bool soundDown = true;
    if (m_pSound && !m_pSound->Shutdown())
    {
        soundDown = false;
        ReportFailure("CDorvoApp::Shutdown", "Failure to shutdown the sound system!",
                      "the rest is shut down all the same");
    }
    m_pSound = nullptr;
    // Input is released even when sound failed: nothing else would release its devices.
    if (m_pInput)
    {
        m_pInput->Shutdown();
        m_pInput.reset();
    }
    m_pDynamics = nullptr;
    return soundDown ? plat::DXUTGetExitCode() : 1;
}

void CDorvoApp::OnFrameMove(plat::IDirect3DDevice9*, double time, float elapsed, void*)
{
    if (!g_pApp || !g_pApp->m_active)
        return;
    g_pApp->m_frameTime = elapsed;
    if (g_pApp->m_pGame)
        g_pApp->m_pGame->Update(time, elapsed);
}

void CDorvoApp::OnFrameRender(plat::IDirect3DDevice9*, double time, float elapsed, void*)
{
    if (!g_pApp || !g_pApp->m_active)
        return;
    if (g_pApp->m_pGame)
        g_pApp->m_pGame->Render(time, elapsed);
}

void CDorvoApp::OnLostDevice(void*)
{
    if (!g_pApp)
        return;
    if (g_pApp->m_pGame)
        g_pApp->m_pGame->OnLostDevice();
    if (g_pApp->m_pGraphics)
        g_pApp->LoseGraphicsDevice();
    g_pApp->m_active = false;
}

plat::HRESULT CDorvoApp::OnResetDevice(plat::IDirect3DDevice9*, const plat::D3DSURFACE_DESC*, void*)
{
    if (!g_pApp)
        return plat::S_OK;
    // During start-up the device is made before the game exists: only graphics resets then.
    if (g_pApp->m_pGraphics)
        g_pApp->ResetGraphicsDevice();
    if (g_pApp->m_pGame)
        g_pApp->m_pGame->OnResetDevice();
    g_pApp->m_active = true;
    return plat::S_OK;
}

plat::LRESULT CDorvoApp::MsgProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                 plat::LPARAM lParam, bool*, void*)
{
    if (!g_pApp)
        return 0;
    if (g_pApp->m_pGame)
        g_pApp->m_pGame->MsgProc(message, wParam, lParam);

    switch (message)
    {
    case plat::WM_KEYDOWN:
        // Handled here, after the game, so a screenshot works whatever menu is open.
        if (wParam == plat::VK_F1 && g_pApp->m_pGraphics)
            g_pApp->TakeGraphicsScreenShot(std::string());
        return 0;
    case plat::WM_DESTROY:
        plat::PostQuitMessage(0);
        return 0;
    case plat::WM_SYSKEYDOWN:
        return plat::DefWindowProcW(window, message, wParam, lParam);
    default:
        break;
    }
    // The game draws its own cursor, so the system one stays hidden over the window.
    if (message == plat::WM_SETCURSOR || (message >= plat::WM_MOUSEMOVE && message <= plat::WM_MBUTTONDBLCLK))
    {
        plat::SetCursor(nullptr);
        return 1;
    }
    return 0;
}
} // namespace dorvo
