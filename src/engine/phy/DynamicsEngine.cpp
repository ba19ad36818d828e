#include "engine/phy/DynamicsEngine.h"

namespace dorvo
{
namespace phy
{
namespace
{
constexpr float kGravity = -9.8f; // world units per second squared
} // namespace

DynamicsEngine& DynamicsEngine::Instance()
{
    static DynamicsEngine instance;
    return instance;
}

DynamicsEngine::DynamicsEngine() : gravity(0.0f, kGravity, 0.0f) {}

void DynamicsEngine::Init()
{
    // The physics component creators, console commands and force creators are registered
    // here once they exist.
    m_initialised = true;
}

void DynamicsEngine::Update(float)
{
    if (paused)
        return;
}
} // namespace phy
} // namespace dorvo
