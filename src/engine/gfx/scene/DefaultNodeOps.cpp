#include "engine/gfx/scene/DefaultNodeOps.h"

#include "common/math/AABB.h"
#include "common/math/Sphere.h"
#include "engine/gfx/core/CFXManager.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/core/CRenderer.h"
#include "engine/gfx/core/CTextureHandle.h"
#include "engine/gfx/core/IGfxUnit.h"
#include "engine/gfx/core/SRenderRecord.h"
#include "engine/gfx/scene/SceneNodes.h"

namespace dorvo
{
namespace gfx
{
bool CDefaultGeometryNodeOp::IsInCurrentViewport(const IGfxUnit& unit)
{
    const SViewportRecord* viewport = CGFXCore::Instance().GetCurrentViewport();
    if (!viewport)
        return false;
    switch (unit.GetBoundingType())
    {
    case IGfxUnit::BOUNDING_Sphere:
    {
        math::Sphere sphere;
        unit.GetBoundingSphere(sphere);
        return viewport->frustum.IntersectsSphere(sphere);
    }
    case IGfxUnit::BOUNDING_Box:
    {
        math::AABB box;
        unit.GetBoundingBox(box);
        return viewport->frustum.IntersectsAABB(box);
    }
    default:
        return false;
    }
}

bool CDefaultGeometryNodeOp::operator()(CGeometryNode& node)
{
    IGfxUnit* unit = node.GetUnit();
    if (!unit)
        return false;
    if (!unit->IsAlwaysVisible())
    {
        const CGFXCore& core = CGFXCore::Instance();
        if (core.IsVisibilityValid())
        {
            if (!node.IsVisibleAtLastTest())
                return false;
        }
        else if (!IsInCurrentViewport(*unit))
        {
            node.SetVisibleAtLastTest(false);
            return false;
        }
        else if (core.IsSecondViewport() && !node.IsVisibleAtLastTest())
            return false;
        else
            node.SetVisibleAtLastTest(true);
    }
    unit->PrepareMatrices();
    CRenderer::Instance().Queue(unit);
    return true;
}

bool CDefaultEffectNodeOp::operator()(CEffectNode& node)
{
    CFXManager::Instance().SelectEffect(node.GetFXFile());
    return true;
}

bool CDefaultBatchNodeOp::operator()(CBatchNode& node)
{
    CFXManager& fx = CFXManager::Instance();
    plat::ID3DXEffect* effect = fx.GetCurrentEffect();
    const FXHandleTable* handles = fx.GetCurrentHandles();
    if (!effect || !handles)
        return true;
    // The binder reads the technique and the textures of a render record.
    SRenderRecord record;
    record.technique = &node.GetTechnique();
    for (unsigned i = 0; i < SRenderRecord::kTextureSlots; ++i)
    {
        const CTextureHandle* handle = node.GetTexture(i);
        record.textures[i] = handle ? handle->GetTexture() : nullptr;
    }
    CGFXCore::Instance().BindTechniqueTextures(record, effect, *handles);
    return true;
}

bool CDefaultSPINodeOp::operator()(CSPINode& node)
{
    if (node.IsLoose())
        return true;
    if (node.GetChildCount() == 0)
        return false;
    const SViewportRecord* viewport = CGFXCore::Instance().GetCurrentViewport();
    return viewport && viewport->frustum.IntersectsAABB(node.GetBox());
}
} // namespace gfx
} // namespace dorvo
