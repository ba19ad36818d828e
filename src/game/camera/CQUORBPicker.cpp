#include "game/camera/CQUORBPicker.h"

#include "common/CBSPTree.h"
#include "common/CBSPTreeMgr.h"
#include "common/COctTree.h"
#include "common/SOctNode.h"
#include "common/math/AABB.h"
#include "common/math/MathUtil.h"
#include "common/math/Matrix3.h"
#include "common/math/Sphere.h"
#include "engine/Gob.h"
#include "engine/POVComp.h"
#include "engine/gfx/mesh/GfxModelComp.h"
#include "engine/gfx/water/GfxWaterComp.h"
#include "game/room/FindComp.h"
#include "game/widgets/ConstructionQuadComp.h"
#include "game/widgets/WidgetDataComp.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace QUORB
{
namespace
{
constexpr float kInfinity = std::numeric_limits<float>::infinity();

// Water and the room's faces are surfaces to place on, not things to pick; a hidden model is not
// there for the player.
bool IsNeverPicked(Gob* gob)
{
    if (gob->IsKilled() || FindComp<dorvo::gfx::GfxWaterComp>(gob) != nullptr ||
        FindComp<ConstructionQuadComp>(gob) != nullptr)
        return true;
    const auto* model = FindComp<dorvo::gfx::GfxModelComp>(gob);
    return model != nullptr && !model->IsVisible();
}

// A magnet is a horseshoe, and the player takes the space between its arms for part of it: it is
// picked by its whole outline, the box around its model, rather than by its triangles.
bool IsPickedByOutline(Gob* gob)
{
    const WidgetDataComp* data = WidgetDataComp::Of(gob);
    return data != nullptr && data->AsMagnetData() != nullptr;
}

// The ray in the object's model space: turned back by its orientation and divided by its scale,
// so that a distance along it means the same point as along the world ray. False for a scale
// with a zero component (nothing to hit).
bool ToModelSpace(const math::CRay& ray, const POVComp& pov, math::CRay& local)
{
    const math::Vector3 scale = pov.GetScale();
    if (math::IsZero(scale.x) || math::IsZero(scale.y) || math::IsZero(scale.z))
        return false;
    const math::Quaternion orientation = pov.GetOrientation();
    math::Matrix3 rows;
    rows.SetIdentity();
    if (!math::IsZero(orientation.LengthSquared()))
        rows = orientation.ToMatrix3();
    const math::Vector3 offset = ray.origin - pov.GetPosition();
    for (int axis = 0; axis < 3; ++axis)
    {
        const math::Vector3 row = rows.GetRow(axis);
        local.origin[axis] = offset.Dot(row) / scale[axis];
        local.direction[axis] = ray.direction.Dot(row) / scale[axis];
    }
    return true;
}
} // namespace

bool CQUORBPicker::OnInputEvent(const dorvo::input::InputEvent&)
{
    return false;
}

bool CQUORBPicker::Pick(const math::Vector3& screenPoint, bool boundsOnly)
{
    if (!m_enabled)
        return false;
    m_candidateNodes.clear();
    m_previousPickedId = m_pickedId;
    float best = kInfinity;
    std::uint32_t bestId = 0;
    if (BuildRay(screenPoint))
    {
        GatherOctreeNodes(common::COctTree::Global().GetRoot());
        const common::CBSPTreeMgr& trees = common::CBSPTreeMgr::Instance();
        std::vector<std::pair<std::uint32_t, POVComp*>> filed;
        for (const common::SOctNode* node : m_candidateNodes)
        {
            filed.clear();
            for (const auto& entry : node->m_Objects)
                if (POVComp* pov = POVComp::FromOctTreeObject(entry.second))
                    filed.emplace_back(entry.first, pov);
            std::sort(filed.begin(), filed.end(),
                      [](const auto& a, const auto& b) { return a.first < b.first; });
            for (const auto& entry : filed)
            {
                POVComp& pov = *entry.second;
                Gob* gob = pov.GetOwner();
                if (gob == nullptr || IsNeverPicked(gob))
                    continue;
                float distance = kInfinity;
                bool hit = false;
                if (pov.GetBVType() == POVComp::BV_Sphere)
                    hit = m_ray.IntersectSphere(pov.GetBoundingSphere(), distance);
                else if (pov.GetBVType() == POVComp::BV_Box)
                    hit = m_ray.IntersectAABB(pov.GetBoundingBox(), distance);
                if (!hit)
                    continue;
                const common::CBSPTree* tree =
                    boundsOnly || pov.GetModelName().empty() ? nullptr : trees.GetTree(pov.GetModelName());
                if (tree != nullptr)
                {
                    math::CRay local;
                    if (!ToModelSpace(m_ray, pov, local))
                        continue;
                    const bool modelHit = IsPickedByOutline(gob)
                                              ? local.IntersectAABB(pov.GetLocalBoundingBox(), distance)
                                              : local.IntersectBSPTree(tree->GetRoot(), distance);
                    if (!modelHit)
                        continue;
                }
                if (distance < best)
                {
                    best = distance;
                    bestId = gob->GetID();
                }
            }
        }
    }
    if (std::isinf(best))
    {
        m_pickedId = 0;
        m_pickPoint.Set(kInfinity, kInfinity, kInfinity);
        return false;
    }
    m_pickedId = bestId;
    m_pickPoint = m_ray.origin + m_ray.direction * best;
    return true;
}
} // namespace QUORB
