// What the scene graphs and the renderer draw: one unit of 3D geometry with its effect file,
// technique, six texture slots, render record and bounds. A graphics component owns its unit;
// the scene graphs and the render queue only point at it for the length of a frame. CGfxUnit
// implements it for meshes of the mesh cache; water, terrain and cloth units derive from that
// and add their own CreateGeometry after these operations.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class Component;

namespace math
{
class AABB;
class Matrix4;
class Sphere;
} // namespace math

namespace dorvo
{
namespace gfx
{
class CAnimationController;
class CTextureHandle;
struct SRenderRecord;

class IGfxUnit
{
public:
    static constexpr unsigned kTextureStages = 6; // stages 0 to 5

    // What GetBoundingType answers; any other value means the unit has no bounds to test and is
    // never found visible (unless it is always visible).
    enum EBoundingType : std::uint32_t
    {
        BOUNDING_Sphere = 0,
        BOUNDING_Box = 1,
    };

    virtual ~IGfxUnit() = default;

    // The owning component's "FXFile", "Technique" and "XFile". The strings live as long as the
    // unit, so the render record and the graph's nodes may point at them for a frame.
    virtual const std::string& GetFXFile() const = 0;
    virtual const std::string& GetTechnique() const = 0;
    virtual const std::string& GetMeshName() const = 0;
    virtual void SetFXFile(const std::string& fxFile) = 0;
    virtual void SetTechnique(const std::string& technique) = 0;
    virtual bool IsTransparent() const = 0;
    virtual void SetTransparent(bool transparent) = 0;
    // From the owner's transform.
    virtual void GetWorldMatrix(math::Matrix4& world) const = 0;
    // The handle of a stage (0 to 5), or null when the stage is empty or out of range.
    virtual CTextureHandle* GetTexture(unsigned stage) const = 0;
    // What one draw of the unit needs; PrepareMatrices refreshes it. Never null.
    virtual const SRenderRecord* GetRenderRecord() const = 0;
    // Index count / 3 of the buffers the unit draws.
    virtual unsigned GetTriangleCount() const = 0;
    // The owner's position through the device core's view and projection: z / w. The render
    // queue sorts by it.
    virtual float GetViewDepth() const = 0;
    // A new handle loaded with the file (relative to the texture folder), then SetTexture.
    virtual void LoadTexture(const std::string& file, unsigned stage) = 0;
    // Replaces the stage's handle, deleting the old one; null empties the stage.
    virtual void SetTexture(std::unique_ptr<CTextureHandle> handle, unsigned stage) = 0;
    // The component's "AlwaysVisible": drawn in every viewport without a bounds test.
    virtual bool IsAlwaysVisible() const = 0;
    // Null for a unit without skinned animation.
    virtual CAnimationController* GetAnimationController() const = 0;
    // The render queue draws the unit in lines while this is true.
    virtual bool IsWireframe() const = 0;
    // Fetches the geometry for the component (the mesh of GetMeshName), fills the bounds asked
    // for (null: not wanted) and enters the triangles into a BSP tree under the mesh name when
    // asked. False when nothing could be built (the unit then draws nothing).
    virtual bool Build(Component* component, math::Sphere* sphere, math::AABB* box, bool buildBSP) = 0;
    // The two units' bounding spheres intersect. A null unit overlaps nothing.
    virtual bool Overlaps(const IGfxUnit& other) const = 0;
    virtual bool Overlaps(const IGfxUnit* other) const = 0;
    // Refreshes the render record from the device core's view and projection and the owner:
    // world, world-view-projection, effect file, technique, material, buffers. Called once for
    // every queued unit.
    virtual void PrepareMatrices() = 0;
    // Per frame: time and dt in seconds; an animated unit poses its vertices and refills its
    // own device buffers.
    virtual void UpdateAnimation(float time, float dt) = 0;
    virtual bool IsVisible() const = 0;
    // A value the owning game code keeps on the unit; the unit remembers that one was set.
    virtual void SetUserWord(std::uint32_t word) = 0;
    virtual bool IsShadowCaster() const = 0;
    // EBoundingType, from the owner's position component.
    virtual std::uint32_t GetBoundingType() const = 0;
    // World-space bounds from the owner's position component.
    virtual void GetBoundingSphere(math::Sphere& sphere) const = 0;
    virtual void GetBoundingBox(math::AABB& box) const = 0;
    // Texture scroll in texture units per second along u and v (the render record's
    // uvAnimation).
    virtual void SetUVAnimDir(float u, float v) = 0;
    // Deletes the texture handles, the animation controller and owned device buffers, forgets
    // the mesh buffers and the component.
    virtual void ReleaseResources() = 0;
};
} // namespace gfx
} // namespace dorvo
