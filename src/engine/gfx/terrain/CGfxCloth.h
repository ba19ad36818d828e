// The unit of a cloth component: the owner's grid of W x H points (point (i, j) at j x W + i)
// as a triangle grid, vertex i x H + j from point (i, j), with fixed texture coordinates and
// indices. Every update copies the points into the vertices, recomputes the normals and tangent
// frames, refills the device buffers and gives the owner's position component the new local
// bounds. The unit owns its arrays and device buffers (which follow device loss and reset
// through the facade); with a BSP tree asked for, every cloth shares the one named "Cloth".
#pragma once

#include "engine/gfx/core/CGfxUnit.h"

#include <string>

namespace dorvo
{
namespace gfx
{
class GfxClothComp;

class CGfxCloth : public CGfxUnit
{
public:
    CGfxCloth();
    ~CGfxCloth() override;

    // ---- The cloth component's fields ----
    // The component's effect file (FXFile with ".fx" when it has none).
    const std::string& GetFXFile() const override;
    const std::string& GetTechnique() const override;
    // "Invalid.x": a cloth has no mesh.
    const std::string& GetMeshName() const override;
    void SetFXFile(const std::string& fxFile) override;
    void SetTechnique(const std::string& technique) override;
    bool IsTransparent() const override;
    void SetTransparent(bool transparent) override;
    bool IsWireframe() const override;

    // CreateGeometry with the flag.
    bool Build(Component* component, math::Sphere* sphere, math::AABB* box, bool buildBSP) override;
    // The own buffers; world, view, projection and world-view-projection; the component's
    // effect file, technique and material; tile factor 1.
    void PrepareMatrices() override;
    // The points into the vertices, the geometry passes, the device buffers refilled, the
    // owner's local bounds from the vertices. Nothing when the grid no longer has W x H points.
    void UpdateAnimation(float time, float dt) override;
    void ReleaseResources() override;

    // Builds the grid from the component's grid points (see the class comment), fills the
    // bounds asked for and makes the device buffers and, when asked, the shared "Cloth" BSP
    // tree unless it exists. False, with nothing built, without a component or grid, or for a
    // grid of fewer than 2 points either way, more than 65,536 points or fewer points than
    // its spans say.
    bool CreateGeometry(GfxClothComp* component, math::Sphere* sphere, math::AABB* box, bool buildBSP);

    GfxClothComp* GetComponent() const { return m_pCloth; }
    unsigned GetWidth() const { return m_width; }   // W, points along x
    unsigned GetHeight() const { return m_height; } // H, points along z

protected:
    POVComp* GetPOV() const override;
    const GfxUnitFields* GetUnitFields() const override;

private:
    GfxClothComp* m_pCloth = nullptr;
    unsigned m_width = 0;
    unsigned m_height = 0;
};
} // namespace gfx
} // namespace dorvo
