// What every water unit shares: it belongs to a water component, from which it answers the
// unit's questions (effect file and technique, visibility flags, the owner's placement and
// bounds, these last two through CGfxUnit; its mesh name is the fixed "Invalid.x", as it builds
// its own geometry), and it keeps the water's plane in world space. A water unit makes its geometry with
// CreateGeometry and recomputes its plane from the owner's placement whenever the plane is asked for.
#pragma once

#include "common/math/Plane.h"
#include "engine/gfx/core/CGfxUnit.h"

class POVComp;

namespace dorvo
{
namespace gfx
{
class GfxWaterComp;

class ACGfxWater : public CGfxUnit
{
public:
    ACGfxWater();
    ~ACGfxWater() override;

    // ---- The water component's fields (empty or false without one) ----
    const std::string& GetFXFile() const override;
    const std::string& GetTechnique() const override;
    // "Invalid.x": water has no mesh of the cache.
    const std::string& GetMeshName() const override;
    void SetFXFile(const std::string& fxFile) override;
    void SetTechnique(const std::string& technique) override;
    // Water is drawn in its own graph, never among the transparent units.
    bool IsTransparent() const override { return false; }
    void SetTransparent(bool) override {}
    bool IsWireframe() const override { return false; }

    // CreateGeometry for a water component (false, nothing built, for any other component).
    bool Build(Component* component, math::Sphere* sphere, math::AABB* box, bool buildBSP) override;
    // The unit's geometry for the component: fills the local bounds asked for (null: not
    // wanted) and, with buildBSP, the shared BSP tree. `unused` is not read (the component
    // passes 0). False when nothing could be built.
    virtual bool CreateGeometry(GfxWaterComp* owner, math::Sphere* sphere, math::AABB* box, unsigned unused,
                                bool buildBSP) = 0;
    // The world plane (a, b, c, d), recomputed from the owner's placement first.
    const math::Plane& GetWaterPlane();
    // The component's water type; 3 (no water) without one.
    int GetWaterType() const;
    GfxWaterComp* GetWaterComp() const { return m_pWater; }

protected:
    // Stores the world plane from the owner's placement.
    virtual void ComputeWaterPlane() = 0;
    POVComp* GetPOV() const override;
    const GfxUnitFields* GetUnitFields() const override;

    GfxWaterComp* m_pWater = nullptr; // the owner; not owned
    math::Plane m_plane;              // world space
};
} // namespace gfx
} // namespace dorvo
