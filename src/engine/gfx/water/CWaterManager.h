// The water manager: the two render targets the frame draws the reflected and the refracted
// scene into before the water is drawn (back-buffer size and format, each with a D24S8 depth
// surface), the one active water whose plane the game asks for (buoyancy, the camera), and the
// water-visible mark the water graph's visibility walk sets when a water unit is inside the
// current viewport (the frame draws the maps only then and clears the mark at the end of every
// frame). The targets follow the device: released at loss, made again at reset.
#pragma once

#include "common/math/Matrix4.h"
#include "common/math/Plane.h"
#include "platform/d3d9.h"

#include <cstdint>

namespace dorvo
{
namespace gfx
{
class GfxWaterComp;

class CWaterManager
{
public:
    // The one manager of the program, made on first use (with its targets when there is a
    // device).
    static CWaterManager& Instance();

    CWaterManager();
    // Releases the targets.
    virtual ~CWaterManager();

    CWaterManager(const CWaterManager&) = delete;
    CWaterManager& operator=(const CWaterManager&) = delete;

    // ---- The targets ----
    // Both maps and their depth surfaces at the back buffer's size and format, after letting go
    // of what was held. False (one line) when one could not be made: that map is then left out
    // of the frame; without a device false and nothing said.
    bool CreateTargets();
    void ReleaseTargets();
    // Level 0 of the map, add-referenced (the caller releases it); null without the map.
    plat::IDirect3DSurface9* GetReflectionSurface() const;
    plat::IDirect3DSurface9* GetRefractionSurface() const;
    // The maps as textures and their depth surfaces, not add-referenced; null without them.
    plat::IDirect3DTexture9* GetReflectionTexture() const { return m_pReflection; }
    plat::IDirect3DTexture9* GetRefractionTexture() const { return m_pRefraction; }
    plat::IDirect3DSurface9* GetReflectionDepth() const { return m_pReflectionDepth; }
    plat::IDirect3DSurface9* GetRefractionDepth() const { return m_pRefractionDepth; }

    // ---- The active water ----
    // The planar water created last; null: none.
    GfxWaterComp* GetActiveWater() const { return m_pActiveWater; }
    void SetActiveWater(GfxWaterComp* water) { m_pActiveWater = water; }
    // Forgets the active water when it is this one (a water component going away).
    void ForgetWater(const GfxWaterComp* water);
    // The active water's world plane (a, b, c, d), recomputed from its owner's placement. False,
    // plane unchanged, without active water or when it has no unit.
    bool GetWaterPlane(math::Plane& plane) const;
    // The game-object id of the active water's owner; 0 without active water.
    std::uint32_t GetWaterGobID() const;
    // The mirror image in the active water's plane; the identity without one.
    math::Matrix4 GetReflectionMatrix() const;

    // ---- The water-visible mark ----
    bool IsWaterVisible() const { return m_waterVisible; }
    void SetWaterVisible(bool visible) { m_waterVisible = visible; }

private:
    plat::IDirect3DTexture9* m_pReflection = nullptr;
    plat::IDirect3DTexture9* m_pRefraction = nullptr;
    plat::IDirect3DSurface9* m_pReflectionDepth = nullptr;
    plat::IDirect3DSurface9* m_pRefractionDepth = nullptr;
    GfxWaterComp* m_pActiveWater = nullptr; // not owned
    bool m_waterVisible = false;
};
} // namespace gfx
} // namespace dorvo
