#include "engine/gfx/WaterVisibilityNodeOps.h"

#include "engine/gfx/CWaterManager.h"
#include "engine/gfx/DefaultNodeOps.h"
#include "engine/gfx/SceneNodes.h"

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
