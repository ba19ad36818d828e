#include "engine/CPicker.h"

#include "common/COctTree.h"
#include "common/InputEvent.h"
#include "common/SOctNode.h"
#include "common/math/AABB.h"
#include "common/math/Sphere.h"
#include "engine/CDorvoApp.h"
#include "engine/CDorvoCamera.h"
#include "engine/CDorvoGame.h"
#include "engine/Gob.h"
#include "engine/POVComp.h"

#include <cmath>
#include <limits>

namespace dorvo
{
namespace
{
CPicker::UnprojectHook s_unprojectHook = nullptr;
CPicker::CursorPointHook s_cursorPointHook = nullptr;

constexpr float kInfinity = std::numeric_limits<float>::infinity();
} // namespace

void CPicker::SetUnprojectHook(UnprojectHook hook)
{
    s_unprojectHook = hook;
}

void CPicker::SetCursorPointHook(CursorPointHook hook)
{
    s_cursorPointHook = hook;
}

CPicker::CPicker() : m_pickPoint(kInfinity, kInfinity, kInfinity) {}

CPicker::~CPicker() = default;

CDorvoCamera* CPicker::GetGameCamera()
{
    CDorvoGame* game = g_pApp ? g_pApp->GetGame() : nullptr;
    return game ? game->GetCamera() : nullptr;
}

gfx::CCursor* CPicker::GetGameCursor()
{
    CDorvoGame* game = g_pApp ? g_pApp->GetGame() : nullptr;
    return game ? game->GetCursor() : nullptr;
}

bool CPicker::OnInputEvent(const input::InputEvent& event)
{
    if (!m_enabled || event.code != input::MOUSE_BUTTON_0 || event.value != 1)
        return false;
    const gfx::CCursor* cursor = GetGameCursor();
    if (cursor && s_cursorPointHook)
        Pick(s_cursorPointHook(*cursor), false);
    return false;
}

bool CPicker::SetEnabled(bool enabled)
{
    m_enabled = enabled;
    return m_enabled;
}

bool CPicker::BuildRay(const math::Vector3& screenPoint)
{
    const CDorvoCamera* camera = GetGameCamera();
    math::Vector3 nearPoint;
    if (!camera || !s_unprojectHook ||
        !s_unprojectHook(math::Vector3(screenPoint.x, screenPoint.y, 0.0f), nearPoint))
        return false;
    m_ray.origin = camera->GetEyePosition();
    m_ray.direction = (nearPoint - m_ray.origin).GetNormalized();
    return true;
}

void CPicker::GatherOctreeNodes(const common::SOctNode* node)
{
    float t = 0.0f;
    if (!node || !m_ray.IntersectAABB(node->m_Box, t))
        return;
    m_candidateNodes.push_back(node);
    for (int i = 0; i < common::SOctNode::kChildCount; ++i)
    {
        GatherOctreeNodes(node->GetChild(i));
    }
}

bool CPicker::Pick(const math::Vector3& screenPoint, bool /*boundsOnly*/)
{
    if (!m_enabled)
        return false;
    m_candidateNodes.clear();
    m_previousPickedId = m_pickedId;

    float nearest = kInfinity;
    if (BuildRay(screenPoint))
    {
        GatherOctreeNodes(common::COctTree::Global().GetRoot());
        for (const common::SOctNode* node : m_candidateNodes)
        {
            for (const auto& filed : node->m_Objects)
            {
                const POVComp* pov = POVComp::FromOctTreeObject(filed.second);
                const Gob* owner = pov ? pov->GetOwner() : nullptr;
                if (!owner)
                    continue;
                float t = kInfinity;
                bool hit = false;
                switch (pov->GetBVType())
                {
                case POVComp::BV_Sphere:
                    hit = m_ray.IntersectSphere(pov->GetBoundingSphere(), t);
                    break;
                case POVComp::BV_Box:
                    hit = m_ray.IntersectAABB(pov->GetBoundingBox(), t);
                    break;
                default:
                    break;
                }
                if (hit && t < nearest)
                {
                    nearest = t;
                    m_pickedId = owner->GetID();
                }
            }
        }
    }

    if (std::isinf(nearest))
    {
        m_pickPoint.Set(kInfinity, kInfinity, kInfinity);
        return false;
    }
    m_pickPoint = m_ray.origin + m_ray.direction * nearest;
    return true;
}
} // namespace dorvo
