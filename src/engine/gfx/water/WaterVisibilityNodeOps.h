// The operations of the water graph's visibility walk at the start of a viewport pass: a water
// unit inside the current viewport's frustum marks the water manager's water as visible (the
// pass then draws the water maps). Nothing is queued, no effect is selected and no texture is
// bound. Transformation and partition nodes keep the default operations.
#pragma once

#include "engine/gfx/scene/SceneNodeOps.h"

namespace dorvo
{
namespace gfx
{
class CWaterVisibilityTestGeometryNodeOp : public IGeometryNodeOp
{
public:
    CWaterVisibilityTestGeometryNodeOp* Clone() const override
    {
        return new CWaterVisibilityTestGeometryNodeOp;
    }
    // The unit's bounds against the frustum; visible: the water-visible mark set. The frame's
    // earlier results and the node's own play no part.
    bool operator()(CGeometryNode& node) override;
};

class CWaterVisibilityTestEffectNodeOp : public IEffectNodeOp
{
public:
    CWaterVisibilityTestEffectNodeOp* Clone() const override { return new CWaterVisibilityTestEffectNodeOp; }
    bool operator()(CEffectNode&) override { return true; }
};

class CWaterVisibilityTestBatchNodeOp : public IBatchNodeOp
{
public:
    CWaterVisibilityTestBatchNodeOp* Clone() const override { return new CWaterVisibilityTestBatchNodeOp; }
    bool operator()(CBatchNode&) override { return true; }
};
} // namespace gfx
} // namespace dorvo
