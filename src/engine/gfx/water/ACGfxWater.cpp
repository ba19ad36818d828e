#include "engine/gfx/water/ACGfxWater.h"

#include "engine/POVComp.h"
#include "engine/gfx/water/GfxWaterComp.h"

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

POVComp* ACGfxWater::GetPOV() const
{
    return m_pWater ? m_pWater->GetPOVComp() : nullptr;
}

const GfxUnitFields* ACGfxWater::GetUnitFields() const
{
    return m_pWater;
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
