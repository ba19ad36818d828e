// The QUORB application: the engine's application that makes a CQUORB for its game and
// reaches the graphics facade and the physics world for the shell.
#pragma once

#include "engine/CDorvoApp.h"

namespace QUORB
{
class CQUORBApp : public dorvo::CDorvoApp
{
public:
    dorvo::CDorvoGame* CreateGame() override;

protected:
    dorvo::gfx::CDorvoGfx* GraphicsInstance() override;
    bool InitGraphics(const SEngineConfigInfo& config) override;
    void LoseGraphicsDevice() override;
    void ResetGraphicsDevice() override;
    void TakeGraphicsScreenShot(const std::string& fileName) override;
    dorvo::phy::DynamicsEngine* DynamicsInstance() override;
    void InitDynamics() override;
};
} // namespace QUORB
