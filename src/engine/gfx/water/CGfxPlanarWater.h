// Still, flat water: a unit quad in the local XZ plane (corners at +-0.5, facing up), scaled,
// placed and turned by the owner's transform and drawn with the water component's effect and
// technique, its no-wave values and the water manager's reflection and refraction maps. The
// quad's device buffers are its own: the unit enters the facade's list of units with device
// buffers and makes them again after a device reset. Its world plane is the local plane y = 0
// carried by the owner's transform.
#pragma once

#include "engine/gfx/core/D3DRenderBuffers.h"
#include "engine/gfx/core/GfxRenderBuffers.h"
#include "engine/gfx/core/SRenderRecord.h"
#include "engine/gfx/water/ACGfxWater.h"

#include <memory>

namespace dorvo
{
namespace gfx
{
class CGfxPlanarWater : public ACGfxWater
{
public:
    // The name of the BSP tree every planar water shares (the quad in local coordinates).
    static constexpr char kBSPTreeName[] = "PlanarNoWaveWater";

    CGfxPlanarWater();
    // Lets go of the quad's buffers and leaves the facade's list.
    ~CGfxPlanarWater() override;

    // The quad (four vertices, six indices), its device buffers with a new geometry id, the
    // bounds of the quad asked for and, with buildBSP, the shared tree when it does not exist.
    // False when the device buffers could not be made (the unit is drawn once the device is
    // reset).
    bool CreateGeometry(GfxWaterComp* owner, math::Sphere* sphere, math::AABB* box, unsigned unused,
                        bool buildBSP) override;

    // The quad's buffers, the core's view and projection, the owner's world matrix and
    // world-view-projection, the component's effect file, technique, material and no-wave values,
    // tile factor 1 and the textures of the unit's stages.
    void PrepareMatrices() override;
    const SRenderRecord* GetRenderRecord() const override { return &m_record; }
    // 2 once the quad is built, else 0.
    unsigned GetTriangleCount() const override;
    // Texture handles, the quad and its buffers; the component is forgotten.
    void ReleaseResources() override;

    void OnLostDevice() override;
    bool OnResetDevice() override;

    const GfxRenderBuffers& GetQuad() const { return m_quad; }
    // Null before CreateGeometry.
    const D3DRenderBuffers* GetDeviceBuffers() const { return m_pBuffers.get(); }

protected:
    // Unless the water type is 2: the plane (0, 1, 0, 0) through the inverse transpose of the
    // owner's world matrix, normalised.
    void ComputeWaterPlane() override;

private:
    void ReleaseGeometry();

    GfxRenderBuffers m_quad;
    std::unique_ptr<D3DRenderBuffers> m_pBuffers;
    SRenderRecord m_record;
    bool m_registered = false; // in the facade's list of units with device buffers
};
} // namespace gfx
} // namespace dorvo
