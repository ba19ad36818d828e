#include "engine/gfx/water/WaterVisibilityNodeOps.h"

#include "engine/gfx/scene/DefaultNodeOps.h"
#include "engine/gfx/scene/SceneNodes.h"
#include "engine/gfx/water/CWaterManager.h"

namespace dorvo
{
namespace gfx
{
bool CWaterVisibilityTestGeometryNodeOp::operator()(CGeometryNode& node)
{
    if (!node.GetUnit() || !CDefaultGeometryNodeOp::IsInCurrentViewport(*node.GetUnit()))
        return false;
    CWaterManager::Instance().SetWaterVisible(true);
    return true;
}
} // namespace gfx
} // namespace dorvo
