// The application: starts the engine in a fixed order (frame driver, event manager,
// configuration, graphics, game, sound, input, physics, the game's own start-up), receives the
// frame driver's callbacks and hands them to the game, and tears everything down again. The
// one instance is reached through g_pApp. It owns the game and the input system; graphics,
// sound and physics are singletons it only points at.
//
// Graphics and physics are layers above the engine core, so the shell reaches them through the
// pure operations below, which the game's application implements.
#pragma once

#include "engine/ACLoader.h"
#include "engine/SEngineConfigInfo.h"
#include "platform/d3d9.h"
#include "platform/win32.h"

#include <memory>
#include <string>

namespace dorvo
{
class CDorvoGame;
class CPicker;
class SoundSystem;

namespace gfx
{
class CDorvoGfx;
}
namespace phy
{
class DynamicsEngine;
}
namespace input
{
class InputSystem;
}

class CDorvoApp
{
public:
    using SEngineConfigInfo = dorvo::SEngineConfigInfo;

    CDorvoApp();
    virtual ~CDorvoApp();
    CDorvoApp(const CDorvoApp&) = delete;
    CDorvoApp& operator=(const CDorvoApp&) = delete;

    // A new game; the application owns it.
    virtual CDorvoGame* CreateGame() = 0;

    // Start-up. False when graphics, sound or input could not start; what did start stays
    // for Shutdown to release. The failure's text has gone to the log.
    bool Init(ACLoader<SEngineConfigInfo>& loader, const std::string& configPath);
    // Tears down in order (game, event manager, sound, input). Returns the process exit code:
    // the frame driver's, or 1 when sound would not shut down.
    int Shutdown();

    // Frame-driver callbacks; each finds the application through g_pApp.
    static void OnFrameMove(plat::IDirect3DDevice9* device, double time, float elapsed, void* context);
    static void OnFrameRender(plat::IDirect3DDevice9* device, double time, float elapsed, void* context);
    static void OnLostDevice(void* context);
    static plat::HRESULT OnResetDevice(plat::IDirect3DDevice9* device,
                                       const plat::D3DSURFACE_DESC* backBuffer, void* context);
    static plat::LRESULT MsgProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                 plat::LPARAM lParam, bool* noFurtherProcessing, void* context);

    CDorvoGame* GetGame() const { return m_pGame.get(); }
    gfx::CDorvoGfx* GetGraphics() const { return m_pGraphics; }
    SoundSystem* GetSound() const { return m_pSound; }
    phy::DynamicsEngine* GetDynamics() const { return m_pDynamics; }
    input::InputSystem* GetInput() const { return m_pInput.get(); }
    // False from device lost to device reset; frames do nothing then.
    bool IsActive() const { return m_active; }
    // Seconds of the last frame move.
    float GetFrameTime() const { return m_frameTime; }

    // The picker that turns a click into a picked object. A default one exists from
    // construction; the game installs its own here, and the previous one is deleted.
    void SetPicker(CPicker* picker);
    CPicker* GetPicker() const { return m_pPicker.get(); }

protected:
    virtual gfx::CDorvoGfx* GraphicsInstance() = 0;
    // Creates the device and with it the main window; false when that failed (graphics has
    // told the user already).
    virtual bool InitGraphics(const SEngineConfigInfo& config) = 0;
    virtual void LoseGraphicsDevice() = 0;
    virtual void ResetGraphicsDevice() = 0;
    // An empty name lets graphics number the file.
    virtual void TakeGraphicsScreenShot(const std::string& fileName) = 0;
    virtual phy::DynamicsEngine* DynamicsInstance() = 0;
    virtual void InitDynamics() = 0;

private:
    bool InitSteps(ACLoader<SEngineConfigInfo>& loader, const std::string& configPath);

    std::unique_ptr<CDorvoGame> m_pGame;
    gfx::CDorvoGfx* m_pGraphics = nullptr;
    SoundSystem* m_pSound = nullptr;
    phy::DynamicsEngine* m_pDynamics = nullptr;
    std::unique_ptr<input::InputSystem> m_pInput;
    bool m_active = true;
    float m_frameTime = 0.0f; // seconds
    std::unique_ptr<CPicker> m_pPicker;
};
} // namespace dorvo

// The one application; set by the program entry before start-up, cleared after it is deleted.
extern dorvo::CDorvoApp* g_pApp;
