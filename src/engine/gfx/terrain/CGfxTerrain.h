// The unit of a terrain component: a grid of rows along z, each of columns along x, centred on
// the object's origin, its heights sampled from the height-map image and scaled by the
// component's amplitude, two triangles per cell. The unit owns its vertex and index arrays and
// its device buffers (which follow device loss and reset through the facade) and shares one BSP
// tree per height-map name. It draws with the component's effect, technique, material and tile
// factor, and its stage-4 texture as the blend texture.
#pragma once

#include "engine/gfx/core/CGfxUnit.h"

#include <string>
#include <vector>

namespace dorvo
{
namespace gfx
{
class GfxTerrainComp;

class CGfxTerrain : public CGfxUnit
{
public:
    CGfxTerrain();
    ~CGfxTerrain() override;

    // ---- The terrain component's fields ----
    const std::string& GetFXFile() const override;
    const std::string& GetTechnique() const override;
    // "Invalid.x": a terrain has no mesh.
    const std::string& GetMeshName() const override;
    void SetFXFile(const std::string& fxFile) override;
    void SetTechnique(const std::string& technique) override;
    // Never transparent; SetTransparent does nothing.
    bool IsTransparent() const override { return false; }
    void SetTransparent(bool) override {}
    bool IsWireframe() const override;

    // CreateGeometry with the component's height map and the flag.
    bool Build(Component* component, math::Sphere* sphere, math::AABB* box, bool buildBSP) override;
    // World, view, projection and world-view-projection; the component's effect, technique,
    // material and tile factor; the stage-4 texture as the blend texture; the own buffers.
    void PrepareMatrices() override;
    // Nothing moves on a terrain.
    void UpdateAnimation(float, float) override {}
    // Lets go of the heights and everything CGfxUnit holds.
    void ReleaseResources() override;

    // Builds the grid for the component (see the class comment) from the height map (a file in
    // the texture folder; one that cannot be read gives a flat grid), fills the bounds asked
    // for (null: not wanted), makes the device buffers and, when asked, the BSP tree under the
    // height map's name unless one is there already. False, with nothing built, without a
    // component or for a grid of fewer than 2 rows or columns or more than 65,536 vertices.
    bool CreateGeometry(GfxTerrainComp* component, math::Sphere* sphere, math::AABB* box,
                        const std::string& heightMap, bool buildBSP);

    GfxTerrainComp* GetComponent() const { return m_pTerrain; }
    // One per vertex, row by row, 0 to 1 as read from the image.
    const std::vector<float>& GetHeights() const { return m_heights; }

protected:
    POVComp* GetPOV() const override;
    const GfxUnitFields* GetUnitFields() const override;

private:
    GfxTerrainComp* m_pTerrain = nullptr;
    std::vector<float> m_heights;
};
} // namespace gfx
} // namespace dorvo
