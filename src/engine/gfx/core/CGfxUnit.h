// The graphics unit of a model component: a mesh of the mesh cache drawn with the component's
// effect, technique, material and up to six textures (owned handles), placed by the owner's
// transform. A mesh with animation sets gives the unit its own copy of the mesh's controller,
// which poses the unit's own vertex copy each frame into dynamic device buffers the unit owns;
// a static mesh is drawn from the cache's buffers. Units with device buffers of their own
// register with the facade, which lets them follow device loss and reset. The water, terrain
// and cloth units derive from this one.
#pragma once

#include "engine/gfx/core/D3DRenderBuffers.h"
#include "engine/gfx/core/GfxRenderBuffers.h"
#include "engine/gfx/core/IGfxUnit.h"
#include "engine/gfx/core/SRenderRecord.h"

#include <array>
#include <cstdint>
#include <memory>

class POVComp;

namespace dorvo
{
namespace gfx
{
class GfxModelComp;
class GfxUnitFields;

class CGfxUnit : public IGfxUnit
{
public:
    CGfxUnit();
    // ReleaseResources.
    ~CGfxUnit() override;

    CGfxUnit(const CGfxUnit&) = delete;
    CGfxUnit& operator=(const CGfxUnit&) = delete;

    // ---- The owning model component's fields (empty or false without one) ----
    const std::string& GetFXFile() const override;
    const std::string& GetTechnique() const override;
    const std::string& GetMeshName() const override;
    void SetFXFile(const std::string& fxFile) override;
    void SetTechnique(const std::string& technique) override;
    bool IsTransparent() const override;
    void SetTransparent(bool transparent) override;
    bool IsAlwaysVisible() const override;
    bool IsWireframe() const override;
    bool IsVisible() const override;
    bool IsShadowCaster() const override;

    // ---- Placement and bounds, from the owner's position component ----
    void GetWorldMatrix(math::Matrix4& world) const override;
    std::uint32_t GetBoundingType() const override;
    void GetBoundingSphere(math::Sphere& sphere) const override;
    void GetBoundingBox(math::AABB& box) const override;
    bool Overlaps(const IGfxUnit& other) const override;
    bool Overlaps(const IGfxUnit* other) const override;
    float GetViewDepth() const override;

    // ---- Textures ----
    CTextureHandle* GetTexture(unsigned stage) const override;
    // A stage outside 0 to 5 is refused with one line. A texture file that could not be loaded
    // is drawn as white.
    void LoadTexture(const std::string& file, unsigned stage) override;
    void SetTexture(std::unique_ptr<CTextureHandle> handle, unsigned stage) override;

    // ---- Drawing ----
    const SRenderRecord* GetRenderRecord() const override { return &m_record; }
    // 0 when the unit has no mesh.
    unsigned GetTriangleCount() const override;
    CAnimationController* GetAnimationController() const override { return m_pController.get(); }
    // ReleaseResources, then the mesh of the component's XFile from the cache ("Invalid.x" in
    // place of one that cannot be read); bounds over its vertices; its BSP tree, shared by
    // every unit of the mesh. An animated mesh gets its controller copy and the unit's own
    // vertex copy and device buffers. False, drawing nothing, when the component is not a
    // model component or no mesh could be had at all.
    bool Build(Component* component, math::Sphere* sphere, math::AABB* box, bool buildBSP) override;
    void PrepareMatrices() override;
    // Poses the vertices (dt seconds) and refills the unit's device buffers with discard.
    void UpdateAnimation(float time, float dt) override;
    void SetUserWord(std::uint32_t word) override;
    void SetUVAnimDir(float u, float v) override;
    void ReleaseResources() override;

    // ---- Device loss and reset of the unit's own buffers (the facade calls these) ----
    virtual void OnLostDevice();
    // False when the buffers could not be made again.
    virtual bool OnResetDevice();

    // What the unit draws from: the mesh's vertex arrays (null without a mesh), the unit's own
    // posed copy (empty for a static mesh) and its own device buffers (null for a static mesh).
    const GfxRenderBuffers* GetMeshBuffers() const { return m_pMeshBuffers; }
    const GfxRenderBuffers& GetOwnBuffers() const { return m_buffers; }
    const D3DRenderBuffers* GetOwnDeviceBuffers() const { return m_pDeviceBuffers.get(); }
    bool HasUserWord() const { return m_hasUserWord; }
    std::uint32_t GetUserWord() const { return m_userWord; }
    GfxModelComp* GetModelComp() const { return m_pModel; }

protected:
    // The owner's position component, or null. Units of other components answer from theirs.
    virtual POVComp* GetPOV() const;
    // The owning component's textures and visibility flags, or null; the flags above answer
    // from them. Units of other components answer with theirs.
    virtual const GfxUnitFields* GetUnitFields() const;

    // ---- Geometry helpers for every unit ----
    // Bounds over the buffers' vertices into those asked for (null: not wanted).
    static void ComputeBounds(const GfxRenderBuffers& buffers, math::Sphere* sphere, math::AABB* box);
    // The buffers' triangles as the BSP tree under the name, unless one of that name is there
    // already: one tree per name, whoever builds it first. A triangle with an index past the
    // vertices is left out.
    static void AddBSPTree(const std::string& name, const GfxRenderBuffers& buffers);

    // ---- For the units that build their own geometry (terrain, cloth) ----
    SRenderRecord& Record() { return m_record; }
    // World, view, projection and world-view-projection into the render record.
    void PrepareRecordMatrices();
    // The unit's own vertex and index arrays, drawn from its own device buffers.
    GfxRenderBuffers& OwnBuffers() { return m_buffers; }
    // Makes the own arrays the unit's geometry: device buffers of their size (a new geometry
    // id), filled, and the unit entered in the facade's device-unit list. False when the device
    // buffers could not be made now (they are made at the next reset).
    bool AdoptOwnBuffers();
    // Lets go of the own arrays and device buffers and leaves the device-unit list; the
    // textures stay.
    void ReleaseOwnBuffers();
    // The own device buffers filled again from the own arrays (discard).
    bool RefillDeviceBuffers();
    // The indices of a grid of `rows` x `columns` vertices (vertex r x columns + c; at least 2
    // either way), two triangles per cell, in place of the buffers' indices.
    static void FillGridIndices(GfxRenderBuffers& buffers, unsigned rows, unsigned columns);

private:
    SRenderRecord m_record;
    const GfxRenderBuffers* m_pMeshBuffers = nullptr; // the cache's, not owned
    const D3DRenderBuffers* m_pMeshDeviceBuffers = nullptr;
    GfxRenderBuffers m_buffers; // posed vertices of an animated mesh
    std::unique_ptr<D3DRenderBuffers> m_pDeviceBuffers;
    std::array<std::unique_ptr<CTextureHandle>, kTextureStages> m_textures;
    std::unique_ptr<CAnimationController> m_pController;
    std::uint32_t m_userWord = 0;
    bool m_hasUserWord = false;
    bool m_registered = false; // in the facade's list of units with device buffers
    GfxModelComp* m_pModel = nullptr;
};
} // namespace gfx
} // namespace dorvo
