// The lights of the scene: a table of Direct3D light records filled from the engine
// configuration, whose slot 0 is the scene light that the frame applies (its type is 0, no
// light, until set), and the updaters that change that light every frame. Rooms read and write
// the light as XML (WriteLight, ReadLight). The manager owns its updaters.
#pragma once

#include "engine/gfx/core/ILightUpdater.h"
#include "platform/d3d9types.h"

#include <array>
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

    // Slots of the light table; the configuration may fill any of them.
    static constexpr std::size_t kLightSlots = 8;

    // The scene light: slot 0.
    plat::D3DLIGHT9& GetLight() { return m_lights[0]; }
    const plat::D3DLIGHT9& GetLight() const { return m_lights[0]; }
    void SetLight(const plat::D3DLIGHT9& light) { SetLight(0, light); }
    // False, nothing changed, for a slot past the table.
    bool SetLight(std::size_t slot, const plat::D3DLIGHT9& light);
    // Null for a slot past the table or one no light was put in.
    const plat::D3DLIGHT9* GetLight(std::size_t slot) const;

    // Each updater in the order added, with the scene light, seconds since start and since the
    // last frame.
    void Update(double time, float dt);
    // Null is refused.
    void AddUpdater(std::unique_ptr<ILightUpdater> updater);
    void ClearUpdaters();
    std::size_t GetUpdaterCount() const { return m_updaters.size(); }

private:
    std::array<plat::D3DLIGHT9, kLightSlots> m_lights{};
    std::array<bool, kLightSlots> m_slotSet{};
    std::vector<std::unique_ptr<ILightUpdater>> m_updaters;
};
} // namespace gfx
} // namespace dorvo
