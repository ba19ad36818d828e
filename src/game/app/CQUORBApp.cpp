#include "game/app/CQUORBApp.h"

#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/phy/DynamicsEngine.h"
#include "game/app/CQUORB.h"

namespace QUORB
{
dorvo::CDorvoGame* CQUORBApp::CreateGame()
{
    return new CQUORB();
}

dorvo::gfx::CDorvoGfx* CQUORBApp::GraphicsInstance()
{
    return &dorvo::gfx::CDorvoGfx::Instance();
}

bool CQUORBApp::InitGraphics(const SEngineConfigInfo& config)
{
    return GetGraphics()->Init(config);
}

void CQUORBApp::LoseGraphicsDevice()
{
    GetGraphics()->OnLostDevice();
}

void CQUORBApp::ResetGraphicsDevice()
{
    GetGraphics()->OnResetDevice();
}

void CQUORBApp::TakeGraphicsScreenShot(const std::string& fileName)
{
    GetGraphics()->TakeScreenShot(fileName);
}

dorvo::phy::DynamicsEngine* CQUORBApp::DynamicsInstance()
{
    return &dorvo::phy::DynamicsEngine::Instance();
}

void CQUORBApp::InitDynamics()
{
    GetDynamics()->Init();
}
} // namespace QUORB
