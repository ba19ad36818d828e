#include "engine/gfx/CLightsManager.h"

#include "common/Assert.h"
#include "common/Singleton.h"

namespace dorvo
{
namespace gfx
{
ILightUpdater::~ILightUpdater() = default;

CLightsManager& CLightsManager::Instance()
{
    return *common::Singleton<CLightsManager>::Instance();
}

CLightsManager::CLightsManager()
{
    m_light.Type = static_cast<plat::D3DLIGHTTYPE>(0);
}

CLightsManager::~CLightsManager()
{
    ClearUpdaters();
}

void CLightsManager::Update(double time, float dt)
{
    for (const std::unique_ptr<ILightUpdater>& updater : m_updaters)
        updater->Update(m_light, time, dt);
}

void CLightsManager::AddUpdater(std::unique_ptr<ILightUpdater> updater)
{
    if (!DORVO_ASSERT(updater != nullptr, "CLightsManager::AddUpdater - no updater given."))
        return;
    m_updaters.push_back(std::move(updater));
}

void CLightsManager::ClearUpdaters()
{
    m_updaters.clear();
}
} // namespace gfx
} // namespace dorvo
