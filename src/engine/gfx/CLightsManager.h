// The scene light: one Direct3D light record that the frame applies (its type is 0, no light,
// until set) and the updaters that change it every frame. Rooms read and write the light as
// XML (WriteLight, ReadLight). The manager owns its updaters.
#pragma once

#include "engine/gfx/ILightUpdater.h"
#include "platform/d3d9types.h"

#include <memory>
#include <vector>

namespace dorvo
{
namespace gfx
{
class CLightsManager
{
public:
    // The one manager of the program, made on first use.
    static CLightsManager& Instance();

    CLightsManager();
    // Deletes the updaters.
    virtual ~CLightsManager();

    CLightsManager(const CLightsManager&) = delete;
    CLightsManager& operator=(const CLightsManager&) = delete;

    plat::D3DLIGHT9& GetLight() { return m_light; }
    const plat::D3DLIGHT9& GetLight() const { return m_light; }
    void SetLight(const plat::D3DLIGHT9& light) { m_light = light; }

    // Each updater in the order added, with the light, seconds since start and since the last
    // frame.
    void Update(double time, float dt);
    // Null is refused.
    void AddUpdater(std::unique_ptr<ILightUpdater> updater);
    void ClearUpdaters();
    std::size_t GetUpdaterCount() const { return m_updaters.size(); }

private:
    plat::D3DLIGHT9 m_light;
    std::vector<std::unique_ptr<ILightUpdater>> m_updaters;
};
} // namespace gfx
} // namespace dorvo
