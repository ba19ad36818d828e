#include "engine/gfx/ACGfxWater.h"

#include "common/math/AABB.h"
#include "common/math/Sphere.h"
#include "engine/POVComp.h"
#include "engine/gfx/CGFXCore.h"
#include "engine/gfx/GfxWaterComp.h"

namespace dorvo
{
namespace gfx
{
namespace
{
const std::string kNoName;
const std::string kMeshName = "Invalid.x";
} // namespace

ACGfxWater::ACGfxWater() = default;

ACGfxWater::~ACGfxWater() = default;

const std::string& ACGfxWater::GetFXFile() const
{
    return m_pWater ? m_pWater->GetFXFile() : kNoName;
}

const std::string& ACGfxWater::GetTechnique() const
{
    return m_pWater ? m_pWater->GetTechnique() : kNoName;
}

const std::string& ACGfxWater::GetMeshName() const
{
    return kMeshName;
}

void ACGfxWater::SetFXFile(const std::string& fxFile)
{
    if (m_pWater)
        m_pWater->SetFXFile(fxFile);
}

void ACGfxWater::SetTechnique(const std::string& technique)
{
    if (m_pWater)
        m_pWater->SetTechnique(technique);
}

bool ACGfxWater::IsAlwaysVisible() const
{
    return m_pWater && m_pWater->IsAlwaysVisible();
}

bool ACGfxWater::IsVisible() const
{
    return m_pWater && m_pWater->IsVisible();
}

bool ACGfxWater::IsShadowCaster() const
{
    return m_pWater && m_pWater->IsShadowCaster();
}

POVComp* ACGfxWater::GetWaterPOV() const
{
    return m_pWater ? m_pWater->GetPOVComp() : nullptr;
}

void ACGfxWater::GetWorldMatrix(math::Matrix4& world) const
{
    const POVComp* pov = GetWaterPOV();
    world = pov ? pov->GetWorldMatrix() : math::Matrix4();
}

std::uint32_t ACGfxWater::GetBoundingType() const
{
    const POVComp* pov = GetWaterPOV();
    return pov ? pov->GetBVType() : BOUNDING_Sphere;
}

void ACGfxWater::GetBoundingSphere(math::Sphere& sphere) const
{
    if (const POVComp* pov = GetWaterPOV())
        sphere = pov->GetBoundingSphere();
}

void ACGfxWater::GetBoundingBox(math::AABB& box) const
{
    if (const POVComp* pov = GetWaterPOV())
        box = pov->GetBoundingBox();
}

float ACGfxWater::GetViewDepth() const
{
    const POVComp* pov = GetWaterPOV();
    if (!pov)
        return 0.0f;
    const CGFXCore& core = CGFXCore::Instance();
    const math::Vector4 clip =
        (core.GetProjection() * core.GetView()).Transform(math::Vector4(pov->GetPosition()));
    return clip.w != 0.0f ? clip.z / clip.w : clip.z;
}

bool ACGfxWater::Build(Component* component, math::Sphere* sphere, math::AABB* box, bool buildBSP)
{
    auto* water = dynamic_cast<GfxWaterComp*>(component);
    return water && CreateGeometry(water, sphere, box, 0, buildBSP);
}

const math::Plane& ACGfxWater::GetWaterPlane()
{
    ComputeWaterPlane();
    return m_plane;
}

int ACGfxWater::GetWaterType() const
{
    return m_pWater ? m_pWater->GetWaterType() : GfxWaterComp::WATER_None;
}
} // namespace gfx
} // namespace dorvo
