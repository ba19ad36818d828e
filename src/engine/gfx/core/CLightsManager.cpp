#include "engine/gfx/core/CLightsManager.h"

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
    for (plat::D3DLIGHT9& light : m_lights)
        light.Type = static_cast<plat::D3DLIGHTTYPE>(0);
}

CLightsManager::~CLightsManager()
{
    ClearUpdaters();
}

bool CLightsManager::SetLight(std::size_t slot, const plat::D3DLIGHT9& light)
{
    if (slot >= kLightSlots)
        return false;
    m_lights[slot] = light;
    m_slotSet[slot] = true;
    return true;
}

const plat::D3DLIGHT9* CLightsManager::GetLight(std::size_t slot) const
{
    return slot < kLightSlots && m_slotSet[slot] ? &m_lights[slot] : nullptr;
}

void CLightsManager::Update(double time, float dt)
{
    for (const std::unique_ptr<ILightUpdater>& updater : m_updaters)
        updater->Update(m_lights[0], time, dt);
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
