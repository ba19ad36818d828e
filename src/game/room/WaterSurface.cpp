#include "game/room/WaterSurface.h"

#include "common/math/Plane.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/gfx/water/CWaterManager.h"

namespace QUORB
{
bool FindWaterSurface(POVComp*& pov, math::Plane& plane)
{
    const dorvo::gfx::CWaterManager& water = dorvo::gfx::CWaterManager::Instance();
    const std::uint32_t id = water.GetWaterGobID();
    Gob* gob = id != 0 ? GobManager::Instance().GetGob(id) : nullptr;
    math::Plane found;
    if (gob == nullptr || !water.GetWaterPlane(found))
        return false;
    pov = dynamic_cast<POVComp*>(gob->GetComponent(POVComp::StaticTypeID()));
    plane = found;
    return true;
}
} // namespace QUORB
